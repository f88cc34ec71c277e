#include "sim/ground_truth.h"

#include <cstdio>
#include <map>
#include <sstream>

#include "sim/scenario_values.h"

namespace velix::sim {
namespace {

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

std::string Signed(int64_t value) { return value < 0 ? "-" : std::to_string(value); }

std::string ByteList(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return "-";
  std::string text;
  char item[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(item, sizeof item, "%02X", bytes[i]);
    if (i > 0) text += ',';
    text += item;
  }
  return text;
}

std::string BitList(const std::vector<uint8_t>& bits) {
  if (bits.empty()) return "-";
  std::string text;
  for (uint8_t bit : bits) text += bit ? '1' : '0';
  return text;
}

int RateMhz(uint8_t code) { return code == 0 ? 0 : 100 / code; }

using Fields = std::map<std::string, std::string>;

class LineReader {
 public:
  LineReader(int line, std::string* error) : line_(line), error_(error) {}

  bool Fail(const std::string& message) {
    *error_ = "line " + std::to_string(line_) + ": " + message;
    return false;
  }
  bool Split(std::istringstream& stream, Fields* fields) {
    std::string token;
    while (stream >> token) {
      const size_t eq = token.find('=');
      if (eq == std::string::npos) return Fail("expected key=value, got '" + token + "'");
      if (!fields->emplace(token.substr(0, eq), token.substr(eq + 1)).second) return Fail("repeated key in '" + token + "'");
    }
    return true;
  }
  bool Take(Fields& fields, const std::string& key, std::string* value) {
    auto it = fields.find(key);
    if (it == fields.end()) return Fail("missing key '" + key + "'");
    *value = it->second;
    fields.erase(it);
    return true;
  }
  bool Number(Fields& fields, const std::string& key, uint64_t limit, uint64_t* value) {
    std::string text;
    if (!Take(fields, key, &text)) return false;
    uint64_t result = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && text[1] == 'x';
    const size_t begin = hex ? 2 : 0;
    if (text.size() == begin) return Fail("bad number for '" + key + "'");
    for (size_t i = begin; i < text.size(); ++i) {
      const char c = text[i];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0 || result > (limit - static_cast<uint64_t>(digit)) / (hex ? 16 : 10)) {
        return Fail("bad number for '" + key + "'");
      }
      result = result * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    }
    *value = result;
    return true;
  }
  bool OptionalNumber(Fields& fields, const std::string& key, int64_t* value) {
    auto it = fields.find(key);
    if (it != fields.end() && it->second == "-") {
      fields.erase(it);
      *value = -1;
      return true;
    }
    uint64_t number = 0;
    if (!Number(fields, key, INT64_MAX, &number)) return false;
    *value = static_cast<int64_t>(number);
    return true;
  }
  bool Bytes(Fields& fields, const std::string& key, std::vector<uint8_t>* bytes) {
    std::string text;
    if (!Take(fields, key, &text)) return false;
    bytes->clear();
    if (text == "-") return true;
    if (text.find(',') == std::string::npos && text.size() != 2) return Fail("bad byte list for '" + key + "'");
    if (!ParseHexByteList(text, bytes)) return Fail("bad byte list for '" + key + "'");
    return true;
  }
  bool Bits(Fields& fields, const std::string& key, std::vector<uint8_t>* bits) {
    std::string text;
    if (!Take(fields, key, &text)) return false;
    bits->clear();
    if (text == "-") return true;
    for (char c : text) {
      if (c != '0' && c != '1') return Fail("bad bit list for '" + key + "'");
      bits->push_back(c == '1' ? 1 : 0);
    }
    return true;
  }
  bool NoneLeft(const Fields& fields) {
    if (fields.empty()) return true;
    return Fail("unknown key '" + fields.begin()->first + "'");
  }

