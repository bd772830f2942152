// The Qt dispatcher: a queued call per step wakes the event loop to run it.
#include "qt/QtDispatcher.h"

#include <QMetaObject>

namespace qm {

TQtDispatcher::TQtDispatcher() {
  OnQueued = [this] {
    QMetaObject::invokeMethod(
        &context_, [this] { RunPending(); }, Qt::QueuedConnection);
  };
}

}  // namespace qm
