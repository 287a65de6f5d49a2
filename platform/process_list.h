// Counting running processes by executable name, in place of the process snapshot functions.
#pragma once

#include <string>
#include <vector>

namespace platform {

enum class ProcessOwners {
  kAnyone,
  kOtherUsers,  // only processes that run as another user than the calling process
};

// Counts the processes under /proc whose executable's base name equals one of the names
// (exact and case-sensitive); a process matching several names counts once, and the calling
// process counts too (with ProcessOwners::kAnyone). The name comes from <pid>/exe (a " (deleted)"
// mark dropped), or, where that link is closed to us (another user's process), from argv[0] in
// <pid>/cmdline. Processes that give neither are skipped; an unreadable procRoot counts 0. A
// process's user is the owner of its <pid> folder. procRoot is for tests.
int CountProcessesNamed(const std::vector<std::string>& names,
                        const std::string& procRoot = "/proc",
                        ProcessOwners owners = ProcessOwners::kAnyone);

}  // namespace platform
