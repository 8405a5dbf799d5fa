// What the windows call on each other. Every window exists once per process
// and is reached through AppContext::windows; these interfaces let a window be
// built and tested before the others exist, and a missing (unloaded) window is
// a null pointer that callers skip.
#pragma once

#include <QString>

class QWidget;

// Every window: the font and tool-tip commands that reach all windows at once.
class CommonWindowOps {
 public:
  virtual ~CommonWindowOps() = default;
  virtual void SetFontData() = 0;
  virtual void SetToolTip(bool on) = 0;
};

// Every pane of the main window. A virtual base of the pane interfaces below,
// so that PaneBase alone implements it for every pane.
class PaneOps : public CommonWindowOps {
 public:
  // "True" or "False": enables or disables the pane's eight common menu entries.
  virtual void Menu_Enabled(const QString& flag) = 0;
  // The pane's widget (hosted in a sub-window of the main window).
  virtual QWidget* paneWidget() = 0;
};

// mdiInDir and mdiOutDir.
class FolderPaneOps : public virtual PaneOps {
 public:
  virtual QString DirName() = 0;  // the current folder in its on-disk spelling, or empty
  virtual void setDirName(const QString& folder) = 0;
  virtual void RefreshForm() = 0;
  virtual void focusDriveList() = 0;  // keyboard focus on drvDrive
};

// mdiInFile.
class SourceFileOps : public virtual PaneOps {
 public:
  virtual void setDirName(const QString& folder) = 0;
  virtual void Pattern_Make() = 0;
  virtual bool Exp_Check(const QString& name) = 0;
  virtual void RefreshForm() = 0;
  virtual void SelectAll() = 0;
  virtual void SelectClear() = 0;
};

// mdiFile: the target list, also read and changed entry by entry by the batch run.
class TargetListOps : public virtual PaneOps {
 public:
  virtual bool ListInAdd(const QString& path) = 0;
  virtual bool Gaibu_ListInAdd(const QString& name) = 0;
  virtual void RefreshForm() = 0;  // empties the list
  virtual void SelectAll() = 0;
  virtual void SelectClear() = 0;
  virtual int count() = 0;
  virtual QString entry(int index) = 0;
  virtual bool isSelected(int index) = 0;
  virtual void setSelected(int index, bool selected) = 0;
  virtual void setTopIndex(int index) = 0;  // makes the entry the first visible one and redraws
  virtual void removeEntry(int index) = 0;
  virtual void focusList() = 0;  // keyboard focus on lstFile
};

// mdiStatus: the result log.
class ResultLogOps : public virtual PaneOps {
 public:
  virtual void ListInAdd(const QString& line) = 0;
  virtual void RefreshForm() = 0;  // empties the log
  virtual void LogCopy() = 0;
  virtual void LogSave() = 0;
};

// mdiOutFile: the extracted folders.
class ExtractedFoldersOps : public virtual PaneOps {
 public:
  virtual void ListInAdd(const QString& folder) = 0;
};

// frmMenuMente, reached by the folder panes through AppWindows::menuMente: the folder alias
// maintenance dialog, one instance serving both folder panes. A pane fills the
// ten slots, shows the dialog for its own list and, when it returns true (OK),
// reads the edited list back.
class MenuMenteOps : public virtual CommonWindowOps {
 public:
  virtual void Set_Menu(int index, const QString& name, const QString& dir) = 0;
  // Two empty texts for a slot beyond the list.
  virtual void Get_Menu(int index, QString& name, QString& dir) = 0;
  // The index of the last alias, -1 for none.
  virtual int MenuCount() = 0;
  // Shows the dialog modally titled for the pane (pstr_Me_Caption); returns pblnOk.
  virtual bool ShowModal(const QString& meCaption) = 0;
};

// frmRukasu: the main window's public operations and the common menu commands
// that every pane forwards to it.
class MainWindowOps : public CommonWindowOps {
 public:
  virtual void BtnEnabledChange() = 0;
  // 0 normal, 1 minimised, 2 maximised.
  virtual int windowStateValue() = 0;
  // The parent for message boxes and dialogs.
  virtual QWidget* dialogParent() = 0;

  virtual void mnuExit_Click() = 0;
  virtual void mnuFont_Click() = 0;
  virtual void mnuLogCopy_Click() = 0;
  virtual void mnuLogSave_Click() = 0;
  virtual void mnuInDirDefault_Click() = 0;
  virtual void mnuOutDirDefault_Click() = 0;
  virtual void mnuTmpDirDefault_Click() = 0;
  virtual void mnuOption_Click() = 0;
  virtual void mnuMkdir_Click() = 0;
  virtual void mnuHelp_Click() = 0;
  virtual void mnuAbout_Click() = 0;
};
