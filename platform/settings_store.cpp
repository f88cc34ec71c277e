#include "platform/settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace velix::platform {
namespace {

constexpr char kWhitespace[] = " \t\r\n\f\v";
constexpr char kCompany[] = "TORVEL Systems";

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(kWhitespace);
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(kWhitespace);
  return text.substr(first, last - first + 1);
}

bool IsComment(const std::string& line) { return line[0] == ';' || line[0] == '#'; }

// What the file format can carry back unchanged: one line, no surrounding
// blanks (they are trimmed on reading).
bool SurvivesRoundTrip(const std::string& text) {
  return text.find_first_of("\r\n") == std::string::npos && Trim(text) == text;
}

// Section and key names also must not be mistaken for the syntax around them.
bool IsStorableName(const std::string& name, const char* forbidden) {
  return SurvivesRoundTrip(name) && name.find_first_of(forbidden) == std::string::npos;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return home;
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    return found->pw_dir;
  }
  return ".";
}

// Writes `content` to `path` through a temporary sibling and a rename, so a
// reader never sees a half-written file and a crash leaves the old one.
bool ReplaceFileAtomically(const std::string& path, const std::string& content) {
  std::error_code ignored;
  const std::filesystem::path target(path);
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ignored);
  std::string temp_name = path + ".XXXXXX";
  const int fd = mkostemp(temp_name.data(), O_CLOEXEC);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t written = write(fd, content.data() + done, content.size() - done);
    if (written > 0) {
      done += static_cast<size_t>(written);
    } else if (written == 0 || errno != EINTR) {
      break;
    }
  }
  const bool complete = done == content.size() && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (complete && closed && rename(temp_name.c_str(), path.c_str()) == 0) return true;
  const int error = errno;
  unlink(temp_name.c_str());
  errno = error;
  return false;
}

}  // namespace

std::optional<uint32_t> ParseSettingNumber(const std::string& text) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 0);
  if (errno != 0 || end == text.c_str() || *end != '\0' || value > UINT32_MAX) {
    return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

IniSettingsStore::IniSettingsStore(std::string path) : path_(std::move(path)) {
  std::ifstream file(path_);
  std::string section;
  std::string raw;
  while (std::getline(file, raw)) {
    const std::string line = Trim(raw);
    if (line.empty() || IsComment(line)) continue;
    if (line.front() == '[' && line.back() == ']') {
      section = Trim(line.substr(1, line.size() - 2));
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = Trim(line.substr(0, equals));
    if (!key.empty()) values_[section][key] = Trim(line.substr(equals + 1));
  }
}

uint32_t IniSettingsStore::GetInt(const std::string& section, const std::string& key,
                                  uint32_t default_value) const {
  const std::optional<uint32_t> value = ParseSettingNumber(GetString(section, key, {}));
  return value.value_or(default_value);
}

bool IniSettingsStore::SetInt(const std::string& section, const std::string& key, uint32_t value) {
  return SetString(section, key, std::to_string(value));
}

std::string IniSettingsStore::GetString(const std::string& section, const std::string& key,
                                        const std::string& default_value) const {
  const auto in_section = values_.find(section);
  if (in_section == values_.end()) return default_value;
  const auto entry = in_section->second.find(key);
  return entry == in_section->second.end() ? default_value : entry->second;
}

bool IniSettingsStore::SetString(const std::string& section, const std::string& key,
                                 const std::string& value) {
  if (!IsStorableName(section, "[]") || key.empty() || !IsStorableName(key, "=[;#") ||
      !SurvivesRoundTrip(value)) {
    errno = EINVAL;
    return false;
  }
  // Keep memory and file in step: a value that could not be saved is undone.
  auto& entries = values_[section];
  const auto previous = entries.find(key);
  const std::optional<std::string> old_value =
      previous == entries.end() ? std::nullopt : std::optional(previous->second);
  entries[key] = value;
  if (Save()) return true;
  const int error = errno;
  if (old_value) {
    entries[key] = *old_value;
  } else {
    entries.erase(key);
    if (entries.empty()) values_.erase(section);
  }
  errno = error;
  return false;
}

bool IniSettingsStore::Save() const {
  std::string content;
  for (const auto& [section, entries] : values_) {
    if (!content.empty()) content += '\n';
    content += '[' + section + "]\n";
    for (const auto& [key, value] : entries) content += key + '=' + value + '\n';
  }
  return ReplaceFileAtomically(path_, content);
}

std::string DefaultSettingsPath(const std::string& application) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  // Relative values are invalid for XDG_CONFIG_HOME and must be ignored.
  const std::string base =
      config != nullptr && config[0] == '/' ? std::string(config) : HomeFolder() + "/.config";
  return base + '/' + kCompany + '/' + application + ".ini";
}

}  // namespace velix::platform
