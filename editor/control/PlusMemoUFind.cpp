// TPlusMemoU::FindText: paragraph-by-paragraph search for a string, down or up, with whole-word and case options.
#include <algorithm>
#include <string>
#include <string_view>

#include "editor/store/CaseFolding.h"
#include "editor/control/PlusMemoU.h"

namespace qm {

namespace {

// Whether the occurrence of length m at i in the paragraph text stands between
// word boundaries: the paragraph ends or characters of the separator set.
bool IsWholeWord(std::u16string_view text, size_t i, size_t m, const TCharSet& separators) {
  if (i > 0 && !separators.Contains(text[i - 1])) return false;
  return i + m >= text.size() || separators.Contains(text[i + m]);
}

}  // namespace

bool TPlusMemoU::FindText(std::u16string_view text, bool down, bool fromEnd, bool wholeWord, bool matchCase) {
  if (text.empty()) return false;
  std::u16string pattern(text);
  if (!matchCase) FoldCase(pattern, upperCaseType_);
  const size_t m = pattern.size();
  const TParagraphsList& list = *paragraphs_;

  // The text the pattern is compared with: the paragraph itself, or its folded
  // copy. The copy is kept so that "find next" in a long paragraph does not
  // fold it again; any edit advances editGeneration_ and so drops it.
  auto searchedText = [&](int par) -> std::u16string_view {
    const std::u16string_view plain = list.TextView(par);
    if (matchCase) return plain;
    if (findFoldedPar_ != par || findFoldedGeneration_ != editGeneration_ || findFolded_.size() != plain.size()) {
      findFolded_.assign(plain);
      FoldCase(findFolded_, upperCaseType_);
      findFoldedPar_ = par;
      findFoldedGeneration_ = editGeneration_;
    }
    return findFolded_;
  };

  // The whole-word test looks at the stored characters, not the folded ones,
  // so that folding cannot turn a letter into a separator or back.
  auto firstMatchFrom = [&](int par, size_t from) -> size_t {
    const std::u16string_view hay = searchedText(par);
    for (size_t i = hay.find(pattern, from); i != std::u16string_view::npos; i = hay.find(pattern, i + 1)) {
      if (!wholeWord || IsWholeWord(list.TextView(par), i, m, Separators)) return i;
    }
    return std::u16string_view::npos;
  };
  // The last match that starts before `before`.
  auto lastMatchBefore = [&](int par, size_t before) -> size_t {
    const std::u16string_view hay = searchedText(par);
    if (before == 0 || hay.size() < m) return std::u16string_view::npos;
    for (size_t i = hay.rfind(pattern, before - 1); i != std::u16string_view::npos;
         i = i == 0 ? std::u16string_view::npos : hay.rfind(pattern, i - 1)) {
      if (!wholeWord || IsWholeWord(list.TextView(par), i, m, Separators)) return i;
    }
    return std::u16string_view::npos;
  };

  const int count = list.Count;
  int par = 0;
  size_t offset = 0;
  if (fromEnd) {
    par = down ? 0 : count - 1;
    offset = down ? 0 : static_cast<size_t>(list.Length(par));
  } else {
    const int32_t caret = SelStart();
    par = list.ParagraphOfPosition(caret);
    // A caret between the CR and the LF of a break counts as the paragraph end.
    offset = static_cast<size_t>(std::clamp(caret - list.StartOffset(par), 0, list.Length(par)));
  }

  if (down) {
    for (int p = par; p < count; ++p) {
      const size_t i = firstMatchFrom(p, p == par ? offset : 0);
      if (i == std::u16string_view::npos) continue;
      // The caret goes to the end of the match, so that the next search continues behind it.
      SetSelStart(list.StartOffset(p) + static_cast<int32_t>(i + m));
      SetSelLength(-static_cast<int32_t>(m));
      return true;
    }
  } else {
    for (int p = par; p >= 0; --p) {
      const size_t i = lastMatchBefore(p, p == par ? offset : static_cast<size_t>(list.Length(p)) + 1);
      if (i == std::u16string_view::npos) continue;
      SetSelStart(list.StartOffset(p) + static_cast<int32_t>(i));
      SetSelLength(static_cast<int32_t>(m));
      return true;
    }
  }
  return false;
}

}  // namespace qm
