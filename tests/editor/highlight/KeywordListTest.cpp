// Tests of the keyword lists: string-list view, derived match keys, stored list property and textual form.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "editor/highlight/KeywordList.h"
#include "editor/store/CaseFolding.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

using Items = TStoredItems;

TStoredItem Str(const char* ansi) { return TStoredItem::String(ansi); }
TStoredItem Wide(std::u16string text) { return TStoredItem::WideString(std::move(text)); }
TStoredItem Int(int32_t value) { return TStoredItem::Integer(value); }

// Every stored and loaded field of an entry, for whole-entry comparisons.
struct Fields {
  std::u16string Keyword;
  int Options, Style, ContextNum, Cursor;
  TColor Background, Foreground;
  int32_t ScopeContext, ScopeLevel, Tag;
  bool operator==(const Fields&) const = default;
};

Fields FieldsOf(const KeywordEntry& e) {
  return {e.Keyword,    e.Options,    e.Style,        e.ContextNum, e.Cursor,
          e.Background, e.Foreground, e.ScopeContext, e.ScopeLevel, e.Tag};
}

std::vector<Fields> AllFields(const TKeywordList& list) {
  std::vector<Fields> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(FieldsOf(list.Entry(i)));
  return out;
}

// The entry of the main window's first highlighter as the form stores it.
const Items kMainWindowEntry = {Str("short"), Int(130),     Int(1), Int(2), Int(0),
                                Int(-1),      Int(8421440), Int(0), Int(2), Int(0)};

TEST(KeywordListStored, MainWindowEntryReadsAsStored) {
  TExtKeywordList list;
  list.ReadData(kMainWindowEntry);

  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(FieldsOf(list.Entry(0)), (Fields{u"short", kwoWholeWord, fsBold, 2, 0, -1, 0x808040, 0, 2, 0}));
  EXPECT_EQ(list.Entry(0).MatchKey, u"SHORT");
  EXPECT_EQ(list.Entry(0).KeyLength, 5);
  EXPECT_EQ(list.MaxKeyLength(), 5);
  EXPECT_TRUE(list.HasFoldedKeys());
  EXPECT_FALSE(list.Updating());

  // Written back in the full format, the keyword as a wide string.
  Items expected = kMainWindowEntry;
  expected[0] = Wide(u"short");
  EXPECT_EQ(list.WriteData(), expected);
}

TEST(KeywordListStored, HasDataOnlyWithEntries) {
  TKeywordList list;
  EXPECT_FALSE(list.HasData());
  EXPECT_TRUE(list.WriteData().empty());
  list.AddKeyword(u"x", 0, 0, 1, 0, clNone, clNone);
  EXPECT_TRUE(list.HasData());
}

TEST(KeywordListStored, FullFormatRoundTripsEveryField) {
  const Items stored = {Wide(u"begin"),
                        Int(128 | kwoMatchCase | kwoWholeWord),
                        Int(fsBold | fsHighlight),
                        Int(100000),
                        Int(-3),
                        Int(0x123456),
                        Int(static_cast<int32_t>(0xFF000005u)),
                        Int(7),
                        Int(32767),
                        Int(-99),
                        Wide(u"end"),
                        Int(128),
                        Int(0),
                        Int(3),
                        Int(1),
                        Int(-1),
                        Int(clNone),
                        Int(0),
                        Int(0),
                        Int(123456789)};
  TExtKeywordList first;
  first.ReadData(stored);
  EXPECT_EQ(
      AllFields(first),
      (std::vector<Fields>{{u"begin", 3, 0x11, 100000, -3, 0x123456, static_cast<TColor>(0xFF000005u), 7, 32767, -99},
                           {u"end", 0, 0, 3, 1, -1, clNone, 0, 0, 123456789}}));

  const Items written = first.WriteData();
  EXPECT_EQ(written, stored);

  TKeywordList second;  // the base list keeps the extension fields as well
  second.ReadData(written);
  EXPECT_EQ(AllFields(second), AllFields(first));
}

