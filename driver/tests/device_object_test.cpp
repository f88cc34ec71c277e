// The device object over the simulated analyzer: opening by name, the PnP
// gate, read and write, and what every control code completes with, records
// in the status word and hands back.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "driver/device_object.h"
#include "driver/driver_status.h"
#include "platform/event.h"
#include "sim/device/simulated_device.h"
#include "sim/device/usb_identity.h"

namespace velix::driver {
namespace {

std::vector<uint8_t> Packet(std::initializer_list<uint8_t> head) {
  std::vector<uint8_t> packet(10, 0);
  std::copy(head.begin(), head.end(), packet.begin());
  return packet;
}

std::vector<uint8_t> U32(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
          static_cast<uint8_t>(value >> 24)};
}

std::shared_ptr<platform::Event> NewEvent() {
  return std::make_shared<platform::Event>(platform::Event::Create(platform::ResetMode::kAuto));
}

class DeviceObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    device_.SetAnalyzerImage(true);
    device_.SetHighSpeed(true);
    device_.Plug();
    ASSERT_EQ(object_.StartDevice(), STATUS_SUCCESS);
  }

  ControlResult Control(uint32_t code, std::vector<uint8_t> input = {}, uint32_t output_size = 0,
                        std::shared_ptr<platform::Event> event = nullptr, HandleContext* handle = nullptr) {
    ControlRequest request;
    request.code = code;
    request.input = input;
    request.output_size = output_size;
    request.event = std::move(event);
    request.caller = caller_;
    return object_.DeviceControl(handle, request);
  }

  uint32_t StatusWord() { return object_.Status().Get(); }

  sim::SimulatedDevice device_;
  DeviceObject object_{device_};
  CallerMemory caller_;
};

struct OpenCase {
  std::optional<std::string> name;
  NtStatus status;
  std::optional<int> pipe;
};

TEST_F(DeviceObjectTest, OpensPipesByTrailingDigitsBelowPipeCount) {
  ASSERT_EQ(object_.PipeCount(), 3);
  const OpenCase cases[] = {
      {std::string(), STATUS_SUCCESS, std::nullopt},
      {std::string("\\PIPE00"), STATUS_SUCCESS, 0},
      {std::string("\\PIPE01"), STATUS_SUCCESS, 1},
      {std::string("\\PIPE02"), STATUS_SUCCESS, 2},
      {std::string("\\PIPE1X0"), STATUS_SUCCESS, 0},
      {std::string("\\PIPE03"), STATUS_INVALID_PARAMETER, std::nullopt},
      {std::string("\\PIPE05"), STATUS_INVALID_PARAMETER, std::nullopt},
      {std::string("\\PIPE07"), STATUS_INVALID_PARAMETER, std::nullopt},
      {std::string("\\PIPE"), STATUS_INVALID_PARAMETER, std::nullopt},
      {std::string("\\PIPE4294967296"), STATUS_INVALID_PARAMETER, std::nullopt},
      {std::nullopt, STATUS_INVALID_PARAMETER, std::nullopt},
  };
  int opened = 0;
  for (const OpenCase& c : cases) {
    SCOPED_TRACE(c.name.value_or("<no file object>"));
    const CreateResult result =
        object_.Create(c.name ? std::optional<std::string_view>(*c.name) : std::nullopt);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.handle != nullptr, c.status == STATUS_SUCCESS);
    if (!result.handle) continue;
    ++opened;
    EXPECT_EQ(result.handle->pipe, c.pipe);
    if (c.pipe) {
      EXPECT_TRUE(object_.PipeOpen(*c.pipe));
    }
  }
  EXPECT_EQ(object_.OpenHandles(), opened);
}

