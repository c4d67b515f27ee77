// The main window's Import command: the import wizard, writing a new series file (the
// series manager's list is not refreshed: it is not open).

#include "mainwindow/QLNWindowController.h"

#include "dataseries/Import_Wizard.h"

#include "core/Utilities.h"

void QLNWindowController::Import_Wizard_Button(QObject *) {
  runLoggingFailures("Import_Wizard_Button", [] { Import_Wizard::openWithFlags(1, 0); });
  // A new series or imported rows: the panel's lists show them at once.
  refreshShownProperties();
}
