// Tests of the option-dependent key rules on a control with a fixed-pitch window: free space, indents, smart tabs, overwrite, blocks and hot keys.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "KeyUtil.h"
#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

using namespace test;
using enum TpmKey;

struct TRuleCase {
  const char* Name;
  TPlusMemoOptions Options;
  std::u16string Start;
  std::vector<TStep> Steps;
  std::u16string Expected;
  int32_t VirtualColumn = 0;
  std::function<void(TPlusMemoU&)> Setup = nullptr;
};

// The script editor's layout: no wrapping, 8 x 16 pixel characters, an
// 8-pixel margin, a view of 10 lines.
void Attach(TPlusMemoU& memo, TFakeHost& host) {
  memo.WordWrap = false;
  memo.LayoutSettings.ClientWidth = 400;
  memo.LayoutSettings.ClientHeight = 160;
  memo.SetHost(&host);
}

void Check(const std::vector<TRuleCase>& cases) {
  for (const TRuleCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeHost host;
    TPlusMemoU memo;
    TMemoryClipboard clipboard;
    memo.Clipboard = &clipboard;
    Attach(memo, host);
    if (c.Setup) c.Setup(memo);
    Place(memo, c.Start);
    memo.Options = c.Options;
    Run(memo, c.Steps);
    EXPECT_EQ(Render(memo), Render(c.Expected));
    EXPECT_EQ(memo.VirtualColumn, c.VirtualColumn);
  }
}

// The main window's options for the script editor.
const TPlusMemoOptions kMain{pmoWindowsSelColors,   pmoInsertKeyActive, pmoPersistentBlocks, pmoFullLineSelect,
                             pmoWideOverwriteCaret, pmoNoDefaultPopup,  pmoAutoScrollBars,   pmoSmartTabs,
                             pmoAutoIndent,         pmoPutExtraSpaces,  pmoBackIndent,       pmoWrapCaret};
const TPlusMemoOptions kKeepColumn{pmoKeepColumnPos};
const TPlusMemoOptions kFreeSpaceTyping{pmoKeepColumnPos, pmoPutExtraSpaces};

TEST(KeyRules, RightAndLeftAcrossParagraphEndsAndFreeSpace) {
  Check({
      {"main: right at the end goes to the next paragraph", kMain, u"ab|\r\ncd", {K(kRight)}, u"ab\r\n|cd"},
      {"main: left at the start goes to the previous end", kMain, u"ab\r\n|cd", {K(kLeft)}, u"ab|\r\ncd"},
      {"keep column: right goes into free space", kKeepColumn, u"ab|\r\ncd", {K(kRight), K(kRight)}, u"ab|\r\ncd", 2},
      {"keep column: left comes back out of it", kKeepColumn, u"ab|", {K(kRight), K(kRight), K(kLeft)}, u"ab|", 1},
      {"keep column with wrap caret: the next paragraph",
       {pmoKeepColumnPos, pmoWrapCaret},
       u"ab|\r\ncd",
       {K(kRight)},
       u"ab\r\n|cd"},
      {"typing in free space with extra spaces", kFreeSpaceTyping, u"ab|", {K(kRight), K(kRight), u'x'}, u"ab  x|"},
      {"typing in free space without them", kKeepColumn, u"ab|", {K(kRight), K(kRight), u'x'}, u"abx|"},
      {"discard trailing: left lands after the last non-blank",
       {pmoDiscardTrailingSpaces},
       u"ab  \r\n|cd",
       {K(kLeft)},
       u"ab|  \r\ncd"},
      {"discard trailing: right skips blanks to the next paragraph",
       {pmoDiscardTrailingSpaces},
       u"ab|  \r\ncd",
       {K(kRight)},
       u"ab  \r\n|cd"},
      {"discard trailing with keep column: a space only moves",
       {pmoDiscardTrailingSpaces, pmoKeepColumnPos},
       u"ab|",
       {u' ', u' '},
       u"ab|",
       2},
  });
}

