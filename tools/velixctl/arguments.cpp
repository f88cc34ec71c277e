#include "tools/velixctl/arguments.h"

namespace velix::ctl {
namespace {

constexpr OptionSpec kDeviceOption{"device", true};

bool IsOptionWord(std::string_view word) { return word.size() > 2 && word.substr(0, 2) == "--"; }

bool IsHelpWord(std::string_view word) { return word == "-h" || word == "--help"; }

const OptionSpec* FindOption(std::span<const OptionSpec> specs, std::string_view name) {
  for (const OptionSpec& spec : specs) {
    if (spec.name == name) return &spec;
  }
  return nullptr;
}

// Takes the option at args[*index] (and its value) into *line.
bool TakeOption(std::span<const std::string> args, size_t* index, std::span<const OptionSpec> specs,
                CommandLine* line, std::string* error) {
  std::string name = args[*index].substr(2);
  std::optional<std::string> value;
  if (const size_t equals = name.find('='); equals != std::string::npos) {
    value = name.substr(equals + 1);
    name.resize(equals);
  }
  const OptionSpec* spec = name == kDeviceOption.name ? &kDeviceOption : FindOption(specs, name);
  if (spec == nullptr) {
    *error = "unknown option --" + name;
    return false;
  }
  if (!spec->takes_value && value) {
    *error = "option --" + name + " takes no value";
    return false;
  }
  if (spec->takes_value && !value) {
    if (*index + 1 >= args.size() || IsOptionWord(args[*index + 1])) {
      *error = "option --" + name + " needs a value";
      return false;
    }
    value = args[++*index];
  }
  if (spec == &kDeviceOption) {
    line->device = *value;
    return true;
  }
  if (!line->options.emplace(name, value.value_or("")).second) {
    *error = "option --" + name + " given twice";
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> CommandLine::Value(std::string_view name) const {
  const auto found = options.find(name);
  if (found == options.end()) return std::nullopt;
  return found->second;
}

bool ParseCommandLine(std::span<const std::string> args, std::span<const CommandSpec> commands,
                      CommandLine* line, std::string* error) {
  size_t index = 0;
  for (; index < args.size() && (IsOptionWord(args[index]) || IsHelpWord(args[index])); ++index) {
    if (IsHelpWord(args[index]) || args[index] == "--version") {
      (IsHelpWord(args[index]) ? line->help : line->version) = true;
      return true;
    }
    if (!TakeOption(args, &index, {}, line, error)) return false;
  }
  if (index >= args.size()) {
    *error = "no command given";
    return false;
  }
  for (const CommandSpec& spec : commands) {
    if (spec.name == args[index]) line->command = &spec;
  }
  if (line->command == nullptr) {
    *error = "unknown command '" + args[index] + "'";
    return false;
  }
  const CommandSpec& command = *line->command;
  for (++index; index < args.size(); ++index) {
    if (IsHelpWord(args[index]) && (!command.verbatim || line->positional.empty())) {
      line->help = true;
      return true;
    }
    if (command.verbatim || !IsOptionWord(args[index])) {
      line->positional.push_back(args[index]);
    } else if (!TakeOption(args, &index, command.options, line, error)) {
      return false;
    }
  }
  if (line->positional.size() < command.min_positional ||
      line->positional.size() > command.max_positional) {
    *error = "wrong number of arguments for '" + std::string(command.name) + "'";
    return false;
  }
  return true;
}

bool ParseUnsigned(std::string_view text, uint64_t max, uint64_t* value) {
  uint64_t base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  uint64_t result = 0;
  for (const char c : text) {
    uint64_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint64_t>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<uint64_t>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<uint64_t>(c - 'A' + 10);
    } else {
      return false;
    }
    if (digit > max || result > (max - digit) / base) return false;
    result = result * base + digit;
  }
  *value = result;
  return true;
}

}  // namespace velix::ctl
