// An X server of its own (Xvfb) on which a test starts real programs and
// drives them with xdotool, as a user would with the mouse and the keyboard:
// for what the offscreen platform cannot show, such as drag and drop between
// two programs.
#pragma once

#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace testing_support {

class X11Session {
 public:
  // size: the screen's, as Xvfb takes it ("1280x1024").
  explicit X11Session(const QString& size = QStringLiteral("1280x1024"));
  ~X11Session();
  X11Session(const X11Session&) = delete;
  X11Session& operator=(const X11Session&) = delete;

  // Empty when the server runs; otherwise why there is none.
  const QString& unavailable() const { return m_unavailable; }
  // The server's name for DISPLAY (":1").
  const QString& display() const { return m_display; }

  // Starts a program with its windows on this server, with these variables
  // added to its environment (QT_QPA_PLATFORM and WAYLAND_DISPLAY there put
  // it on a compositor that draws into this server); the session ends it.
  QProcess& start(const QString& program, const QStringList& arguments,
                  const QProcessEnvironment& extra = QProcessEnvironment());
  // Waits up to 30 s for a window manager started on this server to take
  // charge (it names its desktops); false when none did.
  bool waitForWindowManager();
  // Waits up to 20 s for a window of exactly this title; its place on the
  // screen, or an empty rectangle.
  QRect window(const QString& title);
  // Gives the keyboard to the window of this title, or with no title leaves
  // it where it is, and types the keys (xdotool names: "ctrl+1", "ctrl+Tab")
  // one after the other.
  bool keys(const QString& title, const QStringList& keys);
  // Presses the left button at `from`, moves to `to` in steps and lets go.
  bool drag(QPoint from, QPoint to);
  // Clicks the left button there.
  bool click(QPoint at);

 private:
  bool xdotool(const QStringList& arguments, QByteArray* output = nullptr, int timeoutMs = 20000);
  QString windowId(const QString& title);

  QProcess m_server;
  QString m_display;
  QString m_unavailable;
  std::vector<std::unique_ptr<QProcess>> m_programs;
};

// Waits up to 20 s for the program to print this line; false when it did not.
bool WaitForLine(QProcess& program, const QString& line);

}  // namespace testing_support
