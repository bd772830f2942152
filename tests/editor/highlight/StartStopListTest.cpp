// Start-stop key lists: adding, parents and continuations, matching, folding, textual and stored forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/highlight/StartStopList.h"
#include "editor/store/CaseFolding.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

// The separators of the main window's highlighters: units 0..26 and " $%&(),./:;<=>[]".
TCharSet HighlighterSeparators() {
  TCharSet set(u" $%&(),./:;<=>[]");
  for (char16_t c = 0; c <= 26; ++c) set.Add(c);
  return set;
}

struct MainKey {
  std::u16string Start, Stop;
  uint8_t Options, Style;
  int16_t ContextNum;
  TColor Background, Foreground;
  bool StopAtParEnd;
  int16_t ScopeContext, ScopeLevel;
  int32_t Tag;
};

const std::vector<MainKey>& MainWindowKeys() {
  static const std::vector<MainKey> keys = {
      {u";", u"", 0, fsItalic, 1, -1, 5126714, true, 0, 9, 1367},
      {u"\"", u"\"", 0, 0, 1, -1, 16384, true, 0, 9, 1},
      {u"BEGIN", u"END", kwoWholeWord, 0, 99, -1, -1, false, 0, 1, 0},
      {u"SCRIPTNAME", u"", kwoWholeWord, 0, 88, -1, -1, false, 0, 0, 0},
      {u"SCN", u"", kwoWholeWord, 0, 88, -1, -1, false, 0, 0, 0},
      {u"MENUMODE", u"", 0, fsBold, 11, -1, -1, true, 0, 1, 3},
  };
  return keys;
}

void AddMainWindowKeys(TExtStartStopList& list) {
  for (const MainKey& k : MainWindowKeys()) {
    const int i = list.AddExtStartStopKey(k.Start, k.Stop, k.Options, k.Style, k.ContextNum, k.ScopeContext,
                                          k.ScopeLevel, 0, k.Background, k.Foreground, k.StopAtParEnd);
    list.SetTag(i, k.Tag);
  }
}

void ExpectSameEntry(const StartStopEntry& a, const StartStopEntry& b, bool withTag) {
  EXPECT_EQ(a.StartText(), b.StartText());
  EXPECT_EQ(a.StopText(), b.StopText());
  EXPECT_EQ(a.StartMatch(), b.StartMatch());
  EXPECT_EQ(a.StopMatch(), b.StopMatch());
  EXPECT_EQ(a.Options, b.Options);
  EXPECT_EQ(a.Style, b.Style);
  EXPECT_EQ(a.ContextNum, b.ContextNum);
  EXPECT_EQ(a.Cursor, b.Cursor);
  EXPECT_EQ(a.Background, b.Background);
  EXPECT_EQ(a.Foreground, b.Foreground);
  EXPECT_EQ(a.StopAtParEnd, b.StopAtParEnd);
  EXPECT_EQ(a.ScopeContext, b.ScopeContext);
  EXPECT_EQ(a.ScopeLevel, b.ScopeLevel);
  EXPECT_EQ(a.ParentKey, b.ParentKey);
  if (withTag) {
    EXPECT_EQ(a.Tag, b.Tag);
  }
}

void ExpectSameList(const TStartStopKeyList& a, const TStartStopKeyList& b, bool withTag) {
  ASSERT_EQ(a.Count(), b.Count());
  for (int i = 0; i < a.Count(); ++i) {
    SCOPED_TRACE(i);
    ExpectSameEntry(a.Entry(i), b.Entry(i), withTag);
  }
  EXPECT_EQ(a.MaxStartLength(), b.MaxStartLength());
  EXPECT_EQ(a.MaxStopLength(), b.MaxStopLength());
}

