// See FramePlacement.h. Qt places a window that was never shown by its
// client area on some platforms (X11) and by its frame on others, and reads
// positions back by the frame; the window is therefore placed here by its
// client area, computed from the frame's extent. While a window manager frames
// a window it moves it through passing states: the window is looked at again
// only once it has kept still for a moment.
#include "ui/FramePlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <QWidget>
#include <QWindow>

namespace {

// A window manager that keeps putting the window elsewhere is let be.
constexpr int kMaxCorrections = 4;
// How long a window keeps still before it counts as placed by the window manager.
constexpr int kCalmMs = 100;
// How long a shown window may stay unframed before it counts as one that gets no frame.
constexpr int kFrameWaitMs = 500;

// Asked of the platform each time: the widget's own copy is renewed only when
// the window moves, and the window manager may tell the frame later.
QMargins FrameMargins(const QWidget& window) {
  const QWindow* handle = window.windowHandle();
  return handle ? handle->frameMargins() : QMargins();
}

// The frame a window is likely to get: the one its parent window has.
QMargins LikelyMargins(const QWidget& window) {
  const QWidget* parent = window.parentWidget() ? window.parentWidget()->window() : nullptr;
  return parent && parent->isVisible() ? FrameMargins(*parent) : QMargins();
}

}  // namespace

FramePlacement::FramePlacement(QWidget& window, bool sized) : m_window(window), m_sized(sized) {
  m_window.installEventFilter(this);
  m_check.setSingleShot(true);
  connect(&m_check, &QTimer::timeout, this, [this] {
    if (!m_frameless && m_shownFor.isValid() && m_shownFor.elapsed() >= kFrameWaitMs)
      m_frameless = FrameMargins(m_window).isNull();
    settle();
  });
}

void FramePlacement::apply(const QRect& twips) {
  m_wanted = m_twips.apply(twips);
  m_pending = true;
  m_corrections = 0;
  if (m_window.isVisible()) {
    settle();
    return;
  }
  // Until it is shown the window stands there as if it had no frame.
  m_window.move(m_wanted.topLeft());
  if (m_sized) m_window.resize(m_wanted.size());
}

QRect FramePlacement::twips() const {
  // A window never shown has no frame yet; one shown stands where it was put
  // until its frame has been seen.
  if (!m_shownFor.isValid()) return m_twips.toTwips(QRect(m_window.pos(), m_window.size()));
  const bool frameKnown = !m_frame.isNull() || m_frameless;
  return m_twips.toTwips(frameKnown ? m_window.geometry().marginsAdded(m_frame) : m_wanted);
}

bool FramePlacement::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &m_window) return QObject::eventFilter(watched, event);
  const QEvent::Type type = event->type();
  // A hidden window loses its frame (the window manager lets it go): the
  // last one seen stands for it.
  if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::Hide) && m_window.isVisible())
    rememberFrame();
  if (!m_pending) return QObject::eventFilter(watched, event);
  if (type == QEvent::Show) {
    // Before the window reaches the screen: placed with the likely frame.
    if (!m_shownFor.isValid()) m_shownFor.start();
    settle();
  } else if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::WindowStateChange) &&
             m_shownFor.isValid()) {
    m_check.start(kCalmMs);
  }
  return QObject::eventFilter(watched, event);
}

bool FramePlacement::PositionsKnown() {
  return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QMargins FramePlacement::expectedFrame() const {
  if (!m_frame.isNull() || m_frameless) return m_frame;
  const QMargins frame = FrameMargins(m_window);
  return frame.isNull() ? LikelyMargins(m_window) : frame;
}

void FramePlacement::fitOnScreen(QSize client) {
  const QScreen* screen = m_window.screen();
  if (!screen) return;
  const QMargins frame = expectedFrame();
  // A window manager that is still starting, or publishes a work area Qt
  // cannot read, leaves it empty: the whole screen is the room then, never
  // none (a window sized to nothing would never show).
  const QRect work = screen->availableGeometry();
  const QRect free = work.isEmpty() ? screen->geometry() : work;
  const QSize wanted = m_sized ? m_wanted.size().expandedTo(client.grownBy(frame)) : client.grownBy(frame);
  QRect outer(m_wanted.topLeft(), wanted.boundedTo(free.size()));
  outer.moveLeft(std::clamp(outer.left(), free.left(), free.right() + 1 - outer.width()));
  outer.moveTop(std::clamp(outer.top(), free.top(), free.bottom() + 1 - outer.height()));
  // A remembered size is applied with the place; another is the window's own.
  if (!m_sized && outer.size().shrunkBy(frame) != m_window.size()) m_window.resize(outer.size().shrunkBy(frame));
  if (outer.topLeft() == m_wanted.topLeft() && (!m_sized || outer.size() == m_wanted.size())) return;
  apply(QRect(PxToTwips(outer.x()), PxToTwips(outer.y()), PxToTwips(outer.width()), PxToTwips(outer.height())));
}

void FramePlacement::rememberFrame() {
  const QMargins frame = FrameMargins(m_window);
  if (!frame.isNull() || m_frameless) m_frame = frame;
}

QRect FramePlacement::clientFor(const QMargins& frame) const {
  const QPoint topLeft = m_wanted.topLeft() + QPoint(frame.left(), frame.top());
  if (!m_sized) return {topLeft, m_window.size()};
  return {topLeft, m_wanted.size().shrunkBy(frame).expandedTo(QSize(1, 1))};
}

void FramePlacement::settle() {
  const Qt::WindowStates placedElsewhere = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
  if (!m_pending || !m_window.isVisible() || (m_window.windowState() & placedElsewhere)) return;
  rememberFrame();
  QMargins frame = FrameMargins(m_window);
  const bool framed = !frame.isNull();
  if (!framed && !m_frameless) frame = LikelyMargins(m_window);
  const QRect client = clientFor(frame);
  const bool inPlace = m_sized ? m_window.geometry() == client : m_window.geometry().topLeft() == client.topLeft();
  if (!inPlace) {
    if (m_corrections++ >= kMaxCorrections) {
      m_pending = false;
      return;
    }
    m_window.setGeometry(client);
    m_check.start(kCalmMs);
  } else if (framed || m_frameless) {
    m_pending = false;
  } else {
    // Not framed yet, or never to be: look again once a window manager would have framed it.
    m_check.start(kFrameWaitMs);
  }
}
