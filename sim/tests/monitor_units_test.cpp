#include "sim/monitor_units.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/synthesizer.h"

namespace velix::sim {
namespace {

// The unit table read independently: b = X XOR Y, c = X AND Y, d = c & 7.
// Returns event codes (1 START, 2 STOP, 4 data NACK, 12 data ACK); empty for
// an invalid or empty unit.
std::vector<uint8_t> DecodeUnit(uint16_t unit) {
  const auto x = static_cast<uint8_t>((unit >> 8) & 0xF);
  const auto y = static_cast<uint8_t>((unit >> 12) & 0xF);
  const auto b = static_cast<uint8_t>(x ^ y);
  const auto c = static_cast<uint8_t>(x & y);
  const auto d = static_cast<uint8_t>(c & 7);
  auto from_d = [&](std::vector<uint8_t>* events) {
    if (d == 1 || d == 2) events->push_back(d);
    else if (d == 4) events->push_back(c);
    else return false;
    return true;
  };
  std::vector<uint8_t> events;
  if (unit == 0) return events;
  if (b == 0) {
    if (!from_d(&events)) events.clear();
  } else if (b == 1 || b == 2) {
    events.push_back(b);
    if (!from_d(&events)) events.clear();
  } else if (b == 4) {
    events.push_back(static_cast<uint8_t>((c & 8) ? 12 : 4));
    if (!from_d(&events)) events.clear();
  }
  return events;
}

struct UnitCase {
  const char* name;
  std::vector<uint8_t> codes;  // one or two events
  uint8_t data;
  bool encodable;
};

const UnitCase kUnitCases[] = {
    {"Start", {1}, 0, true},
    {"Stop", {2}, 0, true},
    {"DataAck", {12}, 0x5A, true},
    {"DataNack", {4}, 0xFF, true},
    {"StartThenDataAck", {1, 12}, 0x50, true},
    {"StartThenDataNack", {1, 4}, 0x51, true},
    {"StopThenStart", {2, 1}, 0, true},
    {"StartThenStop", {1, 2}, 0, true},
    {"StopThenData", {2, 12}, 0x33, true},
    {"DataAckThenStop", {12, 2}, 0x10, true},
    {"DataNackThenStop", {4, 2}, 0x10, true},
    {"DataAckThenStart", {12, 1}, 0x80, true},
    {"DataNackThenStart", {4, 1}, 0x01, true},
    {"StartThenStart", {1, 1}, 0, false},
    {"StopThenStop", {2, 2}, 0, false},
    {"DataThenData", {12, 12}, 0, false},
};

class I2cUnitCoding : public ::testing::TestWithParam<UnitCase> {};

TEST_P(I2cUnitCoding, DecodesBackToTheSameEvents) {
  const UnitCase& c = GetParam();
  uint16_t unit = 0;
  if (c.codes.size() == 1) {
    unit = EncodeI2cUnit(c.codes[0], c.data);
  } else {
    ASSERT_EQ(EncodeI2cUnit(c.codes[0], c.codes[1], c.data, &unit), c.encodable);
    if (!c.encodable) return;
  }
  EXPECT_EQ(DecodeUnit(unit), c.codes);
  const bool has_data = (c.codes[0] & 4) != 0 || (c.codes.size() == 2 && (c.codes[1] & 4) != 0);
  if (has_data) {
    EXPECT_EQ(unit & 0xFF, c.data);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, I2cUnitCoding, ::testing::ValuesIn(kUnitCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(I2cUnitCoding, KnownUnitsDecodeAsTheTableSays) {
  EXPECT_EQ(DecodeUnit(0xCD50), (std::vector<uint8_t>{1, 12}));
  EXPECT_TRUE(DecodeUnit(0x1D50).empty());  // X XOR Y = 0xC has no meaning
  uint16_t unit = 0;
  ASSERT_TRUE(EncodeI2cUnit(1, 12, 0x50, &unit));
  EXPECT_EQ(unit, 0xCD50);
}

std::vector<uint16_t> Words16(const std::vector<uint8_t>& data) {
  std::vector<uint16_t> words;
  for (size_t i = 0; i + 1 < data.size(); i += 2) words.push_back(static_cast<uint16_t>(data[i] | data[i + 1] << 8));
  return words;
}

TEST(I2cMonitorStream, EventsFollowTheScenarioInBothPackings) {
  const std::string scenario = "start\naddr 0x50 w\nwrite 01\nstart\naddr 0x50 r\nread 7E\nstop\nidle 1ms\nstart\n"
                               "addr 0x22 w nack\nstop\n";
  const std::vector<uint8_t> expected = {1, 12, 12, 1, 12, 4, 2, 1, 4, 2};
  for (const char* packing : {"single", "paired"}) {
    SynthOptions options;
    options.mode = CaptureMode::kMonitor;
    SynthResult result;
    std::string error;
    ASSERT_TRUE(SynthesizeToMemory(std::string("monitor-packing ") + packing + "\n" + scenario, options, 1 << 20,
                                   &result, &error))
        << error;
    std::vector<uint8_t> events;
    std::vector<uint8_t> data;
    for (uint16_t unit : Words16(result.data)) {
      const std::vector<uint8_t> unit_events = DecodeUnit(unit);
      ASSERT_FALSE(unit_events.empty()) << std::hex << unit;
      for (uint8_t code : unit_events) {
        events.push_back(code);
        if (code & 4) data.push_back(static_cast<uint8_t>(unit));
      }
    }
    EXPECT_EQ(events, expected) << packing;
    EXPECT_EQ(data, (std::vector<uint8_t>{0xA0, 0x01, 0xA1, 0x7E, 0x44})) << packing;
    const size_t units = result.data.size() / 2;
    EXPECT_EQ(units == expected.size(), std::string(packing) == "single");
  }
}

TEST(SpiMonitorStream, ReportsSsDataAndOneEmptyUnitPerQuietSecond) {
  SynthOptions options;
  options.mode = CaptureMode::kMonitor;
  SynthResult result;
  std::string error;
  ASSERT_TRUE(SynthesizeToMemory("bus spi\nss active-high\nselect\nxfer mosi=12,34 miso=AB,CD bits=12\nidle 2.5s\n"
                                 "deselect\n",
                                 options, 1 << 20, &result, &error))
      << error;
  std::vector<std::pair<uint16_t, uint16_t>> units;
  for (size_t i = 0; i + 3 < result.data.size(); i += 4) {
    units.emplace_back(static_cast<uint16_t>(result.data[i] | result.data[i + 1] << 8),
                       static_cast<uint16_t>(result.data[i + 2] | result.data[i + 3] << 8));
  }
  const std::vector<std::pair<uint16_t, uint16_t>> expected = {
      {0, 0x0C}, {0xAB12, 0x01}, {0, 0}, {0, 0}, {0, 0x08}};
  EXPECT_EQ(units, expected);
}

}  // namespace
}  // namespace velix::sim
