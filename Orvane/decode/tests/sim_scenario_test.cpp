#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Orvane/decode/i2c_analyzer.h"
#include "Orvane/decode/i2c_extract.h"
#include "Orvane/decode/spi_analyzer.h"
#include "Orvane/decode/spi_extract.h"
#include "Orvane/decode/tests/analyzer_test_support.h"
#include "sim/synthesizer.h"

namespace orvane {
namespace {

using analyzer_test::Harness;

// Two hexadecimal digits, as the scenario byte lists want them.
std::string Hex2(uint32_t value) {
  static const char kDigits[] = "0123456789abcdef";
  return {kDigits[(value >> 4) & 0xF], kDigits[value & 0xF]};
}

std::string RandomI2cScenario(uint32_t seed) {
  std::mt19937 rng(seed);
  auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  std::ostringstream s;
  s << "bus " << (pick(2) ? "i2c1" : "i2c0") << "\n";
  const char* clocks[] = {"100k", "400k", "1m"};
  s << "scl " << clocks[pick(3)] << "\n";
  s << "set IgnoreNackBeforeStop " << pick(2) << "\n";
  s << "set HsEnable " << pick(2) << "\n";
  for (int t = 0; t < 12; ++t) {
    s << std::hex;
    const uint32_t address = 0x08 + pick(0x70);
    switch (pick(5)) {
      case 0:
        s << "start\naddr 0x" << address << " w\nwrite " << Hex2(pick(256)) << " " << Hex2(pick(256)) << "\nstop\n";
        break;
      case 1:
        s << "start\naddr 0x" << address << " w\nwrite " << Hex2(pick(256)) << "\nstart\naddr 0x" << address
          << " r\nread " << Hex2(pick(256)) << " " << Hex2(pick(256)) << "\nstop\n";
        break;
      case 2:
        s << "start\naddr10 0x" << pick(0x400) << " w\nwrite " << Hex2(pick(256)) << "\nstart\naddr10 0x"
          << pick(0x400) << " r\nread " << Hex2(pick(256)) << "\nstop\n";
        break;
      case 3:
        s << "start\naddr 0x" << address << " w nack\nstop\n";
        break;
      default:
        s << "start\naddr 0x" << address << " w\nbits 1011\nstop\n";
        break;
    }
    s << std::dec << "idle " << 5 + pick(20) << "us\n";
  }
  return s.str();
}

std::string RandomSpiScenario(uint32_t seed) {
  std::mt19937 rng(seed);
  auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  std::ostringstream s;
  const char* ss[] = {"active-low", "active-high"};
  s << "bus spi\nss " << ss[pick(2)] << "\nmode " << pick(4) << "\n";
  s << (pick(2) ? "lsb-first\n" : "msb-first\n");
  s << "sclk " << (pick(2) ? "1m" : "500k") << "\n";
  if (pick(2)) s << "set SpiDataLength 4\n";
  for (int t = 0; t < 8; ++t) {
    s << "select\nxfer mosi=" << std::hex;
    const uint32_t n = 1 + pick(7);
    for (uint32_t i = 0; i < n; ++i) s << (i ? "," : "") << Hex2(pick(256));
    s << " miso=";
    for (uint32_t i = 0; i < n; ++i) s << (i ? "," : "") << Hex2(pick(256));
    if (pick(3) == 0) s << " bits=" << std::dec << 8 * n - 3;
    s << std::dec << "\ndeselect\nidle " << 3 + pick(10) << "us\n";
  }
  return s.str();
}

void ExpectMatchesTruth(Harness& h, const analyzer_test::Outcome& out, const velix::sim::SynthResult& synth) {
  const auto& truth = synth.truth.transactions;
  ASSERT_EQ(out.records.size(), truth.size());
  for (size_t i = 0; i < truth.size(); ++i) {
    if (!truth[i].exact) continue;
    const TransactionInfo& r = out.records[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(r.bStartEndType, truth[i].start_end);
    EXPECT_EQ(r.Status & 0x00FF, truth[i].status);
    EXPECT_EQ(r.StartClock, truth[i].start_clock);
    if (truth[i].duration >= 0) {
      EXPECT_EQ(r.Duration, static_cast<uint64_t>(truth[i].duration));
    }
    EXPECT_EQ(r.BitCount, truth[i].bit_count);
    TransactionDetail detail;
    if (synth.truth.is_i2c()) {
      EXPECT_EQ(r.i2c.I2CAddress, truth[i].address);
      EXPECT_EQ(r.i2c.I2CFlags, truth[i].flags);
      ExtractI2CAnalyzerDetail(h.Sampling(), synth.settings.m_AnalyzeBusChannel, r, 0xFFFFFFFF, &detail);
      EXPECT_EQ(detail.bytes, truth[i].bytes);
      std::vector<uint8_t> acks((truth[i].bytes2.size() + 7) / 8, 0);
      for (size_t k = 0; k < truth[i].bytes2.size(); ++k) {
        if (truth[i].bytes2[k]) acks[k / 8] = static_cast<uint8_t>(acks[k / 8] | (0x80 >> (k % 8)));
      }
      EXPECT_EQ(detail.bytes2, acks);
    } else {
      ExtractSpiAnalyzerDetail(h.Sampling(), synth.settings, r, 0xFFFFFFFF, &detail);
      EXPECT_EQ(detail.bytes, truth[i].bytes);
      EXPECT_EQ(detail.bytes2, truth[i].bytes2);
      const size_t shown = std::min<size_t>(10, truth[i].bytes.size());
      EXPECT_EQ(std::vector<uint8_t>(r.Preview, r.Preview + r.PreviewLen),
                std::vector<uint8_t>(truth[i].bytes.begin(), truth[i].bytes.begin() + shown));
    }
  }
}

struct ScenarioCase {
  bool spi;
  uint32_t seed;
};

class SimScenarios : public ::testing::TestWithParam<ScenarioCase> {};

TEST_P(SimScenarios, DecodedRecordsMatchTheGroundTruthAtEveryRate) {
  const std::string text = GetParam().spi ? RandomSpiScenario(GetParam().seed) : RandomI2cScenario(GetParam().seed);
  for (const uint8_t rate : {uint8_t{2}, uint8_t{5}, uint8_t{10}}) {
    SCOPED_TRACE(text);
    SCOPED_TRACE(rate);
    velix::sim::SynthOptions options;
    options.rate_code = rate;
    velix::sim::SynthResult synth;
    std::string error;
    ASSERT_TRUE(velix::sim::SynthesizeToMemory(text, options, 64u << 20, &synth, &error)) << error;
    Harness h;
    const auto decoder = GetParam().spi ? RunSpiAnalyzerDecode : RunI2CAnalyzerDecode;
    const auto out = h.RunOffline(decoder, synth.data, synth.settings);
    ExpectMatchesTruth(h, out, synth);
  }
}

std::vector<ScenarioCase> AllScenarios() {
  std::vector<ScenarioCase> cases;
  for (uint32_t seed = 1; seed <= 12; ++seed) cases.push_back({false, seed});
  for (uint32_t seed = 1; seed <= 8; ++seed) cases.push_back({true, seed});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Generated, SimScenarios, ::testing::ValuesIn(AllScenarios()),
                         [](const auto& param_info) {
                           return std::string(param_info.param.spi ? "Spi" : "I2c") +
                                  std::to_string(param_info.param.seed);
                         });

}  // namespace
}  // namespace orvane
