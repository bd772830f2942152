// Tests of `cmake --install` into a temporary prefix: the files of the tree, the desktop and AppStream entries, and the installed programs run from another folder.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImageReader>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Programs.h"
#include "TempFolder.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

class InstallTree : public ::testing::Test {
 protected:
  // One install for all tests of a run of this program.
  static void SetUpTestSuite() {
    prefix_ = new QTemporaryDir;
    const TRun install = RunProgram(QM_CMAKE, {"--install", QM_BUILD_DIR, "--prefix", prefix_->path()});
    installed_ = install.Status == 0;
    installLog_ = install.Out + install.Err;
  }
  static void TearDownTestSuite() {
    delete prefix_;
    prefix_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(installed_) << installLog_; }

  static std::string Prefix() { return fs::canonical(prefix_->path().toStdString()).string(); }
  static std::string At(const std::string& relative) { return Prefix() + "/" + relative; }
  static QString Program(const char* name) { return QString::fromStdString(At(std::string("bin/") + name)); }

  static QTemporaryDir* prefix_;
  static bool installed_;
  static std::string installLog_;
};

QTemporaryDir* InstallTree::prefix_ = nullptr;
bool InstallTree::installed_ = false;
std::string InstallTree::installLog_;

TEST_F(InstallTree, HoldsExactlyTheProgramsDataDesktopFilesIconAndManualPages) {
  EXPECT_EQ(FilesUnder(Prefix()), ExpectedInstallFiles());
  for (const char* name : {"quillmark", "quillmark-export", "quillmark-check"}) {
    struct stat info {};
    ASSERT_EQ(::stat(At(std::string("bin/") + name).c_str(), &info), 0) << name;
    EXPECT_TRUE(info.st_mode & S_IXOTH) << name;
  }
}

TEST_F(InstallTree, TheInstalledFilesAreTheSourcesOwn) {
  const std::string source = QM_SOURCE_DIR;
  const struct {
    std::string Installed;
    std::string Source;
  } copies[] = {
      {"share/quillmark/data/scriptitems.xml", "data/scriptitems.xml"},
      {"share/quillmark/data/help.xml", "data/help.xml"},
      {"share/quillmark/data/user.txt", "data/user.txt"},
      {"share/applications/quillmark.desktop", "packaging/quillmark.desktop"},
      {"share/metainfo/org.quillmark.quillmark.metainfo.xml", "packaging/org.quillmark.quillmark.metainfo.xml"},
      {"share/icons/hicolor/scalable/apps/quillmark.svg", "packaging/icons/quillmark.svg"},
      {"share/doc/quillmark/copyright", "packaging/debian/copyright"},
  };
  for (const auto& c : copies) EXPECT_EQ(ReadFile(At(c.Installed)), ReadFile(source + "/" + c.Source)) << c.Installed;
  const struct {
    std::string Installed;
    std::string Source;
  } compressed[] = {
      {"share/man/man1/quillmark.1.gz", "packaging/man/quillmark.1"},
      {"share/man/man1/quillmark-export.1.gz", "packaging/man/quillmark-export.1"},
      {"share/man/man1/quillmark-check.1.gz", "packaging/man/quillmark-check.1"},
      {"share/doc/quillmark/changelog.gz", "packaging/debian/changelog"},
  };
  for (const auto& c : compressed) {
    const TRun unpacked = RunProgram("gzip", {"-dc", QString::fromStdString(At(c.Installed))});
    EXPECT_EQ(unpacked.Status, 0) << c.Installed;
    EXPECT_EQ(unpacked.Out, ReadFile(source + "/" + c.Source)) << c.Installed;
  }
}

TEST_F(InstallTree, EachIconIsDrawnInItsOwnSize) {
  for (const int size : IconSizes()) {
    const std::string edge = std::to_string(size);
    QImageReader icon(QString::fromStdString(At("share/icons/hicolor/" + edge + "x" + edge + "/apps/quillmark.png")));
    EXPECT_EQ(icon.format(), "png") << size;
    EXPECT_EQ(icon.size(), QSize(size, size)) << size;
  }
}

TEST_F(InstallTree, TheManualPagesFormatWithoutWarnings) {
  if (!HaveTool("man")) GTEST_SKIP() << "man is not installed";
  for (const char* page : {"quillmark.1.gz", "quillmark-export.1.gz", "quillmark-check.1.gz"}) {
    const TRun man =
        RunProgram("man", {"--warnings", "-l", QString::fromStdString(At(std::string("share/man/man1/") + page))}, {},
                   {{"MANWIDTH", "80"}, {"MANPAGER", "cat"}, {"PAGER", "cat"}});
    EXPECT_EQ(man.Status, 0) << page << "\n" << man.Err;
    EXPECT_EQ(man.Err, "") << page;
    EXPECT_NE(man.Out.find("SYNOPSIS"), std::string::npos) << page;
  }
}

