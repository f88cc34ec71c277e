#pragma once
// Sending a CPLD image: 4,096-byte chunks, the first carrying the image
// length, the rest continuing it.

#include <cstddef>
#include <functional>
#include <span>

#include "ModeChange/firmware_access.h"

namespace velix::modechange {

inline constexpr size_t kCpldChunkSize = 4096;

// How far the progress bar advances per chunk: 1024 / (n / 4096) in
// integers, nothing for an image below 4,096 bytes.
int ChunkProgressStep(size_t image_size);

// Sends `image`; after each chunk the device accepted, `after_chunk` gets
// the chunk's offset. False at the first refused chunk.
bool WriteCpldImage(FirmwareAccess& firmware, std::span<const uint8_t> image,
                    const std::function<void(size_t offset)>& after_chunk);

}  // namespace velix::modechange