TEST(KeywordListStored, OlderShortFormat) {
  // No bit 7: two integers after Foreground are the scope; a string there is the next keyword.
  const Items stored = {Str("a"),
                        Int(kwoWholeWord),
                        Int(0),
                        Int(1),
                        Int(0),
                        Int(-1),
                        Int(-1),
                        TStoredItem::Integer(5, 32),
                        TStoredItem::Integer(3, 16),
                        Str("b"),
                        Int(0),
                        Int(0),
                        Int(4),
                        Int(0),
                        Int(-1),
                        Int(-1),
                        Str("c"),
                        Int(0),
                        Int(0),
                        Int(6),
                        Int(0),
                        Int(-1),
                        Int(-1)};
  TExtKeywordList list;
  list.AddKeyword(u"old", 0, 0, 1, 0, clNone, clNone);
  list.ReadData(stored);
  EXPECT_EQ(AllFields(list), (std::vector<Fields>{{u"a", kwoWholeWord, 0, 1, 0, -1, -1, 5, 3, 0},
                                                  {u"b", 0, 0, 4, 0, -1, -1, 0, 0, 0},
                                                  {u"c", 0, 0, 6, 0, -1, -1, 0, 0, 0}}));
}

TEST(KeywordListStored, MalformedListKeepsEntriesReadBefore) {
  Items stored = kMainWindowEntry;
  stored.push_back(Str("cut"));
  stored.push_back(Int(0));
  TExtKeywordList list;
  try {
    list.ReadData(stored);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Invalid property value");
  }
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Entry(0).Keyword, u"short");
  EXPECT_FALSE(list.Updating());
  EXPECT_EQ(list.MaxKeyLength(), 5);
}

TEST(KeywordListText, SaveWritesEightNumbersIntoNamedLines) {
  TExtKeywordList list;
  list.ReadData(kMainWindowEntry);
  list.AddExtKeyword(u"Ref", 0x80 | kwoMatchCase, fsItalic, -2, 11, 32767, 5, 0x102030, clNone);
  TValueStrings lines = {u"other=1,", u"REF=old"};
  list.SaveToValueStrings(lines);
  EXPECT_EQ(lines, (TValueStrings{u"other=1,", u"Ref=1,2,-2,5,1056816,536870911,11,32767,",
                                  u"short=2,1,2,0,-1,8421440,0,2,"}));
}

TEST(KeywordListText, RoundTripLosesOnlyTag) {
  TExtKeywordList first;
  first.ReadData({Wide(u"Скрипт"), Int(128 | kwoMatchCase), Int(fsBold), Int(88), Int(2), Int(-1), Int(0x808040),
                  Int(9), Int(4), Int(77)});
  TValueStrings lines;
  first.SaveToValueStrings(lines);
  TExtKeywordList second;
  second.LoadFromValueStrings(lines);

  Fields expected = FieldsOf(first.Entry(0));
  expected.Tag = 0;
  ASSERT_EQ(second.Count(), 1);
  EXPECT_EQ(FieldsOf(second.Entry(0)), expected);
  EXPECT_EQ(second.WriteData()[1], Int(128 | kwoMatchCase));  // the mark comes back only from the writer
}

struct ScopeCase {
  std::u16string Line;
  int32_t ContextNum, ScopeContext, ScopeLevel;  // as the extended list reads them
  int32_t BaseContextNum;                        // as the base list reads them (scope always 0)
};

TEST(KeywordListText, LoadReadsOptionalScopeNumbers) {
  const ScopeCase cases[] = {
      {u"k=0,1,3,0,-1,-1,", 3, 0, 0, 3},
      {u"k=0,1,3,0,-1,-1", 3, 0, 0, 3},
      {u"k=0,1,3,0,-1,-1,0,1,", 3, 0, 1, 3},
      {u"k=0,1,3,0,-1,-1,11,2", 3, 11, 2, 3},
      {u"k=0,1,65535,0,-1,-1,0,32767,", -1, 0, 32767, 65535},  // 16-bit ContextNum widened with sign
  };
  for (const ScopeCase& c : cases) {
    SCOPED_TRACE(std::string(c.Line.begin(), c.Line.end()));
    TExtKeywordList ext;
    ext.LoadFromValueStrings({c.Line});
    ASSERT_EQ(ext.Count(), 1);
    EXPECT_EQ(FieldsOf(ext.Entry(0)), (Fields{u"k", 0, 1, c.ContextNum, 0, -1, -1, c.ScopeContext, c.ScopeLevel, 0}));

    TKeywordList base;
    base.LoadFromValueStrings({c.Line});
    ASSERT_EQ(base.Count(), 1);
    EXPECT_EQ(FieldsOf(base.Entry(0)), (Fields{u"k", 0, 1, c.BaseContextNum, 0, -1, -1, 0, 0, 0}));
  }
}

