// Loading and saving the paragraph store: breaks, NUL bytes, long paragraphs, load blocks, trailing blanks.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "editor/store/StoreCheck.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

using test::LoadText;
using test::SavedText;

std::vector<std::u16string> ParagraphsOf(const TPlusMemoU& memo) {
  std::vector<std::u16string> out;
  for (int i = 0; i < memo.ParagraphCount(); ++i) out.push_back(memo.ParagraphText(i));
  return out;
}

TEST(Load, EmptyStreamIsOneEmptyParagraph) {
  TPlusMemoU memo;
  LoadText(memo, u"");
  EXPECT_EQ(memo.ParagraphCount(), 1);
  EXPECT_EQ(memo.TextLength(), 0);
  EXPECT_EQ(memo.LineCount(), 1);
  VerifyStore(memo.Paragraphs(), "memo");
}

TEST(Load, EveryBreakKindCountsTwoPositions) {
  struct Case {
    std::u16string text;
    std::vector<std::u16string> paragraphs;
    TPlusLineBreak detected;
  };
  const Case cases[] = {
      {u"a\r\nb", {u"a", u"b"}, pbCRLF},      {u"a\n\rb", {u"a", u"b"}, pbLFCR},        {u"a\rb", {u"a", u"b"}, pbCR},
      {u"a\nb", {u"a", u"b"}, pbLF},          {u"a\r\r\nb", {u"a", u"", u"b"}, pbCRLF}, {u"a\r\n", {u"a", u""}, pbCRLF},
      {u"\r\n\r\n", {u"", u"", u""}, pbCRLF}, {u"a\r\nb\nc", {u"a", u"b", u"c"}, pbLF},  // the last break wins
      {u"a\n\nb", {u"a", u"", u"b"}, pbLF},
  };
  for (const Case& c : cases) {
    TPlusMemoU memo;
    memo.Options.Include(pmoAutoLineBreak);
    LoadText(memo, c.text);
    EXPECT_EQ(ParagraphsOf(memo), c.paragraphs) << test::S(c.text);
    int32_t expected = 0;
    for (const auto& p : c.paragraphs) expected += static_cast<int32_t>(p.size()) + 2;
    EXPECT_EQ(memo.TextLength(), expected - 2);
    EXPECT_EQ(memo.LineBreak, c.detected) << test::S(c.text);
    VerifyStore(memo.Paragraphs(), "memo");
  }
}

TEST(Load, NulEndsTextOrIsReplaced) {
  const std::u16string text(u"ab\0cd\r\nef", 9);
  {
    TPlusMemoU memo;
    TMemoryStream stream = test::StreamOf(text);
    memo.LoadFromStream(stream);
    EXPECT_EQ(memo.Text(), u"ab");
    EXPECT_EQ(stream.Position(), 4) << "positioned after the last character taken";
  }
  {
    TPlusMemoU memo;
    memo.NullReplacement = u'?';
    LoadText(memo, text);
    EXPECT_EQ(memo.Text(), u"ab?cd\r\nef");
  }
}

TEST(Load, LongParagraphsSpanBlocksAndKeepTheirLength) {
  // One paragraph over the compact limit, then text spanning several load
  // blocks with breaks falling on block boundaries.
  std::u16string text(200000, u'x');
  text += u"\r\n";
  for (int i = 0; i < 30000; ++i) text += (i % 3 == 0) ? u"line\r\n" : u"a somewhat longer line\r\n";
  text += std::u16string(65534, u'y') + u"\r" + std::u16string(65535, u'z');
  TPlusMemoU memo;
  LoadText(memo, text);
  EXPECT_EQ(memo.Paragraphs().Length(0), 200000);
  EXPECT_NE(memo.Paragraphs().Extra(0), nullptr) << "long paragraphs use the extended record";
  const int last = memo.ParagraphCount() - 1;
  EXPECT_EQ(memo.Paragraphs().Length(last), 65535);
  EXPECT_EQ(memo.Paragraphs().Length(last - 1), 65534);
  EXPECT_EQ(memo.Paragraphs().Extra(last - 1), nullptr);
  EXPECT_EQ(
      memo.Text(), text.substr(0, 200002) + [&] {
        std::u16string rest = text.substr(200002);
        std::u16string out;
        for (size_t i = 0; i < rest.size(); ++i) {
          if (rest[i] == u'\r' && (i + 1 >= rest.size() || rest[i + 1] != u'\n'))
            out += u"\r\n";
          else
            out += rest[i];
        }
        return out;
      }());
  VerifyStore(memo.Paragraphs(), "memo");
  EXPECT_EQ(memo.ParagraphCount(), 30003);
}

