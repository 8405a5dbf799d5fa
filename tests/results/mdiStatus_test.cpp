// The result log pane: the current-line rule and the trimming at 30000, the
// clipboard text, and saving the log through the save step, the overwrite
// question and the failure message.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTest>

#include "results/mdiStatus.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/MountNamespace.h"
#include "tests/support/WindowContext.h"

namespace {

using testing_support::AnswerNextMessageBox;
using testing_support::ModalWatch;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WindowContext;

struct StatusPane {
  WindowContext c;
  mdiStatus pane{c.context};
  QListView* list = pane.findChild<QListView*>("lstKekka");

  int current() const { return pane.currentLine(); }
  int viewCurrent() const { return list->currentIndex().row(); }
  void fill(int from, int to) {
    for (int i = from; i <= to; ++i) pane.ListInAdd(QString("line %1").arg(i));
  }
  // LogSave answers with this name instead of showing a dialog.
  void saveAs(const QString& name) {
    pane.setFileNameAsker([name](QWidget*) { return name; });
    pane.LogSave();
  }
};

TEST(mdiStatus, EachNewLineBecomesCurrent) {
  StatusPane s;
  EXPECT_EQ(s.current(), -1);
  s.pane.ListInAdd("first");
  EXPECT_EQ(s.current(), 0);
  s.pane.ListInAdd("second");
  s.pane.ListInAdd("third");
  EXPECT_EQ(s.current(), 2);
  EXPECT_EQ(s.pane.lines(), QStringList({"first", "second", "third"}));
}

TEST(mdiStatus, LogStopsGrowingAt30002LinesWhileTheNewestIsCurrent) {
  StatusPane s;
  s.fill(1, 30002);
  ASSERT_EQ(s.pane.lines().size(), 30002);
  EXPECT_EQ(s.current(), 30001);
  EXPECT_EQ(s.pane.lines().first(), "line 1");

  s.fill(30003, 30004);
  const QStringList lines = s.pane.lines();
  EXPECT_EQ(lines.size(), 30002);
  EXPECT_EQ(lines.first(), "line 3");
  EXPECT_EQ(lines.last(), "line 30004");
  EXPECT_EQ(s.current(), 30001);
}

// A click on an early line holds the current line back, so trimming starts
// later and the log grows past 30002 lines.
TEST(mdiStatus, ClickOnAnEarlyLineDelaysTrimming) {
  StatusPane s;
  s.pane.resize(400, 300);
  s.pane.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.pane));
  s.fill(1, 100);
  QTRY_COMPARE(s.viewCurrent(), 99);
  s.list->scrollToTop();
  const QRect line6 = s.list->visualRect(s.list->model()->index(5, 0));
  QTest::mouseClick(s.list->viewport(), Qt::LeftButton, {}, line6.center());
  ASSERT_EQ(s.current(), 5);

  s.pane.ListInAdd("line 101");
  EXPECT_EQ(s.current(), 6);  // moves down by one with every line
  s.fill(102, 30095);
  EXPECT_EQ(s.current(), 30000);
  EXPECT_EQ(s.pane.lines().size(), 30095);

  s.pane.ListInAdd("line 30096");  // current 30000: still only added
  EXPECT_EQ(s.current(), 30001);
  s.pane.ListInAdd("line 30097");  // current past 30000: the oldest line goes
  const QStringList lines = s.pane.lines();
  EXPECT_EQ(lines.size(), 30096);
  EXPECT_EQ(lines.first(), "line 2");
  EXPECT_EQ(lines.last(), "line 30097");
  EXPECT_EQ(s.current(), 30001);
  QTRY_COMPARE(s.viewCurrent(), 30001);  // the view's focus line follows
  EXPECT_EQ(s.list->currentIndex().data().toString(), "line 30003");
  s.pane.close();
}

// The list keeps a 60-twip (4-pixel) margin; a pane too low changes only its
// position and width, one too narrow leaves it as it was.
TEST(mdiStatus, ListFillsThePaneWithAMargin) {
  struct Row {
    const char* name;
    QSize pane;
    QRect list;
  };
  const Row rows[] = {
      {"normal", {400, 300}, {4, 4, 392, 292}},
      {"wide and low", {600, 120}, {4, 4, 592, 112}},
  };
  StatusPane s;
  s.pane.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.pane));
  for (const Row& row : rows) {  // in turn: each row starts from the one before
    SCOPED_TRACE(row.name);
    s.pane.resize(row.pane);
    EXPECT_EQ(s.list->geometry(), row.list);
  }
  s.pane.close();
}

