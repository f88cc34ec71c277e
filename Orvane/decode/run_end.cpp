#include "Orvane/decode/run_end.h"

#include <algorithm>
#include <ctime>

#include "Orvane/capture/run_result.h"
#include "Orvane/decode/run_messages.h"
#include "platform/trace.h"

namespace orvane {

using velix::platform::Icon;
using velix::platform::Trace;

void CarryTriggerIntoSearch(const SettingsRecord& s, SearchMemory& search) {
  if (!s.TriggerEnable) return;
  if (s.DataPatternEnable && s.DataLength >= 1 && s.DataLength <= 8) {
    search.data_length = s.DataLength;
    std::copy(std::begin(s.DataPattern), std::end(s.DataPattern), search.data_pattern.begin());
  }
  if (s.AddressEnable && s.AddressCondition == 0) {
    search.address = s.AddressValue;
    search.address_10bit = s.Address10Bit != 0;
  }
  if (s.SubAddressEnable && s.SubAddressCondition == 0) {
    search.sub_length = s.SubAddressLength;
    std::copy(std::begin(s.SubAddressData), std::end(s.SubAddressData), search.sub_data.begin());
  }
}

RunEndOutcome HandleRunEnd(COrvaneDoc& doc, bool live_run, uint32_t result,
                           velix::platform::InteractionSink& sink, SearchMemory& search,
                           DocumentFrame* frame) {
  RunEndOutcome outcome;
  Trace(" *** [WM_SAMPLING_KAISEKI_THREAD_END] ***\n");
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  Trace(" *** End (Sampling/Kaiseki) Clock Time : [%02u:%02u:%02u.%u] *** \n",
        static_cast<unsigned>(local.tm_hour), static_cast<unsigned>(local.tm_min),
        static_cast<unsigned>(local.tm_sec), 0u);
  CSamplingObj* sampling = doc.Sampling();
  if (sampling == nullptr) return outcome;

  const SettingsRecord& settings = doc.App().settings;
  CarryTriggerIntoSearch(settings, search);
  search.direction = SearchDirection::kForward;
  sink.StatusText("", 0);

  if (IsErrorResult(result)) {
    outcome.error = true;
    sink.Show(RunEndMessage(result), Icon::kStop);
  }
  if (live_run) {
    outcome.live_end = true;
    return outcome;
  }
  if (sampling->transaction_counter != 0) {
    if (frame != nullptr) frame->ChangeViewSplitter(true);
    outcome.filter = ApplyTransactionFilter(*sampling, settings, sink);
  } else {
    outcome.no_valid_transaction = true;
    sink.Show(kNoValidTransaction, Icon::kExclamation);
  }
  return outcome;
}

}  // namespace orvane
