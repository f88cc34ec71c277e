#pragma once
// A fast sequential reader of sample atoms for the decoders. It yields the
// same atoms as CSamplingObj::GetSamplingAtom, but keeps the view lock and
// the current window across a batch of reads instead of taking the lock per
// atom: the window cannot change while the lock is held, and releasing it
// every batch lets the UI thread read (and switch windows) in between.

#include <cstdint>

#include "Orvane/capture/sample_atom.h"
#include "Orvane/capture/sampling_obj.h"

namespace orvane {

class AtomWalker {
 public:
  static constexpr uint32_t kDefaultBatch = 1u << 16;

  explicit AtomWalker(CSamplingObj& sampling, uint32_t batch = kDefaultBatch);
  ~AtomWalker();
  AtomWalker(const AtomWalker&) = delete;
  AtomWalker& operator=(const AtomWalker&) = delete;

  SampleAtom Read(uint32_t position) {
    if (locked_ && budget_ != 0 && position - first_ < length_) {
      --budget_;
      const uint32_t offset = position - first_;
      return DecodeOrReport(base_ + offset, position, offset + 1 < length_);
    }
    return ReadSlow(position);
  }

  // Lets other threads at the data now (the next Read takes the lock again).
  void Release();

 private:
  SampleAtom ReadSlow(uint32_t position);
  SampleAtom DecodeOrReport(const uint8_t* p, uint32_t position, bool second_byte) {
    const SampleAtom atom = DecodeAtom(p, (position & 1) != 0, second_byte);
    if (atom.size == kAtomAlignError) ReportAlignError();
    return atom;
  }
  static void ReportAlignError();

  CSamplingObj& sampling_;
  const uint32_t batch_;
  bool locked_ = false;            // a batch is open
  bool holds_view_lock_ = false;   // ... and it took the view lock
  uint32_t budget_ = 0;
  const uint8_t* base_ = nullptr;  // address of position first_
  uint32_t first_ = 0;
  uint32_t length_ = 0;            // bytes readable from first_
};

}  // namespace orvane
