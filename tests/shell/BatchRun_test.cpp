// The batch run behind the run buttons, on the real main window with the real
// modules: failed archives stay on the list, Cancel and the stop result end
// the run between archives, the window keeps answering while an archive is
// extracted on the worker thread, a close during a run waits for the archive
// and then saves, and the log reads the same with or without the worker.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <algorithm>
#include <tuple>

#include "archivers/common/ResultCodes.h"
#include "engine/PathHelpers.h"
#include "shell/BatchRun.h"
#include "tests/engine/FakeLibrary.h"
#include "tests/support/ModalHelper.h"
#include "dialogs/frmPassword.h"
#include "tests/shell/MainWindowWorld.h"
#include "text/MessageCatalogue.h"

namespace {

using M = ProductMsg;

using testing_support::ModalWatch;

const QString kAllDone = "全て終了しました";
const QString kStopped = "中断しました";

QString P(ProductMsg id) { return MessageCatalogue::Product(id); }

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

struct Started : MainWindowWorld {
  Started() {
    EXPECT_EQ(load(), frmRukasu::Start::ShowWindow);
    show();
  }
  // A stand-in for the CAB library; the world's libraries own it.
  template <typename Library>
  Library* standInCab(std::unique_ptr<Library> library) {
    Library* raw = library.get();
    libraries.set(LibraryId::Cab, std::move(library));
    return raw;
  }
};

TEST(BatchRun, FailedArchivesStayInOrderDeselectedAndTheRestAreExtracted) {
  Started w;
  const QString ok1 = w.makeZip("ok1.zip"), bad1 = w.makeBroken("bad1.zip"), ok2 = w.makeTarGz("ok2.tar.gz"),
                bad2 = w.makeBroken("bad2.lzh"), ok3 = w.makeLzh("ok3.lzh");
  w.setTargets({ok1, bad1, ok2, bad2, ok3});
  w.run(0);

  EXPECT_EQ(w.targets(), QStringList({bad1, bad2}));
  EXPECT_TRUE(w.selectedTargets().isEmpty());
  EXPECT_EQ(w.extractedFolders(), QStringList({w.dest + "/OK1", w.dest + "/OK2", w.dest + "/OK3"}));
  EXPECT_TRUE(QFile::exists(w.dest + "/OK1/doc/readme.txt"));
  EXPECT_TRUE(QFile::exists(w.dest + "/OK2/data.bin"));
  EXPECT_TRUE(QFile::exists(w.dest + "/OK3/lzh.txt"));
  EXPECT_FALSE(QFile::exists(w.dest + "/BAD1"));  // a folder left empty by a failure goes again
  const QStringList log = w.log();
  ASSERT_FALSE(log.isEmpty());
  EXPECT_EQ(log.first(), Heading(ok1));
  EXPECT_EQ(log.count(P(M::LogNotExtracted)), 2);  // one failure line per failed archive, each with the module's reason
  for (qsizetype i = log.indexOf(P(M::LogNotExtracted)); i >= 0; i = log.indexOf(P(M::LogNotExtracted), i + 1))
    EXPECT_TRUE(i + 1 < log.size() && log[i + 1].startsWith(QString::fromUtf8("\u3000\u3000"))) << i;
  EXPECT_EQ(log.last(), kAllDone);
  const BatchRun::Tally& tally = w.window->batchRun().lastRun();  // for the notice at the end
  EXPECT_EQ(std::tuple(tally.extracted, tally.failed, tally.stopped), std::tuple(3, 2, false));

  // The window is usable again: run buttons (the list is not empty), panes, menus.
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(w.button(QString("btnExe(%1)").arg(i))->isEnabled());
  EXPECT_FALSE(w.button("btnCancel")->isEnabled());
  for (PaneOps* pane : w.panes()) EXPECT_TRUE(pane->paneWidget()->isEnabled());
  for (QAction* entry : w.window->menuBar()->actions()) EXPECT_TRUE(entry->isEnabled());
}

// Answers the password dialogs of a run in turn: a password to type and
// confirm, "skip" or "cancel"; records each prompt.
void AnswerPasswordDialogs(QStringList answers, std::shared_ptr<QStringList> prompts) {
  QTimer::singleShot(10, [answers, prompts]() mutable {
    auto* dialog = qobject_cast<frmPassword*>(QApplication::activeModalWidget());
    if (!dialog || dialog->property("answered").toBool()) {
      if (!answers.isEmpty()) AnswerPasswordDialogs(answers, prompts);
      return;
    }
    dialog->setProperty("answered", true);
    prompts->append(dialog->findChildren<QLabel*>().first()->text() + u'|' + dialog->findChild<QLabel*>("lblArchive")->text());
    const QString answer = answers.takeFirst();
    if (answer == "skip") {
      dialog->btnSkip->click();
    } else if (answer == "cancel") {
      dialog->btnCancelRun->click();
    } else {
      dialog->txtPassword->setText(answer);
      dialog->btnOK->click();
    }
    if (!answers.isEmpty()) AnswerPasswordDialogs(answers, prompts);
  });
}

// Encrypted ZIPs that no known password opens: the dialog names the archive
// and asks, again after a wrong answer (which writes nothing); the password
// that opened one opens the next without asking; a skipped archive stays on
// the list, and cancelling stops the run there. No password reaches the log.
TEST(BatchRun, PasswordDialogAsksUntilTheArchiveOpensIsSkippedOrTheRunCancelled) {
  RK_REQUIRE_PROGRAM("zip");
  Started w;
  w.tmp.write("enc/s.txt", "secret member");
  const auto encrypted = [&](const QString& name, const QString& password) {
    EXPECT_EQ(testing_support::Run("zip", {"-q", "-P", password, w.source + u'/' + name, "s.txt"}, w.tmp.file("enc")), 0);
    return w.source + u'/' + name;
  };
  const QString a = encrypted("a.zip", "Kagi-7"), b = encrypted("b.zip", "Kagi-7"), c = encrypted("c.zip", "Other"),
                d = encrypted("d.zip", "Other");
  w.setTargets({a, b, c, d});
  auto prompts = std::make_shared<QStringList>();
  AnswerPasswordDialogs({"wrong", "Kagi-7", "skip", "cancel"}, prompts);
  w.run(0);
  EXPECT_EQ(testing_support::ReadFile(w.dest + "/A/s.txt"), "secret member");
  EXPECT_EQ(testing_support::ReadFile(w.dest + "/B/s.txt"), "secret member");
  EXPECT_FALSE(QFile::exists(w.dest + "/C"));
  EXPECT_EQ(w.targets(), QStringList({c, d}));
  ASSERT_EQ(prompts->size(), 4);
  EXPECT_EQ(*prompts, QStringList({P(M::PasswordPrompt) + "|a.zip", P(M::PasswordWrongPrompt) + "|a.zip",
                                   P(M::PasswordWrongPrompt) + "|c.zip", P(M::PasswordWrongPrompt) + "|d.zip"}));
  const QString log = w.log().join(u'\n');
  EXPECT_TRUE(log.contains(QString::fromUtf8("パスワードが違います")));
  EXPECT_TRUE(log.contains(P(M::LogCancelled)));
  EXPECT_FALSE(log.contains("Kagi") || log.contains("wrong"));
}

TEST(BatchRun, AllDoneEmptiesTheListAndDisablesTheRunButtons) {
  Started w;
  w.setTargets({w.makeZip("a.zip"), w.makeZip("b.zip")});
  w.run(1);  // Normal: straight into the destination
  EXPECT_TRUE(w.targets().isEmpty());
  EXPECT_EQ(w.extractedFolders(), QStringList({w.dest}));
  EXPECT_EQ(w.log().last(), kAllDone);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(w.button(QString("btnExe(%1)").arg(i))->isEnabled());
}

// The later volumes of a set on the list are done once the first extracted
// the set: they leave the list with a line that names the first.
TEST(BatchRun, LaterVolumesOfAnExtractedSetLeaveTheList) {
  Started w;
  QStringList set;
  for (int n = 1; n <= 3; ++n)
    set << w.tmp.write(QString("source/set.part%1.rar").arg(n),
                       testing_support::ReadFile(testing_support::Sample(
                           QString("rar/volumes/test_rar_multivolume_single_file.part%1.rar").arg(n))));
  const QString zip = w.makeZip("after.zip");
  w.setTargets({set[0], set[1], set[2], zip});
  w.run(0);
  EXPECT_TRUE(w.targets().isEmpty());
  EXPECT_EQ(w.extractedFolders(), QStringList({w.dest + "/SET.PART1", w.dest + "/AFTER"}));
  const QString done = P(M::LogSetVolumeHead) + "set.part1.rar" + P(M::LogSetVolumeTail);
  EXPECT_EQ(w.log().count(done), 2);
  EXPECT_EQ(w.log()[w.log().indexOf(Heading(set[2])) + 1], done);
}

TEST(BatchRun, EachRunStartsWithAnEmptyLog) {
  Started w;
  const QString bad = w.makeBroken("bad.zip");
  w.setTargets({bad});
  w.run(0);
  w.run(0);  // the failed archive stayed, so the buttons are enabled
  EXPECT_EQ(w.log().count(Heading(bad)), 1);
}

TEST(BatchRun, CancelDuringTheThirdOfFiveFinishesItAndKeepsTheRest) {
  Started w;
  auto* cab = w.standInCab(std::make_unique<BlockingLibrary>());
  const QStringList all = {w.makeZip("1.zip"), w.makeZip("2.zip"), w.makeDummy("3.cab"), w.makeZip("4.zip"),
                           w.makeZip("5.zip")};
  w.setTargets(all);
  bool pressed = false;
  cab->whileBlocked([&] {
    QTest::mouseClick(w.button("btnCancel"), Qt::LeftButton);
    pressed = true;
  });
  w.run(0);

  ASSERT_TRUE(pressed);
  EXPECT_EQ(cab->finished, 1);
  EXPECT_EQ(w.targets(), all.mid(3));  // the third succeeded, so it left the list too
  EXPECT_EQ(w.extractedFolders(), QStringList({w.dest + "/1", w.dest + "/2", w.dest + "/3"}));
  EXPECT_FALSE(QFile::exists(w.dest + "/4"));
  EXPECT_EQ(w.log().last(), kStopped);
  EXPECT_EQ(w.log().count(P(M::LogExtracted)), 3);  // done lines of the first three only
  EXPECT_FALSE(w.window->batchRun().cancelFlag());
  EXPECT_FALSE(w.button("btnCancel")->isEnabled());
}

TEST(BatchRun, StopResultKeepsThatArchiveAndAllAfterIt) {
  Started w;
  w.standInCab(std::make_unique<FakeLibrary>(rkarc::kErrDiskFull));
  const QStringList all = {w.makeZip("a.zip"), w.makeDummy("b.cab"), w.makeZip("c.zip")};
  w.setTargets(all);
  w.run(0);
  EXPECT_EQ(w.targets(), all.mid(1));
  EXPECT_TRUE(w.log().contains(P(M::LogDiskFull)));
  EXPECT_EQ(w.log().last(), kStopped);
  EXPECT_FALSE(QFile::exists(w.dest + "/C"));
  EXPECT_FALSE(w.window->batchRun().cancelFlag());  // the next run starts afresh
  const BatchRun::Tally& tally = w.window->batchRun().lastRun();
  EXPECT_EQ(std::tuple(tally.extracted, tally.failed, tally.stopped), std::tuple(1, 1, true));
}

// The destination folder was removed before the run button was pressed:
// every archive is refused, none is extracted anywhere else (the root).
TEST(BatchRun, GoneDestinationRefusesEveryArchive) {
  Started w;
  const QStringList all = {w.makeZip("a.zip"), w.makeZip("b.zip")};
  w.setTargets(all);
  QDir(w.dest).removeRecursively();
  w.run(1);
  EXPECT_EQ(w.targets(), all);
  EXPECT_EQ(w.log().count(P(M::LogNoDestination)), 2);
  EXPECT_FALSE(QFile::exists("/doc/readme.txt"));
}

// Nobody can answer a message box in the automatic run: a busy library is
// a line of the log there, and the run goes on.
TEST(BatchRun, AutomaticRunLogsABusyLibraryInsteadOfAsking) {
  Started w;
  w.standInCab(std::make_unique<FakeLibrary>())->busy = true;
  w.setTargets({w.makeDummy("busy.cab"), w.makeZip("next.zip")});
  w.context->AutoRunning = true;
  ModalWatch nobody;
  EXPECT_EQ(w.window->batchRun().AutoBatch(0), BatchRun::Outcome::SomeFailed);
  w.context->AutoRunning = false;
  EXPECT_TRUE(nobody.texts().isEmpty());
  EXPECT_TRUE(w.log().contains(QString::fromUtf8("現在CAB32.DLLは使用中です")));
  EXPECT_TRUE(QFile::exists(w.dest + "/NEXT/doc/readme.txt"));
}

TEST(ResponsiveRun, TheWindowAnswersWhileAnArchiveIsExtracted) {
  Started w;
  auto* cab = w.standInCab(std::make_unique<BlockingLibrary>());
  const QString first = w.makeDummy("first.cab");
  w.setTargets({first, w.makeZip("second.zip"), w.makeZip("third.zip")});
  PaintCounter counter;
  w.button("btnCancel")->installEventFilter(&counter);
  bool answered = false;
  cab->whileBlocked([&] {
    bool queuedRan = false;
    QMetaObject::invokeMethod(w.window.get(), [&] { queuedRan = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(QTest::qWaitFor([&] { return queuedRan; }));
    const int before = counter.paints;
    w.button("btnCancel")->update();
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > before; }));
    // Which archive of how many is on show.
    const QString progress = w.window->findChild<QLabel*>("progressText")->text();
    EXPECT_TRUE(progress.startsWith("1 / 3")) << progress.toStdString();
    EXPECT_TRUE(progress.endsWith(DispPath_Get(first))) << progress.toStdString();
    // The archive's lines so far are in the log already.
    EXPECT_EQ(w.log(), QStringList({Heading(first), P(M::LogCabExtracting)}));
    // Only Cancel and the window's frame take input.
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(w.button(QString("btnExe(%1)").arg(i))->isEnabled());
    EXPECT_TRUE(w.button("btnCancel")->isEnabled());
    for (PaneOps* pane : w.panes()) EXPECT_FALSE(w.subWindow(pane)->isEnabled());
    for (QAction* entry : w.window->menuBar()->actions()) EXPECT_FALSE(entry->isEnabled());
    w.context->windows.main->BtnEnabledChange();  // as a pane may ask
    EXPECT_FALSE(w.button("btnExe(0)")->isEnabled());
    answered = true;
  });
  w.run(0);
  EXPECT_TRUE(answered);
}

