// Card object archives (core/CardObjectArchive): the bytes are read as the keyed
// archive of one card object, as the design log and the pasteboard hold them. What
// reads is archived again and must read back the same; it is drawn, hit-tested and
// measured; saved in a design it must open again; and after the editing steps a person
// takes on it (natural size, flips, dragging a handle) it must still archive and read back.

#include "FuzzSupport.h"
#include "SeedDesigns.h"

#include "core/CardObjectArchive.h"

namespace {

void writeSeeds(const QString &folder) {
  int n = 0;
  for (const QLNGraphicPtr &graphic : fuzz::seeds::cardObjects())
    fuzz::writeSeed(folder, QStringLiteral("%1_%2.archive").arg(n++, 2, 10, QLatin1Char('0')).arg(graphic->className()),
                    archiveGraphic(*graphic));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_card_object", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  QString error;
  const QLNGraphicPtr graphic = unarchiveGraphic(bytes, &error);
  if (!graphic) {
    if (error.isEmpty())
      fuzz::fail(QStringLiteral("a card object archive was refused without a reason"));
    return 0;
  }
  fuzz::rereadGraphic(*graphic, QStringLiteral("as read"));

  fuzz::exerciseGraphic(*graphic);
  DesignLogContents design;
  design.frontObjects = {graphic};
  const DesignLogContents reopened = fuzz::resaveDesign(design, QStringLiteral("a design holding the object"));
  if (reopened.frontObjects.size() != 1)
    fuzz::fail(QStringLiteral("a design saved with one object opened with %1").arg(reopened.frontObjects.size()));

  // A handle and a place to drag it to, taken from the input so every handle is tried.
  const int handle = int(size % 10);
  const QRectF bounds = graphic->bounds();
  const QPointF target = bounds.center() + QPointF(double(size % 37) - 18.0, double(size % 23) - 11.0);
  fuzz::editGraphic(*graphic, handle, target);
  fuzz::exerciseGraphic(*graphic);
  fuzz::rereadGraphic(*graphic, QStringLiteral("after editing"));
  return 0;
}
