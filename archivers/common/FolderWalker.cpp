// Folder walking for the safe writer; see FolderWalker.h.
#include "archivers/common/FolderWalker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "archivers/common/NewFile.h"
#include "archivers/common/ResultCodes.h"

namespace rkarc {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Why `name` in `parent` cannot be entered as a folder, after openat refused it.
WriteFailure NotAFolder(int parent, const std::string& name, int err) {
  struct stat st {};
  if (fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISLNK(st.st_mode)) return {kErrUnsafeName, "途中にシンボリックリンクがあります"};
    if (!S_ISDIR(st.st_mode)) return {kErrWrite, "フォルダの位置に別のファイルがあります"};
  }
  return WriteFailure::FromErrno(err);
}

// A folder whose mode (stored or after the umask) lacks u+rwx would stop the
// extraction from writing into it.
void EnsureOwnerAccess(int fd) {
  struct stat st {};
  if (fstat(fd, &st) == 0 && (st.st_mode & S_IRWXU) != S_IRWXU) fchmod(fd, (st.st_mode & 07777) | S_IRWXU);
}

}  // namespace

FolderWalker::FolderWalker(const std::string& root)
    : m_root(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  if (!m_root.valid()) m_openError = errno;
}

UniqueFd FolderWalker::step(int parent, const std::string& name, bool create, mode_t mode, WriteFailure& why,
                            bool* made) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    UniqueFd fd(openat(parent, name.c_str(), kFolderFlags));
    if (fd.valid()) return fd;
    const int err = errno;
    if (err != ENOENT) {
      why = (err == ELOOP || err == ENOTDIR) ? NotAFolder(parent, name, err) : WriteFailure::FromErrno(err);
      return {};
    }
    if (!create) {
      why = {kErrWrite, "フォルダがありません"};
      return {};
    }
    if (mkdirat(parent, name.c_str(), mode | S_IRWXU) == 0) {
      UniqueFd fd(openat(parent, name.c_str(), kFolderFlags));
      if (fd.valid()) {
        EnsureOwnerAccess(fd.get());
        if (made) *made = true;
        return fd;
      }
    } else if (errno != EEXIST) {
      why = WriteFailure::FromErrno(errno);
      return {};
    }
    // Someone else made or replaced it in between: look again.
  }
  why = {kErrWrite, "フォルダを作れません"};
  return {};
}

UniqueFd FolderWalker::open(const std::vector<std::string>& parts, size_t count, bool create, WriteFailure& why) {
  if (!m_root.valid()) {
    why = WriteFailure::FromErrno(m_openError);
    return {};
  }
  std::string path;
  for (size_t i = 0; i < count; ++i) path += parts[i] + '/';
  if (m_cachedFd.valid() && path == m_cachedPath) {
    if (create) sweepOnce(path, m_cachedFd.get());
    return UniqueFd(fcntl(m_cachedFd.get(), F_DUPFD_CLOEXEC, 0));
  }

  UniqueFd current(fcntl(m_root.get(), F_DUPFD_CLOEXEC, 0));
  std::string walked;
  bool made = false;
  for (size_t i = 0; i < count && current.valid(); ++i) {
    made = false;
    current = step(current.get(), parts[i], create, 0777, why, &made);
    walked += parts[i];
    if (made) m_made.push_back(walked);
    walked += '/';
  }
  if (!current.valid()) {
    if (!why.failed()) why = WriteFailure::FromErrno(errno);
    return {};
  }
  if (made) m_swept.insert(path);  // made just now: nothing stale in it
  if (create) sweepOnce(path, current.get());
  m_cachedPath = path;
  m_cachedFd = UniqueFd(fcntl(current.get(), F_DUPFD_CLOEXEC, 0));
  return current;
}

UniqueFd FolderWalker::makeFolder(int parent, const std::string& name, const std::string& relative, mode_t mode,
                                  WriteFailure& why) {
  bool made = false;
  UniqueFd fd = step(parent, name, true, mode, why, &made);
  if (made) {
    m_made.push_back(relative);
    m_swept.insert(relative + '/');
  }
  if (!fd.valid()) return fd;
  m_memberFolders.insert(relative);
  struct stat st {};
  if (fstat(fd.get(), &st) != 0) return fd;
  // Made now or earlier for another member, the folder has the owner's rwx
  // and the umask's other bits: the member's mode within them is what it gets
  // (a set-group-ID bit it took from its parent stays).
  const mode_t wanted = (st.st_mode & 07000) | (st.st_mode & mode & 0777);
  if (wanted == (st.st_mode & 07777)) return fd;
  if (made || std::find(m_made.begin(), m_made.end(), relative) != m_made.end())
    m_lateModes.emplace_back(relative, wanted);
  return fd;
}

void FolderWalker::applyFolderModes() {
  std::stable_sort(m_lateModes.begin(), m_lateModes.end(), [](const auto& a, const auto& b) {
    return std::count(a.first.begin(), a.first.end(), '/') > std::count(b.first.begin(), b.first.end(), '/');
  });
  for (const auto& [relative, mode] : m_lateModes) {
    const std::vector<std::string> parts = Split(relative);
    WriteFailure why;
    UniqueFd fd = open(parts, parts.size(), false, why);
    if (fd.valid()) fchmod(fd.get(), mode);
  }
  m_lateModes.clear();
  forgetCached();
}

// A folder about to be written into loses the temporary files a killed
// extraction left there, once per extraction.
void FolderWalker::sweepOnce(const std::string& path, int fd) {
  if (m_swept.insert(path).second) RemoveStaleTemporaries(fd);
}

std::vector<std::string> FolderWalker::Split(const std::string& relative) {
  std::vector<std::string> parts;
  for (size_t start = 0, slash = 0; slash != std::string::npos; start = slash + 1) {
    slash = relative.find('/', start);
    parts.push_back(relative.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
  }
  return parts;
}

void FolderWalker::forgetCached() {
  m_cachedPath.clear();
  m_cachedFd.reset();
}

void FolderWalker::removeMadeFolders(bool keepMembers) {
  forgetCached();
  // Each parent is opened one component at a time without following links,
  // so a link put in place of a made folder is never followed.
  for (auto it = m_made.rbegin(); it != m_made.rend(); ++it) {
    if (keepMembers && m_memberFolders.count(*it) != 0) continue;
    const std::vector<std::string> parts = Split(*it);
    WriteFailure why;
    UniqueFd parent = open(parts, parts.size() - 1, false, why);
    if (parent.valid()) unlinkat(parent.get(), parts.back().c_str(), AT_REMOVEDIR);
  }
  m_made.clear();
  forgetCached();
}

}  // namespace rkarc
