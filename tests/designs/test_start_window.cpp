// The start window over a running main window: the five steps with their guards,
// limits and messages, paging through the titles and messages, Cancel, Back, Exit and
// the close box, opening a design log, the optional "Title.txt" and "Message.txt", and
// the main window's start-up running it.

#include "tests/mainwindow/main_window_fixture.h"

#include "designs/Invitation_Wizard.h"
#include "designs/model/ApologyCatalogue.h"

#include "canvas/QLNGraphicView.h"
#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "core/QLNText.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>

#include <functional>

namespace {

const QString SelectBackground = QStringLiteral("\nPlease select background.");

class StartWindowTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    // The shipped resources: the catalogue and three backgrounds (and a picture of a
    // kind the step does not offer).
    ASSERT_TRUE(QDir().mkpath(shippedDir() + QStringLiteral("/Catalogue")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(AMENDS_SOURCE_DIR "/resources/") + ApologyCatalogue::relativePath(),
                            shippedDir() + QLatin1Char('/') + ApologyCatalogue::relativePath()));
    ASSERT_TRUE(QDir().mkpath(shippedDir() + QStringLiteral("/Background")));
    for (const char *name : {"b_second.jpg", "a_first.png", "c_third.PNG", "d_skipped.gif"}) {
      QImage image(16, 10, QImage::Format_RGB32);
      image.fill(QColor(200, 150, 220));
      const QString file = QString::fromLatin1(name);
      ASSERT_TRUE(image.save(shippedDir() + QStringLiteral("/Background/") + file,
                             file.endsWith(QLatin1String("gif")) ? "PNG" : nullptr));
    }
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    wizard = std::make_unique<Invitation_Wizard>();
    Event_Type = QStringLiteral("1");
    for (QString *text : {&Invite_Title, &Invite_Message, &Invite_From, &Invite_To, &Invite_Venue, &Invite_Date,
                          &Invite_Time, &Invite_BG_IMG})
      *text = QStringLiteral("(left from before)");
  }

  void TearDown() override {
    wizard.reset();
    Event_Type = QStringLiteral("1");
    MainWindowTest::TearDown();
  }

  QString background(const QString &name) const { return resourceDir() + QStringLiteral("/Background/") + name; }

  // Runs the start window with `script` acting on it; answers what the window ended with.
  int run(const std::function<void(Invitation_Wizard &)> &script) {
    scripted.answerModal([this, script](QDialog *dialog) {
      EXPECT_EQ(dialog, wizard->window());
      script(*wizard);
      return dialog->isVisible() ? -1 : dialog->result();
    });
    return wizard->Open_Wnd();
  }

  // From the start screen to the title and message step with event `eventButton`.
  static void toTitleStep(Invitation_Wizard &w, int eventButton = 0) {
    w.Using_Wizard_btn->click();
    w.Next_btn->click();
    w.Next_btn->click();
    w.eventButtons.at(eventButton)->click();
  }

  static QStringList shownBoxes(const Invitation_Wizard &w) {
    QStringList shown;
    for (QWidget *box : {w.Start_card_box, w.first_box, w.second_box, w.event_box, w.third_box, w.fourth_box,
                         w.button_box})
      if (box->isVisible())
        shown << box->objectName();
    return shown;
  }

  QLNWindowController *controller = nullptr;
  std::unique_ptr<Invitation_Wizard> wizard;
};

}  // namespace

