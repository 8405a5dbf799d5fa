// See mdiOutFile.h.
#include "results/mdiOutFile.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

#include "engine/PathHelpers.h"
#include "ui/Describe.h"
#include "ui/AppContext.h"
#include "ui/PathItem.h"
#include "ui/ListPaths.h"
#include "ui/PaneLayout.h"
#include "ui/Twips.h"
#include "text/MessageCatalogue.h"

namespace {

// The hourglass for as long as the object lives.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

mdiOutFile::mdiOutFile(AppContext& context, QWidget* parent)
    : PaneBase(context, QStringLiteral("OutFile"), parent), lstOutFile(new DragOutList(this)), m_paths(new ListPaths(lstOutFile)) {
  setObjectName(QStringLiteral("mdiOutFile"));
  lstOutFile->setObjectName(QStringLiteral("lstOutFile"));
  lstOutFile->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstOutFile->setEditTriggers(QAbstractItemView::NoEditTriggers);
  addPopupTrigger(lstOutFile);

  mnuDel = addPopupItem("mnuDel");
  mnuRefresh = addPopupItem("mnuRefresh");
  mnuAll = addPopupItem("mnuAll");
  mnuClear = addPopupItem("mnuClear");
  finishPopup();
  connect(mnuDel, &QAction::triggered, lstOutFile, &QListWidget::clear);
  connect(mnuRefresh, &QAction::triggered, this, [this] { mnuRefresh_Click(); });
  connect(mnuAll, &QAction::triggered, this, [this] { SelectAll(); });
  connect(mnuClear, &QAction::triggered, this, [this] { SelectClear(); });

  PaneColumn(this)->addWidget(lstOutFile);
  ShowFocus(lstOutFile);
  resize(TwipsToPx(4800), TwipsToPx(2400));
}

void mdiOutFile::setTexts() {
  setWindowTitle(MessageCatalogue::Product(ProductMsg::OutFileCaption));
  mnuDel->setText(MessageCatalogue::Shared(SharedMsg::ClearList));
  mnuRefresh->setText(MessageCatalogue::Shared(SharedMsg::Refresh));
  mnuAll->setText(MessageCatalogue::Shared(SharedMsg::SelectAll));
  mnuClear->setText(MessageCatalogue::Shared(SharedMsg::UnselectAll));
}

void mdiOutFile::SetToolTip(bool on) {
  Describe(lstOutFile, MessageCatalogue::Product(ProductMsg::OutFileListTip), on);
}

QList<QWidget*> mdiOutFile::fontControls() const { return {lstOutFile}; }

void mdiOutFile::relayout() { KeepRows(lstOutFile, 2); }

void mdiOutFile::ListInAdd(const QString& folder) {
  if (!m_paths->contains(folder) && lstOutFile->count() < kMaxEntries) m_paths->add(folder);
}

void mdiOutFile::SelectAll() {
  for (int row = 0; row < lstOutFile->count(); ++row) lstOutFile->item(row)->setSelected(true);
}

void mdiOutFile::SelectClear() {
  for (int row = 0; row < lstOutFile->count(); ++row) lstOutFile->item(row)->setSelected(false);
}

QStringList mdiOutFile::entries() const {
  QStringList texts;
  for (int row = 0; row < lstOutFile->count(); ++row) texts << ItemPath(lstOutFile->item(row));
  return texts;
}

void mdiOutFile::mnuRefresh_Click() {
  const WaitCursor hourglass;
  // A removed entry's place is taken by the next one, which is examined in turn.
  int row = 0;
  while (row < lstOutFile->count()) {
    QListWidgetItem* entry = lstOutFile->item(row);
    const QString onDisk = LongPath_Get(ItemPath(entry));
    if (!onDisk.isEmpty() && Dir_Check(onDisk)) {
      SetItemPath(*entry, onDisk);
      ++row;
    } else {
      delete lstOutFile->takeItem(row);
    }
  }
}
