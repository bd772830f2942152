// Tests of the edit commands on the real main window: find and F3, go to line, the gutter double-click, select all, clipboard, undo, and the dialogs' stored positions.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "app/FindDialog.h"
#include "app/GoToLineDialog.h"
#include "app/MainWindow.h"
#include "editor/control/PlusMemoU.h"
#include "editor/gutter/PlusGutterU.h"
#include "qt/PlusGutterWidget.h"
#include "qt/PlusMemoWidget.h"

namespace qm {
namespace {

// The selection as low end, high end and caret.
struct Selection {
  int32_t Low, High, Caret;
  bool operator==(const Selection&) const = default;
};

void PrintTo(const Selection& s, std::ostream* out) { *out << s.Low << ".." << s.High << " caret " << s.Caret; }

class EditCommands : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    Create();
  }
  void TearDown() override {
    form.reset();
    MainWindow::TearDown();
  }
  void Create() {
    form.reset();
    form.emplace();
    form->CreateForms();  // as the start sequence does after the splash
    form->show();
  }

  TPlusMemoU& Memo() { return form->PlusMemoU1; }
  TForm4& Find() { return *form->Form4; }

  // The find dialog's contents.
  void SetSearch(const QString& text, int direction, bool matchCase = false, bool wholeWord = false) {
    Find().Edit1->setText(text);
    Find().RadioGroup1->SetItemIndex(direction);
    Find().CheckBox1->setChecked(matchCase);
    Find().CheckBox2->setChecked(wholeWord);
  }
  Selection Selected() {
    const int32_t caret = Memo().SelStart();
    const int32_t other = caret + Memo().SelLength();
    return {std::min(caret, other), std::max(caret, other), caret};
  }

  std::optional<TForm1> form;
};

TEST_F(EditCommands, FindDownSelectsEachOccurrenceInTurnAndUpGoesBack) {
  Memo().SetText(u"ab ab ab");
  Memo().SetSelStart(0);
  form->FindExecute();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Find()));
  SetSearch("ab", 0);
  Find().Button1->click();
  EXPECT_EQ(Selected(), (Selection{0, 2, 2}));
  // The dialog stays open and the editor has the focus.
  EXPECT_TRUE(Find().isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->PlusMemoU1Widget->hasFocus(); }));
  form->Action("FindNext")->trigger();
  EXPECT_EQ(Selected(), (Selection{3, 5, 5}));
  form->Action("FindNext")->trigger();
  EXPECT_EQ(Selected(), (Selection{6, 8, 8}));
  // Nothing more: the selection is dropped and the caret stays after the third.
  form->Action("FindNext")->trigger();
  EXPECT_EQ(Selected(), (Selection{8, 8, 8}));

  Find().RadioGroup1->SetItemIndex(1);
  form->FindNextExecute();
  EXPECT_EQ(Selected(), (Selection{6, 8, 6}));
  form->FindNextExecute();
  EXPECT_EQ(Selected(), (Selection{3, 5, 3}));
  form->FindNextExecute();
  EXPECT_EQ(Selected(), (Selection{0, 2, 0}));
  EXPECT_TRUE(errors.empty());
}

TEST_F(EditCommands, WholeWordAndLetterCaseFollowTheEditorsRules) {
  struct Case {
    const char16_t* Text;
    const char* Pattern;
    bool MatchCase, WholeWord;
    int32_t Found;  // start of the match, -1 for none
  } cases[] = {
      {u"elseif x", "if", false, true, -1},                                             // a letter before it
      {u"(if)", "if", false, true, 1},                                                  // parentheses are separators
      {u"elseif x", "if", false, false, 4},   {u"begin", "Begin", false, false, 0},     // a to z are folded
      {u"begin", "Begin", true, false, -1},   {u"привет", "ПРИВЕТ", false, false, -1},  // Cyrillic is compared exactly
      {u"ПРИВЕТ", "ПРИВЕТ", false, false, 0}, {u"x ПРИВЕТ", "привет", false, false, -1},
  };
  for (const Case& c : cases) {
    Memo().SetText(c.Text);
    Memo().SetSelStart(0);
    SetSearch(QString::fromUtf8(c.Pattern), 0, c.MatchCase, c.WholeWord);
    form->FindNextExecute();
    const Selection s = Selected();
    const int32_t found = s.Low == s.High ? -1 : s.Low;
    EXPECT_EQ(found, c.Found) << QString::fromStdU16String(c.Text).toStdString() << " / " << c.Pattern;
  }
}

