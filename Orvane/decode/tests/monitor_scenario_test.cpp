// The monitor decoders against the synthesizer's ground truth: the same
// traffic as device units, decoded offline from a sampling data file, must
// give the transactions the truth lists, byte for byte.

#include <gtest/gtest.h>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/monitor_extract.h"
#include "Orvane/decode/monitor_i2c.h"
#include "Orvane/decode/monitor_spi.h"
#include "Orvane/decode/tests/monitor_test_support.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

constexpr char kI2CTraffic[] = R"(
start
addr 0x50 w
write 00 10
stop
idle 20us
start
addr 0x50 w
write 00
start
addr 0x50 r
read 11 22 33
stop
idle 20us
start
addr10 0x2A5 w
write AA
start
addr10 0x2A5 r
read 5A
stop
start
addr 0x33 w nack
stop
idle 10us
start
addr 0x51 w
write 01 02! 03
start
addr 0x51 r
read 44 ack-last
stop
start
hs-code 1
start
addr 0x50 w
write 01 02 03
stop
idle 50us
)";

constexpr char kSpiTraffic[] = R"(
select
xfer mosi=9F,00,00,00 miso=FF,EF,40,18
deselect
idle 2.5s
select
xfer mosi=03,00 miso=FF,FF gap=3us
deselect
idle 10us
select
xfer mosi=01,02,03,04,05 miso=11,12,13,14,15
idle 1.2s
xfer mosi=06 miso=16
deselect
idle 20us
)";

struct ScenarioCase {
  const char* name;
  std::string text;
};

const ScenarioCase kScenarios[] = {
    {"I2CPaired", std::string("monitor-packing paired\n") + kI2CTraffic},
    {"I2CSingle", std::string("monitor-packing single\n") + kI2CTraffic},
    {"I2CHsAndNackBeforeStop", std::string("set HsEnable 1\nset IgnoreNackBeforeStop 0\n") + kI2CTraffic},
    {"SpiSelected", std::string("bus spi\nss active-low\n") + kSpiTraffic},
    {"SpiActiveHighWithDataLength", std::string("bus spi\nss active-high\nset SpiDataLength 3\n") + kSpiTraffic},
    {"SpiUnselectedWithTimeOut", std::string("bus spi\nss none\nset SpiSsMode 0\nset SpiSclkTimeout 1000\n") +
                                     kSpiTraffic},
};

class MonitorScenario : public testing::MonitorDecodeTest, public ::testing::WithParamInterface<ScenarioCase> {};

TEST_P(MonitorScenario, DecodedRecordsMatchTheGroundTruth) {
  velix::sim::SynthOptions options;
  options.mode = velix::sim::CaptureMode::kMonitor;
  velix::sim::SynthResult synth;
  std::string error;
  ASSERT_TRUE(velix::sim::SynthesizeToMemory(GetParam().text, options, 1 << 20, &synth, &error)) << error;
  settings_ = synth.settings;
  const bool i2c = synth.truth.is_i2c();
  const std::string data(synth.data.begin(), synth.data.end());
  const uint32_t result = Decode(data, i2c ? RunMonitorI2CDecode : RunMonitorSpiDecode);
  EXPECT_TRUE(result == kResultDataEnd || result == kResultDataEndOpen) << std::hex << result;
  const std::vector<TransactionInfo> records = Records();
  ASSERT_EQ(records.size(), synth.truth.transactions.size());
  ASSERT_FALSE(records.empty());
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(i);
    const TransactionInfo& r = records[i];
    const velix::sim::TruthTransaction& t = synth.truth.transactions[i];
    EXPECT_EQ(r.Index, t.index);
    EXPECT_EQ(r.bStartEndType, t.start_end);
    EXPECT_EQ(r.Status, t.status);
    EXPECT_EQ(r.BitCount, t.bit_count);
    EXPECT_EQ(r.SamplePos, t.sample_pos);
    EXPECT_EQ(r.SampleLen, t.sample_len);
    TransactionDetail detail;
    if (i2c) {
      EXPECT_EQ(r.i2c.I2CAddress, t.address);
      EXPECT_EQ(r.i2c.I2CFlags, t.flags);
      ExtractMonitorI2CDetail(*sampling_, r, r.BitCount, &detail);
      EXPECT_EQ(detail.bytes, t.bytes);
      std::vector<uint8_t> acks((t.bytes2.size() + 7) / 8, 0);
      for (size_t k = 0; k < t.bytes2.size(); ++k) {
        if (t.bytes2[k] != 0) acks[k / 8] |= static_cast<uint8_t>(0x80 >> (k % 8));
      }
      EXPECT_EQ(detail.bytes2, acks);
    } else {
      ExtractMonitorSpiDetail(*sampling_, r, r.BitCount, &detail);
      EXPECT_EQ(detail.bytes, t.bytes);
      EXPECT_EQ(detail.bytes2, t.bytes2);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sim, MonitorScenario, ::testing::ValuesIn(kScenarios),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace orvane
