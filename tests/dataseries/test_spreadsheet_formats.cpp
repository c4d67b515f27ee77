// The OpenDocument and Office 2003 XML spreadsheets, each over the same awkward workbook
// (tests/data/spreadsheets/awkward.fods: a blank header, repeated columns, two empty rows,
// non-ASCII text, kept blanks, a cell of two lines, a second sheet): LibreOffice's own
// files of these formats read as LibreOffice's xlsx form of the workbook reads, and ours
// convert to CSV cell for cell in LibreOffice.

#include "core/Globals.h"
#include "dataseries/model/SpreadsheetReader.h"
#include "dataseries/model/SpreadsheetWriter.h"
#include "tests/common/TestSupport.h"
#include "tests/dataseries/spreadsheet_peers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// The first sheet of the awkward workbook as every reader gives it.
const QList<QStringList> Awkward{
    {"Name", "Code", "Note", "", "Tag", "Tag", "Tag"},
    {"Zo\u00eb \u2709 \u6771\u4eac \U0001D11E", "007", "two  spaces  ", "", "x", "x", "x"},
    {"Ann & <Co>", "", "", "", "", "", "last"},
    {"3.5", "-12", "line one\nline two", "", "", "", ""},
};

// The same sheet as the OpenDocument and Office 2003 files give it: every row is a row,
// the two empty ones between rows with values included (LibreOffice's xlsx form leaves
// them out of the file; its OpenDocument form writes them as one repeated row, its
// Office 2003 form numbers the row after them).
QList<QStringList> withEmptyRows() {
  QList<QStringList> rows = Awkward;
  rows.insert(3, QStringList(7));
  rows.insert(3, QStringList(7));
  return rows;
}

// The awkward workbook converted by LibreOffice with the filter `target`.
QString converted(const QString &target, const QString &extension) {
  const QString out = spreadsheet_peers::runFolder().path() + QStringLiteral("/awkward-") + extension;
  QDir().mkpath(out);
  const QString failure =
      spreadsheet_peers::convert({testDataPath(QStringLiteral("spreadsheets/awkward.fods"))}, target, out);
  if (!failure.isEmpty()) {
    ADD_FAILURE() << failure.toStdString();
    return QString();
  }
  return out + QStringLiteral("/awkward.") + extension;
}

// The rows of the xlsx form, read as the import windows read them.
QList<QStringList> xlsxForm() {
  const QString folder = spreadsheet_peers::convertedFixtures();
  if (folder.isEmpty())
    return {};
  QString error;
  EXPECT_TRUE(SpreadsheetWriter::ReadWorkbook(folder + QStringLiteral("/awkward.xlsx"), true, &error));
  Excel_Sheet_Number = 1;
  EXPECT_TRUE(SpreadsheetWriter::ReadData_only_column(&error));
  const auto rows = SpreadsheetWriter::ReadWorkbook(QString(), false, &error);
  EXPECT_TRUE(rows.has_value()) << error.toStdString();
  return rows ? *rows : QList<QStringList>();
}

// Our file `path`, converted to CSV by LibreOffice and parsed.
QList<QStringList> csvOf(const QString &path) {
  const auto csv = spreadsheet_peers::asCsv({path});
  return csv ? spreadsheet_peers::parseCsv(csv->first()) : QList<QStringList>();
}

