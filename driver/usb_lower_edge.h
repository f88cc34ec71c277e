#pragma once
// The USB stack as the driver sees it from above: the device's three
// endpoints (interrupt IN, bulk IN, bulk OUT) and its default control pipe.
// A libusb back end and the device simulator both implement this.
//
// Asynchronous transfers. The submitter builds a UsbTransfer with an id it
// chose (unique among its transfers in flight), a buffer it keeps alive and a
// completion callback. Submit returns STATUS_PENDING when the transfer is in
// flight: the callback then runs exactly once, on any thread, possibly before
// Submit returns, and the implementation touches neither the buffer nor the
// callback after it has returned. Any other return means the transfer never
// started and the callback never runs. Cancel(id) only asks: the completion
// still comes (usually with kUsbdCanceled); an unknown id is ignored.

#include <cstdint>
#include <functional>
#include <span>

#include "driver/driver_status.h"

namespace velix::driver {

// The USB status of a transfer (the request block's status).
using UsbdStatus = uint32_t;
inline constexpr UsbdStatus kUsbdSuccess = 0x00000000u;
inline constexpr UsbdStatus kUsbdPending = 0x40000000u;
inline constexpr UsbdStatus kUsbdCanceled = 0xC0010000u;
inline constexpr UsbdStatus kUsbdXactError = 0xC0000011u;
inline constexpr UsbdStatus kUsbdStallPid = 0xC0000004u;

// Pending statuses have the top two bits 01.
inline constexpr bool UsbdPending(UsbdStatus status) { return (status >> 30) == 1u; }

using TransferId = uint64_t;

enum class Endpoint { kInterruptIn, kBulkIn, kBulkOut };

// Called with the transfer's USB status and the bytes it moved. Short
// transfers are always allowed.
using TransferCompletion = std::function<void(UsbdStatus status, uint32_t bytes)>;

using PresenceListener = std::function<void(bool present)>;

struct UsbTransfer {
  TransferId id = 0;
  Endpoint endpoint = Endpoint::kBulkIn;  // kInterruptIn or kBulkIn
  std::span<uint8_t> buffer;              // the interrupt message is 2 bytes
  TransferCompletion on_complete;
};

// The outcome of a synchronous transfer.
struct SyncTransferResult {
  NtStatus status = STATUS_UNSUCCESSFUL;
  UsbdStatus usb_status = kUsbdSuccess;
  uint32_t bytes = 0;
};

// A vendor-type, device-recipient request on the default control pipe.
struct VendorRequest {
  uint8_t request = 0;
  uint16_t value = 0;
  uint16_t index = 0;
  bool device_to_host = false;
};

enum class DescriptorType : uint8_t { kDevice = 1, kConfiguration = 2 };

// Port status bits reported by the hub.
inline constexpr uint32_t kPortEnabled = 0x1u;
inline constexpr uint32_t kPortConnected = 0x2u;

class UsbLowerEdge {
 public:
  virtual ~UsbLowerEdge() = default;

  virtual NtStatus Submit(const UsbTransfer& transfer) = 0;
  virtual void Cancel(TransferId id) = 0;

  // Synchronous transfers give up after timeout_ms and report the
  // transfer as failed.
  virtual SyncTransferResult BulkOut(std::span<const uint8_t> data, uint32_t timeout_ms) = 0;
  virtual SyncTransferResult ControlTransfer(const VendorRequest& setup, std::span<uint8_t> data,
                                             uint32_t timeout_ms) = 0;

  // Reset pipe and clear its stall.
  virtual NtStatus ResetPipe(Endpoint endpoint) = 0;
  virtual NtStatus GetPortStatus(uint32_t* port_status) = 0;
  virtual NtStatus ResetPort() = 0;

  // Copies at most out.size() bytes of the descriptor; *length receives the
  // bytes copied.
  virtual NtStatus GetDescriptor(DescriptorType type, std::span<uint8_t> out,
                                 uint32_t* length) = 0;
  // 64 at full speed, 512 at high speed.
  virtual uint16_t BulkMaxPacketSize() const = 0;

  // Clears ENDPOINT_HALT on the default control pipe (a standard
  // CLEAR_FEATURE to endpoint 0), after a vendor request that stalled.
  virtual NtStatus ClearControlHalt() = 0;

  // Arrival (true) and removal (false) of the device on the bus. A listener
  // installed while the device is on the bus hears of it at once. The edge
  // calls the listener on any of its threads, one call at a time, never under
  // the locks its transfers take, and tells of a removal before completing
  // any transfer that ended with it; the listener only queues the news, since
  // acting on a removal waits for transfers that the edge's threads complete.
  // Replacing or clearing the listener waits for a call in progress, so its
  // owner may go once it has cleared it.
  virtual void SetPresenceListener(PresenceListener listener) = 0;
};

}  // namespace velix::driver
