#include "Orvane/capture/capture_read_steps.h"

#include <algorithm>
#include <array>

#include "Orvane/capture/capture_reader.h"
#include "platform/trace.h"

namespace orvane {

using velix::platform::Event;
using velix::platform::Trace;
using velix::platform::WaitResult;
using velix::platform::WaitStatus;

namespace {

constexpr uint32_t kWaitTimeoutCode = 0x102;
constexpr uint32_t kWaitFailedCode = 0xFFFFFFFF;

// Positions of the events in the capture wait, lowest first.
constexpr size_t kWakeDriverEvent = 0;
constexpr size_t kWakeOneTransfer = 1;
constexpr size_t kWakeStop = 2;

}  // namespace

const DriverEventTraces kDriverEventTraces = {
    " *** [WARNING!!!] !!! 0 DRIVER EVENT GET !!! *** << Status=%u (0x%X) >>\n",
    " *** [ DANGER!!! ] [ DANGER!!! ]  DRIVER or DEVICE OVERRUN !!!!\n",
};

const DriverEventTraces kFreeRunDriverEventTraces = {
    " *** [WARNING!!!] !!! 1: DRIVER EVENT GET !!! *** << Status=%u (0x%X) >>\n",
    " *** [ DANGER!!! ] [ DANGER!!! ]  DRIVER Buffer  OVERRUN !!!!\n",
};

uint32_t WaitResultCode(const WaitResult& result) {
  switch (result.status) {
    case WaitStatus::kSignalled:
      return static_cast<uint32_t>(result.index);
    case WaitStatus::kTimeout:
      return kWaitTimeoutCode;
    case WaitStatus::kFailed:
      break;
  }
  return kWaitFailedCode;
}

WaitResult TestDriverEvent(CSamplingObj& sampling, const char* danger_format) {
  const WaitResult result = sampling.driver_event.Wait(0);
  if (result.status != WaitStatus::kTimeout) {
    Trace(danger_format, WaitResultCode(result));
  }
  return result;
}

uint16_t HandleDriverEvent(DriverLink& link, const DriverEventTraces& traces,
                           uint32_t* driver_status) {
  // The stop-icon sound the operator heard here has no counterpart in this
  // system; the trace below carries the same news.
  uint32_t word = 0;
  if (!link.GetDriverEventStatus(&word)) {
    Trace(" **** Open / DeviceIOCTL  FALSE :: Fail !!!  : LastError=%u\n", link.LastError());
    return kReaderDeviceFailed;
  }
  if (driver_status != nullptr) *driver_status = word;
  Trace(traces.event_get, word, word);
  switch (word) {
    case kDriverStatusDeviceOverrun:
      Trace(" *** [ DANGER!!! ] [ DANGER!!! ]  DEVICE F/W  OVERRUN !!!!\n");
      return kReaderOverrun;
    case 9:
    case 10:
    case 11:
      Trace("%s", traces.buffer_overrun);
      return kReaderOverrun;
    case 0:
    case 40:
      Trace(" *** [ WARNING!! ] [ WARNING!! ]  UNKNOWN DRIVER EVENT!!!   \n");
      return kReaderDriverEvent;
    default:
      return kReaderDriverEvent;
  }
}

CaptureWake WaitForCaptureEvent(CSamplingObj& sampling) {
  const std::array<const Event*, 3> events = {&sampling.driver_event, &sampling.one_transfer_event,
                                              &sampling.StopEvent};
  const WaitResult result = velix::platform::WaitForAny(events, velix::platform::kInfinite);
  if (result.status == WaitStatus::kSignalled) {
    switch (result.index) {
      case kWakeDriverEvent:
        return CaptureWake::kDriverEvent;
      case kWakeOneTransfer:
        return CaptureWake::kOneTransfer;
      case kWakeStop:
        return CaptureWake::kStop;
      default:
        break;
    }
  }
  sampling.m_dwLastError = result.error;
  if (result.status == WaitStatus::kFailed) {
    Trace(" WaitForMultipleObject() :: ... WAIT_FAILED ...   : LastError=%u\n", result.error);
  } else {
    Trace(" WaitForMultipleObject() :: ..unknown result(%u) ... : LastError=%u\n",
          WaitResultCode(result), result.error);
  }
  return CaptureWake::kWaitFailed;
}

uint32_t LiveCapacity(CSamplingObj& sampling) {
  return sampling.LiveData() != nullptr ? sampling.m_sizeSamplingBuf.load() : 0;
}

bool ReadToWritePosition(CSamplingObj& sampling, DriverLink& link, uint32_t length) {
  const uint32_t capacity = LiveCapacity(sampling);
  const uint32_t write = sampling.m_SamplingCurrentPtr;
  const uint32_t room = write < capacity ? capacity - write : 0;
  const uint32_t wanted = std::min(length, room);
  // The driver refuses a read of nothing; there is nothing to ask for.
  if (wanted == 0) return true;
  uint32_t got = 0;
  if (!link.ReadData(sampling.LiveData() + write, wanted, &got)) return false;
  got = std::min(got, wanted);
  sampling.m_SamplingCurrentPtr = write + got;
  sampling.m_lenSamplingDataInBuffer += got;
  return true;
}

void WrapAtBufferEnd(CSamplingObj& sampling) {
  const uint32_t size = sampling.m_sizeSamplingBuf;
  const uint32_t length = sampling.m_lenSamplingDataInBuffer;
  if (length < size) return;
  sampling.m_lenSamplingDataInBuffer = length - size;
  sampling.m_SamplingCurrentPtr = length - size;
}

}  // namespace orvane
