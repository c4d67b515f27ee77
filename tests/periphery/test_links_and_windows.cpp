// The help, review, share and promotion windows and the main window's link commands, as
// a user meets them: what each button and menu item hands to the desktop (the URLs as
// the mail program or browser receives them), the windows' modal codes, the review
// window at Exit, and the promotion slots.

#include "tests/mainwindow/main_window_fixture.h"

#include "periphery/Help_Support.h"
#include "periphery/Links.h"
#include "periphery/Promotion_Form.h"
#include "periphery/Review_Form.h"
#include "periphery/Share_It_Dlg.h"

#include "designs/Invitation_Wizard.h"

#include "mainwindow/DrawWindow.h"

#include "core/MainWindowServices.h"
#include "platform/QtUiServices.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>

namespace {

// The URLs handed to the desktop, encoded as the desktop receives them.
QStringList openedUrls(const ScriptedUi &ui) {
  QStringList urls;
  for (const ScriptedUi::Request &request : ui.requests()) {
    if (request.kind == ScriptedUi::Kind::Desktop)
      urls << QString::fromUtf8(QUrl(request.text).toEncoded());
  }
  return urls;
}

// The windows run modally, by their object names.
QStringList modalWindows(const ScriptedUi &ui) {
  QStringList names;
  for (const ScriptedUi::Request &request : ui.requests()) {
    if (request.kind == ScriptedUi::Kind::Modal)
      names << request.text;
  }
  return names;
}

QPushButton *buttonIn(QWidget *window, const char *name) {
  auto *found = window->findChild<QPushButton *>(QLatin1String(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

// Presses the buttons in order, each expected to hand one link to the desktop.
void pressEach(ScriptedUi &ui, QWidget *window, std::initializer_list<const char *> names) {
  for (const char *name : names) {
    ui.answerDesktop(true);
    if (QPushButton *b = buttonIn(window, name))
      b->click();
  }
}

const QString SharedSite = QStringLiteral("https://cards.amends.org");
const QStringList SocialUrls = {
    QStringLiteral("https://plus.google.com/share?url=https%3A%2F%2Fcards.amends.org"),
    QStringLiteral("https://www.facebook.com/share.php?u=https://cards.amends.org"),
    QStringLiteral("https://twitter.com/intent/tweet?source=AmendsCards&url=https://cards.amends.org"),
    QStringLiteral("https://www.facebook.com/plugins/like.php?href=https://cards.amends.org"),
};
const QString CommentsPage = QStringLiteral("https://cards.amends.org/comments");
const QString ReviewPage = QStringLiteral("https://www.amends.org/review");
const QString ResellerStart =
    QStringLiteral("mailto:partners@amends.org?subject=Affiliate/Partnership%20Enquiry&body=");

class PeripheryWindowTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    QLNWindowController::hooks().exitProcess = [this](int status) { exitStatuses.append(status); };
  }

  QAction *menuItem(const char *name) {
    auto *item = controller->ui->window->menuBar()->findChild<QAction *>(QLatin1String(name));
    EXPECT_NE(item, nullptr) << name;
    return item;
  }

  // A help file in the resource folder; its path.
  QString writeHelpFile() {
    const QString path = resourceDir() + QStringLiteral("/Help.pdf");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4\n");
    return path;
  }

  QLNWindowController *controller = nullptr;
  QList<int> exitStatuses;
};

}  // namespace

// ---- Link commands ----------------------------------------------------------------------------

TEST_F(PeripheryWindowTest, EveryLinkCommandOpensItsAddressEncodedAsTheLinkIsWritten) {
  for (int i = 0; i < 12; ++i)
    scripted.answerDesktop(true);
  controller->Open_Support_Mail();
  controller->Open_Website_1();
  controller->Open_Website_2();
  controller->Open_Website_3();
  controller->Open_Google_Plus();
  controller->Open_FaceBook();
  controller->Open_Twitter();
  controller->Open_FB_Like();
  controller->Open_Share_It_Dl();
  controller->Share_It_Button_Clicked();
  // The sender is ignored.
  controller->Open_Website_2(controller->ui->Help_btn);
  controller->Open_Reseller_Mail();

  const QStringList urls = openedUrls(scripted);
  ASSERT_EQ(urls.size(), 12);
  EXPECT_EQ(urls.mid(0, 4), (QStringList{QStringLiteral("mailto:support@amends.org"),
                                         QStringLiteral("https://www.amends.org"), SharedSite,
                                         QStringLiteral("https://blog.amends.org")}));
  EXPECT_EQ(urls.mid(4, 4), SocialUrls) << "each share link names the second web site";
  EXPECT_EQ(urls.mid(8, 3), (QStringList{CommentsPage, CommentsPage, SharedSite}));

  // The partnership enquiry: blanks as "%20", each line break as one "%0A", nothing
  // else encoded; its lines in the order the enquiry is laid out.
  const QString reseller = urls.at(11);
  ASSERT_TRUE(reseller.startsWith(ResellerStart)) << reseller.toStdString();
  const QString body = reseller.mid(ResellerStart.size());
  EXPECT_FALSE(body.contains(QLatin1Char(' ')));
  EXPECT_EQ(QString(body).remove(QStringLiteral("%20")).remove(QStringLiteral("%0A")).count(QLatin1Char('%')), 0)
      << "only blanks and line breaks are escaped";
  const QStringList lines = QString(body).replace(QStringLiteral("%20"), QStringLiteral(" ")).split(QStringLiteral("%0A"));
  const QString rule(62, QLatin1Char('='));
  ASSERT_EQ(lines.size(), 24) << lines.join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Hello"))) << "a greeting line";
  EXPECT_TRUE(lines[1].contains(QStringLiteral("reseller")) && lines[1].contains(QStringLiteral("contact information")));
  EXPECT_EQ(lines.mid(2, 3), (QStringList{QString(), rule, QString()}));
  EXPECT_TRUE(lines[5].startsWith(QLatin1Char('[')) && lines[5].endsWith(QLatin1Char(']'))) << lines[5].toStdString();
  EXPECT_EQ(lines.mid(6, 4), (QStringList{QString(), rule, QString(), QString()}));
  EXPECT_FALSE(lines[10].isEmpty()) << "the line introducing the partnership types";
  EXPECT_EQ(lines[11], QString());
  EXPECT_TRUE(lines[12].startsWith(QStringLiteral("[1.] ")));
  EXPECT_EQ(lines.mid(13, 3), (QStringList{QString(), QStringLiteral("[and / or]"), QString()}));
  EXPECT_TRUE(lines[16].startsWith(QStringLiteral("[2.] ")));
  EXPECT_EQ(lines.mid(17, 3), (QStringList{QString(), QStringLiteral("[and / or]"), QString()}));
  EXPECT_TRUE(lines[20].startsWith(QStringLiteral("[3.] ")));
  EXPECT_EQ(lines[21], QString());
  EXPECT_TRUE(lines[22].startsWith(QLatin1Char('(')) && lines[22].endsWith(QLatin1Char(')'))) << lines[22].toStdString();
  EXPECT_EQ(lines[23], QString()) << "the body ends with a line break";
}

TEST(Links, MailTextTrimsThenWritesLineBreaksAsBlankLinesAndBlanksAsEscapes) {
  EXPECT_EQ(links::mailText(QStringLiteral(" \t\nDear team,\nthank you \n\n")),
            QStringLiteral("Dear%20team,%0A%0Athank%20you"));
  // One line break of the text arrives as a blank line; the blank after it stays a blank.
  EXPECT_EQ(links::mailText(QStringLiteral("a\n b")), QStringLiteral("a%0A%0A%20b"));
  EXPECT_EQ(links::nameForLink(QStringLiteral("Cards & Co &")), QStringLiteral("Cards and Co and"));
}

TEST(Links, ALinkThatIsNotEncodedIsNotHandedOnAsSomethingElse) {
  ScopedScriptedUi ui;
  ui.answerDesktop(false);
  ui.answerDesktop(false);
  links::openLink(QStringLiteral("mailto:a@amends.org?subject=two words"));
  links::openLink(QStringLiteral("mailto:a@amends.org?subject=100%"));
  const auto requests = ui.requests();
  ASSERT_EQ(requests.size(), 2u);
  for (const auto &request : requests)
    EXPECT_EQ(request.text, QString()) << "an invalid URL, which the desktop refuses";
}

// ---- Help window ----------------------------------------------------------------------------------

TEST_F(PeripheryWindowTest, TheHelpCommandRunsTheHelpWindowWhoseButtonsOpenTheFileAndTheLinks) {
  const QString helpFile = resourceDir() + QStringLiteral("/Help.pdf");
  QFile::remove(helpFile);
  int code = -1;
  scripted.answerModal([&](QDialog *window) {
    EXPECT_TRUE(window->isVisible());
    // No help file: said so, and the window stays.
    scripted.expectAlert();
    buttonIn(window, "_Help_File_Label")->click();
    EXPECT_TRUE(window->isVisible());
    QFile file(helpFile);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4\n");
    file.close();
    pressEach(scripted, window,
              {"_Help_File_Label", "Gplus_btn", "Facebook_btn", "Twitter_btn", "FB_Like_btn", "Social_Comments_btn",
               "support_id", "support_id_2", "website_1", "reseller_1", "reseller_2"});
    buttonIn(window, "close_btn")->click();
    code = window->result();
    return code;
  });
  controller->ui->Help_btn->click();
  EXPECT_EQ(modalWindows(scripted), QStringList{QStringLiteral("HelpWindow")});
  EXPECT_EQ(code, ModalOK) << "Close ends the modal run";
  EXPECT_FALSE(controller->ui->HelpWindow->isVisible());
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\nHelp file does not exist!")});

  const QStringList urls = openedUrls(scripted);
  ASSERT_EQ(urls.size(), 11);
  EXPECT_EQ(urls[0], QUrl::fromLocalFile(helpFile).toEncoded());
  EXPECT_EQ(urls.mid(1, 4), SocialUrls) << "the same links as the main window's commands";
  EXPECT_EQ(urls[5], CommentsPage);
  EXPECT_EQ(urls.mid(6, 3), (QStringList{QStringLiteral("mailto:support@amends.org"),
                                         QStringLiteral("mailto:support@amends.org"),
                                         QStringLiteral("https://www.amends.org")}));
  EXPECT_TRUE(urls[9].startsWith(ResellerStart));
  EXPECT_EQ(urls[10], urls[9]);

  // The Help menu runs the same window again, filled once.
  scripted.clear();
  scripted.answerModal(ModalCancel);
  menuItem("Help_menu_item")->trigger();
  EXPECT_EQ(modalWindows(scripted), QStringList{QStringLiteral("HelpWindow")});
  EXPECT_EQ(controller->ui->HelpWindow->findChildren<Help_Support *>().size(), 1);
  EXPECT_EQ(controller->ui->HelpWindow->findChildren<QPushButton *>(QStringLiteral("close_btn")).size(), 1);
}

// A help file that no application opens (no PDF viewer on the desktop) is said so, naming
// the file: from the help window's button and from the start window's Help button.
TEST_F(PeripheryWindowTest, AHelpFileNoApplicationOpensIsSaidSoWithItsName) {
  const QString helpFile = writeHelpFile();
  const QString message =
      QStringLiteral("\nNo application could open the help file \"%1\".").arg(QDir::toNativeSeparators(helpFile));

  scripted.answerModal([&](QDialog *window) {
    scripted.answerDesktop(false);
    scripted.expectAlert();
    buttonIn(window, "_Help_File_Label")->click();
    EXPECT_TRUE(window->isVisible());
    return ModalCancel;
  });
  controller->ui->Help_btn->click();
  EXPECT_EQ(openedUrls(scripted), QStringList{QUrl::fromLocalFile(helpFile).toEncoded()});
  EXPECT_EQ(scripted.alertTexts(), QStringList{message});

  scripted.clear();
  Invitation_Wizard start;
  scripted.answerDesktop(false);
  scripted.expectAlert();
  start.Help_btn_1->click();
  EXPECT_EQ(openedUrls(scripted), QStringList{QUrl::fromLocalFile(helpFile).toEncoded()});
  EXPECT_EQ(scripted.alertTexts(), QStringList{message});

  // Opened: nothing to say.
  scripted.clear();
  scripted.answerDesktop(true);
  start.Help_btn_1->click();
  EXPECT_TRUE(scripted.alertTexts().isEmpty());
}

// On a desktop whose opener takes the file or link and then finds no application for it
// (xdg-open's status 3), Help and Contact Us say so, naming what could not be opened.
TEST_F(PeripheryWindowTest, HelpAndContactUsSayWhenTheDesktopsOpenerFindsNoApplication) {
  const QString helpFile = writeHelpFile();
  QTemporaryDir bin;
  QFile opener(bin.filePath(QStringLiteral("xdg-open")));
  ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
  opener.write("#!/bin/sh\nexit 3\n");
  opener.close();
  ASSERT_TRUE(opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  const ScopedEnvironment path("PATH", bin.path());
  // The program's own desktop opener; the alerts stay scripted.
  struct RealDesktop : ScriptedUi {
    QtUiServices real;
    bool openWithDesktop(const QUrl &url, std::function<void()> failed) override {
      return real.openWithDesktop(url, std::move(failed));
    }
  } ui;
  UiServices::setInstance(&ui);

  Invitation_Wizard start;
  ui.expectAlert();
  start.Help_btn_1->click();
  EXPECT_TRUE(spinUntil([&] { return !ui.alertTexts().isEmpty(); })) << "Help said nothing";
  EXPECT_EQ(ui.alertTexts().value(0),
            QStringLiteral("\nNo application could open the help file \"%1\".").arg(QDir::toNativeSeparators(helpFile)));
  ui.clear();
  ui.expectAlert();
  start.Contact_us_btn->click();
  EXPECT_TRUE(spinUntil([&] { return !ui.alertTexts().isEmpty(); })) << "Contact Us said nothing";
  EXPECT_EQ(ui.alertTexts().value(0),
            QStringLiteral("\nNo application could open the support mail link \"mailto:support@amends.org\"."));
  UiServices::setInstance(&scripted);
}

// The export sheet's tip says how the combined image stands, as the help does.
TEST_F(PeripheryWindowTest, TheExportTipsSayWhatTheFilesHold) {
  const QString tip = controller->ui->export_combined_image_chk->toolTip();
  EXPECT_TRUE(tip.contains(QStringLiteral("front side above the back side"))) << tip.toStdString();
  // Every exported file holds a PNG picture, whatever type name is chosen.
  for (int row = 0; row < 4; ++row) {
    const QString typeTip = controller->ui->matrix_file_type->cellAtRow(row)->toolTip();
    EXPECT_TRUE(typeTip.contains(QStringLiteral("each holds a PNG picture"))) << typeTip.toStdString();
  }
  EXPECT_TRUE(controller->ui->fileFormatPopup->toolTip().contains(QStringLiteral("PNG picture")));
}

TEST_F(PeripheryWindowTest, EveryButtonOfTheWindowsIsNamedAndExplained) {
  scripted.answerModal(ModalCancel);
  controller->Help_Button();
  scripted.answerModal(ModalCancel);
  controller->Share_It_Dlg_Clicked();
  Promotion_Form promotion;
  QDialog reviewWindow;
  auto *review = new Review_Form(&reviewWindow);
  ASSERT_NE(controller->Share_It_Dlg_Window, nullptr);
  for (QWidget *window : {static_cast<QWidget *>(controller->ui->HelpWindow),
                          static_cast<QWidget *>(controller->Share_It_Dlg_Window.data()),
                          static_cast<QWidget *>(promotion.window()), static_cast<QWidget *>(review->window())}) {
    const auto buttons = window->findChildren<QPushButton *>();
    EXPECT_GE(buttons.size(), 3) << window->objectName().toStdString();
    for (QPushButton *b : buttons) {
      EXPECT_FALSE(b->toolTip().isEmpty()) << b->objectName().toStdString();
      EXPECT_FALSE(b->accessibleName().isEmpty()) << b->objectName().toStdString();
    }
  }
  for (QAction *item : controller->ui->window->menuBar()->findChild<QMenu *>(QStringLiteral("Help_menu"))->findChildren<QAction *>()) {
    if (!item->isSeparator() && !item->menu() && !item->objectName().isEmpty()) {
      EXPECT_NE(item->toolTip(), QString(item->text()).remove(QLatin1Char('&'))) << item->objectName().toStdString();
    }
  }
}

// ---- Review window --------------------------------------------------------------------------------

TEST_F(PeripheryWindowTest, TheReviewWindowIsShownOnceAtExitAndNotWhenExitIsCancelled) {
  QLNWindowController::hooks().runReviewWindow = &Review_Form::runAtExit;
  // A changed design: Exit asks to save it.
  controller->Front_card_Prop.setCard_bor_Stepper(controller->Front_card_Prop.Card_bor_Stepper() + 3);

  // Yes, and the save panel cancelled: the program stays, without a review window.
  scripted.answerYesNo(true);
  scripted.answerSaveFile(QString());
  scripted.expectAlert();
  controller->ui->Exit_btn->click();
  EXPECT_TRUE(modalWindows(scripted).isEmpty());
  EXPECT_TRUE(exitStatuses.isEmpty());

  // No: the review window, before the end; its review button opens the review page.
  scripted.clear();
  scripted.answerYesNo(false);
  int code = -1;
  scripted.answerModal([&](QDialog *window) {
    EXPECT_TRUE(exitStatuses.isEmpty()) << "shown before the program ends";
    scripted.answerDesktop(true);
    buttonIn(window, "review_btn")->click();
    code = window->result();
    return code;
  });
  controller->ui->Exit_btn->click();
  EXPECT_EQ(modalWindows(scripted), QStringList{QStringLiteral("Review_Window")});
  EXPECT_EQ(code, ModalOK);
  EXPECT_EQ(openedUrls(scripted), QStringList{ReviewPage});
  EXPECT_EQ(exitStatuses, QList<int>{0});
  EXPECT_FALSE(controller->ui->Review_Window->isVisible());

  // A second Exit in the same run ends without showing it again.
  scripted.clear();
  scripted.answerYesNo(false);
  controller->ui->Exit_btn->click();
  EXPECT_TRUE(modalWindows(scripted).isEmpty());
  EXPECT_EQ(exitStatuses, (QList<int>{0, 0}));
}

TEST_F(PeripheryWindowTest, BothReviewButtonsOpenTheReviewPageAndNotNowOpensNothing) {
  Review_Form *form = Review_Form::defaultInstance();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->window(), controller->ui->Review_Window) << "the main window's review window";
  EXPECT_EQ(Review_Form::defaultInstance(), form);

  for (const char *name : {"ok_btn", "review_btn", "not_now_btn"}) {
    SCOPED_TRACE(name);
    scripted.clear();
    scripted.answerModal([&](QDialog *window) {
      if (QByteArray(name) != "not_now_btn")
        scripted.answerDesktop(true);
      buttonIn(window, name)->click();
      EXPECT_FALSE(window->isVisible());
      return window->result();
    });
    const int code = form->Open_Review_Form_Window();
    if (QByteArray(name) == "not_now_btn") {
      EXPECT_EQ(code, ModalCancel);
      EXPECT_TRUE(openedUrls(scripted).isEmpty());
    } else {
      EXPECT_EQ(code, ModalOK);
      EXPECT_EQ(openedUrls(scripted), QStringList{ReviewPage});
    }
  }
  // The window's links go through the main window's commands.
  scripted.clear();
  pressEach(scripted, form->window(), {"website_1", "support_id"});
  EXPECT_EQ(openedUrls(scripted),
            (QStringList{QStringLiteral("https://www.amends.org"), QStringLiteral("mailto:support@amends.org")}));
}

// ---- Share window -------------------------------------------------------------------------------------

TEST_F(PeripheryWindowTest, TheShareWindowFromTheHelpMenuSharesAndClosesWithOK) {
  EXPECT_EQ(controller->Share_It_Dlg_Window, nullptr) << "made on first use";
  int code = -1;
  scripted.answerModal([&](QDialog *window) {
    pressEach(scripted, window, {"Gplus_btn", "Facebook_btn", "Twitter_btn", "FB_Like_btn", "Go_Share_It_btn"});
    EXPECT_TRUE(window->isVisible()) << "sharing leaves the window open";
    buttonIn(window, "ok_btn")->click();
    code = window->result();
    return code;
  });
  menuItem("Share_menu_item")->trigger();
  EXPECT_EQ(modalWindows(scripted), QStringList{QStringLiteral("Share_It_Dlg_Window")});
  EXPECT_EQ(code, ModalOK);
  EXPECT_EQ(openedUrls(scripted), SocialUrls + QStringList{CommentsPage});
  ASSERT_NE(controller->Share_It_Dlg_Window, nullptr);
  EXPECT_FALSE(controller->Share_It_Dlg_Window->isVisible());

  // Opened again: the same window.
  QDialog *first = controller->Share_It_Dlg_Window;
  scripted.clear();
  scripted.answerModal(ModalOK);
  controller->Share_It_Dlg_Clicked();
  EXPECT_EQ(controller->Share_It_Dlg_Window, first);

  // The comments item of the menu is the share command of the main window.
  scripted.clear();
  scripted.answerDesktop(true);
  menuItem("Comments_menu_item")->trigger();
  EXPECT_EQ(openedUrls(scripted), QStringList{CommentsPage});
}

// ---- Promotion window ----------------------------------------------------------------------------------

namespace {

// The main window as the promotion window sees it: only its application name.
class NamedApplication : public MainWindowServices {
public:
  QString App_Name() const override { return name; }
  QString name = QStringLiteral("Cards & Co");
};

class PromotionTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(shipped.isValid() && resources.isValid());
    QImage picture(40, 20, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(shipped.filePath(QStringLiteral("Promotion_S.png")), "PNG"));
    QFile broken(shipped.filePath(QStringLiteral("Promotion_B.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    previous = Main_App_wnd;
    Main_App_wnd = &app;
  }
  void TearDown() override { Main_App_wnd = previous; }

  // Opens the window for `type`; `inside` runs while it is shown. Returns the code.
  int open(Promotion_Form &form, const QString &type, const std::function<void(QDialog *)> &inside) {
    form.software_type = type;
    scripted.answerModal([&](QDialog *window) {
      inside(window);
      buttonIn(window, "ok_btn")->click();
      return window->result();
    });
    return form.Open_Promotion_Window();
  }

  QTemporaryDir shipped;
  QTemporaryDir resources;
  ScopedEnvironment shippedEnv{"AMENDS_SHIPPED_RESOURCES", shipped.path()};
  ScopedEnvironment resourceEnv{"AMENDS_RESOURCE_DIR", resources.path()};
  ScopedScriptedUi scripted;
  NamedApplication app;
  MainWindowServices *previous = nullptr;
};

}  // namespace

TEST_F(PromotionTest, EachTypeShowsItsSlotAndItsButtonsOpenThatSlotsLinks) {
  Promotion_Form form;
  app.name = QStringLiteral("changed later");  // the links were built at init

  EXPECT_EQ(open(form, QStringLiteral("S"), [&](QDialog *window) {
              EXPECT_EQ(form.Software_title->text(), QStringLiteral("Amends Stationery"));
              EXPECT_FALSE(form.short_descp->text().isEmpty());
              EXPECT_FALSE(form.long_descp->text().isEmpty());
              EXPECT_FALSE(form.bundle_image->pixmap().isNull()) << "the shipped picture";
              pressEach(scripted, window, {"mail_btn", "contact_btn", "order_btn"});
            }),
            ModalOK);
  const QString contactS = openedUrls(scripted).value(1);
  EXPECT_EQ(openedUrls(scripted).value(0),
            QStringLiteral("mailto:stationery@amends.org?subject=How%20can%20Amends%20Stationery%20help%20me?&body="
                           "Hello,%0A%0AI%20would%20like%20to%20know%20how%20Amends%20Stationery%20works%20with%20my%20"
                           "apology%20cards.%0A%0APlease%20send%20me%20more%20information."));
  EXPECT_EQ(openedUrls(scripted).value(2), QStringLiteral("https://www.amends.org/stationery"));

  // "R" after "S": title, descriptions and picture replaced (R has no picture); the
  // contact link names the application with "and" for "&", in subject and body, and a
  // line break arrives as a blank line.
  scripted.clear();
  open(form, QStringLiteral("R"), [&](QDialog *window) {
    EXPECT_EQ(form.Software_title->text(), QStringLiteral("Amends Reminders"));
    EXPECT_TRUE(form.bundle_image->pixmap().isNull()) << "no picture for this slot";
    pressEach(scripted, window, {"contact_btn", "order_btn", "youtube_btn"});
  });
  EXPECT_EQ(openedUrls(scripted),
            (QStringList{QStringLiteral("mailto:reminders@amends.org?subject=User%20Enquiry%20from%20App:%20Cards%20and%20Co"
                                        "&body=Hello%20Amends%20Reminders%20Support%20Team,%0A%0AI%20read%20about%20Amends"
                                        "%20Reminders%20in%20Cards%20and%20Co%20and%20I%20have%20a%20query:"),
                         QStringLiteral("https://www.amends.org/reminders"),
                         QStringLiteral("https://www.youtube.com/@amendscards")}));
  EXPECT_NE(contactS, openedUrls(scripted).value(0));

  // An unknown type code: the fields keep what they showed, the links are empty.
  scripted.clear();
  open(form, QStringLiteral("X"), [&](QDialog *window) {
    EXPECT_EQ(form.Software_title->text(), QStringLiteral("Amends Reminders"));
    pressEach(scripted, window, {"mail_btn", "contact_btn", "order_btn"});
  });
  const auto requests = scripted.requests();
  int empty = 0;
  for (const auto &request : requests)
    empty += request.kind == ScriptedUi::Kind::Desktop && request.text.isEmpty();
  EXPECT_EQ(empty, 3);
  EXPECT_EQ(form.software_type, QStringLiteral("X")) << "the type code stays after the window closes";

  // "B": its shipped picture cannot be read, so the slot has none.
  scripted.clear();
  open(form, QStringLiteral("B"), [&](QDialog *) {
    EXPECT_EQ(form.Software_title->text(), QStringLiteral("Amends Badges"));
    EXPECT_TRUE(form.bundle_image->pixmap().isNull());
  });
}

TEST_F(PeripheryWindowTest, ThePromotionItemsOpenTheOneWindowWithTheirType) {
  Promotion_Form *form = Promotion_Form::defaultInstance();
  ASSERT_NE(form, nullptr);
  const std::pair<const char *, QString> items[] = {{"Promotion_R_menu_item", QStringLiteral("Amends Reminders")},
                                                    {"Promotion_B_menu_item", QStringLiteral("Amends Badges")},
                                                    {"Promotion_S_menu_item", QStringLiteral("Amends Stationery")}};
  for (const auto &[name, title] : items) {
    scripted.clear();
    QString shown;
    scripted.answerModal([&](QDialog *) {
      shown = form->Software_title->text();
      return ModalOK;
    });
    menuItem(name)->trigger();
    EXPECT_EQ(modalWindows(scripted), QStringList{QStringLiteral("Promotion_Form")});
    EXPECT_EQ(shown, title);
    EXPECT_EQ(Promotion_Form::defaultInstance(), form);
  }
}

// ---- Banner and pattern -----------------------------------------------------------------------------

namespace {

// A main window that has the shipped banner and promotion pattern pictures.
class PatternedWindowTest : public PeripheryWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    for (const char *name : {"banner.png", "pattern_1.jpg"})
      ASSERT_TRUE(QFile::copy(QStringLiteral(AMENDS_SOURCE_DIR "/resources/") + QLatin1String(name),
                              shippedDir() + QLatin1Char('/') + QLatin1String(name)));
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    ASSERT_FALSE(controller->banner_image().isNull());
    ASSERT_FALSE(controller->promotion_pattern_image().isNull());
  }

