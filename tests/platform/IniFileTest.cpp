// The settings file: reading values and numbers, writes that keep the rest of the file, failed writes, and where the file lives.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::Names;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

using namespace std::string_literals;

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct ReadCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  std::string expected;  // "<default>" when the read must give the default
};

TEST(IniFile, ReadsStringsAsTheProfileServiceDoes) {
  const std::string D = "<default>";
  const std::vector<ReadCase> cases = {
      {"plain", "[Editor]\nFont=Courier New\n", "Editor", "Font", "Courier New"},
      {"case of section and key", "[EDITOR]\nfONT=Arial\n", "Editor", "Font", "Arial"},
      {"Cyrillic names fold", "[\xD0\xE5\xE4]\n\xEA\xEB\xFE\xF7=1\n", "\xF0\xE5\xE4", "\xCA\xCB\xDE\xD7", "1"},
      {"blanks around", "  [ Editor ]  \n\t Font \t=  Courier New \t\n", "Editor", "Font", "Courier New"},
      {"double quotes removed", "[S]\nK=\" padded \"\n", "S", "K", " padded "},
      {"single quotes removed", "[S]\nK='x'\n", "S", "K", "x"},
      {"unequal quotes kept", "[S]\nK=\"x'\n", "S", "K", "\"x'"},
      {"one quote kept", "[S]\nK=\"\n", "S", "K", "\""},
      {"empty value is empty", "[S]\nK=\n", "S", "K", ""},
      {"equals inside value", "[S]\nK=a=b\n", "S", "K", "a=b"},
      {"semicolon inside value", "[S]\nK=5 ; note\n", "S", "K", "5 ; note"},
      {"missing key", "[S]\nOther=1\n", "S", "K", D},
      {"missing section", "[T]\nK=1\n", "S", "K", D},
      {"key of another section", "[T]\nK=1\n[S]\n", "S", "K", D},
      {"comment line", "[S]\n;K=1\n", "S", "K", D},
      {"indented comment line", "[S]\n  ; K=1\nK=2\n", "S", "K", "2"},
      {"line without equals", "[S]\nK\n", "S", "K", D},
      {"key before any section", "K=1\n[S]\n", "S", "K", D},
      {"header text after bracket", "[S] ; main\nK=1\n", "S", "K", "1"},
      {"broken header opens nothing", "[S]\n[T\nK=1\n", "S", "K", "1"},
      {"duplicate key: first wins", "[S]\nK=1\nK=2\n", "S", "K", "1"},
      {"duplicate section: first key wins", "[S]\nK=1\n[T]\n[S]\nK=2\n", "S", "K", "1"},
      {"duplicate section: only the first is read", "[S]\nA=1\n[T]\n[s]\nK=2\n", "S", "K", D},
      {"CR LF lines", "[S]\r\nA=1\r\nK=two words\r\n", "S", "K", "two words"},
      {"no final line break", "[S]\nK=last", "S", "K", "last"},
      {"NUL bytes elsewhere", "[S]\nA=x\0y\nK=z\n"s, "S", "K", "z"},
      {"NUL byte in value", "[S]\nK=x\0y\n"s, "S", "K", "x\0y"s},
      {"byte order mark", "\xEF\xBB\xBF[S]\nK=1\n", "S", "K", "1"},
      {"8-bit value", "[S]\nK=\xCF\xF0\xE8\xE2\xE5\xF2\n", "S", "K", "\xCF\xF0\xE8\xE2\xE5\xF2"},
  };
  TempFolder dir;
  const std::string path = dir / "Quillmark.ini";
  const TIniFile ini(path);
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(path, c.file);
    EXPECT_EQ(ini.ReadString(c.section, c.key, D), c.expected);
  }
}

TEST(IniFile, MissingOrUnreadableFileGivesDefaultsAndCreatesNothing) {
  TempFolder dir;
  fs::create_directory(dir / "folder");
  for (const std::string& path : {dir / "none.ini", dir / "folder", dir / "none/deeper/Quillmark.ini"}) {
    SCOPED_TRACE(path);
    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
    EXPECT_EQ(ini.ReadInteger("S", "K", 42), 42);
    EXPECT_TRUE(ini.ReadBool("S", "K", true));
  }
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"folder"});
}

