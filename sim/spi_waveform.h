#pragma once
// Generates the SS/SCLK/data waveform of an SPI scenario at 10 ns
// resolution. Lines: S0 = SS, S1 = SCLK, S2 = MOSI, S3 = MISO. Data lines
// change half-way between the edge before a sampling edge and the sampling
// edge itself, so they are stable whenever the clock samples them; after a
// transfer they return high.

#include <string>

#include "sim/scenario.h"
#include "sim/waveform.h"

namespace velix::sim {

inline constexpr uint8_t kSpiSs = 1;
inline constexpr uint8_t kSpiSclk = 2;
inline constexpr uint8_t kSpiMosi = 4;  // S2
inline constexpr uint8_t kSpiMiso = 8;  // S3

// The line state of an idle SPI bus: SS inactive, SCLK at its polarity,
// data lines high.
uint8_t SpiIdleState(const SpiFormat& format);

bool GenerateSpiWaveform(const Scenario& scenario, Waveform* waveform, std::string* error);

}  // namespace velix::sim
