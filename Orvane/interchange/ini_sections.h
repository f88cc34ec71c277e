#pragma once
// INI-like text split into sections of keys: lines are `[name]`,
// `key=value` (spaces around key and value dropped), empty, or comments
// starting with '#' or ';'. A section named twice, a key given twice in one
// section, a key before the first section and any other line are refused,
// so no reader has to guess which of two values was meant.

#include <string>
#include <string_view>
#include <vector>

namespace velix::interchange {

struct IniEntry {
  std::string key;
  std::string value;
};

struct IniSection {
  std::string name;
  std::vector<IniEntry> entries;
};

bool ParseIniSections(std::string_view text, std::vector<IniSection>* sections, std::string* error);

// The value of `key` in the section, or null.
const std::string* FindIniValue(const IniSection& section, std::string_view key);

}  // namespace velix::interchange
