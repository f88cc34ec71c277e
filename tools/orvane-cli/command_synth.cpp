// orvane-cli synth SCENARIO -o FILE.SIC [--mode analyzer|monitor]
//   [--rate 50|20|10] [--truth FILE] [--repeat N] [--size BYTES]

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "sim/synthesizer.h"
#include "tools/orvane-cli/arguments.h"
#include "tools/orvane-cli/commands.h"

namespace orvane::cli {
namespace {

int Usage(const std::string& error) {
  std::fprintf(stderr,
               "usage: orvane-cli synth SCENARIO -o FILE.SIC [--mode analyzer|monitor] "
               "[--rate 50|20|10] [--truth FILE] [--repeat N] [--size BYTES]\n");
  if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
  return kExitUsage;
}

bool ReadScenario(const std::string& path, std::string* text) {
  if (path == "-") {
    *text = std::string(std::istreambuf_iterator<char>(std::cin), {});
    return true;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream content;
  content << file.rdbuf();
  *text = content.str();
  return true;
}

}  // namespace

int RunSynth(int argc, char** argv) {
  Arguments args;
  std::string error;
  const std::vector<OptionSpec> specs = {{"o", true},     {"mode", true},   {"rate", true},
                                         {"truth", true}, {"repeat", true}, {"size", true}};
  if (!args.Parse(argc, argv, 2, specs, &error)) return Usage(error);
  if (args.Positional().size() != 1 || !args.Has("o")) return Usage("");

  velix::sim::SynthOptions options;
  if (const auto mode = args.Value("mode")) {
    if (*mode == "monitor") {
      options.mode = velix::sim::CaptureMode::kMonitor;
    } else if (*mode != "analyzer") {
      return Usage("--mode is analyzer or monitor");
    }
  }
  if (const auto rate = args.Value("rate")) {
    if (*rate == "50") {
      options.rate_code = 2;
    } else if (*rate == "20") {
      options.rate_code = 5;
    } else if (*rate == "10") {
      options.rate_code = 10;
    } else {
      return Usage("--rate is 50, 20 or 10 (MHz)");
    }
  }
  uint32_t number = 0;
  if (const auto repeat = args.Value("repeat")) {
    if (!ParseUnsigned(*repeat, &number) || number == 0) return Usage("--repeat needs a count");
    options.repeat = number;
  }
  if (const auto size = args.Value("size")) {
    if (!ParseUnsigned(*size, &number) || number == 0) return Usage("--size needs a byte count");
    options.target_size = number;
  }
  std::string scenario;
  if (!ReadScenario(args.Positional()[0], &scenario)) {
    std::fprintf(stderr, "error: cannot read the scenario %s\n", args.Positional()[0].c_str());
    return kExitOpenFailed;
  }
  if (!velix::sim::SynthesizeSicFile(scenario, options, *args.Value("o"),
                                     args.Value("truth").value_or(""), &error)) {
    std::fprintf(stderr, "error: %s\n", error.c_str());
    return kExitBadData;
  }
  return kExitOk;
}

}  // namespace orvane::cli
