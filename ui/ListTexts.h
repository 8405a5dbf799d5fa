// The texts of a list widget's entries as a set, for the panes that never
// list a text twice: a scan of every entry per added one made listing 1,000
// archives and their 1,000 folders cost a fifth of an automatic run over them.
// The set follows every change to the list; it is rebuilt when one came from
// elsewhere than add().
#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class QListWidget;

class ListTexts : public QObject {
 public:
  explicit ListTexts(QListWidget* list);

  bool contains(const QString& text);
  // Appends an entry with `text` to the list.
  void add(const QString& text);

 private:
  QListWidget* m_list;
  QSet<QString> m_texts;
  bool m_valid = false;
  bool m_adding = false;
};
