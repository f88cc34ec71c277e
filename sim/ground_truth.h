#pragma once
// The transactions a scenario contains, as the decoders are to report them,
// with a deterministic one-line-per-transaction text form and its parser.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velix::sim {

struct TruthTransaction {
  uint32_t index = 0;
  uint8_t start_end = 0;     // the decoder's begin/end bits
  uint16_t status = 0;       // bit count (0x0001), over-long (0x0002), bad data (0x0080)
  uint64_t start_clock = 0;  // analyzer: sample index of the opening change
  int64_t duration = -1;     // analyzer: sample clocks; -1 = not derived
  uint32_t bit_count = 0;
  int64_t sample_pos = -1;   // monitor: byte position of the opening unit
  int64_t sample_len = -1;   // monitor: bytes from the opening to the closing unit
  uint16_t address = 0;      // I2C
  uint16_t flags = 0;        // I2C, under the capture's settings
  // I2C: every byte on the bus, address bytes included. SPI: the S3 bytes.
  std::vector<uint8_t> bytes;
  // I2C: one ACK bit per byte (1 = NACK). SPI: the S2 bytes.
  std::vector<uint8_t> bytes2;
  bool exact = true;         // false: sampling may blur what the decoder sees
  bool operator==(const TruthTransaction&) const = default;
};

struct GroundTruth {
  std::string mode = "analyzer";  // analyzer | monitor
  std::string bus = "i2c0";       // i2c0 | i2c1 | spi
  uint8_t rate_code = 2;
  bool ignore_nack_before_stop = true;
  bool hs_enable = false;
  std::vector<TruthTransaction> transactions;
  bool operator==(const GroundTruth&) const = default;

  bool is_i2c() const { return bus != "spi"; }
};

// One header line, then one "tx ..." line per transaction.
std::string FormatTruthHeader(const GroundTruth& truth);
std::string FormatTruthTransaction(const GroundTruth& truth, const TruthTransaction& transaction);
std::string SerializeGroundTruth(const GroundTruth& truth);

bool ParseGroundTruth(std::string_view text, GroundTruth* truth, std::string* error);

}  // namespace velix::sim
