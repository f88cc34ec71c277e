#pragma once
// What a front end owns to capture and decode: the run-event queue, the
// driver client, the device capture, the analysis worker, the live buffer,
// the document and the search defaults. The main window and orvane-cli
// capture each hold one, so both build and tear them down in the same
// order: the worker is waited for before the document goes, and the live
// buffer is released last.

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/driver_client.h"
#include "Orvane/capture/live_buffer.h"
#include "Orvane/capture/orvane_doc.h"
#include "Orvane/capture/run_events.h"
#include "Orvane/decode/analysis_worker.h"
#include "Orvane/decode/capture_command.h"
#include "Orvane/decode/device_capture.h"
#include "Orvane/decode/transaction_search.h"
#include "platform/interaction.h"

namespace orvane {

struct CaptureStation {
  // `frame` (may be null) is the window the document reports to.
  CaptureStation(AppState& app, velix::platform::InteractionSink& sink, DocumentFrame* frame);
  ~CaptureStation();
  CaptureStation(const CaptureStation&) = delete;
  CaptureStation& operator=(const CaptureStation&) = delete;

  // The capture command's view of these objects.
  CaptureCommandContext CommandContext(DocumentFrame* frame);

  AppState& app;
  velix::platform::InteractionSink& sink;
  RunEventQueue events;
  DriverClient client;
  DeviceCapture capture{client, app, events};
  AnalysisWorker worker{app, events, &capture};
  LiveBuffer buffer;
  COrvaneDoc doc;
  SearchMemory search;
};

}  // namespace orvane
