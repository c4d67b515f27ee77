// Sending cards by e-mail: the pause text and schedule, Stop, the report of failed
// recipients, and whole runs of the mail window on its worker thread against a real SMTP
// server, in each sending mode, with the attachments decoded from the received mails.

#include "tests/output/mail_test_fixture.h"
#include "tests/output/unheld_barcode.h"

#include "output/Send_Mail.h"
#include "output/Send_Modeless.h"
#include "output/model/Preferences.h"

#include "dataseries/BatchCardSource.h"
#include "dataseries/model/SeriesStore.h"

#include "core/QLNText.h"
#include "mainwindow/DrawWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QToolButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <map>

namespace {

// ---- The run without windows ----------------------------------------------------------------

TEST(MailPauseText, HoursMinutesAndSecondsInTheSingularBelowTwo) {
  EXPECT_EQ(Calculate_Pause_Time(125000), QStringLiteral("Pausing the process for 2 Minutes 5 Seconds."));
  EXPECT_EQ(Calculate_Pause_Time(3600000), QStringLiteral("Pausing the process for 1 Hour 0 Minute 0 Second."));
  EXPECT_EQ(Calculate_Pause_Time(7322000), QStringLiteral("Pausing the process for 2 Hours 2 Minutes 2 Seconds."));
  EXPECT_EQ(Calculate_Pause_Time(61000), QStringLiteral("Pausing the process for 1 Minute 1 Second."));
  EXPECT_EQ(Calculate_Pause_Time(3000), QStringLiteral("Pausing the process for 3 Seconds."));
  EXPECT_EQ(Calculate_Pause_Time(1999), QStringLiteral("Pausing the process for 1 Second."));
  EXPECT_EQ(Calculate_Pause_Time(0), QStringLiteral("Pausing the process for 0 Second."));
}

// A run of the without-card mode with a scripted sender: what was sent, when it paused.
class MailRunTest : public ::testing::Test {
protected:
  void SetUp() override { Stop_SMS_Sending_Now = false; }
  void TearDown() override { Stop_SMS_Sending_Now = false; }

  static MailRunPlan plan(int recipients) {
    MailRunPlan p;
    p.mode = MailMode::WithoutCard;
    for (int i = 1; i <= recipients; ++i)
      p.recipients << QStringLiteral("r%1@x.org").arg(i);
    return p;
  }
  MailRunReport run(const MailRunPlan &p) {
    MailSendingRun::Hooks hooks;
    hooks.send = [this](const MailScriptMessage &mail) {
      events << QStringLiteral("mail ") + mail.recipient;
      MailScriptResult result;
      result.outcome = failing.contains(mail.recipient) ? MailScriptResult::Outcome::Failed
                                                         : MailScriptResult::Outcome::Sent;
      if (onSend)
        onSend(mail);
      return result;
    };
    hooks.sleep = [this](int ms) {
      events << QStringLiteral("sleep %1").arg(ms);
      if (onSleep)
        onSleep();
    };
    hooks.pauseText = [this](const QString &text) { pauseTexts << text; };
    MailSendingRun sending(p, QDir::tempPath(), hooks);
    return sending.run();
  }

