// See BatchRun.h.
#include "shell/BatchRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QPalette>

#include "engine/ExtractedVolumes.h"
#include "engine/ExtractionWorker.h"
#include "engine/PathHelpers.h"
#include "engine/RunMode.h"
#include "engine/basRukasu.h"
#include "ui/AppContext.h"
#include "ui/WindowInterfaces.h"
#include "shell/FreshFolder.h"
#include "shell/WindowListener.h"
#include "text/MessageCatalogue.h"

BatchRun::BatchRun(AppContext& context, Controls controls, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_controls(std::move(controls)),
      m_listener(std::make_unique<WindowListener>(context)) {}

BatchRun::~BatchRun() = default;

namespace {

// An empty folder stays empty: the engine refuses it instead of taking "/".
QString WithSlash(QString folder) {
  if (!folder.isEmpty() && !folder.endsWith(u'/')) folder += u'/';
  return folder;
}

}  // namespace

// Read when the run starts, from the disk: a folder that is gone (or a path
// too deep to resolve) gives no destination, which the engine refuses for
// every archive instead of extracting into the root.
QString BatchRun::destination() const {
  return WithSlash(m_context.windows.outDir ? m_context.windows.outDir->DirName() : QString());
}

void BatchRun::releaseWorker() {
  if (!m_running) m_worker.reset();
}

int16_t BatchRun::extract(const QString& arc, const QString& dest, int16_t mode, ExtractedVolumes& volumes) {
  if (!m_useWorker)
    return basRukasu(m_context.settings, m_context.libraries, *m_listener).Archive_Extract(arc, dest, mode, &volumes);
  if (!m_worker) {
    m_worker = std::make_unique<ExtractionWorker>(m_context.settings, m_context.libraries, *m_listener);
    connect(m_worker.get(), &ExtractionWorker::progress, this, &BatchRun::progress);
  }
  return m_worker->extract(arc, dest, mode, &volumes);
}

void BatchRun::count(int16_t result) {
  if (result == 0)
    ++m_tally.extracted;
  else
    ++m_tally.failed;
  if (result == -1) m_tally.stopped = true;
}

namespace {

// A pane hosted in the main window is disabled with its sub-window, frame
// included, so that it takes no input at all. It keeps its normal look, not
// the greyed one Qt gives disabled widgets: the user reads the log and the
// lists while the run goes on.
void SetPaneEnabled(PaneOps& pane, bool enabled) {
  QWidget* window = pane.paneWidget();
  if (auto* host = qobject_cast<QMdiSubWindow*>(window->parentWidget())) window = host;
  if (enabled) {
    window->setEnabled(true);
    window->setPalette(QPalette());
    return;
  }
  QPalette look = window->palette();
  for (int role = 0; role < QPalette::NColorRoles; ++role) {
    const auto r = static_cast<QPalette::ColorRole>(role);
    if (r == QPalette::NoRole) continue;
    look.setBrush(QPalette::Disabled, r, look.brush(QPalette::Inactive, r));
  }
  window->setPalette(look);
  window->setEnabled(false);
}

}  // namespace

void BatchRun::setPanesEnabled(bool enabled) {
  const AppWindows& w = m_context.windows;
  const QString flag = enabled ? QStringLiteral("True") : QStringLiteral("False");
  PaneOps* panes[] = {w.inDir, w.inFile, w.file, w.outDir, w.status, w.outFile};
  for (PaneOps* pane : panes)
    if (pane) SetPaneEnabled(*pane, enabled);
  for (PaneOps* pane : panes)
    if (pane) pane->Menu_Enabled(flag);
}

void BatchRun::refreshFolderPanes() {
  if (m_context.windows.inDir) m_context.windows.inDir->RefreshForm();
  if (m_context.windows.outDir) m_context.windows.outDir->RefreshForm();
}

void BatchRun::Interactive(int16_t index) {
  AppWindows& w = m_context.windows;
  if (!w.file) return;
  m_running = true;
  m_controls.setRunButtonsEnabled(false);
  setPanesEnabled(false);
  if (w.status) w.status->RefreshForm();
  if (w.inFile) w.inFile->SelectClear();
  w.file->SelectAll();
  m_controls.setCancelEnabled(true);
  const QString dest = destination();
  m_tally = {};
  QElapsedTimer clock;
  clock.start();
  ExtractedVolumes volumes;

  const int n = w.file->count();
  for (int i = 0; i < n; ++i) {
    w.file->setTopIndex(i);
    QCoreApplication::processEvents();  // a press of Cancel takes effect here
    if (m_cancelFlag) {
      refreshFolderPanes();
      break;
    }
    emit archiveStarted(i + 1, n, w.file->entry(i));
    const int16_t r = extract(w.file->entry(i), dest, index, volumes);
    count(r);
    if (r == 0) {
      w.file->setSelected(i, false);
    } else if (r == -1) {
      refreshFolderPanes();
      m_cancelFlag = true;
      break;
    }
    refreshFolderPanes();
  }

  for (int i = 0; i < w.file->count();) {
    if (w.file->isSelected(i))
      ++i;
    else
      w.file->removeEntry(i);
  }
  w.file->SelectClear();
  m_tally.stopped = m_cancelFlag;
  m_tally.milliseconds = clock.elapsed();
  if (w.status)
    w.status->ListInAdd(MessageCatalogue::Shared(m_cancelFlag ? SharedMsg::RunStopped : SharedMsg::RunFinished));
  m_cancelFlag = false;
  m_controls.setCancelEnabled(false);
  setPanesEnabled(true);
  if (w.inDir) w.inDir->RefreshForm();
  if (w.inFile) w.inFile->RefreshForm();
  if (w.outDir) w.outDir->RefreshForm();
  m_running = false;
  m_controls.btnEnabledChange();
  emit finished();
}

void BatchRun::setLogEcho(std::function<void(const QString&)> echo) { m_listener->setEcho(std::move(echo)); }

BatchRun::Outcome BatchRun::AutoBatch(int16_t mode, bool besideArchive, const QStringList& skipped) {
  AppWindows& w = m_context.windows;
  if (!w.file) return Outcome::SomeFailed;
  const QString dest = destination();
  m_tally = {};
  QElapsedTimer clock;
  clock.start();
  basRukasu engine(m_context.settings, m_context.libraries, *m_listener);
  ExtractedVolumes volumes;
  for (int i = 0; i < w.file->count(); ++i) {
    w.file->setTopIndex(i);
    const QString archive = w.file->entry(i);
    const QString into = besideArchive ? WithSlash(ParentDir_Get(archive)) : dest;
    // Beside the archive, a folder of its own never merges into one that is there.
    const int16_t r = besideArchive && mode != Normal ? ExtractIntoFreshFolder(engine, archive, mode, volumes)
                                                      : engine.Archive_Extract(archive, into, mode, &volumes);
    count(r);
    if (r == -1) break;
  }
  for (const QString& name : skipped) {
    m_listener->logLine(QStringLiteral("[ ") + DispPath_Get(name) + QStringLiteral(" ]"));
    m_listener->logLine(MessageCatalogue::Product(ProductMsg::LogNotAnArchive));
    count(1);
  }
  m_tally.milliseconds = clock.elapsed();
  m_listener->logLine(MessageCatalogue::Shared(m_tally.stopped ? SharedMsg::RunStopped : SharedMsg::RunFinished));
  return m_tally.stopped ? Outcome::Stopped : m_tally.failed > 0 ? Outcome::SomeFailed : Outcome::AllExtracted;
}
