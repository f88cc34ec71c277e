#include "tools/velixctl/stream_session.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

#include "Orvane/capture/little_endian.h"
#include "velix/device_interface.h"
#include "platform/device_file.h"
#include "platform/event.h"
#include "tools/velixctl/requests.h"
#include "tools/velixctl/stream_checksum.h"

namespace velix::ctl {
namespace {

using Clock = std::chrono::steady_clock;

// Waits are cut into slices so the overall time-out is kept even while no
// event arrives.
constexpr uint32_t kWaitSliceMs = 100;
// No driver holds more than its largest accumulation buffer; a larger count
// is not believed.
constexpr uint32_t kMaxReadBytes = 16u << 20;

class StreamRun {
 public:
  StreamRun(DeviceChannel& channel, const StreamOptions& options, const StreamSink& sink)
      : channel_(channel), options_(options), sink_(sink) {
    result_.checksum = kStreamChecksumSeed;
  }

  StreamResult Run() {
    if (!Prepare() || !Start()) return result_;
    result_.started = true;
    if (options_.start_packet.empty() || Succeeded(channel_.Write(options_.start_packet), "write-start")) {
      WaitLoop();
    }
    Finish();
    return result_;
  }

 private:
  void Fail(std::string step, const RequestResult& request) {
    if (!result_.failure) result_.failure = StreamFailure{std::move(step), request};
  }

  bool Succeeded(const RequestResult& request, std::string_view step) {
    if (!request.ok) Fail(std::string(step), request);
    return request.ok;
  }

  bool Prepare() {
    const uint8_t megabytes = options_.buffer_megabytes;
    if (!Succeeded(channel_.Control(driver::IOCTL_BULKUSB_SET_BUFFER_SIZE, {&megabytes, 1}, {}),
                   "SET_BUFFER_SIZE")) {
      return false;
    }
    // The start reports the status word, which still holds whatever an
    // earlier request recorded; clear it so the start speaks for itself.
    if (!Succeeded(channel_.Control(driver::IOCTL_BULKUSB_RESET_BUFFER, {}, {}), "RESET_BUFFER")) return false;
    transfer_event_ = platform::Event::Create(platform::ResetMode::kAuto);
    start_event_ = platform::Event::Create(platform::ResetMode::kManual);
    if (!transfer_event_.Valid() || !start_event_.Valid()) {
      Fail("event", RequestResult{false, platform::kErrorNoSystemResources, 0, 0});
      return false;
    }
    const RequestOutcome registered =
        SendControl(channel_, driver::IOCTL_BULKUSB_SET_ONE_TRANSFER_EVENT,
                    LittleEndian32(static_cast<uint32_t>(transfer_event_.Fd())), 4);
    return Succeeded(registered.result, "SET_ONE_TRANSFER_EVENT") &&
           Succeeded(SendControlValue(channel_, driver::IOCTL_BULKUSB_SET_ONE_TRANSFER_LENGTH,
                                      options_.transfer_length),
                     "SET_ONE_TRANSFER_LENGTH");
  }

  // Some start failures complete with success and only the output tells;
  // every failure may leave the watcher armed, so a stop always follows.
  bool Start() {
    const RequestOutcome started =
        SendControl(channel_, driver::IOCTL_BULKUSB_BULK_START,
                    LittleEndian32(static_cast<uint32_t>(start_event_.Fd())), 4);
    const std::vector<uint8_t>& out = started.output;
    if (out.size() == 4) {
      const uint32_t value = orvane::Le32Value(out);
      if (value != 0) result_.start_status = value;
    }
    const bool answered = started.result.ok && out.size() == 4;
    if (!answered) Fail("BULK_START", started.result);
    if (answered && !result_.start_status) return true;
    channel_.Control(driver::IOCTL_BULKUSB_BULK_STOP, {}, {});
    return false;
  }

  void WaitLoop() {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(options_.timeout_ms);
    const std::array<const platform::Event*, 2> events{&transfer_event_, &start_event_};
    while (true) {
      if (result_.bytes >= options_.bytes) {
        result_.ended = StreamEnd::kCount;
        return;
      }
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) {
        result_.ended = StreamEnd::kTimeout;
        return;
      }
      const uint32_t slice = static_cast<uint32_t>(std::min<int64_t>(left.count(), kWaitSliceMs));
      const platform::WaitResult waited = platform::WaitForAny(events, slice);
      if (waited.status == platform::WaitStatus::kTimeout) continue;
      if (waited.status == platform::WaitStatus::kFailed) {
        Fail("wait", RequestResult{false, waited.error, 0, 0});
        return;
      }
      if (waited.index == 1) {
        result_.ended = StreamEnd::kEvent;
        return;
      }
      if (!ReadWaiting()) return;
    }
  }

  void Finish() {
    if (!options_.stop_packet.empty()) Succeeded(channel_.Write(options_.stop_packet), "write-stop");
    Succeeded(channel_.Control(driver::IOCTL_BULKUSB_BULK_STOP, {}, {}), "BULK_STOP");
    ReadWaiting();
  }

  // Reads exactly the bytes the driver reports waiting, in one request.
  bool ReadWaiting() {
    RequestResult counted;
    const std::optional<uint32_t> count =
        QueryControlValue(channel_, driver::IOCTL_BULKUSB_GET_COUNT, &counted);
    if (!count) {
      Fail("GET_COUNT", counted);
      return false;
    }
    if (*count == 0) return true;
    const RequestOutcome read = SendRead(channel_, std::min(*count, kMaxReadBytes));
    if (!Succeeded(read.result, "read")) return false;
    result_.bytes += read.output.size();
    result_.checksum = StreamChecksum(result_.checksum, read.output);
    if (!sink_(read.output)) {
      Fail("save", RequestResult{});
      return false;
    }
    return true;
  }

  DeviceChannel& channel_;
  const StreamOptions& options_;
  const StreamSink& sink_;
  platform::Event transfer_event_;
  platform::Event start_event_;
  StreamResult result_;
};

const char* EndName(StreamEnd end) {
  switch (end) {
    case StreamEnd::kCount:
      return "count";
    case StreamEnd::kEvent:
      return "event";
    case StreamEnd::kTimeout:
      return "timeout";
  }
  return "";
}

}  // namespace

StreamResult RunStream(DeviceChannel& channel, const StreamOptions& options, const StreamSink& sink) {
  return StreamRun(channel, options, sink).Run();
}

void AppendStreamResult(std::string* text, const StreamResult& result) {
  if (result.started) {
    std::array<char, 32> checksum{};
    std::snprintf(checksum.data(), checksum.size(), "0x%016llx",
                  static_cast<unsigned long long>(result.checksum));
    AppendLine(text, "bytes", std::to_string(result.bytes));
    AppendLine(text, "checksum", checksum.data());
    if (result.ended) AppendLine(text, "ended", EndName(*result.ended));
  }
  if (result.start_status) AppendLine(text, "startstatus", FormatStatusWord(*result.start_status));
  if (result.failure) {
    AppendLine(text, "failed", result.failure->step);
    AppendResultDetails(text, result.failure->result);
  }
}

}  // namespace velix::ctl
