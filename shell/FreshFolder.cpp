// See FreshFolder.h. The private folder is made in the archive's own folder,
// so every move is a rename on one file system.
#include "shell/FreshFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "engine/PathHelpers.h"
#include "engine/basRukasu.h"
#include "platform/FileName.h"

namespace {

// The names in a folder, "." and ".." left out.
QStringList Entries(const QString& folder) {
  QStringList names;
  DIR* dir = ::opendir(FileNameBytes(folder).constData());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const QByteArray name(entry->d_name);
    if (name != "." && name != "..") names << FileNameFromBytes(name);
  }
  ::closedir(dir);
  return names;
}

bool IsFolder(const QString& path) {
  struct stat st {};
  return ::lstat(FileNameBytes(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Moves what the extraction made in `work` into `folder`: each folder the
// run mode named (one), or the one folder inside it in its place.
bool PlaceExtracted(const QString& work, const QString& folder) {
  bool placed = true;
  for (const QString& made : Entries(work)) {
    const QString path = work + u'/' + made;
    const QStringList inside = IsFolder(path) ? Entries(path) : QStringList();
    if (inside.size() == 1 && IsFolder(path + u'/' + inside.first())) {
      placed = MoveToFreshName(path + u'/' + inside.first(), folder, inside.first()) && placed;
      ::rmdir(FileNameBytes(path).constData());
    } else {
      placed = MoveToFreshName(path, folder, made) && placed;
    }
  }
  return placed;
}

}  // namespace

bool MoveToFreshName(const QString& from, const QString& folder, const QString& name) {
  const QByteArray source = FileNameBytes(from);
  for (int n = 1; n < 10000; ++n) {
    const QString candidate = n == 1 ? name : QStringLiteral("%1 (%2)").arg(name).arg(n);
    const QByteArray target = FileNameBytes(folder + candidate);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EEXIST) continue;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without RENAME_NOREPLACE: rename would replace an empty folder.
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0) continue;
    return ::rename(source.constData(), target.constData()) == 0;
  }
  return false;
}

int16_t ExtractIntoFreshFolder(basRukasu& engine, const QString& archive, int16_t mode, ExtractedVolumes& volumes) {
  QString folder = ParentDir_Get(archive);
  if (!folder.endsWith(u'/')) folder += u'/';
  QByteArray work = FileNameBytes(folder + QStringLiteral(".rukasu2-XXXXXX"));
  // Where no private folder can be made, the folder cannot be written to
  // either: the engine says so.
  if (!::mkdtemp(work.data())) return engine.Archive_Extract(archive, folder, mode, &volumes);
  const QString scratch = FileNameFromBytes(work);
  const int16_t result = engine.Archive_Extract(archive, scratch + u'/', mode, &volumes);
  // What could not be moved stays in the private folder, which then stays too.
  if (PlaceExtracted(scratch, folder)) ::rmdir(work.constData());
  return result;
}
