// What the dialogs share (frmOption, frmDefault, frmAbout, frmMenuMente): the
// remembered position (and size) under <Prefix>_Left, _Top (_Width, _Height),
// corrected onto the screen, and the life cycle: loaded once, then only shown
// and hidden by their buttons; the close box unloads the dialog (saving its
// placement) and the next showing loads it again.
#pragma once

#include <QDialog>
#include <QSize>

#include "ui/FramePlacement.h"
#include "ui/WindowInterfaces.h"

struct AppContext;

class DialogBase : public QDialog, public virtual CommonWindowOps {
  Q_OBJECT

 public:
  ~DialogBase() override;

  // The dialog's load handling; false when it fails, which the caller reports
  // as "Rukasu2 <name> Form_Load ERR".
  virtual bool Form_Load() = 0;
  // Saves the placement keys (not during the automatic run, and not for a
  // dialog that was never loaded); the dialog then counts as unloaded.
  void Form_Unload();
  bool isLoaded() const { return m_loaded; }

  // Shows the dialog modally: loads it again first when its close box
  // unloaded it, then runs its opening steps. False only when that load
  // failed (nothing was shown).
  bool showModal();

 protected:
  // prefix: "Option", "Default", "About", "MenuMente". sizeTwips: the default
  // width and height for a dialog that also remembers its size, else empty.
  DialogBase(AppContext& context, const QString& prefix, QSize sizeTwips, QWidget* parent);

  // Reads the placement (location chosen by the probe on the left key), puts
  // left and top back on the screen when they lie off it, and applies it to
  // the dialog's frame. A stored value that is no number keeps its default.
  void restorePlacement();
  void markLoaded() { m_loaded = true; }
  // Gives the dialog the size its controls ask for at the present font (the
  // remembered size, when it has one, grown to their least), no larger than
  // the screen's free area, and puts it wholly on that area.
  void fitToScreen();
  // What the dialog does each time it is shown.
  virtual void opening() {}

  void closeEvent(QCloseEvent* event) override;

  AppContext& m_context;

 private:
  QString m_prefix;
  QSize m_sizeTwips;
  FramePlacement m_placement;
  bool m_loaded = false;
};
