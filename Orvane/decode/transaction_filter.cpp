#include "Orvane/decode/transaction_filter.h"

#include <algorithm>

#include "Orvane/capture/view_batch.h"

namespace orvane {

namespace {

constexpr uint32_t kMaxSubAddress = 4;
constexpr uint32_t kMaxFirstBytes = 2 + kMaxSubAddress;

enum class Admission { kRejected, kEntered, kFull };

bool IsRead(const TransactionInfo& r) { return r.i2c.I2CFlags & kI2CRead; }
bool EndedRepeatedStart(const TransactionInfo& r) { return r.bStartEndType & kEndedRepeatedStart; }
bool BeganRepeatedStart(const TransactionInfo& r) { return r.bStartEndType & kBeganRepeatedStart; }

class FilterWalk {
 public:
  FilterWalk(CSamplingObj& sampling, const SettingsRecord& settings, DetailLoader load)
      : sampling_(sampling), store_(sampling.Records()), batch_(store_), s_(settings), load_(load),
        mode_(TextModeOf(settings)), enabled_(settings.FilterEnable != 0),
        sub_length_(std::clamp<uint32_t>(settings.FilterSubAddressLength, 1, kMaxSubAddress)) {}

  void Run();
  bool Full() const { return full_; }

 private:
  bool SkippedByWalk(const TransactionInfo& r) const;
  bool OutsideRange(uint32_t index) const {
    return s_.FilterRangeEnable && (index < s_.FilterRangeStart || index > s_.FilterRangeEnd);
  }
  void AdmitAllKept();
  Admission Admit(RecordRef ref, bool prematched, bool force, const uint8_t* first, uint32_t count);
  bool SubAddressMatches(const TransactionInfo& r, const uint8_t* first, uint32_t count) const;
  Admission AdmitWithSubAddress(RecordRef ref);
  bool ChainHasRead(RecordRef from, RecordRef* last);
  RecordRef IncludeWriteForRead(RecordRef read);

