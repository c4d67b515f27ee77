// Scripting the document: element lists by kind, insertion and removal within a kind
// with their range errors, range and relative specifiers, new scripting objects, and
// colours as RGB descriptors. Also the PDF and TIFF document data and printing without
// a renderer.

#include "tests/common/TestSupport.h"

#include "core/DocumentScripting.h"
#include "core/QLNDocument.h"
#include "core/QLNError.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNSignature.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cstring>

namespace {

void endTurn() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

using Specifier = QLNScriptSpecifier;

// A document whose front list is: text0, shape0, line0, text1, image0, signature, shape1.
class ScriptingTest : public ::testing::Test {
protected:
  void SetUp() override {
    text0 = std::make_shared<QLNText>();
    shape0 = std::make_shared<Shape_Control>();
    line0 = std::make_shared<QLNLine>();
    text1 = std::make_shared<QLNText>();
    image0 = std::make_shared<QLNImage>();
    signature = std::make_shared<QLNSignature>();
    shape1 = std::make_shared<Shape_Control>();
    shape1->Set_Shape_Type(QStringLiteral("C"));
    document.insertGraphics({text0, shape0, line0, text1, image0, signature, shape1}, {0, 1, 2, 3, 4, 5, 6});
    endTurn();
  }

  // The message of the range error `action` throws, "" when it throws none.
  static QString rangeMessage(const std::function<void()> &action) {
    try {
      action();
    } catch (const QLNScriptingRangeError &e) {
      return e.message();
    }
    return QString();
  }

  QLNDocument document;
  QLNGraphicPtr text0, shape0, line0, text1, image0, signature, shape1;
};

}  // namespace

TEST_F(ScriptingTest, ElementListsHoldEachKindInFrontListOrder) {
  EXPECT_EQ(document.textAreas(), (QLNGraphicList{text0, text1}));
  EXPECT_EQ(document.lines(), QLNGraphicList{line0});
  EXPECT_EQ(document.images(), QLNGraphicList{image0}) << "a signature is not an image";
  // The three shape lists are the same: every shape, whatever its shape code.
  EXPECT_EQ(document.rectangles(), (QLNGraphicList{shape0, shape1}));
  EXPECT_EQ(document.circles(), document.rectangles());
  EXPECT_EQ(document.rectangles_round(), document.rectangles());
  EXPECT_EQ(document.graphicsWithClass(QStringLiteral("QLNGraphic")).size(), 7) << "every kind is a QLNGraphic";
  EXPECT_EQ(document.scriptingElements(QStringLiteral("graphics")), document.graphics());
  EXPECT_FALSE(document.scriptingElements(QStringLiteral("ovals")).has_value());
  EXPECT_TRUE(document.scriptingElements(QStringLiteral("graphics_back"))->isEmpty());
}

TEST_F(ScriptingTest, InsertingWithinAKindPlacesTheObjectBeforeTheKindsObjectOrAtTheEnd) {
  // Text areas 0 and 1 sit at front indexes 0 and 3.
  const auto newText = std::make_shared<QLNText>();
  document.insertObject_inTextAreasAtIndex(newText, 1);
  EXPECT_EQ(document.graphics().indexOf(newText), 3) << "just before the second text";
  EXPECT_EQ(document.textAreas(), (QLNGraphicList{text0, newText, text1}));
  EXPECT_EQ(newText->_scriptingContainer, &document);

  const auto lastText = std::make_shared<QLNText>();
  document.insertObject_inTextAreasAtIndex(lastText, 3);  // the kind's count: appended
  EXPECT_EQ(document.graphics().last(), lastText);

  const auto circle = std::make_shared<Shape_Control>();
  document.insertObject_inCirclesAtIndex(circle, 0);
  EXPECT_EQ(document.graphics().indexOf(circle), document.graphics().indexOf(shape0) - 1);

  // One undo step takes all three out again.
  endTurn();
  document.undoManager()->undo();
  EXPECT_EQ(document.graphics(), (QLNGraphicList{text0, shape0, line0, text1, image0, signature, shape1}));
}

