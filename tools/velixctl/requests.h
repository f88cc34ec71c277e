#pragma once
// Single requests on a device channel and the key=value lines that report
// them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/velixctl/device_channel.h"

namespace velix::ctl {

// The largest output or read buffer velixctl allocates for one request.
inline constexpr uint32_t kMaxRequestBytes = 64u << 20;

struct RequestOutcome {
  RequestResult result;
  std::vector<uint8_t> output;  // the bytes the request returned
};

RequestOutcome SendControl(DeviceChannel& channel, uint32_t code, std::span<const uint8_t> input,
                           uint32_t output_size);
RequestOutcome SendRead(DeviceChannel& channel, uint32_t size);

// Control requests that move one little-endian 32-bit value.
RequestResult SendControlValue(DeviceChannel& channel, uint32_t code, uint32_t value);
std::optional<uint32_t> QueryControlValue(DeviceChannel& channel, uint32_t code,
                                          RequestResult* result = nullptr);
// The status word (IOCTL_BULKUSB_GET_STATUS); empty when the request fails.
std::optional<uint32_t> QueryDriverStatus(DeviceChannel& channel);

std::vector<uint8_t> LittleEndian32(uint32_t value);

// A status word value: decimal, or 0x%08X when bit 31 is set (device
// messages).
std::string FormatStatusWord(uint32_t value);

void AppendLine(std::string* text, std::string_view key, std::string_view value);
// error=, status=, information=.
void AppendResultDetails(std::string* text, const RequestResult& result);
// ok=, error=, status=, information=.
void AppendResult(std::string* text, const RequestResult& result);
// driverstatus=, or nothing when the status word cannot be read.
void AppendDriverStatus(std::string* text, DeviceChannel& channel);

}  // namespace velix::ctl
