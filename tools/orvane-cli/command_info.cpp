// orvane-cli info FILE.SIC: opens the file as the application does and
// prints every settings field as name=value.

#include <cstdio>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/capture/settings_fields.h"
#include "tools/orvane-cli/arguments.h"
#include "tools/orvane-cli/commands.h"
#include "tools/orvane-cli/terminal_sink.h"

namespace orvane::cli {

int RunInfo(int argc, char** argv) {
  Arguments args;
  std::string error;
  if (!args.Parse(argc, argv, 2, {}, &error) || args.Positional().size() != 1) {
    std::fprintf(stderr, "usage: orvane-cli info FILE.SIC\n%s%s", error.c_str(),
                 error.empty() ? "" : "\n");
    return kExitUsage;
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
  for (const SettingsField& field : SettingsFields()) {
    std::printf("%s=%s\n", field.name, FormatSettingsField(app.settings, field).c_str());
  }
  doc.OnCloseDocument();
  return kExitOk;
}

}  // namespace orvane::cli
