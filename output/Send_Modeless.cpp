#include "output/Send_Modeless.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/QLNWindowController.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/MainThread.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <exception>

std::atomic<int> list_count{0};
std::atomic<double> curr_barcode_count{0};
QString curr_msg_count;

Send_Modeless *Send_Modeless::defaultInstance() {
  QLNWindowController *controller = QLNWindowController::defaultInstance();
  return controller ? forController(*controller) : nullptr;
}

Send_Modeless *Send_Modeless::forController(QLNWindowController &controller) {
  if (auto *existing = controller.findChild<Send_Modeless *>(QString(), Qt::FindDirectChildrenOnly))
    return existing;
  return new Send_Modeless(controller);
}

Send_Modeless::Send_Modeless(QLNWindowController &controller) : QObject(&controller), m_controller(&controller) {
  setObjectName(QStringLiteral("Send_Modeless"));
  msend_modTimer = new QTimer(this);
  msend_modTimer->setInterval(TimerIntervalMs);
  connect(msend_modTimer, &QTimer::timeout, this, [this] { update_sending_progress_bar(); });
  if (QPushButton *stop = _stop_btn()) {
    stop->setAccessibleName(QStringLiteral("Stop"));
    connect(stop, &QPushButton::clicked, this, [this] {
      try {
        Stop_Sending_Pressed();
      } catch (const std::exception &error) {
        Show_NSLog_Message(QString::fromUtf8(error.what()));
      }
    });
  }
  if (_Curr_Progress())
    _Curr_Progress()->setAccessibleName(QStringLiteral("Progress"));
  if (QDialog *progressWindow = window())
    progressWindow->installEventFilter(this);
}

bool Send_Modeless::eventFilter(QObject *watched, QEvent *event) {
  if (watched != window())
    return false;
  if (event->type() == QEvent::Close && window()->isVisible()) {
    event->ignore();
    return true;
  }
  if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape)
    return false;
  // As a press of Stop, question included; a disabled Stop takes no click.
  if (QPushButton *stop = _stop_btn())
    stop->click();
  return true;
}

Send_Modeless::~Send_Modeless() = default;

QDialog *Send_Modeless::window() const { return m_controller ? m_controller->ui->Send_Models_Window : nullptr; }
QLabel *Send_Modeless::_tot_msg_cnt() const { return m_controller ? m_controller->ui->_tot_msg_cnt : nullptr; }
QLabel *Send_Modeless::_curr_msg_cnt() const { return m_controller ? m_controller->ui->_curr_msg_cnt : nullptr; }
QProgressBar *Send_Modeless::_Curr_Progress() const {
  return m_controller ? m_controller->ui->_Curr_Progress : nullptr;
}
QPushButton *Send_Modeless::_stop_btn() const { return m_controller ? m_controller->ui->_stop_btn : nullptr; }
QLabel *Send_Modeless::pause_label() const { return m_controller ? m_controller->ui->pause_label : nullptr; }

void Send_Modeless::onGuiThread(const std::function<void()> &fn) const {
  try {
    MainThread::runAndWait(fn);
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}

void Send_Modeless::beginRun(int total, const QString &unit) {
  list_count = total;
  curr_barcode_count = 0;
  onGuiThread([this, total, unit] {
    if (!m_controller)
      return;
    _stop_btn()->setEnabled(true);
    _Curr_Progress()->setRange(0, std::max(0, total));
    _Curr_Progress()->setValue(0);
    _tot_msg_cnt()->setText(QString::number(total));
    QString label = QStringLiteral("%1 / %2").arg(0).arg(total);
    if (!unit.isEmpty())
      label += QLatin1Char(' ') + unit;
    _curr_msg_cnt()->setText(label);
    curr_msg_count = label;
    pause_label()->clear();
  });
}

void Send_Modeless::startTimerThread() {
  onGuiThread([this] { msend_modTimer->start(); });
}

void Send_Modeless::stopTimerThread() {
  onGuiThread([this] { msend_modTimer->stop(); });
}

bool Send_Modeless::isTimerRunning() const {
  bool running = false;
  onGuiThread([this, &running] { running = msend_modTimer->isActive(); });
  return running;
}

void Send_Modeless::update_sending_progress_bar() {
  onGuiThread([this] {
    if (!m_controller)
      return;
    const double count = curr_barcode_count.load();
    const int shown = std::isfinite(count) ? int(count) : 0;
    const int total = list_count.load();
    _Curr_Progress()->setValue(std::clamp(shown, _Curr_Progress()->minimum(), _Curr_Progress()->maximum()));
    _Curr_Progress()->update();
    const QString label = QStringLiteral("%1 / %2 ").arg(shown).arg(total);
    _curr_msg_cnt()->setText(label);
    curr_msg_count = label;
  });
}

void Send_Modeless::setPauseText(const QString &text) {
  onGuiThread([this, text] {
    if (m_controller)
      pause_label()->setText(text);
  });
}

void Send_Modeless::Stop_Sending_Pressed() {
  if (Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to continue?")))
    Stop_SMS_Sending_Now = true;
}
