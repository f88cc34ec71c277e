#pragma once
// Large synthesized captures for the benchmarks, written once per process
// into the temporary folder and removed at exit.

#include <cstdint>
#include <string>

namespace velix::bench {

inline constexpr uint64_t kBenchCaptureBytes = 256ull * 1024 * 1024;
// Large enough for more than a million dense I2C transactions.
inline constexpr uint64_t kLargeBenchCaptureBytes = 320ull * 1024 * 1024;

// Dense I2C traffic at 1 MHz SCL: writes, a repeated-START read, a 10-bit
// write.
extern const char kDenseI2cScenario[];

// Dense I2C traffic (1 MHz SCL) sampled at 50 MHz, in analyzer atoms.
const std::string& DenseI2cAnalyzerCapture();
// The same traffic in a capture of kLargeBenchCaptureBytes.
const std::string& LargeDenseI2cAnalyzerCapture();
// SPI at 10 MHz SCLK sampled at 50 MHz, in analyzer atoms.
const std::string& SpiAnalyzerCapture();
// The dense I2C traffic as monitor-mode units.
const std::string& DenseI2cMonitorCapture();

// Walks every atom of a capture with the decoders' reader; returns the sum
// of the counts, or 0 when the file cannot be mapped.
uint64_t WalkAllAtoms(const std::string& path, uint32_t* data_bytes);

// Reads the whole file with plain read() calls; returns a checksum so the
// reads cannot be optimised away.
uint64_t SequentialRead(const std::string& path, uint64_t* bytes);

}  // namespace velix::bench
