// Fuzz target: any bytes as a script for the checker, with the shipped rules or with rules read from the input itself.
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "app/chain/ChainConfig.h"
#include "checker/ScriptChecker.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

const check::TScriptVocabulary& Vocabulary() {
  static const check::TScriptVocabulary v = check::TScriptVocabulary::FromCategories({
      std::vector<std::u16string>{u"GetPos", u"MessageBox", u"Activate"},
      {u"short", u"float", u"ref"},
      {u"set", u"return", u"if"},
      {u"GameMode", u"MenuMode"},
      {},
  });
  return v;
}

// Every problem lies on a line of the text, inside it or just at its end,
// in the order of the lines, and says something.
void CheckPlaces(const std::vector<std::u16string_view>& lines, const std::vector<check::TDiagnostic>& found) {
  int previous = 0;
  for (const check::TDiagnostic& d : found) {
    fuzz::Require(d.Line >= 0 && d.Line < static_cast<int>(lines.size()), "a problem on a line the text lacks");
    fuzz::Require(d.Line >= previous, "problems out of line order");
    previous = d.Line;
    const auto length = static_cast<int32_t>(lines[static_cast<size_t>(d.Line)].size());
    fuzz::Require(d.Column >= 0 && d.Column <= length, "a problem's column outside its line");
    fuzz::Require(d.Length >= 1, "a problem that marks nothing");
    fuzz::Require(d.Column == length ? d.Length == 1 : d.Column + d.Length <= length, "a problem past its line's end");
    fuzz::Require(!d.Message.empty(), "a problem without a message");
  }
}

}  // namespace
}  // namespace qm

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qm;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Input "RULES\0\0SCRIPT" brings rules of its own; anything else is a script alone.
  check::TScriptRules rules = check::ParseScriptRules(ScriptRulesText());
  std::string_view script = bytes;
  if (const size_t split = bytes.find(std::string_view("\0\0", 2)); split != std::string_view::npos) {
    try {
      rules = check::ParseScriptRules(bytes.substr(0, split));
    } catch (const EReadError&) {
      return 0;  // a rules file that cannot be read is refused whole
    }
    script = bytes.substr(split + 2);
  }
  const std::u16string text = AnsiToWide(script);
  for (const bool crlfOnly : {false, true}) {
    const auto lines = check::SplitLines(text, crlfOnly);
    const auto found = check::CheckScript(lines, rules, Vocabulary());
    CheckPlaces(lines, found);
    fuzz::Require(check::CheckScript(lines, rules, Vocabulary()) == found, "two checks of one text differ");
  }
  return 0;
}
