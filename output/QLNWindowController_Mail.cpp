// The main window's Mail command.

#include "mainwindow/QLNWindowController.h"

#include "output/Send_Mail.h"

#include "core/Utilities.h"

#include <exception>

void QLNWindowController::Mail_Button(QObject *) {
  try {
    Check_Series_Or_Excel_Use_or_not();
    Send_Mail *window = findChild<Send_Mail *>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
      window = new Send_Mail(this, this);
    window->Open_Wnd();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}
