// The editor's one edit path: selection placement, undo records and their merging, redo, limits, update bracketing.
#include <gtest/gtest.h>

#include <random>

#include "TestUtil.h"
#include "editor/store/StoreCheck.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

using test::LoadText;

void Type(TPlusMemoU& memo, std::u16string_view chars) {
  for (char16_t c : chars) {
    const char16_t one[2] = {c, 0};
    memo.SetSelTextBuf(one);
  }
}

TEST(Edit, TypingMergesIntoOneUndoStepUntilTheCaretMoves) {
  TPlusMemoU memo;
  Type(memo, u"abc");
  EXPECT_EQ(memo.UndoRecords().Count(), 1);
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"");

  memo.Clear();
  memo.ClearUndo();
  Type(memo, u"a");
  memo.SetSelStart(0);
  Type(memo, u"b");
  EXPECT_EQ(memo.Text(), u"ba");
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"a");
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"");
}

TEST(Edit, ADeletionAfterTypingIsItsOwnStep) {
  TPlusMemoU memo;
  Type(memo, u"abc");
  memo.SetSelStart(2);
  memo.SetSelLength(1);
  memo.ClearSelection();
  EXPECT_EQ(memo.Text(), u"ab");
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"abc");
  EXPECT_TRUE(memo.CanUndo());
}

TEST(Edit, UndoRedoRestoreTextAndRecordsAndANewEditDropsRedo) {
  TPlusMemoU memo;
  LoadText(memo, u"one\r\ntwo");
  memo.SetSelStart(3);
  memo.SetSelLength(3);  // the break and "t"
  memo.SetSelText(u"X\r\nY\r\n");
  const std::u16string edited = memo.Text();
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"one\r\ntwo");
  EXPECT_TRUE(memo.CanRedo());
  memo.Redo();
  EXPECT_EQ(memo.Text(), edited);
  memo.Undo();
  memo.SetSelStart(0);
  memo.SetSelText(u"z");
  EXPECT_FALSE(memo.CanRedo());
  EXPECT_EQ(memo.UndoRecords().Count(), 1);
}

TEST(Edit, LimitsOfTheUndoList) {
  TPlusMemoU memo;
  memo.SetUndoMaxLevel(0);
  Type(memo, u"ab");
  EXPECT_EQ(memo.UndoRecords().Count(), 0);
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"ab");
  try {
    memo.SetUndoMaxLevel(134217728);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "Undo set too high");
  }
  EXPECT_EQ(memo.UndoMaxLevel(), 0);

  memo.SetUndoMaxLevel(3);
  for (int i = 0; i < 6; ++i) {
    memo.SetSelStart(0);
    Type(memo, u"x");
  }
  EXPECT_EQ(memo.UndoRecords().Count(), 4) << "the level is checked before the append";
  memo.SetUndoMaxSpace(30);
  EXPECT_LE(memo.UndoRecords().Space, 30);
  EXPECT_EQ(memo.UndoRecords().Count(), 2);
}

TEST(Edit, SelectionPlacement) {
  TPlusMemoU memo;
  LoadText(memo, u"0123456789abcdef");
  struct Case {
    int32_t start, length;
    int32_t caret, low, high;
  };
  for (const Case& c : {Case{-5, 0, 0, 0, 0}, Case{99, 0, 16, 16, 16}, Case{10, 3, 10, 10, 13}, Case{10, -3, 10, 7, 10},
                        Case{14, 9, 14, 14, 16}}) {
    memo.SetSelStart(c.start);
    memo.SetSelLength(c.length);
    EXPECT_EQ(memo.SelStart(), c.caret);
    EXPECT_EQ(memo.SelStartNav().Pos(), c.low);
    EXPECT_EQ(memo.SelStopNav().Pos(), c.high);
  }
  memo.SelectAll();
  EXPECT_EQ(memo.SelStart(), 16);
  EXPECT_EQ(memo.SelLength(), -16);
  EXPECT_EQ(memo.SelText(), u"0123456789abcdef");
}

TEST(Edit, BreaksInInsertedText) {
  TPlusMemoU memo;
  LoadText(memo, u"ab");
  memo.SetSelStart(1);
  memo.SetSelText(u"x\r\ny");
  EXPECT_EQ(memo.ParagraphCount(), 2);
  memo.SetSelText(u"\n");
  EXPECT_EQ(memo.ParagraphCount(), 2) << "a lone line feed stays a character";
  EXPECT_EQ(memo.SelStart(), 6);
}

TEST(Edit, ChangeEventsOncePerBatchAndPerLoad) {
  TPlusMemoU memo;
  int changes = 0;
  memo.OnChange = [&](TComponent*) { ++changes; };
  memo.BeginUpdate();
  Type(memo, u"abc");
  memo.SetSelStart(0);
  Type(memo, u"d");
  EXPECT_EQ(changes, 0);
  memo.EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(memo.UndoRecords().Count(), 2) << "edits in a batch keep their own undo records";
  LoadText(memo, u"new text");
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(memo.CanUndo());
  EXPECT_EQ(memo.SelStart(), 0);
}

