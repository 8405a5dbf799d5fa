// See mdiInFile.h.
#include "source/mdiInFile.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

#include "engine/PathHelpers.h"
#include "ui/Describe.h"
#include "ui/AppContext.h"
#include "ui/BusyCursor.h"
#include "ui/FlowLayout.h"
#include "ui/PaneLayout.h"
#include "ui/Twips.h"
#include "source/ArchivePattern.h"
#include "source/FileList.h"
#include "source/FileListModel.h"
#include "ui/FolderListModel.h"
#include "text/MessageCatalogue.h"

namespace {

QString WithSlash(const QString& folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; }

// The caption with a small margin: the style's minimum button width would
// push "サブフォルダも追加" past the edge of a tile at the main window's
// default size.
int CaptionWidth(const QPushButton* button) {
  return button->fontMetrics().horizontalAdvance(button->text()) + 2 * TwipsToPx(90);
}

}  // namespace

mdiInFile::mdiInFile(AppContext& context, QWidget* parent)
    : PaneBase(context, QStringLiteral("InFile"), parent),
      filFile(new FileList(this)),
      // The captions are the buttons' own; the message tables hold none for them.
      btnAdd(new QPushButton(QStringLiteral("追加"), this)),
      btnAddAll(new QPushButton(QStringLiteral("全て追加"), this)),
      btnAddAllAll(new QPushButton(QStringLiteral("サブフォルダも追加"), this)),
      dlbDummy(new FolderListModel(this)),
      filDummy(new FileListModel(this)),
      mnuRefresh(new QAction(this)),
      mnuAll(new QAction(this)),
      mnuClear(new QAction(this)) {
  setObjectName(QStringLiteral("mdiInFile"));
  filFile->setObjectName(QStringLiteral("filFile"));
  btnAdd->setObjectName(QStringLiteral("btnAdd"));
  btnAddAll->setObjectName(QStringLiteral("btnAddAll"));
  btnAddAllAll->setObjectName(QStringLiteral("btnAddAllAll"));
  dlbDummy->setObjectName(QStringLiteral("dlbDummy"));
  filDummy->setObjectName(QStringLiteral("filDummy"));
  mnuRefresh->setObjectName(QStringLiteral("mnuRefresh"));
  mnuAll->setObjectName(QStringLiteral("mnuAll"));
  mnuClear->setObjectName(QStringLiteral("mnuClear"));

  popupMenu()->addActions({mnuRefresh, mnuAll, mnuClear});
  finishPopup();
  addPopupTrigger(filFile);

  connect(btnAdd, &QPushButton::clicked, this, &mdiInFile::btnAdd_Click);
  connect(btnAddAll, &QPushButton::clicked, this, &mdiInFile::btnAddAll_Click);
  connect(btnAddAllAll, &QPushButton::clicked, this, &mdiInFile::btnAddAllAll_Click);
  connect(filFile, &FileList::enterPressed, this, [this] {
    if (m_context.windows.file) m_context.windows.file->focusList();
  });
  connect(mnuRefresh, &QAction::triggered, this, &mdiInFile::RefreshForm);
  connect(mnuAll, &QAction::triggered, this, &mdiInFile::SelectAll);
  connect(mnuClear, &QAction::triggered, this, &mdiInFile::SelectClear);

  QBoxLayout* column = PaneColumn(this);
  column->addWidget(filFile, 1);
  auto* buttons = new FlowLayout(nullptr, TwipsToPx(60));
  column->addLayout(buttons);
  for (QPushButton* button : {btnAdd, btnAddAll, btnAddAllAll}) buttons->addWidget(button);
  resize(320, 260);
  m_context.windows.inFile = this;
}

mdiInFile::~mdiInFile() {
  if (m_context.windows.inFile == this) m_context.windows.inFile = nullptr;
}

