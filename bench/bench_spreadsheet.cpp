// Reads the first sheet of a 100,000-row, 3-column workbook the way the import windows
// do (open the workbook, read the column names, read every row) and prints the wall time
// of each step and the cells read.
//
//     amends_bench_spreadsheet [workbook.xlsx]
//
// Without an existing workbook it makes one first (default /tmp/amends_bench_100k.xlsx):
// a CSV of 100,000 rows (a name, a whole number, a decimal) converted to xlsx by
// LibreOffice (headless, with a profile folder of its own), so the file is a real
// spreadsheet program's workbook. Compare with openpyxl's read-only mode on the same file
// (see README.md) and measure peak memory with /usr/bin/time -v.

#include "core/Globals.h"
#include "dataseries/model/SpreadsheetWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <chrono>
#include <cstdio>

namespace {

bool makeWorkbook(const QString &path) {
  QTemporaryDir temp;
  const QString csv = temp.filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".csv"));
  QFile file(csv);
  if (!file.open(QIODevice::WriteOnly))
    return false;
  QByteArray text = "Name,Count,Amount\n";
  for (int i = 1; i <= 100000; ++i)
    text += "Person " + QByteArray::number(i) + "," + QByteArray::number(i * 7) + "," +
            QByteArray::number(i * 0.25, 'f', 2) + "\n";
  file.write(text);
  file.close();
  QProcess office;
  office.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  office.start(QStringLiteral("libreoffice"),
               {QStringLiteral("--headless"),
                QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(temp.filePath(QStringLiteral("profile"))).toString(),
                QStringLiteral("--infilter=CSV:44,34,76,1"), QStringLiteral("--convert-to"), QStringLiteral("xlsx"),
                QStringLiteral("--outdir"), QFileInfo(path).absolutePath(), csv});
  return office.waitForFinished(300000) && office.exitCode() == 0 && QFileInfo::exists(path);
}

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/amends_bench_100k.xlsx");
  if (!QFileInfo::exists(path)) {
    std::printf("making %s with LibreOffice...\n", qPrintable(path));
    if (!makeWorkbook(path)) {
      std::fprintf(stderr, "the workbook could not be made (is libreoffice-calc-nogui installed?)\n");
      return 1;
    }
  }
  using Clock = std::chrono::steady_clock;
  auto ms = [](Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
  };
  const auto start = Clock::now();
  QString error;
  if (!SpreadsheetWriter::ReadWorkbook(path, true, &error)) {
    std::fprintf(stderr, "open: %s\n", qPrintable(error));
    return 1;
  }
  const auto opened = Clock::now();
  Excel_Sheet_Number = 1;
  const auto names = SpreadsheetWriter::ReadData_only_column(&error);
  const auto named = Clock::now();
  const auto rows = SpreadsheetWriter::ReadWorkbook(path, false, &error);
  const auto read = Clock::now();
  if (!names || !rows) {
    std::fprintf(stderr, "read: %s\n", qPrintable(error));
    return 1;
  }
  qsizetype cells = 0;
  for (const QStringList &row : *rows)
    cells += row.size();
  std::printf("rows %lld, columns %d, cells %lld\n", static_cast<long long>(rows->size()), Excel_Sheet_Columns.load(),
              static_cast<long long>(cells));
  std::printf("open (unpack, shared strings) %.1f ms, column names %.1f ms, all rows %.1f ms, total %.1f ms\n",
              ms(start, opened), ms(opened, named), ms(named, read), ms(start, read));
  return 0;
}
