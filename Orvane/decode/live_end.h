#pragma once
// The end of a live capture, after the worker has ended: save the capture to
// the sampling data file (or, when that fails, wherever the user chooses, or
// discard it only when the user says so), release the live buffer and tell
// whether the saved file is to be reopened for the complete offline decode.

#include <functional>
#include <optional>
#include <string>

#include "Orvane/capture/live_buffer.h"
#include "Orvane/capture/orvane_doc.h"
#include "platform/interaction.h"

namespace orvane {

inline constexpr const char* kEmptySamplingData = "Empty Sampling data.";
inline constexpr const char* kDiscardSamplingDataQuestion =
    "Are you discard the current sampling data ?\n( If you need to save the data, please click No button "
    "and save it. )";
inline constexpr const char* kSaveSamplingDataTitle =
    "Please specify the location and filename to save the sampling data.";

// The save dialog: a file name, or nothing when the user cancels.
using SaveAsDialog = std::function<std::optional<std::string>()>;

// True when the capture was saved (the sampling data file name then names
// it and the caller reopens it).
bool FinishLiveCapture(COrvaneDoc& doc, LiveBuffer& buffer, velix::platform::InteractionSink& sink,
                       const SaveAsDialog& save_as);

}  // namespace orvane