// Started with Ctrl+1 and cancelled with Escape: Cancel goes grey and the
// status line says the run stops once the archive under way is done.
TEST(ResponsiveRun, EscapeDuringTheFirstOfThreeSaysSoLetsItFinishAndKeepsTheOtherTwo) {
  Started w;
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
  auto* cab = w.standInCab(std::make_unique<BlockingLibrary>());
  const QStringList all = {w.makeDummy("one.cab"), w.makeZip("two.zip"), w.makeZip("three.zip")};
  w.setTargets(all);
  bool cancelEnabled = true;
  QString shown;
  cab->whileBlocked([&] {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    cancelEnabled = w.button("btnCancel")->isEnabled();
    shown = w.window->statusBar()->currentMessage();
  });
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_1, Qt::ControlModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.log().contains(kStopped); }));
  EXPECT_FALSE(cancelEnabled);
  EXPECT_EQ(shown, "解凍中の圧縮ファイルが終わりしだい中断します");
  EXPECT_TRUE(w.window->statusBar()->currentMessage().isEmpty());
  EXPECT_EQ(cab->finished, 1);
  EXPECT_EQ(w.targets(), all.mid(1));
  EXPECT_EQ(w.log(), QStringList({Heading(all[0]), P(M::LogCabExtracting), P(M::LogExtracted), kStopped}));
}

