#include "Orvane/interchange/session_metadata.h"

#include <charconv>

#include "Orvane/interchange/ini_sections.h"
#include "Orvane/interchange/quoted_text.h"
#include "Orvane/interchange/sample_rate_text.h"

namespace velix::interchange {

namespace {

constexpr size_t kMaxNameBytes = 255;
constexpr std::string_view kProbePrefix = "probe";

// Plain decimal digits without a sign or leading zeros, so "probe01" and
// "probe1" cannot both name the first probe.
bool ParseCount(std::string_view text, uint32_t* value) {
  if (text.empty() || (text.size() > 1 && text.front() == '0')) return false;
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return status == std::errc() && end == text.data() + text.size();
}

bool IsPrintableName(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameBytes) return false;
  for (const char c : name) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) return false;
  }
  return true;
}

// A name used to build entry names inside the archive: one plain name.
bool IsPlainEntryName(std::string_view name) {
  return IsPrintableName(name) && name.find('/') == std::string_view::npos &&
         name.find('\\') == std::string_view::npos && name.find("..") == std::string_view::npos;
}

class DeviceReader {
 public:
  DeviceReader(const IniSection& section, std::string* error)
      : section_(section), error_(error), where_(" in section " + QuotedText(section.name)) {}

  const std::string* Required(std::string_view key) {
    const std::string* value = FindIniValue(section_, key);
    if (value == nullptr) *error_ = "missing key " + QuotedText(key) + where_;
    return value;
  }

  bool Count(std::string_view key, uint32_t low, uint32_t high, uint32_t* value) {
    const std::string* text = Required(key);
    if (text == nullptr) return false;
    if (!ParseCount(*text, value) || *value < low || *value > high) {
      *error_ = "key " + QuotedText(key) + where_ + " is " + QuotedText(*text) + ", not a number from " +
                std::to_string(low) + " to " + std::to_string(high);
      return false;
    }
    return true;
  }

  bool Read(SessionMetadata* metadata) {
    const std::string* capture_file = Required("capturefile");
    if (capture_file == nullptr) return false;
    if (!IsPlainEntryName(*capture_file)) {
      *error_ = "capturefile " + QuotedText(*capture_file) + where_ + " is not a plain entry name";
      return false;
    }
    metadata->capture_file = *capture_file;
    if (!Count("unitsize", 1, kMaxUnitSize, &metadata->unit_size)) return false;
    if (!Count("total probes", 1, metadata->unit_size * 8, &metadata->total_probes)) return false;
    const std::string* rate = Required("samplerate");
    if (rate == nullptr) return false;
    if (!ParseSampleRate(*rate, &metadata->tick, error_)) {
      *error_ += where_;
      return false;
    }
    return ReadChannels(metadata);
  }

 private:
  bool ReadChannels(SessionMetadata* metadata) {
    std::vector<const IniEntry*> by_probe(metadata->total_probes, nullptr);
    for (const IniEntry& entry : section_.entries) {
      const std::string_view key = entry.key;
      if (!key.starts_with(kProbePrefix)) continue;
      uint32_t probe = 0;
      if (!ParseCount(key.substr(kProbePrefix.size()), &probe)) continue;
      if (probe == 0 || probe > metadata->total_probes) {
        *error_ = "key " + QuotedText(key) + where_ + " names a probe beyond the " +
                  std::to_string(metadata->total_probes) + " of the device";
        return false;
      }
      if (!IsPrintableName(entry.value)) {
        *error_ = "key " + QuotedText(key) + where_ + " is not a channel name of 1 to " +
                  std::to_string(kMaxNameBytes) + " printable characters";
        return false;
      }
      by_probe[probe - 1] = &entry;
    }
    for (uint32_t bit = 0; bit < by_probe.size(); ++bit) {
      if (by_probe[bit] == nullptr) continue;
      for (const SessionChannel& channel : metadata->channels) {
        if (channel.name == by_probe[bit]->value) {
          *error_ = "channel name " + QuotedText(channel.name) + where_ + " is given to two probes";
          return false;
        }
      }
      metadata->channels.push_back(SessionChannel{by_probe[bit]->value, bit});
    }
    if (metadata->channels.empty()) {
      *error_ = "no probe is named" + where_;
      return false;
    }
    return true;
  }

  const IniSection& section_;
  std::string* error_;
  const std::string where_;
};

}  // namespace

bool ParseSessionMetadata(std::string_view text, SessionMetadata* metadata, std::string* error) {
  *metadata = SessionMetadata();
  if (text.size() > kMaxMetadataBytes) {
    *error = "metadata larger than " + std::to_string(kMaxMetadataBytes) + " bytes";
    return false;
  }
  std::vector<IniSection> sections;
  if (!ParseIniSections(text, &sections, error)) {
    *error = "metadata " + *error;
    return false;
  }
  const IniSection* device = nullptr;
  for (const IniSection& section : sections) {
    if (!section.name.starts_with("device ") || FindIniValue(section, "capturefile") == nullptr) continue;
    if (device != nullptr) {
      *error = "sections " + QuotedText(device->name) + " and " + QuotedText(section.name) +
               " both hold logic data; only one device can be imported";
      return false;
    }
    device = &section;
  }
  if (device == nullptr) {
    *error = "no [device N] section names a capturefile";
    return false;
  }
  DeviceReader reader(*device, error);
  return reader.Read(metadata);
}

}  // namespace velix::interchange
