// See PostAction.h.
#include "engine/PostAction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/PathHelpers.h"

namespace {

std::string Native(const QString& path) { return path.toStdString(); }

class Fd {
 public:
  explicit Fd(int fd) : m_fd(fd) {}
  ~Fd() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return m_fd; }
  bool ok() const { return m_fd >= 0; }

 private:
  int m_fd;
};

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool SameContent(const std::string& a, const std::string& b) {
  Fd fa(::open(a.c_str(), O_RDONLY | O_CLOEXEC)), fb(::open(b.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fa.ok() || !fb.ok()) return false;
  std::vector<char> ba(1 << 16), bb(1 << 16);
  for (;;) {
    const ssize_t na = ::read(fa.get(), ba.data(), ba.size());
    ssize_t nb = 0;
    while (nb < na) {  // fill the same amount from the other file
      const ssize_t n = ::read(fb.get(), bb.data() + nb, static_cast<size_t>(na - nb));
      if (n <= 0) return false;
      nb += n;
    }
    if (na < 0) return false;
    if (na == 0) return ::read(fb.get(), bb.data(), 1) == 0;
    if (std::memcmp(ba.data(), bb.data(), static_cast<size_t>(na)) != 0) return false;
  }
}

enum class CopyResult { Copied, AlreadyThere, SameFile, Differs, Failed };

// Copies into a temporary file beside the target and gives it the target's
// name only when complete, so a failed copy leaves nothing behind and an
// existing file is never replaced.
CopyResult Copy(const std::string& from, const std::string& to) {
  struct stat src {}, dst {};
  if (::stat(from.c_str(), &src) != 0) return CopyResult::Failed;
  if (::lstat(to.c_str(), &dst) == 0) {
    if (src.st_dev == dst.st_dev && src.st_ino == dst.st_ino) return CopyResult::SameFile;
    if (S_ISREG(dst.st_mode) && dst.st_size == src.st_size && SameContent(from, to)) return CopyResult::AlreadyThere;
    return CopyResult::Differs;
  }
  Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.ok()) return CopyResult::Failed;
  std::string temp = to.substr(0, to.rfind('/') + 1) + ".rukasu2-copy-XXXXXX";
  Fd out(::mkostemp(temp.data(), O_CLOEXEC));
  if (!out.ok()) return CopyResult::Failed;
  std::vector<char> buffer(1 << 20);
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    if (!WriteAll(out.get(), buffer.data(), static_cast<size_t>(n))) {
      ok = false;
      break;
    }
  }
  if (ok) {
    ::fchmod(out.get(), src.st_mode & 0777);
    const struct timespec times[2] = {src.st_atim, src.st_mtim};
    ::futimens(out.get(), times);
    ok = ::fsync(out.get()) == 0;
  }
  // link() refuses an existing name, unlike rename(): a file that appeared
  // meanwhile is never replaced.
  if (ok) ok = ::link(temp.c_str(), to.c_str()) == 0;
  ::unlink(temp.c_str());
  if (!ok) return CopyResult::Failed;
  return CopyResult::Copied;
}

PostResult Delete(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return PostResult::Done;
  return (errno == EACCES || errno == EPERM || errno == EROFS) ? PostResult::DeleteDenied : PostResult::DeleteFailed;
}

}  // namespace

FileIdentity FileIdentity::Of(const QString& path) {
  FileIdentity id;
  struct stat st {};
  if (::stat(Native(path).c_str(), &st) != 0) return id;
  id.valid = true;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.modified = st.st_mtim;
  return id;
}

bool FileIdentity::sameAs(const FileIdentity& other) const {
  return valid && other.valid && device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

PostResult ApplyPostAction(int action, const QString& arc, const QString& outFolder, const FileIdentity& before) {
  if (action < 1 || action > 3) return PostResult::Done;
  const std::string source = Native(arc);
  if (action != 1 && !FileIdentity::Of(arc).sameAs(before)) return PostResult::ArchiveChanged;
  if (action == 3) return Delete(source);

  QString folder = outFolder;
  if (!folder.endsWith(u'/')) folder += u'/';
  switch (Copy(source, Native(folder + FileName_Get(arc)))) {
    case CopyResult::Failed:
      return PostResult::CopyFailed;
    case CopyResult::Differs:
      return PostResult::TargetDiffers;
    case CopyResult::SameFile:  // the archive already lies in the output folder
      return PostResult::Done;
    case CopyResult::Copied:
    case CopyResult::AlreadyThere:
      break;
  }
  if (action == 1) return PostResult::Done;
  if (!FileIdentity::Of(arc).sameAs(before)) return PostResult::ArchiveChanged;
  return Delete(source);
}
