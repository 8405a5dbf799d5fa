// The folder alias maintenance dialog: rename, reorder and delete in its
// working copy, OK and Cancel, its placement, and the round trip from a folder
// pane's menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "engine/PathHelpers.h"
#include "dialogs/frmMenuMente.h"
#include "source/mdiDir.h"
#include "tests/source/SourceFixture.h"
#include "tests/support/ModalHelper.h"

namespace {

using testing_support::TempFolder;

// Runs `act` on the dialog once it shows modally; `act` ends by closing it.
void WhenShown(std::function<void(frmMenuMente&)> act) {
  testing_support::WhenModal<frmMenuMente>([act](frmMenuMente* dialog) { act(*dialog); });
}

template <typename T = QPushButton>
void Click(frmMenuMente& d, const char* name) {
  d.findChild<T*>(name)->click();
}
void ClickPicture(frmMenuMente& d, const char* name) { Click<QToolButton>(d, name); }
QListWidget* List(frmMenuMente& d) { return d.findChild<QListWidget*>("lbxMenu"); }
QString Shown(frmMenuMente& d) { return d.findChild<QLineEdit*>("txtDir")->text(); }

QStringList Names(frmMenuMente& d) {
  QStringList names;
  for (int i = 0; i <= d.MenuCount(); ++i) {
    QString name, dir;
    d.Get_Menu(i, name, dir);
    names << name + "=" + dir;
  }
  return names;
}

struct MenteTest : testing::Test {
  SourceContext c;
  frmMenuMente dialog{c.context};
  MenteTest() {
    EXPECT_TRUE(dialog.Form_Load());
    const char* names[] = {"a", "B", "c"};
    for (int i = 0; i < 3; ++i) dialog.Set_Menu(i, names[i], QString("/f%1").arg(i));
    dialog.Set_Menu(10, "ignored", "/x");
  }
};

TEST_F(MenteTest, RenameAllowsOtherCaseAndRefusesAnExistingName) {
  WhenShown([](frmMenuMente& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("解凍先フォルダのエリアスメンテナンス"));
    EXPECT_EQ(List(d)->currentRow(), 0);
    EXPECT_EQ(Shown(d), "/f0");
    auto box = testing_support::AnswerNextInputDialog("b");  // "B" exists, "b" does not
    Click(d, "btnName");
    EXPECT_EQ(box->title, QString::fromUtf8("フォルダエリアス名の変更"));
    EXPECT_EQ(box->text, QString::fromUtf8("フォルダエリアス名を入力してください"));
    EXPECT_EQ(List(d)->item(0)->text(), "b");

    List(d)->setCurrentRow(2);
    testing_support::AnswerNextInputDialog("B");
    auto refusal = testing_support::AnswerNextMessageBox(QMessageBox::Ok);
    Click(d, "btnName");
    EXPECT_EQ(refusal->text, QString::fromUtf8("すでに存在するフォルダエリアス名には変更できません"));
    testing_support::AnswerNextInputDialog("z", false);  // cancelled
    Click(d, "btnName");
    EXPECT_EQ(List(d)->item(2)->text(), "c");
    Click(d, "btnOk");
  });
  EXPECT_TRUE(dialog.ShowModal(QString::fromUtf8("解凍先フォルダ")));
  EXPECT_EQ(Names(dialog), QStringList({"b=/f0", "B=/f1", "c=/f2"}));
}

TEST_F(MenteTest, MovingStopsAtTheEndsAndCarriesTheFolder) {
  WhenShown([](frmMenuMente& d) {
    ClickPicture(d, "btnUp");  // the first entry cannot go up
    EXPECT_EQ(List(d)->item(0)->text(), "a");
    ClickPicture(d, "btnDown");
    EXPECT_EQ(List(d)->currentRow(), 1);
    EXPECT_EQ(Shown(d), "/f0");
    ClickPicture(d, "btnDown");
    ClickPicture(d, "btnDown");  // the last entry cannot go down
    EXPECT_EQ(List(d)->currentRow(), 2);
    List(d)->setCurrentRow(0);
    EXPECT_EQ(Shown(d), "/f1");
    Click(d, "btnOk");
  });
  EXPECT_TRUE(dialog.ShowModal("x"));
  EXPECT_EQ(Names(dialog), QStringList({"B=/f1", "c=/f2", "a=/f0"}));
}

TEST_F(MenteTest, DeletingSelectsTheNextOrLastAndTheEmptyListDisablesTheControls) {
  WhenShown([](frmMenuMente& d) {
    List(d)->setCurrentRow(2);
    ClickPicture(d, "btnDel");  // the last: the new last is selected
    EXPECT_EQ(List(d)->currentRow(), 1);
    EXPECT_EQ(Shown(d), "/f1");
    List(d)->setCurrentRow(0);
    ClickPicture(d, "btnDel");
    EXPECT_EQ(List(d)->item(0)->text(), "B");
    EXPECT_EQ(Shown(d), "/f1");
    ClickPicture(d, "btnDel");  // the only one
    EXPECT_EQ(Shown(d), "");
    for (const char* name : {"btnUp", "btnDown", "btnDel", "btnDelAll"})
      EXPECT_FALSE(d.findChild<QToolButton*>(name)->isEnabled()) << name;
    EXPECT_FALSE(d.findChild<QPushButton*>("btnName")->isEnabled());
    EXPECT_FALSE(List(d)->isEnabled());
    EXPECT_TRUE(d.findChild<QPushButton*>("btnOk")->isEnabled());
    EXPECT_TRUE(d.findChild<QPushButton*>("btnCancel")->isEnabled());
    Click(d, "btnOk");
  });
  EXPECT_TRUE(dialog.ShowModal("x"));
  EXPECT_EQ(dialog.MenuCount(), -1);
  QString name = "?", dir = "?";
  dialog.Get_Menu(0, name, dir);
  EXPECT_EQ(name + dir, "");
}

