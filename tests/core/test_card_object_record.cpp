// The card object record: creation defaults, the colour getters, copy, the text
// storage, observation by key, the legacy property dictionary, the scripting accessors
// and the framework's error objects.

#include "tests/common/TestSupport.h"
#include "tests/core/test_card_object_helpers.h"

#include "core/Globals.h"
#include "core/QLNDocument.h"
#include "core/QLNError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <QStringList>

using namespace cardtest;

namespace {

// Records every notification an object sends, as "key" entries.
class Recorder : public KeyValueObserver {
public:
  struct Entry {
    QString key;
    QVariant oldValue, newValue;
  };
  std::vector<Entry> entries;

  void observeValueForKeyPath(const QString &keyPath, KeyValueObservable *, const KeyValueChange &change,
                              const void *) override {
    entries.push_back({keyPath, change.oldValue, change.newValue});
  }
  QStringList keys() const {
    QStringList k;
    for (const Entry &e : entries)
      k << e.key;
    return k;
  }
  void watch(QLNGraphic &g, const QStringList &keys) {
    for (const QString &key : keys)
      g.addObserver(this, key);
  }
};

const QStringList WatchedKeys = {"drawingFill", "fillColor", "drawingStroke", "strokeColor", "strokeWidth",
                                  "bounds", "xPosition", "yPosition", "width", "height",
                                  "drawingBounds", "drawingContents"};

}  // namespace

TEST(CardObjectRecord, ANewObjectHoldsTheCreationDefaults) {
  const QString saved = Resource_Path;
  Resource_Path = QStringLiteral("/res");
  Shape_Control g;
  Resource_Path = saved;
  EXPECT_TRUE(g._isDrawingFill);
  EXPECT_EQ(g._fillColor, QColor(Qt::white));
  EXPECT_TRUE(g._isDrawingStroke);
  EXPECT_EQ(g._strokeColor, QColor(Qt::black));
  EXPECT_EQ(g._strokeWidth, 1.0);
  EXPECT_EQ(g._stroke_border_type, "S");
  EXPECT_EQ(g._fill_type, "S");
  EXPECT_EQ(g._shape_type, "R");
  EXPECT_EQ(g.cor_rad_val_val, 10.0f);
  EXPECT_TRUE(g.ctrl_is_visible);
  EXPECT_FALSE(g.ctrl_is_locked);
  EXPECT_EQ(g.print_object, 0);
  EXPECT_EQ(g.data_source_type, 0);
  EXPECT_EQ(g.linear_font_val, "0123");
  EXPECT_EQ(g.two_d_font_val, "0123");
  EXPECT_EQ(g.header_val, "HEADER");
  EXPECT_EQ(g.footer_val, "FOOTER");
  EXPECT_EQ(g._file_path, "/res/no.png");
  EXPECT_EQ(g.text_ctrl_font, FontSpec(QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0));
  EXPECT_EQ(g.txt_clr, QColor(Qt::black));
  EXPECT_EQ(g.value_font_val, FontSpec(QStringLiteral("Times New Roman"), 10.0));
  EXPECT_EQ(g.Text_Value, "Text here");
  EXPECT_FALSE(g._Text_contents);
  EXPECT_TRUE(g._barcode_image.isNull());
  EXPECT_EQ(g.double_star_type, 1);
  EXPECT_EQ(g.polygon_type, 1);
  EXPECT_EQ(g._scriptingContainer, nullptr);
}

TEST(CardObjectRecord, ColourGettersApplyTheOpacityAndKeepIt) {
  Shape_Control g;
  // 100.0, the creation default, acts as fully opaque.
  EXPECT_EQ(g.fillColor(), QColor(Qt::white));
  EXPECT_EQ(g.strokeColor(), QColor(Qt::black));

  g.alpha_val = 0.5f;
  const QColor half = g.fillColor();
  EXPECT_EQ(half.rgb(), QColor(Qt::white).rgb());
  EXPECT_NEAR(half.alphaF(), 0.5, 1e-4);
  EXPECT_NEAR(g._fillColor.alphaF(), 0.5, 1e-4);  // stored back
  EXPECT_NEAR(g.fill_Grad_clr1().alphaF(), 0.5, 1e-4);
  EXPECT_NEAR(g.fill_Grad_clr2().alphaF(), 0.5, 1e-4);
  EXPECT_NEAR(g.fill_hatch_bk_clr().alphaF(), 0.5, 1e-4);
  EXPECT_EQ(g.strokeColor().alphaF(), 1.0f);  // the border has its own opacity

  g.alpha_val_stroke = -3.0f;
  EXPECT_EQ(g.strokeColor().alpha(), 0);

  // What the getter stored is what the archive records.
  auto back = unarchiveGraphic(archiveGraphic(g));
  ASSERT_TRUE(back);
  EXPECT_NEAR(back->_fillColor.alphaF(), 0.5, 1e-4);
  EXPECT_EQ(back->_strokeColor.alpha(), 0);

  g._fill_Grad_clr1 = QColor();
  EXPECT_FALSE(g.fill_Grad_clr1().isValid());  // an absent colour stays absent
}

