// orvane-cli: the headless front end of the analyzer software.

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/exit_signals.h"
#include "tools/orvane-cli/usage.h"
#include "velix_version.h"

namespace {

constexpr char kUsage[] =
    "usage: orvane-cli COMMAND ...   (orvane-cli COMMAND --help for one command)\n"
    "  info FILE.SIC                         header check and settings fields\n"
    "  atoms FILE.SIC [--start POS] [--count N]\n"
    "                                        sample atoms: POS SIZE STATE COUNT\n"
    "  synth SCENARIO -o FILE.SIC [--mode analyzer|monitor] [--rate 50|20|10]\n"
    "        [--truth FILE] [--repeat N] [--size BYTES]\n"
    "                                        synthesize a capture from a scenario\n"
    "  decode FILE.SIC [--bus spi|i2c0|i2c1] [--rate 50|20|10] [--set FIELD=VALUE]...\n"
    "        [--csv PATH|-] [--text PATH|-] [--all-data] [--json PATH|-] [--progress]\n"
    "                                        decode, filter and export (CSV on standard\n"
    "                                        output without --csv/--text/--json)\n"
    "  search FILE.SIC KIND [ARG] [--from ROW] [--backward] [--length N]\n"
    "        [--10bit] [--yes] [--bus ...] [--rate ...] [--set FIELD=VALUE]...\n"
    "                                        find a transaction (jump, address,\n"
    "                                        subaddress, data, nack, error, trigger)\n"
    "  capture -o FILE.SIC [--device NAME] [--bus ...] [--rate ...] [--set FIELD=VALUE]...\n"
    "        [--size MB] [--driver-buffer MB] [--power CODE] [--duration SECONDS]\n"
    "        [--csv PATH|-] [--json PATH|-] [--progress] [--lock-memory] [--yes|--no]\n"
    "                                        live capture from the analyzer, saved,\n"
    "                                        reopened and decoded\n"
    "  --help, --version\n";

int RunCommand(int argc, char** argv) {
  using namespace orvane::cli;
  if (argc < 2) return UsageError(kUsage, "no command given");
  const std::string command = argv[1];
  if (command == "info") return RunInfo(argc, argv);
  if (command == "atoms") return RunAtoms(argc, argv);
  if (command == "synth") return RunSynth(argc, argv);
  if (command == "decode") return RunDecode(argc, argv);
  if (command == "search") return RunSearch(argc, argv);
  if (command == "capture") return RunCapture(argc, argv);
  if (command == "--help" || command == "-h" || command == "help") return ShowHelp(kUsage);
  if (command == "--version") {
    std::printf("orvane-cli %s\n", velix::kVelixVersion);
    return kExitOk;
  }
  return UsageError(kUsage, "unknown command '" + command + "'");
}

// Data written to standard output are only delivered once the stream is
// flushed and closed; a full disk or a closed pipe shows up there and must
// not pass as success.
int FinishStandardOutput(int status) {
  errno = 0;
  bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  int error = errno;
  if (std::fclose(stdout) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written) return status;
  // A write that failed before the flush leaves no errno behind.
  std::fprintf(stderr, "orvane-cli: cannot write standard output: %s\n",
               error != 0 ? std::strerror(error) : "a write failed");
  return status == orvane::cli::kExitOk ? orvane::cli::kExitExportFailed : status;
}

}  // namespace

int main(int argc, char** argv) {
  orvane::cli::RemoveTemporaryCopiesOnExitSignals();
  return FinishStandardOutput(RunCommand(argc, argv));
}
