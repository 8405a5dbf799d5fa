// The batch run: every archive of the target list, in order, through the
// engine. The interactive form behind the run buttons disables the panes,
// yields to window events before each archive (when Cancel takes effect),
// takes the finished archives off the list and restores the window; the
// extraction itself runs on a worker thread so the window keeps painting.
// The quiet form of the automatic run changes nothing on the list.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class ExtractedVolumes;
class ExtractionWorker;
class WindowListener;
struct AppContext;

class BatchRun : public QObject {
  Q_OBJECT

 public:
  // What the main window lends the run: its run buttons and its Cancel button.
  struct Controls {
    std::function<void(bool)> setRunButtonsEnabled;
    std::function<void(bool)> setCancelEnabled;
    std::function<void()> btnEnabledChange;
  };

  BatchRun(AppContext& context, Controls controls, QObject* parent = nullptr);
  ~BatchRun() override;

  // btnExe_Click(index): the interactive run with RunMode `index`.
  void Interactive(int16_t index);
  // What a quiet run came to: every archive extracted, some not, or stopped.
  enum class Outcome { AllExtracted, SomeFailed, Stopped };
  // AutoBatch(mode): the quiet run of the automatic start; no events, no changes to the list.
  // With `besideArchive` each archive goes into the folder that holds it
  // instead of the destination folder pane's folder. The `skipped` names (of
  // the command line, not on the list) each get a log entry after the archives and count as not extracted.
  Outcome AutoBatch(int16_t mode, bool besideArchive = false, const QStringList& skipped = {});
  // What the last run of either form came to, for the notice at its end.
  struct Tally {
    int extracted = 0;
    int failed = 0;      // the archive of a stop result included
    bool stopped = false;
    qint64 milliseconds = 0;
  };
  const Tally& lastRun() const { return m_tally; }
  // Every result-log line is also handed here (the automatic run writes them to standard output).
  void setLogEcho(std::function<void(const QString&)> echo);

  // btnCancel_Click: the run stops before its next archive.
  void cancel() { m_cancelFlag = true; }
  bool cancelFlag() const { return m_cancelFlag; }
  void clearCancelFlag() { m_cancelFlag = false; }
  bool isRunning() const { return m_running; }
  // Extraction on the calling thread instead of the worker (tests compare both).
  void setUseWorker(bool use) { m_useWorker = use; }
  // Ends the worker thread when no run is under way (the window is closing);
  // a later run starts a new one.
  void releaseWorker();

 signals:
  // "archive i of n" as the run reaches each archive (i counts from 1).
  void archiveStarted(int number, int count, const QString& archive);
  // Bytes of the current archive read so far and its size.
  void progress(qint64 done, qint64 total);
  void finished();

 private:
  int16_t extract(const QString& arc, const QString& dest, int16_t mode, ExtractedVolumes& volumes);
  void count(int16_t result);
  void setPanesEnabled(bool enabled);
  void refreshFolderPanes();
  QString destination() const;

  AppContext& m_context;
  Controls m_controls;
  std::unique_ptr<WindowListener> m_listener;
  std::unique_ptr<ExtractionWorker> m_worker;
  Tally m_tally;
  bool m_cancelFlag = false;
  bool m_running = false;
  bool m_useWorker = true;
};
