// The output renderer: images, PDF and TIFF data of a card side through the class
// operations of QLNRenderingView, and the reentrant core they stand on.

#include "canvas/QLNRenderingView.h"
#include "canvas/RenderSide.h"

#include "core/Card_Property.h"
#include "core/QLNError.h"
#include "core/QLNText.h"
#include "tests/canvas/test_renderer_support.h"
#include "tests/common/PixelHelpers.h"
#include "tests/common/TestSupport.h"

#include <QBuffer>
#include <QImageReader>
#include <QRegularExpression>

#include <stdexcept>

using namespace rendertest;
using pixeltest::at;
using pixeltest::near;

namespace {

// An object whose drawing fails.
class FailingShape : public Shape_Control {
public:
  void drawContentsInView(QPainter *, bool) override { throw std::runtime_error("The ink ran out."); }
};

// An object of a class the card object archive does not know.
class StrangeObject : public Shape_Control {
public:
  QString className() const override { return QStringLiteral("StrangeObject"); }
};

QImage pixelsOf(const CardPicture &picture, double dpi = 72.0) {
  QString error;
  const PointImage image = picture.toImage(dpi, &error);
  EXPECT_FALSE(image.isNull()) << error.toStdString();
  return image.pixels;
}

QImage tiffImage(const QByteArray &data) {
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "tiff");
  return reader.read();
}

class RendererTest : public ::testing::Test {
protected:
  void SetUp() override { Card_Front_Or_Back = 0; }
  void TearDown() override { Card_Front_Or_Back = 0; }

  RenderHost host;
  ScopedScriptedUi ui;
};

}  // namespace

// ---- Images ------------------------------------------------------------------------------------

TEST_F(RendererTest, ImageShowsTheBaseOfTheCurrentSideAndThePrintableObjectsInOrder) {
  // An empty list: the card base alone, at the canvas size.
  const CardPicture empty = QLNRenderingView::image_From_Card_Graphics({}, false);
  ASSERT_FALSE(empty.isNull());
  EXPECT_EQ(empty.size(), QSizeF(243, 154));
  EXPECT_FALSE(empty.isBitmap());
  QImage image = pixelsOf(empty);
  EXPECT_TRUE(near(at(image, 120, 70), kFrontBase, 2));

  // Index 0 lies in front; an object with print flag 1 is left out.
  const QLNGraphicList list = {box(QRectF(60, 40, 60, 50), kRed), box(QRectF(40, 20, 60, 50), kGreen),
                               box(QRectF(150, 30, 40, 40), kBlue, 1)};
  image = pixelsOf(QLNRenderingView::image_From_Card_Graphics(list, false));
  EXPECT_TRUE(near(at(image, 70, 50), kRed, 2));
  EXPECT_TRUE(near(at(image, 50, 30), kGreen, 2));
  EXPECT_TRUE(near(at(image, 170, 50), kFrontBase, 2)) << "not printed";

  // The side global, not the list, picks the base; the size is the front canvas's.
  Card_Front_Or_Back = 1;
  image = pixelsOf(QLNRenderingView::image_From_Card_Graphics(list, false));
  EXPECT_TRUE(near(at(image, 200, 140), kBackBase, 2));
  Card_Front_Or_Back = 0;
  host.canvas = QRectF(0, 0, 300, 200);
  EXPECT_EQ(QLNRenderingView::image_From_Card_Graphics(list, false).size(), QSizeF(300, 200));
}

TEST_F(RendererTest, PrintBoxTakesTheBitmapBranchOnlyBelowTheResolutionIndependentToolkit) {
  const QLNGraphicList list = {box(QRectF(20, 20, 100, 60), kRed)};
  // This platform: the same vector picture as without print_box.
  EXPECT_GE(MainWindowServices().toolkitVersion(), ResolutionIndependentToolkitVersion);
  const CardPicture vector = QLNRenderingView::image_From_Card_Graphics(list, true);
  EXPECT_FALSE(vector.isBitmap());
  EXPECT_EQ(pixelsOf(vector, 300), pixelsOf(QLNRenderingView::image_From_Card_Graphics(list, false), 300));

  // An old toolkit: a bitmap of the canvas at one pixel per point.
  host.version = ResolutionIndependentToolkitVersion - 1;
  const CardPicture bitmap = QLNRenderingView::image_From_Card_Graphics(list, true);
  ASSERT_TRUE(bitmap.isBitmap());
  EXPECT_EQ(bitmap.size(), QSizeF(243, 154));
  const QImage pixels = pixelsOf(bitmap);
  EXPECT_TRUE(near(at(pixels, 60, 50), kRed, 2));
  EXPECT_TRUE(near(at(pixels, 200, 120), kFrontBase, 2));
  EXPECT_FALSE(QLNRenderingView::image_From_Card_Graphics(list, false).isBitmap());
}

