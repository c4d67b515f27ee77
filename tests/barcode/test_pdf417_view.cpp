// The PDF417 view beyond its drawing: its keyed archive (read back by Python's
// plistlib, and hostile archives), the drag states and their log lines, a paste from a
// pasteboard, a text dropped on the view, the picture dragged out of it, and draw()
// with the text of its text field. Symbols are read back by ZXingReader.

#include "barcode/PDF417View.h"
#include "tests/common/decoder_support.h"
#include "tests/common/TestSupport.h"

#include <QBuffer>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Tests and helpers in a namespace of their own: the folder's test files are compiled
// together.
namespace pdf417_view_test {

// The view's state drawn as the widget showing it draws it, `scale` pixels a point, on
// a white margin of 20 pixels so that a reader finds the quiet zone.
QImage shownView(const pdf417View &view, int scale = 1, int margin = 0) {
  const QSize size = (view.bounds() * scale).toSize() + QSize(2 * margin, 2 * margin);
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.translate(margin, margin);
  painter.scale(scale, scale);
  view.drawRect(painter);
  return image;
}

// What ZXingReader reads in the view as it is shown.
QStringList readBack(const pdf417View &view) {
  const DecodeResult result = decodeWithZXing(shownView(view, 4, 20), QStringLiteral("PDF417"));
  EXPECT_TRUE(result.ran) << result.error.toStdString();
  return result.texts;
}

bool hasRedFrame(const QImage &image) {
  const QRgb red = qRgb(255, 0, 0);
  const int w = image.width() - 1, h = image.height() - 1;
  return image.pixel(0, h / 2) == red && image.pixel(w, h / 2) == red && image.pixel(w / 2, 0) == red &&
         image.pixel(w / 2, h) == red;
}

QImage opaque(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }

// Reads an archive with plistlib: the root object's class chain and its keys with the
// values, references resolved (a picture as its class name).
const char *const PlistlibRoot = R"PY(
import sys, plistlib, json
a = plistlib.loads(sys.stdin.buffer.read())
objs = a['$objects']
root = objs[a['$top']['root'].data]
def res(v):
    if isinstance(v, plistlib.UID):
        o = objs[v.data]
        if o == '$null':
            return None
        if isinstance(o, dict) and '$class' in o:
            return objs[o['$class'].data]['$classname']
        return o
    return v
print(json.dumps({'archiver': a['$archiver'],
                  'classes': objs[root['$class'].data]['$classes'],
                  'values': {k: res(v) for k, v in root.items() if k != '$class'}}))
)PY";

// An archive written by hand under the view's class name: whatever `write` puts in it.
class HandWritten : public KeyedArchivable {
public:
  explicit HandWritten(std::function<void(KeyedArchiver &)> write, QString name = pdf417View::ArchiveClassName)
      : m_write(std::move(write)), m_name(std::move(name)) {}
  QString archiveClassName() const override { return m_name; }
  void encodeWithCoder(KeyedArchiver &coder) const override { m_write(coder); }

private:
  std::function<void(KeyedArchiver &)> m_write;
  QString m_name;
};

QByteArray handWritten(std::function<void(KeyedArchiver &)> write, QString name = pdf417View::ArchiveClassName) {
  QString error;
  const QByteArray bytes = KeyedArchiver::archiveRootObject(HandWritten(std::move(write), std::move(name)), &error);
  EXPECT_FALSE(bytes.isEmpty()) << error.toStdString();
  return bytes;
}

QMimeData *textMime(const QString &text) {
  auto *mime = new QMimeData;
  mime->setText(text);
  return mime;
}


