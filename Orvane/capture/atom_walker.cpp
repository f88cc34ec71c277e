#include "Orvane/capture/atom_walker.h"

#include "platform/trace.h"

namespace orvane {

AtomWalker::AtomWalker(CSamplingObj& sampling, uint32_t batch)
    : sampling_(sampling), batch_(batch == 0 ? 1 : batch) {}

AtomWalker::~AtomWalker() { Release(); }

void AtomWalker::Release() {
  if (locked_) {
    locked_ = false;
    // Leave only a lock this walker took: the live buffer may have been
    // detached (or attached) since.
    if (holds_view_lock_) sampling_.ViewLock().Leave();
    holds_view_lock_ = false;
  }
  budget_ = 0;
  base_ = nullptr;
  length_ = 0;
  word_limit_ = 0;
}

void AtomWalker::ReportAlignError() {
  velix::platform::Trace("GetSamplingAtom() : DATA ALIGN  ERROR!!! \n");
}

SampleAtom AtomWalker::ReadSlow(uint32_t position) {
  if (locked_ && budget_ == 0) Release();
  if (!locked_) {
    holds_view_lock_ = !sampling_.IsLive();
    if (holds_view_lock_) sampling_.ViewLock().Enter();
    locked_ = true;
    budget_ = batch_;
  }
  uint32_t left = 0;
  const uint8_t* p = sampling_.MapPosition(position, &left);
  if (p == nullptr) {
    base_ = nullptr;
    length_ = 0;
    word_limit_ = 0;
    velix::platform::Trace("GetSamplingAtom() : MapView  ERROR!!! \n");
    return {kAtomMapError, 0, 0};
  }
  // Live, the span is the whole buffer: the decoders ask the capture reader
  // for data before each atom, so they never read past the written bytes.
  base_ = p;
  first_ = position;
  length_ = left;
  word_limit_ = left - 1;
  --budget_;
  return DecodeOrReport(p, position, left >= 2);
}

}  // namespace orvane
