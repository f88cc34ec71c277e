#include "Orvane/decode/dialog_values.h"

#include <cstring>

#include "platform/string_format.h"

namespace orvane {

using velix::platform::StringPrintf;

namespace {

constexpr std::string_view kByteSeparators = ":- _.,;";
constexpr std::string_view kBlanks = " \t\r\n";

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

std::string_view Trim(std::string_view text, std::string_view chars) {
  const size_t first = text.find_first_not_of(chars);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(chars) - first + 1);
}

bool HasHexPrefix(std::string_view text) {
  return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

// Accumulates digits of one base, saturating at all ones. Stops at the first
// character that is not a digit of the base; returns how many were used.
size_t Accumulate(std::string_view digits, uint32_t base, uint32_t* value) {
  uint64_t total = 0;
  size_t used = 0;
  for (char c : digits) {
    const int digit = DigitValue(c);
    if (digit >= static_cast<int>(base)) break;
    total = total * base + static_cast<uint64_t>(digit);
    if (total > kUnparsableNumber) total = kUnparsableNumber;
    ++used;
  }
  *value = static_cast<uint32_t>(total);
  return used;
}

std::string Decimal(uint32_t value) { return StringPrintf("%u", value); }

void StoreBytes(std::string_view text, size_t length, uint8_t fill, uint8_t* out) {
  const std::vector<uint8_t> bytes = ParseHexBytes(text, length);
  for (size_t i = 0; i < length; ++i) out[i] = i < bytes.size() ? bytes[i] : fill;
}

struct PresetColumn {
  bool hs;
  uint32_t values[kTimingRows];  // the HS presets have no tBUF
};

constexpr PresetColumn kPresets[] = {
    {false, {60, 60, 60, 130, 130, 60, 90, 10}},
    {false, {400, 470, 400, 470, 470, 400, 345, 25}},
    {true, {16, 16, 16, 0, 16, 6, 7, 1}},
    {true, {16, 16, 16, 0, 32, 12, 15, 1}},
};

// The record's limits in dialog row order; the HS tBUF slot is unused.
std::array<le_u32*, kTimingRows> StandardLimits(SettingsRecord& s) {
  return {&s.tHD_STA, &s.tSU_STA, &s.tSU_STO, &s.tBUF, &s.tLOW, &s.tHIGH, &s.tHD_DAT, &s.tSU_DAT};
}
std::array<le_u32*, kTimingRows> HsLimits(SettingsRecord& s) {
  return {&s.tHD_STA_HS, &s.tSU_STA_HS, &s.tSU_STO_HS, nullptr, &s.tLOW_HS, &s.tHIGH_HS,
          &s.tHD_DAT_HS, &s.tSU_DAT_HS};
}

bool IsI2CChannel(const SettingsRecord& s) {
  return s.m_AnalyzeBusChannel == 1 || s.m_AnalyzeBusChannel == 2;
}

}  // namespace

uint32_t ParseDialogNumber(std::string_view text) {
  const std::string_view number = Trim(text, kBlanks);
  if (number.empty()) return kUnparsableNumber;
  uint32_t value = 0;
  size_t used = 0;
  size_t expected = number.size();
  if (HasHexPrefix(number)) {
    used = Accumulate(number.substr(2), 16, &value);
    expected -= 2;
  } else if (number[0] == '0') {
    used = Accumulate(number, 8, &value);
  } else {
    used = Accumulate(number, 10, &value);
  }
  return used == expected ? value : kUnparsableNumber;
}

std::vector<uint8_t> ParseHexBytes(std::string_view text, size_t max_bytes) {
  std::vector<uint8_t> bytes;
  const std::string_view body = Trim(text, kByteSeparators);
  size_t at = 0;
  while (at < body.size() && bytes.size() < max_bytes) {
    size_t end = body.find_first_of(kByteSeparators, at);
    if (end == std::string_view::npos) end = body.size();
    std::string_view token = body.substr(at, end - at);
    if (!token.empty()) {
      if (HasHexPrefix(token)) token.remove_prefix(2);
      uint32_t value = 0;
      Accumulate(token, 16, &value);
      bytes.push_back(static_cast<uint8_t>(value));
    }
    at = end + 1;
  }
  return bytes;
}

std::string FormatHexBytes(const uint8_t* bytes, size_t count, const char* separator) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    if (i) text += separator;
    text += StringPrintf("%02X", bytes[i]);
  }
  return text;
}

