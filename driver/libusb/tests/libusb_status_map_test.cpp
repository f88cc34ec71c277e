#include "driver/libusb/libusb_status_map.h"

#include <gtest/gtest.h>

#include "driver/kernel_services.h"

namespace velix::driver {
namespace {

struct OutcomeCase {
  libusb_transfer_status status;
  int actual_length;
  size_t buffer_length;
  UsbdStatus usbd;
  uint32_t bytes;
};

TEST(LibusbStatusMapTest, TransferOutcomes) {
  const OutcomeCase cases[] = {
      {LIBUSB_TRANSFER_COMPLETED, 512, 4096, kUsbdSuccess, 512},
      {LIBUSB_TRANSFER_COMPLETED, 0, 4096, kUsbdSuccess, 0},  // a zero-length packet
      {LIBUSB_TRANSFER_COMPLETED, 9000, 4096, kUsbdSuccess, 4096},
      {LIBUSB_TRANSFER_COMPLETED, -1, 4096, kUsbdSuccess, 0},
      {LIBUSB_TRANSFER_CANCELLED, 1024, 4096, kUsbdCanceled, 0},
      {LIBUSB_TRANSFER_STALL, 0, 4096, kUsbdStallPid, 0},
      {LIBUSB_TRANSFER_NO_DEVICE, 512, 4096, kUsbdDeviceGone, 0},
      {LIBUSB_TRANSFER_ERROR, 512, 4096, kUsbdXactError, 0},
      {LIBUSB_TRANSFER_TIMED_OUT, 512, 4096, kUsbdXactError, 0},
      {LIBUSB_TRANSFER_OVERFLOW, 4096, 4096, kUsbdXactError, 0},
  };
  for (const OutcomeCase& c : cases) {
    const TransferOutcome outcome = OutcomeOfTransfer(c.status, c.actual_length, c.buffer_length);
    EXPECT_EQ(outcome.status, c.usbd) << "status " << c.status << ", " << c.actual_length << " bytes";
    EXPECT_EQ(outcome.bytes, c.bytes) << "status " << c.status << ", " << c.actual_length << " bytes";
  }
}

struct WaitedCase {
  libusb_transfer_status status;
  int actual_length;
  NtStatus nt;
  UsbdStatus usbd;
  uint32_t moved;
};

// A bulk OUT that a caller waits for keeps what moved before it ended, and a
// cancelled one reads as cancelled, not as failed.
TEST(LibusbStatusMapTest, WaitedTransferResults) {
  const WaitedCase cases[] = {
      {LIBUSB_TRANSFER_COMPLETED, 64, STATUS_SUCCESS, kUsbdSuccess, 64},
      {LIBUSB_TRANSFER_CANCELLED, 32, STATUS_CANCELLED, kUsbdCanceled, 32},
      {LIBUSB_TRANSFER_TIMED_OUT, 16, STATUS_UNSUCCESSFUL, kUsbdCanceled, 16},
      {LIBUSB_TRANSFER_STALL, 0, STATUS_UNSUCCESSFUL, kUsbdStallPid, 0},
      {LIBUSB_TRANSFER_NO_DEVICE, 8, STATUS_DEVICE_NOT_CONNECTED, kUsbdDeviceGone, 8},
      {LIBUSB_TRANSFER_OVERFLOW, 64, STATUS_UNSUCCESSFUL, kUsbdXactError, 64},
      {LIBUSB_TRANSFER_ERROR, 900, STATUS_UNSUCCESSFUL, kUsbdXactError, 64},
  };
  for (const WaitedCase& c : cases) {
    const SyncTransferResult result = SyncResultOfTransfer(c.status, c.actual_length, 64);
    EXPECT_EQ(result.status, c.nt) << "status " << c.status;
    EXPECT_EQ(result.usb_status, c.usbd) << "status " << c.status;
    EXPECT_EQ(result.bytes, c.moved) << "status " << c.status;
  }
}

struct SyncCase {
  int error;
  int bytes;
  NtStatus status;
  UsbdStatus usbd;
  uint32_t moved;
};

TEST(LibusbStatusMapTest, SyncResults) {
  const SyncCase cases[] = {
      {LIBUSB_SUCCESS, 10, STATUS_SUCCESS, kUsbdSuccess, 10},
      {LIBUSB_SUCCESS, 5000, STATUS_SUCCESS, kUsbdSuccess, 64},  // never more than was asked for
      {LIBUSB_ERROR_TIMEOUT, 3, STATUS_UNSUCCESSFUL, kUsbdCanceled, 3},
      {LIBUSB_ERROR_PIPE, 0, STATUS_UNSUCCESSFUL, kUsbdStallPid, 0},
      {LIBUSB_ERROR_NO_DEVICE, 0, STATUS_DEVICE_NOT_CONNECTED, kUsbdDeviceGone, 0},
      {LIBUSB_ERROR_OVERFLOW, 64, STATUS_UNSUCCESSFUL, kUsbdXactError, 64},
      {LIBUSB_ERROR_IO, 0, STATUS_UNSUCCESSFUL, kUsbdXactError, 0},
      {LIBUSB_ERROR_NO_MEM, 7, STATUS_INSUFFICIENT_RESOURCES, kUsbdSuccess, 0},
      {LIBUSB_ERROR_INVALID_PARAM, 7, STATUS_INVALID_PARAMETER, kUsbdSuccess, 0},
      {LIBUSB_ERROR_OTHER, -5, STATUS_UNSUCCESSFUL, kUsbdXactError, 0},
  };
  for (const SyncCase& c : cases) {
    const SyncTransferResult result = SyncResultOf(c.error, c.bytes, 64);
    EXPECT_EQ(result.status, c.status) << libusb_error_name(c.error);
    EXPECT_EQ(result.usb_status, c.usbd) << libusb_error_name(c.error);
    EXPECT_EQ(result.bytes, c.moved) << libusb_error_name(c.error);
  }
}

TEST(LibusbStatusMapTest, CallStatuses) {
  const std::pair<int, NtStatus> cases[] = {
      {LIBUSB_SUCCESS, STATUS_SUCCESS},
      {LIBUSB_ERROR_NO_DEVICE, STATUS_DEVICE_NOT_CONNECTED},
      {LIBUSB_ERROR_NOT_FOUND, STATUS_DEVICE_NOT_CONNECTED},
      {LIBUSB_ERROR_NO_MEM, STATUS_INSUFFICIENT_RESOURCES},
      {LIBUSB_ERROR_INVALID_PARAM, STATUS_INVALID_PARAMETER},
      {LIBUSB_ERROR_PIPE, STATUS_UNSUCCESSFUL},
      {LIBUSB_ERROR_TIMEOUT, STATUS_UNSUCCESSFUL},
      {LIBUSB_ERROR_BUSY, STATUS_UNSUCCESSFUL},
  };
  for (const auto& [error, status] : cases) EXPECT_EQ(NtStatusOf(error), status) << libusb_error_name(error);
}

TEST(LibusbStatusMapTest, TimeOuts) {
  const std::pair<uint32_t, unsigned int> cases[] = {
      {kWaitForever, 0u},  // libusb's "no limit"
      {0, 1u},             // libusb's 0 would wait for ever
      {1, 1u},
      {3000, 3000u},
  };
  for (const auto& [driver_ms, libusb_ms] : cases) EXPECT_EQ(LibusbTimeout(driver_ms), libusb_ms) << driver_ms;
}

}  // namespace
}  // namespace velix::driver
