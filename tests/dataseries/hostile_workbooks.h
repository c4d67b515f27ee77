#pragma once
// Workbooks made by the tests themselves with the program's zip writer: just the parts
// the reader looks at (a shared-string part and worksheet parts), with whatever content
// a hostile file might hold.

#include "dataseries/model/ZipArchive.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace hostile {

inline bool writeWorkbook(const QString &path, const QList<std::pair<QString, QByteArray>> &parts) {
  LumaZipArchive archive(path);
  if (!archive.open())
    return false;
  bool ok = true;
  for (const auto &[name, bytes] : parts)
    ok = archive.writeData(bytes, name) && ok;
  return archive.close() && ok;
}

inline QByteArray sharedStrings(const QByteArray &items) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + items + "</sst>";
}

inline QByteArray sheet(const QByteArray &rows) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" + rows +
         "</sheetData></worksheet>";
}

// `count` rows whose cell A shows shared string `index`.
inline QByteArray rowsShowing(int count, int index) {
  QByteArray rows;
  for (int i = 1; i <= count; ++i)
    rows += "<row r=\"" + QByteArray::number(i) + "\"><c r=\"A" + QByteArray::number(i) + "\" t=\"s\"><v>" +
            QByteArray::number(index) + "</v></c></row>";
  return rows;
}

}  // namespace hostile
