#pragma once
// A zip archive opened for reading only, with its entries found by name or
// index, their stated sizes, and a stream over one entry's data at a time.
// Every libzip failure comes back as false with libzip's own text.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

struct zip;
struct zip_file;

namespace velix::interchange {

class ZipArchive {
 public:
  static std::unique_ptr<ZipArchive> OpenFile(const std::string& path, std::string* error);
  // The bytes must outlive the archive.
  static std::unique_ptr<ZipArchive> OpenMemory(std::span<const uint8_t> bytes, std::string* error);
  // Takes over an archive libzip opened.
  explicit ZipArchive(zip* archive) : archive_(archive) {}
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  uint64_t EntryCount() const;
  // The stored name as raw bytes; empty when the entry has none.
  std::string_view EntryName(uint64_t index) const;
  bool FindEntry(const std::string& name, uint64_t* index) const;
  // The uncompressed size the directory states; checked by the reader.
  bool EntrySize(uint64_t index, uint64_t* size, std::string* error) const;

  // The whole entry `name` as text, refused when it states more than
  // `max_bytes`.
  bool ReadSmallEntry(const std::string& name, size_t max_bytes, std::string* text, std::string* error);

  // Streams one entry at a time; opening another closes the previous one.
  bool OpenEntry(uint64_t index, std::string* error);
  // Up to `capacity` bytes of the open entry: 0 at its end, -1 on failure.
  int64_t ReadEntry(uint8_t* buffer, size_t capacity, std::string* error);
  void CloseEntry();

 private:
  zip* archive_;
  zip_file* entry_ = nullptr;
};

}  // namespace velix::interchange
