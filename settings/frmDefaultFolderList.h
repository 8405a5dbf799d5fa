// frmDefault's folder list: the ancestors of the current folder from the root
// down, the current folder, then its subfolders in name order. Entries are
// indexed as the folder panes' list is: the current folder -1, its parent -2
// and so on up to the root, the subfolders 0 to ListCount() - 1. It stands in
// for the folder panes' shared folder list until frmDefault moves over to
// that one; frmDefault uses only the operations below.
#pragma once

#include <QListWidget>
#include <QStringList>

class frmDefaultFolderList : public QListWidget {
  Q_OBJECT

 public:
  explicit frmDefaultFolderList(QWidget* parent = nullptr);

  // The current folder: absolute, without a trailing "/" (except the root).
  const QString& Path() const { return m_path; }
  // Makes the folder current (raising pathChanged when it differs). False,
  // with nothing changed, when it is not an absolute path to a folder that
  // can be entered.
  bool setPath(const QString& folder);
  // Re-reads the subfolders of the current folder; raises nothing.
  void refresh();

  int ListCount() const { return int(m_entries.size()) - ancestorCount(); }
  // The highlighted entry's index; -1 (the current folder) after every change of folder.
  int ListIndex() const;
  void setListIndex(int index);
  // The folder of an entry, or empty for an index outside the list.
  QString List(int index) const;
  // Makes the entry the current folder; false when it cannot.
  bool open(int index);

 signals:
  void pathChanged();

 private:
  // Entries from the root down to the current folder.
  int ancestorCount() const;
  void rebuild();

  QString m_path;
  QStringList m_entries;  // one folder path per row
};
