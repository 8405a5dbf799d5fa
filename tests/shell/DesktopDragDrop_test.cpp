// The program among other programs on an X11 desktop: archives dropped onto
// the target list from another program, a run started and the extracted
// folders dragged out into another program, with the keyboard and the mouse
// alone. The program and a second small Qt program (tests/probe) run on an X
// server of the test's own and are driven with xdotool; on Wayland, they run
// on weston, which draws into a window of that server and takes its input.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <optional>

#include "tests/settings/FreshConfig.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WestonSession.h"
#include "tests/support/X11Session.h"

namespace {

using testing_support::Run;
using testing_support::TempFolder;
using testing_support::WaitForLine;
using testing_support::WestonSession;
using testing_support::X11Session;

const QString kTitle = QStringLiteral("Rukasu2 for Linux");

struct Desktop {
  explicit Desktop(bool onWayland) {
    if (onWayland && session.unavailable().isEmpty()) weston.emplace("x11-backend.so", 1280, 1024, session.display());
  }
  X11Session session;  // 1280 x 1024
  std::optional<WestonSession> weston;
  FreshConfig config;
  TempFolder tmp;
  QString source = tmp.mkdir("source"), dest = tmp.mkdir("dest");
  QRect main;   // the main window on the screen
  QRect probe;  // drop_probe's window

