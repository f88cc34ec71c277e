// The external input trigger and trigger output dialogs, offscreen.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <string>
#include <vector>

#include "Orvane/ui/dialogs/dlg_trigger_ext_in.h"
#include "Orvane/ui/dialogs/dlg_trigger_out.h"
#include "Orvane/ui/dialogs/hex_row_edit.h"
#include "platform/recording_sink.h"

namespace {

using orvane::SettingsRecord;
using orvane::TriggerContext;
using velix::platform::RecordingSink;

template <typename Widget>
Widget* Find(QDialog& dialog, const QString& name) {
  auto* widget = dialog.findChild<Widget*>(name);
  EXPECT_NE(widget, nullptr) << name.toStdString();
  return widget;
}

QString Line(int n) { return QStringLiteral("line%1").arg(n); }
QString Level(int n) { return QStringLiteral("level%1").arg(n); }

void Click(QDialog& dialog, const char* name) {
  QTest::mouseClick(Find<QPushButton>(dialog, QString::fromLatin1(name)), Qt::LeftButton);
}

TEST(DlgTriggerExtIN, OpensOffWithEveryLineDisabled) {
  DlgTriggerExtIN dialog(orvane::DefaultSettingsRecord(), TriggerContext{true, true, 1});
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Ext,IN Trigger(TRGIN) Settings"));
  EXPECT_FALSE(Find<QCheckBox>(dialog, QStringLiteral("trgInEnable"))->isChecked());
  for (int n = 0; n < orvane::kTrgInLines; ++n) {
    EXPECT_EQ(Find<QCheckBox>(dialog, Line(n))->text(), QStringLiteral("TRGIN-%1 Enable").arg(n));
    EXPECT_FALSE(Find<QCheckBox>(dialog, Line(n))->isEnabled());
    EXPECT_FALSE(Find<QComboBox>(dialog, Level(n))->isEnabled());
    EXPECT_EQ(Find<QComboBox>(dialog, Level(n))->currentText(), QStringLiteral("LOW"));
  }
  EXPECT_EQ(Find<QPushButton>(dialog, QStringLiteral("softwareTrigger"))->text(),
            QStringLiteral("Trigger Setting\n(MonitorMode only)"));
  EXPECT_EQ(Find<QPushButton>(dialog, QStringLiteral("trgoutSetting"))->text(),
            QStringLiteral("TRGOUT Setting\n(MonitorMode\nI2C only)"));
}

TEST(DlgTriggerExtIN, ButtonsFollowTheContextAndTheirHooks) {
  struct Case {
    const char* name;
    TriggerContext context;
    bool hooks;
    bool software, out;
  };
  const std::vector<Case> cases = {
      {"MonitorI2C", {true, true, 2}, true, true, true},
      {"MonitorSpi", {true, true, 0}, true, true, false},
      {"Analyzer", {false, true, 1}, true, false, false},
      {"MenuWithoutFile", {true, false, 0}, true, true, true},
      {"NoHooks", {true, true, 1}, false, false, false},
  };
  for (const Case& c : cases) {
    DlgTriggerExtIN dialog(orvane::DefaultSettingsRecord(), c.context);
    std::vector<TriggerContext> software_opened;
    int out_opened = 0;
    if (c.hooks) {
      dialog.SetOpenDialogHooks({[&](const TriggerContext& passed) { software_opened.push_back(passed); },
                                 [&] { ++out_opened; }});
    }
    auto* software = Find<QPushButton>(dialog, QStringLiteral("softwareTrigger"));
    auto* out = Find<QPushButton>(dialog, QStringLiteral("trgoutSetting"));
    EXPECT_EQ(software->isEnabled(), c.software) << c.name;
    EXPECT_EQ(out->isEnabled(), c.out) << c.name;
    QTest::mouseClick(software, Qt::LeftButton);
    QTest::mouseClick(out, Qt::LeftButton);
    ASSERT_EQ(software_opened.size(), c.software ? 1u : 0u) << c.name;
    if (c.software) {
      // The bus goes on to the software trigger.
      EXPECT_EQ(software_opened[0].bus_known, c.context.bus_known) << c.name;
      EXPECT_EQ(software_opened[0].bus, c.context.bus) << c.name;
    }
    EXPECT_EQ(out_opened, c.out ? 1 : 0) << c.name;
  }
}

TEST(DlgTriggerExtIN, LevelsFollowTheirLinesAndOkStoresThem) {
  SettingsRecord settings = orvane::DefaultSettingsRecord();
  DlgTriggerExtIN dialog(settings, TriggerContext{true, true, 1});
  dialog.show();
  QTest::keyClick(Find<QCheckBox>(dialog, QStringLiteral("trgInEnable")), Qt::Key_Space);
  for (int n = 0; n < orvane::kTrgInLines; ++n) EXPECT_TRUE(Find<QCheckBox>(dialog, Line(n))->isEnabled());
  QTest::keyClick(Find<QCheckBox>(dialog, Line(0)), Qt::Key_Space);
  QTest::keyClick(Find<QCheckBox>(dialog, Line(2)), Qt::Key_Space);
  EXPECT_TRUE(Find<QComboBox>(dialog, Level(2))->isEnabled());
  EXPECT_FALSE(Find<QComboBox>(dialog, Level(1))->isEnabled());
  Find<QComboBox>(dialog, Level(2))->setCurrentIndex(1);
  Click(dialog, "ok");
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  dialog.Apply(&settings);
  EXPECT_EQ(settings.TrgInEnable, 1);
  EXPECT_EQ(settings.TrgInEnables, 0x05);
  EXPECT_EQ(settings.TrgInLevels, 0x04);
}

TEST(DlgTriggerExtIN, OkWithTheTriggerOffKeepsTheLines) {
  SettingsRecord settings = orvane::DefaultSettingsRecord();
  settings.TrgInEnable = 1;
  settings.TrgInEnables = 0x1A;
  settings.TrgInLevels = 0x02;
  DlgTriggerExtIN dialog(settings, TriggerContext{true, true, 1});
  dialog.show();
  QTest::keyClick(Find<QCheckBox>(dialog, QStringLiteral("trgInEnable")), Qt::Key_Space);
  EXPECT_FALSE(Find<QCheckBox>(dialog, Line(1))->isEnabled());
  Find<QCheckBox>(dialog, Line(1))->setChecked(false);
  Click(dialog, "ok");
  dialog.Apply(&settings);
  EXPECT_EQ(settings.TrgInEnable, 0);
  EXPECT_EQ(settings.TrgInEnables, 0x1A);
  EXPECT_EQ(settings.TrgInLevels, 0x02);
}

TEST(DlgTriggerOut, OpensOffAndEnablesByItsChecks) {
  RecordingSink sink;
  DlgTriggerOut dialog(orvane::DefaultSettingsRecord(), sink);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("TRGOUT settings (I2C Monitor mode only)"));
  EXPECT_EQ(Find<QComboBox>(dialog, QStringLiteral("subAddressLength"))->currentText(), QStringLiteral("2"));
  EXPECT_EQ(Find<QLineEdit>(dialog, QStringLiteral("address"))->text(), QStringLiteral("0x000"));
  for (const char* name : {"addressEnable", "address", "tenBit", "subAddressEnable", "subAddressData", "nackIgnore"}) {
    EXPECT_FALSE(Find<QWidget>(dialog, QString::fromLatin1(name))->isEnabled()) << name;
  }
  Find<QCheckBox>(dialog, QStringLiteral("trgOutEnable"))->setChecked(true);
  EXPECT_TRUE(Find<QWidget>(dialog, QStringLiteral("addressEnable"))->isEnabled());
  EXPECT_TRUE(Find<QWidget>(dialog, QStringLiteral("nackIgnore"))->isEnabled());
  EXPECT_FALSE(Find<QWidget>(dialog, QStringLiteral("address"))->isEnabled());
  Find<QCheckBox>(dialog, QStringLiteral("subAddressEnable"))->setChecked(true);
  EXPECT_TRUE(Find<QWidget>(dialog, QStringLiteral("subAddressData"))->isEnabled());
  EXPECT_FALSE(Find<QWidget>(dialog, QStringLiteral("tenBit"))->isEnabled());
}

