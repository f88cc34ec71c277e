#include "driver/libusb/analyzer_identity.h"

#include <gtest/gtest.h>

#include <vector>

namespace velix::driver {
namespace {

struct IdCase {
  UsbId id;
  bool analyzer;
};

TEST(AnalyzerIdentityTest, RecognisesExactlyTheFourIdentities) {
  const IdCase cases[] = {
      {{0x1D9A, 0x030A}, true},  {{0x1D9A, 0x030B}, true},  {{0x04B4, 0x8613}, true},
      {{0x1D9A, 0x0221}, true},  {{0x1D9A, 0x030C}, false}, {{0x04B4, 0x8614}, false},
      {{0x04B4, 0x030A}, false}, {{0x030A, 0x1D9A}, false}, {{0x0000, 0x0000}, false},
  };
  for (const IdCase& c : cases) {
    EXPECT_EQ(IsAnalyzerId(c.id), c.analyzer) << FormatUsbId(c.id);
  }
}

struct FirstCase {
  const char* name;
  std::vector<UsbId> bus;
  std::optional<size_t> first;
};

TEST(AnalyzerIdentityTest, PicksTheBestRankedAnalyzer) {
  const FirstCase cases[] = {
      {"empty bus", {}, std::nullopt},
      {"no analyzer", {{0x046D, 0xC52B}, {0x1D6B, 0x0002}}, std::nullopt},
      {"after other devices", {{0x1D6B, 0x0002}, {0x1D9A, 0x030A}}, 1},
      {"any identity counts", {{0x04B4, 0x8613}}, 0},
      {"operation mode before the loader", {{0x1D6B, 0x0003}, {0x1D9A, 0x0221}, {0x1D9A, 0x030A}}, 2},
      {"a bare controller never shadows the analyzer", {{0x04B4, 0x8613}, {0x1D9A, 0x030B}}, 1},
      {"the loader before a bare controller", {{0x04B4, 0x8613}, {0x1D9A, 0x0221}}, 1},
      {"bus order among equals", {{0x1D9A, 0x030A}, {0x04B4, 0x8613}, {0x1D9A, 0x030A}}, 0},
  };
  for (const FirstCase& c : cases) {
    EXPECT_EQ(PreferredAnalyzer(c.bus), c.first) << c.name;
  }
}

TEST(AnalyzerIdentityTest, FormatsIdsAsLowerCaseHex) {
  EXPECT_EQ(FormatUsbId({0x04B4, 0x8613}), "04b4:8613");
  EXPECT_EQ(FormatUsbId({0x0001, 0xABCD}), "0001:abcd");
}

TEST(AnalyzerIdentityTest, MessagesTellTheUserWhatToDo) {
  const std::string denied = AccessDeniedMessage({0x1D9A, 0x030A});
  EXPECT_NE(denied.find("1d9a:030a"), std::string::npos);
  EXPECT_NE(denied.find("/etc/udev/rules.d/70-velix.rules"), std::string::npos);
  EXPECT_NE(denied.find("udevadm control --reload"), std::string::npos);
  EXPECT_NE(denied.find("velix-daemon package"), std::string::npos);
  EXPECT_NE(denied.find("velix group"), std::string::npos);

  const std::string none = NoAnalyzerMessage();
  for (const UsbId& id : kAnalyzerIds) EXPECT_NE(none.find(FormatUsbId(id)), std::string::npos);

  EXPECT_NE(OpenFailedMessage({0x1D9A, 0x030B}, nullptr).find("unknown error"), std::string::npos);
}

}  // namespace
}  // namespace velix::driver