TEST(StartStopList, MainWindowKeysReadBack) {
  TExtStartStopList list;
  AddMainWindowKeys(list);
  ASSERT_EQ(list.Count(), 6);
  for (int i = 0; i < list.Count(); ++i) {
    SCOPED_TRACE(i);
    const MainKey& k = MainWindowKeys()[static_cast<size_t>(i)];
    const StartStopEntry& e = list.Entry(i);
    EXPECT_EQ(e.StartText(), k.Start);
    EXPECT_EQ(e.StopText(), k.Stop);
    EXPECT_EQ(e.StartMatch(), k.Start) << "upper-case keys fold to themselves";
    EXPECT_EQ(e.StartLength, k.Start.size());
    EXPECT_EQ(e.StopLength, k.Stop.size());
    EXPECT_EQ(e.Options, k.Options);
    EXPECT_EQ(e.Style, k.Style);
    EXPECT_EQ(e.ContextNum, k.ContextNum);
    EXPECT_EQ(e.Cursor, 0);
    EXPECT_EQ(e.Background, k.Background);
    EXPECT_EQ(e.Foreground, k.Foreground);
    EXPECT_EQ(e.StopAtParEnd, k.StopAtParEnd);
    EXPECT_EQ(e.ScopeContext, k.ScopeContext);
    EXPECT_EQ(e.ScopeLevel, k.ScopeLevel);
    EXPECT_EQ(e.Tag, k.Tag);
    EXPECT_EQ(e.ParentKey, -1);
    EXPECT_EQ(list.FindContinuation(i, true), -1);
  }
  EXPECT_EQ(list.MaxStartLength(), 10);  // SCRIPTNAME
  EXPECT_EQ(list.MaxStopLength(), 3);    // END
  EXPECT_EQ(list.UpperCaseType(), pmuAscii);
  EXPECT_FALSE(list.SeparatorsComputed());
}

TEST(StartStopList, WideningAndLowerCaseKeysFold) {
  TExtStartStopList list;
  const int i = list.AddExtStartStopKey(u"begin", u"End", kwoWholeWord, 0, -2, -3, 32767, -4, 0, 0, false);
  const StartStopEntry& e = list.Entry(i);
  EXPECT_EQ(e.ContextNum, -2);
  EXPECT_EQ(e.ScopeContext, -3);
  EXPECT_EQ(e.ScopeLevel, 32767);
  EXPECT_EQ(e.Cursor, -4);
  EXPECT_EQ(e.StartText(), u"begin");
  EXPECT_EQ(e.StartMatch(), u"BEGIN");
  EXPECT_EQ(e.StopMatch(), u"END");
  const int j = list.AddStartStopKey(u"begin", u"End", kwoMatchCase, 0, 1, 0, 0, 0, false);
  EXPECT_EQ(list.Entry(j).StartMatch(), u"begin");
  EXPECT_EQ(list.Entry(j).StopMatch(), u"End");
}

TEST(StartStopList, BoundaryFlags) {
  struct Case {
    std::u16string Start, Stop;
    uint8_t Options;
    bool AfterStart, BeforeStart, AfterStop, BeforeStop;
  };
  const Case cases[] = {
      {u"SCN", u"", kwoWholeWord, true, true, false, false},
      {u";", u"", kwoWholeWord, false, false, false, false},  // separators only
      {u"BEGIN", u"END", kwoWholeWord, true, true, true, true},
      {u"BEGIN", u"END", 0, false, false, false, false},
      {u"(x", u"x)", kwoWholeWord | kwoMatchCase, true, false, false, true},
      {u"", u"", kwoWholeWord, false, false, false, false},
  };
  TStartStopKeyList list;
  for (const Case& c : cases) list.AddStartStopKey(c.Start, c.Stop, c.Options, 0, 1, 0, -1, -1, false);
  list.ComputeSeparators(HighlighterSeparators());
  EXPECT_TRUE(list.SeparatorsComputed());
  for (int i = 0; i < list.Count(); ++i) {
    SCOPED_TRACE(i);
    const Case& c = cases[i];
    const StartStopEntry& e = list.Entry(i);
    EXPECT_EQ(e.NeedSepAfterStart, c.AfterStart);
    EXPECT_EQ(e.NeedSepBeforeStart, c.BeforeStart);
    EXPECT_EQ(e.NeedSepAfterStop, c.AfterStop);
    EXPECT_EQ(e.NeedSepBeforeStop, c.BeforeStop);
  }
  list.InvalidateSeparators();
  EXPECT_FALSE(list.SeparatorsComputed());
  list.ComputeSeparators(HighlighterSeparators());
  list.AddStartStopKey(u"X", u"", 0, 0, 1, 0, -1, -1, false);
  EXPECT_FALSE(list.SeparatorsComputed()) << "adding makes the flags stale";

  // Units above 255 test as 255.
  TStartStopKeyList wide;
  wide.AddStartStopKey(u"\u0416", u"", kwoWholeWord, 0, 1, 0, -1, -1, false);
  wide.ComputeSeparators(TCharSet(u"\u00FF"));
  EXPECT_FALSE(wide.Entry(0).NeedSepAfterStart);
  EXPECT_TRUE(wide.StartMatchesAt(0, u"a\u0416b", u"A\u0416B", 1, TCharSet(u"\u00FF")));
}

