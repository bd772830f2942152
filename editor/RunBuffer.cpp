// The paragraph run buffer of the highlighting passes and its pool.
#include "editor/RunBuffer.h"

#include <utility>

#include "platform/Exceptions.h"

namespace qm::scan {

void TRunBuffer::Load(TParagraphsList& list, int par) {
  list_ = &list;
  par_ = par;
  changed_ = false;
  clearLaidOut_ = false;
  runs_.clear();
  length_ = list.Length(par);
  last_ = par == list.Count - 1;
  const ParExtraInfo* e = list.Extra(par);
  if (e == nullptr) {
    startStyle_ = 0;
    return;
  }
  startStyle_ = e->StartStyle;
  runs_.assign(e->Runs(), e->Runs() + e->RunCount);
}

void TRunBuffer::Store() {
  if (!changed_) return;
  changed_ = false;
  if (clearLaidOut_) list_->SetFlags(par_, list_->Flags(par_) & ~pfLaidOut);
  clearLaidOut_ = false;
  list_->SetRunRecs(par_, runs_.data(), static_cast<uint32_t>(runs_.size()));
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
  runs_.insert(runs_.begin() + k, TRunRec{offset, attr});
  changed_ = true;
}

void TRunBuffer::Set(int k, const TDynInfo& run) {
  if (k < 0 || k >= Count()) throw ERangeError();
  runs_[static_cast<size_t>(k)] = TRunRec{run.Offset, list_->Styles.Intern(run)};
  changed_ = true;
}

void TRunBuffer::Erase(int k, int count) {
  if (count <= 0) return;
  if (k < 0 || k + count > Count()) throw ERangeError();
  runs_.erase(runs_.begin() + k, runs_.begin() + k + count);
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

}  // namespace qm::scan
