// A list of folder paths that other programs can take by dragging: a left
// press on a non-empty list followed by a mouse move starts a copy-only drag
// that carries the selected entries, in list order, as a file list. Its
// entries are path items (ui/PathItem.h): the URLs carry a path's bytes.
#pragma once

#include <functional>

#include <QListWidget>
#include <QPoint>

class QDrag;
class QMimeData;

class DragOutList : public QListWidget {
  Q_OBJECT

 public:
  explicit DragOutList(QWidget* parent = nullptr);

  // Runs a prepared drag with the actions it allows and returns the action
  // the target took. The default hands it to the platform (QDrag::exec);
  // tests replace it to deliver the drop themselves where the platform has
  // no drag service. The runner owns the drag: after QDrag::exec Qt deletes
  // it once no program can still ask for its data (on X11 the receiving
  // program asks only after exec has returned); a replacement deletes it.
  using DragRunner = std::function<Qt::DropAction(QDrag& drag, Qt::DropActions allowed)>;
  void setDragRunner(DragRunner runner) { m_runDrag = std::move(runner); }

  // The data a drag offers: the selected entries as text/uri-list (empty
  // when nothing is selected).
  QMimeData* selectedFileList() const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;

 private:
  void runFileDrag();

  DragRunner m_runDrag;
  QPoint m_pressAt;
  bool m_armed = false;  // a left press on a non-empty list, no drag yet
};
