// A folder pane's folder aliases in its popup menu: "add an alias" (mnuAdd),
// "maintain the aliases" (mnuMente), a separator (mnuBar) and one item per
// alias (mnuAddDir(0) .. mnuAddDir(9)). Choosing an alias raises aliasChosen
// with its folder; the pane moves there.
#pragma once

#include <QObject>
#include <array>
#include <functional>

#include "settings/FolderAliasList.h"

class QAction;
class QMenu;
class QWidget;
struct AppContext;

class FolderAliasMenu : public QObject {
  Q_OBJECT

 public:
  // meCaption: the pane's name as the maintenance dialog shows it. dirName:
  // the pane's current folder in its on-disk spelling (empty on failure).
  FolderAliasMenu(AppContext& context, const QString& meCaption, std::function<QString()> dirName, QWidget* owner);

  // Adds mnuAdd, mnuMente, mnuBar and the ten alias items, in that order.
  void addTo(QMenu* menu) const;
  void setCaptions();

  FolderAliasList& list() { return m_list; }
  // Shows an item per alias and mnuBar while there is one; enables mnuMente
  // while there is one and mnuAdd while there is room.
  void updateState();

  // mnuAdd: asks for a name (the shortened folder as the default) and appends
  // the alias; an exact duplicate name is refused with a message.
  void addAlias();
  // mnuMente: lets the maintenance dialog edit a copy of the list and takes
  // the copy back on OK.
  void maintain();

  QAction* mnuAdd() const { return m_add; }
  QAction* mnuMente() const { return m_mente; }
  QAction* mnuBar() const { return m_bar; }
  QAction* mnuAddDir(int slot) const { return m_items[slot]; }

 signals:
  void aliasChosen(const QString& folder);

 private:
  AppContext& m_context;
  QString m_meCaption;
  std::function<QString()> m_dirName;
  QWidget* m_owner;
  FolderAliasList m_list;
  QAction* m_add;
  QAction* m_mente;
  QAction* m_bar;
  std::array<QAction*, FolderAliasList::kSlots> m_items{};
};
