// Replace: the one primitive through which every edit of the paragraph store passes.
#include <algorithm>
#include <cstring>

#include "editor/store/Paragraphs.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

// The new text split at paragraph breaks: CR or CR LF; a lone LF is a character.
std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

uint8_t ToggleMask(std::u16string_view text) {
  uint8_t mask = 0;
  for (char16_t c : text) mask ^= FormatCodeMask(c);
  return mask;
}

// Owns freshly allocated text buffers until the replacement commits.
struct PendingTexts {
  std::vector<char16_t*> buffers;
  ~PendingTexts() {
    for (char16_t* b : buffers) FreeText(b);
  }
  char16_t* Make(std::initializer_list<std::u16string_view> parts) {
    size_t n = 0;
    for (auto p : parts) n += p.size();
    if (n == 0) {
      buffers.push_back(nullptr);
      return nullptr;
    }
    char16_t* text = AllocText(static_cast<int32_t>(SlackCapacity(static_cast<int64_t>(n))));
    buffers.push_back(text);
    size_t at = 0;
    for (auto p : parts) {
      if (!p.empty()) std::memcpy(text + at, p.data(), p.size() * 2);
      at += p.size();
    }
    text[at] = 0;
    return text;
  }
  void Release() { buffers.clear(); }
};

}  // namespace

