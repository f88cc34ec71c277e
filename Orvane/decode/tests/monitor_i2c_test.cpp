#include "Orvane/decode/monitor_i2c.h"

#include <gtest/gtest.h>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/tests/monitor_test_support.h"

namespace orvane {
namespace {

using namespace orvane::testing;  // NOLINT: the unit builders

struct ExpectedI2C {
  uint8_t start_end;
  uint32_t pos;
  uint32_t len;
  uint32_t bytes;
  uint16_t address;
  uint16_t flags;
  std::vector<uint8_t> preview;
  uint16_t status = 0;
};

struct I2CCase {
  const char* name;
  std::vector<uint16_t> units;
  uint32_t result;
  std::vector<ExpectedI2C> records;
  bool ignore_nack_before_stop = true;
  bool hs = false;
};

const I2CCase kI2CCases[] = {
    {"StartAndAddressInOneUnit",
     {0xCD50, Unit1(kAcked, 0x11), Unit1(kStop)},
     kResultDataEnd,
     {{0x15, 0, 4, 2, 0x28, 0, {0x11}}}},
    {"EmptyUnitsCountIntoTheSpan",
     {Unit1(kStart), 0, Unit1(kAcked, 0xA0), Unit1(kNacked, 0x01), 0, Unit1(kStop)},
     kResultDataEnd,
     {{0x19, 0, 10, 2, 0x50, 0, {0x01}}}},
    {"NackBeforeStopCountsWhenNotIgnored",
     {Unit1(kStart), Unit1(kAcked, 0xA1), Unit1(kNacked, 0x01), Unit1(kStop)},
     kResultDataEnd,
     {{0x19, 0, 6, 2, 0x50, 0x06, {0x01}}},
     false},
    {"NackInsideTheTransactionAlwaysCounts",
     {Unit1(kStart), Unit1(kNacked, 0xA0), Unit1(kAcked, 0x01), Unit1(kStop)},
     kResultDataEnd,
     {{0x19, 0, 6, 2, 0x50, 0x04, {0x01}}}},
    {"StopAndStartShareAUnit",
     {Unit1(kStart), Unit1(kAcked, 0xA0), Unit2(kStop, kStart), Unit1(kAcked, 0xA1), Unit1(kNacked, 0x55),
      Unit1(kStop)},
     kResultDataEnd,
     {{0x59, 0, 4, 1, 0x50, 0, {}}, {0x19, 4, 6, 2, 0x50, 0x02, {0x55}}}},
    {"StopAndIdleDataShareAUnit",
     {Unit1(kStart), Unit1(kAcked, 0xA0), Unit2(kStop, kAcked, 0x77), Unit1(kStart), Unit1(kAcked, 0xA2),
      Unit1(kStop)},
     kResultDataEnd,
     {{0x59, 0, 4, 1, 0x50, 0, {}}, {0x19, 6, 4, 1, 0x51, 0, {}}}},
    {"DataAndRepeatedStartShareAUnit",
     {Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kAcked, 0x10), Unit2(kAcked, kStart, 0x20), Unit1(kAcked, 0xA1),
      Unit1(kNacked, 0x33), Unit1(kStop)},
     kResultDataEnd,
     {{0x69, 0, 6, 3, 0x50, 0, {0x10, 0x20}}, {0x1A, 6, 6, 2, 0x50, 0x02, {0x33}}}},
    {"StartAndStopShareAUnit", {Unit2(kStart, kStop)}, kResultDataEnd, {{0x15, 0, 0, 0, 0, 0, {}}}},
    {"TenBitWriteThenReadAfterRepeatedStart",
     {Unit1(kStart), Unit1(kAcked, 0xF4), Unit1(kAcked, 0xA5), Unit1(kAcked, 0x01), Unit1(kStart),
      Unit1(kAcked, 0xF5), Unit1(kNacked, 0x99), Unit1(kStop)},
     kResultDataEnd,
     {{0x29, 0, 8, 3, 0x2A5, 0x01, {0x01}}, {0x1A, 8, 6, 2, 0x2A5, 0x03, {0x99}}}},
    {"TenBitReadWithOtherUpperBitsHasNoLowByte",
     {Unit1(kStart), Unit1(kAcked, 0xF4), Unit1(kAcked, 0xA5), Unit1(kStart), Unit1(kAcked, 0xF7),
      Unit1(kNacked, 0x99), Unit1(kStop)},
     kResultDataEnd,
     {{0x29, 0, 6, 2, 0x2A5, 0x01, {}}, {0x1A, 6, 6, 2, 0x300, 0x03, {0x99}}}},
    {"TenBitAddressIsForgottenAtStop",
     {Unit1(kStart), Unit1(kAcked, 0xF4), Unit1(kAcked, 0xA5), Unit1(kStop), Unit1(kStart), Unit1(kAcked, 0xA0),
      Unit1(kStart), Unit1(kAcked, 0xF5), Unit1(kStop)},
     kResultDataEnd,
     {{0x19, 0, 6, 2, 0x2A5, 0x01, {}}, {0x29, 8, 4, 1, 0x50, 0, {}}, {0x1A, 12, 4, 1, 0x200, 0x03, {}}}},
    {"HsMasterCodeThenHsTransfer",
     {Unit1(kStart), Unit1(kNacked, 0x0A), Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kAcked, 0x01), Unit1(kStop),
      Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kStop)},
     kResultDataEnd,
     {{0x29, 0, 4, 1, 0x05, 0x20, {}}, {0x1A, 4, 6, 2, 0x50, 0x10, {0x01}}, {0x19, 12, 4, 1, 0x50, 0, {}}},
     true,
     true},
    {"MasterCodeIsAnOrdinaryAddressWithoutHs",
     {Unit1(kStart), Unit1(kNacked, 0x0A), Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kStop)},
     kResultDataEnd,
     {{0x29, 0, 4, 1, 0x05, 0x04, {}}, {0x1A, 4, 4, 1, 0x50, 0, {}}}},
    {"ConditionsAndDataWhileIdleMakeNothing",
     {Unit1(kStop), Unit1(kAcked, 0x42), 0, Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kStop)},
     kResultDataEnd,
     {{0x19, 6, 4, 1, 0x50, 0, {}}}},
    {"DataEndInsideATransaction",
     {Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kAcked, 0x42)},
     kResultDataEndOpen,
     {{0x89, 0, 4, 2, 0x50, 0, {0x42}}}},
    {"InvalidUnitClosesAsBadData",
     {Unit1(kStart), Unit1(kAcked, 0xA0), 0x1D50, Unit1(kStop)},
     kResultBadData,
     {{0x89, 0, 4, 1, 0x50, 0, {}, kStatusBadData}}},
    {"XorOfThreeIsInvalid", {0x4750}, kResultBadData, {}},
    {"XorAboveFourIsInvalid", {0x1950}, kResultBadData, {}},
    {"SecondEventOutsideTheTableIsInvalid", {0x7350}, kResultBadData, {}},
};

