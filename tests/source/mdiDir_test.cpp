// The two folder panes: start folder and folder keys, the fallback to the
// current folder, the source pane driving the source file pane, mnuCopy both
// ways, the destination caption, the drive list, and adding folder aliases.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTest>

#include "engine/PathHelpers.h"
#include "ui/DriveList.h"
#include "source/FileList.h"
#include "source/FileListModel.h"
#include "ui/FolderList.h"
#include "source/mdiDir.h"
#include "source/mdiInFile.h"
#include "tests/source/SourceFixture.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/MountNamespace.h"

namespace {

using testing_support::TempFolder;

// Makes a folder the process's current folder for one test.
class CurrentFolder {
 public:
  explicit CurrentFolder(const QString& folder) : m_saved(QDir::currentPath()) { QDir::setCurrent(folder); }
  ~CurrentFolder() { QDir::setCurrent(m_saved); }

 private:
  QString m_saved;
};

struct PanesTest : testing::Test {
  SourceContext c;
  TempFolder tmp;
  CurrentFolder cwd{tmp.mkdir("cwd")};
  std::unique_ptr<mdiInFile> inFile = std::make_unique<mdiInFile>(c.context);
  std::unique_ptr<mdiDir> in = std::make_unique<mdiDir>(c.context, FolderPaneRole::Source);
  std::unique_ptr<mdiDir> out = std::make_unique<mdiDir>(c.context, FolderPaneRole::Destination);

