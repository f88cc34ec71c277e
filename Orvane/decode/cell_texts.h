#pragma once
// What a decoded record says in words: the cells of the transaction list,
// the columns each capture kind shows, the byte counts every reader derives
// from a record the same way, and the time formats. The list view, the CSV
// export and the text export all build their texts here so they never drift
// apart.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_detail.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/remark_kinds.h"

namespace orvane {

class CSamplingObj;

// Fills the sampling object's detail with every byte of one record. The
// application passes LoadTransactionDetail (detail_loader.h); tests pass a
// stand-in so they do not need real sampling data.
using DetailLoader = void (*)(CSamplingObj&, const SettingsRecord&, const TransactionInfo&);

// How the records of the loaded capture are to be read.
struct RecordTextMode {
  bool i2c = false;          // bus channel 1 or 2, forced display off
  bool spi = false;          // bus channel 0, forced display off
  bool monitor = false;      // monitor mode data: no times, byte counts in BitCount
  uint8_t period_code = 0;   // sample period code: clocks × code = 10 ns units
};
RecordTextMode TextModeOf(const SettingsRecord& settings);

// ---- Derived quantities ----

// I2C: every byte of the transaction, address bytes included.
uint32_t I2CDataBytes(const TransactionInfo& record, bool monitor);
// 2 for a 10-bit write, else 1 (a 10-bit read repeats only the first byte).
uint32_t I2CAddressBytes(const TransactionInfo& record);
// Bytes shown in DataLen: I2C data bytes − address bytes (never below 0),
// SPI analyzer ceil(BitCount / 8), SPI monitor BitCount.
uint32_t DataLength(const TransactionInfo& record, const RecordTextMode& mode);
// What a decoder stores in PreviewLen.
uint8_t I2CPreviewLen(uint32_t data_bytes, uint32_t address_bytes);
uint8_t SpiPreviewLen(uint32_t byte_count);
// ceil(bits / divisor) without overflow near 2^32.
uint32_t CeilDiv(uint32_t bits, uint32_t divisor);

// ACK bit of byte `i` in the detail (first byte in the top bit): true = NACK.
bool DetailNack(const TransactionDetail& detail, uint32_t i);
// The detail's byte count, never more than its arrays hold.
uint32_t DetailCount(const TransactionDetail& detail);

// ---- Time formats ----

// "%u:%03u:%03u.%02u": seconds, ms, us, hundredths of a us of clocks × code.
std::string FormatStartTime(uint64_t clocks, uint8_t period_code);
// "%llu.%02u": microseconds and hundredths of clocks × code.
std::string FormatTimeSpan(uint64_t clocks, uint8_t period_code);
// The same two texts appended to `out`.
void AppendStartTime(uint64_t clocks, uint8_t period_code, std::string* out);
void AppendTimeSpan(uint64_t clocks, uint8_t period_code, std::string* out);
// The same two texts written at `at`, returning the end; the caller leaves
// room for kTimeTextMax characters.
inline constexpr size_t kTimeTextMax = 24;
char* PutStartTime(uint64_t clocks, uint8_t period_code, char* at);
char* PutTimeSpan(uint64_t clocks, uint8_t period_code, char* at);

// ---- Cell pieces ----

// Each byte as "%c%02X" with " " (the ninth with "-"), then "...." when
// `more` says the transaction holds more bytes than these.
std::string PreviewText(const uint8_t* bytes, uint32_t count, bool more);
// Each byte as " %02X", without the ninth-byte mark (CSV data cells).
std::string SpacedHexText(const uint8_t* bytes, uint32_t count);
std::string AddressText(const TransactionInfo& record);     // "%03XH" / "%3XH"
std::string StartEndText(const TransactionInfo& record);    // "S:", "R:", "" + "P"
std::string NackText(const TransactionInfo& record);        // "Detected" / "-"
// The same texts appended to `out`.
void AppendPreviewText(const uint8_t* bytes, uint32_t count, bool more, std::string* out);
void AppendSpacedHexText(const uint8_t* bytes, uint32_t count, std::string* out);
void AppendAddressText(const TransactionInfo& record, std::string* out);
void AppendStartEndText(const TransactionInfo& record, std::string* out);

// ---- Remarks ----

// The remarks one record carries, in the order the list names them: the
// trigger, the HS transfer (I2C), then the status remarks (the timing ones
// for I2C only). Status bits without a text are not remarks.
struct RemarkList {
  static constexpr size_t kMaxRemarks = 14;
  const RemarkKind* items[kMaxRemarks];
  size_t count = 0;
  const RemarkKind* const* begin() const { return items; }
  const RemarkKind* const* end() const { return items + count; }
};
RemarkList RecordRemarks(const TransactionInfo& record, const RecordTextMode& mode);

// The remarks of a record as text: "TRIGGER!" first; "-" appended directly
// when Status is 0 (so an HS transfer without a status remark is not
// named); else the remark texts in their fixed order. The list joins with
// "; " and names " (No change signal.)"; the text export joins with ", "
// and leaves that one out.
std::string ErrorInfoText(const TransactionInfo& record, const RecordTextMode& mode,
                          const char* separator, bool with_no_change_text);
void AppendErrorInfoText(const TransactionInfo& record, const RecordTextMode& mode,
                         const char* separator, bool with_no_change_text, std::string* out);

// ---- The list ----

enum class CellColumn { kNumber, kTime, kSpan, kAdrs, kRw, kSrp, kNack, kErrorInfo, kDataLen,
                        kMiso, kMosi, kData };
enum class CellAlign { kLeft, kCenter, kRight };

struct ListColumn {
  CellColumn id;
  const char* header;      // UTF-8
  const char* width_pad;   // appended to the header when measuring the width
  CellAlign align;
};

// SPI, I2C or forced display (any other channel shows the forced display set).
std::vector<ListColumn> ListColumns(const SettingsRecord& settings);

// The text of one cell of a complete record.
std::string CellText(const TransactionInfo& record, CellColumn column, const RecordTextMode& mode);

}  // namespace orvane
