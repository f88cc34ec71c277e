// The "I2C Settings" dialog, offscreen.
#include "Orvane/ui/dialogs/dlg_i2c_setting.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <vector>

#include "platform/recording_sink.h"
#include "Orvane/ui/tests/find_child.h"

namespace {

using orvane::SettingsRecord;
using orvane::TimingPreset;
using velix::platform::Answer;
using velix::platform::Icon;
using velix::platform::RecordingSink;

SettingsRecord I2CRecord() {
  SettingsRecord settings = orvane::DefaultSettingsRecord();
  settings.m_AnalyzeBusChannel = 1;
  return settings;
}

QLineEdit* Field(QDialog& dialog, const char* name) { return Find<QLineEdit>(dialog, name); }

TEST(DlgI2CSetting, OpensWithTheRecordAndEnablesByDataAndHsMode) {
  struct Case {
    bool timing_enabled, hs_enable;
    bool standard_enabled, hs_enabled;
  };
  const std::vector<Case> cases = {
      {true, false, true, false},
      {true, true, true, true},
      {false, true, false, false},
      {false, false, false, false},
  };
  for (const Case& c : cases) {
    SettingsRecord settings = I2CRecord();
    settings.HsEnable = c.hs_enable;
    settings.tLOW = 470;
    settings.tHIGH_HS = 12;
    RecordingSink sink;
    DlgI2CSetting dialog(settings, c.timing_enabled, sink);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("I2C Settings"));
    EXPECT_EQ(Field(dialog, "standard_tLOW")->text(), QStringLiteral("470"));
    EXPECT_EQ(Field(dialog, "standard_tBUF")->text(), QStringLiteral("130"));
    EXPECT_EQ(Field(dialog, "hs_tHIGH")->text(), QStringLiteral("12"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("hs_tBUF")), nullptr);
    EXPECT_EQ(Find<QCheckBox>(dialog, "hsEnable")->isChecked(), c.hs_enable);
    EXPECT_TRUE(Find<QCheckBox>(dialog, "ignoreNack")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(dialog, "hsEnable")->isEnabled());

    EXPECT_EQ(Field(dialog, "standard_tHD_DAT")->isEnabled(), c.standard_enabled);
    EXPECT_EQ(Find<QPushButton>(dialog, "presetStandard")->isEnabled(), c.standard_enabled);
    EXPECT_EQ(Field(dialog, "hs_tSU_DAT")->isEnabled(), c.hs_enabled);
    EXPECT_EQ(Find<QPushButton>(dialog, "presetHs400pF")->isEnabled(), c.hs_enabled);

    Find<QCheckBox>(dialog, "hsEnable")->toggle();
    EXPECT_EQ(Field(dialog, "hs_tSU_DAT")->isEnabled(), c.timing_enabled && !c.hs_enable);
  }
}

TEST(DlgI2CSetting, PresetsAskAndFillOnlyTheirColumn) {
  struct Case {
    const char* button;
    TimingPreset preset;
    Answer answer;
    const char* field;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"presetStandard", TimingPreset::kStandard, Answer::kYes, "standard_tSU_STA", "470"},
      {"presetStandard", TimingPreset::kStandard, Answer::kNo, "standard_tSU_STA", "60"},
      {"presetFast", TimingPreset::kFast, Answer::kYes, "standard_tHD_DAT", "90"},
      {"presetHs400pF", TimingPreset::kHs400pF, Answer::kYes, "hs_tLOW", "32"},
      {"presetHs100pF", TimingPreset::kHs100pF, Answer::kYes, "hs_tHIGH", "6"},
  };
  for (const Case& c : cases) {
    SettingsRecord settings = I2CRecord();
    settings.HsEnable = 1;
    settings.tHIGH_HS = 99;
    RecordingSink sink;
    sink.QueueAnswer(c.answer);
    DlgI2CSetting dialog(settings, true, sink);
    Field(dialog, "standard_tLOW")->setText(QStringLiteral("0x80"));
    QTest::mouseClick(Find<QPushButton>(dialog, c.button), Qt::LeftButton);
    ASSERT_EQ(sink.Messages().size(), 1u) << c.button;
    EXPECT_EQ(sink.Messages()[0].text, orvane::PresetQuestion(c.preset));
    EXPECT_EQ(sink.Messages()[0].icon, Icon::kQuestion);
    EXPECT_EQ(Field(dialog, c.field)->text(), QString::fromLatin1(c.expected)) << c.button;
    // tLOW was typed: a FAST or STANDARD preset taken overwrites it, the
    // others leave it.
    const bool overwritten = c.answer == Answer::kYes &&
                             (c.preset == TimingPreset::kFast || c.preset == TimingPreset::kStandard);
    const QString typed_low = !overwritten ? QStringLiteral("0x80")
                              : c.preset == TimingPreset::kFast ? QStringLiteral("130")
                                                                : QStringLiteral("470");
    EXPECT_EQ(Field(dialog, "standard_tLOW")->text(), typed_low)
        << c.button;
  }
}

