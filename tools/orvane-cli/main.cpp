// orvane-cli: the headless front end of the analyzer software.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/exit_signals.h"
#include "tools/orvane-cli/usage.h"
#include "platform/standard_output.h"
#include "velix_version.h"

namespace {

constexpr char kUsage[] =
    "usage: orvane-cli COMMAND [ARGUMENTS] [OPTIONS]\n"
    "       orvane-cli COMMAND --help\n"
    "       orvane-cli --help | --version\n"
    "The headless front end of the VELIX analyzer software. Each command prints\n"
    "its arguments and options with orvane-cli COMMAND --help.\n"
    "\n"
    "Commands:\n"
    "  info      header check and settings fields\n"
    "  atoms     sample atoms: POS SIZE STATE COUNT\n"
    "  synth     synthesize a capture from a scenario\n"
    "  decode    decode, filter and export (CSV on standard output without\n"
    "            --csv, --text and --json)\n"
    "  stats     compliance summary of the listed transactions (traffic,\n"
    "            remarks, I2C timing, bus speed)\n"
    "  search    find a transaction (jump, address, subaddress, data, nack,\n"
    "            error, trigger)\n"
    "  capture   live capture from the analyzer, saved, reopened and decoded\n"
    "  convert   a capture to VCD (OUT.vcd), or a VCD or sigrok session file\n"
    "            to a capture (OUT.SIC)\n"
    "\n"
    "Options:\n"
    "  -h, --help  print this help\n"
    "  --version   print the version\n";

int RunCommand(int argc, char** argv) {
  using namespace orvane::cli;
  if (argc < 2) return UsageError(kUsage, "no command given");
  const std::string command = argv[1];
  if (command == "info") return RunInfo(argc, argv);
  if (command == "atoms") return RunAtoms(argc, argv);
  if (command == "synth") return RunSynth(argc, argv);
  if (command == "decode") return RunDecode(argc, argv);
  if (command == "stats") return RunStats(argc, argv);
  if (command == "search") return RunSearch(argc, argv);
  if (command == "capture") return RunCapture(argc, argv);
  if (command == "convert") return RunConvert(argc, argv);
  if (command == "--help" || command == "-h" || command == "help") return ShowHelp(kUsage);
  if (command == "--version") {
    std::printf("orvane-cli %s\n", velix::kVelixVersion);
    return kExitOk;
  }
  return UsageError(kUsage, "unknown command '" + command + "'");
}
}  // namespace

int main(int argc, char** argv) {
  orvane::cli::RemoveTemporaryCopiesOnExitSignals();
  const int status = RunCommand(argc, argv);
  return velix::platform::FinishStandardOutput("orvane-cli", status, orvane::cli::kExitExportFailed);
}
