// The edit and arrange commands of a canvas: the clipboard, undo and redo with
// reselection, alignment, sizing, order, the print flag, selection and the bulk
// operations of the main window.

#include "canvas/QLNGraphicView.h"

#include "canvas/CanvasServices.h"
#include "canvas/QLNRenderingView.h"

#include "core/Globals.h"
#include "core/MainWindowServices.h"
#include "core/QLNError.h"
#include "core/QLNImage.h"
#include "core/Utilities.h"

#include "platform/Images.h"
#include "platform/Paths.h"
#include "platform/PropertyList.h"
#include "platform/UiServices.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

const QString PdfType = QStringLiteral("application/pdf");
const QString TiffType = QStringLiteral("image/tiff");
// The platform's file-names type.
const QString FileNamesType = QStringLiteral("text/uri-list");

// The profile fields of a card: objects with these ids show the user profile.
const QStringList ProfileFieldIds = {
    QStringLiteral("Fup_Name"),    QStringLiteral("Fup_Title"),   QStringLiteral("Fup_Company"),
    QStringLiteral("Fup_CompanySlogan"), QStringLiteral("Fup_Address"), QStringLiteral("Fup_PhoneNO"),
    QStringLiteral("Fup_FaxNo"),   QStringLiteral("Fup_EmailID"), QStringLiteral("Fup_Website"),
    QStringLiteral("Fup_UniqueNo"), QStringLiteral("Fup_Photo")};

// The clipboard of the application, or null without a GUI application.
QClipboard *applicationClipboard() {
  if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
    return nullptr;
  return QGuiApplication::clipboard();
}

// Counts every change of the clipboard, whoever made it (the platform's change count).
qint64 &changeCounter() {
  static qint64 count = 0;
  return count;
}

void followClipboardChanges() {
  static bool following = false;
  if (following)
    return;
  QClipboard *clipboard = applicationClipboard();
  if (!clipboard)
    return;
  following = true;
  QObject::connect(clipboard, &QClipboard::changed, clipboard, [](QClipboard::Mode mode) {
    if (mode == QClipboard::Clipboard)
      ++changeCounter();
  });
}

bool finiteRect(const QRectF &rect) {
  return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width()) &&
         std::isfinite(rect.height());
}

// The objects of the private clipboard data, all of them or none: data that is not a
// property list array, an element that is not an archive of a card object, or an object
// with unusable bounds makes the whole paste fail with the reason in `reason`.
std::optional<QLNGraphicList> readPastedObjects(const QByteArray &data, QString *reason) {
  QString parseError;
  const std::optional<PlistValue> list = parsePropertyList(data, &parseError);
  if (!list || !list->isArray()) {
    *reason = QStringLiteral("The clipboard does not hold a list of card objects.");
    return std::nullopt;
  }
  const qsizetype expected = list->items().size();
  QLNError error;
  const QLNGraphicList objects = QLNGraphic::graphicsWithPasteboardData(data, &error);
  if (objects.size() != expected) {
    *reason = QStringLiteral("%1 of the %2 card objects on the clipboard are damaged.")
                  .arg(expected - objects.size())
                  .arg(expected);
    return std::nullopt;
  }
  for (const QLNGraphicPtr &object : objects) {
    if (!object || !finiteRect(object->bounds())) {
      *reason = QStringLiteral("A card object on the clipboard has no usable position or size.");
      return std::nullopt;
    }
  }
  return objects;
}

// The picture of the clipboard, read with the size limits of every other picture.
PointImage pictureOf(const QMimeData *clipboard) {
  QStringList types = {QStringLiteral("image/png"), TiffType, QStringLiteral("image/jpeg"),
                       QStringLiteral("image/bmp"), QStringLiteral("image/gif")};
  for (const QString &format : clipboard->formats())
    if (format.startsWith(QLatin1String("image/")) && !types.contains(format))
      types.append(format);
  for (const QString &type : types) {
    if (!clipboard->hasFormat(type))
      continue;
    const PointImage image = PointImage::fromData(clipboard->data(type));
    if (!image.isNull())
      return image;
  }
  // A picture put there by this process as an image.
  if (clipboard->hasImage()) {
    const QImage image = qvariant_cast<QImage>(clipboard->imageData());
    if (!image.isNull() && qint64(image.width()) * image.height() <= Images::MaxPixels)
      return PointImage::fromPixels(image);
  }
  return PointImage();
}

