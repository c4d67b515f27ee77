// The canvas's edit and arrange commands: copy and paste with their cascade and the
// clipboard types other programs read (also from another process), pictures pasted
// from other programs, hostile clipboard data, undo and redo with reselection, every
// alignment, same-size and ordering rule, the print flag, menu validation and the
// hiding of profile fields.

#include "tests/canvas/canvas_fixture.h"

#include "canvas/QLNRenderingView.h"
#include "canvas/RenderPicture.h"

#include "core/Globals.h"
#include "core/QLNError.h"
#include "core/QLNImage.h"
#include "core/QLNText.h"

#include "platform/PropertyList.h"

#include "tests/common/FileSizeLimit.h"
#include "tests/common/TestSupport.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QSet>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <cmath>

namespace {

const QColor kRed(220, 0, 0);
const QColor kGreen(0, 160, 0);
const QColor kBlue(0, 0, 220);

const QString kPrivateType = QStringLiteral("Quellin 2 pasteboard type");

QClipboard *clipboard() { return QGuiApplication::clipboard(); }

// Puts `types` on the clipboard as another program would.
void putOnClipboard(const QList<QPair<QString, QByteArray>> &types) {
  auto *contents = new QMimeData;
  for (const auto &[type, data] : types)
    contents->setData(type, data);
  clipboard()->setMimeData(contents);
}

QByteArray pngOf(int width, int height, const QColor &colour) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(colour);
  // 72 dots per inch: a pixel is a point.
  image.setDotsPerMeterX(2835);
  image.setDotsPerMeterY(2835);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QList<QRectF> boundsOf(const QLNGraphicList &graphics) {
  QList<QRectF> all;
  for (const QLNGraphicPtr &graphic : graphics)
    all.append(graphic->bounds());
  return all;
}

class CanvasCommandsTest : public CanvasTest {
protected:
  // The peers of the clipboard test share an X server's clipboard: they leave it alone.
  static bool isPeer() { return !qEnvironmentVariableIsEmpty("AMENDS_CLIPBOARD_PEER"); }
  void SetUp() override {
    CanvasTest::SetUp();
    if (!isPeer())
      clipboard()->clear();
  }
  void TearDown() override {
    if (!isPeer())
      clipboard()->clear();
    CanvasTest::TearDown();
  }

  // Five boxes 0 to 4 on the front, recorded as one undo step already ended.
  QLNGraphicList five() {
    QLNGraphicList list;
    for (int i = 0; i < 5; ++i)
      list.append(box(QRectF(10 + 30 * i, 10, 20, 20), kRed));
    document.insertGraphics(list, {0, 1, 2, 3, 4});
    endTurn();
    return list;
  }

  ScopedScriptedUi ui;
};

}  // namespace

// ---- Copy and paste --------------------------------------------------------------------------------

TEST_F(CanvasCommandsTest, PastesOfOwnCopiesGoToSuccessiveFreePlacesInFrontOfTheList) {
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  auto b = box(QRectF(100, 60, 30, 20), kGreen);
  auto c = box(QRectF(150, 90, 25, 25), kBlue);
  document.insertGraphics({a, b, c}, {0, 1, 2});
  front.changeSelectionIndexes({0, 1, 2});
  front.copy();
  EXPECT_EQ(front.pasteCascadeNumber(), 1);

  // Three on the list: every pasted object takes the next cascade point (a step of 20
  // from the last one), keeping its size; they go in front, in their copied order, and
  // are the new selection.
  front.paste();
  const QLNGraphicList afterFirst = document.graphics();
  ASSERT_EQ(afterFirst.size(), 6);
  EXPECT_EQ(boundsOf(afterFirst.mid(0, 3)),
            (QList<QRectF>{QRectF(30, 30, 40, 30), QRectF(50, 50, 30, 20), QRectF(70, 70, 25, 25)}));
  EXPECT_EQ(afterFirst.mid(3), (QLNGraphicList{a, b, c}));
  for (int i = 0; i < 3; ++i)
    EXPECT_NE(afterFirst.at(i), afterFirst.at(3 + i)) << "pasted objects are new objects";
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1, 2}));

  // The second paste goes on from there (back to 10 where 50 points would not fit
  // below); the originals and the first copies stay.
  front.paste();
  const QLNGraphicList afterSecond = document.graphics();
  ASSERT_EQ(afterSecond.size(), 9);
  EXPECT_EQ(boundsOf(afterSecond.mid(0, 3)),
            (QList<QRectF>{QRectF(90, 90, 40, 30), QRectF(110, 10, 30, 20), QRectF(130, 30, 25, 25)}));
  EXPECT_EQ(boundsOf(afterSecond.mid(3, 3)), boundsOf(afterFirst.mid(0, 3)));
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1, 2}));
  EXPECT_EQ(front.pasteCascadeNumber(), 3);
  EXPECT_EQ(a->bounds(), QRectF(20, 20, 40, 30));
}

