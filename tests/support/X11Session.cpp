// See X11Session.h.
#include "tests/support/X11Session.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace testing_support {

X11Session::X11Session(const QString& size) {
  for (const char* tool : {"Xvfb", "xdotool"}) {
    if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
      m_unavailable = QStringLiteral("%1 is not installed (packages xvfb, xdotool; ./test.sh installs them)")
                          .arg(QString::fromLatin1(tool));
      return;
    }
  }
  // -displayfd: the server picks a free display and prints its number when it is ready.
  m_server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                          QStringLiteral("0"), size + QStringLiteral("x24"),
                                          QStringLiteral("-nolisten"), QStringLiteral("tcp")});
  const QDeadlineTimer deadline(20000);
  QByteArray said;
  while (!said.contains('\n') && m_server.state() != QProcess::NotRunning && !deadline.hasExpired()) {
    m_server.waitForReadyRead(100);
    said += m_server.readAllStandardOutput();
  }
  bool ok = false;
  const int number = said.trimmed().toInt(&ok);
  if (!ok) {
    m_unavailable = QStringLiteral("Xvfb did not start: ") + QString::fromLocal8Bit(m_server.readAllStandardError());
    return;
  }
  m_display = QStringLiteral(":%1").arg(number);
}

X11Session::~X11Session() {
  for (auto& program : m_programs) {
    program->kill();
    program->waitForFinished(5000);
  }
  if (m_server.state() != QProcess::NotRunning) {
    m_server.terminate();
    if (!m_server.waitForFinished(5000)) m_server.kill();
  }
}

QProcess& X11Session::start(const QString& program, const QStringList& arguments, const QProcessEnvironment& extra) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DISPLAY"), m_display);
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  environment.insert(extra);
  auto process = std::make_unique<QProcess>();
  process->setProcessEnvironment(environment);
  process->start(program, arguments);
  m_programs.push_back(std::move(process));
  return *m_programs.back();
}

bool X11Session::xdotool(const QStringList& arguments, QByteArray* output, int timeoutMs) {
  QProcess tool;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DISPLAY"), m_display);
  tool.setProcessEnvironment(environment);
  tool.start(QStringLiteral("xdotool"), arguments);
  if (!tool.waitForFinished(timeoutMs)) {
    tool.kill();
    tool.waitForFinished();
    return false;
  }
  if (output) *output = tool.readAllStandardOutput();
  return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

bool X11Session::waitForWindowManager() {
  QElapsedTimer waited;
  waited.start();
  while (!xdotool({QStringLiteral("get_num_desktops")}, nullptr, 5000)) {
    if (waited.elapsed() > 30000) return false;
    QThread::msleep(100);
  }
  return true;
}

QString X11Session::windowId(const QString& title) {
  QByteArray found;
  const QString exact = u'^' + QRegularExpression::escape(title) + u'$';
  if (!xdotool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                QStringLiteral("--name"), exact},
               &found))
    return {};
  return QString::fromLatin1(found).split(u'\n', Qt::SkipEmptyParts).value(0);
}

QRect X11Session::window(const QString& title) {
  const QString id = windowId(title);
  QByteArray shell;
  if (id.isEmpty() || !xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id}, &shell))
    return {};
  // Lines "X=0", "Y=0", "WIDTH=800", "HEIGHT=600".
  auto value = [&shell](const char* name) {
    const QRegularExpression line(QStringLiteral("^%1=(\\d+)$").arg(QLatin1String(name)),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromLatin1(shell)).captured(1).toInt();
  };
  return {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
}

bool X11Session::keys(const QString& title, const QStringList& keys) {
  const QString id = title.isEmpty() ? QString() : windowId(title);
  if (!title.isEmpty() && (id.isEmpty() || !xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), id})))
    return false;
  return xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("150")} + keys);
}

namespace {

QStringList Move(QPoint at) {
  return {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()), QStringLiteral("sleep"),
          QStringLiteral("0.3")};
}

// The pointer to `at` from outside any window: weston tells a window that
// appeared under the pointer nothing until the pointer comes in again.
QStringList ArrivalAt(QPoint at) { return Move(QPoint(1, 1)) + Move(at); }

}  // namespace

bool X11Session::drag(QPoint from, QPoint to) {
  auto move = Move;
  // Small first steps start the drag; the last ones let the target see it arrive.
  return xdotool(ArrivalAt(from) + QStringList{QStringLiteral("mousedown"), QStringLiteral("1")} +
                 move(from + QPoint(10, 10)) + move(from + QPoint(20, 20)) + move(to) + move(to + QPoint(5, 5)) +
                 QStringList{QStringLiteral("mouseup"), QStringLiteral("1")});
}

bool X11Session::click(QPoint at) {
  return xdotool(ArrivalAt(at) + QStringList{QStringLiteral("click"), QStringLiteral("1")});
}

bool WaitForLine(QProcess& program, const QString& line) {
  const QDeadlineTimer deadline(20000);
  while (!deadline.hasExpired()) {
    if (program.canReadLine()) {
      if (QString::fromUtf8(program.readLine()).trimmed() == line) return true;
      continue;
    }
    if (program.state() == QProcess::NotRunning) return false;
    program.waitForReadyRead(100);
  }
  return false;
}

}  // namespace testing_support
