// The general message dialog: information and question openings, the No button and
// the apply-to-all box, and the flag the box leaves behind.

#include "core/Long_SMS_Dlg.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace {

// What the person sees while the dialog is up.
struct Seen {
  QString title;
  QString text;
  bool okShown = false;
  bool noShown = false;
  bool boxShown = false;
  bool boxTicked = false;
  bool textReadOnly = false;
  int scrollRange = 0;
};

Seen look(QDialog *dialog) {
  Seen seen;
  seen.title = dialog->findChild<QLabel *>(QStringLiteral("_Msg_Title"))->text();
  auto *text = dialog->findChild<QPlainTextEdit *>(QStringLiteral("_Msg_Val"));
  seen.text = text->toPlainText();
  seen.textReadOnly = text->isReadOnly();
  seen.scrollRange = text->verticalScrollBar()->maximum();
  seen.okShown = dialog->findChild<QPushButton *>(QStringLiteral("yes_button"))->isVisible();
  seen.noShown = dialog->findChild<QPushButton *>(QStringLiteral("no_button"))->isVisible();
  auto *box = dialog->findChild<QCheckBox *>(QStringLiteral("apply_chk"));
  seen.boxShown = box->isVisible();
  seen.boxTicked = box->isChecked();
  return seen;
}

enum class Press { OK, No, TickAndOK, TickAndNo, Close };

// Scripts one opening: notes what is seen, then does `press`.
void answer(ScriptedUi &ui, Seen *seen, Press press) {
  ui.answerModal([seen, press](QDialog *dialog) {
    *seen = look(dialog);
    auto *box = dialog->findChild<QCheckBox *>(QStringLiteral("apply_chk"));
    switch (press) {
    case Press::TickAndOK:
      if (!box->isChecked())
        box->click();
      [[fallthrough]];
    case Press::OK:
      dialog->findChild<QPushButton *>(QStringLiteral("yes_button"))->click();
      break;
    case Press::TickAndNo:
      if (!box->isChecked())
        box->click();
      [[fallthrough]];
    case Press::No:
      dialog->findChild<QPushButton *>(QStringLiteral("no_button"))->click();
      break;
    case Press::Close:
      dialog->close();
      break;
    }
    return dialog->result();
  });
}

void askQuestion(Long_SMS_Dlg *dlg, const QString &title, const QString &text, bool withBox) {
  dlg->title_val = title;
  dlg->msg_val_str = text;
  dlg->apply_chk_show = withBox;
}

}  // namespace

TEST(LongSmsDlg, OneInstanceWithItsLook) {
  Long_SMS_Dlg *dlg = Long_SMS_Dlg::defaultInstance();
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(Long_SMS_Dlg::defaultInstance(), dlg);
  EXPECT_EQ(Long_SMS_DefaultInstance, dlg);
  EXPECT_EQ(dlg->objectName(), QStringLiteral("Long_SMS_Dlg"));
  EXPECT_EQ(dlg->yes_button->text(), QStringLiteral("OK"));
  EXPECT_EQ(dlg->no_button->text(), QStringLiteral("No"));
  EXPECT_EQ(dlg->apply_chk->text(), QStringLiteral("Apply to all"));
  const QImage drawn = dlg->grab().toImage();
  EXPECT_EQ(QColor(drawn.pixel(2, 2)), QColor(241, 244, 250));
}

TEST(LongSmsDlg, InformationShowsOnlyOKEvenRightAfterAQuestionWithTheBox) {
  ScopedScriptedUi ui;
  Long_SMS_Dlg *dlg = Long_SMS_Dlg::defaultInstance();

  Seen question;
  askQuestion(dlg, QStringLiteral("Series exists"), QStringLiteral("Replace \"Names\"?"), true);
  answer(ui, &question, Press::No);
  EXPECT_EQ(dlg->Open_Long_sms_Dialog(), 0);
  EXPECT_TRUE(question.boxShown);
  EXPECT_TRUE(question.noShown);

  QString longText;
  for (int line = 1; line <= 200; ++line)
    longText += QStringLiteral("Line %1 of the help text, long enough to wrap in the dialog's text area.\n").arg(line);
  Cutom_Msg_Title = QStringLiteral("Data source");
  Cutom_Msg_Val = longText;
  Seen info;
  answer(ui, &info, Press::OK);
  EXPECT_EQ(dlg->Open_Long_sms_Dialog(), 1);

  EXPECT_EQ(info.title, QStringLiteral("Data source"));
  EXPECT_EQ(info.text, longText);
  EXPECT_TRUE(info.okShown);
  EXPECT_FALSE(info.noShown);
  EXPECT_FALSE(info.boxShown);
  EXPECT_TRUE(info.textReadOnly);
  EXPECT_GT(info.scrollRange, 0) << "a long text scrolls";
  EXPECT_FALSE(dlg->isVisible());

  const auto requests = ui.requests();
  ASSERT_EQ(requests.size(), 2u);
  for (const auto &request : requests) {
    EXPECT_EQ(request.kind, ScriptedUi::Kind::Modal);
    EXPECT_EQ(request.text, QStringLiteral("Long_SMS_Dlg"));
  }
  // The information strings keep their last values.
  EXPECT_EQ(Cutom_Msg_Title, QStringLiteral("Data source"));
}

