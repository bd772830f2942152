// TpmFormatThread and TpmFormatter: how layout catches up with loads and edits in each update mode.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "platform/Thread.h"

namespace qm {

class TPlusMemoU;
class TLayoutEngine;
class TpmFormatter;

// The worker of one editor in background update mode. It never touches the
// editor's data: its loop only hands formatting steps to the GUI thread
// through the dispatcher, one at a time, waiting for each. The GUI thread
// suspends it when no work is left and resumes it after loads and edits.
//
// Ownership replaces self-freeing: the formatter owns the thread through a
// std::unique_ptr, and destroying it stops the loop and joins the worker, so
// no terminate callback is needed to forget it.
class TpmFormatThread {
 public:
  // Created suspended; every step calls formatter.Step() on the GUI thread.
  TpmFormatThread(TpmFormatter& formatter, TGuiDispatcher& gui);
  TpmFormatThread(const TpmFormatThread&) = delete;
  TpmFormatThread& operator=(const TpmFormatThread&) = delete;
  // Stops and joins, also while the worker waits for the GUI thread.
  ~TpmFormatThread();

  // GUI thread only.
  void Resume() { thread_.Resume(); }
  void Suspend() { thread_.Suspend(); }
  bool Suspended() const { return thread_.Suspended(); }
  // Forgets the formatter (a step still on its way does nothing), wakes the
  // worker and asks it to end. The destructor then joins it.
  void Stop();
  bool Stopped() const { return formatter_ == nullptr; }
  // True once the worker is parked after a suspension (or has ended); waits
  // up to `timeout` for that.
  bool WaitUntilIdle(std::chrono::milliseconds timeout) const { return thread_.WaitUntilIdle(timeout); }

 private:
  void Execute(TThread& self);
  // On the GUI thread.
  void Step();

  TpmFormatter* formatter_;  // read and cleared on the GUI thread only
  std::function<void()> step_;
  TThread thread_;  // last: joined before the members above go
};

// The formatting policy of one editor and its layout engine. The editor calls
// Wake() after loads and edits and Stop() before its update mode changes and
// when it goes away:
// - umImmediate: Wake lays everything out at once;
// - umOnNeed: Wake does nothing (painting and navigation lay out what they need);
// - umBackground: Wake resumes the worker, creating it on first use; the
//   worker makes the GUI thread run Step until no work is left. Without a
//   dispatcher (headless hosts) the steps run at once, one after the other.
class TpmFormatter {
 public:
  static constexpr int kSliceMilliseconds = 25;

  TpmFormatter(TPlusMemoU& memo, TLayoutEngine& engine, TGuiDispatcher* gui);
  TpmFormatter(const TpmFormatter&) = delete;
  TpmFormatter& operator=(const TpmFormatter&) = delete;
  ~TpmFormatter();

  void Wake();
  // Ends and joins the worker, if any. Safe inside a step (from an event
  // handler the step fires): the step's remaining work is skipped.
  void Stop();
  // One formatting step on the GUI thread: lays out pending paragraphs for
  // about SliceMilliseconds; true while work remains. While updates are
  // locked it does nothing and reports work left. When the work is done it
  // suspends the worker. Fires OnProgress at most every ProgressInterval ms
  // and once when the work is done.
  bool Step();

  // The worker, or nullptr before the first Wake in umBackground and after Stop.
  TpmFormatThread* Thread() const { return thread_.get(); }

  // How long one step lays out; the tests shorten it to one paragraph a step.
  int SliceMilliseconds = kSliceMilliseconds;

 private:
  TPlusMemoU& memo_;
  TLayoutEngine& engine_;
  TGuiDispatcher* gui_;
  std::chrono::steady_clock::time_point lastProgress_;
  std::unique_ptr<TpmFormatThread> thread_;
};

}  // namespace qm