  bool load() { return in->Form_Load() && out->Form_Load(); }
  void unload() {
    in->Form_Unload();
    out->Form_Unload();
  }
  static FolderList* folders(mdiDir& pane) { return pane.findChild<FolderList*>("dlbDir"); }
  QString listedFolder() { return inFile->findChild<FileList*>("filFile")->files().folder(); }
  static QAction* action(QObject& pane, const char* name) { return pane.findChild<QAction*>(name); }
};

TEST_F(PanesTest, FirstStartOpensBothPanesAtTheCurrentFolderAndCloseWritesTheKeys) {
  ASSERT_TRUE(load());
  const QString here = tmp.file("cwd");
  EXPECT_EQ(in->DirName(), here);
  EXPECT_EQ(out->DirName(), here);
  EXPECT_EQ(listedFolder(), here);
  EXPECT_EQ(c.context.defaults.Dir_In, here);
  EXPECT_TRUE(c.context.defaults.Dir_Out_Yuko);

  out->setDirName(tmp.path());
  unload();
  EXPECT_EQ(c.key("Dir_In"), here);
  EXPECT_EQ(c.key("Dir_In_Yuko"), "True");
  EXPECT_EQ(c.key("OldDir_In"), here);
  EXPECT_EQ(c.key("Dir_Out"), here);
  EXPECT_EQ(c.key("OldDir_Out"), tmp.path());
  EXPECT_EQ(c.key("Dir_In_DirName0"), "");  // the alias slots are written empty
  EXPECT_EQ(c.key("Dir_Out_DirDir9"), "");
}

TEST_F(PanesTest, WithTheDefaultOffThePaneReopensWhereItWasAndKeepsTheDefault) {
  const QString fixed = tmp.mkdir("fixed"), last = tmp.mkdir("last");
  c.setKey("Dir_In", fixed);
  c.setKey("Dir_In_Yuko", "False");
  c.setKey("OldDir_In", last);
  ASSERT_TRUE(load());
  EXPECT_EQ(in->DirName(), last);
  EXPECT_EQ(listedFolder(), last);

  c.context.defaults.Dir_In = tmp.path();  // as the default folders dialog would: the pane stays
  EXPECT_EQ(in->DirName(), last);
  unload();
  EXPECT_EQ(c.key("Dir_In"), tmp.path());
  EXPECT_EQ(c.key("Dir_In_Yuko"), "False");
  EXPECT_EQ(c.key("OldDir_In"), last);
}

TEST_F(PanesTest, MissingStartFolderFallsBackToTheCurrentFolderSilently) {
  c.setKey("Dir_Out", tmp.file("gone/away"));
  c.setKey("Dir_In", "not an absolute path");
  ASSERT_TRUE(load());
  EXPECT_EQ(out->DirName(), tmp.file("cwd"));
  EXPECT_EQ(in->DirName(), tmp.file("cwd"));
  in->setDirName(tmp.file("cwd/nothing"));
  EXPECT_EQ(in->DirName(), tmp.file("cwd"));
}

TEST_F(PanesTest, SourceFolderChangesMoveTheSourceFilePane) {
  tmp.mkdir("cwd/sub");
  ASSERT_TRUE(load());
  FolderList* list = folders(*in);
  list->setListIndex(0);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(listedFolder(), tmp.file("cwd/sub"));
  EXPECT_EQ(in->findChild<QLineEdit*>("txtDir")->text(), DispPath_Get(tmp.file("cwd/sub")));
  QTest::keyClick(list, Qt::Key_Backspace);
  EXPECT_EQ(listedFolder(), tmp.file("cwd"));
  out->setDirName(tmp.path());  // the destination pane moves nothing else
  EXPECT_EQ(listedFolder(), tmp.file("cwd"));
}

TEST_F(PanesTest, CopyMovesTheOtherPaneBothWays) {
  ASSERT_TRUE(load());
  const QString a = tmp.mkdir("a"), b = tmp.mkdir("b");
  in->setDirName(a);
  action(*in, "mnuCopy")->trigger();
  EXPECT_EQ(out->DirName(), a);

  out->setDirName(b);
  action(*out, "mnuCopy")->trigger();
  EXPECT_EQ(in->DirName(), b);
  EXPECT_EQ(listedFolder(), b);  // and with it the source file pane
}

TEST_F(PanesTest, DestinationCaptionShowsTheFreeSpace) {
  ASSERT_TRUE(load());
  out->setDirName(tmp.path());
  EXPECT_EQ(out->windowTitle(), QString::fromUtf8("解凍先フォルダ") + FreeSpace_Get(tmp.path()));
  EXPECT_TRUE(out->windowTitle().endsWith("M Free)"));
  EXPECT_EQ(in->windowTitle(), QString::fromUtf8("圧縮ファイル格納フォルダ"));
}

// A full file system has no free space to show: the caption is the name alone.
TEST_F(PanesTest, DestinationCaptionWithoutFreeSpace) {
  const QString mount = "/tmp/rukasu2-full-test";
  if (!testing_support::InMountNamespace()) {
    QDir().mkpath(mount);
    testing_support::RunTestInMountNamespace("mount -t tmpfs -o size=64k tmpfs " + mount +
                                             " && (dd if=/dev/zero of=" + mount + "/fill bs=4k 2>/dev/null; true)");
    return;
  }
  ASSERT_TRUE(load());
  out->setDirName(mount);
  EXPECT_EQ(out->DirName(), mount);
  EXPECT_EQ(out->windowTitle(), QString::fromUtf8("解凍先フォルダ"));
}

TEST_F(PanesTest, RefreshAfterTheFolderWasRemovedMovesToItsNearestAncestor) {
  ASSERT_TRUE(load());
  const QString deep = tmp.mkdir("x/y/z");
  in->setDirName(deep);
  ASSERT_TRUE(QDir(tmp.file("x/y")).removeRecursively());
  action(*in, "mnuRefresh")->trigger();
  EXPECT_EQ(in->DirName(), tmp.file("x"));
  EXPECT_EQ(listedFolder(), tmp.file("x"));
}

TEST_F(PanesTest, AValueOfTheWrongTypeKeepsItsDefault) {
  const QString start = tmp.mkdir("start");
  c.context.settings.Resize = false;  // placement is read only while the panes are not tiled
  c.setKey("OutDir_Top", "abc");
  c.setKey("Dir_In", start);
  c.setKey("Dir_In_Yuko", "maybe");
  c.setKey("OldDir_In", tmp.path());
  EXPECT_TRUE(in->Form_Load());
  EXPECT_EQ(in->DirName(), start);  // in force, as by default
  EXPECT_TRUE(out->Form_Load());
}

TEST_F(PanesTest, AutomaticRunReadsTheStartFolderAndWritesNothing) {
  const QString start = tmp.mkdir("start");
  c.setKey("Dir_Out", start);
  c.context.settings.Resize = false;
  c.setKey("OutDir_Top", "abc");  // placement is not read at all
  c.setKey("Dir_Out_DirName0", "alias");
  c.setKey("Dir_Out_DirDir0", start);
  c.context.AutoRunning = true;
  ASSERT_TRUE(load());
  EXPECT_EQ(out->DirName(), start);
  EXPECT_FALSE(action(*out, "mnuAddDir(0)")->isVisible());
  EXPECT_EQ(action(*out, "mnuRefresh")->text(), "");
  unload();
  EXPECT_EQ(c.key("OldDir_Out"), "<absent>");
  EXPECT_EQ(c.key("Dir_In"), "<absent>");
}

TEST_F(PanesTest, EnterInTheDriveListMovesTheFocusToTheFolderList) {
  ASSERT_TRUE(load());
  in->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(in.get()));
  in->focusDriveList();
  QTest::keyClick(in->findChild<DriveList*>("drvDrive"), Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), folders(*in));
  in->close();
}

