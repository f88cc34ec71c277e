#include "driver/daemon/sim_control.h"

#include <charconv>
#include <sstream>
#include <vector>

#include "platform/device_wire.h"
#include "platform/regular_file.h"
#include "platform/string_format.h"

namespace velix::daemon {
namespace {

constexpr size_t kMaxCommandBytes = 4096;

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::istringstream stream{std::string(line)};
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

template <typename T>
bool Number(const std::string& text, T* value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, *value);
  return ec == std::errc() && ptr == end;
}

std::string Fail(const std::string& why) { return "ok=0\nerror=" + why + "\n"; }

// "line N" of a synthesizer message, without the rest, which may quote the
// file: the reply goes to a client that asked the daemon to read it.
std::string WhereItFailed(const std::string& why) {
  if (why.rfind("line ", 0) != 0) return {};
  const size_t end = why.find_first_not_of("0123456789", 5);
  if (end == 5) return {};
  return " (" + why.substr(0, end) + ")";
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (const uint8_t byte : bytes) text += platform::StringPrintf("%02x", byte);
  return text;
}

}  // namespace

const char* PersonalityName(sim::Personality personality) {
  switch (personality) {
    case sim::Personality::kOperation: return "operation";
    case sim::Personality::kFirmwareUpdate: return "update";
    case sim::Personality::kBareFx2: return "fx2";
    case sim::Personality::kRamLoader: return "loader";
  }
  return "unknown";
}

bool PersonalityFromName(std::string_view name, sim::Personality* personality) {
  for (const auto candidate : {sim::Personality::kOperation, sim::Personality::kFirmwareUpdate,
                               sim::Personality::kBareFx2, sim::Personality::kRamLoader}) {
    if (name == PersonalityName(candidate)) {
      *personality = candidate;
      return true;
    }
  }
  return false;
}

bool FaultFromName(std::string_view name, sim::FaultKind* kind) {
  if (name == "overrun") *kind = sim::FaultKind::kFifoOverrun;
  else if (name == "stall") *kind = sim::FaultKind::kStallBulkIn;
  else if (name == "xact-error") *kind = sim::FaultKind::kTransferError;
  else if (name == "unplug") *kind = sim::FaultKind::kUnplug;
  else return false;
  return true;
}

std::string SimControl::Status() const {
  const sim::StreamRecord sent = device_.SentRecord();
  const sim::DeviceMemory memory = device_.Memory();
  return platform::StringPrintf(
      "ok=1\nplugged=%d\npersonality=%s\nimage=%s\nspeed=%s\nstreaming=%d\nrate=%llu\nchunk=%u\n"
      "sent_bytes=%llu\nsent_checksum=0x%016llx\npower=%u\n",
      device_.plugged() ? 1 : 0, PersonalityName(device_.personality()),
      memory.analyzer_image ? "analyzer" : "monitor", device_.BulkMaxPacketSize() == 64 ? "full" : "high",
      device_.streaming() ? 1 : 0, static_cast<unsigned long long>(stream_.bytes_per_second),
      stream_.max_transfer_bytes, static_cast<unsigned long long>(sent.bytes),
      static_cast<unsigned long long>(sent.checksum), device_.power_supply());
}

bool SimControl::LoadSource(std::string_view kind, const std::string& path, bool detail, std::string* error) {
  // Files are read before the command lock is taken, so a slow file cannot
  // hold up the other commands.
  if (kind == "sic") return device_.LoadSicFile(path, kMaxSimulatedStreamBytes, error);
  std::vector<uint8_t> text;
  switch (platform::ReadRegularFile(path, platform::FinalLink::kFollow, 0, kMaxScenarioBytes, &text)) {
    case platform::FileReadResult::kOk:
      break;
    case platform::FileReadResult::kNotRegular:
      *error = "not a regular file: " + path;
      return false;
    case platform::FileReadResult::kTooLarge:
      *error = "scenario too large: " + path;
      return false;
    default:
      *error = "cannot read scenario " + path;
      return false;
  }
  std::lock_guard lock(lock_);
  std::string why;
  if (device_.LoadScenario(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), synth_,
                           kMaxSimulatedStreamBytes, &why)) {
    return true;
  }
  *error = detail ? why : "not a valid scenario: " + path + WhereItFailed(why);
  return false;
}

