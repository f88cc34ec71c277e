#include "Orvane/interchange/sigrok_session_source.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "Orvane/interchange/tests/session_archive_builder.h"
#include "platform/tests/scratch_folder.h"

namespace velix::interchange {
namespace {

using testing::ArchiveEntry;
using testing::SampleBytes;
using testing::SessionEntries;
using testing::SessionPlan;
using velix::platform::testing::ReadFile;
using velix::platform::testing::ScratchFolder;
using velix::platform::testing::WriteFile;

std::string Text(const LevelChange& change) {
  return std::to_string(change.tick) + ":" + std::to_string(change.channel) + "=" + (change.level ? "1" : "0");
}

// The changes as the naive reading of the samples: every named probe at
// tick 0, then every named probe whose bit differs from the sample before.
std::vector<std::string> Reference(const SessionPlan& plan) {
  std::string bytes;
  for (const std::string& chunk : plan.chunks) bytes += chunk;
  std::vector<std::string> changes;
  uint64_t previous = 0;
  for (size_t tick = 0; tick * plan.unit_size < bytes.size(); ++tick) {
    uint64_t sample = 0;
    for (uint32_t i = 0; i < plan.unit_size; ++i) {
      sample |= uint64_t{static_cast<uint8_t>(bytes[tick * plan.unit_size + i])} << (8 * i);
    }
    uint32_t channel = 0;
    for (uint32_t bit = 0; bit < plan.probe_names.size(); ++bit) {
      if (plan.probe_names[bit].empty()) continue;
      if (tick == 0 || ((sample ^ previous) >> bit & 1) != 0) {
        changes.push_back(Text(LevelChange{tick, channel, (sample >> bit & 1) != 0}));
      }
      ++channel;
    }
    previous = sample;
  }
  return changes;
}

std::vector<std::string> ReadAll(LogicSource& source, size_t capacity) {
  std::vector<std::string> changes;
  std::vector<LevelChange> buffer(capacity);
  while (source.State() == SourceState::kReading) {
    const size_t got = source.Read(buffer.data(), capacity);
    EXPECT_TRUE(got > 0 || source.State() != SourceState::kReading);
    for (size_t i = 0; i < got; ++i) changes.push_back(Text(buffer[i]));
  }
  return changes;
}

class SigrokSessionTest : public ::testing::Test {
 protected:
  std::unique_ptr<LogicSource> Open(const std::vector<ArchiveEntry>& entries, std::string* error,
                                    uint64_t limit = kMaxSessionLogicBytes) {
    EXPECT_TRUE(testing::WriteZipArchive(path_, entries));
    return OpenWithLimit(limit, error);
  }
  std::unique_ptr<LogicSource> OpenWithLimit(uint64_t limit, std::string* error) {
    std::string why;
    std::unique_ptr<ZipArchive> archive = ZipArchive::OpenFile(path_, &why);
    if (archive == nullptr) {
      *error = why;
      return nullptr;
    }
    return OpenSigrokSession(std::move(archive), path_, limit, error);
  }

  ScratchFolder folder_;
  const std::string path_ = folder_.File("session.sr");
};

// Samples that stay put for runs of varied length and then change a few
// bits, named or not.
std::vector<uint64_t> RunSamples(size_t count, uint32_t unit_size, uint32_t seed) {
  std::mt19937 random(seed);
  const uint64_t all = unit_size == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * unit_size)) - 1;
  std::vector<uint64_t> samples;
  uint64_t sample = random() & all;
  while (samples.size() < count) {
    const size_t run = 1 + random() % 40;
    for (size_t i = 0; i < run && samples.size() < count; ++i) samples.push_back(sample);
    sample ^= (uint64_t{1} << random() % (8 * unit_size)) | (random() % 4 == 0 ? uint64_t{random()} & all : 0);
  }
  return samples;
}

std::vector<std::string> Names(uint32_t probes, uint32_t skip_every) {
  std::vector<std::string> names;
  for (uint32_t i = 0; i < probes; ++i) names.push_back(i % skip_every == 1 ? "" : "P" + std::to_string(i));
  return names;
}

struct ReadCase {
  std::string name;
  SessionPlan plan;
  size_t capacity;
  std::vector<std::string> channels;
};

