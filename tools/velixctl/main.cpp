// velixctl: a small diagnostic client of the driver daemon.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/velixctl/command_options.h"
#include "tools/velixctl/commands.h"
#include "tools/velixctl/control_codes.h"
#include "platform/standard_output.h"
#include "velix_version.h"

namespace velix::ctl {
namespace {

// The names of the driver's table, wrapped like the rest of the help.
void PrintControlCodeNames(std::FILE* stream) {
  constexpr size_t kWidth = 78;
  std::string line = " ";
  for (const std::string_view name : ControlCodeNames()) {
    if (line.size() + 1 + name.size() > kWidth) {
      std::fprintf(stream, "%s\n", line.c_str());
      line = " ";
    }
    line += ' ';
    line += name;
  }
  std::fprintf(stream, "%s\n", line.c_str());
}

void PrintUsage(std::FILE* stream) {
  std::fputs(
      "usage: velixctl [--device NAME] COMMAND ...   (velixctl --help, velixctl --version)\n"
      "\n"
      "Commands:\n"
      "  list                                  the device name and the device interfaces\n"
      "  ioctl CODE [--in HEX] [--out N] [--event]\n"
      "                                        one control request (CODE: number or name)\n"
      "  read N                                read N bytes\n"
      "  write HEX                             write the bytes\n"
      "  stream --bytes N [OPTIONS]            stream in the driver's client order\n"
      "  sim COMMAND [ARGS...]                 a command to the daemon's simulated device\n"
      "\n"
      "Options:\n"
      "  --device NAME    the device to open (default \\\\.\\VELIX0)\n"
      "  --in HEX         ioctl: the input bytes\n"
      "  --out N          ioctl: the size of the output buffer (default 0)\n"
      "  --event          ioctl: a new event's descriptor as the input\n"
      "  --bytes N        stream: read at least N bytes\n"
      "  --buffer MB      stream: the driver's buffer (default 16)\n"
      "  --length BYTES   stream: one transfer's length (default 131072)\n"
      "  --start HEX      stream: the packet written after the start\n"
      "  --stop HEX       stream: the packet written before the stop\n"
      "  --timeout MS     stream: stop waiting after MS milliseconds (default 10000)\n"
      "  --save FILE      stream: write every byte read to FILE\n"
      "  -h, --help       print this help\n"
      "  --version        print the version\n"
      "\n"
      "Simulated device commands (sim):\n"
      "  status | plug [operation|update|fx2|loader] | unplug |\n"
      "  fault overrun|stall|xact-error|unplug [AT_BYTE] | reply-delay MS |\n"
      "  speed high|full | rate BYTES_PER_SECOND | chunk BYTES | image analyzer|monitor |\n"
      "  scenario PATH | sic PATH | sent | checksum OFFSET LENGTH | received\n"
      "\n"
      "Control code names (ioctl CODE, in any case):\n",
      stream);
  PrintControlCodeNames(stream);
}

}  // namespace

int UsageError(const std::string& message) {
  std::fprintf(stderr, "velixctl: %s\n", message.c_str());
  PrintUsage(stderr);
  return kExitUsage;
}

}  // namespace velix::ctl

namespace {

int RunVelixctl(const std::vector<std::string>& args) {
  using namespace velix::ctl;
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
}  // namespace

int main(int argc, char** argv) {
  const int status = RunVelixctl(std::vector<std::string>(argv + 1, argv + argc));
  return velix::platform::FinishStandardOutput("velixctl", status, velix::ctl::kExitFailed);
}
