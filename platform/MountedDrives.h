// The drives of the drive lists: on Linux the mount points of the real file
// systems, the root "/" first. The drive of a path is the mount point that
// holds it.
#pragma once

#include <QString>
#include <QStringList>

// "/" first, then the other mount points in name order; never empty.
QStringList MountedDrives();

// The longest of `drives` that is the absolute `path` itself or one of its
// ancestors; empty when none is (a relative path, or "/" not among them).
QString DriveOf(const QString& path, const QStringList& drives);
