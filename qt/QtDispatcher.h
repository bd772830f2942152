// TQtDispatcher: runs the editor's background formatting steps on the Qt GUI thread.
#pragma once

#include <QObject>

#include "platform/Thread.h"

namespace qm {

// A worker's step is queued and a queued call wakes the Qt event loop,
// which runs the pending steps. Steps queued when the dispatcher goes are
// released with their workers, which the owner joins first.
class TQtDispatcher : public TManualDispatcher {
 public:
  TQtDispatcher();

 private:
  // Lives on the GUI thread: a call queued to it runs there, and is dropped
  // when it is destroyed.
  QObject context_;
};

}  // namespace qm