// The folder of the resource folder that keeps the pictures pasted from other
// programs: an image object keeps only the path of its picture (so does the design
// file), so a pasted picture needs a file of its own.
const QString PastedPictureFolder = QStringLiteral("PastedImage");

// A path in `folder` that names nothing yet: "Pasted <date> <time>.png", with " 2",
// " 3" ... added for the pictures pasted within the same second.
QString freePastedPicturePath(const QString &folder) {
  const QString stem = QStringLiteral("Pasted ") +
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
  QString path = joinPath(folder, stem + QStringLiteral(".png"));
  for (int number = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++number)
    path = joinPath(folder, QStringLiteral("%1 %2.png").arg(stem).arg(number));
  return path;
}

// Writes `picture` as a PNG file of its own, at the resolution that keeps its size in
// points, into the resource folder's folder for pasted pictures. Answers the file's
// path, or "" with the reason in `reason`.
QString keepPastedPicture(const PointImage &picture, QString *reason) {
  const QString resources = Resource_Path.isEmpty() ? Paths::resourceFolder() : Resource_Path;
  const QString folder = joinPath(resources, PastedPictureFolder);
  if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
    *reason = QStringLiteral("The folder \"%1\" cannot be made.").arg(folder);
    return QString();
  }
  const double width = picture.points.width();
  const double dpi = width > 0.0 && std::isfinite(width) ? picture.pixels.width() * Images::PointsPerInch / width
                                                         : Images::PointsPerInch;
  const QString path = freePastedPicturePath(folder);
  if (!writePng(path, picture.pixels, dpi, reason))
    return QString();
  return path;
}

// `rect` moved the least that puts it on the card `card`; one larger than the card
// starts at the card's top left corner.
QRectF movedOntoCard(const QRectF &rect, const QRectF &card) {
  QRectF moved = rect;
  moved.moveLeft(std::max(card.left(), std::min(rect.left(), card.right() - rect.width())));
  moved.moveTop(std::max(card.top(), std::min(rect.top(), card.bottom() - rect.height())));
  return moved;
}

}  // namespace

qint64 QLNGraphicView::pasteboardChangeCount() {
  followClipboardChanges();
  return changeCounter();
}

// ---- The clipboard -------------------------------------------------------------------------------

void QLNGraphicView::copy(QObject *) {
  if (There_Is_Any_Lock_Contrl()) {
    Show_MessageBox(QStringLiteral("Selected control is locked."));
    return;
  }
  QClipboard *clipboard = applicationClipboard();
  if (!clipboard)
    return;
  followClipboardChanges();
  const QLNGraphicList selected = selectedGraphics();

  auto *contents = new QMimeData;
  contents->setData(QLNGraphicViewPasteboardType, QLNGraphic::pasteboardDataWithGraphics(selected));
  QString pdfError;
  const QByteArray pdf = QLNRenderingView::pdfDataWithGraphics_data(selected, &pdfError);
  if (!pdf.isEmpty())
    contents->setData(PdfType, pdf);
  else
    Show_NSLog_Message(QStringLiteral("The copied objects have no PDF form: %1").arg(pdfError));
  QLNError tiffError;
  const QByteArray tiff = QLNRenderingView::tiffDataWithGraphics(selected, &tiffError);
  if (!tiff.isEmpty())
    contents->setData(TiffType, tiff);
  else
    Show_NSLog_Message(QStringLiteral("The copied objects have no TIFF form: %1").arg(tiffError.localizedFailureReason));
  clipboard->setMimeData(contents, QClipboard::Clipboard);

  _pasteboardChangeCount = pasteboardChangeCount();
  _pasteCascadeNumber = 1;
  _pasteCascadeDelta = QPointF(10.0, 10.0);
  canvasServices().Set_Paste_Button_Status();
}

void QLNGraphicView::cut(QObject *sender) {
  if (There_Is_Any_Lock_Contrl()) {
    Show_MessageBox(QStringLiteral("Selected control is locked."));
    return;
  }
  copy(sender);
  delete_();
  canvasServices().Undo_Redo_Button_state();
}

