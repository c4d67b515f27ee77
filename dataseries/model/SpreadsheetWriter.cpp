#include "dataseries/model/SpreadsheetWriter.h"

#include "core/Globals.h"
#include "core/Utilities.h"
#include "dataseries/model/SpreadsheetReader.h"
#include "dataseries/model/ZipArchive.h"
#include "platform/Paths.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QStandardPaths>

#include <charconv>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <limits>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The class operations work on the shared instance under this lock.
QMutex &sharedLock() {
  static QMutex mutex;
  return mutex;
}

const QString SheetPart = QStringLiteral("xl/worksheets/sheet1.xml");
const QString SharedStringsPart = QStringLiteral("xl/sharedStrings.xml");
constexpr qint64 MaxTemplateBytes = 16LL * 1024 * 1024;

// A part of the unpack folder, mapped into memory (read whole where it cannot be
// mapped); `bytes` is valid while the part lives. Missing, not a regular file or larger
// than an unpacked entry may be: false with the reason.
struct Part {
  QFile file;
  QByteArray bytes;

  bool open(const QString &path, QString *error) {
    const QFileInfo info(path);
    file.setFileName(path);
    if (!info.isFile() || info.isSymLink() || info.size() > ZipLimits().maxEntryBytes ||
        !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
      if (error)
        *error = QStringLiteral("the workbook has no part %1").arg(info.fileName());
      return false;
    }
    const qint64 size = file.size();
    if (uchar *mapped = size > 0 ? file.map(0, size) : nullptr)
      bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), static_cast<qsizetype>(size));
    else
      bytes = file.readAll();
    return true;
  }
};

// ---- XML text -------------------------------------------------------------------------------

// Appends `text` escaped for XML content or an attribute. What XML 1.0 cannot hold (NUL and
// the other control characters but tab and line feed, lone surrogates, U+FFFE, U+FFFF) is
// written as U+FFFD; a carriage return as a character reference so that it survives.
void appendEscaped(QByteArray &out, const QString &text) {
  QString clean;
  clean.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    const char16_t u = c.unicode();
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      clean.append(c);
      clean.append(text.at(++i));
    } else if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF || (u < 0x20 && u != '\t' && u != '\n' && u != '\r')) {
      clean.append(QChar(0xFFFD));
    } else {
      clean.append(c);
    }
  }
  const QByteArray utf8 = clean.toUtf8();
  for (char c : utf8) {
    switch (c) {
      case '&': out.append("&amp;"); break;
      case '<': out.append("&lt;"); break;
      case '>': out.append("&gt;"); break;
      case '"': out.append("&quot;"); break;
      case '\r': out.append("&#13;"); break;
      default: out.append(c);
    }
  }
}

bool hasOuterSpace(const QString &text) {
  auto space = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; };
  return !text.isEmpty() && (space(text.front()) || space(text.back()));
}

// A template package ("Template.xlsx", "Template.ods"): the user's resource folder's,
// else the shipped one.
QString templatePath(const QString &name = QStringLiteral("Template.xlsx")) {
  const QString folder = Resource_Path.isEmpty() ? Paths::resourceFolder() : Resource_Path;
  const QString path = joinPath(folder, name);
  if (QFileInfo(path).isFile())
    return path;
  const QString shipped = Paths::shippedResourcesFolder();
  return shipped.isEmpty() ? path : joinPath(shipped, name);
}

// The entries of the template package `name`, checked to hold every part of `needed`;
// nullopt with the reason otherwise.
std::optional<QList<ZipEntryData>> templateEntries(const QString &name, const QStringList &needed, QString *reason) {
  const QString source = templatePath(name);
  QFile templateFile(source);
  if (!QFileInfo(source).isFile() || QFileInfo(source).size() > MaxTemplateBytes ||
      !templateFile.open(QIODevice::ReadOnly)) {
    *reason = QStringLiteral("The template %1 cannot be read.").arg(source);
    return std::nullopt;
  }
  ZipError zipError;
  std::optional<QList<ZipEntryData>> entries = LumaZipArchive::readEntries(templateFile.readAll(), &zipError);
  if (!entries) {
    *reason = QStringLiteral("The template %1 is damaged: %2").arg(source, zipError.localizedDescription);
    return std::nullopt;
  }
  for (const QString &part : needed) {
    const bool present = std::any_of(entries->begin(), entries->end(),
                                     [&](const ZipEntryData &entry) { return !entry.folder && entry.name == part; });
    if (!present) {
      *reason = QStringLiteral("The template %1 lacks %2.").arg(source, part);
      return std::nullopt;
    }
  }
  return entries;
}

