#pragma once
// The keyed archive of one card object: the storage form of a card object in the design
// log and on the pasteboard. The root object of the archive is the card object, of its
// own class ("QLNText", "QLNImage", "QLNLine", "Shape_Control", "QLNSignature",
// "QLNBarcode"), holding the record's fields under their own names, in the record's
// fixed order; a line adds its two direction flags ("_pointsRight", "_pointsDown") after
// them, a barcode its spread value and PDF417 shape ("kerning_value_val",
// "pdf_row_val", "pdf_col_val"). Border width and gradient angle are written as 32-bit floats.
//
// Archives come from files and the clipboard, so reading treats them as hostile: only
// the six card object classes (and the value classes colours, fonts, attributed text
// and pictures) are accepted, every reference is checked, and anything malformed gives
// no object and an error text, never a crash. Decoding starts from a record whose
// fields are all zero, false or absent: a key missing from the archive leaves its field so.
// The numbers a decoded record carries into drawing and geometry are then held within
// the bounds of DecodedLimits below.

#include "core/QLNGraphic.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

// ---- Bounds of decoded numbers ---------------------------------------------------------
//
// Card objects and card side settings come from files and the clipboard. Every number
// of theirs that reaches drawing or geometry is held, as the record is decoded (the
// card object archive here, the card side archive and the design log's side items in
// Card_Property::holdDecodedNumbers), within bounds that no real design reaches: a card
// is a few hundred points across. A number that is not finite (NaN, an infinity)
// becomes 0; one beyond its bound is held to the bound. Values inside the bounds are
// kept exactly, so a sound design reads back as it was written.
namespace DecodedLimits {
// Positions and sizes, points, each of x, y, width, height (object bounds, a side's
// location and size): within +-1e6 (about 350 m). A picture's size on the card and
// the corner radius of a rounded rectangle: 0 .. 1e6.
constexpr double MaxCoordinate = 1.0e6;
// Border widths of objects and card sides, points: within +-1000, the widest pen drawn
// (CardDrawing::MaxStrokeWidth; a negative width still draws no border).
constexpr double MaxStrokeWidth = 1000.0;
// Kerning of a text object and of its text runs, points: within +-1000, as drawn.
constexpr double MaxKerning = 1000.0;
// Font sizes (object fonts, text runs, a side's content font): 0 .. 1000 points, the
// largest size drawn (FontSpec::MaxDrawnPointSize); 0 is drawn at the default size.
constexpr double MaxFontSize = 1000.0;
// Opacities: 0 .. 100. The fractions (alpha_val, alpha_val_stroke, a side's
// Card_alpha_Stepper) act as 1 above 1 and a new record holds 100; the picture
// transparency img_trnsp_val is a percentage.
constexpr double MaxOpacity = 100.0;
// Vertex counts of stars and polygons (double_star_type, polygon_type): a value outside
// 0 .. 1000 becomes 0, which draws no outline, as drawing does for larger counts
// (Shape_Control::MaxPolygonVertices).
constexpr int MaxVertexCount = 1000;
// Angles (gradient angles, picture rotation), degrees: within one turn either way
// (-360 .. 360, the ends kept, as the angle steppers reach 360); a larger angle is reduced
// to one turn, keeping its sign, which draws the same.
constexpr double FullTurn = 360.0;
// Picture adjustments (hue, saturation, brightness, contrast, sharpness, exposure,
// blur): within +-1000, far past every slider.
constexpr double MaxAdjustment = 1000.0;
// Barcode measures (linear height and width, the five margins): within +-1000. The
// barcode size fields, each up to the largest its stepper in the barcode designer sets:
// the QR size 0 .. 5000 pixels, the PDF417 height and width 0 .. 2000 points, the
// DataMatrix module 0 .. 1000 points (its stepper stops at 100).
constexpr double MaxBarcodeMeasure = 1000.0;
constexpr qint32 MaxQRSize = 5000;
constexpr qint32 MaxPDF417Side = 2000;
constexpr qint32 MaxModuleSize = 1000;

// `value` when finite, 0 when not, held to [low, high].
double finiteWithin(double value, double low, double high);
// An angle in degrees within [-360, 360], reduced to one turn beyond; 0 when not finite.
double withinOneTurn(double degrees);
// A picture's size on the card: a side that is not finite or negative is taken from the
// pixels (72 per inch, or the resolution they carry); each side held to MaxCoordinate.
QSizeF pictureSizeWithin(const QSizeF &points, const QImage &pixels);
// A font with its size held to 0 .. MaxFontSize.
std::optional<FontSpec> fontWithin(const std::optional<FontSpec> &font);
}  // namespace DecodedLimits

// Holds every number of `graphic` that reaches drawing or geometry within DecodedLimits
// (the text runs of its attributed text included). unarchiveGraphic does this for every
// object it reads; a reader of another form of the record calls it itself.
void holdDecodedNumbers(QLNGraphic &graphic);

// The class names a card object archive may hold as its root.
QStringList cardObjectClassNames();

// A new zeroed object of the named card object class; null for any other name.
QLNGraphicPtr makeZeroedGraphic(const QString &className);

// The archive of `graphic`; an empty array with *error set when it cannot be written.
QByteArray archiveGraphic(const QLNGraphic &graphic, QString *error = nullptr);
// The object of an archive, or null with *error set.
QLNGraphicPtr unarchiveGraphic(const QByteArray &archive, QString *error = nullptr);

// Single values as data blocks, for the legacy property dictionaries: a keyed archive
// whose root object, of class "QLNPropertyValue", holds the value under "value".
QByteArray archivedColor(const QColor &color);
std::optional<QColor> unarchivedColor(const QByteArray &data);
QByteArray archivedImage(const PointImage &image);
std::optional<PointImage> unarchivedImage(const QByteArray &data);
QByteArray archivedText(const AttributedText &text);
std::optional<AttributedText> unarchivedText(const QByteArray &data);

// Conversions between the fonts of the record and of the archive.
std::optional<ArchivedFont> toArchivedFont(const std::optional<FontSpec> &font);
std::optional<FontSpec> toFontSpec(const std::optional<ArchivedFont> &font);

// Rectangles and points as text, in the platform's form "{{x, y}, {w, h}}" and "{x, y}"
// (numbers in their shortest exact form). Text that does not parse gives zeros.
QString rectToString(const QRectF &rect);
QRectF rectFromString(const QString &text);
QString pointToString(const QPointF &point);
QPointF pointFromString(const QString &text);
