// The main window's series commands: Series opens the series manager, New Series the
// number generator for a new series file.

#include "mainwindow/QLNWindowController.h"

#include "dataseries/BatchWizard.h"
#include "dataseries/Generate_List.h"

#include "core/Utilities.h"

void QLNWindowController::Batch_Series_Button(QObject *) {
  runLoggingFailures("Batch_Series_Button", [] { BatchWizard::defaultInstance()->Open_Wnd(); });
  refreshShownProperties();
}

void QLNWindowController::Create_Series_Button(QObject *) {
  runLoggingFailures("Create_Series_Button", [] {
    Generate_List *generator = Generate_List::defaultInstance();
    generator->file_name_required = 1;
    generator->file_name_Insert = 0;
    generator->Open_Wnd();
  });
  refreshShownProperties();
}
