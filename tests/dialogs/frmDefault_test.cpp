// The default folders dialog on real widgets and real folders: the three uses
// (texts, in-force box, free space, what is taken back), OK only after a user
// change, Cancel, greying, the fallback folder, the popup copies, keys, layout.
#include "dialogs/frmDefault.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "engine/PathHelpers.h"
#include "ui/DriveList.h"
#include "ui/FolderList.h"
#include "tests/ui/DialogFixture.h"
#include "tests/support/StandInWindows.h"

namespace {

using testing_support::WhileShown;
using testing_support::WindowContext;
using Use = frmDefault::Use;

// A loaded dialog and a folder tree: alpha/{one,two}, beta.
struct DefaultDialog {
  WindowContext c;
  testing_support::TempFolder tree;
  QString alpha, one, beta;
  frmDefault dialog{c.context};

  DefaultDialog() {
    alpha = LongPath_Get(tree.mkdir("alpha"));
    one = LongPath_Get(tree.mkdir("alpha/one"));
    tree.mkdir("alpha/two");
    beta = LongPath_Get(tree.mkdir("beta"));
    c.context.defaults = {alpha, true, alpha, true};
    c.context.settings.TmpDir = alpha + u'/';
    EXPECT_TRUE(dialog.Form_Load());
  }
  template <class T>
  T* find(const char* name) {
    auto* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  FolderList* dlbDir() { return find<FolderList>("dlbDir"); }
  QPushButton* btnOk() { return find<QPushButton>("btnOk"); }
  QCheckBox* cbxDrive() { return find<QCheckBox>("cbxDrive"); }
  QLabel* lblDrive() { return find<QLabel>("lblDrive"); }
  // Highlights the first subfolder ("one") and opens it with Enter.
  void openFirstSubfolder() {
    dlbDir()->setListIndex(0);
    QTest::keyClick(dlbDir(), Qt::Key_Return);
  }
};

struct UseCase {
  const char* name;
  Use use;
  QString caption;
  bool inForceBoxShown;
  bool freeSpaceShown;
  QString folderTip;
};

void PrintTo(const UseCase& row, std::ostream* out) { *out << row.name; }

class DefaultUses : public testing::TestWithParam<UseCase> {};

TEST_P(DefaultUses, ShowTheirTextsAndTakeTheChosenFolderBack) {
  const UseCase& row = GetParam();
  DefaultDialog d;
  d.c.context.defaults.Dir_In_Yuko = d.c.context.defaults.Dir_Out_Yuko = false;
  WhileShown(
      d.dialog,
      [&] {
        EXPECT_EQ(d.dialog.DirName(), d.alpha);
        EXPECT_FALSE(d.btnOk()->isEnabled());
        EXPECT_EQ(d.cbxDrive()->isVisibleTo(&d.dialog), row.inForceBoxShown);
        const QString title = d.lblDrive()->text();
        if (row.freeSpaceShown) {
          EXPECT_TRUE(title.startsWith(row.caption + " (")) << title.toStdString();
          EXPECT_TRUE(title.endsWith("M Free)")) << title.toStdString();
        } else {
          EXPECT_EQ(title, row.caption);
        }
        EXPECT_EQ(d.dlbDir()->toolTip(), row.folderTip);
        EXPECT_EQ(d.find<QLineEdit>("txtDir")->text(), DispPath_Get(d.alpha));
        // The stored in-force flags are off: the user switches the lists on first.
        if (row.inForceBoxShown) {
          EXPECT_FALSE(d.dlbDir()->isEnabled());
          d.cbxDrive()->click();
        }
        ASSERT_TRUE(d.dlbDir()->isEnabled());
        d.openFirstSubfolder();
        EXPECT_TRUE(d.btnOk()->isEnabled());
        d.btnOk()->click();
      },
      [&] { return d.dialog.Edit(row.use); });
  EXPECT_TRUE(d.dialog.pblnOk);
  const DefaultFolders& f = d.c.context.defaults;
  switch (row.use) {
    case Use::InDir:
      EXPECT_EQ(f.Dir_In, d.one);
      EXPECT_TRUE(f.Dir_In_Yuko);
      EXPECT_EQ(f.Dir_Out, d.alpha);
      break;
    case Use::OutDir:
      EXPECT_EQ(f.Dir_Out, d.one);
      EXPECT_TRUE(f.Dir_Out_Yuko);
      EXPECT_EQ(f.Dir_In, d.alpha);
      break;
    case Use::TmpDir:
      // The in-force box is forced on and hidden, and nothing but TmpDir is taken back.
      EXPECT_TRUE(d.cbxDrive()->isChecked());
      EXPECT_EQ(d.c.context.settings.TmpDir, d.one);
      EXPECT_EQ(f.Dir_In, d.alpha);
      EXPECT_EQ(f.Dir_Out, d.alpha);
      EXPECT_FALSE(f.Dir_In_Yuko || f.Dir_Out_Yuko);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, DefaultUses,
                         testing::Values(UseCase{"InDir", Use::InDir, "圧縮ファイル格納フォルダ名", true, false,
                                                 "初期設定の圧縮ファイル格納フォルダ名を設定します"},
                                         UseCase{"OutDir", Use::OutDir, "解凍先フォルダ名", true, true,
                                                 "初期設定の解凍先フォルダ名を設定します"},
                                         UseCase{"TmpDir", Use::TmpDir, "テンポラリフォルダ名", false, true,
                                                 "テンポラリフォルダ名を設定します"}),
                         [](const testing::TestParamInfo<UseCase>& info) { return std::string(info.param.name); });

TEST(Default, CancelAfterAChangeKeepsTheSettings) {
  DefaultDialog d;
  const DefaultFolders before = d.c.context.defaults;
  for (Use use : {Use::InDir, Use::TmpDir}) {
    WhileShown(
        d.dialog,
        [&] {
          d.openFirstSubfolder();
          EXPECT_EQ(d.dialog.DirName(), d.one);
          d.find<QPushButton>("btnCancel")->click();
        },
        [&] { return d.dialog.Edit(use); });
  }
  EXPECT_FALSE(d.dialog.pblnOk);
  EXPECT_EQ(d.c.context.defaults.Dir_In, before.Dir_In);
  EXPECT_EQ(d.c.context.settings.TmpDir, d.alpha + u'/');
}

TEST(Default, ClearingTheInForceBoxGreysTheListsAndOkTakesBothBack) {
  DefaultDialog d;
  WhileShown(
      d.dialog,
      [&] {
        QCheckBox* box = d.cbxDrive();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 2, box->height() / 2));
        EXPECT_FALSE(box->isChecked());
        for (const char* name : {"lblDrive", "drvDrive", "dlbDir", "txtDir"})
          EXPECT_FALSE(d.find<QWidget>(name)->isEnabled()) << name;
        EXPECT_TRUE(d.btnOk()->isEnabled());
        d.btnOk()->click();
      },
      [&] { return d.dialog.Edit(Use::OutDir); });
  EXPECT_EQ(d.c.context.defaults.Dir_Out, d.alpha);
  EXPECT_FALSE(d.c.context.defaults.Dir_Out_Yuko);
}

TEST(Default, AFolderThatIsGoneOpensOnTheCurrentFolder) {
  DefaultDialog d;
  d.dialog.setDirName(d.alpha + "/../beta/");
  EXPECT_EQ(d.dialog.DirName(), d.beta);
  d.c.context.defaults.Dir_In = d.alpha + "/gone";
  d.dialog.Configure(Use::InDir);
  EXPECT_EQ(d.dialog.DirName(), LongPath_Get(QDir::currentPath()));
  d.dialog.setDirName(QStringLiteral("relative/name"));
  EXPECT_EQ(d.dialog.DirName(), LongPath_Get(QDir::currentPath()));
}

TEST(Default, PopupCopiesCountAsChangesThroughTheFolderList) {
  DefaultDialog d;
  QStringList log;
  testing_support::FolderPaneStandIn inDir("mdiInDir", log), outDir("mdiOutDir", log);
  inDir.folder = d.beta;
  outDir.folder = d.one;
  d.c.context.windows.inDir = &inDir;
  d.c.context.windows.outDir = &outDir;
  auto trigger = [&](const char* name) { d.find<QAction>(name)->trigger(); };
  WhileShown(
      d.dialog,
      [&] {
        inDir.folder = d.alpha;  // the folder shown already: no change
        trigger("mnuInDir");
        EXPECT_FALSE(d.btnOk()->isEnabled());
        trigger("mnuOutDir");
        EXPECT_EQ(d.dialog.DirName(), d.one);
        EXPECT_TRUE(d.btnOk()->isEnabled());
        trigger("mnuTmp");
        EXPECT_EQ(d.dialog.DirName(), LongPath_Get(TempFolderPath()));
        d.btnOk()->click();
      },
      [&] { return d.dialog.Edit(Use::InDir); });
  EXPECT_EQ(d.c.context.defaults.Dir_In, LongPath_Get(TempFolderPath()));
  EXPECT_EQ(d.find<QAction>("mnuTmp")->text(), "Ｗｉｎｄｏｗｓのテンポラリからコピー");
}

TEST(Default, KeysAndTheRightButton) {
  DefaultDialog d;
  d.dialog.Configure(Use::InDir);
  d.dialog.setDirName(d.one);
  WhileShown(d.dialog, [&] {
    FolderList* list = d.dlbDir();
    QTest::keyClick(list, Qt::Key_Return);  // the current folder is highlighted: nothing opens
    EXPECT_EQ(list->path(), d.one);
    EXPECT_FALSE(d.btnOk()->isEnabled());
    QTest::keyClick(list, Qt::Key_Backspace);
    EXPECT_EQ(d.dialog.DirName(), d.alpha);
    EXPECT_EQ(list->listIndex(), -1);
    EXPECT_EQ(list->listCount(), 2);
    EXPECT_TRUE(d.btnOk()->isEnabled());

    auto* drives = d.find<DriveList>("drvDrive");
    drives->setFocus();
    QTest::keyClick(drives, Qt::Key_Return);
    QTRY_VERIFY(list->hasFocus());

    auto* menu = d.find<QMenu>("mnuPopup");
    QTest::mousePress(d.find<QLineEdit>("txtDir"), Qt::RightButton);
    QTRY_VERIFY(menu->isVisible());
    menu->close();
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    QTRY_VERIFY(menu->isVisible());
    menu->close();
  });
}

TEST(Default, ChoosingADriveMovesTheFolderListToItsTop) {
  DefaultDialog d;
  d.dialog.Configure(Use::OutDir);
  WhileShown(d.dialog, [&] {
    auto* drives = d.find<DriveList>("drvDrive");
    ASSERT_EQ(drives->itemText(0), "/");
    emit drives->activated(0);  // the user picks the root
    EXPECT_EQ(d.dlbDir()->path(), "/");
    EXPECT_EQ(drives->Drive(), "/");
    EXPECT_TRUE(d.btnOk()->isEnabled());
  });
}

TEST(Default, LayoutFollowsTheDialogSize) {
  DefaultDialog d;
  d.dialog.Configure(Use::OutDir);
  WhileShown(d.dialog, [&] {
    d.dialog.resize(420, 380);
    QWidget* drv = d.find<QWidget>("drvDrive");
    QWidget* dlb = d.dlbDir();
    QWidget* txt = d.find<QWidget>("txtDir");
    QWidget* pnl = d.find<QWidget>("pnlDefault");
    EXPECT_EQ(drv->geometry().left(), 4);
    EXPECT_EQ(dlb->width(), 420 - 8);
    EXPECT_EQ(drv->y(), d.lblDrive()->geometry().bottom() + 1 + 4);
    EXPECT_EQ(dlb->y(), drv->geometry().bottom() + 1 + 4);
    EXPECT_EQ(txt->y(), dlb->geometry().bottom() + 1 + 4);
    EXPECT_EQ(pnl->geometry().bottom(), 380 - 1 - 4);
    EXPECT_EQ(pnl->y() - (txt->geometry().bottom() + 1), 4);
  });
}

}  // namespace