TEST(DlgTriggerOut, OkRefusesABadAddressThenStoresEveryField) {
  SettingsRecord settings = orvane::DefaultSettingsRecord();
  RecordingSink sink;
  DlgTriggerOut dialog(settings, sink);
  dialog.show();
  Find<QCheckBox>(dialog, QStringLiteral("trgOutEnable"))->setChecked(true);
  Find<QCheckBox>(dialog, QStringLiteral("addressEnable"))->setChecked(true);
  Find<QCheckBox>(dialog, QStringLiteral("tenBit"))->setChecked(true);
  Find<QCheckBox>(dialog, QStringLiteral("subAddressEnable"))->setChecked(true);
  Find<QCheckBox>(dialog, QStringLiteral("nackIgnore"))->setChecked(true);
  Find<QLineEdit>(dialog, QStringLiteral("address"))->setText(QStringLiteral("0x400"));
  auto* row = Find<HexRowEdit>(dialog, QStringLiteral("subAddressData"));
  for (Qt::Key key : {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4}) QTest::keyClick(row, key);
  Click(dialog, "ok");
  ASSERT_EQ(sink.Messages().size(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, "I2C address error");
  EXPECT_NE(dialog.result(), QDialog::Accepted);

  Find<QLineEdit>(dialog, QStringLiteral("address"))->setText(QStringLiteral("0x2A5"));
  Click(dialog, "ok");
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  dialog.Apply(&settings);
  EXPECT_EQ(settings.TrgOutEnable, 1);
  EXPECT_EQ(settings.TrgOutAddressEnable, 1);
  EXPECT_EQ(settings.TrgOut10Bit, 1);
  EXPECT_EQ(uint16_t{settings.TrgOutAddress}, 0x2A5);
  EXPECT_EQ(settings.TrgOutSubAddressEnable, 1);
  EXPECT_EQ(settings.TrgOutSubAddressLength, 2);
  EXPECT_EQ(settings.TrgOutSubAddressData[0], 0x12);
  EXPECT_EQ(settings.TrgOutSubAddressData[1], 0x34);
  EXPECT_EQ(settings.TrgOutNackIgnore, 1);
}

}  // namespace
