#pragma once
// The row loop of the exports that write one line per listed transaction:
// under the view lock, each row's record and its full bytes go to the
// line formatter, and the line to the block writer, until the rows end, a
// write fails or env.control stops the export. The bytes come through
// env.bytes into one detail reused row after row when it is set, else
// through env.load into the sampling object's detail.

#include <cstdint>
#include <mutex>
#include <string>

#include "Orvane/decode/export_writer.h"

namespace orvane {

// `append_line(record, detail, &line)` appends the line of one row.
template <typename AppendLine>
ExportResult ExportViewRows(ExportEnv& env, ExportWriter& out, AppendLine&& append_line) {
  ExportResult result;
  std::string line;         // reused: one allocation for the whole export
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
      append_line(record, env.bytes != nullptr ? bytes : env.sampling.Detail(), &line);
      if (!out.Write(line)) break;
    }
  }
  out.Flush();
  result.error_code = out.ErrorCode();
  result.ok = !out.Failed();
  FinishExport(env, result.rows > 0, result);
  return result;
}

}  // namespace orvane
