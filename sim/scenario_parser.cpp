#include "sim/scenario_parser.h"

#include <array>
#include <sstream>
#include <vector>

#include "sim/scenario_values.h"
#include "Orvane/capture/settings_fields.h"

namespace velix::sim {
namespace {

constexpr std::array<std::string_view, 8> kTimingNames = {
    "tHD_STA", "tSU_STA", "tSU_STO", "tBUF", "tLOW", "tHIGH", "tHD_DAT", "tSU_DAT"};

std::vector<std::string> SplitTokens(std::string_view line) {
  const size_t hash = line.find('#');
  if (hash != std::string_view::npos) line = line.substr(0, hash);
  std::vector<std::string> tokens;
  std::istringstream stream{std::string(line)};
  std::string token;
  while (stream >> token) tokens.push_back(token);
  return tokens;
}

// Splits "key=value"; false when there is no '='.
bool SplitKeyValue(const std::string& token, std::string* key, std::string* value) {
  const size_t eq = token.find('=');
  if (eq == std::string::npos) return false;
  *key = token.substr(0, eq);
  *value = token.substr(eq + 1);
  return true;
}

class Parser {
 public:
  Parser(Scenario* scenario, std::string* error) : s_(*scenario), error_(error) {}

  bool ParseLine(int line, const std::vector<std::string>& tokens) {
    line_ = line;
    t_ = &tokens;
    const std::string& word = tokens[0];
    if (word == "bus") return ParseBus();
    if (word == "rate") return ParseRate();
    if (word == "set") return ParseSet();
    if (word == "lead-in" || word == "tail") return ParseEdgeIdle(word == "lead-in" ? &s_.lead_in : &s_.tail);
    if (word == "monitor-packing") return ParsePacking();
    if (word == "idle") return AddDuration(CommandKind::kIdle);
    if (word == "glitch") return ParseGlitch();
    if (word == "corrupt-atom") return Arity(1) && Add(Make(CommandKind::kCorruptAtom));
    if (s_.bus == BusKind::kSpi) return ParseSpiCommand(word);
    return ParseI2cCommand(word);
  }

  bool Finish() {
    if (!s_.commands.empty()) return true;
    *error_ = "the scenario has no traffic commands";
    return false;
  }

 private:
  bool Fail(const std::string& message) {
    *error_ = "line " + std::to_string(line_) + ": " + message;
    return false;
  }
  const std::string& Arg(size_t i) const { return (*t_)[i]; }
  size_t Count() const { return t_->size(); }
  bool Arity(size_t n) {
    if (Count() == n) return true;
    return Fail("'" + Arg(0) + "' takes " + std::to_string(n - 1) + " argument(s)");
  }
  Command Make(CommandKind kind) const {
    Command command;
    command.kind = kind;
    command.line = line_;
    return command;
  }
  bool Add(Command command) {
    if (s_.commands.size() >= kMaxScenarioCommands) return Fail("too many commands");
    total_bytes_ += command.bytes.size() + command.bytes2.size();
    if (total_bytes_ > kMaxScenarioBytes) return Fail("too many bytes in the scenario");
    s_.commands.push_back(std::move(command));
    return true;
  }
  bool Duration(const std::string& text, uint64_t* value) {
    if (ParseDuration(text, value)) return true;
    return Fail("bad duration '" + text + "' (use e.g. 600ns, 1.3us, 5ms, 2s)");
  }
  bool AddDuration(CommandKind kind) {
    Command command = Make(kind);
    return Arity(2) && Duration(Arg(1), &command.duration) && Add(std::move(command));
  }

