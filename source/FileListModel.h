// The file list's entries: the files of one folder whose names match the
// pattern, in name order, hidden files left out.
#pragma once

#include <QAbstractListModel>
#include <QStringList>
#include <optional>

#include "platform/FileNamePattern.h"

class FileListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit FileListModel(QObject* parent = nullptr);

  // Lists the absolute folder. False, with nothing changed, when it cannot be read.
  bool setFolder(const QString& folder);
  // Sets the pattern (";"-separated wildcards) and lists the folder again.
  void setPattern(const QString& pattern);
  // Lists the folder again; false (and an empty list) when it cannot be read any more.
  bool refresh();

  // The listed folder ("/" or without a trailing "/"); empty before setFolder.
  const QString& folder() const { return m_folder; }
  const QString& pattern() const { return m_pattern.text(); }
  int count() const { return static_cast<int>(m_names.size()); }
  QString name(int index) const { return m_names.value(index); }

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  std::optional<QStringList> read(const QString& folder) const;

  QString m_folder;
  FileNamePattern m_pattern;
  QStringList m_names;
};
