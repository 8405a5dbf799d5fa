// See Describe.h.
#include "ui/Describe.h"

#include <QString>
#include <QWidget>

void Describe(QWidget* control, const QString& text, bool tipShown) {
  control->setToolTip(tipShown ? text : QString());
  control->setAccessibleName(text);
}
