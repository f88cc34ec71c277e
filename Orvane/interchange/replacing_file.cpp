#include "Orvane/interchange/replacing_file.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/temporary_copies.h"

namespace velix::interchange {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string SystemError(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Discard() {
  if (temporary_.empty()) return;
  ::unlink(temporary_.c_str());
  platform::ForgetTemporaryCopy(temporary_);
  temporary_.clear();
}

bool ReplacingFile::Create(const std::string& target, std::string* error) {
  Discard();
  target_ = target;
  std::string pattern = FolderOf(target) + "/.orvane-convert-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    *error = SystemError("cannot create a file in", FolderOf(target));
    return false;
  }
  temporary_ = name.data();
  platform::RememberTemporaryCopy(temporary_);
  // mkstemp makes the file private; the result gets the permissions any
  // new file of the user would get.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const bool ok = ::fchmod(fd, 0666 & ~mask) == 0;
  if (!ok) *error = SystemError("cannot set the permissions of", temporary_);
  ::close(fd);
  if (!ok) Discard();
  return ok;
}

std::string ReplacingFile::InTargetTerms(std::string message) const {
  const size_t at = temporary_.empty() ? std::string::npos : message.find(temporary_);
  if (at != std::string::npos) message.replace(at, temporary_.size(), target_);
  return message;
}

bool ReplacingFile::Commit(std::string* error) {
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
    *error = SystemError("cannot write", target_);
    Discard();
    return false;
  }
  platform::ForgetTemporaryCopy(temporary_);
  temporary_.clear();
  return true;
}

}  // namespace velix::interchange
