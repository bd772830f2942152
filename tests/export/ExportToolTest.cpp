// quillmark-export run as a program in temporary folders: outputs, standard output, settings, batches with failures, messages, exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "RtfTestUtil.h"
#include "app/chain/ChainConfig.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

// The fixtures' vocabulary (FixtureChain) as a vocabulary file.
constexpr const char* kVocabulary =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<items><extension>\n"
    "<function>MessageBox</function><var>short</var><command>set</command><command>to</command>\n"
    "<blocktype>GameMode</blocktype><parameters>player</parameters>\n</extension></items>\n";

struct Result {
  int Status = -1;
  std::string Out;
  std::string Err;
};

class ExportToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qm-export-tool-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root = pattern;
    Write("data/scriptitems.xml", kVocabulary);
    fs::create_directories(root / "config");  // an empty configuration folder: no settings file
  }
  void TearDown() override { fs::remove_all(root); }

  void Write(const std::string& name, const std::string& bytes) {
    fs::create_directories((root / name).parent_path());
    std::ofstream(root / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const { return ReadBytes((root / name).string()); }
  bool Exists(const std::string& name) const { return fs::exists(root / name); }

  // Runs the tool in the temporary folder with the given arguments.
  Result Run(const std::string& args) {
    const std::string command = "cd '" + root.string() + "' && XDG_CONFIG_HOME='" + (root / "config").string() +
                                "' '" QM_EXPORT_TOOL "' " + args + " > out.bin 2> err.txt";
    const int raw = std::system(command.c_str());
    Result r;
    r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.Out = Read("out.bin");
    r.Err = Read("err.txt");
    fs::remove(root / "out.bin");
    fs::remove(root / "err.txt");
    return r;
  }

  fs::path root;
};

TEST(ChainConfigTest, ToolCarriesTheMainWindowsChainAsItStands) {
  EXPECT_EQ(MainChainConfigText(), ReadBytes(ChainPath()));
}

TEST_F(ExportToolTest, StandardOutputGetsWhatTheEditorsSaveAsRtfWrites) {
  Write("keywords.txt", ReadBytes(FixturePath("keywords.txt")));
  const Result r = Run("-o - keywords.txt");
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err, "");
  EXPECT_EQ(r.Out, ReadBytes(FixturePath("keywords.rtf")));
  // Without -o the RTF goes beside the script.
  EXPECT_EQ(Run("keywords.txt").Status, 0);
  EXPECT_EQ(Read("keywords.rtf"), ReadBytes(FixturePath("keywords.rtf")));
}

TEST_F(ExportToolTest, SettingsFileGivesFontBackgroundAndCategoryColours) {
  Write("s.txt", "set x");
  Write("my.ini", "[Editor]\nFont=Lucida Console\nFontSize=12\nBackground=255\n[Syntax]\nCommands=16711680\n");
  const Result r = Run("--settings my.ini -o s.rtf s.txt");
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::string rtf = Read("s.rtf");
  EXPECT_NE(rtf.find("{\\f0\\fnil Lucida Console;}{\\f1\\fnil Courier New;}"), std::string::npos);
  EXPECT_NE(rtf.find("\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red255\\green255\\blue255;"
                     "\\red0\\green0\\blue255;}"),
            std::string::npos);
  EXPECT_NE(rtf.find("\\plain\\f0\\fs24\\b\\cf4\\cb2 set"), std::string::npos);
  // The same file found as the user's settings file.
  fs::copy_file(root / "my.ini", root / "config" / "Quillmark.ini");
  EXPECT_EQ(Run("-o - s.txt").Out, rtf);
}

TEST_F(ExportToolTest, BatchWritesEveryReadableScriptAndNamesTheOneThatFailed) {
  Write("in/a.txt", "one");
  Write("in/sub/b.txt", "two");
  Write("in/.hidden", "skipped");
  Write("c.txt", "three");
  const Result r = Run("-o out in c.txt missing.txt");
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "quillmark-export: missing.txt: No such file or directory\n");
  for (const auto& [name, text] : {std::pair{"out/a.rtf", "one"}, {"out/sub/b.rtf", "two"}, {"out/c.rtf", "three"}}) {
    const std::string rtf = Read(name);
    EXPECT_NE(rtf.find(std::string("\r\n") + text + "\r\n"), std::string::npos) << name;
  }
  EXPECT_FALSE(Exists("out/.hidden.rtf"));
  EXPECT_FALSE(Exists("out/missing.rtf"));
}

TEST_F(ExportToolTest, FailuresGiveOneLineNamingTheFileAndNoOutput) {
  Write("s.txt", "x");
  Write("file", "not a folder");
  struct Case {
    std::string Args;
    int Status;
    std::string Err;
    const char* Absent;
  };
  const Case cases[] = {
      {"--data nowhere -o s.rtf s.txt", 2, "quillmark-export: nowhere/scriptitems.xml: No such file or directory\n",
       "s.rtf"},
      {"--settings none.ini -o s.rtf s.txt", 2, "quillmark-export: none.ini: No such file or directory\n", "s.rtf"},
      {"-o file/s.rtf s.txt", 1, "quillmark-export: file: cannot create folder: Not a directory\n", "file/s.rtf"},
      {"-o s.txt s.txt", 1, "quillmark-export: s.txt: the output would replace the script itself\n", "s.rtf"},
  };
  for (const Case& c : cases) {
    const Result r = Run(c.Args);
    EXPECT_EQ(r.Status, c.Status) << c.Args;
    EXPECT_EQ(r.Err, c.Err) << c.Args;
    EXPECT_FALSE(Exists(c.Absent)) << c.Args;
  }
  EXPECT_EQ(Read("s.txt"), "x");
  Write("data/scriptitems.xml", "<items><extension>");
  const Result broken = Run("-o s.rtf s.txt");
  EXPECT_EQ(broken.Status, 2);
  EXPECT_EQ(broken.Err.rfind("quillmark-export: data/scriptitems.xml: not well-formed XML", 0), 0u) << broken.Err;
  EXPECT_FALSE(Exists("s.rtf"));
}

TEST_F(ExportToolTest, UsageHelpAndVersion) {
  const Result help = Run("--help");
  EXPECT_EQ(help.Status, 0);
  EXPECT_EQ(help.Out.rfind("Usage: quillmark-export [--data DIR] [--settings FILE] [-o OUT] INPUT...\n", 0), 0u);
  const Result version = Run("--version");
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Out, "quillmark-export (Quillmark) 1.2\n");
  struct Case {
    const char* Args;
    const char* Err;
  };
  for (const Case& c :
       {Case{"", "quillmark-export: no input given\n"},
        Case{"--frobnicate x", "quillmark-export: unknown option '--frobnicate'\n"},
        Case{"a.txt -o", "quillmark-export: option '-o' needs a value\n"},
        Case{"-o - a.txt b.txt", "quillmark-export: '-o -' takes a single script, not several or a folder\n"}}) {
    const Result r = Run(c.Args);
    EXPECT_EQ(r.Status, 2) << c.Args;
    EXPECT_EQ(r.Err.substr(0, r.Err.find('\n') + 1), c.Err) << c.Args;
    EXPECT_EQ(r.Out, "");
  }
}

}  // namespace
}  // namespace qm::test
