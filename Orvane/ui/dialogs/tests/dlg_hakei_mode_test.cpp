// The waveform display settings dialog, offscreen.
#include "Orvane/ui/dialogs/dlg_hakei_mode.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <vector>

#include "platform/recording_sink.h"
#include "Orvane/ui/tests/find_child.h"

namespace {

using orvane::HakeiModeValues;
using velix::platform::Icon;
using velix::platform::RecordingSink;

std::vector<QWidget*> QuietControls(QDialog& dialog) {
  return {Find<QLineEdit>(dialog, "quietTime"), Find<QLabel>(dialog, "quietCaption"),
          Find<QLabel>(dialog, "quietUnit"), Find<QLabel>(dialog, "quietHint")};
}

TEST(DlgHakeiMode, ShowsTheValuesAndEnablesTheQuietTimeWithTheCheckBox) {
  for (const bool forced : {false, true}) {
    RecordingSink sink;
    DlgHakeiMode dialog(HakeiModeValues{forced, 750}, sink);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Waveform display settings（AnalyzerMode）"));
    auto* box = Find<QCheckBox>(dialog, "forcedDisplay");
    EXPECT_EQ(box->text(), QStringLiteral("Forced display mode (SPI/I2C protocol is ignored.)"));
    EXPECT_EQ(box->isChecked(), forced);
    EXPECT_EQ(Find<QLineEdit>(dialog, "quietTime")->text(), QStringLiteral("750"));
    EXPECT_EQ(Find<QLabel>(dialog, "quietCaption")->text(),
              QStringLiteral("Approximate time of transaction delimited"));
    EXPECT_EQ(Find<QLabel>(dialog, "quietUnit")->text(), QStringLiteral("milli second"));
    EXPECT_EQ(Find<QLabel>(dialog, "quietHint")->text(),
              QStringLiteral("Please set time within a range 1 to 4000(msec)"));
    for (QWidget* control : QuietControls(dialog)) EXPECT_EQ(control->isEnabled(), forced);
    box->toggle();
    for (QWidget* control : QuietControls(dialog)) EXPECT_EQ(control->isEnabled(), !forced);
    EXPECT_FALSE(Find<QLineEdit>(dialog, "quietTime")->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_FALSE(box->accessibleName().isEmpty());
    EXPECT_FALSE(Find<QLineEdit>(dialog, "quietTime")->accessibleName().isEmpty());
  }
}

TEST(DlgHakeiMode, OkRefusesAQuietTimeOutOfRangeWhileChecked) {
  struct Case {
    bool checked;
    const char* typed;
    const char* message;  // nullptr: accepted
  };
  const std::vector<Case> cases = {
      {true, "0", "Setting error.\nThe setting value is beyond the range\n : 0"},
      {true, "4001", "Setting error.\nThe setting value is beyond the range\n : 4001"},
      {true, "4000", nullptr},
      {false, "4001", nullptr},
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    DlgHakeiMode dialog(HakeiModeValues{!c.checked, 200}, sink);
    dialog.show();
    Find<QCheckBox>(dialog, "forcedDisplay")->setChecked(c.checked);
    Find<QLineEdit>(dialog, "quietTime")->setText(QString::fromLatin1(c.typed));
    QTest::mouseClick(Find<QPushButton>(dialog, "ok"), Qt::LeftButton);
    if (c.message != nullptr) {
      ASSERT_EQ(sink.Messages().size(), 1u) << c.typed;
      EXPECT_EQ(sink.Messages()[0].text, c.message);
      EXPECT_EQ(sink.Messages()[0].icon, Icon::kStop);
      EXPECT_TRUE(dialog.isVisible()) << c.typed;
      continue;
    }
    EXPECT_TRUE(sink.Messages().empty()) << c.typed;
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.typed;
    EXPECT_EQ(dialog.Values().forced_display, c.checked);
    // Unchecked keeps the quiet time the dialog opened with.
    EXPECT_EQ(dialog.Values().quiet_ms, c.checked ? 4000 : 200);
  }
}

TEST(DlgHakeiMode, TheKeyboardReachesTheQuietTime) {
  RecordingSink sink;
  DlgHakeiMode dialog(HakeiModeValues{false, 200}, sink);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  auto* box = Find<QCheckBox>(dialog, "forcedDisplay");
  box->setFocus();
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_TRUE(box->isChecked());
  QTest::keyClick(box, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(dialog, "quietTime"));
}

}  // namespace
