// See frmMenuMente.h.
#include "dialogs/frmMenuMente.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "engine/PathHelpers.h"
#include "ui/Describe.h"
#include "ui/AppContext.h"
#include "ui/MessageBox.h"
#include "ui/WindowFont.h"
#include "text/MessageCatalogue.h"

namespace {

QToolButton* PictureButton(QStyle::StandardPixmap picture, const QString& name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setIcon(parent->style()->standardIcon(picture));
  button->setIconSize(QSize(20, 20));
  return button;
}

}  // namespace

frmMenuMente::frmMenuMente(AppContext& context, QWidget* parent)
    : DialogBase(context, QStringLiteral("MenuMente"), QSize(), parent),
      lbxMenu(new QListWidget(this)),
      txtDir(new QLineEdit(this)),
      btnName(new QPushButton(this)),
      btnUp(PictureButton(QStyle::SP_ArrowUp, QStringLiteral("btnUp"), this)),
      btnDown(PictureButton(QStyle::SP_ArrowDown, QStringLiteral("btnDown"), this)),
      btnDel(PictureButton(QStyle::SP_TrashIcon, QStringLiteral("btnDel"), this)),
      btnDelAll(PictureButton(QStyle::SP_DialogDiscardButton, QStringLiteral("btnDelAll"), this)),
      btnOk(new QPushButton(this)),
      btnCancel(new QPushButton(this)) {
  setObjectName(QStringLiteral("frmMenuMente"));
  lbxMenu->setObjectName(QStringLiteral("lbxMenu"));
  txtDir->setObjectName(QStringLiteral("txtDir"));
  btnName->setObjectName(QStringLiteral("btnName"));
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  lbxMenu->setSelectionMode(QAbstractItemView::SingleSelection);
  txtDir->setReadOnly(true);  // what is typed there is not taken over
  btnOk->setAutoDefault(false);
  btnCancel->setAutoDefault(false);
  btnName->setAutoDefault(false);

  auto* pictures = new QVBoxLayout;
  for (QToolButton* button : {btnUp, btnDown, btnDel, btnDelAll}) pictures->addWidget(button);
  pictures->addStretch();
  auto* grid = new QGridLayout(this);
  grid->addWidget(lbxMenu, 0, 0, 1, 3);
  grid->addLayout(pictures, 0, 3);
  grid->addWidget(txtDir, 1, 0, 1, 4);
  grid->addWidget(btnName, 2, 0);
  grid->addWidget(btnOk, 2, 1);
  grid->addWidget(btnCancel, 2, 2);
  resize(360, 280);

  connect(lbxMenu, &QListWidget::currentRowChanged, this, &frmMenuMente::showFolder);
  connect(btnName, &QPushButton::clicked, this, &frmMenuMente::btnName_Click);
  connect(btnUp, &QToolButton::clicked, this, &frmMenuMente::btnUp_Click);
  connect(btnDown, &QToolButton::clicked, this, &frmMenuMente::btnDown_Click);
  connect(btnDel, &QToolButton::clicked, this, &frmMenuMente::btnDel_Click);
  connect(btnDelAll, &QToolButton::clicked, this, &frmMenuMente::btnDelAll_Click);
  connect(btnOk, &QPushButton::clicked, this, [this] {
    pblnOk = true;
    accept();
  });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  m_context.windows.menuMente = this;
}

frmMenuMente::~frmMenuMente() {
  if (m_context.windows.menuMente == this) m_context.windows.menuMente = nullptr;
}

bool frmMenuMente::Form_Load() {
  restorePlacement();
  SetFontData();
  btnOk->setText(MessageCatalogue::Shared(SharedMsg::OkButton));
  btnCancel->setText(MessageCatalogue::Shared(SharedMsg::CancelButton));
  btnName->setText(MessageCatalogue::Shared(SharedMsg::RenameButton));
  SetToolTip(m_context.settings.Tip);
  m_names.fill({});
  m_dirs.fill({});
  markLoaded();
  return true;
}

// A use after the close box unloaded the dialog loads it again first, as the
// first call on an unloaded window does; a failing load leaves the defaults.
void frmMenuMente::ensureLoaded() {
  if (!isLoaded()) Form_Load();
}

void frmMenuMente::Set_Menu(int index, const QString& name, const QString& dir) {
  ensureLoaded();
  if (index < 0 || index >= kSlots) return;
  m_names[index] = name;
  m_dirs[index] = dir;
}

void frmMenuMente::Get_Menu(int index, QString& name, QString& dir) {
  const bool listed = index >= 0 && index < kSlots && index < lbxMenu->count();
  name = listed ? m_names[index] : QString();
  dir = listed ? m_dirs[index] : QString();
}

int frmMenuMente::MenuCount() { return lbxMenu->count() - 1; }

bool frmMenuMente::ShowModal(const QString& meCaption) {
  if (isVisible()) return false;  // already open for a pane: the working copy is in use
  ensureLoaded();
  pstr_Me_Caption = meCaption;
  return showModal() && pblnOk;
}

