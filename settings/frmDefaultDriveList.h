// frmDefault's drive list: the mounted file systems, the root "/" first. The
// "drive" of a path is the mount point that holds it. It stands in for the
// folder panes' shared drive list until frmDefault moves over to that one;
// frmDefault uses only the operations below.
#pragma once

#include <QComboBox>
#include <QStringList>

class frmDefaultDriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit frmDefaultDriveList(QWidget* parent = nullptr);

  // Re-reads the mounted file systems, keeping the selected one when it is still there.
  void refresh();
  // The selected mount point.
  QString Drive() const;
  // Selects the mount point that holds the path (without raising driveChosen).
  void setDriveOf(const QString& path);
  // The mount point that holds an absolute path: the longest listed prefix.
  QString driveOf(const QString& path) const;

 signals:
  // The user picked a drive.
  void driveChosen(const QString& mountPoint);

 private:
  QStringList m_mountPoints;
};