TEST(CardObjectRecord, CopyCarriesFillBorderAndBoundsOnly) {
  for (const QString &kind : {QStringLiteral("QLNText"), QStringLiteral("QLNBarcode"),
                              QStringLiteral("Shape_Control"), QStringLiteral("QLNSignature")}) {
    SCOPED_TRACE(kind.toStdString());
    QLNGraphicPtr source = makeKind(kind);
    fillEveryField(*source);
    QLNGraphicPtr copy = source->copyWithZone();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy, source);
    EXPECT_EQ(copy->className(), kind);
    EXPECT_EQ(copy->_bounds, source->_bounds);
    EXPECT_EQ(copy->_isDrawingFill, source->_isDrawingFill);
    EXPECT_EQ(copy->_fillColor, source->_fillColor);
    EXPECT_EQ(copy->_strokeColor, source->_strokeColor);
    EXPECT_EQ(copy->_strokeWidth, source->_strokeWidth);
    EXPECT_EQ(copy->_stroke_border_type, "DDD");
    EXPECT_EQ(copy->_fill_type, "G");
    EXPECT_EQ(copy->_fill_Grad_clr2, source->_fill_Grad_clr2);
    EXPECT_EQ(copy->_fill_grad_angle, source->_fill_grad_angle);
    EXPECT_EQ(copy->_fill_htch_clr, source->_fill_htch_clr);
    EXPECT_EQ(copy->_fill_hatch_type, "pattern_7");
    // Everything else at the creation defaults.
    EXPECT_EQ(copy->Text_Value, "Text here");
    EXPECT_FALSE(copy->_Text_contents);
    EXPECT_EQ(copy->header_val, "HEADER");
    EXPECT_EQ(copy->qr_size_val, 60);
    EXPECT_TRUE(copy->_barcode_image.isNull());
    EXPECT_FALSE(copy->ctrl_is_locked);
    EXPECT_TRUE(copy->ctrl_is_visible);
    EXPECT_EQ(copy->alpha_val, 100.0f);
    EXPECT_EQ(copy->control_ID, "");
  }
  // Images keep their own picture, lines their direction.
  auto image = std::make_shared<QLNImage>();
  image->_contents = PointImage{smallPicture(), QSizeF(4, 3)};
  auto imageCopy = std::static_pointer_cast<QLNImage>(image->copyWithZone());
  EXPECT_EQ(imageCopy->_contents.pixels, image->_contents.pixels);
  auto line = std::make_shared<QLNLine>();
  line->setBeginPoint(QPointF(0, 10));
  line->setEndPoint(QPointF(10, 0));
  auto lineCopy = std::static_pointer_cast<QLNLine>(line->copyWithZone());
  EXPECT_EQ(lineCopy->beginPoint(), QPointF(0, 10));
  EXPECT_EQ(lineCopy->endPoint(), QPointF(10, 0));
}

TEST(CardObjectRecord, TextStorageIsMadeOnceFromTheTextValue) {
  QLNText text;
  text.Text_Value = QStringLiteral("I apologise");
  QLNTextStoragePtr storage = text.Text_contents();
  ASSERT_TRUE(storage);
  EXPECT_EQ(storage->string, "I apologise");
  ASSERT_EQ(storage->runs.size(), 1);
  EXPECT_EQ(storage->runs[0].length, storage->string.size());
  EXPECT_EQ(storage->runs[0].font, (ArchivedFont{QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0}));
  EXPECT_EQ(storage->runs[0].color, QColor(Qt::black));
  EXPECT_EQ(text.Text_contents(), storage);  // the same storage on the second call

  // Edits through the storage are the object's text, and travel in the archive.
  storage->string = QStringLiteral("Sorry");
  storage->runs[0].length = 5;
  auto back = unarchiveGraphic(archiveGraphic(text));
  ASSERT_TRUE(back);
  EXPECT_EQ(*back->Text_contents(), *storage);
}