TReplaceResult TParagraphsList::Replace(int p, int32_t s, int q, int32_t e, std::u16string_view text) {
  // A position between the two characters of a break counts as the whole break.
  if (p < 0 || q >= Count || p > q) throw ERangeError();
  s = std::clamp(s, 0, Length(p));
  if (e > Length(q)) {
    if (q + 1 < Count) {
      ++q;
      e = 0;
    } else {
      e = Length(q);
    }
  }
  e = std::max(e, 0);
  if (p == q && e < s) std::swap(s, e);

  const std::vector<std::u16string_view> lines = SplitLines(text);
  const int k = static_cast<int>(lines.size()) - 1;
  const std::u16string_view head(Text(p), static_cast<size_t>(s));
  const std::u16string_view tail(Text(q) + e, static_cast<size_t>(Length(q) - e));

  const int64_t oldPositions = static_cast<int64_t>(StartOffset(q)) + e - StartOffset(p) - s;
  int64_t newPositions = 2 * static_cast<int64_t>(k);
  for (auto line : lines) newPositions += static_cast<int64_t>(line.size());
  const int64_t delta = newPositions - oldPositions;
  if (static_cast<int64_t>(TextLength) + delta > LengthLimit) throw Exception(kTextTooLong);
  const int64_t firstLength = static_cast<int64_t>(head.size() + lines[0].size()) + (k == 0 ? tail.size() : 0);
  CheckLength(firstLength);
  for (auto line : lines) CheckLength(static_cast<int64_t>(line.size()) + static_cast<int64_t>(tail.size()));

  TReplaceResult result;
  if (StaticFormat) {
    std::u16string removed;
    for (int i = p; i <= q; ++i) {
      const std::u16string_view t = TextView(i);
      const size_t from = i == p ? static_cast<size_t>(s) : 0;
      const size_t to = i == q ? static_cast<size_t>(e) : t.size();
      removed.append(t.substr(from, to - from));
    }
    result.StyleStateChanged = ToggleMask(removed) != ToggleMask(text);
  }

  // Every buffer is allocated before anything changes, so a failure leaves the text whole.
  PendingTexts pending;
  std::vector<char16_t*> made(static_cast<size_t>(k + 1), nullptr);
  if (k > 0) {
    made[static_cast<size_t>(k)] = pending.Make({lines[static_cast<size_t>(k)], tail});
    for (int i = 1; i < k; ++i) made[static_cast<size_t>(i)] = pending.Make({lines[static_cast<size_t>(i)]});
  }
  TParagraphRec* first = Rec(p);
  const int32_t newFirstLength = static_cast<int32_t>(firstLength);
  bool inPlace = false;
  if ((first->Flags & pfOwnText) && first->Text != nullptr) {
    // Growing within the buffer keeps it; a shrink keeps it unless that would
    // leave much more than an eighth unused.
    const int32_t capacity = TextCapacity(first->Text);
    const bool fits = newFirstLength + 1 <= capacity;
    const bool grows = newFirstLength >= Length(p);
    inPlace = fits && (grows || capacity <= newFirstLength + newFirstLength / 8 + 2);
  }
  if (!inPlace) made[0] = pending.Make({head, lines[0], k == 0 ? tail : std::u16string_view()});

  // Style runs: those before s stay in the first paragraph; those at or after e
  // in the last paragraph follow the tail; the rest are removed.
  const int tailPar = p + k;
  const int32_t tailStart = k == 0 ? newFirstLength - static_cast<int32_t>(tail.size())
                                   : static_cast<int32_t>(lines[static_cast<size_t>(k)].size());
  std::vector<TRunRec> tailRuns;
  for (int i = p; i <= q; ++i) {
    const ParExtraInfo* x = Extra(i);
    if (x == nullptr) continue;
    for (uint32_t k = 0; k < x->RunCount; ++k) {
      const TRunRec run = x->Runs()[k];
      const bool before = i == p && run.Offset < s;
      const bool after = i == q && run.Offset >= e;
      if (after)
        tailRuns.push_back(TRunRec{run.Offset - e + tailStart, run.Attr});
      else if (!before)
        result.RunsRemoved = true;
    }
  }
  int oldLines = 0;
  for (int i = p; i <= q; ++i) oldLines += LineCountOf(i);
  uint8_t startState = StaticFormat ? LayoutInfo(p).StartStyle : 0;

  // Commit. Record chunks are reserved first so that nothing below allocates
  // before the text is in place; the in-place write reads the tail before the
  // paragraph holding it is freed.
  if (Count + k > Capacity) SetCapacity(Count + k);
  const uint8_t highlightFlags = Rec(p)->Flags & (pfSpansParsed | pfKeywordsApplied);
  if (inPlace) {
    char16_t* t = first->Text;
    const std::u16string_view keepTail = k == 0 ? tail : std::u16string_view();
    // The tail may overlap its destination; move it before writing the new line.
    if (!keepTail.empty()) std::memmove(t + s + lines[0].size(), keepTail.data(), keepTail.size() * 2);
    if (!lines[0].empty()) std::memcpy(t + s, lines[0].data(), lines[0].size() * 2);
    t[newFirstLength] = 0;
  }
  MoveShift(offsetShift_, p + 1, false);
  MoveShift(lineShift_, p + 1, true);
  for (int i = p + 1; i <= q; ++i) FreeParagraph(Rec(i));
  DeleteItems(p + 1, q - p);
  InsertItems(p + 1, k);
  pending.Release();

  first = Rec(p);
  if (!inPlace) {
    if (first->Flags & pfOwnText) FreeText(first->Text);
    first->Text = made[0];
    first->Flags = static_cast<uint8_t>((first->Flags & ~pfOwnText) | (made[0] ? pfOwnText : 0));
  }
  first->Flags &= ~pfLaidOut;
  ResetLayout(p, newFirstLength);
  if (ParExtraInfo* x = Extra(p)) {
    uint32_t keep = 0;
    while (keep < x->RunCount && x->Runs()[keep].Offset < s) ++keep;
    x->RunCount = keep;
    if (k == 0) AppendRunRecs(p, tailRuns);
  } else if (k == 0) {
    AppendRunRecs(p, tailRuns);
  }

  int32_t offset = StartOffset(p) + newFirstLength + 2;
  const int32_t line = StartLine(p) + 1;
  if (StaticFormat) startState ^= ToggleMask(TextView(p));
  for (int i = 1; i <= k; ++i) {
    const int index = p + i;
    const int32_t length = i == k ? static_cast<int32_t>(lines[static_cast<size_t>(k)].size() + tail.size())
                                  : static_cast<int32_t>(lines[static_cast<size_t>(i)].size());
    TParagraphRec r{made[static_cast<size_t>(i)], offset, line + i - 1,
                    static_cast<uint8_t>(highlightFlags | (made[static_cast<size_t>(i)] ? pfOwnText : 0)),
                    static_cast<uint32_t>(0)};
    std::memcpy(ItemAt(index), &r, sizeof r);
    SetParLength(index, length);
    if (startState != 0) MakeExtra(index).StaticStyle = startState;
    if (i == k) AppendRunRecs(index, tailRuns);
    if (StaticFormat) startState ^= ToggleMask(TextView(index));
    offset += length + 2;
  }

  const int added = k - (q - p);
  const int lineDelta = (k + 1) - oldLines;
  offsetShift_.Par = p + k + 1;
  offsetShift_.Delta += static_cast<int32_t>(delta);
  lineShift_.Par = p + k + 1;
  lineShift_.Delta += lineDelta;
  TextLength += static_cast<int32_t>(delta);
  if (Dirty.FirstPar < 0) {
    Dirty = {LineCount, p, p + k, lineDelta};
  } else {
    Dirty.FirstPar = std::min(Dirty.FirstPar, p);
    Dirty.LastPar = std::max(Dirty.LastPar + (Dirty.LastPar > q ? added : 0), p + k);
    Dirty.LineDelta += lineDelta;
  }
  LineCount += lineDelta;
  Changed = true;
  FormattedCount = std::min(FormattedCount, p);
  if (FormatLast >= 0) FormatLast = std::max(FormatLast > q ? FormatLast + added : FormatLast, p + k);
  ScannedUpTo = std::min(ScannedUpTo, p);

  // A changed format-code state carries on into every later paragraph start.
  if (result.StyleStateChanged) {
    uint8_t state = startState;
    for (int i = tailPar + 1; i < Count; ++i) {
      if (LayoutInfo(i).StartStyle == state) break;
      MakeExtra(i).StaticStyle = state;
      Rec(i)->Flags &= ~pfLaidOut;
      state ^= ToggleMask(TextView(i));
    }
  }

  result.LengthDelta = static_cast<int32_t>(delta);
  result.ParagraphsAdded = added;
  result.FirstParagraph = p;
  result.TailParagraph = tailPar;
  result.TailOffset = k == 0 ? s + static_cast<int32_t>(lines[0].size()) : static_cast<int32_t>(lines[static_cast<size_t>(k)].size());
  return result;
}

}  // namespace qm
