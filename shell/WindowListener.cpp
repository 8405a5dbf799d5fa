// See WindowListener.h.
#include "shell/WindowListener.h"

#include "dialogs/frmPassword.h"
#include "engine/Passwords.h"
#include "ui/AppContext.h"
#include "ui/MessageBox.h"
#include "ui/WindowInterfaces.h"

void WindowListener::logLine(const QString& line) {
  if (m_context.windows.status) m_context.windows.status->ListInAdd(line);
  if (m_echo) m_echo(line);
}

void WindowListener::extractedFolder(const QString& folder) {
  if (m_context.windows.outFile) m_context.windows.outFile->ListInAdd(folder);
}

void WindowListener::busyNotice(const QString& text) {
  // Nobody could answer a message box of the automatic run: the notice goes
  // into the log, and the run goes on as after the box.
  if (m_context.AutoRunning) {
    logLine(text);
    return;
  }
  MessageBox::Notice(m_context.windows.main ? m_context.windows.main->dialogParent() : nullptr, text);
}

PasswordBook* WindowListener::passwords() { return &RunPasswords(); }

PasswordAnswer WindowListener::askPassword(const QString& archive, bool wrong) {
  if (m_context.AutoRunning) return {};  // the automatic run never asks
  frmPassword dialog(archive, wrong, m_context.windows.main ? m_context.windows.main->dialogParent() : nullptr);
  return dialog.ask();
}
