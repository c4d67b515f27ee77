// The help file the program ships: a PDF that a real reader (poppler's pdfinfo and
// pdftotext) opens, one page per chapter of the help text it is made from, and the rule
// that brings a new version's help file into a resource folder seeded by an older one.

#include "platform/Paths.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <unistd.h>

namespace {

const QString Source = QStringLiteral(AMENDS_SOURCE_DIR);

QByteArray readFile(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

// Runs a poppler tool; its standard output, or a failure of the test.
QString poppler(const QString &program, const QStringList &args) {
  QProcess process;
  process.start(program, args);
  EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The chapter titles (first-level headings) of the help text, in order.
QStringList chapters() {
  QTextDocument document;
  document.setHtml(QString::fromUtf8(readFile(Source + QStringLiteral("/docs/help/Help.html"))));
  QStringList titles;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() == 1)
      titles << block.text().simplified();
  }
  return titles;
}

}  // namespace

TEST(ShippedHelpFile, IsAPdfWithOnePagePerChapterOfTheHelpText) {
  const QString pdf = Source + QStringLiteral("/resources/Help.pdf");
  ASSERT_TRUE(QFileInfo(pdf).isFile());
  EXPECT_TRUE(readFile(pdf).startsWith("%PDF-"));
  const QStringList titles = chapters();
  ASSERT_GE(titles.size(), 5) << "the help text has its chapters";

  const QString info = poppler(QStringLiteral("pdfinfo"), {pdf});
  const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                                           QRegularExpression::MultilineOption)
                                            .match(info);
  ASSERT_TRUE(pages.hasMatch()) << info.toStdString();
  EXPECT_EQ(pages.captured(1).toInt(), titles.size()) << "regenerate it: see the README";
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("^Title:\\s+Amends Help$"),
                                               QRegularExpression::MultilineOption)));

  // Each page begins with its chapter: the file was made from this help text.
  for (int i = 0; i < titles.size(); ++i) {
    SCOPED_TRACE(titles[i].toStdString());
    const QString page = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(i + 1),
                                                             QStringLiteral("-l"), QString::number(i + 1), pdf,
                                                             QStringLiteral("-")});
    EXPECT_EQ(page.trimmed().section(QLatin1Char('\n'), 0, 0).simplified(), titles[i]);
    EXPECT_TRUE(page.contains(QStringLiteral("page %1 of %2").arg(i + 1).arg(titles.size())));
  }
}

// What the help says of export is what export does: every file holds a PNG picture
// whatever type name is chosen, and both sides in one picture stand the front above the
// back. The shipped file says the same as the help text.
TEST(ShippedHelpFile, SaysWhatExportWrites) {
  QTextDocument document;
  document.setHtml(QString::fromUtf8(readFile(Source + QStringLiteral("/docs/help/Help.html"))));
  const QString text = document.toPlainText().simplified();
  const QString shipped =
      poppler(QStringLiteral("pdftotext"), {Source + QStringLiteral("/resources/Help.pdf"), QStringLiteral("-")})
          .simplified();
  for (const QString &help : {text, shipped}) {
    EXPECT_FALSE(help.contains(QStringLiteral("side by side"), Qt::CaseInsensitive));
    EXPECT_TRUE(help.contains(QStringLiteral("the front above the back"))) << help.toStdString();
    EXPECT_TRUE(help.contains(QStringLiteral("Every file holds a PNG picture"))) << help.toStdString();
  }
}

