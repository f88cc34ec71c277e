#include "Orvane/capture/sic_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "Orvane/capture/sic_header.h"
#include "platform/critical_section.h"
#include "platform/string_format.h"
#include "platform/system_error.h"
#include "platform/trace.h"

namespace orvane {

using velix::platform::Icon;
using velix::platform::InteractionSink;
using velix::platform::StringPrintf;

namespace {

constexpr char kSaveFailed[] = "Failed to save data!\n\n";

// The cause codes the save messages have always shown.
int CauseCode(int error) {
  switch (error) {
    case ENOENT: return 2;                 // file not found
    case ENOTDIR: case ENAMETOOLONG: return 3;  // bad path
    case EMFILE: case ENFILE: return 4;    // too many open files
    case EACCES: case EPERM: case EROFS: case EISDIR: return 5;  // access denied
    case EBUSY: case ETXTBSY: return 11;   // sharing violation
    case EIO: return 10;                   // hardware I/O
    case ENOSPC: case EDQUOT: return 13;   // disk full
    default: return 1;                     // generic
  }
}

void ShowFileError(InteractionSink& sink, const std::string& name, int error) {
  sink.Show(kSaveFailed + StringPrintf("%s \n  (m_cause=%d)", name.c_str(), CauseCode(error)),
            Icon::kStop);
}

bool WriteAll(int fd, const uint8_t* data, size_t length, int* error) {
  while (length > 0) {
    const ssize_t n = ::write(fd, data, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = errno;
      return false;
    }
    data += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

// A file being written under a temporary name in the target's folder.
class PendingFile {
 public:
  explicit PendingFile(const std::string& target) : target_(target) {
    std::string pattern = target + ".saving-XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    temp_ = pattern;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
  }
  ~PendingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  int Fd() const { return fd_; }
  int Error() const { return error_; }
  bool Commit(int* error) {
    const int fd = fd_;
    fd_ = -1;
    if (::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) {
      *error = errno;
      return false;
    }
    temp_.clear();
    return true;
  }

 private:
  std::string target_;
  std::string temp_;
  int fd_ = -1;
  int error_ = 0;
};

enum class PieceResult { kOk, kMapFailed, kWriteFailed };

PieceResult WritePiece(int fd, CSamplingObj& sampling, DataPiece piece, uint32_t* failed_at,
                       int* error) {
  uint32_t position = piece.position;
  uint32_t remaining = piece.length;
  while (remaining > 0) {
    uint32_t left = 0;
    const uint8_t* p = sampling.MapPosition(position, &left);
    if (p == nullptr) {
      *failed_at = position;
      return PieceResult::kMapFailed;
    }
    const uint32_t chunk = std::min({remaining, kSaveChunkSize, left});
    if (!WriteAll(fd, p, chunk, error)) return PieceResult::kWriteFailed;
    position += chunk;
    remaining -= chunk;
  }
  return PieceResult::kOk;
}

}  // namespace

SavePieces ChooseSavePieces(const SettingsRecord& settings, CSamplingObj& sampling) {
  SavePieces pieces;
  const uint32_t length = sampling.m_lenSamplingDataInBuffer;
  if (settings.FreeRun && sampling.buffer_wrapped) {
    const uint32_t size = sampling.m_sizeSamplingBuf;
    const uint32_t start = (sampling.m_SamplingCurrentPtr + 3u) & ~3u;
    sampling.m_SamplingCurrentPtr = start;
    const uint32_t rounded_length = (length + 3u) & ~3u;
    pieces.first = {start, size > rounded_length ? size - rounded_length : 0};
    pieces.second = {0, length};
  } else {
    pieces.first = {0, length};
  }
  return pieces;
}

bool WriteSicFile(const std::string& name, const SettingsRecord& settings,
                  CSamplingObj& sampling, InteractionSink& sink) {
  PendingFile file(name);
  if (file.Fd() < 0) {
    if (file.Error() == ENOENT) {
      sink.Show("File not found!\r\n <" + name + ">\r\n");
    } else {
      ShowFileError(sink, name, file.Error());
    }
    return false;
  }
  const SicHeader header = BuildSicHeader(settings);
  int error = 0;
  if (!WriteAll(file.Fd(), header.data(), header.size(), &error)) {
    ShowFileError(sink, name, error);
    return false;
  }
  velix::platform::SectionLock lock(sampling.ViewLock());
  const SavePieces pieces = ChooseSavePieces(settings, sampling);
  // A wrapped ring whose write position rounds up to the very end has all
  // its data in the second piece: only no data at all is empty.
  if (pieces.first.length == 0 && pieces.second.length == 0) {
    sink.Show("Empty Sampling data.", Icon::kExclamation);
    return false;
  }
  for (const DataPiece& piece : {pieces.first, pieces.second}) {
    uint32_t failed_at = 0;
    switch (WritePiece(file.Fd(), sampling, piece, &failed_at, &error)) {
      case PieceResult::kOk:
        break;
      case PieceResult::kMapFailed:
        sink.Show(kSaveFailed + StringPrintf("(Memory Map NG : 0x%x)", failed_at));
        return false;
      case PieceResult::kWriteFailed:
        ShowFileError(sink, name, error);
        return false;
    }
  }
  if (!file.Commit(&error)) {
    ShowFileError(sink, name, error);
    return false;
  }
  return true;
}

}  // namespace orvane
