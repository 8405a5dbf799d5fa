// The result log pane: the lines the batch runs report, trimmed from the top
// once the current line has passed line 30000; copied to the clipboard or
// saved as a CP932 text file on request, cleared from its popup menu.
#pragma once

#include <functional>

#include <QString>

#include "ui/PaneBase.h"

class QAction;
class QListView;
class LogLineModel;

class mdiStatus : public PaneBase, public ResultLogOps {
  Q_OBJECT

 public:
  // Past this current index every append first drops the oldest line.
  static constexpr int kTrimIndex = 30000;

  explicit mdiStatus(AppContext& context, QWidget* parent = nullptr);

  // ResultLogOps
  void ListInAdd(const QString& line) override;
  void RefreshForm() override;
  void LogCopy() override;
  void LogSave() override;

  // CommonWindowOps (the pane base implements the rest of PaneOps)
  void SetToolTip(bool on) override;

  // The save dialog step: returns the chosen file name, or empty when the
  // user cancelled. Replaceable so that tests can answer without a dialog.
  using FileNameAsker = std::function<QString(QWidget* parent)>;
  void setFileNameAsker(FileNameAsker asker) { m_askFileName = std::move(asker); }
  // The default step: Qt's save dialog with the log file filters.
  static QString AskLogFileName(QWidget* parent);

  // The log's lines, first to last.
  QStringList lines() const;
  // The current line's index (-1 for none): the line the user last clicked,
  // moved on by every append.
  int currentLine() const { return m_current; }

 protected:
  QList<QWidget*> fontControls() const override;
  void relayout() override;
  void setTexts() override;

 private:
  void WriteLogFile(const QString& fileName);
  QWidget* dialogParent();
  void scheduleCurrentSync();
  void syncCurrent();
  void viewCurrentChanged(int row);

  LogLineModel* m_model;
  QListView* lstKekka;
  QAction* mnuDel;
  FileNameAsker m_askFileName;
  // The current index as the trimming rule sees it. The view's own current
  // index follows it once per event-loop turn: setting it on every append
  // would lay the whole list out each time.
  int m_current = -1;
  bool m_changingLog = false;  // current-index changes now are ours, not the user's
  bool m_syncPending = false;
};
