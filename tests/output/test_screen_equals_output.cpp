// What the canvas shows is what the card gets: for one card per kind of object, the
// exported card at 72 dpi against the canvas's own drawing of the same side at 100%
// (no handles, grid or selection), pixel by pixel up to the softening of edges. The
// cards hold what used to differ: text that overflows its box, thick borders with
// sharp mitred points, wide square caps on a slant, and a barcode whose picture is
// larger than the frame it was given, lying over other objects.

#include "tests/output/export_fixture.h"

#include "canvas/QLNGraphicView.h"
#include "core/CardObjectArchive.h"
#include "core/QLNBarcode.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNSignature.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cstdlib>

namespace {

// How two drawings of the same card differ.
struct Difference {
  int differing = 0;  // pixels with no match in the other drawing
  QPoint first{-1, -1};
};

int channelDistance(QRgb p, QRgb q) {
  return std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q)),
                   std::abs(qAlpha(p) - qAlpha(q))});
}

// A pixel of one drawing matches when the other drawing has a pixel within `tolerance`
// on every channel at the same place or next to it: two rasterisers may soften an edge,
// or place a glyph, a fraction of a pixel apart. Compared both ways.
Difference differenceOf(const QImage &a, const QImage &b, int tolerance) {
  Difference d;
  const QImage x = a.convertToFormat(QImage::Format_ARGB32);
  const QImage y = b.convertToFormat(QImage::Format_ARGB32);
  const auto unmatched = [&](const QImage &from, const QImage &to, int column, int row) {
    const QRgb p = from.pixel(column, row);
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (to.valid(column + dx, row + dy) && channelDistance(p, to.pixel(column + dx, row + dy)) <= tolerance)
          return false;
    return true;
  };
  for (int row = 0; row < x.height(); ++row) {
    for (int column = 0; column < x.width(); ++column) {
      if (unmatched(x, y, column, row) || unmatched(y, x, column, row)) {
        if (d.differing == 0)
          d.first = QPoint(column, row);
        ++d.differing;
      }
    }
  }
  return d;
}

// A 2-colour picture of `w` x `h` pixels: stripes like a barcode's bars.
QImage bars(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(Qt::white);
  for (int x = 0; x < w; ++x)
    if ((x / 3) % 2 == 0)
      for (int y = 0; y < h; ++y)
        image.setPixelColor(x, y, Qt::black);
  return image;
}

std::shared_ptr<Shape_Control> shape(const QString &code, const QRectF &bounds, const QColor &fill, double border) {
  auto s = std::make_shared<Shape_Control>();
  s->Set_Shape_Type(code);
  s->_bounds = bounds;
  s->_isDrawingFill = true;
  s->_fillColor = fill;
  s->_isDrawingStroke = border > 0;
  s->_strokeWidth = border;
  s->_strokeColor = QColor(20, 20, 120);
  s->alpha_val = 1.0f;
  s->alpha_val_stroke = 1.0f;
  return s;
}

}  // namespace

class ScreenEqualsOutputTest : public ExportWindowTest {
protected:
  void SetUp() override {
    ExportWindowTest::SetUp();
    controller->SetDocumentCanvasSize(QSizeF(360, 240));
    controller->setZoomFactor(1.0);
    export_card_side = QStringLiteral("F");
    controller->exportDpi = 72;
  }

  // The canvas's drawing of the front at 100%, nothing selected; drawn again until two
  // drawings agree, so a picture filtered in the background is in it.
  QImage canvasImage() {
    QLNGraphicView *view = controller->frontView();
    view->Clear_Control_Selection();
    const auto draw = [view] {
      QImage image(view->size(), QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      view->render(&image);
      return image;
    };
    QImage last = draw();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      QThread::msleep(20);
      QCoreApplication::processEvents();
      const QImage again = draw();
      if (again == last)
        return again;
      last = again;
    }
    return last;
  }

  // The front exported at 72 dpi through the Export command's own writer.
  QImage exportedImage() {
    const QString folder = root.path() + QStringLiteral("/export-") + QString::number(++m_exports);
    EXPECT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(controller->Export_Single_File(folder + QStringLiteral("/Card.png"), false));
    const QStringList files = exporttest::entriesOf(folder);
    EXPECT_EQ(files.size(), 1) << files.join(QLatin1Char(' ')).toStdString();
    return files.isEmpty() ? QImage() : exporttest::readPng(folder + QLatin1Char('/') + files.first());
  }

  // The card with `objects` on the canvas and in the exported file: the same size and the
  // same pixels, but for at most `allowed` edge pixels that the two rasterisers soften
  // differently. Shapes, lines and pictures come out alike to the pixel; glyph edges
  // differ in a few dozen of the card's 86400 pixels. A star point's mitre cut off on
  // one side alone differs in eight.
  void expectSameCard(const QLNGraphicList &objects, const char *card, int allowed = 4) {
    SCOPED_TRACE(card);
    setSides(objects);
    const QImage screen = canvasImage();
    const QImage file = exportedImage();
    ASSERT_FALSE(file.isNull());
    ASSERT_EQ(screen.size(), QSize(360, 240));
    ASSERT_EQ(file.size(), screen.size());
    const Difference d = differenceOf(screen, file, 48);
    EXPECT_LE(d.differing, allowed) << "differing pixels, the first at (" << d.first.x() << ", " << d.first.y() << ")";
  }