FilterDialogFields FilterFieldsFromSettings(const SettingsRecord& s, uint32_t transaction_counter) {
  FilterDialogFields f;
  f.enabled = s.FilterEnable;
  f.range_enabled = s.FilterRangeEnable;
  f.range_start = Decimal(s.FilterRangeStart);
  const uint32_t end = s.FilterRangeEnd;
  f.range_end = Decimal(end == 0 && transaction_counter != 0 ? transaction_counter - 1 : end);
  f.address_enabled = s.FilterAddressEnable;
  f.ten_bit = s.FilterAddress10Bit;
  f.address = StringPrintf("0x%03X", unsigned{s.FilterAddressValue});
  f.address_mask = StringPrintf("0x%03X", unsigned{s.FilterAddressMask});
  f.sub_address_enabled = s.FilterSubAddressEnable;
  f.sub_address_length = s.FilterSubAddressLength;
  const size_t length = s.FilterSubAddressLength >= 1 && s.FilterSubAddressLength <= 4
                            ? s.FilterSubAddressLength : 1;
  f.sub_address_data = FormatHexBytes(s.FilterSubAddressData, length, ":");
  f.sub_address_mask = FormatHexBytes(s.FilterSubAddressMask, length, ":");
  f.read = s.FilterRead;
  f.write = s.FilterWrite;
  f.from_sub_address = s.FilterFromSubAddress;
  f.from_write = s.FilterFromWrite;
  f.write_for_read = s.FilterWriteForRead;
  f.omit_write_for_read = s.FilterOmitWriteForRead;
  f.changes_only = s.FilterChangesOnly;
  return f;
}

std::optional<std::string> ApplyFilterDialog(const FilterDialogFields& f, SettingsRecord* s) {
  const uint32_t start = ParseDialogNumber(f.range_start);
  const uint32_t end = ParseDialogNumber(f.range_end);
  if (f.range_enabled && (start == kUnparsableNumber || end == kUnparsableNumber || end < start)) {
    return "Invalid Transaction number";
  }
  const uint32_t address = ParseDialogNumber(f.address);
  const uint32_t mask = ParseDialogNumber(f.address_mask);
  if (f.address_enabled && (address == kUnparsableNumber || (f.ten_bit && address > 1023))) {
    return "I2C address error";
  }
  if (f.address_enabled && (mask == kUnparsableNumber || (f.ten_bit && mask > 1023))) {
    return "I2C address Mask error";
  }
  s->FilterEnable = f.enabled;
  s->FilterRangeEnable = f.range_enabled;
  // Fields of a disabled part may hold anything; only valid numbers are kept.
  if (start != kUnparsableNumber) s->FilterRangeStart = start;
  if (end != kUnparsableNumber) s->FilterRangeEnd = end;
  s->FilterAddressEnable = f.address_enabled;
  s->FilterAddress10Bit = f.ten_bit;
  if (address != kUnparsableNumber) s->FilterAddressValue = static_cast<uint16_t>(address);
  if (mask != kUnparsableNumber) s->FilterAddressMask = static_cast<uint16_t>(mask);
  s->FilterSubAddressEnable = f.sub_address_enabled;
  const uint8_t length = f.sub_address_length >= 1 && f.sub_address_length <= 4 ? f.sub_address_length : 1;
  s->FilterSubAddressLength = length;
  StoreBytes(f.sub_address_data, length, 0x00, s->FilterSubAddressData);
  // A mask byte not typed stays open, as a reloaded record would read it.
  StoreBytes(f.sub_address_mask, length, 0xFF, s->FilterSubAddressMask);
  s->FilterRead = f.read;
  s->FilterWrite = f.write;
  s->FilterFromSubAddress = f.from_sub_address;
  s->FilterFromWrite = f.from_write;
  s->FilterWriteForRead = f.write_for_read;
  s->FilterOmitWriteForRead = f.omit_write_for_read;
  s->FilterChangesOnly = f.changes_only;
  return std::nullopt;
}

FilterDialogEnables FilterControlEnables(FilterDialogFields* f, bool i2c_data, bool forced_display) {
  FilterDialogEnables e{};
  const bool on = f->enabled;
  const bool i2c_group = on && i2c_data && !forced_display;
  e.range_fields = on && f->range_enabled;
  e.changes_only = on && forced_display;
  e.address_fields = i2c_group && f->address_enabled;
  e.sub_address_fields = i2c_group && f->sub_address_enabled;
  if (i2c_group && f->sub_address_enabled) {
    f->write = true;
    return e;
  }
  e.read = i2c_group;
  e.write = i2c_group;
  e.write_for_read = i2c_group && f->read;
  e.from_write = i2c_group && f->write;
  e.omit_write_for_read = i2c_group && f->write;
  return e;
}

std::optional<std::string> ParseSearchAddress(std::string_view text, bool ten_bit, uint16_t* value) {
  const uint32_t parsed = ParseDialogNumber(text);
  if (parsed == kUnparsableNumber || (ten_bit && parsed > 1023)) return "I2C address error";
  *value = static_cast<uint16_t>(parsed);
  return std::nullopt;
}

std::string FormatSearchAddress(uint16_t value) { return StringPrintf("0x%03X", unsigned{value}); }

I2CSettingsFields I2CFieldsFromSettings(const SettingsRecord& settings) {
  SettingsRecord copy = settings;
  I2CSettingsFields f;
  const auto standard = StandardLimits(copy);
  const auto hs = HsLimits(copy);
  for (int row = 0; row < kTimingRows; ++row) {
    f.standard[row] = Decimal(*standard[row]);
    if (hs[row]) f.hs[row] = Decimal(*hs[row]);
  }
  f.hs_enable = settings.HsEnable;
  f.ignore_nack_before_stop = settings.IgnoreNackBeforeStop;
  return f;
}

