// See frmPassword.h.
#include "dialogs/frmPassword.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "text/MessageCatalogue.h"
#include "ui/Named.h"

frmPassword::frmPassword(const QString& archive, bool wrong, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmPassword"));
  setWindowTitle(MessageCatalogue::Product(ProductMsg::PasswordCaption));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      MessageCatalogue::Product(wrong ? ProductMsg::PasswordWrongPrompt : ProductMsg::PasswordPrompt), this));
  auto* name = Named(new QLabel(archive, this), "lblArchive");
  name->setTextFormat(Qt::PlainText);
  layout->addWidget(name);
  txtPassword = Named(new QLineEdit(this), "txtPassword");
  txtPassword->setEchoMode(QLineEdit::Password);
  layout->addWidget(txtPassword);
  chkRemember = Named(new QCheckBox(MessageCatalogue::Product(ProductMsg::PasswordRemember), this), "chkRemember");
  layout->addWidget(chkRemember);
  btnOK = Named(new QPushButton(MessageCatalogue::Shared(SharedMsg::OkButton), this), "btnOK");
  btnSkip = Named(new QPushButton(MessageCatalogue::Product(ProductMsg::PasswordSkip), this), "btnSkip");
  btnCancelRun = Named(new QPushButton(MessageCatalogue::Product(ProductMsg::PasswordCancelRun), this), "btnCancelRun");
  btnOK->setDefault(true);
  btnOK->setEnabled(false);
  connect(txtPassword, &QLineEdit::textChanged, btnOK, [this](const QString& text) { btnOK->setEnabled(!text.isEmpty()); });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {btnOK, btnSkip, btnCancelRun}) buttons->addWidget(button);
  layout->addLayout(buttons);
  const auto answer = [this](PasswordAnswer::Action action) {
    m_action = action;
    accept();
  };
  connect(btnOK, &QPushButton::clicked, this, [answer] { answer(PasswordAnswer::Action::Try); });
  connect(btnSkip, &QPushButton::clicked, this, [answer] { answer(PasswordAnswer::Action::Skip); });
  connect(btnCancelRun, &QPushButton::clicked, this, [answer] { answer(PasswordAnswer::Action::CancelRun); });
  // The close box and Escape skip the archive, as the safe answer.
  connect(this, &QDialog::rejected, this, [this] { m_action = PasswordAnswer::Action::Skip; });
}

frmPassword::~frmPassword() = default;

PasswordAnswer frmPassword::ask() {
  exec();
  PasswordAnswer answer;
  answer.action = m_action;
  if (m_action == PasswordAnswer::Action::Try) {
    QByteArray typed = txtPassword->text().toUtf8();
    answer.password.assign(typed.constData(), static_cast<size_t>(typed.size()));
    typed.fill('\0');
    answer.remember = chkRemember->isChecked();
  }
  txtPassword->clear();
  return answer;
}