TEST(KeyRules, CaretKeysPassOverFormatCodes) {
  auto staticFormat = [](TPlusMemoU& memo) { memo.SetStaticFormat(true); };
  Check({
      {"right passes the code and a character",
       {},
       u"a|\x02"
       u"bc",
       {K(kRight)},
       u"a\x02"
       u"b|c",
       0,
       staticFormat},
      {"left passes a character and the codes before it",
       {},
       u"a\x02"
       u"b|c",
       {K(kLeft), K(kLeft)},
       u"|a\x02"
       u"bc",
       0,
       staticFormat},
      {"without PassOverCodes each code is a step",
       {},
       u"a|\x02"
       u"bc",
       {K(kRight)},
       u"a\x02|bc",
       0,
       [](TPlusMemoU& memo) {
         memo.SetStaticFormat(true);
         memo.PassOverCodes = false;
       }},
  });
}

TEST(KeyRules, VerticalMovesKeepTheRememberedX) {
  Check({
      {"through a short line and back out to the column",
       {},
       u"abcd|\r\nx\r\nabcdef",
       {K(kDown), K(kDown)},
       u"abcd\r\nx\r\nabcd|ef"},
      {"keep column: free space on the short line", kKeepColumn, u"abcd|\r\nx", {K(kDown)}, u"abcd\r\nx|", 3},
      {"extra spaces without keep column take x afresh",
       {pmoPutExtraSpaces},
       u"abcd|\r\nx\r\nabcdef",
       {K(kDown), K(kDown)},
       u"abcd\r\nx\r\na|bcdef"},
      {"no move on the first line", {}, u"ab|c\r\nd", {K(kUp)}, u"ab|c\r\nd"},
      {"no move on the last line", {}, u"a\r\nb|c", {K(kDown)}, u"a\r\nb|c"},
      {"shift+down extends", {}, u"a|b\r\ncd", {ShiftK(kDown)}, u"a^b\r\nc|d"},
  });
}

TEST(KeyRules, PageKeysMoveByTheViewLessOneLine) {
  std::u16string text;
  for (int i = 0; i < 30; ++i) text += u"ab\r\n";
  text += u"ab";
  // Paragraph p starts at 4p; the view shows 10 lines, a page is 9.
  auto at = [&](int32_t pos) {
    std::u16string marked = text;
    marked.insert(static_cast<size_t>(pos), 1, u'|');
    return marked;
  };
  Check({
      {"page down", {}, at(4 * 2 + 1), {K(kPageDown)}, at(4 * 11 + 1)},
      {"page down clamped to the last line", {}, at(4 * 25 + 1), {K(kPageDown)}, at(4 * 30 + 1)},
      {"page up clamped to the first line", {}, at(4 * 5 + 2), {K(kPageUp)}, at(2)},
  });
}

TEST(KeyRules, PageDownScrollsTheViewWithTheCaret) {
  TFakeHost host;
  TPlusMemoU memo;
  Attach(memo, host);
  std::u16string text;
  for (int i = 0; i < 40; ++i) text += u"line\r\n";
  LoadText(memo, text);
  memo.KeyDown(kPageDown, {});
  EXPECT_EQ(memo.CaretLine(), 9);
  EXPECT_EQ(memo.VScroll(), 9 * 16);
  // With Ctrl the caret moves but the view does not scroll by the page.
  memo.SetScrollPos(0, 0);
  memo.SetSelStart(0);
  memo.KeyDown(kPageDown, {.Ctrl = true});
  EXPECT_EQ(memo.CaretLine(), 9);
  EXPECT_LT(memo.VScroll(), 9 * 16);
}

TEST(KeyRules, EnterWithAutoIndent) {
  const TPlusMemoOptions indent{pmoAutoIndent};
  Check({
      {"copies the indentation", indent, u"  ab|", {char16_t{13}}, u"  ab\r\n  |"},
      {"limited by the caret column", indent, u" | ab", {char16_t{13}}, u" \r\n | ab"},
      {"from the nearest non-empty line above",
       indent,
       u"\tab\r\n\r\n\tcd|",
       {char16_t{13}},
       u"\tab\r\n\r\n\tcd\r\n\t|"},
      {"discard trailing: free space instead of blanks",
       {pmoAutoIndent, pmoDiscardTrailingSpaces},
       u"  ab|",
       {char16_t{13}},
       u"  ab\r\n|",
       2},
      {"a tab counts TabStops columns in free space",
       {pmoAutoIndent, pmoDiscardTrailingSpaces},
       u"\tab|",
       {char16_t{13}},
       u"\tab\r\n|",
       8},
      {"without the option a plain break", {}, u"  ab|", {char16_t{13}}, u"  ab\r\n|"},
  });
}

