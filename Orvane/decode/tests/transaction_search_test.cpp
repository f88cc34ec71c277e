#include "Orvane/decode/transaction_search.h"

#include <gtest/gtest.h>

#include "Orvane/decode/tests/views_test_support.h"

namespace orvane {
namespace {

using velix::platform::Icon;
using views_test::AckBits;
using views_test::FakeLoad;
using views_test::FakeLoads;
using views_test::FakeStore;

constexpr auto kFwd = SearchDirection::kForward;
constexpr auto kBack = SearchDirection::kBackward;

class SearchTest : public ::testing::Test, public views_test::RecordsFixture {
 protected:
  SearchEnv Env() { return {Sampling(), s_, sink_, &FakeLoad}; }
  SearchHit Search(SearchKind kind, SearchDirection direction, std::optional<uint32_t> selected) {
    SearchEnv env = Env();
    return RunSearch(env, memory_, kind, direction, selected);
  }
  SearchHit Again(SearchDirection direction, std::optional<uint32_t> selected) {
    SearchEnv env = Env();
    return RepeatSearch(env, memory_, direction, selected);
  }
  void Pattern(std::vector<uint8_t> bytes) {
    memory_.data_length = static_cast<uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), memory_.data_pattern.begin());
  }
  std::string LastMessage() {
    const auto messages = sink_.Messages();
    return messages.empty() ? "" : messages.back().text;
  }
  SettingsRecord s_ = views_test::I2CSettings();
  SearchMemory memory_;
};

TEST_F(SearchTest, JumpToFilteredOutNumberOffersTheNextLarger) {
  for (int i = 0; i < 7; ++i) AddI2C(0x50, false, 2);
  Store().ResetView();
  for (RecordRef ref = Store().Head(); ref != kNoRecord; ref = Store().At(ref).Next) {
    if (Store().At(ref).Index % 2 == 0) Store().AppendToView(ref);  // rows show 0 2 4 6
  }
  SearchEnv env = Env();
  JumpResult jump = JumpToTransaction(env, 3);
  EXPECT_EQ(jump.outcome, JumpOutcome::kAskNearest);
  EXPECT_EQ(jump.row, 2u);
  EXPECT_EQ(sink_.StatusTexts().back(), "No found transaction");
  jump = JumpToTransaction(env, 99);
  EXPECT_EQ(jump.outcome, JumpOutcome::kAskNearest);
  EXPECT_EQ(jump.row, 3u);
  jump = JumpToTransaction(env, 4);
  EXPECT_EQ(jump.outcome, JumpOutcome::kFound);
  EXPECT_EQ(jump.row, 2u);
  EXPECT_EQ(sink_.StatusTexts().back(), "Found transaction");
  uint32_t first = 0, last = 0;
  ASSERT_TRUE(JumpRange(Sampling(), &first, &last));
  EXPECT_EQ(last, 6u);
  Store().ResetView();
  EXPECT_EQ(JumpToTransaction(env, 0).outcome, JumpOutcome::kNoRows);
}

TEST_F(SearchTest, RowSearchesStepFromTheSelectionWithoutWrapping) {
  AddI2C(0x50, false, 2);
  AddI2C(0x50, false, 2).Status = kStatusBitCount;
  AddI2C(0x51, false, 2).Status = kStatusNotAnError;
  AddI2C(0x50, false, 2).Status = kStatusBuf;
  ViewAll();
  // Previous without a selection searches forward from row 0.
  EXPECT_EQ(Search(SearchKind::kError, kBack, std::nullopt).row, 1u);
  EXPECT_EQ(memory_.kind, SearchKind::kError);
  EXPECT_EQ(Again(kFwd, 1u).row, 3u);
  EXPECT_EQ(Again(kBack, 3u).row, 1u);
  EXPECT_FALSE(Again(kBack, 1u).found);
  EXPECT_EQ(LastMessage(), "No found transaction");
  EXPECT_EQ(sink_.Messages().back().icon, Icon::kExclamation);
  EXPECT_EQ(sink_.StatusTexts().front(), "Searching now... [Error transaction]");
}

TEST_F(SearchTest, AddressAndSubAddressMatches) {
  AddI2C(0x50, false, 3).i2c.I2CFlags = kI2C10Bit;  // 0
  TransactionInfo& sub = AddI2C(0x50, false, 4);    // 1
  sub.Preview[0] = 0x12;
  sub.Preview[1] = 0x34;
  AddI2C(0x50, true, 2);                            // 2: one preview byte only
  ViewAll();
  memory_.address = 0x50;
  EXPECT_EQ(Search(SearchKind::kI2CAddress, kFwd, std::nullopt).row, 1u);
  memory_.address_10bit = true;
  EXPECT_EQ(Search(SearchKind::kI2CAddress, kFwd, std::nullopt).row, 0u);
  // "Read packet" and "Write packet" choose which directions are found.
  memory_.address_10bit = false;
  memory_.address_write = false;
  EXPECT_EQ(Search(SearchKind::kI2CAddress, kFwd, std::nullopt).row, 2u);
  memory_.address_read = false;
  EXPECT_FALSE(Search(SearchKind::kI2CAddress, kFwd, std::nullopt).found);
  EXPECT_EQ(LastMessage(), "No found I2C address");
  memory_.address_write = true;
  EXPECT_EQ(Search(SearchKind::kI2CAddress, kBack, 2u).row, 1u);
  memory_.sub_length = 2;
  memory_.sub_data = {0x12, 0x34};
  EXPECT_EQ(Search(SearchKind::kI2CSubAddress, kFwd, std::nullopt).row, 1u);
  EXPECT_FALSE(Search(SearchKind::kI2CSubAddress, kFwd, 1u).found);
  EXPECT_EQ(LastMessage(), "No found I2C Sub-adress");
}

