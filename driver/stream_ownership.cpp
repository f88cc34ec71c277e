#include "driver/stream_ownership.h"

#include <algorithm>

namespace velix::driver {
namespace {

// The device's sampling control (bus analyzer) and monitor control: with
// every field zero the command stops the stream, otherwise it starts it.
constexpr uint8_t kSamplingControl = 0xC4;
constexpr uint8_t kMonitorControl = 0xC6;

}  // namespace

bool StreamOwnership::Permits(const HandleContext* handle) const {
  std::lock_guard lock(lock_);
  return !owned_ || owner_ == handle;
}

bool StreamOwnership::TryClaim(const HandleContext* handle) {
  std::lock_guard lock(lock_);
  if (owned_ && owner_ != handle) return false;
  owned_ = true;
  owner_ = handle;
  return true;
}

void StreamOwnership::NoteStreamed(const HandleContext* handle) {
  std::lock_guard lock(lock_);
  streamed_ = true;
  last_streamer_ = handle;
}

void StreamOwnership::Release(const HandleContext* handle) {
  std::lock_guard lock(lock_);
  if (owned_ && owner_ == handle) owned_ = false;
}

void StreamOwnership::NoteWrite(const HandleContext* handle, std::span<const uint8_t> data) {
  if (data.size() != kCommandPacketBytes) return;
  if (data[0] != kSamplingControl && data[0] != kMonitorControl) return;
  const bool stop = std::all_of(data.begin() + 1, data.end(), [](uint8_t byte) { return byte == 0; });
  std::lock_guard lock(lock_);
  device_started_ = !stop;
  device_starter_ = handle;
  start_code_ = data[0];
}

CloseCleanup StreamOwnership::CleanupFor(const HandleContext* handle) {
  std::lock_guard lock(lock_);
  CloseCleanup cleanup;
  const bool owner = owned_ && owner_ == handle;
  // Another handle's stream is never touched, not even the device's.
  if (device_started_ && device_starter_ == handle && (owner || !owned_)) {
    DeviceCommand stop{};
    stop[0] = start_code_;
    cleanup.device_stop = stop;
    device_started_ = false;
  }
  cleanup.stop_streaming = owner;
  cleanup.empty_buffer = streamed_ && last_streamer_ == handle;
  return cleanup;
}

void StreamOwnership::Forget(const HandleContext* handle) {
  std::lock_guard lock(lock_);
  if (owned_ && owner_ == handle) owned_ = false;
  if (streamed_ && last_streamer_ == handle) streamed_ = false;
  if (device_starter_ == handle) {
    device_started_ = false;
    device_starter_ = nullptr;
  }
}

}  // namespace velix::driver
