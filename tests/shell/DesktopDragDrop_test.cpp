// The program among other programs on an X11 desktop: archives dropped onto
// the target list from another program, a run started and the extracted
// folders dragged out into another program, with the keyboard and the mouse
// alone. The program and a second small Qt program (tests/probe) run on an X
// server of the test's own and are driven with xdotool.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTest>

#include <algorithm>

#include "tests/settings/FreshConfig.h"
#include "tests/support/TestSupport.h"
#include "tests/support/X11Session.h"

namespace {

using testing_support::Run;
using testing_support::TempFolder;
using testing_support::WaitForLine;
using testing_support::X11Session;

const QString kTitle = QStringLiteral("Rukasu2 for Linux");

struct Desktop {
  X11Session session;
  FreshConfig config;
  TempFolder tmp;
  QString source = tmp.mkdir("source"), dest = tmp.mkdir("dest");
  QRect main;  // the main window on the screen

  // The program at the top left, 800 x 600, extracting into dest.
  bool startProgram(const QStringList& archives) {
    config.writeIni("Velmont Soft", QStringLiteral("[General]\nMain_Left=0\nMain_Top=0\nMain_Width=12000\n"
                                                   "Main_Height=9000\nDir_Out=%1\nDir_Out_Yuko=True\n")
                                        .arg(dest)
                                        .toUtf8());
    session.start(RUKASU2_BINARY_DIR "/rukasu2", archives);
    main = session.window(kTitle);
    return !main.isEmpty();
  }
  // The middle of a pane's tile (column 0 or 1, row 0 to 2), from the window's
  // size: the menu bar and the status line about 24 pixels, the button strip 41.
  QPoint tile(int column, int row) const {
    const int top = 24 + 41, height = main.height() - top - 24;
    return main.topLeft() + QPoint(main.width() * (2 * column + 1) / 4, top + height * (2 * row + 1) / 6);
  }
  QString makeZip(const QString& name) {
    tmp.write("scratch/doc/readme.txt", "zip member");
    const QString out = source + u'/' + name;
    EXPECT_EQ(Run("zip", {"-q", "-r", out, "doc"}, tmp.file("scratch")), 0);
    return out;
  }
  bool waitForFolders(const QStringList& names) {
    return QTest::qWaitFor(
        [&] {
          return std::all_of(names.begin(), names.end(),
                             [&](const QString& name) { return QFileInfo(dest + u'/' + name).isDir(); });
        },
        20000);
  }
};

#define RK_REQUIRE_DESKTOP(desktop)                                                              \
  if (!(desktop).session.unavailable().isEmpty())                                               \
  GTEST_SKIP() << "no X server for drag and drop between programs: "                           \
               << (desktop).session.unavailable().toStdString()

TEST(DesktopDragDrop, ArchivesDroppedFromAnotherProgramAreExtractedByCtrl1) {
  Desktop d;
  RK_REQUIRE_DESKTOP(d);
  RK_REQUIRE_PROGRAM("zip");
  const QStringList archives = {d.makeZip("ONE.zip"), d.makeZip("TWO.zip")};
  ASSERT_TRUE(d.startProgram({}));
  QProcess& files = d.session.start(RUKASU2_DROP_PROBE, QStringList{"source", "900", "100", "300", "300"} + archives);
  ASSERT_TRUE(WaitForLine(files, "READY"));
  ASSERT_FALSE(d.session.window("drop_probe source").isEmpty());

  ASSERT_TRUE(d.session.drag({1050, 250}, d.tile(0, 2)));  // onto the target list
  ASSERT_TRUE(WaitForLine(files, "DROPPED"));
  ASSERT_TRUE(d.session.keys(kTitle, {"ctrl+1"}));
  EXPECT_TRUE(d.waitForFolders({"ONE", "TWO"}));
  EXPECT_TRUE(QFileInfo::exists(d.dest + "/TWO/doc/readme.txt"));
}

TEST(DesktopDragDrop, ExtractedFoldersDragIntoAnotherProgramInListOrder) {
  Desktop d;
  RK_REQUIRE_DESKTOP(d);
  RK_REQUIRE_PROGRAM("zip");
  // Enough entries to fill the pane, so that its middle holds one.
  QStringList archives, folders;
  for (int i = 1; i <= 8; ++i) {
    archives << d.makeZip(QString("A%1.zip").arg(i));
    folders << QString("A%1").arg(i);
  }
  ASSERT_TRUE(d.startProgram(archives));
  ASSERT_TRUE(d.session.keys(kTitle, {"ctrl+1"}));
  ASSERT_TRUE(d.waitForFolders(folders));
  QTest::qWait(500);  // the last folder reaches the pane just after the disk
  // To the extracted folders pane, the sixth, and every entry selected.
  ASSERT_TRUE(d.session.keys(kTitle, {"ctrl+Tab", "ctrl+Tab", "ctrl+Tab", "ctrl+Tab", "ctrl+Tab", "ctrl+a"}));

  QProcess& manager = d.session.start(RUKASU2_DROP_PROBE, {"target", "900", "100", "300", "300"});
  ASSERT_TRUE(WaitForLine(manager, "READY"));
  ASSERT_FALSE(d.session.window("drop_probe target").isEmpty());
  ASSERT_TRUE(d.session.drag(d.tile(1, 2), {1050, 250}));
  ASSERT_TRUE(manager.waitForFinished(20000)) << "the drop did not arrive";
  QStringList dropped = QString::fromUtf8(manager.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(dropped.takeLast(), "END");
  for (QString& folder : folders) folder = d.dest + u'/' + folder;
  EXPECT_EQ(dropped.join(u'\n').toStdString(), folders.join(u'\n').toStdString());
}

}  // namespace
