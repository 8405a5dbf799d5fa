// See PaneHost.h.
#include "ui/PaneHost.h"

PaneHost::PaneHost(TabHandler tab) : m_tab(std::move(tab)) {}

bool PaneHost::focusNextPrevChild(bool next) {
  if (m_tab && m_tab(next)) return true;
  return QMdiSubWindow::focusNextPrevChild(next);
}
