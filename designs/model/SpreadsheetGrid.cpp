#include "designs/model/SpreadsheetGrid.h"

const QString SpreadsheetGrid::RowNumberColumnTitle = QStringLiteral("No.");

SpreadsheetGrid::SpreadsheetGrid() {
  columns.append(SpreadsheetGridColumn{QStringLiteral("Extension"), RowNumberColumnTitle, RowNumberColumnWidth,
                                       Qt::AlignLeft});
}

QStringList SpreadsheetGrid::columnTitles() const {
  QStringList titles;
  for (const SpreadsheetGridColumn &column : columns)
    titles.append(column.title);
  return titles;
}

void SpreadsheetGrid::setColumnsFromTitles(const QStringList &titles) {
  if (titles.isEmpty())
    return;
  while (columns.size() > 1)
    columns.removeLast();
  for (qsizetype j = 1; j < titles.size(); ++j)
    columns.append(SpreadsheetGridColumn{QStringLiteral("Column%1").arg(j), titles.at(j), 100.0, Qt::AlignLeft});
}
