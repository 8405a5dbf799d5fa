// See Describe.h.
#include "ui/Describe.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QString>
#include <QWidget>

void Describe(QWidget* control, const QString& text, bool tipShown) {
  control->setToolTip(tipShown ? text : QString());
  control->setAccessibleName(text);
  // On Linux a drop-down is named by its current entry, so the text goes to its
  // description; its list, an object of its own to a screen reader, takes the name.
  if (auto* box = qobject_cast<QComboBox*>(control)) {
    box->setAccessibleDescription(text);
    box->view()->setAccessibleName(text);
  }
}