TEST(KeywordListText, LoadReplacesEntriesAndSkipsLinesWithoutEquals) {
  TExtKeywordList list;
  list.AddKeyword(u"old", 0, 0, 1, 0, clNone, clNone);
  list.LoadFromValueStrings({u"no value here", u"=3,0,4,0,-1,-1,", u"MenuMode=1,0,11,0,5,6,"});
  EXPECT_EQ(AllFields(list),
            (std::vector<Fields>{{u"", 3, 0, 4, 0, -1, -1, 0, 0, 0}, {u"MenuMode", 1, 0, 11, 0, 5, 6, 0, 0, 0}}));
}

struct BadNumberCase {
  TValueStrings Lines;
  std::string Message;
  int Kept;
};

TEST(KeywordListText, BadNumberRaisesConvertErrorAndKeepsEarlierEntries) {
  const BadNumberCase cases[] = {
      {{u"good=0,0,1,0,-1,-1,", u"bad=0,x,1,0,-1,-1,", u"late=0,0,1,0,-1,-1,"}, "'x' is not a valid integer value", 1},
      {{u"a=0,0,1,0, 7z,-1,"}, "' 7z' is not a valid integer value", 0},
      {{u"a=b=0,0,1,0,-1,-1,"}, "'b=0' is not a valid integer value", 0},  // the first "=" ends the keyword
      {{u"good=0,0,1,0,-1,-1,", u"five=0,0,1,0,-1"}, "'' is not a valid integer value", 1},
      {{u"good=0,0,1,0,-1,-1,", u"one=0,0,1,0,-1,-1,4"}, "'' is not a valid integer value", 1},  // scope needs two
  };
  for (const BadNumberCase& c : cases) {
    SCOPED_TRACE(c.Message);
    TExtKeywordList list;
    try {
      list.LoadFromValueStrings(c.Lines);
      FAIL() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), c.Message);
    }
    EXPECT_EQ(list.Count(), c.Kept);
    EXPECT_FALSE(list.Updating());
    EXPECT_EQ(list.MaxKeyLength(), c.Kept == 0 ? 0 : 4);
  }
}

TEST(KeywordListText, DuplicatesStayInListButShareOneSavedLine) {
  TExtKeywordList list;
  EXPECT_EQ(list.AddExtKeyword(u"end", kwoWholeWord, 0, 1, 0, 2, 0, clNone, clNone), 0);
  EXPECT_EQ(list.AddExtKeyword(u"end", 0, fsBold, 3, 0, 2, 0, clNone, clNone), 1);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Entry(0).ContextNum, 1);
  EXPECT_EQ(list.Entry(1).ContextNum, 3);

  TValueStrings lines;
  list.SaveToValueStrings(lines);
  EXPECT_EQ(lines, (TValueStrings{u"end=0,1,3,0,536870911,536870911,0,2,"}));
}

// --- derived fields

struct FoldingCase {
  TpmUpperCase Type;
  TKeywordOptions Options;
  std::u16string Keyword, MatchKey;
  bool Folded;
};

TEST(KeywordListDerived, MatchKeyFollowsOptionsAndUpperCaseType) {
  const FoldingCase cases[] = {
      {pmuAscii, 0, u"scn", u"SCN", true},
      {pmuAscii, kwoMatchCase, u"scn", u"scn", false},
      {pmuAscii, kwoWholeWord, u"zяц", u"Zяц", true},  // Cyrillic stays unfolded
      {pmuAnsi, kwoWholeWord, u"zяц", u"ZЯЦ", true},
      {pmuAnsi, kwoMatchCase, u"zяц", u"zяц", false},
      {pmuUserDefined, 0, u"zяц", u"Zяц", true},  // no routine installed: ASCII folding
  };
  for (const FoldingCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(&c - cases));
    TKeywordList list;
    list.SetUpperCaseType(c.Type);
    list.AddKeyword(c.Keyword, c.Options, 0, 1, 0, clNone, clNone);
    EXPECT_EQ(list.Entry(0).MatchKey, c.MatchKey);
    EXPECT_EQ(list.Entry(0).Keyword, c.Keyword);
    EXPECT_EQ(list.HasFoldedKeys(), c.Folded);
  }
}