TEST(KeyRules, SmartTabsLineUpWithTheNextWordAbove) {
  const TPlusMemoOptions smart{pmoSmartTabs};
  auto tabStops2 = [](TPlusMemoU& memo) { memo.TabStops = 2; };
  Check({
      {"to the word of the line above", smart, u"if x\r\n|", {char16_t{9}}, u"if x\r\n   |", 0, tabStops2},
      {"past a shorter line to a longer one",
       smart,
       u"if x\r\nab\r\nab|",
       {char16_t{9}},
       u"if x\r\nab\r\nab |",
       0,
       tabStops2},
      {"a selection is kept and the fill follows it",
       smart,
       u"if x\r\n^a|",
       {char16_t{9}},
       u"if x\r\na  |",
       0,
       tabStops2},
      {"nothing in the first paragraph", smart, u"ab|", {char16_t{9}}, u"ab|"},
      {"nothing without a longer line above", smart, u"ab\r\nabc|", {char16_t{9}}, u"ab\r\nabc|"},
      {"without the option a tab character", {}, u"if x\r\n|", {char16_t{9}}, u"if x\r\n\t|"},
  });
}

TEST(KeyRules, BackspaceWithBackIndent) {
  const TPlusMemoOptions back{pmoBackIndent};
  Check({
      {"back to the previous level",
       back,
       u"    a\r\n  b\r\n    c\r\n    |d",
       {K(kBackspace)},
       u"    a\r\n  b\r\n    c\r\n  |d"},
      {"an empty line above counts as no indentation", back, u"  a\r\n\r\n  |b", {K(kBackspace)}, u"  a\r\n\r\n|b"},
      {"the top of the text counts as no indentation", back, u"  |a", {K(kBackspace)}, u"|a"},
      {"not at the indentation: one character", back, u"  ab|", {K(kBackspace)}, u"  a|"},
      {"without the option one character", {}, u"    a\r\n  |b", {K(kBackspace)}, u"    a\r\n |b"},
      {"in free space only the column goes back", kKeepColumn, u"ab|", {K(kRight), K(kBackspace)}, u"ab|"},
  });
}

TEST(KeyRules, DeleteAndBackspaceVariants) {
  Check({
      {"shift+delete selects the character before", {}, u"ab|c", {ShiftK(kDelete)}, u"a^b|c"},
      {"shift+delete selects the break before", {}, u"ab\r\n|c", {ShiftK(kDelete)}, u"ab^\r\n|c"},
      {"ctrl+delete selects to the line end", {}, u"a|bc\r\nd", {CtrlK(kDelete)}, u"a|bc^\r\nd"},
      {"ctrl+delete over two lines does nothing", {}, u"a|b\r\nc^d", {CtrlK(kDelete)}, u"a|b\r\nc^d"},
      {"backspace takes the format codes before the character",
       {},
       u"a\x02"
       u"b|c",
       {K(kBackspace)},
       u"a|c",
       0,
       [](TPlusMemoU& memo) { memo.SetStaticFormat(true); }},
      {"delete takes the format codes after the character",
       {},
       u"a|b\x02"
       u"c",
       {K(kDelete)},
       u"a|c",
       0,
       [](TPlusMemoU& memo) { memo.SetStaticFormat(true); }},
      {"keep column: a join keeps the caret's screen column",
       kKeepColumn,
       u"ab|\r\ncd",
       {K(kRight), K(kRight), K(kDelete)},
       u"ab|cd",
       2},
      {"keep column: backspace at the end keeps the screen column", kKeepColumn, u"ab|", {K(kBackspace)}, u"a|", 1},
  });
}

TEST(KeyRules, OverwriteReplacesTheCharacterAfterTheCaret) {
  auto overwrite = [](TPlusMemoU& memo) { memo.SetOverwrite(true); };
  Check({
      {"typing replaces", {}, u"a|bc", {u'x'}, u"ax|c", 0, overwrite},
      {"at the paragraph end it appends", {}, u"abc|\r\nd", {u'x'}, u"abcx|\r\nd", 0, overwrite},
      {"enter goes to the next line without a break", {}, u"a|b\r\ncd", {char16_t{13}}, u"ab\r\n|cd", 0, overwrite},
      {"enter on the last line appends a break", {}, u"a|b", {char16_t{13}}, u"ab\r\n|", 0, overwrite},
  });
}

