// Marks on temporary files; see LeftoverMark.h.
#include "archivers/common/LeftoverMark.h"

#include <signal.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

namespace rkarc {
namespace {

constexpr char kMark[] = "user.rukasu2.temporary";
constexpr long long kForeignAge = 24 * 60 * 60;

// This boot and pid namespace: where a process number means this process.
std::string Machine() {
  std::string boot;
  std::ifstream("/proc/sys/kernel/random/boot_id") >> boot;
  char ns[64] = {};
  const ssize_t n = ::readlink("/proc/self/ns/pid", ns, sizeof ns - 1);
  if (boot.empty() || n <= 0) return "-";
  return boot + '/' + std::string(ns, static_cast<size_t>(n));
}

}  // namespace

void MarkTemporary(int fd) {
  const std::string value =
      Machine() + ' ' + std::to_string(::getpid()) + ' ' + std::to_string(static_cast<long long>(::time(nullptr)));
  ::fsetxattr(fd, kMark, value.data(), value.size(), 0);
}

void UnmarkTemporary(int fd) { ::fremovexattr(fd, kMark); }

bool IsAbandonedTemporary(int fd) {
  char value[256] = {};
  const ssize_t n = ::fgetxattr(fd, kMark, value, sizeof value - 1);
  if (n <= 0) return false;
  char machine[160] = {};
  long long pid = 0, made = 0;
  if (std::sscanf(value, "%159s %lld %lld", machine, &pid, &made) != 3 || pid <= 0) return false;
  if (machine != std::string("-") && machine == Machine())
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
  return static_cast<long long>(::time(nullptr)) - made > kForeignAge;
}

}  // namespace rkarc
