// Single instance: the lock in the runtime folder, then the process count.
#include "app/single_instance.h"

#include "app/application.h"
#include "platform/instance_lock.h"
#include "platform/process_list.h"

namespace {
// One lock for the release and the debug build: they count each other too.
constexpr const char* kInstanceLockName = "orvo-pedals-calibration";
}  // namespace

bool AnotherCopyRunning() {
  switch (platform::TakeInstanceLock(kInstanceLockName)) {
    case platform::InstanceLock::HeldElsewhere:
      return true;
    case platform::InstanceLock::Taken:
      // Every other copy of this user either holds the lock or has lost it and is about to end,
      // so counting them would only make two simultaneous starts refuse each other. Other
      // users' copies keep their own locks; the count still sees them.
      return platform::CountProcessesNamed(kExecutableNames, "/proc",
                                           platform::ProcessOwners::OtherUsers) > 0;
    case platform::InstanceLock::Unavailable:
      break;
  }
  // The count includes this process.
  return platform::CountProcessesNamed(kExecutableNames) > 1;
}
