#pragma once
// Monitor-mode output: the units the device firmware sends after decoding
// the bus itself, and the transactions the monitor decoders are to build
// from them. Unit positions in the truth are absolute byte positions of the
// writer, so consecutive calls (repeated scenarios) stay consistent.
//
// I2C: one 16-bit unit per event, or two events in one unit when packing is
// "paired": START or STOP followed by a data byte or the other condition,
// and a data byte followed by START or STOP. Bits are grouped nine at a time
// after each START (eight data bits and the ACK); an incomplete group is not
// reported.
//
// SPI: one 32-bit unit per SS change (when SS is monitored), one per
// complete byte (low byte S2, high byte S3), and one empty unit per full
// second without any SS or SCLK change.

#include <vector>

#include "Orvane/capture/settings_record.h"
#include "sim/byte_writer.h"
#include "sim/ground_truth.h"
#include "sim/scenario.h"
#include "sim/waveform.h"

namespace velix::sim {

// Unit encoding of one I2C event code (1 START, 2 STOP, 4 data NACKed,
// 12 data ACKed) or of a pair of them; false when the pair has no encoding.
bool EncodeI2cUnit(uint8_t first_code, uint8_t second_code, uint8_t data, uint16_t* unit);
uint16_t EncodeI2cUnit(uint8_t code, uint8_t data);

void WriteI2cMonitorUnits(const Waveform& waveform, const orvane::SettingsRecord& settings,
                          MonitorPacking packing, ByteWriter* out, std::vector<TruthTransaction>* truth);

void WriteSpiMonitorUnits(const Waveform& waveform, const orvane::SettingsRecord& settings, ByteWriter* out,
                          std::vector<TruthTransaction>* truth);

}  // namespace velix::sim
