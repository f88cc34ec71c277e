#pragma once
// The two commands the tool sends to the driver's device "\\.\VELIX0"
// itself, each on a handle of its own (open, one firmware command, close):
// the personality query 0xC8 and 0xD9, after which the device comes up in
// firmware update mode at its next plug-in.

#include <array>
#include <cstdint>
#include <span>

#include "ModeChange/firmware_access.h"

namespace velix::modechange {

using CommandPacket = std::array<uint8_t, 10>;

CommandPacket ModeQueryPacket();
CommandPacket EnterUpdateModePacket();

// Bit 0 of reply byte 3: analyzer when set, monitor when clear; a reply
// shorter than 4 bytes tells nothing.
Personality PersonalityFromModeReply(std::span<const uint8_t> reply);

// kNone when the device cannot be opened or does not answer.
Personality QueryDriverMode();
bool SendEnterUpdateMode();

}  // namespace velix::modechange
