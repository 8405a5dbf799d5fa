// Start-up and closing of the main window with a real settings store: the
// removal switch, the automatic run that shows no window and saves nothing,
// the corrections of the stored placement, stored values that are no numbers,
// and what closing writes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "shell/ProgramOptions.h"
#include "ui/Twips.h"
#include "tests/support/ModalHelper.h"
#include "tests/shell/MainWindowWorld.h"
#include "text/MessageCatalogue.h"

namespace {

using testing_support::ModalWatch;

bool AnyWindowShown() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) return true;
  return false;
}

// Ends the program as main() does after start-up gave up: the window and the
// store go, and whatever they still held would reach the disk now.
void EndWithoutShowing(MainWindowWorld& w) {
  w.window.reset();
  w.store.reset();
}

TEST(RemovalSwitch, YesRemovesTheCurrentSectionOnlyNoRemovesNothing) {
  for (const bool yes : {true, false}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    MainWindowWorld w;
    w.storeKeys({"Lzh=False"});
    const QString earlier = w.config.writeIni("Rukasu2", "[General]\nVersion=1.01\n");
    ModalWatch question({yes ? QMessageBox::Yes : QMessageBox::No});
    EXPECT_EQ(w.load({"/u"}), frmRukasu::Start::EndProgram);
    EXPECT_EQ(w.exitCode, 0);
    EXPECT_EQ(question.texts(), QStringList({MessageCatalogue::Shared(SharedMsg::RemovalQuestion) + u'\n' + w.storeFile()}));
    EXPECT_EQ(question.titles(), QStringList({"RUKASU2"}));
    EXPECT_FALSE(AnyWindowShown());
    EndWithoutShowing(w);
    EXPECT_EQ(QFile::exists(w.storeFile()), !yes);
    EXPECT_EQ(testing_support::ReadFile(earlier), "[General]\nVersion=1.01\n");
  }
}

TEST(RemovalSwitch, FollowedByANameIsNoSwitch) {
  MainWindowWorld w;
  ModalWatch nothingAsked;
  EXPECT_EQ(w.load({"/U", w.makeZip("a.zip")}), frmRukasu::Start::ShowWindow);
  EXPECT_TRUE(nothingAsked.texts().isEmpty());
}

TEST(AutoRun, ExtractsWithoutAWindowAndEndsWithoutSaving) {
  MainWindowWorld w;
  w.storeKeys({"Auto=True", "AutoExe=0", "AutoLog=True", "Dir_Out=" + w.dest, "Dir_Out_Yuko=True"});
  const QStringList before = w.configSnapshot();
  const QString a = w.makeZip("a.zip"), b = w.makeTarGz("b.tar.gz"), bad = w.makeBroken("c.zip");
  QApplication::clipboard()->clear();

  EXPECT_EQ(w.load({a, bad, b, w.source + "/missing.zip"}), frmRukasu::Start::EndProgram);
  EXPECT_EQ(w.exitCode, kExitSomeFailed);
  EXPECT_FALSE(AnyWindowShown());
  EXPECT_TRUE(QFile::exists(w.dest + "/A/doc/readme.txt"));
  EXPECT_TRUE(QFile::exists(w.dest + "/B/data.bin"));
  const QString clip = QApplication::clipboard()->text();
  EXPECT_TRUE(clip.startsWith(Heading(a) + "\r\n")) << clip.toStdString();
  EXPECT_TRUE(clip.contains(Heading(bad)));
  EXPECT_TRUE(clip.endsWith("全て終了しました\r\n")) << clip.toStdString();
  // The quiet run changes nothing on the list.
  EXPECT_TRUE(QFile::exists(a));

  EndWithoutShowing(w);
  EXPECT_EQ(w.configSnapshot(), before);
}

TEST(AutoRun, NamesThatAreAllSkippedOpenTheWindowWithAnEmptyList) {
  MainWindowWorld w;
  w.storeKeys({"Auto=True"});
  const QString notes = w.tmp.write("source/notes.txt", "no archive");
  EXPECT_EQ(w.load({notes, w.source + "/missing.zip"}), frmRukasu::Start::ShowWindow);
  EXPECT_FALSE(w.context->AutoRunning);
  EXPECT_TRUE(w.targets().isEmpty());
  w.show();
  EXPECT_FALSE(w.button("btnExe(0)")->isEnabled());
}