TEST_F(DeviceObjectTest, StateGateForCreateControlReadAndWrite) {
  const std::vector<uint8_t> command = Packet({0xC3, 0x01});
  std::array<uint8_t, 1> byte{};
  object_.SetPnpState(PnpState::kPendingRemove);
  EXPECT_EQ(Control(IOCTL_BULKUSB_GET_DRIVER_VERSION, {}, 2).status, STATUS_SUCCESS);
  EXPECT_EQ(object_.Create(std::string_view()).status, STATUS_INVALID_DEVICE_STATE);
  EXPECT_EQ(object_.Write(nullptr, command).status, STATUS_INVALID_DEVICE_STATE);
  EXPECT_EQ(StatusWord(), driver_status::kWriteNotWorking);

  object_.SetPnpState(PnpState::kStopped);
  const ControlResult refused = Control(IOCTL_BULKUSB_GET_DRIVER_VERSION, {}, 2);
  EXPECT_EQ(refused.status, STATUS_INVALID_DEVICE_STATE);
  EXPECT_EQ(refused.information, 0u);
  EXPECT_EQ(StatusWord(), driver_status::kControlBadDeviceState);
  // A read needs no particular state: it fails only for want of data.
  EXPECT_EQ(object_.Read(nullptr, byte).status, STATUS_UNSUCCESSFUL);

  object_.SetPnpState(PnpState::kRemoved);
  EXPECT_EQ(Control(IOCTL_BULKUSB_GET_STATUS, {}, 4).status, STATUS_DELETE_PENDING);
  EXPECT_EQ(object_.Create(std::string_view()).status, STATUS_DELETE_PENDING);
  EXPECT_EQ(object_.Read(nullptr, byte).status, STATUS_DELETE_PENDING);
  EXPECT_EQ(object_.Write(nullptr, command).status, STATUS_DELETE_PENDING);
}

struct FixedOutputCase {
  uint32_t code;
  uint32_t output_size;
  std::vector<uint8_t> output;
};

TEST_F(DeviceObjectTest, SimpleCodesCompleteWithTheirOutput) {
  const FixedOutputCase cases[] = {
      {IOCTL_BULKUSB_GET_DRIVER_VERSION, 2, {2, 1}},
      {IOCTL_BULKUSB_GET_USB_SPEED, 1, {2}},
      {IOCTL_BULKUSB_GET_STATUS, 4, {0, 0, 0, 0}},
      {IOCTL_BULKUSB_GET_COUNT, 4, {0, 0, 0, 0}},
      {IOCTL_BULKUSB_RESERVED6, 0, {}},
      {IOCTL_BULKUSB_RESERVED7, 0, {}},
      {IOCTL_BULKUSB_RESET_DEVICE, 0, {}},
      {IOCTL_BULKUSB_BULK_STOP, 0, {}},
      {IOCTL_BULKUSB_RESET_BUFFER, 0, {}},
  };
  for (const FixedOutputCase& c : cases) {
    SCOPED_TRACE(c.code);
    const ControlResult result = Control(c.code, {}, c.output_size);
    EXPECT_EQ(result.status, STATUS_SUCCESS);
    EXPECT_EQ(result.information, c.output.size());
    EXPECT_EQ(result.output, c.output);
    // An output buffer too small for the value is refused, not overrun.
    if (c.output_size > 0) {
      EXPECT_EQ(Control(c.code, {}, c.output_size - 1).status, STATUS_BUFFER_TOO_SMALL);
    }
  }
  EXPECT_EQ(StatusWord(), 0u);
}

TEST_F(DeviceObjectTest, UsbSpeedAtFullSpeed) {
  device_.SetHighSpeed(false);
  const ControlResult result = Control(IOCTL_BULKUSB_GET_USB_SPEED, {}, 1);
  EXPECT_EQ(result.status, STATUS_SUCCESS);
  EXPECT_EQ(result.output, std::vector<uint8_t>{1});
}