  QString unavailable() const { return weston ? weston->unavailable() : session.unavailable(); }
  QProcess& start(const QString& program, const QStringList& arguments) {
    QProcessEnvironment wayland;
    // Without decorations a window is its client area, as on a bare X server.
    wayland.insert("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
    return session.start(program, arguments, weston ? weston->clientEnvironment(wayland) : QProcessEnvironment());
  }
  // Where weston put the windows of this colour, from the X server's screen.
  QRect find(const QString& colour) {
    QProcess& probe = session.start(RUKASU2_DROP_PROBE, {"find", colour});
    probe.waitForFinished(20000);
    const QStringList n = QString::fromUtf8(probe.readAllStandardOutput()).split(u' ');
    return n.size() == 4 ? QRect(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt()) : QRect();
  }
  // The program extracting into dest; on X11 at the top left, 800 x 600; on
  // Wayland 960 pixels wide and as high as weston's screen below its panel:
  // weston puts it there, at a left edge of its choosing.
  bool startProgram(const QStringList& archives) {
    config.writeIni("Velmont Soft", QStringLiteral("[General]\nMain_Left=0\nMain_Top=0\nMain_Width=%1\n"
                                                   "Main_Height=%2\nDir_Out=%3\nDir_Out_Yuko=True\n")
                                        .arg(weston ? 14400 : 12000)
                                        .arg(weston ? 14880 : 9000)
                                        .arg(dest)
                                        .toUtf8());
    start(RUKASU2_BINARY_DIR "/rukasu2", archives);
    if (!weston) return !(main = session.window(kTitle)).isEmpty();
    // Below weston's panel, 32 pixels high; there once its grey reaches the screen's bottom.
    return QTest::qWaitFor(
        [&] {
          const QRect grey = find("#efefef");
          main = QRect(grey.right() - 959, 32, 960, 992);
          return grey.bottom() == main.bottom() && main.left() >= 0;
        },
        20000);
  }
  // drop_probe in the role given, its window where X11 is told (900, 100,
  // 300 x 300) or where weston put it (screen-wide, 80 high, at a height of its choosing).
  QProcess* startProbe(const QStringList& arguments) {
    const QStringList place = weston ? QStringList{"0", "0", "1280", "80"} : QStringList{"900", "100", "300", "300"};
    QProcess& process = start(RUKASU2_DROP_PROBE, QStringList{arguments[0]} + place + arguments.mid(1));
    if (!WaitForLine(process, "READY")) return nullptr;
    if (!weston) probe = session.window("drop_probe " + arguments[0]);
    return QTest::qWaitFor([&] { return !(weston ? probe = find("#ff00ff") : probe).isEmpty(); }, 20000) ? &process
                                                                                                      : nullptr;
  }
  // Types into the main window.
  bool keys(const QStringList& keys) {
    if (!weston) return session.keys(kTitle, keys);
    // Wayland gives the keyboard to the window last clicked: its status line here.
    return session.click(besides({main.center().x(), main.bottom() - 8})) && session.keys({}, keys);
  }
  // A point of the probe's window that the main window leaves uncovered
  // when it comes to the top, as it does on weston once pressed.
  QPoint uncovered() const {
    if (!weston) return probe.center();
    return {main.left() >= 1280 - main.right() ? main.left() / 2 : (main.right() + 1280) / 2, probe.center().y()};
  }
  // This point of the main window, or one above or below it when the probe's window is over it.
  QPoint besides(QPoint at) const {
    for (const int dy : {0, -120, 120})
      if (!probe.adjusted(-10, -10, 10, 10).contains(at + QPoint(0, dy))) return at + QPoint(0, dy);
    return at;
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
  if (!(desktop).unavailable().isEmpty())                                                       \
  GTEST_SKIP() << "no X server for drag and drop between programs: " << (desktop).unavailable().toStdString()

// On a bare X server, and on Wayland.
class DesktopDragDrop : public testing::TestWithParam<bool> {};

TEST_P(DesktopDragDrop, ArchivesDroppedFromAnotherProgramAreExtractedByCtrl1) {
  Desktop d(GetParam());
  RK_REQUIRE_DESKTOP(d);
  RK_REQUIRE_PROGRAM("zip");
  const QStringList archives = {d.makeZip("ONE.zip"), d.makeZip("TWO.zip")};
  ASSERT_TRUE(d.startProgram({}));
  QProcess* files = d.startProbe(QStringList{"source"} + archives);
  ASSERT_TRUE(files);

  ASSERT_TRUE(d.session.drag(d.probe.center(), d.besides(d.tile(0, 2))));  // onto the target list
  ASSERT_TRUE(WaitForLine(*files, "DROPPED"));
  ASSERT_TRUE(d.keys({"ctrl+1"}));
  EXPECT_TRUE(d.waitForFolders({"ONE", "TWO"}));
  EXPECT_TRUE(QFileInfo::exists(d.dest + "/TWO/doc/readme.txt"));
}

TEST_P(DesktopDragDrop, ExtractedFoldersDragIntoAnotherProgramInListOrder) {
  Desktop d(GetParam());
  RK_REQUIRE_DESKTOP(d);
  RK_REQUIRE_PROGRAM("zip");
  // Enough entries to fill the pane, so that its middle holds one.
  QStringList archives, folders;
  for (int i = 1; i <= 16; ++i) {
    archives << d.makeZip(QString("A%1.zip").arg(i));
    folders << QString("A%1").arg(i);
  }
  ASSERT_TRUE(d.startProgram(archives));
  ASSERT_TRUE(d.keys({"ctrl+1"}));
  ASSERT_TRUE(d.waitForFolders(folders));
  QTest::qWait(500);  // the last folder reaches the pane just after the disk
  // To the extracted folders pane, the sixth, and every entry selected.
  ASSERT_TRUE(d.keys({"ctrl+Tab", "ctrl+Tab", "ctrl+Tab", "ctrl+Tab", "ctrl+Tab", "ctrl+a"}));

  QProcess* manager = d.startProbe({"target"});
  ASSERT_TRUE(manager);
  ASSERT_TRUE(d.session.drag(d.besides(d.tile(1, 2)), d.uncovered()));
  ASSERT_TRUE(manager->waitForFinished(20000)) << "the drop did not arrive";
  QStringList dropped = QString::fromUtf8(manager->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(dropped.takeLast(), "END");
  for (QString& folder : folders) folder = d.dest + u'/' + folder;
  EXPECT_EQ(dropped.join(u'\n').toStdString(), folders.join(u'\n').toStdString());
}

INSTANTIATE_TEST_SUITE_P(Platforms, DesktopDragDrop, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Wayland" : "X11"; });

}  // namespace
