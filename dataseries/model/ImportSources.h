#pragma once
// What the import wizard reads, without windows: the bytes of a text, CSV or RTF file
// turned into text, CSV records, the plain text of rich text, the values each kind of
// file gives, and the pictures of a folder.
//
//  - Text files are read as UTF-8 when they start with its byte-order mark (which is
//    dropped), else as UTF-8 when the bytes are valid UTF-8, else as Latin-1.
//  - CSV follows the common quoting rules: records end at CR LF, LF or CR outside
//    quotes; a field in double quotes may hold commas, line ends and doubled quotes. A
//    record without a comma is a record of one field.
//  - Rich text is read by its grammar: groups, control words and symbols, hex escapes in
//    the document's code page (Windows-1252 unless it names another single-byte page we
//    know), \u characters with their fallback skipped, and destinations that hold no
//    body text (font and colour tables, style sheets, pictures, document information,
//    field instructions, anything marked \*) skipped. Paragraph and line breaks end
//    lines. Depth and size are capped, so hostile input gives text or an error, never a
//    crash.
//
// Any thread: nothing here keeps state.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ImportSources {

// Files larger than this are refused as unreadable.
constexpr qint64 MaxFileBytes = 64LL * 1024 * 1024;
// Groups nested deeper than this make rich text unreadable.
constexpr int MaxRtfDepth = 512;

// The file's bytes (a regular file of at most MaxFileBytes); nullopt when it cannot be
// read.
std::optional<QByteArray> readFile(const QString &path);

// The text of a text file: UTF-8 with a byte-order mark, then UTF-8, then Latin-1.
QString decodeText(const QByteArray &bytes);

// The records of a CSV text, each a list of fields. A text ending in a line end has no
// empty record after it; blank lines are records of one empty field.
QList<QStringList> parseCsv(const QString &text);

// The plain text of a rich text document, lines ended by "\n"; nullopt when the bytes
// are no rich text ("{\rtf" first) or nest deeper than MaxRtfDepth.
std::optional<QString> rtfText(const QByteArray &bytes);

// `text` with every backslash, "{" and "}" removed, then trimmed with Trim_Str.
QString cleanedValue(const QString &text);

// The values of plain text: each line (ended by CR LF, LF or CR) cleaned with
// cleanedValue; empty ones left out.
QStringList textValues(const QString &text);
// The values of a CSV text: every field of every record, in order, cleaned; a field
// holding line ends gives one value per line; empty ones left out.
QStringList csvValues(const QString &text);

// The kind of file by its extension, without case: "CSV", "RTF" or anything else
// (plain text).
enum class FileKind { Text, Csv, Rtf };
FileKind kindOf(const QString &path);

// The values of a file's bytes of that kind; nullopt when the bytes cannot be read as
// that kind (rich text that is none).
std::optional<QStringList> fileValues(const QByteArray &bytes, FileKind kind);

// The picture extensions the image import takes (lower case).
const QStringList &pictureExtensions();
// The full paths of the pictures directly in `folder` (entries that exist, are no
// folder and have a picture extension, compared without case), in name order; nullopt
// when the folder cannot be listed.
std::optional<QStringList> pictureFiles(const QString &folder);

}  // namespace ImportSources
