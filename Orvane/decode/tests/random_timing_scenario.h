#pragma once
// Random I2C traffic for the tests that compare the timing verification's
// status bits with what other readers of the same walk report.

#include <cstdint>
#include <random>
#include <sstream>
#include <string>

namespace orvane::analyzer_test {

struct RandomTimingTraffic {
  int transactions = 10;
  bool repeated_start_chains = false;  // writes chained by repeated STARTs before a read
  uint32_t shortest_idle_us = 2;
};

// Random traffic whose clock, data and condition timing wander around the
// FAST limits, so that every check both fails and passes somewhere.
inline std::string RandomTimingScenario(uint32_t seed, const RandomTimingTraffic& traffic = {}) {
  std::mt19937 rng(seed);
  auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  std::ostringstream s;
  s << "bus " << (pick(2) ? "i2c1" : "i2c0") << "\nscl 400k\nset HsEnable 1\n";
  const char* names[] = {"tHD_STA", "tSU_STA", "tSU_STO", "tLOW", "tHIGH", "tHD_DAT", "tSU_DAT"};
  const uint32_t centre_ns[] = {600, 600, 600, 1300, 600, 900, 100};
  for (int t = 0; t < traffic.transactions; ++t) {
    for (uint32_t i = 0; i < 7; ++i) s << names[i] << " " << centre_ns[i] / 2 + pick(centre_ns[i]) << "ns\n";
    s << std::hex;
    const uint32_t address = 0x08 + pick(0x70);
    uint32_t kind = pick(traffic.repeated_start_chains ? 5 : 4);
    if (!traffic.repeated_start_chains && kind == 3) kind = 4;
    switch (kind) {
      case 0:
        s << "start\naddr 0x" << address << " w\nwrite " << 16 + pick(200) << " " << 16 + pick(200) << "\nstop\n";
        break;
      case 1:
        s << "start\naddr 0x" << address << " w\nwrite " << 16 + pick(200) << "\nstart\naddr 0x" << address
          << " r\nread " << 16 + pick(200) << " " << 16 + pick(200) << "\nstop\n";
        break;
      case 2:
        s << "start\naddr 0x" << address << " w nack\nstop\n";
        break;
      case 3:
        s << "start\n";
        for (uint32_t k = 0, n = 1 + pick(4); k < n; ++k) {
          s << "addr 0x" << address << " w\nwrite " << 16 + pick(200) << "\nstart\n";
        }
        s << "addr 0x" << address << " r\nread " << 16 + pick(200) << "\nstop\n";
        break;
      default:
        s << "hs-scl 1.7m\nstart\nhs-code " << pick(8) << "\nstart\naddr 0x" << address << " w\nwrite "
          << 16 + pick(200) << "\nstop\n";
        break;
    }
    s << std::dec << "idle " << traffic.shortest_idle_us + pick(8) << "us\n";
  }
  return s.str();
}

}  // namespace orvane::analyzer_test
