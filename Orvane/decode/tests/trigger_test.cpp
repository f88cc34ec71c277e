#include <gtest/gtest.h>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/monitor_i2c.h"
#include "Orvane/decode/monitor_spi.h"
#include "Orvane/decode/tests/monitor_test_support.h"
#include "Orvane/decode/trigger_action.h"
#include "Orvane/decode/trigger_eval.h"

namespace orvane {
namespace {

using namespace orvane::testing;  // NOLINT: the unit builders
using C = TriggerCondition;

struct ScanCase {
  std::vector<uint8_t> pattern;
  std::vector<uint8_t> mask;
  std::vector<uint8_t> bytes;
  bool found;
};

TEST(PatternScan, RestartsWithoutRetryingTheMismatchingByte) {
  const ScanCase cases[] = {
      {{0xAA}, {0xFF}, {0x01, 0xAA, 0x02}, true},
      {{0xAA, 0xBB}, {0xFF, 0xFF}, {0xAA, 0xBB}, true},
      {{0xAA, 0xBB}, {0xFF, 0xFF}, {0xAA, 0xAA, 0xBB}, false},  // the second AA is not a new start
      {{0xAA, 0xBB}, {0xFF, 0xFF}, {0xAA, 0x00, 0xAA, 0xBB}, true},
      {{0xA0, 0x05}, {0xF0, 0x0F}, {0xA7, 0x35}, true},
      {{0xAA, 0xBB, 0xCC}, {0xFF, 0xFF, 0xFF}, {0xAA, 0xBB}, false},  // shorter than the pattern
  };
  for (const ScanCase& c : cases) {
    PatternScan scan(c.pattern.data(), c.mask.data(), static_cast<uint32_t>(c.pattern.size()));
    for (uint8_t b : c.bytes) scan.Feed(b);
    EXPECT_EQ(scan.Found(), c.found) << ::testing::PrintToString(c.bytes);
  }
  const uint8_t any[8] = {};
  PatternScan empty(any, any, 0);
  empty.Feed(0);
  EXPECT_FALSE(empty.Found());
}

struct CombineCase {
  std::array<C, 4> conditions;  // NACK, data, address, sub-address
  std::array<uint8_t, 3> ops;   // NackOp, DataOp, AddressOp
  bool trigger;
};

TEST(TriggerCombination, DecidesFromLeftToRight) {
  constexpr uint8_t OR = kTriggerOpOr;
  constexpr uint8_t AND = kTriggerOpAnd;
  const CombineCase cases[] = {
      {{C::kDisabled, C::kDisabled, C::kDisabled, C::kDisabled}, {OR, OR, OR}, false},
      {{C::kMet, C::kDisabled, C::kDisabled, C::kDisabled}, {OR, OR, OR}, true},
      {{C::kNotMet, C::kDisabled, C::kDisabled, C::kDisabled}, {OR, OR, OR}, false},
      {{C::kMet, C::kNotMet, C::kDisabled, C::kDisabled}, {OR, OR, OR}, true},
      {{C::kNotMet, C::kMet, C::kDisabled, C::kDisabled}, {OR, OR, OR}, true},
      {{C::kNotMet, C::kMet, C::kDisabled, C::kDisabled}, {AND, OR, OR}, false},
      {{C::kMet, C::kNotMet, C::kDisabled, C::kDisabled}, {AND, OR, OR}, false},
      {{C::kMet, C::kMet, C::kDisabled, C::kDisabled}, {AND, OR, OR}, true},
      {{C::kDisabled, C::kMet, C::kNotMet, C::kMet}, {OR, AND, OR}, true},   // data AND (addr OR sub)
      {{C::kDisabled, C::kMet, C::kNotMet, C::kNotMet}, {OR, AND, OR}, false},
      {{C::kDisabled, C::kNotMet, C::kMet, C::kMet}, {OR, AND, OR}, false},
      {{C::kDisabled, C::kDisabled, C::kMet, C::kNotMet}, {OR, OR, AND}, false},
      {{C::kDisabled, C::kDisabled, C::kMet, C::kMet}, {OR, OR, AND}, true},
      {{C::kMet, C::kDisabled, C::kDisabled, C::kMet}, {AND, OR, OR}, true},
      {{C::kMet, C::kDisabled, C::kDisabled, C::kNotMet}, {AND, OR, OR}, false},
      // The last enabled condition decides by itself, whatever operator
      // follows it in a damaged record.
      {{C::kMet, C::kMet, C::kDisabled, C::kDisabled}, {AND, AND, OR}, true},
  };
  for (const CombineCase& c : cases) {
    EXPECT_EQ(CombineTriggerConditions(c.conditions, c.ops), c.trigger)
        << static_cast<int>(c.conditions[0]) << static_cast<int>(c.conditions[1])
        << static_cast<int>(c.conditions[2]) << static_cast<int>(c.conditions[3]);
  }
}

// One I2C record fed to the evaluator.
bool Evaluate(const SettingsRecord& s, uint16_t address, uint16_t flags, const std::vector<uint8_t>& bytes) {
  TransactionInfo r{};
  r.i2c.I2CAddress = address;
  r.i2c.I2CFlags = flags;
  r.BitCount = static_cast<uint32_t>(bytes.size());
  const uint32_t address_bytes = bytes.empty() ? 0 : ((flags & kI2C10Bit) && !(flags & kI2CRead) ? 2 : 1);
  I2CTriggerEvaluator evaluator(s, r, address_bytes);
  for (uint8_t b : bytes) evaluator.Feed(b);
  return evaluator.Triggered();
}

class I2CTriggerConditions : public ::testing::Test {
 protected:
  SettingsRecord s_ = DefaultSettingsRecord();
};

TEST_F(I2CTriggerConditions, DataPatternSeesTheAddressByte) {
  s_.DataPatternEnable = 1;
  s_.DataLength = 1;
  s_.DataPattern[0] = 0xAA;
  EXPECT_TRUE(Evaluate(s_, 0x55, 0, {0xAA, 0x01}));
  EXPECT_TRUE(Evaluate(s_, 0x50, 0, {0xA0, 0xAA}));
  EXPECT_FALSE(Evaluate(s_, 0x50, 0, {0xA0, 0xAB}));
}

TEST_F(I2CTriggerConditions, AddressComparesMaskedAddressAndTheTenBitMode) {
  s_.AddressEnable = 1;
  s_.AddressValue = 0x50;
  s_.AddressMask = 0x3FF;
  EXPECT_TRUE(Evaluate(s_, 0x50, 0, {0xA0}));
  EXPECT_FALSE(Evaluate(s_, 0x51, 0, {0xA2}));
  EXPECT_FALSE(Evaluate(s_, 0x50, kI2C10Bit, {0xF0, 0x50}));  // 10-bit record, 7-bit setting
  s_.AddressMask = 0x70;
  EXPECT_TRUE(Evaluate(s_, 0x5F, 0, {0xBE}));
  s_.AddressCondition = 1;  // "!="
  EXPECT_FALSE(Evaluate(s_, 0x5F, 0, {0xBE}));
  EXPECT_TRUE(Evaluate(s_, 0x2F, 0, {0x5E}));
  EXPECT_FALSE(Evaluate(s_, 0x2F, kI2C10Bit, {0xF0, 0x2F}));  // the mode must match for != too
  s_.Address10Bit = 1;
  s_.AddressCondition = 0;
  s_.AddressValue = 0x2A5;
  s_.AddressMask = 0x3FF;
  EXPECT_TRUE(Evaluate(s_, 0x2A5, kI2C10Bit, {0xF4, 0xA5}));
  EXPECT_FALSE(Evaluate(s_, 0x2A5, 0, {0xF4}));
}

TEST_F(I2CTriggerConditions, SubAddressNeedsAWriteWithEnoughBytes) {
  s_.SubAddressEnable = 1;
  s_.SubAddressLength = 2;
  s_.SubAddressData[0] = 0x10;
  s_.SubAddressData[1] = 0x20;
  EXPECT_TRUE(Evaluate(s_, 0x50, 0, {0xA0, 0x10, 0x20, 0x99}));
  EXPECT_FALSE(Evaluate(s_, 0x50, 0, {0xA0, 0x10, 0x21}));
  EXPECT_FALSE(Evaluate(s_, 0x50, 0, {0xA0, 0x10}));              // too short
  EXPECT_FALSE(Evaluate(s_, 0x50, kI2CRead, {0xA1, 0x10, 0x20}));  // a read
  EXPECT_TRUE(Evaluate(s_, 0x2A5, kI2C10Bit, {0xF4, 0xA5, 0x10, 0x20}));  // after two address bytes
  s_.SubAddressCondition = 1;  // "!=": any byte differs
  EXPECT_TRUE(Evaluate(s_, 0x50, 0, {0xA0, 0x10, 0x21}));
  EXPECT_FALSE(Evaluate(s_, 0x50, 0, {0xA0, 0x10, 0x20}));
  EXPECT_FALSE(Evaluate(s_, 0x50, kI2CRead, {0xA1, 0x11, 0x21}));
}

TEST_F(I2CTriggerConditions, NackAndOperators) {
  s_.NackDetect = 1;
  EXPECT_TRUE(Evaluate(s_, 0x50, kI2CNack, {0xA0}));
  EXPECT_FALSE(Evaluate(s_, 0x50, 0, {0xA0}));
  s_.AddressEnable = 1;
  s_.AddressValue = 0x50;
  s_.NackOp = kTriggerOpAnd;
  EXPECT_TRUE(Evaluate(s_, 0x50, kI2CNack, {0xA0}));
  EXPECT_FALSE(Evaluate(s_, 0x50, 0, {0xA0}));
  EXPECT_FALSE(Evaluate(s_, 0x51, kI2CNack, {0xA2}));
  s_.NackOp = kTriggerOpOr;
  EXPECT_TRUE(Evaluate(s_, 0x51, kI2CNack, {0xA2}));
  EXPECT_TRUE(Evaluate(s_, 0x50, 0, {0xA0}));
}

TEST(TriggerStopPosition, FollowsTheTriggerPosition) {
  constexpr uint32_t kSize = 1000;
  EXPECT_EQ(TriggerStopPosition(100, 40, 10, kSize, 2), 36u);
  EXPECT_EQ(TriggerStopPosition(100, 2, 10, kSize, 2), 0u);  // not before the buffer start
  EXPECT_EQ(TriggerStopPosition(50, 40, 11, kSize, 2), 550u);  // 40 + 11 + 500 = 551, down to 550
  EXPECT_EQ(TriggerStopPosition(50, 40, 14, kSize, 4), 552u);  // 554 down to a multiple of 4
  EXPECT_EQ(TriggerStopPosition(50, 600, 6, kSize, 2), 106u);  // 1106 wraps
  EXPECT_EQ(TriggerStopPosition(1, 998, 0, kSize, 2), 8u);
  EXPECT_LT(TriggerStopPosition(65535, 10, 10, kSize, 4), kSize);  // a damaged percentage stays in the ring
}

// Offline runs with the trigger on: transactions 0..3, the data byte k.
class TriggerRun : public MonitorDecodeTest {
 protected:
  std::string Transactions() {
    std::vector<uint16_t> units;
    for (uint8_t k = 0; k < 4; ++k) {
      const uint8_t data = k == 1 || k == 2 ? 0xAA : k;
      for (uint16_t u : {Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kAcked, data), Unit1(kStop)}) units.push_back(u);
    }
    return I2CUnits(units);
  }
  void PatternAA() {
    settings_.TriggerEnable = 1;
    settings_.DataPatternEnable = 1;
    settings_.DataLength = 1;
    settings_.DataPattern[0] = 0xAA;
  }
};

TEST_F(TriggerRun, OnlyTheFirstMatchIsMarked) {
  PatternAA();
  settings_.TriggerPosition = 50;
  EXPECT_EQ(Decode(Transactions(), RunMonitorI2CDecode), kResultDataEnd);
  const auto records = Records();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[1].RecordFlags, kRecordI2C | kRecordComplete | kRecordTrigger);
  EXPECT_EQ(records[2].RecordFlags, kRecordI2C | kRecordComplete);
  EXPECT_TRUE(sampling_->trigger_seen);
  EXPECT_EQ(sampling_->SamplingStopAdrs, kNoStopAddress);  // the stop position steers live captures only
  while (auto event = events_.Take(0)) EXPECT_NE(event->kind, RunEventKind::kTriggerDetect);  // live only
}

