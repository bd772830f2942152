// Tests of the Debian package that `cpack -G DEB` makes of the build: its name, control fields, dependencies and files, lintian's verdict, and its editor started from another folder.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <filesystem>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Programs.h"
#include "TempFolder.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

class DebianPackage : public ::testing::Test {
 protected:
  // One package for all tests of a run of this program.
  static void SetUpTestSuite() {
    for (const char* tool : {"dpkg", "dpkg-deb", "dpkg-shlibdeps"})
      if (!HaveTool(tool)) missing_ += std::string(missing_.empty() ? "" : ", ") + tool;
    if (!missing_.empty()) return;
    out_ = new QTemporaryDir;
    const TRun cpack =
        RunProgram(QM_CPACK, {"-G", "DEB", "-B", out_->path(), "--config", QM_BUILD_DIR "/CPackConfig.cmake"});
    log_ = cpack.Out + cpack.Err;
    architecture_ = Trimmed(RunProgram("dpkg", {"--print-architecture"}).Out);
    deb_ = out_->path().toStdString() + "/quillmark_1.2_" + architecture_ + ".deb";
    built_ = cpack.Status == 0;
  }
  static void TearDownTestSuite() {
    delete out_;
    out_ = nullptr;
  }
  void SetUp() override {
    if (!missing_.empty()) GTEST_SKIP() << "not installed: " << missing_;
    ASSERT_TRUE(built_) << log_;
  }

  static std::string Field(const char* name) {
    return Trimmed(RunProgram("dpkg-deb", {"-f", QString::fromStdString(deb_), name}).Out);
  }

  static std::string missing_;
  static QTemporaryDir* out_;
  static bool built_;
  static std::string log_;
  static std::string architecture_;
  static std::string deb_;
};

std::string DebianPackage::missing_;
QTemporaryDir* DebianPackage::out_ = nullptr;
bool DebianPackage::built_ = false;
std::string DebianPackage::log_;
std::string DebianPackage::architecture_;
std::string DebianPackage::deb_;

TEST_F(DebianPackage, IsNamedForItsVersionAndArchitecture) {
  EXPECT_TRUE(fs::is_regular_file(deb_)) << deb_ << "\n" << log_;
  EXPECT_EQ(Field("Package"), "quillmark");
  EXPECT_EQ(Field("Version"), "1.2");
  EXPECT_EQ(Field("Architecture"), architecture_);
  EXPECT_EQ(Field("Section"), "editors");
  EXPECT_NE(Field("Maintainer"), "");
  EXPECT_NE(Field("Description").find('\n'), std::string::npos) << "a synopsis and a long description";
}

// The package of every library a program needs by name (its NEEDED entries),
// as this system's package database knows it.
std::set<std::string> PackagesOfLibraries(const QString& program) {
  std::set<std::string> packages;
  const std::string dynamic = RunProgram("readelf", {"-d", program}).Out;
  const std::string resolved = RunProgram("ldd", {program}).Out;
  const std::regex needed(R"(\(NEEDED\)\s+Shared library: \[([^\]]+)\])");
  for (auto m = std::sregex_iterator(dynamic.begin(), dynamic.end(), needed); m != std::sregex_iterator(); ++m) {
    const std::string soname = (*m)[1];
    std::smatch where;
    if (!std::regex_search(
            resolved, where,
            std::regex("\\s" + std::regex_replace(soname, std::regex(R"([.+])"), R"(\$&)") + R"( => (\S+))")))
      continue;
    const std::string path = where[1];
    // The file may be known to dpkg under /lib or /usr/lib.
    for (const std::string& candidate : {path, path.rfind("/usr/", 0) == 0 ? path.substr(4) : "/usr" + path}) {
      const TRun owner = RunProgram("dpkg", {"-S", QString::fromStdString(candidate)});
      if (owner.Status != 0) continue;
      packages.insert(owner.Out.substr(0, owner.Out.find_first_of(":,")));
      break;
    }
  }
  return packages;
}

TEST_F(DebianPackage, DependsOnThePackagesOfEveryLibraryItsProgramsNeed) {
  std::set<std::string> depends;
  std::istringstream fields(Field("Depends"));
  for (std::string entry; std::getline(fields, entry, ',');) {
    std::istringstream words(entry);
    std::string name;
    words >> name;
    depends.insert(name.substr(0, name.find(':')));
  }
  std::set<std::string> needed{"qt6-qpa-plugins"};  // without the platform plugins no window opens
  for (const char* program : {"/app/quillmark", "/tools/quillmark-export", "/tools/quillmark-check"}) {
    const std::set<std::string> own = PackagesOfLibraries(QString(QM_BUILD_DIR) + program);
    EXPECT_FALSE(own.empty()) << program;
    needed.insert(own.begin(), own.end());
  }
  for (const std::string& package : needed)
    EXPECT_TRUE(depends.count(package)) << package << " in " << Field("Depends");
  EXPECT_NE(Field("Recommends").find("fonts-liberation"), std::string::npos);
}

TEST_F(DebianPackage, HoldsTheInstallTreeUnderUsr) {
  TempFolder root;
  ASSERT_EQ(
      RunProgram("dpkg-deb", {"-x", QString::fromStdString(deb_), QString::fromStdString(root.Path().string())}).Status,
      0);
  std::vector<std::string> expected;
  for (const std::string& file : ExpectedInstallFiles()) expected.push_back("usr/" + file);
  EXPECT_EQ(FilesUnder(root.Path()), expected);
  // Its programs are stripped of their debugging sections.
  for (const char* name : {"quillmark", "quillmark-export", "quillmark-check"}) {
    const std::string sections = RunProgram("readelf", {"-S", QString::fromStdString(root / "usr/bin/" + name)}).Out;
    EXPECT_EQ(sections.find(".debug_info"), std::string::npos) << name;
  }
}

TEST_F(DebianPackage, ItsEditorStartedElsewhereLoadsTheShippedVocabulary) {
  TempFolder root;
  ASSERT_EQ(
      RunProgram("dpkg-deb", {"-x", QString::fromStdString(deb_), QString::fromStdString(root.Path().string())}).Status,
      0);
  fs::create_directories(root / "elsewhere");
  fs::create_directories(root / "home");
  EXPECT_EQ(VocabularyLine(QString::fromStdString(root / "usr/bin/quillmark"),
                           QString::fromStdString(root / "elsewhere"), QString::fromStdString(root / "home")),
            VocabularyLoaded(root / "usr/share/quillmark/data/scriptitems.xml"));
}

TEST_F(DebianPackage, LintianFindsNoError) {
  if (!HaveTool("lintian")) GTEST_SKIP() << "lintian is not installed";
  const TRun lintian =
      RunProgram("lintian", {"--fail-on", "error", "--no-tag-display-limit", QString::fromStdString(deb_)});
  EXPECT_EQ(lintian.Status, 0) << lintian.Out << lintian.Err;
  // Warnings and notes are shown, for a reader to judge.
  std::cout << lintian.Out;
}

}  // namespace
}  // namespace qm::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
