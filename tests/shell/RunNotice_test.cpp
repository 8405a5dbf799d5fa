// The notice at the end of a run, sent over a session bus of the test's own
// (dbus-daemon) to a small notification service that records what it is told;
// and an automatic run with --notify, from the program to that service.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QDir>
#include <QMutex>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <atomic>

#include "shell/RunNotice.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace std::chrono_literals;
using testing_support::TempFolder;

struct Notice {
  QString app, summary, body, desktopEntry;
};

// org.freedesktop.Notifications as far as the program uses it: Notify, answered
// with an id, on a thread of its own so that the test may wait for the answer.
class NotificationService : public QDBusVirtualObject {
 public:
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.member() != QStringLiteral("Notify") || message.arguments().size() != 8) return false;
    const QList<QVariant> a = message.arguments();
    const auto hints = qdbus_cast<QVariantMap>(a[6]);
    {
      QMutexLocker lock(&m_mutex);
      m_notices.append({a[0].toString(), a[3].toString(), a[4].toString(), hints.value("desktop-entry").toString()});
    }
    connection.send(message.createReply(QVariant::fromValue(1u)));
    return true;
  }
  QString introspect(const QString&) const override { return {}; }
  QList<Notice> notices() const {
    QMutexLocker lock(&m_mutex);
    return m_notices;
  }

 private:
  mutable QMutex m_mutex;
  QList<Notice> m_notices;
};

// A session bus started for one test, with or without the notification service.
class PrivateBus {
 public:
  explicit PrivateBus(bool withService) {
    const QString config = m_tmp.write("bus.conf", R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=)" + m_tmp.path().toUtf8() + R"(</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)");
    m_daemon.start("dbus-daemon", {"--config-file=" + config, "--nofork", "--print-address=1"});
    if (!m_daemon.waitForReadyRead(10000)) return;
    address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (!withService) return;
    QDBusConnection bus = QDBusConnection::connectToBus(address, name("service"));
    m_service.moveToThread(&m_thread);
    m_thread.start();
    bus.registerVirtualObject("/org/freedesktop/Notifications", &m_service);
    bus.registerService("org.freedesktop.Notifications");
  }
  ~PrivateBus() {
    for (const QString& connection : m_connections) QDBusConnection::disconnectFromBus(connection);
    m_thread.quit();
    m_thread.wait();
    m_daemon.kill();
    m_daemon.waitForFinished();
  }

  QDBusConnection client() { return QDBusConnection::connectToBus(address, name("client")); }
  QList<Notice> notices() const { return m_service.notices(); }

  QString address;

 private:
  QString name(const char* role) {
    static std::atomic<int> serial{0};
    m_connections << QStringLiteral("rukasu2-test-%1-%2").arg(role).arg(++serial);
    return m_connections.last();
  }

  TempFolder m_tmp;
  QProcess m_daemon;
  QThread m_thread;
  NotificationService m_service;
  QStringList m_connections;
};

#define RK_REQUIRE_BUS(bus)                                                          \
  do {                                                                               \
    RK_REQUIRE_PROGRAM("dbus-daemon");                                               \
    ASSERT_FALSE((bus).address.isEmpty()) << "dbus-daemon gave no address";           \
  } while (0)

struct RunRow {
  const char* name;
  BatchRun::Tally tally;
  const char* summary;
  const char* body;
};

class RunNoticeShown : public testing::TestWithParam<RunRow> {};

TEST_P(RunNoticeShown, TellsTheServiceHowTheRunEnded) {
  const RunRow& row = GetParam();
  PrivateBus bus(true);
  RK_REQUIRE_BUS(bus);
  EXPECT_TRUE(RunNotice(bus.client()).showRun(row.tally, 5s));
  // Without waiting, as the window sends it: the notice arrives all the same.
  EXPECT_TRUE(RunNotice(bus.client()).showRun(row.tally));
  QTRY_COMPARE_WITH_TIMEOUT(bus.notices().size(), 2, 5000);
  for (const Notice& notice : bus.notices()) {
    EXPECT_EQ(notice.app, "Rukasu2");
    EXPECT_EQ(notice.summary, QString::fromUtf8(row.summary));
    EXPECT_EQ(notice.body, QString::fromUtf8(row.body));
    EXPECT_EQ(notice.desktopEntry, "org.example.Rukasu2");
  }
}

INSTANTIATE_TEST_SUITE_P(
    , RunNoticeShown,
    testing::Values(RunRow{"AllExtracted", {3, 0, false, 6000}, "全て終了しました", "3 個の圧縮ファイルを解凍しました。"},
                    RunRow{"SomeNot", {2, 1, false, 6000}, "全て終了しました",
                           "2 個の圧縮ファイルを解凍しました。1 個は解凍できませんでした。"},
                    RunRow{"Stopped", {1, 1, true, 100}, "中断しました",
                           "1 個の圧縮ファイルを解凍しました。1 個は解凍できませんでした。"}),
    [](const testing::TestParamInfo<RunRow>& info) { return std::string(info.param.name); });

TEST(RunNotice, NothingHappensWithoutTheService) {
  PrivateBus bus(false);
  RK_REQUIRE_BUS(bus);
  EXPECT_FALSE(RunNotice(bus.client()).showRun({1, 0, false, 6000}, 5s));
  EXPECT_FALSE(RunNotice(QDBusConnection(QStringLiteral("never connected"))).showRun({1, 0, false, 6000}, 5s));
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
// to the desktop, however quick the run.
TEST(RunNotice, AnAutomaticRunWithNotifyTellsTheDesktop) {
  PrivateBus bus(true);
  RK_REQUIRE_BUS(bus);
  TempFolder tmp;
  const QString broken = tmp.write("src/broken.zip", "not a zip");
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
  environment.insert("XDG_CONFIG_HOME", tmp.mkdir("config"));
  environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address);
  program.setProcessEnvironment(environment);
  program.start(RUKASU2_BINARY_DIR "/rukasu2", {"--auto", "--here", "--notify", broken});
  ASSERT_TRUE(program.waitForFinished(60000));
  EXPECT_EQ(program.exitCode(), 1);
  ASSERT_EQ(bus.notices().size(), 1) << program.readAllStandardError().constData();
  EXPECT_EQ(bus.notices()[0].body,
            QString::fromUtf8("0 個の圧縮ファイルを解凍しました。1 個は解凍できませんでした。"));
}

}  // namespace
