// The search and jump commands of the main window, from the menu action to
// the selected row, the bytes marked in the data tabs and the messages.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "Orvane/decode/transaction_search.h"
#include "Orvane/ui/dialogs/dlg_jump_transaction.h"
#include "Orvane/ui/dialogs/dlg_search_address.h"
#include "Orvane/ui/dialogs/dlg_search_data.h"
#include "Orvane/ui/dialogs/dlg_search_sub_address.h"
#include "Orvane/ui/list/orvane_view.h"
#include "Orvane/ui/tests/search_frame_fixture.h"

namespace orvane::ui::testing {
namespace {

using Reply = velix::platform::Answer;

template <typename Widget>
Widget* Child(QDialog& dialog, const char* name) {
  auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}
void Press(QDialog& dialog, const char* button) { Child<QPushButton>(dialog, button)->click(); }

void SearchBytes(QDialog& dialog, int length, const char* pattern, const char* button) {
  Child<QComboBox>(dialog, "length")->setCurrentIndex(length - 1);
  Child<QLineEdit>(dialog, "pattern")->setText(QString::fromLatin1(pattern));
  Press(dialog, button);
}

TEST_F(SearchFrameTest, JumpSelectsTheNumberOrAsksForTheNearest) {
  OpenCapture();
  struct Case {
    const char* typed;
    std::optional<Reply> answer;  // the nearest-row question, when asked
    std::optional<uint32_t> selected;
  };
  const std::vector<Case> cases = {
      {"4", std::nullopt, 4u},
      {"0x2", std::nullopt, 2u},
      {"99", Reply::kYes, 6u},
      {"99", Reply::kNo, std::nullopt},
  };
  for (const Case& c : cases) {
    frame_->ListView().OnInitialUpdate();  // no selection
    frame_->ListView().OnUpdateTimer();
    asked_.clear();
    if (c.answer) Answer(kJumpNearestQuestion, *c.answer);
    NextDialog<DlgJumpTransaction>([&](DlgJumpTransaction& dialog) {
      EXPECT_EQ(Child<QLineEdit>(dialog, "first")->text(), QStringLiteral("0"));
      EXPECT_EQ(Child<QLineEdit>(dialog, "last")->text(), QStringLiteral("6"));
      Child<QLineEdit>(dialog, "target")->setText(QString::fromLatin1(c.typed));
      Press(dialog, "ok");
    });
    Trigger(Command::kJumpNumber);
    EXPECT_EQ(SelectedIndex(), c.selected) << c.typed;
    EXPECT_EQ(!asked_.empty(), c.answer.has_value()) << c.typed;
    EXPECT_EQ(StatusMessage(), c.answer ? "No found transaction" : "Found transaction") << c.typed;
  }
}

TEST_F(SearchFrameTest, DataSearchMarksTheBytesAndNextMovesOn) {
  OpenCapture();
  NextDialog<DlgSearchData>([](DlgSearchData& dialog) { SearchBytes(dialog, 2, "AA BB", "next"); });
  Trigger(Command::kSearchData);
  // Row 3 holds AA BB after its address and nine more bytes.
  EXPECT_EQ(SelectedIndex(), 3u);
  ASSERT_EQ(tab_->marked.size(), 1u);
  EXPECT_EQ(tab_->marked[0].byte_offset, 10u);
  EXPECT_EQ(tab_->marked[0].kind, HighlightKind::kI2cData);
  EXPECT_EQ(tab_->marked[0].length, 2u);
  EXPECT_EQ(tab_->clocks.size(), 1u);
  EXPECT_EQ(tab_->shown.back(), 3u);
  EXPECT_EQ(StatusMessage(), "Found data.");

  Trigger(Command::kSearchNext);
  EXPECT_EQ(SelectedIndex(), 5u);
  EXPECT_EQ(tab_->marked.back().byte_offset, 0u + 1u);

  Trigger(Command::kSearchNext);
  EXPECT_EQ(LastBox(), "No found data.");
  EXPECT_EQ(SelectedIndex(), 5u);

  Trigger(Command::kSearchPrevious);
  EXPECT_EQ(SelectedIndex(), 3u);
  EXPECT_EQ(tab_->marked.back().byte_offset, 10u);

  // The dialog opens with the pattern searched last; Previous from row 3
  // finds nothing before it.
  NextDialog<DlgSearchData>([](DlgSearchData& dialog) {
    EXPECT_EQ(Child<QLineEdit>(dialog, "pattern")->text(), QStringLiteral("AA:BB"));
    Press(dialog, "previous");
  });
  asked_.clear();
  Trigger(Command::kSearchData);
  EXPECT_EQ(LastBox(), "No found data.");
  EXPECT_EQ(frame_->Search().direction, SearchDirection::kBackward);
}

TEST_F(SearchFrameTest, AddressSearchFindsTheChosenDirectionOnly) {
  OpenCapture();
  NextDialog<DlgSearchAddress>([](DlgSearchAddress& dialog) {
    Child<QLineEdit>(dialog, "address")->setText(QStringLiteral("0x400"));
    Child<QCheckBox>(dialog, "tenBit")->setChecked(true);
    Press(dialog, "next");  // refused: the dialog stays
    EXPECT_TRUE(dialog.isVisible());
    Child<QCheckBox>(dialog, "tenBit")->setChecked(false);
    Child<QLineEdit>(dialog, "address")->setText(QStringLiteral("0x50"));
    Child<QCheckBox>(dialog, "write")->setChecked(false);
    Press(dialog, "next");
  });
  Trigger(Command::kSearchAddress);
  EXPECT_EQ(asked_.front().text, "I2C address error");
  EXPECT_EQ(SelectedIndex(), 2u);  // the read, not the writes before it
  EXPECT_TRUE(tab_->marked.empty());
  Trigger(Command::kSearchNext);
  EXPECT_EQ(LastBox(), "No found I2C address");
}

TEST_F(SearchFrameTest, SubAddressSearchComparesTheFirstDataBytes) {
  OpenCapture();
  NextDialog<DlgSearchSubAddress>([](DlgSearchSubAddress& dialog) {
    Child<QComboBox>(dialog, "length")->setCurrentIndex(0);
    Child<QLineEdit>(dialog, "data")->setText(QStringLiteral("12"));
    Press(dialog, "next");
  });
  Trigger(Command::kSearchSubAddress);
  EXPECT_EQ(SelectedIndex(), 0u);
  Trigger(Command::kSearchNext);
  EXPECT_EQ(SelectedIndex(), 1u);
  Trigger(Command::kSearchNext);
  EXPECT_EQ(LastBox(), "No found I2C Sub-adress");
  EXPECT_EQ(SelectedIndex(), 1u);
}

TEST_F(SearchFrameTest, NackSearchSkipsTheNackBeforeStop) {
  OpenCapture();
  Trigger(Command::kSearchNack);
  // The read's last byte is NACKed before its STOP: not an error here.
  EXPECT_EQ(SelectedIndex(), 4u);
  ASSERT_EQ(tab_->marked.size(), 1u);
  EXPECT_EQ(tab_->marked[0].kind, HighlightKind::kNack);
  EXPECT_EQ(tab_->marked[0].byte_offset, 1u);  // after the address byte
  EXPECT_EQ(tab_->clocks.size(), 1u);
  Trigger(Command::kSearchNext);
  EXPECT_EQ(LastBox(), "Nack can not be found.");
}

TEST_F(SearchFrameTest, ErrorSearchFindsTheTimingViolation) {
  OpenCapture();
  Trigger(Command::kSearchError);
  EXPECT_EQ(SelectedIndex(), 6u);
  EXPECT_EQ(StatusMessage(), "Found data.");
  Trigger(Command::kSearchError);
  EXPECT_EQ(LastBox(), "No found transaction");
}

TEST_F(SearchFrameTest, TriggerJumpSaysWhenTheCaptureHasNoTrigger) {
  OpenCapture();
  Trigger(Command::kJumpTrigger);
  EXPECT_EQ(LastBox(), "Trigger is not found. ");
  EXPECT_EQ(SelectedIndex(), std::nullopt);
}

}  // namespace
}  // namespace orvane::ui::testing
