// The folder list of the folder panes (dlbDir): the model of FolderListModel
// in a list view, with a highlighted entry that arrow keys and single clicks
// move and that returns to the current folder (-1) at every change. A double
// click or Enter opens the highlighted entry; Backspace opens the entry one
// above it (the parent while the highlight is on the current folder).
#pragma once

#include <QListView>

class FolderListModel;

class FolderList : public QListView {
  Q_OBJECT

 public:
  explicit FolderList(QWidget* parent = nullptr);

  // Makes the folder current. Raises pathChanged when the folder differs from
  // the current one; the same folder is only read again. False, with nothing
  // changed, when the folder cannot be read.
  bool setPath(const QString& folder);
  // Reads the subfolders again without a change notification; false when the
  // current folder cannot be read any more.
  bool refresh();
  QString path() const;

  // The highlighted entry's list index (-1 the current folder).
  int listIndex() const;
  void setListIndex(int index);
  int listCount() const;
  // The full path of the entry at a list index; empty when there is none.
  QString entry(int index) const;
  // Makes the entry at the index the current folder; false when there is no
  // such entry or it cannot be read.
  bool openEntry(int index);

 signals:
  void pathChanged(const QString& path);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  FolderListModel* m_model;
};
