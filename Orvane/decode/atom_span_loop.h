#pragma once
// The atom loop of the exports' byte extractions: every atom of one record,
// from its opening atom to SampleLen bytes after it (never past the data
// end), handed to a bit shifter. Most atoms are read in place from the
// walker's held window; the walker reads the ones at the window's edges and
// reports a misplaced long atom.
//
// The shifter keeps the record's progress and has
//   bool Atom(uint8_t state, bool state_only)
// for one atom the walker read: its four line bits and, for a zero-count
// long atom (which only replaces the state), state_only; and
//   uint32_t Run(const uint8_t* data, uint32_t length, uint32_t odd, bool* more)
// for the atoms starting in data[0, length - 1), data[0] at a position of
// parity `odd`, read in place: it returns the bytes walked, up to a
// misplaced long atom (left to the walker, which reports it), the last byte
// of the span or the record's end, which clears *more. Both return false
// once the record's bytes are complete. Bits may wait in the shifter until
//   void Finish()
// stores them, after the record's last atom, however the record ended.

#include <algorithm>
#include <cstdint>

#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/transaction_info.h"

namespace orvane {

inline constexpr uint32_t kExtractBatch = 4096;

namespace span_loop {

template <typename Shifter>
void FeedRecordAtoms(AtomWalker& walker, uint32_t data_end, const TransactionInfo& record, Shifter& shifter) {
  if (record.SamplePos >= data_end) return;
  // The opening atom fixes the record's end (at the data end too); after it
  // the loop tests one bound only.
  const SampleAtom first = walker.Read(record.SamplePos);
  if (first.size != 1 && first.size != 2) return;
  const uint64_t stop = std::min<uint64_t>(data_end, uint64_t(record.SamplePos) + first.size + record.SampleLen);
  if (!shifter.Atom(first.state, first.count == 0 && first.size == 2)) return;
  uint64_t position = uint64_t(record.SamplePos) + first.size;
  while (position < stop) {
    const AtomWalker::Span span = walker.SpanAt(static_cast<uint32_t>(position));
    if (span.length != 0) {
      const uint32_t limit = static_cast<uint32_t>(std::min<uint64_t>(span.length, stop - position));
      bool more = true;
      const uint32_t walked = shifter.Run(span.data, limit, static_cast<uint32_t>(position & 1), &more);
      walker.Spent(walked);
      position += walked;
      if (!more) return;
      if (walked != 0) continue;
    }
    const SampleAtom atom = walker.Read(static_cast<uint32_t>(position));
    if (atom.size != 1 && atom.size != 2) return;
    position += atom.size;
    if (!shifter.Atom(atom.state, atom.count == 0 && atom.size == 2)) return;
  }
}

}  // namespace span_loop

// Feeds every atom of `record` to `shifter`, in order, until it has all
// the record's bytes, the record ends or an atom is damaged. `walker`
// reads the atoms of `sampling`; one walker may serve record after record,
// keeping its window and its batch of the view lock, as long as nothing
// else on the thread maps another window of the capture in between.
template <typename Shifter>
void ShiftRecordAtoms(AtomWalker& walker, CSamplingObj& sampling, const TransactionInfo& record, Shifter& shifter) {
  span_loop::FeedRecordAtoms(walker, sampling.m_lenSamplingDataInBuffer, record, shifter);
  shifter.Finish();
}

template <typename Shifter>
void ShiftRecordAtoms(CSamplingObj& sampling, const TransactionInfo& record, Shifter& shifter) {
  AtomWalker walker(sampling, kExtractBatch);
  ShiftRecordAtoms(walker, sampling, record, shifter);
}

}  // namespace orvane
