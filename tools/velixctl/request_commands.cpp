#include "tools/velixctl/request_commands.h"

#include "platform/device_file.h"
#include "platform/event.h"
#include "tools/velixctl/hex.h"
#include "tools/velixctl/requests.h"

namespace velix::ctl {

bool RunIoctl(DeviceChannel& channel, const IoctlRequest& request, std::string* text) {
  // The event must outlive the request and the status query after it.
  platform::Event event;
  std::vector<uint8_t> input = request.input;
  if (request.with_event) {
    event = platform::Event::Create(platform::ResetMode::kManual);
    if (!event.Valid()) {
      AppendLine(text, "ok", "0");
      AppendLine(text, "error", std::to_string(platform::kErrorNoSystemResources));
      return false;
    }
    input = LittleEndian32(static_cast<uint32_t>(event.Fd()));
  }
  const RequestOutcome outcome = SendControl(channel, request.code, input, request.output_size);
  AppendResult(text, outcome.result);
  AppendLine(text, "out", ToHex(outcome.output));
  AppendDriverStatus(text, channel);
  return outcome.result.ok;
}

bool RunRead(DeviceChannel& channel, uint32_t size, std::string* text) {
  const RequestOutcome outcome = SendRead(channel, size);
  AppendResult(text, outcome.result);
  AppendLine(text, "out", ToHex(outcome.output));
  AppendDriverStatus(text, channel);
  return outcome.result.ok;
}

bool RunWrite(DeviceChannel& channel, const std::vector<uint8_t>& bytes, std::string* text) {
  const RequestResult result = channel.Write(bytes);
  AppendResult(text, result);
  AppendDriverStatus(text, channel);
  return result.ok;
}

}  // namespace velix::ctl
