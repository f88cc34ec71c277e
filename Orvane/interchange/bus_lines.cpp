#include "Orvane/interchange/bus_lines.h"

#include <strings.h>

namespace velix::interchange {

std::array<const char*, kProbeLines> LineNames(uint8_t bus_channel) {
  if (bus_channel == kBusI2c0) return {"SCL", "SDA", "S2", "S3"};
  if (bus_channel == kBusI2c1) return {"S0", "S1", "SCL", "SDA"};
  return {"CS", "SCLK", "MOSI", "MISO"};
}

uint8_t RequiredLines(uint8_t bus_channel) {
  if (bus_channel == kBusI2c0) return 0x03;
  if (bus_channel == kBusI2c1) return 0x0C;
  return 0x07;
}

std::optional<int> LineOfName(uint8_t bus_channel, const std::string& name) {
  const auto names = LineNames(bus_channel);
  for (int line = 0; line < kProbeLines; ++line) {
    if (::strcasecmp(names[line], name.c_str()) == 0) return line;
  }
  return std::nullopt;
}

const char* BusChoiceName(uint8_t bus_channel) {
  return bus_channel == kBusI2c0 ? "i2c0" : bus_channel == kBusI2c1 ? "i2c1" : "spi";
}

std::optional<uint8_t> BusOfChoice(const std::string& choice) {
  for (const uint8_t bus : {kBusSpi, kBusI2c0, kBusI2c1}) {
    if (choice == BusChoiceName(bus)) return bus;
  }
  return std::nullopt;
}

}  // namespace velix::interchange
