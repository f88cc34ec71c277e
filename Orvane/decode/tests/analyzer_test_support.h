#pragma once
// Shared by the analyzer decoder tests: an atom stream builder, an I2C bus
// waveform builder on top of it, and a harness that runs a decoder over the
// bytes offline (from a sampling data file) and collects the records.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/sample_atom.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/sic_header.h"
#include "Orvane/decode/decode_context.h"
#include "platform/recording_sink.h"
#include "platform/tests/scratch_folder.h"

namespace orvane::analyzer_test {

// Atoms as the device writes them: the current state holds `clocks`
// periods, then the lines take the next state. Holds too long for one atom
// are split into atoms repeating the current state; short atoms pad odd
// positions so that long atoms stay aligned.
class AtomStream {
 public:
  explicit AtomStream(uint8_t initial) : state_(initial) { PutLong(initial, 0); }

  void Change(uint64_t clocks, uint8_t next) {
    for (;;) {
      if (Odd()) {
        if (clocks <= kShortAtomMaxCount) break;
        PutShort(state_, kShortAtomMaxCount);
        clocks -= kShortAtomMaxCount;
      } else {
        if (clocks <= kLongAtomMaxCount) break;
        PutLong(state_, kLongAtomMaxCount);
        clocks -= kLongAtomMaxCount;
      }
    }
    if (clocks <= kShortAtomMaxCount) {
      PutShort(next, static_cast<uint16_t>(clocks));
    } else {
      PutLong(next, static_cast<uint16_t>(clocks));
    }
    state_ = next;
  }
  void Hold(uint64_t clocks) { Change(clocks, state_); }
  // An odd-position byte without bit 4: the readers stop there.
  void Corrupt() {
    if (!Odd()) PutShort(state_, 0);
    bytes_.push_back(static_cast<uint8_t>(state_ & 0x0F));
  }
  void PutShort(uint8_t state, uint16_t count) { bytes_.push_back(EncodeShortAtom(state, count)); }
  void PutLong(uint8_t state, uint16_t count) {
    const uint16_t word = EncodeLongAtom(state, count);
    bytes_.push_back(static_cast<uint8_t>(word));
    bytes_.push_back(static_cast<uint8_t>(word >> 8));
  }

  uint8_t State() const { return state_; }
  uint32_t Size() const { return static_cast<uint32_t>(bytes_.size()); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  bool Odd() const { return (bytes_.size() & 1) != 0; }
  std::vector<uint8_t> bytes_;
  uint8_t state_;
};

// Phases of a generated I2C clock, in sample clocks.
struct I2CPhases {
  uint32_t low = 25;
  uint32_t high = 25;
  uint32_t hd_dat = 5;   // SDA changes this long after SCL fell
  uint32_t hd_sta = 25;
  uint32_t su_sta = 25;
  uint32_t su_sto = 25;
  uint32_t buf = 60;     // idle before a START
};

// An I2C bus on channel 1 (S0/S1) or 2 (S2/S3), the other bus idle high.
class I2CWave {
 public:
  explicit I2CWave(uint8_t channel = 1, I2CPhases phases = {})
      : channel_(channel), p_(phases), stream_(Lines()) {}

  I2CPhases& Phases() { return p_; }
  void Idle(uint64_t clocks) { pending_ += clocks; }
  void Start() {
    pending_ += p_.buf;
    Set(1, 0);
    start_clock = clock_;
    pending_ += p_.hd_sta;
    Set(0, 0);
  }
  void Bit(uint8_t b) {
    pending_ += p_.hd_dat;
    if (sda_ != b) Set(0, b);
    pending_ += p_.low - p_.hd_dat;
    Set(1, b);
    pending_ += p_.high;
    Set(0, b);
  }
  void Byte(uint8_t value, bool nack = false) {
    for (int i = 7; i >= 0; --i) Bit((value >> i) & 1);
    Bit(nack ? 1 : 0);
  }
  void RepeatedStart() {
    RiseWith(1);
    pending_ += p_.su_sta;
    Set(1, 0);
    start_clock = clock_;
    pending_ += p_.hd_sta;
    Set(0, 0);
  }
  void Stop() {
    RiseWith(0);
    pending_ += p_.su_sto;
    Set(1, 1);
    stop_clock = clock_;
  }
  // Ends the capture after `clocks` more of the current state.
  const std::vector<uint8_t>& Finish(uint64_t clocks = 100) {
    pending_ += clocks;
    if (pending_ != 0) stream_.Hold(pending_);
    pending_ = 0;
    return stream_.Bytes();
  }
  AtomStream& Stream() { return stream_; }
  uint64_t Clock() const { return clock_; }

