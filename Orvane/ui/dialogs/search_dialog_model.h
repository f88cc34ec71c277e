#pragma once
// What the search and jump dialogs show and take: the remembered entries of
// the last search of each kind as field texts, and on confirmation the
// fields back into the search memory (or the message that keeps the dialog
// open). The searches themselves run in the core.

#include <cstdint>
#include <optional>
#include <string>

#include "Orvane/decode/transaction_search.h"

namespace orvane {

inline constexpr uint8_t kDataSearchMaxLength = 8;
inline constexpr uint8_t kSubAddressSearchMaxLength = 4;

// ---- "Data Search" ----

struct DataSearchFields {
  uint8_t length = 1;   // 1..8
  std::string pattern;  // hexadecimal byte tokens
};
// The remembered pattern, its bytes joined by ":".
DataSearchFields DataSearchFieldsFromMemory(const SearchMemory& memory);
// Bytes not typed up to the length search for 0x00, as a pattern of the
// chosen length always has all its bytes.
void StoreDataSearchFields(const DataSearchFields& fields, SearchMemory* memory);

// ---- "I2C address search" ----

struct AddressSearchFields {
  std::string address;  // "0x%03X" as shown
  bool ten_bit = false;
  bool read = true, write = true;
};
AddressSearchFields AddressSearchFieldsFromMemory(const SearchMemory& memory);
// "I2C address error" (memory unchanged), or nullopt when stored.
std::optional<std::string> StoreAddressSearchFields(const AddressSearchFields& fields,
                                                    SearchMemory* memory);

// ---- "I2C Sub address Search" ----

struct SubAddressSearchFields {
  uint8_t length = 1;  // 1..4
  std::string data;    // hexadecimal byte tokens
};
SubAddressSearchFields SubAddressSearchFieldsFromMemory(const SearchMemory& memory);
void StoreSubAddressSearchFields(const SubAddressSearchFields& fields, SearchMemory* memory);

// ---- "Jump Transaction number" ----

struct JumpFields {
  std::string first, last;  // the numbers of the first and last listed rows
  std::string target = "0";
};
JumpFields JumpFieldsFromRange(uint32_t first_index, uint32_t last_index);

}  // namespace orvane
