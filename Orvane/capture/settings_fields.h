#pragma once
// A table of the named fields of the settings record (offset, width, kind),
// so that tools can list and set fields by name without a switch per field.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "Orvane/capture/settings_record.h"

namespace orvane {

enum class FieldKind { kU8, kU16, kU32, kBytes };

struct SettingsField {
  const char* name;
  size_t offset;
  size_t width;  // bytes
  FieldKind kind;
};

std::span<const SettingsField> SettingsFields();
const SettingsField* FindSettingsField(std::string_view name);

// The value as text: numbers in decimal, byte arrays as two-digit upper-case
// hexadecimal bytes separated by single spaces.
std::string FormatSettingsField(const SettingsRecord& record, const SettingsField& field);

// Numeric fields only: reads and writes the value, little-endian.
uint32_t GetSettingsNumber(const SettingsRecord& record, const SettingsField& field);
void SetSettingsNumber(SettingsRecord& record, const SettingsField& field, uint32_t value);

}  // namespace orvane