TEST(CardObjectRecord, SettingByNameNotifiesTheKeyAndItsDependents) {
  Shape_Control g;
  Recorder recorder;
  recorder.watch(g, WatchedKeys);

  g.setValue(QRectF(1, 2, 30, 40), QStringLiteral("bounds"));
  QStringList keys = recorder.keys();
  keys.sort();
  EXPECT_EQ(keys, QStringList({"bounds", "drawingBounds", "height", "width", "xPosition", "yPosition"}));
  EXPECT_EQ(g._bounds, QRectF(1, 2, 30, 40));
  for (const auto &e : recorder.entries) {
    if (e.key == "width") {
      EXPECT_EQ(e.oldValue.toDouble(), 0.0);
      EXPECT_EQ(e.newValue.toDouble(), 30.0);
    }
  }

  recorder.entries.clear();
  g.setValue(4.0, QStringLiteral("strokeWidth"));
  keys = recorder.keys();
  keys.sort();
  EXPECT_EQ(keys, QStringList({"drawingBounds", "strokeWidth"}));  // no "drawingContents"

  recorder.entries.clear();
  g.setValue(QColor(Qt::red), QStringLiteral("fillColor"));
  keys = recorder.keys();
  keys.sort();
  EXPECT_EQ(keys, QStringList({"drawingContents", "fillColor"}));
  EXPECT_EQ(g._fillColor, QColor(Qt::red));

  // A derived key set by name goes through bounds.
  recorder.entries.clear();
  g.setValue(7.0, QStringLiteral("xPosition"));
  EXPECT_EQ(g._bounds.x(), 7.0);
  EXPECT_TRUE(recorder.keys().contains("bounds"));
  EXPECT_EQ(recorder.keys().count("xPosition"), 1);

  // Writing the field directly notifies nobody.
  recorder.entries.clear();
  g._strokeWidth = 9.0;
  g._isDrawingFill = false;
  EXPECT_TRUE(recorder.entries.empty());

  // Unknown keys are refused and notify nobody.
  EXPECT_FALSE(g.setValue(1, QStringLiteral("noSuchKey")));
  EXPECT_TRUE(recorder.entries.empty());

  for (const QString &key : WatchedKeys)
    g.removeObserver(&recorder, key);
  EXPECT_EQ(g.observationCount(), 0);
}

TEST(CardObjectRecord, KindsAddTheirOwnObservableAndUndoKeys) {
  QLNImage image;
  Recorder recorder;
  recorder.watch(image, {"drawingContents", "flippedHorizontally"});
  image.flipHorizontally();
  EXPECT_TRUE(image._isFlippedHorizontally);
  QStringList keys = recorder.keys();
  keys.sort();
  EXPECT_EQ(keys, QStringList({"drawingContents", "flippedHorizontally"}));
  image.removeObserver(&recorder, "drawingContents");
  image.removeObserver(&recorder, "flippedHorizontally");

  const QSet<QString> base = {"drawingFill", "fillColor", "drawingStroke", "strokeColor", "strokeWidth", "bounds"};
  EXPECT_EQ(Shape_Control().keysForValuesToObserveForUndo(), base);
  EXPECT_EQ(image.keysForValuesToObserveForUndo(), (base + QSet<QString>{"flippedHorizontally", "flippedVertically"}));
  EXPECT_EQ(QLNLine().keysForValuesToObserveForUndo(),
            (QSet<QString>{"drawingFill", "fillColor", "drawingStroke", "strokeColor", "strokeWidth",
                           "beginPoint", "endPoint"}));
  EXPECT_EQ(QLNText().keysForValuesToObserveForUndo(), base);

  EXPECT_EQ(Shape_Control().presentablePropertyNameForKey("bounds"), QString(""));
  EXPECT_EQ(image.presentablePropertyNameForKey("flippedHorizontally"), QString("Horizontal Flipping"));
  EXPECT_EQ(image.presentablePropertyNameForKey("flippedVertically"), QString("Vertical Flipping"));
  EXPECT_EQ(QLNLine().presentablePropertyNameForKey("beginPoint"), QString("Beginpoint"));
  EXPECT_EQ(QLNLine().presentablePropertyNameForKey("endPoint"), QString("Endpoint"));
  EXPECT_EQ(QLNText().presentablePropertyNameForKey("undoContents"), QString("Text"));
  EXPECT_EQ(QLNText().presentablePropertyNameForKey("strokeWidth"), QString(""));
}

