// Answers the next modal dialog that a test's action opens: a message box or an
// input dialog. Call before the action; the answer is given from the event
// loop as soon as the dialog shows (within a few seconds), and what the dialog
// said is recorded for the test to check.
#pragma once

#include <QMessageBox>
#include <QString>
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

}  // namespace testing_support