  QStringList events;
  QStringList pauseTexts;
  QStringList failing;
  std::function<void(const MailScriptMessage &)> onSend;
  std::function<void()> onSleep;
};

TEST_F(MailRunTest, PausesLastTheWholeSetTimeBetweenMailsAndNeverAfterTheLast) {
  // Every 2 mails, 3 seconds, 5 mails: pauses after mails 2 and 4 only.
  MailRunPlan p = plan(5);
  p.mailsBetweenPauses = 2;
  p.pauseMs = 3000;
  const MailRunReport report = run(p);
  EXPECT_EQ(events, (QStringList{"mail r1@x.org", "mail r2@x.org", "sleep 1000", "sleep 1000", "sleep 1000",
                                 "mail r3@x.org", "mail r4@x.org", "sleep 1000", "sleep 1000", "sleep 1000",
                                 "mail r5@x.org"}));
  EXPECT_EQ(report.pauses, (QList<qint64>{3000, 3000}));
  // The label shows the set time at once, then the time left each second, then nothing.
  EXPECT_EQ(pauseTexts.mid(0, 4), (QStringList{"Pausing the process for 3 Seconds.", "Pausing the process for 2 Seconds.",
                                               "Pausing the process for 1 Second.", ""}));
  EXPECT_TRUE(report.allSent());
  EXPECT_EQ(report.message(), QStringLiteral("E-mail has been sent successfully."));
  EXPECT_EQ(Pause_Delay_Time.load(), 0);

  // A pause of one second waits one second; a pause of none does not wait.
  events.clear();
  p = plan(2);
  p.pauseMs = 1000;
  EXPECT_EQ(run(p).pauses, (QList<qint64>{1000}));
  EXPECT_EQ(events, (QStringList{"mail r1@x.org", "sleep 1000", "mail r2@x.org"}));
  events.clear();
  p.pauseMs = 0;
  EXPECT_TRUE(run(p).pauses.isEmpty());
  EXPECT_EQ(events, (QStringList{"mail r1@x.org", "mail r2@x.org"}));
}

TEST_F(MailRunTest, StopEndsTheRunBetweenMailsAndWithinASecondOfAPause) {
  onSend = [this](const MailScriptMessage &) {
    if (events.size() == 2)
      Stop_SMS_Sending_Now = true;
  };
  MailRunReport report = run(plan(4));
  EXPECT_EQ(events, (QStringList{"mail r1@x.org", "mail r2@x.org"}));
  EXPECT_TRUE(report.stopped);
  EXPECT_FALSE(report.allSent());
  EXPECT_EQ(report.message(), QStringLiteral("Sending was stopped: 2 of 4 mails were sent."));

  // Stop pressed during a long pause: the pause ends after the second under way.
  Stop_SMS_Sending_Now = false;
  events.clear();
  onSend = nullptr;
  onSleep = [] { Stop_SMS_Sending_Now = true; };
  MailRunPlan p = plan(3);
  p.pauseMs = 3600000;
  report = run(p);
  EXPECT_EQ(events, (QStringList{"mail r1@x.org", "sleep 1000"}));
  EXPECT_EQ(report.pauses, (QList<qint64>{1000}));
  EXPECT_EQ(pauseTexts.last(), QString());
}

TEST_F(MailRunTest, AFailedMailIsNeverReportedAsSentAndItsRecipientIsNamed) {
  // Without data rows a failure ends the run: the later recipients are not tried.
  failing = QStringList{"r2@x.org"};
  MailRunReport report = run(plan(3));
  EXPECT_EQ(events, (QStringList{"mail r1@x.org", "mail r2@x.org"}));
  EXPECT_FALSE(report.allSent());
  EXPECT_EQ(report.failedRecipients, QStringList{"r2@x.org"});
  EXPECT_TRUE(report.message().startsWith(QStringLiteral("Could not send email message.\nPlease make sure that:")));
  EXPECT_TRUE(report.message().endsWith(QStringLiteral("\n\n1 of 3 mails were sent.\nNot sent to: r2@x.org")));

  // An earlier failure is not hidden by a later success: the last mail went, the run
  // still failed.
  events.clear();
  failing = QStringList{"r1@x.org"};
  MailRunPlan p = plan(1);
  report = run(p);
  EXPECT_EQ(report.sentMails, 0);
  EXPECT_FALSE(report.allSent());

  // Nothing to send is no success either.
  p.recipients.clear();
  EXPECT_FALSE(run(p).allSent());
}

TEST(MailPassCount, OneToOneSendsTheShorterListAndToEveryoneEveryCardToEveryone) {
  MailRunPlan p;
  p.recipients = QStringList{"a@x.org", "b@x.org", "c@x.org", "d@x.org", "e@x.org"};
  p.cardCount = 3;
  p.mode = MailMode::CardPerRowOneToOne;
  EXPECT_EQ(mailPassCount(p), 3);
  p.recipients = p.recipients.mid(0, 3);
  p.cardCount = 5;
  EXPECT_EQ(mailPassCount(p), 3);
  p.mode = MailMode::CardPerRowToEveryone;
  EXPECT_EQ(mailPassCount(p), 5);
  EXPECT_EQ(plannedMailCount(p), 15);
  p.cardCount = 0;
  EXPECT_EQ(plannedMailCount(p), 0);
}

// ---- Whole runs of the mail window ------------------------------------------------------------

const QString Password = QString::fromUtf8("s\xC3\xA9same");
const QString Subject = QString::fromUtf8("Entschuldigung \xE2\x80\x93 Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93");
const QString Body = QString::fromUtf8("Liebe Gr\xC3\xBC\xC3\x9F" "e,\nes tut mir leid \xF0\x9F\x98\x8A");

class MailWindowWorkerTest : public MailTest {
protected:
  void SetUp() override {
    MailTest::SetUp();
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    server = startServer(QStringLiteral("starttls"), Password);
    sender_email = QString::fromLatin1(User);
    sender_pwd = Password;
    sending_server = QStringLiteral("127.0.0.1");
    sending_port = server->port();
    send_enable_ssl = QStringLiteral("N");
    Stop_SMS_Sending_Now = false;
    // Three rows of names on the front, a bound greeting on the back.
    ASSERT_TRUE(SeriesStore::write(QStringLiteral("Names"), {"Ann", "Bob", "Cy"},
                                   SeriesStore::EmptyValues::KeepAsEmptyLines, SeriesStore::WriteMode::Replace));
    ASSERT_TRUE(SeriesStore::write(QStringLiteral("Greetings"), {"Sorry", "Pardon", "Oops"},
                                   SeriesStore::EmptyValues::KeepAsEmptyLines, SeriesStore::WriteMode::Replace));
    // The design shows the first row, as the property panel leaves it.
    session->document()->setList(QLNDocumentGraphicsKey, {text(QStringLiteral("Ann"), QStringLiteral("Names"))});
    session->document()->setList(QLNDocumentGraphicsKey_back, {text(QStringLiteral("Sorry"), QStringLiteral("Greetings"))});
    controller->Check_Series_Or_Excel_Use_or_not();
    ASSERT_EQ(Total_Batch_Excel_Card.load(), 3);
    // What each card looks like, to recognise it in the mails.
    const auto cards = controller->batchCardSource();
    for (int n = 0; n < 3; ++n)
      for (const QString &side : {QStringLiteral("F"), QStringLiteral("B")})
        expected[{n, side}] = cards->Set_data_table_value_to_card(n, side, false).toImage(72).pixels
                                  .convertToFormat(QImage::Format_ARGB32);
    ASSERT_NE(expected[std::make_pair(0, QStringLiteral("F"))], expected[std::make_pair(1, QStringLiteral("F"))]);
    window = new Send_Mail(controller, controller);
  }
  void TearDown() override {
    delete window;
    server.reset();
    Stop_SMS_Sending_Now = false;
    MailTest::TearDown();
  }

