// orvane-cli convert IN OUT [--bus spi|i2c0|i2c1] [--rate 50|20|10]
//   [--map LINE=NAME]...: a bus analyzer capture to VCD, or another tool's
// capture to a bus analyzer capture; the file names' extensions decide.

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "Orvane/interchange/bus_lines.h"
#include "Orvane/interchange/logic_source.h"
#include "Orvane/interchange/sic_import.h"
#include "Orvane/interchange/vcd_export.h"
#include "tools/orvane-cli/arguments.h"
#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/named_choices.h"
#include "tools/orvane-cli/usage.h"

namespace orvane::cli {
namespace {

using velix::interchange::ExportStatus;
using velix::interchange::ImportStatus;

constexpr char kUsage[] =
    "usage: orvane-cli convert IN.SIC OUT.vcd\n"
    "       orvane-cli convert IN.vcd|IN.sr OUT.SIC [--bus spi|i2c0|i2c1] [--rate 50|20|10]\n"
    "                          [--map LINE=NAME]...\n"
    "Writes a bus analyzer capture as a VCD file, or samples another tool's capture\n"
    "(a VCD file or a sigrok session) into a bus analyzer capture.\n"
    "  --bus spi|i2c0|i2c1  the bus of the new capture\n"
    "  --rate 50|20|10      the sample rate of the new capture in MHz\n"
    "  --map LINE=NAME      the input channel NAME carries the bus line LINE\n"
    "                       (repeatable); LINE is one of CS SCLK MOSI MISO (spi),\n"
    "                       SCL SDA S2 S3 (i2c0), S0 S1 SCL SDA (i2c1); a line\n"
    "                       without --map takes the channel of its own name\n";

bool HasExtension(const std::string& path, const char* extension) {
  const size_t length = std::strlen(extension);
  return path.size() > length && ::strcasecmp(path.c_str() + path.size() - length, extension) == 0;
}

// The reader of a foreign capture, chosen by the file's extension; null
// with a message when the file is malformed, or with `known` false when no
// reader takes files of that name.
std::unique_ptr<velix::interchange::LogicSource> OpenForeignCapture(const std::string& path, bool* known,
                                                                    std::string* error) {
  *known = true;
  if (HasExtension(path, ".vcd")) return velix::interchange::OpenVcdSource(path, error);
  if (HasExtension(path, ".sr")) return velix::interchange::OpenSigrokSessionSource(path, error);
  *known = false;
  *error = "unsupported input format: " + path + " (the inputs read are .vcd and .sr files)";
  return nullptr;
}

int Export(const Arguments& args, const std::string& in, const std::string& out) {
  if (args.Has("bus") || args.Has("rate") || args.Has("map")) {
    return UsageError(kUsage, "--bus, --rate and --map apply to an import; an export keeps the capture's settings");
  }
  std::string error;
  switch (velix::interchange::ExportSicToVcd(in, out, &error)) {
    case ExportStatus::kOk:
      return kExitOk;
    case ExportStatus::kOpenFailed:
    case ExportStatus::kNotSamples:
      std::fprintf(stderr, "error: %s\n", error.c_str());
      return kExitOpenFailed;
    case ExportStatus::kBadData:
      std::fprintf(stderr, "error: %s\n", error.c_str());
      return kExitBadData;
    case ExportStatus::kWriteFailed:
      break;
  }
  std::fprintf(stderr, "error: %s\n", error.c_str());
  return kExitExportFailed;
}

int Import(const Arguments& args, const std::string& in, const std::string& out) {
  velix::interchange::ImportOptions options;
  if (const auto bus = args.Value("bus")) {
    options.bus_channel = velix::interchange::BusOfChoice(*bus);
    if (!options.bus_channel) return UsageError(kUsage, "--bus is spi, i2c0 or i2c1, not '" + *bus + "'");
  }
  if (const auto rate = args.Value("rate")) {
    options.rate_code = SamplePeriodCodeOfRate(*rate);
    if (!options.rate_code) return UsageError(kUsage, "--rate is 50, 20 or 10 (MHz), not '" + *rate + "'");
  }
  options.map = args.Values("map");
  std::string error;
  // A file that cannot be opened is told apart from a malformed one.
  const int fd = ::open(in.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    std::fprintf(stderr, "error: cannot open %s: %s\n", in.c_str(), std::strerror(errno));
    return kExitOpenFailed;
  }
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  ::close(fd);
  if (!regular) {
    std::fprintf(stderr, "error: %s is not a regular file\n", in.c_str());
    return kExitOpenFailed;
  }
  bool known = false;
  const auto source = OpenForeignCapture(in, &known, &error);
  if (!known) return UsageError(kUsage, error);
  if (!source) {
    std::fprintf(stderr, "error: %s\n", error.c_str());
    return kExitBadData;
  }
  switch (velix::interchange::ImportToSic(source.get(), options, out, &error)) {
    case ImportStatus::kOk:
      return kExitOk;
    case ImportStatus::kBadChoice:
      return UsageError(kUsage, error);
    case ImportStatus::kBadInput:
      std::fprintf(stderr, "error: %s\n", error.c_str());
      return kExitBadData;
    case ImportStatus::kWriteFailed:
      break;
  }
  std::fprintf(stderr, "error: %s\n", error.c_str());
  return kExitExportFailed;
}

}  // namespace

int RunConvert(int argc, char** argv) {
  Arguments args;
  std::string error;
  const std::vector<OptionSpec> specs = {{"bus", true}, {"rate", true}, {"map", true, true}};
  if (!args.Parse(argc, argv, 2, specs, &error)) return UsageError(kUsage, error);
  if (args.HelpRequested()) return ShowHelp(kUsage);
  if (!args.CheckPositional(2, 2, "IN and OUT", &error)) return UsageError(kUsage, error);
  const std::string& in = args.Positional()[0];
  const std::string& out = args.Positional()[1];
  if (HasExtension(out, ".vcd")) {
    if (!HasExtension(in, ".sic")) return UsageError(kUsage, "a VCD file is written from a .SIC capture");
    return Export(args, in, out);
  }
  if (HasExtension(out, ".sic")) {
    if (HasExtension(in, ".sic")) return UsageError(kUsage, "both files are .SIC captures: nothing to convert");
    return Import(args, in, out);
  }
  return UsageError(kUsage, "OUT must end in .vcd (export) or .SIC (import)");
}

}  // namespace orvane::cli
