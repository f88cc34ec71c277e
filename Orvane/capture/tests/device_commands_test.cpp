#include "Orvane/capture/device_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace orvane {
namespace {

using Bytes = std::vector<uint8_t>;

struct PacketCase {
  const char* name;
  std::function<CommandPacket()> build;
  CommandPacket expected;
};

std::string Hex(const CommandPacket& packet) {
  std::string text;
  for (uint8_t byte : packet) {
    static const char kDigits[] = "0123456789ABCDEF";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
    text += ' ';
  }
  return text;
}

SettingsRecord Spi(uint8_t ss_mode) {
  SettingsRecord s = DefaultSettingsRecord();
  s.m_AnalyzeBusChannel = 0;
  s.SpiSsMode = ss_mode;
  return s;
}

SettingsRecord Bus(uint8_t bus) {
  SettingsRecord s = DefaultSettingsRecord();
  s.m_AnalyzeBusChannel = bus;
  return s;
}

SettingsRecord TrgOut(uint16_t address, bool ten_bit) {
  SettingsRecord s = DefaultSettingsRecord();
  s.TrgOutEnable = 1;
  s.TrgOutAddressEnable = 1;
  s.TrgOut10Bit = ten_bit ? 1 : 0;
  s.TrgOutAddress = address;
  return s;
}

const std::vector<PacketCase>& PacketCases() {
  static const std::vector<PacketCase> cases = {
      {"Analyzer50MHzSpiWithSs3ClockFilter",
       [] {
         SettingsRecord s = Spi(1);
         s.SamplePeriodCode = 2;
         s.NoiseFilter = 2;
         return SamplingStartCommand(s);
       },
       {0xC4, 0x03, 0x00, 0x00, 0x22, 0, 0, 0, 0, 0}},
      {"Analyzer10MHzI2C1ExternalTrigger",
       [] {
         SettingsRecord s = Bus(2);
         s.SamplePeriodCode = 10;
         s.TrgInEnable = 1;
         s.TrgInEnables = 0x05;
         s.TrgInLevels = 0x04;
         return SamplingStartCommand(s);
       },
       {0xC4, 0x01, 0x84, 0x05, 0x01, 0, 0, 0, 0, 0}},
      {"MonitorSpiFallingActiveHighLsbFirst",
       [] {
         SettingsRecord s = Spi(2);
         s.SpiSamplingEdge = 2;
         s.SpiBitFlags = 0;
         return MonitorStartCommand(s);
       },
       {0xC6, 0x00, 0x00, 0x00, 0x04, 0x15, 0, 0, 0, 0}},
      {"MonitorI2C0", [] { return MonitorStartCommand(Bus(1)); },
       {0xC6, 0x00, 0x00, 0x00, 0x06, 0x00, 0, 0, 0, 0}},
      {"MonitorStop", [] { return SamplingStopCommand(true); }, {0xC6, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"AnalyzerStop", [] { return SamplingStopCommand(false); }, {0xC4, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"TrgOut7BitWithSubAddress",
       [] {
         SettingsRecord s = TrgOut(0x50, false);
         s.TrgOutSubAddressEnable = 1;
         s.TrgOutSubAddressLength = 2;
         s.TrgOutSubAddressData[0] = 0x12;
         s.TrgOutSubAddressData[1] = 0x34;
         return I2CTrgOutSettingCommand(s);
       },
       {0xC9, 0x05, 0xA0, 0x00, 0x12, 0x34, 0x00, 0x00, 0x00, 0x00}},
      {"TrgOut10BitAddress", [] { return I2CTrgOutSettingCommand(TrgOut(0x2A5, true)); },
       {0xC9, 0x21, 0xF4, 0xA5, 0, 0, 0, 0, 0, 0}},
      {"Power3V3", [] { return PowerControlCommand(3); }, {0xC3, 0x03, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"GetFwVersion", [] { return GetFwVersionCommand(); }, {0xC0, 0, 0, 0, 0, 0, 0, 0, 0x08, 0}},
      {"GetPowerState", [] { return GetPowerStateCommand(); }, {0xC5, 0, 0, 0, 0, 0, 0, 0, 0x04, 0}},
      {"GetMode", [] { return GetModeCommand(); }, {0xC8, 0, 0, 0, 0, 0, 0, 0, 0x04, 0}},

      // Field boundaries.
      {"Analyzer20MHz",
       [] {
         SettingsRecord s = Bus(1);
         s.SamplePeriodCode = 5;
         return SamplingStartCommand(s);
       },
       {0xC4, 0x02, 0, 0, 0x00, 0, 0, 0, 0, 0}},
      {"AnalyzerUnknownPeriodIs10MHz",
       [] {
         SettingsRecord s = Bus(1);
         s.SamplePeriodCode = 0;
         return SamplingStartCommand(s);
       },
       {0xC4, 0x01, 0, 0, 0x00, 0, 0, 0, 0, 0}},
      {"AnalyzerSpiWithoutSs4ClockFilter",
       [] {
         SettingsRecord s = Spi(0);
         s.NoiseFilter = 3;
         return SamplingStartCommand(s);
       },
       {0xC4, 0x03, 0, 0, 0x33, 0, 0, 0, 0, 0}},
      {"AnalyzerFilterOutOfRangeMasked",
       [] {
         SettingsRecord s = Bus(1);
         s.NoiseFilter = 0xFF;  // (0xFF * 16) & 0x30
         return SamplingStartCommand(s);
       },
       {0xC4, 0x03, 0, 0, 0x30, 0, 0, 0, 0, 0}},
      {"AnalyzerTriggerFieldsMaskedToFiveLines",
       [] {
         SettingsRecord s = Bus(1);
         s.TrgInEnable = 1;
         s.TrgInLevels = 0xFF;
         s.TrgInEnables = 0xFF;
         return SamplingStartCommand(s);
       },
       {0xC4, 0x03, 0x9F, 0x1F, 0x00, 0, 0, 0, 0, 0}},
      {"AnalyzerTriggerOnlyWhenEnableIsOne",
       [] {
         SettingsRecord s = Bus(1);
         s.TrgInEnable = 2;
         s.TrgInLevels = 0x1F;
         s.TrgInEnables = 0x1F;
         return SamplingStartCommand(s);
       },
       {0xC4, 0x03, 0, 0, 0x00, 0, 0, 0, 0, 0}},
      {"AnalyzerBusOutOfRangeIsSpi", [] { return SamplingStartCommand(Bus(7)); },
       {0xC4, 0x03, 0, 0, 0x02, 0, 0, 0, 0, 0}},
      {"MonitorSpiDefaultsNoFramingBits", [] { return MonitorStartCommand(Spi(1)); },
       {0xC6, 0, 0, 0, 0x04, 0x00, 0, 0, 0, 0}},
      {"MonitorSpiSsNotMonitored", [] { return MonitorStartCommand(Spi(0)); },
       {0xC6, 0, 0, 0, 0x04, 0x0C, 0, 0, 0, 0}},
      {"MonitorI2C1IgnoresSpiFramingAndFilter",
       [] {
         SettingsRecord s = Bus(2);
         s.SpiSamplingEdge = 2;
         s.SpiSsMode = 0;
         s.SpiBitFlags = 0;
         s.NoiseFilter = 3;
         s.TrgInEnable = 1;
         s.TrgInLevels = 0x01;
         s.TrgInEnables = 0x03;
         return MonitorStartCommand(s);
       },
       {0xC6, 0, 0x81, 0x03, 0x07, 0x00, 0, 0, 0, 0}},
      {"TrgOutDisabledSendsZeros",
       [] {
         SettingsRecord s = TrgOut(0x2A5, true);
         s.TrgOutEnable = 0;
         s.TrgOutSubAddressEnable = 1;
         s.TrgOutSubAddressData[0] = 0x55;
         s.TrgOutNackIgnore = 1;
         return I2CTrgOutSettingCommand(s);
       },
       {0xC9, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"TrgOut7BitAddressLosesTopBit", [] { return I2CTrgOutSettingCommand(TrgOut(0xFF, false)); },
       {0xC9, 0x01, 0xFE, 0x00, 0, 0, 0, 0, 0, 0}},
      {"TrgOut10BitHighestAddress", [] { return I2CTrgOutSettingCommand(TrgOut(0xFFFF, true)); },
       {0xC9, 0x21, 0xF6, 0xFF, 0, 0, 0, 0, 0, 0}},
      {"TrgOutAllFlagsLength4FullData",
       [] {
         SettingsRecord s = TrgOut(0x00, false);
         s.TrgOutAddressEnable = 0;
         s.TrgOutNackIgnore = 1;
         s.TrgOutSubAddressEnable = 1;
         s.TrgOutSubAddressLength = 4;
         const uint8_t data[4] = {0xDE, 0xAD, 0xBE, 0xEF};
         for (int i = 0; i < 4; ++i) s.TrgOutSubAddressData[i] = data[i];
         return I2CTrgOutSettingCommand(s);
       },
       {0xC9, 0x18, 0x00, 0x00, 0xDE, 0xAD, 0xBE, 0xEF, 0, 0}},
      {"TrgOutSubAddressLengthKeepsThreeBits",
       [] {
         SettingsRecord s = TrgOut(0x00, false);
         s.TrgOutSubAddressEnable = 1;
         s.TrgOutSubAddressLength = 0x0F;
         return I2CTrgOutSettingCommand(s);
       },
       {0xC9, 0x0F, 0x00, 0x00, 0, 0, 0, 0, 0, 0}},
      {"TrgOutSubAddressOffSendsNoLengthButData",
       [] {
         SettingsRecord s = TrgOut(0x50, false);
         s.TrgOutSubAddressLength = 3;
         s.TrgOutSubAddressData[2] = 0x77;
         return I2CTrgOutSettingCommand(s);
       },
       {0xC9, 0x01, 0xA0, 0x00, 0x00, 0x00, 0x77, 0x00, 0, 0}},
      {"PowerOff", [] { return PowerControlCommand(0); }, {0xC3, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"Power5V", [] { return PowerControlCommand(4); }, {0xC3, 0x04, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"PowerUnknownCodeTurnsOff", [] { return PowerControlCommand(5); },
       {0xC3, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  return cases;
}

class CommandPacketTest : public ::testing::TestWithParam<size_t> {};

TEST_P(CommandPacketTest, BuildsExactBytes) {
  const PacketCase& c = PacketCases()[GetParam()];
  EXPECT_EQ(Hex(c.build()), Hex(c.expected)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(AllPackets, CommandPacketTest,
                         ::testing::Range<size_t>(0, PacketCases().size()),
                         [](const ::testing::TestParamInfo<size_t>& param_info) {
                           return std::string(PacketCases()[param_info.param].name);
                         });

struct FlagReplyCase {
  Bytes reply;
  bool ok;
  bool flag;
};

TEST(DeviceReplies, ModeAndPowerStateNeedFourBytesAndReadByte3Bit0) {
  const std::vector<FlagReplyCase> cases = {
      {{}, false, false},
      {{0, 0, 1}, false, false},  // a 3-byte mode reply fails the open
      {{0, 0, 0, 1}, true, true},
      {{0xFF, 0xFF, 0xFF, 0xFE}, true, false},
      {{0, 0, 0, 0x03, 0x99, 0x99}, true, true},
  };
  for (const FlagReplyCase& c : cases) {
    bool analyzer = !c.flag;
    EXPECT_EQ(ParseModeReply(c.reply, &analyzer), c.ok) << c.reply.size();
    if (c.ok) {
      EXPECT_EQ(analyzer, c.flag);
    }
    bool powered = !c.flag;
    EXPECT_EQ(ParsePowerStateReply(c.reply, &powered), c.ok) << c.reply.size();
    if (c.ok) {
      EXPECT_EQ(powered, c.flag);
    }
  }
}

TEST(DeviceReplies, VersionsNeedEightBytes) {
  FirmwareVersions versions;
  const Bytes short_reply = {1, 2, 3, 4, 5, 6, 7};
  EXPECT_FALSE(ParseFwVersionReply(short_reply, &versions));
  EXPECT_EQ(versions.firmware, (std::array<uint8_t, 2>{0, 0}));

  const Bytes reply = {0xAA, 0xBB, 0x01, 0x23, 0xCC, 0xDD, 0x04, 0x56};
  ASSERT_TRUE(ParseFwVersionReply(reply, &versions));
  EXPECT_EQ(versions.firmware, (std::array<uint8_t, 2>{0x01, 0x23}));
  EXPECT_EQ(versions.cpld, (std::array<uint8_t, 2>{0x04, 0x56}));
}

TEST(DeviceReplies, NullOutputFails) {
  const Bytes reply = {0, 0, 0, 1, 0, 0, 0, 0};
  EXPECT_FALSE(ParseModeReply(reply, nullptr));
  EXPECT_FALSE(ParsePowerStateReply(reply, nullptr));
  EXPECT_FALSE(ParseFwVersionReply(reply, nullptr));
}

}  // namespace
}  // namespace orvane
