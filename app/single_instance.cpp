// Single instance: the lock in the runtime folder, then the process count.
#include "app/single_instance.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/application.h"
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
}  // namespace

bool AnotherCopyRunning() {
  const std::vector<std::string> names = InstanceNames();
  const std::string lockName = names == kExecutableNames ? kInstanceLockName : names.front();
  switch (platform::TakeInstanceLock(lockName)) {
    case platform::InstanceLock::kHeldElsewhere: return true;
    case platform::InstanceLock::kTaken:
      // Every other copy of this user either holds the lock or has lost it and is about to end,
      // so counting them would only make two simultaneous starts refuse each other. Other
      // users' copies keep their own locks; the count still sees them.
      return platform::CountProcessesNamed(names, "/proc", platform::ProcessOwners::kOtherUsers) >
             0;
    case platform::InstanceLock::kUnavailable: break;
  }
  // The count includes this process.
  return platform::CountProcessesNamed(names) > 1;
}

}  // namespace app
