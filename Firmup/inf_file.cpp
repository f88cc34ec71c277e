#include "Firmup/inf_file.h"

#include <fstream>
#include <iterator>

namespace velix::firmup {
namespace {

constexpr size_t kMaxInfBytes = 4u << 20;

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// UTF-16LE text keeps its ASCII characters; others cannot be part of a
// class name or hardware ID and read as '?'.
std::string Decoded(const std::string& bytes) {
  if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE) {
    std::string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const auto low = static_cast<uint8_t>(bytes[i]);
      const auto high = static_cast<uint8_t>(bytes[i + 1]);
      text += (high == 0 && low < 0x80) ? static_cast<char>(low) : '?';
    }
    return text;
  }
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return bytes.substr(3);
  return bytes;
}

// Cuts a ';' comment that is not inside quotes.
std::string_view WithoutComment(std::string_view line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ';' && !quoted) return line.substr(0, i);
  }
  return line;
}

std::string Unquoted(std::string_view value) {
  value = Trimmed(value);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return std::string(value);
}

}  // namespace

bool InfFile::Load(const std::string& path) {
  entries_.clear();
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::string bytes;
  char chunk[4096];
  while (file.read(chunk, sizeof(chunk)) || file.gcount() > 0) {
    bytes.append(chunk, static_cast<size_t>(file.gcount()));
    if (bytes.size() > kMaxInfBytes) return false;
  }
  const std::string text = Decoded(bytes);
  std::string section;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = Trimmed(WithoutComment(std::string_view(text).substr(start, end - start)));
    start = end + 1;
    if (line.empty()) continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      section = Lowered(Trimmed(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1)));
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      entries_.push_back({section, std::string(), std::string(line)});
    } else {
      entries_.push_back(
          {section, Lowered(Unquoted(line.substr(0, equals))), std::string(Trimmed(line.substr(equals + 1)))});
    }
  }
  return true;
}

std::string InfFile::Expanded(std::string_view value) const {
  const std::string unquoted = Unquoted(value);
  std::string out;
  size_t at = 0;
  while (at < unquoted.size()) {
    const size_t open = unquoted.find('%', at);
    const size_t close = open == std::string::npos ? std::string::npos : unquoted.find('%', open + 1);
    if (close == std::string::npos) {
      out += unquoted.substr(at);
      break;
    }
    out += unquoted.substr(at, open - at);
    const std::string token = unquoted.substr(open + 1, close - open - 1);
    if (token.empty()) {
      out += '%';  // "%%" is a literal percent sign
    } else {
      // Substitutions are not expanded again, so a token cannot recurse.
      std::string replacement = "%" + token + "%";
      for (const Entry& entry : entries_) {
        if (entry.section == "strings" && entry.key == Lowered(token)) replacement = Unquoted(entry.value);
      }
      out += replacement;
    }
    at = close + 1;
  }
  return out;
}

std::optional<std::string> InfFile::Value(std::string_view section, std::string_view key) const {
  const std::string wanted_section = Lowered(section);
  const std::string wanted_key = Lowered(key);
  for (const Entry& entry : entries_) {
    if (entry.section == wanted_section && entry.key == wanted_key) return Expanded(entry.value);
  }
  return std::nullopt;
}

bool InfFile::Mentions(std::string_view text) const {
  const std::string wanted = Lowered(text);
  for (const Entry& entry : entries_) {
    if (entry.key.find(wanted) != std::string::npos ||
        Lowered(Expanded(entry.value)).find(wanted) != std::string::npos) {
      return true;
    }
  }
  return false;
}

std::string ReadInfClass(const std::string& path, size_t buffer_chars) {
  InfFile inf;
  if (!inf.Load(path)) return {};
  const std::optional<std::string> name = inf.Value("Version", "Class");
  if (!name || name->size() + 1 > buffer_chars) return {};
  return *name;
}

}  // namespace velix::firmup
