// A Wayland compositor of a test's own (weston), for starting real programs
// on Qt's Wayland platform: headless, or in a window of an X server (Xvfb)
// whose pointer, driven with xdotool, weston turns into Wayland input.
#pragma once

#include <QProcess>
#include <QTemporaryDir>

namespace testing_support {

class WestonSession {
 public:
  // backend: "headless-backend.so" or "x11-backend.so" (then `display` names
  // the X server); the output is width x height.
  WestonSession(const QString& backend, int width, int height, const QString& display = {});
  ~WestonSession();
  WestonSession(const WestonSession&) = delete;
  WestonSession& operator=(const WestonSession&) = delete;

  // Empty when the compositor runs; otherwise why there is none.
  const QString& unavailable() const { return m_unavailable; }
  // The variables that put a program on this compositor, DISPLAY left out.
  QProcessEnvironment clientEnvironment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

 private:
  QTemporaryDir m_runtime;
  QProcess m_compositor;
  QString m_unavailable;
};

}  // namespace testing_support
