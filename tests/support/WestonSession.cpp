// See WestonSession.h.
#include "tests/support/WestonSession.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QThread>

namespace testing_support {

namespace {
const QString kSocket = QStringLiteral("rukasu2-test");
}

WestonSession::WestonSession(const QString& backend, int width, int height, const QString& display) {
  const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
  const bool plugin =
      QFile::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/libqwayland-generic.so"));
  if (weston.isEmpty() || !plugin) {
    m_unavailable = QStringLiteral("weston or qt6-wayland is not installed (./test.sh installs them)");
    return;
  }
  // Wayland wants its runtime folder private.
  QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  if (!display.isEmpty()) environment.insert(QStringLiteral("DISPLAY"), display);
  m_compositor.setProcessEnvironment(environment);
  QStringList arguments{QStringLiteral("--backend=") + backend, QStringLiteral("--socket=") + kSocket,
                        QStringLiteral("--width=%1").arg(width), QStringLiteral("--height=%1").arg(height),
                        QStringLiteral("--no-config"), QStringLiteral("--idle-time=0")};  // never locks
  if (!display.isEmpty()) arguments << QStringLiteral("--use-pixman");  // Xvfb has no GL to draw with
  // To a file: a pipe no one reads would stop weston once it filled.
  const QString log = m_runtime.filePath(QStringLiteral("weston.log"));
  m_compositor.setProcessChannelMode(QProcess::MergedChannels);
  m_compositor.setStandardOutputFile(log);
  m_compositor.start(weston, arguments);
  const QDeadlineTimer deadline(20000);
  while (!QFile::exists(m_runtime.filePath(kSocket)) && m_compositor.state() != QProcess::NotRunning &&
         !deadline.hasExpired())
    QThread::msleep(100);
  if (!QFile::exists(m_runtime.filePath(kSocket))) {
    QFile said(log);
    said.open(QIODevice::ReadOnly);
    m_unavailable = QStringLiteral("weston did not start: ") + QString::fromLocal8Bit(said.readAll());
  }
}

WestonSession::~WestonSession() {
  if (m_compositor.state() == QProcess::NotRunning) return;
  m_compositor.terminate();
  if (!m_compositor.waitForFinished(5000)) m_compositor.kill();
}

QProcessEnvironment WestonSession::clientEnvironment(QProcessEnvironment base) const {
  base.remove(QStringLiteral("DISPLAY"));
  base.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
  base.insert(QStringLiteral("WAYLAND_DISPLAY"), kSocket);
  base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
  return base;
}

}  // namespace testing_support
