#include "Orvane/decode/export_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/string_format.h"
#include "platform/system_error.h"

namespace orvane {

using velix::platform::Icon;
using velix::platform::SectionLock;
using velix::platform::StringPrintf;

bool ExportWriter::WriteAll(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd_, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      error_ = static_cast<uint32_t>(errno);
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

ExportWriter::ExportWriter(int fd, LineEnds line_ends)
    : fd_(fd),
      line_ends_(line_ends),
      block_(std::make_unique_for_overwrite<char[]>(kExportBlockBytes + kExportBlockBytes / 2)),
      capacity_(kExportBlockBytes + kExportBlockBytes / 2) {}

ExportWriter::~ExportWriter() { Flush(); }

char* ExportWriter::Room(size_t bytes) {
  if (Failed()) return nullptr;
  if (capacity_ - size_ < bytes) {
    const size_t capacity = size_ + bytes;
    auto block = std::make_unique_for_overwrite<char[]>(capacity);
    std::memcpy(block.get(), block_.get(), size_);
    block_ = std::move(block);
    capacity_ = capacity;
  }
  return block_.get() + size_;
}

bool ExportWriter::Commit(const char* end) {
  size_ = static_cast<size_t>(end - block_.get());
  return size_ < kExportBlockBytes || Flush();
}

bool ExportWriter::Write(std::string_view text) {
  // Room for every "\n" turned into CR LF.
  char* at = Room(line_ends_ == LineEnds::kAsWritten ? text.size() : 2 * text.size());
  if (at == nullptr) return false;
  if (line_ends_ == LineEnds::kAsWritten) return Commit(std::copy(text.begin(), text.end(), at));
  // The stretches between the "\n"s are copied whole.
  for (size_t from = 0; from < text.size();) {
    const size_t newline = text.find('\n', from);
    const size_t end = newline == std::string_view::npos ? text.size() : newline;
    at = std::copy(text.data() + from, text.data() + end, at);
    if (newline == std::string_view::npos) break;
    *at++ = '\r';
    *at++ = '\n';
    from = newline + 1;
  }
  return Commit(at);
}

bool ExportWriter::Flush() {
  if (Failed()) return false;
  const bool written = WriteAll(block_.get(), size_);
  size_ = 0;
  return written;
}

std::string ExportErrorMessage(uint32_t code) {
  if (code == ETIMEDOUT) return StringPrintf("Time out  occured\n Win32 ErrorCode : %u", code);
  const std::string text = velix::platform::SystemErrorText(code);
  if (text.rfind("Unknown error", 0) == 0) {
    return StringPrintf(" Win32  ErrorCode\xEF\xBC\x9A%u", code);
  }
  return text + StringPrintf("\n Win32 ErrorCode : %u", code);
}

int OpenExportFile(const std::string& path, velix::platform::InteractionSink& sink, uint32_t* error_code) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const uint32_t error = fd < 0 ? static_cast<uint32_t>(errno) : 0;
  if (error_code != nullptr) *error_code = error;
  if (error == ENOENT) sink.Show(StringPrintf("File not found!\r\n <%s>\r\n", path.c_str()), Icon::kStop);
  return fd;
}

bool ExportControl::StopBefore(uint32_t row, uint32_t total) const {
  if (row == 0 || step == 0 || row % step != 0) return false;
  if (progress) progress(row, total);
  return cancel != nullptr && cancel->load();
}

bool ExportCommandsEnabled(const AppState& app, CSamplingObj* sampling) {
  if (sampling == nullptr || app.live_capture || app.analysis_running || !app.data_loaded) {
    return false;
  }
  return !app.settings.ForcedDisplay && sampling->Records().ViewCount() >= 1;
}

void FinishExport(ExportEnv& env, bool extracted, const ExportResult& result) {
  if (extracted) {
    SectionLock lock(env.sampling.ViewLock());
    TransactionInfo selected{};
    if (env.sampling.Records().GetRow(env.selected_row, &selected)) {
      env.load(env.sampling, env.settings, selected);
    }
  }
  if (result.error_code != 0) env.sink.Show(ExportErrorMessage(result.error_code), Icon::kStop);
}

}  // namespace orvane
