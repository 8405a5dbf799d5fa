// See MarginLayout.h.
#include "results/MarginLayout.h"

#include <QWidget>

#include "ui/Twips.h"

namespace {
constexpr int kMargin = 60;  // twips
}

void PlaceInMargin(QWidget* pane, QWidget* list) {
  const int width = PxToTwips(pane->width()) - 2 * kMargin;
  const int height = PxToTwips(pane->height()) - 2 * kMargin;
  if (width <= 0) return;
  const int heightPx = height > 0 ? TwipsToPx(height) : list->height();
  list->setGeometry(TwipsToPx(kMargin), TwipsToPx(kMargin), TwipsToPx(width), heightPx);
}
