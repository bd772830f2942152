// Inputs the fuzz targets of tests/fuzz found, kept as tests of what went wrong.
#include <gtest/gtest.h>

#include "HighlightUtil.h"
#include "editor/StoreCheck.h"

namespace qm {
namespace {

// The runs of every paragraph after the highlighting has caught up.
std::string Highlighted(TPlusMemoU& memo) {
  scan::HighlightAll(memo);
  return test::DumpAll(memo.Paragraphs());
}

std::string FreshlyHighlighted(const std::u16string& text, THighlighterChain& chain) {
  TPlusMemoU fresh;
  test::ConfigureScriptEditor(fresh, chain);
  test::LoadText(fresh, text);
  return Highlighted(fresh);
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
      {"in an update", [](TPlusMemoU& m) { m.BeginUpdate(); m.SetSelText(u"begin begin begin "); m.EndUpdate(); }},
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

}  // namespace
}  // namespace qm
