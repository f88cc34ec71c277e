#pragma once
// Writes the current capture as a sampling data file: the header with the
// settings record, then the data oldest first (a wrapped free-run ring is
// written from the write position to the end, then from the start).

#include <cstdint>
#include <string>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "platform/interaction.h"

namespace orvane {

inline constexpr uint32_t kSaveChunkSize = 131072;

struct DataPiece {
  uint32_t position = 0;
  uint32_t length = 0;
};

struct SavePieces {
  DataPiece first;
  DataPiece second;  // length 0 when the data are in one piece
};

// Chooses the pieces to save; rounds the stored write position of a wrapped
// free-run ring up to the next unit boundary (a multiple of 4).
SavePieces ChooseSavePieces(const SettingsRecord& settings, CSamplingObj& sampling);

// Writes the file and tells the user about any failure through the sink.
// The file is written under a temporary name beside the target and renamed
// over it at the end, so a failed save never destroys an existing file, and
// saving over the very file that is mapped leaves the mapping intact.
bool WriteSicFile(const std::string& name, const SettingsRecord& settings,
                  CSamplingObj& sampling, velix::platform::InteractionSink& sink);

}  // namespace orvane