class MonitorI2CDecode : public MonitorDecodeTest, public ::testing::WithParamInterface<I2CCase> {};

TEST_P(MonitorI2CDecode, BuildsTheRecords) {
  const I2CCase& c = GetParam();
  settings_.IgnoreNackBeforeStop = c.ignore_nack_before_stop ? 1 : 0;
  settings_.HsEnable = c.hs ? 1 : 0;
  EXPECT_EQ(Decode(I2CUnits(c.units), RunMonitorI2CDecode), c.result);
  const std::vector<TransactionInfo> records = Records();
  ASSERT_EQ(records.size(), c.records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(i);
    const TransactionInfo& r = records[i];
    const ExpectedI2C& e = c.records[i];
    EXPECT_EQ(r.Index, i);
    EXPECT_EQ(r.bStartEndType, e.start_end);
    EXPECT_EQ(r.SamplePos, e.pos);
    EXPECT_EQ(r.SampleLen, e.len);
    EXPECT_EQ(r.BitCount, e.bytes);
    EXPECT_EQ(r.i2c.I2CAddress, e.address);
    EXPECT_EQ(r.i2c.I2CFlags, e.flags);
    EXPECT_EQ(r.Status, e.status);
    // Records of a run that ended in an error are not post-processed.
    if (c.result == kResultBadData) continue;
    EXPECT_EQ(r.RecordFlags, kRecordI2C | kRecordComplete);
    EXPECT_EQ(PreviewOf(r), e.preview);
  }
}

