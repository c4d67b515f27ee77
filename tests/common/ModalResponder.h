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
#include <utility>
#include <vector>

// Fails the test for a modal window left open past its deadline, and closes it.
inline void closeStaleModal(QWidget *modal) {
  ADD_FAILURE() << "a modal window stayed open: " << modal->metaObject()->className();
  if (auto *dialog = qobject_cast<QDialog *>(modal))
    dialog->reject();
  else
    modal->close();
}

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
      closeStaleModal(modal);
    } else if (!modal && m_deadline.hasExpired()) {
      m_timer.stop();
    }
  }

  std::function<void(QWidget *)> m_respond;
  QDeadlineTimer m_deadline;
  QTimer m_timer;
  bool m_responded = false;
};

// Answers the modal windows that come one after another (a panel, a question over it,
// the panel again), each with the next step; a window left open after its step, or one
// that no step is left for, is closed after ten seconds and fails the test.
class ModalSteps {
public:
  explicit ModalSteps(std::vector<std::function<void(QWidget *)>> steps)
      : m_steps(std::move(steps)), m_deadline(10000) {
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    m_timer.start();
  }
  size_t taken() const { return m_next; }

private:
  void tick() {
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal != m_last && m_next < m_steps.size()) {
      m_last = modal;
      m_deadline.setRemainingTime(10000);
      m_steps[m_next++](modal);
    } else if (modal && m_deadline.hasExpired()) {
      closeStaleModal(modal);
    } else if (!modal) {
      m_last = nullptr;  // the next window is a new one, even at the same address
    }
  }

  std::vector<std::function<void(QWidget *)>> m_steps;
  size_t m_next = 0;
  QWidget *m_last = nullptr;
  QDeadlineTimer m_deadline;
  QTimer m_timer;
};