// The message of a file that could not be written, with the system's reason.
QString writeFailure(const QString &path, const QString &reason) {
  return QStringLiteral("Error when writing file %1: %2")
      .arg(path, reason.isEmpty() ? QStringLiteral("the file could not be written") : reason);
}

// Packs a template's `entries` into the package at `path`, in memory straight into the
// target, the parts named in `replaced` with their new bytes. `storedFirst`, when not
// empty, names the entry that leads the package stored as it is (an OpenDocument
// package's "mimetype"); the others follow in the template's order, deflated. False with
// the reason (writeFailure) when the package cannot be written; the old file then stays.
bool packPackage(const QString &path, const QList<ZipEntryData> &entries, const QMap<QString, QByteArray> &replaced,
                 const QString &storedFirst, QString *reason) {
  LumaZipArchive archive(path);
  if (!archive.open()) {
    *reason = writeFailure(path, archive.failureReason());
    return false;
  }
  auto bytesOf = [&](const ZipEntryData &entry) {
    const QByteArray &bytes = replaced.contains(entry.name) ? replaced[entry.name] : entry.data;
    return bytes.isNull() ? QByteArray("") : bytes;
  };
  bool ok = true;
  if (!storedFirst.isEmpty())
    for (const ZipEntryData &entry : entries)
      if (!entry.folder && entry.name == storedFirst) {
        ok = archive.writeData(bytesOf(entry), entry.name, LumaZipArchive::Method::Stored);
        break;
      }
  for (const ZipEntryData &entry : entries)
    if (!entry.folder && entry.name != storedFirst)
      ok = archive.writeData(bytesOf(entry), entry.name) && ok;
  const bool closed = archive.close();
  if (!ok || !closed) {
    *reason = writeFailure(path, archive.failureReason());
    return false;
  }
  return true;
}

// The widest row of a table, at least 1.
int widestRow(const QList<QStringList> &rows) {
  qsizetype widest = 1;
  for (const QStringList &row : rows)
    widest = std::max(widest, row.size());
  return static_cast<int>(std::min<qsizetype>(widest, SpreadsheetReading::MaxColumns));
}

// Appends `text` as OpenDocument paragraph content: the characters a reader would
// collapse or drop (runs of spaces, a leading space, tabs, line breaks) as their elements.
// (WriteODSData gives each line of a value its own paragraph.)
void appendOdsParagraph(QByteArray &out, const QString &text) {
  QString run;
  auto flush = [&] {
    appendEscaped(out, run);
    run.clear();
  };
  qsizetype i = 0;
  while (i < text.size()) {
    const QChar c = text.at(i);
    if (c == u'\t') {
      flush();
      out.append("<text:tab/>");
      ++i;
    } else if (c == u'\n') {
      flush();
      out.append("<text:line-break/>");
      ++i;
    } else if (c == u' ') {
      qsizetype spaces = 0;
      while (i + spaces < text.size() && text.at(i + spaces) == u' ')
        ++spaces;
      // One space between characters stays a character; any other run becomes an element.
      const bool atStart = run.isEmpty() && (i == 0 || text.at(i - 1) == u'\n' || text.at(i - 1) == u'\t');
      if (spaces == 1 && !atStart) {
        run.append(u' ');
      } else {
        flush();
        out.append(spaces == 1 ? QByteArray("<text:s/>")
                               : "<text:s text:c=\"" + QByteArray::number(spaces) + "\"/>");
      }
      i += spaces;
    } else {
      run.append(c);
      ++i;
    }
  }
  flush();
}

const QString OdsContentPart = QStringLiteral("content.xml");

// Whether an xlsx entry is a part the readers read: the shared strings, the workbook
// part (the sheet names) and the worksheet parts. Pictures, printer settings and parts
// no reader knows are not unpacked.
bool readWorkbookPart(const QString &name) {
  static const QRegularExpression worksheet(QStringLiteral("^xl/worksheets/sheet[0-9]+\\.xml$"));
  return name == SharedStringsPart || name == QLatin1String("xl/workbook.xml") || worksheet.match(name).hasMatch();
}

}  // namespace

// ---- The unpack folder --------------------------------------------------------------------------