TEST(CardObjectRecord, LineEndPointsFollowBoundsAndFlags) {
  QLNLine line;
  Recorder recorder;
  recorder.watch(line, {"beginPoint", "endPoint"});
  line.setBeginPoint(QPointF(10, 40));
  line.setEndPoint(QPointF(60, 20));
  EXPECT_TRUE(line._pointsRight);
  EXPECT_FALSE(line._pointsDown);
  // Observers see the end points from before each change, although the flags changed
  // with it: the last change moved the end point from (0, 0) to (60, 20).
  ASSERT_GE(recorder.entries.size(), 2u);
  const auto lastEnd = std::find_if(recorder.entries.rbegin(), recorder.entries.rend(),
                                    [](const Recorder::Entry &e) { return e.key == "endPoint"; });
  ASSERT_NE(lastEnd, recorder.entries.rend());
  EXPECT_EQ(lastEnd->oldValue.toPointF(), QPointF(0, 0));
  EXPECT_EQ(lastEnd->newValue.toPointF(), QPointF(60, 20));
  line.removeObserver(&recorder, "beginPoint");
  line.removeObserver(&recorder, "endPoint");

  // Moving the bounds keeps the flags: the end points stay on their corners.
  line.setBounds(QRectF(0, 0, 10, 10));
  EXPECT_EQ(line.beginPoint(), QPointF(0, 10));
  EXPECT_EQ(line.endPoint(), QPointF(10, 0));
  // The colour of a line is its border colour.
  line.setColor(QColor(Qt::blue));
  EXPECT_EQ(line._strokeColor, QColor(Qt::blue));
  EXPECT_EQ(line._fillColor, QColor(Qt::white));
}

TEST(CardObjectRecord, LegacyPropertyDictionaryRoundTrip) {
  Shape_Control shape;
  shape._bounds = QRectF(10.5, 20, 100, 50);
  shape._isDrawingFill = false;
  shape._fillColor = QColor(Qt::green);
  shape._strokeWidth = 3.25;
  const PlistValue dict = shape.properties();
  EXPECT_EQ(dict.keys(), QStringList({"bounds", "drawingFill", "fillColor", "drawingStroke", "strokeColor",
                                      "strokeWidth"}));
  EXPECT_EQ(dict.value("bounds").toString(), "{{10.5, 20}, {100, 50}}");
  EXPECT_TRUE(dict.value("fillColor").isData());

  Shape_Control copy;
  copy.initWithProperties(dict);
  EXPECT_EQ(copy._bounds, shape._bounds);
  EXPECT_FALSE(copy._isDrawingFill);
  EXPECT_EQ(copy._fillColor, QColor(Qt::green));
  EXPECT_EQ(copy._strokeWidth, 3.25);
  EXPECT_TRUE(shape.description().contains("drawingFill"));

  // Entries of another kind are ignored; a colour that does not decode keeps the default.
  PlistValue odd = PlistValue::dict();
  odd.insert("bounds", PlistValue(5));
  odd.insert("drawingFill", PlistValue(QStringLiteral("no")));
  odd.insert("fillColor", PlistValue(QByteArray("not an archive")));
  odd.insert("strokeWidth", PlistValue(qint64(6)));
  Shape_Control fresh;
  fresh.initWithProperties(odd);
  EXPECT_EQ(fresh._bounds, QRectF(0, 0, 0, 0));
  EXPECT_TRUE(fresh._isDrawingFill);
  EXPECT_EQ(fresh._fillColor, QColor(Qt::white));
  EXPECT_EQ(fresh._strokeWidth, 6.0);

  // Numbers from a hostile dictionary are held as a decoded archive's are.
  PlistValue hostile = PlistValue::dict();
  hostile.insert("bounds", PlistValue(QStringLiteral("{{nan, 1e300}, {inf, -1e300}}")));
  hostile.insert("strokeWidth", PlistValue(std::numeric_limits<double>::infinity()));
  Shape_Control held;
  held.initWithProperties(hostile);
  EXPECT_TRUE(std::isfinite(held._strokeWidth));
  EXPECT_LE(held._strokeWidth, 1000.0);
  for (double v : {held._bounds.x(), held._bounds.y(), held._bounds.width(), held._bounds.height()})
    EXPECT_TRUE(std::isfinite(v) && std::fabs(v) <= 1e6) << v;

  // Lines carry end points instead of bounds; images their flips.
  QLNLine line;
  line.setBeginPoint(QPointF(10, 40));
  line.setEndPoint(QPointF(60, 20));
  const PlistValue lineDict = line.properties();
  EXPECT_FALSE(lineDict.contains("bounds"));
  EXPECT_EQ(lineDict.value("beginPoint").toString(), "{10, 40}");
  QLNLine lineCopy;
  lineCopy.initWithProperties(lineDict);
  EXPECT_EQ(lineCopy.beginPoint(), QPointF(10, 40));
  EXPECT_EQ(lineCopy.endPoint(), QPointF(60, 20));

  QLNImage image;
  image._isFlippedVertically = true;
  image._contents = PointImage{smallPicture(), QSizeF(4, 3)};
  QLNImage imageCopy;
  imageCopy.initWithProperties(image.properties());
  EXPECT_TRUE(imageCopy._isFlippedVertically);
  EXPECT_FALSE(imageCopy._isFlippedHorizontally);
  EXPECT_EQ(comparable(imageCopy._contents.pixels), comparable(smallPicture()));
}

