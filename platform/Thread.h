// Worker threads with suspend/resume/terminate and a synchronous call onto the GUI thread, plus a queue-based dispatcher.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace qm {

// Runs steps on the GUI thread for worker threads. A host implements it once
// for its event loop; the engine only ever hands it short steps.
class TGuiDispatcher {
 public:
  virtual ~TGuiDispatcher() = default;
  // Called on a worker thread: runs step on the GUI thread and returns once it
  // has run, or earlier when the worker has been released (ReleaseWorker); a
  // released worker's step that has not started never runs.
  virtual void CallOnGuiThread(const std::function<void()>& step) = 0;
  // Called on the GUI thread: from now on the calls of thread `worker` return
  // at once without running their steps, including a call already waiting.
  // This is what lets the GUI thread join a worker that waits for it.
  virtual void ReleaseWorker(std::thread::id worker) = 0;
  // Called after `worker` was joined: forgets it, since thread ids are reused.
  virtual void ForgetWorker(std::thread::id worker) = 0;
};

// A dispatcher whose GUI thread runs the queued steps when it calls
// RunPending. Headless hosts and tests pump it by hand; a toolkit host sets
// OnQueued to post a wake-up that makes its event loop call RunPending.
// The thread that creates it is its GUI thread: calls from that thread run
// their step at once instead of waiting for themselves.
class TManualDispatcher : public TGuiDispatcher {
 public:
  TManualDispatcher();
  TManualDispatcher(const TManualDispatcher&) = delete;
  TManualDispatcher& operator=(const TManualDispatcher&) = delete;
  ~TManualDispatcher() override;

  void CallOnGuiThread(const std::function<void()>& step) override;
  void ReleaseWorker(std::thread::id worker) override;
  void ForgetWorker(std::thread::id worker) override;

  // Runs, on the calling thread and in order, the steps that were queued when
  // it was called (not those queued meanwhile, so that a busy worker cannot
  // keep it here); returns how many ran. An exception of a step propagates
  // after its worker was let go; the later steps stay queued.
  size_t RunPending();
  // Waits up to `timeout` for a step to be queued; true when one is.
  bool WaitForPending(std::chrono::milliseconds timeout);
  size_t PendingCount() const;

  // Called on the worker thread, without locks held, after a step was queued.
  std::function<void()> OnQueued;

 private:
  struct Call;
  mutable std::mutex mutex_;
  std::condition_variable queued_;  // a step was queued
  std::condition_variable done_;    // a step ran, or workers were released
  std::deque<std::shared_ptr<Call>> queue_;
  std::set<std::thread::id> released_;
  std::thread::id guiThread_;
};

// A worker thread running a body that cooperates: it calls SafePoint between
// units of work (where a suspended thread parks and a terminated one learns
// to stop) and Synchronize to run steps on the GUI thread. Suspend, Resume and
// Terminate are meant for the GUI thread; they take effect at the next safe
// point, which is what makes suspension safe (the worker never stops inside a
// GUI call or while holding a lock).
class TThread {
 public:
  using TBody = std::function<void(TThread&)>;

  // The body starts on a new thread, at once or (createSuspended) at the
  // first Resume. An owner whose members the body uses must declare its
  // TThread after them, so that the thread is joined before they go.
  TThread(TGuiDispatcher& gui, TBody body, bool createSuspended);
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;
  // Terminates and joins. Must not run on the worker thread itself.
  ~TThread();

  void Resume();
  // Asks the worker to park at its next safe point.
  void Suspend();
  bool Suspended() const;
  // Asks the worker to stop: wakes it if parked and releases a call it has
  // waiting on the GUI thread. Cannot be undone.
  void Terminate();
  bool Terminated() const;
  // Joins the worker (Terminate first unless the body ends by itself).
  void WaitFor();
  // True once the worker is parked at a safe point or has finished; waits up
  // to `timeout` for that.
  bool WaitUntilIdle(std::chrono::milliseconds timeout) const;
  std::thread::id Id() const { return worker_.get_id(); }

  // --- For the body, on the worker thread ---
  // Parks while suspended; false once terminated.
  bool SafePoint();
  // Runs step on the GUI thread and waits for it; false (the step may not
  // have run) once terminated.
  bool Synchronize(const std::function<void()>& step);

 private:
  void Run();

  TGuiDispatcher& gui_;
  TBody body_;
  mutable std::mutex mutex_;
  mutable std::condition_variable wake_;   // the worker waits here while suspended
  mutable std::condition_variable state_;  // parked / finished changes
  bool suspended_;
  bool terminated_ = false;
  bool parked_ = false;
  bool finished_ = false;
  std::thread worker_;  // last: started when everything above exists
};

}  // namespace qm
