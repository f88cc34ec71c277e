#include "sim/scenario_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "sim/scenario_values.h"
#include "sim/synthesizer.h"

namespace velix::sim {
namespace {

struct BadScenario {
  const char* name;
  const char* text;
  const char* message;
};

const BadScenario kBad[] = {
    {"Empty", "# only a comment\n\n", "no traffic"},
    {"UnknownBus", "bus can\n", "line 1: unknown bus"},
    {"BusAfterTraffic", "start\nbus spi\n", "line 2: 'bus' must come before"},
    {"UnknownCommand", "start\nfly away\n", "line 2: unknown I2C command 'fly'"},
    {"SpiCommandOnI2c", "select\n", "line 1: unknown I2C command"},
    {"I2cCommandOnSpi", "bus spi\nstart\n", "line 2: unknown SPI command"},
    {"BadDuration", "idle 5 parsecs\n", "line 1: 'idle' takes 1 argument"},
    {"BadDurationUnit", "idle 5m\n", "line 1: bad duration '5m'"},
    {"HugeDuration", "idle 99999999999s\n", "line 1: bad duration"},
    {"SevenBitAddressTooBig", "start\naddr 0x80 w\n", "line 2: bad 7-bit address"},
    {"TenBitAddressTooBig", "start\naddr10 0x400 w\n", "line 2: bad 10-bit address"},
    {"BadDirection", "start\naddr 0x50 x\n", "line 2: direction"},
    {"BadByte", "start\nwrite 1FF\n", "line 2: bad byte '1FF'"},
    {"NoBytes", "start\nread ack-last\n", "line 2: 'read' needs at least one byte"},
    {"BadBits", "start\nbits 012\n", "line 2: bits are written as 0 and 1"},
    {"HsCodeRange", "start\nhs-code 8\n", "line 2: HS master code"},
    {"BadScl", "scl fast\n", "line 1: bad SCL frequency"},
    {"UnknownSetting", "set Volume 11\n", "line 1: unknown settings field 'Volume'"},
    {"SettingTooWide", "set NoiseFilter 256\n", "line 1: value too large"},
    {"BadRate", "rate 33\n", "line 1: unknown rate"},
    {"GlitchUnknownLine", "glitch clk 10ns\n", "line 1: unknown line 'clk'"},
    {"GlitchZero", "glitch sda 0ns\n", "line 1: a glitch needs a duration"},
    {"XferWithoutData", "bus spi\nxfer bits=3\n", "line 2: xfer needs mosi= or miso="},
    {"XferLengthMismatch", "bus spi\nxfer mosi=01,02 miso=03\n", "line 2: mosi and miso have different lengths"},
    {"XferTooManyBits", "bus spi\nxfer mosi=01 bits=9\n", "line 2: bits= is more than"},
    {"XferUnknownKey", "bus spi\nxfer mosi=01 speed=3\n", "line 2: unknown xfer key 'speed'"},
    {"SpiModeRange", "bus spi\nmode 4\n", "line 2: SPI mode"},
    {"SclkTooFast", "bus spi\nsclk 30m\n", "line 2: bad SCLK frequency"},
    {"OddHexList", "bus spi\nxfer mosi=123\n", "line 2: bad byte list"},
};

class ScenarioErrors : public ::testing::TestWithParam<BadScenario> {};

TEST_P(ScenarioErrors, NameTheLine) {
  Scenario scenario;
  std::string error;
  EXPECT_FALSE(ParseScenario(GetParam().text, &scenario, &error));
  EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Table, ScenarioErrors, ::testing::ValuesIn(kBad),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(ScenarioErrors, GenerationProblemsNameTheLine) {
  SynthPlan plan;
  std::string error;
  EXPECT_FALSE(PrepareSynthesis("idle 1us\nstop\n", {}, &plan, &error));
  EXPECT_EQ(error, "line 2: stop while the bus is idle");
  EXPECT_FALSE(PrepareSynthesis("write 12\n", {}, &plan, &error));
  EXPECT_EQ(error, "line 1: bytes outside a transfer (no START before)");
}

TEST(ScenarioErrors, HostileInputStaysBounded) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "start\nwrite " + std::string(20000, '1') + "\n";
  Scenario scenario;
  std::string error;
  EXPECT_FALSE(ParseScenario(text, &scenario, &error));
  text = std::string(1000, '\0') + "\xff\xfe start";
  EXPECT_FALSE(ParseScenario(text, &scenario, &error));
}

struct DurationCase {
  const char* text;
  bool ok;
  uint64_t ten_ns;
};

TEST(ScenarioValues, DurationsRoundToTenNanoseconds) {
  const DurationCase cases[] = {{"600ns", true, 60},  {"1.3us", true, 130}, {"15ns", true, 2},  {"14ns", true, 1},
                                {"5ms", true, 500000}, {"2s", true, 200000000}, {"0.5US", true, 50}, {"us", false, 0},
                                {"1.2.3us", false, 0}, {"-5ns", false, 0}};
  for (const DurationCase& c : cases) {
    uint64_t value = 0;
    EXPECT_EQ(ParseDuration(c.text, &value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.ten_ns) << c.text;
    }
  }
}

TEST(ScenarioValues, FrequenciesAndSclTiming) {
  uint64_t hz = 0;
  ASSERT_TRUE(ParseFrequency("3.4m", &hz));
  EXPECT_EQ(hz, 3'400'000u);
  ASSERT_TRUE(ParseFrequency("400khz", &hz));
  EXPECT_EQ(hz, 400'000u);
  EXPECT_FALSE(ParseFrequency("0k", &hz));
  const I2cTiming fast = TimingForSclFrequency(400'000);
  EXPECT_EQ(fast.tLOW + fast.tHIGH, 250u);
  EXPECT_GE(fast.tLOW, 130u);  // inside the FAST-mode limits
  EXPECT_GE(fast.tHIGH, 60u);
}

TEST(ScenarioParser, ReadsFormatsAndDirectives) {
  Scenario s;
  std::string error;
  ASSERT_TRUE(ParseScenario("bus spi # the SPI bus\nrate 10\nss active-high\nmode 3\nlsb-first\nsclk 1m\n"
                            "set SpiDataLength 0x10\nselect\nxfer miso=A0B1 gap=1us\n",
                            &s, &error))
      << error;
  EXPECT_EQ(s.bus, BusKind::kSpi);
  EXPECT_EQ(s.rate_code, 10);
  EXPECT_EQ(s.spi.ss_mode, 2);
  EXPECT_TRUE(s.spi.cpol && s.spi.cpha && s.spi.lsb_first);
  EXPECT_EQ(s.spi.half_period, 50u);
  ASSERT_EQ(s.overrides.size(), 1u);
  EXPECT_EQ(s.overrides[0].value, 16u);
  ASSERT_EQ(s.commands.size(), 2u);
  EXPECT_EQ(s.commands[1].bytes2, (std::vector<uint8_t>{0xA0, 0xB1}));
  EXPECT_EQ(s.commands[1].bytes, (std::vector<uint8_t>{0, 0}));
  EXPECT_EQ(s.commands[1].bit_count, 16u);
  EXPECT_EQ(s.commands[1].duration, 100u);
}

}  // namespace
}  // namespace velix::sim
