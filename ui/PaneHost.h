// The sub-window that hosts a pane in the main window. Qt keeps Tab inside a
// sub-window; here Tab and Shift+Tab are first offered to the main window,
// which leads them on from the pane's last control to its run buttons.
#pragma once

#include <QMdiSubWindow>
#include <functional>

class PaneHost : public QMdiSubWindow {
  Q_OBJECT

 public:
  // Moves the focus on and answers true, or answers false to leave Tab to Qt.
  using TabHandler = std::function<bool(bool next)>;
  explicit PaneHost(TabHandler tab);

 protected:
  bool focusNextPrevChild(bool next) override;

 private:
  TabHandler m_tab;
};
