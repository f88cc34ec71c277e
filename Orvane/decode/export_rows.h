#pragma once
// The row loop of the exports that write each listed transaction in turn:
// under the view lock, each row's record goes to the row writer until the
// rows end, a write fails or env.control stops the export.
//
// The line exports (CSV, JSON Lines) format one line per row from the
// record and its full bytes. The bytes come through env.bytes into one
// detail and through one atom walker, both reused row after row, when it
// is set, else through env.load into the sampling object's detail.

#include <cstdint>
#include <mutex>
#include <string>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/decode/atom_span_loop.h"
#include "Orvane/decode/export_writer.h"

namespace orvane {

// `write_row(record)` writes one row to `out`; false once a write failed.
// `extracts`: the rows load the records' bytes into the sampling object,
// so the selected row's detail is loaded again at the end. Nothing is
// walked when `out` has already failed (a title that could not be written).
template <typename WriteRow>
ExportResult ExportRows(ExportEnv& env, ExportWriter& out, bool extracts, WriteRow&& write_row) {
  ExportResult result;
  if (!out.Failed()) {
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
      ++result.rows;
      if (!write_row(record)) break;
    }
  }
  out.Flush();
  result.error_code = out.ErrorCode();
  result.ok = !out.Failed();
  FinishExport(env, extracts && result.rows > 0, result);
  return result;
}

// `append_line(record, detail, &line)` appends the line of one row.
template <typename AppendLine>
ExportResult ExportViewRows(ExportEnv& env, ExportWriter& out, AppendLine&& append_line) {
  std::string line;         // reused: one allocation for the whole export
  TransactionDetail bytes;  // reused likewise, when the export reads bytes itself
  // One window and lock batch for many rows: nothing else maps the capture
  // while the rows are written.
  AtomWalker walker(env.sampling, kExtractBatch);
  return ExportRows(env, out, true, [&](const TransactionInfo& record) {
    if (env.bytes != nullptr) {
      env.bytes(env.sampling, env.settings, record, &bytes, walker);
    } else {
      env.load(env.sampling, env.settings, record);
    }
    line.clear();
    append_line(record, env.bytes != nullptr ? bytes : env.sampling.Detail(), &line);
    return out.Write(line);
  });
}

}  // namespace orvane
