// The RTF writer's rules one at a time: format groups, colours, static codes, alignment, ranges, progress, files, clipboard, the editor link.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "RtfTestUtil.h"
#include "export/ClipboardFormats.h"
#include "platform/FileStream.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

// The exporter's lines for the whole text of memo (header at 0 … 2, paragraphs from 3).
std::vector<std::string> Lines(TPlusToRTFU& rtf, TPlusMemoU& memo) {
  TPlusNavigatorU start(&memo);
  TPlusNavigatorU stop(&memo);
  stop.SetPos(memo.TextLength());
  std::vector<std::string> lines;
  rtf.ExportRange(start, stop, &lines, nullptr);
  return lines;
}

// Runs set by hand, marked as highlighted so that the catch-up keeps them.
void SetRuns(TPlusMemoU& memo, int par, const std::vector<TDynInfo>& runs) {
  TParagraphsList& list = memo.Paragraphs();
  list.SetRuns(par, runs);
  for (int p = 0; p < list.Count; ++p) list.SetFlags(p, list.Flags(p) | pfSpansParsed | pfKeywordsApplied);
  list.ScannedUpTo = list.Count - 1;
}

TDynInfo HighlightRun(int32_t offset, uint8_t style, TColor background, TColor foreground, int32_t context = 1) {
  TDynInfo run;
  run.Offset = offset;
  run.Kind = static_cast<uint8_t>(dkKeyStyle | style);
  run.Level = 0;
  run.Background = background;
  run.Foreground = foreground;
  run.ContextNum = context;
  return run;
}

class RtfWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DressAsScriptEditor(memo);
    rtf.SetPlusMemoU(&memo);
  }
  TPlusMemoU memo;
  TPlusToRTFU rtf;
};

constexpr const char* kBaseTable =
    "\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255\\green255\\blue255;";

TEST_F(RtfWriterTest, ConsecutiveRunsWithEqualFormatGiveOneGroup) {
  LoadText(memo, u"aabbcc");
  // The same attributes, then attributes that differ only in what RTF does not show.
  for (const TDynInfo& second : {HighlightRun(4, fsBold, -1, 255), HighlightRun(4, fsBold, -1, 255, 77)}) {
    SetRuns(memo, 0, {HighlightRun(2, fsBold, -1, 255), second});
    const auto lines = Lines(rtf, memo);
    EXPECT_EQ(lines[3], "aa\\plain\\f0\\fs20\\b\\cf4\\cb2 bbcc");
  }
}

TEST_F(RtfWriterTest, TextConvertsAsWholeLinesDo) {
  // A surrogate pair is one character the code page lacks: one '?', also
  // when a run starts between its halves without a new group; split by a
  // group, each half is a '?' of its own.
  LoadText(memo,
           u"a\xD83D\xDE00"
           u"b\xD83D\xDE00"
           u"c");
  SetRuns(memo, 0, {HighlightRun(2, 0, -1, -1), HighlightRun(5, fsBold, -1, -1)});
  EXPECT_EQ(Lines(rtf, memo)[3], "a?b?\\plain\\f0\\fs20\\b\\cf0\\cb2 ?c");
}

TEST_F(RtfWriterTest, RunWithoutAColourOfItsOwnKeepsTheBaseColourOnThatSide) {
  struct Case {
    uint8_t Style;
    TColor Background, Foreground;
    const char* Group;
    const char* ExtraTable;
  };
  const Case cases[] = {
      {fsBold, -1, -1, "\\plain\\f0\\fs20\\b\\cf0\\cb2 ", ""},
      {0, clNone, 0x0000FF, "\\plain\\f0\\fs20\\cf4\\cb2 ", "\\red255\\green0\\blue0;"},
      {0, 0x00FF00, clNone, "\\plain\\f0\\fs20\\cf0\\cb4 ", "\\red0\\green255\\blue0;"},
      {fsHighlight, -1, -1, "\\plain\\f0\\fs20\\cf1\\cb3 ", ""},
      {fsHighlight, 0x00FF00, -1, "\\plain\\f0\\fs20\\cf1\\cb4 ", "\\red0\\green255\\blue0;"},
      // Both colours 0: the run's colours are not used at all.
      {fsHighlight, 0, 0, "\\plain\\f0\\fs20\\cf1\\cb3 ", ""},
      // A real black run colour is the font colour's entry: the group is the
      // one already in effect, so none is written.
      {0, -1, clBlack, "", ""},
  };
  LoadText(memo, u"xy");
  for (const Case& c : cases) {
    SetRuns(memo, 0, {HighlightRun(1, c.Style, c.Background, c.Foreground)});
    const auto lines = Lines(rtf, memo);
    EXPECT_EQ(lines[2].substr(0, lines[2].find('}')), std::string(kBaseTable) + c.ExtraTable);
    EXPECT_EQ(lines[3], "x" + std::string(c.Group) + "y") << c.Group;
  }
}

