// Hostile workbooks and a hostile machine: the reader's caps on cell text, on the shared
// strings and on the text of a sheet, met with a refusal that names the cap while the
// memory used stays bounded (checked under an address-space limit in a child process);
// and the unpack folder, private to the user whatever other users put where.

#include "core/Globals.h"
#include "dataseries/model/SpreadsheetReader.h"
#include "dataseries/model/SpreadsheetWriter.h"
#include "tests/common/TestSupport.h"
#include "tests/dataseries/hostile_workbooks.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <functional>
#include <optional>

#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define AMENDS_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define AMENDS_TEST_ASAN 1
#endif
#endif

namespace {

using SpreadsheetReading::readSharedStrings;
using SpreadsheetReading::readSheet;
using SpreadsheetReading::TextLimits;

QByteArray inlineCell(const QByteArray &reference, const QByteArray &text) {
  return "<c r=\"" + reference + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

// ---- The caps on the parts -----------------------------------------------------------------------

TEST(SpreadsheetLimits, PartsPastACapAreRefusedWithTheCapNamed) {
  const TextLimits small{10, 3, 25};
  const QByteArray ten = "\xc3\xa9t\xc3\xa9 \xe2\x9c\x89 abcd";  // "été ✉ abcd": ten characters
  QString error;
  for (qsizetype piece : {qsizetype(0), qsizetype(1), SpreadsheetReading::DefaultPieceBytes}) {
    SCOPED_TRACE(piece);
    // At the caps: read whole.
    const auto three = readSharedStrings(hostile::sharedStrings("<si><t>" + ten + "</t></si><si><r><t>12345</t></r>"
                                                                "<r><t>6789</t></r></si><si/>"),
                                         &error, small, piece);
    ASSERT_TRUE(three.has_value()) << error.toStdString();
    EXPECT_EQ(*three, (QStringList{QString::fromUtf8(ten), "123456789", ""}));
    // One entry too many, one character too many (in runs too), too much text in all.
    EXPECT_FALSE(readSharedStrings(hostile::sharedStrings("<si/><si/><si/><si/>"), &error, small, piece));
    EXPECT_EQ(error, "the workbook holds more than 3 shared strings");
    EXPECT_FALSE(readSharedStrings(hostile::sharedStrings("<si><t>" + ten + "!</t></si>"), &error, small, piece));
    EXPECT_EQ(error, "a cell holds more than 10 characters");
    EXPECT_FALSE(readSharedStrings(hostile::sharedStrings("<si><r><t>123456</t></r><r><t>78901</t></r></si>"), &error,
                                   small, piece));
    EXPECT_EQ(error, "a cell holds more than 10 characters");
    EXPECT_FALSE(readSharedStrings(hostile::sharedStrings("<si><t>1234567890</t></si><si><t>1234567890</t></si>"
                                                          "<si><t>123456</t></si>"),
                                   &error, small, piece));
    EXPECT_EQ(error, "the shared strings hold more than 25 characters");

    // Sheets: an inline string or a value too long; the text of the cells kept, a shared
    // string counted for every cell that shows it. The column names keep one row only.
    EXPECT_FALSE(readSheet(hostile::sheet("<row>" + inlineCell("A1", ten + "x") + "</row>"), {}, 0, false, &error,
                           SpreadsheetReading::DefaultMaxCells, piece, small));
    EXPECT_EQ(error, "a cell holds more than 10 characters");
    EXPECT_FALSE(readSheet(hostile::sheet("<row><c r=\"A1\"><v>12345678901</v></c></row>"), {}, 0, false, &error,
                           SpreadsheetReading::DefaultMaxCells, piece, small));
    EXPECT_EQ(error, "a cell holds more than 10 characters");
    const QByteArray threeRows = hostile::sheet(hostile::rowsShowing(3, 0));
    EXPECT_FALSE(readSheet(threeRows, {"1234567890"}, 0, false, &error, SpreadsheetReading::DefaultMaxCells, piece,
                           small));
    EXPECT_EQ(error, "the sheet holds more than 25 characters of text");
    const auto names = readSheet(threeRows, {"1234567890"}, 0, true, &error, SpreadsheetReading::DefaultMaxCells,
                                 piece, small);
    ASSERT_TRUE(names.has_value()) << error.toStdString();
    EXPECT_EQ(names->rows, QList<QStringList>{{"1234567890"}});
    const auto two = readSheet(hostile::sheet(hostile::rowsShowing(2, 0)), {"1234567890"}, 0, false, &error,
                               SpreadsheetReading::DefaultMaxCells, piece, small);
    ASSERT_TRUE(two.has_value()) << error.toStdString();
    EXPECT_EQ(two->rows, (QList<QStringList>{{"1234567890"}, {"1234567890"}}));
  }

  // The default cap is the spreadsheet cell's own: 32,767 characters.
  const QByteArray longest(32767, 'a');
  const auto kept = readSharedStrings(hostile::sharedStrings("<si><t>" + longest + "</t></si>"), &error);
  ASSERT_TRUE(kept.has_value());
  EXPECT_EQ(kept->first().size(), 32767);
  EXPECT_FALSE(readSharedStrings(hostile::sharedStrings("<si><t>" + longest + "a</t></si>"), &error));
  EXPECT_EQ(error, "a cell holds more than 32,767 characters");
  EXPECT_FALSE(readSheet(hostile::sheet("<row>" + inlineCell("B1", longest + "a") + "</row>"), {}, 0, true, &error));
  EXPECT_EQ(error, "a cell holds more than 32,767 characters");
}

// A part whose markup cannot be cut into pieces is parsed whole: only a small one.
TEST(SpreadsheetLimits, APartThatCannotBeReadInPiecesIsParsedWholeOnlyWhenSmall) {
  QByteArray rows;
  while (rows.size() <= SpreadsheetReading::MaxWholePartBytes)
    rows += "<row><c r=\"A1\"><v>1</v></c></row>";
  const QByteArray plain = hostile::sheet(rows);
  QByteArray subset = plain;
  subset.replace("<worksheet", "<!DOCTYPE worksheet [ <!ELEMENT worksheet ANY> ]><worksheet");
  QString error;
  const auto read = readSheet(plain, {}, 0, false, &error);
  ASSERT_TRUE(read.has_value()) << error.toStdString();
  EXPECT_GT(read->rows.size(), 200000);
  EXPECT_FALSE(readSheet(subset, {}, 0, false, &error).has_value());
  EXPECT_EQ(error, "a part of more than 8,388,608 bytes is not laid out to be read in pieces");
  // Small, the same markup reads.
  const auto small = readSheet(hostile::sheet("<row><c r=\"A1\"><v>1</v></c></row>")
                                   .replace("<worksheet", "<!DOCTYPE worksheet [ <!ELEMENT worksheet ANY> ]><worksheet"),
                               {}, 0, false, &error);
  ASSERT_TRUE(small.has_value()) << error.toStdString();
  EXPECT_EQ(small->rows, QList<QStringList>{{"1"}});

  // The tables of OpenDocument and Office 2003 files lie deeper and are read in pieces
  // too; what follows the first table (another large one) is not read at all.
  QByteArray odsRows;
  QByteArray xmlRows;
  while (odsRows.size() <= SpreadsheetReading::MaxWholePartBytes) {
    odsRows += "<table:table-row><table:table-cell><text:p>v</text:p></table:table-cell></table:table-row>";
    xmlRows += "<Row><Cell><Data>v</Data></Cell></Row>";
  }
  const QByteArray table = "<table:table>" + odsRows + "</table:table>";
  const auto ods = SpreadsheetReading::readOdsContent(
      "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
      " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
      " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>" +
          table + table + "</office:spreadsheet></office:body></office:document-content>",
      &error);
  ASSERT_TRUE(ods.has_value()) << error.toStdString();
  EXPECT_GT(ods->rows.size(), 80000);
  const QByteArray worksheet = "<Worksheet><Table>" + xmlRows + "</Table></Worksheet>";
  const auto xml = SpreadsheetReading::readWorksheetXml2004(
      "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\">" + worksheet + worksheet + "</Workbook>",
      &error);
  ASSERT_TRUE(xml.has_value()) << error.toStdString();
  EXPECT_EQ(xml->rows.size(), ods->rows.size());
}

// ---- Nesting and numbers past any real file --------------------------------------------------------

// Runs `body` on a thread whose stack holds 512 KiB: a reader that recursed once per level
// of nesting would run past it long before these files end. (A POSIX thread, joined, so
// that the thread checker sees the results handed back.)
void onSmallStack(const std::function<void()> &body) {
  pthread_attr_t attributes;
  ASSERT_EQ(pthread_attr_init(&attributes), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, 512 * 1024), 0);
  pthread_t thread;
  auto run = [](void *argument) -> void * {
    (*static_cast<const std::function<void()> *>(argument))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()> *>(&body)), 0);
  pthread_attr_destroy(&attributes);
  ASSERT_EQ(pthread_join(thread, nullptr), 0);
}

