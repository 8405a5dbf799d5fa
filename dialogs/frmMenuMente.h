// frmMenuMente: the folder alias maintenance dialog, one instance serving both
// folder panes. The pane fills its ten slots, shows it for its own list, and
// on OK reads the list back; meanwhile the user renames, reorders and deletes
// aliases in the dialog's working copy. Cancel or the close box keeps nothing.
#pragma once

#include <array>

#include "ui/DialogBase.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
struct AppContext;

class frmMenuMente : public DialogBase, public MenuMenteOps {
  Q_OBJECT

 public:
  static constexpr int kSlots = 10;

  explicit frmMenuMente(AppContext& context, QWidget* parent = nullptr);
  ~frmMenuMente() override;

  // Load handling: placement, font, captions, tool tips, all slots emptied.
  // False when a stored placement value is not a number.
  bool Form_Load() override;
  static QString loadErrorText() { return QStringLiteral("frmMenuMente Form_Load ERR"); }

  // MenuMenteOps
  void Set_Menu(int index, const QString& name, const QString& dir) override;
  void Get_Menu(int index, QString& name, QString& dir) override;
  int MenuCount() override;
  bool ShowModal(const QString& meCaption) override;

  // CommonWindowOps
  void SetFontData() override;
  void SetToolTip(bool on) override;

  // The dialog's public fields: the name of the pane whose aliases are edited,
  // and whether the dialog was closed with OK.
  QString pstr_Me_Caption;
  bool pblnOk = false;

 protected:
  void opening() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ensureLoaded();
  void MenteEnabledChange();
  void showFolder(int row);
  void selectRow(int row);
  void swapWith(int from, int to);
  void btnName_Click();
  void btnUp_Click();
  void btnDown_Click();
  void btnDel_Click();
  void btnDelAll_Click();

  std::array<QString, kSlots> m_names;
  std::array<QString, kSlots> m_dirs;
  QListWidget* lbxMenu;
  QLineEdit* txtDir;
  QPushButton* btnName;
  QToolButton* btnUp;
  QToolButton* btnDown;
  QToolButton* btnDel;
  QToolButton* btnDelAll;
  QPushButton* btnOk;
  QPushButton* btnCancel;
};
