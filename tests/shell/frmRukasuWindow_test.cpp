// The shown main window: the tiling of the six panes and the place of Cancel,
// panes that cannot be closed, the focus after the first activation, the menu
// bar that follows the active pane, and the font command.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <algorithm>

#include "settings/SettingsDefaults.h"
#include "ui/Twips.h"
#include "ui/WindowFont.h"
#include "tests/shell/MainWindowWorld.h"

namespace {

struct Shown : MainWindowWorld {
  explicit Shown(const QStringList& keys = {}) {
    storeKeys(keys);
    EXPECT_EQ(load(), frmRukasu::Start::ShowWindow);
    show();
  }
  QMdiArea* area() const { return window->findChild<QMdiArea*>(); }
  QWidget* strip() const { return window->findChild<QWidget*>("pnlRukasu"); }
  bool menuBarEnabled() const {
    const QList<QAction*> entries = window->menuBar()->actions();
    return std::all_of(entries.begin(), entries.end(), [](QAction* a) { return a->isEnabled(); });
  }
};

TEST(TileSize, HalvesAndThirdsRoundHalfToEven) {
  struct Row {
    int width, height;
    QSize tile;
  };
  const Row rows[] = {
      {1001, 1000, {500, 333}},  // 500.5 -> 500, 333.3 -> 333
      {1003, 1001, {502, 334}},  // 501.5 -> 502, 333.7 -> 334
      {1000, 1002, {500, 334}},
      {1, 1, {0, 0}},
      {0, 0, {0, 0}},
  };
  for (const Row& row : rows)
    EXPECT_EQ(frmRukasu::TileSize(row.width, row.height), row.tile) << row.width << " x " << row.height;
}

TEST(Tiling, PanesFillTheInnerAreaByHalvesAndThirdsAtEverySize) {
  Shown w;
  for (const QSize size : {QSize(700, 660), QSize(601, 603)}) {
    w.window->resize(size);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.window->size() == size; }));
    const QSize inner = w.area()->viewport()->size();
    const QSize t = frmRukasu::TileSize(inner.width(), inner.height());
    const QList<PaneOps*> panes = w.panes();
    const QPoint corners[] = {{0, 0}, {0, t.height()}, {0, 2 * t.height()},
                              {t.width(), 0}, {t.width(), t.height()}, {t.width(), 2 * t.height()}};
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(w.subWindow(panes[i])->geometry(), QRect(corners[i], t)) << "pane " << i;
      EXPECT_TRUE(w.subWindow(panes[i])->isVisible());
    }
  }
}

TEST(Tiling, AMinimisedOrMaximisedPaneIsRestoredToItsTile) {
  Shown w;
  QMdiSubWindow* status = w.subWindow(w.context->windows.status);
  QMdiSubWindow* outFile = w.subWindow(w.context->windows.outFile);
  status->showMaximized();
  outFile->showMinimized();
  w.window->resize(720, 640);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.window->size() == QSize(720, 640); }));
  const QSize inner = w.area()->viewport()->size();
  const QSize t = frmRukasu::TileSize(inner.width(), inner.height());
  for (QMdiSubWindow* sub : {status, outFile}) {
    EXPECT_FALSE(sub->isMinimized() || sub->isMaximized());
    EXPECT_EQ(sub->size(), t);
  }
  EXPECT_EQ(status->pos(), QPoint(t.width(), t.height()));
  EXPECT_EQ(outFile->pos(), QPoint(t.width(), 2 * t.height()));
}

TEST(Tiling, CancelStaysAtTheRightEdgeAndTheRunButtonsWrapBeforeIt) {
  Shown w;
  QPushButton* cancel = w.button("btnCancel");
  const int margin = TwipsToPx(60);
  w.window->resize(640, 480);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.strip()->width() == 640; }));
  EXPECT_EQ(cancel->x(), 640 - margin - cancel->width());
  EXPECT_EQ(cancel->y(), TwipsToPx(120));

  // Too narrow for four run buttons beside Cancel: they take two rows.
  w.window->resize(4 * w.button("btnExe(0)")->width() / 2 + cancel->width() + 40, 480);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.button("btnExe(3)")->y() > w.button("btnExe(0)")->y(); }));
  EXPECT_EQ(cancel->x(), w.strip()->width() - margin - cancel->width());
  for (int i = 0; i < 4; ++i) {
    const QRect run = w.button(QString("btnExe(%1)").arg(i))->geometry();
    EXPECT_FALSE(run.intersects(cancel->geometry())) << i;
    EXPECT_LE(run.bottom(), w.strip()->height()) << i;
  }
}

