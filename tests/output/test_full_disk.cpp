// Every writer of the program on a full disk: with room for nothing, for half of the new
// file and for all of it but its last byte (the bytes a writer leaves buffered until it
// closes), the write must report failure and leave the folder exactly as it was: the
// old file byte for byte, and no partial or temporary file beside it.

#include "tests/canvas/test_renderer_support.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/output/print_fixture.h"

#include "canvas/QLNRenderingView.h"
#include "core/Globals.h"
#include "core/QLNDocument.h"
#include "dataseries/model/SeriesStore.h"
#include "dataseries/model/SpreadsheetWriter.h"
#include "designs/Templates.h"
#include "designs/model/DesignLog.h"
#include "output/model/Preferences.h"
#include "platform/Images.h"
#include "platform/Paths.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QPrinter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <functional>
#include <optional>

namespace {

QByteArray bytesOf(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void put(const QString &path, const QByteArray &bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

// Every file under `folder` (hidden ones too) with its bytes.
QMap<QString, QByteArray> snapshot(const QString &folder) {
  QMap<QString, QByteArray> files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    files.insert(QDir(folder).relativeFilePath(path), bytesOf(path));
  }
  return files;
}

QByteArray noise(int size) {
  QByteArray bytes(size, Qt::Uninitialized);
  QRandomGenerator generator(7);
  for (char &c : bytes)
    c = char(generator.bounded(256));
  return bytes;
}

// Runs `write` (which writes `target`) once with room to spare, to learn the new file's
// size, then puts `old` back at `target` (or removes the file when there was none) and
// runs it again with less room than the new file needs. Each of those runs must fail
// and leave the whole folder as it was.
// `restore` puts the old files back after that first run.
void expectFullDiskLeavesFolder(const QString &target, const std::function<void()> &restore,
                                const std::function<bool()> &write) {
  ASSERT_TRUE(write()) << "with room to spare the file is written";
  const qint64 size = QFileInfo(target).size();
  ASSERT_GT(size, 16);
  restore();
  const QString folder = QFileInfo(target).absolutePath();
  const QMap<QString, QByteArray> before = snapshot(folder);
  for (const qint64 room : {qint64(0), size / 2, size - 1}) {
    SCOPED_TRACE(QStringLiteral("room for %1 of %2 bytes").arg(room).arg(size).toStdString());
    bool written = true;
    {
      FileSizeLimit limit{rlim_t(room)};
      ASSERT_TRUE(limit.isSet());
      written = write();
    }
    EXPECT_FALSE(written) << "a cut-off file is reported as a failure";
    const QMap<QString, QByteArray> after = snapshot(folder);
    EXPECT_EQ(after.keys(), before.keys()) << "no partial or temporary file is left";
    EXPECT_TRUE(after == before) << "every file keeps its bytes";
  }
}

void expectFullDiskLeavesFolder(const QString &target, const std::optional<QByteArray> &old,
                                const std::function<bool()> &write) {
  expectFullDiskLeavesFolder(
      target,
      [&] {
        if (old)
          put(target, *old);
        else
          ASSERT_TRUE(QFile::remove(target));
      },
      write);
}

}  // namespace

TEST(FullDisk, TheWritingHelperReportsTheSystemsReasonAndKeepsTheOldFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("kept.bin"));
  const QByteArray newBytes = noise(100000);
  QString reason;
  expectFullDiskLeavesFolder(path, QByteArrayLiteral("the old file"),
                             [&] { return WholeFiles::write(path, newBytes, &reason); });
  EXPECT_EQ(reason, QStringLiteral("File too large"));
  // What a writer hands the device is checked too, to its last buffered byte.
  expectFullDiskLeavesFolder(path, QByteArrayLiteral("the old file"), [&] {
    return WholeFiles::write(
        path,
        [&](QIODevice &device, QString *) {
          for (int at = 0; at < newBytes.size(); at += 1000)
            device.write(newBytes.mid(at, 1000));  // unchecked, as image and PDF writers do
          return true;
        },
        &reason);
  });
  EXPECT_EQ(reason, QStringLiteral("File too large"));
  EXPECT_EQ(WholeFiles::couldNotSave(path, reason),
            QStringLiteral("\"%1\" could not be saved: File too large").arg(path));
}

