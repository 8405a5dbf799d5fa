// The paths of a list widget's entries (ui/PathItem.h) as a set, for the
// panes that never list a path twice: a scan of every entry per added one made listing 1,000
// archives and their 1,000 folders cost a fifth of an automatic run over them.
// The set follows every change to the list; it is rebuilt when one came from
// elsewhere than add().
#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class QListWidget;

class ListPaths : public QObject {
 public:
  explicit ListPaths(QListWidget* list);

  bool contains(const QString& path);
  // Appends an entry for `path` to the list.
  void add(const QString& path);

 private:
  QListWidget* m_list;
  QSet<QString> m_paths;
  bool m_valid = false;
  bool m_adding = false;
};
