// Tests of the editor and its gutter as real widgets offscreen: key events reaching the key rules and bookmarks, gutter painting and pixel scrolling, the context menu, and a screenshot.
#include "qt/PlusGutterWidget.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include <cstdlib>
#include <string>

#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"
#include "editor/gutter/PlusGutterU.h"
#include "qt/PlusMemoWidget.h"
#include "qt/QtClipboard.h"

namespace qm {
namespace {

// The main window's script editor: options, no wrapping, tab stops of 2.
void ConfigureLikeTheScriptEditor(TPlusMemoU& memo) {
  memo.Options = TPlusMemoOptions{pmoWindowsSelColors,   pmoInsertKeyActive, pmoPersistentBlocks, pmoFullLineSelect,
                                  pmoWideOverwriteCaret, pmoNoDefaultPopup,  pmoAutoScrollBars,   pmoSmartTabs,
                                  pmoAutoIndent,         pmoPutExtraSpaces,  pmoBackIndent,       pmoWrapCaret};
  memo.WordWrap = false;
  memo.TabStops = 2;
  memo.LayoutSettings.LeftMargin = 6;
}

class EditorWithGutter : public ::testing::Test {
 protected:
  void SetUp() override {
    QApplication::setCursorFlashTime(0);
    ConfigureLikeTheScriptEditor(memo);
    memo.Clipboard = &clipboard;
    editor = new TPlusMemoWidget(memo, &window);
    gutter.Width = 29;
    gutter.IgnoreLastLineIfEmpty = true;
    gutter.ParagraphNumbers = true;
    gutterWidget = new TPlusGutterWidget(gutter, editor->viewport(), &window);
    gutterWidget->setFixedWidth(29);
    auto* layout = new QHBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(gutterWidget);
    layout->addWidget(editor);
    gutter.SetPlusMemoU(&memo);
    editor->SetWordWrap(false);
  }
  void TearDown() override { gutter.SetPlusMemoU(nullptr); }

  void ShowFocused() {
    window.resize(360, 220);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    editor->setFocus();
    ASSERT_TRUE(editor->hasFocus());
  }