TEST(DlgI2CSetting, OkRefusesALimitOutOfRangeAndThenWritesTheRecord) {
  SettingsRecord settings = I2CRecord();
  RecordingSink sink;
  DlgI2CSetting dialog(settings, true, sink);
  dialog.show();
  Field(dialog, "standard_tLOW")->setText(QStringLiteral("3"));
  Field(dialog, "standard_tSU_DAT")->clear();
  Field(dialog, "hs_tHD_DAT")->setText(QStringLiteral("0x0F"));
  Find<QCheckBox>(dialog, "ignoreNack")->setChecked(false);
  QTest::mouseClick(Find<QPushButton>(dialog, "ok"), Qt::LeftButton);
  ASSERT_EQ(sink.Messages().size(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, "tLOW : Out of range \n range 1000000 >= (tLOW) >= 4");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_NE(dialog.result(), QDialog::Accepted);

  Field(dialog, "standard_tLOW")->setText(QStringLiteral("0100"));
  QTest::mouseClick(Find<QPushButton>(dialog, "ok"), Qt::LeftButton);
  EXPECT_EQ(sink.Messages().size(), 1u);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(dialog.Apply(&settings));
  EXPECT_EQ(uint32_t{settings.tLOW}, 64u);
  EXPECT_EQ(uint32_t{settings.tSU_DAT}, 10u);
  EXPECT_EQ(uint32_t{settings.tHD_DAT_HS}, 15u);
  EXPECT_EQ(settings.IgnoreNackBeforeStop, 0);
}

TEST(DlgI2CSetting, MonitorDataKeepTheLimitsAndTakeTheCheckBoxes) {
  SettingsRecord settings = I2CRecord();
  RecordingSink sink;
  DlgI2CSetting dialog(settings, false, sink);
  dialog.show();
  Field(dialog, "standard_tLOW")->setText(QStringLiteral("nonsense"));
  Find<QCheckBox>(dialog, "hsEnable")->setChecked(true);
  QTest::mouseClick(Find<QPushButton>(dialog, "ok"), Qt::LeftButton);
  EXPECT_TRUE(sink.Messages().empty());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  dialog.Apply(&settings);
  EXPECT_EQ(uint32_t{settings.tLOW}, 130u);
  EXPECT_EQ(settings.HsEnable, 1);
}

TEST(DlgI2CSetting, ArrowKeysStepWithinTheFieldRange) {
  struct Case {
    const char* field;
    const char* text;
    Qt::Key key;
    const char* after;
  };
  const std::vector<Case> cases = {
      {"standard_tLOW", "130", Qt::Key_Up, "131"},
      {"standard_tLOW", "0x10", Qt::Key_Down, "15"},
      {"standard_tLOW", "4", Qt::Key_Down, "4"},
      {"standard_tLOW", "1000000", Qt::Key_Up, "1000000"},
      {"standard_tLOW", "2", Qt::Key_Up, "4"},
      {"standard_tLOW", "", Qt::Key_Up, "11"},
      {"standard_tLOW", "abc", Qt::Key_Up, "abc"},
      {"hs_tSU_DAT", "1", Qt::Key_Down, "1"},
      {"hs_tSU_DAT", "2", Qt::Key_Down, "1"},
      {"hs_tHIGH", "5", Qt::Key_Down, "4"},
  };
  for (const Case& c : cases) {
    SettingsRecord settings = I2CRecord();
    settings.HsEnable = 1;
    RecordingSink sink;
    DlgI2CSetting dialog(settings, true, sink);
    QLineEdit* field = Field(dialog, c.field);
    field->setText(QString::fromLatin1(c.text));
    QTest::keyClick(field, c.key);
    EXPECT_EQ(field->text(), QString::fromLatin1(c.after)) << c.field << " " << c.text;
  }
}

TEST(DlgI2CSetting, TrgoutButtonFollowsItsHook) {
  RecordingSink sink;
  DlgI2CSetting dialog(I2CRecord(), true, sink);
  auto* trgout = Find<QPushButton>(dialog, "trgoutSetting");
  EXPECT_EQ(trgout->text(), QStringLiteral("TRGOUT Setting\n(MonitorMode only)"));
  EXPECT_FALSE(trgout->isEnabled());
  int opened = 0;
  dialog.SetTrgoutHook([&opened] { ++opened; });
  QTest::mouseClick(trgout, Qt::LeftButton);
  EXPECT_EQ(opened, 1);
}

}  // namespace
