// Replace: the one primitive through which every edit of the paragraph store passes.
#include <algorithm>
#include <cstring>
#include <span>

#include "editor/store/Paragraphs.h"
#include "platform/Exceptions.h"
#include "platform/LargeTable.h"

namespace qm {
namespace {

// The new text split at paragraph breaks: CR or CR LF; a lone LF is a character.
std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), u'\r')) + 1);
  AdviseHugePages(lines.data(), lines.capacity() * sizeof(lines[0]));
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

// From this many new lines on, the inserted paragraphs share one block of
// text as loaded paragraphs do, instead of a buffer each.
constexpr int kSharedLinesFrom = 16;

uint8_t ToggleMask(std::u16string_view text) {
  uint8_t mask = 0;
  for (char16_t c : text) mask ^= FormatCodeMask(c);
  return mask;
}

}  // namespace

// Owns freshly allocated text buffers until the replacement commits.
struct TParagraphsList::PendingTexts {
  std::vector<char16_t*> buffers;
  TextBlock shared;  // the inserted lines' text, when they share a block
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
  // The lines of `lines`, each followed by a zero, in the shared block;
  // an empty line gets no text. The last line carries the tail.
  void MakeShared(std::span<const std::u16string_view> lines, std::u16string_view tail, std::vector<char16_t*>& made) {
    size_t n = tail.size();
    for (auto line : lines) n += line.size() + 1;
    shared.Data.reset(new char16_t[n]);
    shared.Size = n;
    AdviseHugePages(shared.Data.get(), n * sizeof(char16_t));
    char16_t* at = shared.Data.get();
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::u16string_view extra = i + 1 == lines.size() ? tail : std::u16string_view();
      if (lines[i].empty() && extra.empty()) {
        made.push_back(nullptr);
        continue;
      }
      made.push_back(at);
      ++shared.Users;
      at = std::copy(extra.begin(), extra.end(), std::copy(lines[i].begin(), lines[i].end(), at));
      *at++ = 0;
    }
  }
  void Release() { buffers.clear(); }
};

// What a replacement will do, worked out before anything changes.
struct TParagraphsList::ReplacePlan {
  int P = 0;                               // first paragraph of the range
  int32_t S = 0;                           // offset in it
  int Q = 0;                               // last paragraph of the range
  int32_t E = 0;                           // offset in it
  std::vector<std::u16string_view> Lines;  // the new text split at breaks
  int K = 0;                               // breaks in the new text
  std::u16string_view Head;                // paragraph P before S
  std::u16string_view Tail;                // paragraph Q from E
  int64_t Delta = 0;                       // change of TextLength
  int32_t FirstLength = 0;                 // length of paragraph P afterwards
  bool InPlace = false;                    // P's own buffer takes its new text
  bool SharedLines = false;                // the inserted paragraphs' text is one shared block
  std::vector<char16_t*> Made;             // new buffers: P's (unless in place) and the inserted paragraphs'
  std::vector<TRunRec> TailRuns;           // the runs that follow the tail, at their new offsets
  int OldLines = 0;                        // display lines of P … Q before
  uint8_t StartState = 0;                  // format-code state at P's start
  uint8_t HighlightFlags = 0;              // P's highlighting flags, handed to the new paragraphs
  int TailPar() const { return P + K; }
};

TReplaceResult TParagraphsList::Replace(int p, int32_t s, int q, int32_t e, std::u16string_view text) {
  ReplacePlan plan;
  NormalizeRange(plan, p, s, q, e);
  PlanText(plan, text);
  TReplaceResult result;
  if (StaticFormat) result.StyleStateChanged = ToggleMask(RemovedText(plan)) != ToggleMask(text);
  // Every buffer is allocated before anything changes, so a failure leaves the text whole.
  PendingTexts pending;
  MakeBuffers(plan, pending);
  result.RunsRemoved = CollectTailRuns(plan);
  for (int i = plan.P; i <= plan.Q; ++i) plan.OldLines += LineCountOf(i);
  plan.StartState = StaticFormat ? LayoutInfo(plan.P).StartStyle : 0;

  CommitFirstParagraph(plan, pending);
  InsertNewParagraphs(plan);
  const int added = plan.K - (plan.Q - plan.P);
  UpdateCounters(plan, added);
  if (result.StyleStateChanged) CarryStyleState(plan);

  result.LengthDelta = static_cast<int32_t>(plan.Delta);
  result.ParagraphsAdded = added;
  result.FirstParagraph = plan.P;
  result.TailParagraph = plan.TailPar();
  result.TailOffset = plan.K == 0 ? plan.S + static_cast<int32_t>(plan.Lines[0].size())
                                  : static_cast<int32_t>(plan.Lines[static_cast<size_t>(plan.K)].size());
  return result;
}

void TParagraphsList::NormalizeRange(ReplacePlan& plan, int p, int32_t s, int q, int32_t e) const {
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
  plan.P = p;
  plan.S = s;
  plan.Q = q;
  plan.E = e;
}