TEST_F(RtfWriterTest, StaticFormatCodesChangeTheStyleAndAreNeverWritten) {
  memo.SetStaticFormat(true);
  memo.LayoutSettings.AltFont = TFontSpec{u"Lucida Console", 12, 0};
  LoadText(memo,
           u"a\x02"
           u"b\x02\x03"
           u"c\x04\x15"
           u"d\x04\x15\x03\\e");
  for (const bool dyn : {true, false}) {
    rtf.DynFormat = dyn;
    const auto lines = Lines(rtf, memo);
    EXPECT_EQ(lines[0].substr(lines[0].find("{\\f1")), "{\\f1\\fnil Lucida Console;}}");
    EXPECT_EQ(lines[3],
              "a\\plain\\f0\\fs20\\b\\cf0\\cb2 b\\plain\\f0\\fs20\\cf1\\cb3 c\\plain\\f1\\fs24\\ul\\cf1\\cb3 "
              "d\\plain\\f0\\fs20\\cf0\\cb2 \\\\e");
  }
}

TEST_F(RtfWriterTest, HighlightRunReplacesTheStaticStyleUntilItEnds) {
  memo.SetStaticFormat(true);
  LoadText(memo,
           u"\x02"
           u"abc");
  TDynInfo plain;  // no highlight from offset 3: the codes' style again
  plain.Offset = 3;
  SetRuns(memo, 0, {HighlightRun(2, fsItalic, -1, -1), plain});
  const auto lines = Lines(rtf, memo);
  EXPECT_EQ(lines[3],
            "\\plain\\f0\\fs20\\b\\cf0\\cb2 a\\plain\\f0\\fs20\\i\\cf0\\cb2 b\\plain\\f0\\fs20\\b\\cf0\\cb2 c");
}

TEST_F(RtfWriterTest, AlignmentWords) {
  LoadText(memo, u"x");
  struct Case {
    TAlignment Alignment;
    bool Justified;
    const char* Words;
  };
  for (const Case& c : {Case{taLeftJustify, false, "\\pard\\ql\\sl"}, Case{taRightJustify, false, "\\pard\\qr\\sl"},
                        Case{taCenter, false, "\\pard\\qc\\sl"}, Case{taCenter, true, "\\pard\\qj\\sl"}}) {
    memo.LayoutSettings.Alignment = c.Alignment;
    memo.LayoutSettings.Justified = c.Justified;
    EXPECT_NE(Lines(rtf, memo)[2].find(std::string("}") + c.Words), std::string::npos) << c.Words;
  }
}

TEST_F(RtfWriterTest, SystemColoursResolveThroughTheInstalledPalette) {
  LoadText(memo, u"x");
  rtf.ResolveSystemColor = [](int index) { return index == 5 ? 0x332211 : 0; };
  const std::string table = Lines(rtf, memo)[2];
  EXPECT_EQ(table.substr(0, table.find('}')),
            "\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red17\\green34\\blue51;\\red255\\green255\\blue255;");
}

TEST_F(RtfWriterTest, RangeStartingOnARunCarriesItsColourAndCatchesUpOnlyToTheStop) {
  auto chain = FixtureChain();
  ConfigureScriptEditor(memo, *chain);
  LoadText(memo, u"x ; c\rnext\rlast");
  TPlusNavigatorU start(&memo);
  TPlusNavigatorU stop(&memo);
  start.SetPos(2);
  stop.SetPos(memo.ParagraphStart(1) + 2);
  std::vector<std::string> lines;
  rtf.ExportRange(start, stop, &lines, nullptr);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2].substr(0, lines[2].find('}')), std::string(kBaseTable) + "\\red58\\green58\\blue78;");
  EXPECT_EQ(lines[3], "\\plain\\f0\\fs20\\i\\cf4\\cb2 ; c");
  // The next paragraph starts in its own style, not in the comment's.
  EXPECT_EQ(lines[4], "\\par \\plain\\f0\\fs20\\cf0\\cb2 ne");
  EXPECT_EQ(lines[5], std::string("\\par }") + '\0');
  EXPECT_TRUE(memo.Paragraphs().Flags(1) & pfKeywordsApplied);
  EXPECT_FALSE(memo.Paragraphs().Flags(2) & pfKeywordsApplied);
}

TEST_F(RtfWriterTest, ProgressIsReportedByIntervalAndOnceAtTheEnd) {
  LoadText(memo, u"1\r2\r3\r4");
  int calls = 0;
  rtf.OnProgress = [&](TComponent* sender) {
    EXPECT_EQ(sender, &rtf);
    ++calls;
  };
  memo.ProgressInterval = 3600 * 1000;
  RtfOf(rtf);
  EXPECT_EQ(calls, 1);
}

