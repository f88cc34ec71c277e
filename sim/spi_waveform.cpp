#include "sim/spi_waveform.h"

#include "sim/waveform_builder.h"

namespace velix::sim {
namespace {

class SpiGenerator {
 public:
  SpiGenerator(const Scenario& scenario, Waveform* waveform)
      : s_(scenario), f_(scenario.spi), out_(waveform, scenario.lead_in), h_(scenario.spi.half_period) {}

  bool Run(std::string* error) {
    for (const Command& command : s_.commands) {
      switch (command.kind) {
        case CommandKind::kIdle: out_.Wait(command.duration); break;
        case CommandKind::kGlitch: out_.Glitch(command.line_mask, command.duration); break;
        case CommandKind::kCorruptAtom: out_.Corrupt(); break;
        case CommandKind::kSpiSelect: DriveSs(true, out_.Now()); break;
        case CommandKind::kSpiDeselect: DriveSs(false, out_.Now() + h_); break;
        case CommandKind::kSpiXfer: Transfer(command); break;
        default:
          *error = "line " + std::to_string(command.line) + ": not an SPI command";
          return false;
      }
    }
    out_.Finish(s_.tail);
    return true;
  }

 private:
  void DriveSs(bool active, uint64_t time) {
    if (f_.ss_mode == 0) return;
    const uint8_t level = (f_.ss_mode == 1) != active ? 1 : 0;
    if (out_.Level(kSpiSs) == level) return;
    out_.Set(kSpiSs, level, time);
    out_.Event(BusEventKind::kSsChange, out_.Now(), level);
  }

  void Clock(uint8_t level, uint64_t time) {
    out_.Set(kSpiSclk, level, time);
    out_.Event(BusEventKind::kSclkChange, out_.Now(), level, out_.Level(kSpiMosi), out_.Level(kSpiMiso));
  }

  void Data(uint8_t mosi, uint8_t miso, uint64_t time) {
    out_.Set(kSpiMosi, mosi, time);
    out_.Set(kSpiMiso, miso, time);
  }

  void Transfer(const Command& command) {
    const uint8_t idle = f_.cpol ? 1 : 0;
    for (uint32_t i = 0; i < command.bit_count; ++i) {
      const uint32_t shift = f_.lsb_first ? i % 8 : 7 - i % 8;
      const uint8_t mosi = (command.bytes[i / 8] >> shift) & 1;
      const uint8_t miso = (command.bytes2[i / 8] >> shift) & 1;
      const uint64_t start = out_.Now();
      if (!f_.cpha) {
        Data(mosi, miso, start + h_ / 2);
        Clock(static_cast<uint8_t>(idle ^ 1), start + h_);
        Clock(idle, start + 2 * h_);
      } else {
        Clock(static_cast<uint8_t>(idle ^ 1), start + h_);
        Data(mosi, miso, start + h_ + h_ / 2);
        Clock(idle, start + 2 * h_);
      }
      if (i % 8 == 7 && i + 1 < command.bit_count) out_.Wait(command.duration);
    }
    // Released data lines float back high, so a transfer leaves an idle bus.
    Data(1, 1, out_.Now() + h_ / 2);
  }

  const Scenario& s_;
  const SpiFormat& f_;
  WaveformBuilder out_;
  const uint64_t h_;
};

}  // namespace

uint8_t SpiIdleState(const SpiFormat& format) {
  const uint8_t ss = format.ss_mode == 2 ? 0 : kSpiSs;
  const uint8_t sclk = format.cpol ? kSpiSclk : 0;
  return static_cast<uint8_t>(ss | sclk | kSpiMosi | kSpiMiso);
}

bool GenerateSpiWaveform(const Scenario& scenario, Waveform* waveform, std::string* error) {
  *waveform = Waveform{};
  waveform->initial_state = SpiIdleState(scenario.spi);
  SpiGenerator generator(scenario, waveform);
  return generator.Run(error);
}

}  // namespace velix::sim