TEST_F(DeviceObjectTest, UnknownCodeRecords27) {
  for (const uint32_t code : {BulkUsbControlCode(18), 0x220001u, 0x00120000u}) {
    const ControlResult result = Control(code, {1, 2, 3, 4}, 16);
    EXPECT_EQ(result.status, STATUS_INVALID_DEVICE_REQUEST);
    EXPECT_EQ(result.information, 0u);
    EXPECT_EQ(StatusWord(), driver_status::kUnknownControlCode);
  }
}

TEST_F(DeviceObjectTest, ConfigDescriptorCopiedWholeOrRefused) {
  const std::vector<uint8_t> expected = sim::ConfigurationDescriptor(512, false);
  const auto size = static_cast<uint32_t>(expected.size());
  const ControlResult small = Control(IOCTL_BULKUSB_GET_CONFIG_DESCRIPTOR, {}, size - 1);
  EXPECT_EQ(small.status, STATUS_BUFFER_TOO_SMALL);
  EXPECT_EQ(small.information, 0u);
  EXPECT_EQ(StatusWord(), driver_status::kConfigDescriptorTooSmall);
  const ControlResult whole = Control(IOCTL_BULKUSB_GET_CONFIG_DESCRIPTOR, {}, size + 100);
  EXPECT_EQ(whole.status, STATUS_SUCCESS);
  EXPECT_EQ(whole.information, size);
  EXPECT_EQ(whole.output, expected);
}

TEST_F(DeviceObjectTest, ResetPipeNeedsAPipeHandle) {
  CreateResult device_handle = object_.Create(std::string_view());
  CreateResult pipe_handle = object_.Create(std::string_view("\\PIPE01"));
  ASSERT_TRUE(device_handle.handle && pipe_handle.handle);
  EXPECT_EQ(Control(IOCTL_BULKUSB_RESET_PIPE).status, STATUS_INVALID_PARAMETER);
  EXPECT_EQ(StatusWord(), driver_status::kResetPipeNoFileObject);
  EXPECT_EQ(Control(IOCTL_BULKUSB_RESET_PIPE, {}, 0, nullptr, device_handle.handle.get()).status,
            STATUS_INVALID_PARAMETER);
  EXPECT_EQ(StatusWord(), driver_status::kResetPipeNotAPipe);
  const ControlResult reset = Control(IOCTL_BULKUSB_RESET_PIPE, {}, 0, nullptr, pipe_handle.handle.get());
  EXPECT_EQ(reset.status, STATUS_SUCCESS);
  EXPECT_EQ(reset.information, 0u);
}

TEST_F(DeviceObjectTest, BufferCodesAndReadLimits) {
  EXPECT_EQ(Control(IOCTL_BULKUSB_SET_BUFFER_SIZE, {17}).status, STATUS_UNSUCCESSFUL);
  EXPECT_EQ(StatusWord(), driver_status::kBadBufferSize);
  EXPECT_EQ(Control(IOCTL_BULKUSB_FILL_BUFFER, {0x55}).status, STATUS_UNSUCCESSFUL);
  EXPECT_EQ(StatusWord(), driver_status::kNoAccumBuffer);
  EXPECT_EQ(Control(IOCTL_BULKUSB_SET_BUFFER_SIZE, {}).status, STATUS_INVALID_PARAMETER);
  ASSERT_EQ(Control(IOCTL_BULKUSB_SET_BUFFER_SIZE, {1}).status, STATUS_SUCCESS);
  EXPECT_EQ(Control(IOCTL_BULKUSB_FILL_BUFFER, {0x55}).status, STATUS_SUCCESS);

  const std::vector<uint8_t> data = {1, 2, 3, 4, 5};
  ASSERT_TRUE(object_.Buffer().Store(data));
  EXPECT_EQ(Control(IOCTL_BULKUSB_GET_COUNT, {}, 4).output, U32(5));
  std::vector<uint8_t> too_long(6);
  const IoResult refused = object_.Read(nullptr, too_long);
  EXPECT_EQ(refused.status, STATUS_UNSUCCESSFUL);
  EXPECT_EQ(refused.information, 0u);
  EXPECT_EQ(StatusWord(), driver_status::kReadTooLongNotWrapped);
  EXPECT_EQ(object_.Read(nullptr, {}).status, STATUS_UNSUCCESSFUL);
  EXPECT_EQ(StatusWord(), driver_status::kReadEmptyRequest);
  std::vector<uint8_t> exact(5);
  const IoResult read = object_.Read(nullptr, exact);
  EXPECT_EQ(read.status, STATUS_SUCCESS);
  EXPECT_EQ(read.information, 5u);
  EXPECT_EQ(exact, data);

  EXPECT_EQ(Control(IOCTL_BULKUSB_RESET_BUFFER).status, STATUS_SUCCESS);
  EXPECT_EQ(StatusWord(), 0u);
  EXPECT_EQ(Control(IOCTL_BULKUSB_GET_COUNT, {}, 4).output, U32(0));
}

