// See mdiFile.h.
#include "source/mdiFile.h"

#include <cstdio>

#include <QAction>
#include <QDropEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "engine/PathHelpers.h"
#include "platform/FileName.h"
#include "ui/Describe.h"
#include "ui/AppContext.h"
#include "ui/ListPaths.h"
#include "ui/MessageBox.h"
#include "ui/PaneLayout.h"
#include "ui/PathItem.h"
#include "ui/FlowLayout.h"
#include "ui/Twips.h"
#include "text/MessageCatalogue.h"

namespace {

// The buttons' design size, in twips.
constexpr int kButtonWidth = 1200;
constexpr int kButtonHeight = 375;
constexpr int kButtonGap = 60;

bool IsDragEvent(QEvent::Type type) {
  return type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
}

}  // namespace

mdiFile::mdiFile(AppContext& context, QWidget* parent)
    : PaneBase(context, QStringLiteral("File"), parent),
      lstFile(new QListWidget(this)),
      m_paths(new ListPaths(lstFile)),
      btnDel(new QPushButton(QStringLiteral("削除"), this)),
      btnDelAll(new QPushButton(QStringLiteral("全削除"), this)) {
  setObjectName(QStringLiteral("mdiFile"));
  lstFile->setObjectName(QStringLiteral("lstFile"));
  lstFile->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstFile->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Drops land on the viewport; both accept them so that either delivery reaches the filter.
  lstFile->setAcceptDrops(true);
  lstFile->viewport()->setAcceptDrops(true);
  addPopupTrigger(lstFile);  // also routes the list's keys and drops through eventFilter

  btnDel->setObjectName(QStringLiteral("btnDel"));
  btnDelAll->setObjectName(QStringLiteral("btnDelAll"));
  QBoxLayout* column = PaneColumn(this);
  column->addWidget(lstFile, 1);
  ShowFocus(lstFile);
  auto* buttons = new FlowLayout(nullptr, TwipsToPx(kButtonGap));
  column->addLayout(buttons);
  for (QPushButton* button : {btnDel, btnDelAll}) {
    // The standard size at the least: a larger font makes them taller and wider.
    button->setMinimumSize(TwipsToPx(kButtonWidth), TwipsToPx(kButtonHeight));
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  connect(btnDel, &QPushButton::clicked, this, [this] { btnDel_Click(); });
  connect(btnDelAll, &QPushButton::clicked, this, [this] { btnDelAll_Click(); });

  mnuAll = addPopupItem("mnuAll");
  mnuClear = addPopupItem("mnuClear");
  mnuOutCopy = addPopupItem("mnuOutCopy");
  mnuInCopy = addPopupItem("mnuInCopy");
  finishPopup();
  connect(mnuAll, &QAction::triggered, this, [this] { SelectAll(); });
  connect(mnuClear, &QAction::triggered, this, [this] { SelectClear(); });
  connect(mnuOutCopy, &QAction::triggered, this, [this] { mnuOutCopy_Click(); });
  connect(mnuInCopy, &QAction::triggered, this, [this] { mnuInCopy_Click(); });

  resize(TwipsToPx(4800), TwipsToPx(3000));
}

void mdiFile::setTexts() {
  setWindowTitle(MessageCatalogue::Product(ProductMsg::TargetCaption));
  mnuAll->setText(MessageCatalogue::Shared(SharedMsg::SelectAll));
  mnuClear->setText(MessageCatalogue::Shared(SharedMsg::UnselectAll));
  mnuOutCopy->setText(MessageCatalogue::Product(ProductMsg::TargetSameAsDestination));
  mnuInCopy->setText(MessageCatalogue::Product(ProductMsg::TargetSameAsSource));
}

void mdiFile::SetToolTip(bool on) {
  Describe(lstFile, MessageCatalogue::Product(ProductMsg::TargetListTip), on);
  btnDel->setToolTip(on ? MessageCatalogue::Product(ProductMsg::RemoveSelectedTip) : QString());
  btnDelAll->setToolTip(on ? MessageCatalogue::Product(ProductMsg::RemoveAllTip) : QString());
}

QList<QWidget*> mdiFile::fontControls() const { return {lstFile, btnDel, btnDelAll}; }

void mdiFile::relayout() { KeepRows(lstFile, 2); }

bool mdiFile::ListInAdd(const QString& path) {
  if (m_paths->contains(path)) return true;
  if (lstFile->count() < kMaxEntries) {
    m_paths->add(path);
    return true;
  }
  // The automatic run has nobody to answer a message box: the notice goes
  // to its standard error instead.
  if (m_context.AutoRunning)
    std::fputs(
        (QStringLiteral("rukasu2: ") + MessageCatalogue::Product(ProductMsg::TargetLimit) + u'\n').toUtf8().constData(),
        stderr);
  else
    MessageBox::Notice(dialogParent(), MessageCatalogue::Product(ProductMsg::TargetLimit));
  return false;
}

bool mdiFile::Gaibu_ListInAdd(const QString& name) {
  if (name.isEmpty()) return true;
  const QString path = LongPath_Get(name);
  if (path.isEmpty() || !File_Check(path)) return true;
  // Without the source file pane no kind counts as enabled.
  if (!m_context.windows.inFile || !m_context.windows.inFile->Exp_Check(path)) return true;
  return ListInAdd(path);
}

void mdiFile::RefreshForm() { lstFile->clear(); }

void mdiFile::SelectAll() {
  for (int row = 0; row < lstFile->count(); ++row) lstFile->item(row)->setSelected(true);
}

void mdiFile::SelectClear() {
  for (int row = 0; row < lstFile->count(); ++row) lstFile->item(row)->setSelected(false);
}

int mdiFile::count() { return lstFile->count(); }

QString mdiFile::entry(int index) {
  return ItemPath(lstFile->item(index));
}

bool mdiFile::isSelected(int index) {
  const QListWidgetItem* item = lstFile->item(index);
  return item && item->isSelected();
}

void mdiFile::setSelected(int index, bool selected) {
  if (QListWidgetItem* item = lstFile->item(index)) item->setSelected(selected);
}

void mdiFile::setTopIndex(int index) {
  // A hidden list (the automatic run) measured every entry again on each
  // scroll: a quarter of the CPU time of a run over 1,000 small archives.
  if (!lstFile->isVisible()) return;
  QListWidgetItem* item = lstFile->item(index);
  if (!item) return;
  lstFile->scrollToItem(item, QAbstractItemView::PositionAtTop);
  lstFile->viewport()->update();
}

void mdiFile::removeEntry(int index) { delete lstFile->takeItem(index); }

void mdiFile::focusList() { lstFile->setFocus(Qt::OtherFocusReason); }

QString mdiFile::SelectedFile_Get() {
  for (int row = 0; row < lstFile->count(); ++row)
    if (lstFile->item(row)->isSelected()) return ItemPath(lstFile->item(row));
  return {};
}

void mdiFile::btnDel_Click() {
  int row = 0;
  while (row < lstFile->count()) {
    if (lstFile->item(row)->isSelected())
      delete lstFile->takeItem(row);
    else
      ++row;
  }
  btnEnabledChange();
}

void mdiFile::btnDelAll_Click() {
  lstFile->clear();
  btnEnabledChange();
}

void mdiFile::mnuOutCopy_Click() {
  const QString selected = SelectedFile_Get();
  if (selected.isEmpty() || !m_context.windows.outDir) return;
  m_context.windows.outDir->setDirName(ParentDir_Get(selected));
}

void mdiFile::mnuInCopy_Click() {
  const QString selected = SelectedFile_Get();
  if (selected.isEmpty() || !m_context.windows.inDir) return;
  m_context.windows.inDir->setDirName(ParentDir_Get(selected));
}

bool mdiFile::eventFilter(QObject* watched, QEvent* event) {
  const bool onList = watched == lstFile || watched == lstFile->viewport();
  if (onList && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (m_context.windows.outDir) m_context.windows.outDir->focusDriveList();
      return true;
    }
  }
  if (onList && IsDragEvent(event->type())) {
    auto* drag = static_cast<QDropEvent*>(event);  // enter and move events derive from it
    if (!drag->mimeData()->hasUrls()) {
      drag->ignore();
      return true;
    }
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    if (event->type() == QEvent::Drop) {
      // Added once the drop has finished: the full-list message must not
      // hold the dragging program waiting for the drop's answer.
      const QList<QUrl> urls = drag->mimeData()->urls();
      QTimer::singleShot(0, this, [this, urls] { lstFile_Drop(urls); });
    }
    return true;
  }
  return PaneBase::eventFilter(watched, event);
}

void mdiFile::lstFile_Drop(const QList<QUrl>& urls) {
  for (const QUrl& url : urls) {
    // A name that is no local file is skipped like any name that is not an absolute path.
    if (!Gaibu_ListInAdd(FileNameFromUrl(url))) break;
  }
  btnEnabledChange();
}

void mdiFile::btnEnabledChange() {
  if (m_context.windows.main) m_context.windows.main->BtnEnabledChange();
}

QWidget* mdiFile::dialogParent() {
  if (m_context.windows.main) return m_context.windows.main->dialogParent();
  return this;
}
