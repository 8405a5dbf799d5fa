// See DriveList.h.
#include "ui/DriveList.h"

#include <QKeyEvent>

#include "platform/MountedDrives.h"

namespace {
constexpr int kShownLength = 6;  // characters the closed list has room for at the least
}  // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  // A long mount point must not make the pane wider than its tile: the list
  // that drops down still shows it whole.
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(kShownLength);
  refresh();
  connect(this, &QComboBox::activated, this, [this](int row) { emit driveChosen(itemText(row)); });
}

void DriveList::refresh() {
  const QString chosen = Drive();
  const QStringList drives = MountedDrives();
  if (drives == listedDrives()) return;
  const QSignalBlocker quiet(this);
  clear();
  addItems(drives);
  const int row = findText(chosen);
  setCurrentIndex(row >= 0 ? row : 0);
}

QString DriveList::Drive() const { return currentText(); }

void DriveList::setDriveOf(const QString& path) {
  const int row = findText(driveOf(path));
  if (row < 0) return;
  const QSignalBlocker quiet(this);
  setCurrentIndex(row);
}

QStringList DriveList::listedDrives() const {
  QStringList drives;
  for (int i = 0; i < count(); ++i) drives << itemText(i);
  return drives;
}

QString DriveList::driveOf(const QString& path) const {
  const QString drive = DriveOf(path, listedDrives());
  return drive.isEmpty() ? QStringLiteral("/") : drive;
}

void DriveList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    emit enterPressed();
    return;
  }
  QComboBox::keyPressEvent(event);
}