QByteArray repeated(const QByteArray &text, int count) {
  QByteArray out;
  out.reserve(text.size() * count);
  for (int i = 0; i < count; ++i)
    out.append(text);
  return out;
}

const QByteArray OdsHead =
    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet><table:table>";
const QByteArray OdsTail = "</table:table></office:spreadsheet></office:body></office:document-content>";

QByteArray odsRow(const QByteArray &paragraph) {
  return "<table:table-row><table:table-cell><text:p>" + paragraph + "</text:p></table:table-cell></table:table-row>";
}

// Files of a few kilobytes packed, deeply nested: row groups within row groups, spans
// within spans, elements within a cell's data. Each reads whole, through the package or
// the file as the program opens it, on a worker's small stack.
TEST(SpreadsheetLimits, DeepNestingReadsOnASmallWorkerStack) {
  QTemporaryDir temp;
  const QString groups = temp.filePath("groups.ods");
  const QString spans = temp.filePath("spans.ods");
  const QString office2003 = temp.filePath("nested.xml");
  ASSERT_TRUE(hostile::writeWorkbook(
      groups, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
               {"content.xml", OdsHead + odsRow("first") + repeated("<table:table-row-group>", 40000) +
                                   odsRow("deep") + repeated("</table:table-row-group>", 40000) + odsRow("after") +
                                   OdsTail}}));
  ASSERT_TRUE(hostile::writeWorkbook(
      spans, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
              {"content.xml", OdsHead + odsRow("start " + repeated("<text:span>", 100000) + "deep" +
                                                repeated("</text:span>", 100000) + " end") +
                                  OdsTail}}));
  EXPECT_LT(QFileInfo(groups).size(), 16 * 1024);
  {
    QFile file(office2003);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet><Table><Row><Cell><Data>" +
               repeated("<B>", 200000) + "deep" + repeated("</B>", 200000) +
               "</Data></Cell><Cell><Data>next</Data></Cell></Row></Table></Worksheet></Workbook>");
  }
  std::optional<QList<QStringList>> fromGroups;
  std::optional<QList<QStringList>> fromSpans;
  std::optional<QList<QStringList>> from2003;
  QString errors[3];
  onSmallStack([&] {
    fromGroups = SpreadsheetWriter::ReadODS(groups, &errors[0]);
    fromSpans = SpreadsheetWriter::ReadODS(spans, &errors[1]);
    from2003 = SpreadsheetWriter::ReadWorksheetXML2004(office2003, &errors[2]);
  });
  ASSERT_TRUE(fromGroups.has_value()) << errors[0].toStdString();
  EXPECT_EQ(*fromGroups, (QList<QStringList>{{"first"}, {"deep"}, {"after"}}));
  ASSERT_TRUE(fromSpans.has_value()) << errors[1].toStdString();
  EXPECT_EQ(*fromSpans, QList<QStringList>{{"start deep end"}});
  ASSERT_TRUE(from2003.has_value()) << errors[2].toStdString();
  EXPECT_EQ(*from2003, (QList<QStringList>{{"deep", "next"}}));
}