TEST_F(RendererTest, SameSideAt72And300DpiHasTheRightSizesAndTheSameContent) {
  const QLNGraphicList list = {box(QRectF(10, 10, 80, 50), kRed), box(QRectF(120, 60, 100, 80), kBlue)};
  const CardPicture picture = QLNRenderingView::image_From_Card_Graphics(list, false);
  const QImage low = pixelsOf(picture, 72);
  const QImage high = pixelsOf(picture, 300);
  EXPECT_EQ(low.size(), QSize(243, 154));
  EXPECT_EQ(high.size(), QSize(1013, 642));
  // Scaled down, the 300-dpi image is the 72-dpi one.
  const QImage reduced = high.copy(0, 0, 1012, 641).scaled(243, 154, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  long long difference = 0;
  for (int y = 2; y < 152; ++y)
    for (int x = 2; x < 241; ++x) {
      const QColor a = low.pixelColor(x, y), b = reduced.pixelColor(x, y);
      difference += std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
    }
  EXPECT_LT(double(difference) / (239 * 150 * 3), 4.0);
  for (const QPointF p : {QPointF(50, 35), QPointF(170, 100), QPointF(110, 30)})
    EXPECT_TRUE(near(at(low, p.x(), p.y()), at(high, p.x(), p.y(), 300.0 / 72), 2));
}

TEST_F(RendererTest, RendersCopiesAndLeavesTheLiveObjectsAlone) {
  // Drawing stores a fill colour back with its opacity: a render of the live object
  // would change it. The renderer draws copies.
  auto live = box(QRectF(20, 20, 100, 60), kRed);
  live->alpha_val = 0.5f;
  live->_fillColor = QColor(220, 0, 0);
  const CardPicture picture = QLNRenderingView::image_From_Card_Graphics({live}, false);
  EXPECT_EQ(live->_fillColor, QColor(220, 0, 0)) << "the live object was drawn";

  // A picture is a snapshot: later edits of the object do not reach it.
  const QImage before = pixelsOf(picture);
  live->_bounds = QRectF(150, 100, 20, 20);
  live->_fillColor = kGreen;
  EXPECT_EQ(pixelsOf(picture), before);
}

TEST_F(RendererTest, FailuresAreReportedNotHandedOn) {
  // No canvas: no image, no PDF; the reason is given and logged.
  host.canvas = QRectF();
  ScopedLogCapture log;
  QString error;
  EXPECT_TRUE(QLNRenderingView::image_From_Card_Graphics({box(QRectF(0, 0, 10, 10), kRed)}, false, &error).isNull());
  EXPECT_EQ(error, QStringLiteral("There is no card canvas to render."));
  error.clear();
  EXPECT_TRUE(QLNRenderingView::pdfDataWithGraphics_data({}, &error).isEmpty());
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(log.lines().contains(
      QStringLiteral("image_From_Card_Graphics: There is no card canvas to render.")));

  // An object the renderer cannot copy is left out and named.
  host.canvas = QRectF(0, 0, 243, 154);
  QString copyError;
  const QLNGraphicList copies = Render::copyGraphicsForRendering(
      {box(QRectF(0, 0, 10, 10), kRed), std::make_shared<StrangeObject>()}, &copyError);
  EXPECT_EQ(copies.size(), 1);
  EXPECT_TRUE(copyError.contains(QStringLiteral("StrangeObject")));
}

TEST_F(RendererTest, AnObjectThatCannotBeDrawnIsShownAndEndsTheDrawing) {
  // Drawn from the back: the blue box (index 2), then the failing one; the red box in
  // front of it (index 0) is not drawn.
  CardSideSnapshot side;
  side.canvasSize = QSizeF(243, 154);
  side.graphics = {box(QRectF(10, 10, 50, 50), kRed), std::make_shared<FailingShape>(),
                   box(QRectF(100, 10, 50, 50), kBlue)};
  QLNRenderingView view(QRectF(0, 0, 243, 154), side, QString());
  ui.expectAlert();
  const CardPicture picture = view.pictureInsideRect(view.bounds());
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(ui.alertTexts(), QStringList{QStringLiteral("\nThe ink ran out.")});
  const QImage image = pixelsOf(picture);
  EXPECT_TRUE(near(at(image, 120, 30), kBlue, 2));
  EXPECT_EQ(image.pixelColor(30, 30).alpha(), 0) << "objects after the failing one are not drawn";

  // The core reports the same without a message box.
  QString drawingError;
  Render::recordSide(side, &drawingError);
  EXPECT_EQ(drawingError, QStringLiteral("The ink ran out."));
}

TEST_F(RendererTest, SideDrawnFromItsOwnSettings) {
  // The reentrant road: the base comes from explicit settings, nothing from the host.
  CardSideSnapshot side;
  side.side = 1;
  side.canvasSize = QSizeF(200, 100);
  Card_Property settings;
  settings.setCard_fill_chk(true);
  settings.setCard_fill_style(QStringLiteral("S"));
  settings.setCard_fill_clr(QColor(10, 120, 200));
  settings.setCard_border_chk(false);
  side.settings = settings;
  side.cardShape = 2;  // oval
  side.graphics = {box(QRectF(80, 40, 40, 20), kRed)};
  const int basesBefore = host.baseDrawings.load();
  QString drawingError, error;
  const PointImage direct = Render::renderSideImage(side, 144, &drawingError, &error);
  ASSERT_FALSE(direct.isNull()) << error.toStdString();
  EXPECT_TRUE(drawingError.isEmpty());
  EXPECT_EQ(direct.pixels.size(), QSize(400, 200));
  EXPECT_EQ(direct.points, QSizeF(200, 100));
  EXPECT_TRUE(near(at(direct.pixels, 40, 50, 2), QColor(10, 120, 200), 2));
  EXPECT_TRUE(near(at(direct.pixels, 100, 50, 2), kRed, 2));
  EXPECT_EQ(direct.pixels.pixelColor(2, 2).alpha(), 0) << "outside the oval";
  EXPECT_EQ(host.baseDrawings.load(), basesBefore);

  // The recorded road draws the same.
  const CardPicture recorded = Render::recordSide(side);
  const QImage played = pixelsOf(recorded, 144);
  int differing = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 400; ++x)
      differing += near(played.pixelColor(x, y), direct.pixels.pixelColor(x, y), 3) &&
                           std::abs(played.pixelColor(x, y).alpha() - direct.pixels.pixelColor(x, y).alpha()) <= 3
                       ? 0
                       : 1;
  EXPECT_EQ(differing, 0);

  side.canvasSize = QSizeF(0, 100);
  EXPECT_TRUE(Render::renderSideImage(side, 72, nullptr, &error).isNull());
  EXPECT_EQ(error, QStringLiteral("There is no card canvas to render."));
}

