#pragma once
// Which handle the device's stream belongs to. A device streams for one
// client at a time: the handle that prepares a stream (buffer size, event
// registration, transfer length, buffer reset or fill) or starts one owns
// it until that handle stops streaming or closes. Meanwhile every other
// handle may only look (status, count, versions, descriptors); whatever would
// change the stream, take its data or talk to the device is refused as busy,
// and closing such a handle leaves the stream alone.
//
// Clients die without cleaning up, so the owner's close stops the stream,
// the handle that started the device's own stream with its command packet
// gets that stopped too, and the handle that streamed last gets the
// accumulation buffer emptied: nothing it leaves behind can reach the next
// capture.

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>

namespace velix::driver {

struct HandleContext;

inline constexpr size_t kCommandPacketBytes = 10;
using DeviceCommand = std::array<uint8_t, kCommandPacketBytes>;

// What closing a handle has to undo.
struct CloseCleanup {
  // The device's stop command for the stream this handle started.
  std::optional<DeviceCommand> device_stop;
  bool stop_streaming = false;
  bool empty_buffer = false;
};

class StreamOwnership {
 public:
  // A request that touches the stream is allowed: nobody owns it, or
  // `handle` does.
  bool Permits(const HandleContext* handle) const;

  // Makes `handle` the owner; false when another handle owns the stream.
  bool TryClaim(const HandleContext* handle);
  // `handle` has started a stream: the accumulation buffer holds its data.
  void NoteStreamed(const HandleContext* handle);
  // `handle` has stopped streaming; its stream stays readable.
  void Release(const HandleContext* handle);

  // A write from `handle`: the device's sampling and monitor control
  // commands start and stop its stream.
  void NoteWrite(const HandleContext* handle, std::span<const uint8_t> data);

  // What closing `handle` has to clean up. The handle keeps the stream
  // until Forget, so nobody else starts on it while it is being stopped.
  CloseCleanup CleanupFor(const HandleContext* handle);
  // The handle is closed: no pointer to its context stays.
  void Forget(const HandleContext* handle);

 private:
  mutable std::mutex lock_;
  bool owned_ = false;
  const HandleContext* owner_ = nullptr;
  // The handle whose stream the accumulation buffer holds.
  bool streamed_ = false;
  const HandleContext* last_streamer_ = nullptr;
  // The handle whose command started the device's stream, and that command.
  bool device_started_ = false;
  const HandleContext* device_starter_ = nullptr;
  uint8_t start_code_ = 0;
};

}  // namespace velix::driver
