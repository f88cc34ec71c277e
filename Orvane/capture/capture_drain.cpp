#include "Orvane/capture/capture_drain.h"

#include "Orvane/capture/capture_read_steps.h"
#include "Orvane/capture/capture_reader.h"
#include "platform/trace.h"

namespace orvane {

using velix::platform::Trace;
using velix::platform::WaitResult;
using velix::platform::WaitStatus;

namespace {

// Moves `remaining` bytes into the live buffer: up to the buffer end, then
// (free run) on from position 0. False when a driver read failed.
bool DrainInto(CSamplingObj& sampling, DriverLink& link, bool free_run, uint32_t remaining) {
  const uint32_t size = LiveCapacity(sampling);
  const uint32_t length = sampling.m_lenSamplingDataInBuffer;
  const uint32_t to_end = length < size ? size - length : 0;
  uint32_t first = remaining;
  uint32_t next = 0;
  if (remaining >= to_end) {
    sampling.buffer_wrapped = true;
    next = remaining - to_end;
    first = to_end;
  }
  Trace("  ...request_ReadLength = %u\n", first);
  if (next > 0) Trace("  ...request_ReadLength_next = %u\n", next);
  if (!ReadToWritePosition(sampling, link, first)) return false;
  if (!free_run) return true;
  WrapAtBufferEnd(sampling);
  if (next == 0) return true;
  // The driver never holds more than its buffer, which is smaller than the
  // capture; should it claim more, one ring's worth is taken and no byte is
  // written past the buffer end.
  if (!ReadToWritePosition(sampling, link, next)) return false;
  WrapAtBufferEnd(sampling);
  return true;
}

}  // namespace

uint16_t ReadDriverSamplingData_AfterStop(CSamplingObj& sampling, DriverLink& link, bool free_run,
                                          uint32_t* driver_status) {
  Trace(" *** ReadDriverSamplingData_AfterStop() ***\n");
  if (!free_run && sampling.m_lenSamplingDataInBuffer >= LiveCapacity(sampling)) {
    Trace(" ... SAMPLING_ONESHOT and  SamplingBuffer Max..  through.\n");
    return 0;
  }
  if (sampling.trigger_done) {
    Trace(" ... SAMPLING_TRIGGER DONE ..  through.\n");
    return 0;
  }

  // A driver event now only marks the drain: the stop is complete anyway.
  bool event_found = false;
  const WaitResult test =
      TestDriverEvent(sampling, " \n *** [DANGER!] !  WaitForSingleObject()  result=0x%X !!! ***\n");
  if (test.status == WaitStatus::kSignalled) {
    uint32_t word = 0;
    if (!link.GetDriverEventStatus(&word)) {
      Trace(" **** Open / DeviceIOCTL  FALSE :: Fail !!!  : LastError=%u\n", link.LastError());
      return kReaderDeviceFailed;
    }
    if (driver_status != nullptr) *driver_status = word;
    Trace("\n *** [WARNING!!!] !!!  DRIVER EVENT GET !!! *** << Status=%u (0x%X) >>\n", word, word);
    event_found = true;
  } else if (test.status == WaitStatus::kFailed) {
    Trace(" ... WAIT_FAILED ...   : LastError=%u\n", test.error);
  }

  uint32_t remaining = 0;
  if (!link.GetAccumulatedCount(&remaining)) {
    Trace("VELIX_GetDriverAccumulateDataCount()  :: FALSE!!!\n");
    return kReaderDeviceFailed;
  }
  Trace("  ...driver_remainLen = %u\n", remaining);
  const bool read_failed = remaining > 0 && !DrainInto(sampling, link, free_run, remaining);
  if (event_found) return kReaderDriverEvent;
  return read_failed ? kReaderDeviceFailed : 0;
}

}  // namespace orvane
