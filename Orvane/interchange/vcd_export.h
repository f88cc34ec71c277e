#pragma once
// Writes a bus analyzer capture (.SIC) as a VCD file: the four probe lines
// under the names of the capture's bus, one value change per atom that
// changes the lines, and the settings record in a comment. The capture is
// streamed through fixed buffers: memory stays constant for any file size.
//
// Times count in a timescale of 10 ns at 50 and 20 MHz (a sample is 2 or 5
// of them) and of 100 ns at 10 MHz (one per sample): VCD allows only 1, 10
// or 100 of a unit, so 20 and 50 ns periods are written in 10 ns steps.

#include <cstdint>
#include <string>

namespace velix::interchange {

enum class ExportStatus : uint8_t {
  kOk,
  kOpenFailed,   // the input cannot be read or is not a sampling data file
  kNotSamples,   // a monitor-mode capture: device-decoded units, no lines
  kBadData,      // corrupt atoms or settings
  kWriteFailed,  // the output could not be written
};

ExportStatus ExportSicToVcd(const std::string& sic_path, const std::string& vcd_path, std::string* error);

}  // namespace velix::interchange
