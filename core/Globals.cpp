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
std::atomic<int> Data_table_rows{0};
std::atomic<int> Excel_table_rows{0};
std::atomic<int> Total_Batch_Excel_Card{0};
std::atomic<bool> Card_Value_In_Process{false};
std::atomic<bool> Stop_SMS_Sending_Now{false};
int Not_Draw_Only_Prop_Change = 0;

QString Start_Card_Option;
QString Template_Msg_Val;
QString Project_File_Name;
const QString design_file_EXT = QStringLiteral("dcard");
bool Excel_Binding_Use = false;
QString Excel_Source_Path;
std::atomic<int> Excel_Sheet_Number{1};
std::atomic<int> Excel_Sheet_Columns{1};
const QString QLNGraphicViewPasteboardType = QStringLiteral("Quellin 2 pasteboard type");
bool Fill_User_Profile = false;
float last_ctrl_X = 10.0f;
float last_ctrl_Y = 10.0f;
const QString batch_file_EXT = QStringLiteral("txt");
QString Library_Selected_Image;
QString export_card_side = QStringLiteral("F");
QString Export_File_Path;
QString Export_File_Message;
QString sender_email;
QString sender_pwd;
QString sending_server;
QString sending_port;
QString send_enable_ssl;