namespace {

// The private folder: made here with mode 0700 inside the user's own cache folder, and
// used only while it is a real folder (not a link), owned by this user and closed to
// everybody else. A folder there that is not so is left alone and reported, never
// repaired or followed.
QString privateSpreadsheetFolder(QString *problem) {
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  if (cache.isEmpty() || !QDir().mkpath(cache)) {
    if (problem)
      *problem = QStringLiteral("there is no cache folder to unpack workbooks into");
    return QString();
  }
  const QString folder = cache + QStringLiteral("/spreadsheets");
  const QByteArray native = QFile::encodeName(folder);
  if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
    if (problem)
      *problem = QStringLiteral("the folder %1 cannot be made: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    return QString();
  }
  struct stat status {};
  if (::lstat(native.constData(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::getuid() ||
      (status.st_mode & 077) != 0) {
    if (problem)
      *problem = QStringLiteral("the folder %1 is not private to you (a link, another user's, or open to others); "
                                "remove it to import workbooks")
                     .arg(folder);
    return QString();
  }
  return folder;
}

// Removes `path` with everything in it; a link or a file in its place is removed itself,
// and links inside are removed, not followed.
void removeTree(const QString &path) {
  const QFileInfo info(path);
  if (info.isSymLink() || !info.isDir())
    QFile::remove(path);
  else
    QDir(path).removeRecursively();
}

}  // namespace

QString spreadsheetUnpackFolder(QString *problem) {
  const QString folder = privateSpreadsheetFolder(problem);
  if (folder.isEmpty())
    return QString();
  const QString unpack = unpackFolderOfThisRun(folder);
  // The folder of this run is made as private as the one holding it; the unpack folder
  // itself, inside it, is made when a package is unpacked.
  const QString run = QFileInfo(unpack).path();
  if (::mkdir(QFile::encodeName(run).constData(), 0700) != 0 && errno != EEXIST) {
    if (problem)
      *problem = QStringLiteral("the folder %1 cannot be made: %2").arg(run, QString::fromLocal8Bit(std::strerror(errno)));
    return QString();
  }
  return unpack;
}

void removeSpreadsheetUnpackFolder() {
  const QString folder = privateSpreadsheetFolder(nullptr);
  if (!folder.isEmpty())
    removeTree(unpackFolderOfThisRun(folder));
}

void removeUnpackFoldersNotInUse() {
  const QString folder = privateSpreadsheetFolder(nullptr);
  if (folder.isEmpty())
    return;
  const QFileInfoList entries =
      QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
  for (const QFileInfo &entry : entries) {
    const QString name = entry.fileName();
    bool number = false;
    const qlonglong process = name.toLongLong(&number);
    const bool notRunning = number && process > 0 && process <= std::numeric_limits<pid_t>::max() &&
                            (process == ::getpid() || (::kill(pid_t(process), 0) != 0 && errno == ESRCH));
    // "ziptmp" itself is where earlier versions unpacked, shared by every run.
    if (notRunning || name == QLatin1String("ziptmp"))
      removeTree(entry.filePath());
  }
}

// ---- Numbers --------------------------------------------------------------------------------------

bool isCanonicalNumber(const QString &text) {
  // -?(0|[1-9][0-9]*)(\.[0-9]*[1-9])? with at most 15 digits that count.
  const qsizetype n = text.size();
  qsizetype i = 0;
  if (i < n && text.at(i) == u'-')
    ++i;
  const qsizetype integerStart = i;
  while (i < n && text.at(i) >= u'0' && text.at(i) <= u'9')
    ++i;
  const qsizetype integerDigits = i - integerStart;
  if (integerDigits == 0 || (integerDigits > 1 && text.at(integerStart) == u'0'))
    return false;
  qsizetype fractionDigits = 0;
  if (i < n && text.at(i) == u'.') {
    ++i;
    const qsizetype start = i;
    while (i < n && text.at(i) >= u'0' && text.at(i) <= u'9')
      ++i;
    fractionDigits = i - start;
    if (fractionDigits == 0 || text.at(i - 1) == u'0')
      return false;
  }
  if (i != n)
    return false;
  const bool leadingZero = text.at(integerStart) == u'0';
  if ((leadingZero ? 0 : integerDigits) + fractionDigits > 15)
    return false;
  if (leadingZero && integerDigits == 1 && fractionDigits == 0 && integerStart == 1)
    return false;  // "-0": a spreadsheet shows it as 0
  const QByteArray ascii = text.toLatin1();
  double value = 0;
  const auto parsed = std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), value);
  if (parsed.ec != std::errc() || parsed.ptr != ascii.constData() + ascii.size() || !std::isfinite(value))
    return false;
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return written.ec == std::errc() && QByteArray(buffer, written.ptr - buffer) == ascii;
}

// ---- The shared instance -----------------------------------------------------------------------

