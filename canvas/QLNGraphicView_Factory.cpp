// The canvas's object factory: every card object placed on a side (by a tool button, by
// a click with a tool, by the invitation texts and the user profile fields) is made
// here, and objects placed by control id are found and updated here.

#include "canvas/QLNGraphicView.h"

#include "canvas/CanvasServices.h"

#include "core/MainWindowServices.h"
#include "core/QLNBarcode.h"
#include "core/QLNGrid.h"
#include "core/QLNImage.h"
#include "core/QLNLine.h"
#include "core/QLNSignature.h"
#include "core/QLNText.h"
#include "core/Shape_Control.h"
#include "core/Utilities.h"

#include <QFileInfo>

#include <exception>

namespace {

// Default size of an object placed without a rectangle, points.
constexpr double DefaultCreationSide = 50.0;

// The font of the invitation's title lines.
const QString PartyTitleFont = QStringLiteral("TimesNewRomanPS-BoldItalicMT");
constexpr double PartyTitleFontSize = 18.0;

// Text alignments (0 left, 1 right, 2 centre).
constexpr int AlignRight = 1;
constexpr int AlignCentre = 2;

QLNGraphicPtr newGraphicOfClass(const QString &name) {
  if (name == QLatin1String("QLNLine"))
    return std::make_shared<QLNLine>();
  if (name == QLatin1String("QLNText"))
    return std::make_shared<QLNText>();
  if (name == QLatin1String("Shape_Control"))
    return std::make_shared<Shape_Control>();
  if (name == QLatin1String("QLNImage"))
    return std::make_shared<QLNImage>();
  if (name == QLatin1String("QLNSignature"))
    return std::make_shared<QLNSignature>();
  if (name == QLatin1String("QLNBarcode"))
    return std::make_shared<QLNBarcode>();
  if (name == QLatin1String("QLNGraphic"))
    return std::make_shared<QLNGraphic>();
  return nullptr;
}

// The object of the current tool: the picture tools make their own kind, started at
// `start`; every other tool makes the class asked for.
QLNGraphicPtr makeGraphicForTool(int tool, const QString &graphicClass, const QPointF &start) {
  const CanvasServices &services = canvasServices();
  switch (tool) {
    case 8: {  // an image from a file; the placeholder picture when the file is missing
      auto image = std::make_shared<QLNImage>();
      const QString path = services.librarySelectedImage();
      if (!path.isEmpty() && QFileInfo(path).isFile())
        image->initWithPath(start, path);
      else
        image->initWithPosition(start, services.placeholderImage(), path);
      return image;
    }
    case 9: {  // an image chosen in the image library
      auto image = std::make_shared<QLNImage>();
      image->initWithPath(start, services.librarySelectedImage());
      return image;
    }
    case 10: {
      auto barcode = std::make_shared<QLNBarcode>();
      barcode->initWithPosition(start, services.barcodeSampleImage());
      return barcode;
    }
    case 11: {
      auto signature = std::make_shared<QLNSignature>();
      signature->initWithPosition(start, services.signatureSampleImage(), QStringLiteral("S"));
      return signature;
    }
    case 12: {
      auto fingerprint = std::make_shared<QLNSignature>();
      fingerprint->initWithPosition(start, services.fingerprintSampleImage(), QStringLiteral("F"));
      return fingerprint;
    }
    default:
      return newGraphicOfClass(graphicClass);
  }
}

// The shape code of a shape tool; empty for the other tools.
QString shapeCodeForTool(int tool) {
  switch (tool) {
    case 3: return QStringLiteral("R");
    case 4: return QStringLiteral("C");
    case 5: return QStringLiteral("RR");
    case 6: return QStringLiteral("T");
    case 7: return QStringLiteral("D");
    case 13: return QStringLiteral("S");
    case 14: return QStringLiteral("DS");
    case 15: return QStringLiteral("P");
    default: return QString();
  }
}

// A text object made with a value shows it without box fill and border; the invitation
// fields also get their alignment and, for the title lines, their font.
void applyTextSettings(QLNGraphic &text, const QString &ctrl_value, const QString &ctrl_ID) {
  text.Text_Value = ctrl_value;
  text._isDrawingStroke = false;
  text._isDrawingFill = false;
  if (!ctrl_ID.contains(QLatin1String("PARTY_")))
    return;
  if (ctrl_ID == QLatin1String("PARTY_TITLE") || ctrl_ID == QLatin1String("PARTY_MARRINGE_INFO")) {
    text.text_alignmnet = AlignCentre;
    text.text_ctrl_font = FontSpec(PartyTitleFont, PartyTitleFontSize);
  } else if (ctrl_ID == QLatin1String("PARTY_DATE") || ctrl_ID == QLatin1String("PARTY_TIME") ||
             ctrl_ID == QLatin1String("PARTY_VENUE")) {
    text.text_alignmnet = AlignCentre;
  } else if (ctrl_ID == QLatin1String("PARTY_FROM")) {
    text.text_alignmnet = AlignRight;
  }
}

// Replaces every character of the object's text storage; the new text takes the
// attributes of the first character it replaces.
void replaceTextStorage(QLNGraphic &graphic, const QString &value) {
  const QLNTextStoragePtr storage = graphic.Text_contents();
  TextRun run = storage->runs.isEmpty() ? TextRun() : storage->runs.first();
  storage->string = value;
  storage->runs.clear();
  if (!value.isEmpty()) {
    run.start = 0;
    run.length = value.size();
    storage->runs.append(run);
  }
}

}  // namespace

