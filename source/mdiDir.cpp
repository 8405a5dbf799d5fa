// See mdiDir.h.
#include "source/mdiDir.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QScopedValueRollback>

#include "engine/PathHelpers.h"
#include "settings/SettingsField.h"
#include "settings/StoreLocation.h"
#include "ui/Describe.h"
#include "ui/AppContext.h"
#include "ui/DriveList.h"
#include "source/FolderAliasMenu.h"
#include "ui/FolderList.h"
#include "ui/PaneLayout.h"
#include "text/MessageCatalogue.h"

namespace {

// The folder list shows at least the current folder and two entries.
constexpr int kLeastRows = 3;

// The placement keys' prefix: InDir_Left ... or OutDir_Left ...
QString PlacementPrefix(FolderPaneRole role) {
  return role == FolderPaneRole::Source ? QStringLiteral("InDir") : QStringLiteral("OutDir");
}

}  // namespace

mdiDir::mdiDir(AppContext& context, FolderPaneRole role, QWidget* parent)
    : PaneBase(context, PlacementPrefix(role), parent),
      m_role(role),
      drvDrive(new DriveList(this)),
      dlbDir(new FolderList(this)),
      txtDir(new QLineEdit(this)),
      mnuCopy(new QAction(this)),
      mnuRefresh(new QAction(this)),
      m_aliases(new FolderAliasMenu(
          context,
          MessageCatalogue::Product(isSource() ? ProductMsg::SourceDirCaption : ProductMsg::DestDirCaption),
          [this] { return DirName(); }, this)) {
  setObjectName(isSource() ? QStringLiteral("mdiInDir") : QStringLiteral("mdiOutDir"));
  drvDrive->setObjectName(QStringLiteral("drvDrive"));
  dlbDir->setObjectName(QStringLiteral("dlbDir"));
  txtDir->setObjectName(QStringLiteral("txtDir"));
  txtDir->setReadOnly(true);  // what is typed there would change nothing
  txtDir->setContextMenuPolicy(Qt::NoContextMenu);
  mnuCopy->setObjectName(QStringLiteral("mnuCopy"));
  mnuRefresh->setObjectName(QStringLiteral("mnuRefresh"));

  popupMenu()->addAction(mnuCopy);
  popupMenu()->addAction(mnuRefresh);
  m_aliases->addTo(popupMenu());
  finishPopup();
  addPopupTrigger(dlbDir);
  addPopupTrigger(txtDir);

  connect(dlbDir, &FolderList::pathChanged, this, [this] {
    if (m_quiet) return;
    m_lastResort = false;  // the user chose this folder
    folderChanged();
  });
  connect(drvDrive, &DriveList::driveChosen, this, &mdiDir::driveChosen);
  connect(drvDrive, &DriveList::enterPressed, dlbDir, [this] { dlbDir->setFocus(); });
  connect(mnuCopy, &QAction::triggered, this, &mdiDir::mnuCopy_Click);
  connect(mnuRefresh, &QAction::triggered, this, &mdiDir::RefreshForm);
  connect(m_aliases, &FolderAliasMenu::aliasChosen, this, &mdiDir::setDirName);

  QBoxLayout* column = PaneColumn(this);
  column->addWidget(drvDrive);
  column->addWidget(dlbDir, 1);
  column->addWidget(txtDir);
  resize(320, 260);
  (isSource() ? m_context.windows.inDir : m_context.windows.outDir) = this;
}

mdiDir::~mdiDir() {
  FolderPaneOps*& slot = isSource() ? m_context.windows.inDir : m_context.windows.outDir;
  if (slot == this) slot = nullptr;
}

QString mdiDir::keyPrefix() const { return isSource() ? QStringLiteral("Dir_In") : QStringLiteral("Dir_Out"); }

QString mdiDir::loadErrorText() const {
  return isSource() ? QStringLiteral("Rukasu2 mdiinDir Form_Load ERR")
                    : QStringLiteral("Rukasu2 mdiOutDir Form_Load ERR");
}

bool mdiDir::Form_Load() {
  // The folder keys come from where this pane's placement lives, even when
  // the placement itself is not restored.
  const StoreLocation at = PlacementLocation(m_context.store, PlacementPrefix(m_role) + QStringLiteral("_Left"));
  const QString prefix = keyPrefix();
  DefaultFolders& d = m_context.defaults;
  QString& folder = isSource() ? d.Dir_In : d.Dir_Out;
  bool& yuko = isSource() ? d.Dir_In_Yuko : d.Dir_Out_Yuko;
  QString oldDir;
  if (!ReadText(m_context.store, at, prefix, CurrentFolderPath(), folder)) folder = CurrentFolderPath();
  // A flag that is no boolean keeps its default: the pane starts at the default folder.
  yuko = true;
  ReadBool(m_context.store, at, prefix + QStringLiteral("_Yuko"), true, yuko);
  if (!ReadText(m_context.store, at, QStringLiteral("Old") + prefix, CurrentFolderPath(), oldDir))
    oldDir = CurrentFolderPath();
  setDirName(yuko ? folder : oldDir);
  if (m_context.AutoRunning) return true;

  loadLook();
  m_aliases->list().load(m_context.store, at, prefix);
  m_aliases->updateState();
  return true;
}