TEST(KeyRules, InsertTogglesOverwriteOnlyWhenActive) {
  TPlusMemoU memo;
  int styleChanges = 0;
  memo.OnStyleChange = [&](TComponent*) { ++styleChanges; };
  memo.KeyDown(kInsert, {});
  EXPECT_TRUE(memo.Overwrite());
  EXPECT_EQ(styleChanges, 1);
  memo.Options.Exclude(pmoInsertKeyActive);
  memo.KeyDown(kInsert, {});
  EXPECT_TRUE(memo.Overwrite());
  EXPECT_EQ(styleChanges, 1);
}

TEST(KeyRules, PersistentBlocksStayWhileTheCaretMoves) {
  const TPlusMemoOptions persistent{pmoPersistentBlocks};
  Check({
      {"left keeps the block", persistent, u"^ab|c", {K(kLeft)}, u"[a|b]c"},
      {"right keeps the block", persistent, u"^ab|c", {K(kRight)}, u"[ab]c|"},
      {"home, end and vertical keys keep it", persistent, u"^ab|c\r\nd", {K(kHome), K(kDown), K(kEnd)}, u"[ab]c\r\nd|"},
      {"shift from the block end extends from its other end",
       persistent,
       u"^ab|cd",
       {K(kRight), K(kLeft), ShiftK(kRight)},
       u"^abc|d"},
      {"shift from outside starts a new selection",
       persistent,
       u"^ab|cd",
       {K(kRight), K(kRight), ShiftK(kLeft)},
       u"abc|d^"},
      {"typing replaces the block wherever the caret is", persistent, u"^ab|cd", {K(kRight), u'x'}, u"x|cd"},
      {"without the option a move drops the block", {}, u"^ab|c", {K(kLeft)}, u"a|bc"},
  });
}

TEST(KeyRules, NoOverwriteBlocksEditAtTheCaret) {
  Check({
      {"with persistent blocks the block is kept",
       {pmoPersistentBlocks, pmoNoOverwriteBlocks},
       u"^ab|cd",
       {K(kRight), u'x'},
       u"[ab]cx|d"},
      {"backspace at the caret keeps the block",
       {pmoPersistentBlocks, pmoNoOverwriteBlocks},
       u"^ab|cd",
       {K(kRight), K(kRight), K(kBackspace)},
       u"[ab]c|"},
      {"without persistent blocks the selection is dropped", {pmoNoOverwriteBlocks}, u"^ab|cd", {u'x'}, u"abx|cd"},
      {"delete without persistent blocks deletes at the caret",
       {pmoNoOverwriteBlocks},
       u"^ab|cd",
       {K(kDelete)},
       u"ab|d"},
  });
}

TEST(KeyRules, ReadOnlyIgnoresEditsButCopies) {
  Check({
      {"typing, hot keys and deleting do nothing",
       {},
       u"a|b",
       {u'x', CtrlK(kT), K(kBackspace), K(kDelete), char16_t{13}},
       u"a|b",
       0,
       [](TPlusMemoU& memo) { memo.ReadOnly = true; }},
      {"moves still work",
       {},
       u"a|b",
       {K(kRight), ShiftK(kLeft)},
       u"a|b^",
       0,
       [](TPlusMemoU& memo) { memo.ReadOnly = true; }},
  });
  TPlusMemoU memo;
  TMemoryClipboard clipboard;
  memo.Clipboard = &clipboard;
  Place(memo, u"^ab|c");
  memo.ReadOnly = true;
  memo.KeyPress(3);
  EXPECT_EQ(clipboard.Text(), u"ab");
  memo.KeyDown(kInsert, {.Ctrl = true});
  EXPECT_EQ(memo.Text(), u"abc");
}