TEST(ResponsiveRun, ClosingDuringARunWaitsForTheArchiveThenSavesEverything) {
  Started w;
  auto* cab = w.standInCab(std::make_unique<BlockingLibrary>());
  w.setTargets({w.makeDummy("one.cab"), w.makeZip("two.zip")});
  ModalWatch nothingAsked;
  bool stillOpen = false;
  cab->whileBlocked([&] {
    EXPECT_FALSE(w.window->close());
    stillOpen = w.window->isVisible() && w.context->windows.status != nullptr;
    EXPECT_EQ(w.window->statusBar()->currentMessage(), "解凍中の圧縮ファイルが終わりしだい中断して終了します");
    EXPECT_FALSE(w.button("btnCancel")->isEnabled());
  });
  w.run(0);
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !w.window->isVisible(); }));

  EXPECT_EQ(cab->finished, 1);
  EXPECT_FALSE(QFile::exists(w.dest + "/TWO"));
  EXPECT_TRUE(nothingAsked.texts().isEmpty());
  EXPECT_EQ(w.context->windows.status, nullptr);  // every window unloaded
  const QString ini = QString::fromUtf8(testing_support::ReadFile(w.storeFile()));
  EXPECT_TRUE(ini.contains("Version=1.02"));
  EXPECT_TRUE(ini.contains("Dir_Out=" + w.dest));
  EXPECT_TRUE(ini.contains("Main_WindowState=0"));
  EXPECT_TRUE(QTest::qWaitFor([] { return !ExtractionThreadAlive(); }));
}

