#pragma once
// The names the four probe lines S0..S3 go by on each bus, as written to and
// read from other tools' files. The lines a bus decoder reads carry their
// bus names; the other two keep their probe names, so nothing is lost.
// SPI: S0 = CS, S1 = SCLK, S2 = MOSI, S3 = MISO (the decoder's reading of
// the data lines).

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace velix::interchange {

inline constexpr int kProbeLines = 4;

// Bus channel numbers as stored in the settings record.
inline constexpr uint8_t kBusSpi = 0;
inline constexpr uint8_t kBusI2c0 = 1;
inline constexpr uint8_t kBusI2c1 = 2;

// The names of S0..S3 on a bus channel (anything but 1 or 2 is SPI).
std::array<const char*, kProbeLines> LineNames(uint8_t bus_channel);

// The probe lines an import cannot do without, as a bit mask of S0..S3:
// SCL and SDA, or CS, SCLK and MOSI (a bus may have no MISO).
uint8_t RequiredLines(uint8_t bus_channel);

// The probe line a name stands for on a bus (case-insensitive).
std::optional<int> LineOfName(uint8_t bus_channel, const std::string& name);

// "spi", "i2c0", "i2c1" and back.
const char* BusChoiceName(uint8_t bus_channel);
std::optional<uint8_t> BusOfChoice(const std::string& choice);

}  // namespace velix::interchange
