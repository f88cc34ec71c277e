#include "Orvane/decode/export_csv.h"

#include <unistd.h>

#include <algorithm>
#include <mutex>

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
  ExportResult result;
  const RecordTextMode mode = TextModeOf(env.settings);
  std::string line;  // reused: one allocation for the whole export
  TransactionDetail bytes;  // reused likewise, when the export reads bytes itself
  {
    std::lock_guard lock(env.sampling.ViewLock());
    TransactionStore& store = env.sampling.Records();
    const uint32_t count = store.ViewCount();
    result.total = count;
    for (uint32_t row = 0; row < count; ++row) {
      const RecordRef ref = store.RowRef(row);
      if (ref == kNoRecord) break;
      if (env.control.StopBefore(row, count)) {
        result.cancelled = true;
        break;
      }
      const TransactionInfo record = store.At(ref);
      if (env.bytes != nullptr) {
        env.bytes(env.sampling, env.settings, record, &bytes);
      } else {
        env.load(env.sampling, env.settings, record);
      }
      ++result.rows;
      line.clear();
      AppendCsvLine(record, env.bytes != nullptr ? bytes : env.sampling.Detail(), mode, &line);
      if (!out.Write(line)) break;
    }
  }
  out.Flush();
  result.error_code = out.ErrorCode();
  result.ok = !out.Failed();
  FinishExport(env, result.rows > 0, result);
  return result;
}

ExportResult ExportTransactionCsvFile(ExportEnv& env, const std::string& path) {
  const int fd = OpenExportFile(path, env.sink);
  if (fd < 0) return {};
  const ExportResult result = ExportTransactionCsv(env, fd);
  ::close(fd);
  return result;
}

}  // namespace orvane