TEST(StartStopList, MatchingRules) {
  struct Case {
    std::u16string Start, Stop;
    uint8_t Options;
    bool StopKey;  // test the stop key instead of the start key
    std::u16string Text;
    size_t Pos;
    bool Matches;
  };
  const uint8_t ww = kwoWholeWord;
  const Case cases[] = {
      {u"SCN", u"", ww, false, u"SCN Foo", 0, true},
      {u"SCN", u"", ww, false, u"scn Foo", 0, true},  // folded text
      {u"SCN", u"", ww, false, u"SCN", 0, true},      // both ends of the scanned text
      {u"SCN", u"", ww, false, u"xSCN", 1, false},
      {u"SCN", u"", ww, false, u"SCNx", 0, false},
      {u"SCN", u"", ww, false, u"SCN;", 0, true},
      {u"SCN", u"", ww, false, u"(SCN)", 1, true},
      {u"SCN", u"", ww, false, u"SC", 0, false},
      {u"SCN", u"", ww, false, u"SCN", 1, false},
      {u"SCN", u"", ww, false, u"SCN", 9, false},
      {u"SCN", u"", 0, false, u"xSCNx", 1, true},
      {u"SCN", u"", ww | kwoMatchCase, false, u"scn", 0, false},
      {u"SCN", u"", ww | kwoMatchCase, false, u"SCN", 0, true},
      {u";", u"", ww, false, u"a;b", 1, true},  // separators only: no neighbours needed
      {u"BEGIN", u"END", ww, true, u"x end", 2, true},
      {u"BEGIN", u"END", ww, true, u"xend", 1, false},
      {u"BEGIN", u"END", ww, true, u"ENDx", 0, false},
      {u"BEGIN", u"END", ww, true, u"END", 0, true},
      {u";", u"", 0, true, u"", 0, false},  // an empty stop key never matches
      {u";", u"", 0, true, u"abc", 0, false},
      {u";", u"", 0, true, u"abc", 3, false},
      {u"", u"X", 0, false, u"abc", 0, false},  // nor does an empty start key
  };
  const TCharSet separators = HighlighterSeparators();
  for (bool precomputed : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << (c.StopKey ? "stop " : "start ") << std::string(c.Text.begin(), c.Text.end())
                                      << " at " << c.Pos << (precomputed ? " precomputed" : ""));
      TStartStopKeyList list;
      list.AddStartStopKey(c.Start, c.Stop, c.Options, 0, 1, 0, -1, -1, true);
      if (precomputed) list.ComputeSeparators(separators);
      const std::u16string folded = FoldedCopy(c.Text, list.UpperCaseType());
      const bool got = c.StopKey ? list.StopMatchesAt(0, c.Text, folded, c.Pos, separators)
                                 : list.StartMatchesAt(0, c.Text, folded, c.Pos, separators);
      EXPECT_EQ(got, c.Matches);
    }
  }
}

