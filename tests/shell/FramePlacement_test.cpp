// Placement by the window's frame: what a start restored, the close saves,
// through starts that open and cancel every dialog; and a window put at the
// screen's corner has its frame there, title bar and all.
#include <gtest/gtest.h>

#include <QDialog>
#include <QMdiSubWindow>
#include <QTest>

#include "tests/shell/MainWindowWorld.h"
#include "tests/support/ModalHelper.h"

namespace {

void Cancelled(const std::function<void()>& open) {
  testing_support::WhenModal<QDialog>([](QDialog* dialog) { dialog->reject(); });
  open();
}

QStringList Lines(const QString& file, const QStringList& of) {
  QStringList lines;
  for (const QString& line : QString::fromUtf8(testing_support::ReadFile(file)).split(u'\n'))
    if (of.contains(line.section(u'=', 0, 0))) lines << line;
  lines.sort();
  return lines;
}

TEST(FramePlacement, OpenAndCancelCyclesLeaveEveryPlacementKeyAsItWas) {
  MainWindowWorld w;
  // Twips that are no whole number of pixels, which no rounding may change.
  QStringList placement = {"Main_Left=1007",    "Main_Top=994",       "Main_Width=8003",     "Main_Height=7001",
                           "Main_WindowState=0", "Option_Left=8",     "Option_Top=13",     "About_Left=2011",
                           "About_Top=1499",     "MenuMente_Left=1001", "MenuMente_Top=1502", "Default_Left=1009",
                           "Default_Top=1511",   "Default_Width=6003", "Default_Height=5999", "InFile_Left=1507",
                           "InFile_Top=3001",    "InFile_Width=4499",  "InFile_Height=2251"};
  placement.sort();
  QStringList keys;
  for (const QString& line : placement) keys << line.section(u'=', 0, 0);
  w.storeKeys(placement + QStringList{"Resize=False"});
  for (int cycle = 0; cycle < 3; ++cycle) {
    SCOPED_TRACE(cycle);
    w.store = std::make_unique<SettingsStore>();
    ASSERT_EQ(w.load(), frmRukasu::Start::ShowWindow);
    w.show();
    Cancelled([&] { w.window->mnuOption_Click(); });
    Cancelled([&] { w.window->mnuAbout_Click(); });
    Cancelled([&] { w.window->mnuInDirDefault_Click(); });
    Cancelled([&] { w.context->windows.menuMente->ShowModal("x"); });
    w.close();
    w.store->sync();
    EXPECT_EQ(Lines(w.storeFile(), keys), placement);
  }
}

TEST(FramePlacement, AWindowAtTheCornerHasItsFrameThere) {
  MainWindowWorld w;
  w.storeKeys({"Main_Left=0", "Main_Top=0", "About_Left=1500", "About_Top=750"});
  ASSERT_EQ(w.load(), frmRukasu::Start::ShowWindow);
  w.show();
  QTRY_COMPARE(w.window->frameGeometry(), QRect(0, 0, 533, 533));
  QPoint about;
  testing_support::WhenModal<QDialog>([&about](QDialog* dialog) {
    about = dialog->frameGeometry().topLeft();
    dialog->reject();
  });
  w.window->mnuAbout_Click();
  EXPECT_EQ(about, QPoint(100, 50));
}

}  // namespace