// ---- PDF ---------------------------------------------------------------------------------------

TEST_F(RendererTest, PdfIsOnePageOfTheCardSizeWithThePrintableObjectsOnly) {
  if (!havePoppler())
    GTEST_SKIP() << "pdfinfo and pdftoppm (poppler-utils) are not installed";
  const QLNGraphicList list = {box(QRectF(20, 20, 80, 60), kRed), box(QRectF(140, 40, 80, 60), kBlue, 1)};
  QString error;
  const QByteArray pdf = QLNRenderingView::pdfDataWithGraphics_data(list, &error);
  ASSERT_FALSE(pdf.isEmpty()) << error.toStdString();
  ASSERT_TRUE(pdf.startsWith("%PDF-"));

  QTemporaryDir folder;
  const QString info = pdfInfo(pdf, folder);
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info.toStdString();
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+243 x 154 pts")))) << info.toStdString();

  const QImage page = pdfPageOf(pdf, 72, folder);
  ASSERT_EQ(page.size(), QSize(243, 154));
  EXPECT_TRUE(near(at(page, 60, 50), kRed, 6));
  EXPECT_TRUE(near(at(page, 180, 70), kFrontBase, 6)) << "print flag 1 is not in the PDF";
}

// ---- TIFF --------------------------------------------------------------------------------------

TEST_F(RendererTest, TiffHoldsEveryObjectCroppedToTheirDrawingBounds) {
  const auto printed = box(QRectF(20, 30, 40, 20), kRed);
  const auto notPrinted = box(QRectF(100, 60, 30, 40), kBlue, 1);
  QLNError error;
  const QByteArray tiff = QLNRenderingView::tiffDataWithGraphics({printed, notPrinted}, &error);
  ASSERT_FALSE(tiff.isEmpty()) << error.localizedFailureReason.toStdString();
  const QImage image = tiffImage(tiff);
  ASSERT_FALSE(image.isNull());
  // The union of the drawing bounds (each 3 points round and 1 more), at one pixel per point.
  const QRectF crop = QLNGraphic::drawingBoundsOfGraphics({printed, notPrinted});
  EXPECT_EQ(crop, QRectF(17, 27, 117, 77));
  EXPECT_EQ(image.size(), QSize(117, 77));
  EXPECT_TRUE(near(at(image, 40 - 17, 40 - 27), kRed, 2));
  EXPECT_TRUE(near(at(image, 115 - 17, 80 - 27), kBlue, 2));
  EXPECT_EQ(image.pixelColor(2, 70).alpha(), 0) << "no card base";
}

TEST_F(RendererTest, TiffOfNothingToDraw) {
  // No objects: the canvas, with nothing on it.
  QLNError error;
  const QImage blank = tiffImage(QLNRenderingView::tiffDataWithGraphics({}, &error));
  EXPECT_EQ(blank.size(), QSize(243, 154));
  EXPECT_EQ(blank.pixelColor(100, 100).alpha(), 0);

  // Empty drawing bounds: error 3 and no data, with or without an error to fill.
  auto flat = box(QRectF(10, 10, -7, 20), kRed);
  EXPECT_TRUE(QLNRenderingView::tiffDataWithGraphics({flat}, &error).isEmpty());
  EXPECT_EQ(error.code, 3);
  EXPECT_EQ(error.domain, QStringLiteral("QuellinErrorDomain"));
  EXPECT_TRUE(QLNRenderingView::tiffDataWithGraphics({flat}, nullptr).isEmpty());

  host.canvas = QRectF();
  error = QLNError();
  EXPECT_TRUE(QLNRenderingView::tiffDataWithGraphics({}, &error).isEmpty());
  EXPECT_EQ(error.code, 3);
}
