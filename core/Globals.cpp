#include "core/Globals.h"

const QString Text_Ctrl_Font = QStringLiteral("TimesNewRomanPS-ItalicMT");
QString Resource_Path;
QString Data_Folder_Path;
unsigned char yes_no_msg_val = 0;
MainWindowServices *Main_App_wnd = nullptr;

std::atomic<int> Card_Front_Or_Back{0};
std::atomic<int> Card_Shape{0};
QString CARD_SIDE_STR = QStringLiteral("2");
std::atomic<unsigned char> Use_Data_Sheet_Values{0};
std::atomic<unsigned char> Use_Excel_Binding_Values{0};
std::atomic<int> Total_Batch_Excel_Card{0};
std::atomic<bool> Card_Value_In_Process{false};
std::atomic<bool> Stop_SMS_Sending_Now{false};
int Not_Draw_Only_Prop_Change = 0;
