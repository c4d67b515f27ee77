// The main window's Print command.

#include "mainwindow/QLNWindowController.h"

#include "output/Print_Wnd.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include <exception>

void QLNWindowController::Print_Button(QObject *) {
  Check_Series_Or_Excel_Use_or_not();
  if ((Use_Data_Sheet_Values.load() || Use_Excel_Binding_Values.load()) && Total_Batch_Excel_Card.load() == 0) {
    Show_MessageBox(QStringLiteral("List is empty."));
    return;
  }
  Print_method();
}

void QLNWindowController::Print_method() {
  try {
    // Printing to a PDF file needs no printer queue, so the window opens on every
    // machine; printing to a device that is not there says "No printer found.".
    Print_Wnd *window = Print_Wnd::defaultInstance();
    if (!window)
      window = new Print_Wnd(this, this);
    window->Open_Print_Wnd();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
}
