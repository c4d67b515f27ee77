#pragma once
// The two spreadsheet import windows open an xlsx workbook, list the column names of a
// chosen worksheet with a check box each and, on OK, take the ticked columns somewhere:
//  - Import_Excel (this file): into the series manager's value editor (open_mode "D")
//    or, in any other mode (the profile windows use "E"), into the imported-rows table
//    of the grid window (Data_From_Excel);
//  - Import_Excel_DataSheet (Import_Excel_DataSheet.h): into series files.
// SpreadsheetColumnWindow is what both share: opening, loading, the sheet list, the
// column list, check all / clear all, the first checks of OK, Cancel and the wait sheet.
//
// Sheets are listed by worksheet part ("sheet1", "sheet2", ... "sheet10") in the order of
// their numbers, and each item reads the part of its own number. A header cell that is
// blank is listed as "Untitled Column n" (n its column from 1), so list row i is always
// sheet column i.
//
// Callers: set the window's flags (open_mode here, file_name_Insert on the other), then
// Open_excel_Wnd(path), which returns the modal code (1 after an import, 0 for Cancel).
//
// One instance of each window for the whole run (defaultInstance makes it on first use);
// main thread only.

#include "core/KeptWindow.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <optional>

class QAbstractScrollArea;
class QCheckBox;
class QComboBox;
class QDialog;
class QLineEdit;
class QPushButton;
class QTableView;
class QVBoxLayout;

namespace importwindows {
class ColumnListModel;
}

class SpreadsheetColumnWindow : public QObject {
  Q_OBJECT
public:
  ~SpreadsheetColumnWindow() override;

  QDialog *window() const { return m_window; }

  // Opens the workbook at `path` (xlsx), fills the sheet list (the first sheet chosen)
  // and its column list, and runs the window modally; returns its code.
  int Open_excel_Wnd(const QString &path);

  // ---- Actions ---------------------------------------------------------------------------
  // Checks the list ("There is no column.", "No column is selected."), then imports.
  void OKPressed(QObject *sender = nullptr);
  void CancelPressed(QObject *sender = nullptr);
  void Select_ALL_Pressed(QObject *sender = nullptr);
  void Clear_All_Pressed(QObject *sender = nullptr);
  // The sheet list's choice (acts only for Sheet_ComboBox): reads that sheet's column names.
  void comboBoxSelectionDidChange(QObject *sender);

  // ---- The column list (its table's data source) ------------------------------------------------
  int numberOfRowsInTableView() const;
  // The row's value under the table column's identifier ("State", "Extension", "Header").
  QVariant tableView_objectValueForTableColumn(const QString &identifier, int row) const;
  // Stores an edited value (the check box included) under that identifier.
  void tableView_setObjectValue(const QVariant &value, const QString &identifier, int row);

  // Whether the row `index` is ticked; false when there is no such row.
  bool Get_Selection_State(int index) const;
  // Whether any row is ticked.
  bool Check_For_One_Extension_Selection() const;

  // ---- Loading and the wait sheet -------------------------------------------------------------------
  void Load_file_Func(const QString &path);
  void Load_Val_Thread(const QString &path);
  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();

  // The worksheet number each sheet-list item reads, in list order.
  const QList<int> &sheetNumbers() const { return m_sheetNumbers; }

  // ---- The window's controls and state, by name ----------------------------------------------
  QLineEdit *file_path = nullptr;
  QCheckBox *contains_header = nullptr;
  QComboBox *Sheet_ComboBox = nullptr;
  QPointer<QDialog> plz_wait_Window;
  QList<QVariantMap> ListData_xl;  // {"State": bool, "Extension": name[, "Header": name]}
  QTableView *ColList = nullptr;
  QAbstractScrollArea *ColListsclview = nullptr;  // the table's own scroll area
  QPushButton *Select_All_btn = nullptr;
  QPushButton *Clear_All_btn = nullptr;
  QPushButton *OK_btn = nullptr;
  QPushButton *Cancel_btn = nullptr;
  QList<QStringList> excel_content;  // the rows last read

protected:
  SpreadsheetColumnWindow() = default;

  // Builds the shared controls into a new dialog named `objectName`; `extra` is where a
  // window adds its own controls (between the column list and the buttons).
  void buildCommonWindow(const QString &objectName, const QString &title, const QString &columnTip,
                         QVBoxLayout **extra);
  // The column list's model over ListData_xl with the table columns `identifiers`
  // ("State" a check box, "Header" editable), set on ColList.
  void attachColumnModel(const QStringList &identifiers);
  // Appends the column-list row of the next sheet column: the trimmed name, or
  // "Untitled Column <n>" (n the row's position from 1) for a blank one; with `header`
  // the row also keeps "Header" (the same placeholder when it is blank).
  void appendColumnRow(const QString &name, bool state, const QString *header);
  void reloadColumnList();
  // The rows of the chosen sheet (every row Excel_Sheet_Columns cells); nullopt after a
  // failure, which is logged and kept for tellNoRows.
  std::optional<QList<QStringList>> readAllRows();
  // A workbook or sheet the reader refused, told to the user in the window's message
  // alert: "The workbook “<name>” cannot be read: <reason>."
  QString refusalMessage(const QString &reason) const;
  void tellRefusal(const QString &reason);
  // After an import found no data rows: the reason of a failed read, else `generic`.
  void tellNoRows(const std::optional<QList<QStringList>> &rows, const QString &generic);
  // The sheet columns ticked in the list, in order.
  QList<int> tickedColumns() const;
  // The first row that holds data: 1 with the header box on, else 0.
  int firstDataRow() const;

  // What OK does once the list checks passed.
  virtual void importTicked() = 0;
  // What an opening resets before the file is loaded.
  virtual void prepareOpening() {}
  // Called after the column list was filled from a newly loaded file.
  virtual void afterLoading() {}

  importwindows::ColumnListModel *m_columnModel = nullptr;
  QList<int> m_sheetNumbers;
  // Whether column-list rows keep "Header" (the series name of the column).
  bool m_rowsKeepHeader = false;
  // Why the last readAllRows failed; "" after a read that worked.
  QString m_readFailure;
  OwnedWindow<QDialog> m_window;
};

class Import_Excel : public SpreadsheetColumnWindow {
  Q_OBJECT
public:
  Import_Excel();
  ~Import_Excel() override;
  // The instance of the run, made (with its window) on first use.
  static Import_Excel *defaultInstance();

  // "D": the ticked values go to the series manager's value editor; any other mode
  // ("E" from the profile windows): they replace the imported-rows table. Kept until the
  // next caller sets it.
  QString open_mode = QStringLiteral("D");

  // Appends an unticked or ticked column-list row (name trimmed; blank names listed as
  // "Untitled Column n" by position).
  void Create_List(const QString &name, bool state);

  // Mode "D": the ticked cells, row by row, into the value editor.
  void Insert_file_Func(const QString &path);
  // Other modes: the ticked columns become the imported-rows table.
  void Create_Excel_List_Func(const QString &path);

protected:
  void importTicked() override;

private:
  void buildWindow();  // Import_Excel_Build.cpp
};

// The column import window once made; null before.
extern Import_Excel *Import_Excel_Window;
