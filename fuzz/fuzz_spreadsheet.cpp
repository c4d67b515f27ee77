// A worksheet or shared-string part of an xlsx workbook (dataseries/model/SpreadsheetReader):
// the bytes are the part. Every row read is as wide as the sheet, the column names agree
// with the rows, and the rows written again by the program's own writer read back the same.

#include "FuzzSupport.h"

#include "dataseries/model/SpreadsheetReader.h"
#include "dataseries/model/SpreadsheetWriter.h"

#include <algorithm>

namespace {

constexpr qint64 MaxCells = 200000;

void writeSeeds(const QString &folder) {
  SpreadsheetWriter writer;
  writer.data = {{QStringLiteral("Name"), QStringLiteral("Code"), QStringLiteral("Amount")},
                 {QStringLiteral("Ann & Bob"), QStringLiteral("007"), QStringLiteral("3.5")},
                 {QStringLiteral("  padded "), QString(), QStringLiteral("-12")}};
  fuzz::writeSeed(folder, QStringLiteral("sheet1.xml"), writer.WriteWorksheetData());
  fuzz::writeSeed(folder, QStringLiteral("sharedStrings.xml"), writer.WriteSharedStringsXML());
  // The parts of a workbook of the size people import: several hundred rows.
  SpreadsheetWriter large;
  large.data = {{QStringLiteral("Name"), QStringLiteral("Code"), QStringLiteral("Amount")}};
  for (int i = 0; i < 600; ++i)
    large.data.append({QStringLiteral("Guest %1").arg(i), QStringLiteral("%1").arg(i * 7919 % 100000, 6, 10, QLatin1Char('0')),
                       QString::number(i * 0.25)});
  fuzz::writeSeed(folder, QStringLiteral("sheet_large.xml"), large.WriteWorksheetData());
  fuzz::writeSeed(folder, QStringLiteral("sharedStrings_large.xml"), large.WriteSharedStringsXML());
  fuzz::writeSeed(folder, QStringLiteral("prefixed.xml"),
                  "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                  "<x:dimension ref=\"A1:B2\"/><x:sheetData><x:row r=\"1\"><x:c r=\"A1\" t=\"s\"><x:v>1</x:v></x:c>"
                  "<x:c r=\"AB1\" t=\"inlineStr\"><x:is><x:r><x:t>in</x:t></x:r></x:is></x:c></x:row>"
                  "<x:row><x:c><x:f>A1</x:f><x:v>7</x:v></x:c></x:row></x:sheetData></x:worksheet>");
  writer.data = {{QStringLiteral("a  b"), QStringLiteral("two\nlines")}, {QString(), QStringLiteral("3")}};
  fuzz::writeSeed(folder, QStringLiteral("content.xml"), writer.WriteODSData());
  fuzz::writeSeed(folder, QStringLiteral("office2003.xml"), SpreadsheetWriter::WorksheetXML2004(writer.data));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_spreadsheet", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  QString error;
  // The OpenDocument and Office 2003 readers: no row without a value, every row as wide
  // as the table; read in pieces they give what the whole part gives (pieces may read
  // past a broken end that the whole part refuses).
  using TableReader = std::optional<SpreadsheetReading::Sheet> (*)(const QByteArray &, QString *, qint64, qsizetype,
                                                                   const SpreadsheetReading::TextLimits &);
  for (TableReader read : {TableReader(&SpreadsheetReading::readOdsContent),
                           TableReader(&SpreadsheetReading::readWorksheetXml2004)}) {
    const auto whole = read(bytes, &error, MaxCells, 0, SpreadsheetReading::TextLimits());
    const auto inPieces = read(bytes, &error, MaxCells, 16, SpreadsheetReading::TextLimits());
    if (whole && (!inPieces || inPieces->rows != whole->rows))
      fuzz::fail(QStringLiteral("a table read in pieces differs from the table read whole"));
    if (inPieces)
      for (const QStringList &row : inPieces->rows)
        if (row.size() != inPieces->columns ||
            std::all_of(row.begin(), row.end(), [](const QString &cell) { return cell.isEmpty(); }))
          fuzz::fail(QStringLiteral("a table row is empty or not as wide as the table"));
  }

  const std::optional<QStringList> own = SpreadsheetReading::readSharedStrings(bytes, &error);
  const QStringList shared = own ? *own : QStringList{QStringLiteral("s0"), QStringLiteral("s1"), QString()};

  const auto sheet = SpreadsheetReading::readSheet(bytes, shared, 0, false, &error, MaxCells, 0);
  const auto header = SpreadsheetReading::readSheet(bytes, shared, 0, true, &error, MaxCells);
  // Read a few bytes of rows at a time, the sheet is the same.
  const auto pieces = SpreadsheetReading::readSheet(bytes, shared, 0, false, &error, MaxCells, 16);
  if (pieces.has_value() != sheet.has_value() ||
      (sheet && (pieces->rows != sheet->rows || pieces->columns != sheet->columns)))
    fuzz::fail(QStringLiteral("the sheet read in pieces differs from the sheet read whole"));
  if (!sheet) {
    if (error.isEmpty())
      fuzz::fail(QStringLiteral("a sheet was refused without a reason"));
    return 0;
  }
  if (sheet->columns < 0 || sheet->columns > SpreadsheetReading::MaxColumns)
    fuzz::fail(QStringLiteral("a column count outside the sheet's range"), QString::number(sheet->columns));
  for (const QStringList &row : sheet->rows)
    if (row.size() != sheet->columns)
      fuzz::fail(QStringLiteral("a row is not as wide as the sheet"));
  if (!header)
    fuzz::fail(QStringLiteral("the rows read but the column names do not"), error);
  if (header->columns != sheet->columns)
    fuzz::fail(QStringLiteral("the column names and the rows count different columns"));
  if (header->rows.isEmpty() != sheet->rows.isEmpty())
    fuzz::fail(QStringLiteral("the column names and the rows disagree on an empty sheet"));
  if (!sheet->rows.isEmpty()) {
    const QStringList &names = header->rows.first();
    const QStringList &first = sheet->rows.first();
    for (qsizetype i = 0; i < first.size(); ++i)
      if (names.at(i) != (first.at(i).isEmpty() ? QStringLiteral("Untitled Column %1").arg(i + 1) : first.at(i)))
        fuzz::fail(QStringLiteral("a column name is not the first row's value"), names.at(i));
  }
  if (sheet->rows.isEmpty() || sheet->columns == 0)
    return 0;

  // Written again by our writer and read back: the same cells (what XML cannot hold as
  // U+FFFD).
  SpreadsheetWriter writer;
  writer.data = sheet->rows;
  const QByteArray part = writer.WriteWorksheetData();
  const QByteArray strings = writer.WriteSharedStringsXML();
  const std::optional<QStringList> reread = SpreadsheetReading::readSharedStrings(strings, &error);
  if (!reread)
    fuzz::fail(QStringLiteral("our shared strings do not read back"), error);
  const auto back = SpreadsheetReading::readSheet(part, *reread, 0, false, &error, MaxCells);
  if (!back)
    fuzz::fail(QStringLiteral("our sheet does not read back"), error);
  if (back->rows.size() != sheet->rows.size() || back->columns != sheet->columns)
    fuzz::fail(QStringLiteral("our sheet reads back with another shape"));
  for (qsizetype r = 0; r < sheet->rows.size(); ++r)
    for (qsizetype c = 0; c < sheet->columns; ++c)
      if (back->rows[r][c] != fuzz::xmlSafe(sheet->rows[r][c]))
        fuzz::fail(QStringLiteral("a cell reads back different"), sheet->rows[r][c] + QStringLiteral(" -> ") + back->rows[r][c]);
  return 0;
}