  int m_exports = 0;
};

TEST_F(ScreenEqualsOutputTest, EveryKindOfObjectIsExportedAsTheCanvasShowsIt) {
  // Shapes: the eight outlines, filled, with borders.
  {
    QLNGraphicList shapes;
    const QStringList codes = {"R", "C", "RR", "T", "D", "S", "DS", "P"};
    for (int i = 0; i < codes.size(); ++i)
      shapes << shape(codes[i], QRectF(20 + (i % 4) * 85, 20 + (i / 4) * 110, 70, 90), QColor(240, 160, 40), 3);
    expectSameCard(shapes, "shapes");
  }

  // Thick borders and caps: an 8-point star border whose points reach far past their
  // vertices, a sharp triangle, and 18-point lines with each cap on a slant.
  {
    QLNGraphicList thick;
    thick << shape("S", QRectF(30, 30, 100, 100), QColor(250, 230, 120), 8);
    thick << shape("T", QRectF(150, 40, 30, 150), QColor(120, 220, 120), 10);
    for (int cap = 0; cap < 3; ++cap) {
      auto line = std::make_shared<QLNLine>();
      line->_strokeWidth = 18;
      line->_strokeColor = QColor(160, 30, 30);
      line->alpha_val_stroke = 1.0f;
      line->_line_cap_style = cap;
      line->setEndPoint(QPointF(230 + cap * 40, 40));
      line->setBeginPoint(QPointF(210 + cap * 40, 200));
      thick << line;
    }
    expectSameCard(thick, "thick borders and caps");
  }

  // Text: a box too small for its text, with fill and a thick border, and a plain one.
  {
    auto overflowing = std::make_shared<QLNText>();
    overflowing->setBounds(QRectF(30, 30, 120, 40));
    replaceCharacters(*overflowing->Text_contents(),
                      QStringLiteral("I am truly sorry for what I said, and for the days since. Please let me make "
                                     "it right; this card is the first step of many."));
    overflowing->text_ctrl_font = FontSpec(QStringLiteral("ArialMT"), 20.0);
    overflowing->_isDrawingFill = true;
    overflowing->_fillColor = QColor(200, 230, 250);
    overflowing->_isDrawingStroke = true;
    overflowing->_strokeWidth = 6;
    overflowing->_strokeColor = QColor(30, 60, 160);
    overflowing->alpha_val = 1.0f;
    overflowing->alpha_val_stroke = 1.0f;
    auto plainText = text(QStringLiteral("Forgive me?"));
    plainText->setBounds(QRectF(200, 150, 140, 40));
    expectSameCard({overflowing, plainText}, "text", 60);
  }

  // Pictures: an image stretched to its bounds and a signature.
  {
    const QString picture = root.path() + QStringLiteral("/picture.png");
    QImage pixels(64, 48, QImage::Format_ARGB32);
    for (int y = 0; y < pixels.height(); ++y)
      for (int x = 0; x < pixels.width(); ++x)
        pixels.setPixelColor(x, y, QColor(x * 4, y * 5, 128));
    ASSERT_TRUE(pixels.save(picture, "PNG"));
    auto image = std::make_shared<QLNImage>();
    image->setBounds(QRectF(20, 20, 150, 110));
    image->setFilePath(picture);
    auto signature = std::make_shared<QLNSignature>();
    signature->setBounds(QRectF(190, 120, 140, 90));
    signature->_file_path = picture;
    expectSameCard({image, signature}, "pictures");
  }

  // A barcode over other objects: handed a picture larger than the frame it had, and one
  // read from a design written while its frame kept the sample's size.
  {
    auto under = box(QRectF(10, 10, 340, 220), QColor(120, 200, 120));
    auto beside = box(QRectF(200, 40, 60, 60), QColor(200, 80, 80));
    auto barcode = std::make_shared<QLNBarcode>();
    barcode->setBounds(QRectF(40, 40, 60, 30));
    barcode->Set_Barcode_image(PointImage{bars(400, 120), QSizeF(200, 60)});
    EXPECT_EQ(barcode->bounds(), QRectF(40, 40, 200, 60));
    auto stored = std::make_shared<QLNBarcode>();
    stored->_barcode_image = PointImage{bars(300, 90), QSizeF(150, 45)};
    stored->_bounds = QRectF(60, 150, 50, 20);
    QString error;
    const QLNGraphicPtr opened = unarchiveGraphic(archiveGraphic(*stored, &error), &error);
    ASSERT_NE(opened, nullptr) << error.toStdString();
    expectSameCard({barcode, opened, beside, under}, "barcodes");
  }
}
