#include "Orvane/capture/sic_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace orvane {
namespace {

std::vector<uint8_t> ValidHeader() {
  const SicHeader h = BuildSicHeader(DefaultSettingsRecord());
  return {h.begin(), h.end()};
}

TEST(SicHeaderTest, LayoutOfAWrittenHeader) {
  SettingsRecord settings = DefaultSettingsRecord();
  settings.m_AnalyzeBusChannel = 2;
  const SicHeader h = BuildSicHeader(settings);
  EXPECT_EQ(std::string(h.begin(), h.begin() + 4), "KPW!");
  EXPECT_EQ(h[4], 0x00);
  EXPECT_EQ(h[5], 0x04);
  for (size_t i = 6; i < 16; ++i) EXPECT_EQ(h[i], 0) << i;
  EXPECT_EQ(std::memcmp(h.data() + 16, &settings, kSettingsRecordSize), 0);
  for (size_t i = 482; i < 992; ++i) EXPECT_EQ(h[i], 0) << i;
  const uint8_t signature[12] = {'T', 0, 'O', 0, 'R', 0, 'V', 0, 'E', 0, 'L', 0};
  EXPECT_EQ(std::memcmp(h.data() + 992, signature, 12), 0);
  for (size_t i = 1004; i < 1020; ++i) EXPECT_EQ(h[i], 0) << i;
  EXPECT_EQ(std::string(h.begin() + 1020, h.end()), "Vask");
  EXPECT_EQ(SettingsFromSicHeader(h).m_AnalyzeBusChannel, 2);
}

struct AcceptCase {
  const char* name;
  void (*edit)(std::vector<uint8_t>&);
  bool accepted;
};

class HeaderAcceptanceTest : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(HeaderAcceptanceTest, FollowsTheAcceptanceRule) {
  std::vector<uint8_t> bytes = ValidHeader();
  GetParam().edit(bytes);
  EXPECT_EQ(IsAcceptedSicHeader(bytes), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, HeaderAcceptanceTest,
    ::testing::Values(
        AcceptCase{"Valid", [](std::vector<uint8_t>&) {}, true},
        AcceptCase{"DataAfterHeader", [](std::vector<uint8_t>& b) { b.push_back(0x10); }, true},
        AcceptCase{"Empty", [](std::vector<uint8_t>& b) { b.clear(); }, false},
        AcceptCase{"Truncated1023", [](std::vector<uint8_t>& b) { b.pop_back(); }, false},
        AcceptCase{"WrongFirstByte", [](std::vector<uint8_t>& b) { b[0] = 'k'; }, false},
        AcceptCase{"WrongMagicTail", [](std::vector<uint8_t>& b) { b[3] = '?'; }, false},
        AcceptCase{"HeaderSize1023", [](std::vector<uint8_t>& b) { b[4] = 0xFF; b[5] = 0x03; }, false},
        AcceptCase{"HeaderSize1025", [](std::vector<uint8_t>& b) { b[4] = 0x01; }, false},
        AcceptCase{"WrongTrailer", [](std::vector<uint8_t>& b) { b[1023] = 'K'; }, false},
        AcceptCase{"SignatureNotChecked", [](std::vector<uint8_t>& b) { b[992] = 'X'; }, true},
        AcceptCase{"ReservedNotChecked", [](std::vector<uint8_t>& b) { b[8] = 1; b[600] = 9; }, true}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace orvane
