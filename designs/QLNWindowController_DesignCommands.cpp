// The design-file commands of the main window: New, Open, Save and Save As on the
// toolbar and in the File menu, and Exit with its save question. A question answered
// Yes whose save did not happen (the panel was cancelled or the file could not be
// written) stops the command, so that no unsaved work is thrown away.

#include "mainwindow/QLNWindowController.h"

#include "designs/DesignFileSupport.h"

#include "mainwindow/DrawWindow.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include "platform/UiServices.h"

#include <QAction>
#include <QDialog>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <exception>
#include <functional>

namespace DesignFiles {

const QString SaveBeforeOpenQuestion = QStringLiteral("Do you want to save changes before opening document?");

bool saveBeforeReplacing(QLNWindowController &controller, const QString &question, const QString &consequence,
                         bool showSaved) {
  // Nothing changed since the design was saved, opened or begun: nothing to ask.
  if (!controller.isDesignChanged())
    return true;
  if (!Show_YES_NO_MessageBox(question))
    return true;
  QString failure;
  if (controller.Save_project_file(false, showSaved, &failure))
    return true;
  const QString what = failure.isEmpty() ? QStringLiteral("The design has not been saved") : failure;
  Show_MessageBox(QStringLiteral("%1, %2").arg(what, consequence));
  return false;
}

}  // namespace DesignFiles

namespace {

using DesignFiles::saveBeforeReplacing;

const QString SaveBeforeNewQuestion = QStringLiteral("Do you want to save changes before opening new document?");
const QString SaveBeforeCloseQuestion = QStringLiteral("Do you want to save changes before closing?");
// What did not happen because the design was not saved.
const QString NoNewDesign = QStringLiteral("so no new design was started.");
const QString NoDesignOpened = QStringLiteral("so no design was opened.");
const QString ProgramStaysOpen = QStringLiteral("so the program stays open.");

}  // namespace

void QLNWindowController::Save_Btn_Clicked(QObject *) {
  runLoggingFailures("Save", [this] { Save_project_file(false, true); });
}

void QLNWindowController::SaveAs_Btn_Clicked(QObject *) {
  runLoggingFailures("Save As", [this] { Save_project_file(true, true); });
}

void QLNWindowController::New_Btn_Clicked(QObject *) {
  runLoggingFailures("New", [this] {
    if (!saveBeforeReplacing(*this, SaveBeforeNewQuestion, NoNewDesign, true))
      return;
    New_Project();
    Undo_Redo_Button_state();
  });
}

void QLNWindowController::Open_Btn_Clicked(QObject *) {
  runLoggingFailures("Open", [this] {
    if (!saveBeforeReplacing(*this, DesignFiles::SaveBeforeOpenQuestion, NoDesignOpened, true))
      return;
    New_Project_Setting_Reset();
    const int result = Open_Log_File();
    Undo_Redo_Button_state();
    if (result != 1)
      Open_Start_Window();
  });
  Not_Draw_Only_Prop_Change = 0;
}

void QLNWindowController::Exit_Btn_Clicked(QObject *) { Exit_App(); }

void QLNWindowController::Exit_App() {
  // The program stays unless the question was answered and the save (when wanted) done.
  bool stay = true;
  runLoggingFailures("Exit", [this, &stay] {
    if (!saveBeforeReplacing(*this, SaveBeforeCloseQuestion, ProgramStaysOpen, false))
      return;
    stay = false;
    if (hooks().runReviewWindow)
      hooks().runReviewWindow();
  });
  if (!stay)
    endProcess(0);
}

void QLNWindowController::installDesignFileCommands() {
  struct Command {
    const char *buttonName;
    const char *menuName;
    QString text;
    QString menuText;
    QString tip;
    QKeySequence shortcut;
    void (QLNWindowController::*action)(QObject *);
  };
  const Command commands[] = {
      {"New_btn", "New_menu_item", QStringLiteral("New"), QStringLiteral("&New"), QStringLiteral("Start a new design"),
       QKeySequence::New, &QLNWindowController::New_Btn_Clicked},
      {"Open_btn", "Open_menu_item", QStringLiteral("Open"), QStringLiteral("&Open..."),
       QStringLiteral("Open a design file"), QKeySequence::Open, &QLNWindowController::Open_Btn_Clicked},
      {"Save_btn", "Save_menu_item", QStringLiteral("Save"), QStringLiteral("&Save"), QStringLiteral("Save the design"),
       QKeySequence::Save, &QLNWindowController::Save_Btn_Clicked},
      {"SaveAs_btn", "SaveAs_menu_item", QStringLiteral("Save As"), QStringLiteral("Save &As..."),
       QStringLiteral("Save the design under a new name"), QKeySequence::SaveAs,
       &QLNWindowController::SaveAs_Btn_Clicked},
  };

  QMainWindow *mainWindow = ui->window;
  QMenu *fileMenu = mainWindow->menuBar()->addMenu(QStringLiteral("&File"));
  fileMenu->setObjectName(QStringLiteral("File_menu"));
  auto *toolbar = mainWindow->findChild<QToolBar *>(QStringLiteral("command_toolbar"));
  QAction *firstTool = toolbar && !toolbar->actions().isEmpty() ? toolbar->actions().constFirst() : nullptr;

  for (const Command &command : commands) {
    const auto handler = command.action;
    QAction *item = fileMenu->addAction(command.menuText);
    item->setObjectName(QLatin1String(command.menuName));
    item->setShortcut(command.shortcut);
    item->setShortcutContext(Qt::ApplicationShortcut);
    connect(item, &QAction::triggered, this, [this, item, handler] { (this->*handler)(item); });

    if (toolbar) {
      auto *button = new QToolButton;
      button->setObjectName(QLatin1String(command.buttonName));
      button->setText(command.text);
      button->setToolTip(command.tip);
      button->setToolButtonStyle(Qt::ToolButtonTextOnly);
      button->setAutoRaise(true);
      toolbar->insertWidget(firstTool, button);
      connect(button, &QToolButton::clicked, this, [this, button, handler] { (this->*handler)(button); });
    }
  }
  if (toolbar)
    toolbar->insertSeparator(firstTool);

  fileMenu->addSeparator();
  QAction *exitItem = fileMenu->addAction(QStringLiteral("E&xit"));
  exitItem->setObjectName(QStringLiteral("Exit_menu_item"));
  exitItem->setShortcut(QKeySequence::Quit);
  exitItem->setShortcutContext(Qt::ApplicationShortcut);
  connect(exitItem, &QAction::triggered, this, [this, exitItem] { Exit_Btn_Clicked(exitItem); });
  connect(ui->Exit_btn, &QToolButton::clicked, this, [this] { Exit_Btn_Clicked(ui->Exit_btn); });
}
