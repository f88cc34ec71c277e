#include "tools/velixctl/request_commands.h"

#include <gtest/gtest.h>

#include "velix/device_interface.h"
#include "tools/velixctl/requests.h"
#include "tools/velixctl/tests/fake_device.h"

namespace velix::ctl {
namespace {

using testing::FakeDevice;
using testing::ScriptedAnswer;

TEST(RunIoctl, ReportsTheRequestThenTheStatusWord) {
  struct Case {
    const char* name;
    ScriptedAnswer answer;
    uint32_t output_size;
    uint32_t driver_status;
    bool status_fails;
    bool ok;
    std::string text;
  };
  const std::vector<Case> cases{
      {"version", {{true, 0, 0, 2}, {2, 1}}, 2, 0, false, true,
       "ok=1\nerror=0\nstatus=0x00000000\ninformation=2\nout=0201\ndriverstatus=0\n"},
      {"failure", {{false, 31, 0xC0000001, 0}, {}}, 4, 27, false, false,
       "ok=0\nerror=31\nstatus=0xC0000001\ninformation=0\nout=\ndriverstatus=27\n"},
      {"device message", {{true, 0, 0, 0}, {}}, 0, 0x80000001, false, true,
       "ok=1\nerror=0\nstatus=0x00000000\ninformation=0\nout=\ndriverstatus=0x80000001\n"},
      {"status unreadable", {{true, 0, 0, 0}, {}}, 0, 0, true, true,
       "ok=1\nerror=0\nstatus=0x00000000\ninformation=0\nout=\n"},
      // A byte count beyond the buffer shows only the buffer.
      {"count too large", {{true, 0, 0, 4096}, {0xAB, 0xCD, 0xEF}}, 2, 0, false, true,
       "ok=1\nerror=0\nstatus=0x00000000\ninformation=4096\nout=abcd\ndriverstatus=0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDevice device;
    device.answers[0x220030] = c.answer;
    device.driver_status = c.driver_status;
    device.status_fails = c.status_fails;
    std::string text;
    EXPECT_EQ(RunIoctl(device, IoctlRequest{0x220030, {}, c.output_size, false}, &text), c.ok);
    EXPECT_EQ(text, c.text);
    ASSERT_EQ(device.CallNames(), (std::vector<std::string>{"GET_DRIVER_VERSION", "GET_STATUS"}));
  }
}

TEST(RunIoctl, EventOptionPassesTheDescriptorOfALiveEvent) {
  FakeDevice device;
  std::string text;
  EXPECT_TRUE(RunIoctl(device, IoctlRequest{driver::IOCTL_BULKUSB_BULK_START, {1, 2, 3, 4, 5}, 4, true}, &text));
  ASSERT_EQ(device.calls.at(0).input.size(), 4u);
  // The fake took its own reference while the request ran, so the
  // descriptor was valid then.
  ASSERT_TRUE(device.start_event.Valid());
  EXPECT_EQ(text, "ok=1\nerror=0\nstatus=0x00000000\ninformation=4\nout=00000000\ndriverstatus=0\n");
}

TEST(RunRead, ReadsAtMostWhatIsWaiting) {
  FakeDevice device;
  device.pending = 3;
  std::string text;
  EXPECT_FALSE(RunRead(device, 4, &text));
  EXPECT_EQ(text, "ok=0\nerror=31\nstatus=0xC0000001\ninformation=0\nout=\ndriverstatus=0\n");
  text.clear();
  EXPECT_TRUE(RunRead(device, 3, &text));
  EXPECT_EQ(text, "ok=1\nerror=0\nstatus=0x00000000\ninformation=3\nout=072645\ndriverstatus=0\n");
}

TEST(RunWrite, ReportsBytesWrittenWithoutOutput) {
  FakeDevice device;
  std::string text;
  EXPECT_TRUE(RunWrite(device, {0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0x0A}, &text));
  EXPECT_EQ(text, "ok=1\nerror=0\nstatus=0x00000000\ninformation=10\ndriverstatus=0\n");
  EXPECT_EQ(device.calls.at(0).input.size(), 10u);
}

TEST(FormatStatusWord, IsDecimalUnlessADeviceMessage) {
  EXPECT_EQ(FormatStatusWord(0), "0");
  EXPECT_EQ(FormatStatusWord(40), "40");
  EXPECT_EQ(FormatStatusWord(0x7FFFFFFF), "2147483647");
  EXPECT_EQ(FormatStatusWord(0x80000000), "0x80000000");
  EXPECT_EQ(FormatStatusWord(0x8000A10C), "0x8000A10C");
}

}  // namespace
}  // namespace velix::ctl
