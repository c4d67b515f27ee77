// Reading workbooks: the sheet and shared-string parts on their own (the cell rules),
// and whole workbooks that LibreOffice made from the flat ODS fixtures, read cell for
// cell through the shared reader as the import windows call it.

#include "core/Globals.h"
#include "dataseries/model/SpreadsheetReader.h"
#include "dataseries/model/SpreadsheetWriter.h"
#include "dataseries/model/ZipArchive.h"
#include "tests/common/TestSupport.h"
#include "tests/dataseries/spreadsheet_peers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

using SpreadsheetReading::readSheet;
using SpreadsheetReading::readSharedStrings;

QByteArray sheetXml(const QByteArray &body, const QByteArray &dimension = QByteArray()) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
         (dimension.isEmpty() ? QByteArray() : "<dimension ref=\"" + dimension + "\"/>") + "<sheetData>" + body +
         "</sheetData></worksheet>";
}

QList<QStringList> rowsOf(const QByteArray &xml, const QStringList &shared = {}, int columns = 0) {
  QString error;
  const auto sheet = readSheet(xml, shared, columns, false, &error);
  EXPECT_TRUE(sheet.has_value()) << error.toStdString();
  return sheet ? sheet->rows : QList<QStringList>();
}

TEST(SpreadsheetColumns, LettersAreFullBase26BothWays) {
  EXPECT_EQ(Get_Col_index("A", 64), 1);
  EXPECT_EQ(Get_Col_index("AA", 65), 26);
  EXPECT_EQ(Get_Col_index("AZ", 65), 51);
  EXPECT_EQ(Get_Col_index("ZZ", 65), 701);
  EXPECT_EQ(Get_Col_index("AAA", 64), 703);  // only first and last letters would give 27
  EXPECT_EQ(Get_Col_index("ABA", 64), 729);
  EXPECT_EQ(Get_Col_index("XFD", 64), 16384);
  EXPECT_EQ(Get_Col_index("xfd", 64), 16384);
  EXPECT_FALSE(Get_Col_index("", 64).has_value());
  EXPECT_FALSE(Get_Col_index("A1", 64).has_value());
  EXPECT_FALSE(Get_Col_index("AAAAAAAA", 64).has_value());
  for (int column = 1; column <= 20000; ++column)
    ASSERT_EQ(Get_Col_index(SpreadsheetWriter::ColumnIndexToName(column), 64), column);
  EXPECT_EQ(Get_Column_Char_Str("AB12"), "AB");
  EXPECT_EQ(Get_Column_Char_Str("A01"), "A0");  // "0" does not end the letters
  EXPECT_EQ(Get_Column_Char_Str("ABC"), "ABC");
  EXPECT_EQ(Get_Column_Char_Str(""), "");
  EXPECT_EQ(Asc_Val("A"), 65);
  EXPECT_EQ(Asc_Val(""), -1);
  EXPECT_EQ(SpreadsheetReading::dimensionColumns("A1:D20"), 4);
  EXPECT_EQ(SpreadsheetReading::dimensionColumns("B2:E5"), 5);
  EXPECT_EQ(SpreadsheetReading::dimensionColumns("A10:C20"), 3);  // a long first cell counts too
  EXPECT_EQ(SpreadsheetReading::dimensionColumns(" $A$1:$AB$7 "), 28);
  EXPECT_EQ(SpreadsheetReading::dimensionColumns("C3"), 3);
  EXPECT_EQ(SpreadsheetReading::dimensionColumns("garbage"), 0);
  EXPECT_EQ(SpreadsheetReading::dimensionColumns("A1:XFE1"), 0);
}

