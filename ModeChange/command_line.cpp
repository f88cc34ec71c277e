#include "ModeChange/command_line.h"

#include <string_view>

namespace velix::modechange {
namespace {

constexpr std::string_view kImageDirOption = "--image-dir";

}  // namespace

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