TEST(KeywordListDerived, UserDefinedRoutineIsUsedWhenInstalled) {
  UserUpperCaseProc = [](char16_t* text, size_t length) {
    for (size_t i = 0; i < length; ++i) text[i] = u'#';
  };
  TKeywordList list;
  list.SetUpperCaseType(pmuUserDefined);
  list.AddKeyword(u"ab", 0, 0, 1, 0, clNone, clNone);
  const std::u16string matchKey = list.Entry(0).MatchKey;
  UserUpperCaseProc = nullptr;
  EXPECT_EQ(matchKey, u"##");
}

TEST(KeywordListDerived, ChangingUpperCaseTypeRefoldsOnlyWhenItChanges) {
  TKeywordList list;
  list.AddKeyword(u"zя", 0, 0, 1, 0, clNone, clNone);
  EXPECT_EQ(list.Entry(0).MatchKey, u"Zя");
  const uint32_t before = list.ChangeCount();
  list.SetUpperCaseType(pmuAscii);
  EXPECT_EQ(list.ChangeCount(), before);
  list.SetUpperCaseType(pmuAnsi);
  EXPECT_EQ(list.Entry(0).MatchKey, u"ZЯ");
  EXPECT_NE(list.ChangeCount(), before);
}

TEST(KeywordListDerived, KeyLengthCountsUtf16UnitsAndMaxTakesTheLongest) {
  TKeywordList list;
  list.AddKeyword(u"if", kwoMatchCase, 0, 1, 0, clNone, clNone);
  list.AddKeyword(u"a\U0001D11Eb", kwoMatchCase, 0, 1, 0, clNone, clNone);  // a surrogate pair counts 2
  list.AddKeyword(u"end", kwoMatchCase, 0, 1, 0, clNone, clNone);
  EXPECT_EQ(list.Entry(0).KeyLength, 2);
  EXPECT_EQ(list.Entry(1).KeyLength, 4);
  EXPECT_EQ(list.MaxKeyLength(), 4);
  EXPECT_FALSE(list.HasFoldedKeys());
}

TEST(KeywordListDerived, TemplateReadThenDeletedLeavesEmptyDerivedState) {
  TExtKeywordList list;
  list.ReadData(kMainWindowEntry);
  EXPECT_EQ(list.GetKeywordAttributes(0), (TKeywordAttributes{kwoWholeWord, fsBold, 2, 0, -1, 0x808040}));
  list.Delete(0);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.MaxKeyLength(), 0);
  EXPECT_FALSE(list.HasFoldedKeys());
}

TEST(KeywordListDerived, RebuildWaitsForTheOutermostEndUpdate) {
  TExtKeywordList list;
  list.AddKeyword(u"ab", kwoMatchCase, 0, 1, 0, clNone, clNone);
  list.BeginUpdate();
  list.BeginUpdate();
  const int index = list.AddExtKeyword(u"longer", 0, 0, 1, 0, 2, 0, clNone, clNone);
  EXPECT_EQ(index, 1);
  EXPECT_TRUE(list.Updating());
  list.EndUpdate();
  EXPECT_EQ(list.MaxKeyLength(), 2);
  EXPECT_FALSE(list.HasFoldedKeys());
  EXPECT_EQ(list.Entry(1).MatchKey, u"");
  list.EndUpdate();
  EXPECT_FALSE(list.Updating());
  EXPECT_EQ(list.MaxKeyLength(), 6);
  EXPECT_TRUE(list.HasFoldedKeys());
  EXPECT_EQ(list.Entry(1).MatchKey, u"LONGER");
  list.EndUpdate();  // unmatched: must not unbalance later updates
  EXPECT_FALSE(list.Updating());
  list.BeginUpdate();
  EXPECT_TRUE(list.Updating());
  list.EndUpdate();
  EXPECT_FALSE(list.Updating());
}

TEST(KeywordListDerived, ChangeCountMovesWithEveryEntryChange) {
  TExtKeywordList list;
  struct Step {
    std::function<void()> Call;
    bool Changes;
  };
  const Step steps[] = {
      {[&] { list.AddKeyword(u"a", 0, 0, 1, 0, clNone, clNone); }, true},
      {[&] { list.Insert(0, "b"); }, true},
      {[&] { list.SetKeywordScopeLevel(0, 5); }, true},
      {[&] { list.SetKeywordScopeContext(0, 5); }, true},
      {[&] { list.Delete(0); }, true},
      {[&] { list.BeginUpdate(); }, false},
      {[&] { list.Insert(0, "c"); }, true},
      {[&] { list.EndUpdate(); }, true},
      {[&] { list.Clear(); }, true},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    const uint32_t before = list.ChangeCount();
    steps[i].Call();
    EXPECT_EQ(list.ChangeCount() != before, steps[i].Changes);
  }
}

