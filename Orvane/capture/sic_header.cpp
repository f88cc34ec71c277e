#include "Orvane/capture/sic_header.h"

#include <cstring>

namespace orvane {
namespace {

constexpr uint8_t kMagic[4] = {'K', 'P', 'W', '!'};
constexpr uint8_t kTrailer[4] = {'V', 'a', 's', 'k'};
constexpr char kSignature[] = "TORVEL";

}  // namespace

SicHeader BuildSicHeader(const SettingsRecord& settings) {
  SicHeader header{};
  std::memcpy(header.data(), kMagic, sizeof kMagic);
  header[4] = static_cast<uint8_t>(kSicHeaderSize & 0xFF);
  header[5] = static_cast<uint8_t>(kSicHeaderSize >> 8);
  std::memcpy(header.data() + kSicSettingsOffset, &settings, kSettingsRecordSize);
  // The signature is six UTF-16LE code units.
  for (size_t i = 0; i + 1 < sizeof kSignature; ++i) {
    header[kSicSignatureOffset + 2 * i] = static_cast<uint8_t>(kSignature[i]);
  }
  std::memcpy(header.data() + kSicTrailerOffset, kTrailer, sizeof kTrailer);
  return header;
}

bool IsAcceptedSicHeader(std::span<const uint8_t> file_start) {
  if (file_start.size() < kSicHeaderSize) return false;
  if (std::memcmp(file_start.data(), kMagic, sizeof kMagic) != 0) return false;
  const unsigned header_size = file_start[4] | (unsigned(file_start[5]) << 8);
  if (header_size != kSicHeaderSize) return false;
  return std::memcmp(file_start.data() + kSicTrailerOffset, kTrailer, sizeof kTrailer) == 0;
}

SettingsRecord SettingsFromSicHeader(std::span<const uint8_t, kSicHeaderSize> header) {
  SettingsRecord settings;
  std::memcpy(&settings, header.data() + kSicSettingsOffset, kSettingsRecordSize);
  return settings;
}

}  // namespace orvane