void QLNGraphicView::paste(QObject *) {
  QClipboard *clipboard = applicationClipboard();
  if (!clipboard)
    return;
  followClipboardChanges();
  const QMimeData *contents = clipboard->mimeData(QClipboard::Clipboard);
  if (!contents)
    return;

  if (contents->hasFormat(QLNGraphicViewPasteboardType)) {
    QString reason;
    const std::optional<QLNGraphicList> objects = readPastedObjects(contents->data(QLNGraphicViewPasteboardType), &reason);
    if (!objects) {
      UiServices::instance().alert(QStringLiteral("The objects on the clipboard cannot be pasted."), reason);
      return;
    }
    const qint64 changeCount = pasteboardChangeCount();
    if (changeCount != _pasteboardChangeCount) {
      // Written elsewhere since this canvas last looked: the first paste keeps the
      // objects' own places.
      _pasteboardChangeCount = changeCount;
      _pasteCascadeNumber = 0;
      _pasteCascadeDelta = QPointF(10.0, 10.0);
    }
    if (objects->isEmpty())
      return;
    if (_pasteCascadeNumber > 0) {
      const QString side = Card_Front_Or_Back.load() == 1 ? QStringLiteral("B") : QStringLiteral("F");
      const QPointF first = mainWindowServices().Control_New_Point(side);
      QLNGraphic::Paste_Location_Of_Graphics(*objects, first.x(), first.y(), side);
    }
    ++_pasteCascadeNumber;
    MutableGraphics list = mutableGraphics();
    QLNIndexSet inserted;
    for (int i = 0; i < objects->size(); ++i) {
      list.insertObject(objects->at(i), i);
      inserted.append(i);
    }
    changeSelectionIndexes(inserted);
    canvasServices().Undo_Redo_Button_state();
    return;
  }
  if (contents->hasFormat(FileNamesType))
    return;
  makeNewImageFromPasteboard(contents, QPointF(50.0, 50.0));
}

bool QLNGraphicView::makeNewImageFromPasteboard(const QMimeData *clipboard, const QPointF &atPoint) {
  if (!clipboard)
    return false;
  const PointImage picture = pictureOf(clipboard);
  if (picture.isNull())
    return false;
  QString reason;
  const QString path = keepPastedPicture(picture, &reason);
  if (path.isEmpty()) {
    UiServices::instance().alert(QStringLiteral("The picture on the clipboard cannot be pasted."), reason);
    return false;
  }
  auto image = std::make_shared<QLNImage>();
  image->initWithPosition(QPointF(atPoint.x(), atPoint.y() - picture.points.height()), picture, path);
  // Where the user sees it: a picture that would reach past the card is moved onto it.
  const QRectF placed = movedOntoCard(image->bounds(), bounds());
  if (placed != image->bounds())
    image->setBounds(placed);
  mutableGraphics().insertObject(image, 0);
  changeSelectionIndexes({0});
  return true;
}

// ---- Undo and redo -------------------------------------------------------------------------------

namespace {

void runWithReselection(QLNGraphicView &view, QLNDocument *document, std::optional<QLNIndexSet> &collected,
                        bool redo) {
  if (document) {
    collected.emplace();
    try {
      if (redo)
        document->undoManager()->redo();
      else
        document->undoManager()->undo();
    } catch (...) {
      collected.reset();
      throw;
    }
    QLNIndexSet touched;
    const qsizetype count = view.graphics().size();
    for (int index : *collected)
      if (index >= 0 && index < count)
        touched.append(index);
    collected.reset();
    if (!touched.isEmpty() && view.selectionIndexesContainer())
      view.changeSelectionIndexes(touched);
  }
  canvasServices().Undo_Redo_Button_state();
}

}  // namespace

void QLNGraphicView::undo(QObject *) { runWithReselection(*this, _graphicsContainer, _undoSelectionIndexes, false); }

void QLNGraphicView::redo(QObject *) { runWithReselection(*this, _graphicsContainer, _undoSelectionIndexes, true); }

// ---- Alignment and sizing ------------------------------------------------------------------------

namespace {

// Moves `graphic` to `origin`, keeping its size, when it is not there already.
void moveTo(const QLNGraphicPtr &graphic, const QPointF &origin) {
  const QRectF bounds = graphic->bounds();
  if (bounds.topLeft() != origin)
    graphic->setBounds(QRectF(origin, bounds.size()));
}

}  // namespace

