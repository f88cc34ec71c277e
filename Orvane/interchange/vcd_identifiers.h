#pragma once
// The identifier codes of a VCD file's variables and what each stands for.
// Codes of one or two printable characters (those of nearly every file) are
// looked up in direct tables; the rare longer codes go through a hash map.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velix::interchange {

inline constexpr int32_t kUnknownIdentifier = -1;
// A variable we do not read (wider than one bit, real, event ...): its
// values are accepted and skipped.
inline constexpr int32_t kSkippedVariable = -2;

class VcdIdentifiers {
 public:
  // Printable code characters: '!' to '~'.
  static constexpr unsigned kFirstPrintable = '!';
  static constexpr unsigned kPrintables = '~' - '!' + 1;

  VcdIdentifiers() : pairs_(kPrintables * kPrintables, kUnknownIdentifier) { single_.fill(kUnknownIdentifier); }

  static bool Printable(unsigned char c) { return c - kFirstPrintable < kPrintables; }

  // The channel index, kSkippedVariable or kUnknownIdentifier.
  int32_t Find(std::string_view code) const {
    if (code.size() == 1) return single_[static_cast<unsigned char>(code[0])];
    const auto it = longer_.find(code);
    return it == longer_.end() ? kUnknownIdentifier : it->second;
  }
  int32_t FindSingle(unsigned char code) const { return single_[code]; }
  // A two-character code; both characters Printable().
  int32_t FindPair(unsigned char first, unsigned char second) const { return pairs_[PairIndex(first, second)]; }
  // Binds a new code; false when it is already bound.
  bool Add(std::string_view code, int32_t meaning) {
    if (Find(code) != kUnknownIdentifier) return false;
    if (code.size() == 1) {
      single_[static_cast<unsigned char>(code[0])] = meaning;
    } else {
      if (code.size() == 2) {
        const auto first = static_cast<unsigned char>(code[0]);
        const auto second = static_cast<unsigned char>(code[1]);
        if (Printable(first) && Printable(second)) pairs_[PairIndex(first, second)] = meaning;
      }
      longer_.emplace(std::string(code), meaning);
    }
    return true;
  }

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  static size_t PairIndex(unsigned char first, unsigned char second) {
    return (first - kFirstPrintable) * kPrintables + (second - kFirstPrintable);
  }

  std::array<int32_t, 256> single_;
  std::vector<int32_t> pairs_;
  std::unordered_map<std::string, int32_t, Hash, std::equal_to<>> longer_;
};

}  // namespace velix::interchange
