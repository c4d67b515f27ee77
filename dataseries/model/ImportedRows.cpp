#include "dataseries/model/ImportedRows.h"

#include "core/Utilities.h"

#include <QRegularExpression>

const QString ImportedRowsTable::RowNumberColumnTitle = QStringLiteral("No.");

ImportedRowsTable::ImportedRowsTable() {
  columns.append(ImportedRowsColumn{QStringLiteral("Extension"), RowNumberColumnTitle, RowNumberColumnWidth,
                                    Qt::AlignLeft});
}

QString ImportedRowsTable::keyOfColumn(int k) {
  if (k < 0)
    return QString();
  return k == 0 ? QStringLiteral("Extension") : QStringLiteral("Column%1").arg(k);
}

QStringList ImportedRowsTable::columnTitles() const {
  QStringList titles;
  for (const ImportedRowsColumn &column : columns)
    titles.append(column.title);
  return titles;
}

QStringList ImportedRowsTable::listedTitles() const {
  QStringList titles = columnTitles();
  for (qsizetype k = 1; k < titles.size(); ++k)
    if (Trim_Str(titles.at(k)).isEmpty())
      titles[k] = untitledColumnName(int(k));
  return titles;
}

QString ImportedRowsTable::untitledColumnName(int k) { return QStringLiteral("Untitled Column %1").arg(k); }

bool ImportedRowsTable::isUntitled(const QString &title) {
  static const QRegularExpression named(QStringLiteral("^Untitled Column [0-9]+$"));
  const QString trimmed = Trim_Str(title);
  return trimmed.isEmpty() || named.match(trimmed).hasMatch();
}

void ImportedRowsTable::setColumnsFromTitles(const QStringList &titles) {
  if (titles.isEmpty())
    return;
  setImportedColumns(titles.mid(1));
}

void ImportedRowsTable::setImportedColumns(const QStringList &names) {
  while (columns.size() > 1)
    columns.removeLast();
  for (qsizetype j = 0; j < names.size(); ++j)
    columns.append(ImportedRowsColumn{keyOfColumn(int(j + 1)), names.at(j), 100.0, Qt::AlignLeft});
}

void ImportedRowsTable::Create_List_By_Array(const QStringList &values, int count) {
  DesignLogGridRow row;
  row.append({QStringLiteral("Extension"), QString::number(rows.size() + 1)});
  for (int k = 1; k <= count; ++k)
    row.append({keyOfColumn(k), k - 1 < values.size() ? Trim_Str(values.at(k - 1)) : QString()});
  rows.append(row);
}

QString ImportedRowsTable::value(int row, int column) const {
  if (row < 0 || row >= rows.size())
    return QString();
  const QString key = keyOfColumn(column);
  if (key.isEmpty())
    return QString();
  for (const auto &entry : rows.at(row))
    if (entry.first == key)
      return entry.second;
  return QString();
}

bool ImportedRowsTable::setValue(int row, const QString &identifier, const QString &text) {
  if (row < 0 || row >= rows.size() || identifier.isEmpty())
    return false;
  DesignLogGridRow &cells = rows[row];
  for (auto &entry : cells) {
    if (entry.first == identifier) {
      entry.second = text;
      return true;
    }
  }
  cells.append({identifier, text});
  return true;
}
