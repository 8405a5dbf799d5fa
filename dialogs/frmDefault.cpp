// See frmDefault.h.
#include "dialogs/frmDefault.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "engine/PathHelpers.h"
#include "ui/Describe.h"
#include "ui/AppContext.h"
#include "ui/PaneLayout.h"
#include "ui/WindowFont.h"
#include "ui/DriveList.h"
#include "ui/FolderList.h"
#include "text/MessageCatalogue.h"

namespace {

// The folder list shows at least the current folder and two entries.
constexpr int kLeastRows = 3;

// The texts each use gives the dialog.
struct UseTexts {
  ProductMsg caption, cbxHint, drvHint, dlbHint, txtHint;
  bool yukoOffered, diskFree;
};

UseTexts TextsOf(frmDefault::Use use) {
  using M = ProductMsg;
  switch (use) {
    case frmDefault::Use::InDir:
      return {M::DefaultSourceCaption, M::DefaultSourceInForceTip, M::DefaultSourceDriveTip, M::DefaultSourceFolderTip,
              M::DefaultSourceFolderNameTip, true, false};
    case frmDefault::Use::OutDir:
      return {M::DefaultDestCaption, M::DefaultDestInForceTip, M::DefaultDestDriveTip, M::DefaultDestFolderTip,
              M::DefaultDestFolderNameTip, true, true};
    case frmDefault::Use::TmpDir:
      break;
  }
  return {M::DefaultTmpCaption, M::DefaultTmpInForceTip, M::DefaultTmpDriveTip, M::DefaultTmpFolderTip,
          M::DefaultTmpFolderNameTip, false, true};
}

}  // namespace

frmDefault::frmDefault(AppContext& context, QWidget* parent)
    : DialogBase(context, QStringLiteral("Default"), QSize(5000, 5000), parent) {
  setObjectName(QStringLiteral("frmDefault"));
  buildControls();
  buildPopup();
}

frmDefault::~frmDefault() = default;