TEST(StartStopList, ParentKeysAndContinuations) {
  TExtStartStopList list;
  const uint8_t ww = kwoWholeWord;
  list.AddExtStartStopKey(u"BEGIN", u"END", ww, 0, 99, 0, 1, 0, -1, -1, false);                 // 0
  list.AddExtStartStopKey(u"\"", u"\"", 0, 0, 1, 0, 9, 0, -1, -1, true);                        // 1
  list.AddExtStartStopKey(u"begin", u"ENDIF", ww, 0, 98, 0, 2, 0, -1, -1, false);               // 2: other scope
  list.AddExtStartStopKey(u"Begin", u"END", ww, 0, 97, 0, 1, 0, -1, -1, false);                 // 3: same scope
  list.AddExtStartStopKey(u"BEGIN", u"END", ww | kwoMatchCase, 0, 96, 0, 1, 0, -1, -1, false);  // 4: other options
  list.AddExtStartStopKey(u"begin", u"", ww | kwoMatchCase, 0, 95, 0, 1, 0, -1, -1, false);     // 5: case differs
  const int16_t parents[] = {-1, -1, 0, 0, -1, -1};
  for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Entry(i).ParentKey, parents[i]) << i;

  EXPECT_EQ(list.FindContinuation(0, false), 2);
  EXPECT_EQ(list.FindContinuation(0, true), 3) << "extended lists also compare the scope";
  EXPECT_EQ(list.FindContinuation(2, false), -1) << "a third key names the first one as parent";
  EXPECT_EQ(list.FindContinuation(1, false), -1);
  EXPECT_THROW(list.FindContinuation(6, false), ERangeError);
}

TEST(StartStopList, LongestLengths) {
  TStartStopKeyList list;
  EXPECT_EQ(list.MaxStopLength(), 0);
  list.AddStartStopKey(u";", u"", 0, 0, 1, 0, -1, -1, false);
  EXPECT_EQ(list.MaxStopLength(), 0);
  list.Clear();
  list.AddStartStopKey(u";", u"", 0, 0, 1, 0, -1, -1, true);
  EXPECT_EQ(list.MaxStartLength(), 1);
  EXPECT_EQ(list.MaxStopLength(), 2) << "a paragraph end counts two positions";
  list.AddStartStopKey(u"IF", u"ENDIF", 0, 0, 1, 0, -1, -1, false);
  EXPECT_EQ(list.MaxStartLength(), 2);
  EXPECT_EQ(list.MaxStopLength(), 5);
}

TEST(StartStopList, UpperCaseTypeRefoldsOnlyFoldedEntries) {
  TStartStopKeyList list;
  list.AddStartStopKey(u"caf\u00e9", u"f\u00eate", 0, 0, 1, 0, -1, -1, false);
  list.AddStartStopKey(u"caf\u00e9", u"f\u00eate", kwoMatchCase, 0, 1, 0, -1, -1, false);
  EXPECT_EQ(list.Entry(0).StartMatch(), u"CAF\u00e9") << "ASCII folding leaves other letters";
  EXPECT_EQ(list.Entry(0).StopMatch(), u"F\u00eaTE");

  list.SetUpperCaseType(pmuAnsi);
  EXPECT_EQ(list.UpperCaseType(), pmuAnsi);
  EXPECT_EQ(list.Entry(0).StartMatch(), u"CAF\u00c9");
  EXPECT_EQ(list.Entry(0).StopMatch(), u"F\u00caTE");
  EXPECT_EQ(list.Entry(0).StartText(), u"caf\u00e9");
  EXPECT_EQ(list.Entry(1).StartMatch(), u"caf\u00e9");
  EXPECT_EQ(list.Entry(1).StopMatch(), u"f\u00eate");

  list.SetUpperCaseType(pmuAscii);
  EXPECT_EQ(list.Entry(0).StartMatch(), u"CAF\u00e9");
  const int added = list.AddStartStopKey(u"x\u00e9", u"", 0, 0, 1, 0, -1, -1, false);
  EXPECT_EQ(list.Entry(added).StartMatch(), u"X\u00e9") << "new keys fold with the current type";
}

TEST(StartStopList, TextualFormRoundTrip) {
  TExtStartStopList list;
  AddMainWindowKeys(list);
  TValueStrings lines = {u"keep me"};
  list.SaveToValueStrings(lines);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], u"keep me");
  EXPECT_EQ(lines[1], u";|=0,2,1,0,-1,5126714,1,0,9,");
  EXPECT_EQ(lines[2], u"\"|\"=0,0,1,0,-1,16384,1,0,9,");
  EXPECT_EQ(lines[3], u"BEGIN|END=2,0,99,0,-1,-1,0,0,1,");

  TExtStartStopList loaded;
  loaded.LoadFromValueStrings(lines);
  ExpectSameList(loaded, list, false);
  EXPECT_EQ(loaded.Entry(0).Tag, 0) << "the textual form drops Tag";

  TStartStopKeyList plain;
  plain.LoadFromValueStrings(lines);
  ASSERT_EQ(plain.Count(), 6);
  EXPECT_EQ(plain.Entry(0).ScopeLevel, 0) << "the editor's own list ignores the scope numbers";
}

