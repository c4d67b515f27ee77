// The document: its three side lists, undo of the front side by observation (with one
// undo step per turn of the event loop), and its document data.

#include "tests/common/TestSupport.h"
#include "tests/core/test_card_object_helpers.h"

#include "core/QLNDocument.h"
#include "platform/PropertyList.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

using namespace cardtest;

namespace {

// Lets the event loop come round once: the undo step of this turn closes.
void endTurn() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

QLNGraphicPtr shapeAt(double x) {
  auto g = std::make_shared<Shape_Control>();
  g->_bounds = QRectF(x, 0, 10, 10);
  return g;
}

}  // namespace

TEST(Document, ANewDocumentHasThreeEmptyLists) {
  QLNDocument document;
  EXPECT_TRUE(document.graphics().isEmpty());
  EXPECT_TRUE(document.graphics_back().isEmpty());
  EXPECT_TRUE(document.graphics_temp().isEmpty());
  EXPECT_FALSE(document.undoManager()->canUndo());
  EXPECT_FALSE(document.isDocumentEdited());
  EXPECT_FALSE(document.readFromData(QByteArray("anything"), QLNDocumentOldTypeName, nullptr));
}

TEST(Document, InsertionsOfOneTurnAreOneUndoStepAndRedoPutsThemBack) {
  QLNDocument document;
  const QLNGraphicPtr a = shapeAt(1), b = shapeAt(2), c = shapeAt(3);
  document.insertGraphics({c}, {0});
  endTurn();
  document.insertGraphics({a}, {0});
  document.insertGraphics({b}, {2});
  EXPECT_EQ(document.graphics(), (QLNGraphicList{a, c, b}));
  endTurn();

  document.undoManager()->undo();  // both insertions of the second turn
  EXPECT_EQ(document.graphics(), (QLNGraphicList{c}));
  EXPECT_EQ(a->_scriptingContainer, nullptr);
  EXPECT_TRUE(document.undoManager()->canRedo());

  document.undoManager()->redo();  // again at the same indexes
  EXPECT_EQ(document.graphics(), (QLNGraphicList{a, c, b}));
  EXPECT_EQ(a->_scriptingContainer, &document);

  document.undoManager()->undo();
  document.undoManager()->undo();  // the first turn
  EXPECT_TRUE(document.graphics().isEmpty());
  EXPECT_FALSE(document.undoManager()->canUndo());
}

TEST(Document, UndoCommandClosesTheOpenStepFirst) {
  QLNDocument document;
  document.insertGraphics({shapeAt(1)}, {0});
  endTurn();
  document.insertGraphics({shapeAt(2), shapeAt(3)}, {0, 1});
  // No turn of the event loop in between: the step of this turn is closed and undone.
  document.undoManager()->undo();
  EXPECT_EQ(document.graphics().size(), 1);
  endTurn();  // the pending end-of-turn close finds nothing left to close
  EXPECT_EQ(document.undoManager()->undoCount(), 1);
}

TEST(Document, ChangesToObjectsInsertedInTheSameStepAreNotRecorded) {
  QLNDocument document;
  auto g = shapeAt(5);
  document.insertGraphics({g}, {0});
  g->setValue(QColor(Qt::red), "fillColor");
  g->setBounds(QRectF(50, 50, 5, 5));
  endTurn();
  EXPECT_EQ(document.undoManager()->undoCount(), 1);
  document.undoManager()->undo();
  EXPECT_TRUE(document.graphics().isEmpty());
  EXPECT_FALSE(document.undoManager()->canUndo());
}

TEST(Document, ThePropertyValuesBeforeTheFirstChangeOfTheStepAreRestored) {
  QLNDocument document;
  auto g = shapeAt(0), h = shapeAt(20);
  document.insertGraphics({g, h}, {0, 1});
  endTurn();

  g->setValue(2.0, "strokeWidth");
  g->setValue(3.0, "strokeWidth");
  h->setBounds(QRectF(100, 100, 1, 1));
  h->setValue(false, "drawingStroke");
  endTurn();
  EXPECT_EQ(document.undoManager()->undoCount(), 2);

  document.undoManager()->undo();
  EXPECT_EQ(g->_strokeWidth, 1.0);  // from before the first change
  EXPECT_EQ(h->_bounds, QRectF(20, 0, 10, 10));
  EXPECT_TRUE(h->_isDrawingStroke);
  EXPECT_EQ(document.graphics().size(), 2);

  document.undoManager()->redo();
  EXPECT_EQ(g->_strokeWidth, 3.0);
  EXPECT_EQ(h->_bounds, QRectF(100, 100, 1, 1));
  EXPECT_FALSE(h->_isDrawingStroke);

  document.undoManager()->undo();
  EXPECT_EQ(g->_strokeWidth, 1.0);
}

