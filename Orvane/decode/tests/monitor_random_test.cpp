// Random I2C traffic as monitor units: the decoder takes data runs, large
// offline batches and completes records as it closes them when no trigger
// is to be evaluated; the records must still be those of the ground truth,
// which follows the units one by one, and those of a run that
// post-processes every record (a trigger that never fires).

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/monitor_extract.h"
#include "Orvane/decode/monitor_i2c.h"
#include "Orvane/decode/tests/monitor_test_support.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

struct RandomCase {
  const char* name;
  uint32_t seed;
  const char* settings;  // scenario lines in front of the traffic
  uint32_t repeat;       // passes; 1 may end inside a transaction
  bool half_unit;        // a trailing byte that is no whole unit
};

const RandomCase kRandomCases[] = {
    {"PairedOpenEnd", 1, "monitor-packing paired\n", 1, false},
    {"SingleOpenEndHalfUnit", 2, "monitor-packing single\n", 1, true},
    {"HsAndNackBeforeStop", 3, "set HsEnable 1\nset IgnoreNackBeforeStop 0\n", 1, false},
    {"PairedLargeBatches", 4, "monitor-packing paired\n", 600, false},
    {"SingleLargeBatchesHs", 5, "monitor-packing single\nset HsEnable 1\n", 600, true},
};

std::string Hex(uint32_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  return std::string{kDigits[value >> 4 & 0xF], kDigits[value & 0xF]};
}

// Transactions of every kind the decoder tells apart: 7-bit and 10-bit
// addresses, reads and writes, NACKs anywhere, HS master codes, repeated
// STARTs, empty transfers; with `open_end` the last one stays open.
std::string RandomTraffic(uint32_t seed, bool open_end) {
  std::mt19937 rng(seed);
  const auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  std::string text;
  bool open = false;
  for (int t = 0; t < 40; ++t) {
    text += "start\n";
    if (pick(8) == 0) text += "hs-code " + std::to_string(pick(8)) + "\nstart\n";
    const bool read = pick(3) == 0;
    const char* direction = read ? " r" : " w";
    if (pick(4) == 0) {
      text += "addr10 0x" + std::to_string(pick(4)) + Hex(pick(256)) + direction;
    } else {
      // Addresses 0x04..0x07 give the bytes of master codes.
      text += "addr 0x" + Hex(pick(4) == 0 ? 4 + pick(4) : pick(128)) + direction;
    }
    text += pick(10) == 0 ? " nack\n" : "\n";
    const uint32_t bytes = pick(5) == 0 ? 0 : 1 + pick(20);
    if (bytes > 0) {
      text += read ? "read" : "write";
      for (uint32_t i = 0; i < bytes; ++i) text += " " + Hex(pick(256)) + (!read && pick(9) == 0 ? "!" : "");
      if (read) text += pick(2) == 0 ? " ack-last" : " nack-last";
      text += "\n";
    }
    open = pick(3) == 0;
    if (!open) text += pick(2) == 0 ? "stop\nidle 5us\n" : "stop\n";
  }
  if (open && !open_end) text += "stop\n";
  if (!open_end) text += "idle 5us\n";
  return text;
}

bool SameRecord(const TransactionInfo& a, const TransactionInfo& b) {
  return std::memcmp(&a, &b, sizeof(TransactionInfo)) == 0;
}

class MonitorRandom : public testing::MonitorDecodeTest, public ::testing::WithParamInterface<RandomCase> {
 protected:
  std::vector<TransactionInfo> DecodeAll(const std::string& data, uint32_t* result) {
    *result = Decode(data, RunMonitorI2CDecode);
    return Records();
  }
};

TEST_P(MonitorRandom, RecordsMatchTheTruthAndThePostProcessedRun) {
  const RandomCase& c = GetParam();
  velix::sim::SynthOptions options;
  options.mode = velix::sim::CaptureMode::kMonitor;
  options.repeat = c.repeat;
  velix::sim::SynthResult synth;
  std::string error;
  const std::string text = std::string(c.settings) + RandomTraffic(c.seed, c.repeat == 1);
  ASSERT_TRUE(velix::sim::SynthesizeToMemory(text, options, 8 << 20, &synth, &error)) << error;
  std::string data(synth.data.begin(), synth.data.end());
  if (c.half_unit) data.push_back('\x0C');
  if (c.repeat > 1) {
    ASSERT_GT(data.size(), 100u * 4096) << "too small for the large batches";
  }

  settings_ = synth.settings;
  uint32_t result = 0;
  const std::vector<TransactionInfo> records = DecodeAll(data, &result);
  EXPECT_TRUE(result == kResultDataEnd || result == kResultDataEndOpen) << std::hex << result;
  ASSERT_EQ(records.size(), synth.truth.transactions.size());
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(i);
    const TransactionInfo& r = records[i];
    const velix::sim::TruthTransaction& t = synth.truth.transactions[i];
    ASSERT_EQ(r.Index, t.index);
    ASSERT_EQ(r.RecordFlags, kRecordI2C | kRecordComplete);
    ASSERT_EQ(r.bStartEndType, t.start_end);
    ASSERT_EQ(r.BitCount, t.bit_count);
    ASSERT_EQ(r.SamplePos, t.sample_pos);
    ASSERT_EQ(r.SampleLen, t.sample_len);
    ASSERT_EQ(r.i2c.I2CAddress, t.address);
    ASSERT_EQ(r.i2c.I2CFlags, t.flags);
    TransactionDetail detail;
    ExtractMonitorI2CDetail(*sampling_, r, r.BitCount, &detail);
    ASSERT_EQ(detail.bytes, t.bytes);
  }

  // A trigger that never fires: every record goes through the
  // post-processing of its step.
  settings_.TriggerEnable = 1;
  settings_.AddressEnable = 1;
  settings_.AddressCondition = 0;
  settings_.Address10Bit = 0;
  settings_.AddressMask = 0;
  settings_.AddressValue = 1;
  uint32_t processed_result = 0;
  const std::vector<TransactionInfo> processed = DecodeAll(data, &processed_result);
  EXPECT_EQ(processed_result, result);
  ASSERT_EQ(processed.size(), records.size());
  for (size_t i = 0; i < records.size(); ++i) ASSERT_TRUE(SameRecord(records[i], processed[i])) << i;
}

INSTANTIATE_TEST_SUITE_P(Traffic, MonitorRandom, ::testing::ValuesIn(kRandomCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace orvane
