#include "Orvane/ui/dialogs/search_dialog_model.h"

#include <algorithm>
#include <vector>

#include "Orvane/decode/dialog_values.h"

namespace orvane {
namespace {

uint8_t Clamp(uint8_t length, uint8_t maximum) { return std::clamp<uint8_t>(length, 1, maximum); }

// The first `length` bytes of the pattern typed; those not typed are 0.
template <size_t N>
void StorePattern(const std::string& text, uint8_t length, std::array<uint8_t, N>* out) {
  const std::vector<uint8_t> bytes = ParseHexBytes(text, length);
  out->fill(0);
  std::copy(bytes.begin(), bytes.end(), out->begin());
}

}  // namespace

DataSearchFields DataSearchFieldsFromMemory(const SearchMemory& memory) {
  const uint8_t length = Clamp(memory.data_length, kDataSearchMaxLength);
  return {length, FormatHexBytes(memory.data_pattern.data(), length, ":")};
}

void StoreDataSearchFields(const DataSearchFields& fields, SearchMemory* memory) {
  memory->data_length = Clamp(fields.length, kDataSearchMaxLength);
  StorePattern(fields.pattern, memory->data_length, &memory->data_pattern);
}

AddressSearchFields AddressSearchFieldsFromMemory(const SearchMemory& memory) {
  return {FormatSearchAddress(memory.address), memory.address_10bit, memory.address_read,
          memory.address_write};
}

std::optional<std::string> StoreAddressSearchFields(const AddressSearchFields& fields,
                                                    SearchMemory* memory) {
  uint16_t value = 0;
  if (auto message = ParseSearchAddress(fields.address, fields.ten_bit, &value)) return message;
  memory->address = value;
  memory->address_10bit = fields.ten_bit;
  memory->address_read = fields.read;
  memory->address_write = fields.write;
  return std::nullopt;
}

SubAddressSearchFields SubAddressSearchFieldsFromMemory(const SearchMemory& memory) {
  const uint8_t length = Clamp(memory.sub_length, kSubAddressSearchMaxLength);
  return {length, FormatHexBytes(memory.sub_data.data(), length, ":")};
}

void StoreSubAddressSearchFields(const SubAddressSearchFields& fields, SearchMemory* memory) {
  memory->sub_length = Clamp(fields.length, kSubAddressSearchMaxLength);
  StorePattern(fields.data, memory->sub_length, &memory->sub_data);
}

JumpFields JumpFieldsFromRange(uint32_t first_index, uint32_t last_index) {
  JumpFields fields;
  fields.first = std::to_string(first_index);
  fields.last = std::to_string(last_index);
  return fields;
}

}  // namespace orvane
