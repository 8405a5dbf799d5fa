// See PaneLayout.h.
#include "ui/PaneLayout.h"

#include <QAbstractItemView>
#include <QVBoxLayout>

#include "ui/Twips.h"

namespace {
constexpr int kGap = 60;  // twips
}

QBoxLayout* PaneColumn(QWidget* window) {
  auto* column = new QVBoxLayout(window);
  column->setContentsMargins(TwipsToPx(kGap), TwipsToPx(kGap), TwipsToPx(kGap), TwipsToPx(kGap));
  column->setSpacing(TwipsToPx(kGap));
  return column;
}

void KeepRows(QAbstractItemView* list, int rows) {
  // An empty list has no row to measure: a line of its font and the item margins.
  const int row = list->model() && list->model()->rowCount() > 0 ? list->sizeHintForRow(0)
                                                                    : list->fontMetrics().height() + 4;
  list->setMinimumHeight(rows * row + 2 * list->frameWidth());
}

void ShowFocus(QAbstractItemView* list) {
  list->setStyleSheet(QStringLiteral("QAbstractItemView:focus { border: 2px solid palette(highlight); }"));
}
