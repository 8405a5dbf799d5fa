// Stand-ins for the windows the dialogs call but that are not under test here
// (the panes and the main window): each records its calls in a shared log as
// "<window>.<operation>" so that a test can check which were made and in what order.
#pragma once

#include <QString>
#include <QStringList>

#include "shell/WindowInterfaces.h"

namespace testing_support {

template <class Ops>
class StandIn : public Ops {
 public:
  StandIn(const QString& name, QStringList& log) : m_name(name), m_log(log) {}
  void SetFontData() override { record(QStringLiteral("SetFontData")); }
  void SetToolTip(bool on) override {
    record(on ? QStringLiteral("SetToolTip(True)") : QStringLiteral("SetToolTip(False)"));
  }

 protected:
  void record(const QString& what) { m_log << m_name + u'.' + what; }

 private:
  QString m_name;
  QStringList& m_log;
};

template <class Ops>
class PaneStandIn : public StandIn<Ops> {
 public:
  using StandIn<Ops>::StandIn;
  void Menu_Enabled(const QString&) override {}
  QWidget* paneWidget() override { return nullptr; }
};

// A folder pane that is on `folder`.
class FolderPaneStandIn : public PaneStandIn<FolderPaneOps> {
 public:
  using PaneStandIn::PaneStandIn;
  QString folder;
  QString DirName() override { return folder; }
  void setDirName(const QString& f) override {
    folder = f;
    record(QStringLiteral("setDirName(%1)").arg(f));
  }
  void RefreshForm() override { record(QStringLiteral("RefreshForm")); }
  void focusDriveList() override {}
};

class SourceFileStandIn : public PaneStandIn<SourceFileOps> {
 public:
  using PaneStandIn::PaneStandIn;
  void setDirName(const QString&) override {}
  void Pattern_Make() override { record(QStringLiteral("Pattern_Make")); }
  bool Exp_Check(const QString&) override { return false; }
  void RefreshForm() override { record(QStringLiteral("RefreshForm")); }
  void SelectAll() override {}
  void SelectClear() override {}
};

// A target list holding `entries`; RefreshForm empties it.
class TargetListStandIn : public PaneStandIn<TargetListOps> {
 public:
  using PaneStandIn::PaneStandIn;
  QStringList entries;
  bool ListInAdd(const QString& path) override {
    entries << path;
    return true;
  }
  bool Gaibu_ListInAdd(const QString& name) override { return ListInAdd(name); }
  void RefreshForm() override {
    entries.clear();
    record(QStringLiteral("RefreshForm"));
  }
  void SelectAll() override {}
  void SelectClear() override {}
  int count() override { return int(entries.size()); }
  QString entry(int index) override { return entries.value(index); }
  bool isSelected(int) override { return false; }
  void setSelected(int, bool) override {}
  void setTopIndex(int) override {}
  void removeEntry(int index) override { entries.removeAt(index); }
  void focusList() override {}
};

class ResultLogStandIn : public PaneStandIn<ResultLogOps> {
 public:
  using PaneStandIn::PaneStandIn;
  void ListInAdd(const QString&) override {}
  void RefreshForm() override {}
  void LogCopy() override {}
  void LogSave() override {}
};

class ExtractedFoldersStandIn : public PaneStandIn<ExtractedFoldersOps> {
 public:
  using PaneStandIn::PaneStandIn;
  void ListInAdd(const QString&) override {}
};

class MainWindowStandIn : public StandIn<MainWindowOps> {
 public:
  using StandIn::StandIn;
  void BtnEnabledChange() override {}
  int windowStateValue() override { return 0; }
  QWidget* dialogParent() override { return nullptr; }
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
