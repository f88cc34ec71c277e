#pragma once
// The user-mode side of the driver: device files opened by name, with the
// create / read / write / device-control / close calls and the return
// conventions the applications are written against (Boolean success, a
// per-thread last-error code, a count of bytes returned).
//
// A device file is a connection to the driver daemon's socket for that name.
// Names: "\\.\VELIX0" (the driver's Win32 name) or a device-interface path
// from EnumerateDeviceInterfaces(); either may be followed by a file name
// such as "\PIPE00", which the driver parses.
//
// Two requests need translation on the way:
// - IOCTL_BULKUSB_BULK_START and IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT carry a
//   32-bit event handle. Here a handle is the eventfd descriptor itself
//   (Event::Fd()); the descriptor travels with the request, the 32-bit value
//   stays in the input.
// - IOCTL_BULKUSB_VENDOR_REQUEST's record holds the address of the caller's
//   data buffer; its data stage is carried inside the request and the reply
//   and copied from and to that buffer here.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velix::platform {

// Win32 error codes that the device-file calls leave as the last error.
inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorInvalidFunction = 1;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorNotEnoughMemory = 8;
inline constexpr uint32_t kErrorBadCommand = 22;
inline constexpr uint32_t kErrorGenFailure = 31;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
// The device streams for another handle (STATUS_PIPE_BUSY).
inline constexpr uint32_t kErrorPipeBusy = 231;
inline constexpr uint32_t kErrorOperationAborted = 995;
inline constexpr uint32_t kErrorDeviceNotConnected = 1167;
inline constexpr uint32_t kErrorNoSystemResources = 1450;

// The Win32 error a completion status turns into.
uint32_t Win32ErrorFromStatus(uint32_t nt_status);

class DeviceFile;

// Null on failure, with the last error set (kErrorFileNotFound when no
// device answers to the name).
DeviceFile* CreateDeviceFile(std::string_view name);
// Always releases the handle; false for a null handle.
bool CloseDeviceFile(DeviceFile* file);

bool DeviceIoControl(DeviceFile* file, uint32_t code, const void* input, uint32_t input_size, void* output,
                     uint32_t output_size, uint32_t* bytes_returned);
bool ReadDeviceFile(DeviceFile* file, void* buffer, uint32_t size, uint32_t* bytes_read);
bool WriteDeviceFile(DeviceFile* file, const void* buffer, uint32_t size, uint32_t* bytes_written);

// The calling thread's last error.
uint32_t GetLastDeviceError();
void SetLastDeviceError(uint32_t error);
// The completion status of the calling thread's last request (the driver's
// own status code, for diagnostics).
uint32_t GetLastDeviceStatus();

// The device-interface paths of the devices present now, as
// "\\?\usb#vid_1d9a&pid_030a#<serial>#{a5dcbf10-6530-11d2-901f-00c04fb951ed}".
std::vector<std::string> EnumerateDeviceInterfaces();

}  // namespace velix::platform
