// See PaneBase.h.
#include "ui/PaneBase.h"

#include <QAbstractScrollArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>

#include "settings/SettingsField.h"
#include "settings/StoreLocation.h"
#include "ui/AppContext.h"
#include "ui/CommonMenu.h"
#include "ui/WindowFont.h"
#include "ui/Twips.h"

PaneBase::PaneBase(AppContext& context, const QString& placementPrefix, QWidget* parent)
    : QWidget(parent),
      m_context(context),
      m_prefix(placementPrefix),
      m_common(new CommonMenu(context, this)),
      m_popup(new QMenu(QStringLiteral("Menu"), this)) {
  m_popup->setObjectName(QStringLiteral("mnuPopup"));
}

PaneBase::~PaneBase() = default;

void PaneBase::Menu_Enabled(const QString& flag) { m_common->setEnabledText(flag); }

void PaneBase::SetFontData() {
  const QFont font = SettingsFont(m_context.settings);
  ApplyFont(this, font);
  for (QWidget* control : fontControls()) ApplyFont(control, font);
  relayout();
}

bool PaneBase::Form_Load() {
  if (!m_context.AutoRunning) loadLook();
  return true;
}

void PaneBase::loadLook() {
  restorePlacement();
  SetFontData();
  setTexts();
  SetToolTip(m_context.settings.Tip);
}

QAction* PaneBase::addPopupItem(const char* name) {
  QAction* action = m_popup->addAction(QString());
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

void PaneBase::finishPopup() { m_common->addTo(m_popup); }

void PaneBase::addPopupTrigger(QWidget* control) {
  control->installEventFilter(this);
  // Item views take mouse presses on their viewport.
  if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) area->viewport()->installEventFilter(this);
}

void PaneBase::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    m_popup->popup(event->globalPosition().toPoint());
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

bool PaneBase::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
      m_popup->popup(mouse->globalPosition().toPoint());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void PaneBase::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  relayout();
}

QWidget* PaneBase::placementWindow() {
  if (auto* host = qobject_cast<QMdiSubWindow*>(parentWidget())) return host;
  return this;
}

void PaneBase::restorePlacement() {
  if (m_context.AutoRunning || m_context.settings.Resize) return;
  const StoreLocation at = PlacementLocation(m_context.store, m_prefix + QStringLiteral("_Left"));
  QWidget* window = placementWindow();
  const QRect now = window->geometry();
  int32_t left = PxToTwips(now.x()), top = PxToTwips(now.y());
  int32_t width = PxToTwips(now.width()), height = PxToTwips(now.height());
  // A value that is no number keeps the pane's current one.
  ReadInt32(m_context.store, at, m_prefix + QStringLiteral("_Left"), left, left);
  ReadInt32(m_context.store, at, m_prefix + QStringLiteral("_Top"), top, top);
  ReadInt32(m_context.store, at, m_prefix + QStringLiteral("_Width"), width, width);
  ReadInt32(m_context.store, at, m_prefix + QStringLiteral("_Height"), height, height);
  window->setGeometry(m_placement.apply(QRect(left, top, width, height)));
}

void PaneBase::savePlacement() {
  if (m_context.AutoRunning || m_context.settings.Resize) return;
  if (m_context.windows.main && m_context.windows.main->windowStateValue() != 0) return;
  const StoreLocation at = CurrentLocation();
  const QRect g = m_placement.toTwips(placementWindow()->geometry());
  WriteInt(m_context.store, at, m_prefix + QStringLiteral("_Left"), g.x());
  WriteInt(m_context.store, at, m_prefix + QStringLiteral("_Top"), g.y());
  WriteInt(m_context.store, at, m_prefix + QStringLiteral("_Width"), g.width());
  WriteInt(m_context.store, at, m_prefix + QStringLiteral("_Height"), g.height());
}