TEST(SpreadsheetOds, LibreOfficePackagesReadAsTheirXlsxForm) {
  EXPECT_EQ(xlsxForm(), Awkward);
  const QString ods = converted(QStringLiteral("ods"), QStringLiteral("ods"));
  ASSERT_FALSE(ods.isEmpty());
  QString error;
  const auto rows = SpreadsheetWriter::ReadODS(ods, &error);
  ASSERT_TRUE(rows.has_value()) << error.toStdString();
  EXPECT_EQ(*rows, withEmptyRows());
  EXPECT_EQ(SpreadsheetWriter::shared().data, withEmptyRows());

  // The content part alone: a row the file repeats is read once, rows in groups and
  // header rows in their places, a repeated empty row at the end and a huge run of empty
  // cells cost nothing, a value repeated past column XFD is refused.
  const QByteArray head =
      "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
      " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
      " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>"
      "<table:table table:name=\"A\">";
  const QByteArray tail = "</table:table><table:table table:name=\"B\"><table:table-row><table:table-cell>"
                          "<text:p>second</text:p></table:table-cell></table:table-row></table:table>"
                          "</office:spreadsheet></office:body></office:document-content>";
  const QByteArray rowsXml =
      "<table:table-header-rows><table:table-row><table:table-cell><text:p>h</text:p></table:table-cell>"
      "</table:table-row></table:table-header-rows>"
      "<table:table-row table:number-rows-repeated=\"3\"><table:table-cell table:number-columns-repeated=\"2\">"
      "<text:p> a<text:tab/>b<text:line-break/>c</text:p><office:annotation><text:p>note</text:p></office:annotation>"
      "</table:table-cell><table:table-cell table:number-columns-repeated=\"1000000000\"/></table:table-row>"
      "<table:table-row-group><table:table-row><table:table-cell/><table:table-cell><text:p>g</text:p>"
      "</table:table-cell></table:table-row></table:table-row-group>"
      "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell "
      "table:number-columns-repeated=\"16384\"/></table:table-row>";
  for (qsizetype piece : {qsizetype(0), qsizetype(1), SpreadsheetReading::DefaultPieceBytes}) {
    SCOPED_TRACE(piece);
    const auto sheet = SpreadsheetReading::readOdsContent(head + rowsXml + tail, &error,
                                                          SpreadsheetReading::DefaultMaxCells, piece);
    ASSERT_TRUE(sheet.has_value()) << error.toStdString();
    EXPECT_EQ(sheet->rows, (QList<QStringList>{{"h", ""}, {"a\tb\nc", "a\tb\nc"}, {"", "g"}}));
  }
  EXPECT_FALSE(SpreadsheetReading::readOdsContent(
      head + "<table:table-row><table:table-cell table:number-columns-repeated=\"20000\"><text:p>v</text:p>"
             "</table:table-cell></table:table-row>" + tail, &error));
  EXPECT_EQ(error, "a cell lies beyond column XFD");
  // The empty rows a repeated row stands for count against the cap on cells.
  EXPECT_FALSE(SpreadsheetReading::readOdsContent(
      head + "<table:table-row><table:table-cell table:number-columns-repeated=\"16384\"><text:p>v</text:p>"
             "</table:table-cell></table:table-row><table:table-row table:number-rows-repeated=\"1000\">"
             "<table:table-cell/></table:table-row><table:table-row><table:table-cell><text:p>w</text:p>"
             "</table:table-cell></table:table-row>" + tail, &error));
  EXPECT_EQ(error, "the sheet holds more than 16000000 cells");
}

TEST(SpreadsheetOds, OurPackagesOpenInLibreOfficeCellForCell) {
  QTemporaryDir temp;
  const QString path = temp.filePath("ours.ods");
  QList<QStringList> rows = Awkward;
  rows.append({" lead", "  two\n three", "ctrl\x01"});
  ASSERT_TRUE(SpreadsheetWriter::WriteODS(path, rows, true));
  // The package opens with its media type, stored as it is, without an extra field, so
  // that the first bytes of the file name its type.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray head = file.read(200);
  file.close();
  const QByteArray mediaType = "application/vnd.oasis.opendocument.spreadsheet";
  auto field = [&](int offset, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
      value = value << 8 | static_cast<quint8>(head.at(offset + i));
    return value;
  };
  ASSERT_GE(head.size(), 30 + 8 + mediaType.size());
  EXPECT_EQ(head.left(4), QByteArray("PK\x03\x04"));
  EXPECT_EQ(field(8, 2), 0u) << "the mimetype entry is stored, not deflated";
  EXPECT_EQ(field(6, 2) & 0x8, 0u) << "its sizes stand in its local header";
  EXPECT_EQ(field(18, 4), quint32(mediaType.size()));
  EXPECT_EQ(field(22, 4), quint32(mediaType.size()));
  EXPECT_EQ(field(26, 2), 8u);
  EXPECT_EQ(field(28, 2), 0u) << "no extra field";
  EXPECT_EQ(head.mid(30, 8), QByteArray("mimetype"));
  EXPECT_EQ(head.mid(38, mediaType.size()), mediaType);
  QList<QStringList> expected = rows;
  expected.last() = {" lead", "  two\n three", "ctrl\ufffd", "", "", "", ""};
  EXPECT_EQ(csvOf(path), expected);
  QString error;
  const auto back = SpreadsheetWriter::ReadODS(path, &error);
  ASSERT_TRUE(back.has_value()) << error.toStdString();
  EXPECT_EQ(*back, expected);
  // A tab keeps its element (which LibreOffice's CSV export leaves out).
  SpreadsheetWriter writer;
  writer.data = {{"tab\there"}};
  const auto tab = SpreadsheetReading::readOdsContent(writer.WriteODSData(), &error);
  ASSERT_TRUE(tab.has_value()) << error.toStdString();
  EXPECT_EQ(tab->rows, QList<QStringList>{{"tab\there"}});

  // A failure leaves the old file as it was.
  EXPECT_FALSE(SpreadsheetWriter::WriteODS(path, {}, false, &error));
  EXPECT_EQ(error, "A workbook needs at least one row.");
  EXPECT_EQ(csvOf(path), expected);
}