void TParagraphsList::PlanText(ReplacePlan& plan, std::u16string_view text) const {
  plan.Lines = SplitLines(text);
  plan.K = static_cast<int>(plan.Lines.size()) - 1;
  plan.Head = std::u16string_view(Text(plan.P), static_cast<size_t>(plan.S));
  plan.Tail = std::u16string_view(Text(plan.Q) + plan.E, static_cast<size_t>(Length(plan.Q) - plan.E));
  const int64_t oldPositions = static_cast<int64_t>(StartOffset(plan.Q)) + plan.E - StartOffset(plan.P) - plan.S;
  int64_t newPositions = 2 * static_cast<int64_t>(plan.K);
  for (auto line : plan.Lines) newPositions += static_cast<int64_t>(line.size());
  plan.Delta = newPositions - oldPositions;
  if (static_cast<int64_t>(TextLength) + plan.Delta > LengthLimit) throw Exception(kTextTooLong);
  const int64_t firstLength =
      static_cast<int64_t>(plan.Head.size() + plan.Lines[0].size()) + (plan.K == 0 ? plan.Tail.size() : 0);
  CheckLength(firstLength);
  for (auto line : plan.Lines) CheckLength(static_cast<int64_t>(line.size()) + static_cast<int64_t>(plan.Tail.size()));
  plan.FirstLength = static_cast<int32_t>(firstLength);
}

std::u16string TParagraphsList::RemovedText(const ReplacePlan& plan) const {
  std::u16string removed;
  for (int i = plan.P; i <= plan.Q; ++i) {
    const std::u16string_view t = TextView(i);
    const size_t from = i == plan.P ? static_cast<size_t>(plan.S) : 0;
    const size_t to = i == plan.Q ? static_cast<size_t>(plan.E) : t.size();
    removed.append(t.substr(from, to - from));
  }
  return removed;
}

void TParagraphsList::MakeBuffers(ReplacePlan& plan, PendingTexts& pending) const {
  const auto& lines = plan.Lines;
  const int k = plan.K;
  plan.Made.assign(static_cast<size_t>(k + 1), nullptr);
  plan.SharedLines = k >= kSharedLinesFrom;
  if (plan.SharedLines) {
    plan.Made.resize(1);
    pending.MakeShared(std::span(lines).subspan(1), plan.Tail, plan.Made);
  } else if (k > 0) {
    plan.Made[static_cast<size_t>(k)] = pending.Make({lines[static_cast<size_t>(k)], plan.Tail});
    for (int i = 1; i < k; ++i) plan.Made[static_cast<size_t>(i)] = pending.Make({lines[static_cast<size_t>(i)]});
  }
  const TParagraphRec* first = Rec(plan.P);
  if ((first->Flags & pfOwnText) && first->Text != nullptr) {
    // Growing within the buffer keeps it; a shrink keeps it unless that would
    // leave much more than an eighth unused.
    const int32_t capacity = TextCapacity(first->Text);
    const bool fits = plan.FirstLength + 1 <= capacity;
    const bool grows = plan.FirstLength >= Length(plan.P);
    plan.InPlace = fits && (grows || capacity <= plan.FirstLength + plan.FirstLength / 8 + 2);
  }
  if (!plan.InPlace) plan.Made[0] = pending.Make({plan.Head, lines[0], k == 0 ? plan.Tail : std::u16string_view()});
}

bool TParagraphsList::CollectTailRuns(ReplacePlan& plan) const {
  // Style runs: those before S stay in the first paragraph; those at or after
  // E in the last paragraph follow the tail; the rest are removed.
  const int32_t tailStart = plan.K == 0 ? plan.FirstLength - static_cast<int32_t>(plan.Tail.size())
                                        : static_cast<int32_t>(plan.Lines[static_cast<size_t>(plan.K)].size());
  bool removed = false;
  for (int i = plan.P; i <= plan.Q; ++i) {
    const ParExtraInfo* x = Extra(i);
    if (x == nullptr) continue;
    for (uint32_t r = 0; r < x->RunCount; ++r) {
      const TRunRec run = x->Runs()[r];
      const bool before = i == plan.P && run.Offset < plan.S;
      const bool after = i == plan.Q && run.Offset >= plan.E;
      if (after)
        plan.TailRuns.push_back(TRunRec{run.Offset - plan.E + tailStart, run.Attr});
      else if (!before)
        removed = true;
    }
  }
  return removed;
}

