// See mdiStatus.h.
#include "results/mdiStatus.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QMenu>

#include "results/LogFile.h"
#include "results/LogLineModel.h"
#include "ui/Describe.h"
#include "ui/AppContext.h"
#include "ui/MessageBox.h"
#include "ui/PaneLayout.h"
#include "ui/Twips.h"
#include "text/MessageCatalogue.h"

mdiStatus::mdiStatus(AppContext& context, QWidget* parent)
    : PaneBase(context, QStringLiteral("Status"), parent),
      m_model(new LogLineModel(this)),
      lstKekka(new QListView(this)),
      mnuDel(new QAction(this)),
      m_askFileName(&mdiStatus::AskLogFileName) {
  setObjectName(QStringLiteral("mdiStatus"));
  lstKekka->setObjectName(QStringLiteral("lstKekka"));
  lstKekka->setModel(m_model);
  lstKekka->setUniformItemSizes(true);  // keeps appends cheap with tens of thousands of lines
  lstKekka->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstKekka->setEditTriggers(QAbstractItemView::NoEditTriggers);
  addPopupTrigger(lstKekka);
  connect(lstKekka->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { viewCurrentChanged(current.row()); });

  mnuDel->setObjectName(QStringLiteral("mnuDel"));
  connect(mnuDel, &QAction::triggered, this, [this] { RefreshForm(); });
  popupMenu()->addAction(mnuDel);
  finishPopup();

  PaneColumn(this)->addWidget(lstKekka);
  ShowFocus(lstKekka);
  resize(TwipsToPx(4800), TwipsToPx(2400));
}

void mdiStatus::setTexts() {
  setWindowTitle(MessageCatalogue::Product(ProductMsg::StatusCaption));
  mnuDel->setText(MessageCatalogue::Shared(SharedMsg::ClearList));
}

void mdiStatus::SetToolTip(bool on) {
  Describe(lstKekka, MessageCatalogue::Product(ProductMsg::StatusListTip), on);
}

QList<QWidget*> mdiStatus::fontControls() const { return {lstKekka}; }

void mdiStatus::relayout() { KeepRows(lstKekka, 2); }

void mdiStatus::ListInAdd(const QString& line) {
  m_changingLog = true;
  if (m_current <= kTrimIndex) {
    m_model->append(line);
    ++m_current;  // from -1 on an empty log: the first line
  } else {
    // The current index stays as it is: with the oldest line gone it names
    // the next line down, the new newest one when the newest was current.
    m_model->removeFirst();
    m_model->append(line);
  }
  m_changingLog = false;
  scheduleCurrentSync();
}

void mdiStatus::scheduleCurrentSync() {
  if (m_syncPending) return;
  m_syncPending = true;
  QMetaObject::invokeMethod(this, [this] { syncCurrent(); }, Qt::QueuedConnection);
}

void mdiStatus::syncCurrent() {
  m_syncPending = false;
  m_changingLog = true;
  // Moves the focus line without touching the user's selection; a visible
  // view scrolls it into sight.
  lstKekka->selectionModel()->setCurrentIndex(m_model->index(m_current), QItemSelectionModel::NoUpdate);
  m_changingLog = false;
}

void mdiStatus::viewCurrentChanged(int row) {
  if (!m_changingLog) m_current = row;
}

void mdiStatus::RefreshForm() {
  m_changingLog = true;
  m_model->clear();
  m_current = -1;
  m_changingLog = false;
  scheduleCurrentSync();
}

QStringList mdiStatus::lines() const { return m_model->lines(); }

void mdiStatus::LogCopy() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  if (m_model->lines().isEmpty()) return;
  QString text;
  for (const QString& line : m_model->lines()) {
    text += line;
    text += QStringLiteral("\r\n");
  }
  clipboard->setText(text);
}

void mdiStatus::LogSave() {
  const QString fileName = m_askFileName ? m_askFileName(dialogParent()) : QString();
  if (fileName.isEmpty()) return;
  WriteLogFile(fileName);
}

QString mdiStatus::AskLogFileName(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(QtNameFilters(MessageCatalogue::Shared(SharedMsg::LogFileFilter)));
  dialog.setDefaultSuffix(QStringLiteral("LOG"));
  // WriteLogFile asks about an existing file itself.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first();
}

void mdiStatus::WriteLogFile(const QString& fileName) {
  if (m_model->lines().isEmpty()) return;
  const QFileInfo existing(fileName);
  // Hidden files count too: overwriting one unasked would lose it.
  if (existing.exists() && !existing.isDir() &&
      !MessageBox::Ask(dialogParent(), MessageCatalogue::Shared(SharedMsg::OverwriteQuestion)))
    return;
  if (!SaveLogFile(fileName, LogFileBytes(m_model->lines())))
    MessageBox::Notice(dialogParent(), MessageCatalogue::Shared(SharedMsg::SaveFailed));
}

QWidget* mdiStatus::dialogParent() {
  if (m_context.windows.main) return m_context.windows.main->dialogParent();
  return this;
}
