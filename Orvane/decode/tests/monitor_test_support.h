#pragma once
// Hand-built monitor unit streams and a fixture that decodes them offline
// from a sampling data file, for the monitor decoder tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/tests/sic_test_files.h"
#include "Orvane/decode/decode_context.h"
#include "platform/interaction.h"

namespace orvane::testing {

inline constexpr uint8_t kStart = 1;
inline constexpr uint8_t kStop = 2;
inline constexpr uint8_t kAcked = 12;   // data byte, acknowledged
inline constexpr uint8_t kNacked = 4;   // data byte, not acknowledged

// One event: X = Y = the code.
constexpr uint16_t Unit1(uint8_t code, uint8_t data = 0) {
  return static_cast<uint16_t>(data | code << 8 | code << 12);
}
// Two events: X XOR Y carries the first (a condition, or 4 for a data byte
// whose ACK rides in bit 3 of X AND Y), X AND Y the second.
constexpr uint16_t Unit2(uint8_t first, uint8_t second, uint8_t data = 0) {
  const bool first_is_data = (first & 4) != 0;
  const uint8_t b = first_is_data ? 4 : first;
  const auto c = static_cast<uint8_t>(first_is_data ? ((first & 8) | second) : second);
  return static_cast<uint16_t>(data | (b | c) << 8 | c << 12);
}

inline std::string I2CUnits(const std::vector<uint16_t>& units) {
  std::string data;
  for (uint16_t u : units) {
    data.push_back(static_cast<char>(u));
    data.push_back(static_cast<char>(u >> 8));
  }
  return data;
}

struct SpiUnit {
  uint16_t data;
  uint16_t control;
};
inline constexpr SpiUnit SsLevel(int level) { return {0, static_cast<uint16_t>(0x08 | (level ? 0x04 : 0))}; }
inline constexpr SpiUnit Data(uint8_t miso, uint8_t mosi) { return {static_cast<uint16_t>(miso << 8 | mosi), 0x01}; }
inline constexpr SpiUnit kEmpty{0, 0};

inline std::string SpiUnits(const std::vector<SpiUnit>& units) {
  std::string data;
  for (const SpiUnit& u : units) {
    for (uint16_t w : {u.data, u.control}) {
      data.push_back(static_cast<char>(w));
      data.push_back(static_cast<char>(w >> 8));
    }
  }
  return data;
}

inline std::vector<uint8_t> PreviewOf(const TransactionInfo& r) { return {r.Preview, r.Preview + r.PreviewLen}; }
inline std::vector<uint8_t> Preview2Of(const TransactionInfo& r) { return {r.Preview2, r.Preview2 + r.PreviewLen}; }

// Decodes unit streams offline from a sampling data file.
class MonitorDecodeTest : public ::testing::Test {
 protected:
  MonitorDecodeTest() : settings_(DefaultSettingsRecord()) {
    settings_.MonitorMode = 1;
    settings_.m_AnalyzeBusChannel = 1;
  }

  // Maps `data` as the sampling data of a file; false when it cannot.
  bool Open(const std::string& data) {
    const std::string path = folder_.File("m.SIC");
    WriteFile(path, SicBytes(settings_, data));
    sampling_ = std::make_unique<CSamplingObj>(app_, sink_);
    return sampling_->OpenCreateFileMapView(path) == 0;
  }

  template <typename Run>
  uint32_t Decode(const std::string& data, Run run) {
    if (!Open(data)) return 0xFFFFFFFFu;
    DecodeContext ctx{*sampling_, settings_, events_};
    return run(ctx);
  }

  std::vector<TransactionInfo> Records() const {
    std::vector<TransactionInfo> records;
    const TransactionStore& store = sampling_->Records();
    for (RecordRef ref = store.Head(); ref != kNoRecord; ref = store.At(ref).Next) records.push_back(store.At(ref));
    return records;
  }

  ScratchFolder folder_;
  AppState app_;
  velix::platform::NullSink sink_;
  RunEventQueue events_;
  SettingsRecord settings_;
  std::unique_ptr<CSamplingObj> sampling_;
};

}  // namespace orvane::testing