SpreadsheetWriter::SpreadsheetWriter() : tmpDir(spreadsheetUnpackFolder()) {}

SpreadsheetWriter &SpreadsheetWriter::shared() {
  // Made once per run; the unpack folder starts empty.
  static SpreadsheetWriter &spreadsheet = [] () -> SpreadsheetWriter & {
    static SpreadsheetWriter instance;
    if (!instance.tmpDir.isEmpty()) {
      removeSpreadsheetUnpackFolder();
      QDir().mkpath(instance.tmpDir);
      Show_NSLog_Message(QStringLiteral("Temp. directory initialized:\n %1").arg(instance.tmpDir));
    }
    return instance;
  }();
  return spreadsheet;
}

QString SpreadsheetWriter::sheetPath() const {
  if (tmpDir.isEmpty())
    return QString();  // no folder: no part, never one under "/"
  return tmpDir + QStringLiteral("/xl/worksheets/sheet%1.xml").arg(Excel_Sheet_Number.load());
}

// ---- Reading ---------------------------------------------------------------------------------------

bool SpreadsheetWriter::ReadSharedStrings(const QString &path, QString *error) {
  sharedStrings.clear();
  if (!QFileInfo::exists(path))
    return true;  // a workbook without shared strings
  Part part;
  if (!part.open(path, error))
    return false;
  QString reason;
  const std::optional<QStringList> strings = SpreadsheetReading::readSharedStrings(part.bytes, &reason);
  if (!strings) {
    if (error)
      *error = QStringLiteral("in the shared strings, %1").arg(reason);
    return false;
  }
  sharedStrings = *strings;
  return true;
}

std::optional<QList<QStringList>> SpreadsheetWriter::ReadData(const QString &path, QString *error) {
  data.clear();
  if (!cachedSheet.isEmpty() && cachedSheet == path && cachedColumns == Excel_Sheet_Columns.load()) {
    // The rows were read with the column names, at the same column count.
    data = std::move(cachedRows);
    cachedSheet.clear();
    cachedRows.clear();
    return data;
  }
  cachedSheet.clear();
  cachedRows.clear();
  QString reason;
  std::optional<SpreadsheetReading::Sheet> sheet;
  if (Part part; part.open(path, &reason))
    sheet = SpreadsheetReading::readSheet(part.bytes, sharedStrings, Excel_Sheet_Columns.load(), false, &reason);
  if (!sheet) {
    Show_NSLog_Message(QStringLiteral("Error: %1").arg(reason));
    if (error)
      *error = reason;
    return std::nullopt;
  }
  Excel_Sheet_Columns = std::max(sheet->columns, 1);
  data = std::move(sheet->rows);
  return data;
}

std::optional<QList<QStringList>> SpreadsheetWriter::ReadWorkbook(const QString &path, bool only_col,
                                                                  QString *error) {
  QMutexLocker lock(&sharedLock());
  SpreadsheetWriter &spreadsheet = shared();
  if (!only_col)
    return spreadsheet.ReadData(spreadsheet.sheetPath(), error);
  // The folder is checked at every opening: one that stopped being private is not used.
  QString problem;
  spreadsheet.tmpDir = spreadsheetUnpackFolder(&problem);
  if (spreadsheet.tmpDir.isEmpty()) {
    if (error)
      *error = problem;
    return std::nullopt;
  }

  Release_Data();
  Excel_Sheet_Columns = 1;
  spreadsheet.sharedStrings.clear();
  spreadsheet.cachedSheet.clear();
  spreadsheet.cachedRows.clear();
  // Parts of an earlier workbook never mix with this one's.
  removeSpreadsheetUnpackFolder();
  ZipError zipError;
  if (!LumaZipArchive::unzipFileAtPath(path, spreadsheet.tmpDir, true, QString(), &zipError, ZipLimits(),
                                       readWorkbookPart)) {
    removeSpreadsheetUnpackFolder();  // nothing half unpacked is read later
    if (error)
      *error = zipError.localizedDescription;
    return std::nullopt;
  }
  if (!spreadsheet.ReadSharedStrings(spreadsheet.tmpDir + QLatin1Char('/') + SharedStringsPart, error)) {
    removeSpreadsheetUnpackFolder();  // no sheet of a refused workbook is read later
    return std::nullopt;
  }
  return spreadsheet.data;
}

