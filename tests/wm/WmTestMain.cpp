// Entry point of the tests under a window manager: the application set up as the program's own, on the X display.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/ApplicationSetup.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  qm::SetUpApplication(app);
  return RUN_ALL_TESTS();
}
