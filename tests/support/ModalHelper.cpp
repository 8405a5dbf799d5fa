// See ModalHelper.h.
#include "tests/support/ModalHelper.h"

#include <QAbstractButton>
#include <QInputDialog>

namespace testing_support {

std::shared_ptr<ModalRecord> AnswerNextMessageBox(QMessageBox::StandardButton button) {
  auto record = std::make_shared<ModalRecord>();
  WhenModal<QMessageBox>([record, button](QMessageBox* box) {
    record->seen = true;
    record->text = box->text();
    record->title = box->windowTitle();
    if (QAbstractButton* b = box->button(button))
      b->click();
    else
      box->reject();
  });
  return record;
}

std::shared_ptr<ModalRecord> AnswerNextInputDialog(const QString& answer, bool accept) {
  auto record = std::make_shared<ModalRecord>();
  WhenModal<QInputDialog>([record, answer, accept](QInputDialog* dialog) {
    record->seen = true;
    record->text = dialog->labelText();
    record->title = dialog->windowTitle();
    dialog->setTextValue(answer);
    if (accept)
      dialog->accept();
    else
      dialog->reject();
  });
  return record;
}

ModalWatch::ModalWatch(QList<QMessageBox::StandardButton> answers, QMessageBox::StandardButton afterwards)
    : m_answers(std::move(answers)), m_afterwards(afterwards) {
  m_timer.setInterval(10);
  QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
  m_timer.start();
}

void ModalWatch::answer() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible()) return;
  const qsizetype turn = m_texts.size();
  m_texts << box->text();
  m_titles << box->windowTitle();
  const QMessageBox::StandardButton wanted = turn < m_answers.size() ? m_answers[turn] : m_afterwards;
  QAbstractButton* button = wanted == QMessageBox::NoButton ? nullptr : box->button(wanted);
  if (button)
    button->click();
  else
    box->reject();
}

}  // namespace testing_support
