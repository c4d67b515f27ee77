// The spreadsheet readers and writers (dataseries/model/SpreadsheetReader and
// SpreadsheetWriter). The bytes are a part: a worksheet or shared-string part of an xlsx
// workbook, the content part of an OpenDocument spreadsheet, or an Office 2003 XML
// spreadsheet file. Every row read is as wide as the sheet, the column names agree with
// the rows, and the rows written again by the program's own writer read back the same.
// The OpenDocument and Office 2003 readers are also reached as the program opens such
// files (ReadODS unpacking a package that holds the part, ReadWorksheetXML2004 reading
// the file), and what they read is written as such files and read back.
//
// Before any reader sees the bytes, each "<?repeat N TEXT?>" in them becomes TEXT N times
// (up to a megabyte in all), so that a short input can nest elements far more deeply
// than the longest input holds; and everything runs on a thread with a stack of 256 KiB,
// as a worker's may be, so that a reader that recursed once per level of nesting would
// overflow it well within that megabyte.

#include "FuzzSupport.h"

#include "dataseries/model/SpreadsheetReader.h"
#include "dataseries/model/SpreadsheetWriter.h"
#include "dataseries/model/ZipArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {

constexpr qint64 MaxCells = 200000;
constexpr qsizetype MaxExpandedBytes = 1024 * 1024;
constexpr uint StackBytes = 256 * 1024;
constexpr qint64 MaxRepeat = 1'000'000;

// The input with its repeat marks expanded; a mark that is not well formed stays as it is.
QByteArray expanded(const QByteArray &input) {
  static const QByteArray open = "<?repeat ";
  QByteArray out;
  qsizetype from = 0;
  for (;;) {
    const qsizetype mark = input.indexOf(open, from);
    if (mark < 0)
      break;
    qsizetype at = mark + open.size();
    qint64 count = 0;
    while (at < input.size() && input[at] >= '0' && input[at] <= '9' && count <= MaxRepeat)
      count = count * 10 + (input[at++] - '0');
    const qsizetype end = input.indexOf("?>", at);
    if (at == mark + open.size() || count > MaxRepeat || at >= input.size() || input[at] != ' ' || end < 0) {
      out.append(input.mid(from, at - from));
      from = at;
      continue;
    }
    out.append(input.mid(from, mark - from));
    const QByteArray text = input.mid(at + 1, end - at - 1);
    for (qint64 i = 0; i < count && out.size() + text.size() <= MaxExpandedBytes; ++i)
      out.append(text);
    from = end + 2;
  }
  out.append(input.mid(from));
  return out;
}

QByteArray repeatMark(int count, const QByteArray &text) {
  return "<?repeat " + QByteArray::number(count) + " " + text + "?>";
}

const QByteArray OdsHead =
    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet><table:table>";
const QByteArray OdsTail = "</table:table></office:spreadsheet></office:body></office:document-content>";
const QByteArray Office2003Head = "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\""
                                  " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet><Table>";
const QByteArray Office2003Tail = "</Table></Worksheet></Workbook>";

