#include "output/Send_Mail.h"

#include "output/CardExport.h"
#include "output/Email_Setting.h"
#include "output/Send_Modeless.h"

#include "mainwindow/QLNWindowController.h"
#include "mainwindow/DrawWindow.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/ControlActions.h"
#include "platform/Images.h"
#include "platform/UiServices.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <chrono>

std::atomic<int> Pause_Delay_Time{0};

namespace {

Send_Mail *send_mail_snd_def_inst = nullptr;

const QString SuccessText = QStringLiteral("E-mail has been sent successfully.");
const QString FailureText = QStringLiteral(
    "Could not send email message.\nPlease make sure that:\n1. Entered E-mail settings are correct.\n2. Internet "
    "connectivity to E-mail server is not interrupted and E-mail server is not down.\n3. Your Firewall or Security "
    "software (if any) is not blocking the software to communicate with your E-mail server.");
const QString NoSenderText = QStringLiteral(
    "Please make sure that:\n1.Entered E-mail Settings are correct.\n2.Internet Connectivity to E-mail server is not "
    "interrupted and E-mail server is not down.\n3.Your firewall or security software(if any) is not blocking the "
    "software to communicate with your E-mail server.");

bool isRowMode(MailMode mode) {
  return mode == MailMode::CardPerRowToEveryone || mode == MailMode::CardPerRowOneToOne;
}

}  // namespace

// ---- Pause text, counts and the report --------------------------------------------------------

QString Calculate_Pause_Time(int t) {
  const int s = t / 1000;
  const int hours = s / 3600;
  const int minutes = (s % 3600) / 60;
  const int seconds = s % 60;
  const QString h = QString::asprintf(hours < 2 ? "%d Hour " : "%d Hours ", hours);
  const QString m = QString::asprintf(minutes < 2 ? "%d Minute " : "%d Minutes ", minutes);
  const QString sec = QString::asprintf(seconds < 2 ? "%d Second." : "%d Seconds.", seconds);
  QString text = QStringLiteral("Pausing the process for ");
  if (hours >= 1)
    text += h + m + sec;
  else if (minutes < 1)
    text += sec;
  else
    text += m + sec;
  return text;
}

int mailPassCount(const MailRunPlan &plan) {
  const int recipients = int(plan.recipients.size());
  switch (plan.mode) {
  case MailMode::CardPerRowToEveryone:
    return plan.cardCount;
  case MailMode::CardPerRowOneToOne:
    // Card n goes to recipient n: the shorter of the two lists decides.
    return std::min(recipients, plan.cardCount);
  case MailMode::CardNoRows:
  case MailMode::WithoutCard:
    break;
  }
  return recipients;
}

int plannedMailCount(const MailRunPlan &plan) {
  if (plan.mode == MailMode::CardPerRowToEveryone)
    return plan.cardCount * int(plan.recipients.size());
  return mailPassCount(plan);
}

QString MailRunReport::message() const {
  QString text;
  if (allSent()) {
    text = SuccessText;
  } else if (stopped && failedRecipients.isEmpty()) {
    text = QStringLiteral("Sending was stopped: %1 of %2 mails were sent.").arg(sentMails).arg(plannedMails);
  } else {
    text = FailureText + QStringLiteral("\n\n%1 of %2 mails were sent.").arg(sentMails).arg(plannedMails);
    if (!failedRecipients.isEmpty())
      text += QStringLiteral("\nNot sent to: ") + failedRecipients.join(QStringLiteral(", "));
  }
  if (!unheldBarcodes.isEmpty())
    text += QStringLiteral("\n\n") + unheldBarcodes;
  return text;
}

// ---- The run ------------------------------------------------------------------------------------

MailSendingRun::MailSendingRun(MailRunPlan plan, QString folder, Hooks hooks)
    : m_plan(std::move(plan)), m_folder(std::move(folder)), m_hooks(std::move(hooks)) {
  if (!m_hooks.send) {
    const int timeout = m_plan.scriptTimeoutMs;
    m_hooks.send = [timeout](const MailScriptMessage &mail) { return MailScript::send(mail, timeout); };
  }
  if (!m_hooks.sleep)
    m_hooks.sleep = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
  if (!m_hooks.pauseText)
    m_hooks.pauseText = [](const QString &) {};
}

QString MailSendingRun::frontPath() const {
  return joinPath(m_folder, m_plan.fileName + QStringLiteral(".jpeg"));
}

QString MailSendingRun::backPath() const { return CardExport::Create_Back_Card_Path(frontPath()); }