TEST(Tiling, ResizeOffLeavesThePanesWhereTheUserPutThem) {
  Shown w({"Resize=False"});
  QMdiSubWindow* status = w.subWindow(w.context->windows.status);
  status->setGeometry(30, 40, 200, 100);
  w.window->resize(700, 560);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.window->size() == QSize(700, 560); }));
  EXPECT_EQ(status->geometry(), QRect(30, 40, 200, 100));
}

TEST(SubWindows, APaneCannotBeClosedByTheUser) {
  Shown w;
  for (PaneOps* pane : w.panes()) {
    QMdiSubWindow* sub = w.subWindow(pane);
    // Without the customize hint Qt would draw every button whatever the hints
    // say; the system menu would offer to close.
    EXPECT_TRUE(sub->windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_FALSE(sub->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint));
    EXPECT_FALSE(sub->close());
    EXPECT_TRUE(sub->isVisible());
  }
  // Nor by the area's own commands.
  w.area()->closeAllSubWindows();
  EXPECT_EQ(w.area()->subWindowList().size(), 6);
  for (PaneOps* pane : w.panes()) EXPECT_TRUE(w.subWindow(pane)->isVisible());
}

TEST(FirstActivation, TheSourceDriveListHasTheFocus) {
  Shown w;
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  EXPECT_EQ(focus->objectName(), "drvDrive");
  EXPECT_TRUE(w.context->windows.inDir->paneWidget()->isAncestorOf(focus));
  EXPECT_EQ(w.area()->activeSubWindow(), w.subWindow(w.context->windows.inDir));
}

// The names of the controls that have the focus after each press.
QStringList Walk(int presses, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
  QStringList seen;
  for (int i = 0; i < presses; ++i) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    seen << QApplication::focusWidget()->objectName();
  }
  return seen;
}

TEST(Keyboard, TabRunsThroughThePaneAndTheEnabledRunButtonsWhoseKeysStartTheirRun) {
  Shown w;
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
  EXPECT_EQ(Walk(3, Qt::Key_Tab), QStringList({"dlbDir", "txtDir", "drvDrive"}));
  w.setTargets({w.makeZip("a.zip")});
  EXPECT_EQ(Walk(7, Qt::Key_Tab),
            QStringList({"dlbDir", "txtDir", "btnExe(0)", "btnExe(1)", "btnExe(2)", "btnExe(3)", "drvDrive"}));
  EXPECT_EQ(Walk(2, Qt::Key_Backtab, Qt::ShiftModifier), QStringList({"btnExe(3)", "btnExe(2)"}));
  EXPECT_EQ(w.button("btnExe(1)")->toolTip(), "解凍先フォルダに解凍します（Ctrl+2）");
  EXPECT_EQ(w.button("btnCancel")->toolTip(), "実行中に中断します（Esc）");
  Walk(1, Qt::Key_2, Qt::ControlModifier);  // Normal: straight into the destination
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.targets().isEmpty(); }));
  EXPECT_TRUE(QFileInfo::exists(w.dest + "/doc/readme.txt"));
}

