// "Transaction Filter Setting..." from the menu: the dialog's entries are
// kept, the list shows the rows orvane-cli lists with the same settings, and
// the first row is selected once the list has settled.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "Orvane/ui/dialogs/dlg_transaction_filter.h"
#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/tests/search_frame_fixture.h"

namespace orvane::ui::testing {
namespace {

template <typename Widget>
Widget* Child(QDialog& dialog, const char* name) {
  auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

TEST_F(SearchFrameTest, FilterShowsTheRowsTheCommandLineToolLists) {
  OpenCapture();
  struct Case {
    const char* name;
    std::function<void(QDialog&)> entries;
    std::vector<std::string> cli_settings;
    uint32_t rows;
  };
  const std::vector<Case> cases = {
      {"address 0x50",
       [](QDialog& d) {
         Child<QCheckBox>(d, "addressFilter")->setChecked(true);
         Child<QLineEdit>(d, "addressValue")->setText(QStringLiteral("0x50"));
       },
       {"FilterEnable=1", "FilterAddressEnable=1", "FilterAddressValue=0x50"}, 4},
      {"range 2 to 4",
       [](QDialog& d) {
         Child<QCheckBox>(d, "range")->setChecked(true);
         Child<QLineEdit>(d, "rangeStart")->setText(QStringLiteral("2"));
         Child<QLineEdit>(d, "rangeEnd")->setText(QStringLiteral("4"));
       },
       {"FilterEnable=1", "FilterRangeEnable=1", "FilterRangeStart=2", "FilterRangeEnd=4"}, 3},
      {"reads with their writes",
       [](QDialog& d) { Child<QCheckBox>(d, "write")->setChecked(false); },
       {"FilterEnable=1", "FilterWrite=0"}, 2},
  };
  for (const Case& c : cases) {
    NextDialog<DlgTransactionFilter>([&](DlgTransactionFilter& dialog) {
      Child<QCheckBox>(dialog, "enableFilter")->setChecked(true);
      c.entries(dialog);
      Child<QPushButton>(dialog, "ok")->click();
    });
    Trigger(Command::kFilterSetting);
    EXPECT_EQ(app_.settings.FilterEnable, 1) << c.name;
    EXPECT_EQ(frame_->ListView().RowCount(), c.rows) << c.name;
    EXPECT_EQ(CliRows(c.cli_settings), static_cast<int>(c.rows)) << c.name;
    QTRY_COMPARE_WITH_TIMEOUT(frame_->ListView().CurrentRow(), 0u, 2000);

    // Back to every row, and the case's entries undone, for the next case.
    NextDialog<DlgTransactionFilter>([](DlgTransactionFilter& dialog) {
      for (const char* name : {"enableFilter", "range", "addressFilter"}) {
        Child<QCheckBox>(dialog, name)->setChecked(false);
      }
      Child<QCheckBox>(dialog, "write")->setChecked(true);
      Child<QPushButton>(dialog, "ok")->click();
    });
    Trigger(Command::kFilterSetting);
    EXPECT_EQ(frame_->ListView().RowCount(), 7u) << c.name;
  }
}

TEST_F(SearchFrameTest, RefusedOrCancelledFilterLeavesTheList) {
  OpenCapture();
  frame_->ListView().SelectRowAndShow(5);
  NextDialog<DlgTransactionFilter>([](DlgTransactionFilter& dialog) {
    Child<QCheckBox>(dialog, "enableFilter")->setChecked(true);
    Child<QCheckBox>(dialog, "range")->setChecked(true);
    Child<QLineEdit>(dialog, "rangeStart")->setText(QStringLiteral("30"));
    Child<QLineEdit>(dialog, "rangeEnd")->setText(QStringLiteral("20"));
    Child<QPushButton>(dialog, "ok")->click();
    EXPECT_TRUE(dialog.isVisible());
    Child<QPushButton>(dialog, "cancel")->click();
  });
  Trigger(Command::kFilterSetting);
  EXPECT_EQ(LastBox(), "Invalid Transaction number");
  EXPECT_EQ(app_.settings.FilterEnable, 0);
  EXPECT_EQ(frame_->ListView().RowCount(), 7u);
  EXPECT_EQ(frame_->ListView().CurrentRow(), 5u);
}

TEST_F(SearchFrameTest, FilterOpensWithTheLastTransactionAsTheEnd) {
  OpenCapture();
  NextDialog<DlgTransactionFilter>([](DlgTransactionFilter& dialog) {
    EXPECT_EQ(Child<QLineEdit>(dialog, "rangeEnd")->text(), QStringLiteral("6"));
    EXPECT_FALSE(Child<QCheckBox>(dialog, "read")->isEnabled());  // the filter is off
    dialog.reject();
  });
  Trigger(Command::kFilterSetting);
  EXPECT_EQ(dialogs_run_, 1);
}

}  // namespace
}  // namespace orvane::ui::testing
