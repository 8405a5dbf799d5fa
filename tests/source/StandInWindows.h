// Stand-ins for the windows the target list calls that are built elsewhere:
// the source file pane (which kinds are enabled), the two folder panes (their
// folder and drive list) and the main window (the run buttons). Each records
// what it was asked.
#pragma once

#include <QFileInfo>
#include <QStringList>
#include <QWidget>

#include "shell/WindowInterfaces.h"

namespace testing_support {

// Only .LZH and .ZIP count as enabled kinds, in any letter case.
class StandInSourceFiles : public SourceFileOps {
 public:
  bool Exp_Check(const QString& name) override {
    const QString suffix = QFileInfo(name).suffix().toUpper();
    return suffix == "LZH" || suffix == "ZIP";
  }
  void setDirName(const QString&) override {}
  void Pattern_Make() override {}
  void RefreshForm() override {}
  void SelectAll() override {}
  void SelectClear() override {}
  void Menu_Enabled(const QString&) override {}
  QWidget* paneWidget() override { return nullptr; }
  void SetFontData() override {}
  void SetToolTip(bool) override {}
};

// A folder pane whose drive list is a real control that the test places.
class StandInFolderPane : public FolderPaneOps {
 public:
  QStringList folders;  // every setDirName, in order
  QWidget* drvDrive = nullptr;

  QString DirName() override { return folders.isEmpty() ? QString() : folders.last(); }
  void setDirName(const QString& folder) override { folders << folder; }
  void RefreshForm() override {}
  void focusDriveList() override {
    if (drvDrive) drvDrive->setFocus(Qt::OtherFocusReason);
  }
  void Menu_Enabled(const QString&) override {}
  QWidget* paneWidget() override { return nullptr; }
  void SetFontData() override {}
  void SetToolTip(bool) override {}
};

class StandInMainWindow : public MainWindowOps {
 public:
  int btnEnabledChanges = 0;

  void BtnEnabledChange() override { ++btnEnabledChanges; }
  int windowStateValue() override { return 0; }
  QWidget* dialogParent() override { return nullptr; }
  void SetFontData() override {}
  void SetToolTip(bool) override {}
  void mnuExit_Click() override {}
  void mnuFont_Click() override {}
  void mnuLogCopy_Click() override {}
  void mnuLogSave_Click() override {}
  void mnuInDirDefault_Click() override {}
  void mnuOutDirDefault_Click() override {}
  void mnuTmpDirDefault_Click() override {}
  void mnuOption_Click() override {}
  void mnuMkdir_Click() override {}
  void mnuHelp_Click() override {}
  void mnuAbout_Click() override {}
};

}  // namespace testing_support
