// A row of buttons that wraps onto further rows when the window is too narrow
// for all of them at the present font, so that no button is cut or laid over
// another; its height follows from the width it is given.
#pragma once

#include <QLayout>
#include <QList>

class FlowLayout : public QLayout {
 public:
  explicit FlowLayout(QWidget* parent = nullptr, int spacing = 4);
  ~FlowLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override { return static_cast<int>(m_items.size()); }
  QLayoutItem* itemAt(int index) const override { return m_items.value(index); }
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override { return place(QRect(0, 0, width, 0), false); }
  QSize minimumSize() const override;
  QSize sizeHint() const override;
  void setGeometry(const QRect& rect) override;

 private:
  // Lays the items out left to right within rect's width (moving them when
  // `apply`); the height the rows take.
  int place(const QRect& rect, bool apply) const;

  QList<QLayoutItem*> m_items;
  int m_spacing;
};
