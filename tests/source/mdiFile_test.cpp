// The target list: the 1000-entry limit and its message, the silent skips of
// names from outside, file drops, the two remove buttons, the folder commands,
// the keys, and the entry accessors the batch run uses.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDropEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include "engine/PathHelpers.h"
#include "source/mdiFile.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/StandInWindows.h"
#include "tests/support/WindowContext.h"

namespace {

using testing_support::ModalWatch;
using testing_support::TempFolder;
using testing_support::WindowContext;

const QString kFullList = "一度で実行できるファイル数は最大１０００までです。";

struct TargetList {
  WindowContext c;
  testing_support::SourceFileStandIn inFile;
  testing_support::FolderPaneStandIn inDir, outDir;
  testing_support::MainWindowStandIn main;
  QWidget window;  // holds the pane and the destination drive list
  mdiFile pane{c.context, &window};
  QListWidget* list = pane.findChild<QListWidget*>("lstFile");

  TargetList() {
    c.context.windows.inFile = &inFile;
    c.context.windows.inDir = &inDir;
    c.context.windows.outDir = &outDir;
    c.context.windows.main = &main;
    c.context.windows.file = &pane;
    outDir.drvDrive = new QComboBox(&window);
    outDir.drvDrive->move(0, 260);
    pane.setGeometry(0, 0, 400, 250);
    window.resize(400, 300);
  }
  void show() {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  QStringList entries() {
    QStringList texts;
    for (int i = 0; i < pane.count(); ++i) texts << pane.entry(i);
    return texts;
  }
  void fill(int n) {
    for (int i = 1; i <= n; ++i) pane.ListInAdd(QString("/arc/%1.lzh").arg(i));
  }
  // Drops the files as a file manager would and lets the drop's work finish.
  void drop(const QStringList& files) {
    QList<QUrl> urls;
    for (const QString& file : files) urls << QUrl::fromLocalFile(file);
    QMimeData data;
    data.setUrls(urls);
    const int before = main.btnEnabledChanges;
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(10, 10), offered, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent event(QPointF(10, 10), offered, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &event);
    EXPECT_TRUE(event.isAccepted());
    EXPECT_EQ(event.dropAction(), Qt::CopyAction);
    QTRY_COMPARE(main.btnEnabledChanges, before + 1);
  }
};

TEST(mdiFile, The1001stEntryIsRefusedWithTheMessage) {
  TargetList t;
  {
    ModalWatch watch;
    t.fill(1000);
    EXPECT_TRUE(t.pane.ListInAdd("/arc/1.lzh"));  // already listed: true, also when full
    QTest::qWait(30);
    EXPECT_TRUE(watch.texts().isEmpty());
  }
  ASSERT_EQ(t.pane.count(), 1000);
  ModalWatch watch({QMessageBox::Ok});
  EXPECT_FALSE(t.pane.ListInAdd("/arc/1001.lzh"));
  EXPECT_EQ(watch.texts(), QStringList({kFullList}));
  EXPECT_EQ(watch.titles(), QStringList({"RUKASU2"}));
  EXPECT_EQ(t.pane.count(), 1000);
  EXPECT_EQ(t.main.btnEnabledChanges, 0);  // the callers update the run buttons
}

TEST(mdiFile, NamesFromOutsideAreSkippedSilently) {
  TempFolder tmp;
  const QString archive = tmp.write("Sub/Arc.LZH", "x");
  tmp.write("notes.txt", "x");
  tmp.write("old.arj", "x");
  tmp.mkdir("folder.lzh");
  struct Row {
    const char* name;
    QString given;
    QStringList listed;
  };
  const Row rows[] = {
      {"empty", "", {}},
      {"relative", "Sub/Arc.LZH", {}},
      {"missing", tmp.file("none.lzh"), {}},
      {"folder", tmp.file("folder.lzh"), {}},
      {"not an archive", tmp.file("notes.txt"), {}},
      {"disabled kind", tmp.file("old.arj"), {}},
      {"archive, re-spelled", tmp.path() + "//Sub/./../Sub/Arc.LZH", {archive}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TargetList t;
    ModalWatch watch;
    EXPECT_TRUE(t.pane.Gaibu_ListInAdd(row.given));
    EXPECT_EQ(t.entries(), row.listed);
    EXPECT_TRUE(watch.texts().isEmpty());
  }
  TargetList withoutSourcePane;
  withoutSourcePane.c.context.windows.inFile = nullptr;  // no kind counts as enabled
  EXPECT_TRUE(withoutSourcePane.pane.Gaibu_ListInAdd(archive));
  EXPECT_EQ(withoutSourcePane.pane.count(), 0);
}

TEST(mdiFile, SameFileFromTheSourcePaneAndADropIsListedOnce) {
  TempFolder tmp;
  const QString archive = tmp.write("A.zip", "x");
  TargetList t;
  t.pane.ListInAdd(LongPath_Get(archive));
  t.drop({tmp.path() + "/./A.zip"});
  EXPECT_EQ(t.entries(), QStringList({archive}));
}

TEST(mdiFile, DropOfFiveOnto998AddsTwoAndStopsAtTheFullList) {
  TempFolder tmp;
  QStringList files;
  for (int i = 1; i <= 5; ++i) files << tmp.write(QString("new%1.lzh").arg(i), "x");
  TargetList t;
  t.fill(998);
  ModalWatch watch({QMessageBox::Ok, QMessageBox::Ok});
  t.drop(files);
  EXPECT_EQ(watch.texts(), QStringList({kFullList}));
  EXPECT_EQ(t.pane.count(), 1000);
  EXPECT_EQ(t.pane.entry(998), files[0]);
  EXPECT_EQ(t.pane.entry(999), files[1]);
}

TEST(mdiFile, DroppedFoldersAndOtherFilesAddNothing) {
  TempFolder tmp;
  TargetList t;
  ModalWatch watch;
  t.drop({tmp.mkdir("box.lzh"), tmp.write("readme.txt", "x"), tmp.write("x.arj", "x")});
  EXPECT_EQ(t.pane.count(), 0);
  EXPECT_TRUE(watch.texts().isEmpty());
}

TEST(mdiFile, OnlyFileListsAreOfferedCopy) {
  TargetList t;
  EXPECT_TRUE(t.list->viewport()->acceptDrops());
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile("/a.lzh")});
  QMimeData text;
  text.setText("/a.lzh");
  QDragEnterEvent withFiles(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton, {});
  QApplication::sendEvent(t.list->viewport(), &withFiles);
  EXPECT_TRUE(withFiles.isAccepted());
  EXPECT_EQ(withFiles.dropAction(), Qt::CopyAction);
  QDragEnterEvent withText(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &text, Qt::LeftButton, {});
  QApplication::sendEvent(t.list->viewport(), &withText);
  EXPECT_FALSE(withText.isAccepted());
}

TEST(mdiFile, RemoveButtonsTakeSelectedOrAllEntries) {
  TargetList t;
  t.show();
  t.fill(6);
  for (int row : {1, 2, 4})  // entries 2, 3 and 5
    QTest::mouseClick(t.list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      t.list->visualItemRect(t.list->item(row)).center());
  QTest::mouseClick(t.pane.findChild<QPushButton*>("btnDel"), Qt::LeftButton);
  EXPECT_EQ(t.entries(), QStringList({"/arc/1.lzh", "/arc/4.lzh", "/arc/6.lzh"}));
  EXPECT_EQ(t.main.btnEnabledChanges, 1);

  t.pane.SelectClear();
  QTest::mouseClick(t.pane.findChild<QPushButton*>("btnDel"), Qt::LeftButton);  // nothing selected
  EXPECT_EQ(t.pane.count(), 3);
  QTest::mouseClick(t.pane.findChild<QPushButton*>("btnDelAll"), Qt::LeftButton);
  EXPECT_EQ(t.pane.count(), 0);
  EXPECT_EQ(t.main.btnEnabledChanges, 3);
  t.window.close();
}

TEST(mdiFile, FolderCommandsTakeTheFolderOfTheFirstSelectedEntry) {
  TargetList t;
  ASSERT_TRUE(t.pane.Form_Load());
  QAction* outCopy = t.pane.popupMenu()->findChild<QAction*>("mnuOutCopy");
  QAction* inCopy = t.pane.popupMenu()->findChild<QAction*>("mnuInCopy");
  t.pane.ListInAdd("/Archive.lzh");
  t.pane.ListInAdd("/data/b/B.zip");
  outCopy->trigger();  // nothing selected: nothing happens
  inCopy->trigger();
  EXPECT_TRUE(t.outDir.folders.isEmpty());
  EXPECT_TRUE(t.inDir.folders.isEmpty());

  t.pane.setSelected(1, true);
  outCopy->trigger();
  t.pane.setSelected(0, true);
  inCopy->trigger();
  EXPECT_EQ(t.outDir.folders, QStringList({"/data/b"}));
  EXPECT_EQ(t.inDir.folders, QStringList({"/"}));  // the root keeps its separator
}

TEST(mdiFile, EnterMovesTheFocusToTheDestinationDriveListAndDeleteDoesNothing) {
  TargetList t;
  t.show();
  t.fill(3);
  t.list->setCurrentRow(1);
  t.pane.focusList();
  QTRY_VERIFY(t.list->hasFocus());
  QTest::keyClick(t.list, Qt::Key_Delete);
  EXPECT_EQ(t.pane.count(), 3);
  QTest::keyClick(t.list, Qt::Key_Return);
  QTRY_VERIFY(t.outDir.drvDrive->hasFocus());
  EXPECT_EQ(t.pane.count(), 3);
  t.window.close();
}

// The list fills the pane 4 pixels (60 twips) in from its edges above the
// buttons; the buttons wrap onto a second row when the pane is too narrow.
TEST(mdiFile, ListAndButtonsFollowThePaneSize) {
  TargetList t;
  t.show();
  auto* del = t.pane.findChild<QPushButton*>("btnDel");
  auto* delAll = t.pane.findChild<QPushButton*>("btnDelAll");
  t.pane.resize(300, 200);
  EXPECT_EQ(t.list->geometry().topLeft(), QPoint(4, 4));
  EXPECT_EQ(t.list->width(), 292);
  EXPECT_EQ(del->y(), t.list->geometry().bottom() + 1 + 4);
  EXPECT_EQ(del->geometry().bottom(), 200 - 1 - 4);
  EXPECT_EQ(delAll->pos(), QPoint(del->geometry().right() + 1 + 4, del->y()));

  t.pane.resize(del->width() + delAll->width() / 2 + 8, 200);
  EXPECT_EQ(delAll->pos(), QPoint(4, del->geometry().bottom() + 1 + 4));
  EXPECT_EQ(delAll->geometry().bottom(), 200 - 1 - 4);
  t.window.close();
}

TEST(mdiFile, BatchRunAccessorsReadAndChangeSingleEntries) {
  TargetList t;
  t.show();
  t.fill(60);
  t.pane.SelectAll();
  EXPECT_TRUE(t.pane.isSelected(59));
  t.pane.setSelected(3, false);
  EXPECT_FALSE(t.pane.isSelected(3));
  EXPECT_EQ(t.pane.SelectedFile_Get(), "/arc/1.lzh");

  t.pane.setTopIndex(40);
  EXPECT_EQ(t.list->itemAt(5, 5)->text(), "/arc/41.lzh");
  t.pane.removeEntry(0);
  EXPECT_EQ(t.pane.entry(0), "/arc/2.lzh");
  EXPECT_EQ(t.pane.count(), 59);

  // Indexes outside the list change nothing.
  t.pane.removeEntry(59);
  t.pane.setSelected(-1, true);
  t.pane.setTopIndex(500);
  EXPECT_EQ(t.pane.entry(59), "");
  EXPECT_FALSE(t.pane.isSelected(59));
  EXPECT_EQ(t.pane.count(), 59);
  t.pane.SelectClear();
  EXPECT_EQ(t.pane.SelectedFile_Get(), "");
  t.window.close();
}

}  // namespace
