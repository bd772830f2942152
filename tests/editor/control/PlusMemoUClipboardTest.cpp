// Copy, cut and paste: empty selections, round trips, plain-text copies, column blocks, no-overwrite blocks, undo.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "TestUtil.h"

namespace qm {
namespace {

using test::LoadText;
using test::S;

// A memo with its own in-memory clipboard, holding text with a selection
// running `length` from the caret.
struct Fixture {
  TMemoryClipboard clipboard;
  TPlusMemoU memo;

  Fixture(std::u16string_view text, int32_t caret, int32_t length) {
    memo.Clipboard = &clipboard;
    LoadText(memo, text);
    memo.SetSelStart(caret);
    memo.SetSelLength(length);
  }
};

std::optional<std::vector<unsigned char>> BlockMark(const TClipboard& clipboard) {
  return clipboard.Format(kColumnBlockFormat);
}

TEST(Clipboard, NothingSelectedLeavesClipboardAndText) {
  for (const bool cut : {false, true}) {
    Fixture f(u"abc", 1, 0);
    f.clipboard.SetText(u"keep");
    if (cut)
      f.memo.CutToClipboard();
    else
      f.memo.CopyToClipboard();
    EXPECT_EQ(f.clipboard.Text(), u"keep") << "cut " << cut;
    EXPECT_EQ(f.memo.Text(), u"abc") << "cut " << cut;
    EXPECT_EQ(f.memo.SelStart(), 1);
    EXPECT_FALSE(f.memo.CanUndo());
  }
}

TEST(Clipboard, CopyAndCutPlaceTheSelectedTextAsPlainText) {
  struct Case {
    bool cut;
    int32_t caret, length;
    std::u16string clip;
    std::u16string text;
    int32_t caretAfter;
  };
  const Case cases[] = {
      {false, 0, 5, u"hello", u"hello\r\nworld", 0},
      {false, 8, -4, u"o\r\nw", u"hello\r\nworld", 8},
      {true, 0, 5, u"hello", u"\r\nworld", 0},
      {true, 8, -4, u"o\r\nw", u"hellorld", 4},
  };
  for (const Case& c : cases) {
    Fixture f(u"hello\r\nworld", c.caret, c.length);
    f.clipboard.SetFormat(kColumnBlockFormat, {2});
    if (c.cut)
      f.memo.CutToClipboard();
    else
      f.memo.CopyToClipboard();
    EXPECT_EQ(f.clipboard.Text(), c.clip) << S(c.clip);
    EXPECT_EQ(f.memo.Text(), c.text) << S(c.clip);
    EXPECT_EQ(f.memo.SelStart(), c.caretAfter) << S(c.clip);
    // Running text must not pass for a column block at the next paste.
    EXPECT_FALSE(BlockMark(f.clipboard)) << S(c.clip);
  }
}

TEST(Clipboard, CutThenPasteElsewhereMovesTheText) {
  Fixture f(u"one two", 0, 4);
  f.memo.CutToClipboard();
  EXPECT_EQ(f.memo.Text(), u"two");
  f.memo.SetSelStart(3);
  f.memo.PasteFromClipboard();
  EXPECT_EQ(f.memo.Text(), u"twoone ");
  EXPECT_EQ(f.memo.SelStart(), 7);
  EXPECT_EQ(f.memo.SelLength(), 0);
}

TEST(Clipboard, PasteTable) {
  struct Case {
    const char* what;
    std::u16string text;
    int32_t caret, length;
    std::u16string clip;
    std::u16string result;
    int paragraphs;
    int32_t caretAfter;
  };
  const Case cases[] = {
      {"CR LF splits the paragraph", u"ab", 1, 0, u"x\r\ny", u"ax\r\nyb", 2, 5},
      {"a lone LF stays a character", u"ab", 1, 0, u"x\ny", u"ax\nyb", 1, 4},
      {"the selection is replaced", u"abcd", 3, -2, u"XY\r\n", u"aXY\r\nd", 2, 5},
      {"into an empty text", u"", 0, 0, u"a\r\n\r\nb", u"a\r\n\r\nb", 3, 6},
  };
  for (const Case& c : cases) {
    Fixture f(c.text, c.caret, c.length);
    f.clipboard.SetText(c.clip);
    f.memo.PasteFromClipboard();
    EXPECT_EQ(f.memo.Text(), c.result) << c.what;
    EXPECT_EQ(f.memo.ParagraphCount(), c.paragraphs) << c.what;
    EXPECT_EQ(f.memo.SelStart(), c.caretAfter) << c.what;
    EXPECT_EQ(f.memo.SelLength(), 0) << c.what;
    EXPECT_EQ(f.clipboard.Text(), c.clip) << c.what;
  }
}

TEST(Clipboard, PasteWithoutTextDoesNothing) {
  for (const TPlusMemoOptions options : {TPlusMemoOptions{}, TPlusMemoOptions{pmoNoOverwriteBlocks}}) {
    Fixture f(u"abc", 2, -1);
    f.memo.Options = options;
    f.memo.PasteFromClipboard();
    EXPECT_EQ(f.memo.Text(), u"abc");
    EXPECT_EQ(f.memo.SelStart(), 2);
    EXPECT_EQ(f.memo.SelLength(), -1);
    EXPECT_FALSE(f.memo.CanUndo());
  }
}

TEST(Clipboard, PasteIsOneUndoStepOfItsOwn) {
  Fixture f(u"abc", 3, 0);
  // Typed text right before the paste: the paste must not merge into it.
  f.memo.SetSelText(u"d");
  f.clipboard.SetText(u"x\r\ny");
  f.memo.PasteFromClipboard();
  EXPECT_EQ(f.memo.Text(), u"abcdx\r\ny");
  f.memo.Undo();
  EXPECT_EQ(f.memo.Text(), u"abcd");
  f.memo.Undo();
  EXPECT_EQ(f.memo.Text(), u"abc");
  f.memo.Redo();
  f.memo.Redo();
  EXPECT_EQ(f.memo.Text(), u"abcdx\r\ny");

  Fixture replaced(u"one two", 0, 3);
  replaced.clipboard.SetText(u"1\r\n2");
  replaced.memo.PasteFromClipboard();
  EXPECT_EQ(replaced.memo.Text(), u"1\r\n2 two");
  replaced.memo.Undo();
  EXPECT_EQ(replaced.memo.Text(), u"one two");
  EXPECT_FALSE(replaced.memo.CanUndo());
}

TEST(Clipboard, PlainClipboardStripsFormatCodes) {
  const std::u16string coded =
      u"a\x02"
      u"b\x02"
      u"c\x15"
      u"d\x01\x03\x04";
  for (const bool plain : {false, true}) {
    Fixture f(coded, 0, static_cast<int32_t>(coded.size()));
    if (plain) f.memo.Options.Include(pmoPlainClipboard);
    f.memo.CopyToClipboard();
    EXPECT_EQ(f.clipboard.Text(), plain ? u"abcd" : coded) << "plain " << plain;
  }
}

TEST(Clipboard, ColumnBlockCopyCutAndPaste) {
  // Columns 1 to 2 of the paragraphs abc and def.
  auto selectBlock = [](Fixture& f) {
    f.memo.SetSelStart(0);
    f.memo.SetSelLength(6);
    f.memo.BlockMode = true;
    f.memo.BlockStartCol = 1;
    f.memo.BlockStopCol = 2;
  };
  Fixture f(u"abc\r\ndef", 0, 0);
  selectBlock(f);
  f.memo.CopyToClipboard();
  EXPECT_EQ(f.clipboard.Text(), u"b\r\ne\r\n");
  ASSERT_TRUE(BlockMark(f.clipboard));
  EXPECT_EQ(BlockMark(f.clipboard)->front(), 2);
  EXPECT_EQ(f.memo.Text(), u"abc\r\ndef");

  f.memo.CutToClipboard();
  EXPECT_EQ(f.clipboard.Text(), u"b\r\ne\r\n");
  EXPECT_EQ(f.memo.Text(), u"ac\r\ndf");

  // Only with column blocks on does the marker make the lines go in as columns.
  struct Case {
    TPlusMemoOptions options;
    std::vector<unsigned char> mark;
    std::u16string result;
  };
  const Case cases[] = {
      {{pmoBlockSelection}, {2}, u"abc\r\ndef"},
      {{}, {2}, u"ab\r\ne\r\nc\r\ndf"},
      {{pmoBlockSelection}, {1}, u"ab\r\ne\r\nc\r\ndf"},
      {{pmoBlockSelection}, {}, u"ab\r\ne\r\nc\r\ndf"},
  };
  for (const Case& c : cases) {
    Fixture paste(u"ac\r\ndf", 1, 0);
    paste.memo.Options = c.options;
    paste.clipboard.SetText(u"b\r\ne\r\n");
    paste.clipboard.SetFormat(kColumnBlockFormat, c.mark);
    paste.memo.PasteFromClipboard();
    EXPECT_EQ(paste.memo.Text(), c.result) << S(c.result);
  }
}

TEST(Clipboard, NoOverwriteBlocksPasteAtTheCaret) {
  struct Case {
    const char* what;
    TPlusMemoOptions options;
    std::u16string result;
    int32_t selStart, selLength;
  };
  // The text abc with a backward selection of a, the caret at 1.
  const Case cases[] = {
      {"the selection is replaced", {}, u"Xbc", 1, 0},
      {"the selection is dropped", {pmoNoOverwriteBlocks}, u"aXbc", 2, 0},
      // The caret stays where the paste left it, after the X; the block a is kept.
      {"the persistent block is kept", {pmoNoOverwriteBlocks, pmoPersistentBlocks}, u"aXbc", 2, -1},
  };
  for (const Case& c : cases) {
    Fixture f(u"abc", 1, -1);
    f.memo.Options = c.options;
    f.clipboard.SetText(u"X");
    f.memo.PasteFromClipboard();
    EXPECT_EQ(f.memo.Text(), c.result) << c.what;
    EXPECT_EQ(f.memo.SelStart(), c.selStart) << c.what;
    EXPECT_EQ(f.memo.SelLength(), c.selLength) << c.what;
  }
}

TEST(Clipboard, WithoutItsOwnClipboardTheMemoUsesThePlatformOne) {
  TPlusMemoU memo;
  LoadText(memo, u"abc");
  memo.SetSelStart(0);
  memo.SetSelLength(2);
  memo.CopyToClipboard();
  EXPECT_EQ(PlatformClipboard().Text(), u"ab");
}

}  // namespace
}  // namespace qm
