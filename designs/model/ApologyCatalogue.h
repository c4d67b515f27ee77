#pragma once
// The built-in apology titles and messages, ten lists of each, one pair per event of
// the start window ("1" apology to her ... "10" apology to a friend), and the reader of
// the start window's own lists "Title.txt" and "Message.txt".
//
// The catalogue's texts live in one UTF-8 file a translator can read and edit,
// "Catalogue/Apologies.txt" of the shipped resources (see the file for its format). The
// program reads it from the shipped resource folder (Paths::shippedResourcesFolder), so
// that a newer program's texts reach users whose resource folder was seeded by an older
// one; when that copy cannot be read, the copy in the resource folder is used.
// Main thread only (Event_Type); the readers themselves keep no state.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The event chosen in the start window, "1" to "10"; selects the catalogue's lists in
// the start window and the message chooser. "1" at program start.
extern QString Event_Type;

class ApologyCatalogue {
public:
  static constexpr int EventCount = 10;
  // Texts longer than these are cut to them (the start window's field limits).
  static constexpr int TitleLimit = 100;
  static constexpr int MessageLimit = 250;
  // A catalogue file larger than this is not read.
  static constexpr qint64 MaxFileBytes = 1 << 20;
  // Where the catalogue file lies below a resource folder.
  static QString relativePath();  // "Catalogue/Apologies.txt"

  // Reads the catalogue format: "[N] name" starts event N's lists (1 to 10), then
  // "title: text" and "message: text" lines in order; "#" comments and empty lines are
  // skipped. Each entry is trimmed; an empty one is skipped, an over-long one cut.
  // Lines that fit none of these, entries outside an event 1 to 10, are skipped and
  // described in `problems`.
  static ApologyCatalogue parse(const QByteArray &utf8, QStringList *problems = nullptr);
  // Reads and parses the file at `path`; nothing (with the reason in `error`) when it is
  // missing, not a regular file, unreadable or larger than MaxFileBytes.
  static std::optional<ApologyCatalogue> load(const QString &path, QString *error = nullptr);
  // The program's catalogue: the shipped copy, else the resource folder's; an empty
  // catalogue (and a log line) when neither can be read.
  static ApologyCatalogue builtIn();

  // The lists of the event code "1" to "10"; empty for any other code.
  QStringList titles(const QString &eventCode) const;
  QStringList messages(const QString &eventCode) const;
  bool isEmpty() const;

private:
  struct Lists {
    QStringList titles;
    QStringList messages;
  };
  static int indexOfEvent(const QString &eventCode);
  std::array<Lists, EventCount> m_events;
};

// The first `limit` UTF-16 units of `text`, one fewer when the cut would split a
// surrogate pair (a character outside the basic plane is never halved).
QString cutToLimit(const QString &text, int limit);

// The start window's optional lists "Title.txt" and "Message.txt" of the resource
// folder: UTF-8 text, trimmed as a whole (Trim_Str), split at every "\n" into entries
// in file order (a "\r" ending an entry is dropped, so files saved with CR LF line ends
// read the same). An entry longer than `lengthLimit` is cut to it, as the field that
// shows it would cut it. A missing file, one that is not a regular file, cannot be read
// or is larger than ApologyCatalogue::MaxFileBytes gives no list (nullopt); an empty
// file gives the one empty entry.
std::optional<QStringList> readApologyListFile(const QString &path, int lengthLimit, QString *error = nullptr);
