// See MainPlacement.h.
#include "shell/MainPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "settings/SettingsField.h"
#include "settings/StoreLocation.h"
#include "ui/FramePlacement.h"
#include "ui/Twips.h"

namespace {

constexpr int kDefaultLeft = 1000, kDefaultTop = 1000, kDefaultWidth = 8000, kDefaultHeight = 8000;

QSize ScreenTwips() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize px = screen ? screen->geometry().size() : QSize(1024, 768);
  return {PxToTwips(px.width()), PxToTwips(px.height())};
}

}  // namespace

void RestoreMainPlacement(QWidget& window, SettingsStore& store, FramePlacement& placement, int leastHeight) {
  const StoreLocation at = PlacementLocation(store, QStringLiteral("Main_Left"));
  const int32_t defaultHeight = std::max(kDefaultHeight, PxToTwips(leastHeight));
  int32_t left = kDefaultLeft, top = kDefaultTop, width = kDefaultWidth, height = defaultHeight;
  int16_t state = 0;
  ReadInt32(store, at, QStringLiteral("Main_Left"), kDefaultLeft, left);
  ReadInt32(store, at, QStringLiteral("Main_Top"), kDefaultTop, top);
  ReadInt32(store, at, QStringLiteral("Main_Width"), kDefaultWidth, width);
  ReadInt32(store, at, QStringLiteral("Main_Height"), defaultHeight, height);
  ReadInt16(store, at, QStringLiteral("Main_WindowState"), 0, state);
  const QSize screen = ScreenTwips();
  if (left < 0 || left > screen.width()) left = kDefaultLeft;
  if (top < 0 || top > screen.height()) top = kDefaultTop;
  if (width < 2000) width = kDefaultWidth;
  if (height < 500) height = defaultHeight;
  placement.apply(QRect(left, top, width, height));
  // A size saved on a larger screen, or at a smaller scale, is made to fit.
  placement.fitOnScreen(QSize());
  if (state == 2)
    window.setWindowState(Qt::WindowMaximized);
  else if (state == 1)
    window.setWindowState(Qt::WindowMinimized);
}

void SaveMainPlacement(int state, SettingsStore& store, const FramePlacement& placement) {
  const StoreLocation at = CurrentLocation();
  WriteInt(store, at, QStringLiteral("Main_WindowState"), state);
  if (state != 0) return;
  const QRect g = placement.twips();
  if (FramePlacement::PositionsKnown()) {
    WriteInt(store, at, QStringLiteral("Main_Left"), g.x());
    WriteInt(store, at, QStringLiteral("Main_Top"), g.y());
  }
  WriteInt(store, at, QStringLiteral("Main_Width"), g.width());
  WriteInt(store, at, QStringLiteral("Main_Height"), g.height());
}