TEST_F(DeviceObjectTest, WriteGoesOutInStages) {
  const IoResult command = object_.Write(nullptr, Packet({0xC3, 0x01}));
  EXPECT_EQ(command.status, STATUS_SUCCESS);
  EXPECT_EQ(command.information, 10u);
  EXPECT_EQ(device_.power_supply(), 1);
  EXPECT_EQ(object_.Write(nullptr, {}).information, 0u);

  const std::vector<uint8_t> block(kWriteStageBytes * 2 + 7, 0xAB);
  const IoResult large = object_.Write(nullptr, block);
  EXPECT_EQ(large.status, STATUS_SUCCESS);
  EXPECT_EQ(large.information, block.size());
  const auto received = device_.ReceivedBulkOut();
  ASSERT_EQ(received.size(), 4u);
  EXPECT_EQ(received[1].size(), kWriteStageBytes);
  EXPECT_EQ(received[2].size(), kWriteStageBytes);
  EXPECT_EQ(received[3].size(), 7u);
}

TEST_F(DeviceObjectTest, RefusedWriteReportsTheTransferStatus) {
  device_.PlugAs(sim::Personality::kBareFx2);  // no firmware: bulk OUT stalls
  const IoResult stalled = object_.Write(nullptr, Packet({0xC3, 0x01}));
  EXPECT_EQ(stalled.status, STATUS_UNSUCCESSFUL);
  EXPECT_EQ(stalled.information, 0u);
  device_.Unplug();
  EXPECT_EQ(object_.Write(nullptr, Packet({0xC3, 0x01})).status, STATUS_DEVICE_NOT_CONNECTED);
}

TEST_F(DeviceObjectTest, FirmCommandSendsThenReceives) {
  const ControlResult version = Control(IOCTL_BULKUSB_FIRM_COMMAND, Packet({0xC0, 0, 0, 0, 0, 0, 0, 0x00, 0x08}), 8);
  EXPECT_EQ(version.status, STATUS_SUCCESS);
  ASSERT_EQ(version.information, 8u);
  const auto& v = device_.Memory().versions;
  EXPECT_EQ(version.output, (std::vector<uint8_t>{0, 0, v[0], v[1], v[2], v[3], v[4], v[5]}));

  // Send only, then receive only: a reply shorter than asked gives its length.
  const ControlResult sent = Control(IOCTL_BULKUSB_FIRM_COMMAND, Packet({0xC5, 0, 0, 0, 0, 0, 0, 0x00, 0x04}), 0);
  EXPECT_EQ(sent.status, STATUS_SUCCESS);
  EXPECT_EQ(sent.information, 0u);
  const ControlResult reply = Control(IOCTL_BULKUSB_FIRM_COMMAND, {}, 64);
  EXPECT_EQ(reply.status, STATUS_SUCCESS);
  EXPECT_EQ(reply.information, 4u);
  EXPECT_EQ(reply.output.size(), 4u);

  device_.Unplug();
  const ControlResult gone = Control(IOCTL_BULKUSB_FIRM_COMMAND, Packet({0xC0}), 8);
  EXPECT_EQ(gone.status, STATUS_UNSUCCESSFUL);
  EXPECT_EQ(gone.information, 0u);
  EXPECT_EQ(StatusWord(), driver_status::kFirmOutFailed);
  EXPECT_EQ(Control(IOCTL_BULKUSB_FIRM_COMMAND, {}, 8).status, STATUS_UNSUCCESSFUL);
  EXPECT_EQ(StatusWord(), driver_status::kFirmInFailed);
}

