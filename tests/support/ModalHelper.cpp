// See ModalHelper.h.
#include "tests/support/ModalHelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QTimer>

#include <functional>

namespace testing_support {

namespace {

// Polls for the active modal widget of type T and hands it to `act`.
template <typename T>
void WhenModal(std::function<void(T*)> act, int triesLeft = 500) {
  QTimer::singleShot(10, [act, triesLeft] {
    if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
      act(dialog);
      return;
    }
    if (triesLeft > 0) WhenModal<T>(act, triesLeft - 1);
  });
}

}  // namespace

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

}  // namespace testing_support
