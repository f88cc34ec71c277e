#include "ModeChange/tests/fake_velix_device.h"

#include <algorithm>

namespace velix::modechange::testing {
namespace {

constexpr uint8_t kEepromMajor = 1;
constexpr uint8_t kEepromMinor = 0x02;
constexpr uint8_t kFlashMajor = 2;
constexpr uint8_t kFlashMinor = 0x10;

bool HoldsOperationIdentity(const FlashRecord& record) {
  return record[0] == 0x9A && record[1] == 0x1D && record[2] == 0x0A && record[3] == 0x03;
}

}  // namespace

FakeVelixDevice::FakeVelixDevice(Personality personality, uint8_t cpld_major, uint8_t cpld_minor)
    : personality_(personality) {
  for (size_t i = 0; i < record_.size(); ++i) record_[i] = static_cast<uint8_t>(0x30 + i % 64);
  SetOperationIdentity(record_);
  SetCpldVersion(record_, cpld_major, cpld_minor);
}

void FakeVelixDevice::Unplug() {
  std::lock_guard lock(mutex_);
  plugged_ = false;
}

void FakeVelixDevice::Plug() {
  std::lock_guard lock(mutex_);
  plugged_ = true;
  identity_ = HoldsOperationIdentity(record_) ? kDeviceModeOperation : kDeviceModeUpdate;
}

void FakeVelixDevice::SetIdentity(uint32_t identity) {
  std::lock_guard lock(mutex_);
  identity_ = identity;
}

void FakeVelixDevice::FailCpldChunk(int index) {
  std::lock_guard lock(mutex_);
  failing_chunk_ = index;
}

void FakeVelixDevice::FailFlashRead() {
  std::lock_guard lock(mutex_);
  fail_flash_read_ = true;
}

void FakeVelixDevice::SetStatusByte(uint8_t status) {
  std::lock_guard lock(mutex_);
  status_byte_ = status;
}

void FakeVelixDevice::SetRecordVersion(uint8_t cpld_major, uint8_t cpld_minor) {
  std::lock_guard lock(mutex_);
  SetCpldVersion(record_, cpld_major, cpld_minor);
}

void FakeVelixDevice::BeforeNextVersionRead(std::function<void()> hook) {
  std::lock_guard lock(mutex_);
  version_read_hook_ = std::move(hook);
}

uint32_t FakeVelixDevice::Identity() const {
  std::lock_guard lock(mutex_);
  return plugged_ ? identity_ : kDeviceModeAbsent;
}

Personality FakeVelixDevice::LoadedPersonality() const {
  std::lock_guard lock(mutex_);
  return personality_;
}

FlashRecord FakeVelixDevice::Record() const {
  std::lock_guard lock(mutex_);
  return record_;
}

std::vector<CpldChunk> FakeVelixDevice::CpldChunks() const {
  std::lock_guard lock(mutex_);
  return chunks_;
}

std::vector<std::string> FakeVelixDevice::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

void FakeVelixDevice::ClearLog() {
  std::lock_guard lock(mutex_);
  calls_.clear();
  chunks_.clear();
}

uint32_t FakeVelixDevice::GetDeviceMode() {
  std::lock_guard lock(mutex_);
  Log("GetDeviceMode");
  return plugged_ ? identity_ : kDeviceModeAbsent;
}

bool FakeVelixDevice::GetFirmVersion(FirmVersions& versions) {
  std::function<void()> hook;
  {
    std::lock_guard lock(mutex_);
    hook.swap(version_read_hook_);
  }
  if (hook) hook();
  std::lock_guard lock(mutex_);
  Log("GetFirmVersion");
  if (!InUpdateMode()) return false;
  versions = {kEepromMajor, kEepromMinor, kFlashMajor, kFlashMinor, record_[8], record_[9]};
  return true;
}

bool FakeVelixDevice::GetStatus(uint8_t& status) {
  std::lock_guard lock(mutex_);
  Log("GetStatus");
  if (!InUpdateMode()) return false;
  status = status_byte_;
  return true;
}

bool FakeVelixDevice::FlashRead(uint16_t address, std::span<uint8_t> buffer) {
  std::lock_guard lock(mutex_);
  Log("FlashRead");
  if (!InUpdateMode() || fail_flash_read_ || address != kFlashRecordAddress || buffer.size() != record_.size()) {
    return false;
  }
  std::copy(record_.begin(), record_.end(), buffer.begin());
  return true;
}

bool FakeVelixDevice::FlashErase(uint8_t block) {
  std::lock_guard lock(mutex_);
  Log("FlashErase");
  if (!InUpdateMode() || block != kFlashRecordBlock) return false;
  record_.fill(0xFF);
  return true;
}

bool FakeVelixDevice::FlashWrite(uint16_t address, std::span<const uint8_t> data) {
  std::lock_guard lock(mutex_);
  Log("FlashWrite");
  if (!InUpdateMode() || address != kFlashRecordAddress || data.size() != record_.size()) return false;
  // Programming only clears bits, as in real flash: unerased bytes garble.
  for (size_t i = 0; i < record_.size(); ++i) record_[i] &= data[i];
  return true;
}

bool FakeVelixDevice::CPLDWrite(std::span<const uint8_t> chunk, uint32_t total_length) {
  std::lock_guard lock(mutex_);
  Log("CPLDWrite");
  chunks_.push_back({chunk.size(), total_length});
  if (failing_chunk_ >= 0 && failing_chunk_-- == 0) return false;
  if (!InUpdateMode()) return false;
  if (total_length != 0) {
    image_.clear();
    image_total_ = total_length;
  }
  if (image_.size() + chunk.size() > image_total_) return false;
  image_.insert(image_.end(), chunk.begin(), chunk.end());
  if (image_.size() == image_total_ && !image_.empty()) {
    personality_ = image_[0] == 'A' ? Personality::kAnalyzer : Personality::kMonitor;
  }
  return true;
}

Personality FakeVelixDevice::QueryMode() {
  std::lock_guard lock(mutex_);
  Log("QueryMode");
  return plugged_ && identity_ == kDeviceModeOperation ? personality_ : Personality::kNone;
}

bool FakeVelixDevice::EnterUpdateMode() {
  std::lock_guard lock(mutex_);
  Log("EnterUpdateMode");
  if (!plugged_ || identity_ != kDeviceModeOperation) return false;
  // The device keeps the wish in its record: the update-mode product ID.
  record_[2] = 0x0B;
  return true;
}

}  // namespace velix::modechange::testing
