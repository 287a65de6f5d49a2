// The single-instance lock: flock on a file in the runtime folder.
#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>

namespace platform {
namespace {

bool UsableFolder(const std::string& folder) {
  struct stat info {};
  return !folder.empty() && folder.front() == '/' && stat(folder.c_str(), &info) == 0 &&
         S_ISDIR(info.st_mode) && access(folder.c_str(), W_OK | X_OK) == 0;
}

// The descriptors of the locks this process holds, by path; never closed, since closing one
// would let go of its lock.
std::map<std::string, int>& HeldLocks() {
  static auto* held = new std::map<std::string, int>;
  return *held;
}
std::mutex& HeldLocksMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

// The user in the name, so that users sharing a temporary folder do not meet.
std::string LockPathIn(const std::string& folder, const std::string& name) {
  return folder + "/" + name + "-" + std::to_string(getuid()) + ".lock";
}

}  // namespace

std::string InstanceLockFolder(const std::function<const char*(const char*)>& environment) {
  if (const char* runtime = environment("XDG_RUNTIME_DIR"); runtime && UsableFolder(runtime))
    return runtime;
  if (const std::string own = "/run/user/" + std::to_string(getuid()); UsableFolder(own))
    return own;
  const char* tmp = environment("TMPDIR");
  if (tmp != nullptr && UsableFolder(tmp)) return tmp;
  return UsableFolder("/tmp") ? "/tmp" : "";
}

std::string InstanceLockPath(const std::string& name,
                             const std::function<const char*(const char*)>& environment) {
  const std::string folder = InstanceLockFolder(environment);
  return folder.empty() || name.empty() ? "" : LockPathIn(folder, name);
}

bool IsHeldInstanceLock(const std::string& path) {
  struct stat file {};
  if (stat(path.c_str(), &file) != 0) return false;
  std::lock_guard guard(HeldLocksMutex());
  return std::any_of(HeldLocks().begin(), HeldLocks().end(), [&](const auto& held) {
    struct stat lock {};
    return fstat(held.second, &lock) == 0 && lock.st_dev == file.st_dev &&
           lock.st_ino == file.st_ino;
  });
}

InstanceLock TakeInstanceLock(const std::string& name, const std::string& folder) {
  const std::string where = folder.empty() ? InstanceLockFolder() : folder;
  if (where.empty() || name.empty()) return InstanceLock::kUnavailable;
  const std::string path = LockPathIn(where, name);

  std::lock_guard guard(HeldLocksMutex());
  if (HeldLocks().contains(path)) return InstanceLock::kTaken;
  // O_NOFOLLOW: in a folder others may write in, a link planted under our name is refused.
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return InstanceLock::kUnavailable;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != getuid()) {
    close(fd);
    return InstanceLock::kUnavailable;  // not ours to lock: someone else made it
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    return error == EWOULDBLOCK ? InstanceLock::kHeldElsewhere : InstanceLock::kUnavailable;
  }
  HeldLocks().emplace(path, fd);
  return InstanceLock::kTaken;
}

}  // namespace platform