TEST(SpreadsheetParts, SharedStringsKeepOneEntryPerItem) {
  // A formatted item (runs), a phonetic run left out, an entity, kept blanks, CDATA.
  const auto strings = readSharedStrings(
      "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"5\">"
      "<si><t>first</t></si>"
      "<si><r><rPr><b/></rPr><t>bo</t></r><r><t xml:space=\"preserve\"> ld</t></r></si>"
      "<si><t>kanji</t><rPh sb=\"0\" eb=\"1\"><t>KANA</t></rPh></si>"
      "<si><t xml:space=\"preserve\">  a &amp; b  </t></si>"
      "<si><t><![CDATA[<raw>]]></t></si>"
      "<si><t/></si>"
      "</sst>");
  ASSERT_TRUE(strings.has_value());
  EXPECT_EQ(*strings, (QStringList{"first", "bo ld", "kanji", "  a & b  ", "<raw>", ""}));
  EXPECT_FALSE(readSharedStrings("<sst><si>").has_value());
  EXPECT_FALSE(readSharedStrings("<other/>").has_value());
}

TEST(SpreadsheetParts, CellsGiveTheirValuesNotTheirFormulas) {
  const QStringList shared{"zero", "one", "two"};
  const auto rows = rowsOf(sheetXml(
      "<row r=\"1\">"
      "<c r=\"A1\" t=\"s\"><v>2</v></c>"                       // the third entry
      "<c r=\"B1\" t=\"s\"><v>3</v></c>"                       // one past the table: empty
      "<c r=\"C1\"><f>SUM(A2:A3)</f><v>7</v></c>"             // cached value only
      "<c r=\"D1\" t=\"str\"><f>A1&amp;\"!\"</f><v>two!</v></c>"
      "<c r=\"E1\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>line</t></r></is></c>"
      "<c r=\"F1\" t=\"b\"><v>1</v></c>"
      "<c r=\"G1\" t=\"e\"><v>#DIV/0!</v></c>"
      "<c r=\"H1\"><v>1E-3</v></c>"                            // as written, not reformatted
      "<c r=\"I1\" s=\"3\"/>"
      "</row>",
      "A1:I1"), shared);
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows[0], (QStringList{"two", "", "7", "two!", "inline", "1", "#DIV/0!", "1E-3", ""}));
}

TEST(SpreadsheetParts, SheetShapeFollowsTheCellsPresent) {
  // Prefixed elements, no dimension, cells without references, a cell past the
  // dimension, a missing row, columns past ZZ.
  const QByteArray prefixed =
      "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<x:dimension ref=\"A1:B3\"/><x:sheetData>"
      "<x:row r=\"1\"><x:c r=\"A1\"><x:v>1</x:v></x:c><x:c><x:v>2</x:v></x:c><x:c><x:v>3</x:v></x:c></x:row>"
      "<x:row r=\"3\"><x:c r=\"D3\"><x:v>4</x:v></x:c></x:row>"
      "</x:sheetData></x:worksheet>";
  QString error;
  auto sheet = readSheet(prefixed, {}, 0, false, &error);
  ASSERT_TRUE(sheet.has_value()) << error.toStdString();
  EXPECT_EQ(sheet->columns, 4);
  EXPECT_EQ(sheet->rows, (QList<QStringList>{{"1", "2", "3", ""}, {"", "", "", "4"}}));

  sheet = readSheet(prefixed, {}, 0, true, &error);
  ASSERT_TRUE(sheet.has_value());
  EXPECT_EQ(sheet->columns, 4);
  EXPECT_EQ(sheet->rows, (QList<QStringList>{{"1", "2", "3", "Untitled Column 4"}}));

  // A dimension that starts at row 10 and a header whose second cell is empty.
  sheet = readSheet(sheetXml("<row r=\"10\"><c r=\"A10\" t=\"inlineStr\"><is><t>Name</t></is></c>"
                             "<c r=\"C10\" t=\"inlineStr\"><is><t>Mail</t></is></c></row>",
                             "A10:C20"),
                    {}, 0, true, &error);
  ASSERT_TRUE(sheet.has_value());
  EXPECT_EQ(sheet->rows, (QList<QStringList>{{"Name", "Untitled Column 2", "Mail"}}));

  // Columns AA, AZ, ZZ and AAA land at 26, 51, 701 and 702.
  const auto wide = rowsOf(sheetXml("<row><c r=\"AA7\"><v>a</v></c><c r=\"AZ7\"><v>b</v></c>"
                                    "<c r=\"ZZ7\"><v>c</v></c><c r=\"AAA7\"><v>d</v></c></row>"));
  ASSERT_EQ(wide.size(), 1);
  ASSERT_EQ(wide[0].size(), 703);
  EXPECT_EQ(wide[0][26], "a");
  EXPECT_EQ(wide[0][51], "b");
  EXPECT_EQ(wide[0][701], "c");
  EXPECT_EQ(wide[0][702], "d");

  // A wider count given by the caller pads every row; an empty sheet has no rows, nor
  // names, and neither has one whose rows hold only formatted empty cells.
  EXPECT_EQ(rowsOf(sheetXml("<row><c r=\"A1\"><v>x</v></c></row>"), {}, 3), (QList<QStringList>{{"x", "", ""}}));
  sheet = readSheet(sheetXml(""), {}, 0, true, &error);
  ASSERT_TRUE(sheet.has_value());
  EXPECT_TRUE(sheet->rows.isEmpty());
  const QByteArray formatted =
      sheetXml("<row r=\"1\"><c r=\"A1\" s=\"1\"/><c r=\"B1\" s=\"1\"><v></v></c></row>", "A1:B1");
  for (const bool headerOnly : {false, true}) {
    sheet = readSheet(formatted, {}, 0, headerOnly, &error);
    ASSERT_TRUE(sheet.has_value()) << error.toStdString();
    EXPECT_TRUE(sheet->rows.isEmpty()) << headerOnly;
  }
}

