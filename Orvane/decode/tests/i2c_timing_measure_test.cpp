// The data hold and setup are measured on bits 1 to 7 of every byte: not on
// bit 0 (its low phase begins at the START's hold) nor on the acknowledge.

#include "Orvane/decode/i2c_timing_measure.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace orvane {
namespace {

struct Measured {
  int64_t at;
  uint32_t clocks;
  bool operator==(const Measured&) const = default;
};

struct RecordingJudge {
  std::vector<uint32_t> hold_start;
  std::vector<Measured> holds;
  std::vector<Measured> setups;
  void HoldStart(uint32_t clocks) { hold_start.push_back(clocks); }
  void Low(int64_t, uint32_t) {}
  void High(int64_t, uint32_t) {}
  void Hold(int64_t at, uint32_t clocks) { holds.push_back({at, clocks}); }
  void Setup(int64_t at, uint32_t clocks) { setups.push_back({at, clocks}); }
};

constexpr int64_t kSlot = 20;  // SCL falls at the slot's start, rises 10 later

// Clocks `slots` bits after a START; in slot k SDA toggles at 2, 5, ... clocks
// after the fall, `toggles[k]` times (fewer than 3).
RecordingJudge Measure(uint32_t slots, const std::vector<uint32_t>& toggles) {
  I2CPhaseMeasure measure;
  RecordingJudge judge;
  uint8_t state = kSclLine;  // SDA low, SCL high: just after the START
  measure.Open(state, 0, kSclLine | kSdaLine, -5);
  for (uint32_t k = 0; k < slots; ++k) {
    const int64_t fall = 4 + int64_t(k) * kSlot;
    state = static_cast<uint8_t>(state & ~kSclLine);
    measure.Change(state, fall, judge);
    for (uint32_t t = 0; t < (k < toggles.size() ? toggles[k] : 0); ++t) {
      state = static_cast<uint8_t>(state ^ kSdaLine);
      measure.Change(state, fall + 2 + 3 * t, judge);
    }
    state = static_cast<uint8_t>(state | kSclLine);
    measure.Change(state, fall + 10, judge);
  }
  return judge;
}

// The hold and setup of a slot whose SDA toggled `n` times.
Measured HoldOf(uint32_t slot) { return {4 + int64_t(slot) * kSlot, 2}; }
Measured SetupOf(uint32_t slot, uint32_t n) {
  const int64_t last = 4 + int64_t(slot) * kSlot + 2 + 3 * (n - 1);
  return {last, static_cast<uint32_t>(4 + int64_t(slot) * kSlot + 10 - last)};
}

struct SlotCase {
  const char* name;
  uint32_t slots;
  std::vector<uint32_t> toggles;
  std::vector<uint32_t> measured_slots;  // each toggled once unless `double_slot`
  uint32_t double_slot;                  // a slot toggled twice, or 99
};

const SlotCase kSlotCases[] = {
    {"every bit of two bytes toggles", 18, std::vector<uint32_t>(18, 1),
     {1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 15, 16}, 99},
    {"no data changes", 18, {}, {}, 99},
    {"only bit 0 and the acknowledge toggle", 18, {1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1}, {}, 99},
    {"two changes in one low phase", 9, {0, 0, 0, 2, 0, 0, 0, 0, 0}, {3}, 3},
    {"the last bit of the third byte", 27, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1},
     {25}, 99},
};

void PrintTo(const SlotCase& c, std::ostream* os) { *os << c.name; }

class SlotTest : public ::testing::TestWithParam<SlotCase> {};

TEST_P(SlotTest, HoldAndSetupOnlyOnBitsOneToSeven) {
  const SlotCase& c = GetParam();
  const RecordingJudge judge = Measure(c.slots, c.toggles);
  std::vector<Measured> holds;
  std::vector<Measured> setups;
  for (const uint32_t slot : c.measured_slots) {
    holds.push_back(HoldOf(slot));
    setups.push_back(SetupOf(slot, slot == c.double_slot ? 2 : 1));
  }
  EXPECT_EQ(judge.hold_start, std::vector<uint32_t>{4});
  EXPECT_EQ(judge.holds, holds);
  EXPECT_EQ(judge.setups, setups);
}

INSTANTIATE_TEST_SUITE_P(Bits, SlotTest, ::testing::ValuesIn(kSlotCases),
                         [](const auto& param) { return "Case" + std::to_string(param.index); });

}  // namespace
}  // namespace orvane
