#pragma once
// A driver INF file read as the INI file it is: [sections] of "key = value"
// lines, ';' comments, quoted values and %token% substitutions from the
// [Strings] section. ASCII, UTF-8 and UTF-16LE (with its byte-order mark)
// files are read; section and key names are not case-sensitive.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velix::firmup {

class InfFile {
 public:
  // False when the file cannot be read or is larger than an INF can be.
  bool Load(const std::string& path);

  // The value with its quotes removed and its %tokens% substituted; empty
  // when the section or key is missing.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  // Whether any line names `text` (ignoring case), as a models section
  // names the hardware IDs the INF installs for.
  bool Mentions(std::string_view text) const;

 private:
  struct Entry {
    std::string section;  // lower case
    std::string key;      // lower case; empty for a line without '='
    std::string value;    // as written, quotes included
  };
  std::string Expanded(std::string_view value) const;

  std::vector<Entry> entries_;
};

// The setup class of the INF ([Version] Class); empty when the file cannot
// be read, names no class, or the class does not fit a buffer of
// `buffer_chars` characters with its terminator.
std::string ReadInfClass(const std::string& path, size_t buffer_chars);

}  // namespace velix::firmup
