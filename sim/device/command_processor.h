#pragma once
// The firmware's command interpreter: takes what arrives on bulk OUT (10-byte
// command packets, and the data blocks that follow a flash, EEPROM or CPLD
// write) and says what the device does about it. No locking: the device
// calls it under its own lock.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sim/device/device_memory.h"
#include "sim/device/usb_identity.h"

namespace velix::sim {

inline constexpr size_t kCommandPacketSize = 10;

// Byte 3 of the 0xD8 status reply.
inline constexpr uint8_t kStatusOk = 0x00;
inline constexpr uint8_t kStatusCpldImageRejected = 0x01;  // bad trailer or too long
inline constexpr uint8_t kStatusFlashBlockInvalid = 0x02;  // erase of a block beyond the flash

enum class StreamAction : uint8_t { kNone, kStart, kStop };

struct CommandEffects {
  std::optional<std::vector<uint8_t>> reply;  // to be read by the next bulk IN
  StreamAction stream = StreamAction::kNone;
  bool memory_changed = false;                // the state file needs writing
};

class CommandProcessor {
 public:
  explicit CommandProcessor(DeviceMemory* memory) : memory_(memory) {}

  // A fresh plug-in: no data phase, power off, no trigger-out setting.
  void Reset();
  CommandEffects OnBulkOut(Personality personality, std::span<const uint8_t> bytes);

  // The target board powers itself (seen by 0xC5 as power present).
  void SetTargetSelfPowered(bool powered) { target_self_powered_ = powered; }
  uint8_t power_supply() const { return power_supply_; }
  const std::array<uint8_t, kCommandPacketSize>& trigger_out_setting() const { return trigger_out_; }
  uint8_t status() const { return status_; }

 private:
  enum class DataPhase : uint8_t { kNone, kFlash, kEeprom, kCpld };

  CommandEffects OnPacket(Personality personality, std::span<const uint8_t> packet);
  CommandEffects OnOperationPacket(std::span<const uint8_t> packet);
  CommandEffects OnUpdatePacket(std::span<const uint8_t> packet);
  CommandEffects OnData(std::span<const uint8_t> data);
  void FinishCpldImage();
  std::vector<uint8_t> VersionReply() const;

  DeviceMemory* memory_;
  DataPhase phase_ = DataPhase::kNone;
  uint32_t phase_address_ = 0;
  uint32_t phase_remaining_ = 0;
  std::vector<uint8_t> cpld_receiving_;
  uint8_t power_supply_ = 0;
  bool target_self_powered_ = false;
  std::array<uint8_t, kCommandPacketSize> trigger_out_{};
  uint8_t status_ = kStatusOk;
};

}  // namespace velix::sim