TEST(Document, SettingTheValueAPropertyAlreadyHasRecordsNothing) {
  QLNDocument document;
  auto g = shapeAt(0);
  document.insertGraphics({g}, {0});
  endTurn();
  g->setValue(1.0, "strokeWidth");
  g->setBounds(g->_bounds);
  g->setValue(true, "drawingFill");
  endTurn();
  EXPECT_EQ(document.undoManager()->undoCount(), 1);  // only the insertion
}

TEST(Document, RemovalIsUndoneAtTheSameIndexesAndRemovedObjectsAreNotWatched) {
  QLNDocument document;
  const QLNGraphicPtr a = shapeAt(1), b = shapeAt(2), c = shapeAt(3);
  document.insertGraphics({a, b, c}, {0, 1, 2});
  endTurn();
  document.removeGraphicsAtIndexes({0, 2});
  EXPECT_EQ(document.graphics(), (QLNGraphicList{b}));
  EXPECT_EQ(a->observationCount(), 0);
  endTurn();
  a->setValue(9.0, "strokeWidth");  // no longer in the document: not recorded
  endTurn();
  EXPECT_EQ(document.undoManager()->undoCount(), 2);
  document.undoManager()->undo();
  EXPECT_EQ(document.graphics(), (QLNGraphicList{a, b, c}));
  EXPECT_GT(a->observationCount(), 0);
  // Indexes outside the list change nothing.
  EXPECT_THROW(document.removeGraphicsAtIndexes({3}), std::out_of_range);
  EXPECT_THROW(document.insertGraphics({shapeAt(4)}, {5}), std::out_of_range);
  EXPECT_THROW(document.insertGraphics({shapeAt(4), shapeAt(5)}, {1, 1}), std::out_of_range);
  EXPECT_EQ(document.graphics().size(), 3);
}

TEST(Document, BackAndTempSidesAreNotUndoableButTellTheirObservers) {
  QLNDocument document;
  std::vector<KeyValueChange> changes;
  KeyValueObserverFunction observer([&](const QString &key, KeyValueObservable *, const KeyValueChange &change) {
    if (key == "graphics_back")
      changes.push_back(change);
  });
  document.addObserver(&observer, "graphics_back");
  auto back = shapeAt(1);
  document.insertIntoList("graphics_back", {back}, {0});
  document.insertIntoList("graphics_temp", {shapeAt(2)}, {0});
  back->setValue(5.0, "strokeWidth");
  document.removeFromList("graphics_temp", {0});
  endTurn();
  EXPECT_FALSE(document.undoManager()->canUndo());
  EXPECT_EQ(document.graphics_back(), (QLNGraphicList{back}));
  EXPECT_TRUE(document.graphics_temp().isEmpty());
  EXPECT_EQ(back->_scriptingContainer, nullptr);
  EXPECT_EQ(back->observationCount(), 0);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].kind, KeyValueChangeKind::Insertion);
  EXPECT_EQ(changes[0].indexes, QList<int>{0});
  EXPECT_EQ(changes[0].newValue.value<QLNGraphicList>(), (QLNGraphicList{back}));
  document.removeObserver(&observer, "graphics_back");

  // The temp side shows the same instances as the side it was filled from.
  document.setList("graphics_temp", document.graphics_back());
  EXPECT_EQ(document.graphics_temp().first(), back);
  EXPECT_FALSE(document.undoManager()->canUndo());
}

