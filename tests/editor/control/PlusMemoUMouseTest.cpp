// Tests of the control's mouse on a fixed-pitch window: clicks into free space, line selection, column blocks, drag and drop, double-click, wheel, cursors and the built-in menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KeyUtil.h"
#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"

namespace qm {
namespace {

using namespace test;

// Characters are 8 x 16 pixels after an 8-pixel left margin.
int X(int column) { return 8 + column * 8 + 2; }
int Y(int line) { return line * 16 + 5; }

class Mouse : public ::testing::Test {
 protected:
  void SetUp() override {
    memo.WordWrap = false;
    memo.LayoutSettings.ClientWidth = 400;
    memo.LayoutSettings.ClientHeight = 160;
    memo.Clipboard = &clipboard;
    memo.SetHost(&host);
  }

  void Click(int x, int y, TShiftState shift = {}) {
    memo.MouseDown(mbLeft, shift, x, y);
    memo.MouseUp(mbLeft, shift, x, y);
  }

  TFakeHost host;
  TPlusMemoU memo;
  TMemoryClipboard clipboard;
};

TEST_F(Mouse, AClickBeyondTheEndGoesIntoFreeSpaceOnlyWithKeepColumnPos) {
  LoadText(memo, u"ab\r\ncd");
  Click(X(5), Y(0));
  EXPECT_EQ(memo.SelStart(), 2);
  EXPECT_EQ(memo.VirtualColumn, 0);
  memo.Options.Include(pmoKeepColumnPos);
  Click(X(5), Y(0));
  EXPECT_EQ(memo.SelStart(), 2);
  EXPECT_EQ(memo.VirtualColumn, 3);
  EXPECT_EQ(memo.CaretColumn(), 5);
  // Below the last line: the text end.
  Click(X(1), Y(7));
  EXPECT_EQ(memo.SelStart(), memo.TextLength());
}

TEST_F(Mouse, TheLeftMarginSelectsWholeLinesWithTheirBreak) {
  LoadText(memo, u"one\r\ntwo\r\nend");
  Click(2, Y(1));
  EXPECT_EQ(memo.SelText(), u"two\r\n");
  // The last paragraph has no break to take.
  Click(2, Y(2));
  EXPECT_EQ(memo.SelText(), u"end");
  EXPECT_EQ(memo.CursorAt(2, Y(0), {}).Kind, TpmCursor::crLineSelect);
  memo.Options.Include(pmoNoLineSelection);
  Click(2, Y(1));
  EXPECT_EQ(memo.SelLength(), 0);
  EXPECT_EQ(memo.CursorAt(2, Y(0), {}).Kind, TpmCursor::crIBeam);
}

TEST_F(Mouse, AltClickAndDragMakeAColumnBlock) {
  LoadText(memo, u"abcd\r\nefgh\r\nijkl");
  memo.Options.Include(pmoBlockSelection);
  memo.MouseDown(mbLeft, {.Alt = true}, X(1) - 2, Y(0));
  memo.MouseMove({.Alt = true}, X(3) - 2, Y(1));
  memo.MouseUp(mbLeft, {.Alt = true}, X(3) - 2, Y(1));
  ASSERT_TRUE(memo.BlockMode);
  EXPECT_EQ(memo.SelText(), u"bc\r\nfg\r\n");
  // Without the option Alt is an ordinary click.
  memo.Options.Exclude(pmoBlockSelection);
  memo.MouseDown(mbLeft, {.Alt = true}, X(1) - 2, Y(0));
  EXPECT_FALSE(memo.BlockMode);
}

TEST_F(Mouse, DragAndDropMovesTheSelectionAsOneUndoStep) {
  LoadText(memo, u"one two three");
  memo.SetSelStart(0);
  memo.SetSelLength(4);
  EXPECT_EQ(memo.CursorAt(X(1), Y(0), {}).Kind, TpmCursor::crDrag);
  memo.MouseDown(mbLeft, {}, X(1), Y(0));
  memo.MouseMove({}, X(9), Y(0));
  EXPECT_TRUE(memo.Dragging());
  EXPECT_EQ(memo.CursorAt(X(9), Y(0), {.Ctrl = true}).Kind, TpmCursor::crDragCopy);
  // Dropped before "three": the text moves there and stays selected.
  memo.MouseUp(mbLeft, {}, X(8) - 2, Y(0));
  EXPECT_FALSE(memo.Dragging());
  EXPECT_EQ(memo.Text(), u"two one three");
  EXPECT_EQ(memo.SelText(), u"one ");
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"one two three");
  EXPECT_FALSE(memo.CanUndo());
  memo.Redo();
  EXPECT_EQ(memo.Text(), u"two one three");
}

TEST_F(Mouse, DragWithCtrlCopiesAndDroppingInsideOnlyPlacesTheCaret) {
  LoadText(memo, u"ab cd");
  memo.SetSelStart(0);
  memo.SetSelLength(2);
  memo.MouseDown(mbLeft, {}, X(0), Y(0));
  memo.MouseMove({}, X(5), Y(0));
  memo.MouseUp(mbLeft, {.Ctrl = true}, X(5), Y(0));
  EXPECT_EQ(memo.Text(), u"ab cdab");
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"ab cd");

