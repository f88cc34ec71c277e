// The real dialog, offscreen, over the device model.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

#include <chrono>
#include <future>
#include <mutex>

#include "ModeChange/mode_change_app.h"
#include "ModeChange/mode_change_dialog.h"
#include "ModeChange/tests/cpld_test_images.h"
#include "ModeChange/tests/fake_velix_device.h"
#include "platform/tests/scratch_folder.h"

namespace velix::modechange::testing {
namespace {

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    WriteBytes(folder.File("velixc_ana.frm"), MakeCpldImage({.size = 10000}));
    dialog.SetMessagePresenter([this](TextId text) {
      std::lock_guard lock(mutex);
      messages.push_back(text);
      if (text == TextId::kReadyToSwitch) device.Replug();
      return text != TextId::kSameOrOlderVersion || rewrite_same_version;
    });
  }

  template <typename Widget>
  Widget* Find(const char* name) {
    auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QString Text(const char* label) { return Find<QLabel>(label)->text(); }
  std::vector<TextId> Messages() {
    std::lock_guard lock(mutex);
    return messages;
  }
  // Shown, started, re-plugged, and the first poll tick passed.
  void ShowUntilReady() {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTRY_COMPARE(Text("status"), QStringLiteral("Wait a minute..."));
    dialog.Machine().OnTimer();
  }

  platform::testing::ScratchFolder folder;
  FakeVelixDevice device{Personality::kMonitor, 1, 0x00};
  ModeChangeDialog dialog{device, MachineOptions{false, folder.Path()}};
  std::mutex mutex;
  std::vector<TextId> messages;
  bool rewrite_same_version = false;
};

TEST_F(DialogTest, ClicksThroughAModeSwitch) {
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("VELIX Mode change tool"));
  EXPECT_EQ(Text("eepromVersion"), QStringLiteral("X.XX"));
  EXPECT_EQ(Text("flashVersion"), QStringLiteral("Y.YY"));
  EXPECT_EQ(Text("cpldVersion"), QStringLiteral("Z.ZZ"));
  ShowUntilReady();

  EXPECT_EQ(Text("eepromVersion"), QStringLiteral("Ver 1.02"));
  EXPECT_EQ(Text("flashVersion"), QStringLiteral("Ver 2.10"));
  EXPECT_EQ(Text("cpldVersion"), QStringLiteral("Ver 1.00"));
  EXPECT_EQ(Text("modeLabel"), QStringLiteral("Monitor Mode"));
  EXPECT_TRUE(Find<QRadioButton>("analyzer")->isChecked());
  auto* update = Find<QPushButton>("update");
  EXPECT_TRUE(update->isEnabled());

  QTest::mouseClick(Find<QRadioButton>("monitor"), Qt::LeftButton);
  EXPECT_FALSE(update->isEnabled());
  QTest::mouseClick(Find<QRadioButton>("analyzer"), Qt::LeftButton);
  EXPECT_TRUE(update->isEnabled());

  QApplication::setActiveWindow(&dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  QTest::keyClick(&dialog, Qt::Key_F10, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_TRUE(dialog.Machine().State().force_flag);

  QTest::mouseClick(update, Qt::LeftButton);
  QTRY_COMPARE(Text("status"), QStringLiteral("Switching has been completed. Please exit."));
  EXPECT_EQ(Find<QProgressBar>("progress")->value(), 6144);
  EXPECT_EQ(Text("modeLabel"), QStringLiteral("Analyzer Mode"));
  EXPECT_EQ(Text("cpldVersion"), QStringLiteral("Ver 1.05"));
  EXPECT_EQ(device.CpldChunks().size(), 3u);

  QSignalSpy accepted(&dialog, &QDialog::accepted);
  QTest::mouseClick(Find<QPushButton>("exit"), Qt::LeftButton);
  EXPECT_EQ(accepted.count(), 1);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(Messages(), (std::vector<TextId>{TextId::kReadyToSwitch, TextId::kStartAnalyzerMode}));
}

TEST_F(DialogTest, AFailedWriteShowsItsTextInRedAndEscapeExits) {
  ShowUntilReady();
  device.FailCpldChunk(2);
  QTest::mouseClick(Find<QPushButton>("update"), Qt::LeftButton);
  QTRY_COMPARE(Text("status"), QStringLiteral("CPLD Update Faiedl![90]"));
  EXPECT_EQ(Find<QLabel>("status")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_TRUE(Find<QPushButton>("update")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("exit")->isEnabled());

  // Escape acts as "Exit".
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(Messages().back(), TextId::kStartMonitorMode);
}

TEST_F(DialogTest, TheWorkerAsksAboutAnOldVersionThroughTheDialogThread) {
  // An analyzer image the worker refuses only after reading the device's
  // version, and a monitor image of the version the device has.
  WriteBytes(folder.File("velixc_ana.frm"), MakeCpldImage({.file_type = 'X'}));
  WriteBytes(folder.File("velixc_mon.frm"), MakeCpldImage({.personality = 'M', .major = 1, .minor = 0}));
  ShowUntilReady();

  // The radio goes back to the current personality while the worker runs.
  std::promise<void> reached;
  std::promise<void> release;
  device.BeforeNextVersionRead([&] {
    reached.set_value();
    release.get_future().wait();
  });
  QTest::mouseClick(Find<QPushButton>("update"), Qt::LeftButton);
  ASSERT_EQ(reached.get_future().wait_for(std::chrono::seconds(5)), std::future_status::ready);
  QTest::mouseClick(Find<QRadioButton>("monitor"), Qt::LeftButton);
  EXPECT_FALSE(Find<QPushButton>("update")->isEnabled());
  release.set_value();
  QTRY_COMPARE(Text("status"), QStringLiteral("CPLD  file NG(4)"));
  EXPECT_TRUE(Find<QRadioButton>("monitor")->isChecked());

  // The same personality, not newer: asked, declined, nothing written.
  QTest::mouseClick(Find<QPushButton>("update"), Qt::LeftButton);
  QTRY_COMPARE(dialog.Machine().State().phase, Phase::kWaitingForDevice);
  EXPECT_EQ(Messages().back(), TextId::kSameOrOlderVersion);
  EXPECT_TRUE(device.CpldChunks().empty());
  EXPECT_EQ(Find<QProgressBar>("progress")->value(), 6144);
}

TEST(Translations, JapaneseCoversEveryTextOfTheTool) {
  auto* app = QCoreApplication::instance();
  ASSERT_TRUE(InstallTranslations(*app, QStringLiteral("ja_JP")));
  EXPECT_EQ(TranslatedText(TextId::kCpldUpdateFailed, 7), QStringLiteral("CPLDの更新に失敗しました![7]"));
  for (int id = 1; id <= 211; ++id) {
    const auto text = static_cast<TextId>(id);
    if (*EnglishText(text) == '\0') continue;
    EXPECT_NE(TranslatedText(text), QString::fromUtf8(EnglishText(text))) << id;
  }
  FakeVelixDevice device{Personality::kMonitor, 1, 0};
  ModeChangeDialog dialog{device, MachineOptions{}};
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("VELIX モード切替ツール"));
  EXPECT_NE(dialog.findChild<QPushButton*>(QStringLiteral("update"))->text(), QStringLiteral("Update"));

  for (QTranslator* translator : app->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
  }
  EXPECT_FALSE(InstallTranslations(*app, QStringLiteral("en_US")));
  EXPECT_EQ(TranslatedText(TextId::kDeviceNotFound), QStringLiteral("Device not found."));
}

}  // namespace
}  // namespace velix::modechange::testing

int main(int argc, char** argv) {
  // Tests and their discovery run without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