TEST_F(CanvasCommandsTest, FirstPasteOfObjectsWrittenElsewhereKeepsTheirPlacesThenCascades) {
  auto original = box(QRectF(5, 6, 40, 30), kRed);
  auto locked = box(QRectF(150, 100, 20, 20), kGreen);
  locked->ctrl_is_locked = true;
  putOnClipboard({{kPrivateType, QLNGraphic::pasteboardDataWithGraphics({original, locked})}});

  front.paste();
  ASSERT_EQ(document.graphics().size(), 2);
  EXPECT_EQ(boundsOf(document.graphics()),
            (QList<QRectF>{QRectF(5, 6, 40, 30), QRectF(150, 100, 20, 20)}));
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1}));

  // From the second paste on they go to free places; a locked object keeps its own.
  front.paste();
  ASSERT_EQ(document.graphics().size(), 4);
  EXPECT_EQ(document.graphics().at(0)->bounds(), QRectF(30, 30, 40, 30));
  EXPECT_EQ(document.graphics().at(1)->bounds(), QRectF(150, 100, 20, 20));

  // Another canvas that copies makes the contents foreign to this one again: its first
  // paste keeps the stored place.
  document.insertIntoList(QLNDocumentGraphicsKey_back, {box(QRectF(7, 8, 10, 10), kBlue)}, {0});
  back.changeSelectionIndexes({0});
  back.copy();
  front.paste();
  EXPECT_EQ(document.graphics().at(0)->bounds(), QRectF(7, 8, 10, 10));
  EXPECT_EQ(front.pasteCascadeNumber(), 1);
}

TEST_F(CanvasCommandsTest, PasteOnTheBackUsesTheBackSidesCascade) {
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  document.insertGraphics({a}, {0});
  for (int i = 0; i < 25; ++i)
    document.insertIntoList(QLNDocumentGraphicsKey_back, {box(QRectF(1, 1, 5, 5), kBlue)}, {0});
  front.changeSelectionIndexes({0});
  Card_Front_Or_Back = 1;
  front.copy();
  // The free place is that of the current side, the back with 25 objects: the cascade
  // steps by 25 from (10, 10) (the front's one object would give a step of 20).
  front.paste();
  EXPECT_EQ(document.graphics().at(0)->bounds(), QRectF(35, 35, 40, 30));
}

TEST_F(CanvasCommandsTest, CopyWritesOurObjectsAPdfOfTheCardAndATiffOfTheObjects) {
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  auto b = box(QRectF(100, 60, 30, 20), kGreen);
  document.insertGraphics({a, b}, {0, 1});
  front.changeSelectionIndexes({0, 1});
  front.copy();

  const QMimeData *contents = clipboard()->mimeData();
  ASSERT_NE(contents, nullptr);
  ASSERT_TRUE(contents->hasFormat(kPrivateType));
  const QLNGraphicList back = QLNGraphic::graphicsWithPasteboardData(contents->data(kPrivateType));
  EXPECT_EQ(boundsOf(back), (QList<QRectF>{QRectF(20, 20, 40, 30), QRectF(100, 60, 30, 20)}));
  EXPECT_TRUE(contents->data(QStringLiteral("application/pdf")).startsWith("%PDF"));
  // The picture holds the objects alone, cropped to their drawing bounds (their
  // bounds, from (20, 20) to (130, 80), and the handles' margin).
  QImage picture;
  ASSERT_TRUE(picture.loadFromData(contents->data(QStringLiteral("image/tiff")), "TIFF"));
  const QRectF drawn = QLNGraphic::drawingBoundsOfGraphics({a, b});
  EXPECT_EQ(picture.size(), drawn.size().toSize());
  EXPECT_EQ(QColor(picture.pixel(QPoint(25, 25) - drawn.topLeft().toPoint())), kRed);
  EXPECT_EQ(QColor(picture.pixel(QPoint(125, 75) - drawn.topLeft().toPoint())), kGreen);
  const QColor between(picture.pixel(QPoint(125, 25) - drawn.topLeft().toPoint()));
  EXPECT_NE(between, kRed);
  EXPECT_NE(between, kGreen);
}

TEST_F(CanvasCommandsTest, LockedSelectionIsNeitherCopiedNorCutNorReordered) {
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  auto locked = box(QRectF(80, 20, 40, 30), kGreen);
  locked->ctrl_is_locked = true;
  document.insertGraphics({a, locked}, {0, 1});
  front.changeSelectionIndexes({0, 1});
  for (auto command : {&QLNGraphicView::copy, &QLNGraphicView::cut, &QLNGraphicView::bringToFront,
                       &QLNGraphicView::sendToBack}) {
    ui.clear();
    ui.expectAlert();
    (front.*command)(nullptr);
    EXPECT_EQ(ui.alertTexts(), QStringList{QStringLiteral("\nSelected control is locked.")});
  }
  EXPECT_EQ(document.graphics(), (QLNGraphicList{a, locked}));
  const QMimeData *contents = clipboard()->mimeData();
  EXPECT_TRUE(!contents || !contents->hasFormat(kPrivateType));
  EXPECT_EQ(host.undoRedoStates, 0);
}