TEST_F(TriggerRun, PositionZeroEndsTheRunAtTheTrigger) {
  PatternAA();
  settings_.TriggerPosition = 0;
  EXPECT_EQ(Decode(Transactions(), RunMonitorI2CDecode), kResultDataEnd);
  const auto records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[1].RecordFlags & kRecordTrigger);
}

TEST_F(TriggerRun, TriggerDisabledMarksNothing) {
  PatternAA();
  settings_.TriggerEnable = 0;
  settings_.TriggerPosition = 0;
  EXPECT_EQ(Decode(Transactions(), RunMonitorI2CDecode), kResultDataEnd);
  for (const TransactionInfo& r : Records()) EXPECT_FALSE(r.RecordFlags & kRecordTrigger);
}

TEST_F(TriggerRun, SpiPatternOnEitherLine) {
  PatternAA();
  settings_.DataLength = 2;
  settings_.DataPattern[1] = 0xBB;
  settings_.TriggerPosition = 0;
  settings_.SpiSsMode = 1;
  const std::string data = SpiUnits({SsLevel(0), Data(0xAA, 0x00), Data(0x00, 0xBB), SsLevel(1),  // split: no
                                     SsLevel(0), Data(0x01, 0xAA), Data(0x02, 0xBB), SsLevel(1),  // second line
                                     SsLevel(0), Data(0xAA, 0x01), Data(0xBB, 0x02), SsLevel(1)});
  EXPECT_EQ(Decode(data, RunMonitorSpiDecode), kResultDataEnd);
  const auto records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_FALSE(records[0].RecordFlags & kRecordTrigger);
  EXPECT_TRUE(records[1].RecordFlags & kRecordTrigger);
}

}  // namespace
}  // namespace orvane
