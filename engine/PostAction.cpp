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
#include "engine/Trash.h"
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

PostResult Removed(int err) {
  if (err == 0) return PostResult::Done;
  return (err == EACCES || err == EPERM || err == EROFS) ? PostResult::DeleteDenied : PostResult::DeleteFailed;
}

PostResult Unlink(const QString& path) { return Removed(::unlink(NativePath(path).c_str()) == 0 ? 0 : errno); }

// Into the Trash; where there is none, removed as a plain delete would.
PostResult Trash(const QString& path) {
  int err = 0;
  switch (MoveToTrash(path, err)) {
    case TrashResult::Trashed: return PostResult::Done;
    case TrashResult::Failed: return Removed(err);
    case TrashResult::NoTrash: break;
  }
  const PostResult removed = Unlink(path);
  return removed == PostResult::Done ? PostResult::DeletedOutright : removed;
}

bool Unchanged(const std::vector<ArchivePart>& files) {
  for (const ArchivePart& file : files)
    if (!FileIdentity::Of(file.path).sameAs(file.before)) return false;
  return true;
}

// Copies every file of the archive; `inPlace` tells that they lie in the
// output folder already.
PostResult CopyAll(const std::vector<ArchivePart>& files, const QString& outFolder, bool& inPlace) {
  QString folder = outFolder;
  if (!folder.endsWith(u'/')) folder += u'/';
  for (const ArchivePart& file : files) {
    switch (Copy(NativePath(file.path), NativePath(folder), NativePath(FileName_Get(file.path)), file.before)) {
      case CopyResult::Failed: return PostResult::CopyFailed;
      case CopyResult::Differs: return PostResult::TargetDiffers;
      case CopyResult::SourceChanged: return PostResult::ArchiveChanged;
      case CopyResult::SameFile: inPlace = true; break;
      case CopyResult::Copied:
      case CopyResult::AlreadyThere: break;
    }
  }
  return PostResult::Done;
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

PostResult ApplyPostAction(int action, const std::vector<ArchivePart>& files, const QString& outFolder) {
  if (action < 1 || action > 3 || files.empty()) return PostResult::Done;
  if (action != 1 && !Unchanged(files)) return PostResult::ArchiveChanged;
  bool inPlace = false;
  if (action != 3) {
    const PostResult copied = CopyAll(files, outFolder, inPlace);
    // A source that is its own destination is never removed: a move into
    // the archive's own folder leaves every file of it where it is.
    if (copied != PostResult::Done || action == 1 || inPlace) return copied;
    if (!Unchanged(files)) return PostResult::ArchiveChanged;
  }
  PostResult result = PostResult::Done;
  for (const ArchivePart& file : files) {
    // A moved archive has its copy; a deleted one goes to the Trash.
    const PostResult removed = action == 2 ? Unlink(file.path) : Trash(file.path);
    if (result == PostResult::Done) result = removed;
  }
  return result;
}