TEST_F(CanvasCommandsTest, CutCopiesThenRemovesTheSelection) {
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  auto b = box(QRectF(80, 20, 40, 30), kGreen);
  document.insertGraphics({a, b}, {0, 1});
  front.changeSelectionIndexes({1});
  front.cut();
  EXPECT_EQ(document.graphics(), QLNGraphicList{a});
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
  front.paste();
  ASSERT_EQ(document.graphics().size(), 2);
  EXPECT_EQ(document.graphics().at(0)->_fillColor, kGreen);
}

// ---- Hostile and foreign clipboard contents ------------------------------------------------------------

TEST_F(CanvasCommandsTest, DamagedOrForeignPrivateDataIsRefusedWithAMessageAndChangesNothing) {
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  document.insertGraphics({a}, {0});
  front.changeSelectionIndexes({0});
  endTurn();
  const int steps = document.undoManager()->undoCount();

  const QByteArray good = QLNGraphic::pasteboardDataWithGraphics({box(QRectF(1, 2, 3, 4), kBlue)});
  // One good archive beside one that is not an archive of a card object.
  PlistValue mixed = PlistValue::array();
  mixed.append(PlistValue(parsePropertyList(good)->items().at(0).toData()));
  mixed.append(PlistValue(QByteArray("not an archive")));
  const QList<QByteArray> payloads = {
      QByteArray("garbage that is no property list"),
      good.left(good.size() / 2),                                // cut short
      toBinaryPropertyList(PlistValue(QStringLiteral("text"))),  // a property list, but no array
      toBinaryPropertyList(mixed),
  };
  for (const QByteArray &payload : payloads) {
    SCOPED_TRACE(payload.left(20).toHex().toStdString());
    ui.clear();
    putOnClipboard({{kPrivateType, payload}});
    ui.expectAlert();
    front.paste();
    ASSERT_EQ(ui.requests().size(), 1u);
    EXPECT_EQ(ui.requests().at(0).text, QStringLiteral("The objects on the clipboard cannot be pasted."));
    EXPECT_FALSE(ui.requests().at(0).detail.isEmpty()) << "the message says why";
    EXPECT_EQ(document.graphics(), QLNGraphicList{a});
    EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{0});
  }
  endTurn();
  EXPECT_EQ(document.undoManager()->undoCount(), steps);
}

TEST_F(CanvasCommandsTest, FileNamesPasteNothingAndAPictureIsPlacedAroundFiftyThirty) {
  // File names come before a picture: nothing is pasted and nothing is said.
  auto *names = new QMimeData;
  names->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/card.png"))});
  names->setData(QStringLiteral("image/png"), pngOf(30, 20, kBlue));
  clipboard()->setMimeData(names);
  front.paste();
  EXPECT_TRUE(document.graphics().isEmpty());

  // A picture 30 by 20 points from another program: an image object centred on
  // (50, 50 - 20), in front and selected alone.
  document.insertGraphics({box(QRectF(100, 100, 10, 10), kRed)}, {0});
  putOnClipboard({{QStringLiteral("image/png"), pngOf(30, 20, kBlue)}});
  front.paste();
  ASSERT_EQ(document.graphics().size(), 2);
  auto image = std::dynamic_pointer_cast<QLNImage>(document.graphics().at(0));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->bounds(), QRectF(35, 20, 30, 20));
  EXPECT_EQ(image->_contents.pixels.pixelColor(3, 3), kBlue);
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{0});
  EXPECT_FALSE(image->FilePath().isEmpty()) << "the picture is kept in a file of its own";

  // Data that only claims to be a picture, or nothing readable: nothing happens.
  putOnClipboard({{QStringLiteral("image/png"), QByteArray("\x89PNG broken")},
                  {QStringLiteral("text/plain"), QByteArray("hello")}});
  front.paste();
  EXPECT_FALSE(front.makeNewImageFromPasteboard(clipboard()->mimeData(), QPointF(50, 50)));
  EXPECT_EQ(document.graphics().size(), 2);
}

namespace {

// A picture whose colour changes from pixel to pixel, so that its PNG file cannot be
// small: the first row red to blue, every other row as `seed` scatters it.
QImage noisyPicture(int width, int height, quint32 seed) {
  QImage image(width, height, QImage::Format_RGB32);
  quint32 state = seed;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      image.setPixel(x, y, y == 0 ? qRgb(255 * x / width, 0, 255 - 255 * x / width) : state >> 8);
    }
  image.setDotsPerMeterX(2835);
  image.setDotsPerMeterY(2835);
  return image;
}