// Column numbers at the ends of 64 bits: the arithmetic stays within its range (the
// address and undefined-behaviour sanitizer build checks that) and the cells land where
// the numbers say, or are refused as lying beyond column XFD.
TEST(SpreadsheetLimits, ColumnNumbersAtTheEndsOfTheirRangeAreHeldWithinTheSheet) {
  QString error;
  auto office2003 = [&](const QByteArray &cells) {
    return SpreadsheetReading::readWorksheetXml2004(
        "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\""
        " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet><Table><Row>" +
            cells + "</Row></Table></Worksheet></Workbook>",
        &error);
  };
  // A merge across more columns than a sheet has: nothing may follow it.
  const auto merged = office2003("<Cell ss:MergeAcross=\"9223372036854775807\"><Data>wide</Data></Cell>");
  ASSERT_TRUE(merged.has_value()) << error.toStdString();
  EXPECT_EQ(merged->rows, QList<QStringList>{{"wide"}});
  EXPECT_FALSE(office2003("<Cell ss:MergeAcross=\"9223372036854775807\"><Data>wide</Data></Cell>"
                          "<Cell><Data>past</Data></Cell>"));
  EXPECT_EQ(error, "a cell lies beyond column XFD");
  // An index before the first column: the cell takes the next one.
  const auto indexed = office2003("<Cell><Data>a</Data></Cell><Cell ss:Index=\"-9223372036854775808\"><Data>b</Data>"
                                  "</Cell><Cell ss:Index=\"9223372036854775807\"/>");
  ASSERT_TRUE(indexed.has_value()) << error.toStdString();
  EXPECT_EQ(indexed->rows, (QList<QStringList>{{"a", "b"}}));
  EXPECT_FALSE(office2003("<Cell ss:Index=\"9223372036854775807\"><Data>far</Data></Cell>"));
  EXPECT_EQ(error, "a cell lies beyond column XFD");

  // An OpenDocument cell repeated as often as 64 bits count, after a cell, with and
  // without a value.
  const QByteArray first = "<table:table-cell><text:p>a</text:p></table:table-cell>";
  const auto padded = SpreadsheetReading::readOdsContent(
      OdsHead + "<table:table-row>" + first +
          "<table:table-cell table:number-columns-repeated=\"9223372036854775807\"/></table:table-row>" + OdsTail,
      &error);
  ASSERT_TRUE(padded.has_value()) << error.toStdString();
  EXPECT_EQ(padded->rows, QList<QStringList>{{"a"}});
  EXPECT_FALSE(SpreadsheetReading::readOdsContent(
      OdsHead + "<table:table-row>" + first +
          "<table:table-cell table:number-columns-repeated=\"9223372036854775807\"><text:p>v</text:p>"
          "</table:table-cell></table:table-row>" + OdsTail,
      &error));
  EXPECT_EQ(error, "a cell lies beyond column XFD");
  EXPECT_FALSE(SpreadsheetReading::readOdsContent(
      OdsHead + "<table:table-row>" + first +
          "<table:table-cell table:number-columns-repeated=\"9223372036854775807\"/>" + first +
          "</table:table-row>" + OdsTail,
      &error));
  EXPECT_EQ(error, "a cell lies beyond column XFD");
}