TEST(IniFile, ParsesIntegers) {
  const std::optional<int32_t> none;
  const std::vector<std::pair<std::string, std::optional<int32_t>>> cases = {
      {"10", 10},
      {"0", 0},
      {"00012", 12},
      {"+5", 5},
      {"-16777211", -16777211},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", none},
      {"-2147483649", none},
      {"99999999999999999999", none},
      {"0x1F", 31},
      {"0X1f", 31},
      {"$1F", 31},
      {"$ff", 255},
      {"0xFF000005", -16777211},
      {"$FFFFFFFF", -1},
      {"0x0000000001", 1},
      {"0x100000000", none},
      {"-0x10", -16},
      {"-$10", -16},
      {"", none},
      {"-", none},
      {"+", none},
      {"0x", none},
      {"$", none},
      {"abc", none},
      {"0xG1", none},
      {"10abc", none},
      {"1 2", none},
      {"12 ; note", none},
      {" 7", none},
      {"--7", none},
      {"1e5", none},
      {"0b101", none},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(IniStringToInteger(text), expected);
  }
}

TEST(IniFile, ReadsIntegersAndBooleansFromTheFile) {
  struct Case {
    std::string value;
    int32_t integer;  // read with default 77
    bool boolean;     // read with default true; the same with default false unless `fromDefault`
    bool fromDefault;
  };
  const std::vector<Case> cases = {
      {"10", 10, true, false},
      {" 42 ", 42, true, false},
      {"\"12\"", 12, true, false},
      {"0x1F", 31, true, false},
      {"-16777211", -16777211, true, false},
      {"0", 0, false, false},
      {"-1", -1, true, false},
      {"2", 2, true, false},
      {"letters", 77, true, true},
      {"true", 77, true, true},
      {"", 77, true, true},
      {"10abc", 77, true, true},
  };
  TempFolder dir;
  const std::string path = dir / "Quillmark.ini";
  const TIniFile ini(path);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    WriteFile(path, "[S]\nK=" + c.value + "\n");
    EXPECT_EQ(ini.ReadInteger("S", "K", 77), c.integer);
    EXPECT_EQ(ini.ReadBool("S", "K", true), c.boolean);
    EXPECT_EQ(ini.ReadBool("S", "K", false), c.fromDefault ? false : c.boolean);
  }
  EXPECT_EQ(ini.ReadInteger("S", "Missing", -5), -5);
}

TEST(IniFile, WrittenValuesReadBackUnchanged) {
  TempFolder dir;
  const std::string path = dir / "Quillmark.ini";
  TIniFile ini(path);
  for (const int32_t value : {0, 1, -1, 150, -16777211, 8421440, INT_MAX, INT_MIN}) {
    ini.WriteInteger("Syntax", "Functions", value);
    EXPECT_EQ(ini.ReadInteger("Syntax", "Functions", 12345), value);
    EXPECT_EQ(ReadFile(path), "[Syntax]\nFunctions=" + std::to_string(value) + "\n");
  }
  for (const bool value : {true, false}) {
    ini.WriteBool("MainWindow", "Maximised", value);
    EXPECT_EQ(ini.ReadBool("MainWindow", "Maximised", !value), value);
    EXPECT_NE(ReadFile(path).find(value ? "Maximised=1\n" : "Maximised=0\n"), std::string::npos);
  }
  const std::vector<std::string> strings = {
      "Courier New",
      "",
      " lead",
      "trail ",
      "\t",
      "\"quoted\"",
      "'single'",
      "\"",
      "a=b",
      "x ; y",
      "[not a section]",
      "\xCF\xF0\xE8\xE2\xE5\xF2",
      "x\0y"s,
      std::string(1 << 20, 'v'),
  };
  for (const std::string& value : strings) {
    SCOPED_TRACE(value.substr(0, 20));
    ini.WriteString("Editor", "Font", value);
    EXPECT_EQ(ini.ReadString("Editor", "Font", "<default>"), value);
  }
  // The other keys survived all those rewrites.
  EXPECT_EQ(ini.ReadInteger("Syntax", "Functions", 0), INT_MIN);
  EXPECT_FALSE(ini.ReadBool("MainWindow", "Maximised", true));
}