  static std::shared_ptr<QLNText> text(const QString &value, const QString &series) {
    auto object = std::make_shared<QLNText>();
    object->setBounds(QRectF(10, 10, 160, 40));
    replaceCharacters(*object->Text_contents(), value);
    object->data_source_type = 1;
    object->batch_list_name = series;
    return object;
  }

  // Opens the window, lets `fill` set it up, presses Send and waits for the run's end
  // and its message; returns the message.
  QString send(const std::function<void()> &fill) {
    bool finished = false;
    window->onRunFinished = [&] { finished = true; };
    scripted.answerModal([&](QDialog *) {
      window->to_txt->setText(QStringLiteral("one@example.org,Two@Example.org, three@example.org"));
      window->subject_txt->setText(Subject);
      window->message_txt->setPlainText(Body);
      fill();
      scripted.expectAlert();
      window->send_btn->click();
      // A refused entry shows its message at once; a run ends with one.
      if (window->isSending()) {
        EXPECT_TRUE(spinUntil([&] { return finished; }, 60000));
      }
      EXPECT_FALSE(window->isSending());
      window->close_btn->click();
      return ModalCancel;
    });
    window->Open_Wnd();
    window->onRunFinished = nullptr;
    const QStringList alerts = scripted.alertTexts();
    return alerts.isEmpty() ? QString() : alerts.last().mid(1);
  }

