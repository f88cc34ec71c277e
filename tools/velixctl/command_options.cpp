#include "tools/velixctl/command_options.h"

#include <optional>

#include "velix/device_interface.h"
#include "tools/velixctl/control_codes.h"
#include "tools/velixctl/hex.h"
#include "tools/velixctl/requests.h"

namespace velix::ctl {
namespace {

const std::vector<CommandSpec> kCommands{
    {"list", 0, 0, {}},
    {"ioctl", 1, 1, {{"in", true}, {"out", true}, {"event", false}}},
    {"read", 1, 1, {}},
    {"write", 1, 1, {}},
    {"stream",
     0,
     0,
     {{"bytes", true},
      {"buffer", true},
      {"length", true},
      {"start", true},
      {"stop", true},
      {"timeout", true},
      {"save", true}}},
    {"sim", 1, SIZE_MAX, {}, true},
};

// An optional number option; *value keeps its default when absent.
template <typename T>
bool NumberOption(const CommandLine& line, std::string_view name, uint64_t max, T* value,
                  std::string* error) {
  const std::optional<std::string> text = line.Value(name);
  if (!text) return true;
  uint64_t number = 0;
  if (!ParseUnsigned(*text, max, &number)) {
    *error = "--" + std::string(name) + ": not a number from 0 to " + std::to_string(max);
    return false;
  }
  *value = static_cast<T>(number);
  return true;
}

bool HexOption(const CommandLine& line, std::string_view name, std::vector<uint8_t>* bytes,
               std::string* error) {
  const std::optional<std::string> text = line.Value(name);
  if (text && !ParseHex(*text, bytes)) {
    *error = "--" + std::string(name) + ": not hexadecimal bytes";
    return false;
  }
  return true;
}

}  // namespace

std::span<const CommandSpec> VelixctlCommands() { return kCommands; }

bool ParseIoctlArguments(const CommandLine& line, IoctlRequest* request, std::string* error) {
  const std::optional<uint32_t> code = ParseControlCode(line.positional.at(0));
  if (!code) {
    *error = "unknown control code '" + line.positional[0] + "'";
    return false;
  }
  // Its record carries the address of a buffer in the caller's memory, which
  // a typed byte string cannot supply safely.
  if (*code == driver::IOCTL_BULKUSB_VENDOR_REQUEST) {
    *error = "VENDOR_REQUEST carries a buffer address and cannot be sent with ioctl";
    return false;
  }
  request->code = *code;
  request->with_event = line.Has("event");
  return HexOption(line, "in", &request->input, error) &&
         NumberOption(line, "out", kMaxRequestBytes, &request->output_size, error);
}

bool ParseReadArguments(const CommandLine& line, uint32_t* size, std::string* error) {
  uint64_t number = 0;
  if (!ParseUnsigned(line.positional.at(0), kMaxRequestBytes, &number)) {
    *error = "read: not a byte count from 0 to " + std::to_string(kMaxRequestBytes);
    return false;
  }
  *size = static_cast<uint32_t>(number);
  return true;
}

bool ParseWriteArguments(const CommandLine& line, std::vector<uint8_t>* bytes, std::string* error) {
  if (!ParseHex(line.positional.at(0), bytes)) {
    *error = "write: not hexadecimal bytes";
    return false;
  }
  return true;
}

bool ParseStreamArguments(const CommandLine& line, StreamOptions* options, std::string* error) {
  if (!line.Has("bytes")) {
    *error = "stream: --bytes is required";
    return false;
  }
  return NumberOption(line, "bytes", UINT64_MAX, &options->bytes, error) &&
         NumberOption(line, "buffer", UINT8_MAX, &options->buffer_megabytes, error) &&
         NumberOption(line, "length", UINT32_MAX, &options->transfer_length, error) &&
         NumberOption(line, "timeout", UINT32_MAX, &options->timeout_ms, error) &&
         HexOption(line, "start", &options->start_packet, error) &&
         HexOption(line, "stop", &options->stop_packet, error);
}

}  // namespace velix::ctl