QByteArray odsRow(const QByteArray &cells) { return "<table:table-row>" + cells + "</table:table-row>"; }
QByteArray odsCell(const QByteArray &paragraph, const QByteArray &attributes = QByteArray()) {
  return "<table:table-cell" + attributes + "><text:p>" + paragraph + "</text:p></table:table-cell>";
}

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
  writer.data = {{QStringLiteral("a  b"), QStringLiteral("two\nlines")}, {QString()}, {QString(), QStringLiteral("3")}};
  fuzz::writeSeed(folder, QStringLiteral("content.xml"), writer.WriteODSData());
  fuzz::writeSeed(folder, QStringLiteral("office2003.xml"), SpreadsheetWriter::WorksheetXML2004(writer.data));

  // Nested far deeper than real files, and column numbers at the ends of 64 bits.
  fuzz::writeSeed(folder, QStringLiteral("ods_row_groups.xml"),
                  OdsHead + odsRow(odsCell("first")) + repeatMark(8000, "<table:table-row-group>") +
                      odsRow(odsCell("deep")) + repeatMark(8000, "</table:table-row-group>") +
                      "<table:table-header-rows>" + odsRow(odsCell("after")) + "</table:table-header-rows>" + OdsTail);
  fuzz::writeSeed(folder, QStringLiteral("ods_spans.xml"),
                  OdsHead +
                      odsRow(odsCell("a " + repeatMark(10000, "<text:span>") + "deep<text:s text:c=\"3\"/>" +
                                     repeatMark(10000, "</text:span>") + "<text:tab/>b")) +
                      OdsTail);
  fuzz::writeSeed(folder, QStringLiteral("ods_repeated.xml"),
                  OdsHead +
                      odsRow(odsCell("a") + "<table:table-cell table:number-columns-repeated=\"9223372036854775807\"/>") +
                      "<table:table-row/>" +
                      odsRow(odsCell("b", " table:number-columns-repeated=\"3\"") + odsCell("c")) + OdsTail);
  fuzz::writeSeed(folder, QStringLiteral("office2003_nested.xml"),
                  Office2003Head + "<Row><Cell><Data>" + repeatMark(30000, "<B>") + "deep" +
                      repeatMark(30000, "</B>") + "</Data></Cell><Cell><Data>next</Data></Cell></Row>" +
                      Office2003Tail);
  fuzz::writeSeed(folder, QStringLiteral("office2003_columns.xml"),
                  Office2003Head +
                      "<Row><Cell ss:MergeAcross=\"9223372036854775807\"><Data>wide</Data></Cell></Row><Row/>"
                      "<Row><Cell><Data>a</Data></Cell><Cell ss:Index=\"-9223372036854775808\"><Data>b</Data></Cell>"
                      "<Cell ss:Index=\"4\"><Data>d</Data></Cell></Row>" +
                      Office2003Tail);
}

// Where the harness writes the files it opens: one folder for the whole run, in memory
// where the system has such a folder (the program's writer syncs every file it writes,
// which on a disk would take most of each run's time).
QString scratch(const QString &name) {
  static QTemporaryDir folder(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                  ? QStringLiteral("/dev/shm/amends-fuzz-XXXXXX")
                                  : QDir::tempPath() + QStringLiteral("/amends-fuzz-XXXXXX"));
  return folder.filePath(name);
}

void writeFile(const QString &path, const QByteArray &bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
    fuzz::fail(QStringLiteral("the harness cannot write its file"), path);
}

// An OpenDocument package holding `content` as its content part.
void writePackage(const QString &path, const QByteArray &content) {
  LumaZipArchive archive(path);
  if (!archive.open() ||
      !archive.writeData("application/vnd.oasis.opendocument.spreadsheet", QStringLiteral("mimetype"),
                         LumaZipArchive::Method::Stored) ||
      !archive.writeData(content.isNull() ? QByteArray("") : content, QStringLiteral("content.xml"),
                         LumaZipArchive::Method::Stored) ||
      !archive.close())
    fuzz::fail(QStringLiteral("the harness cannot pack its package"), archive.failureReason());
}

QList<QStringList> xmlSafe(QList<QStringList> rows) {
  for (QStringList &row : rows)
    for (QString &cell : row)
      cell = fuzz::xmlSafe(cell);
  return rows;
}

