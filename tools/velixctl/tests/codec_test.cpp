// Byte strings, control code names and the stream checksum.

#include <gtest/gtest.h>

#include <string_view>

#include "velix/device_interface.h"
#include "tools/velixctl/control_codes.h"
#include "tools/velixctl/hex.h"
#include "tools/velixctl/stream_checksum.h"

namespace velix::ctl {
namespace {

TEST(Hex, ParsesEitherCaseAndPrintsLowercase) {
  struct Case {
    std::string text;
    bool ok;
    std::vector<uint8_t> bytes;
  };
  const std::vector<Case> cases{
      {"", true, {}},
      {"00", true, {0x00}},
      {"0aFf7E", true, {0x0A, 0xFF, 0x7E}},
      {"0", false, {}},
      {"abc", false, {}},
      {"0g", false, {}},
      {"0a 00", false, {}},
      {"0x0a", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<uint8_t> bytes{0x55};
    ASSERT_EQ(ParseHex(c.text, &bytes), c.ok);
    if (c.ok) {
      EXPECT_EQ(bytes, c.bytes);
    }
  }
  EXPECT_EQ(ToHex(std::vector<uint8_t>{0x0A, 0xFF, 0x00, 0x7e}), "0aff007e");
  EXPECT_EQ(ToHex({}), "");
}

TEST(ControlCodes, AcceptNumbersAndShortNamesInAnyCase) {
  struct Case {
    std::string text;
    std::optional<uint32_t> code;
  };
  const std::vector<Case> cases{
      {"0x220024", driver::IOCTL_BULKUSB_GET_COUNT},
      {"2228260", driver::IOCTL_BULKUSB_GET_COUNT},
      {"GET_COUNT", driver::IOCTL_BULKUSB_GET_COUNT},
      {"get_count", driver::IOCTL_BULKUSB_GET_COUNT},
      {"Bulk_Start", driver::IOCTL_BULKUSB_BULK_START},
      {"GET_CONFIG_DESCRIPTOR", 0x220000u},
      {"SET_ONE_TRANSFER_EVENT", 0x220044u},
      {"reserved7", 0x22001Cu},
      {"0x220048", 0x220048u},  // not in the table, still sendable
      {"0", 0u},
      {"GET_COUN", std::nullopt},
      {"GET_COUNTS", std::nullopt},
      {"", std::nullopt},
      {"0x1ffffffff", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseControlCode(c.text), c.code);
  }
  for (uint32_t function = 0; function <= 17; ++function) {
    const uint32_t code = driver::BulkUsbControlCode(function);
    EXPECT_EQ(ParseControlCode(ControlCodeName(code)), code) << function;
  }
  EXPECT_EQ(ControlCodeName(0x220048), "");
}

TEST(StreamChecksum, IsSixtyFourBitFnv1aAndRunsAcrossBlocks) {
  const auto bytes = [](std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
  };
  EXPECT_EQ(StreamChecksum(kStreamChecksumSeed, {}), 0xCBF29CE484222325ULL);
  EXPECT_EQ(StreamChecksum(kStreamChecksumSeed, bytes("a")), 0xAF63DC4C8601EC8CULL);
  EXPECT_EQ(StreamChecksum(kStreamChecksumSeed, bytes("foobar")), 0x85944171F73967E8ULL);
  EXPECT_EQ(StreamChecksum(StreamChecksum(kStreamChecksumSeed, bytes("foo")), bytes("bar")),
            0x85944171F73967E8ULL);
}

}  // namespace
}  // namespace velix::ctl
