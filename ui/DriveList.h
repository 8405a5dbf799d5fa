// The drive list of the folder panes (drvDrive): the mounted file systems, the
// root "/" first. Picking one raises driveChosen; Enter is consumed and
// raises enterPressed, which the pane answers by moving the focus on.
#pragma once

#include <QComboBox>
#include <QStringList>

class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(QWidget* parent = nullptr);

  // Reads the mounted file systems again, keeping the chosen one when it is still there.
  void refresh();
  // The chosen mount point.
  QString Drive() const;
  // Chooses the mount point that holds the path (without raising driveChosen).
  void setDriveOf(const QString& path);
  // The listed mount point that holds an absolute path; "/" for any other text.
  QString driveOf(const QString& path) const;

 signals:
  void driveChosen(const QString& mountPoint);
  void enterPressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QStringList listedDrives() const;
};
