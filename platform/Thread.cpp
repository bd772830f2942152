// Worker threads and the queue-based GUI dispatcher, on std::thread, std::mutex and std::condition_variable.
#include "platform/Thread.h"

#include <algorithm>
#include <utility>

namespace qm {

struct TManualDispatcher::Call {
  std::function<void()> step;  // a copy: a released worker may return while its step still runs
  std::thread::id worker;
  bool done = false;
};

TManualDispatcher::TManualDispatcher() : guiThread_(std::this_thread::get_id()) {}

TManualDispatcher::~TManualDispatcher() = default;

void TManualDispatcher::CallOnGuiThread(const std::function<void()>& step) {
  const std::thread::id self = std::this_thread::get_id();
  // Waiting for ourselves would never end.
  if (self == guiThread_) {
    step();
    return;
  }
  auto call = std::make_shared<Call>(Call{step, self});
  {
    std::lock_guard lock(mutex_);
    // Checked under the lock that ReleaseWorker takes, so a release can never
    // slip in between this check and the wait below.
    if (released_.contains(self)) return;
    queue_.push_back(call);
  }
  queued_.notify_all();
  if (OnQueued) OnQueued();
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] { return call->done || released_.contains(self); });
}

void TManualDispatcher::ReleaseWorker(std::thread::id worker) {
  {
    std::lock_guard lock(mutex_);
    released_.insert(worker);
    // Steps of a released worker must not run later: whatever they point at
    // may be gone by then.
    std::erase_if(queue_, [&](const std::shared_ptr<Call>& c) { return c->worker == worker; });
  }
  done_.notify_all();
}

void TManualDispatcher::ForgetWorker(std::thread::id worker) {
  std::lock_guard lock(mutex_);
  released_.erase(worker);
}

size_t TManualDispatcher::RunPending() {
  size_t limit = 0;
  {
    std::lock_guard lock(mutex_);
    limit = queue_.size();
  }
  size_t ran = 0;
  while (ran < limit) {
    std::shared_ptr<Call> call;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) break;
      call = std::move(queue_.front());
      queue_.pop_front();
    }
    // The worker goes on even when the step throws.
    struct Finish {
      TManualDispatcher& self;
      Call& call;
      ~Finish() {
        {
          std::lock_guard lock(self.mutex_);
          call.done = true;
        }
        self.done_.notify_all();
      }
    } finish{*this, *call};
    call->step();
    ++ran;
  }
  return ran;
}

bool TManualDispatcher::WaitForPending(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return queued_.wait_for(lock, timeout, [&] { return !queue_.empty(); });
}

size_t TManualDispatcher::PendingCount() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

TThread::TThread(TGuiDispatcher& gui, TBody body, bool createSuspended)
    : gui_(gui), body_(std::move(body)), suspended_(createSuspended), worker_([this] { Run(); }) {}

TThread::~TThread() {
  Terminate();
  WaitFor();
}

void TThread::Run() {
  // A thread created suspended parks here until its first Resume.
  if (SafePoint()) body_(*this);
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  state_.notify_all();
}

void TThread::Resume() {
  {
    std::lock_guard lock(mutex_);
    suspended_ = false;
  }
  wake_.notify_all();
}

void TThread::Suspend() {
  std::lock_guard lock(mutex_);
  if (!terminated_) suspended_ = true;
}

bool TThread::Suspended() const {
  std::lock_guard lock(mutex_);
  return suspended_;
}

void TThread::Terminate() {
  {
    std::lock_guard lock(mutex_);
    terminated_ = true;
    suspended_ = false;
  }
  wake_.notify_all();
  if (worker_.joinable()) gui_.ReleaseWorker(worker_.get_id());
}

bool TThread::Terminated() const {
  std::lock_guard lock(mutex_);
  return terminated_;
}

void TThread::WaitFor() {
  if (!worker_.joinable()) return;
  const std::thread::id id = worker_.get_id();
  worker_.join();
  gui_.ForgetWorker(id);
}

bool TThread::WaitUntilIdle(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return state_.wait_for(lock, timeout, [&] { return (parked_ && suspended_) || finished_; });
}

bool TThread::SafePoint() {
  std::unique_lock lock(mutex_);
  if (suspended_ && !terminated_) {
    parked_ = true;
    state_.notify_all();
    wake_.wait(lock, [&] { return !suspended_ || terminated_; });
    parked_ = false;
  }
  return !terminated_;
}

bool TThread::Synchronize(const std::function<void()>& step) {
  if (Terminated()) return false;
  // A Terminate from here on releases the call, before or during its wait.
  gui_.CallOnGuiThread(step);
  return !Terminated();
}

}  // namespace qm