// --- string-list view

TEST(KeywordListStrings, InsertMakesBlankEntryInPlace) {
  TExtKeywordList list;
  list.AddExtKeyword(u"first", 0, fsBold, 4, 1, 2, 3, 10, 20);
  list.AddExtKeyword(u"last", 0, fsBold, 4, 1, 2, 3, 10, 20);
  list.Insert(1, "\xEF\xF0\xE8");  // "при" in Windows-1251
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(FieldsOf(list.Entry(1)), (Fields{u"при", 0, 0, 0, 0, clNone, clNone, 0, 0, 0}));
  EXPECT_EQ(list.Get(1), "\xEF\xF0\xE8");
  EXPECT_EQ(list.Get(0), "first");
  EXPECT_EQ(list.Get(2), "last");
  EXPECT_EQ(list.MaxKeyLength(), 5);
}

TEST(KeywordListStrings, KeepsInsertionOrder) {
  TKeywordList list;
  list.Assign(std::vector<std::string>{"zeta", "alpha", "zeta", "Mid"});
  std::vector<std::string> got;
  for (int i = 0; i < list.Count(); ++i) got.push_back(list.Get(i));
  EXPECT_EQ(got, (std::vector<std::string>{"zeta", "alpha", "zeta", "Mid"}));
}

TEST(KeywordListStrings, AssignFromKeywordListCopiesEveryField) {
  TExtKeywordList source;
  source.ReadData({Wide(u"a"),  Int(128 | kwoWholeWord),
                   Int(1),      Int(2),
                   Int(3),      Int(4),
                   Int(5),      Int(6),
                   Int(7),      Int(8),
                   Wide(u"zя"), Int(128),
                   Int(0),      Int(9),
                   Int(0),      Int(-1),
                   Int(-1),     Int(0),
                   Int(32767),  Int(0)});
  TKeywordList target;
  target.SetUpperCaseType(pmuAnsi);
  target.AddKeyword(u"gone", 0, 0, 1, 0, clNone, clNone);
  target.Assign(source);
  EXPECT_EQ(AllFields(target), AllFields(source));
  EXPECT_EQ(target.Entry(1).MatchKey, u"ZЯ");  // rebuilt with the target's own folding
  EXPECT_FALSE(target.Updating());

  target.Assign(target);
  EXPECT_EQ(AllFields(target), AllFields(source));
}

TEST(KeywordListStrings, AssignFromStringsGoesThroughInsert) {
  TExtKeywordList list;
  list.ReadData(kMainWindowEntry);
  list.Assign(std::vector<std::string>{"if", "endif"});
  EXPECT_EQ(AllFields(list), (std::vector<Fields>{{u"if", 0, 0, 0, 0, clNone, clNone, 0, 0, 0},
                                                  {u"endif", 0, 0, 0, 0, clNone, clNone, 0, 0, 0}}));
  EXPECT_EQ(list.MaxKeyLength(), 5);
  EXPECT_EQ(list.Entry(1).MatchKey, u"ENDIF");
}

TEST(KeywordListStrings, IndexOutsideTheListRaisesRangeError) {
  TExtKeywordList list;
  list.AddKeyword(u"one", 0, 0, 1, 0, clNone, clNone);
  const std::function<void()> calls[] = {
      [&] { list.Get(-1); },
      [&] { list.Get(1); },
      [&] { list.Insert(2, "x"); },
      [&] { list.Insert(-1, "x"); },
      [&] { list.Delete(1); },
      [&] { list.Entry(1); },
      [&] { list.GetKeywordAttributes(1); },
      [&] { list.SetKeywordScopeContext(-1, 0); },
      [&] { list.SetKeywordScopeLevel(1, 0); },
  };
  for (size_t i = 0; i < std::size(calls); ++i) {
    SCOPED_TRACE(i);
    try {
      calls[i]();
      ADD_FAILURE() << "no error";
    } catch (const ERangeError& e) {
      EXPECT_STREQ(e.what(), "List index out of bounds");
    }
  }
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace
}  // namespace qm