TEST_F(RtfWriterTest, CopyToClipboardPutsTheSelectionAsRtfWithANul) {
  TMemoryClipboard clipboard;
  memo.Clipboard = &clipboard;
  LoadText(memo, u"ab{c\rde");
  rtf.CopyToClipboard();
  EXPECT_FALSE(clipboard.Format(kRtfClipboardFormat).has_value());  // nothing selected
  memo.SetSelStart(2);
  memo.SetSelLength(5);
  rtf.CopyToClipboard();
  const auto block = clipboard.Format(kRtfClipboardFormat);
  ASSERT_TRUE(block.has_value());
  const std::string expected =
      std::string("{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil Courier New;}{\\f1\\fnil Courier New;}}\r\n") +
      "{\\colortbl\r\n" + kBaseTable + "}\\pard\\ql\\sl240\\slmult1\\plain\\f0\\fs20\\cf0\\cb2 \r\n" +
      "\\{c\r\n\\par d\r\n\\par }" + '\0' + "\r\n" + '\0';
  EXPECT_EQ(std::string(block->begin(), block->end()), expected);
  EXPECT_EQ(rtf.ClipboardFormat(), RegisterClipboardFormat("rich text format"));
  EXPECT_GE(rtf.ClipboardFormat(), 0xC000u);
}

// An exporter of plain lines, to see the base class put 8-bit text on the clipboard.
class TPlainLines : public TPlusToFormattedTextU {
 public:
  void ExportRange(TPlusNavigatorU& start, TPlusNavigatorU& stop, std::vector<std::string>* lines, TStream*) override {
    const auto* memo = dynamic_cast<TPlusMemoU*>(start.Memo());
    lines->push_back(WideToAnsi(memo->GetTextRange(start.Pos(), stop.Pos())));
  }
};

TEST(FormattedTextTest, BaseFormatIsTextOnTheClipboard) {
  TPlusMemoU memo;
  TMemoryClipboard clipboard;
  memo.Clipboard = &clipboard;
  LoadText(memo, u"Привет");
  memo.SelectAll();
  TPlainLines plain;
  plain.SetPlusMemoU(&memo);
  EXPECT_EQ(plain.ClipboardFormat(), cfText);
  plain.CopyToClipboard();
  EXPECT_EQ(clipboard.Text(), std::u16string(u"Привет\r\n"));
}

TEST(FormattedTextTest, LinkIsClearedWhenTheEditorIsDestroyed) {
  TPlusToRTFU rtf;
  auto memo = std::make_unique<TPlusMemoU>();
  rtf.SetPlusMemoU(memo.get());
  memo.reset();
  EXPECT_EQ(rtf.PlusMemoU(), nullptr);
  TMemoryStream out;
  rtf.SaveToStream(out);
  EXPECT_EQ(out.Size(), 0);
  // The other way round: the editor forgets an exporter that goes first.
  TPlusMemoU kept;
  const TComponent* gone = nullptr;
  {
    TPlusToRTFU shortLived;
    shortLived.SetPlusMemoU(&kept);
    gone = &shortLived;
    EXPECT_TRUE(kept.HasFreeNotification(gone));
  }
  EXPECT_FALSE(kept.HasFreeNotification(gone));
  // Relinking moves the link.
  TPlusMemoU first;
  TPlusMemoU second;
  rtf.SetPlusMemoU(&first);
  rtf.SetPlusMemoU(&second);
  EXPECT_FALSE(first.HasFreeNotification(&rtf));
  EXPECT_TRUE(second.HasFreeNotification(&rtf));
}

class RtfFileTest : public RtfWriterTest {
 protected:
  void SetUp() override {
    RtfWriterTest::SetUp();
    char pattern[] = "/tmp/qm-rtf-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
  }
  void TearDown() override { fs::remove_all(folder); }
  size_t Entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {})); }
  fs::path folder;
};

TEST_F(RtfFileTest, SaveToFileWritesWhatSaveToStreamWrites) {
  LoadText(memo, u"a\rb");
  const std::string path = (folder / "out.rtf").string();
  rtf.SaveToFile(path);
  EXPECT_EQ(ReadBytes(path), RtfOf(rtf));
  rtf.SaveToFile(Utf8ToWide((folder / "вывод.rtf").string()));
  EXPECT_EQ(ReadBytes((folder / "вывод.rtf").string()), RtfOf(rtf));
}

TEST_F(RtfFileTest, NoEditorMakesNoFile) {
  TPlusToRTFU unlinked;
  unlinked.SaveToFile((folder / "none.rtf").string());
  EXPECT_EQ(Entries(), 0u);
}

TEST_F(RtfFileTest, FileThatCannotBeCreatedRaisesAndWritesNothing) {
  LoadText(memo, u"a");
  EXPECT_THROW(rtf.SaveToFile((folder / "missing" / "out.rtf").string()), EFCreateError);
  EXPECT_EQ(Entries(), 0u);
}

TEST_F(RtfFileTest, FailedExportLeavesTheOldFileUntouched) {
  LoadText(memo, u"a\rb\rc");
  const std::string path = (folder / "out.rtf").string();
  { std::ofstream(path) << "old content"; }
  memo.ProgressInterval = 0;
  rtf.OnProgress = [](TComponent*) { throw EStreamError(kStreamWriteError); };
  EXPECT_THROW(rtf.SaveToFile(path), EStreamError);
  EXPECT_EQ(ReadBytes(path), "old content");
  EXPECT_EQ(Entries(), 1u);  // no temporary file left beside it
}

}  // namespace
}  // namespace qm::test
