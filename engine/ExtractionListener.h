// How the engine reports while it extracts: one call per result-log line, one
// per successfully extracted folder, the busy-library notice (a modal message
// box in the windows), and the password request (a dialog). The windows
// implement it; the automatic run and the tests implement it without windows.
#pragma once

#include <QString>
#include <string>

class PasswordBook;

// The answer to a password request.
struct PasswordAnswer {
  enum class Action { Skip, Try, CancelRun };
  Action action = Action::Skip;
  std::string password;  // for Try; the engine wipes it after use
  bool remember = false;  // keep it in the desktop's keyring
};

class ExtractionListener {
 public:
  virtual ~ExtractionListener() = default;
  virtual void logLine(const QString& line) = 0;
  virtual void extractedFolder(const QString& folder) = 0;
  virtual void busyNotice(const QString& text) = 0;
  // The passwords of the run; without them an encrypted archive is refused.
  virtual PasswordBook* passwords() { return nullptr; }
  // None of the known passwords opens `archive` (as the panes show its name);
  // `wrong`: some were tried. Only the windows ask; others skip the archive.
  virtual PasswordAnswer askPassword(const QString& /*archive*/, bool /*wrong*/) { return {}; }
};
