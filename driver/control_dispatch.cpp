// The control codes of the device object. Every request is carried out on
// the calling thread and completed before DeviceControl returns.

#include <algorithm>
#include <cstring>
#include <new>

#include "driver/device_object.h"

namespace velix::driver {
namespace {

// Synchronous transfers take ids from the top half of the id space so that
// they can never be mistaken for the streaming engine's transfers.
constexpr TransferId kSyncTransferIdBase = TransferId{1} << 63;

uint32_t ReadU32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<uint32_t>(bytes[at + 2]) << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

uint16_t ReadU16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

ControlResult WithU32(NtStatus status, uint32_t value) {
  ControlResult result{status, 4, std::vector<uint8_t>(4)};
  for (int i = 0; i < 4; ++i) result.output[i] = static_cast<uint8_t>(value >> (8 * i));
  return result;
}

ControlResult Completed(NtStatus status) { return {status, 0, {}}; }

// The fixed output each code writes; a smaller caller buffer is refused
// before anything happens rather than overrun.
uint32_t FixedOutputBytes(uint32_t code) {
  switch (code) {
    case IOCTL_BULKUSB_BULK_START:
    case IOCTL_BULKUSB_GET_STATUS:
    case IOCTL_BULKUSB_GET_COUNT:
    case IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT:
      return 4;
    case IOCTL_BULKUSB_GET_DRIVER_VERSION:
      return 2;
    case IOCTL_BULKUSB_GET_USB_SPEED:
      return 1;
    default:
      return 0;
  }
}

// The input each code reads.
size_t RequiredInputBytes(uint32_t code) {
  switch (code) {
    case IOCTL_BULKUSB_SET_BUFFER_SIZE:
    case IOCTL_BULKUSB_FILL_BUFFER:
      return 1;
    case IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH:
      return 4;
    default:
      return 0;
  }
}

// Codes that prepare or run a stream: the handle that sends one owns the
// stream until it stops or closes.
bool ClaimsStream(uint32_t code) {
  switch (code) {
    case IOCTL_BULKUSB_BULK_START:
    case IOCTL_BULKUSB_SET_BUFFER_SIZE:
    case IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH:
    case IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT:
    case IOCTL_BULKUSB_FILL_BUFFER:
    case IOCTL_BULKUSB_RESET_BUFFER:
      return true;
    default:
      return false;
  }
}

// Codes that stop the stream or talk to the device: while a stream has an
// owner, only the owner may send them. The codes in neither list only look.
bool DisturbsStream(uint32_t code) {
  switch (code) {
    case IOCTL_BULKUSB_RESET_DEVICE:
    case IOCTL_BULKUSB_RESET_PIPE:
    case IOCTL_BULKUSB_VENDOR_REQUEST:
    case IOCTL_BULKUSB_BULK_STOP:
    case IOCTL_BULKUSB_FIRM_COMMAND:
      return true;
    default:
      return false;
  }
}

}  // namespace

ControlResult DeviceObject::DeviceControl(HandleContext* handle, const ControlRequest& request) {
  const RequestScope scope(*this);
  const PnpState state = state_.load();
  if (state == PnpState::kRemoved) return Completed(STATUS_DELETE_PENDING);
  // After a surprise removal the count stays available: reads are served in
  // any state, and without the count the data stored before the removal
  // could not be read out.
  const bool count_after_removal = state == PnpState::kSurpriseRemoved && request.code == IOCTL_BULKUSB_GET_COUNT;
  if (state != PnpState::kWorking && state != PnpState::kPendingRemove && !count_after_removal) {
    status_.Record(driver_status::kControlBadDeviceState);
    return Completed(STATUS_INVALID_DEVICE_STATE);
  }
  const bool allowed = ClaimsStream(request.code)     ? ownership_.TryClaim(handle)
                       : DisturbsStream(request.code) ? ownership_.Permits(handle)
                                                      : true;
  if (!allowed) return Completed(STATUS_PIPE_BUSY);
  if (request.output_size < FixedOutputBytes(request.code)) return Completed(STATUS_BUFFER_TOO_SMALL);
  if (request.input.size() < RequiredInputBytes(request.code)) return Completed(STATUS_INVALID_PARAMETER);

  // An event handle that is missing from the input names no event.
  const bool has_handle = request.input.size() >= 4;
  switch (request.code) {
    case IOCTL_BULKUSB_GET_CONFIG_DESCRIPTOR:
      return GetConfigDescriptor(request.output_size);
    case IOCTL_BULKUSB_RESET_DEVICE:
      return Completed(ResetDevice());
    case IOCTL_BULKUSB_RESET_PIPE:
      return ResetPipe(handle);
    case IOCTL_BULKUSB_VENDOR_REQUEST:
      return VendorRequestCall(request);
    case IOCTL_BULKUSB_BULK_START:
      return BulkStart(handle, request, has_handle);
    case IOCTL_BULKUSB_BULK_STOP:
      engine_.Stop(StopWait::kUnlimited);
      ownership_.Release(handle);
      return Completed(STATUS_SUCCESS);
    case IOCTL_BULKUSB_RESERVED6:
    case IOCTL_BULKUSB_RESERVED7:
      return Completed(STATUS_SUCCESS);
    case IOCTL_BULKUSB_GET_STATUS:
      return WithU32(STATUS_SUCCESS, status_.Get());
    case IOCTL_BULKUSB_GET_COUNT:
      return WithU32(STATUS_SUCCESS, engine_.Count());
    case IOCTL_BULKUSB_SET_BUFFER_SIZE:
      return Completed(engine_.SetBufferSize(request.input[0]));
    case IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH:
      return Completed(engine_.SetOneTransferLength(ReadU32(request.input, 0)));
    case IOCTL_BULKUSB_GET_DRIVER_VERSION:
      return {STATUS_SUCCESS, 2, {kDriverVersionMajor, kDriverVersionMinor}};
    case IOCTL_BULKUSB_GET_USB_SPEED:
      return GetUsbSpeed();
    case IOCTL_BULKUSB_FIRM_COMMAND:
      return FirmCommand(request.input, request.output_size);
    case IOCTL_BULKUSB_FILL_BUFFER:
      return Completed(buffer_.Fill(request.input[0]));
    case IOCTL_BULKUSB_RESET_BUFFER:
      buffer_.Reset();
      return Completed(STATUS_SUCCESS);
    case IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT: {
      const RequestOutcome outcome = engine_.SetOneTransferEvent(has_handle ? request.event : nullptr);
      return WithU32(outcome.status, outcome.output);
    }
    default:
      status_.Record(driver_status::kUnknownControlCode);
      return Completed(STATUS_INVALID_DEVICE_REQUEST);
  }
}

ControlResult DeviceObject::BulkStart(const HandleContext* handle, const ControlRequest& request, bool has_handle) {
  const RequestOutcome outcome = engine_.Start(has_handle ? request.event : nullptr);
  // Every start that got as far as arming fills the buffer for this handle:
  // also one refused afterwards, and one the device ended at once.
  if (NtSuccess(outcome.status) || engine_.IsArmed()) ownership_.NoteStreamed(handle);
  return WithU32(outcome.status, outcome.output);
}

ControlResult DeviceObject::GetConfigDescriptor(uint32_t output_size) {
  std::lock_guard lock(pipes_lock_);
  if (config_descriptor_.size() < 4) {
    status_.Record(driver_status::kNoConfigDescriptor);
    return Completed(STATUS_UNSUCCESSFUL);
  }
  const uint16_t total = ReadU16(config_descriptor_, 2);
  if (output_size < total) {
    status_.Record(driver_status::kConfigDescriptorTooSmall);
    return Completed(STATUS_BUFFER_TOO_SMALL);
  }
  // A device that reported more than it sent yields zeros past its end
  // rather than bytes from elsewhere.
  std::vector<uint8_t> output(total, 0);
  std::copy_n(config_descriptor_.begin(), std::min<size_t>(total, config_descriptor_.size()), output.begin());
  return {STATUS_SUCCESS, total, std::move(output)};
}

ControlResult DeviceObject::ResetPipe(HandleContext* handle) {
  if (!handle) {
    status_.Record(driver_status::kResetPipeNoFileObject);
    return Completed(STATUS_INVALID_PARAMETER);
  }
  Endpoint endpoint;
  {
    std::lock_guard lock(pipes_lock_);
    if (!handle->pipe || *handle->pipe >= static_cast<int>(pipes_.size())) {
      status_.Record(driver_status::kResetPipeNotAPipe);
      return Completed(STATUS_INVALID_PARAMETER);
    }
    endpoint = pipes_[*handle->pipe].endpoint;
  }
  const NtStatus status = edge_.ResetPipe(endpoint);
  return Completed(NtSuccess(status) ? STATUS_SUCCESS : status);
}

NtStatus DeviceObject::ResetDevice() {
  uint32_t port_status = 0;
  const NtStatus status = edge_.GetPortStatus(&port_status);
  if (!NtSuccess(status)) return status;
  if ((port_status & kPortEnabled) || !(port_status & kPortConnected)) return STATUS_SUCCESS;
  return edge_.ResetPort();
}

ControlResult DeviceObject::VendorRequestCall(const ControlRequest& request) {
  const std::span<const uint8_t> record = request.input;
  const bool short_record = request.caller.pointer_32bit;
  if (record.size() < (short_record ? kVendorRecord32Bytes : kVendorRecord64Bytes)) {
    return Completed(STATUS_INVALID_PARAMETER);
  }
  VendorRequest setup;
  setup.request = record[kVendorRecordRequest];
  setup.value = ReadU16(record, kVendorRecordValue);
  setup.index = ReadU16(record, kVendorRecordIndex);
  const uint8_t direction = record[kVendorRecordDirection];
  setup.device_to_host = direction != 0;
  const uint32_t length = ReadU32(record, kVendorRecordLength);
  const uint64_t address = short_record ? ReadU32(record, kVendorRecord32Address)
                                        : (ReadU32(record, kVendorRecord64Address) |
                                           (static_cast<uint64_t>(ReadU32(record, kVendorRecord64Address + 4)) << 32));

  std::span<uint8_t> caller_data;
  if (length > 0) {
    if (request.caller.resolve) caller_data = request.caller.resolve(address, length);
    if (caller_data.size() < length) return Completed(STATUS_INVALID_PARAMETER);
  }
  std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[length == 0 ? 1 : length]());
  if (!data) return Completed(STATUS_UNSUCCESSFUL);
  if (!setup.device_to_host && length > 0) std::memcpy(data.get(), caller_data.data(), length);