std::optional<QList<QStringList>> SpreadsheetWriter::ReadData_only_column(QString *error) {
  QMutexLocker lock(&sharedLock());
  SpreadsheetWriter &spreadsheet = shared();
  spreadsheet.data.clear();
  spreadsheet.cachedSheet.clear();
  spreadsheet.cachedRows.clear();
  QString reason;
  std::optional<SpreadsheetReading::Sheet> sheet;
  if (Part part; part.open(spreadsheet.sheetPath(), &reason)) {
    // The names are the first row of the whole sheet, whose rows the next read wants too.
    sheet = SpreadsheetReading::readSheet(part.bytes, spreadsheet.sharedStrings, 0, false, &reason);
    // A sheet past the reader's caps is refused here, when it is chosen, rather than
    // listed and refused only when its rows are taken.
    if (sheet) {
      spreadsheet.cachedSheet = spreadsheet.sheetPath();
      spreadsheet.cachedColumns = std::max(sheet->columns, 1);
      spreadsheet.cachedRows = sheet->rows;
      if (!sheet->rows.isEmpty()) {
        QStringList names = sheet->rows.first();
        for (qsizetype i = 0; i < names.size(); ++i)
          if (names.at(i).isEmpty())
            names[i] = QStringLiteral("Untitled Column %1").arg(i + 1);
        sheet->rows = QList<QStringList>{names};
      }
    }
  }
  if (!sheet) {
    Show_NSLog_Message(QStringLiteral("Error: %1").arg(reason));
    if (error)
      *error = reason;
    return std::nullopt;
  }
  if (sheet->columns > 0)
    Excel_Sheet_Columns = sheet->columns;
  spreadsheet.data = std::move(sheet->rows);
  return spreadsheet.data;
}

QStringList SpreadsheetWriter::Read_Sheet_Name() {
  QMutexLocker lock(&sharedLock());
  Part part;
  const QString folder = shared().tmpDir;
  return !folder.isEmpty() && part.open(folder + QStringLiteral("/xl/workbook.xml"), nullptr)
             ? SpreadsheetReading::readSheetNames(part.bytes)
             : QStringList();
}

// ---- Writing ---------------------------------------------------------------------------------------

QString SpreadsheetWriter::ColumnIndexToName(int column) {
  QString letters;
  while (column > 0) {
    const int digit = (column - 1) % 26;
    letters.prepend(QChar(u'A' + digit));
    column = (column - 1) / 26;
  }
  return letters;
}

QByteArray SpreadsheetWriter::WriteWorksheetData() {
  sharedStrings.clear();
  const int columns = data.isEmpty() ? 1 : std::max<int>(1, static_cast<int>(data.first().size()));
  const QByteArray lastCell =
      (ColumnIndexToName(columns) + QString::number(std::max<qsizetype>(1, data.size()))).toLatin1();
  QByteArray xml;
  xml.reserve(256 + data.size() * 64);
  xml.append("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
             "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\""
             " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
             " xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\""
             " xmlns:x14ac=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac\""
             " mc:Ignorable=\"x14ac\">\n");
  xml.append("  <dimension ref=\"A1:" + lastCell + "\"/>\n");
  xml.append("  <sheetViews>\n    <sheetView tabSelected=\"1\" workbookViewId=\"0\">\n"
             "      <selection activeCell=\"" + lastCell + "\" sqref=\"" + lastCell + "\"/>\n"
             "    </sheetView>\n  </sheetViews>\n");
  xml.append("  <sheetFormatPr baseColWidth=\"10\" defaultRowHeight=\"15\" x14ac:dyDescent=\"0\"/>\n");
  xml.append("  <sheetData>\n");
  const QByteArray spans = "1:" + QByteArray::number(columns);
  for (qsizetype i = 0; i < data.size(); ++i) {
    const QByteArray rowNumber = QByteArray::number(i + 1);
    xml.append("    <row r=\"" + rowNumber + "\" spans=\"" + spans + "\">\n");
    const QStringList &row = data.at(i);
    for (qsizetype j = 0; j < row.size(); ++j) {
      const QString &value = row.at(j);
      xml.append("      <c r=\"" + ColumnIndexToName(static_cast<int>(j + 1)).toLatin1() + rowNumber + "\"");
      if (isCanonicalNumber(value)) {
        xml.append("><v>" + value.toLatin1() + "</v></c>\n");
      } else {
        sharedStrings.append(value);
        xml.append(" t=\"s\"><v>" + QByteArray::number(sharedStrings.size() - 1) + "</v></c>\n");
      }
    }
    xml.append("    </row>\n");
  }
  xml.append("  </sheetData>\n");
  xml.append("  <pageMargins left=\"0.75\" right=\"0.75\" top=\"1\" bottom=\"0.5\" header=\"0.5\" footer=\"0.5\"/>\n");
  xml.append("  <extLst>\n    <ext xmlns:mx=\"http://schemas.microsoft.com/office/mac/excel/2008/main\""
             " uri=\"{64002731-A6B0-56B0-2670-7721B7C09600}\">\n"
             "      <mx:PLV Mode=\"0\" OnePage=\"0\" WScale=\"0\"/>\n    </ext>\n  </extLst>\n");
  xml.append("</worksheet>\n");
  return xml;
}

