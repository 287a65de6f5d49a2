// Single instance: the lock in the runtime folder, then the copies that started earlier, and
// other users' copies by count.
#include "app/single_instance.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "platform/instance_lock.h"
#include "platform/process_list.h"

namespace app {

namespace {
// One lock for the release and the debug build: they count each other too.
constexpr const char* kInstanceLockName = "orvo-pedals-calibration";

// The names the check counts. The release and the debug executable count each other; a copy run
// under a name of its own (the end-to-end tests run one) counts only copies of that name, and
// locks under it, so that it neither blocks nor is blocked by the program that others run.
std::vector<std::string> InstanceNames() {
  std::error_code error;
  const std::string self =
      std::filesystem::read_symlink("/proc/self/exe", error).filename().string();
  if (error || self.empty() ||
      std::find(kExecutableNames.begin(), kExecutableNames.end(), self) != kExecutableNames.end()) {
    return kExecutableNames;
  }
  return {self};
}

// Whether the copy started earlier than this process is one that contends for the lock this
// process holds, and so has lost it or will lose it: it runs this executable file, its own
// environment gives it this lock file, and it holds no other lock file of this name open (it
// started while the lock's folder lay elsewhere, or the file was removed and made again since).
bool ContendsForOurLock(const platform::ProcessEntry& copy, const platform::ProcessEntry* self,
                        const std::string& lockName) {
  if (self == nullptr || !platform::SameExecutable(copy, *self)) return false;
  const auto environment = platform::ProcessEnvironment(copy);
  if (!environment) return false;
  const std::string theirs =
      platform::InstanceLockPath(lockName, [&](const char* name) -> const char* {
        const auto found = environment->find(name);
        return found == environment->end() ? nullptr : found->second.c_str();
      });
  if (theirs.empty() || !platform::IsHeldInstanceLock(theirs)) return false;
  const std::string fileName = std::filesystem::path(theirs).filename().string();
  const std::vector<platform::OpenFile> files = platform::ProcessOpenFiles(copy);
  return std::none_of(files.begin(), files.end(), [&](const platform::OpenFile& file) {
    return std::filesystem::path(file.path).filename() == fileName &&
           !platform::IsHeldInstanceLock(file.link);
  });
}

// With the lock taken: whether a copy of this user that started earlier (by start time, then
// pid) runs. The lock alone does not tell: its folder comes from the environment, so two starts
// may lock two files, and an older version of the program takes none.
bool AnEarlierCopyRuns(const std::vector<platform::ProcessEntry>& copies,
                       const std::string& lockName) {
  const auto self = std::find_if(copies.begin(), copies.end(),
                                 [](const platform::ProcessEntry& p) { return p.pid == getpid(); });
  const platform::ProcessEntry* ours = self == copies.end() ? nullptr : &*self;
  // Listed in start order: the copies before this one started earlier.
  for (auto copy = copies.begin(); copy != self; ++copy) {
    if (copy->uid != getuid()) continue;  // counted apart
    // Read first, then seen to run still: one that ended meanwhile (a copy that lost) is no copy.
    if (!ContendsForOurLock(*copy, ours, lockName) && platform::StillRunning(*copy)) return true;
  }
  return false;
}

}  // namespace

bool AnotherCopyRunning() {
  const std::vector<std::string> names = InstanceNames();
  const std::string lockName = names == kExecutableNames ? kInstanceLockName : names.front();
  switch (platform::TakeInstanceLock(lockName)) {
    case platform::InstanceLock::kHeldElsewhere: return true;
    case platform::InstanceLock::kTaken: {
      const std::vector<platform::ProcessEntry> copies = platform::ListProcessesNamed(names);
      // Other users' copies keep their own locks; only the count sees them.
      return platform::CountProcessesOf(copies, platform::ProcessOwners::kOtherUsers) > 0 ||
             AnEarlierCopyRuns(copies, lockName);
    }
    case platform::InstanceLock::kUnavailable: break;
  }
  // The count includes this process.
  return platform::CountProcessesNamed(names) > 1;
}

}  // namespace app
