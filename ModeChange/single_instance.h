#pragma once
// One tool instance per machine: an exclusive lock on the file "USBI2C" in
// the runtime folder the driver daemon publishes its devices in (every user
// of the tool can reach that folder), held for the life of the process.

#include <string>

namespace velix::modechange {

inline constexpr const char* kInstanceLockName = "USBI2C";

class SingleInstanceLock {
 public:
  SingleInstanceLock() = default;
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // Creates `folder` when missing and takes the lock on folder/name. False
  // when another process holds it or the lock file cannot be made.
  bool Acquire(const std::string& folder, const std::string& name = kInstanceLockName);

 private:
  int fd_ = -1;
};

// The device runtime folder, or the temporary folder when that one neither
// exists nor can be created.
std::string InstanceLockFolder();

}  // namespace velix::modechange
