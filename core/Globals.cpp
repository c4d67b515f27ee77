#include "core/Globals.h"

const QString Text_Ctrl_Font = QStringLiteral("TimesNewRomanPS-ItalicMT");
QString Resource_Path;
QString Data_Folder_Path;
unsigned char yes_no_msg_val = 0;
MainWindowServices *Main_App_wnd = nullptr;
