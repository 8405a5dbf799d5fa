// The lines of the result log as a list model, so that the log pane's view
// stays cheap when lines are appended and the oldest one dropped tens of
// thousands of times in a run.
#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>

class LogLineModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit LogLineModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  void append(const QString& line);
  void removeFirst();
  void clear();
  const QList<QString>& lines() const { return m_lines; }

 private:
  QList<QString> m_lines;  // Qt 6's QList drops its first element without moving the rest
};
