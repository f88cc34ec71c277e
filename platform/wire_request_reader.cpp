#include "platform/wire_request_reader.h"

#include <unistd.h>

#include <algorithm>

namespace velix::platform {
namespace {

// The first piece is small, so a short payload behind a large announcement
// costs little; later ones grow with what has arrived.
constexpr size_t kFirstPieceBytes = 4096;

// Appends `size` bytes from the source to `bytes`, growing it only by what
// has arrived.
bool ReceivePayload(WireByteSource& source, uint32_t size, std::vector<uint8_t>* bytes) {
  bytes->clear();
  while (bytes->size() < size) {
    const size_t have = bytes->size();
    const size_t piece = std::min<size_t>(size - have, std::clamp(have, kFirstPieceBytes, kWireReadPieceBytes));
    bytes->resize(have + piece);
    const size_t got = source.ReceiveSome(std::span<uint8_t>(*bytes).subspan(have, piece));
    bytes->resize(have + got);
    if (got == 0) return false;
  }
  return true;
}

}  // namespace

WireReadResult ReadWireRequest(WireByteSource& source, bool handle_open, WireFrame* frame) {
  frame->descriptor = -1;
  frame->input.clear();
  frame->stage.clear();
  if (!source.ReceiveHeader(MutableBytesOf(frame->request), &frame->descriptor)) return WireReadResult::kEnd;
  const WireRequest& request = frame->request;
  if (CheckWireRequest(request) != WireFault::kNone) return WireReadResult::kMalformed;
  if (!handle_open && static_cast<WireOp>(request.op) != WireOp::kCreate) return WireReadResult::kNoHandle;
  const bool stage_follows = static_cast<WireOp>(request.op) == WireOp::kControl &&
                             (request.flags & kWireStageFollows) != 0;
  if (!ReceivePayload(source, request.input_size, &frame->input) ||
      (stage_follows && !ReceivePayload(source, request.stage_size, &frame->stage))) {
    if (frame->descriptor >= 0) ::close(frame->descriptor);
    frame->descriptor = -1;
    return WireReadResult::kEnd;
  }
  return WireReadResult::kRequest;
}

}  // namespace velix::platform
