#include "Orvane/interchange/vcd_scanner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace velix::interchange {
namespace {

constexpr size_t kBufferSize = 1u << 20;

constexpr std::array<bool, 256> MakeSpaceTable() {
  std::array<bool, 256> table{};
  for (const char c : {' ', '\t', '\n', '\r', '\v', '\f'}) table[static_cast<unsigned char>(c)] = true;
  return table;
}
constexpr std::array<bool, 256> kSpace = MakeSpaceTable();

// Word characters are mostly above the blank; only the rest need the table.
inline bool IsSpace(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte <= ' ' && kSpace[byte];
}

}  // namespace

VcdScanner::~VcdScanner() {
  if (fd_ >= 0) ::close(fd_);
}

bool VcdScanner::Open(const std::string& path, std::string* error) {
  // Not blocking in open() on a FIFO; only regular files are read.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) {
    *error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    *error = path + " is not a regular file";
    return false;
  }
  buffer_.resize(kBufferSize);
  return true;
}

void VcdScanner::OpenText(std::string_view text) {
  buffer_.assign(text.begin(), text.end());
  end_ = buffer_.size();
  eof_ = true;
}

bool VcdScanner::Refill() {
  std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
  end_ -= pos_;
  pos_ = 0;
  while (end_ < buffer_.size()) {
    const ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error_ = std::string("cannot read: ") + std::strerror(errno);
      return false;
    }
    if (got == 0) {
      eof_ = true;
      break;
    }
    end_ += static_cast<size_t>(got);
  }
  return true;
}

bool VcdScanner::Next(std::string_view* word) {
  const char* data = buffer_.data();
  size_t pos = pos_;
  for (;;) {
    while (pos < end_ && IsSpace(data[pos])) {
      if (data[pos] == '\n') ++line_;
      ++pos;
    }
    pos_ = pos;
    if (end_ - pos <= kMaxWord && !eof_) {
      if (!Refill()) return false;
      data = buffer_.data();
      pos = pos_;
      continue;
    }
    if (pos == end_) return false;
    break;
  }
  word_line_ = line_;
  const size_t start = pos;
  const size_t limit = end_ - start > kMaxWord ? start + kMaxWord + 1 : end_;
  while (pos < limit && !IsSpace(data[pos])) ++pos;
  pos_ = pos;
  if (pos - start > kMaxWord) {
    error_ = "a word longer than " + std::to_string(kMaxWord) + " characters";
    return false;
  }
  *word = std::string_view(data + start, pos - start);
  return true;
}

std::string Quoted(std::string_view word) {
  std::string text = "'";
  for (size_t i = 0; i < word.size() && i < 40; ++i) {
    const auto c = static_cast<unsigned char>(word[i]);
    text += (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
  }
  if (word.size() > 40) text += "...";
  return text + "'";
}

}  // namespace velix::interchange
