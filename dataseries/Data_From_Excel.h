#pragma once
// Data_From_Excel: the program's one table of imported spreadsheet rows and the modal
// grid window that shows it (row numbers first, then one column per imported column; a
// cell can be edited). The spreadsheet column import fills the table, opening a design
// log restores it, and the batch binding takes a copy of it for each output run. A new
// project leaves it as it is.
//
// One instance for the whole run (defaultInstance makes it on first use and sets
// Data_From_Excel_Window); main thread only.

#include "dataseries/model/ImportedRows.h"

#include "core/KeptWindow.h"

#include <QDialog>
#include <QObject>

class QAbstractTableModel;

class QLabel;
class QPushButton;
class QTableView;

class Data_From_Excel : public QObject {
  Q_OBJECT
public:
  Data_From_Excel();
  ~Data_From_Excel() override;
  // The instance of the run, made (with its window) on first use.
  static Data_From_Excel *defaultInstance();

  // The table: its columns and rows (ListData).
  const ImportedRowsTable &table() const { return m_table; }
  const QList<DesignLogGridRow> &ListData() const { return m_table.rows; }
  // Replaces the table whole (an import, a design log, a test).
  void setTable(const ImportedRowsTable &table);
  // Appends one row (see ImportedRowsTable::Create_List_By_Array).
  void Create_List_By_Array(const QStringList &values, int count);

  // Shows the row and column counts, runs the window modally and returns its code
  // (1 for OK).
  int Open_Wnd();
  void OK_Click(QObject *sender = nullptr);

  QDialog *window() const { return m_window; }
  // The grid and the two count labels, under their design names.
  QTableView *ColList = nullptr;
  QLabel *rows_count = nullptr;
  QLabel *column_count = nullptr;
  QPushButton *OK_btn = nullptr;

private:
  void buildWindow();
  void reload();

  ImportedRowsTable m_table;
  QAbstractTableModel *m_model = nullptr;
  OwnedWindow<QDialog> m_window;
};

// The instance once made; null before.
extern Data_From_Excel *Data_From_Excel_Window;
