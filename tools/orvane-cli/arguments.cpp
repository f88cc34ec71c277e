#include "tools/orvane-cli/arguments.h"

#include <cerrno>
#include <cstdlib>

namespace orvane::cli {

bool Arguments::Parse(int argc, char** argv, int first, const std::vector<OptionSpec>& specs,
                      std::string* error) {
  for (int i = first; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      help_ = true;
      return true;
    }
    // "--name", or "-x" for a one-letter option; "-" alone is a value.
    const bool long_option = arg.size() >= 3 && arg.compare(0, 2, "--") == 0;
    const bool short_option = arg.size() == 2 && arg[0] == '-' && arg[1] != '-';
    if (!long_option && !short_option) {
      positional_.push_back(arg);
      continue;
    }
    std::string name = arg.substr(long_option ? 2 : 1);
    std::optional<std::string> inline_value;
    if (const size_t eq = name.find('='); eq != std::string::npos) {
      inline_value = name.substr(eq + 1);
      name.resize(eq);
    }
    const OptionSpec* spec = nullptr;
    for (const OptionSpec& s : specs) {
      if (name == s.name) spec = &s;
    }
    if (spec == nullptr) {
      *error = "unknown option --" + name;
      return false;
    }
    if (!spec->repeatable && values_.count(name) != 0) {
      *error = "option --" + name + " given twice";
      return false;
    }
    if (!spec->takes_value) {
      if (inline_value) {
        *error = "option --" + name + " takes no value";
        return false;
      }
      values_.emplace(name, "");
      continue;
    }
    if (inline_value) {
      values_.emplace(name, *inline_value);
    } else if (i + 1 < argc) {
      values_.emplace(name, argv[++i]);
    } else {
      *error = "option --" + name + " needs a value";
      return false;
    }
  }
  return true;
}

bool Arguments::CheckPositional(size_t min, size_t max, const std::string& expected,
                                std::string* error) const {
  if (positional_.size() < min) {
    *error = "missing " + expected;
    return false;
  }
  if (positional_.size() > max) {
    *error = "unexpected argument '" + positional_[max] + "'";
    return false;
  }
  return true;
}

std::optional<std::string> Arguments::Value(const std::string& name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> Arguments::Values(const std::string& name) const {
  std::vector<std::string> result;
  const auto range = values_.equal_range(name);
  for (auto it = range.first; it != range.second; ++it) result.push_back(it->second);
  return result;
}

bool ParseUnsigned(const std::string& text, uint32_t* value) {
  if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text.c_str(), &end, 0);
  if (errno != 0 || end == text.c_str() || *end != '\0' || parsed > 0xFFFFFFFFull) return false;
  *value = static_cast<uint32_t>(parsed);
  return true;
}

}  // namespace orvane::cli
