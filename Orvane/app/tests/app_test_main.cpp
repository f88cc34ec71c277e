// The application's tests run offscreen in one Qt application, with a
// private settings folder and a private runtime folder (for the instance
// lock), so no user's settings are read or changed.
#include <gtest/gtest.h>

#include <QApplication>

#include <filesystem>

#include "platform/tests/environment_override.h"
#include "platform/tests/scratch_folder.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  velix::platform::testing::ScratchFolder folder;
  // QSettings takes its folder from the environment once, before its first
  // use, so this must come first.
  velix::platform::testing::EnvironmentOverride config("XDG_CONFIG_HOME", folder.File("config"));
  velix::platform::testing::EnvironmentOverride runtime("VELIX_RUNTIME_DIR", folder.File("run"));
  int result = 0;
  {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  return result;
}
