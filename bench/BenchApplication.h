// The one offscreen Qt application that the widget and window benchmarks share.
#pragma once

namespace qm::bench {

// Creates the application on the offscreen platform on first use.
void EnsureApplication();

}  // namespace qm::bench
