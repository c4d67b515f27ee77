#pragma once
// Data_From_Excel: the program's one table of imported spreadsheet rows and the modal
// grid window that shows it (row numbers first, then one column per imported column; a
// cell can be edited). The spreadsheet column import fills the table (the open design's
// column bindings following the columns by their titles), opening a design log restores
// it, and the batch binding takes a copy of it for each output run. A new project leaves
// it as it is.
//
// One instance for the whole run (defaultInstance makes it on first use and sets
// Data_From_Excel_Window); main thread only.

#include "dataseries/model/ImportedRows.h"

#include "core/KeptWindow.h"

#include <QDialog>
#include <QObject>
#include <QStringList>

#include <optional>

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
  // Replaces the table whole, its bindings left to the caller (a design log brings its
  // own objects with its rows; a test).
  void setTable(const ImportedRowsTable &table);
  // Replaces the rows under the open design (an import): every text, image and barcode
  // object of either side bound to a column, each field of the front and back profile
  // records waiting to be placed with a column, and whatever follows
  // importedRowsReplaced keep their column by its title, or are typed by hand from then
  // on. The user is told once which lost their column (unboundMessage).
  void replaceImportedRows(const ImportedRowsTable &table);
  // Where column `column` of rows titled `before` (every title, the row-number column's
  // first) is in rows titled `after`: the row-number column stays 0; an imported column
  // goes to the column of the same title (the n-th of several of one title to the n-th,
  // else the first); nullopt when `after` has no column of that title. A column that
  // `before` does not have (a binding older than its rows) is left as it is.
  static std::optional<int> columnKeptByTitle(int column, const QStringList &before, const QStringList &after);
  // "The spreadsheet has no column "<title>": '<what>' is no longer bound to a column."
  static QString unboundMessage(const QString &title, const QString &what);
  // Appends one row (see ImportedRowsTable::Create_List_By_Array).
  void Create_List_By_Array(const QStringList &values, int count);

  // Shows the row and column counts, runs the window modally and returns its code
  // (1 for OK).
  int Open_Wnd();
  void OK_Click(QObject *sender = nullptr);

  QDialog *window() const { return m_window; }

signals:
  // Sent by replaceImportedRows once the new rows are in place, before the user is told:
  // a window that shows column choices (`previousTitles` naming the columns they chose
  // from) keeps each by its title and adds a line to `unbound` for each it cannot keep.
  void importedRowsReplaced(const QStringList &previousTitles, QStringList *unbound);

public:
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
