#include "Orvane/interchange/session_chunks.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

#include "Orvane/interchange/quoted_text.h"

namespace velix::interchange {

namespace {

// The number after "<capture file>-", written plainly (no sign, no leading
// zeros) so that two names cannot mean the same chunk.
bool ChunkNumber(std::string_view name, std::string_view prefix, uint64_t* number) {
  if (!name.starts_with(prefix)) return false;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.empty() || digits.front() == '0') return false;
  const auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), *number);
  return status == std::errc() && end == digits.data() + digits.size();
}

bool FindChunks(const ZipArchive& archive, const std::string& capture_file, std::vector<SessionChunk>* chunks,
                std::string* error) {
  const std::string prefix = capture_file + "-";
  std::vector<std::pair<uint64_t, uint64_t>> numbered;  // number, archive index
  bool single = false;
  uint64_t single_index = 0;
  for (uint64_t index = 0; index < archive.EntryCount(); ++index) {
    const std::string_view name = archive.EntryName(index);
    uint64_t number = 0;
    if (name == capture_file) {
      if (single) {
        *error = "entry " + QuotedText(name) + " appears twice";
        return false;
      }
      single = true;
      single_index = index;
    } else if (ChunkNumber(name, prefix, &number)) {
      numbered.emplace_back(number, index);
    }
  }
  if (single && !numbered.empty()) {
    *error = "entries " + QuotedText(capture_file) + " and " + QuotedText(prefix + "N") +
             " both claim the logic data";
    return false;
  }
  if (single) {
    chunks->push_back(SessionChunk{capture_file, single_index, 0});
    return true;
  }
  if (numbered.empty()) {
    *error = "no entry " + QuotedText(capture_file) + " or " + QuotedText(prefix + "1") + " holds logic data";
    return false;
  }
  std::sort(numbered.begin(), numbered.end());
  for (size_t i = 0; i < numbered.size(); ++i) {
    const std::string name = prefix + std::to_string(i + 1);
    if (numbered[i].first != i + 1) {
      *error = numbered[i].first == i ? "entry " + QuotedText(prefix + std::to_string(i)) + " appears twice"
                                      : "entry " + QuotedText(name) + " is missing";
      return false;
    }
    chunks->push_back(SessionChunk{name, numbered[i].second, 0});
  }
  return true;
}

}  // namespace

bool ListSessionChunks(const ZipArchive& archive, const std::string& capture_file, uint32_t unit_size,
                       uint64_t max_total_bytes, std::vector<SessionChunk>* chunks, std::string* error) {
  chunks->clear();
  if (!FindChunks(archive, capture_file, chunks, error)) return false;
  uint64_t total = 0;
  for (SessionChunk& chunk : *chunks) {
    if (!archive.EntrySize(chunk.index, &chunk.size, error)) {
      *error = "entry " + QuotedText(chunk.name) + ": " + *error;
      return false;
    }
    if (chunk.size % unit_size != 0) {
      *error = "entry " + QuotedText(chunk.name) + " holds " + std::to_string(chunk.size) +
               " bytes, not a whole number of " + std::to_string(unit_size) + "-byte samples";
      return false;
    }
    if (__builtin_add_overflow(total, chunk.size, &total) || total > max_total_bytes) {
      *error = "the logic data expand to more than " + std::to_string(max_total_bytes) +
               " bytes, the most a sampling data file holds";
      return false;
    }
  }
  if (total == 0) {
    *error = "the logic data hold no sample";
    return false;
  }
  return true;
}

}  // namespace velix::interchange
