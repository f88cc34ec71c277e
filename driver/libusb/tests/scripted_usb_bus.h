#pragma once
// A scripted USB bus behind libusb's own interface, linked into the edge's
// tests in place of libusb. It keeps what a real bus does that the edge
// depends on and no hardware can be made to do on demand: transfers that
// complete with "no device" before the hot-plug notice of a removal, a device
// that never accepts a bulk OUT, cancellations that never come back, handles
// closed with transfers still queued (dropped without their callbacks, as
// libusb does), and a port reset after which the handle is of no more use.
//
// Completions and hot-plug notices are delivered by whichever thread runs
// libusb's event handling, in the order they happened.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "driver/libusb/analyzer_identity.h"

namespace velix::driver::scripted_usb {

inline constexpr uint8_t kInterruptIn = 0x81;
inline constexpr uint8_t kBulkIn = 0x82;
inline constexpr uint8_t kBulkOut = 0x02;

struct DeviceSetup {
  UsbId id;
  bool kernel_driver_bound = false;
  int open_error = 0;  // what libusb_open answers, a libusb error code
};

struct ControlCall {
  uint8_t request_type = 0;
  uint8_t request = 0;
  uint16_t value = 0;
  uint16_t index = 0;
  uint16_t length = 0;
};

// Empties the bus. `hotplug` tells whether libusb offers hot-plug notices.
void Reset(bool hotplug = true);
// Plugs a device in; returns its number. Bus order is the order of plugging.
int Plug(const DeviceSetup& setup);
// Completes every transfer queued on the device with "no device", then
// announces the removal.
void Unplug(int device);
void SetOpenError(int device, int error);
int OpenAttempts(int device);
bool KernelDriverBound(int device);
// Whether the device's bulk OUT endpoint accepts data (it NAKs otherwise).
void SetBulkOutAccepted(bool accepted);
// The device no longer answers: cancellations have no effect.
void SetCancelIgnored(bool ignored);
// What libusb_reset_device answers.
void SetResetError(int error);

// Completes the oldest transfer queued on `endpoint` with `data`; false when
// none is queued.
bool CompleteOldest(uint8_t endpoint, std::span<const uint8_t> data);
size_t Queued(uint8_t endpoint);
// Transfers allocated and not yet freed.
size_t LiveTransfers();
// Blocks until some thread waits in the event handling with nothing to do.
void WaitUntilIdle();

std::vector<ControlCall> VendorCalls();
std::vector<uint8_t> ClearedHalts();
std::vector<std::vector<uint8_t>> BulkOutData();

}  // namespace velix::driver::scripted_usb
