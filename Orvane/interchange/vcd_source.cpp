#include "Orvane/interchange/vcd_source.h"

#include <vector>

#include "Orvane/interchange/vcd_change_lines.h"
#include "Orvane/interchange/vcd_declarations.h"
#include "Orvane/interchange/vcd_scanner.h"

namespace velix::interchange {
namespace {

// A level character: 1 low, 2 high, 0 not a level.
inline int LevelOf(char c) {
  switch (c) {
    case '0':
      return 1;
    case '1':
    case 'x':
    case 'X':
    case 'z':
    case 'Z':
      return 2;
    default:
      return 0;
  }
}

class VcdSource final : public LogicSource {
 public:
  VcdSource(std::string name, std::unique_ptr<VcdScanner> scanner, VcdDeclarations declarations)
      : name_(std::move(name)),
        scanner_(std::move(scanner)),
        declarations_(std::move(declarations)),
        levels_(declarations_.channels.size(), 1) {}

  const std::vector<std::string>& Channels() const override { return declarations_.channels; }
  TickLength Tick() const override { return declarations_.tick; }
  size_t Read(LevelChange* out, size_t capacity) override;
  SourceState State() const override { return state_; }
  uint64_t EndTick() const override { return tick_; }
  const std::string& Error() const override { return error_; }
  std::vector<uint8_t> CarriedSettings() const override { return declarations_.carried_settings; }

 private:
  enum class Phase : uint8_t { kInitial, kEmitInitial, kChanges };

  size_t Parse(LevelChange* out, size_t capacity);
  // A time stamp other than the plain one ShortDecimal reads, or a fault.
  bool Timestamp(std::string_view word);
  // Moves the time to a stamp's value; false when time would go back.
  bool Advance(uint64_t value);
  bool Keyword(std::string_view word);
  bool Fail(const std::string& message) {
    error_ = name_ + ", line " + std::to_string(scanner_->Line()) + ": " + message;
    state_ = SourceState::kFailed;
    return false;
  }
  void InputEnded() {
    if (scanner_->Failed()) {
      Fail(scanner_->Error());
    } else if (phase_ == Phase::kInitial) {
      phase_ = Phase::kEmitInitial;
      end_after_initial_ = true;
    } else {
      state_ = SourceState::kEnded;
    }
  }

