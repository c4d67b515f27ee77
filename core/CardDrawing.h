#pragma once
// The painting steps shared by everything drawn on a card: border dash patterns, solid,
// gradient and pattern fills, and the hatch fill (a background colour under a tiled
// pattern image from the resource folder). The card objects (shapes, lines, text) use
// them for their outlines and boxes, and the card base drawing of the main window uses
// the same functions for the card's own fill and border, so both look alike.
//
// Every function takes what it draws with as arguments and reads no globals: callers
// pass the colours (opacity already applied where they want it), the resource folder
// and the codes. The painter's coordinates are points with y growing downwards, on any
// device (widget, QImage, PDF). Each function saves and restores the painter's state.
// Safe on any thread that owns the painter (no QPixmap, no shared state).

#include "platform/Images.h"

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QString>

class QPainter;
class QLinearGradient;

namespace CardDrawing {

// Stroke widths above this are drawn at this width: far wider than any card, and a
// damaged file must not keep the rasteriser busy for minutes on a line kilometres wide.
constexpr double MaxStrokeWidth = 1000.0;
// Pattern images larger than this (in pixels) are not used: the pattern is read from
// disk on every paint.
constexpr qint64 MaxPatternPixels = 4096LL * 4096LL;

// The dash pattern of a border code in points (on, off, on, off, ...), phase 0:
// "DA" 8 2, "DO" 4 6, "DD" 24 10 6 10, "DDD" 24 8 8 8 8 8. Empty for "S" and for any
// other code: a solid line.
QList<qreal> dashPatternForBorderType(const QString &borderType);

// The pen that strokes a border: `color`, `width` points (limited to MaxStrokeWidth),
// mitred joins (bevelled where the mitre would be longer than 10 widths), the given
// cap and the dash pattern of `borderType`.
// Qt counts dash lengths in pen widths; the pattern is converted so that the dashes
// measure the points of the table above at any width.
QPen borderPen(const QColor &color, double width, const QString &borderType,
               Qt::PenCapStyle cap = Qt::FlatCap);

// Strokes `path` with borderPen. A width that is negative or not a number draws nothing;
// a width of 0 draws the thinnest line the device shows.
void strokeBorder(QPainter *painter, const QPainterPath &path, const QColor &color, double width,
                  const QString &borderType, Qt::PenCapStyle cap = Qt::FlatCap);

// The rectangle that strokeBorder with these arguments covers: the outline of the
// stroke with its caps and its mitred corners (a star point's mitre reaches far past the
// vertex). The softened edge pixels are left to the caller (QLNGraphic::
// drawingBoundsReaching adds them where the outline passes the bounds). Dashes never
// reach farther than the solid line, so the dash pattern is not needed. The null
// rectangle when the path is empty or the width draws nothing.
QRectF borderExtent(const QPainterPath &path, double width, Qt::PenCapStyle cap = Qt::FlatCap);

// Fills `path` with one colour.
void fillSolid(QPainter *painter, const QPainterPath &path, const QColor &color);

// The linear gradient that runs across `rect` at `angleDegrees` from `from` to `to`:
// the angle turns from the x axis towards the y axis, so with y growing downwards 0
// runs from left to right and 90 from top to bottom. Its ends are placed so that the
// two corners farthest along the direction get the pure end colours; beyond them the
// end colours continue. An angle that is not a number counts as 0.
QLinearGradient gradientAcross(const QRectF &rect, const QColor &from, const QColor &to,
                               double angleDegrees);
// Fills `path` with gradientAcross its bounding rectangle.
void fillGradient(QPainter *painter, const QPainterPath &path, const QColor &from, const QColor &to,
                  double angleDegrees);

// The file of the pattern image `name` in the folder "Fill_Style_Image" of the resource
// folder: "<name>.png", else the same name with another image extension (jpg, jpeg,
// tiff, tif, gif, bmp, in that order). Only regular files count. "" when there is none,
// or when `name` is empty or not a plain file name (it comes from design files, so a
// name that climbs out of the folder is refused).
QString patternImagePath(const QString &resourcePath, const QString &name);
// The pattern image `name`, read from disk; a null image when it has no file, cannot be
// read or is larger than MaxPatternPixels.
PointImage loadPatternImage(const QString &resourcePath, const QString &name);

// Fills `path` with `pattern` repeated without gaps, each tile the size of the image in
// points, tiles aligned to the painter's origin, drawn at `opacity` (0..1; values above
// 1 act as 1). A null pattern draws nothing.
void fillPattern(QPainter *painter, const QPainterPath &path, const PointImage &pattern,
                 double opacity = 1.0);

// The hatch fill: `path` filled with `background`, then with the pattern image
// `patternName` of the resource folder on top (the pattern at full opacity). When the
// pattern cannot be read only the background shows.
void fillHatch(QPainter *painter, const QPainterPath &path, const QColor &background,
               const QString &resourcePath, const QString &patternName);

}  // namespace CardDrawing
