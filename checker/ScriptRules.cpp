// Reading the checker's rules file.
#include "checker/ScriptRules.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace qm::check {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::vector<std::u16string> Words(std::string_view s) {
  std::vector<std::u16string> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == ',')) ++i;
    size_t j = i;
    while (j < s.size() && s[j] != ' ' && s[j] != '\t' && s[j] != ',') ++j;
    if (j > i) words.push_back(Utf8ToWide(s.substr(i, j - i)));
    i = j;
  }
  return words;
}

[[noreturn]] void Fail(int line, const std::string& what) {
  throw EReadError("line " + std::to_string(line) + ": " + what);
}

TConstruct ReadConstruct(std::string_view rest, int line) {
  const size_t colon = rest.find(':');
  if (colon == std::string_view::npos) Fail(line, "expected \":\" after the construct's name");
  TConstruct c;
  c.Name = Utf8ToWide(Trim(rest.substr(0, colon)));
  if (c.Name.empty()) Fail(line, "a construct without a name");
  std::string_view parts = rest.substr(colon + 1);
  while (!parts.empty()) {
    const size_t semi = parts.find(';');
    const std::string_view part = Trim(parts.substr(0, semi));
    parts = semi == std::string_view::npos ? std::string_view() : parts.substr(semi + 1);
    if (part.empty()) continue;
    const size_t space = part.find_first_of(" \t");
    const std::string_view key = part.substr(0, space);
    const std::string_view value = space == std::string_view::npos ? std::string_view() : part.substr(space);
    if (key == "opens") {
      c.Opens = Words(value);
    } else if (key == "continues") {
      c.Continues = Words(value);
    } else if (key == "last") {
      c.Last = Words(value);
    } else if (key == "closes") {
      c.Closes = Words(value);
    } else if (key == "where") {
      const std::string_view where = Trim(value);
      if (where == "top")
        c.Where = TWhere::Top;
      else if (where == "block")
        c.Where = TWhere::Block;
      else if (where == "any")
        c.Where = TWhere::Any;
      else
        Fail(line, "\"where\" is top, block or any");
    } else {
      Fail(line, "unknown part \"" + std::string(key) + "\"");
    }
  }
  if (c.Opens.empty() || c.Closes.empty()) Fail(line, "a construct needs words that open and close it");
  return c;
}

}  // namespace

int TScriptRules::BlockConstruct() const {
  for (size_t i = 0; i < Constructs.size(); ++i)
    if (Constructs[i].Where == TWhere::Top) return static_cast<int>(i);
  return -1;
}

TScriptRules ParseScriptRules(std::string_view text) {
  TScriptRules rules;
  int line = 0;
  while (!text.empty()) {
    ++line;
    const size_t eol = text.find('\n');
    const std::string_view raw = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    const std::string_view s = Trim(raw);
    if (s.empty() || s.front() == '#') continue;
    if (s.starts_with("construct ")) {
      rules.Constructs.push_back(ReadConstruct(s.substr(10), line));
    } else if (s.starts_with("header:")) {
      rules.HeaderWords = Words(s.substr(7));
    } else if (s.starts_with("assignment:")) {
      const std::vector<std::u16string> words = Words(s.substr(11));
      if (words.size() != 2) Fail(line, "an assignment names two words");
      rules.AssignWord = words[0];
      rules.AssignTo = words[1];
    } else {
      Fail(line, "expected \"construct\", \"header:\" or \"assignment:\"");
    }
  }
  if (std::count_if(rules.Constructs.begin(), rules.Constructs.end(),
                    [](const TConstruct& c) { return c.Where == TWhere::Top; }) > 1)
    Fail(line, "only one construct may stand at the top level");
  return rules;
}

}  // namespace qm::check
