// The data folder search and the user's own items file.
#include "app/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <filesystem>

namespace qm {

Q_LOGGING_CATEGORY(DataFiles, "quillmark.data", QtWarningMsg)

namespace {

namespace fs = std::filesystem;

// The installed data folder as seen from the installed programs' folder;
// the build gives it from the install layout.
#ifndef QM_DATA_FROM_BIN
#define QM_DATA_FROM_BIN "../share/quillmark/data"
#endif

std::string& InstalledOverride() {
  static std::string folder;
  return folder;
}

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool HoldsVocabulary(const std::string& folder) {
  std::error_code ignored;
  return fs::is_regular_file(fs::path(folder) / "scriptitems.xml", ignored);
}

std::string UserDataHome() {
  // A relative XDG_DATA_HOME is invalid and ignored, as the XDG rules say.
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  return Local(QDir::homePath()) + "/.local/share";
}

}  // namespace

TDataPlaces ThisRunsPlaces() {
  TDataPlaces places;
  places.Current = Local(QDir::currentPath());
  const QString installed = QCoreApplication::applicationDirPath() + "/" + QStringLiteral(QM_DATA_FROM_BIN);
  places.Installed = InstalledOverride().empty() ? Local(QDir::cleanPath(installed)) : InstalledOverride();
  places.UserData = UserDataHome();
  return places;
}

void SetInstalledDataFolder(const std::string& folder) { InstalledOverride() = folder; }

std::string DataFolder(const TDataPlaces& places) {
  const std::string local = (fs::path(places.Current) / "data").string();
  if (!HoldsVocabulary(local) && !places.Installed.empty() && HoldsVocabulary(places.Installed))
    return places.Installed;
  return local;
}

std::vector<std::string> UserItemFiles(const TDataPlaces& places) {
  const std::string folder = DataFolder(places);
  std::vector<std::string> files{(fs::path(folder) / "user.txt").string()};
  if (folder != places.Installed) return files;
  const std::string own = (fs::path(places.UserData) / "quillmark" / "user.txt").string();
  std::error_code ignored;
  // Anything under that name is read, so that a folder or an unreadable
  // file there is reported rather than passed over in silence.
  if (fs::exists(fs::symlink_status(own, ignored)) || fs::exists(own, ignored)) files.push_back(own);
  return files;
}

}  // namespace qm