  bool ParseBus() {
    if (!Arity(2)) return false;
    if (!s_.commands.empty()) return Fail("'bus' must come before the traffic");
    if (Arg(1) == "i2c0") s_.bus = BusKind::kI2c0;
    else if (Arg(1) == "i2c1") s_.bus = BusKind::kI2c1;
    else if (Arg(1) == "spi") s_.bus = BusKind::kSpi;
    else return Fail("unknown bus '" + Arg(1) + "' (i2c0, i2c1 or spi)");
    return true;
  }
  bool ParseRate() {
    if (!Arity(2)) return false;
    std::string mhz = Arg(1);
    if (mhz.size() > 3 && mhz.substr(mhz.size() - 3) == "mhz") mhz.resize(mhz.size() - 3);
    if (mhz == "50") s_.rate_code = 2;
    else if (mhz == "20") s_.rate_code = 5;
    else if (mhz == "10") s_.rate_code = 10;
    else return Fail("unknown rate '" + Arg(1) + "' (50, 20 or 10)");
    return true;
  }
  bool ParseSet() {
    if (!Arity(3)) return false;
    const orvane::SettingsField* field = orvane::FindSettingsField(Arg(1));
    if (field == nullptr || field->kind == orvane::FieldKind::kBytes) {
      return Fail("unknown settings field '" + Arg(1) + "'");
    }
    uint32_t value = 0;
    if (!ParseUnsigned(Arg(2), &value)) return Fail("bad number '" + Arg(2) + "'");
    if (field->width < 4 && value >> (8 * field->width) != 0) return Fail("value too large for " + Arg(1));
    s_.overrides.push_back({Arg(1), value, line_});
    return true;
  }
  bool ParseEdgeIdle(uint64_t* target) { return Arity(2) && Duration(Arg(1), target); }
  bool ParsePacking() {
    if (!Arity(2)) return false;
    if (Arg(1) == "single") s_.packing = MonitorPacking::kSingle;
    else if (Arg(1) == "paired") s_.packing = MonitorPacking::kPaired;
    else return Fail("monitor-packing is 'single' or 'paired'");
    return true;
  }
  bool ParseGlitch() {
    if (!Arity(3)) return false;
    Command command = Make(CommandKind::kGlitch);
    const std::string& name = Arg(1);
    const bool i2c1 = s_.bus == BusKind::kI2c1;
    if (name.size() == 2 && name[0] == 's' && name[1] >= '0' && name[1] <= '3') {
      command.line_mask = static_cast<uint8_t>(1u << (name[1] - '0'));
    } else if (s_.bus == BusKind::kSpi) {
      if (name == "ss") command.line_mask = 1;
      else if (name == "sclk") command.line_mask = 2;
      else if (name == "mosi") command.line_mask = 4;
      else if (name == "miso") command.line_mask = 8;
    } else if (name == "scl") {
      command.line_mask = i2c1 ? 4 : 1;
    } else if (name == "sda") {
      command.line_mask = i2c1 ? 8 : 2;
    }
    if (command.line_mask == 0) return Fail("unknown line '" + name + "' for a glitch");
    if (!Duration(Arg(2), &command.duration)) return false;
    if (command.duration == 0) return Fail("a glitch needs a duration above 0");
    return Add(std::move(command));
  }