TEST(Edit, BeforeChangeMaySwapTheText) {
  TPlusMemoU memo;
  memo.OnBeforeChange = [](TComponent*, std::u16string& text) {
    if (text == u"a") text = u"A!";
  };
  Type(memo, u"ab");
  EXPECT_EQ(memo.Text(), u"A!b");
}

TEST(Edit, TooLongLeavesNoUndoStep) {
  TPlusMemoU memo;
  LoadText(memo, u"abc");
  memo.Paragraphs().LengthLimit = 10;
  memo.SetSelStart(1);
  EXPECT_THROW(memo.SetSelText(std::u16string(20, u'x')), Exception);
  EXPECT_EQ(memo.Text(), u"abc");
  EXPECT_FALSE(memo.CanUndo());
  Type(memo, u"y");
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"abc");
}

TEST(Edit, LinkedRecordsUndoAndRedoTogether) {
  TPlusMemoU memo;
  LoadText(memo, u"move this");
  memo.SetSelStart(0);
  memo.SetSelLength(5);
  memo.ClearSelection();  // the drag's deletion
  memo.SetSelStart(4);
  memo.SetSelText(u" move");  // and its insertion
  memo.LinkLastUndoRecord();
  EXPECT_EQ(memo.Text(), u"this move");
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"move this");
  memo.Redo();
  EXPECT_EQ(memo.Text(), u"this move");
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"move this");
}

TEST(Edit, ColumnBlockInsertion) {
  TPlusMemoU memo;
  LoadText(memo, u"abcd\r\nx\r\n");
  memo.SetSelStart(2);
  memo.InsertColumnBlock(u"11\r\n22\r\n33");
  EXPECT_EQ(memo.Text(), u"ab11cd\r\nx 22\r\n  33");
  memo.BlockMode = true;
  memo.BlockStartCol = 2;
  memo.BlockStopCol = 4;
  memo.SetSelStart(0);
  memo.SelStopNav().SetPos(memo.ParagraphStart(1) + 1);
  memo.BlockMode = true;
  EXPECT_EQ(memo.SelText(), u"11\r\n22\r\n");
}

// Random edits through the one edit path: undo of everything restores the
// start text, redo of everything the end text, and the store stays sound.
TEST(EditProperty, UndoAndRedoRoundTrips) {
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    std::mt19937 rng(seed);
    auto below = [&rng](int n) { return n <= 0 ? 0 : static_cast<int>(rng() % static_cast<uint32_t>(n)); };
    TPlusMemoU memo;
    LoadText(memo, u"first line\r\nsecond\r\n\r\nlast");
    const std::u16string start = memo.Text();
    static const char16_t* const kPieces[] = {u"a", u"b", u" ", u"\r\n", u"xyz", u"", u"\r\nq\r\n", u"\n"};
    for (int step = 0; step < 1000; ++step) {
      if (below(3) == 0) {
        Type(memo, kPieces[below(3)]);  // keeps typing at the caret
      } else {
        memo.SetSelStart(below(memo.TextLength() + 1));
        memo.SetSelLength(below(9) - 4);
        memo.SetSelText(kPieces[below(8)]);
      }
      VerifyStore(memo.Paragraphs(), "seed " + std::to_string(seed));
    }
    const std::u16string end = memo.Text();
    while (memo.CanUndo()) memo.Undo();
    ASSERT_EQ(memo.Text(), start) << "seed " << seed;
    while (memo.CanRedo()) memo.Redo();
    ASSERT_EQ(memo.Text(), end) << "seed " << seed;
    VerifyStore(memo.Paragraphs(), "seed " + std::to_string(seed));
  }
}

}  // namespace
}  // namespace qm

namespace qm {
namespace {

TEST(EditOptions, ChangesThatReloadTheText) {
  TPlusMemoU memo;
  test::LoadText(memo, u"a  \r\nb\t");
  memo.SetSelStart(1);
  memo.SetSelText(u"x");
  ASSERT_TRUE(memo.CanUndo());
  TPlusMemoOptions options = memo.Options;
  options.Include(pmoDiscardTrailingSpaces);
  memo.SetOptions(options);
  EXPECT_EQ(memo.Text(), u"ax\r\nb");
  EXPECT_FALSE(memo.CanUndo()) << "the reload clears the undo list";

  test::LoadText(memo, u"a\2b\r\nc");
  memo.SetStaticFormat(true);
  EXPECT_EQ(memo.Paragraphs().LayoutInfo(1).StartStyle, fsBold);
  memo.SetStaticFormat(false);
  EXPECT_EQ(memo.Paragraphs().LayoutInfo(1).StartStyle, 0);
}

TEST(EditOptions, ListenersHearChangesAndCaretMoves) {
  struct Recorder : TPlusMemoListener {
    std::vector<uint32_t> flags;
    void MemoNotify(TPlusMemoU&, uint32_t f) override { flags.push_back(f); }
  } recorder;
  TPlusMemoU memo;
  memo.AddListener(&recorder);
  memo.SetSelText(u"ab");
  memo.SetSelStart(0);
  memo.RemoveListener(&recorder);
  memo.SetSelText(u"c");
  EXPECT_EQ(recorder.flags, (std::vector<uint32_t>{pnTextChanged, pnCaretMoved, pnCaretMoved}));
}

}  // namespace
}  // namespace qm
