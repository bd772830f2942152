// Creates the benchmarks' Qt application once, offscreen unless the environment says otherwise.
#include "bench/BenchApplication.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdlib>

namespace qm::bench {

void EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "quillmark-bench";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

}  // namespace qm::bench
