#pragma once
// What the printing tests share: reading printed PDF files back through poppler
// (pdfinfo for the page count, pdftoppm at 72 dpi so that one pixel is one point,
// pdftotext -bbox for where words are), cards recorded in a plain colour, finding a
// colour's box on a page, and a main window session with the print window.

#include "tests/mainwindow/main_window_fixture.h"

#include "output/Print_Wnd.h"
#include "output/Printing_View.h"
#include "output/model/PrintLayout.h"

#include "dataseries/model/SeriesStore.h"

#include "canvas/RenderPicture.h"
#include "core/QLNImage.h"
#include "core/Shape_Control.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace printtest {

// Runs a poppler tool; its standard output, or "" (and a test failure) when it fails.
inline QByteArray runTool(const QString &program, const QStringList &args) {
  QProcess process;
  process.start(program, args);
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
    return QByteArray();
  }
  return process.readAllStandardOutput();
}

inline int pdfPageCount(const QString &pdf) {
  const QByteArray info = runTool(QStringLiteral("pdfinfo"), {pdf});
  const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(info));
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The paper size of page 1 in points.
inline QSizeF pdfPageSize(const QString &pdf) {
  const QByteArray info = runTool(QStringLiteral("pdfinfo"), {pdf});
  const QRegularExpressionMatch match =
      QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts")).match(QString::fromUtf8(info));
  return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

// Page `page` (from 1) rasterised at 72 dpi: one pixel per point.
inline QImage pdfPage(const QString &pdf, int page) {
  const QString prefix = pdf + QStringLiteral(".page%1").arg(page);
  runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"),
                                       QString::number(page), QStringLiteral("-l"), QString::number(page),
                                       QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, prefix});
  return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// The words of page `page` with their boxes in points (top-left origin).
struct Word {
  QString text;
  QRectF box;
};
inline QList<Word> pdfWords(const QString &pdf, int page) {
  const QByteArray html = runTool(QStringLiteral("pdftotext"),
                                  {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                                   QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
  QList<Word> words;
  static const QRegularExpression pattern(QStringLiteral(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
  auto it = pattern.globalMatch(QString::fromUtf8(html));
  while (it.hasNext()) {
    const auto m = it.next();
    words.append({m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                        QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
  }
  return words;
}

inline bool near(QRgb a, const QColor &b, int tolerance = 10) {
  return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance &&
         std::abs(qBlue(a) - b.blue()) <= tolerance;
}

// The box of the pixels of `colour` (within a tolerance) on `image`; empty when none.
inline QRect colourBox(const QImage &image, const QColor &colour) {
  int left = image.width(), top = image.height(), right = -1, bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if (near(line[x], colour)) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  }
  return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Counts pixels of `colour`.
inline int colourCount(const QImage &image, const QColor &colour, const QRect &within = QRect()) {
  const QRect area = within.isNull() ? image.rect() : within.intersected(image.rect());
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      n += near(image.pixel(x, y), colour) ? 1 : 0;
  return n;
}

// A picture of `size` points filled with `colour`.
inline CardPicture plainCard(const QSizeF &size, const QColor &colour) {
  CardPicture::Recorder recorder(size);
  {
    QPainter painter(recorder.device());
    painter.fillRect(QRectF(QPointF(0, 0), size), colour);
  }
  return recorder.finish();
}

// Well apart colours for cards 0, 1, 2 ... (fronts) and their backs.
inline QColor frontColour(int card) { return QColor::fromHsv((card * 47) % 360, 255, 200); }
inline QColor backColour(int card) { return QColor::fromHsv((card * 47 + 23) % 360, 120, 255); }

// The expected pixel box of a rectangle in points drawn at 72 dpi (inclusive pixel
// bounds), allowing for the anti-aliased edge.
inline bool sameBox(const QRect &pixels, const QRectF &points, int tolerance = 1) {
  return std::abs(pixels.left() - points.left()) <= tolerance && std::abs(pixels.top() - points.top()) <= tolerance &&
         std::abs(pixels.right() + 1 - points.right()) <= tolerance &&
         std::abs(pixels.bottom() + 1 - points.bottom()) <= tolerance;
}

}  // namespace printtest

// A main window session with a card of 200 x 100 points, ready for the print window.
class PrintWindowTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    // The position pictures of the print window, as the program ships them.
    for (const QString &name : QDir(QStringLiteral(AMENDS_SOURCE_DIR "/resources"))
                                   .entryList({QStringLiteral("*top_*.png"), QStringLiteral("*middle_*.png"),
                                               QStringLiteral("*bo*ttom_*.png"), QStringLiteral("bootom_*.png")}))
      QFile::copy(QStringLiteral(AMENDS_SOURCE_DIR "/resources/") + name, shippedDir() + QLatin1Char('/') + name);
    controller = startSession();
    ASSERT_NE(controller, nullptr);
    controller->SetDocumentCanvasSize(QSizeF(200, 100));
    ASSERT_TRUE(out.isValid());
  }
  void TearDown() override {
    delete Print_Wnd::defaultInstance();
    MainWindowTest::TearDown();
  }

  void writeSeries(const QString &name, const QStringList &values) {
    ASSERT_TRUE(SeriesStore::write(name, values, SeriesStore::EmptyValues::KeepAsEmptyLines,
                                   SeriesStore::WriteMode::Replace));
  }
  // A PNG of one colour in the test folder.
  QString colourFile(const QColor &colour) {
    const QString path = out.filePath(colour.name().mid(1) + QStringLiteral(".png"));
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
  }
  // An image object covering the whole card, bound to the series `series` (none: the
  // picture at `path`).
  static std::shared_ptr<QLNImage> wholeCardImage(const QString &series, const QString &path = QString()) {
    auto image = std::make_shared<QLNImage>();
    image->setBounds(QRectF(0, 0, 200, 100));
    if (!path.isEmpty())
      image->setFilePath(path);
    if (!series.isEmpty()) {
      image->data_source_type = 1;
      image->batch_list_name = series;
    }
    return image;
  }
  static std::shared_ptr<Shape_Control> box(const QRectF &bounds, const QColor &fill) {
    auto shape = std::make_shared<Shape_Control>();
    shape->Set_Shape_Type(QStringLiteral("R"));
    shape->_isDrawingStroke = false;
    shape->_fillColor = fill;
    shape->_bounds = bounds;
    return shape;
  }
  void setSides(const QLNGraphicList &front, const QLNGraphicList &back = {}) {
    session->document()->setList(QLNDocumentGraphicsKey, front);
    session->document()->setList(QLNDocumentGraphicsKey_back, back);
  }

  QLNWindowController *controller = nullptr;
  QTemporaryDir out;
};
