#pragma once
// Shared by the views tests: a sampling object whose records are built by
// hand, and a stand-in for the byte extraction that serves bytes the test
// registered per transaction Index.

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/capture/transaction_info.h"
#include "platform/recording_sink.h"

namespace orvane::views_test {

struct FakeBytes {
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> bytes2;   // SPI second line / I2C ACK bits
  std::vector<uint32_t> offsets;
  std::vector<uint32_t> ack_offsets;
};

// Bytes served by FakeLoad, by Index; cleared by each fixture.
inline std::map<uint32_t, FakeBytes>& FakeStore() {
  static std::map<uint32_t, FakeBytes> store;
  return store;
}
inline std::vector<uint32_t>& FakeLoads() {
  static std::vector<uint32_t> loads;
  return loads;
}

inline void FakeLoad(CSamplingObj& sampling, const SettingsRecord&, const TransactionInfo& record) {
  TransactionDetail& detail = sampling.Detail();
  detail.Free();
  FakeLoads().push_back(record.Index);
  const auto found = FakeStore().find(record.Index);
  if (found == FakeStore().end()) return;
  detail.index = static_cast<int32_t>(record.Index);
  detail.count = static_cast<uint32_t>(found->second.bytes.size());
  detail.bytes = found->second.bytes;
  detail.bytes2 = found->second.bytes2;
  detail.offsets = found->second.offsets;
  detail.ack_offsets = found->second.ack_offsets;
}

// ACK bit array (first byte in the top bit) from one flag per byte.
inline std::vector<uint8_t> AckBits(const std::vector<bool>& nacks) {
  std::vector<uint8_t> bits((nacks.size() + 7) / 8, 0);
  for (size_t i = 0; i < nacks.size(); ++i) {
    if (nacks[i]) bits[i / 8] = static_cast<uint8_t>(bits[i / 8] | (0x80 >> (i % 8)));
  }
  return bits;
}

class RecordsFixture {
 public:
  RecordsFixture() {
    FakeStore().clear();
    FakeLoads().clear();
  }
  CSamplingObj& Sampling() { return sampling_; }
  TransactionStore& Store() { return sampling_.Records(); }

  // Appends a record with the next Index to the decode-order list.
  TransactionInfo& Add(uint8_t start_end = kBeganStart | kEndedStop) {
    const RecordRef ref = Store().Allocate();
    TransactionInfo& r = Store().At(ref);
    r.Index = next_index_++;
    r.RecordFlags = kRecordComplete;
    r.bStartEndType = start_end;
    Store().AppendToList(ref);
    return r;
  }
  // An analyzer I2C record of `bytes` bytes (address byte included).
  TransactionInfo& AddI2C(uint16_t address, bool read, uint32_t bytes,
                          uint8_t start_end = kBeganStart | kEndedStop) {
    TransactionInfo& r = Add(start_end);
    r.RecordFlags |= kRecordI2C | kRecordAnalyzer;
    r.i2c.I2CAddress = address;
    r.i2c.I2CFlags = read ? kI2CRead : 0;
    r.BitCount = bytes * 9;
    r.PreviewLen = bytes > 1 ? static_cast<uint8_t>(std::min<uint32_t>(10, bytes - 1)) : 0;
    return r;
  }
  void ViewAll() {
    Store().ResetView();
    for (RecordRef ref = Store().Head(); ref != kNoRecord; ref = Store().At(ref).Next) {
      Store().AppendToView(ref);
    }
  }
  std::vector<uint32_t> ViewIndexes() {
    std::vector<uint32_t> indexes;
    TransactionInfo row{};
    for (uint32_t i = 0; Store().GetRow(i, &row); ++i) indexes.push_back(row.Index);
    return indexes;
  }

  AppState app_;
  velix::platform::RecordingSink sink_;

 private:
  CSamplingObj sampling_{app_, sink_};
  uint32_t next_index_ = 0;
};

inline SettingsRecord I2CSettings() {
  SettingsRecord s = DefaultSettingsRecord();
  s.m_AnalyzeBusChannel = 1;
  s.SamplePeriodCode = 2;
  s.MonitorMode = 0;
  s.ForcedDisplay = 0;
  return s;
}

inline SettingsRecord SpiSettings() {
  SettingsRecord s = I2CSettings();
  s.m_AnalyzeBusChannel = 0;
  return s;
}

}  // namespace orvane::views_test