// The same archives once on the worker thread and once on the calling
// thread: the log, the extracted folders and the list read the same, and the
// busy notice is a message box on the user-interface thread both times.
TEST(ResponsiveRun, TheLogIsTheSameWithAndWithoutTheWorker) {
  Started w;
  auto busy = std::make_unique<FakeLibrary>();
  busy->busy = true;
  w.standInCab(std::move(busy));
  const QStringList all = {w.makeZip("a.zip"), w.makeBroken("b.zip"), w.makeDummy("c.cab"), w.makeTarGz("d.tgz"),
                           w.makeLzh("e.lzh"), w.makeBroken("f.txt")};
  struct Outcome {
    QStringList log, folders, targets, boxes;
  };
  auto runOnce = [&](bool worker) {
    QDir(w.dest).removeRecursively();
    QDir().mkpath(w.dest);
    w.window->batchRun().setUseWorker(worker);
    w.setTargets(all);
    ModalWatch boxes({QMessageBox::Ok});
    w.run(0);
    return Outcome{w.log(), w.extractedFolders(), w.targets(), boxes.texts()};
  };
  const Outcome threaded = runOnce(true);
  w.context->windows.outFile->paneWidget()->findChild<QListWidget*>()->clear();
  const Outcome direct = runOnce(false);

  EXPECT_EQ(threaded.log, direct.log);
  EXPECT_EQ(threaded.folders, direct.folders);
  EXPECT_EQ(threaded.targets, direct.targets);
  EXPECT_EQ(threaded.boxes, QStringList({P(M::BusyCab)}));
  EXPECT_EQ(direct.boxes, threaded.boxes);
  EXPECT_EQ(threaded.log.last(), kAllDone);
}

