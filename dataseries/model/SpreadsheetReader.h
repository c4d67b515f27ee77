#pragma once
// Reading the parts of an xlsx workbook: the shared-string table, a worksheet's rows and
// the sheet names. These functions take a part's bytes and keep no state, so any thread
// may call them; SpreadsheetWriter (SpreadsheetWriter.h) runs them over an unpacked
// workbook.
//
// Elements are matched by their local names, so a part that writes its namespace with a
// prefix (<x:row>) reads like one that declares it as the default.
//
// Every cell becomes a string: a shared string (t="s") its table entry, an inline string
// its text (runs joined), any other cell (number, boolean, error, formula) the text of
// its value element as written; a formula gives its cached value, never its formula.
// A row is a list of exactly `columns` strings, "" where a column has no value; the
// column count is the larger of the sheet's dimension and the cells present.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The column letters of a cell reference: its characters before the first digit 1 to
// 9 ("B12" gives "B"); a reference without such a digit whole; "" for "".
QString Get_Column_Char_Str(const QString &reference);
// The column number of letters in the A1 style, full base 26 (A, Z, AA, ZZ, AAA ...):
// base 64 counts from 1 (A 1, ZZ 702, XFD 16384), base 65 from 0. Lower-case letters
// count as upper-case. nullopt for "", for any character that is not a letter, or for
// more than 7 letters.
std::optional<int> Get_Col_index(const QString &letters, int base);
// The code of the text's first character, low 8 bits; -1 for "".
int Asc_Val(const QString &text);

namespace SpreadsheetReading {

// The widest sheet the reader takes (column XFD).
constexpr int MaxColumns = 16384;
// The most cells (rows times columns) one read builds; a larger sheet is refused.
constexpr qint64 DefaultMaxCells = 16'000'000;

// How much text a workbook may give. A cell holds at most what a spreadsheet cell may
// (32,767 characters); the shared-string table and the cells of one sheet read are
// capped in count and in characters, so that a small package cannot make the import
// hold gigabytes. A part past a cap is refused with a message naming it. The sheet's
// characters are those of every cell kept, a shared string counted once for each cell
// that shows it: what the rows hand on to the import, which may copy them.
struct TextLimits {
  qsizetype maxCellCharacters = 32767;
  qsizetype maxSharedStrings = 1'000'000;
  qint64 maxTextCharacters = 64LL * 1024 * 1024;
};
// Parts are read a piece at a time (a few rows or strings per document tree); a part
// whose markup the piece scan does not follow is parsed whole, but only up to this
// size, and so is what surrounds the rows of a sheet.
constexpr qsizetype MaxWholePartBytes = 8 * 1024 * 1024;

// The column count a dimension reference gives ("A1:D20" 4, "B2:E5" 5, "C3" 3, "$A$1:$C$9"
// 3); 0 when it names no column.
int dimensionColumns(const QString &ref);

constexpr qsizetype DefaultPieceBytes = 1 << 20;

// The shared-string table: one entry per item (si), its text, or its runs' texts
// joined (phonetic runs left out). nullopt with the reason when the part is not XML or
// passes `limits` (an entry too long, too many entries, too many characters in all).
std::optional<QStringList> readSharedStrings(const QByteArray &xml, QString *error = nullptr,
                                             const TextLimits &limits = TextLimits(),
                                             qsizetype pieceBytes = DefaultPieceBytes);

struct Sheet {
  QList<QStringList> rows;
  int columns = 0;
};

// The rows of a worksheet part in document order (rows the file leaves out give
// nothing), each `columns` wide: the larger of `minColumns`, the dimension and the
// cells that hold a value. A row the file writes without any value (its cells empty,
// kept for their formatting) is an empty row between rows with values, and no row at
// all after the last of them: the table ends with its last value, as the OpenDocument
// and Office 2003 tables below do. With `headerOnly`, only the first row, its empty
// columns named "Untitled Column %d" (1-based); a sheet without any value gives no
// rows. nullopt with the reason when the part is not XML, has no worksheet, names a
// cell beyond column XFD, holds more than `maxCells` cells or passes `limits` (a cell
// too long, too many characters in the cells kept).
// A large part is parsed a piece of about `pieceBytes` of rows at a time (0: the whole
// part at once); the result is the same either way.
std::optional<Sheet> readSheet(const QByteArray &xml, const QStringList &sharedStrings, int minColumns,
                               bool headerOnly, QString *error = nullptr, qint64 maxCells = DefaultMaxCells,
                               qsizetype pieceBytes = DefaultPieceBytes, const TextLimits &limits = TextLimits());

// The first table of an OpenDocument spreadsheet's content part ("content.xml"), and
// the first table of the first worksheet of an Office 2003 XML spreadsheet file, as the
// xlsx reader gives a sheet: cells in their columns (an OpenDocument cell repeated n
// times gives n cells, an Office 2003 cell may name its column), every row a row, the
// empty ones between rows with values included (an OpenDocument empty row repeated n
// times gives n rows, an Office 2003 row may name its number after rows left out), but
// no empty rows after the last value (an OpenDocument table ends with the rest of its
// rows as one repeated empty row), every row as wide as the last column holding a value.
// A row with values that the OpenDocument file repeats is read once; rows of row groups
// and header rows are read in their places, however deeply the groups nest. OpenDocument
// text is read as a spreadsheet shows it: paragraphs one line each, collapsed white
// space, the space, tab and line-break elements; comments left out. The same caps as
// readSheet; nullopt with the reason when the part is not XML or not of that kind.
std::optional<Sheet> readOdsContent(const QByteArray &xml, QString *error = nullptr,
                                    qint64 maxCells = DefaultMaxCells, qsizetype pieceBytes = DefaultPieceBytes,
                                    const TextLimits &limits = TextLimits());
std::optional<Sheet> readWorksheetXml2004(const QByteArray &xml, QString *error = nullptr,
                                          qint64 maxCells = DefaultMaxCells, qsizetype pieceBytes = DefaultPieceBytes,
                                          const TextLimits &limits = TextLimits());

// The names of the sheets of a workbook part, in document order; empty when it is not XML.
QStringList readSheetNames(const QByteArray &xml);

}  // namespace SpreadsheetReading
