#pragma once
// The spreadsheet reader and writer of the data side: xlsx workbooks opened, read sheet
// by sheet, and series written as workbooks.
//
// Reading unpacks the parts of the chosen workbook that it reads (shared strings, workbook
// part, worksheets; never pictures, printer settings or unknown parts) into the unpack
// folder (spreadsheetUnpackFolder(), private to the user), reads its shared strings once,
// then one worksheet part at a time (the sheet number Excel_Sheet_Number, the column
// count Excel_Sheet_Columns). The parts are read by SpreadsheetReading
// (SpreadsheetReader.h). The program removes the folder when it starts and when it ends.
//
// Writing starts from the resource "Template.xlsx", replaces its worksheet
// "xl/worksheets/sheet1.xml" and shared strings "xl/sharedStrings.xml" and packs the
// package in memory straight into the target, written whole or not at all; it never
// touches the unpack folder, so a workbook being read stays as it was.
//
// Any thread: the class operations work on the one shared instance under a lock;
// failures come back with a reason, never as an exception.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The unpack folder: "ziptmp" in a folder of this run (named by its process number)
// inside the folder "spreadsheets" of the user's cache folder
// (QStandardPaths::CacheLocation), both of which the program makes for this user alone
// (mode 0700); never a folder others may write to, such as the temporary one. Each running
// program has its own, so one program starting or ending never removes what another is
// reading. "" with the reason in `problem` when that folder is not private (a link,
// another user's, open to others) or cannot be made; such a folder is neither used nor
// changed.
QString spreadsheetUnpackFolder(QString *problem = nullptr);
// Removes the unpack folder with everything in it; a missing folder is no failure.
// A link put in its place is removed, not followed.
void removeSpreadsheetUnpackFolder();
// Removes, from the private folder "spreadsheets", this run's folder and those of runs
// no longer running (a program cut short leaves its folder behind), and the "ziptmp"
// that earlier versions shared between runs; the folders of other running programs
// stay. The program does this when it starts and when it ends.
void removeUnpackFoldersNotInUse();

// Whether a cell text is written as a number: only a plain decimal that is its own
// canonical form ("42", "-7", "3.5", "0.001"; no "007", "1.50", "+5", "1e3", "-0"), of at
// most 15 significant digits, that reads back from a double unchanged. Everything
// else, an 18-digit barcode value included, is written as a string.
bool isCanonicalNumber(const QString &text);

class SpreadsheetWriter {
public:
  // The shared instance ("spreadsheet"), made on first use.
  static SpreadsheetWriter &shared();

  QString tmpDir;              // the unpack folder
  QList<QStringList> data;     // the rows of the last read, or being written
  QStringList sharedStrings;   // the shared strings of the last opened (or written) workbook

  // ---- Reading ----------------------------------------------------------------------------
  // With `only_col`: opens the workbook at `path` (unpacks it and reads its shared
  // strings; sets Excel_Sheet_Columns to 1) and answers the rows of the previous read.
  // Without: reads every row of worksheet Excel_Sheet_Number and answers them. nullopt
  // with the reason in `error` on failure.
  static std::optional<QList<QStringList>> ReadWorkbook(const QString &path, bool only_col,
                                                        QString *error = nullptr);
  // One row: the column names of worksheet Excel_Sheet_Number (a column without a name
  // "Untitled Column %d"), and Excel_Sheet_Columns set to the sheet's column count. An
  // empty list for a sheet without rows; nullopt with the reason on failure.
  static std::optional<QList<QStringList>> ReadData_only_column(QString *error = nullptr);
  static void Release_Data() {}
  // The sheet names of the opened workbook; empty when there is none.
  static QStringList Read_Sheet_Name();

  // ---- Writing ----------------------------------------------------------------------------
  // Writes `rows` (at least one; the first row's length is the column count) as the one
  // sheet of a workbook at `path`. The title-row flag changes nothing. False with the
  // reason in `error` when the template is missing or broken or the file cannot be written
  // ("Error when writing file <path>: " and the system's reason); the file that was at
  // `path` then stays as it was.
  static bool WriteWorkbook(const QString &path, const QList<QStringList> &rows, bool hasTitleRow,
                            QString *error = nullptr);
  // The worksheet part of `data`; rebuilds `sharedStrings` (every text cell its own entry).
  QByteArray WriteWorksheetData();
  // The shared-string part of `sharedStrings`.
  QByteArray WriteSharedStringsXML() const;
  // The letters of a 1-based column number (1 A, 28 AB, 702 ZZ, 703 AAA); "" below 1.
  static QString ColumnIndexToName(int column);

  // The same letters, as a class operation.
  static QString ColumnNumber_To_Name(int column);

  // ---- Other formats: OpenDocument and Office 2003 XML spreadsheets ------------------------
  // The rows of the first table of the ODS package at `path` (readOdsContent,
  // SpreadsheetReader.h), its content part unpacked into the unpack folder, which an
  // opened xlsx workbook then no longer holds; `data` becomes them. nullopt with the
  // reason on failure.
  static std::optional<QList<QStringList>> ReadODS(const QString &path, QString *error = nullptr);
  // The rows of the first table of the Office 2003 XML spreadsheet file at `path`
  // (readWorksheetXml2004). nullopt with the reason on failure.
  static std::optional<QList<QStringList>> ReadWorksheetXML2004(const QString &path, QString *error = nullptr);
  // Writes `rows` (at least one) as the one table "Sheet1" of an ODS package at `path`,
  // from the resource "Template.ods" with its "content.xml" replaced (WriteODSData),
  // packed in memory straight into the target, its "mimetype" entry first and stored
  // uncompressed. Every value is a text cell; the title-row flag changes nothing. False
  // with the reason (the system's, for a file that cannot be written), the old file kept,
  // on failure.
  static bool WriteODS(const QString &path, const QList<QStringList> &rows, bool hasTitleRow,
                       QString *error = nullptr);
  // The content part of `data`: one table as wide as its widest row, blanks, tabs and
  // line breaks kept as their elements, what XML cannot hold as U+FFFD.
  QByteArray WriteODSData() const;
  // Writes `rows` as an Office 2003 XML spreadsheet file (one worksheet "Notes", numbers
  // by isCanonicalNumber, the table as wide as its widest row), whole or not at all.
  static bool WriteWorksheetXML2004(const QString &path, const QList<QStringList> &rows, QString *error = nullptr);
  static QByteArray WorksheetXML2004(const QList<QStringList> &rows);
  // Writes a workbook part naming the one sheet `sheetName`, whole or not at all.
  static bool WriteWorkbookXML(const QString &path, const QString &sheetName, QString *error = nullptr);

  // An instance of its own (the class operations use shared()); it leaves the unpack
  // folder as it is.
  SpreadsheetWriter();

private:
  bool ReadSharedStrings(const QString &path, QString *error);
  std::optional<QList<QStringList>> ReadData(const QString &path, QString *error);
  QString sheetPath() const;

  // The rows read with the column names, kept for the read of all rows that follows.
  QString cachedSheet;
  int cachedColumns = 0;
  QList<QStringList> cachedRows;
};

// The series manager's export: the title row "Batch Value" and one row per value,
// written with SpreadsheetWriter::WriteWorkbook.
bool writeSeriesWorkbook(const QString &path, const QStringList &values, QString *error = nullptr);