  const SyncTransferResult result =
      edge_.ControlTransfer(setup, std::span<uint8_t>(data.get(), length), kSyncTransferTimeoutMs);
  // A stalled control pipe stays halted until the host clears it; the next
  // request would fail otherwise.
  if (!NtSuccess(result.status) && result.usb_status == kUsbdStallPid) edge_.ClearControlHalt();
  const uint32_t moved = std::min(result.bytes, length);
  if (direction == 1 && moved > 0) std::memcpy(caller_data.data(), data.get(), moved);
  return {result.status, moved, {}};
}

ControlResult DeviceObject::FirmCommand(std::span<const uint8_t> input, uint32_t output_size) {
  std::lock_guard one_at_a_time(firm_command_lock_);
  if (!input.empty() && !NtSuccess(edge_.BulkOut(input, kSyncTransferTimeoutMs).status)) {
    status_.Record(driver_status::kFirmOutFailed);
    return Completed(STATUS_UNSUCCESSFUL);
  }
  if (output_size == 0) return Completed(STATUS_SUCCESS);
  std::unique_ptr<uint8_t[]> reply(new (std::nothrow) uint8_t[output_size]);
  if (!reply) {
    status_.Record(driver_status::kFirmNoInData);
    return Completed(STATUS_UNSUCCESSFUL);
  }
  const SyncTransferResult result = SyncBulkIn(std::span<uint8_t>(reply.get(), output_size));
  if (!NtSuccess(result.status)) {
    status_.Record(driver_status::kFirmInFailed);
    return Completed(STATUS_UNSUCCESSFUL);
  }
  const uint32_t received = std::min(result.bytes, output_size);
  return {STATUS_SUCCESS, received, std::vector<uint8_t>(reply.get(), reply.get() + received)};
}

