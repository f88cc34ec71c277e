#pragma once
// Generates the SCL/SDA waveform of an I2C scenario at 10 ns resolution.
// Between commands a transfer rests with SCL low just after a falling edge;
// each bit changes SDA tHD_DAT after that edge and raises SCL once both the
// low time (plus any stretch) and the data set-up time have passed.

#include <string>

#include "sim/scenario.h"
#include "sim/waveform.h"

namespace velix::sim {

bool GenerateI2cWaveform(const Scenario& scenario, Waveform* waveform, std::string* error);

}  // namespace velix::sim
