// Entry point of the application tests: one application set up as the program sets up its own, offscreen unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/ApplicationSetup.h"

int main(int argc, char** argv) {
  // The tests never need a display; test discovery runs this program without ctest's environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  qm::SetUpApplication(app);
  return RUN_ALL_TESTS();
}
