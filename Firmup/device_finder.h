#pragma once
// Finding the analyzer in one of its personalities among the USB device
// interfaces, and the handles a firmware call opens on it. Every call opens
// and closes its own handles; nothing is kept between calls.

#include "platform/device_file.h"

namespace velix::firmup {

enum class Personality { kOperation, kFirmwareUpdate, kBareFx2, kRamLoader };

// How the interface path is opened: as found, or with the file name of the
// command pipe ("\PIPE00") or of the reply pipe ("\PIPE01").
enum class OpenKind { kPlain, kCommand, kReply };

// An open device file; closes it when it goes.
class DeviceHandle {
 public:
  DeviceHandle() = default;
  explicit DeviceHandle(platform::DeviceFile* file) : file_(file) {}
  ~DeviceHandle() { Close(); }
  DeviceHandle(DeviceHandle&& other) noexcept : file_(other.file_) { other.file_ = nullptr; }
  DeviceHandle& operator=(DeviceHandle&&) = delete;
  DeviceHandle(const DeviceHandle&) = delete;
  DeviceHandle& operator=(const DeviceHandle&) = delete;

  bool valid() const { return file_ != nullptr; }
  platform::DeviceFile* get() const { return file_; }
  void Close();

 private:
  platform::DeviceFile* file_ = nullptr;
};

// Opens the first interface whose path starts with the personality's
// prefix (ignoring case). Invalid when none does or its open fails.
DeviceHandle OpenDevice(Personality personality, OpenKind kind);

}  // namespace velix::firmup
