#pragma once
// Turns a foreign capture into a bus analyzer capture (.SIC): the mapped
// channels are sampled at the chosen rate by the exact edge-time rule
// (edge_time.h), run-length encoded into atoms as the device writes them,
// and saved with the bus settings. The settings are those of a new capture
// with the chosen bus and rate in bus analyzer mode, or, for a file that
// carries our own settings record, that record with the choices applied.
// The output appears only when the whole conversion succeeded.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Orvane/interchange/logic_source.h"

namespace velix::interchange {

struct ImportOptions {
  std::optional<uint8_t> bus_channel;  // 0 SPI, 1 I2C #0, 2 I2C #1
  std::optional<uint8_t> rate_code;    // sample period code 2, 5 or 10
  std::vector<std::string> map;        // LINE=NAME pairs
};

enum class ImportStatus : uint8_t {
  kOk,
  kBadChoice,    // no bus given, or the map does not fit the channels
  kBadInput,     // malformed input, edges that would merge, a capture too long
  kWriteFailed,  // the output could not be written
};

ImportStatus ImportToSic(LogicSource* source, const ImportOptions& options, const std::string& sic_path,
                         std::string* error);

}  // namespace velix::interchange