TEST(SpreadsheetParts, LargeSheetsReadInPiecesGiveTheSameRows) {
  // Rows with comments, CDATA, quoted ">" and "/>" in attributes, self-closing rows and
  // a prefix; cut into pieces of a few bytes they read exactly as the whole part does.
  QByteArray body;
  for (int i = 1; i <= 60; ++i)
    body += "<row r=\"" + QByteArray::number(i) + "\" x=\"a>b/>\"><!-- </row> -->"
            "<c r=\"A" + QByteArray::number(i) + "\" t=\"inlineStr\"><is><t><![CDATA[</sheetData>]]>" +
            QByteArray::number(i) + "</t></is></c><c r=\"C" + QByteArray::number(i) + "\"><v>" +
            QByteArray::number(i * 3) + "</v></c></row><row/>";
  const QByteArray xml = "<?xml version=\"1.0\"?><!DOCTYPE worksheet><worksheet><dimension ref=\"A1:B9\"/>"
                         "<sheetData>" + body + "</sheetData><pageMargins left=\"1\"/></worksheet>";
  const auto whole = readSheet(xml, {}, 0, false, nullptr, SpreadsheetReading::DefaultMaxCells, 0);
  ASSERT_TRUE(whole.has_value());
  // Every empty row between rows with values is a row; the one after the last is none.
  ASSERT_EQ(whole->rows.size(), 119);
  EXPECT_EQ(whole->rows[1], (QStringList{"", "", ""}));
  EXPECT_EQ(whole->rows[0], (QStringList{"</sheetData>1", "", "3"}));
  for (qsizetype piece : {1, 7, 100, 4096}) {
    SCOPED_TRACE(piece);
    const auto pieces = readSheet(xml, {}, 0, false, nullptr, SpreadsheetReading::DefaultMaxCells, piece);
    ASSERT_TRUE(pieces.has_value());
    EXPECT_EQ(pieces->rows, whole->rows);
    EXPECT_EQ(pieces->columns, whole->columns);
  }
  // Broken markup inside the rows is reported, not read in part.
  QString error;
  QByteArray broken = xml;
  broken.replace("<row r=\"30\"", "<row r=\"30\"><c>");
  EXPECT_FALSE(readSheet(broken, {}, 0, false, &error, SpreadsheetReading::DefaultMaxCells, 64).has_value());
  EXPECT_FALSE(error.isEmpty());
}