void mdiDir::setTexts() {
  if (isSource()) setWindowTitle(MessageCatalogue::Product(ProductMsg::SourceDirCaption));
  mnuCopy->setText(
      MessageCatalogue::Product(isSource() ? ProductMsg::SourceSameAsDestination : ProductMsg::DestSameAsSource));
  mnuRefresh->setText(MessageCatalogue::Shared(SharedMsg::Refresh));
  m_aliases->setCaptions();
}

void mdiDir::Form_Unload() {
  if (m_context.AutoRunning) return;
  savePlacement();
  const StoreLocation at = CurrentLocation();
  const QString prefix = keyPrefix();
  const DefaultFolders& d = m_context.defaults;
  WriteText(m_context.store, at, prefix, isSource() ? d.Dir_In : d.Dir_Out);
  WriteBool(m_context.store, at, prefix + QStringLiteral("_Yuko"), isSource() ? d.Dir_In_Yuko : d.Dir_Out_Yuko);
  WriteText(m_context.store, at, QStringLiteral("Old") + prefix, DirName());
  m_aliases->list().save(m_context.store, at, prefix);
}

QString mdiDir::DirName() { return m_lastResort ? QString() : LongPath_Get(dlbDir->path()); }

bool mdiDir::moveQuietly(const QString& folder) {
  const QScopedValueRollback quiet(m_quiet, true);
  return dlbDir->setPath(folder);
}

void mdiDir::setDirName(const QString& folder) {
  // The change handling runs once, from RefreshForm, not also for the move.
  // A pane without any folder yet (the current folder gone too) shows the
  // root, but names no folder until one is chosen: an automatic run must not
  // take the root for its destination.
  m_lastResort = false;
  if (!moveQuietly(folder) && !moveQuietly(CurrentFolderPath()) && dlbDir->path().isEmpty())
    m_lastResort = moveQuietly(QStringLiteral("/"));
  RefreshForm();
}

void mdiDir::moveToNearestFolder(const QString& gone) {
  for (QString at = ParentDir_Get(gone); !moveQuietly(at); at = ParentDir_Get(at))
    if (at == QStringLiteral("/")) return;
}

void mdiDir::RefreshForm() {
  drvDrive->refresh();
  // A folder removed behind the pane's back gives way to its nearest ancestor.
  if (!dlbDir->refresh() && !dlbDir->path().isEmpty()) moveToNearestFolder(dlbDir->path());
  folderChanged();
}

void mdiDir::folderChanged() {
  const QString path = dlbDir->path();
  // Mount points nest: walking up the folder list can leave the drive.
  drvDrive->setDriveOf(path);
  m_driveFolders.insert(drvDrive->Drive(), path);
  DirCaptionChange();
  if (isSource() && m_context.windows.inFile) m_context.windows.inFile->setDirName(path);
}

void mdiDir::DirCaptionChange() {
  const QString path = dlbDir->path();
  txtDir->setText(DispPath_Get(LongPath_Get(path)));
  if (!isSource()) setWindowTitle(MessageCatalogue::Product(ProductMsg::DestDirCaption) + FreeSpace_Get(path));
}

void mdiDir::driveChosen(const QString& drive) {
  QString target = m_driveFolders.value(drive);
  if (target.isEmpty() || drvDrive->driveOf(target) != drive) target = drive;
  if (dlbDir->setPath(target) || (target != drive && dlbDir->setPath(drive))) return;
  drvDrive->setDriveOf(dlbDir->path());
}

void mdiDir::mnuCopy_Click() {
  FolderPaneOps* other = isSource() ? m_context.windows.outDir : m_context.windows.inDir;
  const QString path = dlbDir->path();
  if (other && !path.isEmpty()) other->setDirName(path);
}

void mdiDir::focusDriveList() { drvDrive->setFocus(); }

void mdiDir::SetToolTip(bool on) {
  using M = ProductMsg;
  Describe(drvDrive, MessageCatalogue::Product(isSource() ? M::SourceDriveTip : M::DestDriveTip), on);
  Describe(dlbDir, MessageCatalogue::Product(isSource() ? M::SourceFolderTip : M::DestFolderTip), on);
  Describe(txtDir, MessageCatalogue::Product(isSource() ? M::SourceFolderNameTip : M::DestFolderNameTip), on);
}

QList<QWidget*> mdiDir::fontControls() const { return {txtDir, dlbDir, drvDrive}; }

// The pane's column is laid out by Qt; only the list's least height follows the font.
void mdiDir::relayout() { KeepRows(dlbDir, kLeastRows); }