  // The card an attachment shows, as "F1" (front of card 1) ... ; "?" for none.
  QString cardOf(const ReceivedMail::Attachment &attachment) const {
    const QImage image = QImage::fromData(attachment.bytes, "PNG").convertToFormat(QImage::Format_ARGB32);
    for (const auto &[key, pixels] : expected)
      if (pixels == image)
        return key.second + QString::number(key.first + 1);
    return QStringLiteral("?");
  }
  // Each mail as "recipient: cards", e.g. "two@example.org: B1 F1".
  QStringList summary() const {
    QStringList lines;
    for (const ReceivedMail &mail : server->mails()) {
      QStringList cards;
      for (const auto &attachment : mail.attachments)
        cards << cardOf(attachment);
      lines << mail.envelopeTo.join(',') + QStringLiteral(": ") + cards.join(' ');
    }
    return lines;
  }
  void expectEveryMailWritten() const {
    for (const ReceivedMail &mail : server->mails()) {
      EXPECT_EQ(mail.subject, Subject);
      EXPECT_EQ(QString(mail.body).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed(), Body);
      EXPECT_EQ(mail.envelopeFrom, QString::fromLatin1(User));
      for (const auto &attachment : mail.attachments)
        if (attachment.fileName.startsWith(QLatin1String("AmendsCard"))) {
          EXPECT_EQ(attachment.contentType, QStringLiteral("image/png"));
        }
    }
    // The run's private folder is gone with the card images.
    EXPECT_TRUE(QDir(tmp.path()).entryList({QStringLiteral("amends-mail-*")}, QDir::AllEntries).isEmpty());
  }

