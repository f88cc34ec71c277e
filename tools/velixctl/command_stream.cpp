// velixctl stream: a streaming run in the driver's client order.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "tools/velixctl/command_options.h"
#include "tools/velixctl/commands.h"
#include "tools/velixctl/requests.h"
#include "tools/velixctl/stream_session.h"

namespace velix::ctl {
namespace {

class SaveFile {
 public:
  ~SaveFile() {
    if (file_ != nullptr) std::fclose(file_);
  }
  bool Open(const std::string& path) {
    path_ = path;
    file_ = std::fopen(path.c_str(), "wb");
    return Report(file_ != nullptr);
  }
  bool Write(std::span<const uint8_t> bytes) {
    return file_ == nullptr || Report(std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size());
  }
  bool Close() {
    if (file_ == nullptr) return true;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return Report(closed);
  }

 private:
  bool Report(bool ok) {
    if (!ok) std::fprintf(stderr, "velixctl: cannot write %s: %s\n", path_.c_str(), std::strerror(errno));
    return ok;
  }
  std::string path_;
  std::FILE* file_ = nullptr;
};

}  // namespace

int RunStreamCommand(const CommandLine& line) {
  StreamOptions options;
  std::string error;
  if (!ParseStreamArguments(line, &options, &error)) return UsageError(error);
  SaveFile save;
  if (const std::optional<std::string> path = line.Value("save"); path && !save.Open(*path)) {
    return kExitFailed;
  }
  const std::unique_ptr<DeviceFileChannel> channel = OpenDeviceOrReport(line);
  if (!channel) return kExitNoDevice;

  const StreamResult result =
      RunStream(*channel, options, [&save](std::span<const uint8_t> bytes) { return save.Write(bytes); });
  std::string text;
  AppendStreamResult(&text, result);
  AppendDriverStatus(&text, *channel);
  std::fputs(text.c_str(), stdout);
  const bool saved = save.Close();
  return result.failure || result.start_status || !saved ? kExitFailed : kExitOk;
}

}  // namespace velix::ctl
