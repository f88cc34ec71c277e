#include "platform/device_names.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/device_file.h"
#include "platform/device_wire.h"

namespace velix::platform {
namespace {

TEST(DeviceNames, OpenNamesSplitIntoSocketAndFileName) {
  const std::string interface_path = "usb#vid_1d9a&pid_030b#velix0#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
  struct Case {
    std::string name;
    bool valid;
    std::string socket;
    std::string file;
  } cases[] = {
      {"\\\\.\\VELIX0", true, "VELIX0", ""},
      {"\\\\.\\velix0\\PIPE00", true, "VELIX0", "\\PIPE00"},
      {"\\\\.\\VELIX1", true, "VELIX1", ""},
      {"\\\\?\\" + interface_path, true, interface_path, ""},
      {"\\\\?\\USB#VID_1D9A&PID_030B#VELIX0#{A5DCBF10-6530-11D2-901F-00C04FB951ED}\\PIPE01", true, interface_path,
       "\\PIPE01"},
      {"\\\\?\\usb#vid_1d9a&pid_030b#velix0", false, "", ""},                // no class GUID
      {"\\\\?\\" + interface_path + "PIPE00", false, "", ""},                 // file name without backslash
      {"\\\\.\\..", false, "", ""},
      {"\\\\.\\", false, "", ""},
      {"\\\\.\\a/b", false, "", ""},
      {"VELIX0", false, "", ""},
      {"", false, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<DeviceOpenTarget> target = ParseDeviceOpenName(c.name);
    ASSERT_EQ(target.has_value(), c.valid);
    if (!target) continue;
    EXPECT_EQ(target->socket_name, c.socket);
    EXPECT_EQ(target->file_name, c.file);
  }
}

TEST(DeviceNames, InterfaceSocketNamesCarryTheIdentityAndClassGuid) {
  const std::string name = InterfaceSocketName(0x1D9A, 0x030A, "velix0");
  EXPECT_EQ(name, "usb#vid_1d9a&pid_030a#velix0#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  EXPECT_TRUE(IsInterfaceSocketName(name));
  // The firmware library compares the first 25 characters of the full path.
  EXPECT_EQ(("\\\\?\\" + name).substr(0, 25), "\\\\?\\usb#vid_1d9a&pid_030a");
  EXPECT_FALSE(IsInterfaceSocketName("VELIX0"));
  EXPECT_FALSE(IsInterfaceSocketName("velixd.control"));
}

TEST(DeviceNames, RuntimeFolderFollowsTheEnvironment) {
  ::setenv("VELIX_RUNTIME_DIR", "/tmp/velix-here", 1);
  EXPECT_EQ(DeviceRuntimeFolder(), "/tmp/velix-here");
  ::unsetenv("VELIX_RUNTIME_DIR");
  ::setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
  EXPECT_EQ(DeviceRuntimeFolder(), "/run/user/1000/velix");
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(DeviceRuntimeFolder(), "/run/velix");
}

TEST(DeviceWire, RequestHeadersAreCheckedBeforeAnythingIsRead) {
  struct Case {
    WireOp op;
    uint32_t input, output, stage;
    WireFault fault;
  } cases[] = {
      {WireOp::kCreate, kWireMaxFileNameBytes, 0, 0, WireFault::kNone},
      {WireOp::kCreate, kWireMaxFileNameBytes + 1, 0, 0, WireFault::kTooLarge},
      {WireOp::kClose, 1, 0, 0, WireFault::kTooLarge},
      {WireOp::kRead, 0, kWireMaxReadBytes, 0, WireFault::kNone},
      {WireOp::kRead, 0, kWireMaxReadBytes + 1, 0, WireFault::kTooLarge},
      {WireOp::kRead, 4, 4, 0, WireFault::kTooLarge},
      {WireOp::kWrite, kWireMaxWriteBytes + 1, 0, 0, WireFault::kTooLarge},
      {WireOp::kControl, 24, 4, kWireMaxStageBytes, WireFault::kNone},
      {WireOp::kControl, 24, 4, kWireMaxStageBytes + 1, WireFault::kTooLarge},
      {WireOp::kControl, kWireMaxControlBytes + 1, 0, 0, WireFault::kTooLarge},
      {static_cast<WireOp>(0), 0, 0, 0, WireFault::kBadOp},
      {static_cast<WireOp>(6), 0, 0, 0, WireFault::kBadOp},
  };
  for (const Case& c : cases) {
    WireRequest request;
    request.op = static_cast<uint8_t>(c.op);
    request.input_size = c.input;
    request.output_size = c.output;
    request.stage_size = c.stage;
    EXPECT_EQ(CheckWireRequest(request), c.fault) << int(c.op) << " " << c.input << " " << c.output;
  }
  WireRequest bad;
  bad.magic = 0;
  EXPECT_EQ(CheckWireRequest(bad), WireFault::kBadMagic);
}

TEST(DeviceFile, CallsOnNoDeviceFailWithWin32Errors) {
  ::setenv("VELIX_RUNTIME_DIR", "/nonexistent/velix", 1);
  EXPECT_EQ(CreateDeviceFile("\\\\.\\VELIX0"), nullptr);
  EXPECT_EQ(GetLastDeviceError(), kErrorFileNotFound);
  EXPECT_TRUE(EnumerateDeviceInterfaces().empty());
  ::unsetenv("VELIX_RUNTIME_DIR");
  uint32_t returned = 7;
  EXPECT_FALSE(DeviceIoControl(nullptr, 0x220020, nullptr, 0, nullptr, 0, &returned));
  EXPECT_EQ(returned, 0u);
  EXPECT_EQ(GetLastDeviceError(), kErrorInvalidHandle);
  EXPECT_FALSE(CloseDeviceFile(nullptr));
  const std::pair<uint32_t, uint32_t> statuses[] = {{0xC0000001u, kErrorGenFailure},
                                                    {0xC0000010u, kErrorInvalidFunction},
                                                    {0xC000000Du, kErrorInvalidParameter},
                                                    {0xC0000184u, kErrorBadCommand},
                                                    {0xC000009Du, kErrorDeviceNotConnected},
                                                    {0xC00000AEu, kErrorPipeBusy},
                                                    {0xC0000056u, kErrorAccessDenied}};
  for (const auto& [status, error] : statuses) EXPECT_EQ(Win32ErrorFromStatus(status), error);
}

}  // namespace
}  // namespace velix::platform
