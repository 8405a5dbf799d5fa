// Answers the message boxes that open while the watch lives, in turn, with
// the given buttons (any further box is closed unanswered), and records their
// texts and titles. With no answers it checks that an action shows no box,
// failing instead of hanging. Nothing is left pending for the next test.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace testing_support {

class ModalWatch {
 public:
  explicit ModalWatch(QList<QMessageBox::StandardButton> answers = {}) : m_answers(std::move(answers)) {
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
    m_timer.start();
  }
  const QStringList& texts() const { return m_texts; }
  const QStringList& titles() const { return m_titles; }

 private:
  void answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    const qsizetype turn = m_texts.size();
    m_texts << box->text();
    m_titles << box->windowTitle();
    QAbstractButton* button = turn < m_answers.size() ? box->button(m_answers[turn]) : nullptr;
    if (button)
      button->click();
    else
      box->reject();
  }

  QList<QMessageBox::StandardButton> m_answers;
  QTimer m_timer;
  QStringList m_texts;
  QStringList m_titles;
};

}  // namespace testing_support
