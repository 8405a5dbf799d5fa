// The path helpers that ask the file system: on-disk spelling, free space,
// file and folder checks, and the modules' folder. See PathHelpers.h.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

#include <QDir>
#include <QStringList>

#include "engine/PathHelpers.h"
#include "platform/FileName.h"

#ifndef RUKASU2_INSTALLED_ARCHIVER_DIR
#define RUKASU2_INSTALLED_ARCHIVER_DIR "/usr/lib/rukasu2/archivers"
#endif
// The installed modules as seen from the installed program's folder, so that
// an install into another prefix (or a moved package) still finds its own.
#ifndef RUKASU2_RELATIVE_ARCHIVER_DIR
#define RUKASU2_RELATIVE_ARCHIVER_DIR "../lib/rukasu2/archivers"
#endif

namespace {

// A path of more components than this is not looked up at all.
constexpr int kMaxComponents = 256;


bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString ExecutableFolder() {
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  buffer[n] = '\0';
  return ParentDir_Get(FileNameFromBytes(buffer));
}

// "1,234.5": one decimal, comma thousands separators, point, whatever the locale.
QString FormatMegabytes(double megabytes) {
  const long long tenths = std::llround(megabytes * 10.0);
  QString whole = QString::number(tenths / 10);
  for (qsizetype i = whole.size() - 3; i > 0; i -= 3) whole.insert(i, u',');
  return whole + u'.' + QString::number(tenths % 10);
}

// Swaps the letter case of every letter; empty when the name has no letter.
QString OtherCase(const QString& name) {
  QString out = name;
  bool changed = false;
  for (QChar& c : out) {
    const QChar swapped = c.isUpper() ? c.toLower() : c.toUpper();
    if (swapped != c) {
      c = swapped;
      changed = true;
    }
  }
  return changed ? out : QString();
}

// The stored spelling of `name` inside `folder`, where lstat(folder/name)
// succeeded as `st`. On a case-sensitive file system that is `name` itself; a
// case-insensitive one also answers for other spellings, so the folder is
// searched for the entry with the same inode.
QString StoredSpelling(const std::string& folder, const QString& name, const struct stat& st) {
  const QString other = OtherCase(name);
  if (other.isEmpty()) return name;
  struct stat otherSt {};
  const std::string otherPath = folder + "/" + NativePath(other);
  if (::lstat(otherPath.c_str(), &otherSt) != 0 || otherSt.st_ino != st.st_ino || otherSt.st_dev != st.st_dev)
    return name;
  DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
  if (!dir) return name;
  QString found;
  int matches = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const QString candidate = FileNameFromBytes(entry->d_name);
    if (candidate.compare(name, Qt::CaseInsensitive) != 0) continue;
    if (candidate == name) {  // the given spelling is itself stored
      found = name;
      matches = 1;
      break;
    }
    found = candidate;
    ++matches;
  }
  ::closedir(dir);
  return matches == 1 ? found : name;
}

}  // namespace

QString SystemFolderPath() {
  if (const char* dir = std::getenv("RUKASU2_SYSTEM_DIR"); dir && *dir) return FileNameFromBytes(dir);
  return SystemFolderPathFor(ExecutableFolder());
}

QString SystemFolderPathFor(const QString& executableFolder) {
  if (!executableFolder.isEmpty()) {
    const QString folder = executableFolder.endsWith(u'/') ? executableFolder : executableFolder + u'/';
    for (const QString& relative : {QStringLiteral("archivers"), QStringLiteral(RUKASU2_RELATIVE_ARCHIVER_DIR)}) {
      const QString candidate = QDir::cleanPath(folder + relative);
      if (IsFolder(NativePath(candidate))) return candidate;
    }
  }
  return QStringLiteral(RUKASU2_INSTALLED_ARCHIVER_DIR);
}

QString FreeSpace_Get(const QString& path) {
  if (path.isEmpty()) return {};
  struct statvfs vfs {};
  if (::statvfs(NativePath(path).c_str(), &vfs) != 0) return {};
  const double bytes = static_cast<double>(vfs.f_bavail) * static_cast<double>(vfs.f_frsize);
  if (bytes < 1.0) return {};
  return QStringLiteral(" (") + FormatMegabytes(bytes / 1048576.0) + QStringLiteral("M Free)");
}

QString LongPath_Get(const QString& path) {
  if (!path.startsWith(u'/')) return {};
  QStringList parts;
  for (const QString& component : path.split(u'/', Qt::SkipEmptyParts)) {
    if (component == u'.') continue;
    if (component == QStringLiteral("..")) {
      if (!parts.isEmpty()) parts.removeLast();
      continue;
    }
    parts << component;
  }
  if (parts.size() > kMaxComponents) return {};
  std::string folder;  // "" stands for the root
  QString result;
  for (const QString& component : parts) {
    const std::string full = folder + "/" + NativePath(component);
    struct stat st {};
    if (::lstat(full.c_str(), &st) != 0) return {};
    const QString stored = StoredSpelling(folder, component, st);
    result += u'/' + stored;
    folder += "/" + NativePath(stored);
  }
  return result.isEmpty() ? QStringLiteral("/") : result;
}

QString CurrentFolderPath() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) ? FileNameFromBytes(buffer) : QString();
}

bool File_Check(const QString& path) {
  if (path.isEmpty()) return false;
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ::close(fd);
  return regular;
}

bool Dir_Check(const QString& path) {
  if (path.isEmpty()) return false;
  const std::string native = NativePath(path);
  return IsFolder(native) && ::faccessat(AT_FDCWD, native.c_str(), X_OK, AT_EACCESS) == 0;
}
