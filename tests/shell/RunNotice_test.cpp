// The notice at the end of a run, sent over a session bus of the test's own
// (dbus-daemon) to a small notification service that records what it is told:
// from RunNotice, and from an automatic run with --notify.
#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QProcess>
#include <QTest>
#include <QThread>

#include "shell/RunNotice.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WestonSession.h"

namespace {

using namespace std::chrono_literals;

// Notify of org.freedesktop.Notifications, answered on a thread of its own so
// that a test may wait for the answer. Each notice: application, summary,
// body, desktop entry.
class NotificationService : public QDBusVirtualObject {
 public:
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
    const QList<QVariant> a = message.arguments();
    if (message.member() != "Notify" || a.size() != 8) return false;
    QMutexLocker lock(&m_mutex);
    m_notices << QStringList{a[0].toString(), a[3].toString(), a[4].toString(),
                             qdbus_cast<QVariantMap>(a[6]).value("desktop-entry").toString()};
    return bus.send(message.createReply(1u));
  }
  QString introspect(const QString&) const override { return {}; }
  QList<QStringList> notices() {
    QMutexLocker lock(&m_mutex);
    return m_notices;
  }

 private:
  QMutex m_mutex;
  QList<QStringList> m_notices;
};

// A session bus started for one test, with or without the notification service.
struct PrivateBus {
  explicit PrivateBus(bool withService) {
    const QString config = tmp.write("bus.conf", "<busconfig><type>session</type><listen>unix:dir=" + tmp.path().toUtf8() +
                                                     "</listen><policy context=\"default\"><allow send_destination=\"*\" "
                                                     "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/>"
                                                     "</policy></busconfig>");
    daemon.start("dbus-daemon", {"--config-file=" + config, "--nofork", "--print-address=1"});
    if (daemon.waitForReadyRead(10000)) address = QString::fromUtf8(daemon.readLine()).trimmed();
    if (address.isEmpty() || !withService) return;
    QDBusConnection bus = QDBusConnection::connectToBus(address, "service");
    service.moveToThread(&thread);
    thread.start();
    bus.registerVirtualObject("/org/freedesktop/Notifications", &service);
    bus.registerService("org.freedesktop.Notifications");
  }
  ~PrivateBus() {
    QDBusConnection::disconnectFromBus("service");
    QDBusConnection::disconnectFromBus("client");
    thread.quit();
    thread.wait();
    daemon.kill();
    daemon.waitForFinished();
  }
  QDBusConnection client() const { return QDBusConnection::connectToBus(address, "client"); }

  testing_support::TempFolder tmp;
  QProcess daemon;
  QString address;
  QThread thread;
  NotificationService service;
};

#define RK_REQUIRE_BUS(bus)                                                    \
  RK_REQUIRE_PROGRAM("dbus-daemon");                                           \
  ASSERT_FALSE((bus).address.isEmpty()) << "dbus-daemon gave no address"

TEST(RunNotice, TellsTheServiceHowTheRunEnded) {
  PrivateBus bus(true);
  RK_REQUIRE_BUS(bus);
  const struct {
    BatchRun::Tally tally;
    const char* summary;
    const char* body;
  } rows[] = {
      {{3, 0, false, 6000}, "全て終了しました", "3 個の圧縮ファイルを解凍しました。"},
      {{2, 1, false, 6000}, "全て終了しました", "2 個の圧縮ファイルを解凍しました。1 個は解凍できませんでした。"},
      {{1, 1, true, 100}, "中断しました", "1 個の圧縮ファイルを解凍しました。1 個は解凍できませんでした。"},
  };
  for (const auto& row : rows) {
    EXPECT_TRUE(RunNotice(bus.client()).showRun(row.tally, 5s));  // as the program does before it ends
    EXPECT_TRUE(RunNotice(bus.client()).showRun(row.tally));      // as the window does
  }
  QTRY_COMPARE_WITH_TIMEOUT(bus.service.notices().size(), 6, 5000);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(bus.service.notices()[i], QStringList({"Rukasu2", QString::fromUtf8(rows[i / 2].summary),
                                                     QString::fromUtf8(rows[i / 2].body), "org.example.Rukasu2"}));
}

TEST(RunNotice, NothingHappensWithoutTheService) {
  PrivateBus bus(false);
  RK_REQUIRE_BUS(bus);
  EXPECT_FALSE(RunNotice(bus.client()).showRun({1, 0, false, 6000}, 5s));
  EXPECT_FALSE(RunNotice(QDBusConnection("never connected")).showRun({1, 0, false, 6000}, 5s));
}

TEST(RunNotice, IsDeservedByALongRunOrByAFailureNoOneSaw) {
  const struct {
    BatchRun::Tally tally;
    bool failuresToo, deserved;
  } rows[] = {
      {{5, 0, false, 4000}, true, false}, {{5, 0, false, 5000}, false, true}, {{4, 1, false, 100}, false, false},
      {{4, 1, false, 100}, true, true},   {{0, 1, true, 100}, true, true},
  };
  for (const auto& row : rows)
    EXPECT_EQ(RunNotice::Deserved(row.tally, row.failuresToo), row.deserved)
        << row.tally.failed << " failed in " << row.tally.milliseconds << " ms";
}

// From a file manager's action: an archive that cannot be extracted is told
// to the desktop, however quick the run; without a display and on Wayland.
TEST(RunNotice, AnAutomaticRunWithNotifyTellsTheDesktop) {
  PrivateBus bus(true);
  RK_REQUIRE_BUS(bus);
  testing_support::WestonSession weston(QStringLiteral("headless-backend.so"), 1280, 720);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
  environment.insert("XDG_CONFIG_HOME", bus.tmp.mkdir("config"));
  environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address);
  for (const bool wayland : {false, true}) {
    if (wayland && !weston.unavailable().isEmpty()) GTEST_SKIP() << weston.unavailable().toStdString();
    QProcess program;
    program.setProcessEnvironment(wayland ? weston.clientEnvironment(environment) : environment);
    program.start(RUKASU2_BINARY_DIR "/rukasu2", {"--auto", "--here", "--notify", bus.tmp.write("broken.zip", "no zip")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 1);
    ASSERT_EQ(bus.service.notices().size(), wayland ? 2 : 1) << program.readAllStandardError().constData();
    EXPECT_EQ(bus.service.notices().last()[2],
              QString::fromUtf8("0 個の圧縮ファイルを解凍しました。1 個は解凍できませんでした。"));
  }
}

}  // namespace
