#pragma once
// A small command-line reader: positional arguments and "--name value" /
// "--flag" options, checked against what a command accepts.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orvane::cli {

struct OptionSpec {
  const char* name;   // without the leading "--"
  bool takes_value;
  bool repeatable = false;
};

class Arguments {
 public:
  // Parses argv[first..]; false with a message in *error on an unknown
  // option or a missing value. "-h" or "--help" anywhere ends the parse
  // with success and HelpRequested(): the user wants the usage, not a run.
  bool Parse(int argc, char** argv, int first, const std::vector<OptionSpec>& specs,
             std::string* error);

  bool HelpRequested() const { return help_; }
  // Checks the count of positional arguments: false with a message that
  // names what is missing (`expected`) or the first surplus argument.
  bool CheckPositional(size_t min, size_t max, const std::string& expected,
                       std::string* error) const;

  const std::vector<std::string>& Positional() const { return positional_; }
  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  std::optional<std::string> Value(const std::string& name) const;
  std::vector<std::string> Values(const std::string& name) const;

 private:
  std::vector<std::string> positional_;
  std::multimap<std::string, std::string> values_;
  bool help_ = false;
};

// Parses a whole unsigned decimal or 0x-hexadecimal number; false when the
// text is not one or does not fit 32 bits.
bool ParseUnsigned(const std::string& text, uint32_t* value);

}  // namespace orvane::cli
