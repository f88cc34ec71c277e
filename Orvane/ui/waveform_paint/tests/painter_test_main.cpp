// The canvas tests paint offscreen in one Qt application.
#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
  // Tests and their discovery run without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
