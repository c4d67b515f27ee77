// Every window the program builds, as a screen reader meets it: a button, check box or
// radio button with a text has a tip and is named by that text ("?" by "Help"); the
// colour wells are buttons an assistive tool can press, named after what they colour.

#include "tests/mainwindow/main_window_fixture.h"

#include "barcode/Barcode_Gen.h"
#include "dataseries/BatchWizard.h"
#include "dataseries/Generate_List.h"
#include "dataseries/Import_Excel.h"
#include "dataseries/Import_Excel_DataSheet.h"
#include "dataseries/Import_Wizard.h"
#include "dataseries/View_Data_Series.h"
#include "designs/Card_Wizard.h"
#include "designs/Grid_Wizard.h"
#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"
#include "output/Print_Wnd.h"
#include "output/Send_Mail.h"
#include "periphery/Promotion_Form.h"
#include "periphery/Review_Form.h"
#include "profiles/Show_User_Profile.h"
#include "profiles/User_profile.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QMainWindow>

namespace {

// The text a button shows, as it is read: "&Save" is "Save", "Salt && Pepper" is
// "Salt & Pepper".
QString shownText(const QAbstractButton *button) {
  QString text = button->text();
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
  return text;
}

// Where a widget sits, for a failure message: its window's name and its own.
std::string whereIs(const QWidget *widget) {
  const QWidget *window = widget->window();
  return (window->objectName() + QStringLiteral(" / ") + widget->objectName() + QStringLiteral(" \"") +
          (qobject_cast<const QAbstractButton *>(widget) ? qobject_cast<const QAbstractButton *>(widget)->text()
                                                         : QString()) +
          QStringLiteral("\""))
      .toStdString();
}

}  // namespace

TEST_F(MainWindowTest, EveryLabelledButtonOfEveryWindowHasATipAndItsOwnNameAndEveryColourWellCanBePressed) {
  QLNWindowController *controller = startSession();
  ASSERT_TRUE(controller);
  // The objects' tabs, which the main window makes once its first screen is drawn.
  controller->ui->objectTabs.ensureBuilt();
  // The windows of the subsystems, built as their commands first build them.
  ASSERT_TRUE(Barcode_Gen::sharedInstance());
  ASSERT_TRUE(BatchWizard::defaultInstance());
  ASSERT_TRUE(Generate_List::defaultInstance());
  ASSERT_TRUE(Import_Wizard::defaultInstance());
  ASSERT_TRUE(Import_Excel::defaultInstance());
  ASSERT_TRUE(Import_Excel_DataSheet::defaultInstance());
  ASSERT_TRUE(View_Data_Series::defaultInstance());
  Card_Wizard cardSize(controller);
  Grid_Wizard grid(controller->ui);
  Print_Wnd print(controller);
  Send_Mail mail(controller);
  ASSERT_TRUE(Show_User_Profile::defaultInstance());
  ASSERT_TRUE(User_profile::defaultInstance());
  ASSERT_TRUE(Review_Form::defaultInstance());
  ASSERT_TRUE(Promotion_Form::defaultInstance());
  // The help and share windows, run once and cancelled.
  scripted.answerModal(ModalCancel);
  controller->Help_Button();
  scripted.answerModal(ModalCancel);
  controller->Share_It_Dlg_Clicked();

  int labelled = 0;
  int wells = 0;
  QSet<QString> windows;
  for (QWidget *widget : QApplication::allWidgets()) {
    auto *button = qobject_cast<QAbstractButton *>(widget);
    // Qt's own parts (the scroll arrows of a tab bar, a dialog's internal buttons).
    if (!button || button->objectName().startsWith(QLatin1String("qt_")))
      continue;
    if (auto *well = qobject_cast<ColorWell *>(button)) {
      ++wells;
      EXPECT_FALSE(well->accessibleName().isEmpty()) << whereIs(well);
      EXPECT_FALSE(well->toolTip().isEmpty()) << whereIs(well);
      QAccessibleInterface *access = QAccessible::queryAccessibleInterface(well);
      ASSERT_TRUE(access) << whereIs(well);
      ASSERT_TRUE(access->actionInterface()) << whereIs(well) << " role " << int(access->role());
      EXPECT_TRUE(access->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()))
          << whereIs(well);
      continue;
    }
    if (shownText(button).trimmed().isEmpty())
      continue;
    ++labelled;
    windows << button->window()->objectName();
    QAccessibleInterface *access = QAccessible::queryAccessibleInterface(button);
    ASSERT_TRUE(access) << whereIs(button);
    EXPECT_FALSE(access->text(QAccessible::Name).isEmpty()) << whereIs(button);
    EXPECT_FALSE(button->toolTip().isEmpty()) << whereIs(button);
    // The name says what the label says, so a spoken command finds the button by what is
    // on screen; a "?" says "Help", and its tip tells what it helps with.
    const QString shown = shownText(button).trimmed();
    const QString expected = shown == QLatin1String("?") ? QStringLiteral("Help") : shown;
    EXPECT_EQ(access->text(QAccessible::Name), expected)
        << whereIs(button) << " tip \"" << button->toolTip().toStdString() << "\"";
    if (shown == QLatin1String("?")) {
      EXPECT_NE(button->toolTip(), QStringLiteral("Help")) << whereIs(button);
    }
  }
  // An assistive tool's press opens the colour panel, and the chosen colour is the well's.
  ColorWell *fill = nullptr;
  for (ColorWell *well : controller->ui->window->findChildren<ColorWell *>())
    if (!fill && well->isEnabled())
      fill = well;
  ASSERT_TRUE(fill);
  scripted.answerColor(QColor(10, 20, 30));
  QAccessible::queryAccessibleInterface(fill)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(fill->color(), QColor(10, 20, 30));

  // The walk reached the windows: the main window's panel alone has dozens of buttons.
  EXPECT_GT(labelled, 150);
  EXPECT_GT(windows.size(), 10) << windows.values().join(QLatin1Char(' ')).toStdString();
  EXPECT_TRUE(windows.contains(QStringLiteral("HelpWindow")));
  EXPECT_TRUE(windows.contains(QStringLiteral("Share_It_Dlg_Window")));
  EXPECT_GT(wells, 20);
}