TEST(SpreadsheetXml2004, LibreOfficeFilesReadAsTheirXlsxForm) {
  EXPECT_EQ(xlsxForm(), Awkward);
  const QString xml = converted(QStringLiteral("xml:MS Excel 2003 XML"), QStringLiteral("xml"));
  ASSERT_FALSE(xml.isEmpty());
  QString error;
  const auto rows = SpreadsheetWriter::ReadWorksheetXML2004(xml, &error);
  ASSERT_TRUE(rows.has_value()) << error.toStdString();
  EXPECT_EQ(*rows, withEmptyRows());

  // Cells that name their column, merged cells, a comment before the data, formatted
  // data; the first worksheet only.
  const auto sheet = SpreadsheetReading::readWorksheetXml2004(
      "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\""
      " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><ss:Worksheet ss:Name=\"A\"><Table>"
      "<Row><Cell ss:MergeAcross=\"1\"><Data ss:Type=\"String\">wide</Data></Cell><Cell><Comment><Data>no</Data>"
      "</Comment><ss:Data ss:Type=\"String\"><B>bo</B>ld</ss:Data></Cell><Cell ss:Index=\"5\"><Data>e</Data></Cell>"
      "</Row></Table></ss:Worksheet><Worksheet><Table><Row><Cell><Data>second</Data></Cell></Row></Table>"
      "</Worksheet></Workbook>",
      &error);
  ASSERT_TRUE(sheet.has_value()) << error.toStdString();
  EXPECT_EQ(sheet->rows, (QList<QStringList>{{"wide", "", "bold", "", "e"}}));
}

// A series with an empty value, written by our writers: read back, the empty value is
// its own row between the others, as LibreOffice shows it; an empty row at the end only
// pads the table.
TEST(SpreadsheetOds, EmptyRowsBetweenValuesAreKeptInBothFormats) {
  QTemporaryDir temp;
  const QList<QStringList> series{{"Batch Value"}, {"a"}, {""}, {"b"}, {""}};
  const QList<QStringList> read{{"Batch Value"}, {"a"}, {""}, {"b"}};
  const QString ods = temp.filePath("series.ods");
  const QString xml = temp.filePath("series.xml");
  ASSERT_TRUE(SpreadsheetWriter::WriteODS(ods, series, false));
  ASSERT_TRUE(SpreadsheetWriter::WriteWorksheetXML2004(xml, series));
  QString error;
  const auto fromOds = SpreadsheetWriter::ReadODS(ods, &error);
  ASSERT_TRUE(fromOds.has_value()) << error.toStdString();
  EXPECT_EQ(*fromOds, read);
  const auto fromXml = SpreadsheetWriter::ReadWorksheetXML2004(xml, &error);
  ASSERT_TRUE(fromXml.has_value()) << error.toStdString();
  EXPECT_EQ(*fromXml, read);
  const auto csv = spreadsheet_peers::asCsv({ods, xml});
  ASSERT_TRUE(csv.has_value());
  for (const QByteArray &text : *csv)
    EXPECT_EQ(spreadsheet_peers::parseCsv(text).mid(0, 4), read);

  // Rows without values before the first value are rows too; a run of them between
  // values, in groups or not, keeps every one.
  const auto sheet = SpreadsheetReading::readWorksheetXml2004(
      "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet><Table><Row/><Row><Cell><Data>"
      "</Data></Cell></Row><Row><Cell/><Cell><Data>x</Data></Cell></Row><Row/><Row/><Row><Cell><Data>y</Data></Cell>"
      "</Row><Row/><Row/></Table></Worksheet></Workbook>",
      &error);
  ASSERT_TRUE(sheet.has_value()) << error.toStdString();
  EXPECT_EQ(sheet->rows, (QList<QStringList>{{"", ""}, {"", ""}, {"", "x"}, {"", ""}, {"", ""}, {"y", ""}}));
}