TEST(KeyRules, HotKeys) {
  auto staticFormat = [](TPlusMemoU& memo) { memo.SetStaticFormat(true); };
  Check({
      {"ctrl+b wraps the selection in bold codes",
       {},
       u"a^bc|d",
       {CtrlK(kB)},
       u"a\x02^bc|\x02"
       u"d",
       0,
       staticFormat},
      {"ctrl+i without a selection puts the caret between two codes",
       {},
       u"a|b",
       {CtrlK(kI)},
       u"a\x01|\x01"
       u"b",
       0,
       staticFormat},
      {"ctrl+u underline", {}, u"^a|", {CtrlK(kU)}, u"\x15^a|\x15", 0, staticFormat},
      {"format keys do nothing without static format", {}, u"a|b", {CtrlK(kB), CtrlK(kH), CtrlK(kF)}, u"a|b"},
      {"ctrl+t inserts a tab", {}, u"a|b", {CtrlK(kT)}, u"a\t|b"},
      {"ctrl+p inserts a page mark paragraph", {}, u"a|b", {CtrlK(kP)}, u"a\r\n\x10\r\n|b"},
      {"ctrl+z and ctrl+shift+z", {}, u"a|", {u'b', CtrlK(kZ), CtrlShiftK(kZ), CtrlK(kZ)}, u"a|"},
      {"hot keys off",
       {},
       u"a|b",
       {CtrlK(kT), CtrlK(kP)},
       u"a|b",
       0,
       [](TPlusMemoU& memo) { memo.EnableHotKeys = false; }},
  });
}

TEST(KeyRules, ColumnBlockCopyAndPaste) {
  TFakeHost host;
  TPlusMemoU memo;
  TMemoryClipboard clipboard;
  memo.Clipboard = &clipboard;
  Attach(memo, host);
  Place(memo, u"a|bcd\r\nefgh\r\nijkl");
  memo.Options.Include(pmoBlockSelection);
  test::Run(memo, {ShiftAltK(kRight), ShiftAltK(kRight), ShiftAltK(kDown)});
  ASSERT_TRUE(memo.BlockMode);
  EXPECT_EQ(memo.BlockStartCol, 1);
  EXPECT_EQ(memo.BlockStopCol, 3);
  EXPECT_EQ(memo.SelText(), u"bc\r\nfg\r\n");
  memo.KeyPress(3);
  EXPECT_EQ(clipboard.Text(), u"bc\r\nfg\r\n");

  // A plain move ends block mode; the paste goes in as columns at the caret.
  test::Run(memo, {K(kDown), K(kHome), char16_t{22}});
  EXPECT_FALSE(memo.BlockMode);
  EXPECT_EQ(memo.Text(), u"abcd\r\nefgh\r\nbcijkl\r\nfg");

  // Deleting a block removes its columns from every line.
  Place(memo, u"a|bcd\r\nefgh");
  test::Run(memo, {ShiftAltK(kDown), ShiftAltK(kRight), K(kDelete)});
  EXPECT_EQ(memo.Text(), u"acd\r\negh");
}

TEST(KeyRules, AColumnBlockReachesIntoFreeSpace) {
  TFakeHost host;
  TPlusMemoU memo;
  Attach(memo, host);
  Place(memo, u"ab|\r\nabcd");
  memo.Options.Include(pmoBlockSelection);
  test::Run(memo, {ShiftAltK(kRight), ShiftAltK(kRight), ShiftAltK(kDown)});
  EXPECT_EQ(memo.BlockStartCol, 2);
  EXPECT_EQ(memo.BlockStopCol, 4);
  EXPECT_EQ(memo.SelText(), u"\r\ncd\r\n");
}

TEST(KeyRules, DisplayOnlyKeysOnlyScroll) {
  TFakeHost host;
  TPlusMemoU memo;
  Attach(memo, host);
  std::u16string text;
  for (int i = 0; i < 40; ++i) text += u"line\r\n";
  LoadText(memo, text);
  memo.SetDisplayOnly(true);
  memo.KeyDown(kDown, {});
  EXPECT_EQ(memo.VScroll(), 16);
  memo.KeyDown(kPageDown, {});
  EXPECT_EQ(memo.VScroll(), 16 + 9 * 16);
  memo.KeyDown(kPageUp, {.Ctrl = true});
  EXPECT_EQ(memo.VScroll(), 0);
  EXPECT_EQ(memo.SelStart(), 0);
  EXPECT_FALSE(memo.KeyPress(u'x'));
  EXPECT_EQ(memo.Text(), text);
}

TEST(KeyRules, CtrlEVerifiesTheStoreAndRepaints) {
  TFakeHost host;
  TPlusMemoU memo;
  memo.Name = "PlusMemoU1";
  Attach(memo, host);
  LoadText(memo, u"one\r\ntwo");
  const int before = host.invalidated;
  EXPECT_NO_THROW(memo.KeyPress(5));
  EXPECT_GT(host.invalidated, before);
  // A line count that no longer adds up is reported with the control's name.
  memo.Paragraphs().LineCount += 1;
  try {
    memo.KeyPress(5);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Error 6 in PlusMemoU1", 0), 0u) << e.what();
  }
  memo.Paragraphs().LineCount -= 1;
}

