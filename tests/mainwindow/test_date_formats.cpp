// Dates and times in the patterns of the text tab: the pattern letters of the date
// format patterns (not Qt's), English names, whatever the user's locale.

#include "mainwindow/DateFormats.h"
#include "mainwindow/QLNWindowController.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace {

const QDateTime Afternoon(QDate(2026, 3, 5), QTime(14, 7, 9, 45));

}  // namespace

TEST(DateFormats, TheThirteenPatternsOfTheTextTab) {
  const std::pair<const char *, const char *> expected[] = {
      {"M-d-yyyy", "3-5-2026"},     {"M-d-yy", "3-5-26"},         {"MM-dd-yy", "03-05-26"},
      {"MM-dd-yyyy", "03-05-2026"}, {"yy-MM-dd", "26-03-05"},     {"yyyy-MM-dd", "2026-03-05"},
      {"dd-MMM-yy", "05-Mar-26"},   {"dd-MM-yyyy", "05-03-2026"}, {"d-M-yy", "5-3-26"},
      {"h:mm:ss a", "2:07:09 PM"},  {"hh:mm:ss a", "02:07:09 PM"}, {"H:mm:ss", "14:07:09"},
      {"HH:mm:ss", "14:07:09"}};
  QStringList patterns = DateFormats::datePatterns() + DateFormats::timePatterns();
  ASSERT_EQ(patterns.size(), 13);
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(patterns.at(i), QLatin1String(expected[i].first));
    EXPECT_EQ(QLNWindowController::Get_date_Value(patterns.at(i), Afternoon), QLatin1String(expected[i].second))
        << expected[i].first;
  }
  // The time operation is the same as the date operation.
  EXPECT_EQ(QLNWindowController::Get_time_Value(QStringLiteral("dd-MMM-yy"), Afternoon), QStringLiteral("05-Mar-26"));
}

TEST(DateFormats, HoursAroundMidnightAndNoon) {
  const QDateTime midnight(QDate(2026, 12, 31), QTime(0, 5, 0));
  EXPECT_EQ(DateFormats::format(QStringLiteral("h:mm:ss a"), midnight), QStringLiteral("12:05:00 AM"));
  EXPECT_EQ(DateFormats::format(QStringLiteral("H:mm:ss"), midnight), QStringLiteral("0:05:00"));
  EXPECT_EQ(DateFormats::format(QStringLiteral("k K"), midnight), QStringLiteral("24 0"));
  const QDateTime noon(QDate(2026, 12, 31), QTime(12, 0, 0));
  EXPECT_EQ(DateFormats::format(QStringLiteral("hh a"), noon), QStringLiteral("12 PM"));
  // "h" is a 12-hour clock even without "a" (Qt's own "h" would give 14).
  EXPECT_EQ(DateFormats::format(QStringLiteral("h"), Afternoon), QStringLiteral("2"));
}

TEST(DateFormats, NamesQuotesAndOtherLetters) {
  EXPECT_EQ(DateFormats::format(QStringLiteral("EEEE, MMMM d, yyyy"), Afternoon),
            QStringLiteral("Thursday, March 5, 2026"));
  EXPECT_EQ(DateFormats::format(QStringLiteral("EEE d MMM"), Afternoon), QStringLiteral("Thu 5 Mar"));
  EXPECT_EQ(DateFormats::format(QStringLiteral("'Day' d 'o''clock' ''"), Afternoon), QStringLiteral("Day 5 o'clock '"));
  EXPECT_EQ(DateFormats::format(QStringLiteral("ss.SSS"), Afternoon), QStringLiteral("09.045"));
  // Letters that are no field are left out; other characters are copied.
  EXPECT_EQ(DateFormats::format(QStringLiteral("yyyy/MM/dd Q"), Afternoon), QStringLiteral("2026/03/05 "));
  // An unterminated quote runs to the end.
  EXPECT_EQ(DateFormats::format(QStringLiteral("d 'at"), Afternoon), QStringLiteral("5 at"));
}

TEST(DateFormats, TheUsersLocaleDoesNotChangeTheText) {
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(DateFormats::format(QStringLiteral("dd-MMM-yy h:mm a"), QDateTime(QDate(2026, 5, 1), QTime(9, 30))),
            QStringLiteral("01-May-26 9:30 AM"));
  QLocale::setDefault(previous);
}
