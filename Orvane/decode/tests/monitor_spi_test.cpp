#include "Orvane/decode/monitor_spi.h"

#include <gtest/gtest.h>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/tests/monitor_test_support.h"

namespace orvane {
namespace {

using namespace orvane::testing;  // NOLINT: the unit builders

struct ExpectedSpi {
  uint8_t start_end;
  uint32_t pos;
  uint32_t len;
  uint32_t bytes;
  std::vector<uint8_t> miso;
  std::vector<uint8_t> mosi;
  uint16_t status = 0;
};

struct SpiCase {
  const char* name;
  std::vector<SpiUnit> units;
  uint32_t result;
  std::vector<ExpectedSpi> records;
  uint8_t ss_mode = 1;
  uint32_t timeout_ms = 0;
  uint32_t data_length = 0;
};

const SpiCase kSpiCases[] = {
    {"SelectDataDeselect",
     {SsLevel(0), Data(0x12, 0x34), Data(0x56, 0x78), SsLevel(1)},
     kResultDataEnd,
     {{0x11, 0, 12, 2, {0x12, 0x56}, {0x34, 0x78}}}},
    {"ReportsOfTheSameLevelChangeNothing",
     {SsLevel(1), SsLevel(0), SsLevel(0), Data(0xAB, 0xCD), SsLevel(1), SsLevel(1)},
     kResultDataEnd,
     {{0x11, 4, 12, 1, {0xAB}, {0xCD}}}},
    {"ActiveHighStartsFromLow",
     {SsLevel(1), Data(0x01, 0x02), SsLevel(0)},
     kResultDataEnd,
     {{0x11, 0, 8, 1, {0x01}, {0x02}}},
     2},
    {"SsReportsIgnoredWhenSsIsNotUsed",
     {SsLevel(0), Data(0x01, 0x02), SsLevel(1), Data(0x03, 0x04)},
     kResultDataEndOpen,
     {{0x82, 4, 8, 2, {0x01, 0x03}, {0x02, 0x04}}},
     0},
    {"EmptyUnitsTimeOut",
     {Data(0x01, 0x02), kEmpty, kEmpty, Data(0x03, 0x04), kEmpty},
     kResultDataEndOpen,
     {{0x42, 0, 8, 1, {0x01}, {0x02}}, {0x82, 12, 4, 1, {0x03}, {0x04}}},
     0,
     2000},
    {"DataRestartsTheTimeOutCount",
     {Data(0x01, 0x02), kEmpty, Data(0x03, 0x04), kEmpty, kEmpty},
     kResultDataEnd,
     {{0x42, 0, 16, 2, {0x01, 0x03}, {0x02, 0x04}}},
     0,
     1500},
    {"NoTimeOutWithoutASetting",
     {Data(0x01, 0x02), kEmpty, kEmpty, kEmpty},
     kResultDataEndOpen,
     {{0x82, 0, 12, 1, {0x01}, {0x02}}},
     0},
    {"DataLengthClosesEachTransaction",
     {Data(1, 1), Data(2, 2), Data(3, 3), Data(4, 4), Data(5, 5)},
     kResultDataEndOpen,
     {{0x22, 0, 4, 2, {1, 2}, {1, 2}}, {0x22, 8, 4, 2, {3, 4}, {3, 4}}, {0x82, 16, 0, 1, {5}, {5}}},
     0,
     0,
     2},
    {"DeselectAndDataInOneUnit",
     {SsLevel(0), Data(0x01, 0x02), {0x0304, 0x0D}},
     kResultDataEndOpen,
     {{0x11, 0, 8, 1, {0x01}, {0x02}}, {0x82, 8, 0, 1, {0x03}, {0x04}}}},
    {"InvalidControlWord",
     {SsLevel(0), Data(0x01, 0x02), {0, 0x100}},
     kResultBadData,
     {{0x81, 0, 8, 1, {}, {}, kStatusBadData}}},
};

class MonitorSpiDecode : public MonitorDecodeTest, public ::testing::WithParamInterface<SpiCase> {};

TEST_P(MonitorSpiDecode, BuildsTheRecords) {
  const SpiCase& c = GetParam();
  settings_.m_AnalyzeBusChannel = 0;
  settings_.SpiSsMode = c.ss_mode;
  settings_.SpiSclkTimeout = c.timeout_ms;
  settings_.SpiDataLength = c.data_length;
  EXPECT_EQ(Decode(SpiUnits(c.units), RunMonitorSpiDecode), c.result);
  const std::vector<TransactionInfo> records = Records();
  ASSERT_EQ(records.size(), c.records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(i);
    const TransactionInfo& r = records[i];
    const ExpectedSpi& e = c.records[i];
    EXPECT_EQ(r.Index, i);
    EXPECT_EQ(r.bStartEndType, e.start_end);
    EXPECT_EQ(r.SamplePos, e.pos);
    EXPECT_EQ(r.SampleLen, e.len);
    EXPECT_EQ(r.BitCount, e.bytes);
    EXPECT_EQ(r.Status, e.status);
    if (c.result == kResultBadData) continue;
    EXPECT_EQ(r.RecordFlags, kRecordComplete);
    EXPECT_EQ(PreviewOf(r), e.miso);
    EXPECT_EQ(Preview2Of(r), e.mosi);
  }
}

INSTANTIATE_TEST_SUITE_P(Units, MonitorSpiDecode, ::testing::ValuesIn(kSpiCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

class MonitorSpiRun : public MonitorDecodeTest {};

TEST_F(MonitorSpiRun, PreviewHoldsTenBytesOfALongTransaction) {
  std::vector<SpiUnit> units{SsLevel(0)};
  for (uint8_t i = 0; i < 12; ++i) units.push_back(Data(i, static_cast<uint8_t>(0x80 + i)));
  units.push_back(SsLevel(1));
  EXPECT_EQ(Decode(SpiUnits(units), RunMonitorSpiDecode), kResultDataEnd);
  const TransactionInfo r = Records().at(0);
  EXPECT_EQ(r.BitCount, 12u);
  EXPECT_EQ(r.PreviewLen, 10u);
  EXPECT_EQ(r.Preview[9], 9);
  EXPECT_EQ(r.Preview2[9], 0x89);
}

}  // namespace
}  // namespace orvane
