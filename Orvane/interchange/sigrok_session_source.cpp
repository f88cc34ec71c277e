#include "Orvane/interchange/sigrok_session_source.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "Orvane/interchange/quoted_text.h"
#include "Orvane/interchange/sample_change_scanner.h"
#include "Orvane/interchange/session_metadata.h"

namespace velix::interchange {

namespace {

constexpr size_t kMaxVersionBytes = 16;
constexpr size_t kBufferSamples = 8192;

std::vector<uint32_t> ChannelBits(const SessionMetadata& metadata) {
  std::vector<uint32_t> bits;
  for (const SessionChannel& channel : metadata.channels) bits.push_back(channel.bit);
  return bits;
}

std::vector<std::string> ChannelNames(const SessionMetadata& metadata) {
  std::vector<std::string> names;
  for (const SessionChannel& channel : metadata.channels) names.push_back(channel.name);
  return names;
}

bool CheckVersion(ZipArchive& archive, std::string* error) {
  std::string version;
  if (!archive.ReadSmallEntry("version", kMaxVersionBytes, &version, error)) return false;
  const size_t end = version.find_last_not_of(" \t\r\n");
  version.resize(end == std::string::npos ? 0 : end + 1);
  if (version != "2") {
    *error = "session version " + QuotedText(version) + " is not supported (only 2 is)";
    return false;
  }
  return true;
}

class SigrokSessionSource final : public LogicSource {
 public:
  SigrokSessionSource(std::unique_ptr<ZipArchive> archive, std::string name, const SessionMetadata& metadata,
                      std::vector<SessionChunk> chunks)
      : archive_(std::move(archive)),
        name_(std::move(name)),
        channels_(ChannelNames(metadata)),
        tick_(metadata.tick),
        unit_size_(metadata.unit_size),
        chunks_(std::move(chunks)),
        buffer_(kBufferSamples * metadata.unit_size),
        scanner_(metadata.unit_size, ChannelBits(metadata)) {}

  const std::vector<std::string>& Channels() const override { return channels_; }
  TickLength Tick() const override { return tick_; }
  SourceState State() const override { return state_; }
  uint64_t EndTick() const override { return end_tick_; }
  const std::string& Error() const override { return error_; }

  size_t Read(LevelChange* out, size_t capacity) override {
    size_t written = 0;
    while (state_ == SourceState::kReading && scanner_.Flush(out, capacity, &written) && written < capacity) {
      if (end_ - begin_ < unit_size_) {
        Refill();
        continue;
      }
      const size_t consumed = scanner_.Scan(buffer_.data() + begin_, (end_ - begin_) / unit_size_, out,
                                            capacity, &written);
      begin_ += consumed * unit_size_;
    }
    return written;
  }

 private:
  // Moves a partial sample to the front and reads more of the current
  // chunk behind it, or steps to the next chunk, or ends.
  void Refill() {
    const size_t partial = end_ - begin_;
    std::memmove(buffer_.data(), buffer_.data() + begin_, partial);
    begin_ = 0;
    end_ = partial;
    if (!chunk_open_) {
      if (next_chunk_ == chunks_.size()) {
        end_tick_ = scanner_.SampleCount();
        state_ = SourceState::kEnded;
        archive_->CloseEntry();
        return;
      }
      std::string why;
      if (!archive_->OpenEntry(chunks_[next_chunk_].index, &why)) return Fail(why);
      chunk_open_ = true;
      chunk_bytes_ = 0;
    }
    const SessionChunk& chunk = chunks_[next_chunk_];
    // The stated size is all that is trusted: reading asks for one byte
    // past it at most, so an entry cannot expand beyond the limit checked
    // at opening.
    const size_t room = static_cast<size_t>(std::min<uint64_t>(buffer_.size() - end_, chunk.size - chunk_bytes_ + 1));
    std::string why;
    const int64_t got = archive_->ReadEntry(buffer_.data() + end_, room, &why);
    if (got < 0) return Fail(why);
    chunk_bytes_ += static_cast<uint64_t>(got);
    end_ += static_cast<size_t>(got);
    if (chunk_bytes_ > chunk.size) return Fail("holds more bytes than the archive states");
    if (got == 0) {
      if (chunk_bytes_ != chunk.size) return Fail("holds fewer bytes than the archive states");
      chunk_open_ = false;
      ++next_chunk_;
    }
  }

  void Fail(const std::string& why) {
    error_ = name_ + ": entry " + QuotedText(chunks_[next_chunk_].name) + ": " + why;
    state_ = SourceState::kFailed;
    archive_->CloseEntry();
  }

  std::unique_ptr<ZipArchive> archive_;
  const std::string name_;
  const std::vector<std::string> channels_;
  const TickLength tick_;
  const uint32_t unit_size_;
  const std::vector<SessionChunk> chunks_;
  std::vector<uint8_t> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  size_t next_chunk_ = 0;
  bool chunk_open_ = false;
  uint64_t chunk_bytes_ = 0;
  SampleChangeScanner scanner_;
  SourceState state_ = SourceState::kReading;
  uint64_t end_tick_ = 0;
  std::string error_;
};

}  // namespace

std::unique_ptr<LogicSource> OpenSigrokSession(std::unique_ptr<ZipArchive> archive, const std::string& name,
                                               uint64_t max_logic_bytes, std::string* error) {
  std::string why;
  std::string metadata_text;
  SessionMetadata metadata;
  std::vector<SessionChunk> chunks;
  if (!CheckVersion(*archive, &why) ||
      !archive->ReadSmallEntry("metadata", kMaxMetadataBytes, &metadata_text, &why) ||
      !ParseSessionMetadata(metadata_text, &metadata, &why) ||
      !ListSessionChunks(*archive, metadata.capture_file, metadata.unit_size, max_logic_bytes, &chunks, &why)) {
    *error = name + ": " + why;
    return nullptr;
  }
  return std::make_unique<SigrokSessionSource>(std::move(archive), name, metadata, std::move(chunks));
}

std::unique_ptr<LogicSource> OpenSigrokSessionSource(const std::string& path, std::string* error) {
  std::string why;
  std::unique_ptr<ZipArchive> archive = ZipArchive::OpenFile(path, &why);
  if (archive == nullptr) {
    *error = path + ": not a readable zip archive: " + why;
    return nullptr;
  }
  return OpenSigrokSession(std::move(archive), path, kMaxSessionLogicBytes, error);
}

}  // namespace velix::interchange