TEST(Document, UndoRegistrationOffWhileDisabledAndDisablesAreCounted) {
  QLNDocument document;
  auto g = shapeAt(0);
  document.Enable_Disable_Undo_Registraion(0);
  document.Enable_Disable_Undo_Registraion(0);
  document.insertGraphics({g}, {0});
  document.Enable_Disable_Undo_Registraion(1);
  g->setValue(4.0, "strokeWidth");  // still one disable unmatched
  endTurn();
  EXPECT_FALSE(document.undoManager()->canUndo());
  document.Enable_Disable_Undo_Registraion(1);
  document.Enable_Disable_Undo_Registraion(1);  // an enable too many does no harm
  EXPECT_TRUE(document.undoManager()->isUndoRegistrationEnabled());
  g->setValue(6.0, "strokeWidth");
  endTurn();
  document.undoManager()->undo();
  EXPECT_EQ(g->_strokeWidth, 4.0);
  EXPECT_EQ(document.graphics().size(), 1);  // the insertion was never recorded
}

TEST(Document, ClearAllUndoRedoEmptiesTheFrontSideAndForgetsEverything) {
  QLNDocument document;
  auto g = shapeAt(0);
  document.insertGraphics({g, shapeAt(1)}, {0, 1});
  endTurn();
  g->setValue(3.0, "strokeWidth");
  endTurn();
  document.undoManager()->undo();
  document.Clear_All_Undo_Redo();
  EXPECT_TRUE(document.graphics().isEmpty());
  EXPECT_FALSE(document.undoManager()->canUndo());
  EXPECT_FALSE(document.undoManager()->canRedo());
  EXPECT_EQ(g->observationCount(), 0);
  EXPECT_TRUE(document.undoManager()->isUndoRegistrationEnabled());
  document.insertGraphics({g}, {0});
  EXPECT_TRUE(document.undoManager()->canUndo());
}

TEST(Document, KindsUndoTheirOwnKeys) {
  QLNDocument document;
  auto image = std::make_shared<QLNImage>();
  auto line = std::make_shared<QLNLine>();
  auto text = std::make_shared<QLNText>();
  document.insertGraphics({image, line, text}, {0, 1, 2});
  line->setBeginPoint(QPointF(10, 40));
  line->setEndPoint(QPointF(60, 20));
  endTurn();

  // Each flip is one step.
  image->flipHorizontally();
  endTurn();
  image->flipHorizontally();
  endTurn();
  document.undoManager()->undo();
  EXPECT_TRUE(image->_isFlippedHorizontally);
  document.undoManager()->undo();
  EXPECT_FALSE(image->_isFlippedHorizontally);

  // An end point drag is undone as end points, and the direction with it.
  line->setEndPoint(QPointF(0, 100));
  endTurn();
  document.undoManager()->undo();
  EXPECT_EQ(line->beginPoint(), QPointF(10, 40));
  EXPECT_EQ(line->endPoint(), QPointF(60, 20));

  // A scripted text change is recorded under "undoContents".
  text->Text_Value = QStringLiteral("Sorry");
  text->setScriptingContents(QStringLiteral("I was wrong"));
  EXPECT_EQ(text->Text_contents()->string, "I was wrong");
  EXPECT_FALSE(text->keysForValuesToObserveForUndo().contains("undoContents"));
  endTurn();
  document.undoManager()->undo();
  EXPECT_EQ(text->Text_contents()->string, "Sorry");
  document.undoManager()->redo();
  EXPECT_EQ(text->Text_contents()->string, "I was wrong");
  // The storage keeps its attributes when plain text replaces its characters.
  EXPECT_EQ(text->Text_contents()->runs.value(0).font,
            (ArchivedFont{QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0}));
}

TEST(Document, AScriptReadingTheTextCountsAsAChangeUntilTheNextTurn) {
  QLNDocument document;
  auto text = std::make_shared<QLNText>();
  document.insertGraphics({text}, {0});
  endTurn();
  QLNTextStoragePtr storage = text->scriptingContents();
  EXPECT_TRUE(text->_contentsBeingChangedByScripting);
  storage->string = QStringLiteral("Changed by a script");
  storage->runs[0].length = storage->string.size();
  endTurn();
  EXPECT_FALSE(text->_contentsBeingChangedByScripting);
  endTurn();
  document.undoManager()->undo();
  EXPECT_EQ(text->Text_contents()->string, "Text here");
}

namespace {
// A kind that watches a key for undo without naming it.
class Unnamed : public Shape_Control {
public:
  std::optional<QString> presentablePropertyNameForKey(const QString &key) const override {
    if (key == QLatin1String("strokeWidth"))
      return std::nullopt;
    return Shape_Control::presentablePropertyNameForKey(key);
  }
};
}  // namespace

