// See FileListModel.h.
#include "source/FileListModel.h"

#include <QDir>

#include "engine/PathHelpers.h"
#include "platform/FolderReader.h"

FileListModel::FileListModel(QObject* parent) : QAbstractListModel(parent) {}

std::optional<QStringList> FileListModel::read(const QString& folder) const {
  return ReadFolderEntries(folder, FolderEntryKind::Files,
                           [this](const QString& name) { return m_pattern.matches(name); });
}

bool FileListModel::setFolder(const QString& folder) {
  if (!folder.startsWith(u'/')) return false;
  const QString clean = QDir::cleanPath(folder);
  auto names = read(clean);
  if (!names) return false;
  beginResetModel();
  m_folder = clean;
  m_names = std::move(*names);
  endResetModel();
  return true;
}

void FileListModel::setPattern(const QString& pattern) {
  m_pattern = FileNamePattern(pattern);
  refresh();
}

bool FileListModel::refresh() {
  auto names = m_folder.isEmpty() ? std::nullopt : read(m_folder);
  beginResetModel();
  m_names = names ? std::move(*names) : QStringList();
  endResetModel();
  return names.has_value();
}

int FileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_names.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_names.size()) return {};
  return DisplayPath(m_names[index.row()]);
}
