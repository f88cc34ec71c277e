#include "Orvane/decode/transaction_search.h"

#include <algorithm>
#include <cstring>

namespace orvane {

using velix::platform::Icon;
using velix::platform::SectionLock;

namespace {

constexpr char kFoundData[] = "Found data.";

struct KindTexts {
  const char* searching;
  const char* not_found;
};

KindTexts TextsOf(SearchKind kind) {
  switch (kind) {
    case SearchKind::kData: return {"Searching now... [DATA]", "No found data."};
    case SearchKind::kI2CAddress: return {"Searching now... [I2C address]", "No found I2C address"};
    case SearchKind::kI2CSubAddress:
      return {"Searching now... [I2C Sub-address]", "No found I2C Sub-adress"};
    case SearchKind::kNack: return {"Searching now... [I2C NACK]", "Nack can not be found."};
    case SearchKind::kError: return {"Searching now... [Error transaction]", "No found transaction"};
    case SearchKind::kNone: break;
  }
  return {"", ""};
}

TransactionInfo RowRecord(CSamplingObj& sampling, uint32_t row) {
  return sampling.Records().At(sampling.Records().RowRef(row));
}

// One row at a time from the selection; no selection starts before row 0
// and goes forward whatever the direction.
template <typename Match>
std::optional<uint32_t> StepRows(CSamplingObj& sampling, SearchDirection direction,
                                 std::optional<uint32_t> selected, Match match) {
  const int64_t count = sampling.Records().ViewCount();
  int64_t row = selected ? int64_t{*selected} : -1;
  const int64_t step = (selected && direction == SearchDirection::kBackward) ? -1 : 1;
  for (row += step; row >= 0 && row < count; row += step) {
    if (match(RowRecord(sampling, static_cast<uint32_t>(row)))) return static_cast<uint32_t>(row);
  }
  return std::nullopt;
}

// Byte-granular stepping over the full bytes of the rows, as (row, offset).
class ByteSearch {
 public:
  ByteSearch(SearchEnv& env, SearchMemory& memory, SearchKind kind)
      : env_(env), memory_(memory), kind_(kind), mode_(TextModeOf(env.settings)),
        length_(kind == SearchKind::kData ? std::clamp<uint32_t>(memory.data_length, 1, 8) : 1) {}

  SearchHit Run(SearchDirection direction, std::optional<uint32_t> selected);

 private:
  void LoadRow(int64_t row);
  uint32_t Bytes() const { return DetailCount(env_.sampling.Detail()); }
  bool Matches(uint32_t offset, uint8_t* line) const;
  bool PatternAt(const std::vector<uint8_t>& bytes, uint32_t offset) const;
  bool NackAt(uint32_t offset) const;
  SearchHit Hit(uint32_t row, uint32_t offset, uint8_t line) const;

