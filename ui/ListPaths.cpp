// See ListPaths.h.
#include "ui/ListPaths.h"

#include <QAbstractItemModel>
#include <QListWidget>

#include "ui/PathItem.h"

ListPaths::ListPaths(QListWidget* list) : QObject(list), m_list(list) {
  QAbstractItemModel* model = list->model();
  const auto stale = [this] { m_valid = false; };
  connect(model, &QAbstractItemModel::rowsInserted, this, [this] { m_valid = m_valid && m_adding; });
  connect(model, &QAbstractItemModel::rowsRemoved, this, stale);
  connect(model, &QAbstractItemModel::rowsMoved, this, stale);
  connect(model, &QAbstractItemModel::dataChanged, this, stale);
  connect(model, &QAbstractItemModel::modelReset, this, stale);
  connect(model, &QAbstractItemModel::layoutChanged, this, stale);
}

bool ListPaths::contains(const QString& path) {
  if (!m_valid) {
    m_paths.clear();
    for (int row = 0; row < m_list->count(); ++row) m_paths.insert(ItemPath(m_list->item(row)));
    m_valid = true;
  }
  return m_paths.contains(path);
}

void ListPaths::add(const QString& path) {
  m_adding = true;
  m_list->addItem(NewPathItem(path));
  m_adding = false;
  if (m_valid) m_paths.insert(path);
}