TEST(Keyboard, CtrlTabGoesFromPaneToPaneInTheirOrder) {
  Shown w;
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
  QStringList panes;
  for (int i = 0; i < 6; ++i) {
    Walk(1, Qt::Key_Tab, Qt::ControlModifier);
    panes << w.area()->activeSubWindow()->widget()->objectName();
    EXPECT_TRUE(w.area()->activeSubWindow()->isAncestorOf(QApplication::focusWidget()));
  }
  EXPECT_EQ(panes, QStringList({"mdiInFile", "mdiFile", "mdiOutDir", "mdiStatus", "mdiOutFile", "mdiInDir"}));
  Walk(1, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(w.area()->activeSubWindow()->widget()->objectName(), "mdiOutFile");
}

TEST(MenuBar, FollowsTheMenuStateOfTheActivePane) {
  Shown w;
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
  PaneOps* inDir = w.context->windows.inDir;
  PaneOps* status = w.context->windows.status;
  EXPECT_TRUE(w.menuBarEnabled());
  inDir->Menu_Enabled("False");
  EXPECT_FALSE(w.menuBarEnabled());
  w.area()->setActiveSubWindow(w.subWindow(status));
  EXPECT_TRUE(w.menuBarEnabled());
  status->Menu_Enabled("False");
  EXPECT_FALSE(w.menuBarEnabled());
  status->Menu_Enabled("True");
  w.area()->setActiveSubWindow(w.subWindow(inDir));
  EXPECT_FALSE(w.menuBarEnabled());
}

TEST(FontCommand, StoresTheRoundedSizeAndRefreshesEveryWindowOnlyOnAChange) {
  struct Row {
    const char* name;
    bool accepted;
    double size;       // 0: the size offered
    QString family;    // empty: the family offered
    int stored;        // Font_Size afterwards
    bool refreshed;    // the windows took the font again
  };
  const Row rows[] = {
      {"10.5 rounds to 10", true, 10.5, {}, 10, true},
      {"11.5 rounds to 12", true, 11.5, {}, 12, true},
      {"another family", true, 0, "DejaVu Sans", 10, true},
      {"nothing changed", true, 0, {}, 10, false},
      {"cancelled", false, 14, {}, 10, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Shown w;
    const QString storedName = w.context->settings.Font_Name;
    auto* log = w.window->findChild<QListView*>("lstKekka");
    QFont tampered = log->font();
    tampered.setPointSize(30);
    log->setFont(tampered);
    QFont offered;
    w.window->chooseFont = [&](QFont& font) {
      offered = font;
      if (row.size > 0) font.setPointSizeF(row.size);
      if (!row.family.isEmpty()) font.setFamilies({row.family});
      return row.accepted;
    };
    w.window->mnuFont_Click();
    // The dialog starts on the font the windows draw with.
    EXPECT_EQ(offered.family(), SettingsFont(DefaultSettings()).family());
    EXPECT_EQ(offered.pointSize(), 10);
    EXPECT_EQ(w.context->settings.Font_Size, row.stored);
    EXPECT_EQ(w.context->settings.Font_Name, row.family.isEmpty() || !row.accepted ? storedName : row.family);
    EXPECT_EQ(log->font().pointSize(), row.refreshed ? row.stored : 30);
    if (row.refreshed) {
      EXPECT_EQ(w.button("btnExe(0)")->font().pointSize(), row.stored);
    }
  }
}

TEST(FontCommand, RunButtonsGrowWithTheirCaptionsAndTheStripWithThem) {
  Shown w;
  const QRect atTenPoints = w.button("btnExe(1)")->geometry();
  w.context->settings.Font_Size = 28;
  w.window->SetFontData();
  for (int i = 0; i < 5; ++i) {
    QPushButton* b = w.button(i < 4 ? QString("btnExe(%1)").arg(i) : "btnCancel");
    SCOPED_TRACE(b->objectName().toStdString());
    EXPECT_TRUE(b->width() >= b->sizeHint().width() && b->height() >= b->sizeHint().height());
    EXPECT_LE(b->geometry().bottom(), w.strip()->height());
    for (int j = i + 1; j < 5; ++j)  // wrapped rather than laid on each other
      EXPECT_FALSE(b->geometry().intersects(w.button(j < 4 ? QString("btnExe(%1)").arg(j) : "btnCancel")->geometry()));
  }
  w.context->settings.Font_Size = 10;
  w.window->SetFontData();
  EXPECT_EQ(w.button("btnExe(1)")->geometry(), atTenPoints);
}

}  // namespace
