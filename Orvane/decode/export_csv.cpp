#include "Orvane/decode/export_csv.h"

#include <unistd.h>

#include <algorithm>

#include "Orvane/decode/export_rows.h"
#include "Orvane/decode/text_append.h"

namespace orvane {

namespace {

// Up to `wanted` bytes of one detail array from `first` on, as " %02X" each,
// in double quotes.
void AppendArrayCell(const std::vector<uint8_t>& bytes, uint32_t first, uint32_t wanted, std::string* line) {
  *line += ", \"";
  if (first < bytes.size()) {
    const uint32_t count = std::min<uint32_t>(wanted, static_cast<uint32_t>(bytes.size() - first));
    AppendSpacedHexText(bytes.data() + first, count, line);
  }
  *line += '"';
}

}  // namespace

void AppendCsvLine(const TransactionInfo& r, const TransactionDetail& detail, const RecordTextMode& mode,
                   std::string* line) {
  // The number cell carries no trigger or error mark, unlike the list. The
  // span and the length go unquoted.
  *line += '"';
  AppendDecimal(r.Index, line);
  *line += "\", \"";
  if (mode.monitor) {
    *line += " - \",  - ";
  } else {
    AppendStartTime(r.StartClock, mode.period_code, line);
    *line += "\", ";
    AppendTimeSpan(r.Duration, mode.period_code, line);
  }
  if (mode.i2c) {
    *line += ", \"";
    AppendAddressText(r, line);
    *line += (r.i2c.I2CFlags & kI2CRead) ? "\", \"R\", \"" : "\", \"W\", \"";
    AppendStartEndText(r, line);
    *line += "\", \"";
    *line += NackText(r);
    *line += '"';
  }
  *line += ", \"";
  AppendErrorInfoText(r, mode, "; ", true, line);
  *line += "\", ";
  AppendDecimal(DataLength(r, mode), line);
  const uint32_t count = DetailCount(detail);
  if (mode.i2c) {
    const uint32_t address_bytes = I2CAddressBytes(r);
    const uint32_t data = count > address_bytes ? count - address_bytes : 0;
    AppendArrayCell(detail.bytes, address_bytes, data, line);
  } else {
    const uint32_t length = std::min(DataLength(r, mode), count);
    AppendArrayCell(detail.bytes, 0, length, line);
    AppendArrayCell(detail.bytes2, 0, length, line);
  }
  *line += '\n';
}

ExportResult ExportTransactionCsv(ExportEnv& env, int fd) {
  ExportWriter out(fd);
  const RecordTextMode mode = TextModeOf(env.settings);
  return ExportViewRows(env, out, [&mode](const TransactionInfo& record, const TransactionDetail& detail,
                                          std::string* line) { AppendCsvLine(record, detail, mode, line); });
}

ExportResult ExportTransactionCsvFile(ExportEnv& env, const std::string& path) {
  const int fd = OpenExportFile(path, env.sink);
  if (fd < 0) return {};
  const ExportResult result = ExportTransactionCsv(env, fd);
  ::close(fd);
  return result;
}

}  // namespace orvane
