#include "Orvane/interchange/zip_archive.h"

#include <zip.h>

namespace velix::interchange {

namespace {

// Reads only; the consistency check compares each local header with the
// central directory, so an archive whose two copies of an entry disagree
// is refused before any of its data are trusted.
constexpr int kOpenFlags = ZIP_RDONLY | ZIP_CHECKCONS;

// Takes the source over: it is freed with the archive, or here on failure.
zip* OpenSource(zip_source_t* source, zip_error_t* status, std::string* error) {
  zip* archive = source == nullptr ? nullptr : zip_open_from_source(source, kOpenFlags, status);
  if (archive == nullptr) {
    if (source != nullptr) zip_source_free(source);
    // libzip's own text for a repeated entry name speaks of creating files.
    *error = zip_error_code_zip(status) == ZIP_ER_EXISTS ? "two entries have the same name"
                                                         : zip_error_strerror(status);
  }
  return archive;
}

std::unique_ptr<ZipArchive> Wrapped(zip* archive, zip_error_t* status) {
  zip_error_fini(status);
  return archive == nullptr ? nullptr : std::unique_ptr<ZipArchive>(new ZipArchive(archive));
}

}  // namespace

std::unique_ptr<ZipArchive> ZipArchive::OpenFile(const std::string& path, std::string* error) {
  zip_error_t status;
  zip_error_init(&status);
  return Wrapped(OpenSource(zip_source_file_create(path.c_str(), 0, -1, &status), &status, error), &status);
}

std::unique_ptr<ZipArchive> ZipArchive::OpenMemory(std::span<const uint8_t> bytes, std::string* error) {
  zip_error_t status;
  zip_error_init(&status);
  return Wrapped(OpenSource(zip_source_buffer_create(bytes.data(), bytes.size(), 0, &status), &status, error),
                 &status);
}

ZipArchive::~ZipArchive() {
  CloseEntry();
  zip_discard(archive_);
}

uint64_t ZipArchive::EntryCount() const {
  const zip_int64_t count = zip_get_num_entries(archive_, 0);
  return count < 0 ? 0 : static_cast<uint64_t>(count);
}

std::string_view ZipArchive::EntryName(uint64_t index) const {
  const char* name = zip_get_name(archive_, index, ZIP_FL_ENC_RAW);
  return name == nullptr ? std::string_view() : std::string_view(name);
}

bool ZipArchive::FindEntry(const std::string& name, uint64_t* index) const {
  const zip_int64_t found = zip_name_locate(archive_, name.c_str(), ZIP_FL_ENC_RAW);
  if (found < 0) return false;
  *index = static_cast<uint64_t>(found);
  return true;
}

bool ZipArchive::EntrySize(uint64_t index, uint64_t* size, std::string* error) const {
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(archive_, index, 0, &stat) != 0) {
    *error = zip_strerror(archive_);
    return false;
  }
  if ((stat.valid & ZIP_STAT_SIZE) == 0) {
    *error = "the archive states no size for the entry";
    return false;
  }
  *size = stat.size;
  return true;
}

bool ZipArchive::ReadSmallEntry(const std::string& name, size_t max_bytes, std::string* text,
                                std::string* error) {
  uint64_t index = 0;
  if (!FindEntry(name, &index)) {
    *error = "no entry \"" + name + "\"";
    return false;
  }
  uint64_t size = 0;
  if (!EntrySize(index, &size, error)) return false;
  if (size > max_bytes) {
    *error = "entry \"" + name + "\" is larger than " + std::to_string(max_bytes) + " bytes";
    return false;
  }
  if (!OpenEntry(index, error)) return false;
  // One byte more than stated shows an entry longer than its directory says.
  text->assign(static_cast<size_t>(size) + 1, '\0');
  size_t filled = 0;
  for (;;) {
    const int64_t got = ReadEntry(reinterpret_cast<uint8_t*>(text->data()) + filled, text->size() - filled, error);
    if (got < 0) return false;
    if (got == 0) break;
    filled += static_cast<size_t>(got);
    if (filled == text->size()) {
      *error = "entry \"" + name + "\" is longer than the archive states";
      CloseEntry();
      return false;
    }
  }
  CloseEntry();
  text->resize(filled);
  return true;
}

bool ZipArchive::OpenEntry(uint64_t index, std::string* error) {
  CloseEntry();
  entry_ = zip_fopen_index(archive_, index, 0);
  if (entry_ == nullptr) {
    *error = zip_strerror(archive_);
    return false;
  }
  return true;
}

int64_t ZipArchive::ReadEntry(uint8_t* buffer, size_t capacity, std::string* error) {
  const zip_int64_t got = zip_fread(entry_, buffer, capacity);
  if (got < 0) {
    *error = zip_file_strerror(entry_);
    CloseEntry();
    return -1;
  }
  return got;
}

void ZipArchive::CloseEntry() {
  if (entry_ != nullptr) zip_fclose(entry_);
  entry_ = nullptr;
}

}  // namespace velix::interchange