// ---- Whole workbooks under a memory limit -----------------------------------------------------------

// Runs `body` in a child process whose address space may grow by `budget` bytes at most,
// and answers its exit code (128 + the signal when it was killed). Under AddressSanitizer,
// which reserves terabytes of address space, the body runs here without a limit.
int underMemoryLimit(qint64 budget, const std::function<int()> &body) {
#if defined(AMENDS_TEST_ASAN)
  Q_UNUSED(budget);
  return body();
#else
  const pid_t child = ::fork();
  if (child == 0) {
    long pages = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(statm, "%ld", &pages) != 1)
        pages = 0;
      std::fclose(statm);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) +
                         static_cast<rlim_t>(budget);
    const struct rlimit bound {limit, limit};
    if (pages == 0 || ::setrlimit(RLIMIT_AS, &bound) != 0)
      ::_exit(90);
    int code = 91;
    try {
      code = body();
    } catch (...) {
      code = 92;  // std::bad_alloc: the limit was reached
    }
    ::_exit(code);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child)
    return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
#endif
}

constexpr qint64 MemoryBudget = 512LL * 1024 * 1024;

// Opens `workbook` as the import windows do; 0 when it is refused with a reason holding
// `expected`.
int refusedWith(const QString &workbook, const QString &expected) {
  QString error;
  if (SpreadsheetWriter::ReadWorkbook(workbook, true, &error)) {
    Excel_Sheet_Number = 1;
    if (SpreadsheetWriter::ReadData_only_column(&error) && SpreadsheetWriter::ReadWorkbook(QString(), false, &error))
      return 1;
  }
  if (!error.contains(expected)) {
    std::fprintf(stderr, "refused with: %s\n", qPrintable(error));
    return 2;
  }
  return 0;
}

