// Counting running processes by executable name with a scan of /proc.
#include "platform/process_list.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

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

// The target of <pid>/exe: readable for our own processes. An executable replaced or removed
// since start reads "<path> (deleted)"; its name is still the one it was started under.
std::optional<std::string> ExecutableFromLink(const fs::path& processDir) {
  std::array<char, 4096> buffer{};
  const ssize_t length = readlink((processDir / "exe").c_str(), buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return std::nullopt;
  std::string target(buffer.data(), static_cast<std::size_t>(length));
  constexpr std::string_view kDeleted = " (deleted)";
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

}  // namespace

int CountProcessesNamed(const std::vector<std::string>& names, const std::string& procRoot,
                        ProcessOwners owners) {
  if (names.empty()) return 0;
  std::error_code error;
  fs::directory_iterator it(procRoot, error);
  if (error) return 0;
  int count = 0;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    const std::string entry = it->path().filename().string();
    if (!IsProcessDirectoryName(entry)) continue;
    if (owners == ProcessOwners::kOtherUsers) {
      struct stat info {};
      if (stat(it->path().c_str(), &info) != 0 || info.st_uid == getuid()) continue;
    }
    auto executable = ExecutableFromLink(it->path());
    if (!executable) executable = ExecutableFromCommandLine(it->path());
    if (!executable) continue;
    const std::string base = BaseName(*executable);
    if (std::find(names.begin(), names.end(), base) != names.end()) ++count;
  }
  return count;
}

}  // namespace platform