TEST(StartStopList, TextualFormLoading) {
  const TValueStrings lines = {
      u"SCN=2,0,88,0,-1,-1,0",             // seven numbers, no "|", no final comma
      u"no value here",                    // skipped
      u"BEGIN|END=2,0,99,3,-1,-1,0,7,1,",  // nine numbers
      u"|=0,0,1,0,$10,-1,1,",              // empty keys, hexadecimal colour
  };
  for (bool extended : {false, true}) {
    SCOPED_TRACE(extended ? "extended" : "plain");
    TExtStartStopList ext;
    TStartStopKeyList plain;
    TStartStopKeyList& list = extended ? static_cast<TStartStopKeyList&>(ext) : plain;
    list.AddStartStopKey(u"old", u"", 0, 0, 1, 0, -1, -1, true);
    list.LoadFromValueStrings(lines);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Entry(0).StartText(), u"SCN");
    EXPECT_EQ(list.Entry(0).StopText(), u"");
    EXPECT_EQ(list.Entry(0).Options, kwoWholeWord);
    EXPECT_EQ(list.Entry(0).ContextNum, 88);
    EXPECT_FALSE(list.Entry(0).StopAtParEnd);
    EXPECT_EQ(list.Entry(1).StopText(), u"END");
    EXPECT_EQ(list.Entry(1).Cursor, 3);
    EXPECT_EQ(list.Entry(1).ScopeContext, extended ? 7 : 0);
    EXPECT_EQ(list.Entry(1).ScopeLevel, extended ? 1 : 0);
    EXPECT_EQ(list.Entry(2).StartLength, 0);
    EXPECT_EQ(list.Entry(2).Background, 16);
    EXPECT_TRUE(list.Entry(2).StopAtParEnd);
    EXPECT_EQ(list.MaxStopLength(), 3);

    list.LoadFromValueStrings(nullptr);
    EXPECT_EQ(list.Count(), 0);
  }
}

TEST(StartStopList, TextualFormBadNumberKeepsEarlierEntries) {
  struct Case {
    std::u16string BadLine;
    std::string Message;
  };
  const Case cases[] = {
      {u"C|D=0,x,1,0,-1,-1,1,", "'x' is not a valid integer value"},
      {u"C|D=0,0,1,0,-1,-1", "'' is not a valid integer value"},
      {u"C|D=0,0,1,0,-1,-1,1,0,", "'' is not a valid integer value"},  // one scope number only
  };
  for (const Case& c : cases) {
    TExtStartStopList list;
    const TValueStrings lines = {u"A|B=0,0,1,0,-1,-1,1,", c.BadLine, u"E|F=0,0,1,0,-1,-1,1,"};
    try {
      list.LoadFromValueStrings(lines);
      ADD_FAILURE() << "no error for " << c.Message;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, c.Message);
    }
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Entry(0).StartText(), u"A");
  }
}

TEST(StartStopList, StoredFullFormatRoundTrip) {
  TExtStartStopList list;
  AddMainWindowKeys(list);
  list.AddStartStopKey(u";", u"", 0, fsItalic, 1, 5, -1, 0x00102030, true);  // a continuation of entry 0
  list.SetScopeContext(6, 32767);
  list.SetScopeLevel(6, 4);
  list.SetTag(6, -9);

  TStoredWriter writer;
  list.WriteKeys(writer);
  const TStoredItems firstEntry(writer.Items.begin(), writer.Items.begin() + 12);
  const TStoredItems expected = {
      TStoredItem::WideString(u";"), TStoredItem::WideString(u""),  TStoredItem::Integer(128),
      TStoredItem::Integer(2),       TStoredItem::Integer(1),       TStoredItem::Integer(0),
      TStoredItem::Integer(-1),      TStoredItem::Integer(5126714), TStoredItem::Boolean(true),
      TStoredItem::Integer(0),       TStoredItem::Integer(9),       TStoredItem::Integer(1367)};
  EXPECT_EQ(firstEntry, expected);
  EXPECT_EQ(writer.Items.size(), 7u * 12u);

  TStartStopKeyList loaded;
  loaded.AddStartStopKey(u"old", u"", 0, 0, 1, 0, -1, -1, true);
  loaded.ComputeSeparators(HighlighterSeparators());
  TStoredReader reader(writer.Items);
  loaded.ReadKeys(reader);
  ExpectSameList(loaded, list, true);
  EXPECT_EQ(loaded.Entry(6).ParentKey, 0);
  EXPECT_FALSE(loaded.SeparatorsComputed());
}