TEST_F(StartWindowTest, TheWholeWizardMakesTheCardSizeAndLeavesTrimmedChoices) {
  const int code = run([&](Invitation_Wizard &w) {
    EXPECT_EQ(shownBoxes(w), QStringList{QStringLiteral("Start_card_box")});
    EXPECT_TRUE(w.Exit_btn->isVisible());
    EXPECT_EQ(w.APP_path_label->text(), Resource_Path);

    w.Using_Wizard_btn->click();
    EXPECT_EQ(Start_Card_Option, QStringLiteral("W"));
    EXPECT_EQ(w.next_counter, 1);
    EXPECT_EQ((QStringList{QStringLiteral("first_box"), QStringLiteral("button_box")}), shownBoxes(w));
    EXPECT_FALSE(w.Exit_btn->isVisible());
    EXPECT_EQ(w.width_Text->text(), QStringLiteral("120"));
    // A typed width counts even while its field still has the focus; a stepper click
    // shows in its field.
    w.width_Text->setText(QStringLiteral("100"));
    w.height_Stepper->step(-1);
    EXPECT_EQ(w.height_Text->text(), QStringLiteral("119"));

    // The backgrounds in name order, png and jpg only; the first is chosen by the step.
    w.Next_btn->click();
    EXPECT_EQ(w.next_counter, 2);
    ASSERT_EQ(w.images.size(), 3u);
    EXPECT_EQ(w.images[0]->image_Name, QStringLiteral("a_first.png"));
    EXPECT_EQ(w.images[2]->image_Name, QStringLiteral("c_third.PNG"));
    EXPECT_EQ(w.imageBrowser->selectionIndexes(), QList<int>{0});
    EXPECT_EQ(w.selected_image, background(QStringLiteral("a_first.png")));
    EXPECT_EQ(w.next_counter, 2) << "the step's own choice must not advance";

    w.Next_btn->click();
    EXPECT_EQ(w.next_counter, 3);
    EXPECT_TRUE(w.event_box->isVisible());

    // The boss: the catalogue's lists of event 3 from their first entries.
    w.eventButtons.at(2)->click();
    EXPECT_EQ(Event_Type, QStringLiteral("3"));
    EXPECT_EQ(w.next_counter, 4);
    EXPECT_EQ(w.title_count, 9);
    EXPECT_EQ(w.message_count, 10);
    EXPECT_EQ(w.msg_title->text(), QStringLiteral("I'm sorry!!!"));
    w.Title_Next_btn->click();
    EXPECT_EQ(w.msg_title->text(), QStringLiteral("Please forgive me!"));
    w.msg_value->setPlainText(QStringLiteral("  I will be on time from now on, boss.\n"));

    w.Next_btn->click();
    EXPECT_EQ(w.next_counter, 5);
    EXPECT_EQ(w.selected_title, QStringLiteral("Please forgive me!"));
    // Only From and To are asked for.
    EXPECT_TRUE(w.from_value->isVisible());
    EXPECT_TRUE(w.to_value->isVisible());
    for (QWidget *hidden : std::initializer_list<QWidget *>{w.venue_value, w.Date_picker, w.Date_ctrl_value,
                                                           w.Time_picker, w.Time_ctrl_value, w.venue_label,
                                                           w.date_label, w.time_label})
      EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    w.from_value->setText(QStringLiteral("  Sam "));
    w.to_value->setText(QStringLiteral("   "));
    w.Next_btn->click();
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Start_Card_Option, QStringLiteral("W"));
  EXPECT_EQ(Card_Shape.load(), 0);
  EXPECT_EQ(Invite_Title, QStringLiteral("Please forgive me!"));
  EXPECT_EQ(Invite_Message, QStringLiteral("I will be on time from now on, boss."));
  EXPECT_EQ(Invite_From, QStringLiteral("Sam"));
  EXPECT_EQ(Invite_To, QString());
  EXPECT_EQ(Invite_Venue, QString());
  EXPECT_EQ(Invite_Date, QString());
  EXPECT_EQ(Invite_Time, QString());
  EXPECT_EQ(Invite_BG_IMG, background(QStringLiteral("a_first.png")));
  // The size in the main window's fields and on the canvases.
  EXPECT_FLOAT_EQ(controller->ui->width_Stepper->floatValue(), 100.0f);
  EXPECT_FLOAT_EQ(controller->ui->height_Stepper->floatValue(), 119.0f);
  EXPECT_NEAR(controller->frontView()->bounds().width(), 100 * 2.834645669291, 1e-3);
  EXPECT_NEAR(controller->backView()->bounds().height(), 119 * 2.834645669291, 1e-3);
  EXPECT_FALSE(wizard->window()->isVisible());
}

TEST_F(StartWindowTest, ABackgroundClickedByTheUserAdvancesAndAMissingOneIsRefused) {
  const int code = run([&](Invitation_Wizard &w) {
    w.Using_Wizard_btn->click();
    w.Next_btn->click();
    ASSERT_EQ(w.next_counter, 2);
    // A click on the second picture answers the step.
    w.imageBrowser->setSelectionIndexes({1});
    EXPECT_EQ(w.next_counter, 3);
    EXPECT_EQ(w.selected_image, background(QStringLiteral("b_second.jpg")));

    // Back on the step, the chosen file disappears: Next refuses.
    w.Back_Btn->click();
    EXPECT_EQ(w.next_counter, 2);
    ASSERT_TRUE(QFile::remove(background(QStringLiteral("b_second.jpg"))));
    scripted.expectAlert();
    w.Next_btn->click();
    EXPECT_EQ(w.next_counter, 2);
    EXPECT_TRUE(w.second_box->isVisible());
    w.ExitClick();
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(scripted.alertTexts(), QStringList{SelectBackground});
}

TEST_F(StartWindowTest, DraggedBackgroundsMoveToTheDropGapWithoutAnsweringTheStep) {
  run([&](Invitation_Wizard &w) {
    w.Using_Wizard_btn->click();
    w.Next_btn->click();
    const auto names = [&] {
      QStringList list;
      for (const auto &item : w.images)
        list << item->image_Name.left(1);
      return list;
    };
    ASSERT_EQ(names(), (QStringList{"a", "b", "c"}));
    // The last picture dropped before the first; then the first two after the last.
    w.imageBrowser_moveItemsAtIndexes_toIndex(w.imageBrowser, {2}, 0);
    EXPECT_EQ(names(), (QStringList{"c", "a", "b"}));
    w.imageBrowser_moveItemsAtIndexes_toIndex(w.imageBrowser, {0, 1}, 3);
    EXPECT_EQ(names(), (QStringList{"b", "c", "a"}));
    // Out-of-range indexes and gaps are held to the list.
    w.imageBrowser_moveItemsAtIndexes_toIndex(w.imageBrowser, {7, -1}, 2);
    w.imageBrowser_moveItemsAtIndexes_toIndex(w.imageBrowser, {0}, 99);
    EXPECT_EQ(names(), (QStringList{"c", "a", "b"}));
    EXPECT_EQ(w.imageBrowser->numberOfItems(), 3);
    // The Delete key removes nothing.
    w.imageBrowser_removeItemsAtIndexes(w.imageBrowser, {0});
    EXPECT_EQ(w.images.size(), 3u);
    EXPECT_EQ(w.next_counter, 2);
    w.ExitClick();
  });
}

TEST_F(StartWindowTest, WithoutABackgroundFolderTheBackgroundStepCannotBePassed) {
  ASSERT_TRUE(QDir(resourceDir() + QStringLiteral("/Background")).removeRecursively());
  run([&](Invitation_Wizard &w) {
    EXPECT_TRUE(w.images.empty());
    w.Using_Wizard_btn->click();
    w.Next_btn->click();
    scripted.expectAlert();
    w.Next_btn->click();
    EXPECT_EQ(w.next_counter, 2);
    EXPECT_EQ(w.selected_image, QString());
    w.ExitClick();
  });
  EXPECT_EQ(scripted.alertTexts(), QStringList{SelectBackground});
}

TEST_F(StartWindowTest, BackWalksTheStepsAndCancelFromAnyStepResetsToTheStartScreen) {
  run([&](Invitation_Wizard &w) {
    toTitleStep(w, 6);
    w.Next_btn->click();
    ASSERT_EQ(w.next_counter, 5);
    const QStringList expected[] = {
        {QStringLiteral("third_box"), QStringLiteral("button_box")},
        {QStringLiteral("event_box"), QStringLiteral("button_box")},
        {QStringLiteral("second_box"), QStringLiteral("button_box")},
        {QStringLiteral("first_box"), QStringLiteral("button_box")},
        {QStringLiteral("Start_card_box")},
    };
    for (int step = 4; step >= 0; --step) {
      w.Back_Btn->click();
      EXPECT_EQ(w.next_counter, step);
      EXPECT_EQ(shownBoxes(w), expected[4 - step]);
    }
    // Back on the start screen does nothing.
    w.Back_Click();
    EXPECT_EQ(w.next_counter, 0);

    // Another event on the way back reloads both lists from their first entries.
    toTitleStep(w, 6);
    w.Msg_Next_btn->click();
    w.Back_Btn->click();
    w.eventButtons.at(9)->click();
    EXPECT_EQ(w.message_index, 0);
    EXPECT_EQ(w.msg_title->text(), QStringLiteral("Please forgive me dude."));

    // Cancel from every step: the start screen, every choice dropped, the size kept.
    for (int step = 1; step <= 5; ++step) {
      w.Using_Wizard_btn->click();
      w.width_Text->setText(QStringLiteral("88"));
      while (w.next_counter < step) {
        if (w.next_counter == 3)
          w.eventButtons.at(1)->click();
        else
          w.Next_btn->click();
      }
      if (step == 5)
        w.from_value->setText(QStringLiteral("Kim"));
      w.Cancel_btn->click();
      EXPECT_EQ(w.next_counter, 0) << step;
      EXPECT_EQ(shownBoxes(w), QStringList{QStringLiteral("Start_card_box")}) << step;
      EXPECT_EQ(w.selected_image, QString()) << step;
      EXPECT_EQ(w.selected_title, QString()) << step;
      EXPECT_EQ(w.selected_msg, QString()) << step;
      EXPECT_EQ(w.from_value->text(), QString()) << step;
      EXPECT_EQ(w.width_Text->text(), QStringLiteral("88")) << step;
    }
    w.ExitClick();
  });
}

TEST_F(StartWindowTest, TitlesAndMessagesWrapBothWaysAndFieldsAreCutAtTheirLimits) {
  run([&](Invitation_Wizard &w) {
    toTitleStep(w, 8);  // brother or sister: 9 titles, 15 messages
    ASSERT_EQ(w.message_count, 15);
    const QStringList messages = ApologyCatalogue::builtIn().messages(QStringLiteral("9"));
    w.Msg_Back_btn->click();
    EXPECT_EQ(w.msg_value->toPlainText(), messages.last());
    w.Msg_Next_btn->click();
    EXPECT_EQ(w.msg_value->toPlainText(), messages.first());
    w.Title_Back_btn->click();
    EXPECT_EQ(w.msg_title->text(), QStringLiteral("I am really sorry."));
    for (int i = 0; i < 9; ++i)
      w.Title_Next_btn->click();
    EXPECT_EQ(w.msg_title->text(), QStringLiteral("I am really sorry."));

    w.msg_title->setText(QString(101, QLatin1Char('t')));
    EXPECT_EQ(w.msg_title->text().size(), 100);
    w.msg_value->setPlainText(QString(250, QLatin1Char('m')) + QStringLiteral("X"));
    EXPECT_EQ(w.msg_value->toPlainText(), QString(250, QLatin1Char('m')));
    w.Next_btn->click();

    EXPECT_FALSE(w.clear_details_btn->isEnabled());
    w.from_value->setText(QString(40, QLatin1Char('f')) + QStringLiteral("Z"));
    EXPECT_EQ(w.from_value->text(), QString(40, QLatin1Char('f')));
    EXPECT_TRUE(w.clear_details_btn->isEnabled());
    // A character outside the basic plane at the limit is not halved.
    w.to_value->setText(QString(39, QLatin1Char('t')) + QString::fromUtf8("\xF0\x9F\x92\x90"));
    EXPECT_EQ(w.to_value->text(), QString(39, QLatin1Char('t')));
    w.venue_value->setText(QString(120, QLatin1Char('v')));
    EXPECT_EQ(w.venue_value->text().size(), 100);

    // Clearing asks first.
    scripted.answerYesNo(false);
    w.clear_details_btn->click();
    EXPECT_FALSE(w.from_value->text().isEmpty());
    scripted.answerYesNo(true);
    w.clear_details_btn->click();
    EXPECT_EQ(w.from_value->text(), QString());
    EXPECT_EQ(w.to_value->text(), QString());
    EXPECT_EQ(w.venue_value->text(), QString());
    EXPECT_FALSE(w.clear_details_btn->isEnabled());
    w.ExitClick();
  });
  EXPECT_EQ(scripted.alertTexts(), (QStringList{QStringLiteral("Are you sure you want to clear details?"),
                                                QStringLiteral("Are you sure you want to clear details?")}));
}

TEST_F(StartWindowTest, ADateAndTimePickedShowInTheirTexts) {
  run([&](Invitation_Wizard &w) {
    w.Date_picker->setDate(QDate(2026, 3, 14));
    EXPECT_EQ(w.selected_date, QLocale().toString(QDate(2026, 3, 14), QLocale::LongFormat));
    EXPECT_EQ(w.Date_ctrl_value->text(), w.selected_date);
    w.Time_picker->setTime(QTime(19, 5));
    EXPECT_EQ(w.selected_time, QStringLiteral("7:05 PM"));
    EXPECT_TRUE(w.clear_details_btn->isEnabled());
    // Clearing empties the texts but keeps what was picked.
    w.Clear_Details();
    EXPECT_EQ(w.Time_ctrl_value->text(), QString());
    EXPECT_EQ(w.selected_time, QStringLiteral("7:05 PM"));
    w.ExitClick();
  });
}

TEST_F(StartWindowTest, TheUsersTitleAndMessageFilesShowUntilTheEventStep) {
  QFile titles(resourceDir() + QStringLiteral("/Title.txt"));
  ASSERT_TRUE(titles.open(QIODevice::WriteOnly));
  titles.write("\n  Sorry for the noise\r\nSorry for the mess\n" + QByteArray(300, 'x') + "\n\n");
  titles.close();
  // A message file too large to be a list of messages is not read.
  QFile messages(resourceDir() + QStringLiteral("/Message.txt"));
  ASSERT_TRUE(messages.open(QIODevice::WriteOnly));
  messages.write(QByteArray(ApologyCatalogue::MaxFileBytes + 10, 'm'));
  messages.close();

  ScopedLogCapture log;
  run([&](Invitation_Wizard &w) {
    EXPECT_EQ(w.title_count, 3);
    EXPECT_EQ(w.msg_title->text(), QStringLiteral("Sorry for the noise"));
    EXPECT_EQ(w.message_count, 0);
    EXPECT_EQ(w.msg_value->toPlainText(), QString());
    w.Title_Back_Click();
    EXPECT_EQ(w.msg_title->text().size(), 100) << "an over-long line is cut to the title's limit";
    w.Title_Next_Click();
    w.Title_Next_Click();
    EXPECT_EQ(w.msg_title->text(), QStringLiteral("Sorry for the mess"));
    // Paging an absent list shows nothing and changes nothing.
    w.Msg_Next_Click();
    EXPECT_EQ(w.message_index, 0);

    toTitleStep(w, 0);
    EXPECT_EQ(w.title_count, 9);
    EXPECT_EQ(w.msg_title->text(), QStringLiteral("I'm So Sorry!!!"));
    w.ExitClick();
  });
  EXPECT_TRUE(log.lines().join(QLatin1Char('\n')).contains(QStringLiteral("Message.txt")));
}

TEST_F(StartWindowTest, ExitEndsTheWindowWithNoChoiceAndTheCloseBoxOrEscapeOnlyCancelASteps) {
  Start_Card_Option = QStringLiteral("T");
  int code = run([&](Invitation_Wizard &w) {
    w.Using_Wizard_btn->click();
    w.Next_btn->click();
    // Escape and the close box during the steps return to the start screen.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(w.window(), &escape);
    EXPECT_EQ(w.next_counter, 0);
    EXPECT_TRUE(w.window()->isVisible());
    w.Using_Wizard_btn->click();
    w.window()->close();
    EXPECT_EQ(w.next_counter, 0);
    EXPECT_TRUE(w.window()->isVisible());
    // Escape on the start screen does nothing; its close box is Exit.
    QCoreApplication::sendEvent(w.window(), &escape);
    EXPECT_TRUE(w.window()->isVisible());
    w.window()->close();
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Start_Card_Option, QString());

  code = run([&](Invitation_Wizard &w) { w.Exit_btn->click(); });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Start_Card_Option, QString());
}

TEST_F(StartWindowTest, OpeningADesignLogEndsTheWindowOnlyWhenOneWasLoaded) {
  const QString design = root.path() + QStringLiteral("/Saved.dcard");
  Project_File_Name = design;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  Project_File_Name.clear();
  Event_Type = QStringLiteral("7");

  const int code = run([&](Invitation_Wizard &w) {
    scripted.answerOpenFile(QString());
    w.Open_Log_btn->click();
    EXPECT_EQ(Start_Card_Option, QStringLiteral("L"));
    EXPECT_TRUE(w.window()->isVisible()) << "a cancelled panel keeps the start screen";
    EXPECT_EQ(w.next_counter, 0);
    scripted.answerOpenFile(design);
    w.Open_Log_btn->click();
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Start_Card_Option, QStringLiteral("L"));
  EXPECT_EQ(Project_File_Name, design);
  // The chooser later pages through event 1.
  EXPECT_EQ(Event_Type, QStringLiteral("1"));
}

TEST_F(StartWindowTest, EveryControlHasANameAndATip) {
  for (QWidget *control : wizard->window()->findChildren<QWidget *>()) {
    const bool actedOn = qobject_cast<QAbstractButton *>(control) || qobject_cast<QLineEdit *>(control) ||
                         qobject_cast<QPlainTextEdit *>(control) || qobject_cast<QDateTimeEdit *>(control) ||
                         control == wizard->imageBrowser;
    if (!actedOn || control->objectName().startsWith(QLatin1String("qt_")))
      continue;
    // The line edit inside a date or time picker belongs to the picker.
    if (qobject_cast<QDateTimeEdit *>(control->parentWidget()))
      continue;
    EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className() << " "
                                                      << control->objectName().toStdString();
    EXPECT_FALSE(control->toolTip().isEmpty()) << control->objectName().toStdString();
  }
}

TEST_F(StartWindowTest, ContactUsStandsWithExitAndHelpAndWritesToSupport) {
  run([&](Invitation_Wizard &w) {
    auto *contact = w.window()->findChild<QPushButton *>(QStringLiteral("Contact_us_btn"));
    ASSERT_NE(contact, nullptr);
    EXPECT_EQ(contact->accessibleName(), contact->text());
    EXPECT_TRUE(contact->isVisible());
    // Hidden during the steps, with Exit and Help; back on the start screen after Cancel.
    w.Using_Wizard_btn->click();
    EXPECT_FALSE(contact->isVisible());
    EXPECT_FALSE(w.Exit_btn->isVisible());
    w.Cancel_btn->click();
    EXPECT_TRUE(contact->isVisible());
    EXPECT_TRUE(w.Help_btn_1->isVisible());

    // The support link of the help window, handed to the desktop; the window stays.
    scripted.answerDesktop(true);
    contact->click();
    const std::vector<ScriptedUi::Request> asked = scripted.requests();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back().kind, ScriptedUi::Kind::Desktop);
    EXPECT_EQ(asked.back().text, QStringLiteral("mailto:support@amends.org"));
    EXPECT_TRUE(w.window()->isVisible());
    EXPECT_EQ(w.next_counter, 0);
    w.ExitClick();
  });
}

TEST_F(StartWindowTest, TheSizeStepShowsItsLimitsAndTheSmallestCardKeepsItsWordsWholeOnIt) {
  QLNWindowController::hooks().runStartWindow = [this] { return wizard->Open_Wnd(); };
  QString note;
  QStringList afterFirstNext;
  int stepAfterFirstNext = -1;
  scripted.answerModal([&](QDialog *dialog) {
    Invitation_Wizard &w = *wizard;
    w.Using_Wizard_btn->click();
    for (QLabel *label : w.first_box->findChildren<QLabel *>())
      if (label->isVisible())
        note += label->text() + QLatin1Char('|');
    // Sizes below the smallest the step takes: Next shows what it takes and stays.
    w.width_Text->setText(QStringLiteral("1"));
    w.height_Text->setText(QStringLiteral("1"));
    w.Next_btn->click();
    stepAfterFirstNext = w.next_counter;
    afterFirstNext = {w.width_Text->text(), w.height_Text->text()};
    // The first title and message of the first event; names.
    w.Next_btn->click();
    w.Next_btn->click();
    w.eventButtons.at(0)->click();
    w.Next_btn->click();
    w.from_value->setText(QStringLiteral("Alex"));
    w.to_value->setText(QStringLiteral("Jo"));
    w.Next_btn->click();
    return dialog->result();
  });
  controller->Open_Start_Window();
  EXPECT_TRUE(note.contains(QStringLiteral("from 30 to 1000"))) << note.toStdString();
  EXPECT_EQ(stepAfterFirstNext, 1);
  EXPECT_EQ(afterFirstNext, (QStringList{QStringLiteral("30"), QStringLiteral("30")}));

  // A card of 30 by 30 millimetres.
  const double side = double(QLNWindowController::MM_to_Points_Convert(30.0f));
  ASSERT_NEAR(controller->frontView()->bounds().width(), side, 1e-3);
  const QLNGraphicList texts = controller->Get_Front_Controls_Array();
  ASSERT_EQ(texts.size(), 4);
  for (const QLNGraphicPtr &graphic : texts) {
    SCOPED_TRACE(graphic->control_ID.toStdString());
    const QRectF box = graphic->_bounds;
    EXPECT_GE(box.left(), 0.0);
    EXPECT_GE(box.top(), 0.0);
    EXPECT_LE(box.right(), side + 1e-3);
    EXPECT_LE(box.bottom(), side + 1e-3);
    // Every word fits the box's width in the text's font, so lines break between words.
    ASSERT_TRUE(graphic->Text_Font_value());
    QFont font = graphic->Text_Font_value()->toQFont();
    font.setPixelSize(int(std::lround(graphic->Text_Font_value()->pointSize() * 16)));
    font.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF metrics(font);
    const QStringList words = graphic->Text_Value.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (const QString &word : words)
      EXPECT_LE(metrics.horizontalAdvance(word) / 16.0, box.width()) << word.toStdString();
  }
}

// ---- Start-up ------------------------------------------------------------------------------------

TEST_F(StartWindowTest, TheMainWindowRunsTheWizardAndPlacesTheCard) {
  QLNWindowController::hooks().runStartWindow = [this] { return wizard->Open_Wnd(); };
  QList<int> ended;
  QLNWindowController::hooks().exitProcess = [&](int status) { ended.append(status); };

  scripted.answerModal([&](QDialog *dialog) {
    toTitleStep(*wizard, 0);
    wizard->Next_btn->click();
    wizard->from_value->setText(QStringLiteral("Alex"));
    wizard->to_value->setText(QStringLiteral("Jo"));
    wizard->Next_btn->click();
    return dialog->result();
  });
  controller->Open_Start_Window();
  EXPECT_TRUE(ended.isEmpty());

  QStringList ids;
  for (const QLNGraphicPtr &graphic : controller->Get_Front_Controls_Array())
    ids << graphic->control_ID;
  EXPECT_EQ(ids, (QStringList{QStringLiteral("PARTY_FROM"), QStringLiteral("PARTY_MSG"), QStringLiteral("PARTY_TO"),
                              QStringLiteral("PARTY_TITLE")}));
  EXPECT_EQ(controller->Front_card_Prop.Card_BG_Image_Path(), background(QStringLiteral("a_first.png")));
  EXPECT_EQ(controller->Front_card_Prop.Card_fill_style(), QStringLiteral("I"));
  // Placing the card is no undo step.
  EXPECT_FALSE(controller->document()->undoManager()->canUndo());

  // Exit: the program is asked to end with status 0 through its normal path, and
  // nothing is written.
  const QStringList before = QDir(root.path()).entryList(QDir::Files);
  scripted.answerModal([&](QDialog *dialog) {
    wizard->Exit_btn->click();
    return dialog->result();
  });
  controller->Open_Start_Window();
  EXPECT_EQ(ended, QList<int>{0});
  EXPECT_TRUE(controller->terminationRequested());
  EXPECT_EQ(QDir(root.path()).entryList(QDir::Files), before);
}
