// The editor's own keyword pass: matches are masked out of highlighted text and out of later entries.
#include "editor/highlight/OwnKeywords.h"

#include <algorithm>

#include "editor/highlight/KeyOptions.h"
#include "editor/highlight/KeywordList.h"
#include "editor/highlight/KeywordPass.h"
#include "editor/highlight/Scan.h"
#include "editor/store/CaseFolding.h"

namespace qm::scan {
namespace {

constexpr char16_t kMask = 5;

// Keywords may apply under a style unless it is highlighted with a context,
// except a keyword run the list lets keywords nest in.
bool KeywordsMayApply(const TDynInfo& style, bool nest) {
  if (!(style.Kind & dkHighlight) || style.ContextNum == 0) return true;
  return nest && style.Kind >= dkKeyStyle && style.Level >= 0 && style.KeyStack[style.Level] >= 0;
}

}  // namespace

void ApplyOwnKeywords(TScanHost& host, int32_t from, int32_t to, const TSpeedLayers& layers) {
  TParagraphsList& list = host.Paragraphs();
  const TKeywordList& keywords = host.OwnKeywords();
  const TCharSet& separators = host.OwnSeparators();
  const bool nest = keywords.NestKeywords();
  const int first = list.ParagraphOfPosition(from);
  const int last = list.ParagraphOfPosition(to);
  for (int par = first; par <= last; ++par) {
    const TKeywordStretch stretch = KeywordStretch(list, par, first, last, from, to, keywords.MaxKeyLength());
    const std::u16string_view text = list.TextView(par);
    TScanPar ps(host, par);
    ps.SetLayers(layers);
    TRunBuffer& runs = ps.Runs();
    const bool mayAtStart = KeywordsMayApply(runs.StyleAt(stretch.Start, true), nest);
    const int firstInside = runs.FirstRun(stretch.Start, true);
    const bool boundaryInside = firstInside < runs.Count() && runs.Offset(firstInside) < stretch.End;
    if (!mayAtStart && !boundaryInside) continue;

    // Copy the paragraph and mask what keywords must not match.
    std::u16string plain(text);
    for (int32_t i = stretch.Start; i < stretch.End; ++i)
      if (!KeywordsMayApply(runs.StyleAt(i, true), nest)) plain[static_cast<size_t>(i)] = kMask;
    std::u16string folded;
    if (keywords.HasFoldedKeys()) folded = FoldedCopy(plain, keywords.UpperCaseType());

    std::vector<TKeywordMatch> pending;
    for (int index = 0; index < keywords.Count(); ++index) {
      const KeywordEntry& e = keywords.Entry(index);
      if (e.ContextNum == 0 || e.KeyLength == 0) continue;
      std::u16string& hay = (e.Options & kwoMatchCase) ? plain : folded;
      const int32_t klen = e.KeyLength;
      int32_t i = stretch.Start;
      if (stretch.SearchFrom >= 0 && !nest) i = std::max(stretch.Start, stretch.SearchFrom - klen);
      const int32_t limit = std::min<int32_t>(stretch.End, stretch.Cut + klen);
      while (i + klen <= limit) {
        const size_t at =
            std::u16string_view(hay).substr(0, static_cast<size_t>(limit)).find(e.MatchKey, static_cast<size_t>(i));
        if (at == std::u16string_view::npos) break;
        const auto pos = static_cast<int32_t>(at);
        bool ok = true;
        if (e.Options & kwoWholeWord) {
          const bool before = pos == stretch.Start || separators.Contains(text[static_cast<size_t>(pos - 1)]);
          const bool after = pos + klen == stretch.End || (pos + klen < static_cast<int32_t>(text.size()) &&
                                                           separators.Contains(text[static_cast<size_t>(pos + klen)]));
          ok = before && after;
        }
        if (ok) {
          pending.push_back(TKeywordMatch{index, pos, klen});
          // Earlier entries take their text away from later ones.
          std::fill_n(plain.begin() + pos, klen, kMask);
          if (!folded.empty()) std::fill_n(folded.begin() + pos, klen, kMask);
        }
        i = pos + klen;
      }
    }

    for (const TKeywordMatch& m : pending) {
      const KeywordEntry& e = keywords.Entry(m.Entry);
      const TDynInfo style = runs.StyleAt(m.Offset, true);
      const int level = style.KeyLevel();
      if (level >= kMaxKeyLevel) continue;
      const int styleRun = runs.FirstRun(m.Offset, true) - 1;
      if (level >= 0 && styleRun >= 0) {
        TDynInfo prev = runs.Run(styleRun);
        prev.CloseKeyLength = 0;
        runs.NoteCloseLengthSet(0);
        runs.Set(styleRun, prev);
      }
      const TDynInfo run =
          scan::KeywordRun(style, e.Style, e.Background, e.Foreground, e.ContextNum, e.Cursor, m.Entry, m.Length);
      scan::ApplyRun(runs, m.Offset, m.Offset + m.Length, run, true);
    }
    ps.Store();
  }
}

}  // namespace qm::scan
