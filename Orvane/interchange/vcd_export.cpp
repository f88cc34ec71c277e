#include "Orvane/interchange/vcd_export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "Orvane/capture/sample_atom.h"
#include "Orvane/capture/sic_header.h"
#include "Orvane/interchange/bus_lines.h"
#include "Orvane/interchange/replacing_file.h"
#include "Orvane/interchange/settings_comment.h"
#include "Orvane/interchange/vcd_atom_text.h"

namespace velix::interchange {
namespace {

// Even, so every block starts at an even position and a long atom, which
// stands only at even positions, never straddles two blocks.
constexpr size_t kBlock = 1u << 20;
// The output buffer, written out once less than kFlushRoom is left in it.
constexpr size_t kTextBuffer = 1u << 20;
constexpr size_t kAtomTextMax = VcdAtomText::kAtomTextMax;
// Enough for a run of 64 atoms between two checks of the room.
constexpr size_t kFlushRoom = 64 * kAtomTextMax;

// Reads a file sequentially in large blocks.
class BlockReader {
 public:
  ~BlockReader() {
    if (fd_ >= 0) ::close(fd_);
  }
  // Only regular files: open() must not wait for a FIFO's writer.
  bool Open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (fd_ >= 0 && (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))) {
      errno = EINVAL;
      return false;
    }
    return fd_ >= 0;
  }
  // Up to `size` bytes; 0 at the end, -1 on a fault.
  ssize_t Read(uint8_t* data, size_t size) {
    size_t got = 0;
    while (got < size) {
      const ssize_t n = ::read(fd_, data + got, size - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
      if (n == 0) break;
      got += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(got);
  }

 private:
  int fd_ = -1;
};

// Collects text in a buffer and writes it out when little room is left.
class TextWriter {
 public:
  TextWriter() : buffer_(kTextBuffer) {}
  ~TextWriter() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    return fd_ >= 0;
  }
  void Text(std::string_view text) {
    for (const char c : text) {
      if (buffer_.size() - used_ <= kFlushRoom) Flush();
      buffer_[used_++] = c;
    }
  }
  // Where the next text goes, with at least kFlushRoom bytes of room. The
  // writing loop keeps this cursor in a local and hands it back through
  // Commit: a member advanced after every store through a char pointer
  // would be reloaded and stored each time.
  char* Cursor() { return buffer_.data() + used_; }
  // How many atoms' text fits at `cursor`: the writing loop runs that many
  // without a check or a call, so its values stay in registers.
  size_t AtomRoom(const char* cursor) const {
    return static_cast<size_t>(buffer_.data() + buffer_.size() - cursor) / kAtomTextMax;
  }
  // Takes in what was written up to `cursor`, writing the buffer out once
  // less than kFlushRoom is left; returns where to go on.
  char* Commit(char* cursor) {
    used_ = static_cast<size_t>(cursor - buffer_.data());
    if (buffer_.size() - used_ < kFlushRoom) Flush();
    return Cursor();
  }
  bool Flush() {
    size_t done = 0;
    while (ok_ && done < used_) {
      const ssize_t n = ::write(fd_, buffer_.data() + done, used_ - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        ok_ = false;
        errno_ = errno;
      } else {
        done += static_cast<size_t>(n);
      }
    }
    used_ = 0;
    return ok_;
  }
  bool Close() {
    const bool flushed = Flush();
    if (::close(fd_) != 0 && flushed) {
      ok_ = false;
      errno_ = errno;
    }
    fd_ = -1;
    return ok_;
  }
  int Errno() const { return errno_; }

 private:
  std::vector<char> buffer_;
  size_t used_ = 0;
  int fd_ = -1;
  bool ok_ = true;
  int errno_ = 0;
};

std::string Declarations(const orvane::SettingsRecord& settings, uint32_t timescale_ns) {
  const uint8_t bus = static_cast<uint8_t>(settings.m_AnalyzeBusChannel & 3);
  std::string text = "$comment " + std::string(kSettingsCommentTag) + " " + SettingsHex(settings) + " $end\n";
  text += "$timescale " + std::to_string(timescale_ns) + " ns $end\n";
  text += "$scope module " + std::string(BusChoiceName(bus)) + " $end\n";
  const auto names = LineNames(bus);
  for (int line = 0; line < kProbeLines; ++line) {
    text += "$var wire 1 " + std::string(1, kVcdLineCodes[line]) + " " + names[line] + " $end\n";
  }
  text += "$upscope $end\n$enddefinitions $end\n";
  return text;
}

class Exporter {
 public:
  Exporter(const std::string& sic_path, std::string* error) : path_(sic_path), error_(*error) {}

  ExportStatus Run(const std::string& vcd_path);

 private:
  ExportStatus Fail(ExportStatus status, const std::string& message) {
    error_ = message;
    return status;
  }
  ExportStatus AlignError(uint64_t position);
  ExportStatus WriteChanges();
  void Initial(uint8_t state, uint64_t count);

