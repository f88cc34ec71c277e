#pragma once
// The exchanges of the firmware update mode over the driver's firmware
// command request: a packet, a packet and its reply (read through a second
// handle on the reply pipe), or a packet followed by its data block. A
// packet the device refused is never followed by its data or reply phase.

#include <cstdint>
#include <span>

#include "Firmup/command_packets.h"
#include "platform/device_file.h"

namespace velix::firmup {

// Sends bytes to the device's bulk OUT endpoint on an open handle.
bool SendToDevice(platform::DeviceFile* file, std::span<const uint8_t> bytes);

// The exchanges below each open the firmware update mode device and close
// it again.
bool SendCommand(const CommandPacket& packet);
// Succeeds only when the whole reply arrived.
bool SendCommandReadReply(const CommandPacket& packet, std::span<uint8_t> reply);
// `packet` null: the data alone (a continued CPLD image).
bool SendCommandWithData(const CommandPacket* packet, std::span<const uint8_t> data);

}  // namespace velix::firmup
