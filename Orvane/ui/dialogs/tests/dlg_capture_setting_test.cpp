// The capture settings dialog, offscreen.
#include "Orvane/ui/dialogs/dlg_capture_setting.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <optional>
#include <vector>

#include "platform/recording_sink.h"

namespace {

using orvane::CaptureDialogValues;
using orvane::CaptureEntries;

CaptureDialogValues Values(bool monitor_mode) {
  CaptureDialogValues values;
  values.monitor_mode = monitor_mode;
  values.bus = 1;
  values.free_run = monitor_mode ? 1 : 0;
  values.frequency_index = 1;
  values.capture_size_mb = 200;
  values.driver_buffer_mb = 8;
  values.max_capture_size_mb = 480;
  return values;
}

class CaptureDialogTest : public ::testing::Test {
 protected:
  void Open(const CaptureDialogValues& values, bool start_result = true) {
    dialog.emplace(
        values,
        [this, start_result](const CaptureEntries& entries) {
          started.push_back(entries);
          return start_result;
        },
        nullptr, &sink);
    dialog->show();
  }
  template <typename Widget>
  Widget* Find(const char* name) {
    auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  bool Shown(const char* name) { return Find<QWidget>(name)->isVisibleTo(&*dialog); }
  void Type(const char* box, const char* text) {
    QLineEdit* edit = Find<QSpinBox>(box)->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
  }
  void ClickStart() { QTest::mouseClick(Find<QPushButton>("startCapture"), Qt::LeftButton); }

  velix::platform::RecordingSink sink;
  std::vector<CaptureEntries> started;
  std::optional<DlgCaptureSetting> dialog;
};

TEST_F(CaptureDialogTest, OpensWithTheValuesOfEitherMode) {
  struct Case {
    bool monitor;
    const char* title;
    QColor colour;
    bool capture_mode_shown, frequency_shown;
  };
  const std::vector<Case> cases = {
      {true, "MONITOR MODE", QColor(0x10, 0x9F, 0x10), true, false},
      {false, "BUS ANALYZER MODE", QColor(0xC0, 0x80, 0x10), false, true},
  };
  for (const Case& c : cases) {
    Open(Values(c.monitor));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Capture settings"));
    auto* title = Find<QLabel>("modeTitle");
    EXPECT_EQ(title->text(), QString::fromLatin1(c.title));
    EXPECT_EQ(title->palette().color(QPalette::WindowText), c.colour);
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(Find<QComboBox>("bus")->currentText(), QStringLiteral("I2C #0(Main)"));
    EXPECT_EQ(Find<QComboBox>("captureMode")->currentIndex(), c.monitor ? 1 : 0);
    EXPECT_EQ(Find<QComboBox>("frequency")->currentText(), QStringLiteral("20MHz"));
    EXPECT_EQ(Find<QSpinBox>("captureSize")->value(), 200);
    EXPECT_EQ(Find<QSpinBox>("captureSize")->maximum(), 480);
    EXPECT_EQ(Find<QSpinBox>("driverBuffer")->value(), 8);
    EXPECT_EQ(Find<QSpinBox>("driverBuffer")->maximum(), 16);
    EXPECT_EQ(Find<QLabel>("driverBufferNote")->text(),
              QStringLiteral("(If there is no problem, please use default value\n of driver buffer size.)"));
    EXPECT_EQ(Shown("captureMode"), c.capture_mode_shown);
    EXPECT_EQ(Shown("frequency"), c.frequency_shown);
    EXPECT_EQ(Find<QComboBox>("bus")->accessibleName(), QStringLiteral("Capture Bus"));
  }
}

TEST_F(CaptureDialogTest, FifthRightDoubleClickOffersTheCaptureModeInAnalyzerMode) {
  Open(Values(false));
  for (int click = 1; click <= 5; ++click) {
    EXPECT_FALSE(Shown("captureMode")) << click;
    QTest::mouseDClick(&*dialog, Qt::RightButton, {}, QPoint(2, 2));
  }
  EXPECT_TRUE(Shown("captureMode"));
  QTest::mouseDClick(&*dialog, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_TRUE(Shown("captureMode"));
}

TEST_F(CaptureDialogTest, StartCaptureHandsOverWhatTheUserSet) {
  Open(Values(true));
  Find<QComboBox>("bus")->setCurrentIndex(0);
  Find<QComboBox>("captureMode")->setCurrentIndex(0);
  Type("captureSize", "0x20");
  Type("driverBuffer", "4");
  ClickStart();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(started[0].monitor_mode);
  EXPECT_EQ(started[0].bus, 0);
  EXPECT_EQ(started[0].free_run, 0);
  EXPECT_EQ(started[0].frequency_index, 1u);
  EXPECT_EQ(started[0].capture_size_mb, 32u);
  EXPECT_EQ(started[0].driver_buffer_mb, 4u);
  EXPECT_EQ(started[0].max_capture_size_mb, 480u);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(CaptureDialogTest, StaysOpenWhenTheStartIsRefused) {
  Open(Values(false), false);
  Find<QComboBox>("frequency")->setCurrentIndex(2);
  ClickStart();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].frequency_index, 2u);
  EXPECT_EQ(started[0].capture_size_mb, 200u);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_NE(dialog->result(), QDialog::Accepted);
}

TEST_F(CaptureDialogTest, SizesOutOfRangeAreRefusedAndReset) {
  struct Case {
    const char* box;
    const char* text;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"captureSize", "600", "Setting error.\nThe setting value is beyond the range\n : 600"},
      {"captureSize", "0", "Setting error.\nThe setting value is beyond the range\n : 0"},
      {"driverBuffer", "0x11", "Setting error.\nThe setting value is beyond the range\n : 17"},
  };
  for (const Case& c : cases) {
    sink.Clear();
    started.clear();
    Open(Values(false));
    const int before = Find<QSpinBox>(c.box)->value();
    Type(c.box, c.text);
    ClickStart();
    EXPECT_TRUE(started.empty()) << c.text;
    ASSERT_EQ(sink.Messages().size(), 1u) << c.text;
    EXPECT_EQ(sink.Messages()[0].text, c.message);
    EXPECT_EQ(Find<QSpinBox>(c.box)->value(), before);
    EXPECT_EQ(Find<QSpinBox>(c.box)->text(), QString::number(before));
    EXPECT_TRUE(dialog->isVisible());
  }
}

TEST_F(CaptureDialogTest, EnterOnARefusedSizeDoesNotStart) {
  Open(Values(false));
  Type("captureSize", "999");
  QTest::keyClick(Find<QSpinBox>("captureSize")->findChild<QLineEdit*>(), Qt::Key_Return);
  EXPECT_TRUE(started.empty());
  EXPECT_EQ(sink.Messages().size(), 1u);
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(CaptureDialogTest, OpenDialogButtonsFollowTheHooksAndTheBus) {
  Open(Values(false));
  for (const char* name : {"triggerSetting", "spiSetting", "i2cSetting", "generalSetting"}) {
    EXPECT_FALSE(Find<QPushButton>(name)->isEnabled()) << name;
  }
  std::vector<std::string> opened;
  dialog->SetOpenDialogHooks({
      [&](uint8_t bus) { opened.push_back("trigger " + std::to_string(bus)); },
      [&] { opened.push_back("spi"); },
      [&] { opened.push_back("i2c"); },
      [&] { opened.push_back("general"); },
  });
  EXPECT_TRUE(Find<QPushButton>("triggerSetting")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>("spiSetting")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("i2cSetting")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("generalSetting")->isEnabled());

  Find<QComboBox>("bus")->setCurrentIndex(0);
  EXPECT_TRUE(Find<QPushButton>("spiSetting")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>("i2cSetting")->isEnabled());
  for (const char* name : {"triggerSetting", "spiSetting", "i2cSetting", "generalSetting"}) {
    QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton);
  }
  EXPECT_EQ(opened, (std::vector<std::string>{"trigger 0", "spi", "general"}));
  EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
