// The source file pane mdiInFile: the archives of the source folder pane's
// folder, listed by the pattern of the enabled archive kinds, and the three
// ways of putting them on the target list: the selected files, all listed
// files, or all matching files of the folder and its immediate subfolders.
#pragma once

#include "ui/PaneBase.h"

class FileList;
class FileListModel;
class FolderListModel;
class QAction;
class QPushButton;

class mdiInFile : public PaneBase, public SourceFileOps {
  Q_OBJECT

 public:
  explicit mdiInFile(AppContext& context, QWidget* parent = nullptr);
  ~mdiInFile() override;

  // What the caller reports when Form_Load fails.
  static QString loadErrorText() { return QStringLiteral("Rukasu2 mdiinFile Form_Load ERR"); }

  // SourceFileOps
  void setDirName(const QString& folder) override;
  void Pattern_Make() override;
  bool Exp_Check(const QString& name) override;
  void RefreshForm() override;
  void SelectAll() override;
  void SelectClear() override;
  void SetToolTip(bool on) override;

  // Sets the list's pattern (";"-separated wildcards) and lists the folder again.
  void setFilePattern(const QString& pattern);

 protected:
  QList<QWidget*> fontControls() const override;
  void relayout() override;
  void setTexts() override;

 private:
  void btnAdd_Click();
  void btnAddAll_Click();
  void btnAddAllAll_Click();
  // Adds the listed files (only the selected ones unless `all`), deselecting
  // each one handled, until the target list refuses one.
  void addListed(bool all);
  // Adds every file the hidden list shows in the folder; false once the target list refuses one.
  bool addFolder(const QString& folder);

  FileList* filFile;
  QPushButton* btnAdd;
  QPushButton* btnAddAll;
  QPushButton* btnAddAllAll;
  // Never shown: the immediate subfolders and each folder's files for btnAddAllAll.
  FolderListModel* dlbDummy;
  FileListModel* filDummy;
  QAction* mnuRefresh;
  QAction* mnuAll;
  QAction* mnuClear;
};
