// Long runs of data units: the decoder takes them in runs, across batch
// and read-window boundaries, and the records must come out as if every
// unit had been handled on its own.

#include <gtest/gtest.h>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/monitor_i2c.h"
#include "Orvane/decode/monitor_units.h"
#include "Orvane/decode/tests/monitor_test_support.h"

namespace orvane {
namespace {

using namespace orvane::testing;  // NOLINT: the unit builders

struct DataRunCase {
  const char* name;
  uint32_t data_bytes;    // after the address
  uint32_t nack_every;    // every n-th data byte is not acknowledged (0: none)
  bool last_nacked;
  uint32_t empty_every;   // an empty unit after every n-th data byte (0: none)
  bool read;
  bool stop;              // else the data end inside the transaction
  bool ignore_nack_before_stop;
};

const DataRunCase kDataRunCases[] = {
    {"ShortWrite", 3, 0, false, 0, false, true, true},
    {"ExactlyOneBatch", 6, 0, false, 0, false, true, true},
    {"LongerThanThePreview", 25, 0, false, 0, false, true, true},
    {"NackInsideARun", 40, 7, false, 0, false, true, true},
    {"NackOfTheLastByteIgnored", 17, 0, true, 0, true, true, true},
    {"NackOfTheLastByteCounted", 17, 0, true, 0, true, true, false},
    {"EmptyUnitsBreakTheRuns", 50, 0, false, 3, false, true, true},
    {"DataEndInsideARun", 29, 5, false, 0, false, false, true},
    {"AcrossTheReadWindowBudget", 70000, 4099, true, 0, false, true, false},
};

uint8_t DataByte(uint32_t i) { return static_cast<uint8_t>(i * 37 + 11); }

class MonitorDataRun : public MonitorDecodeTest, public ::testing::WithParamInterface<DataRunCase> {};

TEST_P(MonitorDataRun, RecordsAsUnitByUnit) {
  const DataRunCase& c = GetParam();
  settings_.IgnoreNackBeforeStop = c.ignore_nack_before_stop ? 1 : 0;
  const auto nacked = [&](uint32_t i) {
    return (c.nack_every != 0 && i % c.nack_every == 0) || (c.last_nacked && i == c.data_bytes);
  };
  std::vector<uint16_t> units = {Unit1(kStart), Unit1(kAcked, c.read ? 0xA1 : 0xA0)};
  uint32_t empties = 0;
  bool nack = false;
  std::vector<uint8_t> preview;
  for (uint32_t i = 1; i <= c.data_bytes; ++i) {
    units.push_back(Unit1(nacked(i) ? kNacked : kAcked, DataByte(i)));
    if (i < c.data_bytes) nack = nack || nacked(i);
    if (preview.size() < kPreviewBytes) preview.push_back(DataByte(i));
    if (c.empty_every != 0 && i % c.empty_every == 0 && i < c.data_bytes) {
      units.push_back(0);
      ++empties;
    }
  }
  if (c.stop) {
    units.push_back(Unit1(kStop));
    nack = nack || (!c.ignore_nack_before_stop && nacked(c.data_bytes));
  }
  ASSERT_EQ(Decode(I2CUnits(units), RunMonitorI2CDecode), c.stop ? kResultDataEnd : kResultDataEndOpen);
  const std::vector<TransactionInfo> records = Records();
  ASSERT_EQ(records.size(), 1u);
  const TransactionInfo& r = records[0];
  EXPECT_EQ(r.bStartEndType, kBeganStart | kMonitorOpenSecondEvent | (c.stop ? kEndedStop : kNotEnded));
  EXPECT_EQ(r.SamplePos, 0u);
  EXPECT_EQ(r.SampleLen, (c.data_bytes + 1 + empties + (c.stop ? 1 : 0)) * kI2CUnitBytes);
  EXPECT_EQ(r.BitCount, c.data_bytes + 1);
  EXPECT_EQ(r.i2c.I2CAddress, 0x50);
  EXPECT_EQ(r.i2c.I2CFlags, (c.read ? kI2CRead : 0) | (nack ? kI2CNack : 0));
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(PreviewOf(r), preview);
}

INSTANTIATE_TEST_SUITE_P(Runs, MonitorDataRun, ::testing::ValuesIn(kDataRunCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace orvane