// One alignment: `place` gives an object's new origin for the reference rectangle.
// With one object selected the reference is the canvas; a locked single object ends
// the command without anything further.
static void alignSelection(QLNGraphicView &view, bool canvasForOne,
                           const std::function<QPointF(const QRectF &reference, const QRectF &bounds)> &place) {
  const QLNGraphicList selected = view.selectedGraphics();
  if (selected.size() == 1) {
    const QLNGraphicPtr &only = selected.first();
    if (only->ctrl_is_locked)
      return;
    moveTo(only, place(view.bounds(), only->bounds()));
  } else if (selected.size() >= 2) {
    if (canvasForOne) {
      for (const QLNGraphicPtr &graphic : selected)
        if (!graphic->ctrl_is_locked)
          moveTo(graphic, place(view.bounds(), graphic->bounds()));
    } else {
      const QRectF reference = selected.first()->bounds();
      for (qsizetype i = 1; i < selected.size(); ++i)
        if (!selected.at(i)->ctrl_is_locked)
          moveTo(selected.at(i), place(reference, selected.at(i)->bounds()));
    }
  }
  canvasServices().Undo_Redo_Button_state();
}

void QLNGraphicView::alignformCenter(QObject *) {
  alignSelection(*this, true, [](const QRectF &canvas, const QRectF &b) {
    return QPointF(canvas.width() / 2 - b.width() / 2, canvas.height() / 2 - b.height() / 2);
  });
}

void QLNGraphicView::alignLeftEdges(QObject *) {
  alignSelection(*this, false, [](const QRectF &r, const QRectF &b) { return QPointF(r.left(), b.y()); });
}

void QLNGraphicView::alignRightEdges(QObject *) {
  alignSelection(*this, false, [](const QRectF &r, const QRectF &b) { return QPointF(r.right() - b.width(), b.y()); });
}

void QLNGraphicView::alignTopEdges(QObject *) {
  alignSelection(*this, false, [](const QRectF &r, const QRectF &b) { return QPointF(b.x(), r.top()); });
}

void QLNGraphicView::alignBottomEdges(QObject *) {
  alignSelection(*this, false,
                 [](const QRectF &r, const QRectF &b) { return QPointF(b.x(), r.bottom() - b.height()); });
}

void QLNGraphicView::alignHorizontalCenters(QObject *) {
  alignSelection(*this, false,
                 [](const QRectF &r, const QRectF &b) { return QPointF(r.center().x() - b.width() / 2, b.y()); });
}

void QLNGraphicView::alignVerticalCenters(QObject *) {
  alignSelection(*this, false,
                 [](const QRectF &r, const QRectF &b) { return QPointF(b.x(), r.center().y() - b.height() / 2); });
}

void QLNGraphicView::alignWithGrid(QObject *) {
  // A grid without a usable spacing would snap to nothing (not-a-number bounds).
  if (_grid && _grid->canAlign()) {
    for (const QLNGraphicPtr &graphic : selectedGraphics()) {
      if (graphic->ctrl_is_locked)
        continue;
      const QRectF aligned = _grid->alignedRect(graphic->bounds());
      if (finiteRect(aligned) && aligned != graphic->bounds())
        graphic->setBounds(aligned);
    }
  }
  canvasServices().Undo_Redo_Button_state();
}

void QLNGraphicView::makeSameWidth(QObject *) {
  const QLNGraphicList selected = selectedGraphics();
  if (selected.size() >= 2) {
    const double width = selected.first()->bounds().width();
    for (qsizetype i = 1; i < selected.size(); ++i) {
      const QLNGraphicPtr &graphic = selected.at(i);
      const QRectF b = graphic->bounds();
      if (!graphic->ctrl_is_locked && b.width() != width)
        graphic->setBounds(QRectF(b.x(), b.y(), width, b.height()));
    }
  }
  canvasServices().Undo_Redo_Button_state();
}

void QLNGraphicView::makeSameHeight(QObject *) {
  const QLNGraphicList selected = selectedGraphics();
  if (selected.size() >= 2) {
    const double height = selected.first()->bounds().height();
    for (qsizetype i = 1; i < selected.size(); ++i) {
      const QLNGraphicPtr &graphic = selected.at(i);
      const QRectF b = graphic->bounds();
      if (!graphic->ctrl_is_locked && b.height() != height)
        graphic->setBounds(QRectF(b.x(), b.y(), b.width(), height));
    }
  }
  canvasServices().Undo_Redo_Button_state();
}

void QLNGraphicView::makeNaturalSize(QObject *) {
  for (const QLNGraphicPtr &graphic : selectedGraphics())
    graphic->makeNaturalSize();
  canvasServices().Undo_Redo_Button_state();
}

// ---- Order -----------------------------------------------------------------------------------------

