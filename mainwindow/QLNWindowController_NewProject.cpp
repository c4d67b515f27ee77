// A new project and the window title. These belong with the design files and move to
// that code when it comes; until then the reset covers what the program has so far.

#include "mainwindow/QLNWindowController.h"

#include "mainwindow/CardSideView.h"
#include "mainwindow/DrawWindow.h"
#include "mainwindow/PanelWidgets.h"

#include "core/Globals.h"
#include "core/QLNDocument.h"
#include "core/QLNGrid.h"
#include "core/Utilities.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>

#include <exception>

void QLNWindowController::New_Project() {
  try {
    Not_Draw_Only_Prop_Change = 1;
    // The resource subfolders and the data folder.
    Check_Path_And_Create_Files();
    _grid->setAlwaysShown(false);
    if (m_document)
      m_document->Clear_All_Undo_Redo();
    last_ctrl_X = 10.0f;
    last_ctrl_Y = 10.0f;
    Fill_User_Profile = false;
    Front_user_profile.Reset_All_Values();
    Back_user_profile.Reset_All_Values();
    Project_File_Name.clear();

    // The content font and colour, then both sides' settings as a new card has them.
    m_All_Text_font = FontSpec(Text_Ctrl_Font, 14.0);
    ui->All_Text_clr->setColor(Qt::black);
    ui->All_Text_font_value->setText(QStringLiteral("%1 ( %2 )").arg(
        m_All_Text_font.postScriptName(), QString::number(m_All_Text_font.pointSize(), 'f', 2)));
    for (Card_Property *side : {&Front_card_Prop, &Back_card_Prop}) {
      *side = Card_Property();
      side->setCard_border_chk(true);
      side->setCard_Content_clr(All_Text_clr());
      side->setCard_Content_font(m_All_Text_font);
    }

    Select_front_side();
    Set_Log_Name_In_Title();
    // Every object of the front and back sides goes.
    if (m_document) {
      m_document->setList(QLNDocumentGraphicsKey, {});
      m_document->setList(QLNDocumentGraphicsKey_back, {});
    }
    Not_Draw_Only_Prop_Change = 0;

    currentView()->setNeedsDisplay();
    Open_Start_Window();
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
  Not_Draw_Only_Prop_Change = 0;
}

void QLNWindowController::Set_Log_Name_In_Title() {
  const QString name = QFileInfo(Project_File_Name).fileName();
  ui->window->setWindowTitle(name.isEmpty() ? App_Name() : QStringLiteral("%1 - %2").arg(name, App_Name()));
}
