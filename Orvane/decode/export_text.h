#pragma once
// "Write Transaction Info to Text...": a readable report, one block per row
// of the view index, with the preview bytes (header only) or the complete
// payload as I2C packet line and hexadecimal dumps (all data).

#include <cstdint>
#include <string>

#include "Orvane/decode/export_writer.h"

namespace orvane {

// The settings dialog of the text export (DlgSaveIndexRange).
struct SaveIndexRangeDialog {
  std::string caption = "[Save Transaction To Text] Setting";
  std::string description = "Export transaction information to a text file.";
  bool header_only = true;  // "Only transaction header" / "All the data"
};

// Writes the report to `fd` (left open). Holds the view lock while it walks
// the rows; afterwards the selected row's detail is loaded again (all data)
// and a write error is shown. What was written stays in the file, also when
// `env.control` ends the export early.
ExportResult ExportTransactionText(ExportEnv& env, int fd, bool header_only);

// Opens `path` (see OpenExportFile), writes, closes.
ExportResult ExportTransactionTextFile(ExportEnv& env, const std::string& path, bool header_only);

}  // namespace orvane
