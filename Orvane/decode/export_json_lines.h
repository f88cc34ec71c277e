#pragma once
// The JSON Lines export: one JSON object per row of the view index (the
// rows the CSV export writes), one per line, "\n" line ends, for scripts
// that read our decode results. The field names are stable; docs/orvane-cli.md
// lists them with their units.

#include <cstdint>
#include <string>
#include <unordered_map>

#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_detail.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/cell_texts.h"
#include "Orvane/decode/export_writer.h"

namespace orvane {

// Formats the object of one record. The remark fields depend only on a
// record's Status and two flags, so each combination is serialised once
// and reused: a capture holds a handful of them among millions of records.
class JsonLineFormatter {
 public:
  explicit JsonLineFormatter(const SettingsRecord& settings);

  // Appends the object of one record, ending in "\n", from its full bytes
  // in `detail`. The I2C data and the SPI lines are bytes as "%02X" each.
  void Append(const TransactionInfo& record, const TransactionDetail& detail, std::string* line);

 private:
  const std::string& RemarkFields(const TransactionInfo& record);

  RecordTextMode mode_;
  const char* bus_;  // the bus member, or nullptr on a channel without a bus
  std::unordered_map<uint32_t, std::string> remark_fields_;
};

// Writes every row to `fd` (left open), under the view lock, through the
// block writer, honouring env.control; afterwards the selected row's detail
// is loaded again and a write error is shown, as the CSV export does.
ExportResult ExportTransactionJsonLines(ExportEnv& env, int fd);
ExportResult ExportTransactionJsonLinesFile(ExportEnv& env, const std::string& path);

}  // namespace orvane
