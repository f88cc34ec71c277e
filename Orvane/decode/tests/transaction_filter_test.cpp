#include "Orvane/decode/transaction_filter.h"

#include <gtest/gtest.h>

#include <numeric>

#include "Orvane/decode/tests/views_test_support.h"

namespace orvane {
namespace {

using views_test::FakeLoad;
using views_test::FakeStore;

constexpr uint8_t kSP = kBeganStart | kEndedStop;
constexpr uint8_t kSSr = kBeganStart | kEndedRepeatedStart;
constexpr uint8_t kSrP = kBeganRepeatedStart | kEndedStop;
constexpr uint8_t kSrSr = kBeganRepeatedStart | kEndedRepeatedStart;

class FilterTest : public ::testing::Test, public views_test::RecordsFixture {
 protected:
  FilterTest() { s_.FilterEnable = 1; }
  std::vector<uint32_t> Apply() {
    const FilterOutcome outcome = ApplyTransactionFilter(Sampling(), s_, sink_, &FakeLoad);
    EXPECT_EQ(outcome.entered, Store().ViewCount());
    return ViewIndexes();
  }
  SettingsRecord s_ = views_test::I2CSettings();
};

TEST_F(FilterTest, DisabledEntersEverythingInOrderAndPostsStatus) {
  for (int i = 0; i < 5; ++i) AddI2C(0x50, i % 2, 3);
  s_.FilterEnable = 0;
  s_.FilterRangeEnable = 1;
  s_.FilterRangeStart = 2;
  s_.FilterRangeEnd = 3;
  EXPECT_EQ(Apply(), (std::vector<uint32_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(sink_.StatusTexts(), (std::vector<std::string>{"filtering...", " "}));
}

TEST_F(FilterTest, RangeKeepsExactlyTheNumbers) {
  for (int i = 0; i < 30; ++i) AddI2C(0x50, false, 3);
  s_.FilterRangeEnable = 1;
  s_.FilterRangeStart = 10;
  s_.FilterRangeEnd = 20;
  std::vector<uint32_t> expected(11);
  std::iota(expected.begin(), expected.end(), 10u);
  EXPECT_EQ(Apply(), expected);
  // A second run starts from an empty view again.
  EXPECT_EQ(Apply(), expected);
}

TEST_F(FilterTest, AddressMaskAndTenBitMode) {
  AddI2C(0x50, false, 3);                            // 0
  AddI2C(0x50, true, 3);                             // 1
  AddI2C(0x50, false, 3).i2c.I2CFlags = kI2C10Bit;   // 2: 10-bit never with 7-bit mode
  AddI2C(0x51, false, 3);                            // 3
  AddI2C(0xD0, false, 3);                            // 4: masked to 0x50
  s_.FilterAddressEnable = 1;
  s_.FilterAddressValue = 0x50;
  s_.FilterAddressMask = 0x7F;
  s_.FilterWriteForRead = 0;
  EXPECT_EQ(Apply(), (std::vector<uint32_t>{0, 1, 4}));
}

TEST_F(FilterTest, WriteForReadEntersTheWriteOfARepeatedStartRead) {
  AddI2C(0x50, false, 2, kSSr);  // 0: sub-address write
  AddI2C(0x50, true, 3, kSrP);   // 1: read after the repeated START
  AddI2C(0x50, false, 3, kSP);   // 2: plain write
  AddI2C(0x50, true, 3, kSP);    // 3: read on its own
  s_.FilterWrite = 0;
  EXPECT_EQ(Apply(), (std::vector<uint32_t>{0, 1, 3}));
}

// The chain is skipped whole, its read included.
TEST_F(FilterTest, ExcludeWriteForReadSkipsTheWholeChain) {
  AddI2C(0x50, false, 2, kSSr);  // 0: write of a write-for-read chain
  AddI2C(0x50, false, 2, kSrSr); // 1
  AddI2C(0x50, true, 3, kSrP);   // 2: the read
  AddI2C(0x50, false, 3, kSP);   // 3: write only
  AddI2C(0x50, false, 3, kSSr);  // 4: chain of writes only
  AddI2C(0x50, false, 3, kSrP);  // 5
  s_.FilterOmitWriteForRead = 1;
  s_.FilterWriteForRead = 0;
  EXPECT_EQ(Apply(), (std::vector<uint32_t>{3, 4, 5}));
}

TEST_F(FilterTest, SubAddressMatchesMaskedBytesAfterTheAddress) {
  FakeStore()[0].bytes = {0xA0, 0x12, 0x34, 0x56};
  AddI2C(0x50, false, 4);                  // 0: entered
  FakeStore()[1].bytes = {0xA0, 0x12, 0x35, 0x56};
  AddI2C(0x50, false, 4);                  // 1: second byte differs
  FakeStore()[2].bytes = {0xA0, 0x12};
  AddI2C(0x50, false, 2);                  // 2: too short
  FakeStore()[3].bytes = {0xA1, 0x12, 0x34};
  AddI2C(0x50, true, 3);                   // 3: a read never
  FakeStore()[4].bytes = {0xA0, 0x12, 0x34};
  AddI2C(0x50, false, 3, kSSr);            // 4: entered, its chain follows
  AddI2C(0x50, true, 4, kSrP);             // 5
  s_.FilterSubAddressEnable = 1;
  s_.FilterSubAddressLength = 2;
  s_.FilterSubAddressData[0] = 0x12;
  s_.FilterSubAddressData[1] = 0x34;
  EXPECT_EQ(Apply(), (std::vector<uint32_t>{0, 4, 5}));
  s_.FilterFromSubAddress = 0;
  EXPECT_EQ(Apply(), (std::vector<uint32_t>{0, 4}));
}

TEST_F(FilterTest, HsMasterCodeEntersWithItsMatchedRead) {
  TransactionInfo& code = AddI2C(0x08, false, 1, kSSr);  // 0: HS master code
  code.i2c.I2CFlags = kI2CHsMasterCode;
  AddI2C(0x50, false, 2, kSrSr);                         // 1
  AddI2C(0x50, true, 3, kSrP);                           // 2
  s_.FilterAddressEnable = 1;
  s_.FilterAddressValue = 0x50;
  s_.FilterAddressMask = 0x7F;
  s_.FilterWrite = 0;
  s_.HsEnable = 1;
  EXPECT_EQ(Apply(), (std::vector<uint32_t>{0, 1, 2}));
  s_.HsEnable = 0;
  EXPECT_EQ(Apply(), (std::vector<uint32_t>{1, 2}));
}

TEST_F(FilterTest, ReadAtRangeStartStandsWithoutItsWrite) {
  for (int i = 0; i < 10; ++i) AddI2C(0x50, false, 3);
  AddI2C(0x50, false, 2, kSSr);  // 10
  AddI2C(0x50, true, 3, kSrP);   // 11: range start, its write is outside
  AddI2C(0x50, false, 2, kSSr);  // 12
  AddI2C(0x50, true, 3, kSrP);   // 13
  s_.FilterRangeEnable = 1;
  s_.FilterRangeStart = 11;
  s_.FilterRangeEnd = 20;
  s_.FilterWrite = 0;
  EXPECT_EQ(Apply(), (std::vector<uint32_t>{11, 12, 13}));
}

TEST_F(FilterTest, InconsistentRepeatedStartChainEnds) {
  AddI2C(0x50, false, 2, kSSr);  // 0
  AddI2C(0x50, false, 2, kSrP);  // 1: ends with STOP, yet the next began with Sr
  AddI2C(0x50, true, 3, kSrP);   // 2: walks back to 0, the chain breaks at 1
  AddI2C(0x50, true, 3, kSP);    // 3
  s_.FilterWrite = 0;
  EXPECT_EQ(Apply(), (std::vector<uint32_t>{0, 1, 2, 3}));
}

TEST_F(FilterTest, ChangesOnlySkipsQuietSpansInForcedDisplay) {
  Add().Status = kStatusNoChange;
  Add();
  Add().Status = kStatusNoChange;
  s_.ForcedDisplay = 1;
  s_.FilterChangesOnly = 1;
  EXPECT_EQ(Apply(), (std::vector<uint32_t>{1}));
}

// Without the I2C rules (filter off, SPI, forced display) the walk enters
// every record it keeps: the range and the quiet spans still count where
// the filter is on, and a full view stops the walk at the row that fills it.
struct KeptCase {
  const char* name;
  bool spi;
  bool enabled;
  bool changes_only;
  bool range;
  std::vector<uint32_t> entered;
};

const KeptCase kKeptCases[] = {
    {"FilterOffTakesAll", false, false, true, true, {0, 1, 2, 3, 4, 5}},
    {"SpiAll", true, true, false, false, {0, 1, 2, 3, 4, 5}},
    {"SpiRange", true, true, false, true, {1, 2, 3, 4}},
    {"SpiChangesOnly", true, true, true, false, {1, 2, 4, 5}},
    {"SpiRangeAndChanges", true, true, true, true, {1, 2, 4}},
};

class FilterKept : public FilterTest, public ::testing::WithParamInterface<KeptCase> {};

TEST_P(FilterKept, EntersEveryRecordTheWalkKeeps) {
  const KeptCase& c = GetParam();
  if (c.spi) s_ = views_test::SpiSettings();
  for (int i = 0; i < 6; ++i) Add().Status = i % 3 == 0 ? kStatusNoChange : 0;
  s_.FilterEnable = c.enabled ? 1 : 0;
  s_.FilterChangesOnly = c.changes_only ? 1 : 0;
  s_.FilterRangeEnable = c.range ? 1 : 0;
  s_.FilterRangeStart = 1;
  s_.FilterRangeEnd = 4;
  EXPECT_EQ(Apply(), c.entered);
}

INSTANTIATE_TEST_SUITE_P(Walk, FilterKept, ::testing::ValuesIn(kKeptCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace orvane
