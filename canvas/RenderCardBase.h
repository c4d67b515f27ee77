#pragma once
// The card base: everything a side shows under its card objects. A white ground in the
// card's shape, the side's fill (solid colour, gradient, hatch pattern or background
// picture) and the side's border, all taken from the side's Card_Property.
//
// These functions take the side and everything else they draw with as arguments and
// read no globals, so a worker thread can draw a side from its own copy of the
// settings. The main window's Card_Base_Drawing picks the current side and calls
// drawCardBase; the renderer (canvas/QLNRenderingView.h) calls it with the settings of
// the side it renders.
//
// Opacity: the solid, gradient and hatch background colours carry the side's opacity
// already (the card settings actions store them so) and are drawn as stored; the
// background picture, tiled or stretched, is drawn at the side's Card_alpha_Stepper.
// The border colour is drawn as stored. A colour that is absent (a damaged design)
// draws nothing in its place.

#include <QPainterPath>
#include <QRectF>
#include <QString>

class Card_Property;
class QPainter;

namespace CardBase {

// Corner radius of the rounded card shape, points.
constexpr double RoundedCornerRadius = 10.0;

// The card's outline fitted to `rect`: `cardShape` 1 a rounded rectangle with corner
// radius 10 points, 2 the inscribed oval, any other value the rectangle itself.
QPainterPath cardOutline(const QRectF &rect, int cardShape);

// A side's Card_alpha_Stepper as an opacity 0..1: values above 1 (a new record holds
// 100.0) act as 1, negative ones as 0, a value that is not a number as 1.
double sideOpacity(float cardAlpha);

// Draws the base of `side` into `painter` for `rect` (in the painter's coordinates,
// points, y downwards):
//  1. the outline of `cardShape` filled white;
//  2. with Card_fill_chk, the fill of Card_fill_style: "G" a gradient at
//     Card_grad_Stepper degrees; "H" Card_hatch_bk_clr under the pattern image
//     Card_hatch_style of `resourcePath`/"Fill_Style_Image"; "I" the background picture,
//     tiled inside the outline ("Tile") or stretched over `pictureBounds` (any other
//     layout; not clipped to the outline, so on a rounded or oval card it also covers
//     the corners); any other code Card_fill_clr;
//  3. with Card_border_chk, the outline with its curves flattened, stroked with
//     Card_bordr_clr, Card_bor_Stepper points wide, mitred joins, flat caps and the dash
//     pattern of Card_border_style (lengths in points, phase 0 at the outline's top left).
// `pictureBounds` is where a stretched picture goes: the bounds of the card canvas,
// which all sides and the renderer share; an empty rectangle means `rect`.
// Anything that goes wrong is written to the log and the drawing ends there; the
// painter's state is restored in every case.
void drawCardBase(QPainter &painter, const QRectF &rect, const Card_Property &side, int cardShape,
                  const QString &resourcePath, const QRectF &pictureBounds = QRectF());

// Makes the picture at `path` the background of `side`: fill on, fill style "I",
// Card_BG_Image_Path `path`, Card_BG_Image the picture read from the file. A file that
// cannot be read leaves the same settings with no picture (the side then shows its white
// base and border) and returns false with the reason in `error`. An empty path changes
// nothing and returns false with `error` left alone.
bool setBackgroundImage(Card_Property &side, const QString &path, QString *error = nullptr);

}  // namespace CardBase
