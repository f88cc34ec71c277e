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

// The full bytes of one row's record: through env.bytes into `bytes` and
// `walker`, reused row after row, when it is set, else through env.load
// into the sampling object's detail.
inline const TransactionDetail& LoadRowBytes(ExportEnv& env, const TransactionInfo& record,
                                             TransactionDetail& bytes, AtomWalker& walker) {
  if (env.bytes == nullptr) {
    env.load(env.sampling, env.settings, record);
    return env.sampling.Detail();
  }
  env.bytes(env.sampling, env.settings, record, &bytes, walker);
  return bytes;
}

// `put_row(record, detail, out)` writes the line of one row into `out`;
// false once a write failed.
template <typename PutRow>
ExportResult ExportViewRowsInPlace(ExportEnv& env, ExportWriter& out, PutRow&& put_row) {
  TransactionDetail bytes;  // reused: one allocation for the whole export
  // One window and lock batch for many rows: nothing else maps the capture
  // while the rows are written.
  AtomWalker walker(env.sampling, kExtractBatch);
  return ExportRows(env, out, true, [&](const TransactionInfo& record) {
    return put_row(record, LoadRowBytes(env, record, bytes, walker), out);
  });
}

// `append_line(record, detail, &line)` appends the line of one row.
template <typename AppendLine>
ExportResult ExportViewRows(ExportEnv& env, ExportWriter& out, AppendLine&& append_line) {
  std::string line;  // reused likewise
  return ExportViewRowsInPlace(env, out, [&](const TransactionInfo& record, const TransactionDetail& detail,
                                             ExportWriter& writer) {
    line.clear();
    append_line(record, detail, &line);
    return writer.Write(line);
  });
}

}  // namespace orvane
