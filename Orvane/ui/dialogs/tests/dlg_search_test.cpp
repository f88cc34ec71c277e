// The search and jump dialogs, offscreen.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <vector>

#include "Orvane/ui/dialogs/dlg_jump_transaction.h"
#include "Orvane/ui/dialogs/dlg_search_address.h"
#include "Orvane/ui/dialogs/dlg_search_data.h"
#include "Orvane/ui/dialogs/dlg_search_sub_address.h"
#include "platform/recording_sink.h"
#include "Orvane/ui/tests/find_child.h"

namespace {

using orvane::SearchDirection;
using orvane::SearchMemory;
using velix::platform::RecordingSink;

void Click(QDialog& dialog, const char* button) {
  QTest::mouseClick(Find<QPushButton>(dialog, button), Qt::LeftButton);
}

TEST(DlgSearch, ButtonsConfirmWithTheirDirection) {
  struct Case {
    const char* button;
    int result;
    SearchDirection direction;
  };
  const std::vector<Case> cases = {
      {"next", QDialog::Accepted, SearchDirection::kForward},
      {"previous", QDialog::Accepted, SearchDirection::kBackward},
      {"cancel", QDialog::Rejected, SearchDirection::kForward},
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    SearchMemory memory;
    DlgSearchData dialog(memory, sink);
    dialog.show();
    EXPECT_EQ(Find<QPushButton>(dialog, "next")->text(), QStringLiteral("Next \nSearch =>>"));
    EXPECT_EQ(Find<QPushButton>(dialog, "previous")->text(), QStringLiteral("Previous \n Search <<="));
    Click(dialog, c.button);
    EXPECT_EQ(dialog.result(), c.result) << c.button;
    EXPECT_EQ(dialog.Direction(), c.direction) << c.button;
    EXPECT_FALSE(dialog.isVisible());
  }
}

TEST(DlgSearch, DataSearchShowsTheLastPatternAndStoresTheNewOne) {
  SearchMemory memory;
  memory.data_length = 2;
  memory.data_pattern = {0xAA, 0xBB};
  RecordingSink sink;
  DlgSearchData dialog(memory, sink);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Data Search"));
  auto* length = Find<QComboBox>(dialog, "length");
  auto* pattern = Find<QLineEdit>(dialog, "pattern");
  EXPECT_EQ(length->count(), 8);
  EXPECT_EQ(length->currentText(), QStringLiteral("2"));
  EXPECT_EQ(pattern->text(), QStringLiteral("AA:BB"));
  EXPECT_EQ(pattern->accessibleName(), QStringLiteral("Search data pattern"));
  length->setCurrentIndex(2);
  pattern->setText(QStringLiteral("01 02 03 04"));
  Click(dialog, "previous");
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(memory.data_length, 2);  // the memory changes only on Store
  dialog.Store(&memory);
  EXPECT_EQ(memory.data_length, 3);
  EXPECT_EQ(memory.data_pattern[0], 0x01);
  EXPECT_EQ(memory.data_pattern[2], 0x03);
  EXPECT_EQ(memory.data_pattern[3], 0x00);
}

TEST(DlgSearch, AddressSearchRefusesAnAddressItCannotFind) {
  struct Case {
    const char* typed;
    bool ten_bit;
    bool accepted;
    uint16_t stored;
  };
  const std::vector<Case> cases = {
      {"0x400", true, false, 0},
      {"0x3FF", true, true, 0x3FF},
  };
  for (const Case& c : cases) {
    SearchMemory memory;
    memory.address = 0x50;
    RecordingSink sink;
    DlgSearchAddress dialog(memory, sink);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("I2C address search"));
    auto* address = Find<QLineEdit>(dialog, "address");
    EXPECT_EQ(address->text(), QStringLiteral("0x050"));
    address->setText(QString::fromLatin1(c.typed));
    Find<QCheckBox>(dialog, "tenBit")->setChecked(c.ten_bit);
    Find<QCheckBox>(dialog, "read")->setChecked(false);
    Click(dialog, "next");
    if (!c.accepted) {
      ASSERT_EQ(sink.Messages().size(), 1u) << c.typed;
      EXPECT_EQ(sink.Messages()[0].text, "I2C address error");
      EXPECT_TRUE(dialog.isVisible());
      continue;
    }
    EXPECT_TRUE(sink.Messages().empty()) << c.typed;
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    dialog.Store(&memory);
    EXPECT_EQ(memory.address, c.stored);
    EXPECT_EQ(memory.address_10bit, c.ten_bit);
    EXPECT_FALSE(memory.address_read);
    EXPECT_TRUE(memory.address_write);
  }
}

TEST(DlgSearch, SubAddressSearchKeepsLengthAndBytes) {
  SearchMemory memory;
  memory.sub_length = 2;
  memory.sub_data = {0x12, 0x34};
  RecordingSink sink;
  DlgSearchSubAddress dialog(memory, sink);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("I2C Sub address Search"));
  auto* length = Find<QComboBox>(dialog, "length");
  auto* data = Find<QLineEdit>(dialog, "data");
  EXPECT_EQ(length->count(), 4);
  EXPECT_EQ(length->currentText(), QStringLiteral("2"));
  EXPECT_EQ(data->text(), QStringLiteral("12:34"));
  length->setCurrentIndex(0);
  data->setText(QStringLiteral("56,78"));
  Click(dialog, "next");
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  dialog.Store(&memory);
  EXPECT_EQ(memory.sub_length, 1);
  EXPECT_EQ(memory.sub_data[0], 0x56);
}

TEST(DlgJumpTransaction, ShowsTheRangeAndReadsTheNumber) {
  struct Case {
    const char* typed;
    uint32_t target;
  };
  const std::vector<Case> cases = {
      {nullptr, 0}, {"0x10", 16}, {"twelve", 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    DlgJumpTransaction dialog(3, 79);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Jump Transaction number"));
    EXPECT_EQ(Find<QLineEdit>(dialog, "first")->text(), QStringLiteral("3"));
    EXPECT_EQ(Find<QLineEdit>(dialog, "last")->text(), QStringLiteral("79"));
    auto* target = Find<QLineEdit>(dialog, "target");
    EXPECT_EQ(target->accessibleName(), QStringLiteral("Jump to"));
    if (c.typed != nullptr) target->setText(QString::fromLatin1(c.typed));
    QTest::keyClick(target, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Target(), c.target) << (c.typed ? c.typed : "(as opened)");
  }
}

}  // namespace
