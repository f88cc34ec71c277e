#pragma once
// The decoders' view of a live capture: before each atom or unit a live
// decoder asks the reader to move what the driver holds into the live
// buffer. Reading and decoding alternate on the one worker thread.

#include <cstdint>

#include "Orvane/capture/run_result.h"

namespace orvane {

// Reader status
inline constexpr uint16_t kReaderData = 0;
inline constexpr uint16_t kReaderNoData = 0x10;
inline constexpr uint16_t kReaderFinished = 0x101;
inline constexpr uint16_t kReaderDriverEvent = 0x8000;
inline constexpr uint16_t kReaderOverrun = 0x8001;
inline constexpr uint16_t kReaderDeviceFailed = 0x8018;

inline constexpr uint32_t kDriverStatusDeviceOverrun = 0x80000001;

class CaptureReader {
 public:
  virtual ~CaptureReader() = default;
  // One read step. `wait`: block until data, a driver event or the stop
  // event when nothing is waiting. `protected_position` (free run only): the
  // oldest position the decoder still needs. The driver status word is
  // written when the status carries bit 15.
  virtual uint16_t ReadStep(bool wait, uint32_t protected_position, uint32_t* driver_status) = 0;
};

// The run result of a reader status with bit 15 set.
constexpr uint32_t ReaderErrorResult(uint16_t status, uint32_t driver_status) {
  if (status == kReaderOverrun) {
    return driver_status == kDriverStatusDeviceOverrun ? kResultDeviceOverrun : kResultDriverOverrun;
  }
  // A failed device access carries no status word: the device is gone.
  if (status == kReaderDeviceFailed) return kResultDeviceRemoved;
  return driver_status == 40 || driver_status == 0 ? kResultUnknownUsbError : kResultDeviceRemoved;
}

}  // namespace orvane
