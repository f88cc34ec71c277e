// orvane-cli decode FILE.SIC [--set FIELD=VALUE]... [--csv PATH|-]
//   [--text PATH|-] [--all-data] [--progress]
//
// Decodes a capture as the application does after opening it, applies the
// filter and writes the exports exactly as the export commands would.

#include <unistd.h>

#include <cstdio>

#include "Orvane/decode/export_csv.h"
#include "Orvane/decode/export_text.h"
#include "tools/orvane-cli/arguments.h"
#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/decode_session.h"

namespace orvane::cli {
namespace {

int Usage(const std::string& error) {
  std::fprintf(stderr,
               "usage: orvane-cli decode FILE.SIC [--set FIELD=VALUE]... [--csv PATH|-] "
               "[--text PATH|-] [--all-data] [--progress]\n");
  if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
  return kExitUsage;
}

bool WriteExport(DecodeSession& session, const std::string& target, bool text, bool header_only) {
  ExportEnv env = ApplicationExportEnv(*session.Doc().Sampling(), session.App().settings,
                                       session.Sink(), 0);
  if (target == "-") {
    std::fflush(stdout);
    return (text ? ExportTransactionText(env, STDOUT_FILENO, header_only)
                 : ExportTransactionCsv(env, STDOUT_FILENO))
        .ok;
  }
  return (text ? ExportTransactionTextFile(env, target, header_only)
               : ExportTransactionCsvFile(env, target))
      .ok;
}

}  // namespace

int RunDecode(int argc, char** argv) {
  Arguments args;
  std::string error;
  const std::vector<OptionSpec> specs = {{"set", true, true}, {"csv", true},      {"text", true},
                                         {"all-data", false}, {"progress", false}};
  if (!args.Parse(argc, argv, 2, specs, &error)) return Usage(error);
  if (args.Positional().size() != 1) return Usage("");
  const std::vector<std::string> overrides = args.Values("set");
  if (!DecodeSession::CheckOverrides(overrides, &error)) return Usage(error);
  if (args.Value("csv") == std::optional<std::string>("-") &&
      args.Value("text") == std::optional<std::string>("-")) {
    return Usage("only one export can go to standard output");
  }

  DecodeSession session;
  session.Sink().SetShowProgress(args.Has("progress"));
  if (const int status = session.OpenAndDecode(args.Positional()[0], overrides); status != kExitOk) {
    return status;
  }
  const RunEndOutcome& outcome = session.Outcome();
  if (outcome.no_valid_transaction) return outcome.error ? kExitRunError : kExitNoTransaction;

  bool exported = true;
  for (const auto& [option, text] : {std::pair{"csv", false}, std::pair{"text", true}}) {
    const std::optional<std::string> target = args.Value(option);
    if (!target) continue;
    if (session.App().settings.ForcedDisplay) {
      std::fprintf(stderr, "error: the exports are not available in forced display mode\n");
      exported = false;
      continue;
    }
    exported = WriteExport(session, *target, text, !args.Has("all-data")) && exported;
  }
  if (outcome.error) return kExitRunError;
  return exported ? kExitOk : kExitExportFailed;
}

}  // namespace orvane::cli