struct WriteCase {
  const char* name;
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

TEST(IniFile, WriteChangesOnlyTheKeyAndKeepsTheRest) {
  const std::vector<WriteCase> cases = {
      {"replace value", "; settings\n[A]\nx=1\n\n[B]\ny=2\n", "A", "x", "10", "; settings\n[A]\nx=10\n\n[B]\ny=2\n"},
      {"replace keeps CR LF", "[A]\r\nx=1\r\ny=2\r\n", "A", "x", "10", "[A]\r\nx=10\r\ny=2\r\n"},
      {"replace keeps spelling and blanks", "[a]\n  X = 1  \n", "A", "x", "10", "[a]\n  X = 10\n"},
      {"replace empty value", "[A]\nx=\n", "A", "x", "5", "[A]\nx=5\n"},
      {"replace first of duplicate keys", "[A]\nx=1\nx=2\n", "A", "x", "3", "[A]\nx=3\nx=2\n"},
      {"later duplicate section is not written", "[A]\n[B]\n[A]\nx=1\n", "A", "x", "3", "[A]\nx=3\n[B]\n[A]\nx=1\n"},
      {"replace unterminated last line", "[A]\nx=1", "A", "x", "2", "[A]\nx=2"},
      {"replace keeps NUL bytes", "[A]\nn=a\0b\nx=1\n"s, "A", "x", "2", "[A]\nn=a\0b\nx=2\n"s},
      {"new key after last key", "[A]\nx=1\n; about B\n\n[B]\ny=2\n", "A", "z", "3",
       "[A]\nx=1\nz=3\n; about B\n\n[B]\ny=2\n"},
      {"new key in empty section", "[A]\n[B]\n", "A", "z", "3", "[A]\nz=3\n[B]\n"},
      {"new key in first duplicate section", "[A]\nx=1\n[A]\ny=2\n", "A", "z", "3", "[A]\nx=1\nz=3\n[A]\ny=2\n"},
      {"new key with CR LF", "[A]\r\nx=1\r\n", "A", "z", "3", "[A]\r\nx=1\r\nz=3\r\n"},
      {"new key after unterminated line", "[A]\nx=1", "A", "z", "3", "[A]\nx=1\nz=3\n"},
      {"new key ignores keys before sections", "z=0\n[A]\n", "A", "z", "3", "z=0\n[A]\nz=3\n"},
      {"new key ignores comment", "[A]\n;z=0\n", "A", "z", "3", "[A]\nz=3\n;z=0\n"},
      {"new section at end", "[A]\nx=1\n", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n"},
      {"new section after blank line", "[A]\nx=1\n\n", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n"},
      {"new section after unterminated line", "[A]\nx=1", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n"},
      {"new section with CR LF", "[A]\r\nx=1\r\n", "B", "y", "2", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"},
      {"new key after byte order mark", "\xEF\xBB\xBF[A]\n", "A", "z", "3", "\xEF\xBB\xBF[A]\nz=3\n"},
      {"new section in empty file", "", "B", "y", "2", "[B]\ny=2\n"},
      {"quotes protect blanks", "[A]\nx=1\n", "A", "x", " 1 ", "[A]\nx=\" 1 \"\n"},
  };
  TempFolder dir;
  const std::string path = dir / "Quillmark.ini";
  TIniFile ini(path);
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(path, c.before);
    ini.WriteString(c.section, c.key, c.value);
    EXPECT_EQ(ReadFile(path), c.after);
    EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.value);
  }
}

TEST(IniFile, EveryCallGoesToTheFile) {
  TempFolder dir;
  const std::string path = dir / "Quillmark.ini";
  TIniFile first(path);
  const TIniFile second(path);
  first.WriteInteger("Message", "Height", 70);
  EXPECT_EQ(second.ReadInteger("Message", "Height", 0), 70);
  WriteFile(path, "[Message]\nHeight=90\n");
  EXPECT_EQ(first.ReadInteger("Message", "Height", 0), 90);
  fs::remove(path);
  EXPECT_EQ(first.ReadInteger("Message", "Height", 0), 0);
}

TEST(IniFile, FirstWriteCreatesTheFileAndItsFolders) {
  TempFolder dir;
  const std::string path = dir / "config/sub/Quillmark.ini";
  TIniFile ini(path);
  ini.WriteInteger("MainWindow", "X", 150);
  EXPECT_EQ(ReadFile(path), "[MainWindow]\nX=150\n");
  EXPECT_EQ(Names(dir.Path() / "config/sub"), std::vector<std::string>{"Quillmark.ini"});
}

TEST(IniFile, WriteThroughALinkKeepsTheLink) {
  TempFolder dir;
  const std::string target = dir / "real.ini";
  const std::string link = dir / "Quillmark.ini";
  WriteFile(target, "[A]\nx=1\n");
  fs::create_symlink("real.ini", link);
  TIniFile ini(link);
  ini.WriteInteger("A", "x", 2);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(target), "[A]\nx=2\n");
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"Quillmark.ini", "real.ini"}));
}

