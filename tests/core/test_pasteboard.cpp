// Pasteboard data of card objects: a binary property list array of card object
// archives, read back strictly.

#include "tests/common/TestSupport.h"
#include "tests/core/test_card_object_helpers.h"

#include "core/QLNError.h"
#include "platform/Images.h"
#include "platform/PropertyList.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace cardtest;

TEST(Pasteboard, NoObjectsGiveAnEmptyBinaryArrayThatReadsBackWithoutError) {
  const QByteArray data = QLNGraphic::pasteboardDataWithGraphics({});
  EXPECT_TRUE(data.startsWith("bplist00"));
  std::optional<PlistValue> list = parsePropertyList(data);
  ASSERT_TRUE(list);
  EXPECT_TRUE(list->isArray());
  EXPECT_EQ(list->size(), 0);

  QLNError error;
  EXPECT_TRUE(QLNGraphic::graphicsWithPasteboardData(data, &error).isEmpty());
  EXPECT_EQ(error.code, 0);  // untouched: no error
}

TEST(Pasteboard, ObjectsComeBackInOrderWithTheirKinds) {
  auto text = std::make_shared<QLNText>();
  text->Text_Value = QStringLiteral("We are sorry");
  auto line = std::make_shared<QLNLine>();
  line->setBeginPoint(QPointF(0, 50));
  line->setEndPoint(QPointF(80, 10));
  auto barcode = std::make_shared<QLNBarcode>();
  barcode->Set_Barcode_image(PointImage{smallPicture(), QSizeF(4, 3)});
  const QByteArray data = QLNGraphic::pasteboardDataWithGraphics({text, line, barcode});

  // What a reader of the published format finds: an array of three data blocks.
  const QByteArray out = runPython(
      "import sys, plistlib; a = plistlib.loads(sys.stdin.buffer.read()); "
      "print(type(a).__name__, len(a), all(isinstance(x, bytes) for x in a))",
      {}, data);
  EXPECT_EQ(out.trimmed(), "list 3 True");

  QLNError error;
  const QLNGraphicList back = QLNGraphic::graphicsWithPasteboardData(data, &error);
  ASSERT_EQ(back.size(), 3);
  EXPECT_EQ(back[0]->className(), "QLNText");
  EXPECT_EQ(back[0]->Text_Value, "We are sorry");
  auto lineBack = std::dynamic_pointer_cast<QLNLine>(back[1]);
  ASSERT_TRUE(lineBack);
  EXPECT_EQ(lineBack->beginPoint(), QPointF(0, 50));  // a pasted line keeps its direction
  EXPECT_EQ(lineBack->endPoint(), QPointF(80, 10));
  EXPECT_EQ(comparable(back[2]->_barcode_image.pixels), comparable(smallPicture()));
}

TEST(Pasteboard, DataThatIsNotAnArrayGivesErrorCodeTwoAndNoObjects) {
  PlistValue dict = PlistValue::dict();
  dict.insert(QStringLiteral("graphics"), PlistValue::array());
  for (const QByteArray &data : {toBinaryPropertyList(dict), toXmlPropertyList(PlistValue(QStringLiteral("x"))),
                                 QByteArray("not a property list"), QByteArray()}) {
    QLNError error;
    EXPECT_TRUE(QLNGraphic::graphicsWithPasteboardData(data, &error).isEmpty());
    EXPECT_EQ(error.domain, "QuellinErrorDomain");
    EXPECT_EQ(error.code, 2);
    EXPECT_EQ(error.localizedDescription,
              "Quellin could not complete the operation because an unknown error occurred.");
    // The error slot is optional.
    EXPECT_TRUE(QLNGraphic::graphicsWithPasteboardData(data).isEmpty());
  }
}

TEST(Pasteboard, ElementsThatDoNotDecodeAreSkipped) {
  auto shape = std::make_shared<Shape_Control>();
  shape->_shape_type = QStringLiteral("S");
  const QList<QByteArray> blocks = QLNGraphic::propertiesWithGraphics({shape, std::make_shared<QLNText>()});
  ASSERT_EQ(blocks.size(), 2);
  PlistValue array = PlistValue::array();
  array.append(PlistValue(QByteArray("garbage")));
  array.append(PlistValue(blocks[0]));
  array.append(PlistValue(QStringLiteral("a string, not data")));
  array.append(PlistValue(blocks[0].left(blocks[0].size() / 2)));
  array.append(PlistValue(blocks[1]));
  QLNError error;
  const QLNGraphicList back = QLNGraphic::graphicsWithPasteboardData(toBinaryPropertyList(array), &error);
  EXPECT_EQ(error.code, 0);
  ASSERT_EQ(back.size(), 2);
  EXPECT_EQ(back[0]->_shape_type, "S");
  EXPECT_EQ(back[1]->className(), "QLNText");
}

TEST(Pasteboard, ImageObjectsGetTheirPictureWhenTheFileExists) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("photo.png"));
  QImage pixels(20, 10, QImage::Format_ARGB32);
  pixels.fill(QColor(200, 10, 10));
  ASSERT_TRUE(writePng(path, pixels, 144.0));

  auto present = std::make_shared<QLNImage>();
  present->Set_Control_File_path(path);
  auto missing = std::make_shared<QLNImage>();
  missing->Set_Control_File_path(folder.filePath(QStringLiteral("gone.png")));
  auto signature = std::make_shared<QLNSignature>();
  signature->Set_Control_File_path(path);

  ScopedLogCapture log;
  const QLNGraphicList back =
      QLNGraphic::graphicsWithProperties(QLNGraphic::propertiesWithGraphics({present, missing, signature}));
  ASSERT_EQ(back.size(), 3);
  auto presentBack = std::static_pointer_cast<QLNImage>(back[0]);
  EXPECT_FALSE(presentBack->_contents.isNull());
  EXPECT_EQ(presentBack->_contents.points, QSizeF(10, 5));  // 144 dpi: half the pixels
  EXPECT_TRUE(std::static_pointer_cast<QLNImage>(back[1])->_contents.isNull());
  EXPECT_TRUE(std::static_pointer_cast<QLNSignature>(back[2])->_contents_img.isNull());  // not touched
  EXPECT_TRUE(log.lines().contains(path));
}

// Mutated pasteboard data never crashes the reader.
TEST(Pasteboard, MutatedPasteboardDataGivesErrorsNotCrashes) {
  QLNGraphicList graphics;
  for (const QString &kind : {QStringLiteral("QLNText"), QStringLiteral("QLNLine"), QStringLiteral("QLNBarcode")}) {
    QLNGraphicPtr g = makeKind(kind);
    fillEveryField(*g);
    graphics.append(g);
  }
  const QByteArray seed = QLNGraphic::pasteboardDataWithGraphics(graphics);
  const QtMessageHandler previousHandler =
      qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
  QRandomGenerator random(77);
  QElapsedTimer timer;
  timer.start();
  int cases = 0;
  for (; cases < damageRounds(2000) && timer.elapsed() < 60000; ++cases) {
    QByteArray data = seed;
    if (random.bounded(3) == 0) {
      data.truncate(random.bounded(int(data.size())));
    } else {
      for (int n = random.bounded(1, 8); n > 0; --n)
        data[random.bounded(int(data.size()))] = char(random.bounded(256));
    }
    QLNError error;
    const QLNGraphicList back = QLNGraphic::graphicsWithPasteboardData(data, &error);
    EXPECT_LE(back.size(), graphics.size());
    if (error.code != 0) {
      EXPECT_TRUE(back.isEmpty());
    }
  }
  qInstallMessageHandler(previousHandler);
  EXPECT_GE(cases, 500);
}