TEST(SpreadsheetParts, HostileSheetsAreRefusedWithAReason) {
  QString error;
  EXPECT_FALSE(readSheet("<worksheet><sheetData><row>", {}, 0, false, &error).has_value());
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(readSheet("<workbook/>", {}, 0, false, &error).has_value());
  EXPECT_FALSE(readSheet(sheetXml("<row><c r=\"XFE1\"><v>1</v></c></row>"), {}, 0, false, &error).has_value());
  EXPECT_TRUE(error.contains("XFD"));
  // Many empty rows under a wide dimension, before a value, would build millions of cells;
  // after the last value they build none.
  QByteArray rows;
  for (int i = 0; i < 100; ++i)
    rows += "<row/>";
  const QByteArray value = "<row><c r=\"A101\"><v>1</v></c></row>";
  EXPECT_FALSE(readSheet(sheetXml(rows + value, "A1:XFD1"), {}, 0, false, &error, 1000000).has_value());
  EXPECT_TRUE(error.contains("cells"));
  EXPECT_TRUE(readSheet(sheetXml(rows + value, "A1:J1"), {}, 0, false, &error, 1000000).has_value());
  const auto trailing = readSheet(sheetXml(value + rows, "A1:XFD1"), {}, 0, false, &error, 1000000);
  ASSERT_TRUE(trailing.has_value()) << error.toStdString();
  EXPECT_EQ(trailing->rows.size(), 1);
  EXPECT_EQ(SpreadsheetReading::readSheetNames("<workbook><sheets><sheet name=\"One\"/><x:sheet name=\"Two\"/>"
                                               "</sheets></workbook>"),
            (QStringList{"One", "Two"}));
}

// ---- Whole workbooks --------------------------------------------------------------------------

// Opens `workbook` and reads sheet `sheet` as the import windows do: the column names,
// then every row.
struct ReadBack {
  QStringList names;
  QList<QStringList> rows;
  int columns = 0;
};

std::optional<ReadBack> readWorkbook(const QString &workbook, int sheet) {
  QString error;
  if (!SpreadsheetWriter::ReadWorkbook(workbook, true, &error)) {
    ADD_FAILURE() << "open: " << error.toStdString();
    return std::nullopt;
  }
  Excel_Sheet_Number = sheet;
  const auto names = SpreadsheetWriter::ReadData_only_column(&error);
  if (!names || names->size() != 1) {
    ADD_FAILURE() << "names: " << error.toStdString();
    return std::nullopt;
  }
  const auto rows = SpreadsheetWriter::ReadWorkbook(QString(), false, &error);
  if (!rows) {
    ADD_FAILURE() << "rows: " << error.toStdString();
    return std::nullopt;
  }
  return ReadBack{names->first(), *rows, Excel_Sheet_Columns.load()};
}

