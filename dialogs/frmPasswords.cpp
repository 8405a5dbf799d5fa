// See frmPasswords.h.
#include "dialogs/frmPasswords.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "text/MessageCatalogue.h"
#include "ui/Named.h"

frmPasswords::frmPasswords(PasswordKeyring& keyring, QWidget* parent) : QDialog(parent), m_keyring(keyring) {
  setObjectName(QStringLiteral("frmPasswords"));
  setWindowTitle(MessageCatalogue::Product(ProductMsg::PasswordsCaption));
  auto* layout = new QVBoxLayout(this);
  lblNoKeyring = Named(new QLabel(MessageCatalogue::Product(ProductMsg::PasswordsNoKeyring), this), "lblNoKeyring");
  layout->addWidget(lblNoKeyring);
  lstPasswords = Named(new QListWidget(this), "lstPasswords");
  layout->addWidget(lstPasswords);
  btnRemove = Named(new QPushButton(MessageCatalogue::Product(ProductMsg::PasswordsRemove), this), "btnRemove");
  btnRemoveAll = Named(new QPushButton(MessageCatalogue::Product(ProductMsg::PasswordsRemoveAll), this), "btnRemoveAll");
  btnClose = Named(new QPushButton(MessageCatalogue::Shared(SharedMsg::OkButton), this), "btnClose");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnRemove);
  buttons->addWidget(btnRemoveAll);
  buttons->addStretch();
  buttons->addWidget(btnClose);
  layout->addLayout(buttons);
  connect(btnRemove, &QPushButton::clicked, this, &frmPasswords::removeSelected);
  connect(btnRemoveAll, &QPushButton::clicked, this, &frmPasswords::removeAll);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
  reload();
}

frmPasswords::~frmPasswords() = default;

QString frmPasswords::Masked(const std::string& password) {
  const QString text = QString::fromUtf8(password.data(), static_cast<qsizetype>(password.size()));
  const QList<uint> characters = text.toUcs4();
  if (characters.isEmpty()) return {};
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), 1) +
         QString(characters.size() - 1, QChar(0x25CF));
}

void frmPasswords::reload() {
  const bool available = m_keyring.available();
  lblNoKeyring->setVisible(!available);
  m_items = available ? m_keyring.load() : std::vector<RememberedPassword>{};
  lstPasswords->clear();
  for (const RememberedPassword& item : m_items) lstPasswords->addItem(Masked(item.password));
  btnRemove->setEnabled(!m_items.empty());
  btnRemoveAll->setEnabled(!m_items.empty());
}

void frmPasswords::removeSelected() {
  const int row = lstPasswords->currentRow();
  if (row < 0 || row >= static_cast<int>(m_items.size())) return;
  m_keyring.remove(m_items[static_cast<size_t>(row)].id);
  reload();
}

void frmPasswords::removeAll() {
  m_keyring.removeAll();
  reload();
}

QPushButton* PasswordsButton(QWidget* parent) {
  auto* button = Named(new QPushButton(MessageCatalogue::Product(ProductMsg::PasswordsButton), parent), "btnPasswords");
  button->setAutoDefault(false);
  QObject::connect(button, &QPushButton::clicked, parent, [parent] {
    PasswordKeyring keyring;
    frmPasswords(keyring, parent->window()).exec();
  });
  return button;
}
