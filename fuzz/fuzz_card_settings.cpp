// Card settings archives (core/Card_Property): the bytes are read as the keyed archive
// of one card side's settings. What reads is archived again and must read back the
// same; the side's card base is drawn in every card shape the way the main window draws
// it; and a design holding the side on both faces must save and open again.

#include "FuzzSupport.h"
#include "SeedDesigns.h"

#include "designs/DesignFileSupport.h"
#include "mainwindow/CardBaseDrawing.h"

namespace {

void writeSeeds(const QString &folder) {
  int n = 0;
  for (const Card_Property &side : fuzz::seeds::cardSides(true))
    fuzz::writeSeed(folder, QStringLiteral("side_%1.archive").arg(n++), side.archivedData());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_card_settings", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  QString error;
  const std::unique_ptr<Card_Property> side = Card_Property::fromArchivedData(bytes, &error);
  if (!side) {
    if (error.isEmpty())
      fuzz::fail(QStringLiteral("a card settings archive was refused without a reason"));
    return 0;
  }

  const QByteArray archive = side->archivedData(&error);
  if (archive.isEmpty())
    fuzz::fail(QStringLiteral("card settings that were read cannot be archived"), error);
  const std::unique_ptr<Card_Property> reread = Card_Property::fromArchivedData(archive, &error);
  if (!reread)
    fuzz::fail(QStringLiteral("the card settings archive the program wrote does not read back"), error);
  const QString difference = fuzz::differenceBetween(*side, *reread);
  if (!difference.isEmpty())
    fuzz::fail(QStringLiteral("card settings changed on their way through their archive"), difference);

  (void)CardBase::sideOpacity(side->Card_alpha_Stepper());
  const QSizeF canvas = DesignFiles::canvasSizeForStoredSize(side->Card_Size());
  for (int shape = 0; shape < 3; ++shape)
    fuzz::drawSide(*side, canvas, shape);

  DesignLogContents design;
  design.front = *side;
  design.back = *side;
  fuzz::resaveDesign(design, QStringLiteral("a design with these settings on both sides"));
  return 0;
}
