#pragma once
// The Batch Processing Series store: the named lists of values in the data folder
// (Data_Folder_Path), one UTF-8 text file "<name>.txt" per series, each value followed by
// one line feed, no header, no quoting.
//
// Every series file the program writes goes through write() below: the new contents are
// written to a temporary file beside the target and renamed over it only when whole, so
// a failed write leaves the old series as it was, and a series that changes its name is
// removed only after the new file is in place.
//
// Names come from what the user types: cleanedName() strips the reserved characters and
// blanks from both ends, and a name that is still no plain file name (empty, ".", "..",
// or holding "/", "\" or NUL) is refused with "Error in file accessing.": no series name
// reaches outside the data folder. A typed name is cleaned once; the name of a series
// that is listed (the file name without ".txt") is used as it stands, never cleaned
// again, so that it always names that same file.
//
// The readers take the file's bytes; each applies its own rule (see the functions).
// Bytes that are not valid UTF-8 read as no values.
//
// Main thread or any thread: nothing here keeps state.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace SeriesStore {

// "Error in file accessing."
extern const QString FileAccessError;
// Series files are read whole; a larger file is refused as unreadable.
constexpr qint64 MaxFileBytes = 256LL * 1024 * 1024;

// The name a writer stores the typed name under (cleanedFileName, which a second
// cleaning leaves unchanged); "" when that is no plain file name.
QString cleanedName(const QString &typed);
// Data_Folder_Path/<name>.txt; "" for a name that is no plain file name or while the
// data folder is not set.
QString pathOf(const QString &name);
// Whether the series file of `name` is a regular file.
bool exists(const QString &name);

// The file's bytes: only a regular file, at most MaxFileBytes. nullopt, with the reason
// in `error`, when it is missing or cannot be read.
std::optional<QByteArray> readFile(const QString &path, QString *error = nullptr);
// The bytes as text, or nullopt when they are not valid UTF-8.
std::optional<QString> decode(const QByteArray &bytes);

// The value editor's and the viewer's rule: the rows of the binding (below), each
// trimmed, the empty ones kept, so that they show the rows the cards take and a series
// saved again keeps every value on its row. A file without any line (empty) and invalid
// UTF-8 give no rows.
QStringList editorValues(const QByteArray &bytes);
// The binding's rule: one row per line, split at "\n" (the line feed ending the last
// line makes no row); pieces stay untrimmed and every empty line is a row, at the start
// and the end too, so each value stays on its own row. An empty file is one empty row.
// nullopt for invalid UTF-8 (the series then gives no rows).
std::optional<QStringList> bindingRows(const QByteArray &bytes);
// The first-value rule: the first piece before "\n", untrimmed, even when empty; "" for
// invalid UTF-8.
QString firstValue(const QByteArray &bytes);

// How write() treats values that are empty once trimmed.
enum class EmptyValues { Skip, KeepAsEmptyLines };
enum class WriteMode { Replace, Append };

// The bytes of a series file for `values`: each trimmed with Trim_Str, each line break
// inside it ("\r\n" or "\n") made a space, then followed by "\n", as UTF-8; values
// empty once trimmed left out or kept as empty lines.
QByteArray encode(const QStringList &values, EmptyValues empties);

// Writes `values` (each made one line as encode() does, then followed by "\n") as the series
// `name` (already cleaned), replacing the file whole or appending to what it holds. On
// failure nothing on disk changes and `error` says "Error in file accessing.".
bool write(const QString &name, const QStringList &values, EmptyValues empties, WriteMode mode,
           QString *error = nullptr);

// Saving under a possibly new name: writes the series `name` first (replacing it), then,
// only when that worked, `name` did not exist before and `formerName` is another
// existing series, removes the former file: the series changed its name. The former
// file stays when the series was saved over another existing one or writing failed.
bool writeRenaming(const QString &name, const QString &formerName, const QStringList &values, EmptyValues empties,
                   QString *error = nullptr);

}  // namespace SeriesStore
