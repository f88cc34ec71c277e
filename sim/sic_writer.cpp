#include "sim/sic_writer.h"

#include <cerrno>
#include <cstring>

#include "Orvane/capture/sic_header.h"

namespace velix::sim {
namespace {

// "cannot write PATH: <the system's reason>".
std::string WriteError(const std::string& path, int code) {
  return "cannot write " + path + (code != 0 ? std::string(": ") + std::strerror(code) : std::string());
}

}  // namespace

SicFileWriter::~SicFileWriter() {
  if (file_ != nullptr) std::fclose(file_);
}

bool SicFileWriter::WriteHeader(const orvane::SettingsRecord& settings) {
  const orvane::SicHeader header = orvane::BuildSicHeader(settings);
  return std::fwrite(header.data(), 1, header.size(), file_) == header.size();
}

bool SicFileWriter::Open(const std::string& path, const orvane::SettingsRecord& settings, std::string* error) {
  path_ = path;
  errno = 0;
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr || !WriteHeader(settings)) {
    failed_ = true;
    *error = WriteError(path, errno);
    return false;
  }
  return true;
}

ChunkSink SicFileWriter::DataSink() {
  return [this](const uint8_t* data, size_t size) {
    if (!failed_ && std::fwrite(data, 1, size, file_) != size) {
      failed_ = true;
      errno_ = errno;
    }
    data_bytes_ += size;
    return !failed_;
  };
}

bool SicFileWriter::Finish(orvane::SettingsRecord settings, std::string* error) {
  if (data_bytes_ > 0xFFFFFFFFULL) {
    *error = "the data do not fit a sampling data file (over 4 GiB)";
    return false;
  }
  settings.m_sizeSamplingBuf = static_cast<uint32_t>(data_bytes_);
  errno = 0;
  const bool ok = !failed_ && std::fseek(file_, 0, SEEK_SET) == 0 && WriteHeader(settings);
  if (!failed_ && !ok) errno_ = errno;
  const bool closed = std::fclose(file_) == 0;
  if (ok && !closed) errno_ = errno;
  file_ = nullptr;
  if (!ok || !closed) {
    failed_ = true;
    *error = WriteError(path_, errno_);
    return false;
  }
  return true;
}

}  // namespace velix::sim