void TParagraphsList::CommitFirstParagraph(ReplacePlan& plan, PendingTexts& pending) {
  const int p = plan.P;
  const int k = plan.K;
  // Record chunks are reserved first so that nothing below allocates before
  // the text is in place; the in-place write reads the tail before the
  // paragraph holding it is freed.
  if (Count + k > Capacity) SetCapacity(Count + k);
  if (plan.SharedLines) TextBlocks.reserve(TextBlocks.size() + 1);
  plan.HighlightFlags = Rec(p)->Flags & (pfSpansParsed | pfKeywordsApplied);
  if (plan.InPlace) {
    char16_t* t = Rec(p)->Text;
    const std::u16string_view keepTail = k == 0 ? plan.Tail : std::u16string_view();
    // The tail may overlap its destination; move it before writing the new line.
    const std::u16string_view line = plan.Lines[0];
    if (!keepTail.empty()) std::memmove(t + plan.S + line.size(), keepTail.data(), keepTail.size() * 2);
    if (!line.empty()) std::memcpy(t + plan.S, line.data(), line.size() * 2);
    t[plan.FirstLength] = 0;
  }
  MoveShift(offsetShift_, p + 1, false);
  MoveShift(lineShift_, p + 1, true);
  for (int i = p + 1; i <= plan.Q; ++i) FreeParagraph(Rec(i));
  DeleteItems(p + 1, plan.Q - p);
  InsertItems(p + 1, k);
  pending.Release();
  // Empty lines point nowhere: a block of them alone is not kept.
  if (plan.SharedLines && pending.shared.Users > 0) InsertTextBlock(std::move(pending.shared));

  TParagraphRec* first = Rec(p);
  if (!plan.InPlace) {
    if (first->Flags & pfOwnText)
      FreeText(first->Text);
    else if (first->Text != nullptr)
      ReleaseSharedText(first->Text);
    first->Text = plan.Made[0];
    first->Flags = static_cast<uint8_t>((first->Flags & ~pfOwnText) | (plan.Made[0] ? pfOwnText : 0));
  }
  first->Flags &= ~pfLaidOut;
  ResetLayout(p, plan.FirstLength);
  if (ParExtraInfo* x = Extra(p)) {
    uint32_t keep = 0;
    while (keep < x->RunCount && x->Runs()[keep].Offset < plan.S) ++keep;
    x->RunCount = keep;
  }
  if (k == 0) AppendRunRecs(p, plan.TailRuns);
}

void TParagraphsList::InsertNewParagraphs(ReplacePlan& plan) {
  const int p = plan.P;
  const int k = plan.K;
  int32_t offset = StartOffset(p) + plan.FirstLength + 2;
  const int32_t line = StartLine(p) + 1;
  uint8_t state = plan.StartState;
  if (StaticFormat) state ^= ToggleMask(TextView(p));
  for (int i = 1; i <= k; ++i) {
    const int index = p + i;
    char16_t* text = plan.Made[static_cast<size_t>(i)];
    const int32_t length = i == k ? static_cast<int32_t>(plan.Lines[static_cast<size_t>(k)].size() + plan.Tail.size())
                                  : static_cast<int32_t>(plan.Lines[static_cast<size_t>(i)].size());
    const uint8_t own = text != nullptr && !plan.SharedLines ? pfOwnText : 0;
    TParagraphRec r{text, offset, line + i - 1, static_cast<uint8_t>(plan.HighlightFlags | own),
                    static_cast<uint32_t>(0)};
    std::memcpy(ItemAt(index), &r, sizeof r);
    SetParLength(index, length);
    if (state != 0) MakeExtra(index).StaticStyle = state;
    if (i == k) AppendRunRecs(index, plan.TailRuns);
    if (StaticFormat) state ^= ToggleMask(TextView(index));
    offset += length + 2;
  }
  // The state after the tail paragraph, where CarryStyleState starts.
  plan.StartState = state;
}

void TParagraphsList::UpdateCounters(const ReplacePlan& plan, int added) {
  const int p = plan.P;
  const int k = plan.K;
  const int lineDelta = (k + 1) - plan.OldLines;
  offsetShift_.Par = p + k + 1;
  offsetShift_.Delta += static_cast<int32_t>(plan.Delta);
  lineShift_.Par = p + k + 1;
  lineShift_.Delta += lineDelta;
  TextLength += static_cast<int32_t>(plan.Delta);
  if (Dirty.FirstPar < 0) {
    Dirty = {LineCount, p, p + k, lineDelta};
  } else {
    Dirty.FirstPar = std::min(Dirty.FirstPar, p);
    Dirty.LastPar = std::max(Dirty.LastPar + (Dirty.LastPar > plan.Q ? added : 0), p + k);
    Dirty.LineDelta += lineDelta;
  }
  LineCount += lineDelta;
  Changed = true;
  FormattedCount = std::min(FormattedCount, p);
  if (FormatLast >= 0) FormatLast = std::max(FormatLast > plan.Q ? FormatLast + added : FormatLast, p + k);
  ScannedUpTo = std::min(ScannedUpTo, p);
}

void TParagraphsList::CarryStyleState(const ReplacePlan& plan) {
  // A changed format-code state carries on into every later paragraph start.
  uint8_t state = plan.StartState;
  for (int i = plan.TailPar() + 1; i < Count; ++i) {
    if (LayoutInfo(i).StartStyle == state) break;
    MakeExtra(i).StaticStyle = state;
    Rec(i)->Flags &= ~pfLaidOut;
    state ^= ToggleMask(TextView(i));
  }
}

}  // namespace qm
