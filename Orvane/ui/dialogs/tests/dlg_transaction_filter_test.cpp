// The "Transaction Filter" dialog, offscreen.
#include "Orvane/ui/dialogs/dlg_transaction_filter.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <map>
#include <string>
#include <vector>

#include "platform/recording_sink.h"
#include "Orvane/ui/tests/find_child.h"

namespace {

using orvane::SettingsRecord;
using velix::platform::RecordingSink;

QCheckBox* Box(QDialog& dialog, const char* name) { return Find<QCheckBox>(dialog, name); }
QLineEdit* Field(QDialog& dialog, const char* name) { return Find<QLineEdit>(dialog, name); }

TEST(DlgTransactionFilter, OpensWithTheRecordAndTheLastNumberForAnOpenEnd) {
  SettingsRecord settings = orvane::DefaultSettingsRecord();
  settings.FilterEnable = 1;
  settings.FilterRangeStart = 10;
  settings.FilterAddressValue = 0x50;
  settings.FilterSubAddressLength = 2;
  settings.FilterSubAddressData[0] = 0x12;
  settings.FilterSubAddressData[1] = 0x34;
  settings.FilterRead = 0;
  RecordingSink sink;
  DlgTransactionFilter dialog(settings, 80, true, false, sink);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Transaction Filter"));
  EXPECT_TRUE(Box(dialog, "enableFilter")->isChecked());
  EXPECT_EQ(Field(dialog, "rangeStart")->text(), QStringLiteral("10"));
  EXPECT_EQ(Field(dialog, "rangeEnd")->text(), QStringLiteral("79"));
  EXPECT_EQ(Field(dialog, "addressValue")->text(), QStringLiteral("0x050"));
  EXPECT_EQ(Field(dialog, "addressMask")->text(), QStringLiteral("0x3FF"));
  EXPECT_EQ(Find<QComboBox>(dialog, "subAddressLength")->currentText(), QStringLiteral("2"));
  EXPECT_EQ(Field(dialog, "subAddressData")->text(), QStringLiteral("12:34"));
  EXPECT_EQ(Field(dialog, "subAddressMask")->text(), QStringLiteral("FF:FF"));
  EXPECT_FALSE(Box(dialog, "read")->isChecked());
  EXPECT_TRUE(Box(dialog, "write")->isChecked());
  EXPECT_TRUE(Box(dialog, "fromSubAddress")->isChecked());
  EXPECT_FALSE(Box(dialog, "omitWriteForRead")->isChecked());
  EXPECT_EQ(Field(dialog, "addressValue")->accessibleName(), QStringLiteral("I2C address value"));
}

TEST(DlgTransactionFilter, ControlsFollowTheirCheckBoxesAndTheCapture) {
  struct Case {
    const char* name;
    bool i2c_data, forced;
    std::vector<const char*> checked;  // check boxes ticked, in this order
    std::vector<const char*> unchecked;
    std::vector<const char*> enabled;  // every control not listed is disabled
  };
  const std::vector<const char*> controls = {
      "range", "rangeStart", "rangeEnd", "changesOnly", "addressFilter", "tenBit", "addressValue",
      "addressMask", "subAddressFilter", "subAddressLength", "subAddressData", "subAddressMask",
      "fromSubAddress", "read", "write", "writeForRead", "fromWrite", "omitWriteForRead"};
  const std::vector<Case> cases = {
      {"filter off", true, false, {}, {"enableFilter"}, {}},
      {"I2C, nothing ticked", true, false, {"enableFilter"}, {},
       {"range", "addressFilter", "subAddressFilter", "read", "write", "writeForRead", "fromWrite",
        "omitWriteForRead"}},
      {"range and address", true, false, {"enableFilter", "range", "addressFilter"}, {},
       {"range", "rangeStart", "rangeEnd", "addressFilter", "tenBit", "addressValue", "addressMask",
        "subAddressFilter", "read", "write", "writeForRead", "fromWrite", "omitWriteForRead"}},
      {"sub-address", true, false, {"enableFilter", "subAddressFilter"}, {},
       {"range", "addressFilter", "subAddressFilter", "subAddressLength", "subAddressData",
        "subAddressMask", "fromSubAddress"}},
      {"read and write off", true, false, {"enableFilter"}, {"read", "write"},
       {"range", "addressFilter", "subAddressFilter", "read", "write"}},
      {"SPI", false, false, {"enableFilter", "addressFilter"}, {}, {"range"}},
      {"forced display", true, true, {"enableFilter", "range"}, {},
       {"range", "rangeStart", "rangeEnd", "changesOnly"}},
      {"forced display, filter off", true, true, {}, {"enableFilter"}, {}},
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    DlgTransactionFilter dialog(orvane::DefaultSettingsRecord(), 10, c.i2c_data, c.forced, sink);
    EXPECT_TRUE(Box(dialog, "enableFilter")->isEnabled());
    for (const char* name : c.unchecked) Box(dialog, name)->setChecked(false);
    for (const char* name : c.checked) Box(dialog, name)->setChecked(true);
    for (const char* name : controls) {
      const bool expected = std::find_if(c.enabled.begin(), c.enabled.end(), [&](const char* listed) {
                              return std::string(listed) == name;
                            }) != c.enabled.end();
      EXPECT_EQ(Find<QWidget>(dialog, name)->isEnabled(), expected) << c.name << ": " << name;
    }
  }
}

TEST(DlgTransactionFilter, SubAddressFilterForcesWritePacketsOn) {
  RecordingSink sink;
  DlgTransactionFilter dialog(orvane::DefaultSettingsRecord(), 10, true, false, sink);
  Box(dialog, "enableFilter")->setChecked(true);
  Box(dialog, "write")->setChecked(false);
  EXPECT_FALSE(Box(dialog, "fromWrite")->isEnabled());
  Box(dialog, "subAddressFilter")->setChecked(true);
  EXPECT_TRUE(Box(dialog, "write")->isChecked());
  EXPECT_FALSE(Box(dialog, "write")->isEnabled());
  Box(dialog, "subAddressFilter")->setChecked(false);
  EXPECT_TRUE(Box(dialog, "write")->isChecked());
  EXPECT_TRUE(Box(dialog, "fromWrite")->isEnabled());
}

TEST(DlgTransactionFilter, OkChecksTheNumbersInOrderAndKeepsTheDialogOpen) {
  struct Case {
    std::map<std::string, QString> fields;
    bool ten_bit;
    const char* message;  // "" when accepted
  };
  // The checks themselves are the core's; here: each message reaches the
  // user and keeps the dialog open, and valid entries close it.
  const std::vector<Case> cases = {
      {{{"rangeStart", "30"}, {"rangeEnd", "20"}}, false, "Invalid Transaction number"},
      {{{"addressValue", "0x400"}}, true, "I2C address error"},
      {{{"addressValue", "0x50"}, {"addressMask", "mask"}}, false, "I2C address Mask error"},
      {{{"rangeStart", "010"}, {"rangeEnd", "0x14"}, {"addressValue", "0x50"}, {"addressMask", "0x7F"}}, false, ""},
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    DlgTransactionFilter dialog(orvane::DefaultSettingsRecord(), 100, true, false, sink);
    dialog.show();
    Box(dialog, "enableFilter")->setChecked(true);
    Box(dialog, "range")->setChecked(true);
    Box(dialog, "addressFilter")->setChecked(true);
    Box(dialog, "tenBit")->setChecked(c.ten_bit);
    for (const auto& [name, text] : c.fields) Field(dialog, name.c_str())->setText(text);
    QTest::mouseClick(Find<QPushButton>(dialog, "ok"), Qt::LeftButton);
    const std::string expected = c.message;
    if (expected.empty()) {
      EXPECT_TRUE(sink.Messages().empty()) << sink.Messages()[0].text;
      EXPECT_EQ(dialog.result(), QDialog::Accepted);
      continue;
    }
    ASSERT_EQ(sink.Messages().size(), 1u) << expected;
    EXPECT_EQ(sink.Messages()[0].text, expected);
    EXPECT_TRUE(dialog.isVisible()) << expected;
    EXPECT_NE(dialog.result(), QDialog::Accepted);
  }
}

TEST(DlgTransactionFilter, AcceptedEntriesAreWrittenIntoTheRecord) {
  SettingsRecord settings = orvane::DefaultSettingsRecord();
  RecordingSink sink;
  DlgTransactionFilter dialog(settings, 100, true, false, sink);
  dialog.show();
  Box(dialog, "enableFilter")->setChecked(true);
  Box(dialog, "range")->setChecked(true);
  Field(dialog, "rangeStart")->setText(QStringLiteral("10"));
  Field(dialog, "rangeEnd")->setText(QStringLiteral("20"));
  Box(dialog, "subAddressFilter")->setChecked(true);
  Find<QComboBox>(dialog, "subAddressLength")->setCurrentIndex(1);
  Field(dialog, "subAddressData")->setText(QStringLiteral("12 34"));
  Field(dialog, "subAddressMask")->setText(QStringLiteral("F0"));
  Box(dialog, "fromSubAddress")->setChecked(false);
  QTest::mouseClick(Find<QPushButton>(dialog, "ok"), Qt::LeftButton);
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(settings.FilterEnable, 0);  // nothing changes before Apply
  dialog.Apply(&settings);
  EXPECT_EQ(settings.FilterEnable, 1);
  EXPECT_EQ(settings.FilterRangeEnable, 1);
  EXPECT_EQ(uint32_t{settings.FilterRangeStart}, 10u);
  EXPECT_EQ(uint32_t{settings.FilterRangeEnd}, 20u);
  EXPECT_EQ(settings.FilterSubAddressEnable, 1);
  EXPECT_EQ(settings.FilterSubAddressLength, 2);
  EXPECT_EQ(settings.FilterSubAddressData[0], 0x12);
  EXPECT_EQ(settings.FilterSubAddressData[1], 0x34);
  EXPECT_EQ(settings.FilterSubAddressMask[0], 0xF0);
  EXPECT_EQ(settings.FilterSubAddressMask[1], 0xFF);
  EXPECT_EQ(settings.FilterFromSubAddress, 0);
  EXPECT_EQ(settings.FilterWrite, 1);

}

TEST(DlgTransactionFilter, TabGoesDownTheControlsBeforeTheButtons) {
  RecordingSink sink;
  DlgTransactionFilter dialog(orvane::DefaultSettingsRecord(), 10, true, true, sink);
  // The named controls in focus chain order, once round from the first.
  QWidget* first = Box(dialog, "enableFilter");
  std::vector<QString> order = {first->objectName()};
  for (QWidget* w = first->nextInFocusChain(); w != first && order.size() < 100; w = w->nextInFocusChain()) {
    if (!w->objectName().isEmpty()) order.push_back(w->objectName());
  }
  const std::vector<const char*> expected = {
      "enableFilter", "range", "rangeStart", "rangeEnd", "addressFilter", "tenBit", "addressValue",
      "addressMask", "subAddressFilter", "subAddressLength", "subAddressData", "subAddressMask",
      "fromSubAddress", "read", "writeForRead", "write", "fromWrite", "omitWriteForRead", "changesOnly",
      "ok", "cancel"};
  auto from = order.begin();
  for (const char* name : expected) {
    from = std::find(from, order.end(), QString::fromLatin1(name));
    EXPECT_NE(from, order.end()) << name << " out of order";
  }
}

}  // namespace