TEST(PDF417View, TheArchiveKeepsSettingsStatesAndPictureAndPlistlibReadsIt) {
  pdf417View view(QSizeF(180, 60));
  view.setErrorLevel(5);
  view.setColumns(4);
  view.setRows(0);
  view.setResolution(300);
  view.toggleTargetState();
  view.toggleSourceState();
  const QString value = QStringLiteral("Archived apology #7");
  ASSERT_EQ(view.drawWithText(value), pdf417View::ImageReady);

  QString error;
  const QByteArray bytes = view.archivedData(&error);
  ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();

  ScopedLogCapture log;
  const std::unique_ptr<pdf417View> back = pdf417View::fromArchivedData(bytes, &error);
  ASSERT_TRUE(back) << error.toStdString();
  EXPECT_EQ(log.lines(), QStringList{QStringLiteral("unarchiving pdf417View")});
  EXPECT_EQ(back->bounds(), QSizeF(180, 60));
  EXPECT_EQ(back->getErrorLevel(), 5);
  EXPECT_EQ(back->columns(), 4);
  EXPECT_EQ(back->rows(), 0);
  EXPECT_EQ(back->resolution(), 300.0);
  EXPECT_TRUE(back->getTargetState());
  EXPECT_TRUE(back->getSourceState());
  EXPECT_FALSE(back->dragSessionInProgress());
  EXPECT_EQ(back->imageState(), pdf417View::ImageReady);
  ASSERT_FALSE(back->getImage().isNull());
  EXPECT_EQ(back->getImage().points, view.getImage().points);
  EXPECT_EQ(opaque(back->getImage().pixels), opaque(view.getImage().pixels));
  // The restored view shows the archived symbol, and draws a new one with its settings.
  EXPECT_EQ(readBack(*back), QStringList{value});
  ASSERT_EQ(back->drawWithText(QStringLiteral("again")), pdf417View::ImageReady);
  EXPECT_EQ(back->parameters().codeColumns, 4);
  EXPECT_GE(back->parameters().errorLevel, 5);

  const QJsonObject root = QJsonDocument::fromJson(runPython(QString::fromLatin1(PlistlibRoot), {}, bytes)).object();
  EXPECT_EQ(root.value("archiver").toString(), QStringLiteral("NSKeyedArchiver"));
  EXPECT_EQ(root.value("classes").toArray(),
            (QJsonArray{QStringLiteral("pdf417View"), QStringLiteral("NSView"), QStringLiteral("NSResponder"),
                        QStringLiteral("NSObject")}));
  const QJsonObject values = root.value("values").toObject();
  EXPECT_EQ(values.value("errorLevel").toInt(), 5);
  EXPECT_EQ(values.value("isDragTarget").toBool(false), true);
  EXPECT_EQ(values.value("isDragSource").toBool(false), true);
  EXPECT_EQ(values.value("imageState").toInt(-1), 0);
  EXPECT_EQ(values.value("pdf417Image").toString(), QStringLiteral("NSImage"));
  EXPECT_EQ(values.value("NSFrameSize").toString(), QStringLiteral("{180, 60}"));

  // A view that never drew keeps no picture and shows nothing after the round trip.
  const pdf417View fresh(QSizeF(50, 20));
  const std::unique_ptr<pdf417View> freshBack = pdf417View::fromArchivedData(fresh.archivedData(), &error);
  ASSERT_TRUE(freshBack) << error.toStdString();
  EXPECT_EQ(freshBack->getErrorLevel(), 2);
  EXPECT_FALSE(freshBack->getTargetState());
  EXPECT_FALSE(freshBack->getSourceState());
  EXPECT_EQ(freshBack->imageState(), pdf417View::NothingToShow);
  EXPECT_TRUE(freshBack->getImage().isNull());
}

TEST(PDF417View, HostileArchivesGiveUsableViewsOrAnErrorNeverACrash) {
  QString error;
  // Every value out of its range or of another kind, and a ready state without a picture.
  const QByteArray odd = handWritten([](KeyedArchiver &c) {
    c.encodeString(QStringLiteral("NSFrameSize"), QStringLiteral("{1e300, -5}"));
    c.encodeInt32(QStringLiteral("errorLevel"), 99);
    c.encodeString(QStringLiteral("isDragTarget"), QStringLiteral("YES"));
    c.encodeInt32(QStringLiteral("imageState"), 0);
    c.encodeInt32(QStringLiteral("codeColumns"), 999);
    c.encodeInt32(QStringLiteral("codeRows"), -4);
    c.encodeDouble(QStringLiteral("resolution"), std::numeric_limits<double>::quiet_NaN());
  });
  std::unique_ptr<pdf417View> view = pdf417View::fromArchivedData(odd, &error);
  ASSERT_TRUE(view) << error.toStdString();
  EXPECT_EQ(view->bounds().width(), KeyedArchiveLimits::maxImagePoints);
  EXPECT_EQ(view->bounds().height(), 0.0);
  EXPECT_EQ(view->getErrorLevel(), 8);
  EXPECT_FALSE(view->getTargetState());
  EXPECT_EQ(view->imageState(), pdf417View::NothingToShow);
  EXPECT_EQ(view->columns(), 30);
  EXPECT_EQ(view->rows(), 0);
  EXPECT_EQ(view->resolution(), 600.0);

  // An empty object: the new view's defaults; an unknown image state shows nothing.
  view = pdf417View::fromArchivedData(
      handWritten([](KeyedArchiver &c) { c.encodeInt32(QStringLiteral("imageState"), 7); }), &error);
  ASSERT_TRUE(view) << error.toStdString();
  EXPECT_EQ(view->getErrorLevel(), 2);
  EXPECT_EQ(view->imageState(), pdf417View::NothingToShow);
  EXPECT_EQ(view->resolution(), 600.0);
  view->setFrameSize(QSizeF(120, 40));
  EXPECT_EQ(view->drawWithText(QStringLiteral("usable")), pdf417View::ImageReady);

  // Another class at the root, a picture that does not decode, and cut archives.
  error.clear();
  EXPECT_FALSE(pdf417View::fromArchivedData(handWritten([](KeyedArchiver &) {}, QStringLiteral("NSButton")), &error));
  EXPECT_FALSE(error.isEmpty());
  const pdf417View good(QSizeF(60, 30));
  const QByteArray bytes = good.archivedData();
  for (int length : {0, 8, int(bytes.size() / 2), int(bytes.size() - 1)}) {
    error.clear();
    EXPECT_FALSE(pdf417View::fromArchivedData(bytes.left(length), &error)) << length;
    EXPECT_FALSE(error.isEmpty()) << length;
  }
}

