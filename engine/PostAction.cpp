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

#include "archivers/common/NewFile.h"
#include "archivers/common/UniqueFd.h"
#include "engine/PathHelpers.h"
#include "platform/FileName.h"

namespace {

using rkarc::UniqueFd;

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
  UniqueFd fa(::open(a.c_str(), O_RDONLY | O_CLOEXEC)), fb(::open(b.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fa.valid() || !fb.valid()) return false;
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

enum class CopyResult { Copied, AlreadyThere, SameFile, Differs, Failed, SourceChanged };

// Copies the data of `in` into `out`; false on a read or write failure.
bool CopyData(int in, int out) {
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0;
    if (!WriteAll(out, buffer.data(), static_cast<size_t>(n))) return false;
  }
}

// Copies as the safe writer writes a member (rkarc::NewFile): the copy takes
// its name only when whole and checked, never replaces a file that appeared
// meanwhile, and leaves nothing behind on any failure, on file systems
// without hard links too. A source that changed while it was read is not
// copied.
CopyResult Copy(const std::string& from, const std::string& folder, const std::string& leaf,
                const FileIdentity& before) {
  const std::string to = folder + leaf;
  struct stat src {}, dst {};
  if (::stat(from.c_str(), &src) != 0) return CopyResult::Failed;
  if (::lstat(to.c_str(), &dst) == 0) {
    if (src.st_dev == dst.st_dev && src.st_ino == dst.st_ino) return CopyResult::SameFile;
    if (S_ISREG(dst.st_mode) && dst.st_size == src.st_size && SameContent(from, to)) return CopyResult::AlreadyThere;
    return CopyResult::Differs;
  }
  UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!in.valid() || !dir.valid()) return CopyResult::Failed;
  bool unnamed = rkarc::NewFile::UnnamedPossible();
  int err = 0;
  rkarc::NewFile out = rkarc::NewFile::Create(dir.get(), src.st_mode & 0777, false, unnamed, err);
  if (!out.valid() || !CopyData(in.get(), out.fd())) return CopyResult::Failed;
  ::fchmod(out.fd(), src.st_mode & 0777);
  const struct timespec times[2] = {src.st_atim, src.st_mtim};
  ::futimens(out.fd(), times);
  if (::fsync(out.fd()) != 0) return CopyResult::Failed;
  if (!FileIdentity::Of(FileNameFromBytes(from)).sameAs(before)) return CopyResult::SourceChanged;
  err = out.place(leaf, unnamed);
  if (err == EEXIST) return CopyResult::Differs;
  return err == 0 ? CopyResult::Copied : CopyResult::Failed;
}

PostResult Delete(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return PostResult::Done;
  return (errno == EACCES || errno == EPERM || errno == EROFS) ? PostResult::DeleteDenied : PostResult::DeleteFailed;
}

}  // namespace

FileIdentity FileIdentity::Of(const QString& path) {
  FileIdentity id;
  struct stat st {};
  if (::stat(NativePath(path).c_str(), &st) != 0) return id;
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

PostResult ApplyPostAction(int action, bool everyMemberWritten, const QString& arc, const QString& outFolder,
                           const FileIdentity& before) {
  if (action < 1 || action > 3) return PostResult::Done;
  const std::string source = NativePath(arc);
  if (action != 1 && !FileIdentity::Of(arc).sameAs(before)) return PostResult::ArchiveChanged;
  // Skipped members exist only in the archive: it must stay.
  if (action == 3) return everyMemberWritten ? Delete(source) : PostResult::DeleteKeptSkipped;

  QString folder = outFolder;
  if (!folder.endsWith(u'/')) folder += u'/';
  switch (Copy(source, NativePath(folder), NativePath(FileName_Get(arc)), before)) {
    case CopyResult::Failed:
      return PostResult::CopyFailed;
    case CopyResult::Differs:
      return PostResult::TargetDiffers;
    case CopyResult::SourceChanged:
      return PostResult::ArchiveChanged;
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
