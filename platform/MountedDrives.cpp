// See MountedDrives.h.
#include "platform/MountedDrives.h"

#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

namespace {

// Kernel and virtual file systems that hold no user files. Qt already leaves
// most of them out; this keeps them out wherever they are mounted.
bool IsPseudoFileSystem(const QByteArray& type) {
  static const QSet<QByteArray> kPseudo = {"autofs",   "binfmt_misc", "bpf",        "cgroup",   "cgroup2",
                                           "configfs", "debugfs",     "devpts",     "devtmpfs", "efivarfs",
                                           "fusectl",  "hugetlbfs",   "mqueue",     "nsfs",     "proc",
                                           "pstore",   "rpc_pipefs",  "securityfs", "sysfs",    "tracefs"};
  return kPseudo.contains(type);
}

}  // namespace

QStringList MountedDrives() {
  QStringList others;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || IsPseudoFileSystem(volume.fileSystemType())) continue;
    const QString root = volume.rootPath();
    // Bind mounts of single files (a container's /etc/hosts) are no drives.
    if (root == QStringLiteral("/") || !QFileInfo(root).isDir()) continue;
    if (!others.contains(root)) others << root;
  }
  others.sort();
  others.prepend(QStringLiteral("/"));
  return others;
}

QString DriveOf(const QString& path, const QStringList& drives) {
  if (!path.startsWith(u'/')) return {};
  QString best;
  for (const QString& drive : drives) {
    if (drive.size() <= best.size()) continue;
    const bool holds =
        drive == QStringLiteral("/") || path == drive || (path.startsWith(drive) && path.at(drive.size()) == u'/');
    if (holds) best = drive;
  }
  return best;
}