TEST(Document, AnUndoKeyWithoutAPresentableNameIsAnInconsistency) {
  QLNDocument document;
  auto g = std::make_shared<Unnamed>();
  document.insertGraphics({g}, {0});
  endTurn();
  try {
    g->setValue(2.0, "strokeWidth");
    FAIL() << "no exception";
  } catch (const std::logic_error &e) {
    EXPECT_STREQ(e.what(),
                 "[[Shape_Control class] keysForValuesToObserveForUndo] returns a set that includes "
                 "@\"strokeWidth\", but [[Shape_Control class] presentablePropertyNameForKey:@\"strokeWidth\"] "
                 "returns nil.");
  }
  EXPECT_EQ(g->_strokeWidth, 2.0);
}

TEST(Document, CanvasSizeAndPrintInfo) {
  EXPECT_EQ(QLNDocument::canvasSize(true, QSizeF(10, 10)), QSizeF(243, 154));
  EXPECT_EQ(QLNDocument::canvasSize(false, QSizeF(10, 20)), QSizeF(10, 20));

  // The window title is the application's name.
  QLNDocument document;
  EXPECT_EQ(document.displayName(), "Amends");

  int told = 0;
  KeyValueObserverFunction observer([&](const QString &, KeyValueObservable *, const KeyValueChange &change) {
    ++told;
    EXPECT_EQ(change.newValue.toSizeF(), QSizeF(595, 842));
  });
  document.addObserver(&observer, "canvasSize");
  QLNPrintInfo a4;
  a4.paperSize = QSizeF(595, 842);
  a4.orientation = 1;
  document.setPrintInfo(a4);
  EXPECT_EQ(told, 1);
  EXPECT_EQ(document.printInfo(), a4);
  document.removeObserver(&observer, "canvasSize");
}

TEST(Document, DocumentDataHoldsVersionFrontObjectsAndPrintInfo) {
  QLNDocument document;
  auto text = std::make_shared<QLNText>();
  text->Text_Value = QStringLiteral("Front");
  document.insertGraphics({text, shapeAt(3)}, {0, 1});
  document.insertIntoList("graphics_back", {shapeAt(9)}, {0});
  QLNPrintInfo info;
  info.margins = QMarginsF(10, 20, 30, 40);
  document.setPrintInfo(info);

  for (const QString &type : {QLNDocumentOldTypeName, QLNDocumentNewTypeName}) {
    const QByteArray data = document.dataOfType(type, nullptr);
    ASSERT_TRUE(data.startsWith("bplist00"));
    std::optional<PlistValue> dict = parsePropertyList(data);
    ASSERT_TRUE(dict && dict->isDict());
    EXPECT_EQ(dict->keys(), QStringList({"version", "graphics", "printInfo"}));
    EXPECT_EQ(dict->value("version").toInt(), 2);
    const PlistValue &graphics = dict->value("graphics");
    ASSERT_EQ(graphics.size(), 2);  // the front side only
    QLNGraphicPtr first = unarchiveGraphic(graphics.at(0).toData());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->className(), "QLNText");
    EXPECT_EQ(first->Text_Value, "Front");
    EXPECT_EQ(QLNPrintInfo::unarchived(dict->value("printInfo").toData()), info);
  }
  // plistlib agrees.
  const QByteArray out = runPython(
      "import sys, plistlib; d = plistlib.loads(sys.stdin.buffer.read()); "
      "print(sorted(d.keys()), d['version'], len(d['graphics']))",
      {}, document.dataOfType(QLNDocumentOldTypeName, nullptr));
  EXPECT_EQ(out.trimmed(), "['graphics', 'printInfo', 'version'] 2 2");
  EXPECT_THROW(document.dataOfType(QStringLiteral("public.rtf"), nullptr), std::logic_error);
}

TEST(Document, DestroyingTheDocumentLetsGoOfItsObjects) {
  auto g = shapeAt(0);
  {
    QLNDocument document;
    document.insertGraphics({g}, {0});
    g->setValue(2.0, "strokeWidth");
  }
  EXPECT_EQ(g->observationCount(), 0);
  EXPECT_EQ(g->_scriptingContainer, nullptr);
  EXPECT_EQ(g.use_count(), 1);
  endTurn();  // the document's end-of-turn close has nothing left to do
}