void mdiInFile::setTexts() {
  setWindowTitle(MessageCatalogue::Product(ProductMsg::SourceFileCaption));
  mnuRefresh->setText(MessageCatalogue::Shared(SharedMsg::Refresh));
  mnuAll->setText(MessageCatalogue::Shared(SharedMsg::SelectAll));
  mnuClear->setText(MessageCatalogue::Shared(SharedMsg::UnselectAll));
}

void mdiInFile::setDirName(const QString& folder) {
  // Setting the folder reads it, so only the selection is left to clear.
  if (!filFile->files().setFolder(folder)) filFile->files().setFolder(CurrentFolderPath());
  SelectClear();
}

void mdiInFile::setFilePattern(const QString& pattern) {
  filFile->files().setPattern(pattern);
  filDummy->setPattern(pattern);
}

void mdiInFile::Pattern_Make() { setFilePattern(ArchivePattern(m_context.settings, m_context.libraries)); }

bool mdiInFile::Exp_Check(const QString& name) { return IsArchiveFile(name, m_context.settings, m_context.libraries); }

void mdiInFile::RefreshForm() {
  filFile->files().refresh();
  SelectClear();
}

void mdiInFile::SelectAll() { filFile->selectAll(); }

void mdiInFile::SelectClear() { filFile->clearSelection(); }

void mdiInFile::btnAdd_Click() { addListed(false); }

void mdiInFile::btnAddAll_Click() { addListed(true); }

void mdiInFile::addListed(bool all) {
  TargetListOps* target = m_context.windows.file;
  if (!target) return;
  {
    const BusyCursor busy;
    const FileListModel& files = filFile->files();
    const QString folder = WithSlash(files.folder());
    for (int i = 0; i < files.count(); ++i) {
      if (!all && !filFile->isSelected(i)) continue;
      const QString path = LongPath_Get(folder + files.name(i));
      // A full list stops here, leaving this file and the later ones as they are.
      if (!path.isEmpty() && !target->ListInAdd(path)) break;
      filFile->setSelected(i, false);
    }
  }
  if (m_context.windows.main) m_context.windows.main->BtnEnabledChange();
}

bool mdiInFile::addFolder(const QString& folder) {
  // A folder that cannot be read adds nothing; the walk goes on.
  if (!filDummy->setFolder(folder)) return true;
  const QString prefix = WithSlash(filDummy->folder());
  for (int i = 0; i < filDummy->count(); ++i) {
    const QString path = LongPath_Get(prefix + filDummy->name(i));
    if (!path.isEmpty() && !m_context.windows.file->ListInAdd(path)) return false;
  }
  return true;
}

void mdiInFile::btnAddAllAll_Click() {
  if (!m_context.windows.file) return;
  {
    const BusyCursor busy;
    // Exactly one level down: the folder itself (-1), then its immediate
    // subfolders in name order; sub-subfolders are never visited.
    if (dlbDummy->setPath(filFile->files().folder())) {
      for (int k = -1; k < dlbDummy->listCount(); ++k)
        if (!addFolder(dlbDummy->entry(k))) break;
    }
    SelectClear();
  }
  if (m_context.windows.main) m_context.windows.main->BtnEnabledChange();
}

void mdiInFile::SetToolTip(bool on) {
  Describe(filFile, MessageCatalogue::Product(ProductMsg::SourceFileListTip), on);
  btnAdd->setToolTip(on ? MessageCatalogue::Product(ProductMsg::AddSelectedTip) : QString());
  btnAddAll->setToolTip(on ? MessageCatalogue::Product(ProductMsg::AddAllTip) : QString());
  btnAddAllAll->setToolTip(on ? MessageCatalogue::Product(ProductMsg::AddAllWithSubfoldersTip) : QString());
}

QList<QWidget*> mdiInFile::fontControls() const { return {filFile, btnAdd, btnAddAll}; }

// The buttons are as wide as their captions at the present font.
void mdiInFile::relayout() {
  KeepRows(filFile, 2);
  for (QPushButton* button : {btnAdd, btnAddAll, btnAddAllAll}) button->setFixedWidth(CaptionWidth(button));
}
