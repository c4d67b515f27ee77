// Pasteboard data (QLNGraphic::graphicsWithPasteboardData): the bytes are read as the
// clipboard contents of copied card objects. The pasted objects are drawn, hit-tested
// and measured, moved to their paste location, then copied and pasted again: every
// object must come back, the same.

#include "FuzzSupport.h"
#include "SeedDesigns.h"

#include "core/QLNError.h"

namespace {

void writeSeeds(const QString &folder) {
  const QLNGraphicList objects = fuzz::seeds::cardObjects();
  fuzz::writeSeed(folder, QStringLiteral("all_objects.pasteboard"), QLNGraphic::pasteboardDataWithGraphics(objects));
  fuzz::writeSeed(folder, QStringLiteral("nothing.pasteboard"), QLNGraphic::pasteboardDataWithGraphics({}));
  for (qsizetype i = 0; i < objects.size(); i += 3)
    fuzz::writeSeed(folder, QStringLiteral("objects_%1.pasteboard").arg(i),
                    QLNGraphic::pasteboardDataWithGraphics(objects.mid(i, 3)));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_pasteboard", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  QLNError error;
  const QLNGraphicList pasted = QLNGraphic::graphicsWithPasteboardData(bytes, &error);
  if (pasted.isEmpty())
    return 0;
  for (const QLNGraphicPtr &graphic : pasted)
    fuzz::exerciseGraphic(*graphic);
  fuzz::measureGraphics(pasted);
  // As a canvas pastes: the objects move to the paste location, cascading.
  QLNGraphic::Paste_Location_Of_Graphics(pasted, 10.0, 10.0, QStringLiteral("F"));
  QLNGraphic::translateGraphics(pasted, 5.0, -2.5);
  fuzz::measureGraphics(pasted);

  const QByteArray copied = QLNGraphic::pasteboardDataWithGraphics(pasted);
  const QLNGraphicList again = QLNGraphic::graphicsWithPasteboardData(copied, &error);
  if (again.size() != pasted.size())
    fuzz::fail(QStringLiteral("%1 pasted objects were copied, and %2 pasted again")
                   .arg(pasted.size())
                   .arg(again.size()));
  for (qsizetype i = 0; i < pasted.size(); ++i) {
    const QString difference = fuzz::differenceBetween(*pasted.at(i), *again.at(i));
    if (!difference.isEmpty())
      fuzz::fail(QStringLiteral("pasted object %1 changed when copied and pasted again").arg(i + 1), difference);
  }
  return 0;
}
