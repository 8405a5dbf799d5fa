// The folder list's entries: the ancestors of the current folder from the root
// down, the current folder, then its immediate subfolders in name order. The
// lists address entries by index: the current folder is -1, its parent -2 and
// so on up to the root; the subfolders are 0 to listCount() - 1.
#pragma once

#include <QAbstractListModel>
#include <QStringList>

class FolderListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  // How deep an entry sits (0 for the root), for indenting it.
  static constexpr int DepthRole = Qt::UserRole + 1;

  explicit FolderListModel(QObject* parent = nullptr);

  // Makes the absolute folder the current one and reads its subfolders. False,
  // with nothing changed, when the path is not absolute or cannot be read.
  bool setPath(const QString& folder);
  // Reads the subfolders again. False when the folder cannot be read any more;
  // the list then holds no subfolders.
  bool refresh();

  // The current folder ("/" or without a trailing "/"); empty before setPath.
  const QString& path() const { return m_path; }
  int listCount() const { return static_cast<int>(m_subfolders.size()); }
  // The full path of the entry at a list index; empty when there is none.
  QString entry(int index) const;
  int rowOfIndex(int index) const { return index + static_cast<int>(m_ancestors.size()); }
  int indexOfRow(int row) const { return row - static_cast<int>(m_ancestors.size()); }

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  QString m_path;
  QStringList m_ancestors;   // full paths, root first, the current folder last
  QStringList m_subfolders;  // names
};