  const std::string path_;
  std::string& error_;
  BlockReader in_;
  TextWriter out_;
  uint64_t ticks_per_sample_ = 1;
  VcdAtomText text_{1};
};

void Exporter::Initial(uint8_t state, uint64_t count) {
  out_.Text("#0\n$dumpvars\n");
  char* at = out_.Cursor();
  out_.Commit(at + text_.Start(state, count, at));
  out_.Text("$end\n");
}

ExportStatus Exporter::AlignError(uint64_t position) {
  return Fail(ExportStatus::kBadData, path_ + ": position " + std::to_string(position) +
                                          ": data align error (an odd position whose byte has bit 4 clear, "
                                          "or a long atom cut short)");
}

ExportStatus Exporter::WriteChanges() {
  std::vector<uint8_t> block(kBlock + 1);  // a spare byte, see below
  uint64_t position = 0;  // of block[0] in the data
  bool started = false;
  text_ = VcdAtomText(ticks_per_sample_);
  for (;;) {
    const ssize_t got = in_.Read(block.data(), kBlock);
    if (got < 0) return Fail(ExportStatus::kOpenFailed, "cannot read " + path_ + ": " + std::strerror(errno));
    const size_t length = static_cast<size_t>(got);
    const uint8_t* const data = block.data();
    size_t i = 0;
    if (!started && length != 0) {
      const orvane::SampleAtom atom = orvane::DecodeAtom(data, false);
      if (atom.size == orvane::kAtomAlignError || atom.size > length) return AlignError(position);
      i = atom.size;
      started = true;
      Initial(atom.state, atom.count);
    }
    char* at = out_.Cursor();
    // A long atom in the last byte of the data reads the spare byte after
    // the block; the loop then ends past `length`, which reports it below.
    while (i < length) {
      at = out_.Commit(at);
      // Each atom takes at least a byte, so the text of the atoms up to
      // `end` fits.
      const size_t end = i + std::min(length - i, out_.AtomRoom(at));
      bool corrupt = false;
      i = text_.Write(data, i, end, &at, &corrupt);
      if (corrupt) return AlignError(position + i);
    }
    out_.Commit(at);
    if (i > length) return AlignError(position + length - 1);
    position += length;
    if (length < kBlock) break;
  }
  if (!started) return Fail(ExportStatus::kBadData, path_ + " holds no samples");
  char* at = out_.Cursor();
  out_.Commit(at + text_.Finish(at));
  return ExportStatus::kOk;
}

ExportStatus Exporter::Run(const std::string& vcd_path) {
  orvane::SicHeader header{};
  if (!in_.Open(path_)) {
    return Fail(ExportStatus::kOpenFailed, errno == EINVAL ? path_ + " is not a regular file"
                                                           : "cannot open " + path_ + ": " + std::strerror(errno));
  }
  const ssize_t got = in_.Read(header.data(), header.size());
  if (got != static_cast<ssize_t>(header.size()) || !orvane::IsAcceptedSicHeader(header)) {
    return Fail(ExportStatus::kOpenFailed, path_ + " is not a sampling data file");
  }
  const orvane::SettingsRecord settings = orvane::SettingsFromSicHeader(header);
  if (settings.MonitorMode != 0) {
    return Fail(ExportStatus::kNotSamples, path_ +
                                               " is a monitor-mode capture: it holds the units the device decoded, "
                                               "not samples of the lines, so there is no waveform to export");
  }
  uint32_t timescale_ns = 10;
  switch (settings.SamplePeriodCode) {
    case 2:
    case 5:
      ticks_per_sample_ = settings.SamplePeriodCode;
      break;
    case 10:
      timescale_ns = 100;
      break;
    default:
      return Fail(ExportStatus::kBadData, path_ + ": the sample period code " +
                                              std::to_string(settings.SamplePeriodCode) + " is not 2, 5 or 10");
  }
  ReplacingFile target;
  if (!target.Create(vcd_path, &error_)) return ExportStatus::kWriteFailed;
  if (!out_.Open(target.TemporaryPath())) {
    return Fail(ExportStatus::kWriteFailed, "cannot write " + vcd_path + ": " + std::strerror(errno));
  }
  out_.Text(Declarations(settings, timescale_ns));
  const ExportStatus status = WriteChanges();
  if (status != ExportStatus::kOk) return status;
  if (!out_.Close()) {
    return Fail(ExportStatus::kWriteFailed, "cannot write " + vcd_path + ": " + std::strerror(out_.Errno()));
  }
  return target.Commit(&error_) ? ExportStatus::kOk : ExportStatus::kWriteFailed;
}

}  // namespace

ExportStatus ExportSicToVcd(const std::string& sic_path, const std::string& vcd_path, std::string* error) {
  return Exporter(sic_path, error).Run(vcd_path);
}

}  // namespace velix::interchange
