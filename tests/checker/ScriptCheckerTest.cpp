// The script checker on the shipped rules: tables of scripts with the problems each must give, and scripts that give none.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "app/chain/ChainConfig.h"
#include "checker/ScriptChecker.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace qm::check {
namespace {

const TScriptVocabulary& Vocabulary() {
  static const TScriptVocabulary v = TScriptVocabulary::FromCategories({
      std::vector<std::u16string>{u"Activate", u"GetStage", u"MessageBox", u"PlaceAtMe"},
      {u"short", u"long", u"float", u"ref"},
      {u"set", u"to", u"return", u"if", u"endif"},
      {u"GameMode", u"MenuMode", u"OnLoad"},
      {},
  });
  return v;
}

const TScriptRules& Rules() {
  static const TScriptRules rules = ParseScriptRules(ScriptRulesText());
  return rules;
}

std::vector<TDiagnostic> Diagnostics(std::u16string_view text) {
  return CheckScript(SplitLines(text, false), Rules(), Vocabulary());
}

// "line:column:E" or "…:W" for each problem, lines and columns from 1 as a user reads them.
std::string Summary(std::u16string_view text) {
  std::string out;
  for (const TDiagnostic& d : Diagnostics(text))
    out += (out.empty() ? "" : " ") + std::to_string(d.Line + 1) + ":" + std::to_string(d.Column + 1) +
           (d.Severity == TSeverity::Error ? ":E" : ":W");
  return out;
}

TEST(ScriptChecker, ValidScriptsGiveNoProblems) {
  const std::u16string scripts[] = {
      u"",
      u"; only a comment\r\n\r\n",
      u"scn Test\r\nshort x\r\nbegin GameMode\r\n  set x to 1\r\n  if x == 1\r\n    Activate\r\n  elseif x == 2\r\n"
      u"    return\r\n  else\r\n  endif\r\nend",
      u"; a comment first\r\n\r\nScriptName Test2\r\nbegin OnLoad\r\nend",
      u"SCN T\r\nBEGIN gamemode\r\nIF 1\r\nENDIF\r\nEND",
      // Loops of the script extenders, nested in an if.
      u"scn T\r\nshort x\r\nref r\r\nbegin GameMode\r\n\tif 1\r\n\t\twhile x < 3\r\n\t\t\tset x to x + "
      u"1\r\n\t\tloop\r\n"
      u"\t\tforeach r <- player\r\n\t\tloop\r\n\tendif\r\nend",
      // Calls through references, an object's variable, strings and comments that hold words and keys.
      u"scn T\r\nref r\r\nbegin GameMode\r\n  r.Activate\r\n  player.PlaceAtMe Wolf 2\r\n  set Quest.stage to 5\r\n"
      u"  MessageBox \"end; if begin\" ; else endif\r\nend",
      // A variable declared after its use is declared; a variable may stand where a call would.
      u"scn T\r\nbegin GameMode\r\n  set later to 1\r\n  later\r\nend\r\nfloat later",
      u"scn T\nbegin GameMode\rend\n\r",
      // A file of two scripts: each declares its own variables.
      u"scn A\r\nshort x\r\nbegin GameMode\r\nend\r\nscn B\r\nshort x\r\nbegin GameMode\r\n  set x to 1\r\nend",
  };
  for (const std::u16string& script : scripts) EXPECT_EQ(Summary(script), "") << test::S(script);
}

TEST(ScriptChecker, StructureMistakesAreErrorsAtTheirWords) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"begin GameMode\r\nend", "1:1:E"},                               // no script-name line
      {u"short x\r\nscn T", "1:1:E"},                                    // a statement before it
      {u"scn T\r\nbegin GameMode\r\n  begin MenuMode\r\nend", "3:3:E"},  // begin inside a block
      {u"scn T\r\nend", "2:1:E"},                                        // end without begin
      {u"scn T\r\nbegin GameMode\r\n  set x to 1", "2:1:E 3:7:W"},       // a block left open
      {u"scn T\r\nif 1\r\nendif", "2:1:E 3:1:E"},                        // if and endif outside a block
      {u"scn T\r\nbegin GameMode\r\nelseif 1\r\nelse\r\nendif\r\nend", "3:1:E 4:1:E 5:1:E"},  // without if
      {u"scn T\r\nbegin GameMode\r\nif 1\r\nelse\r\nelseif 2\r\nendif\r\nend", "5:1:E"},      // elseif after else
      {u"scn T\r\nbegin GameMode\r\nif 1\r\nelse\r\nelse\r\nendif\r\nend", "5:1:E"},          // a second else
      {u"scn T\r\nbegin GameMode\r\n  if 1\r\nend", "3:3:E"},                                 // if still open at end
      {u"scn T\r\nbegin GameMode\r\n  if 1\r\n    if 2\r\n  endif\r\nend", "3:3:E"},          // the outer if unclosed
      {u"scn T\r\nbegin GameMode\r\n  loop\r\nend", "3:3:E"},                                 // loop without while
      {u"scn T\r\nbegin GameMode\r\n  while 1\r\nend", "3:3:E"},                              // while still open at end
      {u"scn T\r\nbegin GameMode\r\n\tMessageBox \"abc ; x\r\nend", "3:13:E"},                // a string not closed
      {u"scn T\r\nshort x\r\nlong X", "3:6:E"},                                               // declared twice
      {u"scn A\r\nbegin GameMode\r\nscn B\r\nend", "2:1:E 4:1:E"},           // a block open when the next script begins
      {u"scn T\r\nshort x\r\nbegin GameMode\r\n  set x 5\r\nend", "4:3:E"},  // set without to
  };
  for (const auto& [script, expected] : cases) EXPECT_EQ(Summary(script), expected) << test::S(script);
}