  // ---- I2C ----
  bool ParseI2cCommand(const std::string& word) {
    if (word == "start") return Arity(1) && Add(Make(CommandKind::kI2cStart));
    if (word == "stop") return Arity(1) && Add(Make(CommandKind::kI2cStop));
    if (word == "stretch") return AddDuration(CommandKind::kI2cStretch);
    if (word == "scl" || word == "hs-scl") return ParseScl(word == "hs-scl");
    if (word == "addr" || word == "addr10") return ParseAddress(word == "addr10");
    if (word == "write" || word == "read") return ParseDataBytes(word == "read");
    if (word == "bits") return ParseBits();
    if (word == "hs-code") return ParseHsCode();
    const bool hs = word.rfind("hs-", 0) == 0;
    const std::string name = hs ? word.substr(3) : word;
    for (size_t i = 0; i < kTimingNames.size(); ++i) {
      if (name == kTimingNames[i]) return ParseTiming(static_cast<uint8_t>(i), hs);
    }
    return Fail("unknown I2C command '" + word + "'");
  }
  bool ParseTiming(uint8_t index, bool hs) {
    uint64_t value = 0;
    if (!Arity(2) || !Duration(Arg(1), &value)) return false;
    if (value > 0xFFFFFFFFu) return Fail("timing value too large");
    Command command = Make(CommandKind::kSetTiming);
    command.timing_index = index;
    command.hs = hs;
    command.value = static_cast<uint32_t>(value);
    return Add(std::move(command));
  }
  bool ParseScl(bool hs) {
    uint64_t hz = 0;
    if (!Arity(2)) return false;
    if (!ParseFrequency(Arg(1), &hz) || hz > 10'000'000) return Fail("bad SCL frequency '" + Arg(1) + "'");
    const I2cTiming timing = TimingForSclFrequency(hz);
    const std::array<uint32_t, 8> values = {timing.tHD_STA, timing.tSU_STA, timing.tSU_STO, timing.tBUF,
                                            timing.tLOW,    timing.tHIGH,   timing.tHD_DAT, timing.tSU_DAT};
    for (size_t i = 0; i < values.size(); ++i) {
      Command command = Make(CommandKind::kSetTiming);
      command.timing_index = static_cast<uint8_t>(i);
      command.hs = hs;
      command.value = values[i];
      if (!Add(std::move(command))) return false;
    }
    return true;
  }
  bool ParseAddress(bool ten_bit) {
    if (Count() < 3 || Count() > 4) return Fail("usage: " + Arg(0) + " ADDRESS w|r [nack]");
    uint32_t address = 0;
    if (!ParseUnsigned(Arg(1), &address) || address > (ten_bit ? 0x3FFu : 0x7Fu)) {
      return Fail("bad " + std::string(ten_bit ? "10-bit" : "7-bit") + " address '" + Arg(1) + "'");
    }
    if (Arg(2) != "w" && Arg(2) != "r") return Fail("direction must be 'w' or 'r'");
    const bool read = Arg(2) == "r";
    if (Count() == 4 && Arg(3) != "nack") return Fail("expected 'nack', got '" + Arg(3) + "'");
    const uint8_t nack = Count() == 4 ? 1 : 0;
    Command command = Make(CommandKind::kI2cBytes);
    if (ten_bit) {
      command.bytes.push_back(static_cast<uint8_t>(0xF0 | ((address >> 7) & 6) | (read ? 1 : 0)));
      command.nacks.push_back(read ? nack : 0);
      // A 10-bit read repeats only the first address byte after a repeated START.
      if (!read) {
        command.bytes.push_back(static_cast<uint8_t>(address & 0xFF));
        command.nacks.push_back(nack);
      }
    } else {
      command.bytes.push_back(static_cast<uint8_t>((address << 1) | (read ? 1 : 0)));
      command.nacks.push_back(nack);
    }
    return Add(std::move(command));
  }
  bool ParseDataBytes(bool read) {
    Command command = Make(CommandKind::kI2cBytes);
    bool last_nack = read;
    bool all_nack = false;
    for (size_t i = 1; i < Count(); ++i) {
      std::string token = Arg(i);
      if (token == "nack-last") { last_nack = true; continue; }
      if (token == "ack-last") { last_nack = false; continue; }
      if (token == "nack-all") { all_nack = true; continue; }
      const bool marked = !token.empty() && token.back() == '!';
      if (marked) token.pop_back();
      uint8_t value = 0;
      if (!ParseHexByte(token, &value)) return Fail("bad byte '" + Arg(i) + "' (hexadecimal, '!' = NACK)");
      command.bytes.push_back(value);
      command.nacks.push_back(marked ? 1 : 0);
    }
    if (command.bytes.empty()) return Fail("'" + Arg(0) + "' needs at least one byte");
    for (uint8_t& nack : command.nacks) nack = nack || all_nack;
    if (last_nack) command.nacks.back() = 1;
    return Add(std::move(command));
  }
  bool ParseBits() {
    Command command = Make(CommandKind::kI2cBits);
    for (size_t i = 1; i < Count(); ++i) {
      for (char c : Arg(i)) {
        if (c != '0' && c != '1') return Fail("bits are written as 0 and 1");
        command.bytes.push_back(c == '1' ? 1 : 0);
      }
    }
    if (command.bytes.empty()) return Fail("'bits' needs at least one bit");
    return Add(std::move(command));
  }
  bool ParseHsCode() {
    uint32_t code = 0;
    if (!Arity(2)) return false;
    if (!ParseUnsigned(Arg(1), &code) || code > 7) return Fail("HS master code number is 0..7");
    Command command = Make(CommandKind::kI2cHsCode);
    command.bytes.push_back(static_cast<uint8_t>(0x08 | code));
    command.nacks.push_back(1);
    return Add(std::move(command));
  }

