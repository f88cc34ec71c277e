#include "Orvane/app/qt_settings_store.h"

#include <optional>

namespace orvane {
namespace {

QString Key(const std::string& section, const std::string& key) {
  return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

}  // namespace

// A QSettings object per call: its status then tells about this call
// alone (a failed write would otherwise stay on record), and objects on
// one file share what they read within the process anyway.
std::unique_ptr<QSettings> QtSettingsStore::OpenSettings() const {
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("TORVEL Systems"),
                                     QStringLiteral("Orvane"));
}

QString QtSettingsStore::FileName() const { return OpenSettings()->fileName(); }

uint32_t QtSettingsStore::GetInt(const std::string& section, const std::string& key,
                                 uint32_t default_value) const {
  const QVariant value = OpenSettings()->value(Key(section, key));
  if (!value.isValid()) return default_value;
  // Numbers are read as the tools read them, prefixes and all.
  const std::optional<uint32_t> number =
      velix::platform::ParseSettingNumber(value.toString().trimmed().toStdString());
  return number.value_or(default_value);
}

bool QtSettingsStore::SetInt(const std::string& section, const std::string& key, uint32_t value) {
  return SetString(section, key, std::to_string(value));
}

std::string QtSettingsStore::GetString(const std::string& section, const std::string& key,
                                       const std::string& default_value) const {
  const QVariant value = OpenSettings()->value(Key(section, key));
  return value.isValid() ? value.toString().toStdString() : default_value;
}

bool QtSettingsStore::SetString(const std::string& section, const std::string& key,
                                const std::string& value) {
  const std::unique_ptr<QSettings> settings = OpenSettings();
  settings->setValue(Key(section, key), QString::fromStdString(value));
  settings->sync();
  return settings->status() == QSettings::NoError;
}

}  // namespace orvane
