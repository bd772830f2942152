// Matches of a pattern in a whole stretch of text, their replacement, and the escapes of a typed pattern.
#include "editor/control/TextReplace.h"

#include <algorithm>

#include "editor/store/CaseFolding.h"
#include "platform/LargeTable.h"

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
  const std::u16string needle = rules.MatchCase ? std::u16string(pattern) : FoldedCopy(pattern, rules.Folding);
  // The text is folded a window at a time (folding keeps every unit where it
  // was), so that a whole script is never held twice. A window reaches one
  // pattern short of the next, whose matches start in that one.
  constexpr size_t kWindow = size_t{1} << 16;
  std::u16string folded;
  size_t next = 0;  // matches do not overlap: the next one starts here or later
  for (size_t at = 0; at < text.size(); at += kWindow) {
    std::u16string_view hay = text.substr(at, kWindow + needle.size() - 1);
    if (!rules.MatchCase) {
      folded.assign(hay);
      FoldCase(folded, rules.Folding);
      hay = folded;
    }
    for (size_t i = hay.find(needle, next > at ? next - at : 0); i != std::u16string_view::npos && i < kWindow;) {
      if (!rules.WholeWord || WholeWordAt(text, at + i, needle.size(), rules.Separators)) {
        matches.push_back(static_cast<int32_t>(at + i));
        next = at + i + needle.size();
        i = hay.find(needle, i + needle.size());
      } else {
        i = hay.find(needle, i + 1);
      }
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
  AdviseHugePages(out.data(), out.capacity() * sizeof(char16_t));
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
