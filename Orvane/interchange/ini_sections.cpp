#include "Orvane/interchange/ini_sections.h"

#include "Orvane/interchange/quoted_text.h"

namespace velix::interchange {

namespace {

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool HasSection(const std::vector<IniSection>& sections, std::string_view name) {
  for (const IniSection& section : sections) {
    if (section.name == name) return true;
  }
  return false;
}

}  // namespace

const std::string* FindIniValue(const IniSection& section, std::string_view key) {
  for (const IniEntry& entry : section.entries) {
    if (entry.key == key) return &entry.value;
  }
  return nullptr;
}

bool ParseIniSections(std::string_view text, std::vector<IniSection>* sections, std::string* error) {
  sections->clear();
  size_t line_number = 0;
  while (!text.empty()) {
    ++line_number;
    const size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::string where = "line " + std::to_string(line_number);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3) {
        *error = where + ": " + QuotedText(line) + " is not a section name";
        return false;
      }
      const std::string_view name = line.substr(1, line.size() - 2);
      if (HasSection(*sections, name)) {
        *error = where + ": section " + QuotedText(name) + " appears twice";
        return false;
      }
      sections->push_back(IniSection{std::string(name), {}});
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      *error = where + ": " + QuotedText(line) + " is neither a section nor a key";
      return false;
    }
    const std::string_view key = Trimmed(line.substr(0, equals));
    if (sections->empty()) {
      *error = where + ": key " + QuotedText(key) + " comes before any section";
      return false;
    }
    IniSection& section = sections->back();
    if (FindIniValue(section, key) != nullptr) {
      *error = where + ": key " + QuotedText(key) + " given twice in section " + QuotedText(section.name);
      return false;
    }
    section.entries.push_back(IniEntry{std::string(key), std::string(Trimmed(line.substr(equals + 1)))});
  }
  return true;
}

}  // namespace velix::interchange