TEST(FullDisk, PicturesSettingsAndResourceCopiesAreWholeOrNotThere) {
  QTemporaryDir dir;
  // A card exported, attached to a mail or written by a batch.
  const QString png = dir.filePath(QStringLiteral("card.png"));
  QImage card(340, 240, QImage::Format_ARGB32);
  for (int y = 0; y < card.height(); ++y)
    for (int x = 0; x < card.width(); ++x)
      card.setPixel(x, y, qRgba(x * 7 % 256, y * 13 % 256, (x ^ y) % 256, 255));
  QString error;
  expectFullDiskLeavesFolder(png, bytesOf(QStringLiteral(AMENDS_SOURCE_DIR "/resources/Promotion_1.png")),
                             [&] { return writePng(png, card, 300, &error); });
  EXPECT_TRUE(error.contains(png) && error.contains(QStringLiteral("File too large"))) << error.toStdString();

  // The e-mail settings with the password: still private after a failed save.
  const QString settings = dir.filePath(QStringLiteral("settings/") + Preferences::FileName);
  ASSERT_TRUE(QDir().mkpath(QFileInfo(settings).path()));
  expectFullDiskLeavesFolder(settings, QByteArrayLiteral("<plist>the old settings</plist>"), [&] {
    Preferences prefs(settings);
    prefs.setsend_email_SenderEmail(QStringLiteral("someone@example.org"));
    prefs.setsend_email_Password(QString(600, QLatin1Char('p')));
    prefs.setsend_email_SMTP_server(QStringLiteral("smtp.example.org"));
    return prefs.flush(&error);
  });

  // The resource folder: a shipped file copied cut short is not left for the next start
  // to take as whole; that start copies it again.
  const QString shipped = dir.filePath(QStringLiteral("shipped"));
  const QString resources = dir.filePath(QStringLiteral("resources"));
  ASSERT_TRUE(QDir().mkpath(shipped) && QDir().mkpath(resources));
  const QByteArray help = noise(300000);
  put(shipped + QStringLiteral("/Help.pdf"), help);
  expectFullDiskLeavesFolder(resources + QStringLiteral("/Help.pdf"), std::nullopt,
                             [&] { return Paths::seedFolder(shipped, resources, &error); });
  ASSERT_TRUE(Paths::seedFolder(shipped, resources, &error)) << error.toStdString();
  EXPECT_EQ(bytesOf(resources + QStringLiteral("/Help.pdf")), help);
  // An older help file being brought up to date keeps its bytes when that fails.
  expectFullDiskLeavesFolder(resources + QStringLiteral("/Help.pdf"), QByteArrayLiteral("an older help file"),
                             [&] { return Paths::refreshProgramFiles(shipped, resources, &error); });
}

TEST(FullDisk, DesignsTemplatesSeriesAndWorkbooksKeepTheirOldFiles) {
  QTemporaryDir dir;
  DesignLogContents design;
  resetCardPropertyForNewProject(design.front, FontSpec(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0), Qt::black);
  resetCardPropertyForNewProject(design.back, FontSpec(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0), Qt::black);
  design.gridColumnTitles = {QStringLiteral("File Name")};
  const QString log = dir.filePath(QStringLiteral("designs/Sorry.dcard"));
  ASSERT_TRUE(QDir().mkpath(QFileInfo(log).path()));
  QString error;
  expectFullDiskLeavesFolder(log, noise(6446), [&] { return saveDesignLog(log, design, &error); });
  EXPECT_TRUE(error.contains(QStringLiteral("File too large"))) << error.toStdString();

  // A template is a pair: neither file changes unless both are written.
  const QString base = dir.filePath(QStringLiteral("templates/Mine"));
  ASSERT_TRUE(QDir().mkpath(QFileInfo(base).path()));
  const QByteArray designBytes = writeDesignLog(design);
  const QByteArray previewBytes = noise(40000);
  const auto oldPair = [&] {
    ASSERT_TRUE(Templates::writeTemplatePair(base, QByteArrayLiteral("old design"), QByteArrayLiteral("old preview")));
  };
  oldPair();
  expectFullDiskLeavesFolder(base + QStringLiteral(".png"), oldPair, [&] {
    return Templates::writeTemplatePair(base, designBytes, previewBytes, &error);
  });
  EXPECT_EQ(bytesOf(base + QLatin1Char('.') + design_file_EXT), QByteArrayLiteral("old design"));

  // A series file and a series exported as a workbook.
  QStringList values;
  for (int i = 0; i < 3000; ++i)
    values << QStringLiteral("Value number %1 of the series").arg(i);
  const QString seriesFolder = Data_Folder_Path;
  Data_Folder_Path = dir.filePath(QStringLiteral("series"));
  const QString series = SeriesStore::pathOf(QStringLiteral("Guests"));
  ASSERT_FALSE(series.isEmpty());
  ASSERT_TRUE(QDir().mkpath(QFileInfo(series).path()));
  expectFullDiskLeavesFolder(series, QByteArrayLiteral("Old guest\n"), [&] {
    return SeriesStore::write(QStringLiteral("Guests"), values, SeriesStore::EmptyValues::Skip,
                              SeriesStore::WriteMode::Replace, &error);
  });
  Data_Folder_Path = seriesFolder;
  const QString workbook = dir.filePath(QStringLiteral("export/Guests.xlsx"));
  ASSERT_TRUE(QDir().mkpath(QFileInfo(workbook).path()));
  expectFullDiskLeavesFolder(workbook, noise(5000), [&] { return writeSeriesWorkbook(workbook, values, &error); });
  EXPECT_EQ(error, QStringLiteral("Error when writing file %1: File too large").arg(workbook));
  // The same rows as an OpenDocument package and as an Office 2003 XML file.
  QList<QStringList> rows{{QStringLiteral("Batch Value")}};
  for (const QString &value : values)
    rows.append({value});
  const QString ods = dir.filePath(QStringLiteral("export/Guests.ods"));
  expectFullDiskLeavesFolder(ods, noise(5000), [&] { return SpreadsheetWriter::WriteODS(ods, rows, false, &error); });
  EXPECT_EQ(error, QStringLiteral("Error when writing file %1: File too large").arg(ods));
  const QString office2003 = dir.filePath(QStringLiteral("export/Guests.xml"));
  expectFullDiskLeavesFolder(office2003, noise(5000),
                             [&] { return SpreadsheetWriter::WriteWorksheetXML2004(office2003, rows, &error); });
  EXPECT_EQ(error, QStringLiteral("Error when writing file %1: File too large").arg(office2003));
  const QString part = dir.filePath(QStringLiteral("export/workbook.xml"));
  expectFullDiskLeavesFolder(part, noise(5000), [&] {
    return SpreadsheetWriter::WriteWorkbookXML(part, QStringLiteral("A sheet named at length ").repeated(20), &error);
  });
  EXPECT_EQ(error, QStringLiteral("Error when writing file %1: File too large").arg(part));
}

