#pragma once
// The keyed archive of one card object: the storage form of a card object in the design
// log and on the pasteboard. The root object of the archive is the card object, of its
// own class ("QLNText", "QLNImage", "QLNLine", "Shape_Control", "QLNSignature",
// "QLNBarcode"), holding the record's fields under their own names, in the record's
// fixed order; a line adds its two direction flags ("_pointsRight", "_pointsDown") after
// them. Border width and gradient angle are written as 32-bit floats.
//
// Archives come from files and the clipboard, so reading treats them as hostile: only
// the six card object classes (and the value classes colours, fonts, attributed text
// and pictures) are accepted, every reference is checked, and anything malformed gives
// no object and an error text, never a crash. Decoding starts from a record whose
// fields are all zero, false or absent: a key missing from the archive leaves its field so.

#include "core/QLNGraphic.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

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
