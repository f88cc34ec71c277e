// The application (QSettings) and the command-line tools (IniSettingsStore)
// share one settings file.
#include "Orvane/app/qt_settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "Orvane/app/recent_files.h"
#include "Orvane/capture/app_state.h"
#include "platform/settings_store.h"
#include "platform/tests/scratch_folder.h"
#include "platform/trace.h"

namespace orvane {
namespace {

using velix::platform::DefaultSettingsPath;
using velix::platform::IniSettingsStore;

class QtSettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove(path); }
  void TearDown() override { std::filesystem::remove(path); }

  const std::string path = DefaultSettingsPath("Orvane");
};

TEST_F(QtSettingsStoreTest, IsTheFileTheToolsRead) {
  EXPECT_EQ(QtSettingsStore().FileName().toStdString(), path);
  EXPECT_EQ(path, std::string(getenv("XDG_CONFIG_HOME")) + "/TORVEL Systems/Orvane.ini");
}

TEST_F(QtSettingsStoreTest, AnEmptyFileGivesTheDefaults) {
  velix::platform::testing::WriteFile(path, "");
  AppState app;
  app.lock_memory = 0;
  app.analyzer_bulk_len = 1;
  LoadAppSettings(QtSettingsStore(), app);
  EXPECT_EQ(app.sleep, 0u);
  EXPECT_EQ(app.no_wait, 0u);
  EXPECT_EQ(app.priority, 0);
  EXPECT_EQ(app.lock_memory, 1u);
  EXPECT_EQ(app.analyzer_bulk_len, 131072u);
  EXPECT_EQ(app.monitor_i2c_bulk_len, 4096u);
  EXPECT_EQ(app.monitor_spi_bulk_len, 8192u);
  EXPECT_FALSE(velix::platform::DebugMessages());
}

TEST_F(QtSettingsStoreTest, ValuesWrittenByTheToolsAreReadByTheApplication) {
  {
    IniSettingsStore tools(path);
    ASSERT_TRUE(tools.SetInt("Setting", "NoWait", 1));
    ASSERT_TRUE(tools.SetString("Setting", "ANALYZER_BULK_Len", "0x10000"));
    ASSERT_TRUE(tools.SetString("Setting", "MONITOR_SPI_BULK_Len", "010000"));
    ASSERT_TRUE(tools.SetString("Setting", "Priority", "high"));
    ASSERT_TRUE(tools.SetInt("Setting", "DebugMessage", 1));
  }
  AppState app;
  LoadAppSettings(QtSettingsStore(), app);
  EXPECT_EQ(app.no_wait, 1u);
  EXPECT_EQ(app.analyzer_bulk_len, 0x10000u);
  EXPECT_EQ(app.monitor_spi_bulk_len, 010000u);
  EXPECT_EQ(app.priority, 0);  // not a number: the default
  EXPECT_TRUE(velix::platform::DebugMessages());
  velix::platform::SetDebugMessages(false);
}

TEST_F(QtSettingsStoreTest, LockMemoryWrittenBackByTheApplicationIsReadByTheTools) {
  {
    IniSettingsStore tools(path);
    ASSERT_TRUE(tools.SetInt("Setting", "Sleep", 1));
  }
  QtSettingsStore application;
  ASSERT_TRUE(application.SetInt("Setting", "LockMemory", 0));
  ASSERT_TRUE(application.SetString("Setting", "Note", "two words"));
  IniSettingsStore tools(path);
  EXPECT_EQ(tools.GetInt("Setting", "LockMemory", 1), 0u);
  EXPECT_EQ(tools.GetInt("Setting", "Sleep", 0), 1u);
  EXPECT_EQ(tools.GetString("Setting", "Note", ""), "two words");
  AppState app;
  LoadAppSettings(tools, app);
  EXPECT_EQ(app.lock_memory, 0u);
  EXPECT_EQ(app.sleep, 1u);
}

TEST_F(QtSettingsStoreTest, TheApplicationsOwnGroupsSurviveAToolsWrite) {
  RecentFiles recent;
  recent.Add("/captures/a,b.SIC");
  recent.Add("/captures/second.SIC");
  {
    QtSettingsStore application;
    ASSERT_TRUE(recent.Save(application));
  }
  {
    IniSettingsStore tools(path);
    ASSERT_TRUE(tools.SetInt("Setting", "NoWait", 1));
  }
  RecentFiles loaded;
  QtSettingsStore application;
  loaded.Load(application);
  EXPECT_EQ(loaded.Entries(), recent.Entries());
  EXPECT_EQ(application.GetInt("Setting", "NoWait", 0), 1u);
}

TEST_F(QtSettingsStoreTest, AFileThatCannotBeWrittenFailsTheSet) {
  std::filesystem::create_directories(path);  // a folder where the file should be
  QtSettingsStore application;
  EXPECT_FALSE(application.SetInt("Setting", "LockMemory", 0));
  std::filesystem::remove(path);
  // Once the file can be written again, so can the next value.
  EXPECT_TRUE(application.SetInt("Setting", "LockMemory", 0));
  EXPECT_EQ(IniSettingsStore(path).GetInt("Setting", "LockMemory", 1), 0u);
}

}  // namespace
}  // namespace orvane