QRectF QLNGraphicView::creationRect(const std::optional<QPointF> &withEvent, bool use_rect, const QRectF &bound_rect,
                                    const QString &card_side, const QString &ctrl_ID) const {
  if (withEvent) {
    QPointF origin = *withEvent;
    if (_grid)
      origin = _grid->constrainedPoint(origin);
    return QRectF(origin, QSizeF(0.0, 0.0));
  }
  QRectF rect;
  if (use_rect) {
    rect = bound_rect;
    // A field placed by id keeps its own place; anything else goes to the next free one.
    if (ctrl_ID.isEmpty())
      rect.moveTopLeft(mainWindowServices().Control_New_Point(card_side));
  } else {
    rect = QRectF(mainWindowServices().Control_New_Point(card_side), QSizeF(DefaultCreationSide, DefaultCreationSide));
  }
  if (_grid) {
    // Both corners go to the grid, so the size may change.
    const QPointF origin = _grid->constrainedPoint(rect.topLeft());
    const QPointF far = _grid->constrainedPoint(rect.topLeft() + QPointF(rect.width(), rect.height()));
    rect = QRectF(origin.x(), origin.y(), far.x() - origin.x(), far.y() - origin.y());
  }
  return rect;
}

void QLNGraphicView::createGraphicOfClass(const QString &graphicClass, const std::optional<QPointF> &withEvent,
                                          bool use_rect, const QRectF &bound_rect, const QString &card_side,
                                          const QString &ctrl_value, const QString &ctrl_ID) {
  MutableGraphics list = mutableGraphics();
  // A creation still being dragged out ends before the next one begins.
  if (m_drag.kind == DragKind::Create)
    endDrag(m_drag.lastPoint);
  finishCreation();

  // Only the front list records undo. The whole creation becomes one step: the
  // insertion is recorded once at the end, as the removal of the finished object, and
  // nothing is recorded while the object is made, inserted, sized and set up. So a
  // creation that ends up discarded leaves the history exactly as it was.
  CreationInProgress &creation = m_creation.emplace();
  creation.document = _graphicsContainer;
  if (_graphicsKeyPath == QLNDocumentGraphicsKey) {
    UndoManager *undo = _graphicsContainer->undoManager();
    creation.groupsUndo = true;
    creation.recording = undo->isUndoRegistrationEnabled();
    undo->beginUndoGrouping();
    undo->disableUndoRegistration();
  }

  try {
    changeSelectionIndexes({});
    const QRectF rect = creationRect(withEvent, use_rect, bound_rect, card_side, ctrl_ID);
    const int tool = canvasServices().selectedControlTool();
    QLNGraphicPtr graphic = makeGraphicForTool(tool, graphicClass, rect.topLeft());
    if (!graphic) {
      Show_NSLog_Message(QStringLiteral("No card object of the class \"%1\".").arg(graphicClass));
      finishCreation();
      return;
    }
    if (graphic->className() == QLatin1String("QLNText") && !ctrl_value.isEmpty())
      applyTextSettings(*graphic, ctrl_value, ctrl_ID);
    if (const QString shape = shapeCodeForTool(tool); !shape.isEmpty())
      graphic->Set_Shape_Type(shape);
    graphic->control_ID = ctrl_ID;
    graphic->setBounds(rect);

    creation.graphic = graphic;
    _creatingGraphic = graphic;
    list.insertObject(graphic, 0);
    creation.inList = true;
    if (withEvent) {
      if (m_creatingFromPress) {
        // The drag that follows the press sizes the object; its release ends the
        // creation (finishCreation).
        resizeGraphic(graphic, graphic->creationSizingHandle(), rect.topLeft(), DragKind::Create);
        return;
      }
      if (m_creationSizingDrag)
        m_creationSizingDrag(graphic, graphic->creationSizingHandle(), rect.topLeft());
    }
  } catch (...) {
    finishCreation();
    throw;
  }
  finishCreation();
}

