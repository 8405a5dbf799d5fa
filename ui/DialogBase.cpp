// See DialogBase.h.
#include "ui/DialogBase.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLayout>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "settings/SettingsField.h"
#include "settings/StoreLocation.h"
#include "ui/AppContext.h"
#include "ui/Twips.h"

namespace {

constexpr int32_t kDefaultPosition = 1000;
// Pixels a title bar takes beside the title: icon, buttons and gaps.
constexpr int kTitleBarButtons = 120;

// A position below 0 or beyond the screen's extent goes back to the default.
int TitleWidth(const QString& title) {
  return QFontMetrics(QApplication::font()).horizontalAdvance(title) + kTitleBarButtons;
}

int32_t OntoScreen(int32_t twips, int screenPixels) {
  if (twips < 0) return kDefaultPosition;
  if (screenPixels > 0 && twips > PxToTwips(screenPixels)) return kDefaultPosition;
  return twips;
}

}  // namespace

DialogBase::DialogBase(AppContext& context, const QString& prefix, QSize sizeTwips, QWidget* parent)
    : QDialog(parent),
      m_context(context),
      m_prefix(prefix),
      m_sizeTwips(sizeTwips),
      m_placement(*this, !sizeTwips.isEmpty()) {}

DialogBase::~DialogBase() = default;

void DialogBase::restorePlacement() {
  SettingsStore& store = m_context.store;
  const QString leftKey = m_prefix + QStringLiteral("_Left");
  const StoreLocation at = PlacementLocation(store, leftKey);
  // A value that is no number keeps its default.
  int32_t left = kDefaultPosition, top = kDefaultPosition;
  int32_t width = m_sizeTwips.width(), height = m_sizeTwips.height();
  ReadInt32(store, at, leftKey, kDefaultPosition, left);
  ReadInt32(store, at, m_prefix + QStringLiteral("_Top"), kDefaultPosition, top);
  if (!m_sizeTwips.isEmpty()) {
    ReadInt32(store, at, m_prefix + QStringLiteral("_Width"), m_sizeTwips.width(), width);
    ReadInt32(store, at, m_prefix + QStringLiteral("_Height"), m_sizeTwips.height(), height);
  }
  QSize screen;
  if (const QScreen* primary = QGuiApplication::primaryScreen()) screen = primary->geometry().size();
  m_placement.apply(QRect(OntoScreen(left, screen.width()), OntoScreen(top, screen.height()), width, height));
}

void DialogBase::Form_Unload() {
  if (m_loaded && !m_context.AutoRunning) {
    SettingsStore& store = m_context.store;
    const StoreLocation at = CurrentLocation();
    const QRect twips = m_placement.twips();
    if (FramePlacement::PositionsKnown()) {
      WriteInt(store, at, m_prefix + QStringLiteral("_Left"), twips.x());
      WriteInt(store, at, m_prefix + QStringLiteral("_Top"), twips.y());
    }
    if (!m_sizeTwips.isEmpty()) {
      WriteInt(store, at, m_prefix + QStringLiteral("_Width"), twips.width());
      WriteInt(store, at, m_prefix + QStringLiteral("_Height"), twips.height());
    }
  }
  m_loaded = false;
}

bool DialogBase::showModal() {
  if (!m_loaded && !Form_Load()) return false;
  opening();
  fitToScreen();
  exec();
  return true;
}

// A dialog shrinks back when the font gets smaller: its size follows the
// controls' hint, not the size an earlier larger font gave it.
void DialogBase::fitToScreen() {
  if (layout()) layout()->activate();
  QSize wanted = m_sizeTwips.isEmpty() ? sizeHint() : minimumSizeHint();
  // The title bar keeps room for the whole title beside its icon and buttons.
  wanted.setWidth(std::max(wanted.width(), TitleWidth(windowTitle())));
  m_placement.fitOnScreen(wanted);
}

void DialogBase::closeEvent(QCloseEvent* event) {
  QDialog::closeEvent(event);
  if (event->isAccepted()) Form_Unload();
}
