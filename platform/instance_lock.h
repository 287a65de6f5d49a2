// The lock that tells copies of the program of one user apart when they start at the same moment:
// an exclusive flock on a file in the user's runtime folder, held until the process ends.
#pragma once

#include <cstdlib>
#include <functional>
#include <string>

namespace platform {

enum class InstanceLock {
  kTaken,          // this process holds it now, until it ends
  kHeldElsewhere,  // another process holds it: a copy runs, or is starting and has won
  kUnavailable,    // no folder to keep it in, or the file cannot be opened: nothing is known
};

// The lock file of name for a process with this environment: "<name>-<uid>.lock" in its
// InstanceLockFolder. Empty when no folder will do. What another process of this user gives its
// own environment is the file it takes.
std::string InstanceLockPath(
    const std::string& name,
    const std::function<const char*(const char*)>& environment = std::getenv);

// Whether path reaches (links followed) the very file of a lock this process holds: the same
// device and inode, which a lock file removed and made again since does not have.
bool IsHeldInstanceLock(const std::string& path);

// Takes the lock name (file "<name>-<uid>.lock") without waiting. The descriptor stays open, and
// so the lock held, until the process ends, however it ends: the kernel lets go of it then. It
// is not passed to programs this one starts. Taking a lock this process holds already gives
// Taken again. folder: where the file lives; empty for InstanceLockFolder().
InstanceLock TakeInstanceLock(const std::string& name, const std::string& folder = "");

// $XDG_RUNTIME_DIR when it is an absolute path to a folder we may write in, else
// /run/user/<uid> on the same terms (the same folder, for a process started without the
// variable), else the temporary folder ($TMPDIR or /tmp). Empty when none will do.
// environment: looks a variable up, null when unset; tests give their own.
std::string InstanceLockFolder(
    const std::function<const char*(const char*)>& environment = std::getenv);

}  // namespace platform
