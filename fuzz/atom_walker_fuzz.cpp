// Any bytes as the sampling data of a file: the mapped reader and the
// batched walker must agree atom for atom and stop cleanly at corrupt data
// or the end of the file.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/sic_header.h"
#include "platform/interaction.h"

namespace {

// The input lives in an anonymous memory file, reachable by a path.
std::string WriteMemoryFile(const uint8_t* data, size_t size, int* fd) {
  *fd = memfd_create("atoms", MFD_CLOEXEC);
  if (*fd < 0) return {};
  const orvane::SicHeader header = orvane::BuildSicHeader(orvane::DefaultSettingsRecord());
  if (write(*fd, header.data(), header.size()) != static_cast<ssize_t>(header.size())) return {};
  if (size != 0 && write(*fd, data, size) != static_cast<ssize_t>(size)) return {};
  return "/proc/self/fd/" + std::to_string(*fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int fd = -1;
  const std::string path = WriteMemoryFile(data, size, &fd);
  if (!path.empty()) {
    orvane::AppState app;
    velix::platform::NullSink sink;
    orvane::CSamplingObj reference(app, sink);
    orvane::CSamplingObj walked(app, sink);
    if (reference.OpenCreateFileMapView(path) == 0 && walked.OpenCreateFileMapView(path) == 0) {
      orvane::AtomWalker walker(walked, 7);
      const uint32_t length = reference.m_lenSamplingDataInBuffer;
      uint32_t position = 0;
      while (position < length) {
        const orvane::SampleAtom expected = reference.GetSamplingAtom(position);
        const orvane::SampleAtom got = walker.Read(position);
        if (got.size != expected.size || got.state != expected.state ||
            got.count != expected.count) {
          __builtin_trap();
        }
        if (expected.size != 1 && expected.size != 2) break;
        position += expected.size;
      }
    }
  }
  if (fd >= 0) close(fd);
  return 0;
}
