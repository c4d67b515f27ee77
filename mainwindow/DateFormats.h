#pragma once
// Dates and times written with the date-format patterns of the text tab: the pattern
// letters of the Unicode date format patterns that the design files and the date and
// time combo boxes use ("M-d-yyyy", "dd-MMM-yy", "h:mm:ss a", "HH:mm:ss" ...), not Qt's
// own format letters. Names of months and days and the AM/PM marks are English, so the
// text on a card does not depend on the user's locale.
//
// Letters understood (a run of the same letter is one field):
//   y      year: "yy" the last two digits, otherwise the whole year padded to the run
//   M, L   month: 1-2 letters the number (padded to the run), 3 "Mar", 4 "March", 5 "M"
//   d      day of the month, padded to the run
//   E      weekday: 1-3 letters "Thu", 4 "Thursday", 5 "T"
//   a      "AM" or "PM"
//   h      hour 1-12, H hour 0-23, K hour 0-11, k hour 1-24, padded to the run
//   m, s   minute, second, padded to the run
//   S      fraction of the second, as many digits as the run
// Text between single quotes is copied as it is ("''" is one quote); other characters
// that are not letters are copied; any other letter is left out.

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace DateFormats {

// The nine date patterns and four time patterns of the text tab's combo boxes, in order.
const QStringList &datePatterns();
const QStringList &timePatterns();

// `when` written with `pattern`.
QString format(const QString &pattern, const QDateTime &when);

}  // namespace DateFormats
