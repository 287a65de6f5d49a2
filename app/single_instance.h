// The start-up's single-instance check: the user's own copies are told apart by a lock taken
// before counting, so that of two copies started at the same moment exactly one runs.
#pragma once

#include <string>
#include <vector>

namespace app {

// The Linux names of the release and the debug executable, counted by the single-instance check.
inline const std::vector<std::string> kExecutableNames{"orvo-pedals-calibrationd",
                                                       "orvo-pedals-calibration"};

// True when this copy must not start: another copy of the program runs, also one of another
// user, or has just won a start made at the same moment. A false answer holds the lock until the
// process ends. Without a folder for the lock it falls back to counting processes alone.
bool AnotherCopyRunning();

}  // namespace app
