#pragma once
// Splits a VCD file into its whitespace-separated words, reading through a
// large buffer. A word is a view into the buffer, valid until the next
// call. Words are bounded (kMaxWord bytes), so a file of any size is read
// in constant memory and a hostile one cannot make us hold an endless word.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velix::interchange {

class VcdScanner {
 public:
  static constexpr size_t kMaxWord = 4096;

  VcdScanner() = default;
  VcdScanner(const VcdScanner&) = delete;
  VcdScanner& operator=(const VcdScanner&) = delete;
  ~VcdScanner();

  // Opens a file; false with the system's reason.
  bool Open(const std::string& path, std::string* error);
  // Reads from memory instead (the fuzz target and tests).
  void OpenText(std::string_view text);

  // The next word; false at the end of the input or on a fault (Failed()).
  bool Next(std::string_view* word);
  bool Failed() const { return !error_.empty(); }
  const std::string& Error() const { return error_; }
  // The line of the word last returned, counted from 1.
  uint64_t Line() const { return word_line_; }

  // The buffered bytes not read yet, for a caller that reads whole lines
  // itself; valid until the next call.
  std::string_view Unread() const { return {buffer_.data() + pos_, end_ - pos_}; }
  // Moves past `bytes` of Unread() that hold `line_feeds` line feeds.
  void Skip(size_t bytes, uint64_t line_feeds) {
    pos_ += bytes;
    line_ += line_feeds;
    // A fault found next (a read error) names the last line read, as if
    // its words had come from Next().
    if (line_feeds != 0) word_line_ = line_;
  }

 private:
  // Moves the unread bytes to the front and reads more behind them.
  bool Refill();

  int fd_ = -1;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
  uint64_t line_ = 1;
  uint64_t word_line_ = 1;
  std::string error_;
};

// A word for a message: at most 40 characters, control bytes as '?'.
std::string Quoted(std::string_view word);

}  // namespace velix::interchange
