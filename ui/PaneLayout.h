// The layouts the panes and dialogs share: a column with the 60-twip margin
// and gap of the windows' design, and lists that keep a few whole rows.
#pragma once

#include <QBoxLayout>

class QAbstractItemView;
class QWidget;

// A vertical layout on `window` with 4-pixel margins and gaps.
QBoxLayout* PaneColumn(QWidget* window);
// The list shows a frame in the highlight colour while it has the focus:
// the style marks the focused entry only after a key has moved the focus.
void ShowFocus(QAbstractItemView* list);
// The list is never made lower than `rows` whole rows at its present font.
void KeepRows(QAbstractItemView* list, int rows);
