// Any bytes as what a client sends the daemon: request frames read through
// the daemon's own reader, one after another, with a handle opened by each
// accepted create and gone after a close, as a session keeps it. A frame
// must never be taken with a payload other than its header announced, nor
// past the limits, nor before a handle exists unless it creates one.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "platform/device_wire.h"
#include "platform/wire_request_reader.h"

namespace {

using velix::platform::WireOp;

// The fuzz input as a peer that sends it in pieces of uneven size.
class BytesSource : public velix::platform::WireByteSource {
 public:
  explicit BytesSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool ReceiveHeader(std::span<uint8_t> header, int* descriptor) override {
    *descriptor = -1;
    if (bytes_.size() < header.size()) return false;
    std::memcpy(header.data(), bytes_.data(), header.size());
    bytes_ = bytes_.subspan(header.size());
    return true;
  }

  size_t ReceiveSome(std::span<uint8_t> into) override {
    if (bytes_.empty()) return 0;
    // Short receives, as a socket gives them, steered by the data itself.
    const size_t piece = std::min({into.size(), bytes_.size(), size_t{1} + bytes_[0] * size_t{97}});
    std::memcpy(into.data(), bytes_.data(), piece);
    bytes_ = bytes_.subspan(piece);
    return piece;
  }

 private:
  std::span<const uint8_t> bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BytesSource source({data, size});
  bool handle_open = false;
  for (;;) {
    velix::platform::WireFrame frame;
    const velix::platform::WireReadResult result = velix::platform::ReadWireRequest(source, handle_open, &frame);
    if (frame.descriptor != -1) __builtin_trap();
    if (result != velix::platform::WireReadResult::kRequest) {
      // A refused header is answered before anything after it is read.
      const bool refused = result != velix::platform::WireReadResult::kEnd;
      if (refused && (!frame.input.empty() || !frame.stage.empty())) __builtin_trap();
      return 0;
    }
    const velix::platform::WireRequest& request = frame.request;
    if (velix::platform::CheckWireRequest(request) != velix::platform::WireFault::kNone) __builtin_trap();
    if (frame.input.size() != request.input_size) __builtin_trap();
    const auto op = static_cast<WireOp>(request.op);
    const bool stage_follows = op == WireOp::kControl && (request.flags & velix::platform::kWireStageFollows) != 0;
    if (frame.stage.size() != (stage_follows ? request.stage_size : 0)) __builtin_trap();
    if (!handle_open && op != WireOp::kCreate) __builtin_trap();
    if (op == WireOp::kCreate) handle_open = true;
    if (op == WireOp::kClose) handle_open = false;
  }
}
