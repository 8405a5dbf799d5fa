// Positions and sizes are kept in twips, as the settings store has them;
// 15 twips make one pixel.
#pragma once

#include <QRect>

inline constexpr int kTwipsPerPixel = 15;

inline constexpr int TwipsToPx(int twips) { return twips / kTwipsPerPixel; }
inline constexpr int PxToTwips(int px) { return px * kTwipsPerPixel; }

// A window's place as read from the store (twips) and as applied (pixels).
// Saving gives back the stored twips for every value the window still has, so
// the keys of a window that was not moved never drift by the pixel rounding.
class TwipsPlacement {
 public:
  QRect apply(const QRect& twips) {
    m_twips = twips;
    m_pixels = QRect(TwipsToPx(twips.x()), TwipsToPx(twips.y()), TwipsToPx(twips.width()), TwipsToPx(twips.height()));
    m_applied = true;
    return m_pixels;
  }
  QRect toTwips(const QRect& pixels) const {
    return QRect(keep(pixels.x(), m_pixels.x(), m_twips.x()), keep(pixels.y(), m_pixels.y(), m_twips.y()),
                 keep(pixels.width(), m_pixels.width(), m_twips.width()),
                 keep(pixels.height(), m_pixels.height(), m_twips.height()));
  }

 private:
  int keep(int now, int applied, int stored) const { return m_applied && now == applied ? stored : PxToTwips(now); }
  QRect m_twips;
  QRect m_pixels;
  bool m_applied = false;
};
