#pragma once
// The application's persistent tuning values ("Setting" section and the
// like). The Qt front end backs this with QSettings; the core and the
// command-line tools use the INI-file store below.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace velix::platform {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual uint32_t GetInt(const std::string& section, const std::string& key,
                          uint32_t default_value) const = 0;
  virtual bool SetInt(const std::string& section, const std::string& key, uint32_t value) = 0;
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& default_value) const = 0;
  virtual bool SetString(const std::string& section, const std::string& key,
                         const std::string& value) = 0;
};

// An INI file: "[Section]" lines and "key=value" lines. Values are read on
// construction and the file is rewritten on every Set. A missing file reads
// as empty. Numbers accept C prefixes (0x…); an unparsable number reads as
// the default.
class IniSettingsStore final : public SettingsStore {
 public:
  explicit IniSettingsStore(std::string path);
  uint32_t GetInt(const std::string& section, const std::string& key,
                  uint32_t default_value) const override;
  bool SetInt(const std::string& section, const std::string& key, uint32_t value) override;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& default_value) const override;
  bool SetString(const std::string& section, const std::string& key,
                 const std::string& value) override;

 private:
  bool Save() const;
  std::string path_;
  std::map<std::string, std::map<std::string, std::string>> values_;
};

// A stored number as both settings stores read it: C-style unsigned (0x…
// hexadecimal, leading 0 octal), the whole text being the number; empty
// when it is not one.
std::optional<uint32_t> ParseSettingNumber(const std::string& text);

// The default INI location: $XDG_CONFIG_HOME/TORVEL Systems/<app>.ini
// (else ~/.config/...).
std::string DefaultSettingsPath(const std::string& application);

}  // namespace velix::platform
