// Hint1: turns every hint of the application into a balloon without header or icon.
#pragma once

class QWidget;

namespace qm {

// Styles the application's tool tips as balloons and lets owner's tool bar
// and item list show theirs; owned by owner.
void InstallBalloonHints(QWidget* owner);

}  // namespace qm