TEST_F(ScriptingTest, RemovingWithinAKindTakesOutTheKindsObject) {
  document.removeObjectFromTextAreasAtIndex(1);
  EXPECT_FALSE(document.graphics().contains(text1));
  EXPECT_EQ(text1->_scriptingContainer, nullptr);
  document.removeObjectFromRectanglesAtIndex(1);
  EXPECT_FALSE(document.graphics().contains(shape1));
  document.removeObjectFromLinesAtIndex(0);
  document.removeObjectFromImagesAtIndex(0);
  EXPECT_EQ(document.graphics(), (QLNGraphicList{text0, shape0, signature}));
  endTurn();
  document.undoManager()->undo();
  EXPECT_EQ(document.graphics().size(), 7);
}

TEST_F(ScriptingTest, AnIndexThatNamesNoObjectOfTheKindIsARangeErrorAndChangesNothing) {
  const QLNGraphicList before = document.graphics();
  const auto object = std::make_shared<Shape_Control>();
  EXPECT_EQ(rangeMessage([&] { document.insertObject_inRectanglesAtIndex(object, 3); }),
            QStringLiteral("Could not find the given rectangle in the graphics."));
  EXPECT_EQ(rangeMessage([&] { document.insertObject_inCirclesAtIndex(object, -1); }),
            QStringLiteral("Could not find the given circle in the graphics."));
  EXPECT_EQ(rangeMessage([&] { document.removeObjectFromLinesAtIndex(1); }),
            QStringLiteral("Could not find the given line in the graphics."));
  EXPECT_EQ(rangeMessage([&] { document.removeObjectFromTextAreasAtIndex(2); }),
            QStringLiteral("Could not find the given text area in the graphics."));
  EXPECT_EQ(rangeMessage([&] { document.removeObjectFromImagesAtIndex(1); }),
            QStringLiteral("Could not find the given image in the graphics."));
  EXPECT_EQ(rangeMessage([&] { document.removeObjectFromCirclesAtIndex(INT_MAX); }),
            QStringLiteral("Could not find the given circle in the graphics."));
  EXPECT_EQ(document.graphics(), before);
  EXPECT_EQ(object->_scriptingContainer, nullptr);

  // Removing the only image from an empty kind list.
  document.removeObjectFromImagesAtIndex(0);
  EXPECT_EQ(rangeMessage([&] { document.removeObjectFromImagesAtIndex(0); }),
            QStringLiteral("Could not find the given image in the graphics."));
}

TEST_F(ScriptingTest, SingleObjectOperationsOnTheFrontList) {
  const auto a = std::make_shared<Shape_Control>();
  document.insertGraphic(a, 2);
  EXPECT_EQ(document.graphics().at(2), a);
  document.addInGraphics(std::make_shared<QLNLine>());
  EXPECT_EQ(document.graphics().size(), 9);
  document.removeGraphicAtIndex(2);
  EXPECT_FALSE(document.graphics().contains(a));
  EXPECT_THROW(document.insertGraphic(a, 99), std::out_of_range);
  EXPECT_THROW(document.removeGraphicAtIndex(-1), std::out_of_range);
  EXPECT_EQ(document.objectSpecifierForGraphic(line0.get()), (QLNObjectSpecifier{QStringLiteral("graphics"), 2}));
}

