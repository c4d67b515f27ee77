#pragma once
// What every fuzzing harness shares.
//
// A harness hands the bytes libFuzzer made to one of the program's readers, then uses
// whatever was read the way the program would: draws it, measures it, writes it again
// with the program's own writer and reads that back. A fault that the sanitizers do not
// see on their own (a file that opens but can never be saved again, a value that
// changes between a save and the next open) is reported with fail(), which prints what
// went wrong and traps, so libFuzzer keeps the input as a crash.
//
// Each harness also writes its seed corpus: run with AMENDS_FUZZ_WRITE_SEEDS=<folder>
// it writes representative files made by the program's own writers into that folder
// and exits instead of fuzzing.

#include "core/Card_Property.h"
#include "core/QLNGraphic.h"
#include "designs/model/DesignLog.h"
#include "platform/PropertyList.h"

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace fuzz {

// Writes the seed files of one harness into a folder (see writeSeed()).
using SeedWriter = std::function<void(const QString &folder)>;

// Called from LLVMFuzzerInitialize: the offscreen Qt application (fonts, painting),
// a resource folder of our own seeded with the shipped resources (the hatch patterns
// and sample pictures the drawing code loads), the program's log and Qt's warnings
// silenced (AMENDS_FUZZ_VERBOSE=1 keeps them), and a UI double that treats any
// question to a person as a fault: no reader or drawing code may show a window.
// With AMENDS_FUZZ_WRITE_SEEDS set, writes the seeds and exits.
void initialize(int *argc, char ***argv, const char *harness, const SeedWriter &writeSeeds);

// The harness's input as a byte array (copied: QByteArray::fromRawData would let
// Qt read past the end of inputs that are not NUL-terminated).
QByteArray bytesOf(const uint8_t *data, size_t size);

// Reports a fault of the program and traps. `what` says which promise broke.
[[noreturn]] void fail(const QString &what, const QString &detail = QString());

// Writes one seed file `name` into `folder`; a seed that cannot be written stops the
// seed run with an error.
void writeSeed(const QString &folder, const QString &name, const QByteArray &bytes);

// ---- Using what was read -----------------------------------------------------------------

// Draws `graphic` the way a card side view does (clipped to its drawing bounds) into a
// small image at a zoom of 0.4, again moved into view and while being edited, with its
// handles; hit-tests it at its centre, corners and handles; reads its drawing bounds,
// position and size. Changes nothing of the object.
void exerciseGraphic(QLNGraphic &graphic);
// The editing steps a person takes on a placed object: natural size, a flip both ways,
// and a drag of a handle to `target`. These change the object.
void editGraphic(QLNGraphic &graphic, int handle, const QPointF &target);
// Group measurements of a selection: bounds, drawing bounds.
void measureGraphics(const QLNGraphicList &graphics);

// Draws the card base of `side` for a card canvas of `canvas` (points) into a small
// image, outlined as `cardShape` (0 rectangle, 1 rounded, 2 oval), the way the main
// window draws a side; then the side's objects over it, as the side view does.
void drawSide(const Card_Property &side, const QSizeF &canvas, int cardShape,
              const QLNGraphicList &objects = {});

// ---- Writing again ----------------------------------------------------------------------

// Writes `graphic` with the program's archive writer and reads it back: fails when it
// cannot be written, when what was written does not read back, or when it reads back
// different (see describeGraphic). Answers the object read back.
QLNGraphicPtr rereadGraphic(const QLNGraphic &graphic, const QString &context);

// Saves `contents` as a design log the way the Save command does (the writer, then the
// reader's check of the written bytes): fails when it cannot be written or does not
// open again. Answers what opened.
DesignLogContents resaveDesign(const DesignLogContents &contents, const QString &context);

// ---- Comparing -----------------------------------------------------------------------------

// Every archived field of a card object, one "name=value" line each, exact (numbers by
// value, a NaN equal to a NaN; colours by their 16-bit channels; texts by the
// attributes in effect at each character, however their runs are cut; pictures by
// their sizes).
QStringList describeGraphic(const QLNGraphic &graphic);
// The same for a card side's settings. Without `withPicture` the loaded background
// picture, which design logs never store, is left out.
QStringList describeSide(const Card_Property &side, bool withPicture = true);

// The first difference between two objects (or sides) that would draw or save
// differently: their descriptions, then their pictures' pixels as drawn (premultiplied,
// each channel within 2 of 255). Empty when there is none.
QString differenceBetween(const QLNGraphic &before, const QLNGraphic &after);
QString differenceBetween(const Card_Property &before, const Card_Property &after, bool withPicture = true);

// The first line where two descriptions differ; empty when there is none.
QString firstDifference(const QStringList &before, const QStringList &after);

// Whether two property-list values are equal: same types, same containers, same keys in
// the same order, numbers by their bits (a NaN equals a NaN). With `wholeSecondDates`
// dates may differ below a second (the XML form keeps whole seconds). On a difference
// *where says where.
bool samePropertyList(const PlistValue &a, const PlistValue &b, bool wholeSecondDates,
                      QString *where = nullptr);

// What the XML form can hold of a text or value: XML 1.0 has no NUL, no other C0
// control character but tab, line feed and carriage return, no U+FFFE, U+FFFF or lone
// surrogate, and the XML writer writes each such UTF-16 unit as U+FFFD; a dict key
// that thereby equals an earlier one keeps the earlier place and takes the later value.
QString xmlSafe(const QString &text);
PlistValue xmlSafe(const PlistValue &value);

}  // namespace fuzz
