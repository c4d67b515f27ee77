// Writing workbooks: the parts the writer makes, the number test, failures that leave
// the target alone, and our workbooks read by Python's zipfile and by LibreOffice (CSV).

#include "core/Globals.h"
#include "dataseries/model/SpreadsheetReader.h"
#include "dataseries/model/SpreadsheetWriter.h"
#include "dataseries/model/ZipArchive.h"
#include "tests/common/TestSupport.h"
#include "tests/dataseries/spreadsheet_peers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <thread>
#include <vector>

namespace {

QByteArray readFile(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The parts of a package by name.
QMap<QString, QByteArray> partsOf(const QString &path) {
  QMap<QString, QByteArray> parts;
  const auto entries = LumaZipArchive::readEntries(readFile(path));
  EXPECT_TRUE(entries.has_value()) << path.toStdString();
  if (entries)
    for (const ZipEntryData &entry : *entries)
      parts.insert(entry.name, entry.data);
  return parts;
}

// Restores Resource_Path when the test ends.
struct ScopedResourcePath {
  QString saved = Resource_Path;
  explicit ScopedResourcePath(const QString &path) { Resource_Path = path; }
  ~ScopedResourcePath() { Resource_Path = saved; }
};

TEST(SpreadsheetNumbers, OnlyCanonicalNumbersAreWrittenAsNumbers) {
  for (const char *number : {"0", "42", "-7", "3.5", "-0.25", "0.001", "123456789012345", "100", "999999999999999"})
    EXPECT_TRUE(isCanonicalNumber(QString::fromLatin1(number))) << number;
  for (const char *text : {"007", "00", "1.50", "1.", ".5", "+5", "-0", "1e3", "1E-3", "0x10", " 5", "5 ", "",
                           "-", "inf", "nan", "1,5", "123456789012345678", "1234567890123456", "0.1234567890123456",
                           "\u0665"})
    EXPECT_FALSE(isCanonicalNumber(QString::fromUtf8(text))) << text;
}

TEST(SpreadsheetWriting, SeriesBecomesOneColumnWithSharedStringsInWritingOrder) {
  QTemporaryDir temp;
  const QString path = temp.filePath("series.xlsx");
  ASSERT_TRUE(writeSeriesWorkbook(path, {"5", "abc", "5", "abc", ""}));
  const auto parts = partsOf(path);
  // Every part of the template is there, the two written ones replaced.
  EXPECT_EQ(parts.keys(), (QStringList{"[Content_Types].xml", "_rels/.rels", "docProps/app.xml", "docProps/core.xml",
                                       "xl/_rels/workbook.xml.rels", "xl/sharedStrings.xml", "xl/styles.xml",
                                       "xl/workbook.xml", "xl/worksheets/sheet1.xml"}));
  const QByteArray sheet = parts.value("xl/worksheets/sheet1.xml");
  EXPECT_TRUE(sheet.contains("<dimension ref=\"A1:A6\"/>"));
  EXPECT_TRUE(sheet.contains("<selection activeCell=\"A6\" sqref=\"A6\"/>"));
  EXPECT_TRUE(sheet.contains("<row r=\"1\" spans=\"1:1\">\n      <c r=\"A1\" t=\"s\"><v>0</v></c>"));
  EXPECT_TRUE(sheet.contains("<c r=\"A2\"><v>5</v></c>"));
  EXPECT_TRUE(sheet.contains("<c r=\"A3\" t=\"s\"><v>1</v></c>"));
  EXPECT_TRUE(sheet.contains("<c r=\"A4\"><v>5</v></c>"));
  EXPECT_TRUE(sheet.contains("<c r=\"A5\" t=\"s\"><v>2</v></c>"));
  EXPECT_TRUE(sheet.contains("<c r=\"A6\" t=\"s\"><v>3</v></c>"));  // an empty value is an entry too
  const auto strings = SpreadsheetReading::readSharedStrings(parts.value("xl/sharedStrings.xml"));
  ASSERT_TRUE(strings.has_value());
  EXPECT_EQ(*strings, (QStringList{"Batch Value", "abc", "abc", ""}));
  EXPECT_TRUE(parts.value("xl/sharedStrings.xml").contains("count=\"4\" uniqueCount=\"4\""));

  // The title-row flag changes nothing; a second column gets letters and spans.
  const QString flagged = temp.filePath("flagged.xlsx");
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(flagged, {{"Batch Value"}, {"5"}, {"abc"}, {"5"}, {"abc"}, {""}}, true));
  EXPECT_EQ(partsOf(flagged).value("xl/worksheets/sheet1.xml"), sheet);
  SpreadsheetWriter writer;
  writer.data = {{"a", "b"}, {"1"}};
  EXPECT_TRUE(writer.WriteWorksheetData().contains("<row r=\"2\" spans=\"1:2\">"));
  writer.sharedStrings.clear();
  EXPECT_EQ(writer.WriteSharedStringsXML(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"/>\n");
}

TEST(SpreadsheetWriting, FailuresAreReportedAndLeaveTheTargetAlone) {
  QTemporaryDir temp;
  const QString target = temp.filePath("keep.xlsx");
  QFile keep(target);
  ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
  keep.write("an earlier export");
  keep.close();
  QString error;
  EXPECT_FALSE(SpreadsheetWriter::WriteWorkbook(target, {}, false, &error));
  EXPECT_EQ(error, "A workbook needs at least one row.");

  // A template without its shared-string part, and one that is no archive.
  const QString resources = temp.filePath("resources");
  ASSERT_TRUE(QDir().mkpath(resources));
  ScopedResourcePath scoped(resources);
  LumaZipArchive broken(resources + "/Template.xlsx");
  ASSERT_TRUE(broken.open());
  ASSERT_TRUE(broken.writeData("<worksheet/>", "xl/worksheets/sheet1.xml"));
  ASSERT_TRUE(broken.close());
  EXPECT_FALSE(writeSeriesWorkbook(target, {"1"}, &error));
  EXPECT_TRUE(error.contains("lacks xl/sharedStrings.xml")) << error.toStdString();
  QFile garbage(resources + "/Template.xlsx");
  ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
  garbage.write("not a zip");
  garbage.close();
  EXPECT_FALSE(writeSeriesWorkbook(target, {"1"}, &error));
  EXPECT_TRUE(error.contains("damaged")) << error.toStdString();
  EXPECT_EQ(readFile(target), "an earlier export");

  // A folder that cannot be written.
  Resource_Path = scoped.saved;
  EXPECT_FALSE(writeSeriesWorkbook(temp.filePath("no/such/folder/x.xlsx"), {"1"}, &error));
  EXPECT_TRUE(error.startsWith("Error when writing file")) << error.toStdString();
}

TEST(SpreadsheetWriting, WorkbooksWrittenOnWorkerThreadsReadBackWhole) {
  QTemporaryDir temp;
  std::vector<std::thread> workers;
  std::vector<int> results(4, 0);
  for (int t = 0; t < 4; ++t)
    workers.emplace_back([&, t] {
      QStringList values;
      for (int i = 0; i < 200; ++i)
        values.append(QStringLiteral("w%1-%2").arg(t).arg(i));
      results[t] = writeSeriesWorkbook(temp.filePath(QStringLiteral("w%1.xlsx").arg(t)), values) ? 1 : -1;
    });
  for (std::thread &worker : workers)
    worker.join();
  for (int t = 0; t < 4; ++t) {
    ASSERT_EQ(results[t], 1);
    const auto parts = partsOf(temp.filePath(QStringLiteral("w%1.xlsx").arg(t)));
    const auto strings = SpreadsheetReading::readSharedStrings(parts.value("xl/sharedStrings.xml"));
    ASSERT_TRUE(strings.has_value());
    ASSERT_EQ(strings->size(), 201);
    EXPECT_EQ(strings->at(200), QStringLiteral("w%1-199").arg(t));
    const auto sheet = SpreadsheetReading::readSheet(parts.value("xl/worksheets/sheet1.xml"), *strings, 0, false);
    ASSERT_TRUE(sheet.has_value());
    EXPECT_EQ(sheet->rows.size(), 201);
  }
}

TEST(SpreadsheetPeers, OurWorkbooksOpenInPythonAndLibreOffice) {
  QTemporaryDir temp;
  // Values a series holds: numbers, texts that only look like numbers, markup
  // characters, blanks at the ends, other scripts.
  const QStringList values{"42", "-7", "3.5", "0.001", "007", "123456789012345678", "1.50", "a&b <c> \"q\"",
                           "  padded  ", "\u00e9t\u00e9 \u2709 \U0001F600", "=1+1", "", "last"};
  const QString series = temp.filePath("series.xlsx");
  ASSERT_TRUE(writeSeriesWorkbook(series, values));
  QList<QStringList> table{{"Name", "Code", "Amount"}};
  for (int i = 1; i <= 30; ++i)
    table.append({QStringLiteral("Person %1").arg(i), QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')),
                  QString::number(i * 1.25)});
  const QString grid = temp.filePath("grid.xlsx");
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(grid, table, true));

  runPython(QStringLiteral("import sys, zipfile\n"
                           "for path in sys.argv[1:]:\n"
                           "    z = zipfile.ZipFile(path)\n"
                           "    assert z.testzip() is None, path\n"
                           "    assert '[Content_Types].xml' in z.namelist()\n"),
            QStringList{series, grid});

  const auto csv = spreadsheet_peers::asCsv({series, grid});
  ASSERT_TRUE(csv.has_value());
  QList<QStringList> expectedSeries{{"Batch Value"}};
  for (const QString &value : values)
    expectedSeries.append(QStringList{value});
  EXPECT_EQ(spreadsheet_peers::parseCsv(csv->at(0)), expectedSeries);
  EXPECT_EQ(spreadsheet_peers::parseCsv(csv->at(1)), table);

  // And our reader reads what we wrote, cell for cell.
  QString error;
  ASSERT_TRUE(SpreadsheetWriter::ReadWorkbook(grid, true, &error).has_value()) << error.toStdString();
  Excel_Sheet_Number = 1;
  ASSERT_TRUE(SpreadsheetWriter::ReadData_only_column(&error).has_value());
  const auto rows = SpreadsheetWriter::ReadWorkbook(QString(), false, &error);
  ASSERT_TRUE(rows.has_value());
  EXPECT_EQ(*rows, table);
}

}  // namespace
