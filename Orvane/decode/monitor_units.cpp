#include "Orvane/decode/monitor_units.h"

#include "platform/trace.h"

namespace orvane {

using velix::platform::Trace;

namespace {

constexpr const char* kI2CMapError = "GetMonitorAtomI2C() [I2C] : MapView  ERROR!!! \n";
constexpr const char* kSpiMapError = "GetMonitorAtomSPI() [SPI] : MapView  ERROR!!! \n";

// Copies one unit under the access rule of the sampling data; false when
// the whole unit cannot be reached.
bool ReadUnitBytes(CSamplingObj& sampling, uint32_t position, uint8_t* out, uint32_t unit_bytes) {
  velix::platform::CriticalSection* lock = sampling.IsLive() ? nullptr : &sampling.ViewLock();
  if (lock != nullptr) lock->Enter();
  uint32_t left = 0;
  const uint8_t* p = sampling.MapPosition(position, &left);
  const bool ok = p != nullptr && left >= unit_bytes;
  if (ok) {
    for (uint32_t i = 0; i < unit_bytes; ++i) out[i] = p[i];
  }
  if (lock != nullptr) lock->Leave();
  return ok;
}

}  // namespace

I2CMonitorUnit GetMonitorAtomI2C(CSamplingObj& sampling, uint32_t position) {
  uint8_t bytes[kI2CUnitBytes];
  if (!ReadUnitBytes(sampling, position, bytes, kI2CUnitBytes)) {
    Trace("%s", kI2CMapError);
    return {kUnitMapError, 0, 0, 0};
  }
  return DecodeI2CUnit(static_cast<uint16_t>(bytes[0] | bytes[1] << 8));
}

SpiMonitorUnit GetMonitorAtomSPI(CSamplingObj& sampling, uint32_t position) {
  uint8_t bytes[kSpiUnitBytes];
  if (!ReadUnitBytes(sampling, position, bytes, kSpiUnitBytes)) {
    Trace("%s", kSpiMapError);
    return {};
  }
  return DecodeSpiUnit(bytes);
}

MonitorUnitWalker::MonitorUnitWalker(CSamplingObj& sampling, uint32_t batch)
    : sampling_(sampling), batch_(batch == 0 ? 1 : batch) {}

MonitorUnitWalker::~MonitorUnitWalker() { Release(); }

void MonitorUnitWalker::Release() {
  if (locked_) {
    locked_ = false;
    if (holds_view_lock_) sampling_.ViewLock().Leave();
    holds_view_lock_ = false;
  }
  base_ = nullptr;
  length_ = 0;
}

const uint8_t* MonitorUnitWalker::LocateSlow(uint32_t position, uint32_t unit_bytes) {
  if (locked_ && budget_ == 0) Release();
  if (!locked_) {
    // Live data are never remapped, so they are read without the lock.
    holds_view_lock_ = !sampling_.IsLive();
    if (holds_view_lock_) sampling_.ViewLock().Enter();
    locked_ = true;
    budget_ = batch_;
  }
  uint32_t left = 0;
  const uint8_t* p = sampling_.MapPosition(position, &left);
  if (p == nullptr || left < unit_bytes) {
    base_ = nullptr;
    length_ = 0;
    return nullptr;
  }
  // Live, the span is the rest of the buffer: the decoders ask the capture
  // reader for data first, so they never read past the written bytes.
  base_ = p;
  first_ = position;
  length_ = left;
  --budget_;
  return p;
}

I2CMonitorUnit MonitorUnitWalker::MapFailureI2C() {
  Trace("%s", kI2CMapError);
  return {kUnitMapError, 0, 0, 0};
}

SpiMonitorUnit MonitorUnitWalker::MapFailureSpi() {
  Trace("%s", kSpiMapError);
  return {};
}

}  // namespace orvane
