#pragma once
// The frames that carry device-file requests between a client and the driver
// daemon over a stream socket. Each request is a fixed header followed by
// its input bytes and, for a vendor request that sends data, the data stage;
// each reply is a fixed header followed by the output bytes and the data
// stage the device returned. An event descriptor travels as SCM_RIGHTS
// ancillary data on the request header. Both ends run on one machine, so the
// headers are in host byte order.

#include <cstdint>
#include <span>
#include <vector>

namespace velix::platform {

enum class WireOp : uint8_t { kCreate = 1, kClose = 2, kRead = 3, kWrite = 4, kControl = 5 };

inline constexpr uint32_t kWireRequestMagic = 0x51525856u;  // "VXRQ"
inline constexpr uint32_t kWireReplyMagic = 0x50525856u;    // "VXRP"

// Request flags.
inline constexpr uint8_t kWireHasFileName = 0x01;      // create: the input is a file name
inline constexpr uint8_t kWireCaller32Bit = 0x02;      // control: the caller's pointers are 32-bit
inline constexpr uint8_t kWireStageFollows = 0x04;     // control: stage_size data-stage bytes follow the input

// Upper bounds of what a frame may announce; a larger value is a malformed
// frame. Reads never exceed the 16 MiB accumulation buffer, writes are cut
// into stages by the driver, control buffers are small.
inline constexpr uint32_t kWireMaxReadBytes = 16u << 20;
inline constexpr uint32_t kWireMaxWriteBytes = 64u << 20;
inline constexpr uint32_t kWireMaxControlBytes = 1u << 20;
inline constexpr uint32_t kWireMaxStageBytes = 1u << 20;
inline constexpr uint32_t kWireMaxFileNameBytes = 1024;

struct WireRequest {
  uint32_t magic = kWireRequestMagic;
  uint8_t op = 0;
  uint8_t flags = 0;
  uint16_t reserved = 0;
  uint32_t code = 0;         // control code
  uint32_t input_size = 0;   // bytes that follow: file name, write data or control input
  uint32_t output_size = 0;  // read length or control output buffer size
  uint32_t stage_size = 0;   // vendor data stage: bytes that follow the input
                             // (host to device) or room for the returned bytes
};
static_assert(sizeof(WireRequest) == 24);

struct WireReply {
  uint32_t magic = kWireReplyMagic;
  uint32_t status = 0;       // the driver's completion status
  uint32_t information = 0;  // the I/O status block's byte count
  uint32_t output_size = 0;  // output bytes that follow
  uint32_t stage_size = 0;   // data-stage bytes that follow the output
};
static_assert(sizeof(WireReply) == 20);

// Why a request header is malformed; kNone when it may be served.
enum class WireFault { kNone, kBadMagic, kBadOp, kTooLarge };
WireFault CheckWireRequest(const WireRequest& request);

// Blocking socket I/O that survives signals and short transfers. Each
// returns false when the peer has gone or the socket failed.
bool SendAll(int fd, std::span<const uint8_t> bytes);
bool ReceiveAll(int fd, std::span<uint8_t> bytes);
// Sends `header` (with `descriptor` as SCM_RIGHTS when it is >= 0), then the
// parts in order.
bool SendFrame(int fd, std::span<const uint8_t> header, std::span<const std::span<const uint8_t>> parts,
               int descriptor = -1);
// Receives exactly header.size() bytes; a descriptor that came with them is
// returned in *descriptor (-1 when none; extra descriptors are closed).
bool ReceiveHeader(int fd, std::span<uint8_t> header, int* descriptor);

template <typename T>
std::span<const uint8_t> BytesOf(const T& value) {
  return {reinterpret_cast<const uint8_t*>(&value), sizeof(T)};
}
template <typename T>
std::span<uint8_t> MutableBytesOf(T& value) {
  return {reinterpret_cast<uint8_t*>(&value), sizeof(T)};
}

}  // namespace velix::platform
