#include "Firmup/device_finder.h"

#include <string>
#include <string_view>

namespace velix::firmup {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[i]) != Lower(prefix[i])) return false;
  }
  return true;
}

std::string_view PipeName(OpenKind kind) {
  switch (kind) {
    case OpenKind::kCommand: return "\\PIPE00";
    case OpenKind::kReply: return "\\PIPE01";
    case OpenKind::kPlain: break;
  }
  return {};
}

// The first 25 characters of the interface path in each personality.
std::string_view PathPrefix(Personality personality) {
  switch (personality) {
    case Personality::kOperation: return "\\\\?\\USB#Vid_1D9A&Pid_030A";
    case Personality::kFirmwareUpdate: return "\\\\?\\USB#Vid_1D9A&Pid_030B";
    case Personality::kBareFx2: return "\\\\?\\USB#Vid_04B4&Pid_8613";
    case Personality::kRamLoader: return "\\\\?\\USB#Vid_1D9A&Pid_0221";
  }
  return {};
}

}  // namespace

void DeviceHandle::Close() {
  if (file_ == nullptr) return;
  platform::CloseDeviceFile(file_);
  file_ = nullptr;
}

DeviceHandle OpenDevice(Personality personality, OpenKind kind) {
  const std::string_view prefix = PathPrefix(personality);
  for (const std::string& path : platform::EnumerateDeviceInterfaces()) {
    if (!StartsWithNoCase(path, prefix)) continue;
    // The first matching interface is the one, whether it opens or not.
    return DeviceHandle(platform::CreateDeviceFile(path + std::string(PipeName(kind))));
  }
  return DeviceHandle();
}

}  // namespace velix::firmup
