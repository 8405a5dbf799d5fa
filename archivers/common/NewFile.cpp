// New files placed whole; see NewFile.h.
#include "archivers/common/NewFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <utility>

#include "archivers/common/LeftoverMark.h"

namespace rkarc {
namespace {

constexpr std::string_view kPrefix = ".rukasu2-";
constexpr std::string_view kSuffix = ".part";
constexpr size_t kHexDigits = 16;

bool SameEntry(int folder, const std::string& leaf, const struct stat& st) {
  struct stat named {};
  return fstatat(folder, leaf.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == st.st_dev &&
         named.st_ino == st.st_ino;
}

// A named temporary file, locked before anything is written to it.
UniqueFd CreateNamed(int folder, mode_t mode, std::string& name, int& err) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    name = TemporaryName();
    UniqueFd file(openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (file.valid()) {
      MarkTemporary(file.get());
      flock(file.get(), LOCK_EX | LOCK_NB);  // a file system without locks keeps the file unlocked
      return file;
    }
    if (errno != EEXIST) break;
  }
  err = errno;
  name.clear();
  return {};
}

// Removes `name` when it is a regular file of ours that a process now gone
// left, and that nobody holds locked.
bool RemoveIfStale(int folder, const char* name) {
  UniqueFd file(openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat st {};
  if (!file.valid() || fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (!IsAbandonedTemporary(file.get())) return false;
  if (flock(file.get(), LOCK_EX | LOCK_NB) != 0) return false;  // in use, or no locks here: left alone
  return SameEntry(folder, name, st) && unlinkat(folder, name, 0) == 0;
}

}  // namespace

std::string TemporaryName() {
  unsigned char bytes[kHexDigits / 2] = {};
  if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    const auto t = static_cast<uint64_t>(time(nullptr)) ^ static_cast<uint64_t>(getpid()) << 32;
    for (size_t i = 0; i < sizeof bytes; ++i) bytes[i] ^= static_cast<unsigned char>(t >> (8 * i));
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name(kPrefix);
  for (unsigned char b : bytes) {
    name += kHex[b >> 4];
    name += kHex[b & 15];
  }
  return name.append(kSuffix);
}

bool IsTemporaryName(std::string_view name) {
  if (name.size() != kPrefix.size() + kHexDigits + kSuffix.size() || !name.starts_with(kPrefix) ||
      !name.ends_with(kSuffix))
    return false;
  for (char c : name.substr(kPrefix.size(), kHexDigits))
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

int RenameInto(int folder, const std::string& temporary, const std::string& leaf, bool replace) {
  if (replace) return renameat(folder, temporary.c_str(), folder, leaf.c_str()) == 0 ? 0 : errno;
  if (renameat2(folder, temporary.c_str(), folder, leaf.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL) return errno;
  // A file system without RENAME_NOREPLACE (NFS, some FUSE): look, then rename.
  struct stat st {};
  if (fstatat(folder, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
  return renameat(folder, temporary.c_str(), folder, leaf.c_str()) == 0 ? 0 : errno;
}

size_t RemoveStaleTemporaries(int folder) {
  const int listing = fcntl(folder, F_DUPFD_CLOEXEC, 0);
  DIR* dir = listing >= 0 ? fdopendir(listing) : nullptr;
  if (!dir) {
    if (listing >= 0) close(listing);
    return 0;
  }
  size_t removed = 0;
  while (const dirent* entry = readdir(dir))
    if (IsTemporaryName(entry->d_name) && RemoveIfStale(folder, entry->d_name)) ++removed;
  closedir(dir);
  return removed;
}

NewFile& NewFile::operator=(NewFile&& other) noexcept {
  if (this != &other) {
    discard();
    m_folder = std::exchange(other.m_folder, -1);
    m_file = std::move(other.m_file);
    m_lock = std::move(other.m_lock);
    m_temporary = std::move(other.m_temporary);
    m_replace = other.m_replace;
  }
  return *this;
}

bool NewFile::UnnamedPossible() { return access("/proc/self/fd", X_OK) == 0; }

NewFile NewFile::Create(int folder, mode_t mode, bool replace, bool& unnamed, int& err) {
  NewFile f;
  f.m_replace = replace;
  f.m_folder = folder;
  if (unnamed && !replace) {
    f.m_file.reset(openat(folder, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, mode));
    if (f.m_file.valid()) return f;
    // Without O_TMPFILE (NFS, FUSE, FAT, old kernels) the named temporary
    // file does the same job; any other error shows again there.
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) unnamed = false;
  }
  f.m_file = CreateNamed(folder, mode, f.m_temporary, err);
  if (f.m_file.valid()) f.m_lock.reset(fcntl(f.m_file.get(), F_DUPFD_CLOEXEC, 0));
  return f;
}

int NewFile::place(const std::string& leaf, bool& unnamed) {
  const int err = m_temporary.empty() ? placeUnnamed(leaf, unnamed) : placeNamed(leaf);
  if (err == 0) m_temporary.clear();  // it is the file's name now
  discard();
  return err;
}

// The name is given before close(), which needs the open descriptor; a
// close that then fails takes the name back from the file it was given to.
int NewFile::placeUnnamed(const std::string& leaf, bool& unnamed) {
  const std::string self = "/proc/self/fd/" + std::to_string(m_file.get());
  // linkat never replaces an entry and never follows a link at `leaf`.
  if (linkat(AT_FDCWD, self.c_str(), m_folder, leaf.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    const int err = errno;
    // A sandbox that refuses links through /proc fails this file; later ones take temporary names.
    if (err == EPERM || err == EACCES || err == ENOENT || err == EXDEV) unnamed = false;
    return err;
  }
  struct stat st {};
  const bool statted = fstat(m_file.get(), &st) == 0;
  if (::close(m_file.release()) != 0 && errno != EINTR) {
    const int err = errno;
    if (statted && SameEntry(m_folder, leaf, st)) unlinkat(m_folder, leaf.c_str(), 0);
    return err;
  }
  return 0;
}

int NewFile::placeNamed(const std::string& leaf) {
  // The mark is for the temporary name only: the file keeps none under its
  // own, which may be named like ours. The lock stays on m_lock until the
  // file has its name.
  UnmarkTemporary(m_file.get());
  if (::close(m_file.release()) != 0 && errno != EINTR) return errno;
  return RenameInto(m_folder, m_temporary, leaf, m_replace);
}

void NewFile::discard() {
  m_file.reset();
  if (!m_temporary.empty() && m_folder >= 0) unlinkat(m_folder, m_temporary.c_str(), 0);
  m_temporary.clear();
  m_lock.reset();
}

}  // namespace rkarc
