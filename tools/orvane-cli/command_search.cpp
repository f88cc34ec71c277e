// orvane-cli search FILE.SIC KIND [ARG] [--from ROW] [--backward]
//   [--length N] [--10bit] [--yes] [--bus ...] [--rate ...] [--set FIELD=VALUE]...
//
// Decodes the capture like `decode`, then runs one search or jump from the
// given row over the filtered rows and prints the found row's Index (and,
// for data and NACK searches, the byte offset inside the transaction).

#include <cstdio>

#include "Orvane/decode/dialog_values.h"
#include "Orvane/decode/transaction_search.h"
#include "tools/orvane-cli/arguments.h"
#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/decode_session.h"
#include "tools/orvane-cli/named_choices.h"
#include "tools/orvane-cli/usage.h"

namespace orvane::cli {
namespace {

constexpr char kUsage[] =
    "usage: orvane-cli search FILE.SIC KIND [ARG] [--from ROW] [--backward] [--length N]\n"
    "                         [--10bit] [--yes] [--bus spi|i2c0|i2c1] [--rate 50|20|10]\n"
    "                         [--set FIELD=VALUE]...\n"
    "  KIND: jump NUMBER | address VALUE | subaddress BYTES | data BYTES |\n"
    "        nack | error | trigger\n"
    "  --from ROW           search from this row of the filtered list\n"
    "  --backward           search towards the first row\n"
    "  --length N           how many bytes to match (default: as many as given)\n"
    "  --10bit              the address is a 10-bit address\n"
    "  --yes                jump to the nearest transaction when the number is not found\n"
    "  --bus spi|i2c0|i2c1  the bus channel (m_AnalyzeBusChannel 0, 1, 2)\n"
    "  --rate 50|20|10      the sample rate in MHz (SamplePeriodCode 2, 5, 10)\n"
    "  --set FIELD=VALUE    change one field of the settings record (repeatable)\n";

int Usage(const std::string& error) { return UsageError(kUsage, error); }

struct Request {
  std::string kind;
  std::string value;
  std::optional<uint32_t> from_row;
  SearchDirection direction = SearchDirection::kForward;
  std::optional<uint32_t> length;
  bool ten_bit = false;
  bool yes = false;
};

// Fills the search memory from the arguments as the search dialogs would.
std::optional<std::string> PrepareMemory(const Request& request, SearchMemory* memory,
                                         SearchKind* kind) {
  if (request.kind == "address") {
    *kind = SearchKind::kI2CAddress;
    memory->address_10bit = request.ten_bit;
    return ParseSearchAddress(request.value, request.ten_bit, &memory->address);
  }
  if (request.kind == "subaddress" || request.kind == "data") {
    const bool data = request.kind == "data";
    const size_t max = data ? 8 : 4;
    const std::vector<uint8_t> bytes = ParseHexBytes(request.value, max);
    const uint32_t length = request.length.value_or(static_cast<uint32_t>(bytes.size()));
    if (length < 1 || length > max) return "the search length must be 1.." + std::to_string(max);
    *kind = data ? SearchKind::kData : SearchKind::kI2CSubAddress;
    uint8_t* pattern = data ? memory->data_pattern.data() : memory->sub_data.data();
    std::fill_n(pattern, max, uint8_t{0});
    std::copy(bytes.begin(), bytes.end(), pattern);
    (data ? memory->data_length : memory->sub_length) = static_cast<uint8_t>(length);
    return std::nullopt;
  }
  if (request.kind == "nack") {
    *kind = SearchKind::kNack;
    return std::nullopt;
  }
  if (request.kind == "error") {
    *kind = SearchKind::kError;
    return std::nullopt;
  }
  return "unknown search kind '" + request.kind + "'";
}

int PrintHit(DecodeSession& session, const SearchHit& hit, bool with_offset) {
  TransactionInfo record{};
  if (!hit.found || !session.Doc().Sampling()->Records().GetRow(hit.row, &record)) {
    return kExitNotFound;
  }
  if (with_offset) {
    std::printf("%u %u\n", record.Index, hit.byte_offset);
  } else {
    std::printf("%u\n", record.Index);
  }
  return kExitOk;
}

int RunJump(DecodeSession& session, SearchEnv& env, const Request& request) {
  const uint32_t number = ParseDialogNumber(request.value);
  const JumpResult jump = JumpToTransaction(env, number);
  SearchHit hit;
  hit.row = jump.row;
  hit.found = jump.outcome == JumpOutcome::kFound;
  if (jump.outcome == JumpOutcome::kAskNearest) {
    const auto answer = session.Sink().MessageBox(kJumpNearestQuestion, velix::platform::Icon::kNone,
                                                  velix::platform::Buttons::kYesNo,
                                                  velix::platform::Answer::kNo);
    hit.found = answer == velix::platform::Answer::kYes;
  }
  return PrintHit(session, hit, false);
}

}  // namespace

int RunSearch(int argc, char** argv) {
  Arguments args;
  std::string error;
  const std::vector<OptionSpec> specs = {{"from", true},    {"backward", false}, {"length", true},
                                         {"10bit", false},  {"yes", false},      {"set", true, true},
                                         {"bus", true},     {"rate", true}};
  if (!args.Parse(argc, argv, 2, specs, &error)) return Usage(error);
  if (args.HelpRequested()) return ShowHelp(kUsage);
  if (!args.CheckPositional(2, 3, args.Positional().empty() ? "FILE.SIC and KIND" : "KIND", &error)) {
    return Usage(error);
  }
  const auto& positional = args.Positional();
  Request request;
  request.kind = positional[1];
  const bool needs_value = request.kind == "jump" || request.kind == "address" ||
                           request.kind == "subaddress" || request.kind == "data";
  if (needs_value && positional.size() == 2) return Usage("missing the value to search for with " + request.kind);
  if (!needs_value && positional.size() == 3) {
    return Usage("unexpected argument '" + positional[2] + "': " + request.kind + " takes no value");
  }
  if (needs_value) request.value = positional[2];
  uint32_t number = 0;
  if (const auto from = args.Value("from")) {
    if (!ParseUnsigned(*from, &number)) return Usage("--from needs a row number");
    request.from_row = number;
  }
  if (const auto length = args.Value("length")) {
    if (!ParseUnsigned(*length, &number)) return Usage("--length needs a number");
    request.length = number;
  }
  request.direction = args.Has("backward") ? SearchDirection::kBackward : SearchDirection::kForward;
  request.ten_bit = args.Has("10bit");
  std::vector<std::string> overrides = args.Values("set");
  if (!AppendNamedChoices(args, &overrides, &error)) return Usage(error);
  if (!DecodeSession::CheckOverrides(overrides, &error)) return Usage(error);

  SearchMemory memory;
  SearchKind kind = SearchKind::kNone;
  if (request.kind != "jump" && request.kind != "trigger") {
    if (const auto problem = PrepareMemory(request, &memory, &kind)) {
      if (request.kind == "address") {
        std::fprintf(stderr, "error: %s\n", problem->c_str());
        return kExitNotFound;
      }
      return Usage(*problem);
    }
  }

  DecodeSession session;
  session.Sink().SetPresetAnswer(args.Has("yes") ? std::optional<bool>(true) : std::nullopt);
  if (const int status = session.OpenAndDecode(positional[0], overrides); status != kExitOk) {
    return status;
  }
  if (session.Outcome().filter.entered == 0) {
    std::fprintf(stderr, "error: no transaction to search\n");
    return kExitNotFound;
  }
  SearchEnv env = ApplicationSearchEnv(*session.Doc().Sampling(), session.App().settings,
                                       session.Sink());
  if (request.kind == "jump") return RunJump(session, env, request);
  if (request.kind == "trigger") return PrintHit(session, FindTriggerRow(env), false);
  const SearchHit hit = RunSearch(env, memory, kind, request.direction, request.from_row);
  return PrintHit(session, hit, kind == SearchKind::kData || kind == SearchKind::kNack);
}

}  // namespace orvane::cli