std::vector<uint8_t> VendorRecord(uint8_t request, uint16_t value, uint8_t direction, uint32_t length,
                                  uint64_t address, bool pointer_32bit) {
  std::vector<uint8_t> record(pointer_32bit ? kVendorRecord32Bytes : kVendorRecord64Bytes, 0);
  record[0] = request;
  record[2] = static_cast<uint8_t>(value);
  record[3] = static_cast<uint8_t>(value >> 8);
  record[6] = direction;
  std::memcpy(&record[8], U32(length).data(), 4);
  std::memcpy(&record[pointer_32bit ? 12 : 16], U32(static_cast<uint32_t>(address)).data(), 4);
  if (!pointer_32bit) std::memcpy(&record[20], U32(static_cast<uint32_t>(address >> 32)).data(), 4);
  return record;
}

TEST_F(DeviceObjectTest, VendorRequestMovesTheCallersData) {
  device_.PlugAs(sim::Personality::kRamLoader);
  std::array<uint8_t, 4> written = {0x11, 0x22, 0x33, 0x44};
  std::array<uint8_t, 4> read_back{};
  struct Layout {
    bool pointer_32bit;
    uint64_t written_address;
    uint64_t read_address;
  };
  for (const Layout& layout : {Layout{true, 0x1000, 0x2000}, Layout{false, 0x7FFF00001000, 0x7FFF00002000}}) {
    SCOPED_TRACE(layout.pointer_32bit);
    caller_.pointer_32bit = layout.pointer_32bit;
    caller_.resolve = [&](uint64_t address, uint32_t length) -> std::span<uint8_t> {
      if (length > 4) return {};
      if (address == layout.written_address) return std::span(written).first(length);
      if (address == layout.read_address) return std::span(read_back).first(length);
      return {};
    };
    const auto record = [&](uint8_t direction, uint64_t address) {
      return VendorRecord(0xE0, 0x40, direction, 4, address, layout.pointer_32bit);
    };
    read_back.fill(0);
    const ControlResult write = Control(IOCTL_BULKUSB_VENDOR_REQUEST, record(0, layout.written_address));
    EXPECT_EQ(write.status, STATUS_SUCCESS);
    EXPECT_EQ(write.information, 4u);
    // Direction 2 reads from the device but leaves the caller's buffer alone.
    const ControlResult discarded = Control(IOCTL_BULKUSB_VENDOR_REQUEST, record(2, layout.read_address));
    EXPECT_EQ(discarded.information, 4u);
    EXPECT_EQ(read_back, (std::array<uint8_t, 4>{}));
    const ControlResult read = Control(IOCTL_BULKUSB_VENDOR_REQUEST, record(1, layout.read_address));
    EXPECT_EQ(read.status, STATUS_SUCCESS);
    EXPECT_EQ(read.information, 4u);
    EXPECT_EQ(read_back, written);
    // A buffer address that is not the caller's is refused before any transfer.
    EXPECT_EQ(Control(IOCTL_BULKUSB_VENDOR_REQUEST, record(1, 0xDEAD0000)).status, STATUS_INVALID_PARAMETER);
    std::vector<uint8_t> truncated = record(0, layout.written_address);
    truncated.pop_back();
    EXPECT_EQ(Control(IOCTL_BULKUSB_VENDOR_REQUEST, truncated).status, STATUS_INVALID_PARAMETER);
  }
}

