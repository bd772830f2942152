// quillmark-check run as a program in temporary folders: the compiler-style lines, the SARIF log, folders, unreadable files, options and exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "TempFolder.h"
#include "tools/CheckReport.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kVocabulary =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<items><extension>\n"
    "<function>MessageBox</function><var>short</var><command>set</command>\n"
    "<blocktype>GameMode</blocktype>\n</extension></items>\n";

// An error on line 3 (begin inside a block) and a warning on line 4 (an
// unknown function); both scripts in Windows-1251 bytes.
constexpr const char* kFaulty = "scn A\r\nbegin GameMode\r\n\tbegin GameMode\r\n\tFrob\r\nend\r\n";
constexpr const char* kWarnOnly = "scn B\nbegin Gamemode\n\tFrob \"\xcf\xf0\xe8\xe2\xe5\xf2\"\nend\n";
constexpr const char* kClean = "scn C\r\nshort x\r\nbegin GameMode\r\n  set x to 1\r\nend\r\n";

struct Result {
  int Status = -1;
  std::string Out;
  std::string Err;
};

class CheckTool : public ::testing::Test {
 protected:
  void SetUp() override { Write("data/scriptitems.xml", kVocabulary); }

  void Write(const std::string& name, const std::string& bytes) {
    fs::create_directories(fs::path(root / name).parent_path());
    std::ofstream(root / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const { return ReadFile(root / name); }

  Result Run(const std::string& args) {
    const std::string command =
        "cd '" + root.Path().string() + "' && '" QM_CHECK_TOOL "' " + args + " > out.txt 2> err.txt";
    const int raw = std::system(command.c_str());
    Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read("out.txt"), Read("err.txt")};
    fs::remove(root / "out.txt");
    fs::remove(root / "err.txt");
    return r;
  }

  TempFolder root;
};

TEST_F(CheckTool, CompilerStyleLinesAndTheExitStatusFollowTheErrors) {
  Write("faulty.txt", kFaulty);
  Write("warn.txt", kWarnOnly);
  Write("clean.txt", kClean);
  const struct {
    const char* Args;
    int Status;
    std::string Out;
  } cases[] = {
      {"faulty.txt", 1,
       "faulty.txt:3:2: error: «begin» внутри другого блока: предыдущий блок не закрыт «end»\n"
       "faulty.txt:4:2: warning: Неизвестная функция или команда «Frob»\n"},
      {"--format gcc warn.txt", 0, "warn.txt:3:2: warning: Неизвестная функция или команда «Frob»\n"},
      {"clean.txt", 0, ""},
      {"clean.txt faulty.txt warn.txt", 1,
       "faulty.txt:3:2: error: «begin» внутри другого блока: предыдущий блок не закрыт «end»\n"
       "faulty.txt:4:2: warning: Неизвестная функция или команда «Frob»\n"
       "warn.txt:3:2: warning: Неизвестная функция или команда «Frob»\n"},
  };
  for (const auto& c : cases) {
    const Result r = Run(c.Args);
    EXPECT_EQ(r.Status, c.Status) << c.Args;
    EXPECT_EQ(r.Out, c.Out) << c.Args;
    EXPECT_EQ(r.Err, "") << c.Args;
  }
}

TEST_F(CheckTool, FoldersGiveTheirTextFilesDeepAndAnUnreadableFileIsOneErrorLine) {
  Write("mod/b.txt", kWarnOnly);
  Write("mod/sub/a.TXT", kFaulty);
  Write("mod/notes.rtf", "{\\rtf1 begin}");
  Write("mod/.git/x.txt", kFaulty);
  const Result r = Run("mod missing.txt");
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out,
            "mod/b.txt:3:2: warning: Неизвестная функция или команда «Frob»\n"
            "mod/sub/a.TXT:3:2: error: «begin» внутри другого блока: предыдущий блок не закрыт «end»\n"
            "mod/sub/a.TXT:4:2: warning: Неизвестная функция или команда «Frob»\n"
            "missing.txt:1:1: error: Не удаётся прочитать файл: No such file or directory\n");
}