QByteArray pngBytes(const QImage &image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

class PastedPictureTest : public CanvasCommandsTest {
protected:
  void SetUp() override {
    CanvasCommandsTest::SetUp();
    ASSERT_TRUE(resources.isValid());
    previousResourcePath = Resource_Path;
    Resource_Path = resources.path();
  }
  void TearDown() override {
    Resource_Path = previousResourcePath;
    CanvasCommandsTest::TearDown();
  }
  QString pastedFolder() const { return resources.filePath(QStringLiteral("PastedImage")); }
  QStringList pastedFiles() const { return QDir(pastedFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
  std::shared_ptr<QLNImage> pastedImage() const {
    return document.graphics().isEmpty() ? nullptr : std::dynamic_pointer_cast<QLNImage>(document.graphics().at(0));
  }

  QTemporaryDir resources;
  QString previousResourcePath;
};

}  // namespace

TEST_F(PastedPictureTest, APastedPictureIsKeptAsAPngOfItsOwnDrawnAndPlacedOnTheCard) {
  // A picture 200 x 120 points from another program: centred on (50, 50 - 120) it would
  // lie wholly above the card, so it is moved onto it.
  const QImage picture = noisyPicture(200, 120, 7);
  putOnClipboard({{QStringLiteral("image/png"), pngBytes(picture)}});
  front.paste();
  const auto image = pastedImage();
  ASSERT_TRUE(image);
  EXPECT_EQ(image->bounds(), QRectF(0, 0, 200, 120));
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{0});

  // Its file: a PNG in the resource folder's own folder for pasted pictures, holding
  // the picture pixel for pixel at its size in points.
  const QFileInfo file(image->FilePath());
  EXPECT_EQ(file.absolutePath(), QFileInfo(pastedFolder()).absoluteFilePath());
  EXPECT_TRUE(file.fileName().endsWith(QLatin1String(".png")));
  const PointImage kept = PointImage::load(image->FilePath());
  ASSERT_FALSE(kept.isNull());
  EXPECT_EQ(kept.pixels.convertToFormat(QImage::Format_RGB32), picture);
  EXPECT_NEAR(kept.points.width(), 200.0, 0.1);
  EXPECT_NEAR(kept.points.height(), 120.0, 0.1);

  // It draws: on the canvas and in the card's picture that export, print and mail use.
  QImage drawn(243, 154, QImage::Format_RGB32);
  drawn.fill(Qt::white);
  {
    QPainter painter(&drawn);
    image->drawContentsInView(&painter, false);
  }
  EXPECT_EQ(QColor(drawn.pixel(100, 60)), QColor(picture.pixel(100, 60)));
  const CardPicture card = QLNRenderingView::image_From_Card_Graphics(document.graphics(), false);
  ASSERT_FALSE(card.isNull());
  const PointImage output = card.toImage(72);
  ASSERT_EQ(output.pixels.size(), QSize(243, 154));
  EXPECT_EQ(QColor(output.pixels.pixel(100, 60)), QColor(picture.pixel(100, 60)));
  EXPECT_EQ(QColor(output.pixels.pixel(230, 140)), kCardBase) << "the card base around it";

  // A picture larger than the card starts at its top left corner; a small one that fits
  // stays where it is put.
  putOnClipboard({{QStringLiteral("image/png"), pngBytes(noisyPicture(300, 200, 8))}});
  front.paste();
  EXPECT_EQ(pastedImage()->bounds(), QRectF(0, 0, 300, 200));
  front.makeNewImageFromPasteboard(clipboard()->mimeData(), QPointF(230, 300));
  EXPECT_EQ(pastedImage()->bounds(), QRectF(0, 0, 300, 200));
  putOnClipboard({{QStringLiteral("image/png"), pngBytes(noisyPicture(40, 20, 9))}});
  ASSERT_TRUE(front.makeNewImageFromPasteboard(clipboard()->mimeData(), QPointF(230, 300)));
  EXPECT_EQ(pastedImage()->bounds(), QRectF(203, 134, 40, 20)) << "moved in from the bottom right";
  ASSERT_TRUE(front.makeNewImageFromPasteboard(clipboard()->mimeData(), QPointF(100, 90)));
  EXPECT_EQ(pastedImage()->bounds(), QRectF(80, 60, 40, 20));
}

TEST_F(PastedPictureTest, EveryPasteKeepsAFileOfItsOwn) {
  // The same picture pasted three times in the same second: three files, each its own.
  putOnClipboard({{QStringLiteral("image/png"), pngBytes(noisyPicture(30, 20, 1))}});
  QStringList paths;
  for (int i = 0; i < 3; ++i) {
    front.paste();
    ASSERT_TRUE(pastedImage());
    paths << pastedImage()->FilePath();
  }
  ASSERT_EQ(document.graphics().size(), 3);
  EXPECT_EQ(pastedFiles().size(), 3);
  EXPECT_EQ(QSet<QString>(paths.begin(), paths.end()).size(), 3);
  for (const QString &path : paths)
    EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
  // A file that another paste left there is never written over.
  const QString first = paths.first();
  putOnClipboard({{QStringLiteral("image/png"), pngBytes(noisyPicture(30, 20, 2))}});
  front.paste();
  EXPECT_EQ(pastedFiles().size(), 4);
  EXPECT_EQ(PointImage::load(first).pixels.convertToFormat(QImage::Format_RGB32), noisyPicture(30, 20, 1));
}

TEST_F(PastedPictureTest, APictureThatCannotBeKeptIsRefusedWithTheReasonAndMakesNoObject) {
  const int steps = document.undoManager()->undoCount();
  putOnClipboard({{QStringLiteral("image/png"), pngBytes(noisyPicture(200, 120, 3))}});
  {
    // The disk is full after 4 KiB: the picture's file cannot be written.
    FileSizeLimit full(4096);
    ASSERT_TRUE(full.isSet());
    ui.expectAlert();
    front.paste();
  }
  ASSERT_EQ(ui.requests().size(), 1u);
  EXPECT_EQ(ui.requests().at(0).text, QStringLiteral("The picture on the clipboard cannot be pasted."));
  EXPECT_TRUE(ui.requests().at(0).detail.contains(pastedFolder())) << ui.requests().at(0).detail.toStdString();
  EXPECT_TRUE(document.graphics().isEmpty());
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
  EXPECT_TRUE(pastedFiles().isEmpty()) << "no part of the file is left";
  endTurn();
  EXPECT_EQ(document.undoManager()->undoCount(), steps);

  // The folder for pasted pictures cannot be made (a file holds its name).
  ASSERT_TRUE(QDir(pastedFolder()).removeRecursively());
  QFile blocker(pastedFolder());
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  ui.clear();
  ui.expectAlert();
  front.paste();
  ASSERT_EQ(ui.requests().size(), 1u);
  EXPECT_EQ(ui.requests().at(0).text, QStringLiteral("The picture on the clipboard cannot be pasted."));
  EXPECT_TRUE(document.graphics().isEmpty());
}

// ---- Undo and redo -----------------------------------------------------------------------------------

TEST_F(CanvasCommandsTest, UndoAndRedoSelectWhatTheyTouched) {
  const QLNGraphicList list = five();
  // A move of object 3, as its own step.
  front.changeSelectionIndexes({0});
  list.at(3)->setBounds(QRectF(50, 80, 20, 20));
  endTurn();
  front.undo();
  EXPECT_EQ(list.at(3)->bounds(), QRectF(100, 10, 20, 20));
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{3});
  front.changeSelectionIndexes({});
  front.redo();
  EXPECT_EQ(list.at(3)->bounds(), QRectF(50, 80, 20, 20));
  EXPECT_EQ(front.selectionIndexes(), QLNIndexSet{3});

  // Removing objects 1 and 4; undo puts them back at their places and selects them.
  front.changeSelectionIndexes({1, 4});
  front.delete_();
  endTurn();
  EXPECT_EQ(document.graphics().size(), 3);
  front.undo();
  EXPECT_EQ(document.graphics(), list);
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{1, 4}));
  // Redoing the removal touches nothing that remains: the selection follows the list.
  front.redo();
  EXPECT_EQ(document.graphics().size(), 3);
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
  EXPECT_GE(host.undoRedoStates, 4);
}