 private:
  int line_;
  std::string* error_;
};

bool ParseHeader(LineReader& reader, std::istringstream& stream, GroundTruth* truth) {
  Fields fields;
  if (!reader.Split(stream, &fields)) return false;
  uint64_t rate = 0;
  uint64_t ignore = 0;
  uint64_t hs = 0;
  if (!reader.Take(fields, "mode", &truth->mode) || !reader.Take(fields, "bus", &truth->bus) ||
      !reader.Number(fields, "rate", 50, &rate) || !reader.Number(fields, "ignore_nack_before_stop", 1, &ignore) ||
      !reader.Number(fields, "hs_enable", 1, &hs) || !reader.NoneLeft(fields)) {
    return false;
  }
  if (truth->mode != "analyzer" && truth->mode != "monitor") return reader.Fail("mode is analyzer or monitor");
  if (truth->bus != "i2c0" && truth->bus != "i2c1" && truth->bus != "spi") return reader.Fail("unknown bus");
  if (rate != 50 && rate != 20 && rate != 10) return reader.Fail("rate is 50, 20 or 10");
  truth->rate_code = static_cast<uint8_t>(100 / rate);
  truth->ignore_nack_before_stop = ignore != 0;
  truth->hs_enable = hs != 0;
  return true;
}

bool ParseTransaction(LineReader& reader, std::istringstream& stream, const GroundTruth& truth,
                      TruthTransaction* t) {
  Fields fields;
  if (!reader.Split(stream, &fields)) return false;
  uint64_t index = 0, se = 0, status = 0, start = 0, bits = 0, exact = 0;
  if (!reader.Number(fields, "index", UINT32_MAX, &index) || !reader.Number(fields, "se", 0xFF, &se) ||
      !reader.Number(fields, "status", 0xFFFF, &status) || !reader.Number(fields, "start", UINT64_MAX / 2, &start) ||
      !reader.OptionalNumber(fields, "dur", &t->duration) || !reader.Number(fields, "bits", UINT32_MAX, &bits) ||
      !reader.OptionalNumber(fields, "pos", &t->sample_pos) || !reader.OptionalNumber(fields, "len", &t->sample_len)) {
    return false;
  }
  if (truth.is_i2c()) {
    uint64_t address = 0, flags = 0;
    if (!reader.Number(fields, "addr", 0x3FF, &address) || !reader.Number(fields, "flags", 0xFFFF, &flags) ||
        !reader.Bytes(fields, "bytes", &t->bytes) || !reader.Bits(fields, "acks", &t->bytes2)) {
      return false;
    }
    t->address = static_cast<uint16_t>(address);
    t->flags = static_cast<uint16_t>(flags);
  } else if (!reader.Bytes(fields, "miso", &t->bytes) || !reader.Bytes(fields, "mosi", &t->bytes2)) {
    return false;
  }
  if (!reader.Number(fields, "exact", 1, &exact) || !reader.NoneLeft(fields)) return false;
  t->index = static_cast<uint32_t>(index);
  t->start_end = static_cast<uint8_t>(se);
  t->status = static_cast<uint16_t>(status);
  t->start_clock = start;
  t->bit_count = static_cast<uint32_t>(bits);
  t->exact = exact != 0;
  return true;
}

}  // namespace

std::string FormatTruthHeader(const GroundTruth& truth) {
  return "truth mode=" + truth.mode + " bus=" + truth.bus + " rate=" + std::to_string(RateMhz(truth.rate_code)) +
         " ignore_nack_before_stop=" + (truth.ignore_nack_before_stop ? "1" : "0") +
         " hs_enable=" + (truth.hs_enable ? "1" : "0") + "\n";
}

std::string FormatTruthTransaction(const GroundTruth& truth, const TruthTransaction& t) {
  std::string line = "tx index=" + std::to_string(t.index) + " se=" + Hex(t.start_end, 2) +
                     " status=" + Hex(t.status, 4) + " start=" + std::to_string(t.start_clock) +
                     " dur=" + Signed(t.duration) + " bits=" + std::to_string(t.bit_count) +
                     " pos=" + Signed(t.sample_pos) + " len=" + Signed(t.sample_len);
  if (truth.is_i2c()) {
    line += " addr=" + Hex(t.address, 3) + " flags=" + Hex(t.flags, 2) + " bytes=" + ByteList(t.bytes) +
            " acks=" + BitList(t.bytes2);
  } else {
    line += " miso=" + ByteList(t.bytes) + " mosi=" + ByteList(t.bytes2);
  }
  return line + " exact=" + (t.exact ? "1" : "0") + "\n";
}

std::string SerializeGroundTruth(const GroundTruth& truth) {
  std::string text = FormatTruthHeader(truth);
  for (const TruthTransaction& t : truth.transactions) text += FormatTruthTransaction(truth, t);
  return text;
}

bool ParseGroundTruth(std::string_view text, GroundTruth* truth, std::string* error) {
  *truth = GroundTruth{};
  bool have_header = false;
  int line_number = 0;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    ++line_number;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream stream(line);
    std::string word;
    if (!(stream >> word)) continue;
    LineReader reader(line_number, error);
    if (word == "truth") {
      if (have_header) return reader.Fail("second header line");
      if (!ParseHeader(reader, stream, truth)) return false;
      have_header = true;
    } else if (word == "tx") {
      if (!have_header) return reader.Fail("transaction before the header line");
      TruthTransaction transaction;
      if (!ParseTransaction(reader, stream, *truth, &transaction)) return false;
      truth->transactions.push_back(std::move(transaction));
    } else {
      return reader.Fail("unknown line kind '" + word + "'");
    }
  }
  if (!have_header) {
    *error = "no 'truth' header line";
    return false;
  }
  return true;
}

}  // namespace velix::sim
