// Shared steps of the safe writer; see WriterState.h.
#include "archivers/common/WriterState.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace rkarc {
namespace {

std::string TrimTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Hidden, and unlike any name an archive is likely to hold; O_EXCL and a
// retry guard against the unlikely.
std::string TemporaryName() {
  unsigned char bytes[8] = {};
  if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    const auto t = static_cast<uint64_t>(time(nullptr)) ^ static_cast<uint64_t>(getpid()) << 32;
    for (size_t i = 0; i < sizeof bytes; ++i) bytes[i] ^= static_cast<unsigned char>(t >> (8 * i));
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name = ".rukasu2-";
  for (unsigned char b : bytes) {
    name += kHex[b >> 4];
    name += kHex[b & 15];
  }
  return name + ".part";
}

}  // namespace

SafeWriter::State::State(const std::string& rootPath, Options writerOptions, Report& writerReport)
    : root(TrimTrailingSlashes(rootPath)),
      options(writerOptions),
      report(writerReport),
      walker(rootPath),
      unnamedFiles(access("/proc/self/fd", X_OK) == 0) {}

SafeWriter::State::Existing SafeWriter::State::checkExisting(int folder, const std::string& leaf,
                                                             const std::string& key, std::string_view display) {
  struct stat st {};
  if (fstatat(folder, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return Existing::None;
    failErrno(display, errno);
    return Existing::Refused;
  }
  if (S_ISDIR(st.st_mode)) {
    fail(display, kErrWrite, "同じ名前のフォルダがあります");
    return Existing::Refused;
  }
  const auto it = made.find(key);
  if (it != made.end() && it->second.dev == st.st_dev && it->second.ino == st.st_ino) return Existing::Replace;
  if (options.overwrite) return Existing::Replace;
  keep(display);
  return Existing::Keep;
}

std::string SafeWriter::State::createTemporary(const std::function<bool(const std::string&)>& create,
                                               std::string_view display) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string name = TemporaryName();
    if (create(name)) return name;
    if (errno != EEXIST) {
      failErrno(display, errno);
      return {};
    }
  }
  fail(display, kErrWrite, "一時ファイルを作れません");
  return {};
}

bool SafeWriter::State::place(int folder, const std::string& temporary, const std::string& leaf, bool replace,
                              std::string_view display) {
  int rc = 0;
  if (replace) {
    rc = renameat(folder, temporary.c_str(), folder, leaf.c_str());
  } else {
    rc = renameat2(folder, temporary.c_str(), folder, leaf.c_str(), RENAME_NOREPLACE);
    if (rc != 0 && errno == EINVAL) {
      // A file system without RENAME_NOREPLACE (NFS, some FUSE): look, then rename.
      struct stat st {};
      if (fstatat(folder, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
      } else {
        rc = renameat(folder, temporary.c_str(), folder, leaf.c_str());
      }
    }
  }
  if (rc == 0) return true;
  const int err = errno;
  unlinkat(folder, temporary.c_str(), 0);
  if (err == EEXIST && !replace) {
    keep(display);
  } else {
    failErrno(display, err);
  }
  return false;
}

UniqueFd SafeWriter::State::openUnnamed(int folder, mode_t mode) {
  if (!unnamedFiles) return {};
  UniqueFd file(openat(folder, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, mode));
  // Without O_TMPFILE (NFS, FUSE, FAT, old kernels) the named temporary file
  // does the same job; any other error is left for that path to report.
  if (!file.valid() && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) unnamedFiles = false;
  return file;
}

bool SafeWriter::State::placeUnnamed(int fd, int folder, const std::string& leaf, std::string_view display) {
  // linkat never replaces an entry and never follows a link at `leaf`.
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (linkat(AT_FDCWD, self.c_str(), folder, leaf.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  const int err = errno;
  if (err == EEXIST) {
    keep(display);
  } else {
    // A sandbox that refuses links through /proc fails this member (reported,
    // so the archive counts as not extracted); later ones take temporary names.
    if (err == EPERM || err == EACCES || err == ENOENT || err == EXDEV) unnamedFiles = false;
    failErrno(display, err);
  }
  return false;
}

void SafeWriter::State::remember(const std::string& key, const struct stat& st) {
  made[key] = Made{st.st_dev, st.st_ino, S_ISREG(st.st_mode)};
}

bool SafeWriter::State::madeRegularFile(const std::string& key, const struct stat& st) const {
  const auto it = made.find(key);
  return it != made.end() && it->second.regular && S_ISREG(st.st_mode) && it->second.dev == st.st_dev &&
         it->second.ino == st.st_ino;
}

void SafeWriter::State::fail(std::string_view display, int32_t code, std::string_view reason) {
  // A full disk or an unwritable destination is what the host acts on, so it
  // wins over an earlier member's failure.
  const WriteFailure failureOf{code, {}};
  const bool decides = failure == 0 || (failureOf.stopsRun() && !WriteFailure{failure, {}}.stopsRun());
  if (decides) failure = code;
  if (failureOf.stopsRun()) stop = true;
  std::string line;
  if (!display.empty()) {
    line.append(display);
    line += ": ";
  }
  line.append(reason);
  report.fail(line, decides);
}

void SafeWriter::State::fail(std::string_view display, const WriteFailure& failureInfo) {
  fail(display, failureInfo.code, failureInfo.reason);
}

void SafeWriter::State::keep(std::string_view display) {
  ++kept;
  std::string line(display);
  line += ": 既にあるため残しました";
  report.add(line);
}

}  // namespace rkarc
