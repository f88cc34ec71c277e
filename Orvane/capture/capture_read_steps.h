#pragma once
// The pieces both capture readers and the drain after the stop share: the
// look at the driver's event, the classification of the driver status word
// behind it, the wait on the three capture events, and the move of driver
// bytes to the write position of the live buffer.

#include <cstdint>

#include "Orvane/capture/driver_link.h"
#include "Orvane/capture/sampling_obj.h"
#include "platform/event.h"

namespace orvane {

// The two trace lines that differ between the places that handle a driver
// event.
struct DriverEventTraces {
  const char* event_get;       // takes the status word twice (%u, 0x%X)
  const char* buffer_overrun;  // status words 9, 10 and 11
};

// The lines of the oneshot reader and of any wait.
extern const DriverEventTraces kDriverEventTraces;
// The lines of the free-run reader's look before it counts.
extern const DriverEventTraces kFreeRunDriverEventTraces;

// The number a wait result has always been traced with: the index of the
// event that fired, 0x102 for a time-out, 0xFFFFFFFF for a failed wait.
uint32_t WaitResultCode(const velix::platform::WaitResult& result);

// Looks at the driver event without waiting (consuming its signal). Every
// result but a time-out is traced with `danger_format` (one %X).
velix::platform::WaitResult TestDriverEvent(CSamplingObj& sampling, const char* danger_format);

// Reads the driver status word after the driver event and classifies it:
// 0x8001 overrun, 0x8000 any other event, 0x8018 when the word cannot be
// read. The word goes to `driver_status` (may be null).
uint16_t HandleDriverEvent(DriverLink& link, const DriverEventTraces& traces,
                           uint32_t* driver_status);

enum class CaptureWake { kDriverEvent, kOneTransfer, kStop, kWaitFailed };

// Blocks until the driver event, the one-transfer event or StopEvent fires;
// the lowest of them wins when several have. A failed wait is traced.
CaptureWake WaitForCaptureEvent(CSamplingObj& sampling);

// What the reader may write: the live buffer size, 0 without a live buffer.
uint32_t LiveCapacity(CSamplingObj& sampling);

// Reads `length` bytes from the driver to the write position and advances
// the write position and the length by the bytes read. Never writes past
// the end of the live buffer, whatever `length` says, and asks the driver
// for nothing when no byte fits. False when the driver read failed.
bool ReadToWritePosition(CSamplingObj& sampling, DriverLink& link, uint32_t length);

// Free run: once the length reaches the buffer size the ring starts over at
// position 0.
void WrapAtBufferEnd(CSamplingObj& sampling);

}  // namespace orvane