  SearchEnv& env_;
  SearchMemory& memory_;
  SearchKind kind_;
  RecordTextMode mode_;
  uint32_t length_;
  TransactionInfo record_{};
};

void ByteSearch::LoadRow(int64_t row) {
  record_ = RowRecord(env_.sampling, static_cast<uint32_t>(row));
  env_.load(env_.sampling, env_.settings, record_);
}

bool ByteSearch::PatternAt(const std::vector<uint8_t>& bytes, uint32_t offset) const {
  if (uint64_t{offset} + length_ > std::min<uint64_t>(Bytes(), bytes.size())) return false;
  return std::memcmp(bytes.data() + offset, memory_.data_pattern.data(), length_) == 0;
}

bool ByteSearch::NackAt(uint32_t offset) const {
  const TransactionDetail& detail = env_.sampling.Detail();
  if (offset >= Bytes() || !DetailNack(detail, offset)) return false;
  // The master's NACK that announces the STOP is no error.
  if (env_.settings.IgnoreNackBeforeStop && offset + 1 == Bytes() &&
      (record_.bStartEndType & kEndedStop)) {
    return false;
  }
  // Nobody acknowledges an HS master code.
  return !(env_.settings.HsEnable && offset == 0 && (record_.i2c.I2CFlags & kI2CHsMasterCode));
}

bool ByteSearch::Matches(uint32_t offset, uint8_t* line) const {
  const TransactionDetail& detail = env_.sampling.Detail();
  if (kind_ == SearchKind::kNack) return NackAt(offset);
  *line = 0;
  if (PatternAt(detail.bytes, offset)) return true;
  *line = 1;
  return mode_.spi && PatternAt(detail.bytes2, offset);
}

SearchHit ByteSearch::Hit(uint32_t row, uint32_t offset, uint8_t line) const {
  const TransactionDetail& detail = env_.sampling.Detail();
  SearchHit hit;
  hit.found = true;
  hit.row = row;
  hit.byte_offset = offset;
  hit.byte_count = length_;
  hit.line = line;
  const std::vector<uint32_t>& clocks = kind_ == SearchKind::kNack ? detail.ack_offsets : detail.offsets;
  if (!mode_.monitor && offset < clocks.size()) {
    hit.has_clock = true;
    hit.clock_offset = clocks[offset];
  }
  return hit;
}

SearchHit ByteSearch::Run(SearchDirection direction, std::optional<uint32_t> selected) {
  const int64_t count = env_.sampling.Records().ViewCount();
  const bool forward = !selected || direction == SearchDirection::kForward;
  int64_t row = -1;
  int64_t offset = -1;
  if (selected && *selected < count) {
    row = *selected;
    LoadRow(row);
    // The remembered offset belongs to the row of the last match; another
    // selected row is searched from its first (or last) byte.
    if (memory_.byte_row == *selected) {
      offset = memory_.byte_offset;
    } else {
      offset = forward ? -1 : int64_t{Bytes()};
    }
  }
  for (;;) {
    if (forward) {
      ++offset;
      while (row < 0 || offset + length_ > Bytes()) {
        if (++row >= count) return {};
        LoadRow(row);
        offset = 0;
      }
    } else {
      --offset;
      while (offset < 0) {
        if (--row < 0) return {};
        LoadRow(row);
        offset = int64_t{Bytes()} - 1;
      }
    }
    uint8_t line = 0;
    if (Matches(static_cast<uint32_t>(offset), &line)) {
      memory_.byte_offset = static_cast<uint32_t>(offset);
      memory_.byte_row = static_cast<uint32_t>(row);
      return Hit(static_cast<uint32_t>(row), static_cast<uint32_t>(offset), line);
    }
  }
}

bool RowMatches(const SearchMemory& memory, SearchKind kind, const TransactionInfo& r) {
  switch (kind) {
    case SearchKind::kI2CAddress:
      return r.i2c.I2CAddress == memory.address &&
             ((r.i2c.I2CFlags & kI2C10Bit) != 0) == memory.address_10bit &&
             ((r.i2c.I2CFlags & kI2CRead) ? memory.address_read : memory.address_write);
    case SearchKind::kI2CSubAddress: {
      const uint32_t length = std::clamp<uint32_t>(memory.sub_length, 1, 4);
      return r.PreviewLen >= length && std::memcmp(r.Preview, memory.sub_data.data(), length) == 0;
    }
    case SearchKind::kError:
      return r.IsError();
    default:
      return false;
  }
}

void ReloadSelected(SearchEnv& env, std::optional<uint32_t> selected) {
  if (selected && *selected < env.sampling.Records().ViewCount()) {
    env.load(env.sampling, env.settings, RowRecord(env.sampling, *selected));
  }
}

}  // namespace

SearchHit RunSearch(SearchEnv& env, SearchMemory& memory, SearchKind kind,
                    SearchDirection direction, std::optional<uint32_t> selected_row) {
  if (kind == SearchKind::kNone) return {};
  memory.kind = kind;
  memory.direction = direction;
  const KindTexts texts = TextsOf(kind);
  env.sink.StatusText(texts.searching, 0);
  SearchHit hit;
  {
    SectionLock lock(env.sampling.ViewLock());
    if (kind == SearchKind::kData || kind == SearchKind::kNack) {
      hit = ByteSearch(env, memory, kind).Run(direction, selected_row);
      if (!hit.found) ReloadSelected(env, selected_row);
    } else {
      const auto row = StepRows(env.sampling, direction, selected_row,
                                [&](const TransactionInfo& r) { return RowMatches(memory, kind, r); });
      hit.found = row.has_value();
      hit.row = row.value_or(0);
    }
  }
  if (hit.found) {
    env.sink.StatusText(kFoundData, 0);
  } else {
    env.sink.Show(texts.not_found, Icon::kExclamation);
  }
  return hit;
}

SearchHit RepeatSearch(SearchEnv& env, SearchMemory& memory, SearchDirection direction,
                       std::optional<uint32_t> selected_row) {
  return RunSearch(env, memory, memory.kind, direction, selected_row);
}

SearchHit FindTriggerRow(SearchEnv& env) {
  env.sink.StatusText("Searching now... [Trigger position]", 0);
  SearchHit hit;
  {
    SectionLock lock(env.sampling.ViewLock());
    const auto row = StepRows(env.sampling, SearchDirection::kForward, std::nullopt,
                              [](const TransactionInfo& r) { return (r.RecordFlags & kRecordTrigger) != 0; });
    hit.found = row.has_value();
    hit.row = row.value_or(0);
  }
  if (hit.found) {
    env.sink.StatusText(kFoundData, 0);
  } else {
    env.sink.Show("Trigger is not found. ", Icon::kExclamation);
  }
  return hit;
}

bool JumpRange(CSamplingObj& sampling, uint32_t* first_index, uint32_t* last_index) {
  SectionLock lock(sampling.ViewLock());
  const uint32_t count = sampling.Records().ViewCount();
  if (count == 0) return false;
  *first_index = RowRecord(sampling, 0).Index;
  *last_index = RowRecord(sampling, count - 1).Index;
  return true;
}

JumpResult JumpToTransaction(SearchEnv& env, uint32_t number) {
  JumpResult result;
  {
    SectionLock lock(env.sampling.ViewLock());
    const uint32_t count = env.sampling.Records().ViewCount();
    if (count == 0) return result;
    env.sink.StatusText("Searching now...", 0);
    result = {JumpOutcome::kAskNearest, count - 1};
    for (uint32_t row = 0; row < count; ++row) {
      const uint32_t index = RowRecord(env.sampling, row).Index;
      if (index == number) {
        result = {JumpOutcome::kFound, row};
        break;
      }
      if (index > number) {
        result.row = row;
        break;
      }
    }
  }
  env.sink.StatusText(result.outcome == JumpOutcome::kFound ? "Found transaction" : "No found transaction", 0);
  return result;
}

}  // namespace orvane
