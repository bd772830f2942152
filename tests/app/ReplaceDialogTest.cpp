// The replace dialog on the real main window: Ctrl+H and its texts, replace one and go on, replace all as one undo step, the keys, read-only, its stored position.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <optional>
#include <string>

#include "AppFixture.h"
#include "TestUtil.h"
#include "app/FindDialog.h"
#include "app/MainWindow.h"
#include "app/ReplaceDialog.h"
#include "editor/control/PlusMemoU.h"
#include "platform/IniFile.h"
#include "qt/PlusMemoWidget.h"

namespace qm {
namespace {

const std::u16string kScript = u"scn T\r\nshort timr\r\nbegin GameMode\r\n  set timr to timr + 1\r\nend";

class Replace : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    form.emplace();
    form->CreateForms();
    form->show();
    Memo().SetText(kScript);
  }
  void TearDown() override {
    form.reset();
    MainWindow::TearDown();
  }
  TPlusMemoU& Memo() { return form->PlusMemoU1; }
  TReplaceDialog& Dialog() { return *form->ReplaceDialog; }
  // Opens the dialog with the caret at pos, then sets its texts.
  void Open(int32_t pos, const QString& find, const QString& replace) {
    Memo().SetSelStart(pos);
    form->Action("Replace")->trigger();
    Dialog().FindEdit->setText(find);
    Dialog().ReplaceEdit->setText(replace);
  }
  std::string Status() { return form->statusBar()->currentMessage().toStdString(); }

  std::optional<TForm1> form;
};

TEST_F(Replace, CtrlHOpensTheDialogWithTheWordAtTheCaretInBothTexts) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&*form));
  Memo().SetSelStart(15);  // inside "timr" of the declaration
  form->PlusMemoU1Widget->setFocus();
  QTest::keyClick(form->PlusMemoU1Widget, Qt::Key_H, Qt::ControlModifier);
  ASSERT_TRUE(Dialog().isVisible());
  EXPECT_EQ(Dialog().windowTitle(), "Замена");
  EXPECT_TRUE(Dialog().windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(Dialog().isModal());
  EXPECT_EQ(Dialog().FindEdit->text(), "timr");
  EXPECT_EQ(Dialog().ReplaceEdit->text(), "timr");
  EXPECT_EQ(Dialog().FindEdit->selectedText(), "timr");
  EXPECT_TRUE(QTest::qWaitFor([&] { return Dialog().FindEdit->hasFocus(); }));
  QTest::keyClick(Dialog().FindEdit, Qt::Key_Tab);
  EXPECT_TRUE(Dialog().ReplaceEdit->hasFocus()) << "Tab goes from the first text to the second";
  // A selection of one line is taken as it is.
  Memo().SetSelStart(0);
  Memo().SetSelLength(5);
  form->Action("Replace")->trigger();
  EXPECT_EQ(Dialog().FindEdit->text(), "scn T");
}

TEST_F(Replace, ReplaceChangesTheSelectedMatchThenSelectsTheNext) {
  Open(0, "timr", "timer");
  Dialog().WholeWord->setChecked(true);
  Dialog().ReplaceClick();  // nothing selected: finds the first
  EXPECT_EQ(Memo().Text(), kScript);
  EXPECT_EQ(Memo().SelText(), u"timr");
  Dialog().ReplaceClick();
  EXPECT_EQ(Memo().Text(), u"scn T\r\nshort timer\r\nbegin GameMode\r\n  set timr to timr + 1\r\nend");
  EXPECT_EQ(Memo().SelText(), u"timr") << "the next match, selected";
  EXPECT_EQ(Memo().SelStart(), 46) << "the caret at its end";
  Dialog().ReplaceClick();
  Dialog().ReplaceClick();
  EXPECT_EQ(Memo().Text(), u"scn T\r\nshort timer\r\nbegin GameMode\r\n  set timer to timer + 1\r\nend");
  EXPECT_EQ(Status(), "Не найдено: «timr»");
  // Upwards, a replacement that holds the pattern is not found again.
  Open(static_cast<int32_t>(Memo().Text().size()), "timer", "timer2");
  Dialog().Direction->SetItemIndex(1);
  for (int i = 0; i < 4; ++i) Dialog().ReplaceClick();
  EXPECT_EQ(Memo().Text(), u"scn T\r\nshort timer2\r\nbegin GameMode\r\n  set timer2 to timer2 + 1\r\nend");
}