TEST_F(SigrokSessionTest, StreamsTheChangesOfTheNamedChannels) {
  SessionPlan multi;
  multi.probe_names = {"SCL", "SDA"};
  multi.chunks = {SampleBytes({0, 0, 1, 3}, 1), SampleBytes({3, 2}, 1), SampleBytes({0xfe, 0x02}, 1)};
  SessionPlan single = multi;
  single.single_chunk = true;
  single.chunks = {multi.chunks[0] + multi.chunks[1] + multi.chunks[2]};
  SessionPlan stored = multi;
  stored.stored = true;
  SessionPlan wide;
  wide.unit_size = 2;
  wide.total_probes = 16;
  wide.probe_names = Names(16, 3);
  wide.chunks = {SampleBytes(RunSamples(3000, 2, 1), 2), SampleBytes(RunSamples(5000, 2, 2), 2)};
  SessionPlan odd;
  odd.unit_size = 3;
  odd.total_probes = 20;
  odd.probe_names = Names(20, 4);
  odd.chunks = {SampleBytes(RunSamples(20000, 3, 3), 3)};
  SessionPlan eight;
  eight.unit_size = 8;
  eight.total_probes = 64;
  eight.probe_names = Names(64, 5);
  eight.chunks = {SampleBytes(RunSamples(7000, 8, 4), 8), SampleBytes(RunSamples(9, 8, 5), 8)};
  SessionPlan four;
  four.unit_size = 4;
  four.total_probes = 30;
  four.probe_names = Names(30, 7);
  four.chunks = {SampleBytes(RunSamples(100000, 4, 6), 4)};
  SessionPlan bytes;
  bytes.probe_names = {"", "b1", "", "b3"};
  bytes.chunks = {SampleBytes(RunSamples(50000, 1, 7), 1), SampleBytes(RunSamples(1, 1, 8), 1)};

  const ReadCase cases[] = {
      {"several chunks", multi, 64, {"SCL", "SDA"}},
      {"one chunk named logic-1", single, 64, {"SCL", "SDA"}},
      {"stored entries", stored, 64, {"SCL", "SDA"}},
      {"one change per read", multi, 1, {"SCL", "SDA"}},
      {"two-byte samples", wide, 1000, {}},
      {"three-byte samples, reads cut through a sample's changes", odd, 7, {}},
      {"eight-byte samples", eight, 5000, {}},
      {"four-byte samples", four, 333, {}},
      {"one-byte samples, unnamed probes change unseen", bytes, 4096, {"b1", "b3"}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    std::unique_ptr<LogicSource> source = Open(SessionEntries(c.plan), &error);
    ASSERT_NE(source, nullptr) << error;
    if (!c.channels.empty()) {
      EXPECT_EQ(source->Channels(), c.channels);
    }
    EXPECT_EQ(ReadAll(*source, c.capacity), Reference(c.plan));
    EXPECT_EQ(source->State(), SourceState::kEnded) << source->Error();
    size_t bytes_total = 0;
    for (const std::string& chunk : c.plan.chunks) bytes_total += chunk.size();
    EXPECT_EQ(source->EndTick(), bytes_total / c.plan.unit_size);
  }
}

struct TickCase {
  std::string rate;
  uint64_t numerator;
  uint64_t denominator;
};

TEST_F(SigrokSessionTest, TickIsTheExactInverseOfTheSampleRate) {
  const TickCase cases[] = {
      {"10 Hz", 1, 10}, {"500 kHz", 1, 500000}, {"24 MHz", 1, 24000000},
      {"2 GHz", 1, 2000000000}, {"1.5 MHz", 1, 1500000}, {"50000000", 1, 50000000}, {"2.5 Hz", 2, 5},
  };
  for (const TickCase& c : cases) {
    SCOPED_TRACE(c.rate);
    SessionPlan plan;
    plan.sample_rate = c.rate;
    plan.chunks = {SampleBytes({1}, 1)};
    std::string error;
    std::unique_ptr<LogicSource> source = Open(SessionEntries(plan), &error);
    ASSERT_NE(source, nullptr) << error;
    EXPECT_EQ(source->Tick().numerator, c.numerator);
    EXPECT_EQ(source->Tick().denominator, c.denominator);
  }
}

struct RefusalCase {
  std::string message;  // after "<path>: "
  std::vector<ArchiveEntry> entries;
  uint64_t limit = kMaxSessionLogicBytes;
};

TEST_F(SigrokSessionTest, RefusesMalformedSessionsAtOpening) {
  SessionPlan plan;
  plan.chunks = {SampleBytes({1, 2}, 1), SampleBytes({3}, 1)};
  const std::string metadata = testing::SessionMetadataText(plan);
  SessionPlan two_bytes = plan;
  two_bytes.unit_size = 2;
  two_bytes.total_probes = 16;
  two_bytes.chunks = {SampleBytes({1, 2}, 2), "\x01\x02\x03"};
  std::vector<ArchiveEntry> gap = SessionEntries(plan);
  gap.push_back({"logic-1-4", "x"});
  std::vector<ArchiveEntry> both = SessionEntries(plan);
  both.push_back({"logic-1", "x"});
  std::vector<ArchiveEntry> version_1 = SessionEntries(plan);
  version_1[0].data = "1";
  std::vector<ArchiveEntry> no_version = SessionEntries(plan);
  no_version.erase(no_version.begin());
  std::vector<ArchiveEntry> no_metadata = SessionEntries(plan);
  no_metadata.erase(no_metadata.begin() + 1);
  std::vector<ArchiveEntry> big_version = SessionEntries(plan);
  big_version[0].data = std::string(17, '2');
  std::vector<ArchiveEntry> big_metadata = SessionEntries(plan, metadata + std::string(65536, '\n'));
  SessionPlan no_chunks = plan;
  no_chunks.chunks.clear();
  SessionPlan empty = plan;
  empty.chunks = {"", ""};
  SessionPlan wrong_capture = plan;
  std::string rate_missing = metadata;
  rate_missing.replace(rate_missing.find("samplerate="), 11, "rate=");

  const RefusalCase cases[] = {
      {"entry \"logic-1-3\" is missing", gap},
      {"entries \"logic-1\" and \"logic-1-N\" both claim the logic data", both},
      {"entry \"logic-1-2\" holds 3 bytes, not a whole number of 2-byte samples", SessionEntries(two_bytes)},
      {"session version \"1\" is not supported (only 2 is)", version_1},
      {"no entry \"version\"", no_version},
      {"no entry \"metadata\"", no_metadata},
      {"entry \"version\" is larger than 16 bytes", big_version},
      {"entry \"metadata\" is larger than 65536 bytes", big_metadata},
      {"no entry \"logic-1\" or \"logic-1-1\" holds logic data", SessionEntries(no_chunks)},
      {"the logic data hold no sample", SessionEntries(empty)},
      {"missing key \"samplerate\" in section \"device 1\"", SessionEntries(plan, rate_missing)},
      {"the logic data expand to more than 2 bytes, the most a sampling data file holds", SessionEntries(plan), 2},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.message);
    std::string error;
    EXPECT_EQ(Open(c.entries, &error, c.limit), nullptr);
    EXPECT_EQ(error, path_ + ": " + c.message);
  }
}