TEST_F(CheckTool, UsageErrorsAndAnUnreadableVocabularyExitWithTwo) {
  Write("clean.txt", kClean);
  Write("broken/scriptitems.xml", "<items><function>x</items>");
  const struct {
    const char* Args;
    const char* Err;
  } cases[] = {
      {"", "quillmark-check: no input given\n"},
      {"--colour clean.txt", "quillmark-check: unknown option '--colour'\n"},
      {"--format xml clean.txt", "quillmark-check: unknown format 'xml' (gcc or sarif)\n"},
      {"clean.txt --data", "quillmark-check: option '--data' needs a value\n"},
      {"--data nowhere clean.txt", "quillmark-check: nowhere/scriptitems.xml: No such file or directory\n"},
      {"--data broken clean.txt", "quillmark-check: broken/scriptitems.xml: not well-formed XML (line 1)\n"},
  };
  for (const auto& c : cases) {
    const Result r = Run(c.Args);
    EXPECT_EQ(r.Status, 2) << c.Args;
    EXPECT_TRUE(r.Err.starts_with(c.Err)) << c.Args << ": " << r.Err;
    EXPECT_EQ(r.Out, "") << c.Args;
  }
  const Result help = Run("--help");
  EXPECT_EQ(help.Status, 0);
  EXPECT_TRUE(help.Out.starts_with("Usage: quillmark-check [--data DIR] [--format gcc|sarif] [-o OUT] INPUT...\n"));
  EXPECT_EQ(Run("--version").Out, "quillmark-check (Quillmark) 1.2\n");
}

TEST_F(CheckTool, TheReportGoesWholeToTheOutputFile) {
  Write("faulty.txt", kFaulty);
  const Result r = Run("-o report.txt faulty.txt");
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "");
  EXPECT_EQ(Read("report.txt"), Run("faulty.txt").Out);
  const Result nowhere = Run("-o no/such/folder/report.txt faulty.txt");
  EXPECT_EQ(nowhere.Status, 1);
  EXPECT_TRUE(nowhere.Err.starts_with("quillmark-check: no/such/folder/report.txt: ")) << nowhere.Err;
}

TEST_F(CheckTool, SarifIsOneLogOfEveryProblemWithItsPlace) {
  Write("faulty.txt", kFaulty);
  Write("dir/мой скрипт.txt", kWarnOnly);
  const Result r = Run("--format sarif faulty.txt dir");
  EXPECT_EQ(r.Status, 1);
  QJsonParseError error;
  const QJsonDocument log = QJsonDocument::fromJson(QByteArray::fromStdString(r.Out), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << r.Out;
  EXPECT_EQ(log["version"].toString(), "2.1.0");
  EXPECT_EQ(log["$schema"].toString(), "https://json.schemastore.org/sarif-2.1.0.json");
  const QJsonArray runs = log["runs"].toArray();
  ASSERT_EQ(runs.size(), 1);
  const QJsonObject run = runs[0].toObject();
  EXPECT_EQ(run["tool"]["driver"]["name"].toString(), "quillmark-check");
  EXPECT_EQ(run["columnKind"].toString(), "utf16CodeUnits");
  const QJsonArray results = run["results"].toArray();
  ASSERT_EQ(results.size(), 3);
  const QJsonObject first = results[0].toObject();
  EXPECT_EQ(first["level"].toString(), "error");
  EXPECT_EQ(first["ruleId"].toString(), "QM1");
  EXPECT_EQ(first["message"]["text"].toString(), "«begin» внутри другого блока: предыдущий блок не закрыт «end»");
  const QJsonObject place = first["locations"][0]["physicalLocation"].toObject();
  EXPECT_EQ(place["artifactLocation"]["uri"].toString(), "faulty.txt");
  EXPECT_EQ(place["region"]["startLine"].toInt(), 3);
  EXPECT_EQ(place["region"]["startColumn"].toInt(), 2);
  EXPECT_EQ(place["region"]["endColumn"].toInt(), 7) << "«begin» is five units long";
  const QJsonObject third = results[2].toObject();
  EXPECT_EQ(third["level"].toString(), "warning");
  EXPECT_EQ(third["ruleId"].toString(), "QM2");
  EXPECT_EQ(third["locations"][0]["physicalLocation"]["artifactLocation"]["uri"].toString(),
            "dir/%D0%BC%D0%BE%D0%B9%20%D1%81%D0%BA%D1%80%D0%B8%D0%BF%D1%82.txt");
  // Every rule a result names is in the driver's list.
  QStringList rules;
  for (const QJsonValue& rule : run["tool"]["driver"]["rules"].toArray()) rules << rule["id"].toString();
  for (const QJsonValue& result : results) EXPECT_TRUE(rules.contains(result["ruleId"].toString()));
  // A clean run is a log with no results, not an empty output.
  Write("clean.txt", kClean);
  const QJsonDocument clean = QJsonDocument::fromJson(QByteArray::fromStdString(Run("--format=sarif clean.txt").Out));
  EXPECT_EQ(clean["runs"][0]["results"].toArray().size(), 0);
}

TEST(CheckReport, PathsBecomeUriReferences) {
  EXPECT_EQ(cli::PathToUri("a/b c.txt"), "a/b%20c.txt");
  EXPECT_EQ(cli::PathToUri("/home/u/100%#?.txt"), "file:///home/u/100%25%23%3F.txt");
  EXPECT_EQ(cli::PathToUri("x\\y:z"), "x%5Cy%3Az");
}

}  // namespace
}  // namespace qm::test
