#include "tools/orvane-cli/export_target.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Orvane/decode/export_csv.h"
#include "Orvane/decode/export_json_lines.h"
#include "Orvane/decode/export_text.h"

namespace orvane::cli {
namespace {

bool Failed(const std::string& target, int code) {
  std::fprintf(stderr, "error: cannot write %s: %s\n", target == "-" ? "standard output" : target.c_str(),
               code != 0 ? std::strerror(code) : "the write failed");
  return false;
}

}  // namespace

bool WriteExportTo(ExportEnv& env, const std::string& target, ExportKind kind) {
  int fd = STDOUT_FILENO;
  if (target == "-") {
    // The export writes to the descriptor directly; stdio's buffer goes first.
    std::fflush(stdout);
  } else {
    // Opened here rather than by the export itself so that the system's
    // reason for a refusal is still at hand.
    fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return Failed(target, errno);
  }
  ExportResult result;
  switch (kind) {
    case ExportKind::kCsv: result = ExportTransactionCsv(env, fd); break;
    case ExportKind::kText: result = ExportTransactionText(env, fd, true); break;
    case ExportKind::kTextAllData: result = ExportTransactionText(env, fd, false); break;
    case ExportKind::kJsonLines: result = ExportTransactionJsonLines(env, fd); break;
  }
  int close_error = 0;
  if (fd != STDOUT_FILENO && ::close(fd) != 0) close_error = errno;
  if (!result.ok) return Failed(target, static_cast<int>(result.error_code));
  if (close_error != 0) return Failed(target, close_error);
  return true;
}

}  // namespace orvane::cli