  // The window as it is drawn, laid out at its own size.
  static QImage drawn(QDialog *window) {
    window->ensurePolished();
    window->layout()->activate();
    window->resize(window->sizeHint().expandedTo(window->minimumSizeHint()));
    window->layout()->activate();
    return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  // `tile` repeated from `origin` over the window's ground colour, as the window is
  // expected to show it in `area`.
  static QImage tiled(const QImage &tile, const QSize &size, const QPoint &origin) {
    QImage expected(size, QImage::Format_RGB32);
    expected.fill(links::WindowColor);
    QPainter painter(&expected);
    painter.setBrushOrigin(origin);
    painter.fillRect(expected.rect(), QBrush(tile));
    return expected;
  }

  // Counts the pixels of `area` of `image` that differ from `expected` (same area) by
  // more than a rounding step.
  static int differing(const QImage &image, const QImage &expected, const QRect &area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) {
        const QRgb a = image.pixel(x, y), b = expected.pixel(x, y);
        if (std::abs(qRed(a) - qRed(b)) > 2 || std::abs(qGreen(a) - qGreen(b)) > 2 || std::abs(qBlue(a) - qBlue(b)) > 2)
          ++count;
      }
    return count;
  }
};

}  // namespace

TEST_F(PatternedWindowTest, TheLinkWindowsShowTheBannerAndThePromotionWindowStandsOnItsPattern) {
  // The help, share and review windows: the banner across the top, tiled from its
  // top-left corner, with the window's title centred on it.
  QDialog reviewWindow;
  new Review_Form(&reviewWindow);
  scripted.answerModal(ModalCancel);
  controller->Share_It_Dlg_Clicked();
  scripted.answerModal(ModalCancel);
  controller->Help_Button();
  const std::pair<QDialog *, QString> windows[] = {
      {controller->ui->HelpWindow, QStringLiteral("Amends Help and Support")},
      {controller->Share_It_Dlg_Window.data(), QStringLiteral("Share Amends")},
      {&reviewWindow, QStringLiteral("Thank you for using Amends!")}};
  for (const auto &[window, title] : windows) {
    SCOPED_TRACE(title.toStdString());
    ASSERT_NE(window, nullptr);
    const QImage image = drawn(window);
    auto *banner = window->findChild<QLabel *>(QStringLiteral("banner"));
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->metaObject()->className(), QByteArray("Repeat_Image"));
    const QRect place(banner->mapTo(window, QPoint(0, 0)), banner->size());
    EXPECT_EQ(place.topLeft(), QPoint(0, 0));
    EXPECT_EQ(place.width(), window->width());
    EXPECT_EQ(place.height(), controller->banner_image().pixels.height());
    auto *heading = banner->findChild<QLabel *>(QStringLiteral("banner_title"));
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text(), title);
    // Above and after the title the banner shows only its tiles.
    const QImage expected = tiled(controller->banner_image().pixels, image.size(), place.topLeft());
    EXPECT_EQ(differing(image, expected, QRect(0, 0, place.width(), 12)), 0);
    EXPECT_EQ(differing(image, expected, QRect(place.width() - 12, 0, 12, place.height())), 0);
    // Below it the window's own ground.
    EXPECT_EQ(image.pixelColor(place.width() / 2, place.bottom() + 4), links::WindowColor.toRgb());
  }
  // The help window's one-line headings stand in the middle of their tall rows.
  for (const QString &text : {QStringLiteral("Support:"), QStringLiteral("Web site:"), QStringLiteral("Resellers:")}) {
    QLabel *found = nullptr;
    for (QLabel *label : controller->ui->HelpWindow->findChildren<QLabel *>())
      if (label->text() == text)
        found = label;
    ASSERT_NE(found, nullptr) << text.toStdString();
    EXPECT_EQ(found->metaObject()->className(), QByteArray("VerticallyCenteredTextFieldCell"));
  }

  // The promotion window: its margins show the pattern, tiled from the window's
  // bottom-left corner.
  QImage promotion;
  QSize promotionSize;
  scripted.answerModal([&](QDialog *window) {
    promotion = drawn(window);
    promotionSize = window->size();
    return ModalOK;
  });
  controller->Promotion_S_Button();
  ASSERT_FALSE(promotion.isNull());
  const QImage expected = tiled(controller->promotion_pattern_image().pixels, promotion.size(), QPoint(0, promotionSize.height()));
  EXPECT_EQ(differing(promotion, expected, QRect(0, 0, promotion.width(), 10)), 0);
  EXPECT_EQ(differing(promotion, expected, QRect(0, 0, 10, promotion.height())), 0);
  EXPECT_GT(differing(promotion, tiled(QImage(), promotion.size(), QPoint()), QRect(0, 0, promotion.width(), 10)), 0);
}
