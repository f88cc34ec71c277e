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
    // Fast path: a batch is open and both bytes of a word at the position
    // lie in the held window. Decoded without a branch on the atom form,
    // which real traffic mixes unpredictably.
    const uint32_t offset = position - first_;
    if (budget_ != 0 && offset < word_limit_) {
      --budget_;
      const uint8_t* p = base_ + offset;
      const uint32_t low = p[0];
      const uint32_t word = low | (uint32_t(p[1]) << 8);
      const bool is_short = (low & 0x10) != 0;
      if (!is_short && (position & 1) != 0) [[unlikely]] {
        ReportAlignError();
        return {kAtomAlignError, 0, 0};
      }
      SampleAtom atom;
      atom.size = static_cast<uint8_t>(is_short ? 1 : 2);
      atom.state = static_cast<uint8_t>(low & 0x0F);
      atom.count = static_cast<uint16_t>(is_short ? low >> 5 : word >> 5);
      return atom;
    }
    return ReadSlow(position);
  }

  // The bytes of the open batch that may be read in place from `position`:
  // `length` positions, each followed by a readable byte, so a word may be
  // read at any of them. Empty when no batch is open, its budget is spent or
  // the position lies outside the held window; Read() then opens the batch
  // or switches the window. The lock stays held while the span is read, and
  // Spent() charges the bytes walked to the batch budget (counted like
  // reads), so the batch still ends and lets the UI thread in.
  struct Span {
    const uint8_t* data = nullptr;  // the byte at `position`
    uint32_t length = 0;
  };
  Span SpanAt(uint32_t position) const {
    const uint32_t offset = position - first_;
    if (budget_ == 0 || offset >= word_limit_) return {};
    const uint32_t length = word_limit_ - offset;
    return {base_ + offset, length < budget_ ? length : budget_};
  }
  void Spent(uint32_t bytes) { budget_ -= bytes; }

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
  uint32_t word_limit_ = 0;        // offsets below it have a second byte
};

}  // namespace orvane
