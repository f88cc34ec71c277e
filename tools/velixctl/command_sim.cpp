// velixctl sim: a command for the daemon's simulated device, through the
// daemon's control socket.

#include <cstdio>
#include <string>

#include "platform/device_names.h"
#include "platform/runtime_folder.h"
#include "tools/velixctl/commands.h"
#include "tools/velixctl/control_socket.h"

namespace velix::ctl {

int RunSimCommand(const CommandLine& line) {
  std::string words;
  for (const std::string& word : line.positional) {
    if (!words.empty()) words.push_back(' ');
    words += word;
  }
  // One command is one line; a newline inside a word would smuggle in a
  // second one.
  if (words.find_first_of("\r\n") != std::string::npos) {
    return UsageError("sim: a command word cannot contain a line break");
  }
  const std::string folder = platform::DeviceRuntimeFolder();
  std::string untrusted;
  if (!platform::CheckRuntimeFolder(folder, platform::FolderUse::kConnect, &untrusted)) {
    std::printf("ok=0\nerror=%s\n", untrusted.c_str());
    return kExitNoDevice;
  }
  const std::string path = folder + "/" + std::string(platform::kControlSocketName);
  std::string reply;
  switch (ExchangeControlLine(path, words, &reply)) {
    case ControlExchange::kReplied:
      std::fwrite(reply.data(), 1, reply.size(), stdout);
      return ReplyIsOk(reply) ? kExitOk : kExitFailed;
    case ControlExchange::kNoSocket:
      std::printf("ok=0\nerror=no daemon control socket at %s\n", path.c_str());
      return kExitNoDevice;
    case ControlExchange::kConnectFailed:
      std::printf("ok=0\nerror=cannot connect to %s: %s\n", path.c_str(), reply.c_str());
      return kExitNoDevice;
    case ControlExchange::kBroken:
      std::printf("ok=0\nerror=%s\n", reply.c_str());
      return kExitFailed;
  }
  return kExitFailed;
}

}  // namespace velix::ctl
