// Tests of the control's basic keys: tables of key sequences from a marked text to the marked text, caret and selection they leave.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "KeyUtil.h"
#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"

namespace qm {
namespace {

using test::CtrlK;
using test::CtrlShiftK;
using test::K;
using test::Parse;
using test::Place;
using test::Render;
using test::Run;
using test::ShiftK;
using test::TStep;

struct TKeyCase {
  const char* Name;
  std::u16string Start;
  std::vector<TStep> Steps;
  std::u16string Expected;
};

void Check(const std::vector<TKeyCase>& cases, bool readOnly = false) {
  for (const TKeyCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPlusMemoU memo;
    TMemoryClipboard clipboard;
    memo.Clipboard = &clipboard;
    Place(memo, c.Start);
    memo.ReadOnly = readOnly;
    Run(memo, c.Steps);
    EXPECT_EQ(Render(memo), Render(c.Expected));
  }
}

using enum TpmKey;

TEST(Keys, MovesAcrossCharactersAndBreaks) {
  Check({
      {"right", u"|ab", {K(kRight)}, u"a|b"},
      {"right at a paragraph end crosses the break", u"ab|\r\ncd", {K(kRight)}, u"ab\r\n|cd"},
      {"right at the text end stays", u"ab|", {K(kRight)}, u"ab|"},
      {"left", u"ab|", {K(kLeft)}, u"a|b"},
      {"left at a paragraph start crosses the break", u"ab\r\n|cd", {K(kLeft)}, u"ab|\r\ncd"},
      {"left at the text start stays", u"|ab", {K(kLeft)}, u"|ab"},
      {"left over an empty paragraph", u"a\r\n\r\n|b", {K(kLeft), K(kLeft)}, u"a|\r\n\r\nb"},
      {"a move drops the selection", u"^ab|c", {K(kRight)}, u"abc|"},
  });
}

TEST(Keys, VerticalMovesKeepTheOffsetClampedToTheParagraph) {
  Check({
      {"down", u"ab|cd\r\nefgh", {K(kDown)}, u"abcd\r\nef|gh"},
      {"down into a shorter paragraph", u"abc|d\r\nef", {K(kDown)}, u"abcd\r\nef|"},
      {"down on the last paragraph stays", u"ab\r\nc|d", {K(kDown)}, u"ab\r\nc|d"},
      {"up", u"abcd\r\nefg|h", {K(kUp)}, u"abc|d\r\nefgh"},
      {"up into an empty paragraph", u"\r\nef|", {K(kUp)}, u"|\r\nef"},
      {"up on the first paragraph stays", u"a|b\r\ncd", {K(kUp)}, u"a|b\r\ncd"},
  });
}

TEST(Keys, HomeEndAndTheirCtrlFormsGoToParagraphAndTextEnds) {
  Check({
      {"home", u"ab\r\ncd|ef", {K(kHome)}, u"ab\r\n|cdef"},
      {"end", u"ab\r\nc|def\r\ngh", {K(kEnd)}, u"ab\r\ncdef|\r\ngh"},
      {"ctrl+home", u"ab\r\ncd|ef", {CtrlK(kHome)}, u"|ab\r\ncdef"},
      {"ctrl+end", u"a|b\r\ncdef", {CtrlK(kEnd)}, u"ab\r\ncdef|"},
  });
}

TEST(Keys, CtrlArrowsJumpByWords) {
  Check({
      {"ctrl+right to the next word", u"|one two", {CtrlK(kRight)}, u"one |two"},
      {"ctrl+right over a break", u"one|\r\ntwo", {CtrlK(kRight)}, u"one\r\n|two"},
      {"ctrl+left to the word start", u"one two|", {CtrlK(kLeft)}, u"one |two"},
      {"ctrl+left twice", u"one two|", {CtrlK(kLeft), CtrlK(kLeft)}, u"|one two"},
  });
}

TEST(Keys, ShiftExtendsTheSelectionFromItsAnchor) {
  Check({
      {"shift+right", u"a|bcd", {ShiftK(kRight), ShiftK(kRight)}, u"a^bc|d"},
      {"shift+left", u"abc|d", {ShiftK(kLeft)}, u"ab|c^d"},
      {"turning back across the anchor", u"ab|cd", {ShiftK(kRight), ShiftK(kLeft), ShiftK(kLeft)}, u"a|b^cd"},
      {"shift+home keeps the anchor of a forward selection", u"ab^c|d", {ShiftK(kHome)}, u"|ab^cd"},
      {"shift+down over a break", u"a|b\r\ncd", {ShiftK(kDown)}, u"a^b\r\nc|d"},
      {"ctrl+shift+end", u"a|b\r\ncd", {CtrlShiftK(kEnd)}, u"a^b\r\ncd|"},
      {"ctrl+shift+left", u"one two|", {CtrlShiftK(kLeft)}, u"one |two^"},
  });
}

TEST(Keys, BackspaceAndDeleteRemoveACharacterABreakOrTheSelection) {
  Check({
      {"backspace", u"ab|c", {K(kBackspace)}, u"a|c"},
      {"backspace at a paragraph start joins", u"ab\r\n|cd", {K(kBackspace)}, u"ab|cd"},
      {"backspace at the text start", u"|ab", {K(kBackspace)}, u"|ab"},
      {"backspace deletes the selection only", u"a^bc|d", {K(kBackspace)}, u"a|d"},
      {"ctrl+backspace to the word start", u"one two|", {CtrlK(kBackspace)}, u"one |"},
      {"delete", u"a|bc", {K(kDelete)}, u"a|c"},
      {"delete at a paragraph end joins", u"ab|\r\ncd", {K(kDelete)}, u"ab|cd"},
      {"delete at the text end", u"ab|", {K(kDelete)}, u"ab|"},
      {"delete deletes the selection only", u"a|bc^d", {K(kDelete)}, u"a|d"},
      {"delete a selection over a break", u"a^b\r\nc|d", {K(kDelete)}, u"a|d"},
  });
}

TEST(Keys, CharactersTabAndEnterInsertThroughTheSelection) {
  Check({
      {"typing", u"a|d", {u'b', u'c'}, u"abc|d"},
      {"typing replaces the selection", u"a^bc|d", {u'X'}, u"aX|d"},
      {"enter inserts a paragraph break", u"ab|cd", {char16_t{13}}, u"ab\r\n|cd"},
      {"tab inserts a tab character", u"a|b", {char16_t{9}}, u"a\t|b"},
      {"non-ASCII characters", u"|", {u'ж', u'é'}, u"жé|"},
      {"other control characters do nothing", u"a|b", {char16_t{1}, char16_t{8}, char16_t{27}, char16_t{127}}, u"a|b"},
      {"tab and enter on key-down are left to the character", u"a|b", {K(kTab), K(kReturn)}, u"a|b"},
  });
}

TEST(Keys, ControlCodesCopyCutPasteAndUndo) {
  Check({
      {"ctrl+c then ctrl+v", u"^ab|c", {char16_t{3}, K(kEnd), char16_t{22}}, u"abcab|"},
      {"ctrl+x then ctrl+v", u"^ab|c", {char16_t{24}, K(kEnd), char16_t{22}}, u"cab|"},
      {"ctrl+insert then shift+insert", u"^ab|c", {CtrlK(kInsert), K(kEnd), ShiftK(kInsert)}, u"abcab|"},
      {"shift+delete cuts", u"^ab|c", {ShiftK(kDelete), K(kEnd), char16_t{22}}, u"cab|"},
      {"ctrl+z undoes the typing", u"a|", {u'b', u'c', CtrlK(kZ)}, u"a|"},
      {"ctrl+z undoes a backspace", u"abc|", {K(kBackspace), CtrlK(kZ)}, u"abc|"},
      {"ctrl+shift+z redoes", u"a|", {u'b', CtrlK(kZ), CtrlShiftK(kZ)}, u"ab|"},
      {"the character of ctrl+z does nothing", u"a|", {u'b', char16_t{26}}, u"ab|"},
  });
}

TEST(Keys, ReadOnlyBlocksEditsButNotMovesOrCopy) {
  Check(
      {
          {"typing", u"a|b", {u'x', char16_t{13}, char16_t{9}}, u"a|b"},
          {"deleting keys", u"a|b\r\nc", {K(kBackspace), K(kDelete), K(kEnd), K(kDelete)}, u"ab|\r\nc"},
          {"cut and paste", u"^ab|c", {char16_t{24}, char16_t{22}, ShiftK(kInsert)}, u"^ab|c"},
          {"moves and selection", u"a|bc", {K(kRight), ShiftK(kRight)}, u"ab^c|"},
      },
      true);
}

TEST(Keys, CopyWorksWhenReadOnly) {
  TPlusMemoU memo;
  TMemoryClipboard clipboard;
  memo.Clipboard = &clipboard;
  Place(memo, u"^ab|c");
  memo.ReadOnly = true;
  EXPECT_TRUE(memo.KeyPress(3));
  EXPECT_EQ(clipboard.Text(), u"ab");
  clipboard.Clear();
  EXPECT_TRUE(memo.KeyDown(kDelete, {.Shift = true}));
  EXPECT_EQ(clipboard.Text(), u"ab");
  EXPECT_EQ(memo.Text(), u"abc");
}

TEST(Keys, KeysReportWhetherTheControlTookThem) {
  TPlusMemoU memo;
  EXPECT_TRUE(memo.KeyDown(kLeft, {}));
  EXPECT_TRUE(memo.KeyDown(kDelete, {}));
  EXPECT_FALSE(memo.KeyDown(kTab, {}));
  EXPECT_FALSE(memo.KeyDown(kEscape, {}));
  // Insert toggles Overwrite only with pmoInsertKeyActive.
  EXPECT_TRUE(memo.KeyDown(kInsert, {}));
  EXPECT_TRUE(memo.Overwrite());
  memo.Options.Exclude(pmoInsertKeyActive);
  EXPECT_FALSE(memo.KeyDown(kInsert, {}));
  EXPECT_TRUE(memo.Overwrite());
  memo.SetOverwrite(false);
  EXPECT_TRUE(memo.KeyPress(u'a'));
  EXPECT_FALSE(memo.KeyPress(1));
  memo.ReadOnly = true;
  EXPECT_FALSE(memo.KeyPress(u'a'));
  EXPECT_EQ(memo.Text(), u"a");
}

TEST(Keys, MovesFireOnSelMoveAndEditsOnChange) {
  TPlusMemoU memo;
  Place(memo, u"ab|c");
  int moves = 0;
  int changes = 0;
  memo.OnSelMove = [&](TComponent*) { ++moves; };
  memo.OnChange = [&](TComponent*) { ++changes; };
  memo.KeyDown(kLeft, {});
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(changes, 0);
  memo.KeyPress(u'x');
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(moves, 2);
}

TEST(Keys, AKeyPressInsideAnUpdateIsIgnored) {
  TPlusMemoU memo;
  memo.BeginUpdate();
  EXPECT_FALSE(memo.KeyPress(u'a'));
  memo.EndUpdate();
  EXPECT_EQ(memo.Text(), u"");
}

}  // namespace
}  // namespace qm
