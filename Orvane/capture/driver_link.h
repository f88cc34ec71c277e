#pragma once
// The driver requests the capture readers make while a capture runs: the
// count of bytes the driver holds, the read that takes them, and the driver
// status word after the driver's event. The driver client implements it over
// the device file; tests script it.

#include <cstdint>

namespace orvane {

class DriverLink {
 public:
  virtual ~DriverLink() = default;
  // IOCTL_BULKUSB_GET_COUNT with its retries; false when the request failed.
  virtual bool GetAccumulatedCount(uint32_t* count) = 0;
  // Reads exactly `length` bytes into `buffer`; *read gets the bytes read.
  virtual bool ReadData(uint8_t* buffer, uint32_t length, uint32_t* read) = 0;
  // Opens the device if its handle is closed and reads the driver status word.
  virtual bool GetDriverEventStatus(uint32_t* status) = 0;
  // The system error code of the last failure.
  virtual uint32_t LastError() const = 0;
};

}  // namespace orvane
