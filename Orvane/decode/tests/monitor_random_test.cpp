// Random I2C traffic as monitor units: the decoder takes data runs, large
// offline batches and completes records as it closes them when no trigger
// is to be evaluated; the records must still be those of the ground truth,
// which follows the units one by one, and those of a run that
// post-processes every record (a trigger that never fires).

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

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

// A trigger that never fires: every record goes through the
// post-processing of its step, unit by unit.
void SetTriggerThatNeverFires(SettingsRecord& settings) {
  settings.TriggerEnable = 1;
  settings.AddressEnable = 1;
  settings.AddressCondition = 0;
  settings.Address10Bit = 0;
  settings.AddressMask = 0;
  settings.AddressValue = 1;
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

  SetTriggerThatNeverFires(settings_);
  uint32_t processed_result = 0;
  const std::vector<TransactionInfo> processed = DecodeAll(data, &processed_result);
  EXPECT_EQ(processed_result, result);
  ASSERT_EQ(processed.size(), records.size());
  for (size_t i = 0; i < records.size(); ++i) ASSERT_TRUE(SameRecord(records[i], processed[i])) << i;
}

INSTANTIATE_TEST_SUITE_P(Traffic, MonitorRandom, ::testing::ValuesIn(kRandomCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// Unit streams of every shape, the common ones most often, with data runs
// of any length across batch ends: the units a run without trigger takes in
// place must give exactly the records of the unit-by-unit path, also where a
// unit is kept for a second pass, is empty or invalid, or the data end
// inside a transaction.
struct UnitMixCase {
  const char* name;
  uint32_t seed;
  uint32_t units;
  bool hs;
  bool ignore_nack_before_stop;
  bool invalid;  // an invalid unit late in the stream ends the run as bad data
};

const UnitMixCase kUnitMixCases[] = {
    {"Short", 11, 3000, false, true, false},
    {"ShortHighSpeedNackCounts", 12, 3000, true, false, false},
    {"LargeBatches", 13, 240000, false, true, false},
    {"LargeBatchesHighSpeed", 14, 240000, true, true, false},
    {"EndsInBadData", 15, 240000, false, false, true},
};

uint8_t MixByte(std::mt19937& rng) {
  // 10-bit prefixes and master codes change how a record begins.
  switch (rng() % 6) {
    case 0: return static_cast<uint8_t>(0xF0 | (rng() % 8));
    case 1: return static_cast<uint8_t>(0x08 | (rng() % 8));
    default: return static_cast<uint8_t>(rng());
  }
}

std::vector<uint16_t> UnitMix(const UnitMixCase& c) {
  using namespace orvane::testing;  // NOLINT: the unit builders
  std::mt19937 rng(c.seed);
  const auto data = [&] { return rng() % 4 == 0 ? kNacked : kAcked; };
  static constexpr uint8_t kEvents[] = {kStart, kStop, kAcked, kNacked};
  std::vector<uint16_t> units;
  while (units.size() < c.units) {
    switch (rng() % 12) {
      case 0: units.push_back(Unit2(kStart, data(), MixByte(rng))); break;
      case 1: units.push_back(Unit1(kStart)); break;
      case 2: units.push_back(Unit1(data(), MixByte(rng))); break;
      case 3:
      case 4:
        for (auto n = rng() % 40; n > 0; --n) units.push_back(Unit1(data(), static_cast<uint8_t>(rng())));
        break;
      case 5: units.push_back(Unit2(data(), kStop, static_cast<uint8_t>(rng()))); break;
      case 6: units.push_back(Unit2(data(), kStart, static_cast<uint8_t>(rng()))); break;
      case 7: units.push_back(Unit1(kStop)); break;
      case 8: units.push_back(rng() % 2 == 0 ? uint16_t{0} : Unit2(kStop, kStart)); break;
      default:
        units.push_back(Unit2(kEvents[rng() % 4], kEvents[rng() % 4], static_cast<uint8_t>(rng())));
        break;
    }
  }
  if (c.invalid) units[units.size() - 5] = 0x4750;
  return units;
}

class MonitorUnitMix : public testing::MonitorDecodeTest, public ::testing::WithParamInterface<UnitMixCase> {};

TEST_P(MonitorUnitMix, InPlaceUnitsGiveTheRecordsOfTheUnitByUnitPath) {
  const UnitMixCase& c = GetParam();
  settings_.HsEnable = c.hs ? 1 : 0;
  settings_.IgnoreNackBeforeStop = c.ignore_nack_before_stop ? 1 : 0;
  const std::string data = testing::I2CUnits(UnitMix(c));
  const uint32_t result = Decode(data, RunMonitorI2CDecode);
  EXPECT_EQ(result, c.invalid ? kResultBadData : kResultDataEndOpen) << std::hex << result;
  const std::vector<TransactionInfo> records = Records();
  ASSERT_GT(records.size(), c.units / 20);

  SetTriggerThatNeverFires(settings_);
  EXPECT_EQ(Decode(data, RunMonitorI2CDecode), result);
  const std::vector<TransactionInfo> unit_by_unit = Records();
  ASSERT_EQ(unit_by_unit.size(), records.size());
  for (size_t i = 0; i < records.size(); ++i) ASSERT_TRUE(SameRecord(records[i], unit_by_unit[i])) << i;
}

INSTANTIATE_TEST_SUITE_P(Shapes, MonitorUnitMix, ::testing::ValuesIn(kUnitMixCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace orvane
