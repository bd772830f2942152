// Inputs the fuzz targets of tests/fuzz found, kept as tests of what went wrong.
#include <gtest/gtest.h>

#include "HighlightUtil.h"
#include "editor/store/StoreCheck.h"

namespace qm {
namespace {

// The runs of every paragraph after the highlighting has caught up.
std::string Highlighted(TPlusMemoU& memo) {
  scan::HighlightAll(memo);
  return test::DumpAll(memo.Paragraphs());
}

// The plain passes over the text: no speed layer on.
std::string FreshlyHighlighted(const std::u16string& text, THighlighterChain& chain) {
  TPlusMemoU fresh;
  test::ConfigureScriptEditor(fresh, chain);
  test::LoadText(fresh, text);
  scan::HighlightAll(fresh, scan::TSpeedLayers::AllOff());
  return test::DumpAll(fresh.Paragraphs());
}

// Edits made between BeginUpdate and EndUpdate (a column block is one) are
// parsed again when the highlighting catches up, like any other edit.
TEST(FuzzFindings, EditsInsideAnUpdateAreParsedAgain) {
  auto chain = test::MainChain();
  struct Case {
    const char* name;
    std::function<void(TPlusMemoU&)> edit;
  };
  const Case cases[] = {
      {"column block", [](TPlusMemoU& m) { m.InsertColumnBlock(u"begin begin begin "); }},
      {"selection text", [](TPlusMemoU& m) { m.SetSelText(u"begin begin begin "); }},
      {"in an update",
       [](TPlusMemoU& m) {
         m.BeginUpdate();
         m.SetSelText(u"begin begin begin ");
         m.EndUpdate();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPlusMemoU memo;
    test::ConfigureScriptEditor(memo, *chain);
    test::LoadText(memo, u"");
    scan::HighlightAll(memo);
    c.edit(memo);
    VerifyStore(memo.Paragraphs(), c.name);
    EXPECT_EQ(Highlighted(memo), FreshlyHighlighted(memo.Text(), *chain));
  }
}

// An edit in a paragraph that an earlier edit left behind the scan (its runs
// still those of an older text) is parsed when the scan reaches it in order:
// parsed at once, its closing "end" took the style outside the block from the
// paragraphs above, which were not parsed yet.
TEST(FuzzFindings, AnEditBehindTheScanWaitsForTheParagraphsAboveIt) {
  auto chain = test::MainChain();
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, *chain);
  test::LoadText(memo, u"scn MenuModeset x to 5begin begin MenuMode\r\n  set a to 1 ; c\r\nend\r\nx\r\ny\r\nz");
  scan::HighlightAll(memo);
  // A paste that leaves the paragraphs after it behind the scan, then a deletion after the "end".
  memo.ReplaceRange(12, 22, u"BEGIN GameMode\r\nscn scn scn \r\nscn ");
  const int32_t end = memo.ParagraphStart(4) + memo.Paragraphs().Length(4);
  memo.ReplaceRange(end, memo.TextLength(), u"");
  VerifyStore(memo.Paragraphs(), "memo");
  EXPECT_EQ(Highlighted(memo), FreshlyHighlighted(memo.Text(), *chain));
}

}  // namespace
}  // namespace qm