TEST_F(SearchTest, DataPatternBeyondThePreviewAndNextInTheSameRow) {
  FakeStore()[0].bytes = {0xA0, 1, 2, 3, 4, 5, 6, 7, 8, 0xAA, 0xBB, 0xAA, 0xBB};
  FakeStore()[0].offsets = {0, 9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 99, 108};
  AddI2C(0x50, false, 13);
  AddI2C(0x50, false, 2);  // no bytes at all
  FakeStore()[2].bytes = {0xBB, 0xAA, 0xBB};
  AddI2C(0x50, false, 3);
  ViewAll();
  Pattern({0xAA, 0xBB});
  SearchHit hit = Search(SearchKind::kData, kFwd, std::nullopt);
  ASSERT_TRUE(hit.found);
  EXPECT_EQ(hit.row, 0u);
  EXPECT_EQ(hit.byte_offset, 9u);
  EXPECT_EQ(hit.byte_count, 2u);
  EXPECT_TRUE(hit.has_clock);
  EXPECT_EQ(hit.clock_offset, 81u);
  EXPECT_EQ(sink_.StatusTexts().back(), "Found data.");
  hit = Again(kFwd, 0u);
  EXPECT_EQ(hit.row, 0u);
  EXPECT_EQ(hit.byte_offset, 11u);
  hit = Again(kFwd, 0u);
  EXPECT_EQ(hit.row, 2u);
  EXPECT_EQ(hit.byte_offset, 1u);
  hit = Again(kBack, 2u);
  EXPECT_EQ(hit.row, 0u);
  EXPECT_EQ(hit.byte_offset, 11u);
  EXPECT_EQ(Again(kFwd, 0u).row, 2u);
  FakeLoads().clear();
  EXPECT_FALSE(Again(kFwd, 2u).found);
  EXPECT_EQ(LastMessage(), "No found data.");
  // The row selected at the start shows its own bytes again.
  EXPECT_EQ(FakeLoads().back(), 2u);
}

TEST_F(SearchTest, AnotherSelectedRowIsSearchedFromItsFirstByte) {
  FakeStore()[0].bytes = {0x11, 0x22};
  FakeStore()[1].bytes = {0x22, 0x11};
  AddI2C(0x50, false, 2);
  AddI2C(0x50, false, 2);
  ViewAll();
  Pattern({0x22});
  EXPECT_EQ(Search(SearchKind::kData, kFwd, std::nullopt).byte_offset, 1u);
  const SearchHit hit = Search(SearchKind::kData, kFwd, 1u);
  EXPECT_EQ(hit.row, 1u);
  EXPECT_EQ(hit.byte_offset, 0u);
}

TEST_F(SearchTest, SpiSearchesTheMisoLineFirstThenTheOther) {
  s_ = views_test::SpiSettings();
  FakeStore()[0].bytes = {0x01, 0x02, 0x03};
  FakeStore()[0].bytes2 = {0x55, 0x66, 0x02};
  Add();
  ViewAll();
  Pattern({0x66});
  SearchHit hit = Search(SearchKind::kData, kFwd, std::nullopt);
  EXPECT_EQ(hit.byte_offset, 1u);
  EXPECT_EQ(hit.line, 1);
  Pattern({0x02});
  hit = Search(SearchKind::kData, kFwd, std::nullopt);
  EXPECT_EQ(hit.byte_offset, 1u);
  EXPECT_EQ(hit.line, 0);
}

TEST_F(SearchTest, NackSearchExceptions) {
  FakeStore()[0].bytes = {0xA1, 0x10, 0x20};
  FakeStore()[0].bytes2 = AckBits({false, false, true});  // master's NACK before STOP
  FakeStore()[0].ack_offsets = {8, 17, 26};
  AddI2C(0x50, true, 3);
  FakeStore()[1].bytes = {0x08};
  FakeStore()[1].bytes2 = AckBits({true});                 // HS master code
  AddI2C(0x04, false, 1, kBeganStart | kEndedRepeatedStart).i2c.I2CFlags = kI2CHsMasterCode;
  FakeStore()[2].bytes = {0xA0, 0x10, 0x20};
  FakeStore()[2].bytes2 = AckBits({false, true, false});
  AddI2C(0x50, false, 3);
  ViewAll();
  s_.IgnoreNackBeforeStop = 1;
  s_.HsEnable = 1;
  SearchHit hit = Search(SearchKind::kNack, kFwd, std::nullopt);
  EXPECT_EQ(hit.row, 2u);
  EXPECT_EQ(hit.byte_offset, 1u);
  EXPECT_EQ(sink_.StatusTexts().front(), "Searching now... [I2C NACK]");
  s_.IgnoreNackBeforeStop = 0;
  s_.HsEnable = 0;
  hit = Search(SearchKind::kNack, kFwd, std::nullopt);
  EXPECT_EQ(hit.row, 0u);
  EXPECT_EQ(hit.byte_offset, 2u);
  EXPECT_EQ(hit.clock_offset, 26u);
  EXPECT_EQ(Again(kFwd, 0u).row, 1u);
}

TEST_F(SearchTest, TriggerRowAndNothingToRepeat) {
  AddI2C(0x50, false, 2);
  ViewAll();
  SearchEnv env = Env();
  EXPECT_FALSE(FindTriggerRow(env).found);
  EXPECT_EQ(LastMessage(), "Trigger is not found. ");
  Store().At(Store().Head()).RecordFlags |= kRecordTrigger;
  EXPECT_TRUE(FindTriggerRow(env).found);
  EXPECT_FALSE(Again(kFwd, 0u).found);
}

}  // namespace
}  // namespace orvane
