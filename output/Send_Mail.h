#pragma once
// Send_Mail: the mail window, and the sending run behind it.
//
// The window sends the card by e-mail: the present design to every recipient, one card
// per data row to every recipient or to one recipient each, or a plain mail with an
// optional file of the user's. Every mail leaves through the mail script (MailScript.h).
//
// Everything the run needs is read from the window and the settings on the GUI thread
// into a MailRunPlan before the run starts, with the cards as a BatchCardSource snapshot;
// the worker thread never reads a widget or a design object. The card images are written
// as PNG data into a private temporary folder of the run (owner-only, removed at the
// end), under the names "<file name>.jpeg" (front, or the only side) and
// "<file name>_Back.jpeg" (back; attached first when both sides go).
//
// A run is a success only when every planned mail went; otherwise the result names the
// recipients whose mail failed. The run can pause after every so many mails (for the
// whole time set) and stops between mails, or within a second of a pause, at Stop.

#include "output/MailScript.h"

#include "dataseries/BatchCardSource.h"

#include "core/KeptWindow.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QLNWindowController;
class Send_Modeless;

// Milliseconds left in the pause under way (0 when none); written by the sending thread,
// read for the pause label.
extern std::atomic<int> Pause_Delay_Time;

// The pause text for `t` milliseconds: "Pausing the process for " then hours, minutes and
// seconds (all three from one hour on, minutes and seconds from one minute on, else the
// seconds alone), each in the singular below 2: "... 2 Minutes 5 Seconds.".
QString Calculate_Pause_Time(int t);

enum class MailMode {
  CardNoRows,               // the present card to every recipient
  CardPerRowToEveryone,     // card n to every recipient, for every card
  CardPerRowOneToOne,       // card n to recipient n
  WithoutCard,              // no card; the user's own file when there is one
};

// Everything a run needs, taken on the GUI thread.
struct MailRunPlan {
  MailMode mode = MailMode::CardNoRows;
  QString cardSide = QStringLiteral("F");  // "BOTH", "F" or "B"
  QStringList recipients;                   // as split from the field, in order
  QString subject;
  QString body;
  QString sender;
  QString password;
  QString server;
  QString port;
  QString ssl = QStringLiteral("N");
  QString fileName = QStringLiteral("AmendsCard");
  QString userAttachment;                   // without the card: the user's file, "" for none
  // Pause after every `mailsBetweenPauses` passes, for `pauseMs`; no pause when 0.
  int mailsBetweenPauses = 1;
  qint64 pauseMs = 0;
  // The cards (both sides of the design are in it whatever the sources).
  std::shared_ptr<const BatchCardSource> cards;
  int cardCount = 0;
  int scriptTimeoutMs = MailScript::DefaultTimeoutMs;
};

// How a run went.
struct MailRunReport {
  int plannedMails = 0;
  int attemptedMails = 0;
  int sentMails = 0;
  // Recipients whose mail failed ("address" or "address (card n)").
  QStringList failedRecipients;
  bool stopped = false;
  // Pauses taken, in milliseconds each (what the run waited for).
  QList<qint64> pauses;
  // The cards sent without a barcode that could not hold their value
  // (BatchRunFailures::unheldBarcodesMessage), "" for none.
  QString unheldBarcodes;
  bool allSent() const { return plannedMails > 0 && sentMails == plannedMails; }
  // The message shown at the end, followed by unheldBarcodes.
  QString message() const;
};

// The passes of a run: recipients for the modes without data rows and one-to-one (at
// most one per card there), cards for to-everyone.
int mailPassCount(const MailRunPlan &plan);
// The mails a run means to send.
int plannedMailCount(const MailRunPlan &plan);

// One run on the calling thread (the mail window's worker). The hooks make it testable:
// `send` sends one mail (the mail script by default), `sleep` waits (a second at most at
// a time), `pauseText` shows the pause label ("" clears it).
class MailSendingRun {
public:
  struct Hooks {
    std::function<MailScriptResult(const MailScriptMessage &)> send;
    std::function<void(int ms)> sleep;
    std::function<void(const QString &)> pauseText;
  };
  MailSendingRun(MailRunPlan plan, QString folder, Hooks hooks = {});

  // Runs every pass until done or Stop_SMS_Sending_Now; sets curr_barcode_count per pass.
  MailRunReport run();
  // Card failures (a side that could not be made or written), for one report at the end;
  // the cards made without a barcode that could not hold their value go into the run's
  // report instead.
  const BatchRunFailures &cardFailures() const { return m_cardFailures; }

