// The new project: the reset that puts every per-design setting back to its default and
// empties both card sides, and New_Project, which follows the reset with the start
// window.

#include "mainwindow/QLNWindowController.h"

#include "designs/DesignFileSupport.h"
#include "designs/model/DesignLog.h"

#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "canvas/QLNGraphicView.h"

#include "core/Globals.h"
#include "core/QLNDocument.h"
#include "core/QLNGrid.h"
#include "core/Utilities.h"

#include <QLineEdit>

#include <exception>

void QLNWindowController::New_Project_Setting_Reset() {
  // 1. Property updates do nothing while the controls are set by code; the flag is put
  //    back when the reset ends, however it ends.
  PropertyFillGuard fill;

  // 2. Card objects this program put on the clipboard cannot be pasted into the new
  //    design; whatever else the user copied stays.
  DesignFiles::clearOwnClipboardContents();
  // 3. The resource subfolders and the data folder, whichever is missing.
  Check_Path_And_Create_Files();
  // 4. The grid is no longer shown for good.
  _grid->setAlwaysShown(false);
  // 5. No undo or redo (this also empties the front list).
  if (m_document)
    m_document->Clear_All_Undo_Redo();
  // 6. - 8. New objects are placed from (10, 10) again; no profile waits to be placed,
  //    and the front and back profile records are new (the temp record stays).
  last_ctrl_X = 10.0f;
  last_ctrl_Y = 10.0f;
  Fill_User_Profile = false;
  Front_user_profile.Reset_All_Values();
  Back_user_profile.Reset_All_Values();
  // 9. Untitled.
  Project_File_Name = QString();

  // 10. - 13. The all-text font and colour, and the second set emptied.
  m_All_Text_font = FontSpec(Text_Ctrl_Font, 14.0);
  ui->All_Text_font_value->setText(QStringLiteral("%1 ( %2 )").arg(
      m_All_Text_font.postScriptName(), QString::number(m_All_Text_font.pointSize(), 'f', 2)));
  ui->All_Text_clr->setColor(Qt::black);
  ui->All_Text_font_value_COPY->clear();
  All_Text_font_COPY.reset();
  ui->All_Text_clr_COPY->setColor(All_Text_clr());

  // 14. - 15. Both sides' settings as a new design has them.
  resetCardPropertyForNewProject(Front_card_Prop, m_All_Text_font, All_Text_clr());
  resetCardPropertyForNewProject(Back_card_Prop, m_All_Text_font, All_Text_clr());

  // 16. The front side is current. 17. The card panel's fill controls for a solid fill.
  Select_front_side();
  card_prop_set(QStringLiteral("S"));
  // 18. The title names no file.
  Set_Log_Name_In_Title();
  // 19. Both canvases lose every object, and their selections with them. Nothing of it
  //     can be undone: the new design starts with an empty history (step 5). The temp
  //     side stays.
  {
    DesignFiles::UndoRegistrationPause noUndo(m_document);
    frontView()->delete_all_control();
    backView()->delete_all_control();
  }
  // The backgrounds list no longer shows a background: the front has none.
  showFrontBackgroundInList();
  // 20. The flag is put back by the guard.
}

void QLNWindowController::New_Project() {
  try {
    New_Project_Setting_Reset();
    // The property panel shows the new card's own properties.
    Show_RHS_Properties(nullptr);
    Refresh_Canvas();
    // The new design as it starts is nothing to save; what the start window makes is.
    markDesignUnchanged();
    Open_Start_Window();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  } catch (...) {
    Show_NSLog_Message(QStringLiteral("The new project could not be started."));
  }
  Not_Draw_Only_Prop_Change = 0;
}
