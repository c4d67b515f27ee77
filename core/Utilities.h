#pragma once
// Shared helpers every subsystem calls: the message boxes and the log line, string
// functions that trim, cut and search text, the resource folders, file deletion,
// enabling controls and opening the help file.
//
// Strings are QString: lengths and indexes count UTF-16 code units. A null QString is
// a missing string, distinct from the empty one.

#include <QString>

#include <functional>

class QObject;

// ---- Message boxes and log --------------------------------------------------------

// Shows `text` after one leading newline in an alert with the button "OK". Runs the
// alert on the main thread through Main_App_wnd and waits for it; callable from any
// thread. Never throws: a failure is logged and the caller goes on as after "OK".
void Show_MessageBox(const QString &text);
// The same alert, shown directly; meant for the main thread (from another thread it
// goes the way of Show_MessageBox). Never throws.
void Show_MessageBox_No_Thread(const QString &text);
// Asks `text` (no newline added) with "Yes" and "No" on the main thread, waits, and
// returns yes_no_msg_val (true for Yes). Failures reach the caller as exceptions.
// Only one question may be in flight at a time.
bool Show_YES_NO_MessageBox(const QString &text);
// Writes a non-empty `text` unchanged as one log line; nothing for an empty one.
void Show_NSLog_Message(const QString &text);

// ---- Strings ------------------------------------------------------------------------

// Removes white space and line breaks from both ends, then, in a second pass,
// control and format characters (Cc, Cf) from both ends. Each pass runs once.
QString Trim_Str(const QString &s);
// Removes the reserved characters / \ ? % * | " < > from both ends only, then applies
// Trim_Str. Inner reserved characters stay: check the result with isSafeFileName()
// before using it as a file name.
QString Remove_Reserve_Char_In_File_Name(const QString &name);
// The file name made from typed text: Remove_Reserve_Char_In_File_Name applied until it
// changes nothing more, so that the ends hold no reserved character, white space,
// control or format character ("* ?Alpha" gives "Alpha", "Sorry " with a zero-width
// space gives "Sorry"). Cleaning the result again leaves it as it is. Typed names are
// cleaned once with this; a name already stored or listed is used as it stands.
QString cleanedFileName(const QString &typed);
// The first n characters (n below 0 counts as 0), or s itself when n >= length.
QString Left_Str_substringToIndex(const QString &s, int n);
// The last n characters (n below 0 counts as 0), or s itself when n >= length.
QString Right_Str_substringFromIndex(const QString &s, int n);
// The characters from index i to the end; "" when i is above the length or negative.
QString Read_Str_FromIndex(const QString &s, int i);
// The first i characters; "" when i is above the length or negative.
QString Read_Str_Upto_Index(const QString &s, int i);
// s with every occurrence of `target` (any length) replaced; an empty target changes nothing.
QString Replace_char_in_string(const QString &s, const QString &target, const QString &replacement);
// Literal case-sensitive search; false for a missing s or an empty sub.
bool Find_Str(const QString &s, const QString &sub);
// Literal case-insensitive search; false when s or sub is missing or sub is empty.
bool Find_Str_Case_Insensitive(const QString &s, const QString &sub);

// ---- File names and paths -------------------------------------------------------------

// Whether `name` can be used as one file name inside a folder: refuses the empty name,
// "." and "..", and any name holding "/", "\" or a NUL character. Every file name made
// from user text is checked with this before it is used.
bool isSafeFileName(const QString &name);
// `folder` joined with `name` by exactly one "/", whether or not `folder` ends in "/"
// or `name` starts with one. An empty folder gives "": a folder that is not set never
// turns a name into a path relative to the working directory.
QString joinPath(const QString &folder, const QString &name);

// ---- Files, controls, help ----------------------------------------------------------------

// Creates, each only if nothing exists at its path and with intermediate folders,
// with the user's umask: Data_Folder_Path, and in Resource_Path "Background",
// "Fill_Style_Image", "LibraryImage", "Templates", "Templates/User". A folder that
// cannot be made is skipped silently.
void Check_Path_And_Create_Files();
// This run's spreadsheet unpack folder inside `spreadsheets` (the private folder
// "spreadsheets" of the user's cache folder): "<process number>/ziptmp" below it.
QString unpackFolderOfThisRun(const QString &spreadsheets);
// Removes the file or the folder with its contents at `path` when it may be removed:
//  - `path` is absolute and names no "." or ".." component (a relative path, ".", ".."
//    and "/" remove nothing);
//  - the item exists and its parent folder is writable;
//  - a folder is removed with its contents only when it lies inside the resource folder
//    (Paths::resourceFolder(), not the folder itself) or is one of the program's own
//    folders (this run's spreadsheet unpack folder, "spreadsheets"/<process number>/
//    "ziptmp" in the user's cache folder QStandardPaths::CacheLocation, and what it
//    holds), both judged after resolving links;
//  - a symbolic link is removed itself, never followed, wherever it is; so is a single
//    file, wherever it is.
// Failures and refusals are silent.
void Delete_File(const QString &path);

// Enables or disables a control. Classes are matched by their exact meta-object class
// name, so subclasses do not count. A box (QGroupBox or QFrame) stays as it is and
// passes the flag to each of its child widgets in order; a plain text field (QLabel
// or QLineEdit) also gets its text colour set to the normal or the disabled text
// colour; any other widget is only enabled or disabled; other objects are left alone.
// Main thread only.
void SetObjEnabled(QObject *object, bool enabled);

// Runs a command of the program's windows; what it throws is written to the log as
// "name: reason" ("name failed." for anything that is no exception), not passed on.
void runLoggingFailures(const char *name, const std::function<void()> &command);
// Opens Resource_Path/"Help.pdf" with the desktop, or shows "Help file does not
// exist!" when it is missing; when no application takes the file, says so with the
// file's path. Main thread only.
void Open_Help_File();
