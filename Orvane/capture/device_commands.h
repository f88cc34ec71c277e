#pragma once
// The 10-byte command packets the application sends to the analyzer, and the
// parsers of the replies it reads back. A packet is byte 0 = command code,
// multi-byte fields big-endian, every byte not set explicitly 0; a command
// that expects a reply carries the reply length in bytes 7-8.
//
// Builders only lay out bytes; the driver client decides how each packet
// travels (plain write or firmware command with a reply buffer).

#include <array>
#include <cstdint>
#include <span>

#include "Orvane/capture/settings_record.h"

namespace orvane {

inline constexpr size_t kCommandPacketSize = 10;
using CommandPacket = std::array<uint8_t, kCommandPacketSize>;

inline constexpr uint8_t VELIX_CMD_GET_FW_VERSION = 0xC0;
inline constexpr uint8_t VELIX_CMD_POWER_CONTROL = 0xC3;
inline constexpr uint8_t VELIX_CMD_SAMPLING_CONTROL = 0xC4;
inline constexpr uint8_t VELIX_CMD_GET_POWER_STATE = 0xC5;
inline constexpr uint8_t VELIX_CMD_MONITOR_CONTROL = 0xC6;
inline constexpr uint8_t VELIX_CMD_GET_MODE = 0xC8;
inline constexpr uint8_t VELIX_CMD_I2C_TRGOUT_SETTING = 0xC9;

// Reply lengths the reply-bearing commands ask for.
inline constexpr uint16_t kFwVersionReplySize = 8;
inline constexpr uint16_t kPowerStateReplySize = 4;
inline constexpr uint16_t kModeReplySize = 4;

// Highest `PowerSupply` code (5.0 V).
inline constexpr uint8_t kMaxPowerSupplyCode = 4;

// ---- Queries (sent as firmware commands, a reply follows) ----

CommandPacket GetFwVersionCommand();
CommandPacket GetPowerStateCommand();
CommandPacket GetModeCommand();

// ---- Writes (no reply) ----

// Switches the target supply: 0 off, 1 1.8 V, 2 2.5 V, 3 3.3 V, 4 5.0 V.
// A code beyond 4 goes out as 0 (off): the device must never be handed a
// supply value nobody chose.
CommandPacket PowerControlCommand(uint8_t power_supply);

// Analyzer sampling start: sample rate, external input trigger, noise
// filter and channel, all from the settings record.
CommandPacket SamplingStartCommand(const SettingsRecord& settings);
// Monitor start: external input trigger, channel and the SPI framing.
CommandPacket MonitorStartCommand(const SettingsRecord& settings);
// Stop of either mode: the mode's code followed by nine zero bytes.
CommandPacket SamplingStopCommand(bool monitor_mode);

// I2C trigger output; all fields zero while `TrgOutEnable` is 0.
CommandPacket I2CTrgOutSettingCommand(const SettingsRecord& settings);

// ---- Replies ----
// Each parser fails on a reply shorter than its command asked for, so a
// short transfer is never read past its end nor mistaken for real values.

struct FirmwareVersions {
  std::array<uint8_t, 2> firmware{};
  std::array<uint8_t, 2> cpld{};
};

bool ParseFwVersionReply(std::span<const uint8_t> reply, FirmwareVersions* versions);
// `target_powered`: the target already has power (PowerSenseFlag).
bool ParsePowerStateReply(std::span<const uint8_t> reply, bool* target_powered);
// `analyzer`: the device runs the bus analyzer firmware (else monitor).
bool ParseModeReply(std::span<const uint8_t> reply, bool* analyzer);

}  // namespace orvane
