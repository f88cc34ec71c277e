#pragma once
// Reads velixctl's command line: global options before the command, then the
// command's positional words and "--name value" / "--name=value" / "--flag"
// options, checked against a table of what each command accepts.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velix::ctl {

inline constexpr std::string_view kDefaultDeviceName = "\\\\.\\VELIX0";

struct OptionSpec {
  std::string_view name;  // without the leading "--"
  bool takes_value;
};

struct CommandSpec {
  std::string_view name;
  size_t min_positional;
  size_t max_positional;
  std::vector<OptionSpec> options;
  // Every word after the command is passed on as typed, options included.
  bool verbatim = false;
};

struct CommandLine {
  std::string device{kDefaultDeviceName};
  const CommandSpec* command = nullptr;
  std::vector<std::string> positional;
  std::map<std::string, std::string, std::less<>> options;  // flags hold ""
  // -h/--help or --version asked for instead of a command.
  bool help = false;
  bool version = false;

  bool Has(std::string_view name) const { return options.find(name) != options.end(); }
  std::optional<std::string> Value(std::string_view name) const;
};

// False with a message in *error for an unknown command or option, a
// missing or surplus value, an option given twice or a wrong number of
// positional words. "-h" or "--help" before the command or among a
// command's words (the first word of a verbatim command), and "--version"
// before the command, end the parse with success and line->help or
// line->version set.
bool ParseCommandLine(std::span<const std::string> args, std::span<const CommandSpec> commands,
                      CommandLine* line, std::string* error);

// A whole unsigned decimal or 0x-hexadecimal number no greater than `max`.
bool ParseUnsigned(std::string_view text, uint64_t max, uint64_t* value);

}  // namespace velix::ctl