TEST(CardObjectRecord, ScriptingSettersFollowWhatTheKindAllows) {
  ScriptCommand command;
  ScriptCommand::Scope scope(command);

  // Setting a colour turns the fill on; removing it turns it off.
  Shape_Control shape;
  shape._isDrawingFill = false;
  EXPECT_FALSE(shape.scriptingFillColor());
  shape.setScriptingFillColor(QColor(Qt::yellow));
  EXPECT_TRUE(shape._isDrawingFill);
  EXPECT_EQ(shape.scriptingFillColor(), QColor(Qt::yellow));
  shape.setScriptingFillColor(std::nullopt);
  EXPECT_FALSE(shape._isDrawingFill);
  // Removing a fill that is already off changes nothing and sets no error.
  shape.setScriptingFillColor(std::nullopt);
  EXPECT_FALSE(shape._isDrawingFill);
  EXPECT_EQ(command.errorNumber, 0);

  shape.setScriptingStrokeWidth(2.5);
  EXPECT_EQ(shape.scriptingStrokeWidth(), 2.5);

  // An image can have no fill.
  QLNImage image;
  image.setScriptingFillColor(QColor(Qt::red));
  EXPECT_EQ(command.errorNumber, -10000);
  EXPECT_EQ(command.errorString, "You can't set the fill color of this kind of graphic.");
  EXPECT_EQ(image._fillColor, QColor(Qt::white));

  // A line's stroke cannot be removed.
  command = ScriptCommand();
  QLNLine line;
  line.setScriptingStrokeColor(std::nullopt);
  EXPECT_EQ(command.errorNumber, -10000);
  EXPECT_EQ(command.errorString, "You can't remove the stroke from this kind of graphic.");
  EXPECT_TRUE(line.isDrawingStroke());

  // A text object with its border off cannot get a border width.
  command = ScriptCommand();
  QLNText text;
  text._isDrawingStroke = false;
  text.setScriptingStrokeWidth(3.0);
  EXPECT_EQ(command.errorString, "You can't set the stroke thickness of this kind of graphic.");
  EXPECT_EQ(text._strokeWidth, 1.0);
}

TEST(CardObjectRecord, ObjectSpecifierNeedsAContainerThatKnowsTheObject) {
  auto g = std::make_shared<Shape_Control>();
  try {
    (void)g->objectSpecifier();
    FAIL() << "no exception";
  } catch (const std::logic_error &e) {
    EXPECT_STREQ(e.what(), "A scriptable graphic has no scriptable container, or one that doesn't "
                           "implement -objectSpecifierForGraphic: correctly.");
  }
  QLNDocument document;
  document.insertGraphics({std::make_shared<QLNText>(), g}, {0, 1});
  EXPECT_EQ(g->_scriptingContainer, &document);
  EXPECT_EQ(g->objectSpecifier(), (QLNObjectSpecifier{"graphics", 1}));
}

TEST(CardObjectRecord, ErrorObjectsOfTheFramework) {
  const QLNError error = QLNErrorWithCode(2);
  EXPECT_EQ(error.domain, "QuellinErrorDomain");
  EXPECT_EQ(error.code, 2);
  EXPECT_EQ(error.localizedDescription,
            "Quellin could not complete the operation because an unknown error occurred.");
  EXPECT_EQ(error.localizedFailureReason, "An unknown error occurred.");
  EXPECT_EQ(QLNErrorWithCode(3).code, 3);
}

