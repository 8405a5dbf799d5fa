// See FolderAliasMenu.h.
#include "source/FolderAliasMenu.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>

#include "engine/PathHelpers.h"
#include "ui/AppContext.h"
#include "ui/MessageBox.h"
#include "ui/WindowInterfaces.h"
#include "text/MessageCatalogue.h"

FolderAliasMenu::FolderAliasMenu(AppContext& context, const QString& meCaption, std::function<QString()> dirName,
                                 QWidget* owner)
    : QObject(owner),
      m_context(context),
      m_meCaption(meCaption),
      m_dirName(std::move(dirName)),
      m_owner(owner),
      m_add(new QAction(this)),
      m_mente(new QAction(this)),
      m_bar(new QAction(this)) {
  m_add->setObjectName(QStringLiteral("mnuAdd"));
  m_mente->setObjectName(QStringLiteral("mnuMente"));
  m_bar->setObjectName(QStringLiteral("mnuBar"));
  m_bar->setSeparator(true);
  // Queued: the dialogs these open must not run inside the popup's own event handling.
  connect(m_add, &QAction::triggered, this, &FolderAliasMenu::addAlias, Qt::QueuedConnection);
  connect(m_mente, &QAction::triggered, this, &FolderAliasMenu::maintain, Qt::QueuedConnection);
  for (int slot = 0; slot < FolderAliasList::kSlots; ++slot) {
    m_items[slot] = new QAction(this);
    m_items[slot]->setObjectName(QStringLiteral("mnuAddDir(%1)").arg(slot));
    connect(m_items[slot], &QAction::triggered, this, [this, slot] {
      if (slot < m_list.count()) emit aliasChosen(m_list.at(slot).folder);
    });
  }
  updateState();
}

void FolderAliasMenu::addTo(QMenu* menu) const {
  menu->addAction(m_add);
  menu->addAction(m_mente);
  menu->addAction(m_bar);
  for (QAction* item : m_items) menu->addAction(item);
}

void FolderAliasMenu::setCaptions() {
  m_add->setText(MessageCatalogue::Shared(SharedMsg::AddAlias));
  m_mente->setText(MessageCatalogue::Shared(SharedMsg::MaintainAliases));
}

void FolderAliasMenu::updateState() {
  for (int slot = 0; slot < FolderAliasList::kSlots; ++slot) {
    const bool used = slot < m_list.count();
    // "&" in a name is shown as it is, not taken as a shortcut marker.
    m_items[slot]->setText(used ? QString(m_list.at(slot).name).replace(u'&', QStringLiteral("&&")) : QString());
    m_items[slot]->setVisible(used);
  }
  const bool any = m_list.count() > 0;
  m_bar->setVisible(any);
  m_mente->setEnabled(any);
  m_add->setEnabled(!m_list.isFull());
}

void FolderAliasMenu::addAlias() {
  if (m_list.isFull()) return;
  const QString folder = m_dirName();
  const QString name = QInputDialog::getText(m_owner, MessageCatalogue::Shared(SharedMsg::AliasTitle),
                                             MessageCatalogue::Shared(SharedMsg::AliasPrompt) + u'\n' + folder,
                                             QLineEdit::Normal, DispPath_Get(folder));
  if (name.isEmpty()) return;
  if (m_list.containsName(name)) {
    MessageBox::Notice(m_owner, MessageCatalogue::Shared(SharedMsg::AliasExists));
    return;
  }
  // The folder is read again: the pane may have moved while the box was open.
  // An alias without a folder would cut the stored list short, so none is made.
  if (!m_list.append(name, m_dirName())) return;
  updateState();
}

void FolderAliasMenu::maintain() {
  MenuMenteOps* dialog = m_context.windows.menuMente;
  if (!dialog || m_list.count() == 0) return;
  for (int slot = 0; slot < FolderAliasList::kSlots; ++slot) {
    const bool used = slot < m_list.count();
    dialog->Set_Menu(slot, used ? m_list.at(slot).name : QString(), used ? m_list.at(slot).folder : QString());
  }
  if (!dialog->ShowModal(m_meCaption)) return;
  QList<FolderAlias> edited;
  const int last = dialog->MenuCount();
  for (int slot = 0; slot <= last && slot < FolderAliasList::kSlots; ++slot) {
    FolderAlias alias;
    dialog->Get_Menu(slot, alias.name, alias.folder);
    edited << alias;
  }
  m_list.assign(edited);
  updateState();
}