TEST(LongSmsDlg, QuestionFieldsHoldForOneOpeningAndTheBoxComesBackWhenAsked) {
  ScopedScriptedUi ui;
  Long_SMS_Dlg *dlg = Long_SMS_Dlg::defaultInstance();

  Seen first;
  askQuestion(dlg, QStringLiteral("Replace?"), QStringLiteral("The series \"A\" exists."), false);
  answer(ui, &first, Press::OK);
  EXPECT_EQ(dlg->Open_Long_sms_Dialog(), 1);
  EXPECT_EQ(first.title, QStringLiteral("Replace?"));
  EXPECT_EQ(first.text, QStringLiteral("The series \"A\" exists."));
  EXPECT_TRUE(first.noShown);
  EXPECT_FALSE(first.boxShown);
  EXPECT_TRUE(dlg->title_val.isNull());
  EXPECT_TRUE(dlg->msg_val_str.isNull());
  EXPECT_FALSE(dlg->apply_chk_show);

  Seen second;
  askQuestion(dlg, QStringLiteral("Replace?"), QStringLiteral("The series \"B\" exists."), true);
  answer(ui, &second, Press::TickAndOK);
  EXPECT_EQ(dlg->Open_Long_sms_Dialog(), 1);
  EXPECT_TRUE(second.boxShown);
  EXPECT_EQ(Msg_Apply_All_Chk, 1);
  EXPECT_FALSE(dlg->apply_chk_show);
}

TEST(LongSmsDlg, NoAndCloseKeepTheFlagAndOKWithTheBoxOffClearsIt) {
  ScopedScriptedUi ui;
  Long_SMS_Dlg *dlg = Long_SMS_Dlg::defaultInstance();
  Seen seen;

  Msg_Apply_All_Chk = 1;
  askQuestion(dlg, QStringLiteral("Replace?"), QStringLiteral("C"), true);
  answer(ui, &seen, Press::TickAndNo);
  EXPECT_EQ(dlg->Open_Long_sms_Dialog(), 0);
  EXPECT_EQ(Msg_Apply_All_Chk, 1);

  Msg_Apply_All_Chk = 0;
  askQuestion(dlg, QStringLiteral("Replace?"), QStringLiteral("D"), true);
  answer(ui, &seen, Press::Close);
  EXPECT_EQ(dlg->Open_Long_sms_Dialog(), 0) << "the close control answers No";
  EXPECT_EQ(Msg_Apply_All_Chk, 0);
  EXPECT_TRUE(dlg->title_val.isNull());

  Msg_Apply_All_Chk = 1;
  askQuestion(dlg, QStringLiteral("Replace?"), QStringLiteral("E"), true);
  answer(ui, &seen, Press::OK);
  EXPECT_EQ(dlg->Open_Long_sms_Dialog(), 1);
  EXPECT_EQ(Msg_Apply_All_Chk, 0);
}

TEST(LongSmsDlg, ATickFromAnEarlierQuestionNeitherShowsNorCounts) {
  ScopedScriptedUi ui;
  Long_SMS_Dlg *dlg = Long_SMS_Dlg::defaultInstance();
  Seen seen;

  askQuestion(dlg, QStringLiteral("Replace?"), QStringLiteral("F"), true);
  answer(ui, &seen, Press::TickAndOK);
  EXPECT_EQ(dlg->Open_Long_sms_Dialog(), 1);
  ASSERT_EQ(Msg_Apply_All_Chk, 1);

  askQuestion(dlg, QStringLiteral("Replace?"), QStringLiteral("G"), true);
  answer(ui, &seen, Press::No);
  EXPECT_EQ(dlg->Open_Long_sms_Dialog(), 0);
  EXPECT_TRUE(seen.boxShown);
  EXPECT_FALSE(seen.boxTicked) << "each question starts with the box off";

  // A hidden box is off: a tick left by a question answered No cannot make OK on a
  // question without the box answer for the rest.
  askQuestion(dlg, QStringLiteral("Replace?"), QStringLiteral("G2"), true);
  answer(ui, &seen, Press::TickAndNo);
  EXPECT_EQ(dlg->Open_Long_sms_Dialog(), 0);
  askQuestion(dlg, QStringLiteral("Replace?"), QStringLiteral("H"), false);
  answer(ui, &seen, Press::OK);
  EXPECT_EQ(dlg->Open_Long_sms_Dialog(), 1);
  EXPECT_EQ(Msg_Apply_All_Chk, 0);
}
