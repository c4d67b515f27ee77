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
#include "core/QLNGraphic.h"

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
  // importedRowsReplaced keep their column (columnKept), or are typed by hand from then
  // on. The user is told once which lost their column (unboundMessage).
  void replaceImportedRows(const ImportedRowsTable &table);
  // Where column `column` of rows with the heads `before` is in rows with the heads
  // `after`: the row-number column stays 0. When both have column names, an imported
  // column goes to the column of the same title, the n-th of several of one title to the
  // n-th where `after` holds as many of that title as `before` (columns without a title
  // are of one title, whatever names they are listed under); when either has none (its
  // titles are only a first row of data), a column keeps its position. nullopt when
  // `after` has no such column or it cannot be told which one it is. A column that
  // `before` does not have (a binding older than its rows) is left as it is.
  static std::optional<int> columnKept(int column, const ImportedColumnHeads &before, const ImportedColumnHeads &after);
  // The same for a column known by its mark (an object that was off the design).
  static std::optional<int> columnKept(int column, const SpreadsheetColumnMark &mark, const ImportedColumnHeads &after);
  // What the user is told of '<what>' when columnKept finds no column for it: where
  // `after` has none of its title, unboundMessage; where it has another number of them,
  // "The spreadsheet has 1 column "Name" where the rows before had 2: '<what>' is no
  // longer bound to a column." ("... 3 columns without a title ...").
  static QString lostColumnMessage(int column, const ImportedColumnHeads &before, const ImportedColumnHeads &after,
                                   const QString &what);
  static QString lostColumnMessage(const SpreadsheetColumnMark &mark, const ImportedColumnHeads &after,
                                   const QString &what);
  // "The spreadsheet has no column "<title>": '<what>' is no longer bound to a column."
  static QString unboundMessage(const QString &title, const QString &what);

  // What the rows held now are: a new value whenever the table is replaced.
  quint64 rowsIdentity() const { return m_rowsIdentity; }
  // The mark of a design object bound to one of the imported columns (not the row
  // number); none for any other.
  std::optional<SpreadsheetColumnMark> markOf(const QLNGraphic &graphic) const;
  // Objects come (back) into the front or back list with marks made under other rows:
  // each takes its column as the design's objects did when those rows were replaced,
  // shows the column's first value, or is typed by hand; the user is told of those once
  // the event loop turns (the objects arrive in the middle of an undo or a paste).
  // Every mark goes.
  void takeBackObjects(const QLNGraphicList &graphics, bool back);
  // Appends one row (see ImportedRowsTable::Create_List_By_Array).
  void Create_List_By_Array(const QStringList &values, int count);

  // Shows the row and column counts, runs the window modally and returns its code
  // (1 for OK).
  int Open_Wnd();
  void OK_Click(QObject *sender = nullptr);

  QDialog *window() const { return m_window; }

signals:
  // Sent by replaceImportedRows once the new rows are in place, before the user is told:
  // a window that shows column choices (`previous` the heads of the columns they chose
  // from) keeps each (columnKept) and adds a line to `unbound` for each it cannot keep.
  void importedRowsReplaced(const ImportedColumnHeads &previous, QStringList *unbound);

public:
  // The grid and the two count labels, under their design names.
  QTableView *ColList = nullptr;
  QLabel *rows_count = nullptr;
  QLabel *column_count = nullptr;
  QPushButton *OK_btn = nullptr;

private:
  void buildWindow();
  void reload();
  // The new first value of each object kept on its column.
  static void showFirstValues(const QLNGraphicList &kept, const ImportedRowsTable &rows);
  // Tells the user, in one message, of the objects takeBackObjects typed by hand.
  void tellUnbound();

  ImportedRowsTable m_table;
  quint64 m_rowsIdentity = 0;
  QStringList m_unboundToTell;
  QAbstractTableModel *m_model = nullptr;
  OwnedWindow<QDialog> m_window;
};

// The instance once made; null before.
extern Data_From_Excel *Data_From_Excel_Window;
