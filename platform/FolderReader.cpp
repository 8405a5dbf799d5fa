// See FolderReader.h.
#include "platform/FolderReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/FileName.h"

namespace {

// The entry's kind from readdir's type when it tells, else from stat (links
// are followed: a link to a folder lists as a folder).
bool IsOfKind(int dirFd, const dirent* entry, FolderEntryKind kind) {
  const bool wantFolder = kind == FolderEntryKind::Folders;
  if (entry->d_type == DT_DIR) return wantFolder;
  if (entry->d_type == DT_REG) return !wantFolder;
  if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) return false;
  struct stat st {};
  if (::fstatat(dirFd, entry->d_name, &st, 0) != 0) return false;
  return wantFolder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

}  // namespace

void SortNames(QStringList& names) {
  std::vector<std::pair<QString, QString>> keyed;
  keyed.reserve(names.size());
  for (QString& name : names) keyed.emplace_back(name.toCaseFolded(), std::move(name));
  std::sort(keyed.begin(), keyed.end());
  names.clear();
  for (auto& [key, name] : keyed) names << std::move(name);
}

std::optional<QStringList> ReadFolderEntries(const QString& folder, FolderEntryKind kind,
                                             const std::function<bool(const QString&)>& accept) {
  if (folder.isEmpty()) return std::nullopt;
  DIR* dir = ::opendir(FileNameBytes(folder).constData());
  if (!dir) return std::nullopt;
  const int fd = ::dirfd(dir);
  QStringList names;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;  // hidden, and "." and ".."
    if (!IsOfKind(fd, entry, kind)) continue;
    QString name = FileNameFromBytes(entry->d_name);
    if (accept && !accept(name)) continue;
    names << std::move(name);
  }
  ::closedir(dir);
  SortNames(names);
  return names;
}