// The OpenDocument or Office 2003 table `table` read from `part`, as the program opens
// such a file: the same rows, or a failure too (only when the table read from the part
// was not refused for holding too many cells, since the program's caps are larger).
// Then written as such a file by the program's writer and read back: the same rows.
void throughFiles(bool ods, const QByteArray &part, const std::optional<SpreadsheetReading::Sheet> &table,
                  const QString &reason) {
  if (!table && reason.contains(QStringLiteral(" cells")))
    return;
  const QString kind = ods ? QStringLiteral("OpenDocument") : QStringLiteral("Office 2003");
  const QString input = scratch(ods ? QStringLiteral("input.ods") : QStringLiteral("input.xml"));
  if (ods)
    writePackage(input, part);
  else
    writeFile(input, part);
  QString error;
  const auto opened =
      ods ? SpreadsheetWriter::ReadODS(input, &error) : SpreadsheetWriter::ReadWorksheetXML2004(input, &error);
  if (opened.has_value() != table.has_value())
    fuzz::fail(kind + QStringLiteral(" file opens otherwise than its part reads"), error + QStringLiteral(" / ") + reason);
  if (!table)
    return;
  if (*opened != table->rows)
    fuzz::fail(kind + QStringLiteral(" file gives other rows than its part"));
  if (table->rows.isEmpty())
    return;

  const QString output = scratch(ods ? QStringLiteral("output.ods") : QStringLiteral("output.xml"));
  const bool written = ods ? SpreadsheetWriter::WriteODS(output, table->rows, false, &error)
                           : SpreadsheetWriter::WriteWorksheetXML2004(output, table->rows, &error);
  if (!written)
    fuzz::fail(kind + QStringLiteral(" rows cannot be written again"), error);
  const auto back =
      ods ? SpreadsheetWriter::ReadODS(output, &error) : SpreadsheetWriter::ReadWorksheetXML2004(output, &error);
  if (!back)
    fuzz::fail(kind + QStringLiteral(" file we wrote does not read back"), error);
  if (*back != xmlSafe(table->rows))
    fuzz::fail(kind + QStringLiteral(" file we wrote reads back different"));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_spreadsheet", writeSeeds);
  return 0;
}

namespace {

void readAndWrite(const QByteArray &bytes) {
  QString error;
  // The OpenDocument and Office 2003 readers: every row as wide as the table, no empty
  // row after the last one with a value; read in pieces they give what the whole part
  // gives (pieces may read past a broken end that the whole part refuses).
  using TableReader = std::optional<SpreadsheetReading::Sheet> (*)(const QByteArray &, QString *, qint64, qsizetype,
                                                                   const SpreadsheetReading::TextLimits &);
  for (const bool ods : {true, false}) {
    const TableReader read = ods ? TableReader(&SpreadsheetReading::readOdsContent)
                                 : TableReader(&SpreadsheetReading::readWorksheetXml2004);
    const auto whole = read(bytes, &error, MaxCells, 0, SpreadsheetReading::TextLimits());
    const auto inPieces = read(bytes, &error, MaxCells, 16, SpreadsheetReading::TextLimits());
    if (whole && (!inPieces || inPieces->rows != whole->rows))
      fuzz::fail(QStringLiteral("a table read in pieces differs from the table read whole"));
    if (inPieces) {
      for (const QStringList &row : inPieces->rows)
        if (row.size() != inPieces->columns)
          fuzz::fail(QStringLiteral("a table row is not as wide as the table"));
      if (!inPieces->rows.isEmpty() && std::all_of(inPieces->rows.last().begin(), inPieces->rows.last().end(),
                                                   [](const QString &cell) { return cell.isEmpty(); }))
        fuzz::fail(QStringLiteral("a table ends with an empty row"));
    }
    // As the program reads a file: pieces of its usual size.
    QString reason;
    const auto usual = read(bytes, &reason, MaxCells, SpreadsheetReading::DefaultPieceBytes,
                            SpreadsheetReading::TextLimits());
    throughFiles(ods, bytes, usual, reason);
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
    return;
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
    return;

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
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes = expanded(fuzz::bytesOf(data, size));
  std::unique_ptr<QThread> worker(QThread::create([&] { readAndWrite(bytes); }));
  worker->setStackSize(StackBytes);
  worker->start();
  worker->wait();
  return 0;
}
