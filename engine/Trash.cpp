// The freedesktop.org trash; see Trash.h.
#include "engine/Trash.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QByteArray>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "archivers/common/NewFile.h"
#include "archivers/common/UniqueFd.h"
#include "platform/FileName.h"

namespace {

std::string HomeTrash() {
  if (const char* data = getenv("XDG_DATA_HOME"); data && data[0] == '/') return std::string(data) + "/Trash";
  const char* home = getenv("HOME");
  return home && home[0] == '/' ? std::string(home) + "/.local/share/Trash" : std::string();
}

// The device of `path`, or of its nearest folder that exists.
bool DeviceOf(std::string path, dev_t& device) {
  struct stat st {};
  while (::stat(path.c_str(), &st) != 0) {
    const size_t slash = path.rfind('/');
    if (errno != ENOENT || slash == std::string::npos) return false;
    path = slash == 0 ? "/" : path.substr(0, slash);
  }
  device = st.st_dev;
  return true;
}

bool IsOwnFolder(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

// A trash folder of this user, with its "files" and "info" folders.
bool Usable(const std::string& trash) {
  if (!IsOwnFolder(trash)) return false;
  for (const char* sub : {"/files", "/info"}) {
    ::mkdir((trash + sub).c_str(), 0700);
    if (!IsOwnFolder(trash + sub)) return false;
  }
  return true;
}

bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    ::mkdir(path.substr(0, slash).c_str(), 0700);
  return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// "\040" and the like in a mount point of /proc/self/mountinfo.
std::string Unescaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto octal = [&](size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '7'; };
    if (text[i] == '\\' && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
      out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0'));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The mount point of the file system `device` that holds `folder` (a real path).
std::string TopFolder(const std::string& folder, dev_t device) {
  std::ifstream mounts("/proc/self/mountinfo");
  std::string line, best;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string id, parent, numbers, root, point;
    unsigned major = 0, minor = 0;
    if (!(fields >> id >> parent >> numbers >> root >> point) ||
        std::sscanf(numbers.c_str(), "%u:%u", &major, &minor) != 2 || makedev(major, minor) != device)
      continue;
    point = Unescaped(point);
    const bool holds = point == "/" || (folder.starts_with(point) && (folder.size() == point.size() || folder[point.size()] == '/'));
    if (holds && point.size() >= best.size()) best = point;
  }
  return best;
}

// $topdir/.Trash/$uid when an administrator made $topdir/.Trash for every
// user (sticky, not a link), else $topdir/.Trash-$uid.
std::string TopTrash(const std::string& top) {
  const std::string base = top == "/" ? "" : top, uid = std::to_string(::getuid());
  struct stat st {};
  if (::lstat((base + "/.Trash").c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
    const std::string shared = base + "/.Trash/" + uid;
    ::mkdir(shared.c_str(), 0700);
    if (Usable(shared)) return shared;
  }
  const std::string own = base + "/.Trash-" + uid;
  ::mkdir(own.c_str(), 0700);
  return Usable(own) ? own : std::string();
}

std::string Numbered(const std::string& leaf, int n) {
  if (n == 1) return leaf;
  const size_t dot = leaf.rfind('.');
  const std::string number = " (" + std::to_string(n) + ")";
  return dot == std::string::npos || dot == 0 ? leaf + number : leaf.substr(0, dot) + number + leaf.substr(dot);
}

std::string InfoText(const std::string& path) {
  char date[32] = {};
  const time_t now = ::time(nullptr);
  struct tm local {};
  ::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", ::localtime_r(&now, &local));
  const QByteArray encoded = QByteArray::fromStdString(path).toPercentEncoding("/");
  return "[Trash Info]\nPath=" + encoded.toStdString() + "\nDeletionDate=" + date + "\n";
}

// The information file first, as the trash's readers expect, then the file
// under the same name. 0 or errno; EXDEV when the trash is on another mount.
int TrashInto(const std::string& trash, const std::string& file, const std::string& leaf) {
  const std::string info = InfoText(file);
  for (int n = 1; n < 10000; ++n) {
    const std::string name = Numbered(leaf, n), infoPath = trash + "/info/" + name + ".trashinfo";
    rkarc::UniqueFd fd(::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd.valid()) {
      if (errno == EEXIST) continue;
      return errno;
    }
    const bool written = ::write(fd.get(), info.data(), info.size()) == static_cast<ssize_t>(info.size());
    fd.reset();
    const int err = written ? rkarc::RenameInto(AT_FDCWD, file, trash + "/files/" + name, false) : EIO;
    if (err == 0) return 0;
    ::unlink(infoPath.c_str());
    if (err != EEXIST) return err;
  }
  return EEXIST;
}

}  // namespace

TrashResult MoveToTrash(const QString& path, int& err) {
  const std::string file = NativePath(path);
  const size_t slash = file.rfind('/');
  struct stat st {};
  char real[PATH_MAX];
  if (slash == std::string::npos || ::lstat(file.c_str(), &st) != 0 ||
      ::realpath(slash == 0 ? "/" : file.substr(0, slash).c_str(), real) == nullptr) {
    err = errno;
    return TrashResult::Failed;
  }
  const std::string folder = real, leaf = file.substr(slash + 1);
  const std::string absolute = (folder == "/" ? "" : folder) + "/" + leaf;
  // The home trash takes files of its own file system; a rename that meets
  // another mount of it (a bind mount) goes on to that mount's own trash.
  const std::string home = HomeTrash();
  dev_t device = 0;
  char homeReal[PATH_MAX];  // the home trash may be a link to another folder of its file system
  if (!home.empty() && DeviceOf(home, device) && device == st.st_dev && MakeFolders(home) &&
      ::realpath(home.c_str(), homeReal) != nullptr && Usable(homeReal)) {
    err = TrashInto(homeReal, absolute, leaf);
    if (err == 0) return TrashResult::Trashed;
    if (err != EXDEV) return TrashResult::Failed;
  }
  const std::string top = TopFolder(folder, st.st_dev);
  const std::string trash = top.empty() ? std::string() : TopTrash(top);
  if (!trash.empty()) {
    err = TrashInto(trash, absolute, leaf);
    if (err == 0) return TrashResult::Trashed;
    if (err != EXDEV) return TrashResult::Failed;
  }
  return TrashResult::NoTrash;
}
