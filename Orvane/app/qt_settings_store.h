#pragma once
// The application's settings through QSettings: the per-user INI file of
// the company "TORVEL Systems" and the application "Orvane". It is the file
// the command-line tools read through IniSettingsStore(DefaultSettingsPath(
// "Orvane")), so a value set in one is seen by the other. The framework's
// own values (recent files, window layout) live in the same file under
// groups of their own.

#include <QSettings>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/settings_store.h"

namespace orvane {

class QtSettingsStore final : public velix::platform::SettingsStore {
 public:
  uint32_t GetInt(const std::string& section, const std::string& key,
                  uint32_t default_value) const override;
  // Each Set writes the file at once, so a tool started next sees the value.
  bool SetInt(const std::string& section, const std::string& key, uint32_t value) override;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& default_value) const override;
  bool SetString(const std::string& section, const std::string& key,
                 const std::string& value) override;

  // For values only the Qt front end keeps (window geometry and state).
  std::unique_ptr<QSettings> OpenSettings() const;
  QString FileName() const;
};

}  // namespace orvane
