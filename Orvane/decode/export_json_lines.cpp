#include "Orvane/decode/export_json_lines.h"

#include <unistd.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

#include "Orvane/decode/export_rows.h"
#include "Orvane/decode/text_append.h"

namespace orvane {

namespace {

constexpr uint64_t kNsPerTenNs = 10;

// Sample clocks × period code are 10 ns units. A capture of at most 4 GiB
// counts fewer than 2^43 clocks, so the product stays exact in 64 bits.
uint64_t ClocksToNs(uint64_t clocks, uint8_t period_code) { return clocks * period_code * kNsPerTenNs; }

const char* BusMember(const SettingsRecord& settings) {
  switch (settings.m_AnalyzeBusChannel & 3) {
    case 0: return ",\"bus\":\"spi\"";
    case 1: return ",\"bus\":\"i2c0\"";
    case 2: return ",\"bus\":\"i2c1\"";
    default: return nullptr;
  }
}

void AppendBool(bool value, std::string* line) { *line += value ? "true" : "false"; }

// `"name":"HEX"` of up to `wanted` bytes from `first` on, never past what
// the detail array holds.
void AppendHexMember(std::string_view name, const std::vector<uint8_t>& bytes, uint32_t first, uint32_t wanted,
                     std::string* line) {
  *line += ",\"";
  *line += name;
  *line += "\":\"";
  if (first < bytes.size()) {
    AppendHexBytes(bytes.data() + first, std::min<size_t>(wanted, bytes.size() - first), line);
  }
  *line += '"';
}

void AppendI2CMembers(const TransactionInfo& r, const TransactionDetail& detail, std::string* line) {
  const uint16_t flags = r.i2c.I2CFlags;
  *line += ",\"address\":";
  AppendDecimal(r.i2c.I2CAddress, line);
  *line += ",\"ten_bit\":";
  AppendBool(flags & kI2C10Bit, line);
  *line += (flags & kI2CRead) ? ",\"direction\":\"read\"" : ",\"direction\":\"write\"";
  if (r.bStartEndType & kBeganStart) {
    *line += ",\"start\":\"S\"";
  } else if (r.bStartEndType & kBeganRepeatedStart) {
    *line += ",\"start\":\"Sr\"";
  } else {
    *line += ",\"start\":null";
  }
  if (r.bStartEndType & kEndedStop) {
    *line += ",\"end\":\"P\"";
  } else if (r.bStartEndType & kEndedRepeatedStart) {
    *line += ",\"end\":\"Sr\"";
  } else {
    *line += ",\"end\":null";
  }
  *line += ",\"nack\":";
  AppendBool(flags & kI2CNack, line);
  // The data are what the CSV's data cell holds: the bytes after the address.
  const uint32_t count = DetailCount(detail);
  const uint32_t address_bytes = I2CAddressBytes(r);
  AppendHexMember("data", detail.bytes, address_bytes, count > address_bytes ? count - address_bytes : 0, line);
}

}  // namespace

JsonLineFormatter::JsonLineFormatter(const SettingsRecord& settings)
    : mode_(TextModeOf(settings)), bus_(BusMember(settings)) {}

void JsonLineFormatter::Append(const TransactionInfo& r, const TransactionDetail& detail, std::string* line) {
  // Only the remark text can hold characters JSON escapes; the rest is
  // numbers, fixed names and hexadecimal digits.
  *line += "{\"index\":";
  AppendDecimal(r.Index, line);
  if (!mode_.monitor) {
    *line += ",\"start_ns\":";
    AppendDecimal(ClocksToNs(r.StartClock, mode_.period_code), line);
    *line += ",\"duration_ns\":";
    AppendDecimal(ClocksToNs(r.Duration, mode_.period_code), line);
  }
  if (bus_ != nullptr) *line += bus_;
  if (mode_.i2c) {
    AppendI2CMembers(r, detail, line);
  } else if (mode_.spi) {
    const uint32_t length = std::min(DataLength(r, mode_), DetailCount(detail));
    AppendHexMember("mosi", detail.bytes2, 0, length, line);
    AppendHexMember("miso", detail.bytes, 0, length, line);
  }
  *line += RemarkFields(r);
}

const std::string& JsonLineFormatter::RemarkFields(const TransactionInfo& r) {
  // Everything the remarks of a record are made of.
  const bool hs = mode_.i2c && (r.i2c.I2CFlags & kI2CHsTransfer);
  const uint32_t key =
      r.Status | ((r.RecordFlags & kRecordTrigger) ? 1u << 16 : 0u) | (hs ? 1u << 17 : 0u);
  const auto [found, inserted] = remark_fields_.try_emplace(key);
  if (!inserted) return found->second;
  nlohmann::json names = nlohmann::json::array();
  for (const RemarkKind* kind : RecordRemarks(r, mode_)) names.push_back(kind->name);
  std::string text;
  AppendErrorInfoText(r, mode_, "; ", true, &text);
  // Replacing what is not UTF-8 keeps the serialiser from throwing.
  constexpr auto kReplace = nlohmann::json::error_handler_t::replace;
  std::string& fields = found->second;
  fields = ",\"remarks\":";
  fields += names.dump(-1, ' ', false, kReplace);
  fields += ",\"remark_text\":";
  fields += nlohmann::json(text).dump(-1, ' ', false, kReplace);
  fields += "}\n";
  return fields;
}

ExportResult ExportTransactionJsonLines(ExportEnv& env, int fd) {
  ExportWriter out(fd, LineEnds::kAsWritten);
  JsonLineFormatter formatter(env.settings);
  return ExportViewRows(env, out, [&formatter](const TransactionInfo& record, const TransactionDetail& detail,
                                               std::string* line) { formatter.Append(record, detail, line); });
}

ExportResult ExportTransactionJsonLinesFile(ExportEnv& env, const std::string& path) {
  const int fd = OpenExportFile(path, env.sink);
  if (fd < 0) return {};
  const ExportResult result = ExportTransactionJsonLines(env, fd);
  ::close(fd);
  return result;
}

}  // namespace orvane
