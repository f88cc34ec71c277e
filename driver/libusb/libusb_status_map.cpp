#include "driver/libusb/libusb_status_map.h"

#include <algorithm>

#include "driver/kernel_services.h"

namespace velix::driver {
namespace {

uint32_t ClampedBytes(int bytes, size_t limit) {
  if (bytes <= 0) return 0;
  return static_cast<uint32_t>(std::min<size_t>(static_cast<size_t>(bytes), limit));
}

}  // namespace

TransferOutcome OutcomeOfTransfer(libusb_transfer_status status, int actual_length, size_t buffer_length) {
  switch (status) {
    case LIBUSB_TRANSFER_COMPLETED:
      return {kUsbdSuccess, ClampedBytes(actual_length, buffer_length)};
    case LIBUSB_TRANSFER_CANCELLED:
      return {kUsbdCanceled, 0};
    case LIBUSB_TRANSFER_STALL:
      return {kUsbdStallPid, 0};
    case LIBUSB_TRANSFER_NO_DEVICE:
      return {kUsbdDeviceGone, 0};
    case LIBUSB_TRANSFER_ERROR:
    case LIBUSB_TRANSFER_TIMED_OUT:
    case LIBUSB_TRANSFER_OVERFLOW:
      break;
  }
  return {kUsbdXactError, 0};
}

SyncTransferResult SyncResultOf(int error, int bytes, size_t requested) {
  const uint32_t moved = ClampedBytes(bytes, requested);
  switch (error) {
    case LIBUSB_SUCCESS:
      return {STATUS_SUCCESS, kUsbdSuccess, moved};
    case LIBUSB_ERROR_TIMEOUT:
      // What the stack reports for a request it had to cancel.
      return {STATUS_UNSUCCESSFUL, kUsbdCanceled, moved};
    case LIBUSB_ERROR_PIPE:
      return {STATUS_UNSUCCESSFUL, kUsbdStallPid, moved};
    case LIBUSB_ERROR_NO_DEVICE:
      return {STATUS_DEVICE_NOT_CONNECTED, kUsbdDeviceGone, moved};
    case LIBUSB_ERROR_NO_MEM:
      return {STATUS_INSUFFICIENT_RESOURCES, kUsbdSuccess, 0};
    case LIBUSB_ERROR_INVALID_PARAM:
      return {STATUS_INVALID_PARAMETER, kUsbdSuccess, 0};
    default:
      return {STATUS_UNSUCCESSFUL, kUsbdXactError, moved};
  }
}

SyncTransferResult SyncResultOfTransfer(libusb_transfer_status status, int actual_length, size_t requested) {
  switch (status) {
    case LIBUSB_TRANSFER_COMPLETED:
      return SyncResultOf(LIBUSB_SUCCESS, actual_length, requested);
    case LIBUSB_TRANSFER_CANCELLED:
      return {STATUS_CANCELLED, kUsbdCanceled, ClampedBytes(actual_length, requested)};
    case LIBUSB_TRANSFER_TIMED_OUT:
      return SyncResultOf(LIBUSB_ERROR_TIMEOUT, actual_length, requested);
    case LIBUSB_TRANSFER_STALL:
      return SyncResultOf(LIBUSB_ERROR_PIPE, actual_length, requested);
    case LIBUSB_TRANSFER_NO_DEVICE:
      return SyncResultOf(LIBUSB_ERROR_NO_DEVICE, actual_length, requested);
    case LIBUSB_TRANSFER_ERROR:
    case LIBUSB_TRANSFER_OVERFLOW:
      break;
  }
  return SyncResultOf(LIBUSB_ERROR_IO, actual_length, requested);
}

NtStatus NtStatusOf(int error) {
  switch (error) {
    case LIBUSB_SUCCESS:
      return STATUS_SUCCESS;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:  // the device re-enumerated or left: this handle is done
      return STATUS_DEVICE_NOT_CONNECTED;
    case LIBUSB_ERROR_NO_MEM:
      return STATUS_INSUFFICIENT_RESOURCES;
    case LIBUSB_ERROR_INVALID_PARAM:
      return STATUS_INVALID_PARAMETER;
    default:
      return STATUS_UNSUCCESSFUL;
  }
}

unsigned int LibusbTimeout(uint32_t timeout_ms) {
  if (timeout_ms == kWaitForever) return 0;
  return std::max<uint32_t>(timeout_ms, 1);
}

}  // namespace velix::driver
