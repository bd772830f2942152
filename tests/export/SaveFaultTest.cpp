// Saves that cannot lose a file: the text save, the RTF save, the command-line exporter and the settings
// file under a disk that fills at the first, a middle and the last byte, a folder that cannot hold the file,
// a symbolic link, and a process killed while it saves.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"
#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"
#include "editor/control/StringsViews.h"
#include "export/PlusToFormatU.h"
#include "platform/IniFile.h"
#include "tools/ExportCommand.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

// Writes beyond `bytes` fail as on a full disk (EFBIG) while the limit holds.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    previous_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit old_{};
  sighandler_t previous_ = SIG_DFL;
};

std::u16string Script(int lines, char16_t mark) {
  std::u16string text;
  for (int i = 0; i < lines; ++i) {
    text += u"  set value";
    text += mark;
    text += u" to GetPos x ; line " + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u"\r\n";
  }
  return text;
}

// One way of saving: writes its content to path; false (with a message) when
// it reports a failure instead of raising one.
using TSaveRoute = std::function<bool(const std::string& path, std::string& message)>;

struct TRoute {
  const char* Name;
  TSaveRoute Save;
};

class SaveFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadText(memo, Script(2000, u'A'));
    rtf.SetPlusMemoU(&memo);
    fs::create_directories(dir.Path() / "data");
    WriteFile(dir / "data/scriptitems.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><items><extension><function>GetPos</function>"
              "<command>set</command></extension></items>");
    std::string script;
    for (int i = 0; i < 3000; ++i) script += "set x to GetPos y ; " + std::to_string(i) + "\r\n";
    WriteFile(dir / "input.txt", script);
    WriteFile(dir / "settings.ini", "[Editor]\r\nFontSize=11\r\n");
  }

  std::vector<TRoute> Routes() {
    return {
        {"text",
         [this](const std::string& path, std::string&) {
           memo.Lines().SaveToFile(path);
           return true;
         }},
        {"rtf",
         [this](const std::string& path, std::string&) {
           rtf.SaveToFile(path);
           return true;
         }},
        {"exporter",
         [this](const std::string& path, std::string& message) {
           // The messages go to memory: a full disk must not swallow them.
           char buffer[1024] = {};
           std::FILE* err = ::fmemopen(buffer, sizeof buffer - 1, "w");
           const int status = RunExportCommand(
               {"--data", dir / "data", "--settings", dir / "settings.ini", "-o", path, dir / "input.txt"}, stdout, err,
               false);
           std::fclose(err);
           message = buffer;
           return status == 0;
         }},
        {"settings",
         [](const std::string& path, std::string&) {
           TIniFile ini(path);
           ini.WriteString("Editor", "Font", std::string(40000, 'f'));
           return true;
         }},
    };
  }

  // What the route writes when nothing fails.
  std::string Complete(const TRoute& route, const std::string& old) {
    const std::string path = dir / "complete.out";
    WriteFile(path, old);
    std::string message;
    EXPECT_TRUE(route.Save(path, message)) << route.Name << ": " << message;
    const std::string bytes = ReadFile(path);
    fs::remove(path);
    return bytes;
  }

  // Runs the route and tells whether the user heard of a failure.
  static bool Fails(const TRoute& route, const std::string& path) {
    std::string message;
    try {
      if (route.Save(path, message)) return false;
      return !message.empty();
    } catch (const std::exception& e) {
      return std::string(e.what()).size() > 0;
    }
  }

  static std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempFolder dir;
  TPlusMemoU memo;
  TPlusToRTFU rtf;
};

// The old file is a valid settings file too, so each route starts from the same bytes.
const std::string kOld = "[Editor]\r\nFont=Old Font\r\n";

TEST_F(SaveFaults, AFullDiskAtTheFirstAMiddleOrTheLastByteKeepsTheOldFile) {
  fs::create_directories(dir.Path() / "out");
  for (const TRoute& route : Routes()) {
    const std::string complete = Complete(route, kOld);
    ASSERT_GT(complete.size(), 1000u) << route.Name;
    for (const size_t room : {size_t{0}, complete.size() / 2, complete.size() - 1}) {
      const std::string path = dir / "out/target.txt";
      WriteFile(path, kOld);
      bool told;
      {
        TFileSizeLimit full(room);
        told = Fails(route, path);
      }
      EXPECT_TRUE(told) << route.Name << " with room for " << room << " bytes";
      EXPECT_EQ(ReadFile(path), kOld) << route.Name << " with room for " << room << " bytes";
      EXPECT_EQ(Names(dir.Path() / "out"), std::vector<std::string>{"target.txt"}) << route.Name;
    }
    // With room for all of it the save goes through whole.
    const std::string path = dir / "out/target.txt";
    WriteFile(path, kOld);
    {
      TFileSizeLimit enough(complete.size());
      EXPECT_FALSE(Fails(route, path)) << route.Name;
    }
    EXPECT_EQ(ReadFile(path), complete) << route.Name;
  }
}

TEST_F(SaveFaults, AFolderThatCannotHoldTheFileIsReportedAndNothingAppears) {
  // A path through a regular file: no folder there, for root as for anyone.
  WriteFile(dir / "plain", "not a folder");
  for (const TRoute& route : Routes()) {
    EXPECT_TRUE(Fails(route, dir / "plain/target.txt")) << route.Name;
    EXPECT_EQ(ReadFile(dir / "plain"), "not a folder") << route.Name;
  }
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  fs::create_directories(dir.Path() / "locked");
  WriteFile(dir / "locked/target.txt", kOld);
  fs::permissions(dir.Path() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  for (const TRoute& route : Routes()) {
    EXPECT_TRUE(Fails(route, dir / "locked/target.txt")) << route.Name;
    EXPECT_EQ(ReadFile(dir / "locked/target.txt"), kOld) << route.Name;
  }
}

TEST_F(SaveFaults, ASymbolicLinkStaysALinkAndItsTargetGetsTheWholeContent) {
  fs::create_directories(dir.Path() / "real");
  for (const TRoute& route : Routes()) {
    const std::string complete = Complete(route, kOld);
    WriteFile(dir / "real/file.txt", kOld);
    fs::remove(dir / "link.txt");
    fs::create_symlink("real/file.txt", dir / "link.txt");
    EXPECT_FALSE(Fails(route, dir / "link.txt")) << route.Name;
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt")) << route.Name;
    EXPECT_EQ(ReadFile(dir / "real/file.txt"), complete) << route.Name;
    // A full disk behind the link leaves both as they were.
    WriteFile(dir / "real/file.txt", kOld);
    {
      TFileSizeLimit full(complete.size() / 2);
      EXPECT_TRUE(Fails(route, dir / "link.txt")) << route.Name;
    }
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt")) << route.Name;
    EXPECT_EQ(ReadFile(dir / "real/file.txt"), kOld) << route.Name;
  }
}

// A child saves two different texts in turn, as fast as it can; it is killed
// at a different moment each round. The file holds one of the two texts
// whole every time, whatever the save was doing.
TEST_F(SaveFaults, AProcessKilledWhileSavingLeavesAWholeFile) {
  const std::string path = dir / "target.txt";
  TPlusMemoU second;
  LoadText(second, Script(2000, u'B'));
  const std::string a = Complete(Routes()[0], kOld);
  second.Lines().SaveToFile(path);
  const std::string b = ReadFile(path);
  ASSERT_NE(a, b);
  for (int round = 0; round < 24; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) (i % 2 == 0 ? memo : second).Lines().SaveToFile(path);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(2000 + round * 1700));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::string now = ReadFile(path);
    EXPECT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
  }
}

}  // namespace
}  // namespace qm::test
