// See FolderItemDelegate.h.
#include "ui/FolderItemDelegate.h"

#include <QFontMetrics>
#include <algorithm>

#include "ui/FolderListModel.h"

int FolderItemDelegate::indentOf(const QStyleOptionViewItem& option, const QModelIndex& index) {
  // Deep paths stop indenting so that names stay readable in a narrow pane.
  const int depth = std::min(index.data(FolderListModel::DepthRole).toInt(), 12);
  return depth * option.fontMetrics.averageCharWidth();
}

void FolderItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem shifted = option;
  shifted.rect.setLeft(option.rect.left() + indentOf(option, index));
  QStyledItemDelegate::paint(painter, shifted, index);
}

QSize FolderItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  size.rwidth() += indentOf(option, index);
  return size;
}
