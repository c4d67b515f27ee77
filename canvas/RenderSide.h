#pragma once
// The reentrant core of the renderer: a card side drawn from explicit arguments only.
//
// A CardSideSnapshot holds everything a side is drawn from, by value: the side's card
// settings (or a recording of its card base), the side's number, its card objects and
// the canvas size. The functions below read nothing else: no widget, no main window and
// no process-wide state such as Card_Front_Or_Back. So several threads may each render
// a snapshot of their own at the same time, while the canvases paint the live objects.
//
// The objects of a snapshot are drawn as they are, and drawing writes to them (colours
// are stored back with their opacity, a text makes its storage on first use): a
// snapshot that other threads may read, or whose objects the canvases show, must hold
// copies (copyGraphicsForRendering), made on the thread that owns the originals.
// QLNRenderingView::currentSideSnapshot builds such a snapshot of the current side.

#include "canvas/RenderPicture.h"

#include "core/Card_Property.h"
#include "core/QLNGraphic.h"

#include <QByteArray>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

class QPainter;

struct CardSideSnapshot {
  // The side the snapshot shows: 0 front, any other value back (the value of
  // Card_Front_Or_Back it stands for). Shown in messages; the base comes from the fields
  // below.
  int side = 0;
  // The card canvas in points: the side is drawn in (0, 0, canvasSize).
  QSizeF canvasSize;
  // The card objects, index 0 the front-most.
  QLNGraphicList graphics;
  // The card base: drawn from `settings` (the side's own card settings, with the card
  // shape and the resource folder of its hatch patterns) when present; otherwise
  // `recordedBase` is played; with neither there is no card base.
  std::optional<Card_Property> settings;
  int cardShape = 0;
  QString resourcePath;
  CardPicture recordedBase;

  QRectF bounds() const { return QRectF(QPointF(0, 0), canvasSize); }
};

namespace Render {

// Copies of card objects that share nothing mutable with the originals
// (QLNGraphic::copyForRendering: every field, pictures shared read-only, a text storage of
// their own). Objects that cannot be copied are left out and named in `error` (the copy
// then has fewer objects). Run it where the originals are safe to read (the GUI thread
// for live objects; any thread for the copies in a snapshot nobody draws).
QLNGraphicList copyGraphicsForRendering(const QLNGraphicList &graphics, QString *error = nullptr);

// Draws `side` into `painter`, whose coordinates are the side's points (origin at the
// top left, y downwards):
//  1. the card base over the whole canvas;
//  2. the objects whose print_object is 0, from the last index to index 0, each with
//     the painter's state saved around it and clipped to its own drawing bounds, as the
//     canvas clips it, so that the card looks as the canvas shows it.
// An object whose drawing throws ends the drawing there: the objects after it are not
// drawn, and its reason is returned. "" when everything was drawn.
QString drawSide(QPainter &painter, const CardSideSnapshot &side);

// The side recorded as a picture of the canvas size. A drawing failure (see drawSide)
// leaves the picture without the failing object and those after it, with the reason in
// `drawingError`. A null picture, with the reason in `error`, when the canvas is empty.
CardPicture recordSide(const CardSideSnapshot &side, QString *drawingError = nullptr, QString *error = nullptr);

// The side drawn straight onto an image at `dpi` (the pixel size of
// CardPicture::pixelSizeAt, transparent outside the card), without a recording in
// between: the fast road for output that needs pixels only. Failures as in recordSide
// and CardPicture::toImage.
PointImage renderSideImage(const CardSideSnapshot &side, double dpi, QString *drawingError = nullptr,
                           QString *error = nullptr);

// TIFF data of `graphics` alone (no card base, every object whatever its print flag),
// cropped to `rect` (the union of their drawing bounds) at one pixel per point: an
// image of rect's size with its origin at rect's top left, each object drawn from the
// last index to 0 and clipped to its own drawing bounds. An object that cannot be
// drawn is left out (its reason in `drawingError`). Empty, with the reason in `error`,
// when `rect` is empty or too large or the TIFF cannot be written.
QByteArray tiffDataOfObjects(const QLNGraphicList &graphics, const QRectF &rect, QString *drawingError = nullptr,
                             QString *error = nullptr);

}  // namespace Render
