#include "mainwindow/DateFormats.h"

#include <QLocale>

namespace DateFormats {

const QStringList &datePatterns() {
  static const QStringList patterns{
      QStringLiteral("M-d-yyyy"),   QStringLiteral("M-d-yy"),     QStringLiteral("MM-dd-yy"),
      QStringLiteral("MM-dd-yyyy"), QStringLiteral("yy-MM-dd"),   QStringLiteral("yyyy-MM-dd"),
      QStringLiteral("dd-MMM-yy"),  QStringLiteral("dd-MM-yyyy"), QStringLiteral("d-M-yy")};
  return patterns;
}

const QStringList &timePatterns() {
  static const QStringList patterns{QStringLiteral("h:mm:ss a"), QStringLiteral("hh:mm:ss a"),
                                    QStringLiteral("H:mm:ss"), QStringLiteral("HH:mm:ss")};
  return patterns;
}

namespace {

QString padded(long long value, int width) {
  const bool negative = value < 0;
  QString digits = QString::number(negative ? -value : value);
  if (digits.size() < width)
    digits.prepend(QString(width - digits.size(), QLatin1Char('0')));
  return negative ? QLatin1Char('-') + digits : digits;
}

QString field(QChar letter, int count, const QDateTime &when, const QLocale &english) {
  const QDate date = when.date();
  const QTime time = when.time();
  switch (letter.unicode()) {
  case 'y': {
    const int year = date.year();
    if (count == 2)
      return padded(((year % 100) + 100) % 100, 2);
    return padded(year, count);
  }
  case 'M':
  case 'L':
    if (count <= 2)
      return padded(date.month(), count);
    if (count == 3)
      return english.monthName(date.month(), QLocale::ShortFormat);
    if (count == 4)
      return english.monthName(date.month(), QLocale::LongFormat);
    return english.monthName(date.month(), QLocale::NarrowFormat);
  case 'd':
    return padded(date.day(), count);
  case 'E':
    if (count <= 3)
      return english.dayName(date.dayOfWeek(), QLocale::ShortFormat);
    if (count == 4)
      return english.dayName(date.dayOfWeek(), QLocale::LongFormat);
    return english.dayName(date.dayOfWeek(), QLocale::NarrowFormat);
  case 'a':
    return time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
  case 'h': {
    const int hour = time.hour() % 12;
    return padded(hour == 0 ? 12 : hour, count);
  }
  case 'H':
    return padded(time.hour(), count);
  case 'K':
    return padded(time.hour() % 12, count);
  case 'k':
    return padded(time.hour() == 0 ? 24 : time.hour(), count);
  case 'm':
    return padded(time.minute(), count);
  case 's':
    return padded(time.second(), count);
  case 'S': {
    // Milliseconds as a fraction, cut (not rounded) to the run's number of digits.
    QString digits = padded(time.msec(), 3);
    if (count <= 3)
      return digits.left(count);
    return digits + QString(count - 3, QLatin1Char('0'));
  }
  default:
    return QString();
  }
}

bool isPatternLetter(QChar c) {
  return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

}  // namespace

QString format(const QString &pattern, const QDateTime &when) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  QString out;
  qsizetype i = 0;
  const qsizetype n = pattern.size();
  while (i < n) {
    const QChar c = pattern.at(i);
    if (c == QLatin1Char('\'')) {
      if (i + 1 < n && pattern.at(i + 1) == QLatin1Char('\'')) {
        out += QLatin1Char('\'');
        i += 2;
        continue;
      }
      // Quoted text up to the closing quote; "''" inside is one quote.
      ++i;
      while (i < n) {
        if (pattern.at(i) == QLatin1Char('\'')) {
          if (i + 1 < n && pattern.at(i + 1) == QLatin1Char('\'')) {
            out += QLatin1Char('\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        out += pattern.at(i++);
      }
      continue;
    }
    if (isPatternLetter(c)) {
      qsizetype run = 1;
      while (i + run < n && pattern.at(i + run) == c)
        ++run;
      out += field(c, int(run), when, english);
      i += run;
      continue;
    }
    out += c;
    ++i;
  }
  return out;
}

}  // namespace DateFormats