QByteArray SpreadsheetWriter::WriteSharedStringsXML() const {
  QByteArray xml("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                 "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"");
  if (sharedStrings.isEmpty())
    return xml + "/>\n";
  const QByteArray count = QByteArray::number(sharedStrings.size());
  xml.append(" count=\"" + count + "\" uniqueCount=\"" + count + "\">\n");
  for (const QString &text : sharedStrings) {
    // Blanks at either end survive only when the text says it keeps them.
    xml.append(hasOuterSpace(text) ? "  <si>\n    <t xml:space=\"preserve\">" : "  <si>\n    <t>");
    appendEscaped(xml, text);
    xml.append("</t>\n  </si>\n");
  }
  xml.append("</sst>\n");
  return xml;
}

bool SpreadsheetWriter::WriteWorkbook(const QString &path, const QList<QStringList> &rows, bool hasTitleRow,
                                      QString *error) {
  Q_UNUSED(hasTitleRow);
  auto fail = [&](const QString &reason) {
    Show_NSLog_Message(reason);
    if (error)
      *error = reason;
    return false;
  };
  if (rows.isEmpty())
    return fail(QStringLiteral("A workbook needs at least one row."));

  QString reason;
  const std::optional<QList<ZipEntryData>> entries =
      templateEntries(QStringLiteral("Template.xlsx"), {SheetPart, SharedStringsPart}, &reason);
  if (!entries)
    return fail(reason);

  QByteArray sheet;
  QByteArray strings;
  {
    QMutexLocker lock(&sharedLock());
    SpreadsheetWriter &spreadsheet = shared();
    spreadsheet.data = rows;
    sheet = spreadsheet.WriteWorksheetData();
    strings = spreadsheet.WriteSharedStringsXML();
  }
  if (!packPackage(path, *entries, {{SheetPart, sheet}, {SharedStringsPart, strings}}, QString(), &reason))
    return fail(reason);
  return true;
}

bool writeSeriesWorkbook(const QString &path, const QStringList &values, QString *error) {
  QList<QStringList> rows;
  rows.reserve(values.size() + 1);
  rows.append(QStringList{QStringLiteral("Batch Value")});
  for (const QString &value : values)
    rows.append(QStringList{value});
  return SpreadsheetWriter::WriteWorkbook(path, rows, false, error);
}

// ---- Other spreadsheet formats -------------------------------------------------------------

QString SpreadsheetWriter::ColumnNumber_To_Name(int column) { return ColumnIndexToName(column); }

std::optional<QList<QStringList>> SpreadsheetWriter::ReadODS(const QString &path, QString *error) {
  QMutexLocker lock(&sharedLock());
  SpreadsheetWriter &spreadsheet = shared();
  auto fail = [&](const QString &reason) -> std::optional<QList<QStringList>> {
    Show_NSLog_Message(QStringLiteral("Error: %1").arg(reason));
    if (error)
      *error = reason;
    return std::nullopt;
  };
  QString problem;
  spreadsheet.tmpDir = spreadsheetUnpackFolder(&problem);
  if (spreadsheet.tmpDir.isEmpty())
    return fail(problem);
  // The package takes the unpack folder: what an opened workbook had there goes.
  spreadsheet.data.clear();
  spreadsheet.sharedStrings.clear();
  spreadsheet.cachedSheet.clear();
  spreadsheet.cachedRows.clear();
  removeSpreadsheetUnpackFolder();
  ZipError zipError;
  if (!LumaZipArchive::unzipFileAtPath(path, spreadsheet.tmpDir, true, QString(), &zipError, ZipLimits(),
                                       [](const QString &name) { return name == OdsContentPart; })) {
    removeSpreadsheetUnpackFolder();
    return fail(zipError.localizedDescription);
  }
  QString reason;
  std::optional<SpreadsheetReading::Sheet> sheet;
  if (Part part; part.open(spreadsheet.tmpDir + QLatin1Char('/') + OdsContentPart, &reason))
    sheet = SpreadsheetReading::readOdsContent(part.bytes, &reason);
  if (!sheet)
    return fail(reason);
  spreadsheet.data = std::move(sheet->rows);
  return spreadsheet.data;
}

