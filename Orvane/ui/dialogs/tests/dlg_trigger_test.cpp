// The software trigger dialog, offscreen: defaults, enabling by check box
// and bus, the position box, the hex rows by key presses, and OK.
#include "Orvane/ui/dialogs/dlg_trigger.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include <string>
#include <vector>

#include "Orvane/ui/dialogs/hex_row_edit.h"
#include "platform/recording_sink.h"
#include "Orvane/ui/tests/find_child.h"

namespace {

using orvane::SettingsRecord;
using orvane::TriggerContext;
using velix::platform::RecordingSink;

constexpr TriggerContext kI2C{true, true, 1};
constexpr TriggerContext kSpi{true, true, 0};

bool Enabled(QDialog& dialog, const char* name) { return Find<QWidget>(dialog, name)->isEnabled(); }

// Shown and active, so that keys go where the focus is.
void ShowActive(QDialog& dialog) {
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

QWidget* Focused(QDialog& dialog) { return dialog.focusWidget(); }

void Click(QDialog& dialog, const char* name) { QTest::mouseClick(Find<QPushButton>(dialog, name), Qt::LeftButton); }

TEST(DlgTrigger, OpensWithTheDefaultsAndEverythingOffButTheSwitch) {
  RecordingSink sink;
  DlgTrigger dialog(orvane::DefaultSettingsRecord(), kI2C, sink);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Trigger Settings (Monitor mode only)"));
  EXPECT_FALSE(Find<QCheckBox>(dialog, "triggerEnable")->isChecked());
  EXPECT_EQ(Find<QSpinBox>(dialog, "position")->value(), 1);
  EXPECT_EQ(Find<QSlider>(dialog, "positionSlider")->value(), 1);
  EXPECT_EQ(Find<QComboBox>(dialog, "dataLength")->currentText(), QStringLiteral("4"));
  EXPECT_EQ(Find<HexRowEdit>(dialog, "dataMask")->Text(), ":FF:FF:FF:FF:FF:FF:FF:FF");
  EXPECT_EQ(Find<HexRowEdit>(dialog, "dataPattern")->Text(), ":00:00:00:00:00:00:00:00");
  EXPECT_EQ(Find<QLineEdit>(dialog, "addressMask")->text(), QStringLiteral("0x3FF"));
  EXPECT_EQ(Find<QComboBox>(dialog, "subAddressLength")->currentText(), QStringLiteral("2"));
  EXPECT_EQ(Find<HexRowEdit>(dialog, "subAddressMask")->Text(), ":FF:FF:FF:FF");
  for (const char* op : {"nackOp", "dataOp", "addressOp"}) {
    EXPECT_EQ(Find<QComboBox>(dialog, op)->currentText(), QStringLiteral("OR")) << op;
  }
  EXPECT_TRUE(Enabled(dialog, "triggerEnable"));
  for (const char* name : {"position", "positionSlider", "dataEnable", "dataPattern", "addressEnable", "nackDetect",
                           "subAddressData", "nackOp"}) {
    EXPECT_FALSE(Enabled(dialog, name)) << name;
  }
  EXPECT_EQ(Find<QCheckBox>(dialog, "tenBit")->toolTip(),
            QStringLiteral("I2C address is treated as 10-bit address mode. (Uncheck the box to treat as 7-bit "
                           "address mode.)"));
}

TEST(DlgTrigger, ChecksEnableTheirControlsAndSpiKeepsTheI2CPartOff) {
  struct Case {
    const char* name;
    TriggerContext context;
    std::vector<const char*> ticked;
    std::vector<const char*> enabled;
    std::vector<const char*> disabled;
  };
  const std::vector<Case> cases = {
      {"DataAndSubAddress", kI2C, {"dataEnable", "subAddressEnable"},
       {"dataPattern", "dataMask", "dataLength", "subAddressData", "subAddressCondition", "dataOp"},
       {"address", "addressOp", "nackOp"}},
      {"AddressAndNack", kI2C, {"addressEnable", "nackDetect"},
       {"address", "addressMask", "tenBit", "addressCondition", "nackOp"},
       {"dataPattern", "dataOp", "addressOp", "subAddressData"}},
      {"SpiBus", kSpi, {"dataEnable", "addressEnable", "subAddressEnable", "nackDetect"},
       {"dataPattern", "dataMask", "position"},
       {"addressEnable", "address", "subAddressEnable", "nackDetect", "nackOp", "dataOp", "addressOp"}},
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    DlgTrigger dialog(orvane::DefaultSettingsRecord(), c.context, sink);
    QTest::keyClick(Find<QCheckBox>(dialog, "triggerEnable"), Qt::Key_Space);
    ASSERT_TRUE(Find<QCheckBox>(dialog, "triggerEnable")->isChecked());
    // Ticked through the boxes themselves, as a disabled box ignores clicks.
    for (const char* box : c.ticked) Find<QCheckBox>(dialog, box)->setChecked(true);
    for (const char* name : c.enabled) EXPECT_TRUE(Enabled(dialog, name)) << c.name << " " << name;
    for (const char* name : c.disabled) EXPECT_FALSE(Enabled(dialog, name)) << c.name << " " << name;
  }
}

TEST(DlgTrigger, PositionOutOfRangeIsRefusedAndTheSliderFollows) {
  struct Case {
    const char* typed;
    int value;
    const char* message;  // nullptr: none
  };
  const std::vector<Case> cases = {
      {"150", 30, "Setting error.\nThe setting value is beyond the range\n : 150"},
      {"100", 100, nullptr},
      {"0x10", 16, nullptr},
  };
  for (const Case& c : cases) {
    SettingsRecord settings = orvane::DefaultSettingsRecord();
    settings.TriggerEnable = 1;
    settings.TriggerPosition = 30;
    RecordingSink sink;
    DlgTrigger dialog(settings, kI2C, sink);
    dialog.show();
    auto* position = Find<QSpinBox>(dialog, "position");
    position->setFocus();
    position->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(position, QString::fromLatin1(c.typed));
    QTest::keyClick(position, Qt::Key_Return);
    EXPECT_EQ(position->value(), c.value) << c.typed;
    EXPECT_EQ(Find<QSlider>(dialog, "positionSlider")->value(), c.value) << c.typed;
    ASSERT_EQ(sink.Messages().size(), c.message ? 1u : 0u) << c.typed;
    if (c.message) {
      EXPECT_EQ(sink.Messages()[0].text, c.message);
    }
  }
}

TEST(DlgTrigger, SliderMovesTheBox) {
  SettingsRecord settings = orvane::DefaultSettingsRecord();
  settings.TriggerEnable = 1;
  RecordingSink sink;
  DlgTrigger dialog(settings, kI2C, sink);
  auto* slider = Find<QSlider>(dialog, "positionSlider");
  QTest::keyClick(slider, Qt::Key_End);
  EXPECT_EQ(Find<QSpinBox>(dialog, "position")->value(), 100);
}

TEST(DlgTrigger, HexRowsAreTypedOverByKeys) {
  struct Case {
    const char* name;
    std::vector<int> keys;  // Qt keys; a key with text is typed
    const char* row;        // the row that has the focus at the end
    const char* pattern;
    const char* mask;
  };
  const std::vector<Case> cases = {
      {"Digits", {Qt::Key_A, Qt::Key_B, Qt::Key_1}, "dataPattern", ":AB:10:00:00:00:00:00:00",
       ":FF:FF:FF:FF:FF:FF:FF:FF"},
      {"ArrowsSkipSeparators", {Qt::Key_Right, Qt::Key_Right, Qt::Key_C, Qt::Key_Left, Qt::Key_Left, Qt::Key_D},
       "dataPattern", ":0D:C0:00:00:00:00:00:00", ":FF:FF:FF:FF:FF:FF:FF:FF"},
      {"DownKeepsTheColumn", {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_0, Qt::Key_Up, Qt::Key_E},
       "dataPattern", ":00:0E:00:00:00:00:00:00", ":FF:0F:FF:FF:FF:FF:FF:FF"},
      {"OtherKeysAreIgnored", {Qt::Key_G, Qt::Key_Space, Qt::Key_Minus, Qt::Key_F}, "dataPattern",
       ":F0:00:00:00:00:00:00:00", ":FF:FF:FF:FF:FF:FF:FF:FF"},
      {"TypingPastTheEnd", {Qt::Key_End, Qt::Key_Left, Qt::Key_9, Qt::Key_8}, "dataPattern",
       ":00:00:00:00:00:00:00:09", ":FF:FF:FF:FF:FF:FF:FF:FF"},
  };
  for (const Case& c : cases) {
    SettingsRecord settings = orvane::DefaultSettingsRecord();
    settings.TriggerEnable = 1;
    settings.DataPatternEnable = 1;
    RecordingSink sink;
    DlgTrigger dialog(settings, kI2C, sink);
    ShowActive(dialog);
    auto* pattern = Find<HexRowEdit>(dialog, "dataPattern");
    pattern->setFocus();
    for (int key : c.keys) QTest::keyClick(Focused(dialog), static_cast<Qt::Key>(key));
    EXPECT_EQ(pattern->Text(), c.pattern) << c.name;
    EXPECT_EQ(Find<HexRowEdit>(dialog, "dataMask")->Text(), c.mask) << c.name;
    EXPECT_EQ(Focused(dialog), Find<HexRowEdit>(dialog, c.row)) << c.name;
  }
}

TEST(DlgTrigger, HexRowTellsScreenReadersItsNameAndText) {
  SettingsRecord settings = orvane::DefaultSettingsRecord();
  settings.DataPattern[0] = 0x5A;
  RecordingSink sink;
  DlgTrigger dialog(settings, kI2C, sink);
  QAccessibleInterface* row = QAccessible::queryAccessibleInterface(Find<HexRowEdit>(dialog, "dataPattern"));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->text(QAccessible::Name), QStringLiteral("Data pattern"));
  EXPECT_EQ(row->text(QAccessible::Value), QStringLiteral(":5A:00:00:00:00:00:00:00"));
  EXPECT_EQ(row->role(), QAccessible::EditableText);
}

TEST(DlgTrigger, TabReachesTheRowsAndMovesOn) {
  SettingsRecord settings = orvane::DefaultSettingsRecord();
  settings.TriggerEnable = 1;
  settings.DataPatternEnable = 1;
  RecordingSink sink;
  DlgTrigger dialog(settings, kI2C, sink);
  ShowActive(dialog);
  Find<QComboBox>(dialog, "dataLength")->setFocus();
  QTest::keyClick(Focused(dialog), Qt::Key_Tab);
  EXPECT_EQ(Focused(dialog), Find<HexRowEdit>(dialog, "dataPattern"));
  QTest::keyClick(Focused(dialog), Qt::Key_Tab);
  EXPECT_EQ(Focused(dialog), Find<HexRowEdit>(dialog, "dataMask"));
}

TEST(DlgTrigger, OkRefusesABadAddressAndThenWritesEveryField) {
  SettingsRecord settings = orvane::DefaultSettingsRecord();
  settings.DataPattern[7] = 0x77;
  RecordingSink sink;
  DlgTrigger dialog(settings, kI2C, sink);
  dialog.show();
  Find<QCheckBox>(dialog, "triggerEnable")->setChecked(true);
  Find<QCheckBox>(dialog, "dataEnable")->setChecked(true);
  Find<QCheckBox>(dialog, "subAddressEnable")->setChecked(true);
  Find<QCheckBox>(dialog, "addressEnable")->setChecked(true);
  Find<QCheckBox>(dialog, "tenBit")->setChecked(true);
  Find<QComboBox>(dialog, "dataLength")->setCurrentIndex(1);
  Find<QComboBox>(dialog, "dataOp")->setCurrentIndex(1);
  Find<QComboBox>(dialog, "addressOp")->setCurrentIndex(1);
  Find<HexRowEdit>(dialog, "dataPattern")->setFocus();
  for (Qt::Key key : {Qt::Key_A, Qt::Key_A, Qt::Key_B, Qt::Key_B}) QTest::keyClick(Focused(dialog), key);

  Find<QLineEdit>(dialog, "address")->setText(QStringLiteral("0x400"));
  Click(dialog, "ok");
  ASSERT_EQ(sink.Messages().size(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, "I2C address error");
  EXPECT_TRUE(dialog.isVisible());

  Find<QLineEdit>(dialog, "address")->setText(QStringLiteral("0x3FF"));
  Find<QLineEdit>(dialog, "addressMask")->setText(QStringLiteral("0x400"));
  Click(dialog, "ok");
  ASSERT_EQ(sink.Messages().size(), 2u);
  EXPECT_EQ(sink.Messages()[1].text, "I2C address Mask error");

  // Address off again: only data pattern and sub-address remain, so the
  // address operator is stored as OR.
  Find<QLineEdit>(dialog, "addressMask")->setText(QStringLiteral("0x3F0"));
  Find<QCheckBox>(dialog, "addressEnable")->setChecked(false);
  EXPECT_FALSE(Enabled(dialog, "addressOp"));
  EXPECT_TRUE(Enabled(dialog, "dataOp"));
  Click(dialog, "ok");
  EXPECT_EQ(sink.Messages().size(), 2u);
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  dialog.Apply(&settings);
  EXPECT_EQ(settings.TriggerEnable, 1);
  EXPECT_EQ(settings.DataLength, 2);
  EXPECT_EQ(settings.DataPattern[0], 0xAA);
  EXPECT_EQ(settings.DataPattern[1], 0xBB);
  EXPECT_EQ(settings.DataPattern[7], 0x77);
  EXPECT_EQ(uint16_t{settings.AddressValue}, 0x3FF);
  EXPECT_EQ(uint16_t{settings.AddressMask}, 0x3F0);
  EXPECT_EQ(settings.DataOp, 1);
  EXPECT_EQ(settings.AddressOp, 0);
  EXPECT_EQ(settings.SubAddressEnable, 1);
}

}  // namespace