TEST(KeyValueObserving, NestedChangesOfOneKeyAreToldOnceWithTheEarliestOldValue) {
  Shape_Control g;
  Recorder recorder;
  g.addObserver(&recorder, "bounds");
  g.willChangeValueForKey("bounds");
  g.setBounds(QRectF(1, 1, 1, 1));
  g.setBounds(QRectF(2, 2, 2, 2));
  EXPECT_TRUE(recorder.entries.empty());
  g.didChangeValueForKey("bounds");
  ASSERT_EQ(recorder.entries.size(), 1u);
  EXPECT_EQ(recorder.entries[0].oldValue.toRectF(), QRectF(0, 0, 0, 0));
  EXPECT_EQ(recorder.entries[0].newValue.toRectF(), QRectF(2, 2, 2, 2));
  g.removeObserver(&recorder, "bounds");
}

TEST(KeyValueObserving, AnObserverRemovedWhileOthersAreToldIsNotCalled) {
  Shape_Control g;
  Recorder second;
  KeyValueObserverFunction first([&](const QString &, KeyValueObservable *object, const KeyValueChange &) {
    object->removeObserver(&second, "strokeWidth");
  });
  g.addObserver(&first, "strokeWidth");
  g.addObserver(&second, "strokeWidth");
  g.setValue(5.0, "strokeWidth");
  EXPECT_TRUE(second.entries.empty());
  g.removeObserver(&first, "strokeWidth");
  EXPECT_EQ(g.observationCount(), 0);
}

TEST(CardObjectRecord, ACopyForDrawingCarriesEveryFieldAndSharesNothingItCouldChange) {
  for (const QString &kind : {QStringLiteral("QLNText"), QStringLiteral("QLNImage"), QStringLiteral("QLNLine"),
                              QStringLiteral("Shape_Control"), QStringLiteral("QLNSignature"),
                              QStringLiteral("QLNBarcode")}) {
    SCOPED_TRACE(kind.toStdString());
    QLNGraphicPtr source = makeKind(kind);
    fillEveryField(*source);
    source->_barcode_image = PointImage{smallPicture(), QSizeF(8, 6)};
    replaceCharacters(*source->Text_contents(), QStringLiteral("We are sorry"));
    QLNDocument document;
    source->setScriptingContainer(&document);
    Recorder watcher;
    watcher.watch(*source, WatchedKeys);

    const QLNGraphicPtr copy = source->copyForRendering();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->className(), kind);
    // The archive holds every field of the record and of the kind.
    QString error;
    EXPECT_EQ(archiveGraphic(*copy, &error), archiveGraphic(*source, &error)) << error.toStdString();
    EXPECT_EQ(copy->_barcode_image.pixels.constBits(), source->_barcode_image.pixels.constBits());

    // A value set into the copy stays the copy's; nobody watching the original hears of it.
    EXPECT_EQ(copy->observationCount(), 0);
    EXPECT_EQ(copy->Text_contents()->string, QStringLiteral("We are sorry"));
    replaceCharacters(*copy->Text_contents(), QStringLiteral("Guest 7"));
    copy->setBounds(QRectF(1, 2, 3, 4));
    EXPECT_EQ(source->Text_contents()->string, QStringLiteral("We are sorry"));
    EXPECT_TRUE(watcher.entries.empty());
    EXPECT_THROW(copy->objectSpecifier(), std::logic_error);
  }
  // The pictures beside the record go along, shared.
  auto image = std::make_shared<QLNImage>();
  image->_contents = PointImage{smallPicture(), QSizeF(4, 3)};
  const auto imageCopy = std::static_pointer_cast<QLNImage>(image->copyForRendering());
  EXPECT_EQ(imageCopy->_contents.pixels.constBits(), image->_contents.pixels.constBits());
  auto signature = std::make_shared<QLNSignature>();
  signature->_contents_img = PointImage{smallPicture(), QSizeF(4, 3)};
  signature->file_path = QStringLiteral("/pictures/sign.png");
  const auto signatureCopy = std::static_pointer_cast<QLNSignature>(signature->copyForRendering());
  EXPECT_EQ(signatureCopy->_contents_img.pixels.constBits(), signature->_contents_img.pixels.constBits());
  EXPECT_EQ(signatureCopy->file_path, signature->file_path);
}