// ---- Alignment ---------------------------------------------------------------------------------------

TEST_F(CanvasCommandsTest, OneSelectedObjectAlignsToTheCanvas) {
  auto a = box(QRectF(30, 40, 40, 20), kRed);
  document.insertGraphics({a}, {0});
  front.changeSelectionIndexes({0});
  struct Case {
    void (QLNGraphicView::*command)(QObject *);
    QRectF expected;
  };
  const Case cases[] = {
      {&QLNGraphicView::alignLeftEdges, QRectF(0, 40, 40, 20)},
      {&QLNGraphicView::alignRightEdges, QRectF(203, 40, 40, 20)},  // 243 - 40
      {&QLNGraphicView::alignTopEdges, QRectF(203, 0, 40, 20)},
      {&QLNGraphicView::alignBottomEdges, QRectF(203, 134, 40, 20)},  // 154 - 20
      {&QLNGraphicView::alignHorizontalCenters, QRectF(101.5, 134, 40, 20)},
      {&QLNGraphicView::alignVerticalCenters, QRectF(101.5, 67, 40, 20)},
  };
  for (const Case &c : cases) {
    (front.*c.command)(nullptr);
    EXPECT_EQ(a->bounds(), c.expected);
  }
  a->setBounds(QRectF(0, 0, 40, 20));
  front.alignformCenter();
  EXPECT_EQ(a->bounds(), QRectF(101.5, 67, 40, 20));
  EXPECT_EQ(host.undoRedoStates, 7);

  // A locked single object stays, and the command ends there.
  a->ctrl_is_locked = true;
  front.alignLeftEdges();
  front.alignformCenter();
  EXPECT_EQ(a->bounds(), QRectF(101.5, 67, 40, 20));
  EXPECT_EQ(host.undoRedoStates, 7);
}

