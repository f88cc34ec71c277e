#include "Orvane/decode/cell_texts.h"

#include <algorithm>

#include "Orvane/decode/text_append.h"
#include "platform/string_format.h"

namespace orvane {

using velix::platform::StringPrintf;

static_assert(kStatusRemarkCount + 2 == RemarkList::kMaxRemarks);

namespace {

constexpr uint64_t kTenNsPerSecond = 100000000;
constexpr uint64_t kTenNsPerMs = 100000;
constexpr uint64_t kTenNsPerUs = 100;

void AppendItem(std::string* text, bool& first, const char* separator, const char* item) {
  if (!first) *text += separator;
  *text += item;
  first = false;
}

std::string NumberText(const TransactionInfo& record, const RecordTextMode& mode) {
  std::string text;
  if (record.RecordFlags & kRecordTrigger) text += "->";
  if (record.Status != 0) {
    if (record.Status & kStatusNoChange) {
      text += "_";
    } else if (record.IsError()) {
      text += "* ";
    }
    if (mode.i2c && (record.i2c.I2CFlags & kI2CHsTransfer)) text += "H ";
  }
  return text + StringPrintf("%u", record.Index);
}

std::string DataCell(const TransactionInfo& record, const uint8_t* bytes, const RecordTextMode& mode) {
  const uint32_t shown = std::min<uint32_t>(record.PreviewLen, kPreviewBytes);
  return PreviewText(bytes, shown, DataLength(record, mode) > shown);
}

}  // namespace

RecordTextMode TextModeOf(const SettingsRecord& settings) {
  RecordTextMode mode;
  const uint8_t channel = settings.m_AnalyzeBusChannel & 3;
  const bool forced = settings.ForcedDisplay != 0;
  mode.i2c = !forced && (channel == 1 || channel == 2);
  mode.spi = !forced && channel == 0;
  mode.monitor = settings.MonitorMode == 1;
  mode.period_code = settings.SamplePeriodCode;
  return mode;
}

uint32_t CeilDiv(uint32_t bits, uint32_t divisor) {
  return bits / divisor + (bits % divisor != 0 ? 1u : 0u);
}

uint32_t I2CDataBytes(const TransactionInfo& record, bool monitor) {
  return monitor ? record.BitCount : CeilDiv(record.BitCount, 9);
}

uint32_t I2CAddressBytes(const TransactionInfo& record) {
  const uint16_t flags = record.i2c.I2CFlags;
  return ((flags & kI2C10Bit) && !(flags & kI2CRead)) ? 2u : 1u;
}

uint32_t DataLength(const TransactionInfo& record, const RecordTextMode& mode) {
  if (mode.i2c) {
    const uint32_t data = I2CDataBytes(record, mode.monitor);
    const uint32_t address = I2CAddressBytes(record);
    return data > address ? data - address : 0;
  }
  return mode.monitor ? record.BitCount : CeilDiv(record.BitCount, 8);
}

uint8_t I2CPreviewLen(uint32_t data_bytes, uint32_t address_bytes) {
  if (data_bytes <= address_bytes) return 0;
  return static_cast<uint8_t>(std::min<uint32_t>(kPreviewBytes, data_bytes - address_bytes));
}

uint8_t SpiPreviewLen(uint32_t byte_count) {
  return static_cast<uint8_t>(std::min<uint32_t>(kPreviewBytes, byte_count));
}

uint32_t DetailCount(const TransactionDetail& detail) {
  return std::min<uint32_t>(detail.count, static_cast<uint32_t>(detail.bytes.size()));
}

bool DetailNack(const TransactionDetail& detail, uint32_t i) {
  const size_t at = i / 8;
  if (at >= detail.bytes2.size()) return false;
  return (detail.bytes2[at] >> (7 - i % 8)) & 1;
}

char* PutStartTime(uint64_t clocks, uint8_t period_code, char* at) {
  const uint64_t t = clocks * period_code;
  const auto within = static_cast<uint32_t>(t % kTenNsPerSecond);
  // The seconds are cut to 32 bits, as the list has always shown them.
  char* end = PutDecimal(static_cast<unsigned>(t / kTenNsPerSecond), at);
  *end++ = ':';
  end = PutThreeDigits(static_cast<uint32_t>(within / kTenNsPerMs), end);
  *end++ = ':';
  end = PutThreeDigits(static_cast<uint32_t>(within % kTenNsPerMs / kTenNsPerUs), end);
  *end++ = '.';
  return PutTwoDigits(static_cast<uint32_t>(within % kTenNsPerUs), end);
}

void AppendStartTime(uint64_t clocks, uint8_t period_code, std::string* out) {
  char text[kTimeTextMax];
  out->append(text, PutStartTime(clocks, period_code, text));
}

std::string FormatStartTime(uint64_t clocks, uint8_t period_code) {
  std::string text;
  AppendStartTime(clocks, period_code, &text);
  return text;
}

char* PutTimeSpan(uint64_t clocks, uint8_t period_code, char* at) {
  const uint64_t d = clocks * period_code;
  char* end = PutDecimal(d / kTenNsPerUs, at);
  *end++ = '.';
  return PutTwoDigits(static_cast<uint32_t>(d % kTenNsPerUs), end);
}

void AppendTimeSpan(uint64_t clocks, uint8_t period_code, std::string* out) {
  char text[kTimeTextMax];
  out->append(text, PutTimeSpan(clocks, period_code, text));
}

std::string FormatTimeSpan(uint64_t clocks, uint8_t period_code) {
  std::string text;
  AppendTimeSpan(clocks, period_code, &text);
  return text;
}

void AppendPreviewText(const uint8_t* bytes, uint32_t count, bool more, std::string* out) {
  for (uint32_t i = 0; i < count; ++i) {
    *out += i == 8 ? '-' : ' ';
    AppendHexByte(bytes[i], out);
  }
  if (more) *out += "....";
}

std::string PreviewText(const uint8_t* bytes, uint32_t count, bool more) {
  std::string text;
  text.reserve(count * 3 + 4);
  AppendPreviewText(bytes, count, more, &text);
  return text;
}

void AppendSpacedHexText(const uint8_t* bytes, uint32_t count, std::string* out) {
  const size_t at = out->size();
  out->resize(at + size_t{count} * 3);
  char* cell = out->data() + at;
  for (uint32_t i = 0; i < count; ++i) {
    *cell++ = ' ';
    cell = PutHexByte(bytes[i], cell);
  }
}

std::string SpacedHexText(const uint8_t* bytes, uint32_t count) {
  std::string text;
  AppendSpacedHexText(bytes, count, &text);
  return text;
}

void AppendAddressText(const TransactionInfo& record, std::string* out) {
  const bool ten_bit = (record.i2c.I2CFlags & kI2C10Bit) != 0;
  AppendHexPadded(record.i2c.I2CAddress, 3, ten_bit ? '0' : ' ', out);
  *out += 'H';
}

std::string AddressText(const TransactionInfo& record) {
  std::string text;
  AppendAddressText(record, &text);
  return text;
}

void AppendStartEndText(const TransactionInfo& record, std::string* out) {
  if (record.bStartEndType & kBeganStart) {
    *out += "S:";
  } else if (record.bStartEndType & kBeganRepeatedStart) {
    *out += "R:";
  }
  if (record.bStartEndType & kEndedStop) *out += 'P';
}

std::string StartEndText(const TransactionInfo& record) {
  std::string text;
  AppendStartEndText(record, &text);
  return text;
}

std::string NackText(const TransactionInfo& record) {
  return (record.i2c.I2CFlags & kI2CNack) ? "Detected" : "-";
}

RemarkList RecordRemarks(const TransactionInfo& record, const RecordTextMode& mode) {
  RemarkList list;
  if (record.RecordFlags & kRecordTrigger) list.items[list.count++] = &kTriggerRemark;
  // I2CFlags shares its bytes with the SPI second line's preview.
  if (mode.i2c && (record.i2c.I2CFlags & kI2CHsTransfer)) list.items[list.count++] = &kHsRemark;
  for (const RemarkKind& kind : kStatusRemarks) {
    if (!(record.Status & kind.status_bit)) continue;
    if (kind.i2c_only && !mode.i2c) continue;
    list.items[list.count++] = &kind;
  }
  return list;
}

void AppendErrorInfoText(const TransactionInfo& record, const RecordTextMode& mode,
                         const char* separator, bool with_no_change_text, std::string* out) {
  // Most records carry no status: only the trigger can be named then.
  if (record.Status == 0) {
    if (record.RecordFlags & kRecordTrigger) *out += kTriggerRemark.text;
    *out += '-';
    return;
  }
  bool first = true;
  for (const RemarkKind* kind : RecordRemarks(record, mode)) {
    if (kind->status_bit == kStatusNoChange && !with_no_change_text) continue;
    AppendItem(out, first, separator, kind->text);
  }
}

std::string ErrorInfoText(const TransactionInfo& record, const RecordTextMode& mode,
                          const char* separator, bool with_no_change_text) {
  std::string text;
  AppendErrorInfoText(record, mode, separator, with_no_change_text, &text);
  return text;
}

std::vector<ListColumn> ListColumns(const SettingsRecord& settings) {
  constexpr const char* kPad = "RRRR";
  // The wider columns add their own R's to the common four.
  constexpr const char* kDataPad = "RRRRRRRRRRRRRRRRRRR";
  const ListColumn number{CellColumn::kNumber, "Number", kPad, CellAlign::kRight};
  const ListColumn span{CellColumn::kSpan, "time span(us)", kPad, CellAlign::kRight};
  const ListColumn error{CellColumn::kErrorInfo, "Error, Info", "RRRRRRRRR", CellAlign::kLeft};
  const ListColumn length{CellColumn::kDataLen, "DataLen", kPad, CellAlign::kRight};
  const RecordTextMode mode = TextModeOf(settings);
  if (mode.spi) {
    return {number, {CellColumn::kTime, "Time(s:ms:us)", kPad, CellAlign::kRight}, span, error,
            length, {CellColumn::kMiso, "MISO Data  (Hex)", kDataPad, CellAlign::kLeft},
            {CellColumn::kMosi, "MOSI Data  (Hex)", kDataPad, CellAlign::kLeft}};
  }
  if (mode.i2c) {
    return {number, {CellColumn::kTime, "Time(s:ms:\xCE\xBCs)", kPad, CellAlign::kRight}, span,
            {CellColumn::kAdrs, "Adrs", kPad, CellAlign::kRight},
            {CellColumn::kRw, "R/W", "RRRRRRR", CellAlign::kCenter},
            {CellColumn::kSrp, "S/R/P", kPad, CellAlign::kLeft},
            {CellColumn::kNack, "NACK", kPad, CellAlign::kLeft}, error, length,
            {CellColumn::kData, "Data  (Hex)", kDataPad, CellAlign::kLeft}};
  }
  return {number, {CellColumn::kTime, "Time(s:ms:us)", kPad, CellAlign::kRight}, span, error};
}

std::string CellText(const TransactionInfo& record, CellColumn column, const RecordTextMode& mode) {
  switch (column) {
    case CellColumn::kNumber:
      return NumberText(record, mode);
    case CellColumn::kTime:
      return mode.monitor ? " - " : FormatStartTime(record.StartClock, mode.period_code);
    case CellColumn::kSpan:
      return mode.monitor ? " - " : FormatTimeSpan(record.Duration, mode.period_code);
    case CellColumn::kAdrs:
      return AddressText(record);
    case CellColumn::kRw:
      return (record.i2c.I2CFlags & kI2CRead) ? "R" : "W";
    case CellColumn::kSrp:
      return StartEndText(record);
    case CellColumn::kNack:
      return NackText(record);
    case CellColumn::kErrorInfo:
      return ErrorInfoText(record, mode, "; ", true);
    case CellColumn::kDataLen:
      return StringPrintf("%u", DataLength(record, mode));
    case CellColumn::kMiso:
    case CellColumn::kData:
      return DataCell(record, record.Preview, mode);
    case CellColumn::kMosi:
      return DataCell(record, record.Preview2, mode);
  }
  return {};
}

}  // namespace orvane