  // Where the images of card side go: "<folder>/<file name>.jpeg" and its back path.
  QString frontPath() const;
  QString backPath() const;

private:
  bool writeSide(int card, bool back, const QString &path);
  // The attachments of card `card` (written now); empty with a failure noted when a side
  // cannot be made.
  std::optional<QStringList> cardAttachments(int card);
  MailScriptResult sendOne(const QString &recipient, const QStringList &attachments);
  void pause(MailRunReport &report);

  MailRunPlan m_plan;
  QString m_folder;
  Hooks m_hooks;
  BatchRunFailures m_cardFailures;
};

class Send_Mail : public QObject {
  Q_OBJECT
public:
  Send_Mail(QLNWindowController *controller, QObject *parent = nullptr);
  ~Send_Mail() override;

  static Send_Mail *defaultInstance();
  QDialog *window() const { return m_window; }

  // Resets the window's controls and runs it modally until Close.
  void Open_Wnd();
  void Close_Button(QObject *sender = nullptr);
  // Checks the entries, takes the run's plan and starts the sending thread.
  void Send_Button(QObject *sender = nullptr);
  void Setting_Button(QObject *sender = nullptr);
  void Without_barcode_rd_select(QObject *sender = nullptr);
  void send_barcode_rd_select(QObject *sender = nullptr);
  void all_rd_select(QObject *sender = nullptr);
  void obo_rd_select(QObject *sender = nullptr);
  void send_with_batch_chk_select(QObject *sender = nullptr);
  void send_with_excel_chk_select(QObject *sender = nullptr);
  void delayed_delv_chk_select(QObject *sender = nullptr);
  void mail_card_side_CellClick(QObject *sender = nullptr);
  void browse_att_Button(QObject *sender = nullptr);
  void clear_att_Button(QObject *sender = nullptr);
  static bool isValidEmail(const QString &address) { return isValidEmailAddress(address); }

  // The entries checked and turned into a plan (GUI thread); nullopt after a message.
  std::optional<MailRunPlan> takePlan();
  // Whether a run is under way; the result message of the last finished run.
  bool isSending() const { return m_running.load(); }
  MailRunReport lastReport() const { return m_lastReport; }
  // Called on the GUI thread when a run has ended and its result was shown (tests).
  std::function<void()> onRunFinished;
  // The longest one mail may take (milliseconds).
  int scriptTimeoutMs = MailScript::DefaultTimeoutMs;
  // How the sending thread waits (tests replace it to run pauses without sleeping).
  std::function<void(int ms)> sleepHook;

  // The progress window over the mail window, and its end.
  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();

  // The controls.
  QRadioButton *side_both_rd = nullptr;   // matrix_card_side row 0
  QRadioButton *side_front_rd = nullptr;  // row 1
  QRadioButton *side_back_rd = nullptr;   // row 2
  QString card_side_str = QStringLiteral("F");
  QLineEdit *from_txt = nullptr;
  QLineEdit *to_txt = nullptr;
  QRadioButton *rd_all_to_every = nullptr;
  QRadioButton *rd_one_per_recp = nullptr;
  QRadioButton *rd_without_barcode = nullptr;
  QRadioButton *rd_mail_curr_barcode = nullptr;
  QLineEdit *file_name_txt = nullptr;
  QCheckBox *send_with_batch_chk = nullptr;
  QCheckBox *send_with_excel_chk = nullptr;
  QLineEdit *subject_txt = nullptr;
  QPlainTextEdit *message_txt = nullptr;
  QLineEdit *attachment = nullptr;
  QPushButton *browse_att = nullptr;
  QPushButton *clear_att = nullptr;
  QCheckBox *delayed_delv_chk = nullptr;
  QGroupBox *delayed_box = nullptr;
  QSpinBox *mail_count_txt = nullptr;
  QSpinBox *hour_txt = nullptr;
  QSpinBox *min_text = nullptr;
  QSpinBox *sec_txt = nullptr;
  QGroupBox *send_sett_box = nullptr;
  QPushButton *send_btn = nullptr;
  QPushButton *close_btn = nullptr;
  QPushButton *settings_btn = nullptr;

private:
  void build();
  // Refreshes the binding and the binding boxes as "send the card" does.
  void refreshBindingBoxes();
  void updateRowRadios();
  // The end of a run, on the GUI thread: the report the sending thread left.
  Q_INVOKABLE void finishRun();

  QPointer<QLNWindowController> m_controller;
  Send_Modeless *send_modls_wnd = nullptr;
  std::thread m_thread;
  std::atomic<bool> m_running{false};
  MailRunReport m_lastReport;
  std::mutex m_finishedMutex;
  MailRunReport m_finishedReport;
  bool m_finishedRowModes = false;
  OwnedWindow<QDialog> m_window;
};