  // Declared first so that it goes last: the gutter must outlive its widget.
  TPlusGutterU gutter;
  TPlusMemoU memo;
  TQtClipboard clipboard;
  QWidget window;
  TPlusMemoWidget* editor = nullptr;
  TPlusGutterWidget* gutterWidget = nullptr;
};

TEST_F(EditorWithGutter, RealKeyEventsReachTheKeyRules) {
  ShowFocused();
  // Auto indent from the typed line, then the smart tab to the word above.
  QTest::keyClicks(editor, "  if x");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(memo.Text(), u"  if x\r\n  ");
  QTest::keyClick(editor, Qt::Key_Tab);
  EXPECT_EQ(memo.Text(), u"  if x\r\n     ");
  // Back indent returns to the previous level in one keystroke.
  QTest::keyClick(editor, Qt::Key_Backspace);
  EXPECT_EQ(memo.Text(), u"  if x\r\n  ");
  // Persistent blocks: a selection stays while the caret moves away.
  QTest::keyClick(editor, Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(editor, Qt::Key_End, Qt::ShiftModifier);
  QTest::keyClick(editor, Qt::Key_Down);
  EXPECT_EQ(memo.SelText(), u"  if x");
  EXPECT_EQ(memo.CaretLine(), 1);
  // Insert toggles overwrite.
  QTest::keyClick(editor, Qt::Key_Insert);
  EXPECT_TRUE(memo.Overwrite());
}

TEST_F(EditorWithGutter, TabMovesTheFocusOnlyWithoutWantTabs) {
  QLineEdit next(&window);
  window.layout()->addWidget(&next);
  memo.Options.Exclude(pmoSmartTabs);
  ShowFocused();
  QTest::keyClick(editor, Qt::Key_Tab);
  EXPECT_TRUE(editor->hasFocus());
  EXPECT_EQ(memo.Text(), u"\t");
  memo.WantTabs = false;
  QTest::keyClick(editor, Qt::Key_Tab);
  EXPECT_EQ(memo.Text(), u"\t");
  EXPECT_TRUE(next.hasFocus());
  window.layout()->removeWidget(&next);
}

TEST_F(EditorWithGutter, ShiftAltArrowsMakeAColumnBlockThroughRealKeys) {
  memo.Options.Include(pmoBlockSelection);
  memo.Options.Exclude(pmoPersistentBlocks);
  ShowFocused();
  test::LoadText(memo, u"abcd\r\nefgh");
  QTest::keyClick(editor, Qt::Key_Right);
  QTest::keyClick(editor, Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
  QTest::keyClick(editor, Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
  QTest::keyClick(editor, Qt::Key_Down, Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_TRUE(memo.BlockMode);
  EXPECT_EQ(memo.SelText(), u"bc\r\nfg\r\n");
}

TEST_F(EditorWithGutter, CtrlShiftDigitSetsABookmarkAndCtrlDigitJumps) {
  ShowFocused();
  test::LoadText(memo, u"one\r\ntwo\r\nthree\r\nfour");
  memo.SetSelStart(memo.ParagraphStart(2));
  // The key as a US keyboard reports Shift+3.
  QTest::keyClick(editor, Qt::Key_NumberSign, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(gutter.BookmarkAtLine(2), 3);
  QTest::keyClick(editor, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(gutter.BookmarkAtLine(2), 3);
  // The Russian layout reports Shift+2 as " and Shift+7 as ?.
  memo.SetSelStart(memo.ParagraphStart(1));
  QTest::keyClick(editor, Qt::Key_QuoteDbl, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(gutter.BookmarkAtLine(1), 2);
  memo.SetSelStart(memo.ParagraphStart(3));
  QTest::keyClick(editor, Qt::Key_Question, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(gutter.BookmarkAtLine(3), 7);
  memo.SetSelStart(0);
  QTest::keyClick(editor, Qt::Key_3, Qt::ControlModifier);
  EXPECT_EQ(memo.SelStart(), memo.ParagraphStart(2));
  // No digit was typed on the way.
  EXPECT_EQ(memo.Text(), u"one\r\ntwo\r\nthree\r\nfour");
}

TEST_F(EditorWithGutter, TheGutterPaintsNumbersAndIconsLevelWithTheLines) {
  ShowFocused();
  test::LoadText(memo, u"one\r\ntwo\r\nthree\r\n");
  gutter.SetBookmark(memo.ParagraphStart(1), 0);
  QApplication::processEvents();
  const QImage image = gutterWidget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int height = editor->Layout().LineHeight();
  // Something dark (a digit) on line 0, the icon's blue on line 1, nothing on the ignored empty line 3.
  auto count = [&](int line, auto pick) {
    int n = 0;
    for (int y = line * height; y < (line + 1) * height && y < image.height(); ++y)
      for (int x = 0; x < 27; ++x)
        if (pick(image.pixelColor(x, y))) ++n;
    return n;
  };
  const QColor button = gutterWidget->palette().color(QPalette::Button);
  auto ink = [&](const QColor& c) { return c != button; };
  auto blue = [](const QColor& c) { return c.blue() > 180 && c.red() < 100; };
  EXPECT_GT(count(0, ink), 0);
  EXPECT_EQ(count(0, blue), 0);
  EXPECT_GT(count(1, blue), 20);
  EXPECT_GT(count(2, ink), 0);
  EXPECT_EQ(count(3, ink), 0);
}

TEST_F(EditorWithGutter, ScrollingTheEditorScrollsTheGutterPixels) {
  ShowFocused();
  std::u16string text;
  for (int i = 0; i < 60; ++i) text += u"line\r\n";
  test::LoadText(memo, text);
  QApplication::processEvents();
  // The gutter has caught up with the new text.
  gutterWidget->repaint();
  const int before = gutterWidget->PixelScrolls();
  memo.SetScrollPos(0, 3 * editor->Layout().LineHeight());
  editor->viewport()->repaint();
  EXPECT_EQ(gutterWidget->PixelScrolls(), before + 1);
  // A second paint of the same view moves nothing more.
  editor->viewport()->repaint();
  EXPECT_EQ(gutterWidget->PixelScrolls(), before + 1);
}

TEST_F(EditorWithGutter, TheRightButtonOpensTheBuiltInMenu) {
  memo.Options.Exclude(pmoNoDefaultPopup);
  ShowFocused();
  test::LoadText(memo, u"abc");
  const QPoint at(30, 5);
  QTest::mouseClick(editor->viewport(), Qt::RightButton, Qt::NoModifier, at);
  QMenu* menu = editor->PopupMenu();
  ASSERT_NE(menu, nullptr);
  QStringList captions;
  for (QAction* action : menu->actions())
    if (!action->isSeparator()) captions << action->text();
  EXPECT_EQ(captions, (QStringList{"&Undo", "&Redo", "Cu&t", "&Copy", "&Paste", "&Select all"}));
  menu->actions().last()->trigger();
  EXPECT_EQ(memo.SelText(), u"abc");
  menu->hide();
}

TEST_F(EditorWithGutter, Screenshot) {
  memo.Options.Include(pmoBlockSelection);
  memo.Options.Exclude(pmoPersistentBlocks);
  ShowFocused();
  test::LoadText(memo,
                 u"ScriptName GateKeeper\r\n\r\nshort doorOpen\r\nfloat timer\r\n\r\nbegin GameMode\r\n"
                 u"  if doorOpen == 0\r\n    set timer to timer + 1\r\n    set doorOpen to 1\r\n  endif\r\nend\r\n");
  gutter.SetBookmark(memo.ParagraphStart(5), 1);
  gutter.SetBookmark(memo.ParagraphStart(8), 7);
  // A column block over "timer" and "doorOpen" of lines 8 and 9.
  memo.SetSelStart(memo.ParagraphStart(7) + 8);
  QTest::keyClick(editor, Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
  for (int i = 0; i < 4; ++i) QTest::keyClick(editor, Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
  QTest::keyClick(editor, Qt::Key_Down, Qt::ShiftModifier | Qt::AltModifier);
  ASSERT_TRUE(memo.BlockMode);
  QApplication::processEvents();
  const QImage image = window.grab().toImage();
  EXPECT_FALSE(image.isNull());
  if (const char* path = std::getenv("QM_SCREENSHOT_GUTTER")) {
    EXPECT_TRUE(image.save(QString::fromLocal8Bit(path)));
  }
}

}  // namespace
}  // namespace qm