  QLNWindowController *controller = nullptr;
  std::unique_ptr<SmtpTestServer> server;
  std::map<std::pair<int, QString>, QImage> expected;
  Send_Mail *window = nullptr;
};

TEST_F(MailWindowWorkerTest, ThePresentCardBothSidesBackFirstToEveryRecipient) {
  const QString message = send([&] { window->side_both_rd->click(); });
  EXPECT_EQ(message, QStringLiteral("E-mail has been sent successfully."));
  // Without a data-row box ticked the card is the design with its first row.
  EXPECT_EQ(summary(), (QStringList{"one@example.org: B1 F1", "two@example.org: B1 F1", "three@example.org: B1 F1"}));
  const auto mails = server->mails();
  ASSERT_EQ(mails.size(), 3u);
  EXPECT_EQ(mails[0].attachments[0].fileName, QStringLiteral("AmendsCard_Back.jpeg"));
  EXPECT_EQ(mails[0].attachments[1].fileName, QStringLiteral("AmendsCard.jpeg"));
  expectEveryMailWritten();
  // The progress window went away after a full bar.
  EXPECT_EQ(curr_barcode_count.load(), 3.0);
  EXPECT_FALSE(window->isSending());
}

TEST_F(MailWindowWorkerTest, EveryCardToEveryRecipientWithTheSeriesValues) {
  const QString message = send([&] {
    window->to_txt->setText(QStringLiteral("one@example.org,two@example.org"));
    window->send_with_batch_chk->click();
    window->rd_all_to_every->click();
    window->file_name_txt->setText(QString::fromUtf8("/Gr\xC3\xBC\xC3\x9F" "e*"));
  });
  EXPECT_EQ(message, QStringLiteral("E-mail has been sent successfully."));
  EXPECT_EQ(summary(), (QStringList{"one@example.org: F1", "two@example.org: F1", "one@example.org: F2",
                                    "two@example.org: F2", "one@example.org: F3", "two@example.org: F3"}));
  // The name the user typed, reserved characters at the ends removed.
  EXPECT_EQ(server->mails()[0].attachments[0].fileName, QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e.jpeg"));
  expectEveryMailWritten();
  // After the run the front shows the first row again.
  EXPECT_FALSE(Card_Value_In_Process.load());
}

// A row value the barcode cannot hold: every card is sent, and the report names the
// card with the value.
TEST_F(MailWindowWorkerTest, TheReportNamesACardWhoseBarcodeCannotHoldItsValue) {
  unheldbarcode::writeCodes();
  session->document()->setList(QLNDocumentGraphicsKey,
                               {text(QStringLiteral("Ann"), QStringLiteral("Names")), unheldbarcode::boundCode128()});
  const QString message = send([&] {
    window->to_txt->setText(QStringLiteral("one@example.org"));
    window->send_with_batch_chk->click();
    window->rd_all_to_every->click();
  });
  EXPECT_EQ(message, QStringLiteral("E-mail has been sent successfully.\n\n") + unheldbarcode::Note);
  EXPECT_EQ(server->mails().size(), 3u);
}

TEST_F(MailWindowWorkerTest, OneCardToEachRecipientAndPlainMailsWithTheUsersFile) {
  QString message = send([&] {
    window->side_back_rd->click();
    window->send_with_batch_chk->click();
    window->rd_one_per_recp->click();
  });
  EXPECT_EQ(message, QStringLiteral("E-mail has been sent successfully."));
  EXPECT_EQ(summary(), (QStringList{"one@example.org: B1", "two@example.org: B2", "three@example.org: B3"}));
  EXPECT_EQ(server->mails()[1].attachments[0].fileName, QStringLiteral("AmendsCard_Back.jpeg"));
  expectEveryMailWritten();

  // Without the card: the user's own file goes as it is, under its own name.
  const QString own = QDir(root.path()).filePath(QStringLiteral("apology.pdf"));
  QFile file(own);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("%PDF-1.4\n% not much of a PDF\n");
  file.close();
  message = send([&] {
    window->rd_without_barcode->click();
    window->attachment->setText(own);
  });
  EXPECT_EQ(message, QStringLiteral("E-mail has been sent successfully."));
  const auto mails = server->mails();
  ASSERT_EQ(mails.size(), 6u);
  for (size_t i = 3; i < 6; ++i) {
    ASSERT_EQ(mails[i].attachments.size(), 1u);
    EXPECT_EQ(mails[i].attachments[0].fileName, QStringLiteral("apology.pdf"));
    EXPECT_EQ(mails[i].attachments[0].contentType, QStringLiteral("application/pdf"));
    EXPECT_EQ(mails[i].attachments[0].bytes, QByteArray("%PDF-1.4\n% not much of a PDF\n"));
  }
  expectEveryMailWritten();
}

TEST_F(MailWindowWorkerTest, AWrongPasswordSendsNothingAndNamesTheRecipients) {
  sender_pwd = QStringLiteral("wrong");
  const QString message = send([&] {
    window->send_with_batch_chk->click();
    window->rd_all_to_every->click();
  });
  EXPECT_TRUE(server->mails().empty());
  EXPECT_TRUE(message.startsWith(QStringLiteral("Could not send email message.\nPlease make sure that:")));
  // Each card's first mail failed, which ends that card's mails.
  EXPECT_TRUE(message.endsWith(QStringLiteral("\n\n0 of 9 mails were sent.\nNot sent to: one@example.org (card 1), "
                                              "one@example.org (card 2), one@example.org (card 3)")))
      << message.toStdString();
  EXPECT_EQ(window->lastReport().sentMails, 0);
}

TEST_F(MailWindowWorkerTest, StopDuringAPauseEndsTheRunAndSaysSo) {
  window->sleepHook = [](int) { Stop_SMS_Sending_Now = true; };
  const QString message = send([&] {
    window->delayed_delv_chk->click();
    window->sec_txt->setValue(30);
  });
  EXPECT_EQ(message, QStringLiteral("Sending was stopped: 1 of 3 mails were sent."));
  EXPECT_EQ(summary(), QStringList{"one@example.org: F1"});
  EXPECT_TRUE(Send_Modeless::forController(*controller)->pause_label()->text().isEmpty());
}

TEST_F(MailWindowWorkerTest, RecipientListsWithABadPartAreRefusedWhole) {
  for (const QString &list : {QStringLiteral("one@example.org,nobody"), QStringLiteral("one@example.org,"),
                              QStringLiteral("one@example.org,,two@example.org")}) {
    SCOPED_TRACE(list.toStdString());
    const QString message = send([&] { window->to_txt->setText(list); });
    EXPECT_EQ(message, QStringLiteral("Recipient E-mail address is invalid or incomplete."));
  }
  EXPECT_TRUE(server->mails().empty());
  EXPECT_EQ(send([&] { window->to_txt->setText(QStringLiteral("  ")); }),
            QStringLiteral("Please specify the Recipient E-mail address."));
  EXPECT_EQ(send([&] { window->file_name_txt->setText(QStringLiteral("a/b")); }),
            QStringLiteral("Please enter valid file name."));
}

}  // namespace

namespace {

TEST_F(MailWindowWorkerTest, TheMailCommandOpensTheWindowAndItsSettingsButtonReloadsTheSender) {
  DrawWindow *ui = controller->ui;
  ASSERT_TRUE(ui->Mail_btn->isEnabled());
  sender_email = QStringLiteral("old@example.org");
  {
    auto prefs = Preferences::sharedInstance();
    prefs->setsend_email_SenderEmail(QStringLiteral("new@example.org"));
    ASSERT_TRUE(prefs->flush());
  }
  scripted.answerModal([&](QDialog *dialog) {
    EXPECT_EQ(dialog->objectName(), QStringLiteral("Send_Mail"));
    Send_Mail *mail = Send_Mail::defaultInstance();
    EXPECT_EQ(mail->from_txt->text(), QStringLiteral("old@example.org"));
    EXPECT_EQ(mail->file_name_txt->text(), QStringLiteral("AmendsCard"));
    EXPECT_TRUE(mail->side_front_rd->isChecked());
    // The series is bound: its box may be ticked; the spreadsheet's may not.
    EXPECT_TRUE(mail->send_with_batch_chk->isEnabled());
    EXPECT_FALSE(mail->send_with_excel_chk->isEnabled());
    EXPECT_FALSE(mail->rd_all_to_every->isEnabled());
    EXPECT_FALSE(mail->delayed_box->isEnabled());
    // The settings window, closed: the sender is read from the settings file again.
    scripted.answerModal(ModalCancel);
    mail->settings_btn->click();
    EXPECT_EQ(mail->from_txt->text(), QStringLiteral("new@example.org"));
    EXPECT_EQ(sender_email, QStringLiteral("new@example.org"));
    // Without the card the card settings are off and the user's file may be chosen.
    mail->rd_without_barcode->click();
    EXPECT_FALSE(mail->send_sett_box->isEnabled());
    EXPECT_TRUE(mail->browse_att->isEnabled());
    mail->rd_mail_curr_barcode->click();
    EXPECT_TRUE(mail->send_sett_box->isEnabled());
    EXPECT_FALSE(mail->browse_att->isEnabled());
    return ModalCancel;
  });
  ui->Mail_btn->click();
  EXPECT_EQ(scripted.pending(), 0u);
}

}  // namespace