bool MailSendingRun::writeSide(int card, bool back, const QString &path) {
  if (!m_plan.cards) {
    m_cardFailures.add(card, QStringLiteral("The card is not available."));
    return false;
  }
  QString failure;
  const CardPicture picture = m_plan.cards->cardOfRun(card, back, false, &failure, &m_cardFailures);
  if (picture.isNull()) {
    m_cardFailures.add(card, failure.isEmpty() ? QStringLiteral("The card side cannot be drawn.") : failure);
    return false;
  }
  QString error;
  // The card's own size: one pixel per point.
  const PointImage image = picture.toImage(Images::PointsPerInch, &error);
  if (image.isNull() || !writePng(path, image.pixels, Images::PointsPerInch, &error)) {
    m_cardFailures.add(card, error);
    return false;
  }
  return true;
}

std::optional<QStringList> MailSendingRun::cardAttachments(int card) {
  if (m_plan.cardSide == QLatin1String("BOTH")) {
    // The back side is attached first.
    if (!writeSide(card, true, backPath()) || !writeSide(card, false, frontPath()))
      return std::nullopt;
    return QStringList{backPath(), frontPath()};
  }
  const bool back = m_plan.cardSide != QLatin1String("F");
  const QString path = back ? backPath() : frontPath();
  if (!writeSide(card, back, path))
    return std::nullopt;
  return QStringList{path};
}

MailScriptResult MailSendingRun::sendOne(const QString &recipient, const QStringList &attachments) {
  Show_NSLog_Message(recipient);
  MailScriptMessage mail;
  mail.recipient = recipient;
  mail.subject = m_plan.subject;
  mail.attachments = attachments;
  mail.sender = m_plan.sender;
  mail.password = m_plan.password;
  mail.server = m_plan.server;
  mail.port = m_plan.port;
  mail.body = m_plan.body;
  mail.ssl = m_plan.ssl;
  MailScriptResult result = m_hooks.send(mail);
  if (!result.sent())
    Show_NSLog_Message(QStringLiteral("error in mail: %1: %2").arg(Trim_Str(recipient), result.reason));
  return result;
}

void MailSendingRun::pause(MailRunReport &report) {
  qint64 left = m_plan.pauseMs;
  qint64 waited = 0;
  Pause_Delay_Time = int(left);
  m_hooks.pauseText(Calculate_Pause_Time(int(left)));
  // A second at a time, so that Stop ends the pause within a second.
  while (left > 0 && !Stop_SMS_Sending_Now) {
    const int step = int(std::min<qint64>(1000, left));
    m_hooks.sleep(step);
    left -= step;
    waited += step;
    Pause_Delay_Time = int(left);
    if (left > 0)
      m_hooks.pauseText(Calculate_Pause_Time(int(left)));
  }
  Pause_Delay_Time = 0;
  m_hooks.pauseText(QString());
  report.pauses.append(waited);
}

