// The body of a dialog that a large font or a small screen may make taller or
// wider than the screen: it asks for its whole content and scrolls only when
// the dialog is given less room, so that the dialog's buttons below it stay
// on the screen.
#pragma once

#include <QScrollArea>

class FittingScrollArea : public QScrollArea {
 public:
  // Takes `body` into the area.
  explicit FittingScrollArea(QWidget* body, QWidget* parent = nullptr);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
};