TEST_F(DeviceObjectTest, VendorRequestFailureCompletesWithTheTransferStatus) {
  // The operation firmware stalls vendor requests it does not know.
  const ControlResult stalled = Control(IOCTL_BULKUSB_VENDOR_REQUEST, VendorRecord(0x77, 0, 1, 0, 0, false));
  EXPECT_EQ(stalled.status, STATUS_UNSUCCESSFUL);
  EXPECT_EQ(stalled.information, 0u);
  // The stall is cleared so that the next request finds the pipe usable.
  EXPECT_EQ(device_.control_halt_clears(), 1);
}

TEST_F(DeviceObjectTest, SurpriseRemovalKeepsReadsAndRemovalWaitsForRequests) {
  CreateResult handle = object_.Create(std::string_view());
  ASSERT_TRUE(handle.handle);
  ASSERT_EQ(Control(IOCTL_BULKUSB_SET_BUFFER_SIZE, {1}, 0, nullptr, handle.handle.get()).status, STATUS_SUCCESS);
  device_.Unplug();
  object_.SurpriseRemoval();
  EXPECT_TRUE(object_.Engine().IsDeviceGone());
  // New opens and controls are refused; the count and reads still reach
  // the buffer.
  EXPECT_EQ(object_.Create(std::string_view()).status, STATUS_INVALID_DEVICE_STATE);
  EXPECT_EQ(Control(IOCTL_BULKUSB_GET_STATUS, {}, 4).status, STATUS_INVALID_DEVICE_STATE);
  EXPECT_EQ(Control(IOCTL_BULKUSB_GET_COUNT, {}, 4).output, U32(0));
  std::vector<uint8_t> none(1);
  EXPECT_EQ(object_.Read(handle.handle.get(), none).status, STATUS_UNSUCCESSFUL);

  // A firmware command waiting on the gone device holds the removal back
  // until it has given up.
  device_.Plug();
  device_.SetReplyDelay(std::chrono::milliseconds(200));
  object_.SetPnpState(PnpState::kWorking);
  std::thread command([&] {
    Control(IOCTL_BULKUSB_FIRM_COMMAND, Packet({0xC8, 0, 0, 0, 0, 0, 0, 0, 4}), 4, nullptr, handle.handle.get());
  });
  while (object_.OutstandingRequests() == 0) std::this_thread::yield();
  object_.Close(handle.handle.get());
  object_.RemoveDevice();
  EXPECT_EQ(object_.OutstandingRequests(), 0);
  command.join();
  EXPECT_EQ(object_.State(), PnpState::kRemoved);
  EXPECT_EQ(Control(IOCTL_BULKUSB_GET_STATUS, {}, 4).status, STATUS_DELETE_PENDING);
  EXPECT_EQ(object_.Read(handle.handle.get(), none).status, STATUS_DELETE_PENDING);
  object_.RemoveDevice();  // a second removal does nothing
}

