// What the property panel needs of the batch binding: the first value of a series or of
// a spreadsheet column, shown on the object bound to it, and the spreadsheet's column
// titles for the column list.

#include "mainwindow/QLNWindowController.h"

#include "core/Globals.h"
#include "core/Utilities.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>

#include <exception>

QString QLNWindowController::Get_First_Value_Of_Dataset(const QString &name) {
  try {
    const QString path = joinPath(Data_Folder_Path, name + QStringLiteral(".") + batch_file_EXT);
    // Only a regular file is read (a named pipe would wait for a writer for ever), and
    // only as far as its first line.
    if (!isSafeFileName(name) || !QFileInfo(path).isFile())
      return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
      return QString();
    QByteArray first = file.readLine(1 << 20);
    if (first.endsWith('\n'))
      first.chop(1);
    return QString::fromUtf8(first);
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
  return QString();
}

QString QLNWindowController::Get_First_Value_Of_Excel_Binding(qint32 column) {
  if (Excel_Grid.rows.isEmpty() || column < 0)
    return QString();
  const QString key = column == 0 ? QStringLiteral("Extension") : QStringLiteral("Column%1").arg(column);
  for (const auto &[identifier, value] : Excel_Grid.rows.first())
    if (identifier == key)
      return value;
  return QString();
}

void QLNWindowController::Fill_Excel_Col_Name_In_Combo(QComboBox *combo) {
  if (!combo)
    return;
  combo->setCurrentIndex(-1);
  combo->clear();
  combo->addItems(Excel_Grid.columnTitles());
  combo->setCurrentIndex(-1);
}
