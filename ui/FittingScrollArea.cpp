// See FittingScrollArea.h.
#include "ui/FittingScrollArea.h"

#include <QScrollBar>
#include <algorithm>

FittingScrollArea::FittingScrollArea(QWidget* body, QWidget* parent) : QScrollArea(parent) {
  setObjectName(QStringLiteral("scrBody"));
  setFrameShape(QFrame::NoFrame);
  setWidgetResizable(true);
  setWidget(body);
}

// QScrollArea's own hint stops at 36 x 24 lines; the body's full size here.
QSize FittingScrollArea::sizeHint() const {
  const int frame = 2 * frameWidth();
  return widget()->sizeHint() + QSize(frame, frame);
}

// Room for a few lines and the scroll bars; the rest scrolls.
QSize FittingScrollArea::minimumSizeHint() const {
  const int line = fontMetrics().height();
  const QSize body = widget()->minimumSizeHint();
  const int bar = verticalScrollBar()->sizeHint().width();
  return {std::min(body.width(), 10 * line) + bar, std::min(body.height(), 4 * line) + bar};
}
