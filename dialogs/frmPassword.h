// The question for an archive's password during a run: the archive's name,
// the password typed hidden, "remember it", and the answers try it, skip this
// archive, or cancel the run. The typed text is cleared once it is taken.
#pragma once

#include <QDialog>

#include "engine/ExtractionListener.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmPassword : public QDialog {
  Q_OBJECT

 public:
  // `wrong`: the known passwords were tried and none opened it.
  frmPassword(const QString& archive, bool wrong, QWidget* parent);
  ~frmPassword() override;

  // Shows the dialog modally and returns the answer.
  PasswordAnswer ask();

  QLineEdit* txtPassword = nullptr;
  QCheckBox* chkRemember = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnSkip = nullptr;
  QPushButton* btnCancelRun = nullptr;

 private:
  PasswordAnswer::Action m_action = PasswordAnswer::Action::Skip;
};
