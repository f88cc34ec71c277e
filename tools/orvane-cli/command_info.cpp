// orvane-cli info FILE.SIC: opens the file as the application does and
// prints every settings field as name=value.

#include <cstdio>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/capture/settings_fields.h"
#include "tools/orvane-cli/arguments.h"
#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/terminal_sink.h"
#include "tools/orvane-cli/usage.h"

namespace orvane::cli {

namespace {

constexpr char kUsage[] =
    "usage: orvane-cli info FILE.SIC\n"
    "Opens the file as the application does and prints every field of its\n"
    "settings record as name=value.\n";

}  // namespace

int RunInfo(int argc, char** argv) {
  Arguments args;
  std::string error;
  if (!args.Parse(argc, argv, 2, {}, &error)) return UsageError(kUsage, error);
  if (args.HelpRequested()) return ShowHelp(kUsage);
  if (!args.CheckPositional(1, 1, "FILE.SIC", &error)) return UsageError(kUsage, error);
  AppState app;
  if (InitTempNames(app) != 0) {
    std::fprintf(stderr, "error: no temporary folder\n");
    return kExitOpenFailed;
  }
  TerminalSink sink;
  COrvaneDoc doc(app, sink, nullptr, nullptr);
  doc.OnNewDocument();
  if (!doc.OnOpenDocument(args.Positional()[0])) return kExitOpenFailed;
  for (const SettingsField& field : SettingsFields()) {
    std::printf("%s=%s\n", field.name, FormatSettingsField(app.settings, field).c_str());
  }
  doc.OnCloseDocument();
  return kExitOk;
}

}  // namespace orvane::cli
