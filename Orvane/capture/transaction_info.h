#pragma once
// The decoded transaction record (64 bytes, copied whole by the views) and
// the I2C timing side record. A record never holds the full payload: it says
// where the transaction lies in the sampling data, when it started, how long
// it lasted, how it began and ended, what went wrong, and the first bytes.

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace orvane {

// A record's place in the transaction store: an index, not a pointer, so a
// record stays 64 bytes and 18 million records need no per-record heap
// allocation.
using RecordRef = uint32_t;
inline constexpr RecordRef kNoRecord = 0xFFFFFFFFu;

// RecordFlags
inline constexpr uint8_t kRecordI2C = 0x08;
inline constexpr uint8_t kRecordAnalyzer = 0x10;
inline constexpr uint8_t kRecordInView = 0x20;
inline constexpr uint8_t kRecordTrigger = 0x40;
inline constexpr uint8_t kRecordComplete = 0x80;

// bStartEndType, I2C decoders
inline constexpr uint8_t kBeganStart = 0x01;
inline constexpr uint8_t kBeganRepeatedStart = 0x02;
inline constexpr uint8_t kMonitorOpenFirstEvent = 0x04;
inline constexpr uint8_t kMonitorOpenSecondEvent = 0x08;
inline constexpr uint8_t kEndedStop = 0x10;
inline constexpr uint8_t kEndedRepeatedStart = 0x20;
inline constexpr uint8_t kMonitorSharedUnit = 0x40;
inline constexpr uint8_t kNotEnded = 0x80;
// bStartEndType, SPI decoders and the waveform pass
inline constexpr uint8_t kBeganSsActive = 0x01;
inline constexpr uint8_t kBeganClock = 0x02;
inline constexpr uint8_t kEndedSsInactive = 0x10;
inline constexpr uint8_t kEndedDataLength = 0x20;
inline constexpr uint8_t kEndedTimeout = 0x40;

// Status
inline constexpr uint16_t kStatusBitCount = 0x0001;
inline constexpr uint16_t kStatusNotEnd = 0x0002;
inline constexpr uint16_t kStatusNoChange = 0x0008;
inline constexpr uint16_t kStatusNotAnError = 0x0010;
inline constexpr uint16_t kStatusBadData = 0x0080;
inline constexpr uint16_t kStatusHdDat = 0x0100;
inline constexpr uint16_t kStatusSuDat = 0x0200;
inline constexpr uint16_t kStatusHigh = 0x0400;
inline constexpr uint16_t kStatusLow = 0x0800;
inline constexpr uint16_t kStatusHdSta = 0x1000;
inline constexpr uint16_t kStatusSuSto = 0x2000;
inline constexpr uint16_t kStatusSuSta = 0x4000;
inline constexpr uint16_t kStatusBuf = 0x8000;

// I2CFlags
inline constexpr uint16_t kI2C10Bit = 0x01;
inline constexpr uint16_t kI2CRead = 0x02;
inline constexpr uint16_t kI2CNack = 0x04;
inline constexpr uint16_t kI2CHsTransfer = 0x10;
inline constexpr uint16_t kI2CHsMasterCode = 0x20;

inline constexpr size_t kPreviewBytes = 10;

// The I2C half of the record's variant part.
struct I2CVariant {
  uint16_t I2CAddress;
  uint16_t I2CFlags;
  uint16_t timing_low;   // TimingInfo reference + 1, 0 = none
  uint16_t timing_high;
  uint16_t unused;
};

struct TransactionInfo {
  uint32_t Index;
  uint8_t RecordFlags;
  uint8_t bStartEndType;
  uint16_t Status;
  uint32_t SamplePos;        // position of the opening atom or unit
  uint32_t SampleLen;        // bytes from SamplePos to the end
  uint32_t BitCount;
  uint8_t PreviewLen;
  uint8_t old_Signal;        // line state just before the opening atom
  uint16_t old_SignalClock;  // run length carried by the opening atom
  uint64_t StartClock;
  uint32_t Duration;
  uint8_t Preview[kPreviewBytes];
  union {
    uint8_t Preview2[kPreviewBytes];  // SPI: second data line
    I2CVariant i2c;
  };
  RecordRef Prev;
  RecordRef Next;

  // The analyzer I2C timing side record, as a store index; kNoRecord = none.
  uint32_t TimingRef() const { return (uint32_t(i2c.timing_high) << 16 | i2c.timing_low) - 1; }
  void SetTimingRef(uint32_t ref) {
    const uint32_t stored = ref + 1;
    i2c.timing_low = static_cast<uint16_t>(stored);
    i2c.timing_high = static_cast<uint16_t>(stored >> 16);
  }
  bool IsError() const { return (Status & ~kStatusNotAnError) != 0; }
};

static_assert(sizeof(TransactionInfo) == 64);
static_assert(std::is_trivially_copyable_v<TransactionInfo>);
static_assert(offsetof(TransactionInfo, StartClock) == 24);
static_assert(offsetof(TransactionInfo, Preview) == 36);
static_assert(offsetof(TransactionInfo, Preview2) == 46);
static_assert(offsetof(TransactionInfo, Prev) == 56);

// Measured I2C timing of one analyzer record, in sample clocks, positions
// relative to the transaction start.
struct TimingInfo {
  uint32_t tBUF;
  uint32_t tHD_STA_start;  // always 0: the START / repeated START point
  uint32_t tHD_STA;
  uint32_t tSU_STA_at;     // the record's end when it ended with a repeated START
  uint32_t tSU_STA;
  uint32_t tSU_STO_at;     // the SCL rise before the STOP
  uint32_t tSU_STO;
};

static_assert(sizeof(TimingInfo) == 28);

}  // namespace orvane
