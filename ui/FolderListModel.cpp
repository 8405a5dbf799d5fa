// See FolderListModel.h.
#include "ui/FolderListModel.h"

#include <QApplication>
#include <QDir>
#include <QStyle>

#include "engine/PathHelpers.h"
#include "platform/FolderReader.h"

namespace {

QStringList AncestorsOf(const QString& path) {
  QStringList chain{QStringLiteral("/")};
  QString at;
  for (const QString& component : path.split(u'/', Qt::SkipEmptyParts)) {
    at += u'/' + component;
    chain << at;
  }
  return chain;
}

}  // namespace

FolderListModel::FolderListModel(QObject* parent) : QAbstractListModel(parent) {}

bool FolderListModel::setPath(const QString& folder) {
  if (!folder.startsWith(u'/')) return false;
  const QString clean = QDir::cleanPath(folder);
  if (!Dir_Check(clean)) return false;
  auto subfolders = ReadFolderEntries(clean, FolderEntryKind::Folders);
  if (!subfolders) return false;
  beginResetModel();
  m_path = clean;
  m_ancestors = AncestorsOf(clean);
  m_subfolders = std::move(*subfolders);
  endResetModel();
  return true;
}

bool FolderListModel::refresh() {
  if (m_path.isEmpty()) return false;
  auto subfolders = ReadFolderEntries(m_path, FolderEntryKind::Folders);
  beginResetModel();
  m_subfolders = subfolders ? std::move(*subfolders) : QStringList();
  endResetModel();
  return subfolders.has_value();
}

QString FolderListModel::entry(int index) const {
  if (index >= 0) {
    if (index >= m_subfolders.size()) return {};
    return (m_path == QStringLiteral("/") ? m_path : m_path + u'/') + m_subfolders[index];
  }
  const int row = rowOfIndex(index);
  return row >= 0 ? m_ancestors[row] : QString();
}

int FolderListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(m_ancestors.size() + m_subfolders.size());
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const int row = index.row();
  const int ancestors = static_cast<int>(m_ancestors.size());
  const bool isAncestor = row < ancestors;
  switch (role) {
    case Qt::DisplayRole:
      if (!isAncestor) return m_subfolders[row - ancestors];
      return row == 0 ? QStringLiteral("/") : m_ancestors[row].section(u'/', -1);
    case Qt::DecorationRole:
      return QApplication::style()->standardIcon(isAncestor ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon);
    case DepthRole:
      return isAncestor ? row : ancestors;
    default:
      return {};
  }
}