void ExpectUnableToWrite(TIniFile& ini, const char* section, const char* key, const std::string& value) {
  try {
    ini.WriteString(section, key, value);
    ADD_FAILURE() << "the write did not fail";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message, "Unable to write to " + ini.FileName());
  }
}

TEST(IniFile, FailedWriteReportsAndLeavesTheOldFileWhole) {
  TempFolder dir;
  const std::string old = "; mine\n[A]\nx=1\n";
  const std::string path = dir / "Quillmark.ini";
  WriteFile(path, old);
  struct Case {
    const char* name;
    std::string path;
    const char* section;
    const char* key;
    std::string value;
  };
  const std::vector<Case> cases = {
      {"path is a folder", dir / "folder", "A", "x", "2"},
      {"folder part is a file", path + "/Quillmark.ini", "A", "x", "2"},
      {"name too long", dir / std::string(300, 'n'), "A", "x", "2"},
      {"value with line feed", path, "A", "x", "2\n[B]\ny=3"},
      {"value with carriage return", path, "A", "x", "2\r"},
      {"key with equals", path, "A", "x=y", "2"},
      {"empty key", path, "A", "", "2"},
      {"key with blanks", path, "A", " x", "2"},
      {"key like a comment", path, "A", ";x", "2"},
      {"key like a section", path, "A", "[x]", "2"},
      {"section with bracket", path, "A]x", "x", "2"},
      {"section with line feed", path, "A\nB", "x", "2"},
  };
  fs::create_directory(dir / "folder");
  WriteFile(dir / "folder/inside.txt", "kept");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TIniFile ini(c.path);
    ExpectUnableToWrite(ini, c.section, c.key, c.value);
    EXPECT_EQ(ReadFile(path), old);
  }
  EXPECT_EQ(ReadFile(dir / "folder/inside.txt"), "kept");
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"Quillmark.ini", "folder"}));
}

// Permission bits do not stop root, so these cases only run for other users.
TEST(IniFile, WriteToReadOnlyFileOrFolderFails) {
  TempFolder dir;
  const std::string old = "[A]\nx=1\n";
  const std::string file = dir / "file.ini";
  fs::create_directory(dir / "locked");
  const std::string inLocked = dir / "locked/Quillmark.ini";
  WriteFile(file, old);
  WriteFile(inLocked, old);
  fs::permissions(file, fs::perms::owner_read);
  fs::permissions(dir.Path() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(file.c_str(), W_OK) == 0) GTEST_SKIP() << "this user may write read-only files";
  for (const std::string& path : {file, inLocked}) {
    SCOPED_TRACE(path);
    TIniFile ini(path);
    ExpectUnableToWrite(ini, "A", "x", "2");
    EXPECT_EQ(ReadFile(path), old);
    // A write that changes nothing needs no disk write and cannot fail.
    EXPECT_NO_THROW(ini.WriteInteger("A", "x", 1));
  }
  EXPECT_EQ(Names(dir.Path() / "locked"), std::vector<std::string>{"Quillmark.ini"});
}

TEST(IniFile, WriteToUnreadableFileFailsInsteadOfLosingItsKeys) {
  TempFolder dir;
  const std::string path = dir / "Quillmark.ini";
  WriteFile(path, "[A]\nx=1\n");
  fs::permissions(path, fs::perms::owner_write);
  if (::access(path.c_str(), R_OK) == 0) GTEST_SKIP() << "this user may read unreadable files";
  TIniFile ini(path);
  ExpectUnableToWrite(ini, "B", "y", "2");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(ReadFile(path), "[A]\nx=1\n");
}

