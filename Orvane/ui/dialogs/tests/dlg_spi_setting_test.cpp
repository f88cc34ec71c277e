// The "SPI Settings" dialog, offscreen.
#include "Orvane/ui/dialogs/dlg_spi_setting.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <vector>

#include "platform/recording_sink.h"
#include "Orvane/ui/tests/find_child.h"

namespace {

using orvane::SettingsRecord;
using velix::platform::RecordingSink;

// Check boxes and radio buttons take clicks on their box and text only, at
// the left of the row the layout gives them.
template <typename Button>
void Click(QDialog& dialog, const char* name) {
  auto* button = Find<Button>(dialog, name);
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

bool Checked(QDialog& dialog, const char* name) {
  return Find<QAbstractButton>(dialog, name)->isChecked();
}
bool Enabled(QDialog& dialog, const char* name) { return Find<QWidget>(dialog, name)->isEnabled(); }
bool Shown(QDialog& dialog, const char* name) { return Find<QWidget>(dialog, name)->isVisibleTo(&dialog); }

TEST(DlgSPISetting, OpensWithTheRecord) {
  struct Case {
    uint8_t edge, ss_mode, bit_flags;
    uint32_t timeout, length;
    const char* checked[4];
    bool ss_monitored, timeout_on, first_edge_shown;
  };
  const std::vector<Case> cases = {
      {1, 1, 0x01, 1000, 1024, {"risingEdge", "msbFirst", "ssActiveLow", "timeoutEnabled"}, true, true,
       false},
      {2, 2, 0x80, 0, 64, {"fallingEdge", "lsbFirst", "ssActiveHigh", "ignoreFirstEdge"}, true, false,
       true},
      {1, 0, 0x81, 5, 4, {"risingEdge", "msbFirst", "ssActiveLow", "ignoreFirstEdge"}, false, true,
       true},
  };
  for (const Case& c : cases) {
    SettingsRecord settings = orvane::DefaultSettingsRecord();
    settings.SpiSamplingEdge = c.edge;
    settings.SpiSsMode = c.ss_mode;
    settings.SpiBitFlags = c.bit_flags;
    settings.SpiSclkTimeout = c.timeout;
    settings.SpiDataLength = c.length;
    RecordingSink sink;
    DlgSPISetting dialog(settings, sink);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("SPI Settings"));
    for (const char* name : c.checked) EXPECT_TRUE(Checked(dialog, name)) << name;
    EXPECT_EQ(Checked(dialog, "monitorSs"), c.ss_monitored);
    EXPECT_EQ(Checked(dialog, "ssEnd"), c.ss_monitored);
    EXPECT_EQ(Enabled(dialog, "ssActiveHigh"), c.ss_monitored);
    EXPECT_EQ(Checked(dialog, "timeoutEnabled"), c.timeout_on);
    EXPECT_EQ(Enabled(dialog, "timeoutMs"), c.timeout_on);
    EXPECT_EQ(Find<QLineEdit>(dialog, "timeoutMs")->text(), QString::number(c.timeout));
    EXPECT_EQ(Find<QLineEdit>(dialog, "dataLength")->text(), QString::number(c.length));
    EXPECT_EQ(Shown(dialog, "ignoreFirstEdge"), c.first_edge_shown);
  }
}

TEST(DlgSPISetting, BothSsCheckBoxesAreOneSetting) {
  RecordingSink sink;
  DlgSPISetting dialog(orvane::DefaultSettingsRecord(), sink);
  dialog.show();
  Click<QCheckBox>(dialog, "ssEnd");
  EXPECT_FALSE(Checked(dialog, "monitorSs"));
  EXPECT_FALSE(Enabled(dialog, "ssActiveLow"));
  EXPECT_FALSE(Enabled(dialog, "ssActiveHigh"));
  Click<QCheckBox>(dialog, "monitorSs");
  EXPECT_TRUE(Checked(dialog, "ssEnd"));
  EXPECT_TRUE(Enabled(dialog, "ssActiveHigh"));

  Click<QCheckBox>(dialog, "timeoutEnabled");
  EXPECT_FALSE(Enabled(dialog, "timeoutMs"));
}

TEST(DlgSPISetting, MoreThanFourBackgroundDoubleClicksOfferTheFirstEdgeCheckBox) {
  RecordingSink sink;
  DlgSPISetting dialog(orvane::DefaultSettingsRecord(), sink);
  dialog.show();
  for (int click = 1; click <= 5; ++click) {
    EXPECT_FALSE(Shown(dialog, "ignoreFirstEdge")) << click;
    QTest::mouseDClick(&dialog, click % 2 ? Qt::LeftButton : Qt::RightButton, {}, QPoint(2, 2));
  }
  EXPECT_TRUE(Shown(dialog, "ignoreFirstEdge"));
}

TEST(DlgSPISetting, OkRefusesADataLengthOutOfRangeAndThenWritesTheRecord) {
  SettingsRecord settings = orvane::DefaultSettingsRecord();
  settings.m_AnalyzeBusChannel = 0;
  RecordingSink sink;
  DlgSPISetting dialog(settings, sink);
  dialog.show();
  for (const char* bad : {"3", "131073"}) {
    sink.Clear();
    Find<QLineEdit>(dialog, "dataLength")->setText(QString::fromLatin1(bad));
    QTest::mouseClick(Find<QPushButton>(dialog, "ok"), Qt::LeftButton);
    ASSERT_EQ(sink.Messages().size(), 1u) << bad;
    EXPECT_EQ(sink.Messages()[0].text,
              "Data Length : Out of range \n range 131072 >= (DataLength) >= 4");
    EXPECT_TRUE(dialog.isVisible()) << bad;
  }
  sink.Clear();
  Find<QLineEdit>(dialog, "dataLength")->setText(QStringLiteral("0x100"));
  Find<QLineEdit>(dialog, "timeoutMs")->setText(QStringLiteral("25"));
  Click<QRadioButton>(dialog, "fallingEdge");
  Click<QRadioButton>(dialog, "lsbFirst");
  Click<QRadioButton>(dialog, "ssActiveHigh");
  QTest::mouseClick(Find<QPushButton>(dialog, "ok"), Qt::LeftButton);
  EXPECT_TRUE(sink.Messages().empty());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  // OK alone leaves the record to Apply().
  EXPECT_EQ(uint32_t{settings.SpiDataLength}, 1024u);

  EXPECT_TRUE(dialog.Apply(&settings));
  EXPECT_EQ(uint32_t{settings.SpiDataLength}, 256u);
  EXPECT_EQ(uint32_t{settings.SpiSclkTimeout}, 25u);
  EXPECT_EQ(settings.SpiSamplingEdge, 2);
  EXPECT_EQ(settings.SpiSsMode, 2);
  EXPECT_EQ(settings.SpiBitFlags & 0x81, 0);
}

TEST(DlgSPISetting, UncheckedOptionsStoreNoTimeoutAndNoSs) {
  SettingsRecord settings = orvane::DefaultSettingsRecord();
  settings.m_AnalyzeBusChannel = 1;
  RecordingSink sink;
  DlgSPISetting dialog(settings, sink);
  dialog.show();
  Click<QCheckBox>(dialog, "timeoutEnabled");
  Click<QCheckBox>(dialog, "monitorSs");
  QTest::mouseClick(Find<QPushButton>(dialog, "ok"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.Apply(&settings));  // an I2C capture needs no new decode
  EXPECT_EQ(uint32_t{settings.SpiSclkTimeout}, 0u);
  EXPECT_EQ(settings.SpiSsMode, 0);
}

}  // namespace
