// The extracted folders pane: the folders that runs extracted into, unique
// and at most 1000, which the user can drag out as files, re-check against
// the disk, select or clear from the popup menu.
#pragma once

#include "results/DragOutList.h"
#include "ui/PaneBase.h"

class ListPaths;

class QAction;

class mdiOutFile : public PaneBase, public ExtractedFoldersOps {
  Q_OBJECT

 public:
  static constexpr int kMaxEntries = 1000;

  explicit mdiOutFile(AppContext& context, QWidget* parent = nullptr);

  // ExtractedFoldersOps
  void ListInAdd(const QString& folder) override;

  // CommonWindowOps (the pane base implements the rest of PaneOps)
  void SetToolTip(bool on) override;

  void SelectAll();
  void SelectClear();
  QStringList entries() const;
  // See DragOutList::setDragRunner.
  void setDragRunner(DragOutList::DragRunner runner) { lstOutFile->setDragRunner(std::move(runner)); }

 protected:
  QList<QWidget*> fontControls() const override;
  void relayout() override;
  void setTexts() override;

 private:
  void mnuRefresh_Click();

  DragOutList* lstOutFile;
  ListPaths* m_paths;  // lstOutFile's entries, for ListInAdd
  QAction* mnuDel;
  QAction* mnuRefresh;
  QAction* mnuAll;
  QAction* mnuClear;
};