TEST_F(ScriptingTest, RangeSpecifiers) {
  // From the first text area to the last, over the text areas.
  const Specifier firstToLast =
      Specifier::range(QStringLiteral("textAreas"), Specifier::indexed(QStringLiteral("textAreas"), 0),
                       Specifier::indexed(QStringLiteral("textAreas"), -1));
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRangeSpecifier(firstToLast), (QList<int>{0, 1}));
  EXPECT_EQ(document.objectsByEvaluatingSpecifier(firstToLast), (QLNGraphicList{text0, text1}));

  // Over the whole front list, between the line and the image, ends given backwards.
  const Specifier graphics =
      Specifier::range(QStringLiteral("graphics"), Specifier::indexed(QStringLiteral("images"), 0),
                       Specifier::indexed(QStringLiteral("lines"), 0));
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRangeSpecifier(graphics), (QList<int>{2, 3, 4}));
  // The same range over the shapes: only shapes inside it, none here.
  Specifier shapes = graphics;
  shapes.key = QStringLiteral("rectangles");
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRangeSpecifier(shapes), QList<int>());
  // Without a start: from index 0; without an end: to the last.
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRangeSpecifier(Specifier::range(
                QStringLiteral("rectangles"), std::nullopt, Specifier::indexed(QStringLiteral("lines"), 0))),
            QList<int>{0});
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRangeSpecifier(Specifier::range(
                QStringLiteral("graphics_temp"), Specifier::indexed(QStringLiteral("rectangles"), 1), std::nullopt)),
            QList<int>{6});
  // A start that is a list: its first object.
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRangeSpecifier(
                Specifier::range(QStringLiteral("textAreas"), Specifier::every(QStringLiteral("lines")), std::nullopt)),
            QList<int>{1});

  // No answer: no ends, an unknown key, an end naming nothing or an object of another list.
  EXPECT_FALSE(document.indicesOfObjectsByEvaluatingRangeSpecifier(
      Specifier::range(QStringLiteral("textAreas"), std::nullopt, std::nullopt)));
  EXPECT_FALSE(document.indicesOfObjectsByEvaluatingRangeSpecifier(Specifier::range(
      QStringLiteral("rectangles_round"), Specifier::indexed(QStringLiteral("lines"), 0), std::nullopt)));
  EXPECT_FALSE(document.indicesOfObjectsByEvaluatingRangeSpecifier(
      Specifier::range(QStringLiteral("graphics"), Specifier::indexed(QStringLiteral("ovals"), 0), std::nullopt)));
  EXPECT_FALSE(document.indicesOfObjectsByEvaluatingRangeSpecifier(
      Specifier::range(QStringLiteral("graphics"), Specifier::indexed(QStringLiteral("lines"), 5), std::nullopt)));
  document.setList(QStringLiteral("graphics_back"), {std::make_shared<QLNLine>()});
  EXPECT_FALSE(document.indicesOfObjectsByEvaluatingRangeSpecifier(Specifier::range(
      QStringLiteral("graphics"), Specifier::indexed(QStringLiteral("graphics_back"), 0), std::nullopt)));
  // Other forms are left to the general evaluation.
  EXPECT_FALSE(document.indicesOfObjectsByEvaluatingObjectSpecifier(Specifier::indexed(QStringLiteral("lines"), 0)));

  QLNDocument empty;
  EXPECT_EQ(empty.indicesOfObjectsByEvaluatingRangeSpecifier(firstToLast), QList<int>());
}

TEST_F(ScriptingTest, RelativeSpecifiers) {
  using P = Specifier::Position;
  const Specifier line = Specifier::indexed(QStringLiteral("lines"), 0);  // front index 2
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRelativeSpecifier(
                Specifier::relative(QStringLiteral("graphics"), P::Before, line)),
            QList<int>{1});
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRelativeSpecifier(
                Specifier::relative(QStringLiteral("graphics"), P::After, line)),
            QList<int>{3});
  // Within a kind: the nearest object of the kind, as its index in the kind.
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRelativeSpecifier(
                Specifier::relative(QStringLiteral("textAreas"), P::After, line)),
            QList<int>{1});
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRelativeSpecifier(
                Specifier::relative(QStringLiteral("rectangles"), P::After, line)),
            QList<int>{1});
  EXPECT_EQ(document.objectsByEvaluatingSpecifier(Specifier::relative(QStringLiteral("rectangles"), P::After, line)),
            QLNGraphicList{shape1});
  // The walk leaves the list: an empty answer.
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRelativeSpecifier(Specifier::relative(
                QStringLiteral("graphics"), P::Before, Specifier::indexed(QStringLiteral("textAreas"), 0))),
            QList<int>());
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRelativeSpecifier(Specifier::relative(
                QStringLiteral("lines"), P::After, Specifier::indexed(QStringLiteral("images"), 0))),
            QList<int>());
  // A list as base: its first object before, its last after.
  EXPECT_EQ(document.indicesOfObjectsByEvaluatingRelativeSpecifier(Specifier::relative(
                QStringLiteral("graphics"), P::After, Specifier::every(QStringLiteral("textAreas")))),
            QList<int>{4});
  // No answer for a base of an unknown key or one that names nothing.
  EXPECT_FALSE(document.indicesOfObjectsByEvaluatingRelativeSpecifier(
      Specifier::relative(QStringLiteral("graphics"), P::After, Specifier::indexed(QStringLiteral("ovals"), 0))));
  EXPECT_FALSE(document.indicesOfObjectsByEvaluatingRelativeSpecifier(
      Specifier::relative(QStringLiteral("graphics"), P::After, Specifier::every(QStringLiteral("graphics_temp")))));
}