  CSamplingObj& sampling_;
  TransactionStore& store_;
  ViewBatch batch_;
  const SettingsRecord& s_;
  DetailLoader load_;
  RecordTextMode mode_;
  bool enabled_;
  uint32_t sub_length_;
  bool chain_ = false;
  bool full_ = false;
  // The write-for-read look-ahead remembers the last chain it found free
  // of reads, so a long chain of writes is scanned once, not once per write.
  bool clean_known_ = false;
  uint32_t clean_first_ = 0;
  uint32_t clean_last_ = 0;
  bool walked_back_ = false;
  uint32_t walked_back_from_ = 0;
};

bool FilterWalk::SkippedByWalk(const TransactionInfo& r) const {
  if (!enabled_) return false;
  if (OutsideRange(r.Index)) return true;
  return s_.FilterChangesOnly && (r.Status & kStatusNoChange);
}

bool FilterWalk::SubAddressMatches(const TransactionInfo& r, const uint8_t* first,
                                   uint32_t count) const {
  if (IsRead(r)) return false;
  const uint32_t address_bytes = I2CAddressBytes(r);
  if (I2CDataBytes(r, mode_.monitor) < address_bytes + sub_length_) return false;
  if (count < address_bytes + sub_length_) return false;
  for (uint32_t i = 0; i < sub_length_; ++i) {
    if ((first[address_bytes + i] & s_.FilterSubAddressMask[i]) != s_.FilterSubAddressData[i]) {
      return false;
    }
  }
  return true;
}

Admission FilterWalk::Admit(RecordRef ref, bool prematched, bool force, const uint8_t* first,
                            uint32_t count) {
  TransactionInfo& r = store_.At(ref);
  if (r.RecordFlags & kRecordInView) return Admission::kEntered;
  if (enabled_) {
    if (OutsideRange(r.Index)) return Admission::kRejected;
    if (mode_.i2c) {
      if (s_.FilterAddressEnable && !FilterAddressMatches(r, s_)) {
        const bool masked_equal = (s_.FilterAddressMask & r.i2c.I2CAddress) == s_.FilterAddressValue;
        const bool hs_code_pass =
            s_.HsEnable && (r.i2c.I2CFlags & kI2CHsMasterCode) && prematched;
        if (masked_equal || !hs_code_pass) return Admission::kRejected;
      }
      if (!force) {
        if (s_.FilterSubAddressEnable && !SubAddressMatches(r, first, count)) {
          return Admission::kRejected;
        }
        if (IsRead(r) ? !s_.FilterRead : !s_.FilterWrite) return Admission::kRejected;
      }
    }
  }
  if (!batch_.Add(ref, r)) {
    full_ = true;
    return Admission::kFull;
  }
  return Admission::kEntered;
}

Admission FilterWalk::AdmitWithSubAddress(RecordRef ref) {
  const TransactionInfo record = store_.At(ref);
  uint8_t first[kMaxFirstBytes] = {};
  uint32_t count = 0;
  if (!IsRead(record)) {
    load_(sampling_, s_, record);
    const TransactionDetail& detail = sampling_.Detail();
    count = std::min(DetailCount(detail), I2CAddressBytes(record) + sub_length_);
    std::copy_n(detail.bytes.begin(), count, first);
  }
  return Admit(ref, false, false, first, count);
}

bool FilterWalk::ChainHasRead(RecordRef from, RecordRef* last) {
  const uint32_t index = store_.At(from).Index;
  if (clean_known_ && index >= clean_first_ && index <= clean_last_) return false;
  bool read = false;
  RecordRef at = from;
  for (;;) {
    const TransactionInfo& r = store_.At(at);
    read = read || IsRead(r);
    if ((r.bStartEndType & (kEndedStop | kNotEnded)) || r.Next == kNoRecord) break;
    at = r.Next;
  }
  *last = at;
  if (!read) {
    clean_known_ = true;
    clean_first_ = index;
    clean_last_ = store_.At(at).Index;
  }
  return read;
}

// A read with "Include write packet for read": the chain that leads to it
// is entered from its first record. Returns where the walk goes on.
RecordRef FilterWalk::IncludeWriteForRead(RecordRef read) {
  chain_ = true;
  const TransactionInfo& r = store_.At(read);
  // A read that opened with START is its own chain: the walk takes it again
  // in chain mode.
  if (!BeganRepeatedStart(r)) return read;
  // Records that say they follow a repeated START without the previous one
  // ending in one break the chain before it reaches the read again; the
  // read then goes on as its own chain instead of walking back forever.
  if (walked_back_ && r.Index <= walked_back_from_) return read;
  walked_back_ = true;
  walked_back_from_ = r.Index;
  const bool prematched = s_.FilterAddressEnable && FilterAddressMatches(r, s_);
  RecordRef first = read;
  while (BeganRepeatedStart(store_.At(first)) && store_.At(first).Prev != kNoRecord) {
    first = store_.At(first).Prev;
    const uint32_t index = store_.At(first).Index;
    if (s_.FilterRangeEnable && !(index > s_.FilterRangeStart && index < s_.FilterRangeEnd)) break;
  }
  const Admission admitted = Admit(first, prematched, true, nullptr, 0);
  if (admitted == Admission::kFull) return kNoRecord;
  if (admitted == Admission::kEntered || prematched) return store_.At(first).Next;
  // The chain's head is out (outside the range); the read still stands on
  // its own rather than vanishing with it.
  chain_ = false;
  if (Admit(read, false, false, nullptr, 0) == Admission::kFull) return kNoRecord;
  return r.Next;
}

// Without the I2C rules no chain starts and Admit tests nothing the walk
// has not: every record the walk keeps is entered, in one tight pass.
void FilterWalk::AdmitAllKept() {
  for (RecordRef ref = store_.Head(); ref != kNoRecord;) {
    TransactionInfo& r = store_.At(ref);
    const RecordRef next = r.Next;
    if (!SkippedByWalk(r) && (r.RecordFlags & kRecordInView) == 0 && !batch_.Add(ref, r)) {
      full_ = true;
      break;
    }
    ref = next;
  }
  batch_.Flush();
}

void FilterWalk::Run() {
  if (!enabled_ || !mode_.i2c) {
    AdmitAllKept();
    return;
  }
  RecordRef ref = store_.Head();
  while (ref != kNoRecord && !full_) {
    const TransactionInfo& r = store_.At(ref);
    const RecordRef next = r.Next;
    if (SkippedByWalk(r)) {
      ref = next;
      continue;
    }
    if (chain_) {
      Admit(ref, false, true, nullptr, 0);
      chain_ = EndedRepeatedStart(r);
    } else if (s_.FilterSubAddressEnable) {
      if (AdmitWithSubAddress(ref) == Admission::kEntered && EndedRepeatedStart(r) &&
          s_.FilterFromSubAddress) {
        chain_ = true;
      }
    } else if (s_.FilterWrite && !IsRead(r)) {
      RecordRef last = kNoRecord;
      if (s_.FilterOmitWriteForRead && ChainHasRead(ref, &last)) {
        ref = store_.At(last).Next;
        continue;
      }
      if (Admit(ref, false, false, nullptr, 0) == Admission::kEntered && EndedRepeatedStart(r) &&
          s_.FilterFromWrite) {
        chain_ = true;
      }
    } else if (s_.FilterRead && IsRead(r) && s_.FilterWriteForRead) {
      ref = IncludeWriteForRead(ref);
      continue;
    } else {
      Admit(ref, false, false, nullptr, 0);
    }
    ref = next;
  }
  batch_.Flush();
}

}  // namespace

bool FilterAddressMatches(const TransactionInfo& record, const SettingsRecord& settings) {
  const bool ten_bit = record.i2c.I2CFlags & kI2C10Bit;
  return (settings.FilterAddressMask & record.i2c.I2CAddress) == settings.FilterAddressValue &&
         ten_bit == (settings.FilterAddress10Bit != 0);
}

FilterOutcome ApplyTransactionFilter(CSamplingObj& sampling, const SettingsRecord& settings,
                                     velix::platform::InteractionSink& sink, DetailLoader load) {
  sink.StatusText("filtering...", 0);
  TransactionStore& store = sampling.Records();
  store.ResetView();
  FilterWalk walk(sampling, settings, load);
  walk.Run();
  sink.StatusText(" ", 0);
  return {store.ViewCount(), walk.Full()};
}

}  // namespace orvane
