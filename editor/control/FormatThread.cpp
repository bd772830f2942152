// The background formatting worker and the per-mode formatting policy of an editor.
#include "editor/control/FormatThread.h"

#include "editor/control/Layout.h"
#include "editor/control/PlusMemoU.h"

namespace qm {

TpmFormatThread::TpmFormatThread(TpmFormatter& formatter, TGuiDispatcher& gui)
    : formatter_(&formatter),
      step_([this] { Step(); }),
      thread_(
          gui, [this](TThread& self) { Execute(self); }, true) {}

TpmFormatThread::~TpmFormatThread() {
  Stop();
  thread_.WaitFor();
}

void TpmFormatThread::Stop() {
  formatter_ = nullptr;
  // Terminate also wakes a parked worker and releases a step waiting for the
  // GUI thread; the caller is the GUI thread, so waiting would never end.
  thread_.Terminate();
}

void TpmFormatThread::Execute(TThread& self) {
  // The safe point is where a suspension asked for inside a step takes hold.
  while (self.SafePoint()) self.Synchronize(step_);
}

void TpmFormatThread::Step() {
  // A step queued before Stop may still arrive: it finds no formatter.
  if (formatter_ == nullptr) return;
  // Nothing may follow: the formatter may destroy this thread inside its step.
  formatter_->Step();
}

TpmFormatter::TpmFormatter(TPlusMemoU& memo, TLayoutEngine& engine, TGuiDispatcher* gui)
    : memo_(memo), engine_(engine), gui_(gui), lastProgress_(std::chrono::steady_clock::now()) {}

TpmFormatter::~TpmFormatter() { Stop(); }

void TpmFormatter::Wake() {
  switch (memo_.UpdateMode()) {
    case umImmediate:
      // A worker left from another mode must not format behind our back.
      Stop();
      // Inside BeginUpdate … EndUpdate the text may be half edited; the
      // editor wakes us again once the lock is gone.
      if (memo_.UpdateCount == 0) engine_.LayOutAll();
      break;
    case umOnNeed: Stop(); break;
    case umBackground:
      if (gui_ == nullptr) {
        // Checking the lock each time keeps a handler that locks updates
        // from holding us here.
        while (memo_.UpdateCount == 0 && Step()) {
        }
        break;
      }
      if (!thread_) thread_ = std::make_unique<TpmFormatThread>(*this, *gui_);
      thread_->Resume();
      break;
  }
}

void TpmFormatter::Stop() {
  if (!thread_) return;
  // Emptied before the join, so that the formatter never points at a dying thread.
  std::unique_ptr<TpmFormatThread> thread = std::move(thread_);
  thread->Stop();
  thread.reset();
}

bool TpmFormatter::Step() {
  if (memo_.UpdateCount > 0) return true;
  const TParagraphsList& list = memo_.Paragraphs();
  const bool hadWork = list.FormatLast >= list.FormattedCount && list.FormattedCount < list.Count;
  // Also settles the counters when there was nothing to do.
  const bool more = engine_.FormatSlice(SliceMilliseconds);
  // The line count and the widest line grow as lines are laid out.
  if (memo_.Host() != nullptr && memo_.Layout() == &engine_) memo_.Host()->ScrollBarsChanged();
  // Layout fires events, whose handlers may have stopped the worker.
  if (!more && thread_) thread_->Suspend();
  if (hadWork && memo_.OnProgress) {
    const auto now = std::chrono::steady_clock::now();
    if (!more || now - lastProgress_ > std::chrono::milliseconds(memo_.ProgressInterval)) {
      lastProgress_ = now;
      memo_.OnProgress(&memo_);
    }
  }
  return more;
}

}  // namespace qm