TEST(mdiStatus, CopyPutsEveryLineWithCrLfOnTheClipboard) {
  StatusPane s;
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText("earlier");
  s.pane.LogCopy();  // empty log: the clipboard is emptied
  EXPECT_TRUE(clipboard->text().isEmpty());

  s.pane.ListInAdd("解凍しました");
  s.pane.ListInAdd("second");
  s.pane.LogCopy();
  EXPECT_EQ(clipboard->text(), "解凍しました\r\nsecond\r\n");
}

TEST(mdiStatus, PopupItemClearsTheLog) {
  StatusPane s;
  ASSERT_TRUE(s.pane.Form_Load());
  s.fill(1, 3);
  QAction* item = s.pane.popupMenu()->actions().first();
  EXPECT_EQ(item->objectName(), "mnuDel");
  EXPECT_EQ(item->text(), "初期化");
  item->trigger();
  EXPECT_TRUE(s.pane.lines().isEmpty());
  EXPECT_EQ(s.current(), -1);
  s.pane.ListInAdd("again");
  EXPECT_EQ(s.current(), 0);
}

TEST(mdiStatus, SavedLogIsCp932WithCrLfAfterEveryLine) {
  StatusPane s;
  TempFolder tmp;
  s.pane.ListInAdd("解凍 ①～表");
  s.pane.ListInAdd("");
  s.pane.ListInAdd("emoji \U0001F600 end");
  ModalWatch watch;
  s.saveAs(tmp.file("result.LOG"));
  EXPECT_TRUE(watch.texts().isEmpty());
  // 表 ends in 0x5C, the byte a path separator would have.
  EXPECT_EQ(ReadFile(tmp.file("result.LOG")),
            QByteArray("\x89\xF0\x93\x80 \x87\x40\x81\x60\x95\x5C\r\n\r\nemoji ? end\r\n"));
}

TEST(mdiStatus, NothingIsSavedForAnEmptyLogOrACancelledDialog) {
  StatusPane s;
  TempFolder tmp;
  const QString existing = tmp.write("old.LOG", "old content");
  ModalWatch watch;
  s.saveAs(existing);  // empty log: no question, nothing written
  EXPECT_EQ(ReadFile(existing), "old content");

  s.pane.ListInAdd("line");
  s.saveAs(QString());  // the dialog was cancelled
  EXPECT_TRUE(watch.texts().isEmpty());
  EXPECT_EQ(ReadFile(existing), "old content");
  EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList({"old.LOG"}));
}

TEST(mdiStatus, OverwriteIsAskedAndOnlyYesReplacesTheFile) {
  StatusPane s;
  TempFolder tmp;
  const QString existing = tmp.write("run.log", "old content that is longer than the log");
  s.pane.ListInAdd("new");

  auto no = AnswerNextMessageBox(QMessageBox::No);
  s.saveAs(existing);
  ASSERT_TRUE(no->seen);
  EXPECT_EQ(no->text, "ファイルが存在しています。上書きしてよろしいですか");
  EXPECT_EQ(no->title, "RUKASU2");
  EXPECT_EQ(ReadFile(existing), "old content that is longer than the log");

  auto yes = AnswerNextMessageBox(QMessageBox::Yes);
  s.saveAs(existing);
  ASSERT_TRUE(yes->seen);
  EXPECT_EQ(ReadFile(existing), "new\r\n");
}

TEST(mdiStatus, SaveUnderAFileOrOntoAFolderReportsTheFailure) {
  TempFolder tmp;
  const QString file = tmp.write("plain.txt", "x");
  const QString folder = tmp.mkdir("logs.LOG");
  for (const QString& name : {file + "/result.LOG", folder}) {
    SCOPED_TRACE(name.toStdString());
    StatusPane s;
    s.pane.ListInAdd("line");
    ModalWatch watch({QMessageBox::Ok});
    s.saveAs(name);  // a folder is not asked about: it is no file to overwrite
    EXPECT_EQ(watch.texts(), QStringList({"セーブできませんでした。"}));
    EXPECT_EQ(watch.titles(), QStringList({"RUKASU2"}));
  }
  EXPECT_EQ(ReadFile(file), "x");
  EXPECT_TRUE(QFileInfo(folder).isDir());
  EXPECT_EQ(testing_support::Tree(tmp.path()), QStringList({"logs.LOG/", "plain.txt"}));
}

