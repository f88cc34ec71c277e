#pragma once
// The two capture readers a live decoder polls: the oneshot reader fills the
// live buffer once from position 0 and then reports the capture finished;
// the free-run reader writes the live buffer as a ring, never over data the
// decoder still needs, and ends at the trigger stop position.
//
// Both move what the driver holds with plain reads at the write position,
// look at the driver's event before they count, and, when asked to wait and
// nothing is waiting, block on the driver event, the one-transfer event and
// StopEvent together.

#include <cstdint>

#include "Orvane/capture/capture_reader.h"
#include "Orvane/capture/driver_link.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/sampling_obj.h"

namespace orvane {

class OneshotReader final : public CaptureReader {
 public:
  // `events` receives the progress postings; may be null.
  OneshotReader(CSamplingObj& sampling, DriverLink& link, RunEventQueue* events)
      : sampling_(sampling), link_(link), events_(events) {}

  // The protected position plays no part in a oneshot capture.
  uint16_t ReadStep(bool wait, uint32_t protected_position, uint32_t* driver_status) override;

 private:
  bool Full() const;

  CSamplingObj& sampling_;
  DriverLink& link_;
  RunEventQueue* events_;
};

class FreeRunReader final : public CaptureReader {
 public:
  FreeRunReader(CSamplingObj& sampling, DriverLink& link, RunEventQueue* events)
      : sampling_(sampling), link_(link), events_(events) {}

  uint16_t ReadStep(bool wait, uint32_t protected_position, uint32_t* driver_status) override;

 private:
  // How many of the `waiting` bytes may be written now.
  uint32_t Admissible(uint32_t waiting, uint32_t protected_position);

  CSamplingObj& sampling_;
  DriverLink& link_;
  RunEventQueue* events_;
};

}  // namespace orvane
