// The default folders dialog: one dialog for the default source folder, the
// default destination folder (each with its in-force switch) and the
// temporary folder. The caller sets the public fields, shows it and reads
// DirName and Yuko back when pblnOk is true; Edit() does all of that per use.
#pragma once

#include "ui/DialogBase.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class DriveList;
class FolderList;

class frmDefault : public DialogBase {
  Q_OBJECT

 public:
  // The three commands of the (&D)efault menu.
  enum class Use { InDir, OutDir, TmpDir };

  explicit frmDefault(AppContext& context, QWidget* parent = nullptr);
  ~frmDefault() override;

  // Placement with size, fonts, the fixed texts, tool tips.
  bool Form_Load() override;

  void SetFontData() override;
  void SetToolTip(bool on) override;

  // The chosen folder in its on-disk spelling; empty when it cannot be resolved.
  QString DirName() const;
  // Puts both lists on the folder, or on the process's current folder when it
  // cannot be entered; then RefreshForm.
  void setDirName(const QString& folder);
  bool Yuko() const;
  void setYuko(bool blnYuko);
  // Re-reads the drive and folder lists, then renews the path box and title.
  void RefreshForm();

  // Sets the texts, switches, folder and in-force flag of one use.
  void Configure(Use use);
  // Takes the result of one use back into the default folders or TmpDir.
  void TakeBack(Use use);
  // Configure, show modally, and on OK take the result back. False only when
  // the dialog had to be loaded again and that failed.
  bool Edit(Use use);

  bool pblnOk = false;
  QString pstr_lblDrive_Caption;
  QString pstr_cbxDrive_Hint;
  QString pstr_drvDrive_Hint;
  QString pstr_dlbDir_Hint;
  QString pstr_txtDir_Hint;
  bool pblnYukoMukouOk = true;  // the in-force box is offered (else hidden and checked)
  bool pblnDiskFreeOk = true;   // the title carries the drive's free space

 protected:
  // Each showing: pblnOk false, tool tips, the in-force box, btnOk disabled.
  void opening() override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void buildPopup();
  void setTexts();
  void relayout();
  void YukoEnabledChange();
  void DirCaptionChange();

  void drvDrive_Change(const QString& mountPoint);
  void dlbDir_Change();
  void cbxDrive_Click();
  void btnOk_Click();

  DriveList* drvDrive = nullptr;
  FolderList* dlbDir = nullptr;
  QLineEdit* txtDir = nullptr;
  QCheckBox* cbxDrive = nullptr;
  QLabel* lblDrive = nullptr;
  QWidget* pnlDefault = nullptr;
  QPushButton* btnOk = nullptr;
  QPushButton* btnCancel = nullptr;
  QMenu* mnuPopup = nullptr;
  QAction* mnuInDir = nullptr;
  QAction* mnuOutDir = nullptr;
  QAction* mnuTmp = nullptr;
};
