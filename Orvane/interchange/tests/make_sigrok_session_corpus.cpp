// Writes the seed archives of the session reader's fuzz target into the
// folder given: small valid sessions of each shape the reader accepts, and
// one metadata text alone.

#include <cstdio>
#include <fstream>
#include <string>

#include "Orvane/interchange/tests/session_archive_builder.h"

using velix::interchange::testing::SampleBytes;
using velix::interchange::testing::SessionEntries;
using velix::interchange::testing::SessionMetadataText;
using velix::interchange::testing::SessionPlan;
using velix::interchange::testing::WriteZipArchive;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sigrok_session_corpus FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  SessionPlan chunks;
  chunks.probe_names = {"SCL", "SDA"};
  chunks.chunks = {SampleBytes({3, 1, 0, 2, 3}, 1), SampleBytes({3, 3, 1}, 1)};
  SessionPlan single = chunks;
  single.single_chunk = true;
  single.chunks = {chunks.chunks[0] + chunks.chunks[1]};
  single.stored = true;
  single.sample_rate = "1.5 MHz";
  SessionPlan wide;
  wide.unit_size = 2;
  wide.total_probes = 16;
  wide.probe_names = {"CS", "SCLK", "MOSI", "MISO", "", "", "", "", "", "", "", "", "", "", "", "X"};
  wide.sample_rate = "50000000";
  wide.chunks = {SampleBytes({0xffff, 0x0002, 0x8006, 0x000e}, 2)};
  bool written = WriteZipArchive(folder + "chunks", SessionEntries(chunks));
  written = WriteZipArchive(folder + "single_stored", SessionEntries(single)) && written;
  written = WriteZipArchive(folder + "two_byte", SessionEntries(wide)) && written;
  written = static_cast<bool>(std::ofstream(folder + "metadata_text") << SessionMetadataText(wide)) && written;
  return written ? 0 : 1;
}