TEST(FullDisk, PrintedPdfFilesAreWholeOrNotWritten) {
  if (!rendertest::havePoppler()) GTEST_SKIP() << "poppler-utils are not installed";
  QTemporaryDir dir;
  // Sheets of cards from the print window.
  PrintLayout::Settings sheet;
  sheet.paper = QSizeF(600, 800);
  sheet.rows = 3;
  sheet.cols = 2;
  sheet.total = 30;
  sheet.labelWidth = 250;
  sheet.labelHeight = 200;
  Printing_View::Cards cards;
  cards.bound = true;
  cards.count = 30;
  cards.make = [](int card, bool back, QString *) {
    return printtest::plainCard(QSizeF(250, 200), back ? printtest::backColour(card) : printtest::frontColour(card));
  };
  const Printing_View view(sheet, cards);
  const QPageLayout paper(QPageSize(QSizeF(600, 800), QPageSize::Point, QString(), QPageSize::ExactMatch),
                          QPageLayout::Portrait, QMarginsF(), QPageLayout::Point);
  const QString sheets = dir.filePath(QStringLiteral("sheets/cards.pdf"));
  ASSERT_TRUE(QDir().mkpath(QFileInfo(sheets).path()));
  QString error;
  expectFullDiskLeavesFolder(sheets, noise(3000), [&] {
    error = view.printToPdf(sheets, paper, 1);
    return error.isEmpty();
  });
  EXPECT_TRUE(error.contains(QStringLiteral("File too large"))) << error.toStdString();

  // The document printed by the renderer into a PDF file.
  rendertest::RenderHost host;
  QLNDocument document;
  document.setRenderer(QLNRenderingView::documentRenderer());
  document.insertGraphics({rendertest::box(QRectF(20, 20, 80, 60), rendertest::kRed)}, {0});
  const QString printed = dir.filePath(QStringLiteral("printed/card.pdf"));
  ASSERT_TRUE(QDir().mkpath(QFileInfo(printed).path()));
  std::unique_ptr<QLNPrintOperation> operation = document.printOperationWithSettings(
      {{QStringLiteral("outputFileName"), printed}, {QStringLiteral("copies"), 3}}, &error);
  ASSERT_NE(operation, nullptr) << error.toStdString();
  QPrinter printer;
  expectFullDiskLeavesFolder(printed, noise(2000), [&] { return operation->runOperation(printer, &error); });
  EXPECT_TRUE(error.contains(QStringLiteral("File too large"))) << error.toStdString();
}

class FullDiskWindowTest : public MainWindowTest {};

TEST_F(FullDiskWindowTest, SavingADesignOnAFullDiskSaysSoAndKeepsTheFile) {
  QLNWindowController *controller = startSession();
  ASSERT_NE(controller, nullptr);
  const QString design = root.path() + QStringLiteral("/Kept.dcard");
  Project_File_Name = design;
  ASSERT_TRUE(controller->Save_project_file(false, false));
  const QByteArray saved = bytesOf(design);
  {
    FileSizeLimit limit{rlim_t(saved.size() - 1)};
    scripted.expectAlert();
    EXPECT_FALSE(controller->Save_project_file(false, true));
  }
  EXPECT_EQ(scripted.alertTexts().value(0).trimmed(), QStringLiteral("fail"));
  EXPECT_EQ(bytesOf(design), saved);
  EXPECT_EQ(Project_File_Name, design) << "the design still belongs to its file";
}
