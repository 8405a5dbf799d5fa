// See MessageBox.h.
#include "ui/MessageBox.h"

#include <QMessageBox>

namespace MessageBox {

void Notice(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kTitle), text, QMessageBox::Ok, parent);
  box.exec();
}

bool Ask(QWidget* parent, const QString& text, bool defaultYes) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kTitle), text,
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace MessageBox
