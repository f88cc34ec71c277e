// orvane-cli atoms FILE.SIC [--start POS] [--count N]: one line per atom,
// "POS SIZE STATE COUNT" in decimal.

#include <cstdio>
#include <memory>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/orvane_doc.h"
#include "tools/orvane-cli/arguments.h"
#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/terminal_sink.h"
#include "tools/orvane-cli/usage.h"

namespace orvane::cli {
namespace {

constexpr char kUsage[] =
    "usage: orvane-cli atoms FILE.SIC [--start POS] [--count N]\n"
    "One line per sample atom: POS SIZE STATE COUNT.\n"
    "  --start POS  begin at the atom at byte position POS of the data\n"
    "  --count N    print at most N atoms\n";

}  // namespace

int RunAtoms(int argc, char** argv) {
  Arguments args;
  std::string error;
  if (!args.Parse(argc, argv, 2, {{"start", true}, {"count", true}}, &error)) return UsageError(kUsage, error);
  if (args.HelpRequested()) return ShowHelp(kUsage);
  if (!args.CheckPositional(1, 1, "FILE.SIC", &error)) return UsageError(kUsage, error);
  uint32_t start = 0;
  uint32_t count = 0xFFFFFFFFu;
  if (args.Has("start") && !ParseUnsigned(*args.Value("start"), &start)) {
    return UsageError(kUsage, "--start needs a position");
  }
  if (args.Has("count") && !ParseUnsigned(*args.Value("count"), &count)) {
    return UsageError(kUsage, "--count needs a number");
  }
  AppState app;
  if (InitTempNames(app) != 0) {
    std::fprintf(stderr, "error: no temporary folder\n");
    return kExitOpenFailed;
  }
  TerminalSink sink;
  COrvaneDoc doc(app, sink, nullptr, nullptr);
  doc.OnNewDocument();
  if (!doc.OnOpenDocument(args.Positional()[0])) return kExitOpenFailed;

  CSamplingObj& sampling = *doc.Sampling();
  const uint32_t length = sampling.m_lenSamplingDataInBuffer;
  static char out_buffer[1 << 16];
  std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
  AtomWalker walker(sampling);
  uint32_t position = start;
  int status = kExitOk;
  for (uint32_t n = 0; n < count && position < length; ++n) {
    const SampleAtom atom = walker.Read(position);
    if (atom.size == kAtomAlignError) {
      std::fflush(stdout);
      std::fprintf(stderr,
                   "position %u: data align error (an odd position whose byte has bit 4 clear)\n"
                   "*** Sampling data is incorrect. ***\n",
                   position);
      status = kExitBadData;
      break;
    }
    if (atom.size == kAtomMapError) {
      std::fflush(stdout);
      std::fprintf(stderr,
                   "position %u: the sampling data cannot be mapped\n"
                   "*** Memory allocation failed. ***\n",
                   position);
      status = kExitBadData;
      break;
    }
    std::printf("%u %u %u %u\n", position, atom.size, atom.state, atom.count);
    position += atom.size;
  }
  walker.Release();
  std::fflush(stdout);
  doc.OnCloseDocument();
  return status;
}

}  // namespace orvane::cli