TEST(Load, TextPastTheLengthLimitRaisesWithOrWithoutAFinalBreak) {
  struct Case {
    std::u16string text;
    bool tooLong;
  };
  const std::u16string over(120, u'a');
  const Case cases[] = {
      {over, true},                       // the last paragraph alone passes the limit
      {over + u"\r\n", true},             // the same closed by a break
      {u"abc\r\n" + over, true},          // a last paragraph after others
      {std::u16string(50, u'a'), false},  // within the limit both ways
      {std::u16string(50, u'a') + u"\r\n", false},
  };
  for (const Case& c : cases) {
    TPlusMemoU memo;
    memo.Paragraphs().LengthLimit = 100;
    if (c.tooLong) {
      try {
        LoadText(memo, c.text);
        ADD_FAILURE() << "expected Text too long for " << c.text.size() << " characters";
      } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Text too long");
      }
      // The paragraphs read so far stay, and the control goes on firing its events.
      EXPECT_LE(memo.TextLength(), 100);
      bool changed = false;
      memo.OnChange = [&](TComponent*) { changed = true; };
      memo.SetSelText(u"x");
      EXPECT_TRUE(changed);
    } else {
      LoadText(memo, c.text);
      EXPECT_EQ(memo.TextLength(), static_cast<int32_t>(c.text.size()));
    }
    VerifyStore(memo.Paragraphs(), "memo");
  }
}

TEST(Load, BreakSplitAcrossTwoReads) {
  // The CR is the last character of the first block's read, its LF the first of the next.
  std::u16string text(65499, u'a');
  text += u"\r\nb";
  TPlusMemoU memo;
  LoadText(memo, text);
  ASSERT_EQ(memo.ParagraphCount(), 2);
  EXPECT_EQ(memo.ParagraphText(1), u"b");
  EXPECT_EQ(memo.TextLength(), 65499 + 2 + 1);
}

TEST(Load, DiscardTrailingSpacesOnLoadAndSave) {
  TPlusMemoU memo;
  memo.Options.Include(pmoDiscardTrailingSpaces);
  LoadText(memo, u"a  \t\r\n  \r\nb ");
  EXPECT_EQ(ParagraphsOf(memo), (std::vector<std::u16string>{u"a", u"", u"b"}));
  memo.Options.Exclude(pmoDiscardTrailingSpaces);
  memo.ReplaceRange(1, 1, u" ");
  memo.Options.Include(pmoDiscardTrailingSpaces);
  EXPECT_EQ(SavedText(memo), u"a\r\n\r\nb");
}

TEST(Save, LineBreakBetweenParagraphsOnly) {
  TPlusMemoU memo;
  LoadText(memo, u"one\r\ntwo\r\n");
  const std::pair<TPlusLineBreak, std::u16string> cases[] = {
      {pbCRLF, u"one\r\ntwo\r\n"}, {pbLF, u"one\ntwo\n"}, {pbCR, u"one\rtwo\r"}, {pbLFCR, u"one\n\rtwo\n\r"}};
  for (const auto& [lb, expected] : cases) {
    memo.LineBreak = lb;
    EXPECT_EQ(SavedText(memo), expected);
  }
}

TEST(Save, EmptyFormatCodePairsAreRemovedOnlyWithStaticFormat) {
  const std::u16string text = u"a\2\2b\1\2\1c\2x\2";
  TPlusMemoU memo;
  LoadText(memo, text);
  EXPECT_EQ(SavedText(memo), text);
  memo.SetStaticFormat(true);
  EXPECT_EQ(SavedText(memo), u"ab\2c\2x\2");
  EXPECT_EQ(memo.Text(), text) << "saving does not change the text";
}

TEST(Load, ProgressIsReportedAtTheEnd) {
  TPlusMemoU memo;
  int calls = 0;
  memo.OnProgress = [&](TComponent*) { ++calls; };
  LoadText(memo, u"a\r\nb");
  EXPECT_GE(calls, 1);
}

}  // namespace
}  // namespace qm
