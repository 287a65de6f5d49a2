// Running processes by executable name, with a scan of /proc.
#include "platform/process_list.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string_view>
#include <system_error>
#include <tuple>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

bool IsProcessDirectoryName(const std::string& name) {
  return !name.empty() &&
         std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string BaseName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

constexpr std::string_view kDeleted = " (deleted)";

// The target of a link under <pid>: an executable or an open file replaced or removed since
// reads "<path> (deleted)"; its name is still the one it was opened under.
std::optional<std::string> LinkTarget(const fs::path& link) {
  std::array<char, 4096> buffer{};
  const ssize_t length = readlink(link.c_str(), buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return std::nullopt;
  std::string target(buffer.data(), static_cast<std::size_t>(length));
  if (target.ends_with(kDeleted)) target.resize(target.size() - kDeleted.size());
  return target;
}

// Another user's exe link is closed to us, but its command line is not, and the snapshot this
// scan replaces sees every user's processes. argv[0] is the path the program was started by.
// comm is no use here: it is cut to 15 characters, shorter than our executable names.
std::optional<std::string> ExecutableFromCommandLine(const fs::path& processDir) {
  std::ifstream in(processDir / "cmdline", std::ios::binary);
  if (!in) return std::nullopt;
  std::string argv0;
  std::getline(in, argv0, '\0');
  if (argv0.empty()) return std::nullopt;  // kernel threads and zombies have no command line
  return argv0;
}

// State (field 3) and start time (field 22) from <pid>/stat. The command name in field 2 may
// hold spaces and parentheses of its own, so the fields are counted after the last ')'.
struct StatFields {
  char state = '?';
  unsigned long long startTime = 0;
};
std::optional<StatFields> ReadStat(const fs::path& processDir) {
  std::ifstream in(processDir / "stat");
  std::string line;
  if (!in || !std::getline(in, line)) return std::nullopt;
  const auto close = line.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(line.substr(close + 1));
  StatFields stat;
  std::string skipped;
  if (!(fields >> stat.state)) return std::nullopt;
  for (int field = 4; field < 22; ++field) fields >> skipped;
  if (!(fields >> stat.startTime)) return std::nullopt;
  return stat;
}

}  // namespace

std::vector<ProcessEntry> ListProcessesNamed(const std::vector<std::string>& names,
                                             const std::string& procRoot) {
  std::vector<ProcessEntry> found;
  if (names.empty()) return found;
  std::error_code error;
  fs::directory_iterator it(procRoot, error);
  if (error) return found;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    const std::string entry = it->path().filename().string();
    if (!IsProcessDirectoryName(entry)) continue;
    auto executable = LinkTarget(it->path() / "exe");
    if (!executable) executable = ExecutableFromCommandLine(it->path());
    if (!executable) continue;
    if (std::find(names.begin(), names.end(), BaseName(*executable)) == names.end()) continue;
    struct stat info {};
    if (stat(it->path().c_str(), &info) != 0) continue;  // gone since
    const std::optional<StatFields> fields = ReadStat(it->path());
    found.push_back({static_cast<pid_t>(std::strtol(entry.c_str(), nullptr, 10)), info.st_uid,
                     fields ? fields->startTime : 0, it->path().string()});
  }
  std::sort(found.begin(), found.end(), [](const ProcessEntry& a, const ProcessEntry& b) {
    return std::tie(a.startTime, a.pid) < std::tie(b.startTime, b.pid);
  });
  return found;
}

int CountProcessesOf(const std::vector<ProcessEntry>& processes, ProcessOwners owners) {
  if (owners == ProcessOwners::kAnyone) return static_cast<int>(processes.size());
  return static_cast<int>(std::count_if(processes.begin(), processes.end(),
                                        [](const ProcessEntry& p) { return p.uid != getuid(); }));
}

int CountProcessesNamed(const std::vector<std::string>& names, const std::string& procRoot,
                        ProcessOwners owners) {
  return CountProcessesOf(ListProcessesNamed(names, procRoot), owners);
}

std::optional<std::map<std::string, std::string>> ProcessEnvironment(const ProcessEntry& process) {
  std::ifstream in(fs::path(process.folder) / "environ", std::ios::binary);
  if (!in) return std::nullopt;
  std::map<std::string, std::string> environment;
  std::string entry;
  while (std::getline(in, entry, '\0')) {
    const auto equals = entry.find('=');
    // The first of a name repeated is the one getenv finds.
    if (equals != std::string::npos)
      environment.emplace(entry.substr(0, equals), entry.substr(equals + 1));
  }
  if (in.bad()) return std::nullopt;
  return environment;
}

std::vector<OpenFile> ProcessOpenFiles(const ProcessEntry& process) {
  std::vector<OpenFile> files;
  std::error_code error;
  fs::directory_iterator it(fs::path(process.folder) / "fd", error);
  if (error) return files;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    if (const std::optional<std::string> path = LinkTarget(it->path()))
      files.push_back({it->path().string(), *path});
  }
  return files;
}

bool StillRunning(const ProcessEntry& process) {
  const std::optional<StatFields> now = ReadStat(process.folder);
  if (!now || now->startTime != process.startTime || now->state == 'Z' || now->state == 'X' ||
      now->state == 'x')
    return false;
  std::array<char, 1> target{};
  if (readlink((fs::path(process.folder) / "exe").c_str(), target.data(), target.size()) >= 0)
    return true;
  return errno != ENOENT;  // another user's link is closed to us (EACCES), but there
}

bool SameExecutable(const ProcessEntry& a, const ProcessEntry& b) {
  struct stat first {};
  struct stat second {};
  return stat((fs::path(a.folder) / "exe").c_str(), &first) == 0 &&
         stat((fs::path(b.folder) / "exe").c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace platform
