#include "Orvane/interchange/vcd_export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "Orvane/capture/sample_atom.h"
#include "Orvane/capture/sic_header.h"
#include "Orvane/interchange/bus_lines.h"
#include "Orvane/interchange/replacing_file.h"
#include "Orvane/interchange/settings_comment.h"

namespace velix::interchange {
namespace {

constexpr size_t kBlock = 1u << 20;
// The longest text one atom can add: a time stamp and four value changes.
constexpr size_t kAtomTextMax = 64;
constexpr char kCodes[kProbeLines] = {'!', '"', '%', '&'};

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

// Collects text in a block and writes whole blocks.
class TextWriter {
 public:
  TextWriter() : buffer_(kBlock + kAtomTextMax) {}
  ~TextWriter() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    return fd_ >= 0;
  }
  void Text(std::string_view text) {
    for (const char c : text) {
      Room();
      buffer_[used_++] = c;
    }
  }
  // Room for one atom's text.
  void Room() {
    if (used_ >= kBlock) Flush();
  }
  char* At() { return buffer_.data() + used_; }
  void Advance(size_t n) { used_ += n; }
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

// The time stamp line "#<time>\n", kept as decimal text and advanced by
// decimal addition: times only grow, mostly by a few digits' worth, so
// this costs far less than formatting every stamp anew.
class TimeStamp {
 public:
  TimeStamp() {
    std::memset(text_, '0', sizeof text_);
    text_[kLast + 1] = '\n';
    text_[kLast - 1] = '#';
  }
  void Advance(uint64_t delta) {
    size_t i = kLast;
    while (delta != 0) {
      const uint64_t digit = i >= first_ ? static_cast<uint64_t>(text_[i] - '0') : 0;
      uint64_t sum = digit + delta % 10;
      delta /= 10;
      if (sum >= 10) {
        sum -= 10;
        ++delta;
      }
      text_[i] = static_cast<char>('0' + sum);
      if (i < first_) {
        first_ = i;
        text_[i - 1] = '#';
      }
      --i;
    }
  }
  // Writes the line; returns its length.
  size_t Put(char* out) const {
    const size_t length = kLast + 3 - first_;
    std::memcpy(out, text_ + first_ - 1, length);
    return length;
  }

 private:
  static constexpr size_t kLast = 21;  // the units digit; 20 digits before it fit any 64-bit time
  char text_[kLast + 2];
  size_t first_ = kLast;  // the leading digit
};

// The value-change lines of the lines that changed, for every pair of
// (changed lines, new state).
struct ChangeText {
  uint8_t length = 0;
  char text[3 * kProbeLines] = {};
};

const std::array<ChangeText, 256>& ChangeTexts() {
  static const std::array<ChangeText, 256> table = [] {
    std::array<ChangeText, 256> t{};
    for (int changed = 0; changed < 16; ++changed) {
      for (int state = 0; state < 16; ++state) {
        ChangeText& entry = t[changed << 4 | state];
        for (int line = 0; line < kProbeLines; ++line) {
          if ((changed >> line & 1) == 0) continue;
          entry.text[entry.length++] = (state >> line & 1) ? '1' : '0';
          entry.text[entry.length++] = kCodes[line];
          entry.text[entry.length++] = '\n';
        }
      }
    }
    return t;
  }();
  return table;
}

// Appends the changed lines' values at `out`; returns the length.
size_t PutChanges(char* out, uint8_t changed, uint8_t state) {
  const ChangeText& entry = ChangeTexts()[changed << 4 | state];
  std::memcpy(out, entry.text, sizeof entry.text);
  return entry.length;
}

std::string Declarations(const orvane::SettingsRecord& settings, uint32_t timescale_ns) {
  const uint8_t bus = static_cast<uint8_t>(settings.m_AnalyzeBusChannel & 3);
  std::string text = "$comment " + std::string(kSettingsCommentTag) + " " + SettingsHex(settings) + " $end\n";
  text += "$timescale " + std::to_string(timescale_ns) + " ns $end\n";
  text += "$scope module " + std::string(BusChoiceName(bus)) + " $end\n";
  const auto names = LineNames(bus);
  for (int line = 0; line < kProbeLines; ++line) {
    text += "$var wire 1 " + std::string(1, kCodes[line]) + " " + names[line] + " $end\n";
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
  ExportStatus WriteChanges();
  void Initial(uint8_t state);

  const std::string path_;
  std::string& error_;
  BlockReader in_;
  TextWriter out_;
  uint64_t ticks_per_sample_ = 1;
};

void Exporter::Initial(uint8_t state) {
  out_.Text("#0\n$dumpvars\n");
  out_.Advance(PutChanges(out_.At(), 0x0F, state));
  out_.Text("$end\n");
}

ExportStatus Exporter::WriteChanges() {
  std::vector<uint8_t> block(kBlock + 1);
  uint64_t position = 0;  // of block[0] in the data
  size_t kept = 0;        // a long atom's first byte carried over
  uint64_t samples = 0;
  uint64_t last_time_written = 0;
  uint8_t state = 0;
  bool started = false;
  TimeStamp stamp;
  for (;;) {
    const ssize_t got = in_.Read(block.data() + kept, kBlock + 1 - kept);
    if (got < 0) return Fail(ExportStatus::kOpenFailed, "cannot read " + path_ + ": " + std::strerror(errno));
    const size_t length = kept + static_cast<size_t>(got);
    const bool last = got == 0 || length < kBlock + 1;
    size_t i = 0;
    while (i < length) {
      const uint8_t* p = block.data() + i;
      const bool odd = ((position + i) & 1) != 0;
      if ((p[0] & 0x10) == 0 && !odd && i + 1 == length && !last) break;
      const orvane::SampleAtom atom = orvane::DecodeAtom(p, odd, i + 1 < length);
      if (atom.size == orvane::kAtomAlignError) {
        return Fail(ExportStatus::kBadData, path_ + ": position " + std::to_string(position + i) +
                                                ": data align error (an odd position whose byte has bit 4 clear, "
                                                "or a long atom cut short)");
      }
      i += atom.size;
      samples += atom.count;
      if (!started) {
        started = true;
        state = atom.state;
        Initial(state);
        continue;
      }
      if (atom.state == state) continue;
      out_.Room();
      const uint64_t time = samples * ticks_per_sample_;
      char* at = out_.At();
      size_t n = 0;
      if (time != last_time_written) {
        stamp.Advance(time - last_time_written);
        n = stamp.Put(at);
      }
      n += PutChanges(at + n, static_cast<uint8_t>(atom.state ^ state), atom.state);
      out_.Advance(n);
      last_time_written = time;
      state = atom.state;
    }
    position += i;
    kept = length - i;
    if (kept != 0) block[0] = block[i];
    if (last) break;
  }
  if (!started) return Fail(ExportStatus::kBadData, path_ + " holds no samples");
  const uint64_t end = samples * ticks_per_sample_;
  if (end != last_time_written) {
    out_.Room();
    stamp.Advance(end - last_time_written);
    out_.Advance(stamp.Put(out_.At()));
  }
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
