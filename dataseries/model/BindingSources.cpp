#include "dataseries/model/BindingSources.h"

#include "core/Utilities.h"

#include <algorithm>
#include <limits>

bool BindingSources::takesBoundValues(const QLNGraphic &graphic) {
  const QString kind = graphic.className();
  return kind == QLatin1String("QLNText") || kind == QLatin1String("QLNImage") || kind == QLatin1String("QLNBarcode");
}

bool BindingSources::sideUsesSource(const QLNGraphicList &graphics, int dataSource) {
  return std::any_of(graphics.begin(), graphics.end(), [&](const QLNGraphicPtr &graphic) {
    return graphic && takesBoundValues(*graphic) && graphic->data_source_type == dataSource;
  });
}

int BindingSources::seriesRows() const {
  qsizetype longest = 0;
  for (const QStringList &rows : series)
    longest = std::max(longest, rows.size());
  return int(std::min<qsizetype>(longest, std::numeric_limits<int>::max()));
}

int BindingSources::cardCount() const {
  const int fromSeries = useSeries ? seriesRows() : 0;
  const int fromSpreadsheet = useSpreadsheet ? spreadsheetRows() : 0;
  return std::max(fromSeries, fromSpreadsheet);
}

QString BindingSources::seriesValue(int row, const QString &name) const {
  const auto found = series.constFind(name);
  if (found == series.constEnd() || row < 0 || row >= found->size())
    return QString();
  return found->at(row);
}

QString BindingSources::spreadsheetValue(int row, int column) const { return spreadsheet.value(row, column); }

std::optional<QString> BindingSources::valueFor(const QLNGraphic &graphic, int row) const {
  if (!takesBoundValues(graphic))
    return std::nullopt;
  if (graphic.data_source_type == 1 && useSeries)
    return Trim_Str(seriesValue(row, graphic.batch_list_name));
  if (graphic.data_source_type == 2 && useSpreadsheet)
    return Trim_Str(spreadsheetValue(row, graphic.excel_col_indx));
  return std::nullopt;
}
