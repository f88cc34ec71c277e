#include "ModeChange/cpld_writer.h"

#include <algorithm>

namespace velix::modechange {

int ChunkProgressStep(size_t image_size) {
  const size_t chunks = image_size / kCpldChunkSize;
  return chunks == 0 ? 0 : static_cast<int>(1024 / chunks);
}

bool WriteCpldImage(FirmwareAccess& firmware, std::span<const uint8_t> image,
                    const std::function<void(size_t offset)>& after_chunk) {
  const auto total = static_cast<uint32_t>(image.size());
  for (size_t offset = 0; offset < image.size(); offset += kCpldChunkSize) {
    const size_t length = std::min(kCpldChunkSize, image.size() - offset);
    if (!firmware.CPLDWrite(image.subspan(offset, length), offset == 0 ? total : 0)) return false;
    after_chunk(offset);
  }
  return true;
}

}  // namespace velix::modechange
