// The I2C monitor preview is gathered while the units are decoded; it must
// hold exactly the bytes the unit walk of the detail view finds for the
// record. Random unit streams cover shared units, repeated STARTs, 10-bit
// and HS addresses, empty and invalid units and transactions left open.

#include <gtest/gtest.h>

#include <random>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/monitor_extract.h"
#include "Orvane/decode/monitor_first_bytes.h"
#include "Orvane/decode/monitor_i2c.h"
#include "Orvane/decode/tests/monitor_test_support.h"

namespace orvane {
namespace {

using namespace orvane::testing;  // NOLINT: the unit builders

struct PreviewCase {
  const char* name;
  uint32_t seed;
  bool ignore_nack_before_stop;
  bool hs;
  bool with_invalid;  // an invalid unit may end the run as bad data
};

const PreviewCase kPreviewCases[] = {
    {"Plain", 1, true, false, false},         {"NackBeforeStopCounts", 2, false, false, false},
    {"HighSpeed", 3, true, true, false},      {"HighSpeedNackCounts", 4, false, true, false},
    {"EndsInBadData", 5, true, false, true},  {"EndsInBadDataHighSpeed", 6, true, true, true},
    {"LongStreamPlain", 7, true, false, false}, {"LongStreamHighSpeed", 8, false, true, false},
};

uint8_t RandomByte(std::mt19937& random) {
  // Mostly ordinary addresses and data, often a 10-bit prefix or a master
  // code, which change how the record begins.
  switch (random() % 6) {
    case 0: return static_cast<uint8_t>(0xF0 | (random() % 8));
    case 1: return static_cast<uint8_t>(0x08 | (random() % 8));
    default: return static_cast<uint8_t>(random());
  }
}

uint8_t RandomEvent(std::mt19937& random) {
  static constexpr uint8_t kEvents[] = {kStart, kStop, kAcked, kNacked, kAcked, kNacked};
  return kEvents[random() % std::size(kEvents)];
}

std::vector<uint16_t> RandomUnits(uint32_t seed, size_t count, bool with_invalid) {
  std::mt19937 random(seed);
  std::vector<uint16_t> units;
  for (size_t i = 0; i < count; ++i) {
    const auto kind = static_cast<uint32_t>(random() % 100);
    if (with_invalid && kind == 0 && i > count / 2) {
      units.push_back(0x4750);
    } else if (kind < 8) {
      units.push_back(0);
    } else if (kind < 35) {
      units.push_back(Unit2(RandomEvent(random), RandomEvent(random), RandomByte(random)));
    } else {
      units.push_back(Unit1(RandomEvent(random), RandomByte(random)));
    }
  }
  return units;
}

class MonitorPreview : public MonitorDecodeTest, public ::testing::WithParamInterface<PreviewCase> {};

TEST_P(MonitorPreview, HoldsTheBytesTheUnitWalkFinds) {
  const PreviewCase& c = GetParam();
  settings_.IgnoreNackBeforeStop = c.ignore_nack_before_stop ? 1 : 0;
  settings_.HsEnable = c.hs ? 1 : 0;
  const size_t unit_count = std::string(c.name).rfind("Long", 0) == 0 ? 20000 : 400;
  const uint32_t result = Decode(I2CUnits(RandomUnits(c.seed, unit_count, c.with_invalid)), RunMonitorI2CDecode);
  const std::vector<TransactionInfo> records = Records();
  ASSERT_GT(records.size(), 10u);
  MonitorUnitWalker walker(*sampling_);
  for (const TransactionInfo& r : records) {
    SCOPED_TRACE(r.Index);
    std::vector<uint8_t> expected;
    if ((r.RecordFlags & kRecordComplete) != 0) {
      const uint32_t address_bytes = MonitorI2CAddressBytes(r);
      uint32_t index = 0;
      WalkMonitorI2CBytes(walker, sampling_->m_sizeSamplingBuf, r, address_bytes + kPreviewBytes,
                          [&](uint8_t byte, bool) {
                            if (index++ >= address_bytes) expected.push_back(byte);
                          });
    } else {
      EXPECT_EQ(result, kResultBadData);
    }
    EXPECT_EQ(PreviewOf(r), expected);
    // Nothing beyond the preview length is set.
    for (size_t i = r.PreviewLen; i < kPreviewBytes; ++i) EXPECT_EQ(r.Preview[i], 0) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(RandomUnits, MonitorPreview, ::testing::ValuesIn(kPreviewCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace orvane
