#include "Orvane/decode/analysis_worker.h"

#include <ctime>

#include "Orvane/capture/orvane_doc.h"
#include "Orvane/decode/decode_context.h"
#include "Orvane/decode/run_decoder.h"
#include "Orvane/decode/run_messages.h"
#include "platform/trace.h"

namespace orvane {

using velix::platform::Trace;

namespace {

void TraceClockTime(const char* format) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  Trace(format, local.tm_hour, local.tm_min, local.tm_sec,
        static_cast<unsigned>(now.tv_nsec / 100000000));
}

struct WorkerNames {
  const char* start;
  const char* end;
};

WorkerNames NamesOf(WorkerKind kind) {
  switch (kind) {
    case WorkerKind::kWaveform:
      return {"\n\n +======= Start Analyze HAKEI =======+ (%u) \n\n",
              "\n\n +------ End Analyze HAKEI : [ mStatus = 0x%X ]-------+ \n"};
    case WorkerKind::kI2C:
      return {"\n\n +======= Start I2C =======+ (%u) \n\n",
              "\n\n +------ End I2C : [ mStatus = 0x%X ] -------+ \n"};
    default:
      return {"\n\n +======= Start SPI =======+ (%u) \n\n",
              "\n\n +------ End SPI : [ mStatus = 0x%X ]-------+ \n"};
  }
}

}  // namespace

WorkerKind ChooseWorker(const SettingsRecord& settings) {
  if (settings.ForcedDisplay) return WorkerKind::kWaveform;
  switch (settings.m_AnalyzeBusChannel & 3) {
    case 1:
    case 2: return WorkerKind::kI2C;
    case 0: return WorkerKind::kSpi;
    default: return WorkerKind::kNone;
  }
}

AnalysisWorker::AnalysisWorker(AppState& app, RunEventQueue& events, LiveCapture* live)
    : app_(app), events_(events), live_(live) {}

AnalysisWorker::~AnalysisWorker() { WaitForWinThreadEnd(); }

bool AnalysisWorker::ScanningSamplingDataStart(COrvaneDoc& doc) {
  Trace("** ScanningSamplingDataStart()\n");
  WaitForWinThreadEnd();
  CSamplingObj* sampling = doc.Sampling();
  if (sampling == nullptr) return false;
  sampling->m_bDoStop_SamplingAnalysis = false;
  Trace(" ...=> StartSamplingThread()\n");

  app_.view_update_paused = false;
  TraceClockTime(" *** Start Clock Time : [%02u:%02u:%02u.%u] *** \n");
  if (app_.analysis_running) {
    Trace(" <now Analyzing...> \n");
    events_.Post({RunEventKind::kStatusText, 0, kAnalysingColour, AnalysingText(app_.japanese)});
    events_.Post({RunEventKind::kStatusUpdate, 0, 0, {}});
  }
  const bool live = app_.live_capture;
  if (live) {
    Trace(" <now Sampling Data...> \n");
    events_.Post({RunEventKind::kStatusText, 0, kSamplingColour, SamplingText(app_.japanese)});
    events_.Post({RunEventKind::kStatusUpdate, 0, 0, {}});
  }
  const WorkerKind kind = ChooseWorker(app_.settings);
  if (kind == WorkerKind::kNone) {
    Trace("AfxBeginThread : NULL!!! ******* \n");
    return false;
  }
  // The run decodes with the settings of this moment, whatever the
  // front end changes while it runs.
  auto thread = std::make_unique<velix::platform::Thread>();
  if (!thread->Start([this, &doc, kind, live, settings = app_.settings] {
        Body(doc, settings, kind, live);
      }, app_.priority, true)) {
    Trace("AfxBeginThread : NULL!!! ******* \n");
    return false;
  }
  thread_ = std::move(thread);
  thread_->Resume();
  return true;
}

void AnalysisWorker::Body(COrvaneDoc& doc, const SettingsRecord& settings, WorkerKind kind,
                          bool live) {
  const WorkerNames names = NamesOf(kind);
  Trace(names.start, live ? 1u : 0u);
  CSamplingObj& sampling = *doc.Sampling();
  sampling.m_bDoStop_SamplingAnalysis = false;
  sampling.transaction_counter = 0;

  DecodeContext ctx{sampling, settings, events_};
  ctx.live = live && live_ != nullptr;
  ctx.reader = ctx.live ? &live_->Reader() : nullptr;
  ctx.japanese = app_.japanese;
  ctx.no_wait = app_.no_wait != 0;
  ctx.sleep_when_idle = app_.sleep != 0;
  ctx.capture_size = sampling.m_sizeSamplingBuf;
  const uint32_t result = RunDecoder(ctx, kind);
  Trace(names.end, result);

  uint32_t was_live = 0;
  if (ctx.live && kind != WorkerKind::kWaveform) {
    if (result != kResultDeviceRemoved) {
      live_->StopSampling();
    } else {
      live_->DrainAfterRemoval();
    }
    was_live = 1;
  }
  app_.analysis_running = false;
  events_.Post({RunEventKind::kWorkerEnd, was_live, result, {}});
}

void AnalysisWorker::WaitForWinThreadEnd() {
  if (!thread_) {
    Trace("\n ---- WaitForWinThreadEnd  :: WinThread == NULL ... ----\n");
    return;
  }
  const auto id = static_cast<unsigned>(thread_->Id());
  Trace("\n == **==> WaitForWinThreadEnd  waiting... *** ===  WinThread0x%X (ThreadHandle=0x%x) \n",
        id, id);
  thread_->Join();
  Trace("\n === *** Delete WinThread:0x%X (ThreadHandle=0x%x) *** === \n", id, id);
  thread_.reset();
}

void AnalysisWorker::StopCaptureAnalyzing(COrvaneDoc& doc) {
  CSamplingObj* sampling = doc.Sampling();
  const bool active = (app_.live_capture && live_ != nullptr) || app_.analysis_running;
  if (sampling != nullptr && active) {
    Trace("\n **** [STOP] button  Click!! ****\n");
    sampling->m_bDoStop_SamplingAnalysis = true;
    Trace("********\n");
    if (sampling->StopEvent.Valid()) {
      Trace("**** => ::SetEvent( StopEvent ) \n");
      sampling->StopEvent.Set();
    }
    Trace(" ** [STOP].... ** \n");
    WaitForWinThreadEnd();
    velix::platform::SleepMs(200);
  }
  Trace(" === StopCaptureAnalyzing()  EXIT!! --- \n");
}

}  // namespace orvane
