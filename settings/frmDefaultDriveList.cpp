// See frmDefaultDriveList.h.
#include "settings/frmDefaultDriveList.h"

#include <QSet>
#include <QStorageInfo>

namespace {

// Kernel and virtual file systems that hold no user folders.
bool IsPseudoFileSystem(const QByteArray& type) {
  static const QSet<QByteArray> kPseudo = {"proc",    "sysfs",       "devpts",   "devtmpfs", "cgroup",
                                           "cgroup2", "mqueue",      "debugfs",  "tracefs",  "securityfs",
                                           "pstore",  "bpf",         "configfs", "fusectl",  "hugetlbfs",
                                           "autofs",  "binfmt_misc", "nsfs",     "efivarfs", "rpc_pipefs"};
  return kPseudo.contains(type);
}

QStringList MountPoints() {
  QStringList points;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || IsPseudoFileSystem(volume.fileSystemType())) continue;
    const QString root = volume.rootPath();
    if (root.startsWith(u'/') && root != QStringLiteral("/") && !points.contains(root)) points << root;
  }
  points.sort();
  points.prepend(QStringLiteral("/"));
  return points;
}

bool Holds(const QString& mountPoint, const QString& path) {
  if (mountPoint == QStringLiteral("/")) return path.startsWith(u'/');
  return path == mountPoint || path.startsWith(mountPoint + u'/');
}

}  // namespace

frmDefaultDriveList::frmDefaultDriveList(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::activated, this, [this](int index) {
    if (index >= 0 && index < m_mountPoints.size()) emit driveChosen(m_mountPoints[index]);
  });
  refresh();
}

void frmDefaultDriveList::refresh() {
  const QString selected = Drive();
  m_mountPoints = MountPoints();
  const QSignalBlocker quiet(this);
  clear();
  addItems(m_mountPoints);
  const qsizetype at = m_mountPoints.indexOf(selected);
  setCurrentIndex(at >= 0 ? int(at) : 0);
}

QString frmDefaultDriveList::Drive() const {
  const int index = currentIndex();
  return (index >= 0 && index < m_mountPoints.size()) ? m_mountPoints[index] : QString();
}

QString frmDefaultDriveList::driveOf(const QString& path) const {
  QString best = QStringLiteral("/");
  for (const QString& point : m_mountPoints)
    if (Holds(point, path) && point.size() > best.size()) best = point;
  return best;
}

void frmDefaultDriveList::setDriveOf(const QString& path) {
  const QSignalBlocker quiet(this);
  setCurrentIndex(int(m_mountPoints.indexOf(driveOf(path))));
}
