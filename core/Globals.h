#pragma once
// Process-wide state shared by every subsystem. The main window controller fills
// these in at start-up; core code reads them.
//
// Folder paths: Resource_Path and Data_Folder_Path hold absolute folder paths, set
// without a trailing "/" (as QDir gives them). Code never concatenates onto them with
// "+": it joins names with joinPath() (core/Utilities.h), which accepts a folder with
// or without the trailing "/", so either form works.

#include <QString>

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
