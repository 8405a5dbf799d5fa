// See FolderList.h.
#include "ui/FolderList.h"

#include <QKeyEvent>

#include "ui/FolderItemDelegate.h"
#include "ui/FolderListModel.h"
#include "ui/PaneLayout.h"

FolderList::FolderList(QWidget* parent) : QListView(parent), m_model(new FolderListModel(this)) {
  setModel(m_model);
  setItemDelegate(new FolderItemDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Every row has the same height: the view then lays out tens of thousands of
  // entries without measuring each one.
  setUniformItemSizes(true);
  ShowFocus(this);
  connect(this, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { openEntry(m_model->indexOfRow(index.row())); });
}

bool FolderList::setPath(const QString& folder) {
  const QString before = m_model->path();
  if (!m_model->setPath(folder)) return false;
  setListIndex(-1);
  if (m_model->path() != before) emit pathChanged(m_model->path());
  return true;
}

bool FolderList::refresh() {
  const bool ok = m_model->refresh();
  setListIndex(-1);
  return ok;
}

QString FolderList::path() const { return m_model->path(); }

int FolderList::listIndex() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? m_model->indexOfRow(current.row()) : -1;
}

void FolderList::setListIndex(int index) {
  const QModelIndex at = m_model->index(m_model->rowOfIndex(index));
  if (!at.isValid()) return;
  setCurrentIndex(at);
  scrollTo(at);
}

int FolderList::listCount() const { return m_model->listCount(); }

QString FolderList::entry(int index) const { return m_model->entry(index); }

bool FolderList::openEntry(int index) {
  const QString target = m_model->entry(index);
  return !target.isEmpty() && setPath(target);
}

void FolderList::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      openEntry(listIndex());
      event->accept();
      return;
    case Qt::Key_Backspace:
      openEntry(listIndex() - 1);
      event->accept();
      return;
    default:
      QListView::keyPressEvent(event);
  }
}
