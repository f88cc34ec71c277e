#include "sim/monitor_units.h"

namespace velix::sim {
namespace {

constexpr uint16_t kDataValid = 0x01;
constexpr uint16_t kSsLevel = 0x04;
constexpr uint16_t kSsReport = 0x08;

// Follows the SPI monitor decoder over the units as they are written.
class SpiMonitorTruth {
 public:
  SpiMonitorTruth(const orvane::SettingsRecord& settings, uint8_t idle_ss_level, std::vector<TruthTransaction>* out)
      : s_(settings), last_ss_(idle_ss_level), out_(*out) {}

  void Unit(uint64_t position, uint16_t data, uint16_t control) {
    if (open_) total_ += 4;
    if (control == 0) {
      if (open_ && s_.SpiSclkTimeout.Get() != 0) {
        ++empty_;
        if (empty_ * 1000 >= s_.SpiSclkTimeout.Get()) Close(0x40);
      }
      return;
    }
    if ((control & kSsReport) != 0 && s_.SpiSsMode != 0) {
      const uint8_t level = (control & kSsLevel) != 0 ? 1 : 0;
      if (level != last_ss_) {
        last_ss_ = level;
        if (open_) Close(0x10);
        else Begin(0x01, position);
      }
    }
    if ((control & kDataValid) != 0) {
      if (!open_) Begin(0x02, position);
      mosi_.push_back(static_cast<uint8_t>(data));
      miso_.push_back(static_cast<uint8_t>(data >> 8));
      empty_ = 0;
      const uint32_t length = s_.SpiDataLength.Get();
      if (length != 0 && miso_.size() == length) Close(0x20);
    }
  }

  void Finish() {
    if (open_) Close(0x80);
  }

 private:
  void Begin(uint8_t kind, uint64_t position) {
    open_ = true;
    kind_ = kind;
    start_position_ = position;
    total_ = 0;
    empty_ = 0;
    miso_.clear();
    mosi_.clear();
  }

  void Close(uint8_t end_bits) {
    TruthTransaction t;
    t.index = static_cast<uint32_t>(out_.size());
    t.start_end = static_cast<uint8_t>(kind_ | end_bits);
    t.bit_count = static_cast<uint32_t>(miso_.size());
    t.sample_pos = static_cast<int64_t>(start_position_);
    t.sample_len = static_cast<int64_t>(total_);
    t.bytes = miso_;
    t.bytes2 = mosi_;
    out_.push_back(std::move(t));
    open_ = false;
  }

  const orvane::SettingsRecord& s_;
  uint8_t last_ss_;
  std::vector<TruthTransaction>& out_;
  bool open_ = false;
  uint8_t kind_ = 0;
  uint64_t start_position_ = 0;
  uint64_t total_ = 0;
  uint64_t empty_ = 0;
  std::vector<uint8_t> miso_;
  std::vector<uint8_t> mosi_;
};

class SpiUnitWriter {
 public:
  SpiUnitWriter(ByteWriter* out, SpiMonitorTruth* truth) : out_(*out), truth_(*truth) {}

  void Put(uint16_t data, uint16_t control) {
    truth_.Unit(out_.written(), data, control);
    out_.PutLe16(data);
    out_.PutLe16(control);
  }
  // One empty unit per full second of the quiet span.
  void Quiet(uint64_t from, uint64_t to) {
    for (uint64_t n = to > from ? (to - from) / kTenNsPerSecond : 0; n > 0; --n) Put(0, 0);
  }

 private:
  ByteWriter& out_;
  SpiMonitorTruth& truth_;
};

}  // namespace

void WriteSpiMonitorUnits(const Waveform& waveform, const orvane::SettingsRecord& settings, ByteWriter* out,
                          std::vector<TruthTransaction>* truth) {
  SpiMonitorTruth decoder(settings, waveform.initial_state & 1, truth);
  SpiUnitWriter units(out, &decoder);
  const bool msb_first = (settings.SpiBitFlags & 0x01) != 0;
  uint32_t bits = 0;
  uint8_t mosi = 0;
  uint8_t miso = 0;
  uint64_t last_activity = 0;
  for (const BusEvent& event : waveform.events) {
    if (event.kind != BusEventKind::kSsChange && event.kind != BusEventKind::kSclkChange) continue;
    units.Quiet(last_activity, event.time);
    last_activity = event.time;
    if (event.kind == BusEventKind::kSsChange) {
      // A select or deselect starts the byte framing afresh.
      bits = 0;
      if (settings.SpiSsMode != 0) units.Put(0, static_cast<uint16_t>(kSsReport | (event.value ? kSsLevel : 0)));
      continue;
    }
    const bool sampling = settings.SpiSamplingEdge == 1 ? event.value == 1 : event.value == 0;
    if (!sampling) continue;
    if (msb_first) {
      mosi = static_cast<uint8_t>((mosi << 1) | event.s2);
      miso = static_cast<uint8_t>((miso << 1) | event.s3);
    } else {
      mosi = static_cast<uint8_t>((mosi >> 1) | (event.s2 << 7));
      miso = static_cast<uint8_t>((miso >> 1) | (event.s3 << 7));
    }
    if (++bits == 8) {
      units.Put(static_cast<uint16_t>(mosi | (miso << 8)), kDataValid);
      bits = 0;
    }
  }
  units.Quiet(last_activity, waveform.end_time);
  decoder.Finish();
}

}  // namespace velix::sim
