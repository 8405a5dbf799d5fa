// The source file pane: listing by the archive pattern, the three add buttons
// against a target list with limited room, and its keys and menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>

#include "source/FileList.h"
#include "source/FileListModel.h"
#include "source/mdiInFile.h"
#include "tests/source/SourceFixture.h"
#include "tests/support/StandInWindows.h"

namespace {

using testing_support::TempFolder;

struct InFileTest : testing::Test {
  SourceContext c;
  testing_support::TargetListStandIn target;
  TempFolder files;
  mdiInFile pane{c.context};

  InFileTest() {
    c.allLibrariesPresent();
    c.context.windows.file = &target;
  }
  FileList* list() { return pane.findChild<FileList*>("filFile"); }
  QStringList listed() {
    QStringList names;
    for (int i = 0; i < list()->files().count(); ++i) names << list()->files().name(i);
    return names;
  }
  void click(const char* button) { pane.findChild<QPushButton*>(button)->click(); }
  // Makes the files (content "x") and lists their `folder` with the enabled kinds.
  void makeAndList(const QStringList& names, const QString& folder = ".") {
    for (const QString& name : names) files.write(name, "x");
    pane.Pattern_Make();
    pane.setDirName(QDir::cleanPath(files.file(folder)));
  }
};

TEST_F(InFileTest, ListsTheArchivesOfTheEnabledKinds) {
  for (const char* name : {"b.LZH", "a.zip", "c.tar.gz", "d.7z", "e.tar.zst", "notes.txt", ".hidden.lzh", "setup.exe"})
    files.write(name, "x");
  files.mkdir("folder.lzh");
  pane.Pattern_Make();
  pane.setDirName(files.path());
  EXPECT_EQ(listed(), QStringList({"a.zip", "b.LZH", "c.tar.gz", "d.7z", "e.tar.zst"}));

  AppContext& context = c.context;
  context.settings.Lzh = context.settings.Zip = context.settings.Ish = context.settings.Arj = false;
  context.settings.Cab = context.settings.Rar = context.settings.SevenZip = context.settings.Tar = false;
  pane.Pattern_Make();
  EXPECT_EQ(list()->files().pattern(), "abcdzyxw.___");
  EXPECT_TRUE(listed().isEmpty());
}

TEST_F(InFileTest, FolderThatCannotBeListedFallsBackToTheCurrentFolder) {
  pane.setDirName(files.path() + "/missing");
  EXPECT_EQ(list()->files().folder(), QDir::currentPath());
}

TEST_F(InFileTest, AddStopsAtTheFirstRefusalAndLeavesTheRestSelected) {
  makeAndList({"a.lzh", "b.lzh", "c.lzh", "d.lzh"});
  list()->setSelected(0, true);
  list()->setSelected(1, true);
  list()->setSelected(3, true);
  target.room = 1;
  click("btnAdd");
  EXPECT_EQ(target.entries, QStringList({files.file("a.lzh")}));
  EXPECT_EQ(target.refusals, 1);
  EXPECT_FALSE(list()->isSelected(0));
  EXPECT_TRUE(list()->isSelected(1));
  EXPECT_TRUE(list()->isSelected(3));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy pointer is gone again
}

TEST_F(InFileTest, AddSkipsAFileThatVanishedAndDeselectsIt) {
  makeAndList({"a.lzh", "b.lzh"});
  pane.SelectAll();
  QFile::remove(files.file("a.lzh"));
  click("btnAdd");
  EXPECT_EQ(target.entries, QStringList({files.file("b.lzh")}));
  EXPECT_FALSE(list()->isSelected(0));
}

TEST_F(InFileTest, AddAllTakesEveryListedFileInListOrder) {
  makeAndList({"b.zip", "A.lzh", "c.txt"});
  list()->setSelected(1, true);
  click("btnAddAll");
  EXPECT_EQ(target.entries, QStringList({files.file("A.lzh"), files.file("b.zip")}));
  EXPECT_FALSE(list()->isSelected(1));
}

TEST_F(InFileTest, AddAllAllGoesExactlyOneLevelDown) {
  makeAndList({"top/z.lzh", "top/s1/in-s1.lzh", "top/s1/s2/too-deep.lzh", "top/S0/in-s0.zip", "top/.hidden/secret.lzh",
               "top/s1/skip.txt"},
              "top");
  pane.SelectAll();
  click("btnAddAllAll");
  EXPECT_EQ(target.entries,
            QStringList({files.file("top/z.lzh"), files.file("top/S0/in-s0.zip"), files.file("top/s1/in-s1.lzh")}));
  EXPECT_FALSE(list()->isSelected(0));
}

TEST_F(InFileTest, AddAllAllStopsTheWholeWalkAtTheFirstRefusal) {
  makeAndList({"top/a.lzh", "top/s1/b.lzh", "top/s1/c.lzh", "top/s2/d.lzh"}, "top");
  target.room = 2;
  click("btnAddAllAll");
  EXPECT_EQ(target.entries, QStringList({files.file("top/a.lzh"), files.file("top/s1/b.lzh")}));
  EXPECT_EQ(target.refusals, 1);  // once, not once per remaining file or folder
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(InFileTest, EnterMovesTheFocusToTheTargetListAndAddsNothing) {
  makeAndList({"a.lzh"});
  pane.SelectAll();
  QTest::keyClick(list(), Qt::Key_Return);
  EXPECT_EQ(target.focusRequests, 1);
  EXPECT_TRUE(target.entries.isEmpty());
}

TEST_F(InFileTest, PopupItemsSelectAndRefresh) {
  makeAndList({"a.lzh"});
  ASSERT_TRUE(pane.Form_Load());
  pane.findChild<QAction*>("mnuAll")->trigger();
  EXPECT_TRUE(list()->isSelected(0));
  pane.findChild<QAction*>("mnuClear")->trigger();
  EXPECT_FALSE(list()->isSelected(0));
  files.write("b.lzh", "x");
  pane.findChild<QAction*>("mnuRefresh")->trigger();
  EXPECT_EQ(listed(), QStringList({"a.lzh", "b.lzh"}));
  EXPECT_EQ(pane.windowTitle(), QString::fromUtf8("圧縮ファイル名"));
  EXPECT_EQ(pane.findChild<QAction*>("mnuClear")->text(), QString::fromUtf8("全て選択の解除"));
}

TEST_F(InFileTest, WithoutTargetListTheButtonsDoNothing) {
  files.write("a.lzh", "x");
  SourceContext other;  // no target list loaded
  mdiInFile alone(other.context);
  alone.Pattern_Make();
  alone.setDirName(files.path());
  alone.findChild<QPushButton*>("btnAddAllAll")->click();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