TEST(SpreadsheetLimits, HostileWorkbooksAreRefusedWithinBoundedMemory) {
  QTemporaryDir temp;
  const QString oneHuge = temp.filePath("one-huge-string.xlsx");
  const QString millions = temp.filePath("millions-of-strings.xlsx");
  const QString atTheCap = temp.filePath("at-the-cap.xlsx");
  {
    // One shared string of 20 million characters, with blanks to trim, shown by 2,000 rows.
    const QByteArray huge = " " + QByteArray(20'000'000, 'x') + " ";
    ASSERT_TRUE(hostile::writeWorkbook(
        oneHuge, {{"xl/sharedStrings.xml", hostile::sharedStrings("<si><t xml:space=\"preserve\">" + huge + "</t></si>")},
                  {"xl/worksheets/sheet1.xml", hostile::sheet(hostile::rowsShowing(2000, 0))}}));
  }
  {
    // Twelve million empty shared strings: a package of a few hundred kilobytes.
    QByteArray items;
    items.reserve(12'000'000 * 5);
    for (int i = 0; i < 12'000'000; ++i)
      items.append("<si/>");
    ASSERT_TRUE(hostile::writeWorkbook(millions, {{"xl/sharedStrings.xml", hostile::sharedStrings(items)},
                                                  {"xl/worksheets/sheet1.xml", hostile::sheet(hostile::rowsShowing(1, 0))}}));
    EXPECT_LT(QFileInfo(millions).size(), 2 * 1024 * 1024);
  }
  const QString longest = " " + QString(32765, u'\u00e9') + " ";
  ASSERT_TRUE(hostile::writeWorkbook(
      atTheCap, {{"xl/sharedStrings.xml", hostile::sharedStrings("<si><t xml:space=\"preserve\">" + longest.toUtf8() +
                                                                 "</t></si>")},
                 {"xl/worksheets/sheet1.xml", hostile::sheet(hostile::rowsShowing(2000, 0))}}));

  EXPECT_EQ(underMemoryLimit(MemoryBudget, [&] { return refusedWith(oneHuge, "more than 32,767 characters"); }), 0);
  EXPECT_EQ(underMemoryLimit(MemoryBudget,
                             [&] { return refusedWith(millions, "more than 1,000,000 shared strings"); }),
            0);
  // A workbook within the caps reads whole, every row showing the one shared text.
  EXPECT_EQ(underMemoryLimit(MemoryBudget,
                             [&] {
                               QString error;
                               if (!SpreadsheetWriter::ReadWorkbook(atTheCap, true, &error))
                                 return 3;
                               Excel_Sheet_Number = 1;
                               const auto names = SpreadsheetWriter::ReadData_only_column(&error);
                               const auto rows = SpreadsheetWriter::ReadWorkbook(QString(), false, &error);
                               if (!names || !rows || rows->size() != 2000)
                                 return 4;
                               for (const QStringList &row : *rows)
                                 if (row != QStringList{longest})
                                   return 5;
                               return 0;
                             }),
            0);
  // An OpenDocument package of about a kilobyte whose 1,200 rows each repeat one cell
  // across every column: refused on counting its cells, before they are made.
  const QString repeated = temp.filePath("repeated-cells.ods");
  {
    QByteArray rows;
    for (int i = 0; i < 1200; ++i)
      rows += "<table:table-row><table:table-cell table:number-columns-repeated=\"16384\"><text:p>x</text:p>"
              "</table:table-cell></table:table-row>";
    ASSERT_TRUE(hostile::writeWorkbook(
        repeated, {{"content.xml", "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
                                   " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
                                   " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
                                   "<office:spreadsheet><table:table>" + rows + "</table:table></office:spreadsheet>"
                                   "</office:body></office:document-content>"}}));
    EXPECT_LT(QFileInfo(repeated).size(), 4 * 1024);
  }
  EXPECT_EQ(underMemoryLimit(64LL * 1024 * 1024,
                             [&] {
                               QString error;
                               if (SpreadsheetWriter::ReadODS(repeated, &error))
                                 return 1;
                               if (error != "the sheet holds more than 16000000 cells") {
                                 std::fprintf(stderr, "refused with: %s\n", qPrintable(error));
                                 return 2;
                               }
                               return 0;
                             }),
            0);

  // Nothing of a refused workbook stays to be read as a sheet later.
  QString error;
  EXPECT_FALSE(SpreadsheetWriter::ReadWorkbook(oneHuge, true, &error).has_value());
  EXPECT_FALSE(QFileInfo::exists(spreadsheetUnpackFolder() + "/xl/worksheets/sheet1.xml"));
}