// A sheet as a spreadsheet program saves it after the user drew borders around more rows
// than the data fills: five rows of values under a header, the third of them empty but
// bordered, then three bordered rows without any value. Every form LibreOffice writes of
// it reads as the header and the five rows; the empty row between values stays a row, the
// bordered rows below the last value make none (no blank cards at the end of a batch).
TEST(SpreadsheetForms, BorderedEmptyRowsBelowTheDataAreNoRows) {
  QTemporaryDir temp;
  const QString fods = temp.filePath(QStringLiteral("bordered.fods"));
  {
    auto cell = [](const char *text) {
      return QByteArray("<table:table-cell table:style-name=\"boxed\" office:value-type=\"string\"><text:p>") +
             text + "</text:p></table:table-cell>";
    };
    const QByteArray empty = "<table:table-cell table:style-name=\"boxed\"/>";
    auto row = [](const QByteArray &cells) { return "<table:table-row>" + cells + "</table:table-row>"; };
    QFile file(fods);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
        " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
        " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
        " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
        " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
        " office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">"
        "<office:automatic-styles><style:style style:name=\"boxed\" style:family=\"table-cell\">"
        "<style:table-cell-properties fo:border=\"0.74pt solid #000000\"/></style:style></office:automatic-styles>"
        "<office:body><office:spreadsheet><table:table table:name=\"Cards\">" +
        row(cell("Name") + cell("City")) + row(cell("Ann") + cell("Oslo")) + row(cell("Bob") + empty) +
        row(empty + empty) + row(empty + cell("Rome")) + row(cell("Dee") + cell("Lima")) + row(empty + empty) +
        row(empty + empty) + row(empty + empty) +
        "</table:table></office:spreadsheet></office:body></office:document>\n");
  }
  const QList<QStringList> expected{{"Name", "City"}, {"Ann", "Oslo"}, {"Bob", ""},
                                    {"", ""},         {"", "Rome"},     {"Dee", "Lima"}};
  const QString out = temp.filePath(QStringLiteral("out"));
  QDir().mkpath(out);
  for (const char *target : {"xlsx", "ods", "xml:MS Excel 2003 XML"}) {
    const QString failure = spreadsheet_peers::convert({fods}, QString::fromLatin1(target), out);
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
  }

  // The xlsx form, read as the import windows read it (the column names, then every row):
  // what the column import, the series import and the profile windows are given.
  QString error;
  ASSERT_TRUE(SpreadsheetWriter::ReadWorkbook(out + QStringLiteral("/bordered.xlsx"), true, &error))
      << error.toStdString();
  Excel_Sheet_Number = 1;
  const auto names = SpreadsheetWriter::ReadData_only_column(&error);
  ASSERT_TRUE(names.has_value()) << error.toStdString();
  EXPECT_EQ(*names, QList<QStringList>{expected.first()});
  const auto rows = SpreadsheetWriter::ReadWorkbook(QString(), false, &error);
  ASSERT_TRUE(rows.has_value()) << error.toStdString();
  EXPECT_EQ(*rows, expected) << "xlsx";
  EXPECT_EQ(Excel_Sheet_Columns.load(), 2);

  const auto ods = SpreadsheetWriter::ReadODS(out + QStringLiteral("/bordered.ods"), &error);
  ASSERT_TRUE(ods.has_value()) << error.toStdString();
  EXPECT_EQ(*ods, expected) << "ods";
  const auto xml = SpreadsheetWriter::ReadWorksheetXML2004(out + QStringLiteral("/bordered.xml"), &error);
  ASSERT_TRUE(xml.has_value()) << error.toStdString();
  EXPECT_EQ(*xml, expected) << "Office 2003 XML";
}

TEST(SpreadsheetXml2004, OurFilesOpenInLibreOfficeCellForCell) {
  QTemporaryDir temp;
  const QString path = temp.filePath("ours.xml");
  QList<QStringList> rows = Awkward;
  rows.append({" lead", "tab\there", "ctrl\x01", "<&>"});
  ASSERT_TRUE(SpreadsheetWriter::WriteWorksheetXML2004(path, rows));
  QList<QStringList> expected = rows;
  for (QStringList &row : expected)
    while (row.size() < 7)
      row.append(QString());
  expected.last() = {" lead", "tab\there", "ctrl\ufffd", "<&>", "", "", ""};
  QString error;
  const auto back = SpreadsheetWriter::ReadWorksheetXML2004(path, &error);
  ASSERT_TRUE(back.has_value()) << error.toStdString();
  EXPECT_EQ(*back, expected);
  EXPECT_EQ(csvOf(path), expected);

  // The workbook part names its sheet, escaped.
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbookXML(temp.filePath("workbook.xml"), "A & \"B\""));
  QFile part(temp.filePath("workbook.xml"));
  ASSERT_TRUE(part.open(QIODevice::ReadOnly));
  EXPECT_EQ(SpreadsheetReading::readSheetNames(part.readAll()), QStringList{"A & \"B\""});
  EXPECT_EQ(SpreadsheetWriter::ColumnNumber_To_Name(703), "AAA");
}

}  // namespace