void QLNGraphicView::finishCreation() {
  if (!m_creation)
    return;
  const CreationInProgress creation = std::move(*m_creation);
  m_creation.reset();
  const QLNGraphicPtr &graphic = creation.graphic;
  bool inList = false;

  auto restoreUndo = [&] {
    if (!creation.groupsUndo || !creation.document)
      return;
    UndoManager *undo = creation.document->undoManager();
    undo->enableUndoRegistration();
    if (creation.recording && inList) {
      const QPointer<QLNDocument> document = creation.document;
      undo->registerUndo(
          [document, graphic] {
            if (!document)
              return;
            const qsizetype index = document->graphics().indexOf(graphic);
            if (index >= 0)
              document->removeGraphicsAtIndexes({int(index)});
          },
          document.data());
    }
    undo->endUndoGrouping();
  };

  try {
    // The list may have been unbound or changed while the object was dragged out.
    const qsizetype index =
        creation.inList && creation.document == _graphicsContainer && graphic ? graphics().indexOf(graphic) : -1;
    inList = index >= 0;
    if (inList) {
      const QRectF sized = graphic->bounds();
      if (sized.width() == 0.0 && sized.height() == 0.0) {
        // Nothing to keep: take the object out again directly (undo is not recording).
        mutableGraphics().removeObjectsAtIndexes({int(index)});
        inList = false;
      } else {
        if (_selectionIndexesContainer)
          changeSelectionIndexes({int(index)});
        startEditingGraphic(graphic);
      }
    }
  } catch (...) {
    restoreUndo();
    _Selected_Graphic.reset();
    _creatingGraphic.reset();
    throw;
  }
  restoreUndo();
  _Selected_Graphic = inList ? graphic : QLNGraphicPtr();
  _creatingGraphic.reset();
}

void QLNGraphicView::ReplaceGraphicText(const QString &graphicClass, const std::optional<QPointF> &,
                                        bool use_rect, const QRectF &bound_rect, const QString &card_side,
                                        const QString &ctrl_value, const QString &ctrl_ID) {
  const QLNGraphicPtr found = Selcect_Ctrl_With_ID(ctrl_ID);
  if (!found) {
    // An event given here is never passed on: a field is placed, not dragged out.
    createGraphicOfClass(graphicClass, std::nullopt, use_rect, bound_rect, card_side, ctrl_value, ctrl_ID);
    return;
  }
  _creatingGraphic = found;
  if (graphicClass == QLatin1String("QLNText")) {
    if (!ctrl_value.isEmpty()) {
      found->Text_Value = ctrl_value;
      found->_isDrawingStroke = false;
      found->_isDrawingFill = false;
      replaceTextStorage(*found, ctrl_value);
      found->Set_Ctrl_Is_Visible(true);
    }
  } else if (graphicClass == QLatin1String("QLNImage")) {
    if (!ctrl_value.isEmpty() && QFileInfo::exists(ctrl_value)) {
      if (auto *image = dynamic_cast<QLNImage *>(found.get()))
        image->setFilePath(ctrl_value);
      else
        found->Set_Control_File_path(ctrl_value);
      found->Set_Ctrl_Is_Visible(true);
    } else {
      Show_NSLog_Message(ctrl_value);
    }
  }
  startEditingGraphic(found);
  _Selected_Graphic = found;
  _creatingGraphic.reset();
  // The fields were written directly, which nobody observes: redraw the object here.
  setNeedsDisplayInRect(found->drawingBounds());
}

QLNGraphicPtr QLNGraphicView::Selcect_Ctrl_With_ID(const QString &ctrl_ID) const {
  try {
    for (const QLNGraphicPtr &graphic : graphics()) {
      if (!graphic)
        continue;
      const QString kind = graphic->className();
      if ((kind == QLatin1String("QLNText") || kind == QLatin1String("QLNImage")) && graphic->control_ID == ctrl_ID)
        return graphic;
    }
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
  }
  return nullptr;
}
