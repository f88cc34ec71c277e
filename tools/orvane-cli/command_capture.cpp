// orvane-cli capture -o FILE.SIC [--device NAME] [--bus ...] [--rate ...]
//   [--set FIELD=VALUE]... [--size MB] [--driver-buffer MB] [--power CODE]
//   [--duration SECONDS] [--csv PATH|-] [--json PATH|-] [--progress] [--lock-memory]
//   [--yes|--no]
//
// A live capture with live decoding, saved to FILE.SIC, reopened and
// decoded offline as the application does at the end of a capture.

#include <cstdio>
#include <cstdlib>

#include "tools/orvane-cli/arguments.h"
#include "tools/orvane-cli/capture_session.h"
#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/decode_session.h"
#include "tools/orvane-cli/export_target.h"
#include "tools/orvane-cli/named_choices.h"
#include "tools/orvane-cli/usage.h"

namespace orvane::cli {
namespace {

constexpr char kUsage[] =
    "usage: orvane-cli capture -o FILE.SIC [--device NAME] [--bus spi|i2c0|i2c1] [--rate 50|20|10]\n"
    "                          [--set FIELD=VALUE]... [--size MB] [--driver-buffer MB] [--power CODE]\n"
    "                          [--duration SECONDS] [--csv PATH|-] [--json PATH|-] [--progress]\n"
    "                          [--lock-memory] [--yes|--no]\n"
    "A live capture through velixd, saved to FILE.SIC, reopened and decoded.\n"
    "Ctrl-C, SIGTERM and SIGHUP stop the capture; what arrived is saved.\n"
    "  -o FILE.SIC          the capture file to write\n"
    "  --device NAME        the device to open (default \\\\.\\VELIX0)\n"
    "  --bus spi|i2c0|i2c1  the bus channel (m_AnalyzeBusChannel 0, 1, 2)\n"
    "  --rate 50|20|10      the sample rate in MHz (SamplePeriodCode 2, 5, 10)\n"
    "  --set FIELD=VALUE    change one field of the capture settings (repeatable)\n"
    "  --size MB            the capture size\n"
    "  --driver-buffer MB   the driver's buffer, smaller than the capture\n"
    "  --power CODE         switch the target supply first: 0 off, 1 1.8 V, 2 2.5 V,\n"
    "                       3 3.3 V, 4 5.0 V\n"
    "  --duration SECONDS   stop the capture after this time\n"
    "  --csv PATH|-         write the CSV export of the saved capture (- for standard output)\n"
    "  --json PATH|-        one JSON object per listed transaction (JSON Lines)\n"
    "  --progress           show the bytes received and the transactions decoded\n"
    "  --lock-memory        fail unless the capture buffer can be locked in memory\n"
    "  --yes, --no          answer the questions without asking\n";

int Usage(const std::string& error) { return UsageError(kUsage, error); }

bool ParseOptions(const Arguments& args, CaptureOptions* options, std::string* error) {
  options->output = args.Value("o").value_or(args.Value("output").value_or(""));
  if (options->output.empty()) {
    *error = "the capture needs -o FILE.SIC";
    return false;
  }
  if (const auto device = args.Value("device")) options->device = *device;
  options->overrides = args.Values("set");
  if (!AppendNamedChoices(args, &options->overrides, error)) return false;
  if (!DecodeSession::CheckOverrides(options->overrides, error)) return false;
  uint32_t value = 0;
  for (const auto& [name, target] : {std::pair{"size", &options->size_mb}, {"driver-buffer", &options->driver_buffer_mb}}) {
    if (const auto text = args.Value(name)) {
      if (!ParseUnsigned(*text, &value) || value == 0) {
        *error = std::string("bad --") + name + ": " + *text;
        return false;
      }
      *target = value;
    }
  }
  if (const auto text = args.Value("power")) {
    if (!ParseUnsigned(*text, &value) || value > 4) {
      *error = "bad --power (0 off, 1 1.8 V, 2 2.5 V, 3 3.3 V, 4 5.0 V): " + *text;
      return false;
    }
    options->power = static_cast<uint8_t>(value);
  }
  if (const auto text = args.Value("duration")) {
    char* end = nullptr;
    const double seconds = std::strtod(text->c_str(), &end);
    if (end == text->c_str() || *end != '\0' || !(seconds > 0)) {
      *error = "bad --duration: " + *text;
      return false;
    }
    options->duration_seconds = seconds;
  }
  options->progress = args.Has("progress");
  options->lock_memory = args.Has("lock-memory");
  return true;
}

}  // namespace

int RunCapture(int argc, char** argv) {
  Arguments args;
  std::string error;
  const std::vector<OptionSpec> specs = {
      {"device", true},   {"set", true, true}, {"bus", true},    {"rate", true},  {"size", true},
      {"driver-buffer", true}, {"power", true}, {"duration", true}, {"o", true}, {"output", true},
      {"csv", true},      {"json", true},      {"progress", false}, {"lock-memory", false}, {"yes", false},
      {"no", false}};
  if (!args.Parse(argc, argv, 2, specs, &error)) return Usage(error);
  if (args.HelpRequested()) return ShowHelp(kUsage);
  if (!args.CheckPositional(0, 0, "", &error)) return Usage(error + " (the capture file is given with -o)");
  if (args.Has("yes") && args.Has("no")) return Usage("--yes and --no exclude each other");
  if (args.Value("csv") == std::optional<std::string>("-") && args.Value("json") == std::optional<std::string>("-")) {
    return Usage("only one export can go to standard output");
  }
  CaptureOptions options;
  if (!ParseOptions(args, &options, &error)) return Usage(error);

  CaptureSession session;
  // --progress also shows the status lines (" ***  [TRIGGER!!!]  ***", …).
  session.Sink().SetShowProgress(options.progress);
  if (args.Has("yes")) session.Sink().SetPresetAnswer(true);
  if (args.Has("no")) session.Sink().SetPresetAnswer(false);
  const int status = session.Run(options);
  if (status != kExitOk && status != kExitRunError) return status;
  if (session.Doc().Sampling() == nullptr || !session.Doc().Sampling()->HasBuffer()) return status;
  bool exported = true;
  for (const auto& [name, kind] : {std::pair{"csv", ExportKind::kCsv}, {"json", ExportKind::kJsonLines}}) {
    const std::optional<std::string> target = args.Value(name);
    if (!target) continue;
    ExportEnv env = ApplicationExportEnv(*session.Doc().Sampling(), session.App().settings, session.Sink(), 0);
    exported = WriteExportTo(env, *target, kind) && exported;
  }
  return exported ? status : kExitExportFailed;
}

}  // namespace orvane::cli
