#include "Orvane/capture/sampling_file_map.h"

#include <algorithm>
#include <cerrno>

#include "platform/trace.h"

namespace orvane {

using velix::platform::Trace;

SamplingFileMap::~SamplingFileMap() { Close(); }

bool SamplingFileMap::Open(const std::string& file_name) {
  Close();
  failed_step_ = OpenStep::kNone;
  last_error_ = 0;
  if (!file_.Open(file_name)) {
    last_error_ = file_.LastError();
    failed_step_ = OpenStep::kOpenFile;
    return false;
  }
  file_size_ = file_.Size();
  if (file_size_ == 0) {
    failed_step_ = OpenStep::kEmpty;
    Close();
    return false;
  }
  // Positions are 32-bit offsets behind a 1024-byte header: a larger file
  // cannot be addressed, and reading it as if it could would wrap around.
  if (file_size_ > 0xFFFFFFFFull) {
    last_error_ = EFBIG;
    failed_step_ = OpenStep::kCreateMapping;
    Close();
    return false;
  }
  if (!mapping_.Create(file_)) {
    last_error_ = mapping_.LastError();
    failed_step_ = OpenStep::kCreateMapping;
    Close();
    return false;
  }
  const auto length = static_cast<uint32_t>(std::min<uint64_t>(file_size_, kWindowSize));
  window_base_ = mapping_.MapView(0, length);
  if (window_base_ == nullptr) {
    last_error_ = mapping_.LastError();
    failed_step_ = OpenStep::kMapFirstWindow;
    Close();
    return false;
  }
  window_length_ = length;
  window_index_ = 0;
  return true;
}

void SamplingFileMap::UnmapWindow() {
  if (window_base_ != nullptr && !mapping_.UnmapView(window_base_, window_length_)) {
    Trace("...UnmapViewOfFile  Fail!! (lastError=%u) \n", mapping_.LastError());
  }
  window_base_ = nullptr;
  window_length_ = 0;
  window_index_ = -1;
}

void SamplingFileMap::Close() {
  UnmapWindow();
  mapping_.Close();
  file_.Close();
  file_size_ = 0;
}

const uint8_t* SamplingFileMap::Map(uint64_t file_offset, uint32_t* bytes_left) {
  if (!mapping_.IsOpen() || file_offset >= file_size_) return nullptr;
  const auto index = static_cast<int32_t>(file_offset >> 24);
  const auto in_window = static_cast<uint32_t>(file_offset & (kWindowSize - 1));
  if (index != window_index_) {
    UnmapWindow();
    const uint64_t window_offset = uint64_t(index) * kWindowSize;
    const auto length =
        static_cast<uint32_t>(std::min<uint64_t>(kWindowSize, file_size_ - window_offset));
    const uint8_t* base = mapping_.MapView(window_offset, length);
    if (base == nullptr) {
      last_error_ = mapping_.LastError();
      Trace(" MapViewOfFile() [ERROR!!]  LastError = %u,   index=%u \n", last_error_,
            static_cast<unsigned>(index));
      Trace("  dwViewLength=%u,  dwOffset=%u,  SamplingDataPtr=0x%08X \n", length,
            static_cast<unsigned>(window_offset), static_cast<unsigned>(file_offset));
      mapping_.Close();
      file_.Close();
      return nullptr;
    }
    window_base_ = base;
    window_length_ = length;
    window_index_ = index;
  }
  if (bytes_left != nullptr) *bytes_left = window_length_ - in_window;
  return window_base_ + in_window;
}

}  // namespace orvane
