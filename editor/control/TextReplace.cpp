// Matches of a pattern in a whole stretch of text, their replacement, and the escapes of a typed pattern.
#include "editor/control/TextReplace.h"

#include <algorithm>

#include "editor/store/CaseFolding.h"

namespace qm {

namespace {

bool EndsWord(std::u16string_view text, size_t i, const TCharSet* separators) {
  if (i >= text.size()) return true;
  const char16_t c = text[i];
  return c == u'\r' || c == u'\n' || (separators != nullptr && separators->Contains(c));
}

bool WholeWordAt(std::u16string_view text, size_t i, size_t length, const TCharSet* separators) {
  return (i == 0 || EndsWord(text, i - 1, separators)) && EndsWord(text, i + length, separators);
}

}  // namespace

std::vector<int32_t> FindMatches(std::u16string_view text, std::u16string_view pattern, const TMatchRules& rules) {
  std::vector<int32_t> matches;
  if (pattern.empty() || pattern.size() > text.size()) return matches;
  // Folding keeps every unit where it was, so positions in the folded copy are positions in the text.
  std::u16string foldedText;
  std::u16string foldedPattern;
  std::u16string_view hay = text;
  std::u16string_view needle = pattern;
  if (!rules.MatchCase) {
    foldedText = FoldedCopy(text, rules.Folding);
    foldedPattern = FoldedCopy(pattern, rules.Folding);
    hay = foldedText;
    needle = foldedPattern;
  }
  for (size_t i = hay.find(needle); i != std::u16string_view::npos;) {
    if (!rules.WholeWord || WholeWordAt(text, i, needle.size(), rules.Separators)) {
      matches.push_back(static_cast<int32_t>(i));
      i = hay.find(needle, i + needle.size());
    } else {
      i = hay.find(needle, i + 1);
    }
  }
  return matches;
}

std::u16string ReplaceMatches(std::u16string_view text, const std::vector<int32_t>& matches, size_t patternLength,
                              std::u16string_view replacement) {
  std::u16string out;
  if (matches.empty()) return out;
  const auto first = static_cast<size_t>(matches.front());
  const size_t last = static_cast<size_t>(matches.back()) + patternLength;
  out.reserve(last - first + matches.size() * replacement.size());
  size_t at = first;
  for (const int32_t m : matches) {
    out.append(text.substr(at, static_cast<size_t>(m) - at));
    out.append(replacement);
    at = static_cast<size_t>(m) + patternLength;
  }
  return out;
}

int32_t PositionAfterReplace(int32_t pos, const std::vector<int32_t>& matches, size_t patternLength,
                             size_t replacementLength) {
  const auto delta = static_cast<int64_t>(replacementLength) - static_cast<int64_t>(patternLength);
  // The matches that start before pos; the last of them may hold it.
  const auto k = std::lower_bound(matches.begin(), matches.end(), pos) - matches.begin();
  if (k == 0) return pos;
  const int32_t lastStart = matches[static_cast<size_t>(k - 1)];
  const int64_t before = delta * (k - 1);
  if (pos < lastStart + static_cast<int64_t>(patternLength)) return static_cast<int32_t>(lastStart + before);
  return static_cast<int32_t>(pos + before + delta);
}

std::u16string ExpandSpecials(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t next = i + 1 < text.size() ? text[i + 1] : u'\0';
    if (text[i] != u'\\' || (next != u'n' && next != u't' && next != u'\\')) {
      out += text[i];
      continue;
    }
    out += next == u'n' ? u"\r\n" : next == u't' ? u"\t" : u"\\";
    ++i;
  }
  return out;
}

}  // namespace qm
