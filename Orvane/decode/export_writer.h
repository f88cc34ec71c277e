#pragma once
// What the exports share: the file they write line by line (each "\n"
// stored as CR LF by the reports), the message a write error shows, the
// open of the target file, and the rule that enables the export commands.
//
// Messages go to the InteractionSink as OK boxes with the stop icon. The
// sink has no title argument: a front end that titles its boxes shows the
// write error under kExportErrorTitle.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/decode/cell_texts.h"
#include "Orvane/decode/detail_loader.h"
#include "Orvane/decode/export_bytes.h"
#include "platform/interaction.h"

namespace orvane {

inline constexpr char kExportErrorTitle[] = "ErrorInfomation";

// Writes to a descriptor the caller owns, in blocks of kExportBlockBytes:
// a report of millions of lines costs a few hundred system calls. Write
// only fills the block (a full block goes out at once); Flush hands over
// the rest, and the destructor flushes what is still held. A row can also
// be formatted in place: Room gives the end of the block, Commit takes
// what was written there. After the first failed write nothing more is
// written and ErrorCode() holds the system error code.
inline constexpr size_t kExportBlockBytes = size_t{1} << 20;

// The reports store each "\n" as CR LF, as they always have; formats read
// by other programs keep "\n" as written.
enum class LineEnds { kCrLf, kAsWritten };

class ExportWriter {
 public:
  explicit ExportWriter(int fd, LineEnds line_ends = LineEnds::kCrLf);
  ~ExportWriter();
  ExportWriter(const ExportWriter&) = delete;
  ExportWriter& operator=(const ExportWriter&) = delete;

  // False once a write failed.
  bool Write(std::string_view text);
  bool Flush();
  bool Failed() const { return error_ != 0; }
  uint32_t ErrorCode() const { return error_; }

  // Space for `bytes` characters after the held text, nullptr once a write
  // failed. The text written there is the file's own: its line ends are
  // not converted, so it ends its lines with LineEnd().
  char* Room(size_t bytes);
  // Takes the text from the last Room() up to `end`; false once a write
  // failed.
  bool Commit(const char* end);
  std::string_view LineEnd() const { return line_ends_ == LineEnds::kCrLf ? "\r\n" : "\n"; }

 private:
  bool WriteAll(const char* data, size_t size);

  int fd_;
  LineEnds line_ends_;
  uint32_t error_ = 0;
  // Converted text not yet written: size_ characters of a block of
  // capacity_, which grows only for a line longer than the spare half.
  std::unique_ptr<char[]> block_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

// The system's text for the code + "\n Win32 ErrorCode : %u"; without a
// text " Win32  ErrorCode：%u"; a time-out "Time out  occured" + the code line.
std::string ExportErrorMessage(uint32_t code);

// Creates (truncates) the file for writing; -1 when it cannot be opened.
// A missing folder shows "File not found!\r\n <name>\r\n"; other failures
// show nothing. `error_code`, when given, receives the system error code of
// a failed open (0 after success).
int OpenExportFile(const std::string& path, velix::platform::InteractionSink& sink,
                   uint32_t* error_code = nullptr);

// Both export commands: no live capture, no analysis, data loaded, forced
// display off, and at least one row in the view index.
bool ExportCommandsEnabled(const AppState& app, CSamplingObj* sampling);

// Rows between two progress reports of a long export.
inline constexpr uint32_t kExportProgressRows = 2048;

// How a long export reports and is stopped. Before every `step`-th row the
// callback hears the rows done so far and the rows of the view; then the
// cancel flag is read, and a set flag ends the export there. Neither
// changes a byte of what is written up to that row.
struct ExportControl {
  std::function<void(uint32_t done, uint32_t total)> progress;
  const std::atomic<bool>* cancel = nullptr;
  uint32_t step = kExportProgressRows;

  // True when the export must stop before `row` of `total`.
  bool StopBefore(uint32_t row, uint32_t total) const;
};

using ExportBytesLoader = void (*)(CSamplingObj&, const SettingsRecord&, const TransactionInfo&,
                                   TransactionDetail*, AtomWalker&);

// What an export reads and whom it tells.
struct ExportEnv {
  CSamplingObj& sampling;
  const SettingsRecord& settings;
  velix::platform::InteractionSink& sink;
  DetailLoader load;
  uint32_t selected_row = 0;  // first selected list row, 0 when none
  ExportControl control = {};
  // The CSV and JSON Lines exports read each row's bytes through this into their own reused detail
  // and atom walker when set, else through `load` into the sampling object's detail.
  ExportBytesLoader bytes = nullptr;
};

inline ExportEnv ApplicationExportEnv(CSamplingObj& sampling, const SettingsRecord& settings,
                                      velix::platform::InteractionSink& sink, uint32_t selected_row) {
  ExportEnv env{sampling, settings, sink, &LoadTransactionDetail, selected_row};
  env.bytes = &LoadExportBytes;
  return env;
}

struct ExportResult {
  bool ok = false;
  uint32_t rows = 0;        // rows written completely or in part
  uint32_t error_code = 0;  // the failed write's system error code
  bool cancelled = false;   // the cancel flag ended the export early
  uint32_t total = 0;       // rows of the view when the export began
};

// The end both exports share: the selected row's detail is loaded again
// when rows were extracted, and a write error is shown.
void FinishExport(ExportEnv& env, bool extracted, const ExportResult& result);

}  // namespace orvane
