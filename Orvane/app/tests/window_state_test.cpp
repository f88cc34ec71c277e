// The main window's layout kept in the settings file.
#include "Orvane/app/window_state.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QSettings>

#include <filesystem>

#include "Orvane/app/qt_settings_store.h"
#include "platform/settings_store.h"

namespace orvane {
namespace {

TEST(WindowState, SavedInTheSettingsFileAndRestored) {
  const std::string path = velix::platform::DefaultSettingsPath("Orvane");
  std::filesystem::remove(path);
  QtSettingsStore store;
  QMainWindow window;
  EXPECT_FALSE(RestoreWindowState(store, window));

  window.setGeometry(40, 50, 640, 480);
  EXPECT_TRUE(SaveWindowState(store, window));
  EXPECT_TRUE(QSettings(store.FileName(), QSettings::IniFormat).contains(QStringLiteral("Workspace/Geometry")));

  QtSettingsStore reopened;
  QMainWindow restored;
  EXPECT_TRUE(RestoreWindowState(reopened, restored));
  EXPECT_EQ(restored.size(), QSize(640, 480));

  // A damaged value leaves the window as it is.
  reopened.OpenSettings()->setValue(QStringLiteral("Workspace/Geometry"), QByteArray("junk"));
  reopened.OpenSettings()->setValue(QStringLiteral("Workspace/State"), QByteArray("junk"));
  QMainWindow untouched;
  untouched.resize(300, 200);
  EXPECT_FALSE(RestoreWindowState(reopened, untouched));
  EXPECT_EQ(untouched.size(), QSize(300, 200));
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace orvane