void frmMenuMente::opening() {
  pblnOk = false;
  setWindowTitle(pstr_Me_Caption + MessageCatalogue::Shared(SharedMsg::AliasMaintenanceCaption));
  lbxMenu->clear();
  for (int slot = 0; slot < kSlots && !m_names[slot].isEmpty() && !m_dirs[slot].isEmpty(); ++slot)
    lbxMenu->addItem(m_names[slot]);
  selectRow(lbxMenu->count() > 0 ? 0 : -1);
  MenteEnabledChange();
  (lbxMenu->isEnabled() ? static_cast<QWidget*>(lbxMenu) : btnCancel)->setFocus();
}

void frmMenuMente::MenteEnabledChange() {
  const bool any = lbxMenu->count() > 0;
  for (QWidget* control : std::initializer_list<QWidget*>{txtDir, lbxMenu, btnUp, btnDown, btnDel, btnDelAll, btnName})
    control->setEnabled(any);
}

void frmMenuMente::showFolder(int row) {
  txtDir->setText(row >= 0 && row < kSlots && row < lbxMenu->count() ? DispPath_Get(m_dirs[row]) : QString());
}

void frmMenuMente::selectRow(int row) {
  lbxMenu->setCurrentRow(row);
  showFolder(row);  // also when the row was already current
}

void frmMenuMente::btnName_Click() {
  const int row = lbxMenu->currentRow();
  if (row < 0) return;
  const QString current = m_names[row];
  const QString name =
      QInputDialog::getText(this, MessageCatalogue::Shared(SharedMsg::RenameTitle),
                            MessageCatalogue::Shared(SharedMsg::RenamePrompt), QLineEdit::Normal, current);
  if (name.isEmpty() || name == current) return;
  for (int i = 0; i < lbxMenu->count(); ++i) {
    if (m_names[i] == name) {
      MessageBox::Notice(this, MessageCatalogue::Shared(SharedMsg::RenameExists));
      return;
    }
  }
  m_names[row] = name;
  lbxMenu->item(row)->setText(name);
}

void frmMenuMente::swapWith(int from, int to) {
  std::swap(m_names[from], m_names[to]);
  std::swap(m_dirs[from], m_dirs[to]);
  lbxMenu->insertItem(to, lbxMenu->takeItem(from));
  selectRow(to);
}

void frmMenuMente::btnUp_Click() {
  const int row = lbxMenu->currentRow();
  if (row >= 1) swapWith(row, row - 1);
}

void frmMenuMente::btnDown_Click() {
  const int row = lbxMenu->currentRow();
  if (row >= 0 && row <= lbxMenu->count() - 2) swapWith(row, row + 1);
}

void frmMenuMente::btnDel_Click() {
  const int row = lbxMenu->currentRow();
  if (row < 0) return;
  delete lbxMenu->takeItem(row);
  for (int slot = row; slot < kSlots - 1; ++slot) {
    m_names[slot] = m_names[slot + 1];
    m_dirs[slot] = m_dirs[slot + 1];
  }
  m_names[kSlots - 1].clear();
  m_dirs[kSlots - 1].clear();
  selectRow(std::min(row, lbxMenu->count() - 1));
  MenteEnabledChange();
}

void frmMenuMente::btnDelAll_Click() {
  if (lbxMenu->count() == 0) return;
  lbxMenu->clear();
  txtDir->clear();
  m_names.fill({});
  m_dirs.fill({});
  MenteEnabledChange();
}

void frmMenuMente::SetFontData() {
  const QFont font = SettingsFont(m_context.settings);
  ApplyFont(this, font);
  for (QWidget* control : std::initializer_list<QWidget*>{lbxMenu, txtDir, btnName, btnOk, btnCancel})
    ApplyFont(control, font);
}

void frmMenuMente::SetToolTip(bool on) {
  using M = SharedMsg;
  const auto tip = [on](SharedMsg id) { return on ? MessageCatalogue::Shared(id) : QString(); };
  btnName->setToolTip(tip(M::RenameTip));
  Describe(txtDir, MessageCatalogue::Shared(M::AliasFolderTip), on);
  Describe(lbxMenu, MessageCatalogue::Shared(M::AliasListTip), on);
  Describe(btnUp, MessageCatalogue::Shared(M::MoveUpTip), on);
  Describe(btnDown, MessageCatalogue::Shared(M::MoveDownTip), on);
  Describe(btnDel, MessageCatalogue::Shared(M::DeleteTip), on);
  Describe(btnDelAll, MessageCatalogue::Shared(M::DeleteAllTip), on);
  btnOk->setToolTip(tip(M::OkTip));
  btnCancel->setToolTip(tip(M::CancelTip));
}

void frmMenuMente::closeEvent(QCloseEvent* event) {
  pblnOk = false;
  DialogBase::closeEvent(event);
}
