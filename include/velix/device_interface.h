#pragma once
// The device interface the driver offers its clients: the completion
// statuses it answers with, the causes it records in its status word
// (read with IOCTL_BULKUSB_GET_STATUS), the control codes, and the layout
// of the vendor request record. The application, the firmware library, the
// mode change tool and velixctl include this header and nothing else of
// the driver.

#include <cstddef>
#include <cstdint>

namespace velix::driver {

using NtStatus = uint32_t;

inline constexpr NtStatus STATUS_SUCCESS = 0x00000000u;
inline constexpr NtStatus STATUS_PENDING = 0x00000103u;
inline constexpr NtStatus STATUS_UNSUCCESSFUL = 0xC0000001u;
inline constexpr NtStatus STATUS_INVALID_HANDLE = 0xC0000008u;
inline constexpr NtStatus STATUS_INVALID_PARAMETER = 0xC000000Du;
inline constexpr NtStatus STATUS_INVALID_DEVICE_REQUEST = 0xC0000010u;
inline constexpr NtStatus STATUS_BUFFER_TOO_SMALL = 0xC0000023u;
inline constexpr NtStatus STATUS_DELETE_PENDING = 0xC0000056u;
inline constexpr NtStatus STATUS_DEVICE_NOT_CONNECTED = 0xC000009Du;
inline constexpr NtStatus STATUS_CANCELLED = 0xC0000120u;
inline constexpr NtStatus STATUS_INVALID_DEVICE_STATE = 0xC0000184u;
inline constexpr NtStatus STATUS_INSUFFICIENT_RESOURCES = 0xC000009Au;
// Another handle owns the stream. An error-class status on purpose: the
// warning STATUS_DEVICE_BUSY (0x80000011) would pass NtSuccess and look like
// success to a caller that only tests that. Nothing is recorded in the
// status word for it, which belongs to the owner's stream.
inline constexpr NtStatus STATUS_PIPE_BUSY = 0xC00000AEu;

inline constexpr bool NtSuccess(NtStatus status) { return (status & 0xC0000000u) != 0xC0000000u; }

// Causes recorded in the status word. 32 is never recorded.
namespace driver_status {
inline constexpr uint32_t kNone = 0;
inline constexpr uint32_t kBadBufferSize = 1;
inline constexpr uint32_t kNoAccumBuffer = 2;
inline constexpr uint32_t kStartEventInvalid = 3;
inline constexpr uint32_t kWatcherNoMemory = 4;
inline constexpr uint32_t kStreamingBusy = 5;
inline constexpr uint32_t kZeroTransferLength = 6;
inline constexpr uint32_t kReaderNoRequestBlock = 7;
inline constexpr uint32_t kReaderNoBuffer = 8;
inline constexpr uint32_t kOverrunNotWrapped = 9;
inline constexpr uint32_t kOverrunWrapped = 10;
inline constexpr uint32_t kWriteOffsetBeyondSize = 11;
inline constexpr uint32_t kBulkTransactionError = 12;
inline constexpr uint32_t kNoIoRequest = 13;
inline constexpr uint32_t kReadEmptyRequest = 14;
inline constexpr uint32_t kReadTooLongWrapped = 15;
inline constexpr uint32_t kReadTooLongNotWrapped = 16;
inline constexpr uint32_t kReadOffsetBeyondSize = 17;
inline constexpr uint32_t kWriteNotWorking = 18;
inline constexpr uint32_t kWriteNoContext = 19;
inline constexpr uint32_t kWriteNoMdl = 20;
inline constexpr uint32_t kWriteNoRequestBlock = 21;
inline constexpr uint32_t kControlBadDeviceState = 22;
inline constexpr uint32_t kResetPipeNoFileObject = 23;
inline constexpr uint32_t kResetPipeNotAPipe = 24;
inline constexpr uint32_t kConfigDescriptorTooSmall = 25;
inline constexpr uint32_t kNoConfigDescriptor = 26;
inline constexpr uint32_t kUnknownControlCode = 27;
inline constexpr uint32_t kInterruptNotPending = 28;
inline constexpr uint32_t kAlreadyArmed = 29;
inline constexpr uint32_t kWatcherNotCreated = 30;
inline constexpr uint32_t kBadBulkPacketSize = 31;
inline constexpr uint32_t kFirmNoOutRequestBlock = 33;
inline constexpr uint32_t kFirmNoInRequestBlock = 34;
inline constexpr uint32_t kFirmInFailed = 35;
inline constexpr uint32_t kFirmOutFailed = 36;
inline constexpr uint32_t kFirmNoInData = 37;
inline constexpr uint32_t kEventAlreadyRegistered = 38;
inline constexpr uint32_t kRegisterEventInvalid = 39;
inline constexpr uint32_t kBulkTransferFailed = 40;
inline constexpr uint32_t kDeviceMessageBase = 0x80000000u;

// The status word for the device's two-byte interrupt message b0 b1.
inline constexpr uint32_t DeviceMessage(uint8_t b0, uint8_t b1) {
  return kDeviceMessageBase + (static_cast<uint32_t>(b0) << 8) + b1;
}
}  // namespace driver_status

// CTL_CODE(FILE_DEVICE_UNKNOWN, function, METHOD_BUFFERED, FILE_ANY_ACCESS).
inline constexpr uint32_t BulkUsbControlCode(uint32_t function) { return 0x220000u + 4u * function; }

inline constexpr uint32_t IOCTL_BULKUSB_GET_CONFIG_DESCRIPTOR = BulkUsbControlCode(0);
inline constexpr uint32_t IOCTL_BULKUSB_RESET_DEVICE = BulkUsbControlCode(1);
inline constexpr uint32_t IOCTL_BULKUSB_RESET_PIPE = BulkUsbControlCode(2);
inline constexpr uint32_t IOCTL_BULKUSB_VENDOR_REQUEST = BulkUsbControlCode(3);
inline constexpr uint32_t IOCTL_BULKUSB_BULK_START = BulkUsbControlCode(4);
inline constexpr uint32_t IOCTL_BULKUSB_BULK_STOP = BulkUsbControlCode(5);
inline constexpr uint32_t IOCTL_BULKUSB_RESERVED6 = BulkUsbControlCode(6);
inline constexpr uint32_t IOCTL_BULKUSB_RESERVED7 = BulkUsbControlCode(7);
inline constexpr uint32_t IOCTL_BULKUSB_GET_STATUS = BulkUsbControlCode(8);
inline constexpr uint32_t IOCTL_BULKUSB_GET_COUNT = BulkUsbControlCode(9);
inline constexpr uint32_t IOCTL_BULKUSB_SET_BUFFER_SIZE = BulkUsbControlCode(10);
inline constexpr uint32_t IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH = BulkUsbControlCode(11);
inline constexpr uint32_t IOCTL_BULKUSB_GET_DRIVER_VERSION = BulkUsbControlCode(12);
inline constexpr uint32_t IOCTL_BULKUSB_GET_USB_SPEED = BulkUsbControlCode(13);
inline constexpr uint32_t IOCTL_BULKUSB_FIRM_COMMAND = BulkUsbControlCode(14);
inline constexpr uint32_t IOCTL_BULKUSB_FILL_BUFFER = BulkUsbControlCode(15);
inline constexpr uint32_t IOCTL_BULKUSB_RESET_BUFFER = BulkUsbControlCode(16);
inline constexpr uint32_t IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT = BulkUsbControlCode(17);

// The vendor request record (IOCTL_BULKUSB_VENDOR_REQUEST): request byte,
// value and index (little-endian), direction (non-zero: device to host),
// data length, then the caller's buffer address; 32-bit callers send 16
// bytes (address at 12), 64-bit callers 24 (address at 16).
inline constexpr size_t kVendorRecordRequest = 0;
inline constexpr size_t kVendorRecordValue = 2;
inline constexpr size_t kVendorRecordIndex = 4;
inline constexpr size_t kVendorRecordDirection = 6;
inline constexpr size_t kVendorRecordLength = 8;
inline constexpr size_t kVendorRecord32Address = 12;
inline constexpr size_t kVendorRecord64Address = 16;
inline constexpr size_t kVendorRecord32Bytes = 16;
inline constexpr size_t kVendorRecord64Bytes = 24;

}  // namespace velix::driver
