#include "Orvane/capture/capture_readers.h"

#include <algorithm>

#include "Orvane/capture/capture_read_steps.h"
#include "platform/trace.h"

namespace orvane {

using velix::platform::Trace;
using velix::platform::WaitStatus;

namespace {

// The progress code that moves the bar to a byte count.
constexpr uint32_t kProgressPosition = 11;

bool CountWaiting(DriverLink& link, uint32_t* count) {
  if (link.GetAccumulatedCount(count)) return true;
  Trace("VELIX_GetDriverAccumulateDataCount()  :: FALSE!!!\n");
  return false;
}

}  // namespace

bool OneshotReader::Full() const {
  return sampling_.m_lenSamplingDataInBuffer >= LiveCapacity(sampling_);
}

uint16_t OneshotReader::ReadStep(bool wait, uint32_t, uint32_t* driver_status) {
  if (Full()) return kReaderFinished;
  // An error the driver reported ends the capture, but only after the bytes
  // it still holds have been taken in this step.
  uint16_t pending = 0;
  if (TestDriverEvent(sampling_, "\n *** [DANGER!!!] !!!  WaitForSingleObject()  result=0x%X !!! ***\n")
          .status == WaitStatus::kSignalled) {
    pending = HandleDriverEvent(link_, kDriverEventTraces, driver_status);
  }
  uint16_t status = kReaderNoData;
  while (true) {
    uint32_t count = 0;
    if (!CountWaiting(link_, &count)) return kReaderDeviceFailed;
    if (count > 0) {
      const uint32_t room = LiveCapacity(sampling_) - sampling_.m_lenSamplingDataInBuffer;
      if (!ReadToWritePosition(sampling_, link_, std::min(count, room))) return kReaderDeviceFailed;
      if (events_ != nullptr) {
        events_->PostProgress(kProgressPosition, sampling_.m_lenSamplingDataInBuffer);
      }
      status = kReaderData;
      break;
    }
    status = kReaderNoData;
    if (!wait || pending != 0) break;
    const CaptureWake wake = WaitForCaptureEvent(sampling_);
    if (wake == CaptureWake::kDriverEvent) {
      pending = HandleDriverEvent(link_, kDriverEventTraces, driver_status);
    } else if (wake == CaptureWake::kStop) {
      Trace("[EVENT::STOP]\n");
      status = kReaderFinished;
      break;
    } else if (wake == CaptureWake::kWaitFailed) {
      return kReaderNoData;
    }
  }
  if (Full()) status = kReaderFinished;
  return pending != 0 ? pending : status;
}

uint16_t FreeRunReader::ReadStep(bool wait, uint32_t protected_position, uint32_t* driver_status) {
  // A ring of no bytes can take nothing, ever: the capture cannot go on.
  if (LiveCapacity(sampling_) == 0) return kReaderFinished;
  uint16_t pending = 0;
  if (TestDriverEvent(sampling_, "\n *** [DANGER!!] !!  WaitForSingleObject()  result=0x%X !!! ***\n")
          .status == WaitStatus::kSignalled) {
    pending = HandleDriverEvent(link_, kFreeRunDriverEventTraces, driver_status);
    if (pending == kReaderDeviceFailed) return pending;
  }
  uint32_t count = 0;
  while (true) {
    if (!CountWaiting(link_, &count)) return kReaderDeviceFailed;
    if (count > 0) break;
    if (!wait || pending != 0) return pending != 0 ? pending : kReaderNoData;
    switch (WaitForCaptureEvent(sampling_)) {
      case CaptureWake::kDriverEvent:
        pending = HandleDriverEvent(link_, kDriverEventTraces, driver_status);
        if (pending == kReaderDeviceFailed) return pending;
        break;
      case CaptureWake::kOneTransfer:
        break;
      case CaptureWake::kStop:
        return kReaderFinished;
      case CaptureWake::kWaitFailed:
        return kReaderNoData;
    }
  }
  const bool first_pass = !sampling_.buffer_wrapped;
  const uint32_t admissible = Admissible(count, protected_position & ~1u);
  if (!ReadToWritePosition(sampling_, link_, admissible)) return kReaderDeviceFailed;
  WrapAtBufferEnd(sampling_);
  if (first_pass && events_ != nullptr) {
    events_->PostProgress(kProgressPosition, sampling_.buffer_wrapped
                                                 ? sampling_.m_sizeSamplingBuf.load()
                                                 : sampling_.m_lenSamplingDataInBuffer.load());
  }
  return pending != 0 ? pending : kReaderData;
}

uint32_t FreeRunReader::Admissible(uint32_t waiting, uint32_t protected_position) {
  CSamplingObj& s = sampling_;
  // The capture ends at the trigger stop position; reading on would
  // overwrite the oldest bytes of the ring with bytes after the stop.
  if (s.trigger_done) return 0;
  const uint32_t size = s.m_sizeSamplingBuf;
  const uint32_t length = s.m_lenSamplingDataInBuffer;
  const uint32_t write = s.m_SamplingCurrentPtr;
  const uint32_t to_end = length < size ? size - length : 0;
  uint32_t n = waiting;
  if (!s.buffer_wrapped) {
    if (n >= to_end) {
      n = to_end;
      s.buffer_wrapped = true;
    }
  } else if (write < protected_position) {
    // The writer stays 4 bytes behind the oldest byte the decoder still
    // needs, so a full ring never looks empty.
    const uint32_t gap = protected_position - write;
    if (n >= gap) n = gap > 4 ? gap - 4 : 0;
    n = std::min(n, to_end);
  } else {
    n = std::min(n, to_end);
  }
  const uint32_t stop = s.SamplingStopAdrs;
  // A stop at position 0 is met where the ring ends, before the writer
  // wraps: the writer is never before position 0.
  const uint32_t stop_at = stop == 0 ? size : stop;
  // Reaching the stop position exactly ends the capture too; otherwise the
  // writer would sit on it and never take the stop.
  if (stop != kNoStopAddress && write < stop_at && n >= stop_at - write) {
    n = stop_at - write;
    s.trigger_done = true;
  }
  return n;
}

}  // namespace orvane
