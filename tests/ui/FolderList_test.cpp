// The folder list: its indexes, its highlight, its change notification, and
// Enter, Backspace and double click.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "ui/FolderList.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::TempFolder;

int Depth(const QString& path) { return static_cast<int>(path.count(u'/')); }

struct Tree {
  TempFolder tmp;
  QString top;
  Tree() {
    top = tmp.mkdir("top");
    for (const char* name : {"top/b", "top/A", "top/c/deep", "top/.hidden"}) tmp.mkdir(name);
  }
};

TEST(FolderList, IndexesFollowTheCurrentFolderDownAndUp) {
  Tree tree;
  FolderList list;
  QSignalSpy changes(&list, &FolderList::pathChanged);
  ASSERT_TRUE(list.setPath(tree.top));
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(list.listIndex(), -1);
  EXPECT_EQ(list.listCount(), 3);  // A, b, c: name order, hidden left out
  EXPECT_EQ(list.entry(-1), tree.top);
  EXPECT_EQ(list.entry(-2), tree.tmp.path());
  EXPECT_EQ(list.entry(0), tree.top + "/A");
  EXPECT_EQ(list.entry(2), tree.top + "/c");
  EXPECT_EQ(list.entry(3), "");
  const int rootIndex = -1 - Depth(tree.top);
  EXPECT_EQ(list.entry(rootIndex), "/");
  EXPECT_EQ(list.entry(rootIndex - 1), "");

  ASSERT_TRUE(list.openEntry(2));  // down into c
  EXPECT_EQ(list.path(), tree.top + "/c");
  EXPECT_EQ(list.listIndex(), -1);
  EXPECT_EQ(list.listCount(), 1);
  EXPECT_EQ(list.entry(-2), tree.top);
  EXPECT_EQ(list.entry(rootIndex - 1), "/");

  ASSERT_TRUE(list.openEntry(-3));  // up two levels
  EXPECT_EQ(list.path(), tree.tmp.path());
  EXPECT_EQ(list.entry(0), tree.top);
  EXPECT_EQ(changes.count(), 3);
}

TEST(FolderList, EnterAndBackspaceOpenEntriesFromTheHighlight) {
  Tree tree;
  FolderList list;
  ASSERT_TRUE(list.setPath(tree.top));
  QSignalSpy changes(&list, &FolderList::pathChanged);

  QTest::keyClick(&list, Qt::Key_Return);  // on the current folder: nothing changes
  EXPECT_EQ(changes.count(), 0);

  list.setListIndex(1);
  QTest::keyClick(&list, Qt::Key_Down);  // arrows move the highlight
  EXPECT_EQ(list.listIndex(), 2);
  QTest::keyClick(&list, Qt::Key_Backspace);  // the entry above the highlight: b
  EXPECT_EQ(list.path(), tree.top + "/b");
  EXPECT_EQ(list.listIndex(), -1);

  QTest::keyClick(&list, Qt::Key_Backspace);  // on the current folder: its parent
  EXPECT_EQ(list.path(), tree.top);
  list.setListIndex(0);
  QTest::keyClick(&list, Qt::Key_Enter);
  EXPECT_EQ(list.path(), tree.top + "/A");
  EXPECT_EQ(changes.count(), 3);
}

TEST(FolderList, BackspaceAtTheRootChangesNothing) {
  FolderList list;
  ASSERT_TRUE(list.setPath("/"));
  QSignalSpy changes(&list, &FolderList::pathChanged);
  QTest::keyClick(&list, Qt::Key_Backspace);
  EXPECT_EQ(list.path(), "/");
  EXPECT_EQ(changes.count(), 0);
  EXPECT_EQ(list.entry(-1), "/");
  EXPECT_EQ(list.entry(-2), "");
}

TEST(FolderList, DoubleClickOpensTheEntry) {
  Tree tree;
  FolderList list;
  list.resize(300, 300);
  ASSERT_TRUE(list.setPath(tree.top));
  list.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
  const QModelIndex a = list.model()->index(Depth(tree.top) + 1, 0);  // first subfolder
  const QPoint at = list.visualRect(a).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(list.listIndex(), 0);
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(list.path(), tree.top + "/A");
  list.close();
}

TEST(FolderList, RereadingRaisesNoChange) {
  Tree tree;
  FolderList list;
  ASSERT_TRUE(list.setPath(tree.top));
  QSignalSpy changes(&list, &FolderList::pathChanged);
  tree.tmp.mkdir("top/new");
  EXPECT_TRUE(list.refresh());
  EXPECT_EQ(list.listCount(), 4);
  EXPECT_TRUE(list.setPath(tree.top + "/"));  // the same folder
  EXPECT_EQ(changes.count(), 0);
}

TEST(FolderList, FolderThatCannotBeReadLeavesTheListAsItWas) {
  Tree tree;
  const QString file = tree.tmp.write("top/file.lzh", "x");
  FolderList list;
  ASSERT_TRUE(list.setPath(tree.top));
  QSignalSpy changes(&list, &FolderList::pathChanged);
  for (const QString& bad : {tree.top + "/missing", file, QString("relative/path"), QString()})
    EXPECT_FALSE(list.setPath(bad)) << bad.toStdString();
  EXPECT_EQ(list.path(), tree.top);
  EXPECT_EQ(changes.count(), 0);

  ASSERT_TRUE(QDir(tree.top).removeRecursively());
  EXPECT_FALSE(list.refresh());
  EXPECT_EQ(list.listCount(), 0);
}

}  // namespace