TEST_F(CanvasCommandsTest, SeveralSelectedAlignToTheFirstWhichStaysAndLockedOnesStayToo) {
  auto first = box(QRectF(50, 40, 40, 20), kRed);      // index 0: the reference
  auto other = box(QRectF(120, 90, 20, 30), kGreen);
  auto locked = box(QRectF(10, 100, 10, 10), kBlue);
  auto unselected = box(QRectF(200, 5, 10, 10), kBlue);
  locked->ctrl_is_locked = true;
  document.insertGraphics({first, other, locked, unselected}, {0, 1, 2, 3});
  endTurn();
  front.changeSelectionIndexes({0, 1, 2});
  struct Case {
    void (QLNGraphicView::*command)(QObject *);
    QPointF otherOrigin;
  };
  const Case cases[] = {
      {&QLNGraphicView::alignLeftEdges, QPointF(50, 90)},
      {&QLNGraphicView::alignRightEdges, QPointF(70, 90)},           // 90 - 20
      {&QLNGraphicView::alignTopEdges, QPointF(70, 40)},
      {&QLNGraphicView::alignBottomEdges, QPointF(70, 30)},          // 60 - 30
      {&QLNGraphicView::alignHorizontalCenters, QPointF(60, 30)},    // 70 - 10
      {&QLNGraphicView::alignVerticalCenters, QPointF(60, 35)},      // 50 - 15
  };
  for (const Case &c : cases) {
    (front.*c.command)(nullptr);
    EXPECT_EQ(other->bounds(), QRectF(c.otherOrigin, QSizeF(20, 30)));
    EXPECT_EQ(first->bounds(), QRectF(50, 40, 40, 20));
    EXPECT_EQ(locked->bounds(), QRectF(10, 100, 10, 10));
    EXPECT_EQ(unselected->bounds(), QRectF(200, 5, 10, 10));
  }
  // Centring on the card puts every unlocked selected object in the middle.
  front.alignformCenter();
  EXPECT_EQ(first->bounds(), QRectF(101.5, 67, 40, 20));
  EXPECT_EQ(other->bounds(), QRectF(111.5, 62, 20, 30));
  EXPECT_EQ(locked->bounds(), QRectF(10, 100, 10, 10));

  // What one turn of the event loop aligned is one undo step.
  endTurn();
  front.undo();
  EXPECT_EQ(first->bounds(), QRectF(50, 40, 40, 20));
  EXPECT_EQ(other->bounds(), QRectF(120, 90, 20, 30));
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1}));
}

TEST_F(CanvasCommandsTest, AlignWithGridSnapsUnlockedObjectsAndAGridWithoutSpacingChangesNothing) {
  QLNGrid grid;
  grid.setSpacing(10.0);
  front.setGrid(&grid);
  auto a = box(QRectF(12, 17, 33, 28), kRed);
  auto locked = box(QRectF(12, 17, 33, 28), kGreen);
  locked->ctrl_is_locked = true;
  document.insertGraphics({a, locked}, {0, 1});
  front.changeSelectionIndexes({0, 1});
  EXPECT_TRUE(front.validateMenuItem(QLNGraphicView::MenuCommand::AlignWithGrid));
  front.alignWithGrid();
  EXPECT_EQ(a->bounds(), QRectF(10, 20, 40, 30));
  EXPECT_EQ(locked->bounds(), QRectF(12, 17, 33, 28));

  // A spacing of 0 (a damaged design, a careless script) cannot align: nothing turns
  // into not-a-number.
  a->setBounds(QRectF(12, 17, 33, 28));
  grid.setSpacing(0.0);
  EXPECT_FALSE(front.validateMenuItem(QLNGraphicView::MenuCommand::AlignWithGrid));
  front.alignWithGrid();
  EXPECT_EQ(a->bounds(), QRectF(12, 17, 33, 28));
  front.setGrid(nullptr);
}

// ---- Sizing ------------------------------------------------------------------------------------------

TEST_F(CanvasCommandsTest, SameWidthAndHeightFollowTheFirstAndSkipLockedObjects) {
  auto first = box(QRectF(10, 10, 60, 25), kRed);
  auto locked = box(QRectF(80, 10, 20, 40), kGreen);
  auto other = box(QRectF(120, 10, 30, 50), kBlue);
  locked->ctrl_is_locked = true;
  document.insertGraphics({first, locked, other}, {0, 1, 2});
  front.changeSelectionIndexes({0, 1, 2});
  front.makeSameWidth();
  EXPECT_EQ(other->bounds(), QRectF(120, 10, 60, 50));
  EXPECT_EQ(locked->bounds(), QRectF(80, 10, 20, 40));
  front.makeSameHeight();
  EXPECT_EQ(other->bounds(), QRectF(120, 10, 60, 25));
  EXPECT_EQ(locked->bounds(), QRectF(80, 10, 20, 40));
  EXPECT_EQ(first->bounds(), QRectF(10, 10, 60, 25));

  // One selected object: nothing to follow.
  front.changeSelectionIndexes({2});
  other->setBounds(QRectF(120, 10, 30, 50));
  front.makeSameWidth();
  EXPECT_EQ(other->bounds(), QRectF(120, 10, 30, 50));
  EXPECT_EQ(host.undoRedoStates, 3);
}

TEST_F(CanvasCommandsTest, NaturalSizeIsTheObjectsOwnRule) {
  auto shape = box(QRectF(10, 10, 60, 25), kRed);
  auto image = std::make_shared<QLNImage>();
  image->_contents = PointImage::fromPixels(QImage(QSize(30, 20), QImage::Format_ARGB32));
  image->_bounds = QRectF(100, 50, 90, 90);
  document.insertGraphics({shape, image}, {0, 1});
  front.changeSelectionIndexes({0, 1});
  EXPECT_TRUE(front.validateMenuItem(QLNGraphicView::MenuCommand::MakeNaturalSize));
  front.makeNaturalSize();
  EXPECT_EQ(shape->bounds(), QRectF(10, 10, 25, 25));
  EXPECT_EQ(image->bounds(), QRectF(100, 50, 30, 20));
  // Squares cannot be made any more natural.
  front.changeSelectionIndexes({0});
  EXPECT_FALSE(front.validateMenuItem(QLNGraphicView::MenuCommand::MakeNaturalSize));
}