TEST(PDF417View, TogglesSettersAndTheEpsTextAreLogged) {
  pdf417View view(QSizeF(120, 40));
  EXPECT_FALSE(view.getTargetState());
  EXPECT_FALSE(view.getSourceState());
  EXPECT_EQ(view.draggingSourceOperationMaskForLocal(false), Qt::IgnoreAction);
  ScopedLogCapture log;
  view.toggleTargetState();
  view.toggleSourceState();
  EXPECT_TRUE(view.getTargetState());
  EXPECT_TRUE(view.getSourceState());
  EXPECT_EQ(view.draggingSourceOperationMaskForLocal(true), Qt::CopyAction);
  view.toggleTargetState();
  view.toggleSourceState();
  EXPECT_FALSE(view.getTargetState());
  EXPECT_FALSE(view.getSourceState());
  view.setErrorLevel(7);
  EXPECT_EQ(view.getErrorLevel(), 7);
  EXPECT_EQ(log.lines(), (QStringList{QStringLiteral("TargetState set to 1"), QStringLiteral("SourceState set to 1"),
                                      QStringLiteral("TargetState set to 0"), QStringLiteral("SourceState set to 0"),
                                      QStringLiteral("ErrorLevel set to 7")}));

  // The EPS text goes to the log whole, as it is returned.
  EXPECT_TRUE(view.makeEPS().isEmpty());
  EXPECT_EQ(log.lines().size(), 5);
  ASSERT_EQ(view.drawWithText(QStringLiteral("EPS")), pdf417View::ImageReady);
  const QByteArray eps = view.makeEPS();
  ASSERT_FALSE(eps.isEmpty());
  EXPECT_EQ(log.lines().size(), 6);
  EXPECT_EQ(log.lines().last(), QString::fromLatin1(eps));
}

TEST(PDF417View, PastingTakesPlainTextAndRefusesEverythingElseWithTheAlert) {
  ScopedScriptedUi ui;
  pdf417View view(QSizeF(200, 70));
  view.setResolution(300);
  const std::unique_ptr<QMimeData> text(textMime(QStringLiteral("Pasted: we are sorry")));
  EXPECT_TRUE(view._canTakeValueFromPasteboard(text.get()));
  EXPECT_TRUE(view._takeValueFromPasteboard(text.get(), QStringLiteral("paste")));
  EXPECT_EQ(view.imageState(), pdf417View::ImageReady);
  EXPECT_EQ(readBack(view), QStringList{QStringLiteral("Pasted: we are sorry")});
  const QImage before = view.getImage().pixels;

  // A picture, a file address (which Qt also calls text) and nothing at all are refused
  // with the alert naming the operation; the view keeps its symbol.
  QMimeData picture;
  picture.setImageData(QImage(4, 4, QImage::Format_RGB32));
  QMimeData address;
  address.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/sorry.txt"))});
  ASSERT_TRUE(address.hasText());
  int alerts = 0;
  for (const QMimeData *refused : std::initializer_list<const QMimeData *>{&picture, &address, nullptr}) {
    EXPECT_FALSE(view._canTakeValueFromPasteboard(refused));
    ui.expectAlert();
    EXPECT_FALSE(view._takeValueFromPasteboard(refused, QStringLiteral("paste")));
    ++alerts;
  }
  const std::vector<ScriptedUi::Request> requests = ui.requests();
  ASSERT_EQ(int(requests.size()), alerts);
  for (const ScriptedUi::Request &r : requests) {
    EXPECT_EQ(r.kind, ScriptedUi::Kind::Alert);
    EXPECT_EQ(r.text, QStringLiteral("Paste"));
    EXPECT_EQ(r.detail, QStringLiteral("Unable to perform paste operation."));
  }
  EXPECT_EQ(view.imageState(), pdf417View::ImageReady);
  EXPECT_EQ(view.getImage().pixels, before);

  // A text too long for a symbol is taken but not drawn: the encoder's error, no alert.
  ScopedLogCapture log;
  const std::unique_ptr<QMimeData> huge(textMime(QString(5421, QLatin1Char('A'))));
  EXPECT_FALSE(view._takeValueFromPasteboard(huge.get(), QStringLiteral("paste")));
  EXPECT_EQ(view.imageState(), pdf417View::EncodingFailed);
  EXPECT_TRUE(log.lines().contains(QStringLiteral("Error encountered while drawing barcode, error 1.")));
  EXPECT_EQ(int(ui.requests().size()), alerts);
}