uint32_t ParseTimingField(std::string_view text) {
  return Trim(text, kBlanks).empty() ? 10 : ParseDialogNumber(text);
}

const char* PresetQuestion(TimingPreset preset) {
  switch (preset) {
    case TimingPreset::kFast: return "Do you apply FAST MODE settings?";
    case TimingPreset::kStandard: return "Do you apply STANDARD MODE settings?";
    case TimingPreset::kHs100pF: return "Do you apply HS MODE(Cb=100pF) settings?";
    case TimingPreset::kHs400pF: return "Do you apply HS MODE(Cb=400pF) settings?";
  }
  return "";
}

void ApplyPreset(TimingPreset preset, I2CSettingsFields* fields) {
  const PresetColumn& column = kPresets[static_cast<int>(preset)];
  auto& target = column.hs ? fields->hs : fields->standard;
  for (int row = 0; row < kTimingRows; ++row) {
    if (column.hs && row == kRowBuf) continue;
    target[row] = Decimal(column.values[row]);
  }
}

const char* TimingRowName(TimingRow row) {
  switch (row) {
    case kRowHdSta: return "tHD_STA";
    case kRowSuSta: return "tSU_STA";
    case kRowSuSto: return "tSU_STO";
    case kRowBuf: return "tBUF";
    case kRowLow: return "tLOW";
    case kRowHigh: return "tHIGH";
    case kRowHdDat: return "tHD_DAT";
    case kRowSuDat: return "tSU_DAT";
    case kTimingRows: break;
  }
  return "";
}

std::optional<std::string> ValidateI2CSettingsDialog(const I2CSettingsFields& f,
                                                     bool timing_fields_enabled) {
  if (!timing_fields_enabled) return std::nullopt;
  for (const bool hs : {false, true}) {
    for (int row = 0; row < kTimingRows; ++row) {
      if (hs && row == kRowBuf) continue;
      const uint32_t minimum = (hs && row == kRowSuDat) ? kHsSuDatLimitMin : kTimingLimitMin;
      const uint32_t value = ParseTimingField(hs ? f.hs[row] : f.standard[row]);
      if (value >= minimum && value <= kTimingLimitMax) continue;
      const char* name = TimingRowName(static_cast<TimingRow>(row));
      return StringPrintf("%s%s : Out of range \n range %u >= (%s) >= %u", name,
                          hs ? " (HS-MODE)" : "", kTimingLimitMax, name, minimum);
    }
  }
  return std::nullopt;
}

bool ApplyI2CSettingsDialog(const I2CSettingsFields& f, bool timing_fields_enabled,
                            SettingsRecord* s) {
  if (timing_fields_enabled) {
    const auto standard = StandardLimits(*s);
    const auto hs = HsLimits(*s);
    for (int row = 0; row < kTimingRows; ++row) {
      *standard[row] = ParseTimingField(f.standard[row]);
      if (hs[row]) *hs[row] = ParseTimingField(f.hs[row]);
    }
  }
  s->HsEnable = f.hs_enable;
  s->IgnoreNackBeforeStop = f.ignore_nack_before_stop;
  return IsI2CChannel(*s) && !s->ForcedDisplay;
}

SpiSettingsFields SpiFieldsFromSettings(const SettingsRecord& s) {
  SpiSettingsFields f;
  f.rising_edge = s.SpiSamplingEdge != 2;
  f.msb_first = s.SpiBitFlags & 0x01;
  f.monitor_ss = s.SpiSsMode != 0;
  f.ss_active_high = s.SpiSsMode == 2;
  f.timeout_enabled = s.SpiSclkTimeout != 0;
  f.timeout_ms = Decimal(s.SpiSclkTimeout);
  f.data_length = Decimal(s.SpiDataLength);
  f.ignore_first_edge = s.SpiBitFlags & 0x80;
  return f;
}

SpiDialogResult ApplySpiSettingsDialog(const SpiSettingsFields& f, SettingsRecord* s) {
  SpiDialogResult result;
  uint32_t timeout = 0;
  if (f.timeout_enabled) {
    timeout = ParseDialogNumber(f.timeout_ms);
    if (timeout == kUnparsableNumber) timeout = 0;
  }
  const uint32_t length = ParseDialogNumber(f.data_length);
  if (length < kSpiDataLengthMin || length > kSpiDataLengthMax) {
    result.message = StringPrintf("Data Length : Out of range \n range %u >= (DataLength) >= %u",
                                  kSpiDataLengthMax, kSpiDataLengthMin);
    return result;
  }
  s->SpiSclkTimeout = timeout;
  s->SpiDataLength = length;
  s->SpiSamplingEdge = f.rising_edge ? 1 : 2;
  s->SpiSsMode = !f.monitor_ss ? 0 : (f.ss_active_high ? 2 : 1);
  uint8_t flags = static_cast<uint8_t>(s->SpiBitFlags & 0x7E);
  if (f.msb_first) flags |= 0x01;
  if (f.ignore_first_edge) flags |= 0x80;
  s->SpiBitFlags = flags;
  result.rebuild = s->m_AnalyzeBusChannel == 0 && !s->ForcedDisplay;
  return result;
}

}  // namespace orvane