TEST_F(EditCommands, FindStartsAtTheCaretAndDropsASelectionThatIsNotFound) {
  Memo().SetText(u"ab cd ab");
  // A selection from 0 to 5 with the caret at 5: the search begins at the caret.
  Memo().SetSelStart(5);
  Memo().SetSelLength(-5);
  SetSearch("ab", 0);
  form->FindNextExecute();
  EXPECT_EQ(Selected(), (Selection{6, 8, 8}));
  Memo().SetSelStart(2);
  Memo().SetSelLength(1);
  SetSearch("zz", 0);
  form->FindNextExecute();
  EXPECT_EQ(Selected(), (Selection{2, 2, 2}));
}

TEST_F(EditCommands, CtrlFOpensTheFindDialogOnlyForTwoPositionsOrMore) {
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&*form));
  // A single break counts as two positions.
  const std::pair<const char16_t*, bool> cases[] = {{u"", false}, {u"x", false}, {u"\r\n", true}, {u"ab", true}};
  for (const auto& [text, opens] : cases) {
    Find().hide();
    Memo().SetText(text);
    QTest::keyClick(form->PlusMemoU1Widget, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(Find().isVisible(), opens) << QString::fromStdU16String(text).toStdString();
  }
  EXPECT_FALSE(Find().isModal());
  EXPECT_TRUE(Find().windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(EditCommands, FindNextUsesTheContentsOfAClosedDialog) {
  Memo().SetText(u"one two one");
  form->FindExecute();
  SetSearch("one", 0, true, true);
  Find().Button2->click();
  ASSERT_FALSE(Find().isVisible());
  Memo().SetSelStart(1);
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&*form));
  QTest::keyClick(form->PlusMemoU1Widget, Qt::Key_F3);
  EXPECT_EQ(Selected(), (Selection{8, 11, 11}));
}

TEST_F(EditCommands, GoToLineMovesTheCaretToTheStartOfTheLine) {
  std::u16string text;
  for (int i = 1; i <= 10; ++i) text += (i > 1 ? u"\r\n  line " : u"  line ") + std::u16string(1, u'0' + i % 10);
  Memo().SetText(text);
  const std::pair<const char*, int> cases[] = {
      {"0", 0}, {"1", 0}, {"4", 3}, {"10", 9}, {"9999", 9}, {"", 0}, {"99999999999999", 9}};
  for (const auto& [value, line] : cases) {
    Memo().SetSelStart(Memo().ParagraphStart(5) + 3);
    QTimer::singleShot(0, form->Form5, [&, value = value] {
      form->Form5->JvValidateEdit1->setText(value);
      form->Form5->Button1->click();
    });
    form->Action("Goto1")->trigger();
    EXPECT_EQ(Memo().SelStart(), Memo().ParagraphStart(line)) << value;
    EXPECT_FALSE(form->Form5->isVisible());
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->PlusMemoU1Widget->hasFocus(); }));
}

TEST_F(EditCommands, TheGoToNumberTakesDigitsOnlyAndEnterDoesNotPressOk) {
  TForm5& dialog = *form->Form5;
  EXPECT_EQ(dialog.JvValidateEdit1->text(), "0");
  EXPECT_EQ(dialog.windowTitle(), "Перейти к строке...");
  Memo().SetText(u"a\r\nb\r\nc");
  bool openAfterEnter = false;
  QTimer::singleShot(0, &dialog, [&] {
    dialog.JvValidateEdit1->clear();
    QTest::keyClicks(dialog.JvValidateEdit1, "2x-3");
    QTest::keyClick(dialog.JvValidateEdit1, Qt::Key_Return);
    openAfterEnter = dialog.isVisible();
    dialog.Button1->click();
  });
  form->Goto1Execute();
  EXPECT_TRUE(openAfterEnter);
  EXPECT_EQ(dialog.JvValidateEdit1->text(), "23");
  EXPECT_EQ(Memo().SelStart(), Memo().ParagraphStart(2));
}

