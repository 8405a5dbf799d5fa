// See LogLineModel.h.
#include "results/LogLineModel.h"

LogLineModel::LogLineModel(QObject* parent) : QAbstractListModel(parent) {}

int LogLineModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

QVariant LogLineModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_lines.size()) return {};
  return m_lines.at(index.row());
}

void LogLineModel::append(const QString& line) {
  const int row = static_cast<int>(m_lines.size());
  beginInsertRows(QModelIndex(), row, row);
  m_lines.append(line);
  endInsertRows();
}

void LogLineModel::removeFirst() {
  if (m_lines.isEmpty()) return;
  beginRemoveRows(QModelIndex(), 0, 0);
  m_lines.removeFirst();
  endRemoveRows();
}

void LogLineModel::clear() {
  beginResetModel();
  m_lines.clear();
  endResetModel();
}