TEST(ResponsiveRun, ProgressTellsTheArchiveAndHowFarItHasGot) {
  Started w;
  QByteArray noise(3 << 20, Qt::Uninitialized);
  QRandomGenerator random(7);
  random.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
  const QString big = w.makeTarGz("big.tar.gz", noise), small = w.makeZip("small.zip");
  w.setTargets({big, small});
  QSignalSpy started(&w.window->batchRun(), &BatchRun::archiveStarted);
  QSignalSpy progress(&w.window->batchRun(), &BatchRun::progress);
  w.run(0);

  ASSERT_EQ(started.count(), 2);
  EXPECT_EQ(started[0], QVariantList({1, 2, big}));
  EXPECT_EQ(started[1], QVariantList({2, 2, small}));
  const qint64 size = QFileInfo(big).size();
  QList<qint64> bigSteps;
  for (const QVariantList& step : progress)
    if (step[1].toLongLong() == size) bigSteps << step[0].toLongLong();
  ASSERT_GE(bigSteps.size(), 2);
  EXPECT_LT(bigSteps.first(), size);
  EXPECT_EQ(bigSteps.last(), size);
  EXPECT_TRUE(std::is_sorted(bigSteps.begin(), bigSteps.end()));
  EXPECT_TRUE(w.window->findChild<QLabel*>("progressText")->text().isEmpty());  // cleared at the end
}

}  // namespace
