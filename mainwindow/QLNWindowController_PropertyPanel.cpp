// The property panel of the main window. Every change of what is selected or shown
// comes here through Show_RHS_Properties.
//
// The panel's tabs are not filled yet: of Show_RHS_Properties only the first steps are
// in place, those that the rest of the program relies on already (the tools return to
// the arrow tool through it). Filling the card tabs or an object's tabs belongs where
// this file says so.

#include "mainwindow/QLNWindowController.h"

#include "core/Globals.h"

#include <QThread>

void QLNWindowController::Show_RHS_Properties(const QLNGraphicPtr &graphic) {
  // 1. While the panel's controls are filled by code, nothing changes.
  if (Not_Draw_Only_Prop_Change == 1)
    return;
  // The panel is made of widgets: only the GUI thread may show anything in it.
  if (QThread::currentThread() != thread())
    return;
  // 2. Every call returns to the arrow tool.
  selectArrowTool();

  // 3. / 4. The card tabs (graphic null) or the tabs of the object's kind are filled
  //    here once the property panel is built.
  (void)graphic;
}
