// The passwords remembered in the desktop's keyring, as the options dialog
// manages them: listed masked (the first character and a dot for each other),
// removed one at a time or all at once. A button for the options dialog opens it.
#pragma once

#include <QDialog>
#include <vector>

#include "settings/PasswordKeyring.h"

class QLabel;
class QListWidget;
class QPushButton;

class frmPasswords : public QDialog {
  Q_OBJECT

 public:
  // `keyring`: where the passwords are; the dialog keeps a reference.
  frmPasswords(PasswordKeyring& keyring, QWidget* parent);
  ~frmPasswords() override;

  // What the list shows for a password.
  static QString Masked(const std::string& password);

  QListWidget* lstPasswords = nullptr;
  QLabel* lblNoKeyring = nullptr;
  QPushButton* btnRemove = nullptr;
  QPushButton* btnRemoveAll = nullptr;
  QPushButton* btnClose = nullptr;

 private:
  void reload();
  void removeSelected();
  void removeAll();

  PasswordKeyring& m_keyring;
  std::vector<RememberedPassword> m_items;
};

// The options dialog's button that opens frmPasswords over the desktop's keyring.
QPushButton* PasswordsButton(QWidget* parent);
