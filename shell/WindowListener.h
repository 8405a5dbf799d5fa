// Delivers what the engine reports to the windows: log lines to the result
// log pane, extracted folders to the extracted folders pane, and the busy
// notice as a message box (as a log line in the automatic run, where nobody
// could answer one), and asks for passwords with a dialog (never in the
// automatic run). Windows that are not loaded are skipped.
#pragma once

#include <functional>

#include "engine/ExtractionListener.h"

struct AppContext;

class WindowListener : public ExtractionListener {
 public:
  explicit WindowListener(AppContext& context) : m_context(context) {}
  void logLine(const QString& line) override;
  void extractedFolder(const QString& folder) override;
  void busyNotice(const QString& text) override;
  PasswordBook* passwords() override;
  PasswordAnswer askPassword(const QString& archive, bool wrong) override;
  // Every log line is also handed here when set.
  void setEcho(std::function<void(const QString&)> echo) { m_echo = std::move(echo); }

 private:
  AppContext& m_context;
  std::function<void(const QString&)> m_echo;
};
