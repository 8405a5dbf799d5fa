// Entries of the lists that hold paths (the target list, the extracted
// folders): an entry shows the path as the user reads it (DisplayPath) and
// keeps the path itself, whose bytes need not be UTF-8 (platform/FileName.h).
#pragma once

#include <QListWidgetItem>

#include "engine/PathHelpers.h"

inline void SetItemPath(QListWidgetItem& item, const QString& path) {
  item.setText(DisplayPath(path));
  item.setData(Qt::UserRole, path);
}

inline QListWidgetItem* NewPathItem(const QString& path) {
  auto* item = new QListWidgetItem;
  SetItemPath(*item, path);
  return item;
}

inline QString ItemPath(const QListWidgetItem* item) { return item ? item->data(Qt::UserRole).toString() : QString(); }
