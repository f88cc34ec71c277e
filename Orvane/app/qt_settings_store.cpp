#include "Orvane/app/qt_settings_store.h"

#include <optional>

namespace orvane {
namespace {

QString Key(const std::string& section, const std::string& key) {
  return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(key);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("TORVEL Systems"),
                QStringLiteral("Orvane")) {}

uint32_t QtSettingsStore::GetInt(const std::string& section, const std::string& key,
                                 uint32_t default_value) const {
  const QVariant value = settings_.value(Key(section, key));
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
  const QVariant value = settings_.value(Key(section, key));
  return value.isValid() ? value.toString().toStdString() : default_value;
}

bool QtSettingsStore::SetString(const std::string& section, const std::string& key,
                                const std::string& value) {
  settings_.setValue(Key(section, key), QString::fromStdString(value));
  settings_.sync();
  return settings_.status() == QSettings::NoError;
}

}  // namespace orvane
