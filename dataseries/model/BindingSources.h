#pragma once
// BindingSources: what one batch output run reads its per-card values from, as a plain
// value: the series bound on the card (loaded once, by name) and a copy of the imported
// spreadsheet rows, with the two switches that say which source is in use.
//
// Card objects are bound by their fields (QLNGraphic): data_source_type 1 reads the
// series named batch_list_name, 2 the imported column excel_col_indx (0 the row number).
// Only objects whose class is exactly QLNText, QLNImage or QLNBarcode take part.
//
// The value of card n for a bound object is its source's row n, "" beyond the source's
// end; an object whose source is switched off keeps its own value. A run makes as many
// cards as the longer source in use has rows.
//
// Once filled, a value is read-only and may be read from several threads at once.

#include "dataseries/model/ImportedRows.h"

#include "core/QLNGraphic.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

struct BindingSources {
  bool useSeries = false;
  bool useSpreadsheet = false;
  // The bound series' rows by series name (the binding reader's rule). A bound series
  // that could not be read has no entry and gives "" on every card.
  QHash<QString, QStringList> series;
  // The imported rows.
  ImportedRowsTable spreadsheet;

  // Whether `graphic` can take bound values at all (exactly a text, image or barcode).
  static bool takesBoundValues(const QLNGraphic &graphic);
  // Whether a side's list holds an object of that kind bound to source `dataSource`
  // (1 series, 2 spreadsheet).
  static bool sideUsesSource(const QLNGraphicList &graphics, int dataSource);

  // The longest loaded series (0 when none); the spreadsheet's row count.
  int seriesRows() const;
  int spreadsheetRows() const { return spreadsheet.rowCount(); }
  // Cards of the run: the larger count of the sources in use (0 with none).
  int cardCount() const;

  // Row `row` of series `name` untrimmed; "" when the series is not loaded or shorter.
  QString seriesValue(int row, const QString &name) const;
  // Row `row` of imported column `column`; "" beyond the rows or columns.
  QString spreadsheetValue(int row, int column) const;

  // Card `row`'s value for `graphic`, trimmed: nullopt when the object keeps its own
  // value (not bound, not a bindable kind, or its source not in use).
  std::optional<QString> valueFor(const QLNGraphic &graphic, int row) const;
};
