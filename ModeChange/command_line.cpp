#include "ModeChange/command_line.h"

#include <string_view>

namespace velix::modechange {
namespace {

constexpr std::string_view kImageDirOption = "--image-dir";

}  // namespace

const char kModeChangeUsage[] =
    "usage: VELIXModeChange [-d] [--image-dir DIR]\n"
    "Switches the VELIX between its bus analyzer and monitor personalities by\n"
    "writing the other CPLD image through the device's firmware update mode.\n"
    "\n"
    "Options:\n"
    "  -d, -D             repair mode: only watch for a controller without firmware\n"
    "                     (the character after the first '-' of the arguments decides)\n"
    "  --image-dir DIR    look for the CPLD image files in DIR instead of the\n"
    "                     executable's folder\n"
    "  -h, --help         print this help\n"
    "  --version          print the version\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are accepted too.\n";

TerminalRequest FindTerminalRequest(const std::vector<std::string>& arguments) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--") break;
    if (argument == kImageDirOption) {
      ++i;
    } else if (argument == "-h" || argument == "--help") {
      return TerminalRequest::kHelp;
    } else if (argument == "--version") {
      return TerminalRequest::kVersion;
    }
  }
  return TerminalRequest::kNone;
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine parsed;
  std::string rest;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == kImageDirOption) {
      if (i + 1 < arguments.size()) parsed.image_dir = arguments[++i];
      continue;
    }
    if (argument.starts_with(std::string(kImageDirOption) + "=")) {
      parsed.image_dir = argument.substr(kImageDirOption.size() + 1);
      continue;
    }
    if (!rest.empty()) rest += ' ';
    rest += argument;
  }
  const size_t dash = rest.find('-');
  parsed.repair = dash != std::string::npos && dash + 1 < rest.size() &&
                  (rest[dash + 1] == 'd' || rest[dash + 1] == 'D');
  return parsed;
}

}  // namespace velix::modechange