// The names the dialog lists in a folder under its current filter.
QStringList ListedNames(QFileDialog* dialog, const QString& folder, int expected) {
  auto* model = dialog->findChild<QFileSystemModel*>();
  if (!model) return {};
  const QModelIndex root = model->index(folder);
  for (int i = 0; i < 250 && model->rowCount(root) != expected; ++i) QTest::qWait(20);
  QStringList names;
  for (int row = 0; row < model->rowCount(root); ++row) names << model->index(row, 0, root).data().toString();
  names.sort();
  return names;
}

TEST(mdiStatus, SaveDialogListsLogFilesAndAddsTheDefaultSuffix) {
  StatusPane s;
  TempFolder tmp;
  for (const char* name : {"a.log", "b.LOG", "c.txt"}) tmp.write(name, "x");
  s.pane.ListInAdd("line");
  QStringList filters, listed;
  QString suffix;
  bool asksItself = true;
  testing_support::WhenModal<QFileDialog>([&](QFileDialog* dialog) {
    filters = dialog->nameFilters();
    suffix = dialog->defaultSuffix();
    asksItself = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
    dialog->setDirectory(tmp.path());
    listed = ListedNames(dialog, tmp.path(), 2);
    // Typed as a user would: the name without an extension, then Enter.
    if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) {
      QTest::keyClicks(name, "run");
      QTest::keyClick(name, Qt::Key_Return);
    }
  });
  s.pane.LogSave();
  EXPECT_EQ(filters, QStringList({"LogFile (*.LOG)", "全てのファイル (*)"}));
  EXPECT_EQ(listed, QStringList({"a.log", "b.LOG"}));
  EXPECT_EQ(suffix, "LOG");
  EXPECT_FALSE(asksItself);
  EXPECT_EQ(ReadFile(tmp.file("run.LOG")), "line\r\n");

  testing_support::WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  s.pane.ListInAdd("more");
  s.pane.LogSave();  // cancelled: nothing changes
  EXPECT_EQ(ReadFile(tmp.file("run.LOG")), "line\r\n");
}

// The folder handed over to the mount namespace child.
QString FaultFolder() { return qEnvironmentVariable("RUKASU2_STATUS_FAULT_DIR"); }

bool InNamespaceWith(const TempFolder& folder, const QString& setup) {
  if (testing_support::InMountNamespace()) return true;
  testing_support::RunTestInMountNamespace(setup.arg(folder.path()),
                                           {"RUKASU2_STATUS_FAULT_DIR=" + folder.path()});
  return false;
}

TEST(mdiStatus, SaveIntoAReadOnlyFolderReportsTheFailure) {
  TempFolder outside;
  if (!InNamespaceWith(outside, "mount --bind '%1' '%1' && mount -o remount,bind,ro '%1'")) return;
  StatusPane s;
  s.pane.ListInAdd("line");
  auto notice = AnswerNextMessageBox(QMessageBox::Ok);
  s.saveAs(FaultFolder() + "/result.LOG");
  ASSERT_TRUE(notice->seen);
  EXPECT_EQ(notice->text, "セーブできませんでした。");
  EXPECT_FALSE(QFile::exists(FaultFolder() + "/result.LOG"));
}

// The new content does not fit on the disk: the earlier file stays whole.
TEST(mdiStatus, SaveThatRunsOutOfSpaceKeepsTheEarlierFile) {
  TempFolder outside;
  if (!InNamespaceWith(outside, "mount -t tmpfs -o size=64k tmpfs '%1'")) return;
  const QString target = FaultFolder() + "/result.LOG";
  {
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier log\r\n");
  }
  StatusPane s;
  for (int i = 0; i < 2000; ++i) s.pane.ListInAdd(QString("解凍しました %1 ").arg(i).repeated(4));
  ModalWatch watch({QMessageBox::Yes, QMessageBox::Ok});
  s.saveAs(target);
  EXPECT_EQ(watch.texts(),
            QStringList({"ファイルが存在しています。上書きしてよろしいですか", "セーブできませんでした。"}));
  EXPECT_EQ(ReadFile(target), "earlier log\r\n");
  // No temporary file is left behind either.
  EXPECT_EQ(QDir(FaultFolder()).entryList(QDir::Files), QStringList({"result.LOG"}));
}

}  // namespace