// ---- The unpack folder ---------------------------------------------------------------------------

// Every file under `folder` with its size.
QMap<QString, qint64> filesUnder(const QString &folder) {
  QMap<QString, qint64> files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    files.insert(QDir(folder).relativeFilePath(path), QFileInfo(path).size());
  }
  return files;
}

// A workbook's pictures, printer settings and parts no reader knows are never unpacked:
// what a read leaves in the unpack folder is the parts the readers read.
TEST(SpreadsheetUnpackFolder, HoldsOnlyThePartsTheReadersRead) {
  QTemporaryDir temp;
  const QByteArray big(32 * 1024 * 1024, '\0');  // a few kilobytes packed
  const QString workbook = temp.filePath("pictures.xlsx");
  ASSERT_TRUE(hostile::writeWorkbook(
      workbook, {{"[Content_Types].xml", "<Types/>"},
                 {"xl/workbook.xml", "<workbook><sheets><sheet name=\"Guests\"/><sheet name=\"Two\"/></sheets></workbook>"},
                 {"xl/sharedStrings.xml", hostile::sharedStrings("<si><t>Name</t></si>")},
                 {"xl/worksheets/sheet1.xml", hostile::sheet(hostile::rowsShowing(3, 0))},
                 {"xl/worksheets/sheet2.xml", hostile::sheet(hostile::rowsShowing(1, 0))},
                 {"xl/worksheets/_rels/sheet1.xml.rels", "<Relationships/>"},
                 {"xl/media/image1.png", big},
                 {"xl/printerSettings/printerSettings1.bin", big},
                 {"customXml/item1.xml", big},
                 {"xl/styles.xml", "<styleSheet/>"}}));
  ASSERT_LT(QFileInfo(workbook).size(), 1024 * 1024);
  QString error;
  ASSERT_TRUE(SpreadsheetWriter::ReadWorkbook(workbook, true, &error).has_value()) << error.toStdString();
  Excel_Sheet_Number = 1;
  ASSERT_TRUE(SpreadsheetWriter::ReadData_only_column(&error).has_value()) << error.toStdString();
  const auto rows = SpreadsheetWriter::ReadWorkbook(QString(), false, &error);
  ASSERT_TRUE(rows.has_value()) << error.toStdString();
  EXPECT_EQ(*rows, (QList<QStringList>{{"Name"}, {"Name"}, {"Name"}}));
  EXPECT_EQ(SpreadsheetWriter::Read_Sheet_Name(), (QStringList{"Guests", "Two"}));
  const QString unpack = SpreadsheetWriter::shared().tmpDir;
  EXPECT_EQ(filesUnder(unpack).keys(), (QStringList{"xl/sharedStrings.xml", "xl/workbook.xml",
                                                    "xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"}));

  // An OpenDocument package leaves its content part alone.
  const QString ods = temp.filePath("pictures.ods");
  ASSERT_TRUE(hostile::writeWorkbook(
      ods, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
            {"content.xml", OdsHead + odsRow("cell") + OdsTail},
            {"Pictures/1000000000000.png", big},
            {"Thumbnails/thumbnail.png", big},
            {"styles.xml", "<office:document-styles/>"}}));
  const auto odsRows = SpreadsheetWriter::ReadODS(ods, &error);
  ASSERT_TRUE(odsRows.has_value()) << error.toStdString();
  EXPECT_EQ(*odsRows, QList<QStringList>{{"cell"}});
  EXPECT_EQ(filesUnder(unpack).keys(), QStringList{"content.xml"});
}


