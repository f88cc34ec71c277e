#pragma once
// The controller without firmware and the loader that runs from its RAM:
// downloading the loader (EZ-USB RAM load through vendor request 0xA0) and
// the loader's serial EEPROM access (vendor request 0xE0).

#include <cstdint>
#include <span>

namespace velix::firmup {

// Holds the 8051 in reset, writes every data record of the loader image into
// its RAM, releases the reset, then gives the controller time to come back as
// the loader. False when the controller is absent or a write fails.
bool DownloadLoader();

// Reads (into `data`) or writes (from `data`) the serial EEPROM at `address`
// through the loader.
bool LoaderEepromTransfer(uint16_t address, bool read, std::span<uint8_t> data);

}  // namespace velix::firmup