TEST_F(ScriptingTest, NewScriptingObjects) {
  const QLNGraphicPtr plain =
      document.newScriptingObjectOfClass(QStringLiteral("QLNGraphic"), QStringLiteral("graphics"), QVariant(), {});
  EXPECT_EQ(plain->className(), QStringLiteral("Shape_Control")) << "a plain graphic is made a shape";

  const QLNGraphicPtr text = document.newScriptingObjectOfClass(
      QStringLiteral("QLNText"), QStringLiteral("textAreas"), QStringLiteral("Sorry"),
      {{QStringLiteral("bounds"), QRectF(5, 6, 70, 20)}, {QStringLiteral("strokeWidth"), 2.5}});
  EXPECT_EQ(text->className(), QStringLiteral("QLNText"));
  EXPECT_EQ(text->Text_contents()->string, QStringLiteral("Sorry"));
  EXPECT_EQ(text->bounds(), QRectF(5, 6, 70, 20));
  EXPECT_EQ(text->strokeWidth(), 2.5);

  EXPECT_THROW(document.newScriptingObjectOfClass(QStringLiteral("QLNTeapot"), QString(), QVariant(), {}),
               std::invalid_argument);
  EXPECT_THROW(document.newScriptingObjectOfClass(QStringLiteral("QLNLine"), QString(), QVariant(),
                                                  {{QStringLiteral("flavour"), 1}}),
               std::invalid_argument);
  EXPECT_THROW(document.newScriptingObjectOfClass(QStringLiteral("QLNLine"), QString(), QStringLiteral("text"), {}),
               std::invalid_argument)
      << "only a text has contents";
}

TEST(ColourScripting, RgbDescriptorsCarryThreeSixteenBitNumbers) {
  const QLNScriptingDescriptor red = QLNScripting::scriptingRGBColorDescriptor(QColor(255, 0, 0));
  EXPECT_EQ(red.descriptorType, fourCharCode("cRGB"));
  ASSERT_EQ(red.data.size(), 6);
  quint16 numbers[3];
  std::memcpy(numbers, red.data.constData(), 6);
  EXPECT_EQ(numbers[0], 65535);
  EXPECT_EQ(numbers[1], 0);
  EXPECT_EQ(numbers[2], 0);

  // Alpha is dropped; a colour of another model is turned into RGB first.
  const QLNScriptingDescriptor grey = QLNScripting::scriptingRGBColorDescriptor(QColor::fromHsvF(0, 0, 0.5, 0.2));
  std::memcpy(numbers, grey.data.constData(), 6);
  EXPECT_EQ(numbers[0], numbers[1]);
  EXPECT_NEAR(numbers[0], 32767, 1);

  // Back to a colour: exact for 16-bit values, opaque.
  const std::optional<QColor> back = QLNScripting::scriptingRGBColorWithDescriptor(red);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->rgba64(), QColor(255, 0, 0).rgba64());
  EXPECT_EQ(back->alphaF(), 1.0f);

  QLNScriptingDescriptor longer = red;
  longer.data.append(2, '\0');
  EXPECT_FALSE(QLNScripting::scriptingRGBColorWithDescriptor(longer)) << "8 bytes are no colour";
  QLNScriptingDescriptor other = red;
  other.descriptorType = fourCharCode("long");
  EXPECT_FALSE(QLNScripting::scriptingRGBColorWithDescriptor(other));
}

TEST(DocumentData, PdfTiffAndPrintingNeedARenderer) {
  QLNDocument document;
  QLNError error;
  EXPECT_TRUE(document.dataOfType(QStringLiteral("application/pdf"), &error).isEmpty());
  EXPECT_EQ(error.domain, QStringLiteral("QuellinErrorDomain"));
  EXPECT_FALSE(error.localizedFailureReason.isEmpty());
  error = QLNError();
  EXPECT_TRUE(document.dataOfType(QStringLiteral("image/tiff"), &error).isEmpty());
  EXPECT_FALSE(error.localizedFailureReason.isEmpty());
  QString reason;
  EXPECT_EQ(document.printOperationWithSettings({}, &reason), nullptr);
  EXPECT_FALSE(reason.isEmpty());
  EXPECT_THROW(document.dataOfType(QStringLiteral("image/png"), &error), std::logic_error);
}