TEST(MainPlacement, StoredValuesAreCorrectedAtStartUp) {
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  const QString beyondWidth = QString::number(PxToTwips(screen.width()) + 15);
  const QString beyondHeight = QString::number(PxToTwips(screen.height()) + 15);
  struct Row {
    const char* name;
    QStringList keys;
    QRect geometry;  // pixels; a height of 0 stands for the default height
  };
  const Row rows[] = {
      {"nothing stored", {}, {66, 66, 533, 0}},
      {"values in range", {"Main_Left=1500", "Main_Top=3000", "Main_Width=6000", "Main_Height=4500"}, {100, 200, 400, 300}},
      {"left below zero", {"Main_Left=-5000", "Main_Top=1500"}, {66, 100, 533, 0}},
      {"left beyond the screen", {"Main_Left=" + beyondWidth}, {66, 66, 533, 0}},
      {"top beyond the screen", {"Main_Top=" + beyondHeight}, {66, 66, 533, 0}},
      {"width below 2000", {"Main_Width=1500"}, {66, 66, 533, 0}},
      {"height below 500", {"Main_Height=450", "Main_Width=3000"}, {66, 66, 200, 0}},
  };
  // The default height: 533 pixels, or what the panes need at the font, whichever is more.
  int defaultHeight = 0;
  for (const Row& row : rows) {
    MainWindowWorld w;
    w.storeKeys(row.keys);
    ASSERT_EQ(w.load(), frmRukasu::Start::ShowWindow) << row.name;
    if (defaultHeight == 0) defaultHeight = w.window->height();
    EXPECT_GE(defaultHeight, 533);
    QRect expected = row.geometry;
    if (expected.height() == 0) expected.setHeight(defaultHeight);
    EXPECT_EQ(w.window->geometry(), expected) << row.name;
  }
}

TEST(RemovalSwitch, EnterAnswersNo) {
  MainWindowWorld w;
  w.storeKeys({"Lzh=False"});
  testing_support::WhenModal<QMessageBox>([](QMessageBox* box) {
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
    box->defaultButton()->click();
  });
  EXPECT_EQ(w.load({"/U"}), frmRukasu::Start::EndProgram);
  EndWithoutShowing(w);
  EXPECT_TRUE(QFile::exists(w.storeFile()));
}

// Each such key keeps its default; the program starts without a word.
TEST(StoredValues, ThatAreNoNumbersStartTheProgramWithTheirDefaults) {
  const QStringList rows[] = {
      {"Main_Top=abc"},        {"Resize=False", "InDir_Left=zz", "InFile_Width=wide"},
      {"Option_Left=xx"},      {"Default_Width=big"},
      {"MenuMente_Top=1e3"},   {"About_Left=far"},
      {"Main_WindowState=x"},  {"Dir_In_Yuko=maybe", "Dir_Out_Yuko=2x"},
  };
  for (const QStringList& keys : rows) {
    SCOPED_TRACE(keys.join(' ').toStdString());
    MainWindowWorld w;
    w.storeKeys(keys + QStringList{"Dir_In=" + w.source, "Dir_Out=" + w.dest});
    ModalWatch nothingSaid;
    ASSERT_EQ(w.load(), frmRukasu::Start::ShowWindow);
    const QRect stored = w.window->geometry();  // the default height follows the font
    EXPECT_EQ(stored, QRect(66, 66, 533, stored.height()));
    EXPECT_EQ(w.context->windows.inDir->DirName(), w.source);
    EXPECT_EQ(w.context->windows.outDir->DirName(), w.dest);
    w.show();
    w.close();
    EXPECT_TRUE(nothingSaid.texts().isEmpty());
  }
}

