#pragma once
// After the stop command and the end of bulk streaming, the driver may
// still hold bytes the device sent before it stopped. The drain moves them
// into the live buffer so that the saved capture ends where the device
// stopped: in free run the ring goes on at position 0, in a oneshot capture
// what does not fit is dropped.

#include <cstdint>

#include "Orvane/capture/driver_link.h"
#include "Orvane/capture/sampling_obj.h"

namespace orvane {

// 0 when drained (or nothing to drain), 0x8000 when the driver had signalled
// an event (its status word goes to `driver_status`, may be null), 0x8018
// when the driver could not be asked or read.
uint16_t ReadDriverSamplingData_AfterStop(CSamplingObj& sampling, DriverLink& link, bool free_run,
                                          uint32_t* driver_status);

}  // namespace orvane