TEST(ScriptChecker, VocabularyMistakesAreWarnings) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"scn T\r\nbegin GameMod\r\nend", "2:7:W"},                        // a block type not listed
      {u"scn T\r\nbegin\r\nend", "2:1:W"},                                // no block type
      {u"scn T\r\nbegin GameMode\r\n  Activat\r\nend", "3:3:W"},          // an unknown call
      {u"scn T\r\nbegin GameMode\r\n  player.Activat\r\nend", "3:10:W"},  // its function part
      {u"scn T\r\nbegin GameMode\r\n  set y to 1\r\nend", "3:7:W"},       // an undeclared variable
  };
  for (const auto& [script, expected] : cases) EXPECT_EQ(Summary(script), expected) << test::S(script);
}

TEST(ScriptChecker, MessagesNameTheWordsAsWritten) {
  const std::vector<TDiagnostic> d = Diagnostics(u"scn T\r\nshort x\r\nBegin GameMode\r\n  If 1\r\nEND\r\nlong X");
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].Message, u"«if» не закрыт до «END»: нет «endif»");
  EXPECT_EQ(d[1].Message, u"Переменная «X» уже объявлена в строке 2");
  EXPECT_EQ(d[1].Length, 1);
  EXPECT_EQ(Diagnostics(u"begin GameMode\r\nend")[0].Message, u"Нет строки с именем скрипта (scn или ScriptName)");
  EXPECT_EQ(CountDiagnostics(Diagnostics(u"scn T\r\nbegin Foo\r\nendif")).Errors, 2);
}

TEST(ScriptChecker, WithoutAVocabularyOnlyStructureIsChecked) {
  const TScriptVocabulary none;
  EXPECT_TRUE(
      CheckScript(SplitLines(u"scn T\r\nbegin Anything\r\n  Whatever\r\n  set y to 1\r\nend", false), Rules(), none)
          .size() == 1)
      << "only the undeclared variable, a fact of the script itself";
}

TEST(ScriptChecker, TheEditorsLinesSplitAtCrLfOnly) {
  EXPECT_EQ(SplitLines(u"a\r\nb\nc\rd", true).size(), 2u);
  EXPECT_EQ(SplitLines(u"a\r\nb\nc\rd\n\re", false).size(), 5u);
}

TEST(ScriptRules, ConstructsAreDataAndBadLinesAreNamed) {
  const TScriptRules rules = ParseScriptRules(
      "# a comment\nconstruct block: opens begin; closes end; where top\n"
      "construct repeat: opens repeat; closes until; where block\nheader: scn\nassignment: let be\n");
  ASSERT_EQ(rules.Constructs.size(), 2u);
  EXPECT_EQ(rules.Constructs[1].Name, u"repeat");
  EXPECT_EQ(rules.BlockConstruct(), 0);
  const TScriptVocabulary none;
  EXPECT_EQ(CheckScript(SplitLines(u"scn T\nbegin X\nrepeat\nend", false), rules, none).size(), 1u);
  const char* bad[] = {"construct x opens a; closes b",
                       "construct x: opens a",
                       "construct x: opens a; closes b; where up",
                       "something else",
                       "assignment: set",
                       "construct a: opens a; closes b; where top\nconstruct c: opens c; closes d; where top"};
  for (const char* text : bad) EXPECT_THROW(ParseScriptRules(text), EReadError) << text;
}

}  // namespace
}  // namespace qm::check
