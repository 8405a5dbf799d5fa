// The target list pane: the archives the next batch run extracts, in order,
// unique and at most 1000. Filled by the source file pane, the command line
// and file drops; pruned by its two buttons and by the batch run, which also
// reads and changes it entry by entry.
#pragma once

#include "ui/PaneBase.h"

class ListPaths;

class QAction;
class QListWidget;
class QPushButton;
class QUrl;

class mdiFile : public PaneBase, public TargetListOps {
  Q_OBJECT

 public:
  static constexpr int kMaxEntries = 1000;

  explicit mdiFile(AppContext& context, QWidget* parent = nullptr);

  // TargetListOps
  bool ListInAdd(const QString& path) override;
  bool Gaibu_ListInAdd(const QString& name) override;
  void RefreshForm() override;
  void SelectAll() override;
  void SelectClear() override;
  int count() override;
  QString entry(int index) override;
  bool isSelected(int index) override;
  void setSelected(int index, bool selected) override;
  void setTopIndex(int index) override;
  void removeEntry(int index) override;
  void focusList() override;

  // CommonWindowOps (the pane base implements the rest of PaneOps)
  void SetToolTip(bool on) override;

  // The selected entry with the lowest index, or empty.
  QString SelectedFile_Get();

 protected:
  QList<QWidget*> fontControls() const override;
  void relayout() override;
  void setTexts() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void btnDel_Click();
  void btnDelAll_Click();
  void mnuOutCopy_Click();
  void mnuInCopy_Click();
  void lstFile_Drop(const QList<QUrl>& urls);
  void btnEnabledChange();
  QWidget* dialogParent();

  QListWidget* lstFile;
  ListPaths* m_paths;  // lstFile's entries, for ListInAdd
  QPushButton* btnDel;
  QPushButton* btnDelAll;
  QAction* mnuAll;
  QAction* mnuClear;
  QAction* mnuOutCopy;
  QAction* mnuInCopy;
};
