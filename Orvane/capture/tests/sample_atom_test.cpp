#include "Orvane/capture/sample_atom.h"

#include <gtest/gtest.h>

#include "Orvane/capture/app_state.h"
#include "Orvane/capture/atom_walker.h"
#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/tests/sic_test_files.h"
#include "platform/recording_sink.h"

namespace orvane {
namespace {

struct AtomCase {
  const char* name;
  std::vector<uint8_t> bytes;  // at the position and after it
  bool odd;
  SampleAtom expected;
};

class AtomDecodeTest : public ::testing::TestWithParam<AtomCase> {};

TEST_P(AtomDecodeTest, DecodesAsTheDeviceEncodes) {
  const AtomCase& c = GetParam();
  const SampleAtom atom = DecodeAtom(c.bytes.data(), c.odd, c.bytes.size() >= 2);
  EXPECT_EQ(atom.size, c.expected.size);
  if (atom.size == 1 || atom.size == 2) {
    EXPECT_EQ(atom.state, c.expected.state);
    EXPECT_EQ(atom.count, c.expected.count);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Encoding, AtomDecodeTest,
    ::testing::Values(AtomCase{"OddShortZero", {0x10}, true, {1, 0, 0}},
                      AtomCase{"OddShortState5Count1", {0x35}, true, {1, 5, 1}},
                      AtomCase{"OddWithoutBit4IsMisaligned", {0x05}, true, {0, 0, 0}},
                      AtomCase{"EvenLongMaximum", {0xE3, 0xFF}, false, {2, 3, 2047}},
                      AtomCase{"EvenShortUsesLowByteOnly", {0xF3, 0x00}, false, {1, 3, 7}},
                      AtomCase{"EvenLongZero", {0x00, 0x00}, false, {2, 0, 0}},
                      AtomCase{"EvenShortIgnoresHighByte", {0x3F, 0xFF}, false, {1, 15, 1}},
                      AtomCase{"LongWithoutSecondByteIsCorrupt", {0x02}, false, {0, 0, 0}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(AtomEncodeTest, EncodersRoundTrip) {
  for (uint8_t state = 0; state < 16; ++state) {
    for (uint16_t count = 0; count <= kShortAtomMaxCount; ++count) {
      const uint8_t b = EncodeShortAtom(state, count);
      const SampleAtom atom = DecodeAtom(&b, true, false);
      EXPECT_EQ(atom.size, 1);
      EXPECT_EQ(atom.state, state);
      EXPECT_EQ(atom.count, count);
    }
    for (uint16_t count : {uint16_t{0}, uint16_t{1}, uint16_t{8}, uint16_t{1000}, uint16_t{2047}}) {
      const uint16_t w = EncodeLongAtom(state, count);
      const uint8_t bytes[2] = {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)};
      const SampleAtom atom = DecodeAtom(bytes, false);
      EXPECT_EQ(atom.size, 2);
      EXPECT_EQ(atom.state, state);
      EXPECT_EQ(atom.count, count);
    }
  }
}

// The batched walker must answer exactly like the per-atom reader.
TEST(AtomWalkerTest, AgreesWithGetSamplingAtomAcrossAWindowBoundary) {
  testing::ScratchFolder folder;
  // Long atoms with an odd short atom now and then, so the walk crosses the
  // 16 MiB boundary at varying parity, and a corrupt byte at the end.
  std::string data;
  data.reserve(kWindowSize + 8192);
  // The walk starts at an atom boundary shortly before the window ends.
  constexpr uint32_t kWalkFrom = kWindowSize - 1024 - 65536;
  uint32_t start = 0;
  uint32_t i = 0;
  while (data.size() < kWindowSize + 4096) {
    if (start == 0 && data.size() >= kWalkFrom) start = static_cast<uint32_t>(data.size());
    if (i % 5 == 0) {
      data += static_cast<char>(EncodeShortAtom(static_cast<uint8_t>(i & 15), i & 7));
      data += static_cast<char>(EncodeShortAtom(static_cast<uint8_t>(i & 15), 0));
    } else {
      const uint16_t w = EncodeLongAtom(static_cast<uint8_t>(i & 15), static_cast<uint16_t>(i & 2047));
      data += static_cast<char>(w & 0xFF);
      data += static_cast<char>(w >> 8);
    }
    ++i;
  }
  data += static_cast<char>(0x11);
  data += static_cast<char>(0x02);  // odd position, bit 4 clear
  const std::string path = folder.File("walk.SIC");
  testing::WriteFile(path, testing::SicBytes(DefaultSettingsRecord(), data));

  AppState app;
  velix::platform::RecordingSink sink;
  CSamplingObj reference(app, sink);
  CSamplingObj walked(app, sink);
  ASSERT_EQ(reference.OpenCreateFileMapView(path), 0u);
  ASSERT_EQ(walked.OpenCreateFileMapView(path), 0u);
  AtomWalker walker(walked, 1000);
  uint32_t position = start;
  SampleAtom expected;
  do {
    expected = reference.GetSamplingAtom(position);
    const SampleAtom got = walker.Read(position);
    ASSERT_EQ(got.size, expected.size) << position;
    ASSERT_EQ(got.state, expected.state) << position;
    ASSERT_EQ(got.count, expected.count) << position;
    position += expected.size;
  } while (expected.size == 1 || expected.size == 2);
  EXPECT_EQ(expected.size, kAtomAlignError);
  EXPECT_EQ(position, data.size() - 1);
}

}  // namespace
}  // namespace orvane