  int moves = 0;
  memo.OnSelMove = [&](TComponent*) { ++moves; };
  memo.SetSelStart(0);
  memo.SetSelLength(5);
  moves = 0;
  memo.MouseDown(mbLeft, {}, X(1), Y(0));
  memo.MouseMove({}, X(3), Y(0));
  memo.MouseUp(mbLeft, {}, X(3), Y(0));
  EXPECT_EQ(memo.Text(), u"ab cd");
  EXPECT_EQ(memo.SelStart(), 3);
  EXPECT_EQ(memo.SelLength(), 0);
  EXPECT_EQ(moves, 1);
}

TEST_F(Mouse, AClickOnTheSelectionWithoutMovingPlacesTheCaret) {
  LoadText(memo, u"abcdef");
  memo.SetSelStart(0);
  memo.SetSelLength(4);
  Click(X(2), Y(0));
  EXPECT_EQ(memo.SelStart(), 2);
  EXPECT_EQ(memo.SelLength(), 0);
  // pmoNoDragnDrop and ReadOnly start no drag: pressing there selects anew.
  memo.SetSelLength(2);
  memo.Options.Include(pmoNoDragnDrop);
  memo.MouseDown(mbLeft, {}, X(3), Y(0));
  memo.MouseMove({}, X(5), Y(0));
  EXPECT_FALSE(memo.Dragging());
  EXPECT_EQ(memo.SelText(), u"de");
  memo.MouseUp(mbLeft, {}, X(5), Y(0));
}

TEST_F(Mouse, DoubleClickSelectsTheWord) {
  LoadText(memo, u"set value to 10");
  memo.MouseDblClick(X(6), Y(0));
  EXPECT_EQ(memo.SelText(), u"value");
  memo.SetDisplayOnly(true);
  memo.SetSelStart(0);
  memo.MouseDblClick(X(6), Y(0));
  EXPECT_EQ(memo.SelLength(), 0);
}

TEST_F(Mouse, DisplayOnlyPressesDoNotSelect) {
  LoadText(memo, u"abc");
  memo.SetDisplayOnly(true);
  memo.MouseDown(mbLeft, {}, X(2), Y(0));
  memo.MouseMove({}, X(3), Y(0));
  memo.MouseUp(mbLeft, {}, X(3), Y(0));
  EXPECT_EQ(memo.SelStart(), 0);
  EXPECT_EQ(memo.SelLength(), 0);
}

TEST_F(Mouse, TheWheelScrollsByTheFactorTakenFromTheSystemAtFirstUse) {
  std::u16string text;
  for (int i = 0; i < 60; ++i) text += u"line\r\n";
  LoadText(memo, text);
  host.wheelLines = 4;
  memo.MouseWheel(-120);
  EXPECT_EQ(memo.MouseWheelFactor, 4);
  EXPECT_EQ(memo.VScroll(), 4 * 16);
  // Parts of a notch add up.
  memo.MouseWheel(-60);
  EXPECT_EQ(memo.VScroll(), 4 * 16);
  memo.MouseWheel(-60);
  EXPECT_EQ(memo.VScroll(), 8 * 16);
  memo.MouseWheelFactor = 1;
  memo.MouseWheel(120);
  EXPECT_EQ(memo.VScroll(), 7 * 16);
  // Clamped to the text and the caret stays.
  memo.MouseWheel(120 * 100);
  EXPECT_EQ(memo.VScroll(), 0);
  memo.MouseWheel(-120 * 1000);
  EXPECT_EQ(memo.VScroll(), 61 * 16 + 2 - 160);
  EXPECT_EQ(memo.SelStart(), 0);
}

