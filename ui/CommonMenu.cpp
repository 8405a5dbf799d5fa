// See CommonMenu.h.
#include "ui/CommonMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <optional>

#include "settings/SettingsValue.h"
#include "ui/AppContext.h"
#include "ui/WindowInterfaces.h"

namespace {

// Runs a main-window handler; nothing happens while the main window is not loaded.
template <void (MainWindowOps::*Handler)()>
void Forward(AppContext& context) {
  if (context.windows.main) (context.windows.main->*Handler)();
}

}  // namespace

CommonMenu::CommonMenu(AppContext& context, QObject* parent) : QObject(parent), m_context(context) {
  m_top[mnuExit] = makeAction("mnuExit", "E(&x)it", Forward<&MainWindowOps::mnuExit_Click>);
  m_top[mnuFont] = makeAction("mnuFont", "Fon(&t)", Forward<&MainWindowOps::mnuFont_Click>);

  m_logMenu = new QMenu("(&L)og");
  m_logMenu->setObjectName("mnuLog");
  m_logMenu->addAction(makeAction("mnuLogCopy", "Log(&C)opy", Forward<&MainWindowOps::mnuLogCopy_Click>));
  m_logMenu->addAction(makeAction("mnuLogSave", "Log(&S)ave", Forward<&MainWindowOps::mnuLogSave_Click>));
  m_top[mnuLog] = m_logMenu->menuAction();

  m_defaultMenu = new QMenu("(&D)efault");
  m_defaultMenu->setObjectName("mnuDefault");
  m_defaultMenu->addAction(
      makeAction("mnuInDirDefault", "InDirDefault", Forward<&MainWindowOps::mnuInDirDefault_Click>));
  m_defaultMenu->addAction(
      makeAction("mnuOutDirDefault", "OutDirDefault", Forward<&MainWindowOps::mnuOutDirDefault_Click>));
  m_defaultMenu->addAction(
      makeAction("mnuTmpDirDefault", "TmpDirDefault", Forward<&MainWindowOps::mnuTmpDirDefault_Click>));
  m_top[mnuDefault] = m_defaultMenu->menuAction();

  m_top[mnuOption] = makeAction("mnuOption", "(&O)ption", Forward<&MainWindowOps::mnuOption_Click>);
  m_top[mnuMkdir] = makeAction("mnuMkdir", "M(&k)dir", Forward<&MainWindowOps::mnuMkdir_Click>);
  m_top[mnuHelp] = makeAction("mnuHelp", "(&H)elp", Forward<&MainWindowOps::mnuHelp_Click>);
  m_top[mnuAbout] = makeAction("mnuAbout", "(&A)bout", Forward<&MainWindowOps::mnuAbout_Click>);
  // The submenus have no parent widget; this object owns them.
  connect(this, &QObject::destroyed, m_logMenu, &QObject::deleteLater);
  connect(this, &QObject::destroyed, m_defaultMenu, &QObject::deleteLater);
}

QAction* CommonMenu::makeAction(const QString& name, const QString& caption, void (*run)(AppContext&)) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  AppContext* context = &m_context;
  // Queued: a command may close or unload the window whose menu is still open.
  connect(action, &QAction::triggered, this, [context, run] { run(*context); }, Qt::QueuedConnection);
  return action;
}

void CommonMenu::addTo(QMenuBar* bar) const {
  for (QAction* action : m_top) bar->addAction(action);
}

void CommonMenu::addTo(QMenu* menu) const {
  for (QAction* action : m_top) menu->addAction(action);
}

void CommonMenu::setEnabledText(const QString& flag) {
  const std::optional<bool> on = BoolFromText(flag);
  if (!on) return;  // not a boolean text: every entry stays as it is
  for (QAction* action : m_top) action->setEnabled(*on);
  emit enabledChanged();
}

bool CommonMenu::isEnabled(Entry entry) const { return m_top[entry]->isEnabled(); }

QAction* CommonMenu::subAction(const QString& name) const {
  for (QMenu* menu : {m_logMenu, m_defaultMenu})
    for (QAction* action : menu->actions())
      if (action->objectName() == name) return action;
  return nullptr;
}