MailRunReport MailSendingRun::run() {
  MailRunReport report;
  report.plannedMails = plannedMailCount(m_plan);
  const int passes = mailPassCount(m_plan);
  curr_barcode_count = 0;
  QStringList noRowFiles;  // the present card, made once for every recipient
  int passesSincePause = 0;
  bool failedOutsideToEveryone = false;
  for (int r = 0; r < passes && !Stop_SMS_Sending_Now && !failedOutsideToEveryone; ++r) {
    curr_barcode_count = r + 1;
    bool sent = false;  // whether this pass made any mail
    switch (m_plan.mode) {
    case MailMode::CardNoRows: {
      Show_NSLog_Message(QStringLiteral("send card no batch."));
      if (r == 0) {
        const std::optional<QStringList> files = cardAttachments(0);
        if (!files) {
          // Without the card no recipient can get it.
          for (const QString &recipient : m_plan.recipients)
            report.failedRecipients << Trim_Str(recipient);
          failedOutsideToEveryone = true;
          break;
        }
        noRowFiles = *files;
      }
      ++report.attemptedMails;
      sent = true;
      if (sendOne(m_plan.recipients[r], noRowFiles).sent())
        ++report.sentMails;
      else {
        report.failedRecipients << Trim_Str(m_plan.recipients[r]);
        failedOutsideToEveryone = true;
      }
      break;
    }
    case MailMode::CardPerRowToEveryone:
    case MailMode::CardPerRowOneToOne: {
      const bool toEveryone = m_plan.mode == MailMode::CardPerRowToEveryone;
      Show_NSLog_Message(toEveryone ? QStringLiteral("send card with batch to all image to everyone")
                                    : QStringLiteral("send card with batch to one to one"));
      const std::optional<QStringList> files = cardAttachments(r);
      if (!files)
        continue;  // no card: no mail, and the pass does not count towards a pause
      sent = true;
      const QStringList recipients = toEveryone ? m_plan.recipients : QStringList{m_plan.recipients[r]};
      for (const QString &recipient : recipients) {
        if (Stop_SMS_Sending_Now)
          break;
        ++report.attemptedMails;
        if (sendOne(recipient, *files).sent()) {
          ++report.sentMails;
          continue;
        }
        report.failedRecipients << QStringLiteral("%1 (card %2)").arg(Trim_Str(recipient)).arg(r + 1);
        // A failure ends this card's mails; outside to-everyone it ends the run.
        if (!toEveryone)
          failedOutsideToEveryone = true;
        break;
      }
      break;
    }
    case MailMode::WithoutCard: {
      Show_NSLog_Message(QStringLiteral("send without card."));
      QStringList files;
      if (!m_plan.userAttachment.isEmpty() && QFileInfo(m_plan.userAttachment).isFile())
        files << m_plan.userAttachment;
      ++report.attemptedMails;
      sent = true;
      if (sendOne(m_plan.recipients[r], files).sent())
        ++report.sentMails;
      else {
        report.failedRecipients << Trim_Str(m_plan.recipients[r]);
        failedOutsideToEveryone = true;
      }
      break;
    }
    }
    if (!sent)
      continue;
    // A pause after every so many passes, never after the last one.
    if (m_plan.pauseMs > 0 && ++passesSincePause >= m_plan.mailsBetweenPauses && r + 1 < passes &&
        !failedOutsideToEveryone && !Stop_SMS_Sending_Now) {
      pause(report);
      passesSincePause = 0;
    }
  }
  report.stopped = Stop_SMS_Sending_Now;
  report.unheldBarcodes = m_cardFailures.unheldBarcodesMessage();
  return report;
}

// ---- The window ---------------------------------------------------------------------------------

Send_Mail::Send_Mail(QLNWindowController *controller, QObject *parent) : QObject(parent), m_controller(controller) {
  build();
  if (controller)
    send_modls_wnd = Send_Modeless::forController(*controller);
  keepInGlobal(send_mail_snd_def_inst, this);
}