TEST_F(DeviceObjectTest, StreamingRequestsAndCloseStopsStreaming) {
  CreateResult first = object_.Create(std::string_view());
  CreateResult second = object_.Create(std::string_view("\\PIPE00"));
  ASSERT_TRUE(first.handle && second.handle);
  HandleContext* const mine = first.handle.get();
  ASSERT_EQ(Control(IOCTL_BULKUSB_SET_BUFFER_SIZE, {4}, 0, nullptr, mine).status, STATUS_SUCCESS);

  const ControlResult zero_length = Control(IOCTL_BULKUSB_BULK_START, U32(0), 4, NewEvent(), mine);
  EXPECT_EQ(zero_length.status, STATUS_SUCCESS);
  EXPECT_EQ(zero_length.output, U32(driver_status::kZeroTransferLength));
  // That start left the watcher armed: a second start is refused until a stop.
  EXPECT_EQ(Control(IOCTL_BULKUSB_BULK_START, U32(0), 4, NewEvent(), mine).output, U32(driver_status::kAlreadyArmed));
  ASSERT_EQ(Control(IOCTL_BULKUSB_BULK_STOP, {}, 0, nullptr, mine).status, STATUS_SUCCESS);
  const ControlResult no_event = Control(IOCTL_BULKUSB_BULK_START, U32(1), 4, nullptr, mine);
  EXPECT_NE(no_event.status, STATUS_SUCCESS);
  EXPECT_EQ(no_event.output, U32(driver_status::kStartEventInvalid));

  ASSERT_EQ(Control(IOCTL_BULKUSB_RESET_BUFFER, {}, 0, nullptr, mine).status, STATUS_SUCCESS);
  const ControlResult registered = Control(IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT, U32(7), 4, NewEvent(), mine);
  EXPECT_EQ(registered.status, STATUS_SUCCESS);
  EXPECT_EQ(registered.output, U32(0));
  const ControlResult again = Control(IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT, U32(8), 4, NewEvent(), mine);
  EXPECT_EQ(again.status, STATUS_UNSUCCESSFUL);
  EXPECT_EQ(again.information, 4u);
  EXPECT_EQ(again.output, U32(driver_status::kEventAlreadyRegistered));

  ASSERT_EQ(Control(IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH, U32(65536), 0, nullptr, mine).status, STATUS_SUCCESS);
  const ControlResult start = Control(IOCTL_BULKUSB_BULK_START, U32(9), 4, NewEvent(), mine);
  EXPECT_EQ(start.status, STATUS_SUCCESS);
  EXPECT_EQ(start.information, 4u);
  ASSERT_TRUE(object_.Engine().IsArmed());
  EXPECT_EQ(Control(IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH, U32(4096), 0, nullptr, mine).status,
            STATUS_UNSUCCESSFUL);
  EXPECT_EQ(StatusWord(), driver_status::kStreamingBusy);

  // The pipe handle's close leaves the stream the other handle started;
  // the owner's close ends it.
  object_.Close(second.handle.get());
  EXPECT_TRUE(object_.Engine().IsArmed());
  EXPECT_FALSE(object_.PipeOpen(0));
  EXPECT_EQ(object_.OpenHandles(), 1);
  object_.Close(first.handle.get());
  EXPECT_FALSE(object_.Engine().IsArmed());
  EXPECT_EQ(object_.OpenHandles(), 0);
}

struct BusyCase {
  const char* name;
  uint32_t code;
  std::vector<uint8_t> input;
  uint32_t output_size;
  bool refused;
};

