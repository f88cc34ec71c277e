// orvane-cli synth SCENARIO -o FILE.SIC [--mode analyzer|monitor]
//   [--rate 50|20|10] [--truth FILE] [--repeat N] [--size BYTES]

#include <cstdio>
#include <iostream>

#include "sim/synthesizer.h"
#include "tools/orvane-cli/arguments.h"
#include "tools/orvane-cli/bounded_read.h"
#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/named_choices.h"
#include "tools/orvane-cli/usage.h"

namespace orvane::cli {
namespace {

constexpr char kUsage[] =
    "usage: orvane-cli synth SCENARIO -o FILE.SIC [--mode analyzer|monitor] [--rate 50|20|10]\n"
    "                        [--truth FILE] [--repeat N] [--size BYTES]\n"
    "Synthesizes a capture from a scenario text (a file, or - for standard input).\n"
    "  -o FILE.SIC              the capture file to write\n"
    "  --mode analyzer|monitor  sample atoms (default) or device-decoded units\n"
    "  --rate 50|20|10          the sample rate in MHz (default: the scenario's rate)\n"
    "  --truth FILE             also write the transactions the scenario contains\n"
    "  --repeat N               play the scenario N times\n"
    "  --size BYTES             repeat the scenario and pad the data to exactly BYTES\n";

// A scenario is a page of text; anything far larger is the wrong file.
constexpr size_t kMaxScenarioBytes = 16u << 20;

bool ParseSynthOptions(const Arguments& args, velix::sim::SynthOptions* options, std::string* error) {
  if (const auto mode = args.Value("mode")) {
    if (*mode == "monitor") {
      options->mode = velix::sim::CaptureMode::kMonitor;
    } else if (*mode != "analyzer") {
      *error = "--mode is analyzer or monitor";
      return false;
    }
  }
  if (const auto rate = args.Value("rate")) {
    const std::optional<uint8_t> code = SamplePeriodCodeOfRate(*rate);
    if (!code) {
      *error = "--rate is 50, 20 or 10 (MHz)";
      return false;
    }
    options->rate_code = *code;
  }
  uint32_t number = 0;
  if (const auto repeat = args.Value("repeat")) {
    if (!ParseUnsigned(*repeat, &number) || number == 0) {
      *error = "--repeat needs a count";
      return false;
    }
    options->repeat = number;
  }
  if (const auto size = args.Value("size")) {
    if (!ParseUnsigned(*size, &number) || number == 0) {
      *error = "--size needs a byte count";
      return false;
    }
    options->target_size = number;
  }
  return true;
}

}  // namespace

int RunSynth(int argc, char** argv) {
  Arguments args;
  std::string error;
  const std::vector<OptionSpec> specs = {{"o", true},     {"mode", true},   {"rate", true},
                                         {"truth", true}, {"repeat", true}, {"size", true}};
  if (!args.Parse(argc, argv, 2, specs, &error)) return UsageError(kUsage, error);
  if (args.HelpRequested()) return ShowHelp(kUsage);
  if (!args.CheckPositional(1, 1, "SCENARIO", &error)) return UsageError(kUsage, error);
  if (!args.Has("o")) return UsageError(kUsage, "missing -o FILE.SIC");
  // The file header is written again at the end, once the data size is
  // known, which a pipe or a terminal cannot take.
  if (*args.Value("o") == "-") return UsageError(kUsage, "-o must name a file: standard output cannot be rewound");
  velix::sim::SynthOptions options;
  if (!ParseSynthOptions(args, &options, &error)) return UsageError(kUsage, error);

  std::string scenario;
  const std::string& source = args.Positional()[0];
  const bool read = source == "-" ? ReadBounded(std::cin, kMaxScenarioBytes, &scenario, &error)
                                  : ReadRegularFileBounded(source, kMaxScenarioBytes, &scenario, &error);
  if (!read) {
    std::fprintf(stderr, "error: cannot read the scenario %s: %s\n", source.c_str(), error.c_str());
    return kExitOpenFailed;
  }
  bool write_failed = false;
  if (!velix::sim::SynthesizeSicFile(scenario, options, *args.Value("o"), args.Value("truth").value_or(""), &error,
                                     &write_failed)) {
    std::fprintf(stderr, "error: %s\n", error.c_str());
    return write_failed ? kExitExportFailed : kExitBadData;
  }
  return kExitOk;
}

}  // namespace orvane::cli
