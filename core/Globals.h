#pragma once
// Process-wide state shared by every subsystem. The main window controller fills
// these in at start-up; core code reads them.
//
// Folder paths: Resource_Path and Data_Folder_Path hold absolute folder paths, set
// without a trailing "/" (as QDir gives them). Code never concatenates onto them with
// "+": it joins names with joinPath() (core/Utilities.h), which accepts a folder with
// or without the trailing "/", so either form works.

#include <QString>

#include <atomic>

class MainWindowServices;

// The per-user resource folder (images, templates, Help.pdf, settings).
extern QString Resource_Path;
// The data folder (Batch Processing Series files); the "DataSet" subfolder of Resource_Path.
extern QString Data_Folder_Path;
// Answer to the most recent Yes/No question: 1 for Yes, 0 otherwise. Written on the
// main thread only, read by the asking thread after its wait.
extern unsigned char yes_no_msg_val;
// PostScript name of the default text font of card objects and card sides.
extern const QString Text_Ctrl_Font;
// The main window controller as core sees it; null until the main window exists.
extern MainWindowServices *Main_App_wnd;

// ---- Card state shared by the whole program ------------------------------------------
// Flags and numbers that worker threads (batch export, e-mail) read or write are atomic.

// The side commands act on: 0 front, any other value back. Renderers set it before
// drawing each side, also on worker threads.
extern std::atomic<int> Card_Front_Or_Back;
// The card's shape for both sides: 0 rectangle, 1 rounded rectangle (corner radius
// 10 points), 2 oval; any other value draws a rectangle.
extern std::atomic<int> Card_Shape;
// "1" one-sided card, "2" two-sided card. Main thread only.
extern QString CARD_SIDE_STR;
// A series binding (spreadsheet binding) is in use on the card: 0 or 1.
extern std::atomic<unsigned char> Use_Data_Sheet_Values;
extern std::atomic<unsigned char> Use_Excel_Binding_Values;
// Rows of the longest bound series and of the imported spreadsheet rows while each
// source is in use (0 otherwise), and the number of cards of a batch: the larger one.
extern std::atomic<int> Data_table_rows;
extern std::atomic<int> Excel_table_rows;
extern std::atomic<int> Total_Batch_Excel_Card;
// Set while batch output writes row values into the card objects: no canvas redraws.
extern std::atomic<bool> Card_Value_In_Process;
// Set to stop the e-mail sending loop.
extern std::atomic<bool> Stop_SMS_Sending_Now;
// 1 while the property panel fills its controls: the property updates do nothing.
extern int Not_Draw_Only_Prop_Change;

// ---- Main window, design files and output ---------------------------------------------
// Strings below are main thread only; a worker thread gets a copy of what it needs
// before it starts.

// The start window's choice: "W" a card built by the wizard, "L" a design file opened
// by the start window, "" nothing chosen.
extern QString Start_Card_Option;
// Path of the current design file; "" for a design not yet saved.
extern QString Project_File_Name;
// The title or message picked in the template picker; "" after a cancel.
extern QString Template_Msg_Val;
// The extension of a design log (and of a template's design file), without the dot.
extern const QString design_file_EXT;  // "dcard"
// Spreadsheet rows are bound to the user-profile fields (set by the profile windows,
// kept in the design log), and the path of that spreadsheet ("" when none).
extern bool Excel_Binding_Use;
extern QString Excel_Source_Path;
// The spreadsheet reader's sheet choice: the 1-based number N of the worksheet part
// "xl/worksheets/sheet<N>.xml" to read (set by the import windows), and the column count
// of that sheet (1 when a workbook is opened, then set by reading its column names).
extern std::atomic<int> Excel_Sheet_Number;
extern std::atomic<int> Excel_Sheet_Columns;
// The clipboard format under which the canvases copy card objects (the data of
// QLNGraphic::pasteboardDataWithGraphics). Only clipboard contents of this format are
// the program's own: a new project clears the clipboard only when it holds them.
extern const QString QLNGraphicViewPasteboardType;  // "Quellin 2 pasteboard type"
// Set when a profile window was accepted; cleared by a new project.
extern bool Fill_User_Profile;
// Position (points) of the last object placed by the cascade of new objects; both 10
// at program start and after a new project.
extern float last_ctrl_X;
extern float last_ctrl_Y;
// The extension of a Batch Processing Series file in the data folder.
extern const QString batch_file_EXT;  // "txt"
// Path of the picture the next image object is made from (the image tools and the
// picture buttons of the property panel choose it); "" when none.
extern QString Library_Selected_Image;
// Export: the sides to write ("F", "B" or "BOTH"), the exported file or folder and the
// message of the export-finished box.
extern QString export_card_side;
extern QString Export_File_Path;
extern QString Export_File_Message;
// E-mail settings, loaded from the settings file at start-up and by the e-mail windows
// ("" until loaded).
extern QString sender_email;
extern QString sender_pwd;
extern QString sending_server;
extern QString sending_port;
extern QString send_enable_ssl;
