// The extracted folders pane: unique entries up to 1000, the refresh against
// the disk, the popup selection items, and dragging the selection out as a
// file list.
#include <gtest/gtest.h>

#include <QAction>
#include <QDrag>
#include <QDropEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include "results/mdiOutFile.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/WindowContext.h"

namespace {

using testing_support::ModalWatch;
using testing_support::TempFolder;
using testing_support::WindowContext;

struct OutFilePane {
  WindowContext c;
  mdiOutFile pane{c.context};
  QListWidget* list = pane.findChild<QListWidget*>("lstOutFile");

  // Shows the pane large enough to drag from; false when it never appears.
  bool shown() {
    pane.resize(400, 300);
    pane.show();
    return QTest::qWaitForWindowExposed(&pane);
  }
  QAction* popupItem(const char* name) const { return pane.popupMenu()->findChild<QAction*>(name); }
  QList<int> selectedRows() const {
    QList<int> rows;
    for (int row = 0; row < list->count(); ++row)
      if (list->item(row)->isSelected()) rows << row;
    return rows;
  }
};

TEST(mdiOutFile, EntriesAreUniqueByExactText) {
  struct Row {
    const char* name;
    QStringList added;
    QStringList listed;
  };
  const Row rows[] = {
      {"same path twice", {"/out/A", "/out/A"}, {"/out/A"}},
      {"other letter case", {"/out/A", "/out/a"}, {"/out/A", "/out/a"}},
      {"order kept", {"/out/B", "/out/A", "/out/B"}, {"/out/B", "/out/A"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    OutFilePane p;
    for (const QString& folder : row.added) p.pane.ListInAdd(folder);
    EXPECT_EQ(p.pane.entries(), row.listed);
  }
}

TEST(mdiOutFile, The1001stFolderIsDroppedSilently) {
  OutFilePane p;
  ModalWatch watch;
  for (int i = 1; i <= 1000; ++i) p.pane.ListInAdd(QString("/out/%1").arg(i));
  ASSERT_EQ(p.list->count(), 1000);
  p.pane.ListInAdd("/out/1001");
  p.pane.ListInAdd("/out/1");
  EXPECT_EQ(p.list->count(), 1000);
  EXPECT_EQ(p.pane.entries().last(), "/out/1000");
  QTest::qWait(30);
  EXPECT_TRUE(watch.texts().isEmpty());
}

TEST(mdiOutFile, RefreshDropsMissingFoldersAndRespellsTheRest) {
  TempFolder tmp;
  tmp.mkdir("kept");
  tmp.mkdir("also kept");
  tmp.write("a file", "x");
  OutFilePane p;
  const QStringList added = {
      tmp.file("kept"),
      tmp.file("gone 1"),  // two missing folders in a row: both go
      tmp.file("gone 2"),
      tmp.path() + "/./also kept/",  // re-spelled
      "relative/folder",             // not absolute
      tmp.file("a file"),            // not a folder
      tmp.path() + "//kept/../kept",  // re-spelled to a duplicate, which stays
  };
  for (const QString& folder : added) p.pane.ListInAdd(folder);
  p.popupItem("mnuRefresh")->trigger();
  EXPECT_EQ(p.pane.entries(), QStringList({tmp.file("kept"), tmp.file("also kept"), tmp.file("kept")}));
  EXPECT_FALSE(QApplication::overrideCursor());  // the hourglass is gone again
}

TEST(mdiOutFile, PopupItemsSelectClearAndEmpty) {
  OutFilePane p;
  ASSERT_TRUE(p.pane.Form_Load());
  for (const char* folder : {"/a", "/b", "/c"}) p.pane.ListInAdd(folder);
  QStringList captions;
  for (QAction* item : p.pane.popupMenu()->actions().mid(0, 4)) captions << item->text();
  EXPECT_EQ(captions, QStringList({"初期化", "リフレッシュ", "全て選択", "全て選択の解除"}));

  p.popupItem("mnuAll")->trigger();
  EXPECT_EQ(p.selectedRows(), QList<int>({0, 1, 2}));
  p.popupItem("mnuClear")->trigger();
  EXPECT_TRUE(p.selectedRows().isEmpty());
  p.popupItem("mnuDel")->trigger();
  EXPECT_EQ(p.list->count(), 0);
}

// Stands where a file manager would: takes the drop and keeps what it got.
class DropTarget : public QWidget {
 public:
  DropTarget() { setAcceptDrops(true); }
  QStringList formats;
  QList<QUrl> urls;
  Qt::DropActions offered;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override { event->acceptProposedAction(); }
  void dropEvent(QDropEvent* event) override {
    formats = event->mimeData()->formats();
    urls = event->mimeData()->urls();
    offered = event->possibleActions();
    event->acceptProposedAction();
  }
};

// The offscreen platform has no drag service, so the test delivers the
// prepared drag to the target the way the platform would.
struct DragDelivery {
  DropTarget target;
  int drags = 0;
  Qt::DropAction deliver(QDrag& drag, Qt::DropActions actions) {
    ++drags;
    QMimeData* data = drag.mimeData();
    QDragEnterEvent enter(QPoint(5, 5), actions, data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &enter);
    QDropEvent drop(QPointF(5, 5), actions, data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &drop);
    drag.deleteLater();
    return drop.dropAction();
  }
};

// A pane whose drags go to a DragDelivery.
struct DraggingPane : OutFilePane {
  DragDelivery delivery;
  DraggingPane() {
    pane.setDragRunner([this](QDrag& drag, Qt::DropActions allowed) { return delivery.deliver(drag, allowed); });
  }
};

// Presses the left button at `at` on the list and moves far enough to drag.
void PressAndDrag(QListWidget* list, QPoint at) {
  QWidget* viewport = list->viewport();
  QTest::mousePress(viewport, Qt::LeftButton, {}, at);
  QTest::mouseMove(viewport, at + QPoint(0, 3 * QApplication::startDragDistance()));
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, at + QPoint(0, 3 * QApplication::startDragDistance()));
}

TEST(mdiOutFile, DragOffersTheSelectedFoldersAsAFileList) {
  DraggingPane p;
  ASSERT_TRUE(p.shown());
  for (const char* folder : {"/out/A", "/out/日本語 B", "/out/C"}) p.pane.ListInAdd(folder);
  p.list->item(2)->setSelected(true);
  p.list->item(0)->setSelected(true);

  PressAndDrag(p.list, p.list->visualItemRect(p.list->item(2)).center());
  ASSERT_EQ(p.delivery.drags, 1);
  EXPECT_TRUE(p.delivery.target.formats.contains("text/uri-list"));
  EXPECT_EQ(p.delivery.target.urls, QList<QUrl>({QUrl::fromLocalFile("/out/A"), QUrl::fromLocalFile("/out/C")}));
  EXPECT_EQ(p.delivery.target.offered, Qt::DropActions(Qt::CopyAction));
  EXPECT_EQ(p.pane.entries(), QStringList({"/out/A", "/out/日本語 B", "/out/C"}));
  p.pane.close();
}

TEST(mdiOutFile, DragWithNothingSelectedOffersAnEmptyListAndAnEmptyListNoDrag) {
  DraggingPane p;
  ASSERT_TRUE(p.shown());
  const QPoint belowTheEntries(20, p.list->viewport()->height() - 20);

  PressAndDrag(p.list, belowTheEntries);
  EXPECT_EQ(p.delivery.drags, 0);  // empty list: no drag

  p.pane.ListInAdd("/out/A");
  PressAndDrag(p.list, belowTheEntries);
  ASSERT_EQ(p.delivery.drags, 1);
  EXPECT_TRUE(p.delivery.target.formats.contains("text/uri-list"));
  EXPECT_TRUE(p.delivery.target.urls.isEmpty());

  QTest::mousePress(p.list->viewport(), Qt::RightButton, {}, belowTheEntries);  // the popup, not a drag
  QTest::mouseMove(p.list->viewport(), belowTheEntries + QPoint(0, -30));
  EXPECT_EQ(p.delivery.drags, 1);
  QTRY_VERIFY(p.pane.popupMenu()->isVisible());
  p.pane.popupMenu()->close();
  p.pane.close();
}

// Without a replacement the drag goes to the platform; where it has no drag
// service the drag simply ends and the list stays as it was.
TEST(mdiOutFile, PlatformDragLeavesTheListAsItWas) {
  OutFilePane p;
  ASSERT_TRUE(p.shown());
  p.pane.ListInAdd("/out/A");
  PressAndDrag(p.list, p.list->visualItemRect(p.list->item(0)).center());
  EXPECT_EQ(p.pane.entries(), QStringList({"/out/A"}));
  p.list->clearSelection();  // and the list answers clicks again
  QTest::mouseClick(p.list->viewport(), Qt::LeftButton, {}, p.list->visualItemRect(p.list->item(0)).center());
  EXPECT_EQ(p.selectedRows(), QList<int>({0}));
  p.pane.close();
}

}  // namespace
