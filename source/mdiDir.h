// The folder pane, built twice: mdiInDir, where the archives are taken from
// (its every folder change makes the source file pane list that folder), and
// mdiOutDir, where they are extracted to (its caption shows the free space).
// A drive list, a folder list and a path box, folder aliases in the popup
// menu, and the pane's folder keys (Dir_In, Dir_In_Yuko, OldDir_In or the
// Dir_Out ones). Each pane registers itself in context.windows while it exists.
#pragma once

#include <QHash>

#include "ui/PaneBase.h"

class DriveList;
class FolderList;
class FolderAliasMenu;
class QAction;
class QLineEdit;

enum class FolderPaneRole { Source, Destination };

class mdiDir : public PaneBase, public FolderPaneOps {
  Q_OBJECT

 public:
  mdiDir(AppContext& context, FolderPaneRole role, QWidget* parent = nullptr);
  ~mdiDir() override;

  // Load handling: folder keys and start folder always, the rest unless the
  // automatic run is under way. False when the load fails (a stored value of
  // the wrong type); the caller shows loadErrorText() and ends the program.
  bool Form_Load() override;
  QString loadErrorText() const;
  // Close handling: placement, folder keys and aliases (nothing during the automatic run).
  void Form_Unload() override;

  // FolderPaneOps
  QString DirName() override;
  void setDirName(const QString& folder) override;
  void RefreshForm() override;
  void focusDriveList() override;
  void SetToolTip(bool on) override;

 protected:
  QList<QWidget*> fontControls() const override;
  void relayout() override;
  void setTexts() override;

 private:
  bool isSource() const { return m_role == FolderPaneRole::Source; }
  QString keyPrefix() const;
  // Makes the folder current without running the change handling.
  bool moveQuietly(const QString& folder);
  void moveToNearestFolder(const QString& gone);
  void folderChanged();
  void DirCaptionChange();
  void driveChosen(const QString& drive);
  void mnuCopy_Click();

  FolderPaneRole m_role;
  DriveList* drvDrive;
  FolderList* dlbDir;
  QLineEdit* txtDir;
  QAction* mnuCopy;
  QAction* mnuRefresh;
  FolderAliasMenu* m_aliases;
  bool m_quiet = false;
  // The pane could enter neither the folder it was given nor the current
  // folder: DirName names nothing until the user picks a folder.
  bool m_lastResort = false;
  // The folder this pane last showed on each drive: choosing a drive returns there.
  QHash<QString, QString> m_driveFolders;
};
