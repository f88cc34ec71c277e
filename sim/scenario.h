#pragma once
// The parsed form of a synthesis scenario: which bus, how it is sampled, the
// line format, and the ordered commands that make up the traffic. Times are
// in 10 ns units throughout the synthesizer.

#include <cstdint>
#include <string>
#include <vector>

namespace velix::sim {

enum class BusKind : uint8_t { kI2c0, kI2c1, kSpi };

// The limits a generated I2C clock honours; each may be set below the
// decoder's limits on purpose to produce timing violations.
struct I2cTiming {
  uint32_t tHD_STA = 0;
  uint32_t tSU_STA = 0;
  uint32_t tSU_STO = 0;
  uint32_t tBUF = 0;
  uint32_t tLOW = 0;
  uint32_t tHIGH = 0;
  uint32_t tHD_DAT = 0;
  uint32_t tSU_DAT = 0;
};

// A clock of `hz` with a 60 % low phase; the start, stop and bus-free times
// equal the low phase and the data changes a quarter into it, which keeps
// 100 kHz, 400 kHz, 1 MHz and 3.4 MHz inside their usual limits.
I2cTiming TimingForSclFrequency(uint64_t hz);

struct SpiFormat {
  uint8_t ss_mode = 1;  // 0 SS not driven, 1 active LOW, 2 active HIGH
  bool cpol = false;
  bool cpha = false;
  bool lsb_first = false;
  uint32_t half_period = 50;  // SCLK half period
};

enum class CommandKind : uint8_t {
  kIdle,        // duration
  kGlitch,      // line_mask, duration
  kCorruptAtom,
  kSetTiming,   // timing_index, value, hs
  kI2cStart,
  kI2cStop,
  kI2cBytes,    // bytes + nacks (address bytes, writes, reads)
  kI2cBits,     // raw bits in `bytes`, one bit per entry
  kI2cHsCode,   // bytes[0] = master code, switches to HS timing
  kI2cStretch,  // duration added to the next SCL low phase
  kSpiSelect,
  kSpiDeselect,
  kSpiXfer,     // bytes = S2 (MOSI), bytes2 = S3 (MISO), bit_count, duration = gap
};

struct Command {
  CommandKind kind = CommandKind::kIdle;
  int line = 0;                 // scenario line, for messages
  uint64_t duration = 0;
  uint8_t line_mask = 0;        // glitch: probe lines toggled
  uint8_t timing_index = 0;     // index into I2cTiming's fields, in order
  bool hs = false;
  uint32_t value = 0;
  uint32_t bit_count = 0;
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> bytes2;
  std::vector<uint8_t> nacks;   // per byte of kI2cBytes: 1 = not acknowledged
};

// One `set NAME VALUE` line: a settings record field by its name.
struct SettingOverride {
  std::string name;
  uint32_t value = 0;
  int line = 0;
};

enum class MonitorPacking : uint8_t { kSingle, kPaired };

struct Scenario {
  BusKind bus = BusKind::kI2c0;
  uint8_t rate_code = 2;  // sample period in 10 ns: 2, 5 or 10
  I2cTiming fs_timing = TimingForSclFrequency(100'000);
  I2cTiming hs_timing = TimingForSclFrequency(3'400'000);
  SpiFormat spi;
  MonitorPacking packing = MonitorPacking::kPaired;
  uint64_t lead_in = 100;  // idle before the first command
  uint64_t tail = 100;     // idle after the last command
  std::vector<Command> commands;
  std::vector<SettingOverride> overrides;
};

inline constexpr uint64_t kTenNsPerSecond = 100'000'000;

}  // namespace velix::sim