Send_Mail::~Send_Mail() {
  if (m_running) {
    // Let the run end: it may be waiting for the GUI thread, so keep serving it.
    Stop_SMS_Sending_Now = true;
    while (m_running)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  if (m_thread.joinable())
    m_thread.join();
}

Send_Mail *Send_Mail::defaultInstance() { return send_mail_snd_def_inst; }

void Send_Mail::Open_Wnd() {
  controls::setCheckedQuietly(side_front_rd, true);
  card_side_str = QStringLiteral("F");
  from_txt->setText(sender_email);
  to_txt->clear();
  rd_all_to_every->setEnabled(false);
  rd_one_per_recp->setEnabled(false);
  controls::setCheckedQuietly(rd_all_to_every, true);
  controls::setCheckedQuietly(rd_mail_curr_barcode, true);
  send_sett_box->setEnabled(true);
  file_name_txt->setText(QStringLiteral("AmendsCard"));
  send_with_batch_chk->setEnabled(Use_Data_Sheet_Values != 0);
  send_with_excel_chk->setEnabled(Use_Excel_Binding_Values != 0);
  controls::setCheckedQuietly(send_with_batch_chk, false);
  controls::setCheckedQuietly(send_with_excel_chk, false);
  subject_txt->clear();
  message_txt->clear();
  attachment->clear();
  browse_att->setEnabled(false);
  clear_att->setEnabled(false);
  attachment->setEnabled(false);
  controls::setCheckedQuietly(delayed_delv_chk, false);
  delayed_box->setEnabled(false);
  mail_count_txt->setValue(1);
  hour_txt->setValue(0);
  min_text->setValue(0);
  sec_txt->setValue(0);
  UiServices::instance().runModal(m_window);
  m_window->hide();
}

void Send_Mail::Close_Button(QObject *) {
  if (!m_running)
    m_window->done(ModalCancel);
}

void Send_Mail::Setting_Button(QObject *) {
  if (!m_controller)
    return;
  Email_Setting *settings = m_controller->findChild<Email_Setting *>(QString(), Qt::FindDirectChildrenOnly);
  if (!settings)
    settings = new Email_Setting(m_controller, m_window, m_controller);
  settings->Open_Wnd();
  m_controller->Get_Email_Details();
  from_txt->setText(sender_email);
}

void Send_Mail::mail_card_side_CellClick(QObject *) {
  card_side_str = side_both_rd->isChecked()    ? QStringLiteral("BOTH")
                  : side_front_rd->isChecked() ? QStringLiteral("F")
                                               : QStringLiteral("B");
  Show_NSLog_Message(card_side_str);
}

void Send_Mail::Without_barcode_rd_select(QObject *) {
  rd_without_barcode->setChecked(true);
  send_sett_box->setEnabled(false);
  attachment->setEnabled(true);
  browse_att->setEnabled(true);
  clear_att->setEnabled(true);
}

void Send_Mail::refreshBindingBoxes() {
  if (m_controller)
    m_controller->Check_Series_Or_Excel_Use_or_not();
  if (!Use_Data_Sheet_Values) {
    controls::setCheckedQuietly(send_with_batch_chk, false);
    send_with_batch_chk->setEnabled(false);
  }
  if (!Use_Excel_Binding_Values) {
    controls::setCheckedQuietly(send_with_excel_chk, false);
    send_with_excel_chk->setEnabled(false);
  }
}

void Send_Mail::updateRowRadios() {
  const bool rows = send_with_batch_chk->isChecked() || send_with_excel_chk->isChecked();
  rd_all_to_every->setEnabled(rows);
  rd_one_per_recp->setEnabled(rows);
}

void Send_Mail::send_barcode_rd_select(QObject *) {
  refreshBindingBoxes();
  rd_mail_curr_barcode->setChecked(true);
  send_sett_box->setEnabled(true);
  // Inside the enabled box, the binding boxes follow the binding again.
  send_with_batch_chk->setEnabled(Use_Data_Sheet_Values != 0);
  send_with_excel_chk->setEnabled(Use_Excel_Binding_Values != 0);
  updateRowRadios();
  attachment->setEnabled(false);
  browse_att->setEnabled(false);
  clear_att->setEnabled(false);
}

void Send_Mail::send_with_batch_chk_select(QObject *) { updateRowRadios(); }
void Send_Mail::send_with_excel_chk_select(QObject *) { updateRowRadios(); }
void Send_Mail::all_rd_select(QObject *) { rd_all_to_every->setChecked(true); }
void Send_Mail::obo_rd_select(QObject *) { rd_one_per_recp->setChecked(true); }
void Send_Mail::delayed_delv_chk_select(QObject *) { delayed_box->setEnabled(delayed_delv_chk->isChecked()); }

void Send_Mail::browse_att_Button(QObject *) {
  FilePanelOptions options;
  options.title = QStringLiteral("Choose a file to attach");
  const QString path = UiServices::instance().openFile(options);
  if (!path.isEmpty())
    attachment->setText(path);
}

void Send_Mail::clear_att_Button(QObject *) { attachment->clear(); }

std::optional<MailRunPlan> Send_Mail::takePlan() {
  MailRunPlan plan;
  plan.sender = Trim_Str(from_txt->text().toLower());
  if (plan.sender.isEmpty()) {
    Show_MessageBox(NoSenderText);
    return std::nullopt;
  }
  const QString recipients = Trim_Str(to_txt->text());
  if (recipients.isEmpty()) {
    Show_MessageBox(QStringLiteral("Please specify the Recipient E-mail address."));
    return std::nullopt;
  }
  // Every part must be an address: a list with a bad part is refused as a whole rather
  // than sent to some of its recipients.
  for (const QString &part : recipients.toLower().split(QLatin1Char(','))) {
    if (!isValidEmail(part)) {
      Show_MessageBox(QStringLiteral("Recipient E-mail address is invalid or incomplete."));
      return std::nullopt;
    }
    plan.recipients << part;
  }
  plan.subject = subject_txt->text();
  plan.body = message_txt->toPlainText();
  plan.password = sender_pwd;
  plan.server = sending_server;
  plan.port = sending_port;
  plan.ssl = send_enable_ssl == QLatin1String("Y") ? QStringLiteral("Y") : QStringLiteral("N");
  const bool withCard = rd_mail_curr_barcode->isChecked();
  if (withCard) {
    plan.fileName = Trim_Str(Remove_Reserve_Char_In_File_Name(file_name_txt->text()));
    if (plan.fileName.isEmpty() || !isSafeFileName(plan.fileName)) {
      Show_MessageBox(QStringLiteral("Please enter valid file name."));
      return std::nullopt;
    }
  }
  const bool series = send_with_batch_chk->isChecked();
  const bool spreadsheet = send_with_excel_chk->isChecked();
  if (m_controller) {
    m_controller->Check_Series_Or_Excel_Use_or_not();
    if (!series)
      Use_Data_Sheet_Values = 0;
    if (!spreadsheet)
      Use_Excel_Binding_Values = 0;
    m_controller->Get_total_Card_count();
    plan.cards = m_controller->batchCardSource();
  }
  plan.cardCount = plan.cards ? plan.cards->cardCount() : 0;
  if (!withCard)
    plan.mode = MailMode::WithoutCard;
  else if (series || spreadsheet)
    plan.mode = rd_all_to_every->isChecked() ? MailMode::CardPerRowToEveryone : MailMode::CardPerRowOneToOne;
  else
    plan.mode = MailMode::CardNoRows;
  plan.cardSide = card_side_str;
  if (!withCard) {
    const QString path = Trim_Str(attachment->text());
    if (!path.isEmpty() && QFileInfo(path).isFile())
      plan.userAttachment = path;
  }
  if (delayed_delv_chk->isChecked()) {
    plan.mailsBetweenPauses = std::max(1, mail_count_txt->value());
    plan.pauseMs = qint64(hour_txt->value()) * 3600000 + qint64(min_text->value()) * 60000 +
                   qint64(sec_txt->value()) * 1000;
  }
  plan.scriptTimeoutMs = scriptTimeoutMs;
  return plan;
}

void Send_Mail::Send_Button(QObject *) {
  if (m_running || !m_controller || !send_modls_wnd)
    return;
  Stop_SMS_Sending_Now = false;
  std::optional<MailRunPlan> plan = takePlan();
  if (!plan)
    return;
  if (m_thread.joinable())
    m_thread.join();
  const bool rowModes = isRowMode(plan->mode);
  send_modls_wnd->beginRun(mailPassCount(*plan));
  Show_Create_Modeless();
  send_modls_wnd->startTimerThread();
  m_running = true;
  Send_Modeless *progress = send_modls_wnd;
  std::function<void(int)> sleep = sleepHook;
  m_thread = std::thread([this, plan = std::move(*plan), progress, sleep, rowModes]() mutable {
    MailRunReport report;
    {
      // A private folder for the card images of this run, removed with everything in it.
      QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/amends-mail-XXXXXX"));
      if (!folder.isValid()) {
        Show_NSLog_Message(QStringLiteral("No temporary folder for the card images: %1").arg(folder.errorString()));
        report.plannedMails = plannedMailCount(plan);
      } else {
        MailSendingRun::Hooks hooks;
        hooks.sleep = sleep;
        hooks.pauseText = [progress](const QString &text) { progress->setPauseText(text); };
        MailSendingRun run(std::move(plan), folder.path(), hooks);
        report = run.run();
        run.cardFailures().report();
      }
    }
    {
      const std::lock_guard<std::mutex> lock(m_finishedMutex);
      m_finishedReport = report;
      m_finishedRowModes = rowModes;
    }
    // A queued call by name: no functor made here is read on the GUI thread.
    QMetaObject::invokeMethod(this, "finishRun", Qt::QueuedConnection);
  });
}

void Send_Mail::finishRun() {
  if (m_thread.joinable())
    m_thread.join();
  MailRunReport report;
  bool rowModes = false;
  {
    const std::lock_guard<std::mutex> lock(m_finishedMutex);
    report = m_finishedReport;
    rowModes = m_finishedRowModes;
  }
  send_modls_wnd->stopTimerThread();
  send_modls_wnd->update_sending_progress_bar();
  send_modls_wnd->setPauseText(QString());
  if (rowModes && m_controller)
    m_controller->Select_first_row_value_for_design(false);
  Hide_Destroy_Modeless();
  m_lastReport = report;
  m_running = false;
  Show_MessageBox(report.message());
  if (onRunFinished)
    onRunFinished();
}

void Send_Mail::Show_Create_Modeless() {
  QDialog *sheet = send_modls_wnd ? send_modls_wnd->window() : nullptr;
  if (!sheet)
    return;
  // Over the mail window, which is modal itself: the progress window takes the input
  // (its Stop button) until the run ends.
  sheet->setWindowModality(Qt::ApplicationModal);
  sheet->adjustSize();
  sheet->show();
  sheet->raise();
}

void Send_Mail::Hide_Destroy_Modeless() {
  QDialog *sheet = send_modls_wnd ? send_modls_wnd->window() : nullptr;
  if (sheet)
    sheet->hide();
}