TEST(PDF417View, ATextDroppedOnADragTargetIsDrawnWithTheFrameShownMeanwhile) {
  ScopedScriptedUi ui;
  pdf417View view(QSizeF(200, 70));
  view.setResolution(300);
  const std::unique_ptr<QMimeData> text(textMime(QStringLiteral("Dropped apology")));
  const QPoint at(30, 20);

  // Off at creation: the drag is refused and no frame is drawn.
  QDragEnterEvent refused(at, Qt::CopyAction | Qt::MoveAction, text.get(), Qt::LeftButton, Qt::NoModifier);
  refused.accept();
  EXPECT_EQ(view.draggingEntered(&refused), Qt::IgnoreAction);
  EXPECT_FALSE(refused.isAccepted());
  EXPECT_FALSE(view.dragSessionInProgress());
  EXPECT_FALSE(hasRedFrame(shownView(view)));

  view.toggleTargetState();
  // A drag that holds no text is refused as well.
  QMimeData picture;
  picture.setImageData(QImage(4, 4, QImage::Format_RGB32));
  QDragEnterEvent noText(at, Qt::CopyAction, &picture, Qt::LeftButton, Qt::NoModifier);
  EXPECT_EQ(view.draggingEntered(&noText), Qt::IgnoreAction);
  EXPECT_FALSE(view.dragSessionInProgress());

  // A text comes over the view, leaves, comes again and is dropped.
  QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, text.get(), Qt::LeftButton, Qt::NoModifier);
  EXPECT_EQ(view.draggingEntered(&enter), Qt::CopyAction);
  EXPECT_TRUE(enter.isAccepted());
  EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
  EXPECT_TRUE(hasRedFrame(shownView(view)));
  QDragLeaveEvent leave;
  view.draggingExited(&leave);
  EXPECT_FALSE(hasRedFrame(shownView(view)));
  EXPECT_EQ(view.draggingEntered(&enter), Qt::CopyAction);
  QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, text.get(), Qt::LeftButton, Qt::NoModifier);
  EXPECT_TRUE(view.prepareForDragOperation(&drop));
  EXPECT_TRUE(view.performDragOperation(&drop));
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
  view.concludeDragOperation(&drop);
  EXPECT_FALSE(view.dragSessionInProgress());
  EXPECT_FALSE(hasRedFrame(shownView(view)));
  EXPECT_EQ(readBack(view), QStringList{QStringLiteral("Dropped apology")});

  // A source that only moves gets no operation; a drop without text gets the alert.
  QDragEnterEvent moveOnly(at, Qt::MoveAction, text.get(), Qt::LeftButton, Qt::NoModifier);
  EXPECT_EQ(view.draggingEntered(&moveOnly), Qt::IgnoreAction);
  EXPECT_FALSE(moveOnly.isAccepted());
  view.draggingExited(&leave);
  QDropEvent badDrop(QPointF(at), Qt::CopyAction, &picture, Qt::LeftButton, Qt::NoModifier);
  ui.expectAlert();
  EXPECT_FALSE(view.performDragOperation(&badDrop));
  EXPECT_FALSE(badDrop.isAccepted());
  ASSERT_EQ(ui.requests().size(), 1u);
  EXPECT_EQ(ui.requests()[0].text, QStringLiteral("Paste"));
  EXPECT_EQ(ui.requests()[0].detail, QStringLiteral("Unable to perform drop operation."));
}