TEST_F(Replace, ReplaceAllIsOneUndoStepAndCountsInTheStatusBar) {
  Open(30, "TIMR", "timer");
  Dialog().ReplaceAllClick();
  EXPECT_EQ(Memo().Text(), u"scn T\r\nshort timer\r\nbegin GameMode\r\n  set timer to timer + 1\r\nend");
  EXPECT_EQ(Status(), "Заменено: 3");
  EXPECT_EQ(Memo().SelStart(), 31) << "the caret keeps its place: one match before it grew by one";
  form->Action("undo1")->trigger();
  EXPECT_EQ(Memo().Text(), kScript);
  // Only in the selection.
  Memo().SetSelStart(38);
  Memo().SetSelLength(16);  // "set timr to timr"
  Dialog().InSelection->setChecked(true);
  Dialog().ReplaceAllClick();
  EXPECT_EQ(Memo().Text(), u"scn T\r\nshort timr\r\nbegin GameMode\r\n  set timer to timer + 1\r\nend");
  EXPECT_EQ(Status(), "Заменено: 2");
}

TEST_F(Replace, EnterFindsNextAndCtrlAltEnterReplacesAll) {
  Open(0, "timr", "t");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog()));
  Dialog().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Dialog()));
  Dialog().FindEdit->setFocus();
  QTest::keyClick(Dialog().FindEdit, Qt::Key_Return);
  EXPECT_EQ(Memo().SelText(), u"timr");
  EXPECT_EQ(Memo().Text(), kScript) << "Enter only finds";
  QTest::keyClick(Dialog().FindEdit, Qt::Key_Return, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(Memo().Text(), u"scn T\r\nshort t\r\nbegin GameMode\r\n  set t to t + 1\r\nend");
}

TEST_F(Replace, SpecialCharactersPutAndFindLineBreaks) {
  Open(0, "GameMode\\n", "GameMode ; main\\n\\t");
  Dialog().Specials->setChecked(true);
  Dialog().ReplaceAllClick();
  EXPECT_EQ(Memo().Text(), u"scn T\r\nshort timr\r\nbegin GameMode ; main\r\n\t  set timr to timr + 1\r\nend");
  Dialog().Specials->setChecked(false);
  Open(0, "GameMode\\n", "x");
  Dialog().ReplaceAllClick();
  EXPECT_EQ(Status(), "Заменено: 0") << "without the option a backslash is a backslash";
}

TEST_F(Replace, AReadOnlyEditorDisablesTheReplaceButtons) {
  Memo().ReadOnly = true;
  Open(0, "timr", "x");
  EXPECT_FALSE(Dialog().ReplaceButton->isEnabled());
  EXPECT_FALSE(Dialog().ReplaceAllButton->isEnabled());
  EXPECT_TRUE(Dialog().FindNextButton->isEnabled());
  Dialog().ReplaceClick();
  EXPECT_EQ(Memo().Text(), kScript);
}

TEST_F(Replace, ThePositionIsStoredInASectionOfItsOwn) {
  Open(0, "x", "y");
  Dialog().move(123, 145);
  Dialog().CloseButton->click();
  EXPECT_FALSE(Dialog().isVisible());
  const TIniFile ini(Ini());
  EXPECT_EQ(ini.ReadInteger("ReplaceWindow", "X", -1), 123);
  EXPECT_EQ(ini.ReadInteger("ReplaceWindow", "Y", -1), 145);
  EXPECT_EQ(ini.ReadInteger("FindWindow", "X", -1), -1) << "the find dialog's keys are its own";
  form.reset();
  form.emplace();
  form->CreateForms();
  EXPECT_EQ(form->ReplaceDialog->pos(), QPoint(123, 145));
}

}  // namespace
}  // namespace qm
