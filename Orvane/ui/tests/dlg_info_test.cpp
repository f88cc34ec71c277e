// The Information dialog offscreen: without a device, and over a real
// velixd with its simulated analyzer that is unplugged and plugged again.
#include "Orvane/ui/dlg_info.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <memory>

#include "driver/daemon/tests/daemon_process.h"
#include "platform/tests/environment_override.h"
#include "platform/tests/scratch_folder.h"
#include "velix_version.h"

namespace orvane {
namespace {

using velix::daemon::testing::DaemonProcess;
using velix::platform::testing::EnvironmentOverride;
using velix::platform::testing::ScratchFolder;

constexpr const char* kScenario = "bus i2c0\nstart\naddr 0x50 w\nstop\n";

class DlgInfoTest : public ::testing::Test {
 protected:
  DlgInfoTest() { app.temp_folder = "/tmp/orvane-info/"; }

  std::unique_ptr<DlgInfo> Open() {
    auto dialog = std::make_unique<DlgInfo>(app, client, [this] { return live_buffer_mb; });
    dialog->show();
    return dialog;
  }
  template <typename Widget>
  static Widget* Find(const DlgInfo& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  static QString Field(const DlgInfo& dialog, const char* name) { return Find<QLineEdit>(dialog, name)->text(); }
  static QString Label(const DlgInfo& dialog, const char* name) { return Find<QLabel>(dialog, name)->text(); }
  static bool VersionsEnabled(const DlgInfo& dialog) {
    return Find<QLineEdit>(dialog, "firmwareVersion")->isEnabled() &&
           Find<QLineEdit>(dialog, "cpldVersion")->isEnabled() &&
           Find<QLineEdit>(dialog, "driverVersion")->isEnabled();
  }

  AppState app;
  DriverClient client;
  std::optional<uint32_t> live_buffer_mb;
};

TEST_F(DlgInfoTest, WithoutADeviceItSaysNotConnect) {
  ScratchFolder empty_runtime;
  EnvironmentOverride runtime("VELIX_RUNTIME_DIR", empty_runtime.Path());
  const auto dialog = Open();
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Information"));
  EXPECT_EQ(Field(*dialog, "temporaryPath"), QStringLiteral("/tmp/orvane-info/"));
  EXPECT_EQ(Field(*dialog, "softwareVersion"), QString::fromLatin1(velix::kVelixVersion));
  // The first poll comes on its own, shortly after the dialog opens.
  QTRY_COMPARE(Label(*dialog, "status"), QStringLiteral("VELIX Not connect"));
  auto* poll_timer = dialog->findChild<QTimer*>(QStringLiteral("pollTimer"));
  ASSERT_NE(poll_timer, nullptr);
  EXPECT_EQ(poll_timer->interval(), 5000);
  EXPECT_TRUE(poll_timer->isActive());
  EXPECT_EQ(Label(*dialog, "mode"), QString());
  EXPECT_FALSE(VersionsEnabled(*dialog));
  EXPECT_FALSE(client.IsOpen());
  EXPECT_TRUE(Field(*dialog, "physicalMemory").endsWith(QStringLiteral(" MB)")));
  EXPECT_TRUE(Field(*dialog, "freeMemory").contains(QStringLiteral(" Byte  (")));
  dialog->hide();
  EXPECT_FALSE(poll_timer->isActive());
}

TEST_F(DlgInfoTest, AllocationIsShownOnlyWhileALiveBufferIsCommitted) {
  ScratchFolder empty_runtime;
  EnvironmentOverride runtime("VELIX_RUNTIME_DIR", empty_runtime.Path());
  const auto dialog = Open();
  dialog->Refresh();
  auto* allocation = Find<QLineEdit>(*dialog, "allocatedMemory");
  auto* allocation_label = Find<QLabel>(*dialog, "allocatedMemoryLabel");
  EXPECT_FALSE(allocation->isVisible());
  EXPECT_FALSE(allocation_label->isVisible());
  live_buffer_mb = 256;
  dialog->Refresh();
  EXPECT_TRUE(allocation->isVisible());
  EXPECT_TRUE(allocation_label->isVisible());
  EXPECT_EQ(allocation->text(), QStringLiteral("256 MB"));
  live_buffer_mb.reset();
  dialog->Refresh();
  EXPECT_FALSE(allocation->isVisible());
}

class DlgInfoDaemonTest : public DlgInfoTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(daemon.running());
    runtime = std::make_unique<EnvironmentOverride>("VELIX_RUNTIME_DIR", daemon.folder());
  }

  DaemonProcess daemon{kScenario};
  std::unique_ptr<EnvironmentOverride> runtime;
};

TEST_F(DlgInfoDaemonTest, ShowsTheDeviceUntilItIsUnplugged) {
  const auto dialog = Open();
  QTRY_COMPARE(Label(*dialog, "status"), QStringLiteral("VELIX Connect"));
  EXPECT_EQ(Label(*dialog, "mode"), QStringLiteral("BUS ANALYZER MODE"));
  EXPECT_EQ(Find<QLabel>(*dialog, "mode")->palette().color(QPalette::WindowText), QColor(0xC0, 0x80, 0x10));
  EXPECT_EQ(Find<QLabel>(*dialog, "mode")->font().family(), QStringLiteral("Times New Roman"));
  EXPECT_TRUE(Find<QLabel>(*dialog, "mode")->font().bold());
  EXPECT_TRUE(VersionsEnabled(*dialog));
  EXPECT_EQ(Field(*dialog, "driverVersion"), QStringLiteral("02.01"));
  const DeviceInfo& info = client.Info();
  EXPECT_EQ(Field(*dialog, "firmwareVersion"),
            QString::asprintf("%02X.%02X", info[4], info[5]));
  EXPECT_EQ(Field(*dialog, "cpldVersion"), QString::asprintf("%02X.%02X", info[6], info[7]));
  EXPECT_TRUE(client.IsOpen());

  ASSERT_EQ(daemon.Sim("unplug").rfind("ok=1", 0), 0u);
  ASSERT_TRUE(daemon.WaitForName("VELIX0", false));
  dialog->Refresh();
  EXPECT_EQ(Label(*dialog, "status"), QStringLiteral("VELIX Not connect"));
  EXPECT_EQ(Label(*dialog, "mode"), QString());
  EXPECT_EQ(Field(*dialog, "driverVersion"), QString());
  EXPECT_FALSE(client.IsOpen());

  ASSERT_EQ(daemon.Sim("plug").rfind("ok=1", 0), 0u);
  ASSERT_TRUE(daemon.WaitForName("VELIX0", true));
  dialog->Refresh();
  EXPECT_EQ(Label(*dialog, "status"), QStringLiteral("VELIX Connect"));
}

TEST_F(DlgInfoDaemonTest, DuringALiveCaptureTheDeviceIsNotAsked) {
  ASSERT_TRUE(client.OpenDriver(kDriverDeviceName));
  app.live_capture = true;
  ASSERT_EQ(daemon.Sim("unplug").rfind("ok=1", 0), 0u);
  const auto dialog = Open();
  dialog->Refresh();
  // What the capture's own open read stays on show, and the handle stays
  // the capture's.
  EXPECT_EQ(Label(*dialog, "status"), QStringLiteral("VELIX Connect"));
  EXPECT_EQ(Field(*dialog, "driverVersion"), QStringLiteral("02.01"));
  EXPECT_TRUE(client.IsOpen());
}

}  // namespace
}  // namespace orvane
