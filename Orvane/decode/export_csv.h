#pragma once
// "Write Transaction Info to CSV...": one line per row of the view index
// with the list's cells and the complete payload bytes. No header line;
// cells separated by ", "; text cells enclosed in double quotes.

#include <cstdint>
#include <string>

#include "Orvane/decode/export_writer.h"

namespace orvane {

// Appends the line of one record (ending in "\n") from its full bytes in
// `detail`.
void AppendCsvLine(const TransactionInfo& record, const TransactionDetail& detail,
                   const RecordTextMode& mode, std::string* line);

// Writes every row to `fd` (left open), under the view lock; afterwards the
// selected row's detail is loaded again and a write error is shown. What
// was written stays in the file, also when `env.control` ends the export
// early.
ExportResult ExportTransactionCsv(ExportEnv& env, int fd);
ExportResult ExportTransactionCsvFile(ExportEnv& env, const std::string& path);

}  // namespace orvane
