// The "Other setting" dialog, offscreen.
#include "Orvane/ui/dialogs/dlg_general.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <vector>

#include "platform/recording_sink.h"
#include "Orvane/ui/tests/find_child.h"

namespace {

using orvane::GeneralSettingsValues;
using orvane::PowerSense;
using velix::platform::Answer;
using velix::platform::Icon;
using velix::platform::RecordingSink;

TEST(DlgGeneral, PowerControlsFollowTheDevice) {
  struct Case {
    const char* name;
    PowerSense sense;
    const char* state;
  };
  const std::vector<Case> cases = {
      {"no device", {false, false}, ""},
      {"powered target", {true, true}, "Power ON"},
      {"unpowered target", {true, false}, "Power OFF (Power not supply)"},
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    DlgGeneral dialog(GeneralSettingsValues{3, 2, true}, c.sense, sink, nullptr,
                      QStringLiteral("/tmp/velix/sampling.sic"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Other setting")) << c.name;
    EXPECT_EQ(Find<QLabel>(dialog, "powerState")->text(), QString::fromLatin1(c.state)) << c.name;
    const bool present = c.sense.device_present;
    for (const char* control : {"powerState", "changeState", "unchanged"}) {
      EXPECT_EQ(Find<QWidget>(dialog, control)->isEnabled(), present) << c.name << " " << control;
    }
    EXPECT_TRUE(Find<QRadioButton>(dialog, "unchanged")->isChecked()) << c.name;
    auto* power = Find<QComboBox>(dialog, "powerSupply");
    EXPECT_FALSE(power->isEnabled()) << c.name;
    EXPECT_EQ(power->currentText(), QStringLiteral("3.3 V")) << c.name;
    EXPECT_EQ(Find<QComboBox>(dialog, "noiseFilter")->currentText(), QStringLiteral("3clock filter"));
    EXPECT_TRUE(Find<QCheckBox>(dialog, "lockMemory")->isChecked());
    auto* path = Find<QLineEdit>(dialog, "temporaryFilePath");
    EXPECT_EQ(path->text(), QStringLiteral("/tmp/velix/sampling.sic"));
    EXPECT_TRUE(path->isReadOnly());

    Find<QRadioButton>(dialog, "changeState")->setChecked(true);
    EXPECT_EQ(power->isEnabled(), present) << c.name;
    Find<QRadioButton>(dialog, "unchanged")->setChecked(true);
    EXPECT_FALSE(power->isEnabled()) << c.name;
  }
}

TEST(DlgGeneral, OkTakesTheChoicesAndAsksBeforePoweringAPoweredTarget) {
  struct Case {
    const char* name;
    PowerSense sense;
    bool change_state;
    int power;
    Answer answer;
    bool warned, applied;
  };
  const std::vector<Case> cases = {
      {"3.3 V on a powered target, No", {true, true}, true, 3, Answer::kNo, true, false},
      {"3.3 V on a powered target, Yes", {true, true}, true, 3, Answer::kYes, true, true},
      {"power off on a powered target", {true, true}, true, 0, Answer::kNo, false, true},
      {"5.0 V on an unpowered target", {true, false}, true, 4, Answer::kNo, false, true},
      {"unchanged", {true, true}, false, 3, Answer::kYes, false, false},
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    sink.QueueAnswer(c.answer);
    DlgGeneral dialog(GeneralSettingsValues{1, 0, true}, c.sense, sink);
    dialog.show();
    if (c.change_state) Find<QRadioButton>(dialog, "changeState")->setChecked(true);
    Find<QComboBox>(dialog, "powerSupply")->setCurrentIndex(c.power);
    Find<QComboBox>(dialog, "noiseFilter")->setCurrentIndex(1);
    Find<QCheckBox>(dialog, "lockMemory")->setChecked(false);
    QTest::mouseClick(Find<QPushButton>(dialog, "ok"), Qt::LeftButton);

    EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.name;
    const orvane::GeneralSettingsResult result = dialog.Result();
    EXPECT_EQ(result.apply_power, c.applied) << c.name;
    EXPECT_EQ(result.values.power_supply, c.power) << c.name;
    EXPECT_EQ(result.values.noise_filter, 1) << c.name;
    EXPECT_FALSE(result.values.lock_memory) << c.name;
    const auto messages = sink.Messages();
    ASSERT_EQ(messages.size(), c.warned ? 1u : 0u) << c.name;
    if (c.warned) {
      EXPECT_EQ(messages[0].text, orvane::kPowerAlreadySuppliedWarning);
      EXPECT_EQ(messages[0].icon, Icon::kExclamation);
    }
  }
}

}  // namespace