std::optional<QList<QStringList>> SpreadsheetWriter::ReadWorksheetXML2004(const QString &path, QString *error) {
  QString reason;
  std::optional<SpreadsheetReading::Sheet> sheet;
  Part part;
  if (part.open(path, nullptr))
    sheet = SpreadsheetReading::readWorksheetXml2004(part.bytes, &reason);
  else
    reason = QStringLiteral("the file %1 cannot be read").arg(QFileInfo(path).fileName());
  if (!sheet) {
    Show_NSLog_Message(reason);
    if (error)
      *error = reason;
    return std::nullopt;
  }
  return sheet->rows;
}

QByteArray SpreadsheetWriter::WriteODSData() const {
  QByteArray xml(
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<office:document-content"
      " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
      " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
      " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
      " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
      " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
      " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
      " xmlns:xlink=\"http://www.w3.org/1999/xlink\""
      " xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
      " xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\""
      " xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\""
      " xmlns:presentation=\"urn:oasis:names:tc:opendocument:xmlns:presentation:1.0\""
      " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
      " xmlns:chart=\"urn:oasis:names:tc:opendocument:xmlns:chart:1.0\""
      " xmlns:dr3d=\"urn:oasis:names:tc:opendocument:xmlns:dr3d:1.0\""
      " xmlns:math=\"http://www.w3.org/1998/Math/MathML\""
      " xmlns:form=\"urn:oasis:names:tc:opendocument:xmlns:form:1.0\""
      " xmlns:script=\"urn:oasis:names:tc:opendocument:xmlns:script:1.0\""
      " xmlns:ooo=\"http://openoffice.org/2004/office\""
      " xmlns:ooow=\"http://openoffice.org/2004/writer\""
      " xmlns:oooc=\"http://openoffice.org/2004/calc\""
      " xmlns:dom=\"http://www.w3.org/2001/xml-events\""
      " xmlns:xforms=\"http://www.w3.org/2002/xforms\""
      " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
      " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
      " xmlns:rpt=\"http://openoffice.org/2005/report\""
      " xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\""
      " xmlns:html=\"http://www.w3.org/1999/xhtml\""
      " xmlns:grddl=\"http://www.w3.org/2003/g/data-view#\""
      " xmlns:tableooo=\"http://openoffice.org/2009/table\""
      " xmlns:field=\"urn:openoffice:names:experimental:ooo-ms-interop:xmlns:field:1.0\""
      " xmlns:formx=\"urn:openoffice:names:experimental:ooxml-odf-interop:xmlns:form:1.0\""
      " xmlns:css3t=\"http://www.w3.org/TR/css3-text/\""
      " office:version=\"1.2\">\n"
      "  <office:scripts/>\n"
      "  <office:font-face-decls>\n"
      "    <style:font-face style:name=\"Arial\" svg:font-family=\"Arial\" style:font-family-generic=\"swiss\""
      " style:font-pitch=\"variable\"/>\n"
      "    <style:font-face style:name=\"Arial Unicode MS\" svg:font-family=\"'Arial Unicode MS'\""
      " style:font-family-generic=\"system\" style:font-pitch=\"variable\"/>\n"
      "    <style:font-face style:name=\"Tahoma\" svg:font-family=\"Tahoma\" style:font-family-generic=\"system\""
      " style:font-pitch=\"variable\"/>\n"
      "  </office:font-face-decls>\n"
      "  <office:automatic-styles>\n"
      "    <style:style style:name=\"co1\" style:family=\"table-column\">\n"
      "      <style:table-column-properties fo:break-before=\"auto\" style:column-width=\"2.258cm\"/>\n"
      "    </style:style>\n"
      "    <style:style style:name=\"ro1\" style:family=\"table-row\">\n"
      "      <style:table-row-properties style:row-height=\"0.427cm\" fo:break-before=\"auto\""
      " style:use-optimal-row-height=\"true\"/>\n"
      "    </style:style>\n"
      "    <style:style style:name=\"ta1\" style:family=\"table\" style:master-page-name=\"Default\">\n"
      "      <style:table-properties table:display=\"true\" style:writing-mode=\"lr-tb\"/>\n"
      "    </style:style>\n"
      "  </office:automatic-styles>\n"
      "  <office:body>\n"
      "    <office:spreadsheet>\n"
      "      <table:table table:name=\"Sheet1\" table:style-name=\"ta1\">\n");
  xml.append("        <table:table-column table:style-name=\"co1\" table:number-columns-repeated=\"" +
             QByteArray::number(widestRow(data)) + "\" table:default-cell-style-name=\"Default\"/>\n");
  for (const QStringList &row : data) {
    xml.append("        <table:table-row table:style-name=\"ro1\">\n");
    for (const QString &value : row) {
      // One paragraph per line, as spreadsheets write a cell of several lines.
      xml.append("          <table:table-cell office:value-type=\"string\">");
      for (const QString &line : value.split(u'\n')) {
        xml.append("<text:p>");
        appendOdsParagraph(xml, line);
        xml.append("</text:p>");
      }
      xml.append("</table:table-cell>\n");
    }
    xml.append("        </table:table-row>\n");
  }
  xml.append("      </table:table>\n    </office:spreadsheet>\n  </office:body>\n</office:document-content>\n");
  return xml;
}

