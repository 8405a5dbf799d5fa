// Draws a folder list entry indented by its depth, so that the chain of
// ancestors reads as a path from the root down to the current folder.
#pragma once

#include <QStyledItemDelegate>

class FolderItemDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  static int indentOf(const QStyleOptionViewItem& option, const QModelIndex& index);
};
