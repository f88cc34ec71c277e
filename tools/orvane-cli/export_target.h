#pragma once
// Where an export of decode or capture goes: a file or standard output
// ("-"). A failure names the target and the system's reason on standard
// error, after whatever the export itself has shown.

#include <string>

#include "Orvane/decode/export_writer.h"

namespace orvane::cli {

enum class ExportKind { kCsv, kText, kTextAllData, kJsonLines };

bool WriteExportTo(ExportEnv& env, const std::string& target, ExportKind kind);

}  // namespace orvane::cli