TEST_F(EditCommands, TheDialogsReadTheirPositionsAtCreationAndWriteThemOnClose) {
  EXPECT_EQ(Find().pos(), QPoint(350, 300));
  EXPECT_EQ(form->Form5->pos(), QPoint(350, 300));
  WriteFile(Ini(), "[FindWindow]\nX=40\nY=50\n[GoToWindow]\nX=60\nY=0x46\n");
  Create();
  EXPECT_EQ(Find().pos(), QPoint(40, 50));
  EXPECT_EQ(form->Form5->pos(), QPoint(60, 70));

  Memo().SetText(u"text");
  form->FindExecute();
  Find().move(123, 45);
  Find().Button2->click();
  form->Form5->move(67, 89);
  form->Form5->Button1->click();
  const std::string ini = ReadFile(Ini());
  EXPECT_NE(ini.find("[FindWindow]\nX=123\nY=45\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("[GoToWindow]\nX=67\nY=89\n"), std::string::npos) << ini;
}

TEST_F(EditCommands, ADialogWhosePositionCannotBeStoredStillCloses) {
  // A settings folder below a plain file cannot be made, not even by root.
  WriteFile(work.path().toStdString() + "/plain", "");
  setenv("XDG_CONFIG_HOME", (work.path() + "/plain").toLocal8Bit().constData(), 1);
  Memo().SetText(u"a\r\nb");
  QTimer::singleShot(0, form->Form5, [&] {
    form->Form5->JvValidateEdit1->setText("2");
    form->Form5->Button1->click();
  });
  form->Goto1Execute();
  EXPECT_FALSE(form->Form5->isVisible());
  EXPECT_EQ(Memo().SelStart(), Memo().ParagraphStart(1));
  form->FindExecute();
  Find().Button2->click();
  EXPECT_FALSE(Find().isVisible());
  const std::string message = "Unable to write to " + work.path().toStdString() + "/plain/Quillmark.ini";
  EXPECT_EQ(errors, (std::vector<std::string>{message, message}));
}

TEST_F(EditCommands, GutterDoubleClickTogglesBookmarkOneOnTheThirdLine) {
  Memo().SetText(u"a\r\nb\r\nc\r\nd\r\ne");
  TPlusGutterU& gutter = form->PlusGutterU1;
  QTest::mouseDClick(form->PlusGutterU1Widget, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_NE(gutter.Bookmark(1), nullptr);
  EXPECT_EQ(gutter.BookmarkAtLine(2), 1);
  form->PlusGutterU1DblClick();
  EXPECT_EQ(gutter.Bookmark(1), nullptr);
  // Another bookmark on that line: nothing changes.
  gutter.SetBookmark(Memo().ParagraphStart(2), 4);
  form->PlusGutterU1DblClick();
  EXPECT_EQ(gutter.Bookmark(1), nullptr);
  EXPECT_EQ(gutter.BookmarkAtLine(2), 4);
}

TEST_F(EditCommands, SelectAllPutsTheCaretAtTheStart) {
  Memo().SetText(u"ab\r\ncd");
  Memo().SetSelStart(3);
  form->Action("SelAll")->trigger();
  EXPECT_EQ(Selected(), (Selection{0, 6, 0}));
}

TEST_F(EditCommands, CopyAndCutNeedASelectionPasteAndUndoDoTheirWork) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText("kept");
  Memo().SetText(u"one two");
  Memo().SetSelStart(2);
  form->Action("copy1")->trigger();
  form->Action("cut1")->trigger();
  EXPECT_EQ(clipboard->text(), "kept");
  EXPECT_EQ(Memo().Text(), u"one two");
  // A selection made backward copies as well as a forward one.
  Memo().SetSelStart(3);
  Memo().SetSelLength(-3);
  form->Action("copy1")->trigger();
  EXPECT_EQ(clipboard->text(), "one");
  Memo().SetSelStart(4);
  Memo().SetSelLength(3);
  form->Action("cut1")->trigger();
  EXPECT_EQ(clipboard->text(), "two");
  EXPECT_EQ(Memo().Text(), u"one ");
  Memo().SetSelStart(0);
  form->Action("paste1")->trigger();
  EXPECT_EQ(Memo().Text(), u"twoone ");
  form->Action("undo1")->trigger();
  EXPECT_EQ(Memo().Text(), u"one ");
  form->Action("redo1")->trigger();
  EXPECT_EQ(Memo().Text(), u"twoone ");
}

}  // namespace
}  // namespace qm
