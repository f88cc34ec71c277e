#pragma once
// Result codes of an analysis run and of opening the sampling data. Any
// result with a bit of kErrorBits set is an error.

#include <cstdint>

namespace orvane {

inline constexpr uint32_t kResultStepEnd = 0x10;          // a transaction was closed
inline constexpr uint32_t kResultDataEnd = 0x100;         // data end or stop request
inline constexpr uint32_t kResultDataEndOpen = 0x110;     // data end inside a transaction
inline constexpr uint32_t kResultCaptureFinished = 0x101; // capture reader: capture over
inline constexpr uint32_t kResultDeviceRemoved = 0x4104;
inline constexpr uint32_t kResultUnknownUsbError = 0x4108;
inline constexpr uint32_t kResultDriverOverrun = 0x80001100;
inline constexpr uint32_t kResultDeviceOverrun = 0x80002100;
inline constexpr uint32_t kResultMappingError = 0x80100000;
inline constexpr uint32_t kResultMemoryError = 0xA10C0001;
inline constexpr uint32_t kResultBadData = 0xA2000000;

inline constexpr uint32_t kErrorBits = 0xFF0FF000;

constexpr bool IsErrorResult(uint32_t result) { return (result & kErrorBits) != 0; }

}  // namespace orvane
