#pragma once
// A streaming run in the driver's client order on one handle: buffer size,
// per-transfer event, transfer length, start with its own event, the
// device's start packet; then wait, count and read until enough bytes have
// arrived, the start event fires or the time-out passes; then the device's
// stop packet, stop, and a last read of what is left.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tools/velixctl/device_channel.h"

namespace velix::ctl {

struct StreamOptions {
  uint64_t bytes = 0;
  uint8_t buffer_megabytes = 16;
  uint32_t transfer_length = 131072;
  std::vector<uint8_t> start_packet;  // empty: none sent
  std::vector<uint8_t> stop_packet;   // empty: none sent
  uint32_t timeout_ms = 10000;
};

enum class StreamEnd { kCount, kEvent, kTimeout };

struct StreamFailure {
  std::string step;  // the request's short name, "write-start", "wait", "save", …
  RequestResult result;
};

struct StreamResult {
  bool started = false;                 // streaming ran: bytes, checksum, ended mean something
  std::optional<uint32_t> start_status;  // the start request's non-zero output
  std::optional<StreamEnd> ended;        // how the wait loop ended (empty after a failure in it)
  std::optional<StreamFailure> failure;  // the first request that failed
  uint64_t bytes = 0;
  uint64_t checksum = 0;
};

// Receives every block read, in order; false stops the run (save failed).
using StreamSink = std::function<bool(std::span<const uint8_t>)>;

StreamResult RunStream(DeviceChannel& channel, const StreamOptions& options, const StreamSink& sink);

// bytes=, checksum=, ended= (or startstatus=), failed= with error=, status=,
// information=; the caller adds driverstatus=.
void AppendStreamResult(std::string* text, const StreamResult& result);

}  // namespace velix::ctl