TEST(StartStopList, StoredOlderFormats) {
  const TStoredItems items = {
      // scope integers between the colours and the boolean, no bit 7
      TStoredItem::String("BEGIN"), TStoredItem::String("END"), TStoredItem::Integer(2), TStoredItem::Integer(0),
      TStoredItem::Integer(99), TStoredItem::Integer(0), TStoredItem::Integer(-1), TStoredItem::Integer(-1),
      TStoredItem::Integer(0, 16), TStoredItem::Integer(1, 32), TStoredItem::Boolean(false),
      // no scope at all
      TStoredItem::WideString(u";"), TStoredItem::WideString(u""), TStoredItem::Integer(0), TStoredItem::Integer(2),
      TStoredItem::Integer(1), TStoredItem::Integer(0), TStoredItem::Integer(-1), TStoredItem::Integer(5126714),
      TStoredItem::Boolean(true)};
  TStartStopKeyList list;
  TStoredReader reader(items);
  list.ReadKeys(reader);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Entry(0).StartText(), u"BEGIN");
  EXPECT_EQ(list.Entry(0).StopText(), u"END");
  EXPECT_EQ(list.Entry(0).Options, kwoWholeWord);
  EXPECT_EQ(list.Entry(0).ScopeContext, 0);
  EXPECT_EQ(list.Entry(0).ScopeLevel, 1);
  EXPECT_FALSE(list.Entry(0).StopAtParEnd);
  EXPECT_EQ(list.Entry(1).ScopeLevel, 0);
  EXPECT_EQ(list.Entry(1).Tag, 0);
  EXPECT_TRUE(list.Entry(1).StopAtParEnd);
  EXPECT_EQ(list.MaxStopLength(), 3);

  const TStoredItems truncated(items.begin(), items.begin() + 9);
  TStoredReader bad(truncated);
  EXPECT_THROW(list.ReadKeys(bad), EReadError);
}

TEST(StartStopList, ClearFreesEverythingAndIndicesRestart) {
  TStartStopKeyList list;
  const size_t oneChunk = list.AllocatedBytes();
  for (int i = 0; i < 2000; ++i) list.AddStartStopKey(u"BEGIN", u"END", kwoWholeWord, 0, i, 0, -1, -1, true);
  EXPECT_GT(list.AllocatedBytes(), oneChunk);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.AllocatedBytes(), oneChunk);
  EXPECT_EQ(list.MaxStartLength(), 0);
  EXPECT_EQ(list.MaxStopLength(), 0);
  EXPECT_THROW(list.Entry(0), ERangeError);

  EXPECT_EQ(list.AddStartStopKey(u"BEGIN", u"END", kwoWholeWord, 0, 1, 0, -1, -1, false), 0);
  EXPECT_EQ(list.Entry(0).ParentKey, -1);
}

TEST(StartStopList, IndexOutOfBounds) {
  TStartStopKeyList list;
  list.AddStartStopKey(u"A", u"B", 0, 0, 1, 0, -1, -1, false);
  const TCharSet separators = HighlighterSeparators();
  try {
    list.Entry(1);
    ADD_FAILURE() << "no error";
  } catch (const ERangeError& e) {
    EXPECT_EQ(e.Message, "List index out of bounds");
  }
  EXPECT_THROW(list.Entry(-1), ERangeError);
  EXPECT_THROW(list.SetTag(1, 0), ERangeError);
  EXPECT_THROW(list.SetScopeLevel(-1, 0), ERangeError);
  EXPECT_THROW(list.StartMatchesAt(1, u"A", u"A", 0, separators), ERangeError);
  EXPECT_THROW(list.StopMatchesAt(static_cast<size_t>(-1), u"B", u"B", 0, separators), ERangeError);
}

}  // namespace
}  // namespace qm
