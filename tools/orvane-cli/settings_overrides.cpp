#include "tools/orvane-cli/settings_overrides.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Orvane/capture/settings_fields.h"
#include "Orvane/decode/dialog_values.h"
#include "tools/orvane-cli/arguments.h"

namespace orvane::cli {
namespace {

// True when the text is a number that really is all ones (0xFFFFFFFF), not
// one the dialog rule turned into all ones.
bool SpellsAllOnes(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  const size_t last = text.find_last_not_of(" \t");
  uint32_t value = 0;
  return first != std::string::npos && ParseUnsigned(text.substr(first, last - first + 1), &value) &&
         value == kUnparsableNumber;
}

}  // namespace

bool ApplySettingOverride(const std::string& assignment, SettingsRecord* settings,
                          std::string* error, std::string* warning) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos || eq == 0) {
    *error = "--set needs FIELD=VALUE, got '" + assignment + "'";
    return false;
  }
  const std::string name = assignment.substr(0, eq);
  const std::string value = assignment.substr(eq + 1);
  const SettingsField* field = FindSettingsField(name);
  if (field == nullptr) {
    *error = "--set: no settings field named '" + name + "'";
    return false;
  }
  if (field->kind == FieldKind::kBytes) {
    const std::vector<uint8_t> bytes = ParseHexBytes(value, field->width);
    auto* raw = reinterpret_cast<uint8_t*>(settings);
    std::fill_n(raw + field->offset, field->width, uint8_t{0});
    std::copy(bytes.begin(), bytes.end(), raw + field->offset);
    return true;
  }
  const uint32_t number = ParseDialogNumber(value);
  // The dialogs read a bad entry as all ones; a command line can say no
  // instead of running with a value nobody meant.
  if (number == kUnparsableNumber && !SpellsAllOnes(value)) {
    *error = "--set " + name + ": '" + value + "' is not a number";
    return false;
  }
  if (field->width < 4 && (number >> (8 * field->width)) != 0) {
    *warning = "--set " + name + ": " + value + " does not fit the field; its low bytes are kept";
  }
  SetSettingsNumber(*settings, *field, number);
  return true;
}

}  // namespace orvane::cli
