// See IniFile.h. POSIX calls rather than QFile, so that every failure keeps
// its errno for the message that names the reason.
#include "settings/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include "archivers/common/LeftoverMark.h"
#include "archivers/common/UniqueFd.h"

namespace {

// Far beyond any settings file this program writes; a larger one is no settings file.
constexpr qint64 kLargestFile = 16 * 1024 * 1024;
constexpr int kSuffixLength = 6;

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

bool IsSuffixCharacter(QChar c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

QByteArray RandomSuffix() {
  static const char kCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  QByteArray suffix(kSuffixLength, '0');
  for (char& c : suffix) c = kCharacters[QRandomGenerator::global()->bounded(int(sizeof kCharacters) - 1)];
  return suffix;
}

int ReadAll(int fd, QByteArray& out) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  // A FIFO or a device could block the start for ever, or never end.
  if (!S_ISREG(st.st_mode)) return ENODEV;
  if (st.st_size > kLargestFile) return EFBIG;
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    out.append(buffer, n);
    if (out.size() > kLargestFile) return EFBIG;
  }
}

int WriteAll(int fd, const QByteArray& bytes) {
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    done += n;
  }
  return ::fsync(fd) == 0 ? 0 : errno;
}

// The file a save replaces: the target of a symbolic link, so that the link stays.
QString SaveTarget(const QString& path) {
  const QFileInfo info(path);
  if (info.isSymLink() && !info.canonicalFilePath().isEmpty()) return info.canonicalFilePath();
  return path;
}

}  // namespace

IniRead ReadIniFile(const QString& path) {
  IniRead result;
  // Not blocking: opening a FIFO would wait for a writer.
  const int fd = ::open(Native(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return result;
    result.exists = true;
    result.error = errno;
    return result;
  }
  result.exists = true;
  QByteArray bytes;
  result.error = ReadAll(fd, bytes);
  ::close(fd);
  if (result.error == 0) result.text = IniText::parse(bytes);
  return result;
}

IniWrite ReplaceRefusal(const QString& path) {
  const QByteArray native = Native(path);
  struct stat st {};
  if (::stat(native.constData(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return {EISDIR, false};
    // A file whose owner took away the write bit stays as it is also for
    // root, whom the access check would let write it.
    if ((st.st_mode & S_IWUSR) == 0) return {EACCES, false};
    if (::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0) return {errno, false};
  } else if (errno != ENOENT) {
    return {errno, false};
  }
  const QByteArray folder = Native(QFileInfo(SaveTarget(path)).absolutePath());
  if (::faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) != 0 && errno != ENOENT) return {errno, true};
  return {};
}

IniWrite ReplaceIniFile(const QString& path, const QByteArray& bytes, bool keepOld) {
  const QByteArray target = Native(SaveTarget(path));
  struct stat old {};
  const bool hadOld = ::stat(target.constData(), &old) == 0;
  QByteArray temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = target + '.' + RandomSuffix();
    fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return {errno, true};
  }
  // Only a file with the mark is ever taken for a leftover of a save.
  if (fd >= 0) rkarc::MarkTemporary(fd);
  if (fd < 0) return {EEXIST, true};
  auto fail = [&](int error, bool inFolder) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary.constData());
    return IniWrite{error, inFolder};
  };
  // The earlier file's permissions carry over; failing that, the new file keeps the umask's.
  if (hadOld) (void)::fchmod(fd, old.st_mode & 07777);
  if (const int error = WriteAll(fd, bytes)) return fail(error, false);
  rkarc::UnmarkTemporary(fd);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return fail(errno, false);
  if (keepOld && hadOld) {
    const QByteArray backup = target + ".bak";
    if (::unlink(backup.constData()) != 0 && errno != ENOENT) return fail(errno, true);
    // A second name keeps the earlier file in place until the rename below
    // replaces it; where the file system has no hard links, it moves aside.
    if (::link(target.constData(), backup.constData()) != 0 && ::rename(target.constData(), backup.constData()) != 0)
      return fail(errno, true);
  }
  if (::rename(temporary.constData(), target.constData()) != 0) return fail(errno, true);
  return {};
}

void RemoveStaleTemporaries(const QString& path) {
  const QFileInfo info(SaveTarget(path));
  QDir folder(info.absolutePath());
  const QString prefix = info.fileName() + u'.';
  const QStringList names =
      folder.entryList({prefix + QString(kSuffixLength, u'?')}, QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& name : names) {
    if (!std::all_of(name.cbegin() + prefix.size(), name.cend(), IsSuffixCharacter)) continue;
    // Named like ours is not enough: the user's "Rukasu2.ini.backup" is too.
    const QByteArray file = Native(folder.filePath(name));
    const rkarc::UniqueFd fd(::open(file.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.valid() && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && rkarc::IsAbandonedTemporary(fd.get()))
      ::unlink(file.constData());
  }
}

int MakeFolders(const QString& folder) {
  const QByteArray native = Native(folder);
  if (::mkdir(native.constData(), 0777) == 0) return 0;
  if (errno == EEXIST) {
    struct stat st {};
    return ::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
  }
  if (errno != ENOENT) return errno;
  const QString parent = QFileInfo(folder).absolutePath();
  if (parent == folder) return ENOENT;
  if (const int error = MakeFolders(parent)) return error;
  return ::mkdir(native.constData(), 0777) == 0 || errno == EEXIST ? 0 : errno;
}

int KeepAsBackup(const QString& path) {
  const QByteArray native = Native(path);
  return ::rename(native.constData(), (native + ".bak").constData()) == 0 ? 0 : errno;
}

int RemoveFile(const QString& path) {
  if (::unlink(Native(path).constData()) == 0 || errno == ENOENT) return 0;
  return errno;
}
