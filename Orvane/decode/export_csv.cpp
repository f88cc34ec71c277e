#include "Orvane/decode/export_csv.h"

#include <unistd.h>

#include "Orvane/decode/export_csv_row.h"
#include "Orvane/decode/export_rows.h"

namespace orvane {

void AppendCsvLine(const TransactionInfo& r, const TransactionDetail& detail, const RecordTextMode& mode,
                   std::string* line) {
  CsvRowWriter row(mode, "\n");
  const size_t at = line->size();
  line->resize(at + row.MaxLength(detail));
  const char* end = row.Put(r, detail, line->data() + at);
  line->resize(static_cast<size_t>(end - line->data()));
}

ExportResult ExportTransactionCsv(ExportEnv& env, int fd) {
  ExportWriter out(fd);
  CsvRowWriter row(TextModeOf(env.settings), out.LineEnd());
  return ExportViewRowsInPlace(env, out, [&row](const TransactionInfo& record, const TransactionDetail& detail,
                                                ExportWriter& writer) {
    char* at = writer.Room(row.MaxLength(detail));
    return at != nullptr && writer.Commit(row.Put(record, detail, at));
  });
}

ExportResult ExportTransactionCsvFile(ExportEnv& env, const std::string& path) {
  const int fd = OpenExportFile(path, env.sink);
  if (fd < 0) return {};
  const ExportResult result = ExportTransactionCsv(env, fd);
  ::close(fd);
  return result;
}

}  // namespace orvane
