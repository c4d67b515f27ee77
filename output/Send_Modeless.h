#pragma once
// Send_Modeless: the progress window shared by batch export and e-mail sending.
//
// The window itself (Send_Models_Window with its total label _tot_msg_cnt, current
// label _curr_msg_cnt, progress bar _Curr_Progress, Stop button _stop_btn and
// pause_label) is built with the main window (DrawWindow); this class is its
// controller. There is one per main window controller, a child of it, made on first
// use by defaultInstance().
//
// A run (export or e-mail) goes like this:
//   worker:  Stop_SMS_Sending_Now = false;
//            progress->beginRun(total, "Card");       // labels, bar 0..total, Stop on
//            controller->Show_One_By_One_Modeless();   // (or the mail window's sheet)
//            progress->startTimerThread();             // labels follow the counters
//            for each item: stop when Stop_SMS_Sending_Now; curr_barcode_count = n + 1; ...
//            progress->stopTimerThread();
//            controller->Hide_One_By_One_Modeless();
// The worker only writes the counters; a 0.5-second timer on the GUI thread copies them
// into the bar and the current label (update_sending_progress_bar), so the worker never
// touches a widget. Every member may be called from any thread: the ones that touch
// widgets run on the GUI thread (MainThread::runAndWait) and return when done, so
// stopTimerThread() after startTimerThread() always stops the timer, however fast the
// run was.

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QLNWindowController;

// ---- Counters of the progress display (written by the worker, read by the timer) -----
// Total of the current progress display.
extern std::atomic<int> list_count;
// Number of the item (card or mail) being made, from 1; 0 before the first.
extern std::atomic<double> curr_barcode_count;
// The current label's last text (GUI thread only).
extern QString curr_msg_count;
// Stop_SMS_Sending_Now (core/Globals.h) is the stop flag: set by Stop, read by the worker.

class Send_Modeless : public QObject {
  Q_OBJECT
public:
  // The instance of the main window controller in use (QLNWindowController::
  // defaultInstance()), made on the first call; null when there is no controller.
  // The first call must come from the GUI thread (later ones from any thread).
  static Send_Modeless *defaultInstance();
  // The instance of `controller`, made on the first call (GUI thread).
  static Send_Modeless *forController(QLNWindowController &controller);
  ~Send_Modeless() override;

  // The outlets: the progress window and its controls (owned by the main window).
  QDialog *window() const;
  QLabel *_tot_msg_cnt() const;
  QLabel *_curr_msg_cnt() const;
  QProgressBar *_Curr_Progress() const;
  QPushButton *_stop_btn() const;
  QLabel *pause_label() const;

  // Prepares the window for a run of `total` items: list_count = total,
  // curr_barcode_count = 0, Stop enabled, the bar from 0 to `total` at 0, the total
  // label "<total>", the current label and curr_msg_count "0 / <total>" followed by
  // " <unit>" when `unit` is not empty ("0 / 12 Card"), the pause label empty.
  void beginRun(int total, const QString &unit = QString());
  // Starts the 0.5-second timer that calls update_sending_progress_bar; a running one
  // is restarted. stopTimerThread() stops it (nothing when it is not running).
  void startTimerThread();
  void stopTimerThread();
  bool isTimerRunning() const;
  // One tick: the bar to curr_barcode_count, the current label and curr_msg_count to
  // "<count> / <list_count> " (count truncated, with the trailing blank).
  void update_sending_progress_bar();
  // The pause text of e-mail sending ("" clears it).
  void setPauseText(const QString &text);

  // The Stop button: asks "Are you sure you want to continue?"; Yes sets
  // Stop_SMS_Sending_Now, No leaves it. GUI thread.
  void Stop_Sending_Pressed();

  // Milliseconds between two ticks of the progress timer.
  static constexpr int TimerIntervalMs = 500;

protected:
  // Escape (and a close asked of the window) would hide the window while the run goes
  // on, out of reach of Stop: while Stop is enabled Escape acts as Stop, with its
  // question, and the window stays until the run hides it.
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  explicit Send_Modeless(QLNWindowController &controller);
  void onGuiThread(const std::function<void()> &fn) const;

  QPointer<QLNWindowController> m_controller;
  QTimer *msend_modTimer = nullptr;  // the progress timer: a child, lives on the GUI thread
};
