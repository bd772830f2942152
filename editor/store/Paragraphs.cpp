// Paragraph records, accessors, lazy offset shifts, and Clear; load, save and replace live in their own files.
#include "editor/store/Paragraphs.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

#include "platform/Exceptions.h"

namespace qm {
namespace {

const char16_t kEmptyText[1] = {0};

constexpr uint32_t CompactInfo(int32_t length, int32_t width) {
  return static_cast<uint32_t>(length) | (static_cast<uint32_t>(width) << 16);
}

}  // namespace

char16_t* AllocText(int32_t capacity) {
  // Two units in front hold the capacity.
  auto* block = new char16_t[static_cast<size_t>(capacity) + 2];
  std::memcpy(block, &capacity, sizeof capacity);
  return block + 2;
}

void FreeText(char16_t* text) {
  if (text != nullptr) delete[](text - 2);
}

int32_t TextCapacity(const char16_t* text) {
  int32_t capacity;
  std::memcpy(&capacity, text - 2, sizeof capacity);
  return capacity;
}

int64_t SlackCapacity(int64_t n) { return n + n / 64 + 1; }

uint8_t FormatCodeMask(char16_t c) {
  switch (c) {
    case 2: return fsBold;
    case 1: return fsItalic;
    case 21: return fsUnderline;
    case 3: return fsHighlight;
    case 4: return fsAltFont;
    default: return 0;
  }
}

void RemoveEmptyCodePairs(std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  size_t runStart = 0;  // start in `out` of the current run of format codes
  for (char16_t c : text) {
    if (FormatCodeMask(c) == 0) {
      out.push_back(c);
      runStart = out.size();
      continue;
    }
    // An equal code earlier in the same run of codes cancels with this one.
    const auto at = out.find(c, runStart);
    if (at != std::u16string::npos)
      out.erase(at, 1);
    else
      out.push_back(c);
  }
  text.swap(out);
}

ParExtraInfo* TParagraphsList::AllocExtra(uint32_t capacity) {
  // Records with room for a few runs, which most paragraphs need, come from the pool.
  const bool small = capacity <= kStartStyleRuns;
  if (small) capacity = kStartStyleRuns;
  void* block =
      small ? smallExtras_.Take() : std::malloc(sizeof(ParExtraInfo) + static_cast<size_t>(capacity) * sizeof(TRunRec));
  if (block == nullptr) throw std::bad_alloc();
  auto* e = new (block) ParExtraInfo;
  e->RunCapacity = capacity;
  return e;
}

void TParagraphsList::FreeExtra(ParExtraInfo* e) {
  if (e == nullptr) return;
  delete e->Rare;
  DropExtraBlock(e);
}

void TParagraphsList::DropExtraBlock(ParExtraInfo* e) {
  const bool small = e->RunCapacity <= kStartStyleRuns;
  e->~ParExtraInfo();
  if (small)
    smallExtras_.Give(e);
  else
    std::free(e);
}

TParagraphsList::TParagraphsList() : TDynArray2(sizeof(TParagraphRec), sizeof(TParagraphRec)) {
  AppendParagraph(nullptr, 0, 0);
  LineCount = 1;
}

TParagraphsList::~TParagraphsList() {
  ForRange(0, Count, [this](uint8_t* p) { FreeParagraph(reinterpret_cast<TParagraphRec*>(p), false); });
  for (ParExtraInfo* e : extras_) FreeExtra(e);
}

void TParagraphsList::FreeParagraph(TParagraphRec* r, bool releaseShared) {
  if (r->Flags & pfOwnText)
    FreeText(r->Text);
  else if (r->Text != nullptr && releaseShared)
    ReleaseSharedText(r->Text);
  if (r->Flags & pfExtraInfo) {
    const uint32_t index = r->Info;  // a packed field cannot bind to a reference
    FreeExtra(extras_[index]);
    extras_[index] = nullptr;
    freeExtras_.push_back(index);
  }
  r->Flags = 0;
  r->Text = nullptr;
}

uint32_t TParagraphsList::NewExtra(ParExtraInfo* info) {
  if (!freeExtras_.empty()) {
    const uint32_t index = freeExtras_.back();
    freeExtras_.pop_back();
    extras_[index] = info;
    return index;
  }
  extras_.push_back(info);
  return static_cast<uint32_t>(extras_.size() - 1);
}

void TParagraphsList::AppendParagraph(char16_t* text, int32_t length, uint8_t staticStyle) {
  TParagraphRec r{text, TextLength, Count, 0, CompactInfo(length, 0)};
  const int i = Add(&r);
  if (length >= kCompactLimit || staticStyle != 0) {
    ParExtraInfo& e = MakeExtra(i);
    e.Length = length;
    e.StaticStyle = staticStyle;
  }
}

const char16_t* TParagraphsList::Text(int i) const {
  const TParagraphRec* r = Rec(i);
  return r->Text != nullptr ? r->Text : kEmptyText;
}

int32_t TParagraphsList::Length(int i) const {
  const TParagraphRec* r = Rec(i);
  if (r->Flags & pfExtraInfo) return extras_[r->Info]->Length;
  return static_cast<int32_t>(r->Info & 0xFFFF);
}

int32_t TParagraphsList::ShiftedOffset(int i, const TParagraphRec* r) const {
  return r->StartOffset + (i >= offsetShift_.Par ? offsetShift_.Delta : 0);
}

int32_t TParagraphsList::ShiftedLine(int i, const TParagraphRec* r) const {
  return r->StartLine + (i >= lineShift_.Par ? lineShift_.Delta : 0);
}

int32_t TParagraphsList::StartOffset(int i) const { return ShiftedOffset(i, Rec(i)); }

int32_t TParagraphsList::StartLine(int i) const { return ShiftedLine(i, Rec(i)); }

int32_t TParagraphsList::Width(int i) const {
  const TParagraphRec* r = Rec(i);
  if (r->Flags & pfExtraInfo) return LayoutInfo(i).LineWidth;
  return static_cast<int32_t>(r->Info >> 16);
}

ParExtraInfo* TParagraphsList::Extra(int i) const {
  const TParagraphRec* r = Rec(i);
  return (r->Flags & pfExtraInfo) ? extras_[r->Info] : nullptr;
}

ParExtraInfo& TParagraphsList::MakeExtra(int i, uint32_t runCapacity) {
  TParagraphRec* r = Rec(i);
  if (r->Flags & pfExtraInfo) return *extras_[r->Info];
  ParExtraInfo* e = AllocExtra(runCapacity);
  e->Length = static_cast<int32_t>(r->Info & 0xFFFF);
  e->Width = static_cast<int32_t>(r->Info >> 16);
  r->Info = NewExtra(e);
  r->Flags |= pfExtraInfo;
  return *e;
}

ParExtraRare& TParagraphsList::MakeRare(int i) {
  ParExtraInfo& e = MakeExtra(i);
  if (e.Rare == nullptr) e.Rare = new ParExtraRare;
  return *e.Rare;
}

ParExtraInfo* TParagraphsList::GrowRuns(int i, uint32_t capacity) {
  TParagraphRec* r = Rec(i);
  MakeExtra(i);
  const uint32_t index = r->Info;
  ParExtraInfo* old = extras_[index];
  if (old->RunCapacity >= capacity) return old;
  capacity = std::max({capacity, old->RunCapacity + old->RunCapacity / 2, 4u});
  ParExtraInfo* grown = MoveExtra(old, capacity, old->RunCount);
  extras_[index] = grown;
  return grown;
}

ParExtraInfo* TParagraphsList::MoveExtra(ParExtraInfo* old, uint32_t capacity, uint32_t keep) {
  ParExtraInfo* grown = AllocExtra(capacity);
  const uint32_t granted = grown->RunCapacity;
  std::memcpy(static_cast<void*>(grown), old, sizeof(ParExtraInfo));
  grown->RunCapacity = granted;
  std::memcpy(grown->Runs(), old->Runs(), keep * sizeof(TRunRec));
  DropExtraBlock(old);  // its Rare record now belongs to the grown block
  return grown;
}

void TParagraphsList::SetParLength(int i, int32_t length) {
  TParagraphRec* r = Rec(i);
  if (!(r->Flags & pfExtraInfo) && length < kCompactLimit) {
    r->Info = CompactInfo(length, static_cast<int32_t>(r->Info >> 16));
    return;
  }
  ParExtraInfo& e = MakeExtra(i);
  e.Length = length;
  // A single display line keeps covering the whole paragraph.
  if (e.Rare != nullptr && e.Rare->HasFirstLine && e.Rare->MoreLines.empty()) e.Rare->FirstLine.LineStop = length;
}

int TParagraphsList::LineCountOf(int i) const {
  const ParExtraInfo* e = Extra(i);
  return (e && e->Rare) ? 1 + static_cast<int>(e->Rare->MoreLines.size()) : 1;
}

int TParagraphsList::RunCount(int i) const {
  const ParExtraInfo* e = Extra(i);
  return e ? static_cast<int>(e->RunCount) : 0;
}

const TRunRec* TParagraphsList::RunRecs(int i) const {
  const ParExtraInfo* e = Extra(i);
  return (e && e->RunCount > 0) ? e->Runs() : nullptr;
}

TDynInfo TParagraphsList::Run(int i, int k) const {
  const ParExtraInfo* e = Extra(i);
  if (e == nullptr || k < 0 || k >= static_cast<int>(e->RunCount)) throw ERangeError();
  TDynInfo run = Styles.Get(e->Runs()[k].Attr);
  run.Offset = e->Runs()[k].Offset;
  return run;
}

void TParagraphsList::InsertRun(int i, int k, const TDynInfo& run) {
  const uint32_t attr = Styles.Intern(run);
  ParExtraInfo* e = GrowRuns(i, RunCount(i) + 1);
  if (k < 0 || k > static_cast<int>(e->RunCount)) throw ERangeError();
  TRunRec* runs = e->Runs();
  std::memmove(runs + k + 1, runs + k, (e->RunCount - static_cast<uint32_t>(k)) * sizeof(TRunRec));
  runs[k] = TRunRec{run.Offset, attr};
  ++e->RunCount;
}

void TParagraphsList::SetRun(int i, int k, const TDynInfo& run) {
  ParExtraInfo* e = Extra(i);
  if (e == nullptr || k < 0 || k >= static_cast<int>(e->RunCount)) throw ERangeError();
  e->Runs()[k] = TRunRec{run.Offset, Styles.Intern(run)};
}

void TParagraphsList::EraseRuns(int i, int k, int count) {
  ParExtraInfo* e = Extra(i);
  if (count <= 0) return;
  if (e == nullptr || k < 0 || k + count > static_cast<int>(e->RunCount)) throw ERangeError();
  TRunRec* runs = e->Runs();
  std::memmove(runs + k, runs + k + count, (e->RunCount - static_cast<uint32_t>(k + count)) * sizeof(TRunRec));
  e->RunCount -= static_cast<uint32_t>(count);
}

void TParagraphsList::SetRuns(int i, const std::vector<TDynInfo>& runs) {
  if (runs.empty() && Extra(i) == nullptr) return;
  ParExtraInfo* e = GrowRuns(i, static_cast<uint32_t>(runs.size()));
  for (size_t k = 0; k < runs.size(); ++k) e->Runs()[k] = TRunRec{runs[k].Offset, Styles.Intern(runs[k])};
  e->RunCount = static_cast<uint32_t>(runs.size());
}

// SetRunRecs moves the record with realloc.
static_assert(std::is_trivially_copyable_v<ParExtraInfo>);

void TParagraphsList::SetRunRecs(int i, const TRunRec* runs, uint32_t n) {
  TParagraphRec* r = Rec(i);
  if (!(r->Flags & pfExtraInfo)) {
    if (n == 0) return;
    // One allocation, sized for the runs: most paragraphs are highlighted once and never grow.
    ParExtraInfo* e = AllocExtra(n);
    e->Length = static_cast<int32_t>(r->Info & 0xFFFF);
    e->Width = static_cast<int32_t>(r->Info >> 16);
    r->Info = NewExtra(e);
    r->Flags |= pfExtraInfo;
  }
  ParExtraInfo* e = extras_[r->Info];
  if (e->RunCapacity < n) {
    // Exactly sized: the record is usually new, made for its start style alone.
    if (e->RunCapacity <= kStartStyleRuns) {
      // A pool block cannot grow in place: the header moves to a block of its own.
      e = MoveExtra(e, n, 0);
    } else {
      void* grown =
          std::realloc(static_cast<void*>(e), sizeof(ParExtraInfo) + static_cast<size_t>(n) * sizeof(TRunRec));
      if (grown == nullptr) throw std::bad_alloc();
      e = static_cast<ParExtraInfo*>(grown);
      e->RunCapacity = n;
    }
    extras_[r->Info] = e;
  }
  if (n > 0) std::memcpy(e->Runs(), runs, n * sizeof(TRunRec));
  e->RunCount = n;
}

TDynInfo TParagraphsList::StartStyle(int i) const { return Styles.Get(StartStyleId(i)); }

uint32_t TParagraphsList::StartStyleId(int i) const {
  const ParExtraInfo* e = Extra(i);
  return e ? e->StartStyle : 0;
}

void TParagraphsList::SetStartStyleId(int i, uint32_t id) {
  if (id == 0 && Extra(i) == nullptr) return;
  // A paragraph given a start style by the scan is about to get its runs:
  // room for a few saves growing the record right after.
  MakeExtra(i, kStartStyleRuns).StartStyle = id;
}

void TParagraphsList::MakeOwnText(int i) {
  TParagraphRec* r = Rec(i);
  if (r->Flags & pfOwnText) return;
  const int32_t length = Length(i);
  char16_t* text = AllocText(static_cast<int32_t>(SlackCapacity(length)));
  if (length > 0) std::memcpy(text, r->Text, static_cast<size_t>(length) * 2);
  text[length] = 0;
  if (r->Text != nullptr) ReleaseSharedText(r->Text);
  r->Text = text;
  r->Flags |= pfOwnText;
}

TLineInfo TParagraphsList::LayoutInfo(int i) const {
  const ParExtraInfo* e = Extra(i);
  if (e && e->Rare && e->Rare->HasFirstLine) {
    TLineInfo line = e->Rare->FirstLine;
    line.StartStyle = e->StaticStyle;
    return line;
  }
  TLineInfo line;
  line.LineStop = Length(i);
  line.MeasuredTo = line.LineStop;
  line.LineWidth = e ? e->Width : static_cast<int32_t>(Rec(i)->Info >> 16);
  line.StartStyle = e ? e->StaticStyle : 0;
  return line;
}

void TParagraphsList::SetLayoutInfo(int i, const TLineInfo& line) {
  TParagraphRec* r = Rec(i);
  const int32_t length = Length(i);
  // A single line over the whole paragraph needs only its width and start state.
  const bool plain = line.LineStart == 0 && line.LineStop == length && line.MeasuredTo >= length &&
                     line.StretchSpaces == 0 && line.StretchFrom == 0 && line.FirstRun == 0 && line.LineWidth >= 0;
  if (!(r->Flags & pfExtraInfo) && plain && line.LineWidth < 65536 && line.StartStyle == 0) {
    r->Info = CompactInfo(length, line.LineWidth);
    return;
  }
  ParExtraInfo& e = MakeExtra(i);
  e.StaticStyle = line.StartStyle;
  e.Width = line.LineWidth;
  if (plain && (e.Rare == nullptr || e.Rare->MoreLines.empty())) {
    if (e.Rare) e.Rare->HasFirstLine = false;
    return;
  }
  ParExtraRare& rare = MakeRare(i);
  rare.HasFirstLine = true;
  rare.FirstLine = line;
}

TLineInfo TParagraphsList::LineInfo(int i, int line) const {
  if (line == 0) return LayoutInfo(i);
  const ParExtraInfo* e = Extra(i);
  if (e == nullptr || e->Rare == nullptr || line < 0 || line > static_cast<int>(e->Rare->MoreLines.size()))
    throw ERangeError();
  return e->Rare->MoreLines[static_cast<size_t>(line - 1)];
}

void TParagraphsList::SetDisplayLines(int i, const std::vector<TLineInfo>& lines) {
  if (lines.empty()) throw ERangeError();
  const int before = LineCountOf(i);
  if (lines.size() > 1) {
    MakeRare(i).MoreLines.assign(lines.begin() + 1, lines.end());
  } else if (ParExtraInfo* e = Extra(i); e && e->Rare) {
    e->Rare->MoreLines.clear();
  }
  SetLayoutInfo(i, lines[0]);
  const int delta = static_cast<int>(lines.size()) - before;
  if (delta != 0) {
    AddToStartLines(i + 1, delta);
    LineCount += delta;
  }
}

void TParagraphsList::AppendRunRecs(int i, const std::vector<TRunRec>& runs) {
  if (runs.empty()) return;
  ParExtraInfo* e = GrowRuns(i, RunCount(i) + static_cast<uint32_t>(runs.size()));
  std::memcpy(e->Runs() + e->RunCount, runs.data(), runs.size() * sizeof(TRunRec));
  e->RunCount += static_cast<uint32_t>(runs.size());
}

void TParagraphsList::ResetLayout(int i, int32_t length) {
  // One display line over the whole paragraph until the wrapping pass runs again.
  SetParLength(i, length);
  if (ParExtraInfo* e = Extra(i)) {
    e->Width = 0;
    if (e->Rare) {
      e->Rare->HasFirstLine = false;
      e->Rare->MoreLines.clear();
    }
  } else {
    Rec(i)->Info = CompactInfo(length, 0);
  }
}

void TParagraphsList::MoveShift(PendingShift& shift, int target, bool lines) {
  target = std::clamp(target, 0, Count);
  if (shift.Delta != 0 && shift.Par != target) {
    const int32_t d = shift.Par < target ? shift.Delta : -shift.Delta;
    const int from = std::min(shift.Par, target);
    const int to = std::max(shift.Par, target);
    if (lines)
      ForRange(from, to, [d](uint8_t* p) { reinterpret_cast<TParagraphRec*>(p)->StartLine += d; });
    else
      ForRange(from, to, [d](uint8_t* p) { reinterpret_cast<TParagraphRec*>(p)->StartOffset += d; });
  }
  shift.Par = target;
}

void TParagraphsList::AddToStartOffsets(int from, int32_t delta) {
  MoveShift(offsetShift_, from, false);
  offsetShift_.Delta += delta;
}

void TParagraphsList::AddToStartLines(int from, int32_t delta) {
  MoveShift(lineShift_, from, true);
  lineShift_.Delta += delta;
}

void TParagraphsList::AddToBoth(int from, int32_t offsetDelta, int32_t lineDelta) {
  AddToStartOffsets(from, offsetDelta);
  AddToStartLines(from, lineDelta);
}

int TParagraphsList::ParagraphOfPosition(int32_t pos) const {
  const int count = Count;
  if (TextLength <= 0 || count <= 1) return 0;
  // Passes ask for the same paragraph, or the next one, over and over.
  if (lastFound_ < count) {
    for (int i = lastFound_; i < std::min(count, lastFound_ + 2); ++i) {
      const int32_t start = StartOffset(i);
      if (pos >= start && (pos <= start + Length(i) + 1 || i == count - 1)) {
        lastFound_ = i;
        return i;
      }
    }
  }
  lastFound_ = ParagraphOfPositionSearch(pos);
  return lastFound_;
}

namespace {

// The paragraph of `count` that holds `at`, where paragraph i holds first(i)
// … last(i) and the last paragraph also whatever lies beyond: a guess
// proportional to where `at` lies and a short walk find it in almost every
// real text; a binary search over the firsts bounds the rest.
template <typename First, typename Last>
int GuessThenBisect(int count, int guess, int32_t at, First first, Last last) {
  int i = std::clamp(guess, 0, count - 1);
  for (int steps = 0; steps < 16; ++steps) {
    if (at < first(i)) {
      --i;
    } else if (last(i) < at && i < count - 1) {
      ++i;
    } else {
      return i;
    }
  }
  int lo = 0;
  int hi = count - 1;
  while (lo < hi) {
    const int mid = lo + (hi - lo + 1) / 2;
    if (first(mid) <= at)
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo;
}

}  // namespace

int TParagraphsList::ParagraphOfPositionSearch(int32_t pos) const {
  // A paragraph's positions run from its start to just before the LF of its break.
  const int guess = static_cast<int>(static_cast<int64_t>(pos) * (Count - 2) / TextLength);
  return GuessThenBisect(
      Count, guess, pos, [this](int i) { return StartOffset(i); },
      [this](int i) { return StartOffset(i) + Length(i) + 1; });
}

int TParagraphsList::ParagraphOfLine(int32_t line) const {
  if (Count <= 1 || LineCount <= 0) return 0;
  const int guess = static_cast<int>(static_cast<int64_t>(Count) * line / LineCount);
  return GuessThenBisect(
      Count, guess, line, [this](int i) { return StartLine(i); },
      [this](int i) { return StartLine(i) + LineCountOf(i) - 1; });
}

void TParagraphsList::Clear() {
  // Every block goes at once below.
  ForRange(0, Count, [this](uint8_t* p) { FreeParagraph(reinterpret_cast<TParagraphRec*>(p), false); });
  for (ParExtraInfo* e : extras_) FreeExtra(e);
  extras_.clear();
  smallExtras_.Release();
  Styles.Clear();
  freeExtras_.clear();
  TextLength = 0;
  LineCount = 0;
  Count = 0;
  SetCapacity(1);
  TextBlocks.clear();
  FormatLast = -1;
  FormattedCount = 0;
  ScannedUpTo = -1;
  offsetShift_ = {};
  lineShift_ = {};
  Dirty = {};
}

void TParagraphsList::InvalidateLayout() {
  ForRange(0, Count, [](uint8_t* p) { reinterpret_cast<TParagraphRec*>(p)->Flags &= ~pfLaidOut; });
  FormattedCount = 0;
  FormatLast = Count - 1;
}

size_t TParagraphsList::MemoryUsed() const {
  size_t bytes = AllocatedBytes();
  for (const TextBlock& b : TextBlocks) bytes += b.Size * sizeof(char16_t);
  bytes += extras_.capacity() * sizeof(ParExtraInfo*) + smallExtras_.BytesHeld();
  for (const ParExtraInfo* e : extras_) {
    if (e == nullptr) continue;
    if (e->RunCapacity > kStartStyleRuns) bytes += sizeof(ParExtraInfo) + e->RunCapacity * sizeof(TRunRec);
    if (e->Rare) bytes += sizeof(ParExtraRare) + e->Rare->MoreLines.capacity() * sizeof(TLineInfo);
  }
  bytes += Styles.Size() * sizeof(TDynInfo) * 2;  // the blocks and their index
  ForRange(0, Count, [&bytes](uint8_t* p) {
    const auto* r = reinterpret_cast<TParagraphRec*>(p);
    if (r->Flags & pfOwnText) bytes += (static_cast<size_t>(TextCapacity(r->Text)) + 2) * sizeof(char16_t);
  });
  return bytes;
}

void TParagraphsList::CheckLength(int64_t n) const {
  if (SlackCapacity(n) > LengthLimit) throw Exception(kTextTooLong);
}

}  // namespace qm
