// The common menu that the main window and every pane carry: E(&x)it, Fon(&t),
// (&L)og with Log(&C)opy and Log(&S)ave, (&D)efault with InDirDefault,
// OutDirDefault and TmpDirDefault, (&O)ption, M(&k)dir, (&H)elp, (&A)bout.
// Each command goes to the main window's handler of the same name.
#pragma once

#include <QObject>
#include <QString>
#include <array>

class QAction;
class QMenu;
class QMenuBar;
struct AppContext;

class CommonMenu : public QObject {
  Q_OBJECT

 public:
  // The eight top-level entries, in menu order.
  enum Entry { mnuExit, mnuFont, mnuLog, mnuDefault, mnuOption, mnuMkdir, mnuHelp, mnuAbout };
  static constexpr int kEntryCount = 8;

  CommonMenu(AppContext& context, QObject* parent);

  // Adds the entries (with their submenus) to a menu bar or to a popup menu.
  void addTo(QMenuBar* bar) const;
  void addTo(QMenu* menu) const;

  // Menu_Enabled: "True" enables, "False" disables the eight top-level entries
  // (their submenu entries become unreachable with them); a text that is no
  // boolean changes nothing.
  void setEnabledText(const QString& flag);
  bool isEnabled(Entry entry) const;
  QAction* action(Entry entry) const { return m_top[entry]; }
  // The submenu entries, by name: "mnuLogCopy", "mnuLogSave", "mnuInDirDefault", ...
  QAction* subAction(const QString& name) const;

 signals:
  void enabledChanged();

 private:
  QAction* makeAction(const QString& name, const QString& caption, void (*run)(AppContext&));

  AppContext& m_context;
  std::array<QAction*, kEntryCount> m_top{};
  QMenu* m_logMenu = nullptr;
  QMenu* m_defaultMenu = nullptr;
};
