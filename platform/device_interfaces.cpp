// The device-interface enumeration: the interface sockets the daemon has
// published and that answer.
#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/device_file.h"
#include "platform/device_names.h"
#include "platform/runtime_folder.h"

namespace velix::platform {
namespace {

// A socket file left behind by a daemon that died does not accept.
bool Answers(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.data(), path.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  ::close(fd);
  return answers;
}

}  // namespace

std::vector<std::string> EnumerateDeviceInterfaces() {
  std::vector<std::string> paths;
  const std::string folder = DeviceRuntimeFolder();
  std::string untrusted;
  if (!CheckRuntimeFolder(folder, FolderUse::kConnect, &untrusted)) return paths;
  DIR* directory = ::opendir(folder.c_str());
  if (directory == nullptr) return paths;
  while (const dirent* entry = ::readdir(directory)) {
    const std::string name = entry->d_name;
    if (!IsInterfaceSocketName(name)) continue;
    const std::string path = folder + "/" + name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode) || !Answers(path)) continue;
    paths.push_back("\\\\?\\" + name);
  }
  ::closedir(directory);
  std::sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace velix::platform