  uint64_t start_clock = 0;  // the last START / repeated START
  uint64_t rise_clock = 0;   // the last SCL rise
  uint64_t stop_clock = 0;

 private:
  // From SCL low: SDA to `level` after the hold time, then SCL rises.
  void RiseWith(uint8_t level) {
    pending_ += p_.hd_dat;
    if (sda_ != level) Set(0, level);
    pending_ += p_.low - p_.hd_dat;
    Set(1, level);
  }
  uint8_t Lines() const {
    const uint8_t bus = static_cast<uint8_t>(scl_ | (sda_ << 1));
    return channel_ == 2 ? static_cast<uint8_t>((bus << 2) | 0x3) : static_cast<uint8_t>(bus | 0xC);
  }
  void Set(uint8_t scl, uint8_t sda) {
    if (scl && !scl_) rise_clock = clock_ + pending_;
    scl_ = scl;
    sda_ = sda;
    stream_.Change(pending_, Lines());
    clock_ += pending_;
    pending_ = 0;
  }

  uint8_t channel_;
  I2CPhases p_;
  uint8_t scl_ = 1;
  uint8_t sda_ = 1;
  AtomStream stream_;
  uint64_t clock_ = 0;
  uint64_t pending_ = 0;
};

// I2C settings whose timing limits never fail, so that decode tests see
// only the decoder's own status bits.
inline SettingsRecord RelaxedI2CSettings(uint8_t channel = 1) {
  SettingsRecord s = DefaultSettingsRecord();
  s.m_AnalyzeBusChannel = channel;
  s.ForcedDisplay = 0;
  s.MonitorMode = 0;
  s.SamplePeriodCode = 2;
  s.tHD_STA = s.tSU_STA = s.tSU_STO = s.tBUF = s.tLOW = s.tHIGH = s.tSU_DAT = 0;
  s.tHD_DAT = 0xFFFFFFFFu;
  s.tHD_STA_HS = s.tSU_STA_HS = s.tSU_STO_HS = s.tLOW_HS = s.tHIGH_HS = s.tSU_DAT_HS = 0;
  s.tHD_DAT_HS = 0xFFFFFFFFu;
  return s;
}

struct Outcome {
  uint32_t result = 0;
  std::vector<TransactionInfo> records;  // decode order
  std::vector<TimingInfo> timings;       // one per record (zero when none)
};

// Owns a sampling object over a file made from the bytes, or over a live
// buffer, and runs decoders on it.
class Harness {
 public:
  using Decoder = uint32_t (*)(DecodeContext&);

  // Maps the bytes as a sampling data file.
  bool OpenFile(const std::vector<uint8_t>& data) {
    const SicHeader header = BuildSicHeader(DefaultSettingsRecord());
    std::string content(header.begin(), header.end());
    content.append(data.begin(), data.end());
    const std::string path = folder_.File("capture.SIC");
    velix::platform::testing::WriteFile(path, content);
    sampling_ = std::make_unique<CSamplingObj>(app_, sink_);
    return sampling_->OpenCreateFileMapView(path) == 0;
  }

  Outcome Run(Decoder decoder, const SettingsRecord& settings) {
    DecodeContext ctx{*sampling_, settings, events_};
    Outcome out;
    out.result = decoder(ctx);
    Collect(&out);
    return out;
  }

  Outcome RunOffline(Decoder decoder, const std::vector<uint8_t>& data, const SettingsRecord& settings) {
    if (!OpenFile(data)) return {};
    return Run(decoder, settings);
  }

  void Collect(Outcome* out) {
    TransactionStore& store = sampling_->Records();
    for (RecordRef ref = store.Head(); ref != kNoRecord; ref = store.At(ref).Next) {
      out->records.push_back(store.At(ref));
      const TimingInfo* timing = store.Timing(store.At(ref));
      out->timings.push_back(timing != nullptr ? *timing : TimingInfo{});
      if (out->records.size() > 100000) break;
    }
  }

  CSamplingObj& Sampling() { return *sampling_; }
  void UseSampling(std::unique_ptr<CSamplingObj> sampling) { sampling_ = std::move(sampling); }
  RunEventQueue& Events() { return events_; }
  AppState& App() { return app_; }
  velix::platform::RecordingSink& Sink() { return sink_; }

 private:
  velix::platform::testing::ScratchFolder folder_;
  AppState app_;
  velix::platform::RecordingSink sink_;
  RunEventQueue events_;
  std::unique_ptr<CSamplingObj> sampling_;
};

}  // namespace orvane::analyzer_test