namespace {

void moveSelectionAsBlock(QLNGraphicView &view, bool toFront) {
  if (view.There_Is_Any_Lock_Contrl()) {
    Show_MessageBox(QStringLiteral("Selected control is locked."));
    return;
  }
  const QLNGraphicList moving = view.selectedGraphics();
  const QLNIndexSet indexes = view.selectionIndexes();
  if (!moving.isEmpty()) {
    QLNGraphicView::MutableGraphics list = view.mutableGraphics();
    list.removeObjectsAtIndexes(indexes);
    const int first = toFront ? 0 : int(view.graphics().size());
    QLNIndexSet block;
    for (int i = 0; i < moving.size(); ++i) {
      list.insertObject(moving.at(i), first + i);
      block.append(first + i);
    }
    view.changeSelectionIndexes(block);
  }
  canvasServices().Undo_Redo_Button_state();
}

}  // namespace

void QLNGraphicView::bringToFront(QObject *) { moveSelectionAsBlock(*this, true); }

void QLNGraphicView::sendToBack(QObject *) { moveSelectionAsBlock(*this, false); }

// ---- Print flag and selection ----------------------------------------------------------------------

void QLNGraphicView::print_contol_or_not(int value) {
  for (const QLNGraphicPtr &graphic : selectedGraphics())
    if (!graphic->ctrl_is_locked)
      graphic->print_object = value;
}

void QLNGraphicView::selectAll(QObject *) {
  QLNIndexSet all;
  for (int i = 0; i < graphics().size(); ++i)
    all.append(i);
  changeSelectionIndexes(all);
}

void QLNGraphicView::deselectAll(QObject *) { changeSelectionIndexes(QLNIndexSet()); }

void QLNGraphicView::Clear_Control_Selection() { changeSelectionIndexes(QLNIndexSet()); }

void QLNGraphicView::Refresh_ScrollView(QObject *) {
  for (QWidget *ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
    if (auto *scrollView = qobject_cast<QAbstractScrollArea *>(ancestor)) {
      scrollView->viewport()->update();
      scrollView->update();
      return;
    }
  }
}

// ---- Menu validation -----------------------------------------------------------------------------

bool QLNGraphicView::validateMenuItem(MenuCommand command, QAction *item) const {
  const QLNGraphicList selected = selectedGraphics();
  switch (command) {
    case MenuCommand::MakeNaturalSize:
      for (const QLNGraphicPtr &graphic : selected)
        if (graphic->canMakeNaturalSize())
          return true;
      return false;
    case MenuCommand::AlignWithGrid:
      return _grid && _grid->canAlign() && !selected.isEmpty();
    case MenuCommand::Delete:
    case MenuCommand::BringToFront:
    case MenuCommand::SendToBack:
    case MenuCommand::Cut:
    case MenuCommand::Copy:
      return !selected.isEmpty();
    case MenuCommand::AlignLeft:
    case MenuCommand::AlignRight:
    case MenuCommand::AlignTop:
    case MenuCommand::AlignBottom:
    case MenuCommand::AlignHorizontalCenters:
    case MenuCommand::AlignVerticalCenters:
    case MenuCommand::MakeSameWidth:
    case MenuCommand::MakeSameHeight:
      return selected.size() >= 2;
    case MenuCommand::Undo:
      return _graphicsContainer && _graphicsContainer->undoManager()->canUndo();
    case MenuCommand::Redo:
      return _graphicsContainer && _graphicsContainer->undoManager()->canRedo();
    case MenuCommand::ShowOrHideRulers:
      if (item)
        item->setText(rulersVisible() ? QCoreApplication::translate("QLNGraphicView", "Hide Ruler")
                                      : QCoreApplication::translate("QLNGraphicView", "Show Ruler"));
      return true;
    case MenuCommand::Paste:
    case MenuCommand::SelectAll:
    case MenuCommand::Other:
      return true;
  }
  return true;
}

// ---- Bulk operations -------------------------------------------------------------------------------

void QLNGraphicView::Hide_all_Text_control_FUP_Control() {
  const QLNGraphicList list = graphics();
  for (qsizetype i = list.size() - 1; i >= 0; --i) {
    const QLNGraphicPtr &graphic = list.at(i);
    if (!graphic)
      continue;
    const QString kind = graphic->className();
    if ((kind == QLatin1String("QLNText") || kind == QLatin1String("QLNImage")) &&
        ProfileFieldIds.contains(graphic->control_ID))
      graphic->Set_Ctrl_Is_Visible(false);
  }
  setNeedsDisplay();
}