// ---- Order -------------------------------------------------------------------------------------------

TEST_F(CanvasCommandsTest, SendToBackAndBringToFrontMoveTheSelectionAsABlock) {
  const QLNGraphicList list = five();
  front.changeSelectionIndexes({0, 2});
  front.sendToBack();
  EXPECT_EQ(document.graphics(), (QLNGraphicList{list[1], list[3], list[4], list[0], list[2]}));
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{3, 4}));

  front.changeSelectionIndexes({1, 4});
  front.bringToFront();
  EXPECT_EQ(document.graphics(), (QLNGraphicList{list[3], list[2], list[1], list[4], list[0]}));
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1}));

  // Nothing selected: nothing moves. Both moves were one undo step together.
  front.changeSelectionIndexes({});
  front.sendToBack();
  endTurn();
  front.undo();
  EXPECT_EQ(document.graphics(), list);
}

// ---- Print flag, selection and menus ---------------------------------------------------------------------

TEST_F(CanvasCommandsTest, PrintFlagSkipsLockedObjectsAndSelectAllSelectsEverything) {
  const QLNGraphicList list = five();
  list.at(1)->ctrl_is_locked = true;
  front.changeSelectionIndexes({0, 1, 2});
  front.print_contol_or_not(1);
  EXPECT_EQ(list.at(0)->print_object, 1);
  EXPECT_EQ(list.at(1)->print_object, 0);
  EXPECT_EQ(list.at(2)->print_object, 1);
  EXPECT_EQ(list.at(3)->print_object, 0);

  front.selectAll();
  EXPECT_EQ(front.selectionIndexes(), (QLNIndexSet{0, 1, 2, 3, 4}));
  front.deselectAll();
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
  front.changeSelectionIndexes({2});
  front.Clear_Control_Selection();
  EXPECT_TRUE(front.selectionIndexes().isEmpty());
}

TEST_F(CanvasCommandsTest, MenuItemsFollowTheSelectionAndTheRulerItemSaysWhatItWillDo) {
  using Command = QLNGraphicView::MenuCommand;
  five();
  for (Command c : {Command::Cut, Command::Copy, Command::Delete, Command::BringToFront, Command::AlignLeft,
                    Command::MakeSameWidth})
    EXPECT_FALSE(front.validateMenuItem(c));
  EXPECT_TRUE(front.validateMenuItem(Command::Paste));
  EXPECT_TRUE(front.validateMenuItem(Command::Undo)) << "inserting the five is a step";
  EXPECT_FALSE(front.validateMenuItem(Command::Redo));
  front.changeSelectionIndexes({1});
  EXPECT_TRUE(front.validateMenuItem(Command::Copy));
  EXPECT_TRUE(front.validateMenuItem(Command::SendToBack));
  EXPECT_FALSE(front.validateMenuItem(Command::AlignRight));
  EXPECT_FALSE(front.validateMenuItem(Command::MakeSameHeight));
  front.changeSelectionIndexes({1, 3});
  EXPECT_TRUE(front.validateMenuItem(Command::AlignVerticalCenters));
  EXPECT_TRUE(front.validateMenuItem(Command::MakeSameHeight));

  QWidget holder;
  auto *horizontal = new CanvasRuler(Qt::Horizontal, &holder);
  auto *vertical = new CanvasRuler(Qt::Vertical, &holder);
  front.setRulers(horizontal, vertical);
  holder.show();
  QAction item;
  EXPECT_TRUE(front.validateMenuItem(Command::ShowOrHideRulers, &item));
  EXPECT_EQ(item.text(), QStringLiteral("Hide Ruler"));
  front.showOrHideRulers();
  front.validateMenuItem(Command::ShowOrHideRulers, &item);
  EXPECT_EQ(item.text(), QStringLiteral("Show Ruler"));
  front.setRulers(nullptr, nullptr);
}

// ---- Profile fields ----------------------------------------------------------------------------------

TEST_F(CanvasCommandsTest, HidingProfileFieldsHidesTextsAndImagesWithAProfileIdAnywhere) {
  auto text = [](const QString &id) {
    auto object = std::make_shared<QLNText>();
    object->control_ID = id;
    object->ctrl_is_visible = true;
    object->_bounds = QRectF(1, 1, 10, 10);
    return object;
  };
  auto name = text(QStringLiteral("Fup_Name"));
  auto plain = text(QStringLiteral("Card_Title"));
  auto website = text(QStringLiteral("Fup_Website"));
  auto photo = std::make_shared<QLNImage>();
  photo->control_ID = QStringLiteral("Fup_Photo");
  photo->ctrl_is_visible = true;
  auto shape = box(QRectF(1, 1, 5, 5), kRed);
  shape->control_ID = QStringLiteral("Fup_Name");
  shape->ctrl_is_visible = true;
  document.insertGraphics({name, plain, shape, photo, website}, {0, 1, 2, 3, 4});
  front.Hide_all_Text_control_FUP_Control();
  EXPECT_FALSE(name->ctrl_is_visible);
  EXPECT_FALSE(website->ctrl_is_visible) << "the last index too";
  EXPECT_FALSE(photo->ctrl_is_visible);
  EXPECT_TRUE(plain->ctrl_is_visible);
  EXPECT_TRUE(shape->ctrl_is_visible) << "only texts and images carry profile fields";
}