TEST_F(SigrokSessionTest, TheFileOpenerNamesTheFileItCannotRead) {
  const std::string missing = folder_.File("missing.sr");
  std::string error;
  EXPECT_EQ(OpenSigrokSessionSource(missing, &error), nullptr);
  EXPECT_EQ(error.rfind(missing + ": not a readable zip archive: ", 0), 0u) << error;
  WriteFile(path_, "not a zip archive at all");
  EXPECT_EQ(OpenSigrokSessionSource(path_, &error), nullptr);
  EXPECT_EQ(error.rfind(path_ + ": not a readable zip archive: ", 0), 0u) << error;
}

// Sets the uncompressed size of `name` in both its local header and the
// central directory, as a forged archive would state it.
void ForgeStatedSize(std::string* bytes, const std::string& name, uint32_t size) {
  const auto put = [&](size_t at) { std::memcpy(bytes->data() + at, &size, 4); };
  for (size_t at = 0; (at = bytes->find(name, at)) != std::string::npos; at += name.size()) {
    if (at >= 30 && bytes->compare(at - 30, 4, "PK\x03\x04") == 0) put(at - 30 + 22);
    if (at >= 46 && bytes->compare(at - 46, 4, "PK\x01\x02") == 0) put(at - 46 + 24);
  }
}

TEST_F(SigrokSessionTest, RefusesAChunkStoredTwice) {
  SessionPlan plan;
  plan.chunks = {SampleBytes({1}, 1), SampleBytes({2}, 1)};
  std::vector<ArchiveEntry> entries = SessionEntries(plan);
  entries.back().name = "logic-1-X";
  ASSERT_TRUE(testing::WriteZipArchive(path_, entries));
  std::string bytes = ReadFile(path_);
  for (size_t at = 0; (at = bytes.find("logic-1-X", at)) != std::string::npos;) bytes[at + 8] = '1';
  WriteFile(path_, bytes);
  std::string error;
  EXPECT_EQ(OpenSigrokSessionSource(path_, &error), nullptr);
  EXPECT_EQ(error, path_ + ": not a readable zip archive: two entries have the same name");
}

struct ForgedCase {
  uint32_t stated_size;
  std::string message;  // after "<path>: entry \"logic-1-1\": "
};

TEST_F(SigrokSessionTest, AnEntryOfAnotherSizeThanStatedFailsTheRead) {
  const ForgedCase cases[] = {
      {16, "holds more bytes than the archive states"},
      {100002, "holds fewer bytes than the archive states"},
  };
  for (const ForgedCase& c : cases) {
    SCOPED_TRACE(c.stated_size);
    SessionPlan plan;
    plan.chunks = {std::string(100000, '\0') + "\x01"};
    ASSERT_TRUE(testing::WriteZipArchive(path_, SessionEntries(plan)));
    std::string bytes = ReadFile(path_);
    ForgeStatedSize(&bytes, "logic-1-1", c.stated_size);
    WriteFile(path_, bytes);
    std::string error;
    std::unique_ptr<LogicSource> source = OpenWithLimit(200000, &error);
    ASSERT_NE(source, nullptr) << error;
    ReadAll(*source, 64);
    EXPECT_EQ(source->State(), SourceState::kFailed);
    EXPECT_EQ(source->Error(), path_ + ": entry \"logic-1-1\": " + c.message);
  }
}

}  // namespace
}  // namespace velix::interchange
