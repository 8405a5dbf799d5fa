// The desktop notification at the end of a run that no one watched: how many
// archives were extracted and how many were not, through the freedesktop
// notification service on the session bus. Where there is no bus or no such
// service, nothing happens: a notice is a courtesy, never a condition.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <chrono>

#include "shell/BatchRun.h"

class RunNotice {
 public:
  // A run shorter than this is over before anyone turned away.
  static constexpr std::chrono::seconds kLongRun{5};

  explicit RunNotice(const QDBusConnection& bus = QDBusConnection::sessionBus()) : m_bus(bus) {}

  // Whether a run deserves a notice: it was long, or, when `failuresToo` (a
  // run started from a file manager shows nothing else), an archive was not extracted.
  static bool Deserved(const BatchRun::Tally& tally, bool failuresToo);
  // The notice of a run: its end line as the summary, the counts as the body.
  bool showRun(const BatchRun::Tally& tally, std::chrono::milliseconds wait = {});
  // Hands a notice to the service. With a `wait`, waits that long at most for
  // its answer (the program may end right after); true when the service took
  // it. Without, true when it is on its way.
  bool show(const QString& summary, const QString& body, std::chrono::milliseconds wait = {});

 private:
  QDBusConnection m_bus;
};
