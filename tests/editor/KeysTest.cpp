// Tests of the control's basic keys: tables of key sequences from a marked text to the marked text, caret and selection they leave.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "TestUtil.h"
#include "editor/PlusMemoU.h"

namespace qm {
namespace {

// A memo state written as text with markers: '|' is the caret, '^' the other
// end of the selection (absent when nothing is selected).
struct TMarked {
  std::u16string Text;
  int32_t Caret = 0;
  int32_t Anchor = 0;
};

TMarked Parse(std::u16string_view marked) {
  TMarked m;
  bool anchorSeen = false;
  for (char16_t c : marked) {
    if (c == u'|') {
      m.Caret = static_cast<int32_t>(m.Text.size());
    } else if (c == u'^') {
      m.Anchor = static_cast<int32_t>(m.Text.size());
      anchorSeen = true;
    } else {
      m.Text += c;
    }
  }
  if (!anchorSeen) m.Anchor = m.Caret;
  return m;
}

std::string Render(const TPlusMemoU& memo) {
  std::u16string text = memo.Text();
  const int32_t caret = memo.SelStart();
  const int32_t anchor = caret + memo.SelLength();
  // Insert the later marker first so that the earlier position stays valid.
  if (anchor != caret && anchor > caret) text.insert(static_cast<size_t>(anchor), 1, u'^');
  text.insert(static_cast<size_t>(caret), 1, u'|');
  if (anchor != caret && anchor < caret) text.insert(static_cast<size_t>(anchor), 1, u'^');
  return test::S(text);
}

std::string Render(const TMarked& m) {
  std::u16string text = m.Text;
  if (m.Anchor > m.Caret) text.insert(static_cast<size_t>(m.Anchor), 1, u'^');
  text.insert(static_cast<size_t>(m.Caret), 1, u'|');
  if (m.Anchor < m.Caret) text.insert(static_cast<size_t>(m.Anchor), 1, u'^');
  return test::S(text);
}

void Place(TPlusMemoU& memo, std::u16string_view marked) {
  const TMarked m = Parse(marked);
  test::LoadText(memo, m.Text);
  memo.SetSelStart(m.Caret);
  memo.SetSelLength(m.Anchor - m.Caret);
}

struct TKeyStroke {
  TpmKey Key;
  TShiftState Shift;
};
using TStep = std::variant<TKeyStroke, char16_t>;

TStep K(TpmKey key) { return TKeyStroke{key, {}}; }
TStep ShiftK(TpmKey key) { return TKeyStroke{key, {.Shift = true}}; }
TStep CtrlK(TpmKey key) { return TKeyStroke{key, {.Ctrl = true}}; }
TStep CtrlShiftK(TpmKey key) { return TKeyStroke{key, {.Shift = true, .Ctrl = true}}; }

void Run(TPlusMemoU& memo, const std::vector<TStep>& steps) {
  for (const TStep& step : steps) {
    if (const auto* k = std::get_if<TKeyStroke>(&step))
      memo.KeyDown(k->Key, k->Shift);
    else
      memo.KeyPress(std::get<char16_t>(step));
  }
}

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
    EXPECT_EQ(Render(memo), Render(Parse(c.Expected)));
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

TEST(Keys, PageKeysMoveTwentyParagraphsClamped) {
  std::u16string text;
  for (int i = 0; i < 30; ++i) text += u"ab\r\n";
  text += u"ab";
  // Paragraph p starts at 4p.
  auto at = [&](int32_t pos) {
    std::u16string marked = text;
    marked.insert(static_cast<size_t>(pos), 1, u'|');
    return marked;
  };
  Check({
      {"page down", at(4 * 2 + 1), {K(kPageDown)}, at(4 * 22 + 1)},
      {"page down clamped to the last paragraph", at(4 * 22 + 1), {K(kPageDown)}, at(4 * 30 + 1)},
      {"page up", at(4 * 25 + 2), {K(kPageUp)}, at(4 * 5 + 2)},
      {"page up clamped to the first paragraph", at(4 * 5 + 2), {K(kPageUp)}, at(2)},
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
      {"ctrl+z undoes the typing", u"a|", {u'b', u'c', char16_t{26}}, u"a|"},
      {"ctrl+z undoes a backspace", u"abc|", {K(kBackspace), char16_t{26}}, u"abc|"},
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
  EXPECT_FALSE(memo.KeyDown(kInsert, {}));
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
