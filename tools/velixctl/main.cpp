// velixctl: a small diagnostic client of the driver daemon.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/velixctl/command_options.h"
#include "tools/velixctl/commands.h"
#include "velix_version.h"

namespace velix::ctl {
namespace {

void PrintUsage(std::FILE* stream) {
  std::fputs(
      "usage: velixctl [--device NAME] COMMAND ...   (velixctl --help, velixctl --version)\n"
      "  list                                  the device name and the device interfaces\n"
      "  ioctl CODE [--in HEX] [--out N] [--event]\n"
      "                                        one control request (CODE: number or name)\n"
      "  read N                                read N bytes\n"
      "  write HEX                             write the bytes\n"
      "  stream --bytes N [--buffer MB] [--length BYTES] [--start HEX] [--stop HEX]\n"
      "         [--timeout MS] [--save FILE]   stream in the driver's client order\n"
      "  sim COMMAND [ARGS...]                 a command to the daemon's simulated device\n",
      stream);
}

}  // namespace

int UsageError(const std::string& message) {
  std::fprintf(stderr, "velixctl: %s\n", message.c_str());
  PrintUsage(stderr);
  return kExitUsage;
}

}  // namespace velix::ctl

int main(int argc, char** argv) {
  using namespace velix::ctl;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "help") {
    PrintUsage(stdout);
    return kExitOk;
  }
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(args, VelixctlCommands(), &line, &error)) return UsageError(error);
  if (line.help) {
    PrintUsage(stdout);
    return kExitOk;
  }
  if (line.version) {
    std::printf("velixctl %s\n", velix::kVelixVersion);
    return kExitOk;
  }

  const std::string_view command = line.command->name;
  if (command == "list") return RunList(line);
  if (command == "ioctl") return RunIoctlCommand(line);
  if (command == "read") return RunReadCommand(line);
  if (command == "write") return RunWriteCommand(line);
  if (command == "stream") return RunStreamCommand(line);
  return RunSimCommand(line);
}
