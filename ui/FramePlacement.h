// The remembered place of a top-level window (the main window, a dialog): the
// rectangle of its frame, title bar and borders included, in twips. Saving
// gives back the rectangle that was restored as long as the window stays
// there, so that opening and closing never moves it.
//
// The frame's extent is known only once the window manager has framed the
// shown window. The window is placed when it is shown, with the extent of its
// parent's frame as the likely one, and checked again once its own is known.
#pragma once

#include <QElapsedTimer>
#include <QMargins>
#include <QObject>
#include <QRect>
#include <QTimer>

#include "ui/Twips.h"

class QWidget;

class FramePlacement : public QObject {
 public:
  // sized: the outer size is remembered too; otherwise only the position.
  FramePlacement(QWidget& window, bool sized);

  // Puts the frame's top left corner (and, when sized, its outer size) on `twips`.
  void apply(const QRect& twips);
  // The frame in twips, for saving: the applied twips for every value that
  // has not changed since.
  QRect twips() const;
  // Whether the platform tells and takes windows' positions: Wayland does
  // neither, and a position saved there would be nonsense.
  static bool PositionsKnown();
  // Gives the window its size, made smaller where the screen's free area is
  // smaller, and moves its frame wholly onto that area; a window that fits
  // where it was put stays there. `client`: the client size of a window whose
  // size is not remembered, else the least one its remembered size grows to.
  void fitOnScreen(QSize client);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void settle();
  void rememberFrame();
  QRect clientFor(const QMargins& frame) const;
  // The frame's extent as last seen, or the one the window is likely to get.
  QMargins expectedFrame() const;

  QWidget& m_window;
  bool m_sized;
  TwipsPlacement m_twips;
  QRect m_wanted;          // the frame in pixels
  QMargins m_frame;        // the frame's extent, as last seen on the shown window
  bool m_pending = false;   // not yet seen in place, framed, on the screen
  QElapsedTimer m_shownFor;  // since the window was first shown
  QTimer m_check;            // the next look at a pending window
  int m_corrections = 0;
  bool m_frameless = false;  // the shown window got no frame
};
