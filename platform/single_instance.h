#pragma once
// One instance of a program per machine: an exclusive lock on a file named
// after the program in the runtime folder the driver daemon publishes its
// devices in (every user of the programs can reach that folder), held for
// the life of the process.

#include <string>

namespace velix::platform {

class SingleInstanceLock {
 public:
  SingleInstanceLock() = default;
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // Creates `folder` when missing and takes the lock on folder/name. False
  // when another process holds it (errno EWOULDBLOCK) or the lock file
  // cannot be made (errno says why).
  bool Acquire(const std::string& folder, const std::string& name);

 private:
  int fd_ = -1;
};

// The device runtime folder, or the temporary folder when that one neither
// exists nor can be created.
std::string InstanceLockFolder();

}  // namespace velix::platform
