#include "Orvane/interchange/channel_map.h"

#include <gtest/gtest.h>

namespace velix::interchange {
namespace {

struct MapCase {
  const char* name;
  uint8_t bus;
  std::vector<std::string> pairs;
  std::vector<std::string> channels;
  LineSources sources;  // when `error` is empty
  std::string error;
};

class ChannelMapTest : public ::testing::TestWithParam<MapCase> {};

TEST_P(ChannelMapTest, Resolves) {
  const MapCase& c = GetParam();
  LineSources sources{};
  std::string error;
  const bool ok = ResolveChannelMap(c.bus, c.pairs, c.channels, &sources, &error);
  EXPECT_EQ(error, c.error);
  EXPECT_EQ(ok, c.error.empty());
  if (ok) {
    EXPECT_EQ(sources, c.sources);
  }
}

constexpr int N = kNoChannel;

INSTANTIATE_TEST_SUITE_P(
    Map, ChannelMapTest,
    ::testing::Values(
        MapCase{"own_names_i2c0", kBusI2c0, {}, {"SDA", "SCL"}, {1, 0, N, N}, ""},
        MapCase{"own_names_i2c1", kBusI2c1, {}, {"SCL", "SDA", "S0"}, {2, N, 0, 1}, ""},
        MapCase{"all_four_spi", kBusSpi, {}, {"MISO", "MOSI", "SCLK", "CS"}, {3, 2, 1, 0}, ""},
        MapCase{"spi_without_miso", kBusSpi, {}, {"CS", "SCLK", "MOSI"}, {0, 1, 2, N}, ""},
        MapCase{"mapped", kBusI2c0, {"SCL=clk", "sda=dat"}, {"dat", "x", "clk"}, {2, 0, N, N}, ""},
        // A map wins over a channel that happens to carry the line's name.
        MapCase{"map_over_name", kBusI2c0, {"SCL=clk"}, {"SCL", "SDA", "clk"}, {2, 1, N, N}, ""},
        MapCase{
            "unknown_line", kBusI2c0, {"MOSI=clk"}, {"clk"}, {}, "--map MOSI=clk: the i2c0 lines are SCL, SDA, S2, S3"},
        MapCase{"unknown_channel",
                kBusI2c0,
                {"SCL=nope"},
                {"clk", "dat"},
                {},
                "--map SCL=nope: there is no channel 'nope'; the channels are clk, dat"},
        MapCase{"line_twice", kBusI2c0, {"SCL=a", "scl=b"}, {"a", "b"}, {}, "--map names the line SCL twice"},
        MapCase{"no_equals", kBusI2c0, {"SCL"}, {"a"}, {}, "--map takes LINE=NAME, not 'SCL'"},
        MapCase{"empty_name", kBusI2c0, {"SCL="}, {"a"}, {}, "--map takes LINE=NAME, not 'SCL='"},
        MapCase{"required_missing",
                kBusI2c0,
                {"SCL=clk"},
                {"clk", "data"},
                {},
                "no channel for the line SDA: name one with --map SDA=NAME; the channels are clk, data"},
        MapCase{"spi_needs_cs",
                kBusSpi,
                {},
                {"SCLK", "MOSI", "MISO"},
                {},
                "no channel for the line CS: name one with --map CS=NAME; the channels are SCLK, MOSI, MISO"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ChannelMapList, ShortensALongChannelList) {
  std::vector<std::string> channels;
  for (int i = 0; i < 40; ++i) channels.push_back("D" + std::to_string(i));
  LineSources sources{};
  std::string error;
  EXPECT_FALSE(ResolveChannelMap(kBusI2c0, {"SCL=X"}, channels, &sources, &error));
  EXPECT_NE(error.find("D31, ... (40 in all)"), std::string::npos) << error;
  EXPECT_EQ(error.find("D32"), std::string::npos) << error;
}

}  // namespace
}  // namespace velix::interchange