TEST(IniFile, LargeFileKeepsEveryLine) {
  TempFolder dir;
  const std::string path = dir / "Quillmark.ini";
  std::string text;
  for (int s = 0; s < 100; ++s) {
    text += "[Section" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < 1000; ++k) text += "Key" + std::to_string(k) + "=" + std::to_string(s * 1000 + k) + "\r\n";
  }
  WriteFile(path, text);
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("section99", "key999", -1), 99999);
  ini.WriteInteger("Section50", "Key500", -7);
  ini.WriteInteger("Section50", "New", 8);
  std::string expected = text;
  const std::string at = "[Section50]\r\n";
  expected.replace(expected.find("Key500=50500\r\n", expected.find(at)), 14, "Key500=-7\r\n");
  expected.insert(expected.find("[Section51]"), "New=8\r\n");
  EXPECT_EQ(ReadFile(path), expected);
}

// A value of a megabyte is read and replaced like any other; its neighbours stay.
TEST(IniFile, MegabyteValueReadsAndWrites) {
  TempFolder dir;
  const std::string path = dir / "Quillmark.ini";
  const std::string big(1 << 20, 'v');
  WriteFile(path, "[Editor]\nFont=" + big + "\nFontSize=12\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Editor", "Font", ""), big);
  EXPECT_EQ(ini.ReadInteger("Editor", "FontSize", 0), 12);
  EXPECT_EQ(ini.ReadInteger("Editor", "Font", -1), -1) << "letters only give the default";
  const std::string other = big + "w";
  ini.WriteString("Editor", "Font", other);
  EXPECT_EQ(ini.ReadString("Editor", "Font", ""), other);
  ini.WriteString("Editor", "Background", big);
  EXPECT_EQ(ReadFile(path), "[Editor]\nFont=" + other + "\nFontSize=12\nBackground=" + big + "\n");
}

// A file removed between two calls is simply missing: reads give their
// defaults and the next write makes a new file holding that key.
TEST(IniFile, VanishedFileGivesDefaultsAndIsWrittenAgain) {
  TempFolder dir;
  const std::string path = dir / "Quillmark.ini";
  WriteFile(path, "[MainWindow]\nX=10\nY=20\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("MainWindow", "X", 150), 10);
  fs::remove(path);
  EXPECT_EQ(ini.ReadInteger("MainWindow", "X", 150), 150);
  EXPECT_EQ(ini.ReadString("Editor", "Font", "Courier New"), "Courier New");
  ini.WriteInteger("MainWindow", "Y", 30);
  EXPECT_EQ(ReadFile(path), "[MainWindow]\nY=30\n");
}

// With a section twice in the file only the first counts, for reads and
// writes alike, so that what is written is what is read back.
TEST(IniFile, DuplicateSectionsReadAndWriteTheFirst) {
  TempFolder dir;
  const std::string path = dir / "Quillmark.ini";
  WriteFile(path, "[MainWindow]\nX=1\n[Editor]\nFont=A\n[mainwindow]\nX=2\nY=3\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("MainWindow", "X", 0), 1);
  EXPECT_EQ(ini.ReadInteger("MainWindow", "Y", 0), 0) << "the later section's keys are not seen";
  ini.WriteInteger("MainWindow", "Y", 4);
  ini.WriteInteger("MainWindow", "X", 5);
  EXPECT_EQ(ini.ReadInteger("MainWindow", "Y", 0), 4);
  EXPECT_EQ(ini.ReadInteger("MainWindow", "X", 0), 5);
  EXPECT_EQ(ReadFile(path), "[MainWindow]\nX=5\nY=4\n[Editor]\nFont=A\n[mainwindow]\nX=2\nY=3\n");
}

TEST(IniFile, SettingsFileLivesInTheConfigurationFolder) {
  ScopedEnv home("HOME", "/home/someone");
  {
    ScopedEnv config("XDG_CONFIG_HOME", "/tmp/cfg");
    EXPECT_EQ(SettingsFilePath(), "/tmp/cfg/Quillmark.ini");
  }
  {
    ScopedEnv config("XDG_CONFIG_HOME", "/tmp/cfg/");
    EXPECT_EQ(SettingsFilePath(), "/tmp/cfg/Quillmark.ini");
  }
  {
    ScopedEnv config("XDG_CONFIG_HOME", "");
    EXPECT_EQ(SettingsFilePath(), "/home/someone/.config/Quillmark.ini");
  }
  {
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(SettingsFilePath(), "/home/someone/.config/Quillmark.ini");
  }
}

}  // namespace
}  // namespace qm
