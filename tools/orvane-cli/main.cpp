// orvane-cli: the headless front end of the analyzer software.

#include <cstdio>
#include <cstring>

#include "tools/orvane-cli/commands.h"

namespace {

void PrintUsage() {
  std::fprintf(stderr,
               "usage: orvane-cli COMMAND ...\n"
               "  info FILE.SIC                         header check and settings fields\n"
               "  atoms FILE.SIC [--start POS] [--count N]\n"
               "                                        sample atoms: POS SIZE STATE COUNT\n"
               "  synth SCENARIO -o FILE.SIC [--mode analyzer|monitor] [--rate 50|20|10]\n"
               "        [--truth FILE] [--repeat N] [--size BYTES]\n"
               "                                        synthesize a capture from a scenario\n"
               "  decode FILE.SIC [--set FIELD=VALUE]... [--csv PATH|-] [--text PATH|-]\n"
               "        [--all-data] [--progress]       decode, filter and export\n"
               "  search FILE.SIC KIND [ARG] [--from ROW] [--backward] [--length N]\n"
               "        [--10bit] [--yes] [--set FIELD=VALUE]...\n"
               "                                        find a transaction (jump, address,\n"
               "                                        subaddress, data, nack, error, trigger)\n"
               "  capture -o FILE.SIC [--device NAME] [--set FIELD=VALUE]... [--size MB]\n"
               "        [--driver-buffer MB] [--power CODE] [--duration SECONDS] [--csv PATH|-]\n"
               "        [--progress] [--yes|--no]       live capture from the analyzer, saved,\n"
               "                                        reopened and decoded\n");
}

}  // namespace

int main(int argc, char** argv) {
  using namespace orvane::cli;
  if (argc < 2) {
    PrintUsage();
    return kExitUsage;
  }
  const char* command = argv[1];
  if (std::strcmp(command, "info") == 0) return RunInfo(argc, argv);
  if (std::strcmp(command, "atoms") == 0) return RunAtoms(argc, argv);
  if (std::strcmp(command, "synth") == 0) return RunSynth(argc, argv);
  if (std::strcmp(command, "decode") == 0) return RunDecode(argc, argv);
  if (std::strcmp(command, "search") == 0) return RunSearch(argc, argv);
  if (std::strcmp(command, "capture") == 0) return RunCapture(argc, argv);
  if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "help") == 0) {
    PrintUsage();
    return kExitOk;
  }
  std::fprintf(stderr, "orvane-cli: unknown command '%s'\n", command);
  PrintUsage();
  return kExitUsage;
}