TEST(PDF417View, ThePictureIsDraggedOutAsTiffOnlyWhenTheViewIsADragSource) {
  pdf417View view(QSizeF(150, 50));
  view.setResolution(288);  // 4 pixels a point
  ASSERT_EQ(view.drawWithText(QStringLiteral("Drag me out")), pdf417View::ImageReady);
  QObject source;
  std::vector<std::unique_ptr<QMimeData>> seen;
  std::vector<QPoint> hotSpots;
  std::vector<QSizeF> pixmapSizes;
  std::vector<QObject *> sources;
  view.setDragRunner([&](QDrag &drag) {
    auto *copy = new QMimeData;
    for (const QString &format : drag.mimeData()->formats())
      copy->setData(format, drag.mimeData()->data(format));
    seen.emplace_back(copy);
    hotSpots.push_back(drag.hotSpot());
    pixmapSizes.push_back(drag.pixmap().deviceIndependentSize());
    sources.push_back(drag.source());
    return Qt::CopyAction;
  });
  const QPointF at(40, 12);
  const auto press = [&](Qt::KeyboardModifiers modifiers) {
    return QMouseEvent(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, modifiers);
  };

  // Not a source at creation: the press is taken and nothing is dragged.
  QMouseEvent plain = press(Qt::NoModifier);
  EXPECT_TRUE(view.mouseDown(&plain, &source));
  EXPECT_TRUE(seen.empty());

  view.toggleSourceState();
  // With Alt held the press is left to the widget.
  QMouseEvent withAlt = press(Qt::AltModifier);
  EXPECT_FALSE(view.mouseDown(&withAlt, &source));
  EXPECT_FALSE(withAlt.isAccepted());
  EXPECT_TRUE(seen.empty());

  QMouseEvent drag = press(Qt::NoModifier);
  EXPECT_TRUE(view.mouseDown(&drag, &source));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0]->formats(), QStringList{QStringLiteral("image/tiff")});
  QByteArray tiff = seen[0]->data(QStringLiteral("image/tiff"));
  QBuffer buffer(&tiff);
  QImageReader reader(&buffer, "tiff");
  const QImage dragged = reader.read();
  ASSERT_FALSE(dragged.isNull()) << reader.errorString().toStdString();
  EXPECT_EQ(opaque(dragged), opaque(view.getImage().pixels));
  // Its resolution gives the view's size in points.
  EXPECT_NEAR(dragged.width() / (dragged.dotsPerMeterX() * 0.0254) * 72.0, 150.0, 0.1);
  EXPECT_EQ(pixmapSizes[0], QSizeF(150, 50));
  EXPECT_EQ(hotSpots[0], at.toPoint());
  EXPECT_EQ(sources[0], &source);

  // A source without a picture drags nothing.
  pdf417View empty(QSizeF(150, 50));
  empty.toggleSourceState();
  empty.setDragRunner([&](QDrag &) {
    ADD_FAILURE() << "a view without a picture started a drag";
    return Qt::IgnoreAction;
  });
  QMouseEvent onEmpty = press(Qt::NoModifier);
  EXPECT_TRUE(empty.mouseDown(&onEmpty, &source));
}

TEST(PDF417View, DrawEncodesTheTextOfItsTextField) {
  pdf417View view(QSizeF(220, 80));
  view.setResolution(300);
  ScopedLogCapture log;
  const QString refusal = QStringLiteral("ERROR! inString must respond to -(NSString*)string method");
  // No field, and an object without a text: logged, nothing drawn.
  view.draw();
  QObject textless;
  view.setInString(&textless);
  view.draw();
  EXPECT_EQ(log.lines(), (QStringList{refusal, refusal}));
  EXPECT_EQ(view.imageState(), pdf417View::NothingToShow);

  QPlainTextEdit message;
  message.setPlainText(QStringLiteral("Sorry for the mix-up,\nsee you Friday"));
  view.setInString(&message);
  view.draw(&message);
  ASSERT_EQ(view.imageState(), pdf417View::ImageReady);
  EXPECT_EQ(readBack(view), QStringList{QStringLiteral("Sorry for the mix-up,\nsee you Friday")});

  {
    QLineEdit field(QStringLiteral("One line apology"));
    view.setInString(&field);
    view.draw();
    EXPECT_EQ(readBack(view), QStringList{QStringLiteral("One line apology")});
  }
  // The field went away: the view no longer reaches it.
  EXPECT_EQ(view.inString(), nullptr);
  view.draw();
  EXPECT_EQ(log.lines().count(refusal), 3);
  EXPECT_EQ(view.imageState(), pdf417View::ImageReady);
}

}  // namespace pdf417_view_test
