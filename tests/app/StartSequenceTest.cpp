// Tests of the program's start with a script named on its command line: the real start sequence offscreen, the splash answered by the test.
#include "app/StartSequence.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QThread>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "app/MainWindow.h"
#include "app/Splash.h"
#include "editor/control/PlusMemoU.h"
#include "platform/CodePage.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

class StartWithScript : public MainWindow {
 protected:
  void TearDown() override {
    form.reset();
    MainWindow::TearDown();
  }

  std::string Path(const std::string& name) const { return work.path().toStdString() + "/" + name; }

  // The start sequence as main runs it; the splash is clicked away once it
  // waits in its modal loop, and what the start had done by then is noted.
  void Start(const std::string& script) {
    form.emplace();
    QTimer click;
    click.setInterval(10);
    QObject::connect(&click, &QTimer::timeout, [this, &click] {
      // Inside the splash's own loop: a click while it is still being shown
      // would come before the loop that it should end.
      if (form->Form9 == nullptr || !form->Form9->isVisible() || QThread::currentThread()->loopLevel() == 0) return;
      click.stop();
      splashShown = form->Form9->isVisible();
      mainShownUnderSplash = form->isVisible();
      QMouseEvent press(QEvent::MouseButtonPress, QPointF(200, 150),
                        form->Form9->Image1->mapToGlobal(QPointF(200, 150)), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
      QCoreApplication::sendEvent(form->Form9->Image1, &press);
    });
    click.start();
    StartProgram(*form, script);
  }

  std::optional<TForm1> form;
  bool splashShown = false;
  bool mainShownUnderSplash = true;
};

// A script argument and what the start makes of it.
struct TArgumentCase {
  const char* Name;
  // Makes the file (or not) and gives the argument as typed.
  std::function<std::string(const std::string& folder)> Make;
  const char* OpenedName;  // the file as the messages name it, under the folder
  std::u16string Text;     // the editor's text after the start
  int Errno;               // the reason of the error box, 0 for none
  bool NulWarning;
};

// A case by its name in gtest's messages.
void PrintTo(const TArgumentCase& c, std::ostream* os) { *os << c.Name; }

std::string Put(const std::string& path, const std::string& bytes) {
  WriteFile(path, bytes);
  return path;
}

const TArgumentCase kArgumentCases[] = {
    {"Readable", [](const std::string& d) { return Put(d + "/a.txt", "scn A\r\nshort x\nend"); }, "a.txt",
     u"scn A\r\nshort x\r\nend", 0, false},
    {"EightBit", [](const std::string& d) { return Put(d + "/ru.txt", "; \xCF\xF0\xE8\xE2\xE5\xF2\r\n"); }, "ru.txt",
     u"; Привет\r\n", 0, false},
    {"NulBytes", [](const std::string& d) { return Put(d + "/nul.txt", std::string("set\0x", 5)); }, "nul.txt",
     u"set x", 0, true},
    {"Missing", [](const std::string& d) { return d + "/missing.txt"; }, "missing.txt", u"", ENOENT, false},
    {"AFolder",
     [](const std::string& d) {
       fs::create_directory(d + "/folder.txt");
       return d + "/folder.txt";
     },
     "folder.txt", u"", EISDIR, false},
    {"RelativeToTheStartFolder",
     [](const std::string& d) {
       fs::create_directory(d + "/sub");
       Put(d + "/sub/rel.txt", "if x\r\nendif");
       return std::string("sub/rel.txt");
     },
     "sub/rel.txt", u"if x\r\nendif", 0, false},
    {"MissingRelative", [](const std::string&) { return std::string("sub/none.txt"); }, "sub/none.txt", u"", ENOENT,
     false},
};

class ScriptArgument : public StartWithScript, public ::testing::WithParamInterface<TArgumentCase> {};

TEST_P(ScriptArgument, OpensAfterTheStartAsTheOpenCommandDoes) {
  const TArgumentCase& c = GetParam();
  const std::string argument = c.Make(work.path().toStdString());
  Start(argument);
  // The start went its way: splash over a hidden window, then the window.
  EXPECT_TRUE(splashShown);
  EXPECT_FALSE(mainShownUnderSplash);
  EXPECT_EQ(form->Form9, nullptr);
  EXPECT_NE(form->Form3, nullptr);
  EXPECT_TRUE(form->isVisible());

  const std::string opened = Path(c.OpenedName);
  EXPECT_EQ(form->PlusMemoU1.Text(), c.Text);
  if (c.Errno != 0) {
    EXPECT_EQ(errors, std::vector<std::string>{"Cannot open file \"" + opened + "\". " + std::strerror(c.Errno)});
  } else {
    EXPECT_TRUE(errors.empty()) << errors.front();
  }
  if (c.NulWarning)
    EXPECT_EQ(warnings, std::vector<std::string>{"Нулевые байты (NUL) в файле " + opened + " заменены пробелами."});
  else
    EXPECT_TRUE(warnings.empty());
  if (c.Errno == 0) {
    // The dialogs offer the script's folder, and save offers its name.
    EXPECT_EQ(form->JvOpenDialog1->directory().absolutePath().toStdString(), fs::path(opened).parent_path().string());
    EXPECT_EQ(form->JvSaveDialog1->selectedFiles().value(0).toStdString(), opened);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptArgument, ::testing::ValuesIn(kArgumentCases),
                         [](const ::testing::TestParamInfo<TArgumentCase>& info) { return info.param.Name; });

TEST_F(StartWithScript, AFileTheUserMayNotReadGivesTheOpenErrorAndAnEmptyScript) {
  WriteFile(Path("locked.txt"), "scn Locked");
  ::chmod(Path("locked.txt").c_str(), 0);
  if (::access(Path("locked.txt").c_str(), R_OK) == 0) GTEST_SKIP() << "this user reads any file (root)";
  Start(Path("locked.txt"));
  EXPECT_EQ(errors,
            std::vector<std::string>{"Cannot open file \"" + Path("locked.txt") + "\". " + std::strerror(EACCES)});
  EXPECT_EQ(form->PlusMemoU1.Text(), u"");
  EXPECT_TRUE(form->isVisible());
}

TEST_F(StartWithScript, WithoutAScriptTheEditorStartsEmpty) {
  Start("");
  EXPECT_TRUE(splashShown);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->PlusMemoU1.Text(), u"");
  EXPECT_TRUE(errors.empty());
}

// The script is opened after the first show, so it is coloured with the
// shipped vocabulary at once. QM_SCREENSHOT_WINDOW names a PNG file that gets
// the main window (the README's picture).
TEST_F(StartWithScript, AScriptOpensColouredByTheShippedVocabulary) {
  for (const char* name : {"scriptitems.xml", "help.xml", "user.txt"})
    WriteFile(std::string("data/") + name, ReadFile(std::string(QM_SOURCE_DIR) + "/data/" + name));
  WriteFile(Ini(), "[Inspector]\nValue=0\n");
  const std::u16string script =
      u"scn QuillDemoScript\r\n\r\nshort doOnce\r\nfloat posX\r\n\r\nbegin GameMode\r\n"
      u"  ; remember where the player stands\r\n  if doOnce == 0\r\n    set posX to player.GetPos x\r\n"
      u"    Message \"Позиция: %.0f\" posX\r\n    set doOnce to 1\r\n  endif\r\nend\r\n";
  WriteFile(Path("demo.txt"), WideToAnsi(script));
  Start("demo.txt");
  ASSERT_TRUE(errors.empty()) << errors.front();
  ASSERT_EQ(form->PlusMemoU1.Text(), script);
  // Painting lays the lines out, which brings their keywords' colours.
  const QPixmap window = form->grab();
  const struct {
    const char16_t* Word;
    int Context;
  } words[] = {{u"QuillDemoScript", 88}, {u"GetPos", 4}, {u"short", 2}, {u"GameMode", 3}};
  for (const auto& w : words) {
    form->PlusMemoU1.SetSelStart(static_cast<int>(script.find(w.Word) + 1));
    EXPECT_EQ(form->PlusMemoU1.CaretNav().Context(), w.Context) << QString::fromStdU16String(w.Word).toStdString();
  }
  // The caret right after the function, its help in the message pane.
  form->PlusMemoU1.SetSelStart(static_cast<int>(script.find(u"GetPos") + 6));
  form->PlusMemoU1Change();
  EXPECT_NE(form->PlusMemoU2.Text().find(u"GetPos"), std::u16string::npos);

  if (const char* path = std::getenv("QM_SCREENSHOT_WINDOW"); path != nullptr && *path != 0) {
    form->ListBox1->scrollToItem(form->ListBox1->currentItem(), QAbstractItemView::PositionAtCenter);
    EXPECT_TRUE(form->grab().save(QString::fromLocal8Bit(path)));
  }
  EXPECT_FALSE(window.isNull());
}

}  // namespace
}  // namespace qm
