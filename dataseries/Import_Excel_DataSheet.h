#pragma once
// Import_Excel_DataSheet: the spreadsheet-to-series window. The twin of the column
// import window (Import_Excel.h: opening, sheets, the column list and its checks are
// shared); on OK the ticked columns become Batch Processing Series files:
//  - one series per ticked column (Each_col_RD), named after the column's header;
//  - or one merged series (Fill_col_RD), the ticked cells row by row, which is a new
//    series, replaces an existing one or is appended to one (fill_col_option 0, 1, 2).
// Every value is written, so an empty cell becomes an empty line.
//
// Everything is read before anything is written, and every series is written whole
// through SeriesStore: an existing series is replaced only once its new file is complete,
// and a merged import with nothing to write leaves the target as it was. Names that are
// no plain file name (holding "/", say) are refused with "Error in file accessing.".
// The apply-to-all answer (Msg_Apply_All_Chk) is cleared at the start of each import.
//
// Callers: set file_name_Insert (1 refreshes the series manager's list afterwards), then
// Open_excel_Wnd(path), which returns the modal code.
//
// One instance for the whole run (defaultInstance makes it on first use); main thread only.

#include "dataseries/Import_Excel.h"

class QGroupBox;
class QRadioButton;
class QWidget;

class Import_Excel_DataSheet : public SpreadsheetColumnWindow {
  Q_OBJECT
public:
  Import_Excel_DataSheet();
  ~Import_Excel_DataSheet() override;
  // The instance of the run, made (with its window) on first use.
  static Import_Excel_DataSheet *defaultInstance();

  // ---- Actions ---------------------------------------------------------------------------
  void Each_Col_RD_Click(QObject *sender = nullptr);
  void Fill_Col_RD_Click(QObject *sender = nullptr);
  // Takes the merged-mode choice `choice` (0 new, 1 replace, 2 append).
  void Fill_Type_CellClick(int choice);

  // Appends a column-list row: the trimmed name (blank: "Untitled Column n" by position)
  // shown, `datasetname` kept as the series name of the column.
  void Create_List(const QString &name, bool state, const QString &datasetname);

  // One series per ticked column. Returns whether the import ran (the window closes).
  bool Create_file_For_Col_Func(const QString &path);
  // The merged series; false (the window stays open) after a refusal or failure.
  bool Insert_file_Func(const QString &path);

  // ---- Controls and state, by name --------------------------------------------------------
  QWidget *matrix_fill_type = nullptr;        // the three merged-mode choices
  QRadioButton *fill_new_RD = nullptr;        // its cells: new, replace, append
  QRadioButton *fill_replace_RD = nullptr;
  QRadioButton *fill_append_RD = nullptr;
  QRadioButton *Each_col_RD = nullptr;
  QRadioButton *Fill_col_RD = nullptr;
  QLineEdit *list_name = nullptr;
  QComboBox *List_ComboBox = nullptr;
  int fill_col_option = 0;
  QGroupBox *fill_box = nullptr;
  int file_name_Insert = 0;

protected:
  void importTicked() override;
  void prepareOpening() override;
  void afterLoading() override;

private:
  void buildWindow();  // Import_Excel_DataSheet_Build.cpp
  void connectOwnActions();
};

// The spreadsheet-to-series window once made; null before.
extern Import_Excel_DataSheet *Import_Excel_DataSheet_Window;