SyncTransferResult DeviceObject::SyncBulkIn(std::span<uint8_t> data) {
  struct Completion {
    KernelEvent done{KernelEvent::Type::kNotification, false};
    std::atomic<UsbdStatus> usb_status{kUsbdPending};
    std::atomic<uint32_t> bytes{0};
  };
  auto completion = std::make_shared<Completion>();
  CancelWord& cancel = sync_cancel_;
  cancel.Reset();
  UsbTransfer transfer;
  transfer.id = kSyncTransferIdBase + next_sync_id_.fetch_add(1);
  transfer.endpoint = Endpoint::kBulkIn;
  transfer.buffer = data;
  transfer.on_complete = [completion, &cancel](UsbdStatus status, uint32_t bytes) {
    completion->usb_status.store(status);
    completion->bytes.store(bytes);
    if (!cancel.CompleteAndHold()) completion->done.Set();
  };
  const NtStatus submitted = edge_.Submit(transfer);
  if (submitted != STATUS_PENDING) return {NtSuccess(submitted) ? STATUS_UNSUCCESSFUL : submitted, kUsbdSuccess, 0};

  if (completion->done.Wait(kSyncTransferTimeoutMs) == WaitOutcome::kTimeout) {
    cancel.CancelTransfer([&] { edge_.Cancel(transfer.id); }, [&] { completion->done.Set(); });
    completion->done.Wait(kWaitForever);
    return {STATUS_UNSUCCESSFUL, completion->usb_status.load(), 0};
  }
  const UsbdStatus usb_status = completion->usb_status.load();
  const bool ok = usb_status == kUsbdSuccess;
  return {ok ? STATUS_SUCCESS : STATUS_UNSUCCESSFUL, usb_status, ok ? completion->bytes.load() : 0};
}

ControlResult DeviceObject::GetUsbSpeed() {
  const uint16_t packet = edge_.BulkMaxPacketSize();
  if (packet == 64) return {STATUS_SUCCESS, 1, {1}};
  if (packet == 512) return {STATUS_SUCCESS, 1, {2}};
  status_.Record(driver_status::kBadBulkPacketSize);
  return {STATUS_UNSUCCESSFUL, 1, {0}};
}

}  // namespace velix::driver
