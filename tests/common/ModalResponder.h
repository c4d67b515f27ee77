#pragma once
// Answers the real Qt dialogs in tests: a timer running inside the dialog's own modal
// loop finds the application-modal widget and hands it to a response. A dialog that
// is still open long after its response is closed, so a test never waits forever.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <functional>

class ModalResponder {
public:
  explicit ModalResponder(std::function<void(QWidget *)> respond, int timeoutMs = 10000)
      : m_respond(std::move(respond)), m_deadline(timeoutMs) {
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    m_timer.start();
  }

  bool responded() const { return m_responded; }

private:
  void tick() {
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && !m_responded) {
      m_responded = true;
      m_respond(modal);
    } else if (modal && m_deadline.hasExpired()) {
      ADD_FAILURE() << "a modal window stayed open: " << modal->metaObject()->className();
      if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
      else
        modal->close();
    } else if (!modal && m_deadline.hasExpired()) {
      m_timer.stop();
    }
  }

  std::function<void(QWidget *)> m_respond;
  QDeadlineTimer m_deadline;
  QTimer m_timer;
  bool m_responded = false;
};
