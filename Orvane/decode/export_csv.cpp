#include "Orvane/decode/export_csv.h"

#include <unistd.h>

#include <algorithm>
#include <mutex>

namespace orvane {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Up to `wanted` bytes of one detail array from `first` on, as " %02X" each.
std::string ArrayCell(const std::vector<uint8_t>& bytes, uint32_t first, uint32_t wanted) {
  if (first >= bytes.size()) return Quoted("");
  const uint32_t count = std::min<uint32_t>(wanted, static_cast<uint32_t>(bytes.size() - first));
  return Quoted(SpacedHexText(bytes.data() + first, count));
}

}  // namespace

std::string CsvLine(const TransactionInfo& r, const TransactionDetail& detail,
                    const RecordTextMode& mode) {
  // The number cell carries no trigger or error mark, unlike the list.
  std::string line = Quoted(std::to_string(r.Index));
  line += ", " + Quoted(CellText(r, CellColumn::kTime, mode));
  line += ", " + CellText(r, CellColumn::kSpan, mode);
  if (mode.i2c) {
    for (CellColumn column : {CellColumn::kAdrs, CellColumn::kRw, CellColumn::kSrp, CellColumn::kNack}) {
      line += ", " + Quoted(CellText(r, column, mode));
    }
  }
  line += ", " + Quoted(CellText(r, CellColumn::kErrorInfo, mode));
  line += ", " + CellText(r, CellColumn::kDataLen, mode);
  const uint32_t count = DetailCount(detail);
  if (mode.i2c) {
    const uint32_t address_bytes = I2CAddressBytes(r);
    const uint32_t data = count > address_bytes ? count - address_bytes : 0;
    line += ", " + ArrayCell(detail.bytes, address_bytes, data);
  } else {
    const uint32_t length = DataLength(r, mode);
    line += ", " + ArrayCell(detail.bytes, 0, std::min(length, count));
    line += ", " + ArrayCell(detail.bytes2, 0, std::min(length, count));
  }
  return line + "\n";
}

ExportResult ExportTransactionCsv(ExportEnv& env, int fd) {
  ExportWriter out(fd);
  ExportResult result;
  const RecordTextMode mode = TextModeOf(env.settings);
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
      env.load(env.sampling, env.settings, record);
      ++result.rows;
      if (!out.Write(CsvLine(record, env.sampling.Detail(), mode))) break;
    }
  }
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
