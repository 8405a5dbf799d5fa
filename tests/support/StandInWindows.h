// Stand-ins for the windows a test does not build, behind the interfaces the
// real windows implement. Each records its calls as "<window>.<operation>" in a
// log, its own or one shared by several stand-ins so that a test can check the
// order of calls across windows, and holds the little state a test sets or reads.
#pragma once

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "ui/WindowInterfaces.h"

namespace testing_support {

template <class Ops>
class StandIn : public Ops {
 public:
  explicit StandIn(const QString& name = QString()) : m_name(name), m_log(m_ownLog) {}
  StandIn(const QString& name, QStringList& log) : m_name(name), m_log(log) {}
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;

  void SetFontData() override { record(QStringLiteral("SetFontData")); }
  void SetToolTip(bool on) override {
    record(on ? QStringLiteral("SetToolTip(True)") : QStringLiteral("SetToolTip(False)"));
  }
  const QStringList& log() const { return m_log; }

 protected:
  void record(const QString& what) { m_log << m_name + u'.' + what; }

 private:
  QString m_name;
  QStringList m_ownLog;
  QStringList& m_log;
};

template <class Ops>
class PaneStandIn : public StandIn<Ops> {
 public:
  using StandIn<Ops>::StandIn;
  void Menu_Enabled(const QString&) override {}
  QWidget* paneWidget() override { return nullptr; }
};

// A folder pane on `folder`; its drive list is a real control the test places.
class FolderPaneStandIn : public PaneStandIn<FolderPaneOps> {
 public:
  using PaneStandIn::PaneStandIn;
  QString folder;
  QStringList folders;  // every setDirName, in order
  QWidget* drvDrive = nullptr;

  QString DirName() override { return folder; }
  void setDirName(const QString& f) override {
    folder = f;
    folders << f;
    record(QStringLiteral("setDirName(%1)").arg(f));
  }
  void RefreshForm() override { record(QStringLiteral("RefreshForm")); }
  void focusDriveList() override {
    if (drvDrive) drvDrive->setFocus(Qt::OtherFocusReason);
  }
};

// The source file pane: only .LZH and .ZIP count as enabled kinds, in any letter case.
class SourceFileStandIn : public PaneStandIn<SourceFileOps> {
 public:
  using PaneStandIn::PaneStandIn;
  void setDirName(const QString&) override {}
  void Pattern_Make() override { record(QStringLiteral("Pattern_Make")); }
  bool Exp_Check(const QString& name) override {
    const QString suffix = QFileInfo(name).suffix().toUpper();
    return suffix == QStringLiteral("LZH") || suffix == QStringLiteral("ZIP");
  }
  void RefreshForm() override { record(QStringLiteral("RefreshForm")); }
  void SelectAll() override {}
  void SelectClear() override {}
};

// A target list holding `entries` that refuses every entry beyond `room`, as
// a full list does; RefreshForm empties it.
class TargetListStandIn : public PaneStandIn<TargetListOps> {
 public:
  using PaneStandIn::PaneStandIn;
  QStringList entries;
  int room = 1000;
  int refusals = 0;
  int focusRequests = 0;

  bool ListInAdd(const QString& path) override {
    if (entries.size() >= room) {
      ++refusals;
      return false;
    }
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
  void focusList() override { ++focusRequests; }
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

// The folder alias dialog, which the option tests only need to reach with a font.
class MenuMenteStandIn : public StandIn<MenuMenteOps> {
 public:
  using StandIn::StandIn;
  void Set_Menu(int, const QString&, const QString&) override {}
  void Get_Menu(int, QString&, QString&) override {}
  int MenuCount() override { return -1; }
  bool ShowModal(const QString&) override { return false; }
};

// The main window in its normal state; counts the run-button updates.
class MainWindowStandIn : public StandIn<MainWindowOps> {
 public:
  using StandIn::StandIn;
  int btnEnabledChanges = 0;

  void BtnEnabledChange() override { ++btnEnabledChanges; }
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
