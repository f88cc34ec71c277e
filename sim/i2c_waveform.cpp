#include "sim/i2c_waveform.h"

#include <algorithm>

#include "sim/waveform_builder.h"

namespace velix::sim {
namespace {

uint32_t* TimingField(I2cTiming& timing, uint8_t index) {
  uint32_t* fields[] = {&timing.tHD_STA, &timing.tSU_STA, &timing.tSU_STO, &timing.tBUF,
                        &timing.tLOW,    &timing.tHIGH,   &timing.tHD_DAT, &timing.tSU_DAT};
  return fields[index];
}

class I2cGenerator {
 public:
  I2cGenerator(const Scenario& scenario, Waveform* waveform)
      : s_(scenario),
        out_(waveform, scenario.lead_in),
        fs_(scenario.fs_timing),
        hs_(scenario.hs_timing),
        scl_(scenario.bus == BusKind::kI2c1 ? 4 : 1),
        sda_(scenario.bus == BusKind::kI2c1 ? 8 : 2) {}

  bool Run(std::string* error) {
    for (const Command& command : s_.commands) {
      if (!Apply(command)) {
        *error = "line " + std::to_string(command.line) + ": " + problem_;
        return false;
      }
    }
    out_.Finish(s_.tail);
    return true;
  }

 private:
  const I2cTiming& T() const { return in_hs_ ? hs_ : fs_; }

  bool Apply(const Command& command) {
    switch (command.kind) {
      case CommandKind::kIdle: out_.Wait(command.duration); return true;
      case CommandKind::kGlitch: out_.Glitch(command.line_mask, command.duration); return true;
      case CommandKind::kCorruptAtom: out_.Corrupt(); return true;
      case CommandKind::kSetTiming:
        *TimingField(command.hs ? hs_ : fs_, command.timing_index) = command.value;
        return true;
      case CommandKind::kI2cStretch: stretch_ += command.duration; return true;
      case CommandKind::kI2cStart: Start(); return true;
      case CommandKind::kI2cStop: return Stop();
      case CommandKind::kI2cBits:
        if (!in_transfer_) return Problem("bits outside a transfer (no START before)");
        for (uint8_t bit : command.bytes) Bit(bit);
        return true;
      case CommandKind::kI2cBytes:
      case CommandKind::kI2cHsCode:
        if (!in_transfer_) return Problem("bytes outside a transfer (no START before)");
        for (size_t i = 0; i < command.bytes.size(); ++i) {
          for (int bit = 7; bit >= 0; --bit) Bit((command.bytes[i] >> bit) & 1);
          Bit(command.nacks[i]);
        }
        if (command.kind == CommandKind::kI2cHsCode) in_hs_ = true;
        return true;
      default:
        return Problem("not an I2C command");
    }
  }
  bool Problem(const char* text) {
    problem_ = text;
    return false;
  }

  // Ends the low phase that began at the last SCL fall: SDA takes `sda`
  // after the hold time, SCL rises after the low time and data set-up.
  uint64_t RaiseScl(uint8_t sda) {
    const uint64_t low_start = out_.Now();
    uint64_t rise = low_start + T().tLOW + stretch_;
    stretch_ = 0;
    if (out_.Level(sda_) != sda) {
      const uint64_t change = low_start + T().tHD_DAT;
      out_.Set(sda_, sda, change);
      rise = std::max(rise, change + T().tSU_DAT);
    }
    out_.Set(scl_, 1, rise);
    out_.Event(BusEventKind::kSclRise, rise, sda);
    return rise;
  }

  void Bit(uint8_t value) {
    const uint64_t rise = RaiseScl(value);
    out_.Set(scl_, 0, rise + T().tHIGH);
  }

  void Start() {
    uint64_t fall = 0;
    if (in_transfer_) {
      const uint64_t rise = RaiseScl(1);
      fall = rise + T().tSU_STA;
    } else {
      fall = std::max(out_.Now(), stop_time_ + T().tBUF);
    }
    out_.Set(sda_, 0, fall);
    out_.Event(BusEventKind::kStart, fall, 0);
    out_.Set(scl_, 0, fall + T().tHD_STA);
    in_transfer_ = true;
  }

  bool Stop() {
    if (!in_transfer_) return Problem("stop while the bus is idle");
    const uint64_t rise = RaiseScl(0);
    const uint64_t stop = rise + T().tSU_STO;
    out_.Set(sda_, 1, stop);
    out_.Event(BusEventKind::kStop, stop, 1);
    stop_time_ = stop;
    in_transfer_ = false;
    in_hs_ = false;
    return true;
  }

  const Scenario& s_;
  WaveformBuilder out_;
  I2cTiming fs_;
  I2cTiming hs_;
  const uint8_t scl_;
  const uint8_t sda_;
  bool in_transfer_ = false;
  bool in_hs_ = false;
  uint64_t stretch_ = 0;
  uint64_t stop_time_ = 0;
  const char* problem_ = "";
};

}  // namespace

bool GenerateI2cWaveform(const Scenario& scenario, Waveform* waveform, std::string* error) {
  *waveform = Waveform{};
  waveform->initial_state = 0x0F;
  I2cGenerator generator(scenario, waveform);
  return generator.Run(error);
}

}  // namespace velix::sim
