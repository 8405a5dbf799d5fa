// See MountedDrives.h.
#include "platform/MountedDrives.h"

#include <mntent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cstdio>
#include <memory>

#include <QSet>

#include "platform/FileName.h"

namespace {

// Kernel and virtual file systems that hold no user files, wherever they are mounted.
bool IsPseudoFileSystem(const QByteArray& type) {
  static const QSet<QByteArray> kPseudo = {"autofs",   "binfmt_misc", "bpf",        "cgroup",   "cgroup2",
                                           "configfs", "debugfs",     "devpts",     "devtmpfs", "efivarfs",
                                           "fusectl",  "hugetlbfs",   "mqueue",     "nsfs",     "proc",
                                           "pstore",   "rpc_pipefs",  "securityfs", "sysfs",    "tracefs"};
  return kPseudo.contains(type) || type == "rootfs";
}

bool IsAtOrBelow(const QByteArray& folder, const QByteArray& path) {
  return path == folder || path.startsWith(folder + '/');
}

// What holds user files: no kernel folder, and a device file behind it
// (network and virtual mounts name none), tmpfs excepted.
bool IsUserFileSystem(const mntent& entry) {
  const QByteArray folder = entry.mnt_dir, type = entry.mnt_type;
  for (const char* system : {"/dev", "/proc", "/sys", "/var/run", "/var/lock"})
    if (IsAtOrBelow(system, folder)) return false;
  if (IsPseudoFileSystem(type)) return false;
  return type == "tmpfs" || entry.mnt_fsname[0] == '/';
}

// A folder whose file system answers (bind mounts of single files, such as a
// container's /etc/hosts, are no drives).
bool IsUsableFolder(const char* folder) {
  struct stat st {};
  struct statvfs vfs {};
  return ::stat(folder, &st) == 0 && S_ISDIR(st.st_mode) && ::statvfs(folder, &vfs) == 0;
}

}  // namespace

QStringList MountedDrives() {
  QStringList others;
  // The mount points as bytes: a name that is not UTF-8 keeps them.
  const std::unique_ptr<FILE, int (*)(FILE*)> table(::setmntent("/proc/self/mounts", "r"), ::endmntent);
  mntent entry {};
  char buffer[4096];
  while (table && ::getmntent_r(table.get(), &entry, buffer, sizeof buffer)) {
    if (!IsUserFileSystem(entry) || !IsUsableFolder(entry.mnt_dir)) continue;
    const QString root = FileNameFromBytes(entry.mnt_dir);
    if (root != QStringLiteral("/") && !others.contains(root)) others << root;
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