  // ---- SPI ----
  bool ParseSpiCommand(const std::string& word) {
    if (word == "select") return Arity(1) && Add(Make(CommandKind::kSpiSelect));
    if (word == "deselect") return Arity(1) && Add(Make(CommandKind::kSpiDeselect));
    if (word == "xfer") return ParseXfer();
    if (word == "lsb-first" || word == "msb-first") {
      s_.spi.lsb_first = word == "lsb-first";
      return Arity(1);
    }
    if (word == "ss") {
      if (!Arity(2)) return false;
      if (Arg(1) == "none") s_.spi.ss_mode = 0;
      else if (Arg(1) == "active-low") s_.spi.ss_mode = 1;
      else if (Arg(1) == "active-high") s_.spi.ss_mode = 2;
      else return Fail("ss is 'active-low', 'active-high' or 'none'");
      return true;
    }
    if (word == "mode") {
      uint32_t mode = 0;
      if (!Arity(2)) return false;
      if (!ParseUnsigned(Arg(1), &mode) || mode > 3) return Fail("SPI mode is 0..3");
      s_.spi.cpol = (mode & 2) != 0;
      s_.spi.cpha = (mode & 1) != 0;
      return true;
    }
    if (word == "sclk") {
      uint64_t hz = 0;
      if (!Arity(2)) return false;
      // Two 10 ns steps per half period at least, so data can change between edges.
      if (!ParseFrequency(Arg(1), &hz) || hz > 25'000'000) return Fail("bad SCLK frequency '" + Arg(1) + "' (up to 25m)");
      s_.spi.half_period = static_cast<uint32_t>((kTenNsPerSecond / hz + 1) / 2);
      return true;
    }
    return Fail("unknown SPI command '" + word + "'");
  }
  bool ParseXfer() {
    Command command = Make(CommandKind::kSpiXfer);
    bool have_mosi = false;
    bool have_miso = false;
    bool have_bits = false;
    for (size_t i = 1; i < Count(); ++i) {
      std::string key;
      std::string value;
      if (!SplitKeyValue(Arg(i), &key, &value)) return Fail("expected KEY=VALUE, got '" + Arg(i) + "'");
      if (key == "mosi" || key == "miso") {
        if (!ParseHexByteList(value, key == "mosi" ? &command.bytes : &command.bytes2)) {
          return Fail("bad byte list '" + value + "'");
        }
        (key == "mosi" ? have_mosi : have_miso) = true;
      } else if (key == "bits") {
        if (!ParseUnsigned(value, &command.bit_count) || command.bit_count == 0) return Fail("bad bit count '" + value + "'");
        have_bits = true;
      } else if (key == "gap") {
        if (!Duration(value, &command.duration)) return false;
      } else {
        return Fail("unknown xfer key '" + key + "' (mosi, miso, bits, gap)");
      }
    }
    if (!have_mosi && !have_miso) return Fail("xfer needs mosi= or miso=");
    if (!have_mosi) command.bytes.assign(command.bytes2.size(), 0);
    if (!have_miso) command.bytes2.assign(command.bytes.size(), 0);
    if (command.bytes.size() != command.bytes2.size()) return Fail("mosi and miso have different lengths");
    const uint64_t available = 8ULL * command.bytes.size();
    if (!have_bits) command.bit_count = static_cast<uint32_t>(available);
    if (command.bit_count > available) return Fail("bits= is more than the bytes given");
    return Add(std::move(command));
  }

  Scenario& s_;
  std::string* error_;
  int line_ = 0;
  const std::vector<std::string>* t_ = nullptr;
  size_t total_bytes_ = 0;
};

}  // namespace

bool ParseScenario(std::string_view text, Scenario* scenario, std::string* error) {
  *scenario = Scenario{};
  if (text.size() > kMaxScenarioTextSize) {
    *error = "scenario text too large";
    return false;
  }
  Parser parser(scenario, error);
  int line_number = 0;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    ++line_number;
    const std::vector<std::string> tokens = SplitTokens(text.substr(begin, end - begin));
    if (!tokens.empty() && !parser.ParseLine(line_number, tokens)) return false;
    begin = end + 1;
  }
  return parser.Finish();
}

}  // namespace velix::sim
