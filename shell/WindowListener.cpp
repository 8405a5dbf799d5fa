// See WindowListener.h.
#include "shell/WindowListener.h"

#include "shell/AppContext.h"
#include "shell/MessageBox.h"
#include "shell/WindowInterfaces.h"

void WindowListener::logLine(const QString& line) {
  if (m_context.windows.status) m_context.windows.status->ListInAdd(line);
  if (m_echo) m_echo(line);
}

void WindowListener::extractedFolder(const QString& folder) {
  if (m_context.windows.outFile) m_context.windows.outFile->ListInAdd(folder);
}

void WindowListener::busyNotice(const QString& text) {
  MessageBox::Notice(m_context.windows.main ? m_context.windows.main->dialogParent() : nullptr, text);
}