std::string SimControl::Execute(std::string_view line) {
  const std::vector<std::string> words = Words(line);
  if (words.empty()) return Fail("empty command");
  const std::string& command = words[0];
  const std::string argument = words.size() > 1 ? words[1] : std::string();
  if (command == "scenario" || command == "sic") {
    if (argument.empty()) return Fail(command + " needs a path");
    std::string error;
    return LoadSource(command, argument, false, &error) ? "ok=1\n" : Fail(error);
  }
  std::lock_guard lock(lock_);
  if (command == "status") return Status();
  if (command == "plug") {
    if (argument.empty()) {
      device_.Plug();
      return "ok=1\n";
    }
    sim::Personality personality;
    if (!PersonalityFromName(argument, &personality)) return Fail("unknown personality " + argument);
    device_.PlugAs(personality);
    return "ok=1\n";
  }
  if (command == "unplug") {
    device_.Unplug();
    return "ok=1\n";
  }
  if (command == "fault") {
    sim::FaultKind kind;
    uint64_t at_byte = 0;
    if (!FaultFromName(argument, &kind)) return Fail("unknown fault " + argument);
    if (words.size() > 2 && !Number(words[2], &at_byte)) return Fail("bad byte position " + words[2]);
    device_.ScheduleFault(kind, at_byte);
    return "ok=1\n";
  }
  if (command == "reply-delay") {
    uint32_t ms = 0;
    if (!Number(argument, &ms)) return Fail("bad delay " + argument);
    device_.SetReplyDelay(std::chrono::milliseconds(ms));
    return "ok=1\n";
  }
  if (command == "speed") {
    if (argument != "high" && argument != "full") return Fail("speed is high or full");
    device_.SetHighSpeed(argument == "high");
    return "ok=1\n";
  }
  if (command == "rate" || command == "chunk") {
    uint64_t value = 0;
    if (!Number(argument, &value) || (command == "chunk" && value > UINT32_MAX)) return Fail("bad value " + argument);
    if (command == "rate") stream_.bytes_per_second = value;
    else stream_.max_transfer_bytes = static_cast<uint32_t>(value);
    device_.SetStreamConfig(stream_);
    return "ok=1\n";
  }
  if (command == "image") {
    if (argument != "analyzer" && argument != "monitor") return Fail("image is analyzer or monitor");
    device_.SetAnalyzerImage(argument == "analyzer");
    return "ok=1\n";
  }
  if (command == "sent") {
    const sim::StreamRecord sent = device_.SentRecord();
    return platform::StringPrintf("ok=1\nbytes=%llu\nchecksum=0x%016llx\n",
                                  static_cast<unsigned long long>(sent.bytes),
                                  static_cast<unsigned long long>(sent.checksum));
  }
  if (command == "checksum") {
    uint64_t offset = 0;
    uint64_t length = 0;
    if (words.size() != 3 || !Number(words[1], &offset) || !Number(words[2], &length)) {
      return Fail("checksum needs OFFSET LENGTH");
    }
    const std::optional<uint64_t> checksum = device_.SourceChecksum(offset, length);
    if (!checksum) return Fail("range outside the stream source");
    return platform::StringPrintf("ok=1\nchecksum=0x%016llx\n", static_cast<unsigned long long>(*checksum));
  }
  if (command == "received") {
    std::string reply = "ok=1\n";
    for (const auto& packet : device_.ReceivedBulkOut()) reply += "packet=" + Hex(packet) + "\n";
    return reply;
  }
  return Fail("unknown command " + command);
}

void SimControl::ServeConnection(int fd) {
  std::string line;
  char byte = 0;
  while (line.size() < kMaxCommandBytes && platform::ReceiveAll(fd, {reinterpret_cast<uint8_t*>(&byte), 1}) &&
         byte != '\n') {
    line += byte;
  }
  const std::string reply = line.size() >= kMaxCommandBytes ? Fail("command too long") : Execute(line);
  platform::SendAll(fd, {reinterpret_cast<const uint8_t*>(reply.data()), reply.size()});
}

}  // namespace velix::daemon
