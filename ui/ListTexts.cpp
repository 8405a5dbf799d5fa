// See ListTexts.h.
#include "ui/ListTexts.h"

#include <QAbstractItemModel>
#include <QListWidget>

ListTexts::ListTexts(QListWidget* list) : QObject(list), m_list(list) {
  QAbstractItemModel* model = list->model();
  const auto stale = [this] { m_valid = false; };
  connect(model, &QAbstractItemModel::rowsInserted, this, [this] { m_valid = m_valid && m_adding; });
  connect(model, &QAbstractItemModel::rowsRemoved, this, stale);
  connect(model, &QAbstractItemModel::rowsMoved, this, stale);
  connect(model, &QAbstractItemModel::dataChanged, this, stale);
  connect(model, &QAbstractItemModel::modelReset, this, stale);
  connect(model, &QAbstractItemModel::layoutChanged, this, stale);
}

bool ListTexts::contains(const QString& text) {
  if (!m_valid) {
    m_texts.clear();
    for (int row = 0; row < m_list->count(); ++row) m_texts.insert(m_list->item(row)->text());
    m_valid = true;
  }
  return m_texts.contains(text);
}

void ListTexts::add(const QString& text) {
  m_adding = true;
  m_list->addItem(text);
  m_adding = false;
  if (m_valid) m_texts.insert(text);
}
