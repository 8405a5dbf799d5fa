// See DragOutList.h.
#include "results/DragOutList.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include "platform/FileName.h"
#include "ui/PathItem.h"

DragOutList::DragOutList(QWidget* parent)
    : QListWidget(parent),
      m_runDrag([](QDrag& drag, Qt::DropActions allowed) { return drag.exec(allowed, Qt::CopyAction); }) {
  // With dragging on, a press on an already selected entry keeps the other
  // selected entries, so a multiple selection can be dragged as a whole.
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
  setDefaultDropAction(Qt::CopyAction);
}

QMimeData* DragOutList::selectedFileList() const {
  QList<QUrl> urls;
  for (int row = 0; row < count(); ++row) {
    const QListWidgetItem* entry = item(row);
    if (entry->isSelected()) urls << FileNameUrl(ItemPath(entry));
  }
  auto* data = new QMimeData;
  data->setUrls(urls);
  // An empty selection still offers a (empty) file list.
  if (urls.isEmpty()) data->setData(QStringLiteral("text/uri-list"), QByteArray());
  return data;
}

void DragOutList::mousePressEvent(QMouseEvent* event) {
  m_armed = event->button() == Qt::LeftButton && count() > 0;
  if (m_armed) m_pressAt = event->position().toPoint();
  QListWidget::mousePressEvent(event);
}

void DragOutList::mouseMoveEvent(QMouseEvent* event) {
  if (m_armed && (event->buttons() & Qt::LeftButton) &&
      (event->position().toPoint() - m_pressAt).manhattanLength() >= QApplication::startDragDistance()) {
    m_armed = false;
    runFileDrag();
    setState(NoState);  // the drag took the button release
    return;
  }
  QListWidget::mouseMoveEvent(event);
}

void DragOutList::mouseReleaseEvent(QMouseEvent* event) {
  m_armed = false;
  QListWidget::mouseReleaseEvent(event);
}

void DragOutList::startDrag(Qt::DropActions) {
  // The item view's own drag start (a press on an entry) offers the same data.
  m_armed = false;
  runFileDrag();
}

void DragOutList::runFileDrag() {
  if (count() == 0) return;
  // Not deleted here: the runner owns it (see setDragRunner).
  auto* drag = new QDrag(this);
  drag->setMimeData(selectedFileList());
  if (m_runDrag) m_runDrag(*drag, Qt::CopyAction);  // copy only: the folders stay where they are
}