TEST_F(DeviceObjectTest, WhileAHandleStreamsTheOthersMayOnlyLook) {
  CreateResult owner = object_.Create(std::string_view());
  CreateResult other = object_.Create(std::string_view("\\PIPE01"));
  ASSERT_TRUE(owner.handle && other.handle);
  HandleContext* const mine = owner.handle.get();
  ASSERT_EQ(Control(IOCTL_BULKUSB_SET_BUFFER_SIZE, {1}, 0, nullptr, mine).status, STATUS_SUCCESS);
  ASSERT_EQ(Control(IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH, U32(4096), 0, nullptr, mine).status, STATUS_SUCCESS);
  ASSERT_EQ(Control(IOCTL_BULKUSB_BULK_START, U32(1), 4, NewEvent(), mine).output, U32(0));
  const uint32_t status_word = StatusWord();

  const std::vector<BusyCase> cases = {
      {"start", IOCTL_BULKUSB_BULK_START, U32(2), 4, true},
      {"stop", IOCTL_BULKUSB_BULK_STOP, {}, 0, true},
      {"buffer size", IOCTL_BULKUSB_SET_BUFFER_SIZE, {1}, 0, true},
      {"transfer length", IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH, U32(512), 0, true},
      {"transfer event", IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT, U32(3), 4, true},
      {"reset buffer", IOCTL_BULKUSB_RESET_BUFFER, {}, 0, true},
      {"fill buffer", IOCTL_BULKUSB_FILL_BUFFER, {0xAA}, 0, true},
      {"firmware command", IOCTL_BULKUSB_FIRM_COMMAND, Packet({0xC8, 0, 0, 0, 0, 0, 0, 0, 4}), 4, true},
      {"vendor request", IOCTL_BULKUSB_VENDOR_REQUEST, std::vector<uint8_t>(24), 0, true},
      {"reset pipe", IOCTL_BULKUSB_RESET_PIPE, {}, 0, true},
      {"reset device", IOCTL_BULKUSB_RESET_DEVICE, {}, 0, true},
      {"status", IOCTL_BULKUSB_GET_STATUS, {}, 4, false},
      {"count", IOCTL_BULKUSB_GET_COUNT, {}, 4, false},
      {"version", IOCTL_BULKUSB_GET_DRIVER_VERSION, {}, 2, false},
      {"speed", IOCTL_BULKUSB_GET_USB_SPEED, {}, 1, false},
      {"descriptor", IOCTL_BULKUSB_GET_CONFIG_DESCRIPTOR, {}, 256, false},
  };
  for (const BusyCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ControlResult result = Control(c.code, c.input, c.output_size, NewEvent(), other.handle.get());
    EXPECT_EQ(result.status == STATUS_PIPE_BUSY, c.refused);
    EXPECT_EQ(object_.Engine().IsArmed(), true);
  }
  std::vector<uint8_t> byte(1);
  EXPECT_EQ(object_.Read(other.handle.get(), byte).status, STATUS_PIPE_BUSY);
  EXPECT_EQ(object_.Write(other.handle.get(), Packet({0xC4})).status, STATUS_PIPE_BUSY);
  // The refusals leave the owner's status word as it was.
  EXPECT_EQ(StatusWord(), status_word);

  // Once the owner has stopped, the stream is anyone's again.
  ASSERT_EQ(Control(IOCTL_BULKUSB_BULK_STOP, {}, 0, nullptr, mine).status, STATUS_SUCCESS);
  EXPECT_EQ(Control(IOCTL_BULKUSB_SET_BUFFER_SIZE, {1}, 0, nullptr, other.handle.get()).status, STATUS_SUCCESS);
  object_.Close(other.handle.get());
  object_.Close(mine);
}

TEST_F(DeviceObjectTest, TheOwnersCloseStopsTheDeviceAndDropsWhatItLeft) {
  device_.SetStreamData(std::make_shared<const std::vector<uint8_t>>(4u << 20, 0x5A));
  device_.SetStreamConfig({20'000'000, 4096, false});
  CreateResult owner = object_.Create(std::string_view());
  ASSERT_TRUE(owner.handle);
  HandleContext* const mine = owner.handle.get();
  ASSERT_EQ(Control(IOCTL_BULKUSB_SET_BUFFER_SIZE, {8}, 0, nullptr, mine).status, STATUS_SUCCESS);
  ASSERT_EQ(Control(IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH, U32(4096), 0, nullptr, mine).status, STATUS_SUCCESS);
  const std::shared_ptr<platform::Event> start_event = NewEvent();
  ASSERT_EQ(Control(IOCTL_BULKUSB_BULK_START, U32(1), 4, start_event, mine).output, U32(0));
  ASSERT_EQ(object_.Write(mine, Packet({0xC4, 0x01})).status, STATUS_SUCCESS);
  while (object_.Buffer().Count() == 0) std::this_thread::yield();
  ASSERT_TRUE(device_.streaming());

  // The client goes away without its stop command (or the daemon closes the
  // handle under it, which wakes it).
  object_.Close(mine);
  EXPECT_TRUE(start_event->TryConsume());
  EXPECT_FALSE(device_.streaming());
  EXPECT_EQ(device_.ReceivedBulkOut().back(), Packet({0xC4}));
  EXPECT_FALSE(object_.Engine().IsArmed());
  EXPECT_EQ(object_.Buffer().Count(), 0u);
}

}  // namespace
}  // namespace velix::driver
