#pragma once
// Readable Qt values in test failure messages. GoogleTest finds these through
// argument-dependent lookup; every test file must see them (TestSupport.h includes
// this header), since a test file that prints a QString without them would make the
// linker keep GoogleTest's byte-by-byte printer for all.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out) {
  *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *out) {
  *out << '[';
  for (qsizetype i = 0; i < list.size(); ++i)
    *out << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
  *out << ']';
}
inline void PrintTo(const QByteArray &bytes, std::ostream *out) {
  *out << "bytes \"" << bytes.toStdString() << '"';
}

