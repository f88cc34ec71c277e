#pragma once
// Reads request frames from an untrusted peer. The header is checked before
// anything it announces is taken, and the bytes that follow are stored as
// they arrive, a bounded piece at a time, so a header that announces a large
// payload costs memory only for the bytes the peer really sends. The daemon
// reads its sockets through this reader and the frame fuzzer feeds it
// arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/device_wire.h"

namespace velix::platform {

// Where request bytes come from.
class WireByteSource {
 public:
  virtual ~WireByteSource() = default;
  // Exactly header.size() bytes; a descriptor that came with them in
  // *descriptor (-1 when none). False when the peer has gone or stalled.
  virtual bool ReceiveHeader(std::span<uint8_t> header, int* descriptor) = 0;
  // At least one and at most bytes.size() bytes; 0 when the peer has gone
  // or stalled.
  virtual size_t ReceiveSome(std::span<uint8_t> bytes) = 0;
};

struct WireFrame {
  WireRequest request;
  int descriptor = -1;         // the caller closes it
  std::vector<uint8_t> input;  // input_size bytes
  std::vector<uint8_t> stage;  // stage_size bytes when kWireStageFollows is set, else empty
};

enum class WireReadResult {
  kRequest,    // a whole frame is in *frame
  kEnd,        // the peer went or stalled before a whole frame came
  kMalformed,  // the header is not one that may be served; nothing after it was read
  kNoHandle,   // a request other than create before a handle exists; nothing after it was read
};

// The most payload bytes stored per receive.
inline constexpr size_t kWireReadPieceBytes = 256u << 10;

// Reads one frame. `handle_open` says whether the connection has created
// its handle: until it has, only a create request is taken.
WireReadResult ReadWireRequest(WireByteSource& source, bool handle_open, WireFrame* frame);

}  // namespace velix::platform
