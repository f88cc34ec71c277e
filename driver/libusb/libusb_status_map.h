#pragma once
// How libusb's outcomes read to the driver: a finished asynchronous transfer
// becomes a USB status and a byte count, a synchronous call becomes the NT
// status and USB status the driver logic tests, and the driver's time-outs
// become libusb's.

#include <cstddef>
#include <cstdint>

#include <libusb.h>

#include "driver/usb_lower_edge.h"

namespace velix::driver {

// Transfers that end because the device left the bus.
inline constexpr UsbdStatus kUsbdDeviceGone = 0xC0007000u;

struct TransferOutcome {
  UsbdStatus status = kUsbdSuccess;
  uint32_t bytes = 0;
};

// Only a completed transfer reports bytes; its count is kept within the
// buffer it was given.
TransferOutcome OutcomeOfTransfer(libusb_transfer_status status, int actual_length, size_t buffer_length);

// `error` is 0 or a negative libusb error code; `bytes` what moved before it
// ended (reported also on failure, kept within `requested`).
SyncTransferResult SyncResultOf(int error, int bytes, size_t requested);

// A finished asynchronous transfer that a caller waits for: like SyncResultOf,
// and a cancelled one reads as cancelled.
SyncTransferResult SyncResultOfTransfer(libusb_transfer_status status, int actual_length, size_t requested);

// For calls that move no data (clear halt, reset device).
NtStatus NtStatusOf(int error);

// The driver's "no limit" is libusb's 0; the driver's 0 means give up at once,
// which libusb can only come close to.
unsigned int LibusbTimeout(uint32_t timeout_ms);

}  // namespace velix::driver