// ---- The clipboard seen from another process ------------------------------------------------------------
//
// Two runs of this program as children on a virtual X server: one copies two objects
// and keeps the clipboard while the other reads it with the X11 clipboard.

namespace {

bool peerRole(const char *role) { return qgetenv("AMENDS_CLIPBOARD_PEER") == role; }

}  // namespace

TEST_F(CanvasCommandsTest, DISABLED_ClipboardPeerCopies) {
  if (!peerRole("copy"))
    GTEST_SKIP();
  auto a = box(QRectF(20, 20, 40, 30), kRed);
  auto b = box(QRectF(100, 60, 30, 20), kGreen);
  document.insertGraphics({a, b}, {0, 1});
  front.changeSelectionIndexes({0, 1});
  front.copy();
  const QString folder = qEnvironmentVariable("AMENDS_CLIPBOARD_DIR");
  QFile ready(folder + QStringLiteral("/copied"));
  ASSERT_TRUE(ready.open(QIODevice::WriteOnly));
  ready.close();
  // The owner of the X11 clipboard serves it while its event loop runs.
  spinUntil([&] { return QFile::exists(folder + QStringLiteral("/done")); }, 30000);
}

TEST_F(CanvasCommandsTest, DISABLED_ClipboardPeerReads) {
  if (!peerRole("read"))
    GTEST_SKIP();
  const QString folder = qEnvironmentVariable("AMENDS_CLIPBOARD_DIR");
  const QMimeData *contents = nullptr;
  ASSERT_TRUE(spinUntil([&] {
    contents = clipboard()->mimeData();
    return contents && contents->hasFormat(kPrivateType);
  }));
  for (const auto &[type, file] : {std::pair{kPrivateType, QStringLiteral("objects")},
                                   std::pair{QStringLiteral("application/pdf"), QStringLiteral("card.pdf")},
                                   std::pair{QStringLiteral("image/tiff"), QStringLiteral("objects.tiff")}}) {
    QFile out(folder + QLatin1Char('/') + file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(contents->data(type));
  }
}

TEST_F(CanvasCommandsTest, ClipboardCarriesOurObjectsAPdfAndAPictureToAnotherProcess) {
  if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
    GTEST_SKIP() << "no Xvfb";
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());

  // A virtual X server on a free display that it picks and reports.
  QProcess server;
  server.setProgram(QStringLiteral("Xvfb"));
  server.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("640x480x24"), QStringLiteral("-nolisten"),
                       QStringLiteral("tcp")});
  server.start();
  ASSERT_TRUE(server.waitForStarted());
  QByteArray display;
  ASSERT_TRUE(spinUntil([&] {
    server.waitForReadyRead(50);
    display += server.readAllStandardOutput();
    return display.contains('\n');
  }));
  display = ':' + display.trimmed();

  auto peer = [&](const char *role, const char *test) {
    auto *process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    environment.insert(QStringLiteral("AMENDS_CLIPBOARD_PEER"), QLatin1String(role));
    environment.insert(QStringLiteral("AMENDS_CLIPBOARD_DIR"), folder.path());
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--gtest_also_run_disabled_tests"),
                    QStringLiteral("--gtest_filter=CanvasCommandsTest.%1").arg(QLatin1String(test))});
    return process;
  };
  std::unique_ptr<QProcess> copier(peer("copy", "DISABLED_ClipboardPeerCopies"));
  ASSERT_TRUE(spinUntil([&] { return QFile::exists(folder.filePath(QStringLiteral("copied"))); }, 30000))
      << "the copying process did not get to copy";
  std::unique_ptr<QProcess> reader(peer("read", "DISABLED_ClipboardPeerReads"));
  const bool read = spinUntil([&] { return reader->state() == QProcess::NotRunning; }, 60000);
  QFile done(folder.filePath(QStringLiteral("done")));
  done.open(QIODevice::WriteOnly);
  done.close();
  spinUntil([&] { return copier->state() == QProcess::NotRunning; }, 30000);
  server.terminate();
  server.waitForFinished(5000);
  ASSERT_TRUE(read);
  ASSERT_EQ(reader->exitCode(), 0);
  ASSERT_EQ(copier->exitCode(), 0);

  auto bytes = [&](const QString &name) {
    QFile file(folder.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  QLNError error;
  const QLNGraphicList objects = QLNGraphic::graphicsWithPasteboardData(bytes(QStringLiteral("objects")), &error);
  EXPECT_EQ(boundsOf(objects), (QList<QRectF>{QRectF(20, 20, 40, 30), QRectF(100, 60, 30, 20)}));
  EXPECT_TRUE(bytes(QStringLiteral("card.pdf")).startsWith("%PDF"));
  QImage picture;
  ASSERT_TRUE(picture.loadFromData(bytes(QStringLiteral("objects.tiff")), "TIFF"));
  EXPECT_EQ(picture.size(), QLNGraphic::drawingBoundsOfGraphics(objects).size().toSize());
}
