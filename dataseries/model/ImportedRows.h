#pragma once
// ImportedRowsTable: the one table of rows imported from a spreadsheet, as the grid
// window shows it, the batch binding reads it and a design log keeps it.
//
// Columns, as the grid window shows them:
//   column 0      the row number, identifier "Extension", its title from the window
//                 layout (RowNumberColumnTitle); never renamed;
//   column k >= 1 one per imported spreadsheet column, identifier "Column<k>", title
//                 the column's name, 100 points wide, title left-aligned.
// Rows are column identifier -> cell text, in their order (DesignLogGridRow): "Extension"
// holds the row number from "1", "Column<k>" the k-th imported value.
//
// The position rule every reader relies on: the table column at position k, the row key
// "Column<k>" and a card object's spreadsheet column index (excel_col_indx) k all mean
// the same column; index 0 means the row number.
//
// A plain value: the grid window owns the program's table on the GUI thread, and a batch
// run reads a copy of it on its worker threads.

#include "designs/model/DesignLog.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <Qt>

struct ImportedRowsColumn {
  QString identifier;
  QString title;
  double width = 100.0;                                   // points
  Qt::Alignment headerAlignment = Qt::AlignLeft;

  bool operator==(const ImportedRowsColumn &) const = default;
};

// What tells the columns of a table apart: every column's title as the lists show it,
// the row-number column's first, and whether the titles are the workbook's column names
// (false when its first row was data and only lent its values as titles).
struct ImportedColumnHeads {
  QStringList titles;
  bool named = true;

  bool operator==(const ImportedColumnHeads &) const = default;
};

class ImportedRowsTable {
public:
  // Title of the row-number column.
  static const QString RowNumberColumnTitle;   // "No."
  // Width of the row-number column, points.
  static constexpr double RowNumberColumnWidth = 60.0;

  // The table of a new run: the row-number column alone and no rows.
  ImportedRowsTable();

  QList<ImportedRowsColumn> columns;
  QList<DesignLogGridRow> rows;
  // The titles are the workbook's column names (its first row was not data).
  bool columnNames = true;

  // The name of the k-th column (from 1) when it has none: "Untitled Column <k>".
  static QString untitledColumnName(int k);
  // A title that names no column: blank (rows kept by an earlier version), or the name a
  // column without one is given, "Untitled Column <k>", whatever its k. The k is the
  // column's place in the sheet or the grid, and these change while a column keeps
  // having no title, so such columns are told apart only by their order.
  static bool isUntitled(const QString &title);
  // The key of column index k: "Extension" for 0, "Column<k>" above; "" below 0.
  static QString keyOfColumn(int k);

  // Every column's title, left to right, the row-number column included.
  QStringList columnTitles() const;
  // The titles as every list of the columns shows them: a blank title (rows kept by an
  // earlier version) as the import window names a column without a name,
  // "Untitled Column <k>".
  QStringList listedTitles() const;
  ImportedColumnHeads heads() const { return {listedTitles(), columnNames}; }
  // The columns of a design log's titles: with at least one title, every column but
  // the first goes and one column per further title comes, identifier "Column<j>" and
  // title j (j = 1, 2, ...), 100 points wide with a left-aligned title; the first
  // column and its title stay as they are (the file's first title is not used). With
  // no titles nothing changes.
  void setColumnsFromTitles(const QStringList &titles);
  // The columns of an import: the row-number column as it is, then one column per
  // name in order ("Column1" ...). Rows are left alone.
  void setImportedColumns(const QStringList &names);

  // Appends one row: "Extension" the row count before it plus one, then "Column1" ...
  // "Column<count>" with the first `count` values trimmed (Trim_Str); a value missing
  // from the list is stored as "".
  void Create_List_By_Array(const QStringList &values, int count);

  int rowCount() const { return int(rows.size()); }
  // Row `row`'s value of column index `column`: "" for a row or column outside the
  // table and for a row without that entry.
  QString value(int row, int column) const;
  // Stores an edited cell under the column's identifier (replacing the entry or adding
  // it at the end); false, with nothing changed, for a row outside the table or an
  // empty identifier.
  bool setValue(int row, const QString &identifier, const QString &text);
};