  const std::string name_;
  std::unique_ptr<VcdScanner> scanner_;
  VcdDeclarations declarations_;
  std::vector<uint8_t> levels_;  // 0 low, 1 high
  Phase phase_ = Phase::kInitial;
  SourceState state_ = SourceState::kReading;
  bool timed_ = false;  // a time stamp was seen
  bool end_after_initial_ = false;
  uint64_t first_tick_ = 0;
  uint64_t tick_ = 0;
  uint32_t initial_next_ = 0;
  std::string error_;
};

// Up to 19 digits, leading zeros included, cannot overflow 64 bits: the
// common stamp is read in one pass. False when a byte is not a digit.
inline bool ShortDecimal(std::string_view digits, uint64_t* value) {
  uint64_t sum = 0;
  for (const char c : digits) {
    const auto digit = static_cast<unsigned>(static_cast<unsigned char>(c) - '0');
    if (digit > 9) return false;
    sum = sum * 10 + digit;
  }
  *value = sum;
  return true;
}

bool VcdSource::Timestamp(std::string_view word) {
  std::string_view digits = word.substr(1);
  if (digits.empty()) return Fail("a time stamp without a time");
  while (digits.size() > 1 && digits[0] == '0') digits.remove_prefix(1);
  // Up to 19 digits cannot overflow; only a 20th needs the checks.
  if (digits.size() > 20) return Fail("the time stamp " + Quoted(word) + " does not fit 64 bits");
  const size_t unchecked = digits.size() < 19 ? digits.size() : 19;
  uint64_t value = 0;
  for (size_t i = 0; i < digits.size(); ++i) {
    const auto digit = static_cast<unsigned>(static_cast<unsigned char>(digits[i]) - '0');
    if (digit > 9) return Fail("the time stamp " + Quoted(word) + " is not a number");
    if (i < unchecked) {
      value = value * 10 + digit;
    } else if (__builtin_mul_overflow(value, 10u, &value) || __builtin_add_overflow(value, uint64_t{digit}, &value)) {
      return Fail("the time stamp " + Quoted(word) + " does not fit 64 bits");
    }
  }
  return Advance(value);
}

bool VcdSource::Advance(uint64_t value) {
  if (!timed_) {
    timed_ = true;
    tick_ = value;
    return true;
  }
  if (value < tick_) {
    return Fail("time goes back from " + std::to_string(tick_) + " to " + std::to_string(value));
  }
  if (value > tick_ && phase_ == Phase::kInitial) {
    first_tick_ = tick_;
    phase_ = Phase::kEmitInitial;
  }
  tick_ = value;
  return true;
}

bool VcdSource::Keyword(std::string_view word) {
  if (word == "$dumpvars" || word == "$dumpall" || word == "$dumpon" || word == "$end") return true;
  if (word == "$dumpoff" || word == "$comment") {
    if (SkipToEnd(scanner_.get())) return true;
    return Fail(scanner_->Failed() ? scanner_->Error() : "the file ends inside " + std::string(word));
  }
  return Fail("unexpected " + Quoted(word) + " among the value changes");
}

size_t VcdSource::Parse(LevelChange* out, size_t capacity) {
  size_t n = 0;
  std::string_view word;
  while (n < capacity) {
    if (phase_ == Phase::kChanges) {
      // The common lines straight from the buffer; the words below take
      // the first line it leaves, then it goes on after that.
      const ChangeLines lines = ReadChangeLines(scanner_->Unread(), declarations_.identifiers, &tick_,
                                                levels_.data(), out + n, capacity - n);
      scanner_->Skip(lines.bytes, lines.lines);
      n += lines.changes;
      if (n == capacity) break;
    }
    if (!scanner_->Next(&word)) {
      InputEnded();
      break;
    }
    const char first = word[0];
    if (first == '#') {
      uint64_t value = 0;
      const bool plain = word.size() >= 2 && word.size() <= 20 && ShortDecimal(word.substr(1), &value);
      if (!(plain ? Advance(value) : Timestamp(word)) || phase_ == Phase::kEmitInitial) break;
      continue;
    }
    int level = LevelOf(first);
    std::string_view code;
    if (level != 0) {
      code = word.substr(1);
    } else if (first == 'b' || first == 'B' || first == 'r' || first == 'R') {
      const std::string_view value = word.substr(1);
      const bool vector = first == 'b' || first == 'B';
      if (value.empty()) {
        Fail("a value " + Quoted(word) + " without digits");
        return n;
      }
      if (vector) {
        for (const char c : value) {
          if (LevelOf(c) == 0) {
            Fail("the vector value " + Quoted(word) + " holds a digit other than 0 1 x z");
            return n;
          }
        }
        level = LevelOf(value.back());
      }
      if (!scanner_->Next(&code)) {
        {
          Fail(scanner_->Failed() ? scanner_->Error() : "the file ends after the value " + Quoted(word));
          return n;
        }
      }
      if (!vector && declarations_.identifiers.Find(code) >= 0) {
        {
          Fail("a real value for the one-bit signal " + Quoted(code));
          return n;
        }
      }
    } else if (first == '$') {
      if (!Keyword(word)) break;
      continue;
    } else {
      {
        Fail("cannot read " + Quoted(word));
        return n;
      }
    }
    if (code.empty()) {
      Fail("the value " + Quoted(word) + " has no identifier");
      return n;
    }
    const int32_t channel = declarations_.identifiers.Find(code);
    if (channel == kSkippedVariable) continue;
    if (channel == kUnknownIdentifier) {
      Fail("the identifier " + Quoted(code) + " was not declared");
      return n;
    }
    const uint8_t high = static_cast<uint8_t>(level - 1);
    if (phase_ == Phase::kChanges) {
      if (levels_[channel] != high) {
        levels_[channel] = high;
        out[n++] = {tick_, static_cast<uint32_t>(channel), high != 0};
      }
    } else {
      levels_[channel] = high;
    }
  }
  return n;
}

size_t VcdSource::Read(LevelChange* out, size_t capacity) {
  size_t n = 0;
  while (n < capacity) {
    if (phase_ == Phase::kEmitInitial) {
      const uint64_t at = end_after_initial_ ? tick_ : first_tick_;
      while (n < capacity && initial_next_ < levels_.size()) {
        out[n++] = {at, initial_next_, levels_[initial_next_] != 0};
        ++initial_next_;
      }
      if (initial_next_ < levels_.size()) break;
      phase_ = Phase::kChanges;
      if (end_after_initial_) state_ = SourceState::kEnded;
      continue;
    }
    if (state_ != SourceState::kReading) break;
    n += Parse(out + n, capacity - n);
  }
  return n;
}

std::unique_ptr<LogicSource> Finish(std::unique_ptr<VcdScanner> scanner, const std::string& name, std::string* error) {
  VcdDeclarations declarations;
  std::string message;
  if (!ReadVcdDeclarations(scanner.get(), &declarations, &message)) {
    *error = name + ", " + message;
    return nullptr;
  }
  return std::make_unique<VcdSource>(name, std::move(scanner), std::move(declarations));
}

}  // namespace

std::unique_ptr<LogicSource> OpenVcdText(std::string_view text, const std::string& name, std::string* error) {
  auto scanner = std::make_unique<VcdScanner>();
  scanner->OpenText(text);
  return Finish(std::move(scanner), name, error);
}

std::unique_ptr<LogicSource> OpenVcdSource(const std::string& path, std::string* error) {
  auto scanner = std::make_unique<VcdScanner>();
  if (!scanner->Open(path, error)) return nullptr;
  return Finish(std::move(scanner), path, error);
}

}  // namespace velix::interchange
