// Running processes by executable name, with a scan of /proc, in place of the process snapshot
// functions; and what the single-instance check reads of one of them.
#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class ProcessOwners {
  kAnyone,
  kOtherUsers,  // only processes that run as another user than the calling process
};

struct ProcessEntry {
  pid_t pid = 0;
  uid_t uid = 0;  // the owner of its <pid> folder: the user it runs as
  // Clock ticks from boot to its start (field 22 of <pid>/stat); 0 when that cannot be read.
  unsigned long long startTime = 0;
  std::string folder;  // <procRoot>/<pid>
};

// The processes under procRoot whose executable's base name equals one of the names (exact and
// case-sensitive), the calling process among them, ordered by start time, then by pid. The name
// comes from <pid>/exe (a " (deleted)" mark dropped), or, where that link is closed to us
// (another user's process), from argv[0] in <pid>/cmdline. Processes that give neither are
// skipped; an unreadable procRoot lists none. procRoot is for tests.
std::vector<ProcessEntry> ListProcessesNamed(const std::vector<std::string>& names,
                                             const std::string& procRoot = "/proc");

// How many of the processes are of the owners asked for.
int CountProcessesOf(const std::vector<ProcessEntry>& processes, ProcessOwners owners);

// The number of processes ListProcessesNamed lists, of the owners asked for; a process matching
// several names counts once.
int CountProcessesNamed(const std::vector<std::string>& names,
                        const std::string& procRoot = "/proc",
                        ProcessOwners owners = ProcessOwners::kAnyone);

// The environment the process was started with (<pid>/environ); nullopt when it cannot be read
// (another user's process, or one that has gone). An entry without "=" is dropped.
std::optional<std::map<std::string, std::string>> ProcessEnvironment(const ProcessEntry& process);

struct OpenFile {
  std::string link;  // <pid>/fd/<n>: stat() on it reaches the file itself, even a removed one
  std::string path;  // where the file was opened, a " (deleted)" mark dropped
};
// The process's open descriptors; none when they cannot be read.
std::vector<OpenFile> ProcessOpenFiles(const ProcessEntry& process);

// Whether the process is still the one listed and still runs: the same start time, not a
// zombie, and its executable still there (a process that is ending lets go of it first). Asked
// after the rest has been read, a true answer says that what was read came from a running process.
bool StillRunning(const ProcessEntry& process);

// Whether the two processes run the same executable file (device and inode of <pid>/exe), even
// one removed or replaced since; false when either cannot be read.
bool SameExecutable(const ProcessEntry& a, const ProcessEntry& b);

}  // namespace platform
