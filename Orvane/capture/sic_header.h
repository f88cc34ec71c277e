#pragma once
// The 1024-byte header of a sampling data file (.SIC): magic "KPW!", the
// header size, the settings record at 16, the signature at 992 and the
// trailer "Vask" at 1020. The sampling data follow at offset 1024; their
// length is the file size minus the header.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "Orvane/capture/settings_record.h"

namespace orvane {

inline constexpr size_t kSicHeaderSize = 1024;
inline constexpr size_t kSicSettingsOffset = 16;
inline constexpr size_t kSicSignatureOffset = 992;
inline constexpr size_t kSicTrailerOffset = 1020;

using SicHeader = std::array<uint8_t, kSicHeaderSize>;

// The header written in front of every saved capture.
SicHeader BuildSicHeader(const SettingsRecord& settings);

// The acceptance rule for a file's first bytes: at least 1024 of them, the
// magic, a header size of 1024 and the trailer. Nothing else is checked.
bool IsAcceptedSicHeader(std::span<const uint8_t> file_start);

// The settings record stored in an accepted header (not repaired).
SettingsRecord SettingsFromSicHeader(std::span<const uint8_t, kSicHeaderSize> header);

}  // namespace orvane
