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

// The number pass over one stretch of a paragraph: the words between the
// highlighter's separators that are numbers, coloured where the region allows.
class TNumberHighlighterU::NumberPass {
 public:
  NumberPass(TNumberHighlighterU& h, scan::TScanPar& ps, int keywordBase)
      : h_(h),
        list_(ps.List()),
        runs_(ps.Runs()),
        text_(ps.Text().Plain()),
        length_(static_cast<int32_t>(text_.size())),
        seps_(h.separatorTable_.Of(h.SeparatorSet())),
        keywordBase_(keywordBase) {}

  // Colours the numbers of the words from the one holding `first` up to `end`.
  void Run(int32_t first, int32_t end) {
    int32_t i = first;
    while (i > 0 && !IsSeparator(i - 1)) --i;
    end = std::min(length_, end);
    // Every number begins with a digit or "$"; without one there is nothing to
    // colour (unless the program wants to be asked about every region).
    if (!h_.OnQueryHilit &&
        (!AnyRegionAllowed(i, end) || std::none_of(text_.begin() + i, text_.begin() + std::max(i, end),
                                                   [](char16_t c) { return (c >= u'0' && c <= u'9') || c == u'$'; })))
      return;
    Refresh(i);
    while (i < end) {
      if (i >= boundary_) Refresh(i);
      if (IsSeparator(i)) {
        ++i;
        continue;
      }
      int32_t j = i;
      while (j < length_ && !IsSeparator(j)) ++j;
      if (!allowed_) {
        // Jump to the next boundary, then past the word there and its separators.
        if (boundary_ >= length_) break;
        i = boundary_;
        Refresh(i);
        while (i < length_ && !IsSeparator(i)) ++i;
        continue;
      }
      if (j <= boundary_ && IsNumber(text_.substr(static_cast<size_t>(i), static_cast<size_t>(j - i)))) {
        numbers_[count_++] = TNumberAt{i, j};
        if (count_ == std::size(numbers_)) ApplyAll();
      }
      i = j;
    }
    ApplyAll();
  }

 private:
  bool IsSeparator(int32_t i) const { return seps_.Contains(text_[static_cast<size_t>(i)]); }

  bool Allowed(uint32_t styleId) const { return h_.Priority > 0 || RegionScope(list_.Styles.Get(styleId)) == h_.Scope; }

  // Whether some region of from … end (the style in effect at from, and of
  // each run that begins after it) lets numbers be coloured. Lines inside a
  // block mostly hold none: the pass has nothing to look for there.
  bool AnyRegionAllowed(int32_t from, int32_t end) const {
    int k = runs_.FirstRun(from, true);
    if (Allowed(k > 0 ? runs_.Attr(k - 1) : runs_.StartStyleId())) return true;
    for (; k < runs_.Count() && runs_.Offset(k) < end; ++k)
      if (Allowed(runs_.Attr(k))) return true;
    return false;
  }

  // Whether numbers may be coloured under the style in effect at `at`, up to
  // the next run boundary. The run after `at` is followed as `at` grows, and
  // found anew (next_ = -1) after runs were inserted.
  void Refresh(int32_t at) {
    if (next_ < 0) next_ = runs_.FirstRun(at, true);
    while (next_ < runs_.Count() && runs_.Offset(next_) <= at) ++next_;
    const TDynInfo& style = list_.Styles.Get(next_ > 0 ? runs_.Attr(next_ - 1) : runs_.StartStyleId());
    boundary_ = next_ < runs_.Count() ? runs_.Offset(next_) : INT32_MAX;
    const int16_t scope = RegionScope(style);
    bool doHilit = scope == h_.Scope || h_.Priority > 0;
    if (h_.OnQueryHilit) h_.OnQueryHilit(&h_, scope, doHilit);
    allowed_ = doHilit;
  }

  void ApplyAll() {
    const auto kind = static_cast<uint8_t>(h_.Style + dkKeyStyle + (h_.AltFont ? fsAltFont : 0));
    for (size_t n = 0; n < count_; ++n) {
      const auto [a, b] = numbers_[n];
      const uint32_t styleId = runs_.StyleIdAt(a, true);
      if (list_.Styles.Get(styleId).KeyLevel() >= kMaxKeyLevel) continue;
      scan::ApplyRunId(runs_, a, b,
                       scan::NumberRunId(list_.Styles, styleId, kind, h_.Background, h_.Foreground, h_.ContextNum,
                                         keywordBase_, b - a));
    }
    count_ = 0;
    next_ = -1;
  }

  struct TNumberAt {
    int32_t Start;
    int32_t End;
  };

  TNumberHighlighterU& h_;
  TParagraphsList& list_;
  scan::TRunBuffer& runs_;
  const std::u16string_view text_;
  const int32_t length_;
  const TCharTable& seps_;
  const int keywordBase_;
  int32_t boundary_ = 0;
  bool allowed_ = false;
  int next_ = -1;
  // Numbers found and not applied yet, 16 at a time. Left unset: filled
  // before it is read, and a cleared table would cost a block clear on every
  // paragraph.
  TNumberAt numbers_[16];
  size_t count_ = 0;
};

void TNumberHighlighterU::KeywordHook(scan::TScanPar& ps, int32_t from, int32_t to, int fromPar, int /*toPar*/,
                                      int keywordBase) {
  // The pass works on the paragraph of from only.
  if (ps.Par() != fromPar) return;
  const int32_t start = ps.Start();
  NumberPass(*this, ps, keywordBase).Run(std::max(0, from - start - 1), to - start + 1);
}

}  // namespace qm
