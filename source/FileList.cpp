// See FileList.h.
#include "source/FileList.h"

#include <QKeyEvent>

#include "source/FileListModel.h"
#include "ui/PaneLayout.h"

FileList::FileList(QWidget* parent) : QListView(parent), m_model(new FileListModel(this)) {
  setModel(m_model);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);  // no per-row measuring in large folders
  ShowFocus(this);
}

bool FileList::isSelected(int index) const { return selectionModel()->isSelected(m_model->index(index)); }

void FileList::setSelected(int index, bool selected) {
  const QModelIndex at = m_model->index(index);
  if (!at.isValid()) return;
  selectionModel()->select(at, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void FileList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    emit enterPressed();
    return;
  }
  QListView::keyPressEvent(event);
}
