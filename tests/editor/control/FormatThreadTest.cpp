// Tests of background formatting: the worker thread, the GUI dispatcher and the formatting policy per update mode.
#include "editor/control/FormatThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "HighlightUtil.h"
#include "TestUtil.h"
#include "editor/control/Layout.h"
#include "editor/control/PlusMemoU.h"
#include "editor/highlight/Scan.h"
#include "editor/store/StoreCheck.h"
#include "platform/Surface.h"
#include "platform/Thread.h"

namespace qm {
namespace {

using namespace std::chrono_literals;

// Every wait of these tests is bounded by this; a bug fails instead of hanging.
constexpr std::chrono::milliseconds kWait = 20s;

// Aborts the test program when a scope that may block (a join, a stop) has
// not been left in time: a deadlock then fails loudly instead of hanging.
class Watchdog {
 public:
  Watchdog(std::chrono::seconds limit, const char* what)
      : thread_([this, limit, what] {
          std::unique_lock lock(mutex_);
          if (!done_cv_.wait_for(lock, limit, [this] { return done_; })) {
            std::fprintf(stderr, "deadlock: %s did not finish in time\n", what);
            std::abort();
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;
  std::thread thread_;  // last: it uses the members above
};

// Fixed pitch that notes whether any text was measured off the GUI thread:
// layout must only ever run there.
class GuiOnlyMeasurer : public TFixedPitchMeasurer {
 public:
  int TextWidth(const TFontSpec& font, std::u16string_view text) override {
    if (std::this_thread::get_id() != gui_) offGuiThread = true;
    measured = true;
    return TFixedPitchMeasurer::TextWidth(font, text);
  }
  std::atomic<bool> offGuiThread = false;
  std::atomic<bool> measured = false;

 private:
  std::thread::id gui_ = std::this_thread::get_id();
};

// n paragraphs of script without a block end, so that an opened block runs to the end.
std::u16string Script(int n) {
  std::u16string text;
  for (int i = 0; i < n; ++i) {
    if (i > 0) text += u"\r\n";
    text += u"set x" + test::U(std::to_string(i % 97)) + u" to " + test::U(std::to_string(i)) + u" ; note";
  }
  return text;
}

class Format : public ::testing::Test {
 protected:
  // First in, last out: it also guards the joins of the destructors below.
  Watchdog watchdog{120s, "the test"};
  TManualDispatcher gui;
  TPlusMemoU memo;
  GuiOnlyMeasurer measurer;
  std::unique_ptr<TLayoutEngine> engine;
  std::unique_ptr<TpmFormatter> formatter;
  TParagraphsList& list = memo.Paragraphs();

  void SetUp() override { Make(); }
  // The engine reads the memo's settings when made: configure the memo first.
  void Make(TGuiDispatcher* dispatcher = nullptr, bool useDispatcher = true) {
    formatter.reset();
    engine = std::make_unique<TLayoutEngine>(memo, measurer);
    formatter =
        std::make_unique<TpmFormatter>(memo, *engine, useDispatcher ? (dispatcher ? dispatcher : &gui) : nullptr);
  }
  void TearDown() override { formatter.reset(); }

  bool Pending() const { return list.FormatLast >= list.FormattedCount && list.FormattedCount < list.Count; }
  int LaidOut() const {
    int n = 0;
    for (int p = 0; p < list.Count; ++p) n += (list.Flags(p) & pfLaidOut) ? 1 : 0;
    return n;
  }

  // Plays the GUI thread until the worker has parked with the work done.
  // FormattedCount never goes back while nothing edits the text.
  ::testing::AssertionResult PumpUntilDone() {
    int last = list.FormattedCount;
    for (int step = 0;; ++step) {
      if (step > 10 * list.Count + 10) return ::testing::AssertionFailure() << "the work does not end";
      if (!gui.WaitForPending(kWait)) return ::testing::AssertionFailure() << "no step arrived at step " << step;
      gui.RunPending();
      if (list.FormattedCount < last)
        return ::testing::AssertionFailure()
               << "FormattedCount went back from " << last << " to " << list.FormattedCount;
      last = list.FormattedCount;
      if (formatter->Thread() == nullptr) return ::testing::AssertionFailure() << "the worker went away";
      if (formatter->Thread()->Suspended()) break;
    }
    if (!formatter->Thread()->WaitUntilIdle(kWait)) return ::testing::AssertionFailure() << "the worker did not park";
    if (gui.PendingCount() != 0) return ::testing::AssertionFailure() << "a suspended worker asked for another step";
    return ::testing::AssertionSuccess();
  }
};

TEST_F(Format, BackgroundLaysOutALongTextInSlicesOnTheGuiThread) {
  test::LoadText(memo, Script(20000));
  ASSERT_EQ(list.Count, 20000);
  ASSERT_TRUE(Pending());
  int progress = 0;
  memo.ProgressInterval = UINT_MAX;  // only the call at the end remains
  memo.OnProgress = [&](TComponent* sender) {
    EXPECT_EQ(sender, &memo);
    EXPECT_EQ(list.FormatLast, -1) << "the last call comes with the work done";
    ++progress;
  };

  formatter->Wake();
  ASSERT_NE(formatter->Thread(), nullptr) << "created on first use";
  ASSERT_TRUE(gui.WaitForPending(kWait)) << "the resumed worker hands the first step over";
  EXPECT_EQ(list.FormattedCount, 0) << "the worker only asks; the GUI thread has not run the step yet";
  EXPECT_EQ(LaidOut(), 0);

  ASSERT_TRUE(PumpUntilDone());
  EXPECT_EQ(list.FormattedCount, 20000);
  EXPECT_EQ(list.FormatLast, -1);
  EXPECT_EQ(LaidOut(), 20000);
  EXPECT_TRUE(formatter->Thread()->Suspended());
  EXPECT_EQ(progress, 1) << "once at the end";
  EXPECT_TRUE(measurer.measured);
  EXPECT_FALSE(measurer.offGuiThread) << "layout ran on the worker thread";
  VerifyStore(list, "formatted in the background");

  // A suspended worker stays quiet.
  EXPECT_FALSE(gui.WaitForPending(50ms));
}

TEST_F(Format, EachStepIsOneSliceAndTheWorkerWaitsForIt) {
  test::LoadText(memo, Script(10));
  formatter->SliceMilliseconds = 0;  // a slice still lays out one paragraph
  formatter->Wake();
  for (int k = 1; k < 10; ++k) {
    ASSERT_TRUE(gui.WaitForPending(kWait)) << k;
    EXPECT_EQ(gui.PendingCount(), 1u) << "one step at a time";
    EXPECT_EQ(gui.RunPending(), 1u);
    EXPECT_EQ(list.FormattedCount, k);
    EXPECT_EQ(list.FormatLast, 9);
    EXPECT_FALSE(formatter->Thread()->Suspended()) << k;
  }
  ASSERT_TRUE(PumpUntilDone());
  EXPECT_EQ(list.FormattedCount, 10);
  EXPECT_EQ(list.FormatLast, -1);
}

TEST_F(Format, AnEditThenWakeFormatsAgain) {
  auto chain = test::MainChain();
  test::ConfigureScriptEditor(memo, *chain);
  Make();
  test::LoadText(memo, Script(2000));
  formatter->Wake();
  ASSERT_TRUE(PumpUntilDone());
  ASSERT_EQ(list.FormatLast, -1);
  EXPECT_EQ(list.StartStyle(1999).ContextNum, 0);

  // Opening a block with no end hands a new start style on, paragraph by
  // paragraph, down to the end of the text: new work for the worker.
  memo.ReplaceRange(0, 0, u"BEGIN ");
  ASSERT_TRUE(Pending()) << "the edit left paragraphs to lay out";
  EXPECT_FALSE(gui.WaitForPending(50ms)) << "a suspended worker waits for Wake";
  formatter->Wake();
  ASSERT_TRUE(PumpUntilDone());
  EXPECT_EQ(list.FormattedCount, 2000);
  EXPECT_EQ(list.FormatLast, -1);
  EXPECT_EQ(LaidOut(), 2000);
  EXPECT_EQ(list.StartStyle(1999).ContextNum, 99) << "the block reaches the last paragraph";
  VerifyStore(list, "formatted again after the edit");

  TPlusMemoU fresh;
  test::ConfigureScriptEditor(fresh, *chain);
  test::LoadText(fresh, memo.Text());
  scan::HighlightAll(fresh);
  EXPECT_EQ(test::DumpAll(list), test::DumpAll(fresh.Paragraphs())) << "the same runs as a highlight from scratch";
  formatter.reset();  // before the chain goes
}

TEST_F(Format, LockedUpdatesLeaveTheWorkWaiting) {
  test::LoadText(memo, Script(50));
  memo.BeginUpdate();
  formatter->Wake();
  for (int k = 0; k < 3; ++k) {
    ASSERT_TRUE(gui.WaitForPending(kWait));
    gui.RunPending();
    EXPECT_EQ(list.FormattedCount, 0) << k;
    EXPECT_FALSE(formatter->Thread()->Suspended()) << "the worker keeps asking while the work waits";
  }
  memo.EndUpdate();
  ASSERT_TRUE(PumpUntilDone());
  EXPECT_EQ(LaidOut(), 50);
  EXPECT_EQ(list.FormatLast, -1);
}

TEST_F(Format, ImmediateLaysOutAtOnce) {
  memo.SetUpdateMode(umImmediate);
  test::LoadText(memo, Script(20000));
  formatter->Wake();
  EXPECT_EQ(list.FormattedCount, 20000);
  EXPECT_EQ(list.FormatLast, -1);
  EXPECT_EQ(LaidOut(), 20000);
  EXPECT_EQ(formatter->Thread(), nullptr) << "no worker in this mode";
  EXPECT_EQ(gui.PendingCount(), 0u);

  // While updates are locked the text may be half edited: nothing is laid out.
  test::LoadText(memo, Script(30));
  memo.BeginUpdate();
  formatter->Wake();
  EXPECT_EQ(LaidOut(), 0);
  memo.EndUpdate();
  formatter->Wake();
  EXPECT_EQ(LaidOut(), 30);
  EXPECT_EQ(list.FormatLast, -1);
}

TEST_F(Format, SwitchingToImmediateInTheMiddleStopsTheWorkerAndFinishes) {
  test::LoadText(memo, Script(100));
  formatter->SliceMilliseconds = 0;
  formatter->Wake();
  ASSERT_TRUE(gui.WaitForPending(kWait));
  gui.RunPending();
  ASSERT_EQ(list.FormattedCount, 1);

  formatter->Stop();  // before the mode changes, as the editor does
  memo.SetUpdateMode(umImmediate);
  formatter->Wake();
  EXPECT_EQ(formatter->Thread(), nullptr);
  EXPECT_EQ(LaidOut(), 100);
  EXPECT_EQ(list.FormatLast, -1);
  EXPECT_EQ(gui.PendingCount(), 0u) << "the stopped worker left nothing behind";
}

TEST_F(Format, OnNeedLeavesParagraphsUnlaid) {
  memo.SetUpdateMode(umOnNeed);
  test::LoadText(memo, Script(500));
  formatter->Wake();
  EXPECT_EQ(LaidOut(), 0);
  EXPECT_EQ(list.FormattedCount, 0);
  EXPECT_EQ(list.FormatLast, 499);
  EXPECT_EQ(formatter->Thread(), nullptr);
  EXPECT_FALSE(gui.WaitForPending(50ms));
  // What needs a paragraph lays it out.
  engine->LayOutUpTo(10);
  EXPECT_GT(LaidOut(), 0);
  EXPECT_LT(LaidOut(), 500);
}

TEST_F(Format, StopReleasesAWorkerWaitingForTheGuiThread) {
  test::LoadText(memo, Script(100));
  formatter->Wake();
  ASSERT_TRUE(gui.WaitForPending(kWait)) << "the worker now waits inside CallOnGuiThread";
  {
    Watchdog stop(30s, "Stop() of a worker waiting for the GUI thread");
    formatter->Stop();
  }
  EXPECT_EQ(formatter->Thread(), nullptr);
  EXPECT_EQ(gui.PendingCount(), 0u) << "the released step was dropped";
  EXPECT_EQ(gui.RunPending(), 0u);
  EXPECT_EQ(list.FormattedCount, 0) << "the step never ran";

  // A new Wake makes a new worker.
  formatter->Wake();
  ASSERT_TRUE(PumpUntilDone());
  EXPECT_EQ(LaidOut(), 100);
}

TEST_F(Format, StopOfASuspendedWorkerAndOfANeverResumedOne) {
  test::LoadText(memo, Script(20));
  formatter->Wake();
  ASSERT_TRUE(PumpUntilDone());
  {
    Watchdog stop(30s, "Stop() of a suspended worker");
    formatter->Stop();
  }
  EXPECT_EQ(formatter->Thread(), nullptr);
  EXPECT_FALSE(gui.WaitForPending(50ms)) << "it sends no further step";

  TpmFormatter other(memo, *engine, &gui);
  TpmFormatThread never(other, gui);
  EXPECT_TRUE(never.Suspended()) << "created suspended";
  EXPECT_TRUE(never.WaitUntilIdle(kWait));
  EXPECT_EQ(gui.PendingCount(), 0u);
  never.Stop();
  EXPECT_TRUE(never.Stopped());
}

TEST_F(Format, StopFromInsideAStepDoesNotWaitForItself) {
  test::LoadText(memo, Script(3));
  int progress = 0;
  memo.ProgressInterval = UINT_MAX;  // only the call at the end, inside the last step
  memo.OnProgress = [&](TComponent*) {
    ++progress;
    // The worker waits for this very step; stopping must not wait for it.
    memo.SetUpdateMode(umOnNeed);
    formatter->Stop();
  };
  formatter->Wake();
  ASSERT_TRUE(gui.WaitForPending(kWait));
  {
    Watchdog step(30s, "a step that stops its own worker");
    while (formatter->Thread() != nullptr) {
      ASSERT_TRUE(gui.WaitForPending(kWait));
      gui.RunPending();
    }
  }
  EXPECT_EQ(progress, 1);
  EXPECT_EQ(list.FormatLast, -1);
  EXPECT_EQ(gui.PendingCount(), 0u);
}

TEST_F(Format, WithoutADispatcherTheStepsRunAtOnce) {
  Make(nullptr, false);
  test::LoadText(memo, Script(300));
  int progress = 0;
  memo.ProgressInterval = UINT_MAX;
  memo.OnProgress = [&](TComponent*) { ++progress; };
  formatter->Wake();
  EXPECT_EQ(LaidOut(), 300);
  EXPECT_EQ(list.FormatLast, -1);
  EXPECT_EQ(formatter->Thread(), nullptr);
  EXPECT_EQ(progress, 1);
}

// --- The platform thread and dispatcher underneath ---

TEST(FormatDispatcher, SynchronizeRunsTheStepOnTheGuiThreadAndWaits) {
  Watchdog watchdog(60s, "the test");
  TManualDispatcher gui;
  std::atomic<int> bodyRuns = 0;
  std::vector<std::thread::id> ranOn;
  std::atomic<bool> returned = false;
  TThread thread(
      gui,
      [&](TThread& self) {
        ++bodyRuns;
        self.Synchronize([&] { ranOn.push_back(std::this_thread::get_id()); });
        returned = true;
        while (self.SafePoint()) self.Synchronize([] {});
      },
      true);
  EXPECT_TRUE(thread.WaitUntilIdle(kWait)) << "created suspended, it parks";
  EXPECT_EQ(bodyRuns, 0);
  thread.Resume();
  ASSERT_TRUE(gui.WaitForPending(kWait));
  EXPECT_FALSE(returned) << "the worker waits for its step";
  EXPECT_EQ(gui.RunPending(), 1u);
  ASSERT_EQ(ranOn.size(), 1u);
  EXPECT_EQ(ranOn[0], std::this_thread::get_id());

  thread.Suspend();
  // One more step may be on its way before the worker reaches its safe point.
  for (int i = 0; !thread.WaitUntilIdle(10ms); ++i) {
    ASSERT_LT(i, 2000) << "the worker did not park";
    gui.RunPending();
  }
  EXPECT_TRUE(returned);
  EXPECT_TRUE(thread.Suspended());
  gui.RunPending();
  EXPECT_EQ(gui.PendingCount(), 0u);
  thread.Terminate();
  thread.WaitFor();
  EXPECT_TRUE(thread.Terminated());
  EXPECT_TRUE(thread.WaitUntilIdle(kWait)) << "finished";
}

TEST(FormatDispatcher, AStepThatThrowsStillLetsItsWorkerGoOn) {
  Watchdog watchdog(60s, "the test");
  TManualDispatcher gui;
  std::atomic<int> calls = 0;
  TThread thread(
      gui,
      [&](TThread& self) {
        self.Synchronize([] { throw std::runtime_error("step failed"); });
        ++calls;
        self.Synchronize([&] { ++calls; });
      },
      false);
  ASSERT_TRUE(gui.WaitForPending(kWait));
  EXPECT_THROW(gui.RunPending(), std::runtime_error);
  ASSERT_TRUE(gui.WaitForPending(kWait));
  EXPECT_EQ(gui.RunPending(), 1u);
  thread.WaitFor();
  EXPECT_EQ(calls, 2);
}

TEST(FormatDispatcher, AReleasedWorkerIsNotServedUntilForgotten) {
  Watchdog watchdog(60s, "the test");
  TManualDispatcher gui;
  bool ran = false;
  std::thread worker([&] { gui.CallOnGuiThread([&] { ran = true; }); });
  ASSERT_TRUE(gui.WaitForPending(kWait));
  gui.ReleaseWorker(worker.get_id());
  const std::thread::id id = worker.get_id();
  worker.join();  // released: returns without its step
  EXPECT_EQ(gui.PendingCount(), 0u);
  EXPECT_FALSE(ran);
  gui.ForgetWorker(id);

  // Calls from the GUI thread itself run at once.
  bool here = false;
  gui.CallOnGuiThread([&] { here = true; });
  EXPECT_TRUE(here);
}

}  // namespace
}  // namespace qm
