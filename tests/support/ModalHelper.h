// Answers the modal dialogs that a test's action opens: the next message box
// or input dialog, a sequence of message boxes, or any modal dialog handed to
// the test. Call before the action; the answer is given from the event loop as
// soon as the dialog shows (within a few seconds), and what the dialog said is
// recorded for the test to check.
#pragma once

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

namespace testing_support {

struct ModalRecord {
  bool seen = false;
  QString text;   // message box text, or the input dialog's label
  QString title;  // window title
};

// Presses `button` on the next QMessageBox.
std::shared_ptr<ModalRecord> AnswerNextMessageBox(QMessageBox::StandardButton button);
// Types `answer` into the next QInputDialog and accepts it (or cancels it when accept is false).
std::shared_ptr<ModalRecord> AnswerNextInputDialog(const QString& answer, bool accept = true);

// Hands the next active modal widget of type T to `act`, polling the event
// loop for it.
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

// While it lives, answers the message boxes that open in turn with `answers`,
// and every box beyond them with `afterwards` (NoButton, or a button the box
// lacks: the box is closed unanswered); records the texts and titles of all.
// With no answers it checks that an action shows no box, failing instead of
// hanging. Nothing is left pending for the next test.
class ModalWatch {
 public:
  explicit ModalWatch(QList<QMessageBox::StandardButton> answers = {},
                      QMessageBox::StandardButton afterwards = QMessageBox::NoButton);
  const QStringList& texts() const { return m_texts; }
  const QStringList& titles() const { return m_titles; }

 private:
  void answer();

  QList<QMessageBox::StandardButton> m_answers;
  QMessageBox::StandardButton m_afterwards;
  QTimer m_timer;
  QStringList m_texts;
  QStringList m_titles;
};

}  // namespace testing_support