TEST_F(InstallTree, TheDesktopEntryOpensAFileWithTheInstalledProgramAndIcon) {
  const std::string entry = ReadFile(At("share/applications/quillmark.desktop"));
  for (const char* line : {"Exec=quillmark %f\n", "Icon=quillmark\n", "MimeType=text/plain;\n", "Name=Quillmark\n",
                           "Name[ru]=Quillmark\n", "Type=Application\n", "Terminal=false\n"})
    EXPECT_NE(entry.find(line), std::string::npos) << line;
  for (const char* key : {"\nComment=", "\nComment[ru]=", "\nGenericName=", "\nGenericName[ru]="})
    EXPECT_NE(entry.find(key), std::string::npos) << key;
  if (!HaveTool("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
  const TRun check =
      RunProgram("desktop-file-validate", {QString::fromStdString(At("share/applications/quillmark.desktop"))});
  EXPECT_EQ(check.Status, 0) << check.Out << check.Err;
  EXPECT_EQ(check.Out + check.Err, "");
}

TEST_F(InstallTree, TheAppStreamEntryValidates) {
  if (!HaveTool("appstreamcli")) GTEST_SKIP() << "appstreamcli is not installed";
  const QString metainfo = QString::fromStdString(At("share/metainfo/org.quillmark.quillmark.metainfo.xml"));
  const TRun check = RunProgram("appstreamcli", {"validate", "--no-net", "--pedantic", metainfo});
  EXPECT_EQ(check.Status, 0) << check.Out << check.Err;
  EXPECT_NE(check.Out.find("Validation was successful"), std::string::npos) << check.Out;
  EXPECT_EQ(check.Out.find("P:"), std::string::npos) << check.Out;
  // The tree as a whole: the entry, its desktop entry and its icon together.
  const TRun tree = RunProgram("appstreamcli", {"validate-tree", "--no-net", QString::fromStdString(Prefix())});
  EXPECT_EQ(tree.Status, 0) << tree.Out << tree.Err;
}

TEST_F(InstallTree, TheInstalledProgramsAnswerHelpAndVersionWithoutADisplay) {
  const TEnvironment noDisplay{
      {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};
  TempFolder elsewhere;
  const QString folder = QString::fromStdString(elsewhere.Path().string());
  for (const char* name : {"quillmark", "quillmark-export", "quillmark-check"}) {
    const TRun version = RunProgram(Program(name), {"--version"}, folder, noDisplay);
    EXPECT_EQ(version.Status, 0) << name << ": " << version.Err;
    EXPECT_EQ(version.Out, std::string(name) + " (Quillmark) 1.2\n");
    const TRun help = RunProgram(Program(name), {"--help"}, folder, noDisplay);
    EXPECT_EQ(help.Status, 0) << name << ": " << help.Err;
    EXPECT_EQ(help.Out.rfind(std::string("Usage: ") + name + " ", 0), 0u) << help.Out;
  }
}

TEST_F(InstallTree, TheInstalledToolsReadTheInstalledVocabularyFromAnyFolder) {
  TempFolder elsewhere;
  WriteFile(elsewhere / "script.txt",
            "scn Probe\r\nshort done\r\nbegin GameMode\r\n  set done to player.GetPos x\r\nend\r\n");
  const QString data = QString::fromStdString(At("share/quillmark/data"));
  const QString folder = QString::fromStdString(elsewhere.Path().string());
  // Named, and found beside the tool when not named (without a vocabulary the tools stop with status 2).
  for (const QStringList& args : {QStringList{"--data", data, "script.txt"}, QStringList{"script.txt"}}) {
    const TRun check = RunProgram(Program("quillmark-check"), args, folder);
    EXPECT_EQ(check.Status, 0) << args.join(' ').toStdString() << ": " << check.Err;
    EXPECT_EQ(check.Out, "");
  }
  const TRun exported = RunProgram(Program("quillmark-export"), {"-o", "script.rtf", "script.txt"}, folder);
  EXPECT_EQ(exported.Status, 0) << exported.Err;
  EXPECT_TRUE(fs::is_regular_file(elsewhere.Path() / "script.rtf"));
}

// The installed editor started from an empty folder reads the installed
// vocabulary; started in a folder holding data/ it keeps to that one.
TEST_F(InstallTree, TheInstalledEditorFindsItsVocabularyFromAnyFolder) {
  TempFolder elsewhere;
  fs::create_directories(elsewhere / "empty");
  fs::create_directories(elsewhere / "own/data");
  fs::create_directories(elsewhere / "home");
  WriteFile(elsewhere / "own/data/scriptitems.xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><extension><function>Own</function></extension></r>");
  const QString home = QString::fromStdString(elsewhere / "home");
  EXPECT_EQ(VocabularyLine(Program("quillmark"), QString::fromStdString(elsewhere / "empty"), home),
            VocabularyLoaded(At("share/quillmark/data/scriptitems.xml")));
  EXPECT_EQ(VocabularyLine(Program("quillmark"), QString::fromStdString(elsewhere / "own"), home),
            VocabularyLoaded(elsewhere / "own/data/scriptitems.xml"));
}

}  // namespace
}  // namespace qm::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
