#pragma once
// The sampling data file mapped read-only through one sliding 16 MiB window.
// Only one window is mapped at a time, so the address space a capture of
// hundreds of megabytes needs stays fixed. Not thread-safe by itself: the
// sampling object's view lock serialises every use.

#include <cstdint>
#include <string>

#include "platform/file_mapping.h"

namespace orvane {

inline constexpr uint32_t kWindowSize = 16u * 1024 * 1024;

class SamplingFileMap {
 public:
  enum class OpenStep { kNone, kOpenFile, kEmpty, kCreateMapping, kMapFirstWindow };

  SamplingFileMap() = default;
  ~SamplingFileMap();
  SamplingFileMap(const SamplingFileMap&) = delete;
  SamplingFileMap& operator=(const SamplingFileMap&) = delete;

  // Opens the file, creates the mapping and maps window 0. On failure
  // returns false with the step that failed and the system error code; the
  // map is then closed again.
  bool Open(const std::string& file_name);
  void Close();

  OpenStep FailedStep() const { return failed_step_; }
  uint32_t LastError() const { return last_error_; }
  bool IsOpen() const { return mapping_.IsOpen(); }
  uint64_t FileSize() const { return file_size_; }
  int32_t WindowIndex() const { return window_index_; }
  const uint8_t* WindowBase() const { return window_base_; }

  // The address of a file offset, switching the window when needed, and how
  // many bytes of the window remain from there. Null when the offset lies
  // outside the file or the window cannot be mapped; a failed switch closes
  // the mapping, so every later access fails too.
  const uint8_t* Map(uint64_t file_offset, uint32_t* bytes_left);

 private:
  void UnmapWindow();

  velix::platform::ReadOnlyFile file_;
  velix::platform::FileMapping mapping_;
  const uint8_t* window_base_ = nullptr;
  uint32_t window_length_ = 0;
  int32_t window_index_ = -1;
  uint64_t file_size_ = 0;
  OpenStep failed_step_ = OpenStep::kNone;
  uint32_t last_error_ = 0;
};

}  // namespace orvane
