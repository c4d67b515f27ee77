#pragma once
// SpreadsheetGrid: what a design log keeps of the spreadsheet grid (the grid window's
// table of imported rows): its columns and its rows. The main window controller holds
// one for the design, so that a design log's grid comes back through open and save
// unchanged, until the grid window itself holds the table.
//
// Columns, as the grid window shows them:
//   column 0      the row number, identifier "Extension", its title from the window
//                 layout (RowNumberColumnTitle); never renamed;
//   column k >= 1 one per imported spreadsheet column, identifier "Column<k>", title
//                 the column's name, 100 points wide, title left-aligned.
// Rows are column identifier -> cell text, in their order (DesignLogGridRow).
//
// Main thread only.

#include "designs/model/DesignLog.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <Qt>

struct SpreadsheetGridColumn {
  QString identifier;
  QString title;
  double width = 100.0;                                   // points
  Qt::Alignment headerAlignment = Qt::AlignLeft;

  bool operator==(const SpreadsheetGridColumn &) const = default;
};

class SpreadsheetGrid {
public:
  // Title of the row-number column.
  static const QString RowNumberColumnTitle;   // "No."
  // Width of the row-number column, points.
  static constexpr double RowNumberColumnWidth = 60.0;

  // The grid of a new run: the row-number column alone and no rows.
  SpreadsheetGrid();

  QList<SpreadsheetGridColumn> columns;
  QList<DesignLogGridRow> rows;

  // Every column's title, left to right, the row-number column included.
  QStringList columnTitles() const;
  // The columns of a design log's titles: with at least one title, every column but
  // the first goes and one column per further title comes, identifier "Column<j>" and
  // title j (j = 1, 2, ...), 100 points wide with a left-aligned title; the first
  // column and its title stay as they are (the file's first title is not used). With
  // no titles nothing changes.
  void setColumnsFromTitles(const QStringList &titles);
};
