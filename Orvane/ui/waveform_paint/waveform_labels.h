#pragma once
// The texts the waveform canvas draws: grid times, byte values, condition
// and ACK labels. Qt-free.

#include <cstdint>
#include <string>

namespace orvane::ui {

// The offset `p` as microseconds with two decimals, "-" before a negative
// one (its magnitude printed).
std::string GridOffsetText(int64_t p, uint8_t period_code);
// The absolute time "%u:%03u:%03u.%02u" of start_clock + p (not before the
// capture start).
std::string GridAbsoluteText(uint64_t start_clock, int64_t p, uint8_t period_code);
// "0x%02X [%u]", and the second SPI line's "0x%02X ".
std::string ByteIndexText(uint8_t byte, uint32_t index);
std::string ByteText(uint8_t byte);

inline constexpr const char* kStartLabel = "[S]";
inline constexpr const char* kRepeatLabel = "[R]";
inline constexpr const char* kStopLabel = "[P]";
inline constexpr const char* kAckLabel = "ACK";
inline constexpr const char* kNackLabel = "NACK";

}  // namespace orvane::ui