bool SpreadsheetWriter::WriteODS(const QString &path, const QList<QStringList> &rows, bool hasTitleRow,
                                 QString *error) {
  Q_UNUSED(hasTitleRow);
  auto fail = [&](const QString &reason) {
    Show_NSLog_Message(reason);
    if (error)
      *error = reason;
    return false;
  };
  if (rows.isEmpty())
    return fail(QStringLiteral("A workbook needs at least one row."));
  QString reason;
  const std::optional<QList<ZipEntryData>> entries =
      templateEntries(QStringLiteral("Template.ods"), {QStringLiteral("mimetype"), OdsContentPart}, &reason);
  if (!entries)
    return fail(reason);
  QByteArray content;
  {
    QMutexLocker lock(&sharedLock());
    SpreadsheetWriter &spreadsheet = shared();
    spreadsheet.data = rows;
    content = spreadsheet.WriteODSData();
  }
  // Packed in memory straight into the target, "mimetype" first and stored, as the format
  // wants it, then the template's other entries in their order: the unpack folder stays
  // as it was.
  if (!packPackage(path, *entries, {{OdsContentPart, content}}, QStringLiteral("mimetype"), &reason))
    return fail(reason);
  return true;
}

QByteArray SpreadsheetWriter::WorksheetXML2004(const QList<QStringList> &rows) {
  QByteArray xml("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                 "<?mso-application progid=\"Excel.Sheet\"?>\n"
                 "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\""
                 " xmlns:o=\"urn:schemas-microsoft-com:office:office\""
                 " xmlns:x=\"urn:schemas-microsoft-com:office:excel\""
                 " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\""
                 " xmlns:html=\"http://www.w3.org/TR/REC-html40\">\n"
                 "  <Worksheet ss:Name=\"Notes\">\n");
  xml.append("    <Table ss:ExpandedColumnCount=\"" + QByteArray::number(widestRow(rows)) +
             "\" ss:ExpandedRowCount=\"" + QByteArray::number(rows.size()) + "\">\n");
  for (const QStringList &row : rows) {
    xml.append("      <Row>\n");
    for (const QString &value : row) {
      xml.append(isCanonicalNumber(value) ? "        <Cell><Data ss:Type=\"Number\">"
                                          : "        <Cell><Data ss:Type=\"String\">");
      appendEscaped(xml, value);
      xml.append("</Data></Cell>\n");
    }
    xml.append("      </Row>\n");
  }
  xml.append("    </Table>\n  </Worksheet>\n</Workbook>\n");
  return xml;
}

bool SpreadsheetWriter::WriteWorksheetXML2004(const QString &path, const QList<QStringList> &rows, QString *error) {
  if (QString why; !WholeFiles::write(path, WorksheetXML2004(rows), &why)) {
    const QString reason = writeFailure(path, why);
    Show_NSLog_Message(reason);
    if (error)
      *error = reason;
    return false;
  }
  return true;
}

bool SpreadsheetWriter::WriteWorkbookXML(const QString &path, const QString &sheetName, QString *error) {
  QByteArray xml("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                 "<workbook xml:space=\"preserve\""
                 " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\""
                 " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">\n"
                 "  <sheets>\n    <sheet name=\"");
  appendEscaped(xml, sheetName);
  xml.append("\"/>\n  </sheets>\n</workbook>\n");
  if (QString why; !WholeFiles::write(path, xml, &why)) {
    const QString reason = writeFailure(path, why);
    Show_NSLog_Message(reason);
    if (error)
      *error = reason;
    return false;
  }
  return true;
}
