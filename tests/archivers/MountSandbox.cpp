// Mount-namespace sandbox for fault tests; see MountSandbox.h.
#include "tests/archivers/MountSandbox.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace testing_support {
namespace {

constexpr char kRefused[] = "REFUSED:";

void WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

std::string SetUpMounts(const std::string& folder, SandboxMount mount) {
  const auto why = [](const char* step) { return std::string(kRefused) + step + ": " + std::strerror(errno); };
  if (unshare(CLONE_NEWNS) != 0) return why("unshare");
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return why("make mounts private");
  if (mount == SandboxMount::TinyTmpfs) {
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=1m") != 0) return why("mount tmpfs");
  } else {
    if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) return why("bind mount");
    if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
      return why("remount read-only");
  }
  return {};
}

}  // namespace

SandboxResult RunInMountSandbox(const std::string& folder, SandboxMount mount,
                                const std::function<std::string()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return {"pipe failed", {}};
  const pid_t pid = fork();
  if (pid < 0) return {"fork failed", {}};
  if (pid == 0) {
    close(fds[0]);
    std::string text = SetUpMounts(folder, mount);
    if (text.empty()) {
      try {
        text = body();
      } catch (...) {
        text = "exception in sandbox body";
      }
    }
    WriteAll(fds[1], text);
    _exit(0);
  }
  close(fds[1]);
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status)) return {"", "child ended abnormally; output: " + text};
  if (text.rfind(kRefused, 0) == 0) return {text.substr(sizeof kRefused - 1), {}};
  return {{}, text};
}

}  // namespace testing_support