void frmDefault::buildControls() {
  cbxDrive = new QCheckBox(this);
  cbxDrive->setObjectName(QStringLiteral("cbxDrive"));
  lblDrive = new QLabel(this);
  lblDrive->setObjectName(QStringLiteral("lblDrive"));
  drvDrive = new DriveList(this);
  drvDrive->setObjectName(QStringLiteral("drvDrive"));
  dlbDir = new FolderList(this);
  dlbDir->setObjectName(QStringLiteral("dlbDir"));
  txtDir = new QLineEdit(this);
  txtDir->setObjectName(QStringLiteral("txtDir"));
  txtDir->setReadOnly(true);
  // Its own context menu would hide the dialog's popup.
  txtDir->setContextMenuPolicy(Qt::NoContextMenu);

  pnlDefault = new QWidget(this);
  pnlDefault->setObjectName(QStringLiteral("pnlDefault"));
  btnOk = new QPushButton(pnlDefault);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnCancel = new QPushButton(pnlDefault);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setAutoDefault(false);
  btnOk->setDefault(true);
  auto* buttons = new QHBoxLayout(pnlDefault);
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->addStretch();
  buttons->addWidget(btnOk);
  buttons->addWidget(btnCancel);

  // The title stands right of the in-force box, or at the edge when the box is hidden.
  QBoxLayout* column = PaneColumn(this);
  auto* title = new QHBoxLayout;
  title->addWidget(cbxDrive);
  title->addWidget(lblDrive, 1);
  column->addLayout(title);
  column->addWidget(drvDrive);
  column->addWidget(dlbDir, 1);
  column->addWidget(txtDir);
  column->addWidget(pnlDefault);

  dlbDir->installEventFilter(this);
  dlbDir->viewport()->installEventFilter(this);
  txtDir->installEventFilter(this);

  connect(drvDrive, &DriveList::driveChosen, this, &frmDefault::drvDrive_Change);
  connect(drvDrive, &DriveList::enterPressed, dlbDir, [this] { dlbDir->setFocus(); });
  connect(dlbDir, &FolderList::pathChanged, this, &frmDefault::dlbDir_Change);
  connect(cbxDrive, &QCheckBox::clicked, this, &frmDefault::cbxDrive_Click);
  connect(btnOk, &QPushButton::clicked, this, &frmDefault::btnOk_Click);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmDefault::buildPopup() {
  mnuPopup = new QMenu(QStringLiteral("Menu"), this);
  mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
  mnuInDir = mnuPopup->addAction(QString());
  mnuInDir->setObjectName(QStringLiteral("mnuInDir"));
  mnuOutDir = mnuPopup->addAction(QString());
  mnuOutDir->setObjectName(QStringLiteral("mnuOutDir"));
  mnuTmp = mnuPopup->addAction(QString());
  mnuTmp->setObjectName(QStringLiteral("mnuTmp"));
  // Each counts as a change only through the folder list's change it causes.
  connect(mnuInDir, &QAction::triggered, this, [this] {
    if (FolderPaneOps* pane = m_context.windows.inDir) setDirName(pane->DirName());
  });
  connect(mnuOutDir, &QAction::triggered, this, [this] {
    if (FolderPaneOps* pane = m_context.windows.outDir) setDirName(pane->DirName());
  });
  connect(mnuTmp, &QAction::triggered, this, [this] { setDirName(TempFolderPath()); });
}

bool frmDefault::Form_Load() {
  if (!m_context.AutoRunning) {
    restorePlacement();
    SetFontData();
    setTexts();
    SetToolTip(m_context.settings.Tip);
  }
  markLoaded();
  return true;
}

void frmDefault::setTexts() {
  setWindowTitle(MessageCatalogue::Product(ProductMsg::DefaultCaption));
  btnOk->setText(MessageCatalogue::Shared(SharedMsg::OkButton));
  btnCancel->setText(MessageCatalogue::Shared(SharedMsg::CancelButton));
  mnuInDir->setText(MessageCatalogue::Product(ProductMsg::CopyFromSource));
  mnuOutDir->setText(MessageCatalogue::Product(ProductMsg::CopyFromDestination));
  mnuTmp->setText(MessageCatalogue::Product(ProductMsg::CopyFromTemporary));
}

void frmDefault::SetFontData() {
  const QFont font = SettingsFont(m_context.settings);
  ApplyFont(this, font);
  for (QWidget* control : std::initializer_list<QWidget*>{btnOk, btnCancel, lblDrive, drvDrive, dlbDir, txtDir})
    ApplyFont(control, font);
  relayout();
}

void frmDefault::SetToolTip(bool on) {
  auto tip = [on](const QString& text) { return on ? text : QString(); };
  btnOk->setToolTip(tip(MessageCatalogue::Shared(SharedMsg::OkTip)));
  btnCancel->setToolTip(tip(MessageCatalogue::Shared(SharedMsg::CancelTip)));
  Describe(cbxDrive, pstr_cbxDrive_Hint, on);
  Describe(drvDrive, pstr_drvDrive_Hint, on);
  Describe(dlbDir, pstr_dlbDir_Hint, on);
  Describe(txtDir, pstr_txtDir_Hint, on);
}

QString frmDefault::DirName() const { return LongPath_Get(dlbDir->path()); }

void frmDefault::setDirName(const QString& folder) {
  if (!dlbDir->setPath(folder)) dlbDir->setPath(CurrentFolderPath());
  RefreshForm();
}

bool frmDefault::Yuko() const { return cbxDrive->isChecked(); }

void frmDefault::setYuko(bool blnYuko) {
  cbxDrive->setChecked(blnYuko);
  YukoEnabledChange();
}

void frmDefault::RefreshForm() {
  drvDrive->refresh();
  drvDrive->setDriveOf(dlbDir->path());
  // Re-reading keeps the highlighted entry where it was.
  const int highlighted = dlbDir->listIndex();
  dlbDir->refresh();
  dlbDir->setListIndex(highlighted);
  DirCaptionChange();
}

void frmDefault::YukoEnabledChange() {
  const bool on = cbxDrive->isChecked();
  for (QWidget* control : std::initializer_list<QWidget*>{lblDrive, drvDrive, dlbDir, txtDir}) control->setEnabled(on);
}

void frmDefault::DirCaptionChange() {
  const QString path = LongPath_Get(dlbDir->path());
  if (path.isEmpty()) {
    lblDrive->setText(pstr_lblDrive_Caption);
    txtDir->clear();
    return;
  }
  txtDir->setText(DispPath_Get(path));
  lblDrive->setText(pblnDiskFreeOk ? pstr_lblDrive_Caption + FreeSpace_Get(drvDrive->Drive()) : pstr_lblDrive_Caption);
}

void frmDefault::Configure(Use use) {
  const UseTexts texts = TextsOf(use);
  pstr_lblDrive_Caption = MessageCatalogue::Product(texts.caption);
  pstr_cbxDrive_Hint = MessageCatalogue::Product(texts.cbxHint);
  pblnYukoMukouOk = texts.yukoOffered;
  pblnDiskFreeOk = texts.diskFree;
  pstr_drvDrive_Hint = MessageCatalogue::Product(texts.drvHint);
  pstr_dlbDir_Hint = MessageCatalogue::Product(texts.dlbHint);
  pstr_txtDir_Hint = MessageCatalogue::Product(texts.txtHint);
  DefaultFolders& folders = m_context.defaults;
  switch (use) {
    case Use::InDir:
      setDirName(folders.Dir_In);
      setYuko(folders.Dir_In_Yuko);
      break;
    case Use::OutDir:
      setDirName(folders.Dir_Out);
      setYuko(folders.Dir_Out_Yuko);
      break;
    case Use::TmpDir:
      setDirName(m_context.settings.TmpDir);
      setYuko(true);
      break;
  }
}

void frmDefault::TakeBack(Use use) {
  DefaultFolders& folders = m_context.defaults;
  switch (use) {
    case Use::InDir:
      folders.Dir_In = DirName();
      folders.Dir_In_Yuko = Yuko();
      break;
    case Use::OutDir:
      folders.Dir_Out = DirName();
      folders.Dir_Out_Yuko = Yuko();
      break;
    case Use::TmpDir:
      m_context.settings.TmpDir = DirName();
      break;
  }
}

bool frmDefault::Edit(Use use) {
  Configure(use);
  if (!showModal()) return false;
  if (pblnOk) TakeBack(use);
  return true;
}

void frmDefault::opening() {
  pblnOk = false;
  SetToolTip(m_context.settings.Tip);
  if (pblnYukoMukouOk) {
    cbxDrive->show();
  } else {
    cbxDrive->setChecked(true);
    cbxDrive->hide();
    YukoEnabledChange();
  }
  DirCaptionChange();
  relayout();
  btnOk->setEnabled(false);
}

// Only the folder list's least height follows the font; Qt lays out the rest.
void frmDefault::relayout() { KeepRows(dlbDir, kLeastRows); }

void frmDefault::drvDrive_Change(const QString& mountPoint) {
  btnOk->setEnabled(true);
  // A drive that cannot be read leaves the lists where they were.
  if (!dlbDir->setPath(mountPoint)) drvDrive->setDriveOf(dlbDir->path());
}

void frmDefault::dlbDir_Change() {
  btnOk->setEnabled(true);
  drvDrive->setDriveOf(dlbDir->path());
  DirCaptionChange();
}

void frmDefault::cbxDrive_Click() {
  btnOk->setEnabled(true);
  YukoEnabledChange();
}

void frmDefault::btnOk_Click() {
  pblnOk = true;
  accept();
}

void frmDefault::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    mnuPopup->popup(event->globalPosition().toPoint());
    event->accept();
    return;
  }
  DialogBase::mousePressEvent(event);
}

bool frmDefault::eventFilter(QObject* watched, QEvent* event) {
  // Backspace here always goes to the parent of the current folder, wherever
  // the highlight is (the folder panes' list goes one above the highlight).
  if (event->type() == QEvent::KeyPress && watched == dlbDir &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backspace) {
    dlbDir->openEntry(-2);  // at the root there is none
    return true;
  }
  if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton &&
      (watched == dlbDir->viewport() || watched == txtDir)) {
    mnuPopup->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    return true;
  }
  return DialogBase::eventFilter(watched, event);
}
