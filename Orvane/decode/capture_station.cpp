#include "Orvane/decode/capture_station.h"

#include "platform/locked_memory.h"

namespace orvane {
namespace {

velix::platform::WorkingSetLimits CurrentLimits() {
  velix::platform::WorkingSetLimits limits{};
  velix::platform::GetWorkingSetLimits(&limits);
  return limits;
}

}  // namespace

CaptureStation::CaptureStation(AppState& app_state, velix::platform::InteractionSink& interaction,
                               DocumentFrame* frame)
    : app(app_state),
      sink(interaction),
      buffer(PlatformLiveMemory(), CurrentLimits()),
      doc(app_state, interaction, frame, &worker) {}

CaptureStation::~CaptureStation() {
  worker.WaitForWinThreadEnd();
  doc.OnCloseDocument();
  buffer.Release(sink);
}

CaptureCommandContext CaptureStation::CommandContext(DocumentFrame* frame) {
  return CaptureCommandContext{app, doc, client, capture, worker, buffer, sink, frame};
}

}  // namespace orvane
