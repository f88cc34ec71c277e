// orvane-cli stats FILE.SIC [--json] [--bus spi|i2c0|i2c1] [--rate 50|20|10]
//   [--set FIELD=VALUE]...
//
// Decodes a capture like `decode` and prints the compliance summary of the
// transactions the list shows: traffic per address, remarks, the I2C timing
// table and the bus speed.

#include <cstdio>

#include "Orvane/decode/bus_statistics.h"
#include "tools/orvane-cli/arguments.h"
#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/decode_session.h"
#include "tools/orvane-cli/named_choices.h"
#include "tools/orvane-cli/stats_report.h"
#include "tools/orvane-cli/usage.h"

namespace orvane::cli {
namespace {

constexpr char kUsage[] =
    "usage: orvane-cli stats FILE.SIC [--json] [--bus spi|i2c0|i2c1] [--rate 50|20|10]\n"
    "                        [--set FIELD=VALUE]...\n"
    "Decodes the capture, applies the transaction filter and prints a summary of the\n"
    "listed transactions: traffic per address and direction, remarks by kind, the\n"
    "I2C timing checks with their worst values, and the median bus clock.\n"
    "  --json               one JSON document instead of the table\n"
    "  --bus spi|i2c0|i2c1  the bus channel (m_AnalyzeBusChannel 0, 1, 2)\n"
    "  --rate 50|20|10      the sample rate in MHz (SamplePeriodCode 2, 5, 10)\n";

}  // namespace

int RunStats(int argc, char** argv) {
  Arguments args;
  std::string error;
  const std::vector<OptionSpec> specs = {{"set", true, true}, {"bus", true}, {"rate", true}, {"json", false}};
  if (!args.Parse(argc, argv, 2, specs, &error)) return UsageError(kUsage, error);
  if (args.HelpRequested()) return ShowHelp(kUsage);
  if (!args.CheckPositional(1, 1, "FILE.SIC", &error)) return UsageError(kUsage, error);
  std::vector<std::string> overrides = args.Values("set");
  if (!AppendNamedChoices(args, &overrides, &error)) return UsageError(kUsage, error);
  if (!DecodeSession::CheckOverrides(overrides, &error)) return UsageError(kUsage, error);

  DecodeSession session;
  if (const int status = session.OpenAndDecode(args.Positional()[0], overrides); status != kExitOk) {
    return status;
  }
  const RunEndOutcome& outcome = session.Outcome();
  if (outcome.no_valid_transaction) return outcome.error ? kExitRunError : kExitNoTransaction;

  BusSummary summary;
  if (!SummarizeListedTransactions(*session.Doc().Sampling(), session.App().settings, &summary)) {
    std::fprintf(stderr, "error: the summary is not available in forced display mode\n");
    return kExitExportFailed;
  }
  const std::string report = args.Has("json") ? StatsJson(summary) : StatsText(summary);
  std::fwrite(report.data(), 1, report.size(), stdout);
  return outcome.error ? kExitRunError : kExitOk;
}

}  // namespace orvane::cli