TEST(Closing, MaximisedWritesOnlyTheWindowStateAndTheNextStartMaximisesAgain) {
  MainWindowWorld w;
  w.storeKeys({"Main_Left=1500", "Main_Top=1500", "Main_Width=6000", "Main_Height=6000", "Resize=False"});
  ASSERT_EQ(w.load(), frmRukasu::Start::ShowWindow);
  w.show();
  w.window->setWindowState(Qt::WindowMaximized);
  w.close();
  const QString ini = QString::fromUtf8(testing_support::ReadFile(w.storeFile()));
  EXPECT_TRUE(ini.contains("Main_WindowState=2"));
  EXPECT_TRUE(ini.contains("Main_Left=1500\n"));
  EXPECT_TRUE(ini.contains("Main_Width=6000\n"));
  EXPECT_FALSE(ini.contains("InDir_Left"));  // panes keep nothing unless the state is normal

  ASSERT_EQ(w.load(), frmRukasu::Start::ShowWindow);
  EXPECT_EQ(w.window->normalGeometry(), QRect(100, 100, 400, 400));
  EXPECT_TRUE(w.window->windowState() & Qt::WindowMaximized);
}

TEST(Closing, NormalWritesPlacementSettingsAndEveryWindowsKeys) {
  MainWindowWorld w;
  w.storeKeys({"Resize=True"});
  ASSERT_EQ(w.load(), frmRukasu::Start::ShowWindow);
  w.show();
  w.window->move(150, 100);  // the frame's corner
  w.window->resize(500, 450);
  QTRY_COMPARE(w.window->frameGeometry().topLeft(), QPoint(150, 100));
  const QSize frame = w.window->frameGeometry().size();
  w.context->settings.Lzh_X = true;
  w.close();
  const QString ini = QString::fromUtf8(testing_support::ReadFile(w.storeFile()));
  for (const QString& line : QStringList{"Version=1.02", "Lzh_X=True", "Main_WindowState=0", "Main_Left=2250", "Main_Top=1500",
                              "Main_Width=" + QString::number(PxToTwips(frame.width())),
                              "Main_Height=" + QString::number(PxToTwips(frame.height())), "About_Left=", "Dir_Out=",
                              "Dir_In_DirDir0="})
    EXPECT_TRUE(ini.contains(line)) << line.toStdString();
  EXPECT_FALSE(ini.contains("InDir_Left"));  // tiled panes keep no placement
}

TEST(PanePlacement, ResizeOffShowsEachPaneWhereItWasAndSavesItAtClose) {
  MainWindowWorld w;
  w.storeKeys({"Resize=False", "InFile_Left=1500", "InFile_Top=3000", "InFile_Width=4500", "InFile_Height=2250"});
  ASSERT_EQ(w.load(), frmRukasu::Start::ShowWindow);
  w.show();
  QMdiSubWindow* inFile = w.subWindow(w.context->windows.inFile);
  EXPECT_EQ(inFile->geometry(), QRect(100, 200, 300, 150));
  // A pane with nothing stored keeps a tile of its own instead of the corner.
  EXPECT_GT(w.subWindow(w.context->windows.outFile)->x(), 0);
  EXPECT_GT(w.subWindow(w.context->windows.outFile)->y(), 0);
  EXPECT_NE(w.subWindow(w.context->windows.outFile)->geometry(), w.subWindow(w.context->windows.status)->geometry());

  inFile->setGeometry(20, 40, 320, 160);
  w.close();
  const QString ini = QString::fromUtf8(testing_support::ReadFile(w.storeFile()));
  for (const char* line : {"InFile_Left=300\n", "InFile_Top=600\n", "InFile_Width=4800\n", "InFile_Height=2400\n"})
    EXPECT_TRUE(ini.contains(line)) << line;
}

TEST(PanePlacement, ResizeOnTilesWhateverIsStored) {
  MainWindowWorld w;
  w.storeKeys({"InFile_Left=1500", "InFile_Top=3000", "InFile_Width=4500", "InFile_Height=2250"});
  ASSERT_EQ(w.load(), frmRukasu::Start::ShowWindow);
  w.show();
  const QSize tile = frmRukasu::TileSize(w.window->findChild<QMdiArea*>()->viewport()->width(),
                                         w.window->findChild<QMdiArea*>()->viewport()->height());
  EXPECT_EQ(w.subWindow(w.context->windows.inFile)->geometry(), QRect(QPoint(0, tile.height()), tile));
}

}  // namespace
