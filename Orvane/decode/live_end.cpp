#include "Orvane/decode/live_end.h"

#include "platform/trace.h"

namespace orvane {

using velix::platform::Answer;
using velix::platform::Buttons;
using velix::platform::Icon;

namespace {

// Saves under the sampling data file name, then under the names the save
// dialog gives; false only when the user chose to discard the data.
bool SaveCapture(COrvaneDoc& doc, velix::platform::InteractionSink& sink, const SaveAsDialog& save_as) {
  AppState& app = doc.App();
  if (doc.OnSaveDocument(app.sampling_file_name)) return true;
  for (;;) {
    const std::optional<std::string> name = save_as ? save_as() : std::nullopt;
    if (name) {
      if (doc.OnSaveDocument(*name)) {
        app.sampling_file_name = *name;
        return true;
      }
      continue;
    }
    if (sink.MessageBox(kDiscardSamplingDataQuestion, Icon::kStop, Buttons::kYesNo, Answer::kNo) == Answer::kYes) {
      return false;
    }
  }
}

}  // namespace

bool FinishLiveCapture(COrvaneDoc& doc, LiveBuffer& buffer, velix::platform::InteractionSink& sink,
                       const SaveAsDialog& save_as) {
  CSamplingObj* sampling = doc.Sampling();
  bool saved = false;
  if (sampling != nullptr && sampling->m_lenSamplingDataInBuffer == 0 && !sampling->buffer_wrapped) {
    sink.Show(kEmptySamplingData, Icon::kExclamation);
  } else if (sampling != nullptr) {
    saved = SaveCapture(doc, sink, save_as);
  }
  if (sampling != nullptr) sampling->DetachLiveBuffer();
  buffer.Release(sink);
  doc.App().live_capture = false;
  return saved;
}

}  // namespace orvane