// Another user may create anything in the shared temporary folder; the unpack folder is
// not there but in the user's own cache folder, made private by the program. A folder in
// its place that is not private (open to others, a link, another user's) is neither used
// nor changed, and the refusal says what to do.
TEST(SpreadsheetUnpackFolder, IsPrivateWhateverOthersPutInTheSharedTemporaryFolder) {
  QTemporaryDir home;
  QTemporaryDir shared;
  ScopedEnvironment homeVariable("HOME", home.path());
  ScopedEnvironment tmpVariable("TMPDIR", shared.path());
  // What the folder of the temporary directory could hold, made first by somebody else.
  const QString squatted = shared.filePath(QStringLiteral("amends-%1").arg(::getuid()));
  ASSERT_TRUE(QFile(squatted).open(QIODevice::WriteOnly));

  const QString workbook = shared.filePath("book.xlsx");
  ASSERT_TRUE(writeSeriesWorkbook(workbook, {"v1", "v2"}));
  QString error;
  ASSERT_TRUE(SpreadsheetWriter::ReadWorkbook(workbook, true, &error).has_value()) << error.toStdString();
  const QString unpack = SpreadsheetWriter::shared().tmpDir;
  EXPECT_EQ(unpack, spreadsheetUnpackFolder());
  EXPECT_TRUE(unpack.startsWith(home.path() + "/")) << unpack.toStdString();
  EXPECT_TRUE(QFileInfo::exists(unpack + "/xl/worksheets/sheet1.xml"));
  // "spreadsheets", above the folder of this run.
  const QString folder = QDir::cleanPath(unpack + "/../..");
  EXPECT_EQ(QFileInfo(folder).fileName(), QStringLiteral("spreadsheets"));
  struct stat status {};
  ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);

  auto refused = [&](const char *what) {
    SCOPED_TRACE(what);
    QString problem;
    EXPECT_TRUE(spreadsheetUnpackFolder(&problem).isEmpty());
    EXPECT_FALSE(SpreadsheetWriter::ReadWorkbook(workbook, true, &error).has_value());
    EXPECT_EQ(error, QStringLiteral("the folder %1 is not private to you (a link, another user's, or open to "
                                    "others); remove it to import workbooks")
                         .arg(folder));
    EXPECT_EQ(problem, error);
  };
  const QByteArray native = QFile::encodeName(folder);

  // Open to others: left as it is, contents included.
  ASSERT_EQ(::chmod(native.constData(), 0777), 0);
  refused("open to others");
  ASSERT_EQ(::lstat(native.constData(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0777u);
  EXPECT_TRUE(QFileInfo::exists(unpack + "/xl/worksheets/sheet1.xml"));
  ASSERT_TRUE(QDir(folder).removeRecursively());

  // A link to a folder elsewhere: neither followed nor removed.
  const QString elsewhere = shared.filePath("elsewhere");
  ASSERT_TRUE(QDir().mkpath(elsewhere));
  ASSERT_EQ(::chmod(QFile::encodeName(elsewhere).constData(), 0700), 0);
  ASSERT_TRUE(QFile::link(elsewhere, folder));
  refused("a link");
  EXPECT_TRUE(QFileInfo(folder).isSymLink());
  EXPECT_TRUE(QDir(elsewhere).isEmpty());
  ASSERT_TRUE(QFile::remove(folder));

  // Another user's folder (a test run by root can make one).
  if (::getuid() == 0) {
    ASSERT_EQ(::mkdir(native.constData(), 0700), 0);
    ASSERT_EQ(::chown(native.constData(), 65534, 65534), 0);
    refused("another user's");
    ASSERT_EQ(::lstat(native.constData(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    ASSERT_TRUE(QDir(folder).removeRecursively());
  }

  // Gone: made again, private, and used.
  ASSERT_TRUE(SpreadsheetWriter::ReadWorkbook(workbook, true, &error).has_value()) << error.toStdString();
  ASSERT_EQ(::lstat(native.constData(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
}

// Two programs running at once each unpack into their own folder: one starting or ending
// removes its own and those of programs no longer running (cut short, their folder left
// behind), never what another running program is reading.
TEST(SpreadsheetUnpackFolder, AProgramStartingOrEndingLeavesTheWorkbookAnotherIsReading) {
  QTemporaryDir home;
  ScopedEnvironment homeVariable("HOME", home.path());
  const QString unpack = spreadsheetUnpackFolder();
  ASSERT_FALSE(unpack.isEmpty());
  const QString folder = QDir::cleanPath(unpack + "/../..");
  EXPECT_EQ(unpack, folder + QStringLiteral("/%1/ziptmp").arg(::getpid()));

  // A process that has ended, and one that runs (this test's parent).
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0)
    ::_exit(0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  const auto plant = [&](const QString &relative) {
    const QString path = folder + u'/' + relative;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  };
  const QString ended = QString::number(child) + QStringLiteral("/ziptmp/xl/worksheets/sheet1.xml");
  const QString running = QString::number(::getppid()) + QStringLiteral("/ziptmp/xl/worksheets/sheet1.xml");
  plant(ended);
  plant(running);
  plant(QStringLiteral("ziptmp/xl/sharedStrings.xml"));  // where earlier versions unpacked
  plant(QStringLiteral("notes/kept.txt"));               // not a folder of the program's runs

  // This program reads a workbook while the other runs.
  const QString workbook = home.filePath("book.xlsx");
  ASSERT_TRUE(writeSeriesWorkbook(workbook, {"v1", "v2"}));
  QString error;
  ASSERT_TRUE(SpreadsheetWriter::ReadWorkbook(workbook, true, &error).has_value()) << error.toStdString();
  EXPECT_TRUE(QFileInfo::exists(unpack + "/xl/worksheets/sheet1.xml"));
  EXPECT_TRUE(QFileInfo::exists(folder + u'/' + running));
  // Picking a new workbook empties only this program's folder.
  removeSpreadsheetUnpackFolder();
  EXPECT_FALSE(QFileInfo::exists(unpack));
  EXPECT_TRUE(QFileInfo::exists(folder + u'/' + running));

  ASSERT_TRUE(SpreadsheetWriter::ReadWorkbook(workbook, true, &error).has_value()) << error.toStdString();
  removeUnpackFoldersNotInUse();
  EXPECT_FALSE(QFileInfo::exists(QFileInfo(unpack).path())) << "this run's folder";
  EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/%1").arg(child))) << "a run that has ended";
  EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/ziptmp"))) << "the folder earlier versions shared";
  EXPECT_TRUE(QFileInfo::exists(folder + u'/' + running)) << "another running program's";
  EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/notes/kept.txt")));
  struct stat status {};
  ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
}

}  // namespace
