// What the six panes of the main window share: the common menu (in the pane's
// popup menu after its own items), Menu_Enabled, the font of the listed
// controls, the right-button popup, and the pane's remembered placement under
// the keys <Prefix>_Left, _Top, _Width and _Height.
#pragma once

#include <QList>
#include <QWidget>

#include "ui/Twips.h"
#include "ui/WindowInterfaces.h"

class QAction;
class QMenu;
class CommonMenu;
struct AppContext;

class PaneBase : public QWidget, public virtual PaneOps {
  Q_OBJECT

 public:
  // placementPrefix: "InDir", "InFile", "File", "OutDir", "Status", "OutFile".
  PaneBase(AppContext& context, const QString& placementPrefix, QWidget* parent = nullptr);
  ~PaneBase() override;

  // PaneOps
  void Menu_Enabled(const QString& flag) override;
  void SetFontData() override;
  QWidget* paneWidget() override { return this; }

  CommonMenu& commonMenu() const { return *m_common; }
  QMenu* popupMenu() const { return m_popup; }

  // Load handling, nothing during the automatic run: the placement, the font,
  // the pane's texts and its tool tips. Always true: a stored placement value
  // that is no number keeps the pane's current one.
  virtual bool Form_Load();
  // Close handling: saves the placement.
  virtual void Form_Unload() { savePlacement(); }

  // Restores the placement unless Resize is on or the
  // automatic run is under way. A stored value that is no number keeps the
  // pane's current one.
  void restorePlacement();
  // Close handling: saves the placement when the main window is in its normal
  // state, Resize is off and the automatic run is not under way.
  void savePlacement();

 protected:
  // The controls that take the font (the pane itself always does).
  virtual QList<QWidget*> fontControls() const = 0;
  // The pane's own layout (its Form_Resize), run after a font change and on resize.
  virtual void relayout() {}

  // The pane's caption and popup texts, set on load.
  virtual void setTexts() {}
  // What Form_Load does outside the automatic run.
  void loadLook();

  // Adds the pane's own popup items first (addPopupItem or by hand), then call
  // finishPopup() once.
  QAction* addPopupItem(const char* name);
  void finishPopup();
  // A right-button press on this control (or on the pane itself) opens the popup.
  void addPopupTrigger(QWidget* control);
  // The window whose geometry is remembered: the sub-window that hosts the
  // pane, or the pane itself when it stands alone.
  QWidget* placementWindow();

  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  AppContext& m_context;

 private:
  QString m_prefix;
  TwipsPlacement m_placement;
  CommonMenu* m_common;
  QMenu* m_popup;
};
