// The paragraph run buffer of the highlighting passes and its pool.
#include "editor/highlight/RunBuffer.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/Exceptions.h"

namespace qm::scan {

void TRunBuffer::Load(TParagraphsList& list, int par) {
  list_ = &list;
  par_ = par;
  changed_ = false;
  clearLaidOut_ = false;
  lookBack_ = TLookBack{};
  levels_ = nullptr;
  closeLengthsSet_ = {};
  runs_.clear();
  gapStart_ = 0;
  gapLength_ = 0;
  length_ = list.Length(par);
  last_ = par == list.Count - 1;
  const ParExtraInfo* e = list.Extra(par);
  if (e == nullptr) {
    startStyle_ = 0;
    return;
  }
  startStyle_ = e->StartStyle;
  runs_.assign(e->Runs(), e->Runs() + e->RunCount);
  gapStart_ = runs_.size();
}

void TRunBuffer::Store() {
  if (!changed_) return;
  changed_ = false;
  if (clearLaidOut_) list_->SetFlags(par_, list_->Flags(par_) & ~pfLaidOut);
  clearLaidOut_ = false;
  CloseGap();
  gapStart_ = runs_.size();
  list_->SetRunRecs(par_, runs_.data(), static_cast<uint32_t>(runs_.size()));
}

void TRunBuffer::CopyRuns(std::vector<TRunRec>& out) const {
  const auto gapEnd = static_cast<std::ptrdiff_t>(gapStart_ + gapLength_);
  out.assign(runs_.begin(), runs_.begin() + static_cast<std::ptrdiff_t>(gapStart_));
  out.insert(out.end(), runs_.begin() + gapEnd, runs_.end());
}

TDynInfo TRunBuffer::Run(int k) const {
  if (k < 0 || k >= Count()) throw ERangeError();
  TDynInfo run = Style(k);
  run.Offset = Offset(k);
  return run;
}

TDynInfo TRunBuffer::StyleAt(int32_t x, bool pastRuns) const {
  const int k = FirstRun(x, pastRuns);
  TDynInfo style = list_->Styles.Get(k > 0 ? Attr(k - 1) : startStyle_);
  style.Offset = k > 0 ? Offset(k - 1) : 0;
  return style;
}

void TRunBuffer::Insert(int k, int32_t offset, uint32_t attr) {
  if (k < 0 || k > Count()) throw ERangeError();
  const auto at = static_cast<size_t>(k);
  if (gapLength_ == 0) {
    // A new gap at the insertion point, as large as the runs, so that growing
    // costs a constant per insertion.
    const size_t extra = std::max<size_t>(8, runs_.size());
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(at), extra, TRunRec{});
    gapStart_ = at;
    gapLength_ = extra;
  } else {
    MoveGap(at);
  }
  runs_[gapStart_] = TRunRec{offset, attr};
  ++gapStart_;
  --gapLength_;
  changed_ = true;
}

void TRunBuffer::MoveGap(size_t k) {
  TRunRec* data = runs_.data();
  if (gapLength_ != 0 && k < gapStart_) {
    std::memmove(data + k + gapLength_, data + k, (gapStart_ - k) * sizeof(TRunRec));
  } else if (gapLength_ != 0 && k > gapStart_) {
    std::memmove(data + gapStart_, data + gapStart_ + gapLength_, (k - gapStart_) * sizeof(TRunRec));
  }
  gapStart_ = k;
}

void TRunBuffer::Set(int k, const TDynInfo& run) {
  if (k < 0 || k >= Count()) throw ERangeError();
  At(k) = TRunRec{run.Offset, list_->Styles.Intern(run)};
  changed_ = true;
}

void TRunBuffer::Erase(int k, int count) {
  if (count <= 0) return;
  if (k < 0 || k + count > Count()) throw ERangeError();
  MoveGap(static_cast<size_t>(k));
  gapLength_ += static_cast<size_t>(count);
  changed_ = true;
}

namespace {

std::vector<std::unique_ptr<TRunBuffer>>& Pool() {
  static std::vector<std::unique_ptr<TRunBuffer>> pool;
  return pool;
}

}  // namespace

TRunBufferLease::TRunBufferLease() {
  auto& pool = Pool();
  if (pool.empty()) {
    buffer_ = std::make_unique<TRunBuffer>();
  } else {
    buffer_ = std::move(pool.back());
    pool.pop_back();
  }
}

TRunBufferLease::~TRunBufferLease() { Pool().push_back(std::move(buffer_)); }

void TRunBuffer::NoteLookBack(int level, uint32_t style) const {
  if (lookBack_.Level < 0) {
    lookBack_.Level = level;
    lookBack_.Style = style;
  } else if (lookBack_.Level != level || lookBack_.Style != style) {
    lookBack_.Mixed = true;
  }
}

}  // namespace qm::scan
