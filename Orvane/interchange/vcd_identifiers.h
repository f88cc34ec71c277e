#pragma once
// The identifier codes of a VCD file's variables and what each stands for.
// Most files use one-character codes, which are looked up in a table; the
// rare longer codes go through a hash map.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velix::interchange {

inline constexpr int32_t kUnknownIdentifier = -1;
// A variable we do not read (wider than one bit, real, event ...): its
// values are accepted and skipped.
inline constexpr int32_t kSkippedVariable = -2;

class VcdIdentifiers {
 public:
  VcdIdentifiers() { single_.fill(kUnknownIdentifier); }

  // The channel index, kSkippedVariable or kUnknownIdentifier.
  int32_t Find(std::string_view code) const {
    if (code.size() == 1) return single_[static_cast<unsigned char>(code[0])];
    const auto it = longer_.find(code);
    return it == longer_.end() ? kUnknownIdentifier : it->second;
  }
  // Binds a new code; false when it is already bound.
  bool Add(std::string_view code, int32_t meaning) {
    if (Find(code) != kUnknownIdentifier) return false;
    if (code.size() == 1) {
      single_[static_cast<unsigned char>(code[0])] = meaning;
    } else {
      longer_.emplace(std::string(code), meaning);
    }
    return true;
  }

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::array<int32_t, 256> single_;
  std::unordered_map<std::string, int32_t, Hash, std::equal_to<>> longer_;
};

}  // namespace velix::interchange