// A drive is a mount point: choosing one moves the pane there, and choosing
// the first drive again returns to the folder the pane last showed on it.
TEST_F(PanesTest, ChoosingADrive) {
  const QString mount = "/tmp/rukasu2-pane-drive-test";
  if (!testing_support::InMountNamespace()) {
    QDir().mkpath(mount);
    testing_support::RunTestInMountNamespace("mount -t tmpfs -o size=1m tmpfs " + mount);
    return;
  }
  ASSERT_TRUE(load());
  auto* drives = out->findChild<DriveList*>("drvDrive");
  const int row = drives->findText(mount);
  ASSERT_GE(row, 0);
  EXPECT_EQ(drives->Drive(), "/");
  emit drives->activated(row);
  EXPECT_EQ(out->DirName(), mount);
  EXPECT_TRUE(out->windowTitle().endsWith("(1.0M Free)"));
  emit drives->activated(0);
  EXPECT_EQ(out->DirName(), tmp.file("cwd"));

  out->setDirName(mount + "/");  // walking up out of a mount point changes the drive
  folders(*out)->openEntry(-2);
  EXPECT_EQ(drives->Drive(), "/");
}

TEST_F(PanesTest, AddingAliases) {
  ASSERT_TRUE(load());
  const QString work = tmp.mkdir("work");
  in->setDirName(work);
  EXPECT_FALSE(action(*in, "mnuMente")->isEnabled());
  EXPECT_FALSE(action(*in, "mnuBar")->isVisible());

  auto box = testing_support::AnswerNextInputDialog("Work");
  action(*in, "mnuAdd")->trigger();
  QTRY_VERIFY(action(*in, "mnuAddDir(0)")->isVisible());
  EXPECT_EQ(box->title, QString::fromUtf8("フォルダエリアス名入力"));
  EXPECT_EQ(box->text, QString::fromUtf8("フォルダエリアス名を入力してください\n") + work);
  EXPECT_EQ(action(*in, "mnuAddDir(0)")->text(), "Work");
  EXPECT_TRUE(action(*in, "mnuBar")->isVisible());
  EXPECT_TRUE(action(*in, "mnuMente")->isEnabled());

  auto again = testing_support::AnswerNextInputDialog("Work");
  auto refusal = testing_support::AnswerNextMessageBox(QMessageBox::Ok);
  action(*in, "mnuAdd")->trigger();
  QTRY_VERIFY(refusal->seen);
  EXPECT_EQ(refusal->text, QString::fromUtf8("同一のフォルダエリアス名は追加できません"));
  EXPECT_EQ(refusal->title, "RUKASU2");
  EXPECT_FALSE(action(*in, "mnuAddDir(1)")->isVisible());

  in->setDirName(tmp.path());
  auto otherCase = testing_support::AnswerNextInputDialog("work");
  action(*in, "mnuAdd")->trigger();
  QTRY_VERIFY(action(*in, "mnuAddDir(1)")->isVisible());

  auto cancelled = testing_support::AnswerNextInputDialog("ignored", false);
  action(*in, "mnuAdd")->trigger();
  QTRY_VERIFY(cancelled->seen);
  EXPECT_FALSE(action(*in, "mnuAddDir(2)")->isVisible());

  action(*in, "mnuAddDir(0)")->trigger();  // an alias moves the pane
  EXPECT_EQ(in->DirName(), work);
  EXPECT_EQ(listedFolder(), work);

  unload();
  EXPECT_EQ(c.key("Dir_In_DirName1"), "work");
  EXPECT_EQ(c.key("Dir_In_DirDir1"), tmp.path());
  EXPECT_EQ(c.key("Dir_Out_DirName0"), "");
}

TEST_F(PanesTest, TenAliasesDisableAdding) {
  for (int slot = 0; slot < 10; ++slot) {
    c.setKey(QString("Dir_Out_DirName%1").arg(slot), QString("alias %1").arg(slot));
    c.setKey(QString("Dir_Out_DirDir%1").arg(slot), tmp.path());
  }
  ASSERT_TRUE(load());
  EXPECT_FALSE(action(*out, "mnuAdd")->isEnabled());
  EXPECT_TRUE(action(*out, "mnuAddDir(9)")->isVisible());
  EXPECT_EQ(action(*out, "mnuAddDir(9)")->text(), "alias 9");
  EXPECT_TRUE(action(*in, "mnuAdd")->isEnabled());  // the other pane's list is its own
}

}  // namespace
