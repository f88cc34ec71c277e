#include "Orvane/decode/export_csv_row.h"

#include <algorithm>
#include <cstring>

#include "Orvane/decode/text_append.h"

namespace orvane {

namespace {

// The fixed pieces, without their terminating zero.
template <size_t N>
char* PutText(const char (&text)[N], char* at) {
  std::memcpy(at, text, N - 1);
  return at + N - 1;
}

char* PutText(std::string_view text, char* at) {
  std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

// "%03X" for a ten-bit address, else "%3X"; 'H' after it.
char* PutAddress(const TransactionInfo& record, char* at) {
  const uint32_t address = record.i2c.I2CAddress;
  const char pad = (record.i2c.I2CFlags & kI2C10Bit) ? '0' : ' ';
  if (address > 0xFFF) {
    at = PutHexByte(static_cast<uint8_t>(address >> 8), at);
    at = PutHexByte(static_cast<uint8_t>(address), at);
  } else {
    const char* pair = &text_tables::kHexPairs[2 * (address & 0xFF)];
    at[0] = address > 0xFF ? text_tables::kHexPairs[2 * (address >> 8) + 1] : pad;
    at[1] = address > 0x0F ? pair[0] : pad;
    at[2] = pair[1];
    at += 3;
  }
  *at = 'H';
  return at + 1;
}

char* PutStartEnd(const TransactionInfo& record, char* at) {
  if (record.bStartEndType & kBeganStart) {
    at = PutText("S:", at);
  } else if (record.bStartEndType & kBeganRepeatedStart) {
    at = PutText("R:", at);
  }
  if (record.bStartEndType & kEndedStop) *at++ = 'P';
  return at;
}

// Up to `wanted` bytes from `first` on as " %02X" each, in double quotes.
char* PutArray(const std::vector<uint8_t>& bytes, uint32_t first, uint32_t wanted, char* at) {
  at = PutText(", \"", at);
  if (first < bytes.size()) {
    const uint32_t count = std::min<uint32_t>(wanted, static_cast<uint32_t>(bytes.size() - first));
    at = PutSpacedHex(bytes.data() + first, count, at);
  }
  *at = '"';
  return at + 1;
}

// Every piece but the remarks and the data bytes: the number, both times
// (or the monitor's dashes), the four I2C cells, DataLen, the quotes and
// separators of the cells, the line end, and the one character the hex
// stores write beyond.
constexpr size_t kFixedMax = 256;

// The longest remarks text: every remark with its separator.
size_t RemarksMax() {
  size_t length = std::strlen(kTriggerRemark.text) + std::strlen(kHsRemark.text) + 4;
  for (const RemarkKind& kind : kStatusRemarks) length += std::strlen(kind.text) + 2;
  return length;
}

}  // namespace

CsvRowWriter::CsvRowWriter(const RecordTextMode& mode, std::string_view line_end)
    : mode_(mode), line_end_(line_end), fixed_max_(kFixedMax + RemarksMax()) {}

size_t CsvRowWriter::MaxLength(const TransactionDetail& detail) const {
  // Both SPI lines show at most the detail's count of bytes each.
  return fixed_max_ + 6 * size_t{DetailCount(detail)};
}

const std::string& CsvRowWriter::Remarks(const TransactionInfo& record) {
  // What the text depends on: the status bits, the trigger mark and, for
  // I2C, the HS transfer flag.
  const uint32_t key = uint32_t{record.Status} | ((record.RecordFlags & kRecordTrigger) ? 1u << 16 : 0) |
                       ((mode_.i2c && (record.i2c.I2CFlags & kI2CHsTransfer)) ? 1u << 17 : 0);
  if (key != remarks_key_) {
    remarks_.clear();
    AppendErrorInfoText(record, mode_, "; ", true, &remarks_);
    remarks_key_ = key;
  }
  return remarks_;
}

char* CsvRowWriter::Put(const TransactionInfo& r, const TransactionDetail& detail, char* at) {
  // The number cell carries no trigger or error mark, unlike the list. The
  // span and the length go unquoted.
  *at++ = '"';
  at = PutDecimal(r.Index, at);
  at = PutText("\", \"", at);
  if (mode_.monitor) {
    at = PutText(" - \",  - ", at);
  } else {
    at = PutStartTime(r.StartClock, mode_.period_code, at);
    at = PutText("\", ", at);
    at = PutTimeSpan(r.Duration, mode_.period_code, at);
  }
  if (mode_.i2c) {
    at = PutText(", \"", at);
    at = PutAddress(r, at);
    at = (r.i2c.I2CFlags & kI2CRead) ? PutText("\", \"R\", \"", at) : PutText("\", \"W\", \"", at);
    at = PutStartEnd(r, at);
    at = (r.i2c.I2CFlags & kI2CNack) ? PutText("\", \"Detected\"", at) : PutText("\", \"-\"", at);
  }
  at = PutText(", \"", at);
  at = PutText(Remarks(r), at);
  at = PutText("\", ", at);
  const uint32_t length = DataLength(r, mode_);
  at = PutDecimal(length, at);
  const uint32_t count = DetailCount(detail);
  if (mode_.i2c) {
    const uint32_t address_bytes = I2CAddressBytes(r);
    at = PutArray(detail.bytes, address_bytes, count > address_bytes ? count - address_bytes : 0, at);
  } else {
    const uint32_t shown = std::min(length, count);
    at = PutArray(detail.bytes, 0, shown, at);
    at = PutArray(detail.bytes2, 0, shown, at);
  }
  return PutText(line_end_, at);
}

}  // namespace orvane
