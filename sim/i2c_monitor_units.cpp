#include "sim/monitor_units.h"

namespace velix::sim {
namespace {

constexpr uint8_t kStartCode = 1;
constexpr uint8_t kStopCode = 2;
constexpr uint8_t kDataCode = 4;
constexpr uint8_t kAckBit = 8;

struct I2cMonitorEvent {
  uint8_t code = 0;
  uint8_t data = 0;
};

// What the device reports for the bus events: conditions as they come, and
// one data event per nine clocked bits after a START.
std::vector<I2cMonitorEvent> CollectEvents(const Waveform& waveform) {
  std::vector<I2cMonitorEvent> events;
  bool in_transfer = false;
  uint32_t bit_index = 0;
  uint8_t byte = 0;
  for (const BusEvent& event : waveform.events) {
    if (event.kind == BusEventKind::kStart || event.kind == BusEventKind::kStop) {
      in_transfer = event.kind == BusEventKind::kStart;
      bit_index = 0;
      byte = 0;
      events.push_back({event.kind == BusEventKind::kStart ? kStartCode : kStopCode, 0});
    } else if (event.kind == BusEventKind::kSclRise && in_transfer) {
      if (bit_index < 8) {
        byte = static_cast<uint8_t>((byte << 1) | event.value);
        ++bit_index;
      } else {
        events.push_back({static_cast<uint8_t>(kDataCode | (event.value == 0 ? kAckBit : 0)), byte});
        bit_index = 0;
        byte = 0;
      }
    }
  }
  return events;
}

// Follows the I2C monitor decoder over the units as they are written.
class I2cMonitorTruth {
 public:
  I2cMonitorTruth(const orvane::SettingsRecord& settings, std::vector<TruthTransaction>* out)
      : hs_enable_(settings.HsEnable != 0), ignore_nack_(settings.IgnoreNackBeforeStop != 0), out_(*out) {}

  void Unit(uint64_t position, const uint8_t* codes, const uint8_t* data, int count) {
    if (open_) total_ += 2;
    for (int k = 0; k < count; ++k) {
      const bool first_of_two = count == 2 && k == 0;
      const bool second_of_two = count == 2 && k == 1;
      if (codes[k] == kStartCode) OnStart(position, first_of_two, second_of_two);
      else if (codes[k] == kStopCode) OnStop(first_of_two);
      else OnData(data[k], (codes[k] & kAckBit) != 0);
    }
  }

  void Finish() {
    if (open_) Close(0x80);
  }

 private:
  void OnStart(uint64_t position, bool first_of_two, bool second_of_two) {
    uint8_t kind = 0x01;
    if (open_) {
      if (second_of_two) start_end_ |= 0x40;
      nack_ = nack_ || last_ack_;
      Close(0x20);
      if (hs_enable_ && hs_ == 2) hs_ = 3;
      kind = 0x02;
    } else {
      hs_ = 0;
    }
    open_ = true;
    start_end_ = static_cast<uint8_t>(kind | (first_of_two ? 0x04 : 0x08));
    start_position_ = position;
    total_ = 0;
    bytes_.clear();
    acks_.clear();
    nack_ = false;
    last_ack_ = 0;
    rw_ = low_ = upper_ = 0;
    ten_bit_ = false;
  }

  void OnStop(bool first_of_two) {
    if (!open_) return;
    if (first_of_two) start_end_ |= 0x40;
    if (!ignore_nack_) nack_ = nack_ || last_ack_;
    Close(0x10);
    hs_ = 0;
    remembered_upper_ = remembered_low_ = 0;
  }

  void OnData(uint8_t byte, bool acked) {
    if (!open_) return;
    nack_ = nack_ || last_ack_;
    last_ack_ = acked ? 0 : 1;
    bytes_.push_back(byte);
    acks_.push_back(acked ? 0 : 1);
    const bool started = (start_end_ & 0x01) != 0;
    if (bytes_.size() == 1) {
      rw_ = byte & 1;
      if ((byte & 0xF8) == 0xF0) {
        ten_bit_ = true;
        upper_ = (byte >> 1) & 3;
        if (started || rw_ == 0) remembered_upper_ = upper_;
        else if (upper_ == remembered_upper_) low_ = remembered_low_;
      } else {
        low_ = static_cast<uint8_t>(byte >> 1);
        if (hs_enable_ && hs_ != 3 && (byte & 0xF8) == 0x08) {
          hs_ = acked ? 0 : 2;
          if (!acked) last_ack_ = 0;
        }
      }
    } else if (bytes_.size() == 2 && ten_bit_ && (started || rw_ == 0)) {
      low_ = byte;
      remembered_low_ = byte;
    }
  }

