#pragma once
// The declaration section of a VCD file, up to $enddefinitions: the
// timescale, the scopes and the one-bit variables that become channels.

#include <cstdint>
#include <string>
#include <vector>

#include "Orvane/interchange/logic_source.h"
#include "Orvane/interchange/vcd_identifiers.h"
#include "Orvane/interchange/vcd_scanner.h"

namespace velix::interchange {

// More channels than any logic analyzer has; the bound keeps a hostile
// file's declarations small.
inline constexpr size_t kMaxVcdChannels = 4096;

struct VcdDeclarations {
  TickLength tick;
  std::vector<std::string> channels;
  VcdIdentifiers identifiers;
  std::vector<uint8_t> carried_settings;
};

// Reads through "$enddefinitions $end"; false with a message that names
// the line.
bool ReadVcdDeclarations(VcdScanner* scanner, VcdDeclarations* out, std::string* error);

// Skips the words of a section up to and including its "$end"; false when
// the input ends first.
bool SkipToEnd(VcdScanner* scanner);

}  // namespace velix::interchange