TEST_F(MenteTest, CancelAndTheCloseBoxReportNoOk) {
  WhenShown([](frmMenuMente& d) {
    ClickPicture(d, "btnDelAll");
    Click(d, "btnCancel");
  });
  EXPECT_FALSE(dialog.ShowModal("x"));
  WhenShown([](frmMenuMente& d) { d.close(); });
  EXPECT_FALSE(dialog.ShowModal("x"));
}

TEST(frmMenuMente, PlacementIsCorrectedSavedAtTheCloseBoxAndTheNextUseReloads) {
  SourceContext c;
  c.setKey("MenuMente_Left", "-5000");
  c.setKey("MenuMente_Top", "600");
  frmMenuMente dialog(c.context);
  ASSERT_TRUE(dialog.Form_Load());
  EXPECT_EQ(dialog.pos(), QPoint(1000 / 15, 600 / 15));
  dialog.Set_Menu(0, "kept", "/k");

  WhenShown([](frmMenuMente& d) {
    d.move(150, 75);
    d.close();
  });
  EXPECT_FALSE(dialog.ShowModal("x"));
  EXPECT_EQ(c.key("MenuMente_Left"), "2250");
  EXPECT_EQ(c.key("MenuMente_Top"), "1125");

  dialog.Set_Menu(1, "new", "/n");  // loads the dialog again: slot 0 is emptied first
  WhenShown([](frmMenuMente& d) {
    EXPECT_EQ(List(d)->count(), 0);  // slot 0 empty: the list stops there
    Click(d, "btnOk");
  });
  dialog.ShowModal("x");

  c.setKey("MenuMente_Top", "abc");
  frmMenuMente broken(c.context);
  EXPECT_TRUE(broken.Form_Load());
  EXPECT_EQ(broken.pos(), QPoint(150, 1000 / 15));
}

TEST(frmMenuMente, ToolTipsFollowTheSetting) {
  SourceContext c;
  c.context.settings.Tip = false;
  frmMenuMente dialog(c.context);
  ASSERT_TRUE(dialog.Form_Load());
  EXPECT_EQ(dialog.findChild<QToolButton*>("btnDelAll")->toolTip(), "");
  dialog.SetToolTip(true);
  EXPECT_EQ(dialog.findChild<QToolButton*>("btnDelAll")->toolTip(), QString::fromUtf8("全て削除します"));
  EXPECT_EQ(dialog.findChild<QPushButton*>("btnOk")->text(), QString::fromUtf8("設定"));
}

// The pane hands its list to the dialog and takes it back only on OK.
TEST(frmMenuMente, RoundTripFromAFolderPane) {
  SourceContext c;
  TempFolder tmp;
  for (int slot = 0; slot < 3; ++slot) {
    c.setKey(QString("Dir_In_DirName%1").arg(slot), QString("alias%1").arg(slot));
    c.setKey(QString("Dir_In_DirDir%1").arg(slot), tmp.mkdir(QString("d%1").arg(slot)));
  }
  frmMenuMente dialog(c.context);
  ASSERT_TRUE(dialog.Form_Load());
  mdiDir pane(c.context, FolderPaneRole::Source);
  ASSERT_TRUE(pane.Form_Load());
  QAction* mente = pane.findChild<QAction*>("mnuMente");

  bool done = false;
  WhenShown([&](frmMenuMente& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("圧縮ファイル格納フォルダのエリアスメンテナンス"));
    EXPECT_EQ(List(d)->count(), 3);
    EXPECT_EQ(Shown(d), DispPath_Get(tmp.file("d0")));
    ClickPicture(d, "btnDelAll");
    Click(d, "btnCancel");
    done = true;
  });
  mente->trigger();
  QTRY_VERIFY(done);
  EXPECT_TRUE(pane.findChild<QAction*>("mnuAddDir(2)")->isVisible());  // Cancel keeps the list

  done = false;
  WhenShown([&](frmMenuMente& d) {
    ClickPicture(d, "btnDown");
    Click(d, "btnOk");
    done = true;
  });
  mente->trigger();
  QTRY_VERIFY(done);
  QTRY_COMPARE(pane.findChild<QAction*>("mnuAddDir(0)")->text(), QString("alias1"));
  pane.findChild<QAction*>("mnuAddDir(1)")->trigger();
  EXPECT_EQ(pane.DirName(), tmp.file("d0"));

  done = false;
  WhenShown([&](frmMenuMente& d) {
    ClickPicture(d, "btnDelAll");
    Click(d, "btnOk");
    done = true;
  });
  mente->trigger();
  QTRY_VERIFY(done);
  QTRY_VERIFY(!mente->isEnabled());
  EXPECT_FALSE(pane.findChild<QAction*>("mnuBar")->isVisible());
  EXPECT_FALSE(pane.findChild<QAction*>("mnuAddDir(0)")->isVisible());
  pane.Form_Unload();
  for (int slot = 0; slot < 10; ++slot) {
    EXPECT_EQ(c.key(QString("Dir_In_DirName%1").arg(slot)), "");
    EXPECT_EQ(c.key(QString("Dir_In_DirDir%1").arg(slot)), "");
  }
}

}  // namespace