  void Close(uint8_t end_bits) {
    TruthTransaction t;
    t.index = static_cast<uint32_t>(out_.size());
    t.start_end = static_cast<uint8_t>(start_end_ | end_bits);
    t.start_clock = 0;
    t.bit_count = static_cast<uint32_t>(bytes_.size());
    t.sample_pos = static_cast<int64_t>(start_position_);
    t.sample_len = static_cast<int64_t>(total_);
    t.address = static_cast<uint16_t>((upper_ << 8) | low_);
    t.flags = static_cast<uint16_t>((ten_bit_ ? 0x01 : 0) | (rw_ ? 0x02 : 0) | (nack_ ? 0x04 : 0) |
                                    (hs_ == 3 ? 0x10 : 0) | (hs_ == 2 ? 0x20 : 0));
    t.bytes = bytes_;
    t.bytes2 = acks_;
    out_.push_back(std::move(t));
    open_ = false;
  }

  const bool hs_enable_;
  const bool ignore_nack_;
  std::vector<TruthTransaction>& out_;
  bool open_ = false;
  uint8_t start_end_ = 0;
  uint64_t start_position_ = 0;
  uint64_t total_ = 0;
  std::vector<uint8_t> bytes_;
  std::vector<uint8_t> acks_;
  bool nack_ = false;
  uint8_t last_ack_ = 0;
  uint8_t rw_ = 0, low_ = 0, upper_ = 0;
  bool ten_bit_ = false;
  uint8_t remembered_upper_ = 0, remembered_low_ = 0;
  int hs_ = 0;
};

bool IsCondition(uint8_t code) { return code == kStartCode || code == kStopCode; }

}  // namespace

uint16_t EncodeI2cUnit(uint8_t code, uint8_t data) {
  // One event: X = Y = the code, so X XOR Y = 0 and X AND Y = the code.
  return static_cast<uint16_t>(data | (code << 8) | (code << 12));
}

bool EncodeI2cUnit(uint8_t first_code, uint8_t second_code, uint8_t data, uint16_t* unit) {
  // X XOR Y carries the first event (a condition code, or 4 for a data byte
  // whose ACK rides in bit 3 of X AND Y); X AND Y carries the second.
  uint8_t b = 0;
  uint8_t c = 0;
  if (IsCondition(first_code) && first_code != second_code) {
    b = first_code;
    c = second_code;
  } else if ((first_code & kDataCode) != 0 && IsCondition(second_code)) {
    b = kDataCode;
    c = static_cast<uint8_t>((first_code & kAckBit) | second_code);
  } else {
    return false;
  }
  const auto x = static_cast<uint8_t>(b | c);
  *unit = static_cast<uint16_t>(data | (x << 8) | (c << 12));
  return true;
}

void WriteI2cMonitorUnits(const Waveform& waveform, const orvane::SettingsRecord& settings,
                          MonitorPacking packing, ByteWriter* out, std::vector<TruthTransaction>* truth) {
  const std::vector<I2cMonitorEvent> events = CollectEvents(waveform);
  I2cMonitorTruth decoder(settings, truth);
  for (size_t i = 0; i < events.size();) {
    const uint64_t position = out->written();
    uint16_t unit = 0;
    if (packing == MonitorPacking::kPaired && i + 1 < events.size()) {
      const I2cMonitorEvent& first = events[i];
      const I2cMonitorEvent& second = events[i + 1];
      // Only one data byte fits a unit, whichever event carries it.
      const uint8_t data = (first.code & kDataCode) != 0 ? first.data : second.data;
      if (EncodeI2cUnit(first.code, second.code, data, &unit)) {
        out->PutLe16(unit);
        const uint8_t codes[2] = {first.code, second.code};
        const uint8_t bytes[2] = {data, data};
        decoder.Unit(position, codes, bytes, 2);
        i += 2;
        continue;
      }
    }
    out->PutLe16(EncodeI2cUnit(events[i].code, events[i].data));
    decoder.Unit(position, &events[i].code, &events[i].data, 1);
    ++i;
  }
  decoder.Finish();
}

}  // namespace velix::sim
