// The document's PDF and TIFF data and its print command, drawn by the renderer, checked
// with the PDF peers of poppler-utils.

#include "canvas/QLNRenderingView.h"

#include "core/QLNDocument.h"
#include "core/QLNError.h"
#include "tests/canvas/test_renderer_support.h"
#include "tests/common/PixelHelpers.h"
#include "tests/common/TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPrinter>
#include <QRegularExpression>

using namespace rendertest;
using pixeltest::at;
using pixeltest::near;

namespace {

class DocumentRenderingTest : public ::testing::Test {
protected:
  void SetUp() override {
    Card_Front_Or_Back = 0;
    document.setRenderer(QLNRenderingView::documentRenderer());
    document.insertGraphics({box(QRectF(20, 20, 80, 60), kRed), box(QRectF(140, 40, 80, 60), kBlue, 1)}, {0, 1});
    document.setList(QLNDocumentGraphicsKey_back, {box(QRectF(0, 0, 243, 154), kGreen)});
  }

  RenderHost host;
  QLNDocument document;
  QTemporaryDir folder;
};

}  // namespace

TEST_F(DocumentRenderingTest, PdfAndTiffDataShowTheFrontSide) {
  if (!havePoppler()) GTEST_SKIP() << "pdfinfo and pdftoppm (poppler-utils) are not installed";
  QLNError error;
  // The PDF type by its name and by an alias of it.
  for (const QString &type : {QStringLiteral("application/pdf"), QStringLiteral("application/x-pdf")}) {
    SCOPED_TRACE(type.toStdString());
    const QByteArray pdf = document.dataOfType(type, &error);
    ASSERT_FALSE(pdf.isEmpty()) << error.localizedFailureReason.toStdString();
    const QString info = pdfInfo(pdf, folder);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+243 x 154 pts"))));
    const QImage page = pdfPageOf(pdf, 72, folder);
    EXPECT_TRUE(near(at(page, 60, 50), kRed, 6));
    EXPECT_TRUE(near(at(page, 180, 70), kFrontBase, 6));
    EXPECT_FALSE(near(at(page, 200, 140), kGreen, 40)) << "the back side is never document data";
  }

  const QByteArray tiff = document.dataOfType(QStringLiteral("image/tiff"), &error);
  ASSERT_FALSE(tiff.isEmpty());
  QBuffer buffer;
  buffer.setData(tiff);
  buffer.open(QIODevice::ReadOnly);
  const QImage image = QImageReader(&buffer, "tiff").read();
  EXPECT_EQ(image.size(), QSize(207, 87));  // (17, 17) to (224, 104)
  EXPECT_TRUE(near(at(image, 60 - 17, 50 - 17), kRed, 2));
  EXPECT_TRUE(near(at(image, 180 - 17, 70 - 17), kBlue, 2)) << "TIFF holds every object";
}

TEST_F(DocumentRenderingTest, PrintingPutsTheCardOnAPageOfThePageSetup) {
  if (!havePoppler()) GTEST_SKIP() << "pdfinfo and pdftoppm (poppler-utils) are not installed";
  QLNPrintInfo info;  // US Letter, margins 72 left and 90 top
  document.setPrintInfo(info);
  const QString path = folder.filePath(QStringLiteral("printed.pdf"));
  QString error;
  std::unique_ptr<QLNPrintOperation> operation = document.printOperationWithSettings(
      {{QStringLiteral("outputFileName"), path}, {QStringLiteral("copies"), 2}}, &error);
  ASSERT_NE(operation, nullptr) << error.toStdString();
  EXPECT_EQ(operation->jobTitle(), QStringLiteral("Amends"));
  EXPECT_TRUE(operation->canSpawnSeparateThread);
  EXPECT_EQ(operation->printInfo, info);

  // Later edits of the document do not reach an operation already made.
  document.graphics().first()->_fillColor = kGreen;

  QPrinter printer;
  ASSERT_TRUE(operation->runOperation(printer, &error)) << error.toStdString();
  const QString pdfInfoText = QString::fromUtf8(run(QStringLiteral("pdfinfo"), {path}));
  EXPECT_TRUE(pdfInfoText.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n")))) << pdfInfoText.toStdString();
  EXPECT_TRUE(pdfInfoText.contains(QRegularExpression(QStringLiteral("Page size:\\s+612 x 792 pts"))));
  EXPECT_TRUE(pdfInfoText.contains(QRegularExpression(QStringLiteral("Title:\\s+Amends"))));
  const QImage page = pdfPage(path, 72, folder);
  ASSERT_EQ(page.size(), QSize(612, 792));
  EXPECT_TRUE(near(at(page, 72 + 60, 90 + 50), kRed, 6)) << "the card at the top left of the printable area";
  EXPECT_TRUE(near(at(page, 72 + 180, 90 + 70), kFrontBase, 6));
  EXPECT_TRUE(pixeltest::isWhite(at(page, 30, 30)));

  // Settings that cannot be used fail and leave the file as it was.
  const QByteArray before = [&] {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  operation->printInfoDictionary.insert(QStringLiteral("copies"), 0);
  EXPECT_FALSE(operation->runOperation(printer, &error));
  EXPECT_FALSE(error.isEmpty());
  QFile after(path);
  ASSERT_TRUE(after.open(QIODevice::ReadOnly));
  EXPECT_EQ(after.readAll(), before);

  // A folder that does not exist: failure, nothing written.
  operation->printInfoDictionary.insert(QStringLiteral("copies"), 1);
  operation->printInfoDictionary.insert(QStringLiteral("outputFileName"),
                                        folder.filePath(QStringLiteral("no/such/x.pdf")));
  EXPECT_FALSE(operation->runOperation(printer, &error));
}
