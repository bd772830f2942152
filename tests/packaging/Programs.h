// Helpers of the install and package tests: running a program and reading its output, the installed tree's expected files, and the editor's word of the vocabulary it loaded.
#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "editor/highlight/HighlighterChain.h"
#include "platform/XmlDom.h"

namespace qm::test {

// What a program did: its exit status (-1 when it did not end by itself), its output.
struct TRun {
  int Status = -1;
  std::string Out;
  std::string Err;
};

// Changes of the environment: a name to its value, or to nothing to remove it.
using TEnvironment = std::map<QString, std::optional<QString>>;

inline QProcessEnvironment Environment(const TEnvironment& changes) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const auto& [name, value] : changes) {
    if (value)
      env.insert(name, *value);
    else
      env.remove(name);
  }
  return env;
}

// Runs program in folder (the test's own when empty) and waits for its end.
inline TRun RunProgram(const QString& program, const QStringList& args, const QString& folder = {},
                       const TEnvironment& env = {}) {
  QProcess process;
  process.setProcessEnvironment(Environment(env));
  if (!folder.isEmpty()) process.setWorkingDirectory(folder);
  process.start(program, args);
  TRun run;
  if (!process.waitForStarted()) {
    run.Err = process.errorString().toStdString();
    return run;
  }
  process.waitForFinished(-1);
  run.Out = process.readAllStandardOutput().toStdString();
  run.Err = process.readAllStandardError().toStdString();
  if (process.exitStatus() == QProcess::NormalExit) run.Status = process.exitCode();
  return run;
}

// Whether a program of that name is on the PATH.
inline bool HaveTool(const char* name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

// The editor at `program` started offscreen in `folder`, with settings and a
// data home of its own and its data files' messages on, until it says which
// vocabulary its first show loaded; then it is ended. That line, or
// everything it said when it ended or said nothing of the kind within a
// minute (the splash alone takes three and a half seconds).
inline std::string VocabularyLine(const QString& program, const QString& folder, const QString& home) {
  QProcess process;
  process.setProcessEnvironment(Environment({{"QT_QPA_PLATFORM", "offscreen"},
                                             {"QT_LOGGING_RULES", "quillmark.data.info=true"},
                                             {"QT_MESSAGE_PATTERN", "%{category}: %{message}"},
                                             {"XDG_CONFIG_HOME", home + "/config"},
                                             {"XDG_DATA_HOME", home + "/data"},
                                             {"XDG_RUNTIME_DIR", home}}));
  process.setWorkingDirectory(folder);
  process.start(program, {});
  std::string said;
  const QDeadlineTimer deadline(60000);
  while (process.waitForStarted() && !deadline.hasExpired()) {
    said += process.readAllStandardError().toStdString();
    const size_t at = said.find("quillmark.data: vocabulary ");
    if (at != std::string::npos && said.find('\n', at) != std::string::npos) {
      said = said.substr(at, said.find('\n', at) - at);
      break;
    }
    if (process.state() == QProcess::NotRunning) break;
    process.waitForReadyRead(500);
  }
  process.kill();
  process.waitForFinished();
  return said;
}

// The line the editor says of a vocabulary file it loaded.
inline std::string VocabularyLoaded(const std::string& file) {
  TXmlDocument document;
  if (!document.Load(file)) return "cannot load " + file;
  size_t words = 0;
  for (const auto& category : ReadVocabularyItems(document)) words += category.size();
  return "quillmark.data: vocabulary " + file + ": " + std::to_string(words) + " words";
}

// The icon's sizes on the desktop, in pixels.
inline const std::vector<int>& IconSizes() {
  static const std::vector<int> sizes{16, 22, 24, 32, 48, 64, 128, 256};
  return sizes;
}

// Every file of the installed tree, relative to its prefix, in name order.
inline std::vector<std::string> ExpectedInstallFiles() {
  std::vector<std::string> files{
      "bin/quillmark",
      "bin/quillmark-check",
      "bin/quillmark-export",
      "share/applications/quillmark.desktop",
      "share/doc/quillmark/changelog.gz",
      "share/doc/quillmark/copyright",
      "share/icons/hicolor/scalable/apps/quillmark.svg",
      "share/man/man1/quillmark-check.1.gz",
      "share/man/man1/quillmark-export.1.gz",
      "share/man/man1/quillmark.1.gz",
      "share/metainfo/org.quillmark.quillmark.metainfo.xml",
      "share/quillmark/data/help.xml",
      "share/quillmark/data/scriptitems.xml",
      "share/quillmark/data/user.txt",
  };
  for (const int size : IconSizes()) {
    const std::string edge = std::to_string(size);
    files.push_back("share/icons/hicolor/" + edge + "x" + edge + "/apps/quillmark.png");
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The files under folder, relative to it, in name order.
inline std::vector<std::string> FilesUnder(const std::filesystem::path& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (!entry.is_directory()) files.push_back(std::filesystem::relative(entry.path(), folder).string());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace qm::test