TEST(KeyRules, ListenersSeeTheKeyMessageBeforeAndAfter) {
  TPlusMemoU memo;
  struct TListener : TPlusMemoListener {
    std::vector<std::pair<uint32_t, TpmKey>> seen;
    void MemoNotify(TPlusMemoU& memo, uint32_t flags) override {
      if (flags & (pnBeforeMessage | pnAfterMessage)) seen.emplace_back(flags, memo.LastMessage().Key);
    }
  } listener;
  memo.AddListener(&listener);
  memo.KeyDown(k3, {.Ctrl = true});
  EXPECT_EQ(listener.seen, (std::vector<std::pair<uint32_t, TpmKey>>{{pnBeforeMessage, k3}, {pnAfterMessage, k3}}));
  memo.RemoveListener(&listener);
}

// Runs `steps` random keys of `seed` under random options, checking the
// store after each; returns the text after undoing everything.
std::u16string RandomSession(uint32_t seed, int steps, std::u16string_view start, std::string* log = nullptr) {
  const std::vector<TpmKey> keys{kLeft,      kRight,  kUp,     kDown, kHome, kEnd, kPageUp, kPageDown,
                                 kBackspace, kDelete, kInsert, kB,    kT,    kP,   kZ};
  const std::u16string chars = u"ab \t\r\x01\x02x";
  uint32_t state = seed * 2654435761u;
  auto next = [&](uint32_t n) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % n;
  };
  TFakeHost host;
  TPlusMemoU memo;
  TMemoryClipboard clipboard;
  memo.Clipboard = &clipboard;
  Attach(memo, host);
  if (next(2) == 0) memo.SetStaticFormat(true);
  LoadText(memo, start);
  TPlusMemoOptions options;
  // Every option but the one that reloads (and so clears undo) when turned on.
  for (int o = 0; o <= pmoSmartTabs; ++o)
    if (o != pmoDiscardTrailingSpaces && next(3) == 0) options.Include(static_cast<TPlusMemoOption>(o));
  memo.Options = options;
  memo.SetUndoMaxSpace(1 << 20);
  if (log)
    *log += "options " + std::to_string(options.Bits()) + " static " + std::to_string(memo.StaticFormat()) + "\n";
  for (int step = 0; step < steps; ++step) {
    if (next(3) == 0) {
      const char16_t c = chars[next(static_cast<uint32_t>(chars.size()))];
      // The code 2 stands for Ctrl+E, which checks the store.
      const char16_t sent = c == u'\x02' ? char16_t{5} : c;
      if (log) *log += "char " + std::to_string(sent) + "\n";
      memo.KeyPress(sent);
    } else {
      const TpmKey key = keys[next(static_cast<uint32_t>(keys.size()))];
      TShiftState shift{next(3) == 0, next(4) == 0, next(6) == 0};
      // Undo and redo would make "undo everything" meaningless.
      if (key == kZ) shift.Ctrl = false;
      if (log)
        *log += "key " + std::to_string(static_cast<int>(key)) + " s" + std::to_string(shift.Shift) + " c" +
                std::to_string(shift.Ctrl) + " a" + std::to_string(shift.Alt) + "\n";
      memo.KeyDown(key, shift);
    }
    if (log) *log += "  -> " + Render(memo) + " vc " + std::to_string(memo.VirtualColumn) + "\n";
    EXPECT_NO_THROW(memo.KeyPress(5));
    EXPECT_GE(memo.VirtualColumn, 0);
  }
  while (memo.CanUndo()) memo.Undo();
  return memo.Text();
}

TEST(KeyRules, RandomKeysUnderRandomOptionsKeepTheStoreSoundAndUndoable) {
  const std::u16string start = u"  if x\r\n\tset y\r\n\r\nend";
  for (uint32_t seed = 1; seed <= 100; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    if (RandomSession(seed, 120, start) == start) continue;
    // The shortest failing prefix, for the report.
    int steps = 1;
    while (RandomSession(seed, steps, start) == start) ++steps;
    std::string log;
    RandomSession(seed, steps, start, &log);
    ADD_FAILURE() << "undo does not restore the text after " << steps << " steps:\n" << log;
  }
}

}  // namespace
}  // namespace qm