INSTANTIATE_TEST_SUITE_P(Units, MonitorI2CDecode, ::testing::ValuesIn(kI2CCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// A run that ends in an error leaves the records of its last step (since
// the last STOP unit) incomplete and without preview; those before it stay
// complete, also where no trigger post-processes them.
struct ErrorStepCase {
  const char* name;
  std::vector<uint16_t> units;
  std::vector<bool> complete;
};

const ErrorStepCase kErrorStepCases[] = {
    {"StopEndsTheStep",
     {Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kAcked, 0x11), Unit1(kStop), Unit1(kStart), Unit1(kAcked, 0xA2),
      0x4750},
     {true, false}},
    {"RepeatedStartsStayInTheStep",
     {Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kStart), Unit1(kAcked, 0xA1), Unit2(kAcked, kStop, 0x22),
      Unit1(kStart), Unit1(kAcked, 0xA4), Unit2(kAcked, kStart, 0x33), Unit1(kAcked, 0xA5), 0x4750},
     {true, true, false, false}},
    {"StopSharedWithAStartEndsNoStep",
     {Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kAcked, 0x11), Unit2(kStop, kStart), Unit1(kAcked, 0xA2), 0x4750},
     {false, false}},
};

class MonitorI2CErrorStep : public MonitorDecodeTest, public ::testing::WithParamInterface<ErrorStepCase> {};

TEST_P(MonitorI2CErrorStep, LeavesOnlyTheLastStepUnfinished) {
  const ErrorStepCase& c = GetParam();
  EXPECT_EQ(Decode(I2CUnits(c.units), RunMonitorI2CDecode), kResultBadData);
  const std::vector<TransactionInfo> records = Records();
  ASSERT_EQ(records.size(), c.complete.size());
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ((records[i].RecordFlags & kRecordComplete) != 0, c.complete[i]);
    if (!c.complete[i]) {
      EXPECT_EQ(records[i].PreviewLen, 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Units, MonitorI2CErrorStep, ::testing::ValuesIn(kErrorStepCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

class MonitorI2CRun : public MonitorDecodeTest {};

TEST_F(MonitorI2CRun, OfflineRunReportsProgressAndStartsFromACleanCounter) {
  sampling_ = nullptr;
  const std::string data = I2CUnits({Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kStop)});
  ASSERT_TRUE(Open(data));
  sampling_->transaction_counter = 77;
  DecodeContext ctx{*sampling_, settings_, events_};
  EXPECT_EQ(RunMonitorI2CDecode(ctx), kResultDataEnd);
  EXPECT_EQ(Records().at(0).Index, 0u);
  const auto first = events_.Take(0);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->kind, RunEventKind::kProgress);
  EXPECT_EQ(first->a, 12u);
  EXPECT_EQ(first->b, 100u);
}

TEST_F(MonitorI2CRun, StopRequestBeforeTheFirstUnitEndsTheRunWithNothing) {
  ASSERT_TRUE(Open(I2CUnits({Unit1(kStart), Unit1(kAcked, 0xA0)})));
  sampling_->m_bDoStop_SamplingAnalysis = true;
  DecodeContext ctx{*sampling_, settings_, events_};
  EXPECT_EQ(RunMonitorI2CDecode(ctx), kResultDataEnd);
  EXPECT_TRUE(Records().empty());
}

TEST_F(MonitorI2CRun, TrailingHalfUnitIsNotRead) {
  std::string data = I2CUnits({Unit1(kStart), Unit1(kAcked, 0xA0), Unit1(kStop)});
  data.push_back('\x01');
  EXPECT_EQ(Decode(data, RunMonitorI2CDecode), kResultDataEnd);
  EXPECT_EQ(Records().size(), 1u);
}

}  // namespace
}  // namespace orvane
