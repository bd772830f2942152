// The number pass: words of digits (or $ and hexadecimal digits) where the style in effect allows numbers.
#include "editor/highlight/NbHilitU.h"

#include <algorithm>
#include <typeinfo>
#include <vector>

#include "editor/highlight/Scan.h"

namespace qm {

int16_t TNumberHighlighterU::RegionScope(const TDynInfo& style) {
  if (!(style.Kind & dkHighlight)) return 0;
  if (style.Kind >= dkKeyStyle) return static_cast<int16_t>(style.ContextNum);
  return -32768;
}

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsHexDigit(char16_t c) { return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

bool IsNumber(std::u16string_view word) {
  if (word.empty()) return false;
  if (IsDigit(word[0])) return std::all_of(word.begin() + 1, word.end(), IsDigit);
  if (word[0] == u'$') return std::all_of(word.begin() + 1, word.end(), IsHexDigit);
  return false;
}

}  // namespace

bool TNumberHighlighterU::PassesReadTextOnly() const {
  return typeid(*this) == typeid(TNumberHighlighterU) && !OnQueryHilit && !OnKeyword && !OnStart && !OnStop;
}

void TNumberHighlighterU::KeywordHook(scan::TScanPar& ps, int32_t from, int32_t to, int fromPar, int /*toPar*/,
                                      int keywordBase) {
  // The pass works on the paragraph of from only.
  if (ps.Par() != fromPar) return;
  TParagraphsList& list = ps.List();
  scan::TRunBuffer& runs = ps.Runs();
  const int32_t start = ps.Start();
  const std::u16string_view text = ps.Text().Plain();
  const int32_t len = static_cast<int32_t>(text.size());
  const TCharTable& seps = separatorTable_.Of(SeparatorSet());

  int32_t i = std::max(0, from - start - 1);
  while (i > 0 && !seps.Contains(text[static_cast<size_t>(i - 1)])) --i;
  const int32_t end = std::min(len, to - start + 1);
  // Every number begins with a digit or "$"; without one there is nothing to
  // colour (unless the program wants to be asked about every region).
  if (!OnQueryHilit && std::none_of(text.begin() + i, text.begin() + std::max(i, end), [](char16_t c) {
        return (c >= u'0' && c <= u'9') || c == u'$';
      }))
    return;

  // Whether numbers may be coloured under the style in effect up to the next
  // run boundary. The run after `at` is followed as at grows, and found anew
  // (next = -1) after runs were inserted.
  int32_t boundary = 0;
  bool allowed = false;
  int next = -1;
  auto refresh = [&](int32_t at) {
    if (next < 0) next = runs.FirstRun(at, true);
    while (next < runs.Count() && runs.Offset(next) <= at) ++next;
    const int k = next;
    const TDynInfo& style = list.Styles.Get(k > 0 ? runs.Attr(k - 1) : runs.StartStyleId());
    boundary = k < runs.Count() ? runs.Offset(k) : INT32_MAX;
    const int16_t scope = RegionScope(style);
    bool doHilit = scope == Scope || Priority > 0;
    if (OnQueryHilit) OnQueryHilit(this, scope, doHilit);
    allowed = doHilit;
  };
  refresh(i);

  // Left unset: filled before it is read, and a cleared table would cost a
  // block clear on every paragraph.
  struct TNumberAt {
    int32_t Start;
    int32_t End;
  };
  TNumberAt numbers[16];
  size_t count = 0;
  auto applyAll = [&] {
    for (size_t n = 0; n < count; ++n) {
      const auto [a, b] = numbers[n];
      const uint32_t styleId = runs.StyleIdAt(a, true);
      if (list.Styles.Get(styleId).KeyLevel() >= kMaxKeyLevel) continue;
      const auto kind = static_cast<uint8_t>(Style + dkKeyStyle + (AltFont ? fsAltFont : 0));
      scan::ApplyRunId(runs, a, b,
                       scan::NumberRunId(list.Styles, styleId, kind, Background, Foreground, ContextNum, keywordBase,
                                         b - a));
    }
    count = 0;
    next = -1;
  };

  while (i < end) {
    if (i >= boundary) refresh(i);
    if (seps.Contains(text[static_cast<size_t>(i)])) {
      ++i;
      continue;
    }
    int32_t j = i;
    while (j < len && !seps.Contains(text[static_cast<size_t>(j)])) ++j;
    if (!allowed) {
      // Jump to the next boundary, then past the word there and its separators.
      if (boundary >= len) break;
      i = boundary;
      refresh(i);
      while (i < len && !seps.Contains(text[static_cast<size_t>(i)])) ++i;
      continue;
    }
    if (j <= boundary && IsNumber(text.substr(static_cast<size_t>(i), static_cast<size_t>(j - i)))) {
      numbers[count++] = TNumberAt{i, j};
      if (count == 16) applyAll();
    }
    i = j;
  }
  applyAll();
}

}  // namespace qm
