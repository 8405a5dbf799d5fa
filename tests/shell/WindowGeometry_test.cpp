// The main window and every dialog at fonts of 6 to 36 points on each screen
// this machine can offer (tools/window-check says what is checked): no window
// off the screen, no control outside its parent or on another, no cut caption.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "tests/support/WestonSession.h"
#include "tests/support/X11Session.h"

namespace {

enum class Platform { Offscreen, X11, Wayland };

struct ScreenCase {
  const char* name;
  Platform platform;
  const char* size;   // the screen in device pixels
  const char* scale;  // QT_SCALE_FACTOR, or empty
};

void PrintTo(const ScreenCase& row, std::ostream* out) { *out << row.name; }

// The only faults are windows that never got their size (0x0). Seen on the
// 2x X11 screen while other builds loaded the machine, with the dialog of the
// first check at 6 pt; never alone. Such a run is tried once more.
bool OnlyUnsizedWindows(const QString& report) {
  const QStringList faults = report.split(u'\n').filter(QStringLiteral(": "));
  const QStringList unsized = faults.filter(QStringLiteral(" 0x0) leaves the screen"));
  return !unsized.isEmpty() && unsized.size() == faults.filter(QStringLiteral("pt: ")).size();
}

// Runs the check with these variables; its report on failure.
void RunCheck(QProcessEnvironment environment, const std::function<QProcess&(const QProcessEnvironment&)>& start) {
  environment.insert(QStringLiteral("RUKASU2_SYSTEM_DIR"), QStringLiteral(RUKASU2_ARCHIVER_BUILD_DIR));
  environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
  QString report;
  for (int attempt = 0; attempt < 2; ++attempt) {
    QProcess& check = start(environment);
    ASSERT_TRUE(check.waitForFinished(600000)) << "window_check did not end";
    report = QString::fromUtf8(check.readAllStandardOutput() + check.readAllStandardError());
    ASSERT_EQ(check.exitStatus(), QProcess::NormalExit) << report.toStdString();
    if (check.exitCode() == 0 || !OnlyUnsizedWindows(report)) break;
    std::printf("window_check tried again after: %s\n", qPrintable(report));
  }
  EXPECT_TRUE(report.contains(QStringLiteral(" 0 failed"))) << report.toStdString();
}

class WindowGeometry : public testing::TestWithParam<ScreenCase> {};

TEST_P(WindowGeometry, NothingLeavesTheScreenOverlapsOrIsCut) {
  const ScreenCase& row = GetParam();
  const QString program = QStringLiteral(RUKASU2_WINDOW_CHECK);
  const QStringList arguments{QStringLiteral("--fonts"), QStringLiteral("6,10,18,36,10")};
  QProcessEnvironment environment;
  if (*row.scale) environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(row.scale));
  QTemporaryDir home;
  environment.insert(QStringLiteral("HOME"), home.path());
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
  const QStringList size = QString::fromLatin1(row.size).split(u'x');

  if (row.platform == Platform::Offscreen) {
    const QString config = home.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": %1, "height": %2,
                               "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                   .arg(size[0], size[1]).toUtf8());
    file.close();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
    QProcess check;
    RunCheck(environment, [&](const QProcessEnvironment& e) -> QProcess& {
      QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
      all.insert(e);
      check.setProcessEnvironment(all);
      check.start(program, arguments);
      return check;
    });
    return;
  }

  if (row.platform == Platform::X11) {
    // One X11 row at a time: two servers with their window managers side by
    // side on a loaded machine once left a dialog unmapped (0x0) for a minute.
    QLockFile oneAtATime(QDir::temp().filePath(QStringLiteral("rukasu2-window-geometry-x11.lock")));
    oneAtATime.setStaleLockTime(0);
    ASSERT_TRUE(oneAtATime.lock());
    testing_support::X11Session session(QString::fromLatin1(row.size));
    if (!session.unavailable().isEmpty()) GTEST_SKIP() << session.unavailable().toStdString();
    // With a window manager the windows have frames, which must fit too.
    if (!QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty()) {
      session.start(QStringLiteral("openbox"), {});
      // A window mapped while the manager takes over the screen may never show.
      ASSERT_TRUE(session.waitForWindowManager()) << "openbox did not take charge of the screen";
    }
    RunCheck(environment, [&](const QProcessEnvironment& e) -> QProcess& { return session.start(program, arguments, e); });
    return;
  }

  // Wayland: weston's headless compositor, with Qt's Wayland platform.
  testing_support::WestonSession weston(QStringLiteral("headless-backend.so"), size[0].toInt(), size[1].toInt());
  if (!weston.unavailable().isEmpty()) GTEST_SKIP() << weston.unavailable().toStdString();
  QProcess check;
  RunCheck(environment, [&](const QProcessEnvironment& e) -> QProcess& {
    QProcessEnvironment all = weston.clientEnvironment();
    all.insert(e);
    check.setProcessEnvironment(all);
    check.start(program, arguments);
    return check;
  });
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowGeometry,
                         testing::Values(ScreenCase{"Offscreen1280x720", Platform::Offscreen, "1280x720", ""},
                                         ScreenCase{"X11At1280x720", Platform::X11, "1280x720", ""},
                                         ScreenCase{"X11At1366x768", Platform::X11, "1366x768", ""},
                                         ScreenCase{"X11At150Percent", Platform::X11, "1920x1080", "1.5"},
                                         ScreenCase{"X11At200Percent", Platform::X11, "2560x1440", "2"},
                                         ScreenCase{"WestonHeadless", Platform::Wayland, "1280x720", ""}),
                         [](const testing::TestParamInfo<ScreenCase>& info) { return std::string(info.param.name); });

}  // namespace
