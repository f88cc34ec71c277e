#include "Orvane/interchange/channel_map.h"

namespace velix::interchange {
namespace {

// Channel lists can be long; a message shows the first few.
constexpr size_t kListedChannels = 32;

int FindChannel(const std::vector<std::string>& channels, const std::string& name) {
  for (size_t i = 0; i < channels.size(); ++i) {
    if (channels[i] == name) return static_cast<int>(i);
  }
  return kNoChannel;
}

std::string ChannelList(const std::vector<std::string>& channels) {
  std::string list;
  for (size_t i = 0; i < channels.size() && i < kListedChannels; ++i) list += (i == 0 ? "" : ", ") + channels[i];
  if (channels.size() > kListedChannels) list += ", ... (" + std::to_string(channels.size()) + " in all)";
  return list;
}

std::string LineList(uint8_t bus) {
  std::string list;
  for (const char* name : LineNames(bus)) list += (list.empty() ? "" : ", ") + std::string(name);
  return list;
}

}  // namespace

bool ResolveChannelMap(uint8_t bus, const std::vector<std::string>& pairs, const std::vector<std::string>& channels,
                       LineSources* sources, std::string* error) {
  sources->fill(kNoChannel);
  std::array<bool, kProbeLines> mapped{};
  for (const std::string& pair : pairs) {
    const size_t equals = pair.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == pair.size()) {
      *error = "--map takes LINE=NAME, not '" + pair + "'";
      return false;
    }
    const std::string line_name = pair.substr(0, equals);
    const std::string channel = pair.substr(equals + 1);
    const std::optional<int> line = LineOfName(bus, line_name);
    if (!line) {
      *error = "--map " + pair + ": the " + BusChoiceName(bus) + " lines are " + LineList(bus);
      return false;
    }
    if (mapped[*line]) {
      *error = "--map names the line " + std::string(LineNames(bus)[*line]) + " twice";
      return false;
    }
    const int index = FindChannel(channels, channel);
    if (index == kNoChannel) {
      *error = "--map " + pair + ": there is no channel '" + channel + "'; the channels are " + ChannelList(channels);
      return false;
    }
    mapped[*line] = true;
    (*sources)[*line] = index;
  }
  const auto names = LineNames(bus);
  for (int line = 0; line < kProbeLines; ++line) {
    if (!mapped[line]) (*sources)[line] = FindChannel(channels, names[line]);
    if ((*sources)[line] == kNoChannel && (RequiredLines(bus) >> line & 1) != 0) {
      *error = "no channel for the line " + std::string(names[line]) + ": name one with --map " + names[line] +
               "=NAME; the channels are " + ChannelList(channels);
      return false;
    }
  }
  return true;
}

}  // namespace velix::interchange