TEST(SpreadsheetPeers, WorkbooksMadeByLibreOfficeReadCellForCell) {
  const QString folder = spreadsheet_peers::convertedFixtures();
  ASSERT_FALSE(folder.isEmpty());

  const auto people = readWorkbook(folder + "/people.xlsx", 1);
  ASSERT_TRUE(people.has_value());
  EXPECT_EQ(people->columns, 8);
  EXPECT_EQ(people->names,
            (QStringList{"Name", "Amount", "Double", "Day", "Untitled Column 5", "Flag", "Code", "Joined"}));
  // The values as the sheet XML holds them: the date as its serial number, booleans as
  // 1 and 0, formulas as their cached results; the empty row 4 gives no row.
  const QList<QStringList> expected{
      {"Name", "Amount", "Double", "Day", "", "Flag", "Code", "Joined"},
      {"Ann Bold end", "3.5", "7", "45366", "", "1", "007", "007!"},
      {"Bob & <Co>", "0.001", "3.501", "", "plain after rich", "0", "x", "x!"},
      {"Cy", "-12", "-24", "", "", "", "\u00e9t\u00e9 \u2709", ""},
  };
  EXPECT_EQ(people->rows, expected);
  EXPECT_EQ(SpreadsheetWriter::Read_Sheet_Name(), (QStringList{"People", "Second"}));

  const auto second = readWorkbook(folder + "/people.xlsx", 2);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->names, QStringList{"Sheet two"});
  EXPECT_EQ(second->rows, (QList<QStringList>{{"Sheet two"}, {"42"}}));

  const auto wide = readWorkbook(folder + "/wide.xlsx", 1);
  ASSERT_TRUE(wide.has_value());
  EXPECT_EQ(wide->columns, 703);
  ASSERT_EQ(wide->names.size(), 703);
  EXPECT_EQ(wide->names[0], "first");
  EXPECT_EQ(wide->names[1], "Untitled Column 2");
  EXPECT_EQ(wide->names[701], "zz");
  EXPECT_EQ(wide->names[702], "aaa");
  ASSERT_EQ(wide->rows.size(), 2);
  EXPECT_EQ(wide->rows[1][0], "1");
  EXPECT_EQ(wide->rows[1][702], "703");
  EXPECT_EQ(wide->rows[1][701], "");

  // A sheet the workbook does not have fails with a reason instead of giving rows.
  Excel_Sheet_Number = 5;
  QString error;
  EXPECT_FALSE(SpreadsheetWriter::ReadData_only_column(&error).has_value());
  EXPECT_FALSE(error.isEmpty());
  Excel_Sheet_Number = 1;
}

TEST(SpreadsheetWorkbooks, OpeningReplacesTheLastWorkbookAndReportsFailures) {
  const QString unpack = spreadsheetUnpackFolder();
  ASSERT_FALSE(unpack.isEmpty());

  QTemporaryDir temp;
  const QString two = temp.filePath("two.xlsx");
  const QString one = temp.filePath("one.xlsx");
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(two, {{"a", "b"}, {"1", "2"}}, false));
  ASSERT_TRUE(writeSeriesWorkbook(one, {"x"}));
  // A leftover sheet of an earlier workbook must not be read as part of the next one.
  QDir().mkpath(unpack + "/xl/worksheets");
  QFile stale(unpack + "/xl/worksheets/sheet2.xml");
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.write(sheetXml("<row><c r=\"A1\"><v>stale</v></c></row>"));
  stale.close();

  auto read = readWorkbook(two, 1);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->rows, (QList<QStringList>{{"a", "b"}, {"1", "2"}}));
  EXPECT_EQ(SpreadsheetWriter::shared().tmpDir, unpack);
  // The folder of this run, inside the private "spreadsheets", is as private as it.
  struct stat status {};
  ASSERT_EQ(::lstat(QFile::encodeName(QFileInfo(unpack).path()).constData(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  EXPECT_FALSE(QFileInfo::exists(unpack + "/xl/worksheets/sheet2.xml"));
  // Opening answers the rows of the previous read.
  QString error;
  const auto previous = SpreadsheetWriter::ReadWorkbook(one, true, &error);
  ASSERT_TRUE(previous.has_value());
  EXPECT_EQ(*previous, read->rows);
  EXPECT_EQ(Excel_Sheet_Columns.load(), 1);

  // A file that is no workbook: the opening says so.
  ASSERT_TRUE(QFile(temp.filePath("bad.xlsx")).open(QIODevice::WriteOnly));
  EXPECT_FALSE(SpreadsheetWriter::ReadWorkbook(temp.filePath("bad.xlsx"), true, &error).has_value());
  EXPECT_EQ(error, "failed to open zip file");
  EXPECT_FALSE(SpreadsheetWriter::ReadWorkbook(QString(), false, &error).has_value());
}

}  // namespace
