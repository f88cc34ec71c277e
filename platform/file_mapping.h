#pragma once
// Read-only file access for the sampling data: an opened file, a mapping of
// the whole file, and views of parts of it (the caller maps one 16 MiB
// window at a time). Failures return false / null and keep the errno value.

#include <cstdint>
#include <string>

namespace velix::platform {

// An existing file opened for reading, with read sharing.
class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool Open(const std::string& path);   // existing file only
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  uint64_t Size() const;                // 0 when unknown
  uint32_t LastError() const { return last_error_; }

 private:
  int fd_ = -1;
  uint32_t last_error_ = 0;
};

// A read-only mapping object of a whole file (the role of a file mapping
// handle): it keeps its own descriptor, so the file may be closed first.
class FileMapping {
 public:
  FileMapping() = default;
  ~FileMapping();
  FileMapping(const FileMapping&) = delete;
  FileMapping& operator=(const FileMapping&) = delete;

  // Fails for an empty file, as a mapping of nothing cannot exist.
  bool Create(const ReadOnlyFile& file);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  uint64_t Size() const { return size_; }

  // Maps [offset, offset + length) read-only; offset must be a multiple of
  // AllocationGranularity(). Returns null on failure (LastError()).
  const uint8_t* MapView(uint64_t offset, size_t length);
  // Unmaps a view returned by MapView.
  bool UnmapView(const uint8_t* view, size_t length);
  uint32_t LastError() const { return last_error_; }

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
  uint32_t last_error_ = 0;
};

size_t AllocationGranularity();

}  // namespace velix::platform
