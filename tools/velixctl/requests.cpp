#include "tools/velixctl/requests.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "Orvane/capture/little_endian.h"
#include "velix/device_interface.h"

namespace velix::ctl {
namespace {

// A channel's byte count is not trusted beyond the buffer it was given.
std::vector<uint8_t> ReturnedBytes(std::vector<uint8_t> buffer, uint32_t information) {
  buffer.resize(std::min<size_t>(buffer.size(), information));
  return buffer;
}

std::string Hex32(uint32_t value) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "0x%08X", value);
  return text.data();
}

}  // namespace

RequestOutcome SendControl(DeviceChannel& channel, uint32_t code, std::span<const uint8_t> input,
                           uint32_t output_size) {
  std::vector<uint8_t> buffer(output_size);
  RequestOutcome outcome;
  outcome.result = channel.Control(code, input, buffer);
  outcome.output = ReturnedBytes(std::move(buffer), outcome.result.information);
  return outcome;
}

RequestOutcome SendRead(DeviceChannel& channel, uint32_t size) {
  std::vector<uint8_t> buffer(size);
  RequestOutcome outcome;
  outcome.result = channel.Read(buffer);
  outcome.output = ReturnedBytes(std::move(buffer), outcome.result.information);
  return outcome;
}

std::vector<uint8_t> LittleEndian32(uint32_t value) {
  const std::array<uint8_t, 4> bytes = orvane::Le32Bytes(value);
  return {bytes.begin(), bytes.end()};
}

RequestResult SendControlValue(DeviceChannel& channel, uint32_t code, uint32_t value) {
  const std::vector<uint8_t> input = LittleEndian32(value);
  return channel.Control(code, input, {});
}

std::optional<uint32_t> QueryControlValue(DeviceChannel& channel, uint32_t code,
                                          RequestResult* result) {
  const RequestOutcome outcome = SendControl(channel, code, {}, 4);
  if (result != nullptr) *result = outcome.result;
  if (!outcome.result.ok || outcome.output.size() < 4) return std::nullopt;
  return orvane::Le32Value(outcome.output);
}

std::optional<uint32_t> QueryDriverStatus(DeviceChannel& channel) {
  return QueryControlValue(channel, driver::IOCTL_BULKUSB_GET_STATUS);
}

std::string FormatStatusWord(uint32_t value) {
  return (value & 0x80000000u) != 0 ? Hex32(value) : std::to_string(value);
}

void AppendLine(std::string* text, std::string_view key, std::string_view value) {
  text->append(key).append("=").append(value).append("\n");
}

void AppendResultDetails(std::string* text, const RequestResult& result) {
  AppendLine(text, "error", std::to_string(result.error));
  AppendLine(text, "status", Hex32(result.status));
  AppendLine(text, "information", std::to_string(result.information));
}

void AppendResult(std::string* text, const RequestResult& result) {
  AppendLine(text, "ok", result.ok ? "1" : "0");
  AppendResultDetails(text, result);
}

void AppendDriverStatus(std::string* text, DeviceChannel& channel) {
  if (const std::optional<uint32_t> status = QueryDriverStatus(channel)) {
    AppendLine(text, "driverstatus", FormatStatusWord(*status));
  }
}

}  // namespace velix::ctl
