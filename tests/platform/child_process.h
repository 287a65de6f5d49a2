// Test bodies run in a child process, which may change its user or namespaces without touching
// the test process, and the namespaces such a child may make for itself.
#pragma once

#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace child_process {

// Runs body in a child process and gives what it printed on failure; "" when it passed.
inline std::string InChild(const std::function<std::string()>& body) {
  int out[2];
  if (pipe(out) != 0) return "pipe failed";
  const pid_t child = fork();
  if (child == 0) {
    close(out[0]);
    const std::string failure = body();
    [[maybe_unused]] const ssize_t n = write(out[1], failure.data(), failure.size());
    _exit(failure.empty() ? 0 : 1);
  }
  close(out[1]);
  std::string report;
  char buffer[256];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status)) return "child ended abnormally";
  if (WEXITSTATUS(status) != 0 && report.empty()) return "child failed";
  return report;
}

// The pid of a process that has ended.
inline pid_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  return child;
}

inline void WriteText(const std::string& path, const std::string& text) {
  const int fd = open(path.c_str(), O_WRONLY);
  if (fd < 0) return;
  [[maybe_unused]] const ssize_t n = write(fd, text.data(), text.size());
  close(fd);
}

// Unshares the namespaces of flags (CLONE_NEW...). Root may at once; anyone else through a user
// namespace in which they are root, with their own user and group mapped so that the files
// they make still belong to them.
inline bool NamespacesOfOurOwn(int flags) {
  if (getuid() == 0) return unshare(flags) == 0;
  const uid_t uid = getuid();
  const gid_t gid = getgid();
  if (unshare(CLONE_NEWUSER | flags) != 0) return false;
  WriteText("/proc/self/setgroups", "deny");
  WriteText("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1");
  WriteText("/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1");
  return true;
}

}  // namespace child_process
