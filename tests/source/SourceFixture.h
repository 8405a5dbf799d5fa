// What the source pane tests share: an AppContext over a fresh settings store
// with the default settings, and a target list that records what it is given.
#pragma once

#include <QListWidget>
#include <QStringList>
#include <memory>

#include "engine/Libraries.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsStore.h"
#include "shell/AppContext.h"
#include "shell/WindowInterfaces.h"
#include "tests/engine/FakeLibrary.h"
#include "tests/support/TestSupport.h"

// Stands in for the target list pane, built separately: records additions and
// refuses every entry beyond `room` as a full list does.
class RecordingTargetList : public TargetListOps {
 public:
  explicit RecordingTargetList(AppContext& context) : m_context(context) { m_context.windows.file = this; }
  ~RecordingTargetList() override {
    if (m_context.windows.file == this) m_context.windows.file = nullptr;
  }

  int room = 1000;
  QStringList added;
  int refusals = 0;
  int focusRequests = 0;

  bool ListInAdd(const QString& path) override {
    if (added.size() >= room) {
      ++refusals;
      return false;
    }
    added << path;
    return true;
  }
  bool Gaibu_ListInAdd(const QString& name) override { return ListInAdd(name); }
  void RefreshForm() override { added.clear(); }
  void SelectAll() override {}
  void SelectClear() override {}
  int count() override { return static_cast<int>(added.size()); }
  QString entry(int index) override { return added.value(index); }
  bool isSelected(int) override { return false; }
  void setSelected(int, bool) override {}
  void setTopIndex(int) override {}
  void removeEntry(int index) override { added.removeAt(index); }
  void focusList() override { ++focusRequests; }
  void Menu_Enabled(const QString&) override {}
  QWidget* paneWidget() override { return &m_list; }
  void SetFontData() override {}
  void SetToolTip(bool) override {}

 private:
  AppContext& m_context;
  QListWidget m_list;
};

struct SourceContext {
  testing_support::TempFolder settingsFolder;
  SettingsStore store{settingsFolder.path()};
  Libraries libraries;
  AppContext context{store, libraries};
  SourceContext() { context.settings = DefaultSettings(); }

  // Every archiver library present; none is called by these tests.
  void allLibrariesPresent() {
    for (int id = 0; id < kLibraryCount; ++id) libraries.set(LibraryId(id), std::make_unique<FakeLibrary>());
  }
  void setKey(const QString& key, const QString& value) { store.write("Velmont Soft", "Rukasu2", key, value); }
  QString key(const QString& name) {
    return store.read("Velmont Soft", "Rukasu2", name, "<absent>").value_or("<unreadable>");
  }
};