TEST_F(Mouse, TheRightButtonShowsTheBuiltInMenuWithItsEnabledRules) {
  LoadText(memo, u"abc");
  memo.MouseUp(mbRight, {}, 30, 20);
  ASSERT_EQ(host.popups, 1);
  EXPECT_EQ(host.popupX, 30);
  std::vector<std::string> captions;
  std::vector<bool> enabled;
  for (const TpmMenuItem& item : host.popup) {
    captions.push_back(item.Caption);
    enabled.push_back(item.Enabled);
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste", "-", "&Select all"}));
  // Nothing selected, no undo, an empty clipboard.
  EXPECT_EQ(enabled, (std::vector<bool>{false, false, false, false, false, false, false, true}));

  memo.SetSelStart(3);
  memo.SetSelText(u"d");
  memo.SetSelStart(0);
  memo.SetSelLength(2);
  clipboard.SetText(u"x");
  auto items = memo.DefaultPopupItems();
  EXPECT_TRUE(items[0].Enabled);
  EXPECT_TRUE(items[3].Enabled);
  EXPECT_TRUE(items[4].Enabled);
  EXPECT_TRUE(items[5].Enabled);
  memo.ReadOnly = true;
  items = memo.DefaultPopupItems();
  EXPECT_FALSE(items[3].Enabled);
  EXPECT_TRUE(items[4].Enabled);
  EXPECT_FALSE(items[5].Enabled);
  // The items act on the control.
  items[7].Action();
  EXPECT_EQ(memo.SelText(), memo.Text());

  // Not with the application's own menu, nor with pmoNoDefaultPopup.
  TComponent menu;
  memo.PopupMenu = &menu;
  memo.MouseUp(mbRight, {}, 30, 20);
  memo.PopupMenu = nullptr;
  memo.Options.Include(pmoNoDefaultPopup);
  memo.MouseUp(mbRight, {}, 30, 20);
  EXPECT_EQ(host.popups, 1);
}

TEST_F(Mouse, TheCursorOfTheRunUnderThePointer) {
  LoadText(memo, u"plain link");
  // A run from offset 6 with its own cursor number.
  TPlusNavigatorU nav(&memo);
  nav.SetPos(6);
  TDynInfo run;
  run.Kind = dkHighlight;
  run.Cursor = -21;
  nav.InsertDynInfo(run);
  EXPECT_EQ(memo.CursorAt(X(1), Y(0), {}).Kind, TpmCursor::crIBeam);
  const TpmCursorInfo over = memo.CursorAt(X(7), Y(0), {});
  EXPECT_EQ(over.Kind, TpmCursor::crRun);
  EXPECT_EQ(over.RunCursor, -21);
}

// The window-control events fire before the control's own handling; a key
// handler that clears the key consumes it.
TEST_F(Mouse, ControlEventsFireFirstAndKeyHandlersCanConsumeTheKey) {
  LoadText(memo, u"abc def");
  std::vector<std::string> seen;
  memo.OnClick = [&](TComponent*) { seen.push_back("click at " + std::to_string(memo.SelStart())); };
  memo.OnDblClick = [&](TComponent*) { seen.push_back("dblclick " + std::to_string(memo.SelLength())); };
  memo.OnEnter = [&](TComponent*) { seen.push_back("enter"); };
  memo.OnExit = [&](TComponent*) { seen.push_back("exit"); };
  memo.OnKeyUp = [&](TComponent*, TpmKey& key, TShiftState) { seen.push_back("up " + std::to_string(int(key))); };
  memo.DoEnter();
  Click(X(5), Y(0));  // the press placed the caret before the click is told
  memo.MouseDblClick(X(1), Y(0));
  memo.KeyUp(TpmKey::kDelete, {});
  memo.DoExit();
  const std::vector<std::string> expected{"enter", "click at 5", "dblclick 0",
                                          "up " + std::to_string(int(TpmKey::kDelete)), "exit"};
  EXPECT_EQ(seen, expected);

  memo.SetSelStart(0);
  memo.SetSelLength(0);
  memo.OnKeyDown = [](TComponent*, TpmKey& key, TShiftState) {
    if (key == TpmKey::kDelete) key = TpmKey::kNone;
  };
  memo.OnKeyPress = [](TComponent*, char16_t& c) {
    if (c == u'x') c = 0;
  };
  EXPECT_TRUE(memo.KeyDown(TpmKey::kDelete, {}));  // consumed: handled, nothing deleted
  EXPECT_TRUE(memo.KeyPress(u'x'));
  EXPECT_EQ(memo.Text(), u"abc def");
  EXPECT_TRUE(memo.KeyDown(TpmKey::kRight, {}));  // other keys pass
  EXPECT_TRUE(memo.KeyPress(u'y'));
  EXPECT_EQ(memo.Text(), u"aybc def");
  // The space bar is a key for OnKeyDown and a character for the text.
  TpmKey space = TpmKey::kNone;
  memo.OnKeyDown = [&](TComponent*, TpmKey& key, TShiftState) { space = key; };
  EXPECT_FALSE(memo.KeyDown(TpmKey::kSpace, {}));
  EXPECT_EQ(space, TpmKey::kSpace);
  EXPECT_EQ(memo.Text(), u"aybc def");
}

}  // namespace
}  // namespace qm