TEST(ShippedHelpFile, ANewVersionsHelpFileReplacesTheCopyOfAnOlderOne) {
  QTemporaryDir shipped;
  QTemporaryDir home;
  QTemporaryDir outside;
  const QString folder = home.filePath(QStringLiteral("Resources"));
  ScopedEnvironment resources("AMENDS_RESOURCE_DIR", folder);
  ScopedEnvironment source("AMENDS_SHIPPED_RESOURCES", shipped.path());
  writeFile(shipped.filePath(QStringLiteral("Help.pdf")), "%PDF version 1");
  writeFile(shipped.filePath(QStringLiteral("Templates/Card.dcard")), "template 1");
  QString error;
  ASSERT_TRUE(Paths::prepareResourceFolder(&error)) << error.toStdString();
  ASSERT_EQ(readFile(folder + QStringLiteral("/Help.pdf")), "%PDF version 1");

  // The user changes a template; then version 2 of the program ships a longer help
  // file, and later version 3 one of the same length.
  writeFile(folder + QStringLiteral("/Templates/Card.dcard"), "the user's own");
  writeFile(shipped.filePath(QStringLiteral("Help.pdf")), "%PDF version 2, longer");
  writeFile(shipped.filePath(QStringLiteral("Templates/Card.dcard")), "template 2");
  ASSERT_TRUE(Paths::prepareResourceFolder(&error)) << error.toStdString();
  EXPECT_EQ(readFile(folder + QStringLiteral("/Help.pdf")), "%PDF version 2, longer");
  EXPECT_EQ(readFile(folder + QStringLiteral("/Templates/Card.dcard")), "the user's own") << "only the program's files";
  writeFile(shipped.filePath(QStringLiteral("Help.pdf")), "%PDF version 3, longer");
  ASSERT_TRUE(Paths::prepareResourceFolder(&error)) << error.toStdString();
  EXPECT_EQ(readFile(folder + QStringLiteral("/Help.pdf")), "%PDF version 3, longer");

  // The new barcode object's sample picture follows the designer of the version that runs.
  writeFile(shipped.filePath(QStringLiteral("barcode_sample.png")), "sample of version 3");
  writeFile(folder + QStringLiteral("/barcode_sample.png"), "sample of version 1");
  ASSERT_TRUE(Paths::prepareResourceFolder(&error)) << error.toStdString();
  EXPECT_EQ(readFile(folder + QStringLiteral("/barcode_sample.png")), "sample of version 3");

  // The same file is not written again.
  const QDateTime written = QFileInfo(folder + QStringLiteral("/Help.pdf")).lastModified();
  {
    QFile copy(folder + QStringLiteral("/Help.pdf"));
    ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
    ASSERT_TRUE(copy.setFileTime(written.addSecs(-3600), QFileDevice::FileModificationTime));
  }
  ASSERT_TRUE(Paths::prepareResourceFolder(&error)) << error.toStdString();
  EXPECT_EQ(QFileInfo(folder + QStringLiteral("/Help.pdf")).lastModified(), written.addSecs(-3600));

  // A link the user put in its place is left alone, and what it points to is not written.
  writeFile(outside.filePath(QStringLiteral("mine.pdf")), "the user's own help");
  QFile::remove(folder + QStringLiteral("/Help.pdf"));
  ASSERT_TRUE(QFile::link(outside.filePath(QStringLiteral("mine.pdf")), folder + QStringLiteral("/Help.pdf")));
  ASSERT_TRUE(Paths::prepareResourceFolder(&error)) << error.toStdString();
  EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/Help.pdf")).isSymLink());
  EXPECT_EQ(readFile(outside.filePath(QStringLiteral("mine.pdf"))), "the user's own help");
}

TEST(ShippedHelpFile, ACopyThatCannotBeReplacedIsReportedButTheStartGoesOn) {
  if (::geteuid() == 0)
    GTEST_SKIP() << "root may write anywhere";
  QTemporaryDir shipped;
  QTemporaryDir home;
  const QString folder = home.filePath(QStringLiteral("Resources"));
  writeFile(shipped.filePath(QStringLiteral("Help.pdf")), "%PDF new");
  writeFile(folder + QStringLiteral("/Help.pdf"), "%PDF old");
  ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
  QString error;
  EXPECT_FALSE(Paths::refreshProgramFiles(shipped.path(), folder, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("Help.pdf"))) << error.toStdString();
  EXPECT_EQ(readFile(folder + QStringLiteral("/Help.pdf")), "%PDF old") << "the old copy stays whole";
  QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
