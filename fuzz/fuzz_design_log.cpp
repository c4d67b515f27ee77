// Design logs (designs/model/DesignLog): the bytes are read as a ".dcard" file, the way
// the Open command reads one: the file checked whole, then the image objects' pictures
// and the sides' background pictures loaded from the paths the file names. Both sides
// are drawn with their objects; every object is hit-tested and measured. The design is
// then saved as the Save command saves it and must open again with the same contents,
// and saving what opened must give the same file.

#include "FuzzSupport.h"
#include "SeedDesigns.h"

#include "designs/DesignFileSupport.h"
#include "mainwindow/CardBaseDrawing.h"

#include <tuple>

namespace {

void writeSeeds(const QString &folder) {
  for (const auto &[name, design] : fuzz::seeds::designs()) {
    QString error;
    fuzz::writeSeed(folder, name + QStringLiteral(".dcard"), writeDesignLog(design, &error));
  }
}

// What a design log keeps of a side: the picture itself is never stored, the opacity
// is written with two decimals, and the picture path only with a picture fill.
Card_Property storedSide(const Card_Property &side) {
  Card_Property kept = side;
  clearUnusedBackgroundPath(kept);
  kept.setCard_alpha_Stepper(QString::number(double(side.Card_alpha_Stepper()), 'f', 2).toFloat());
  return kept;
}

// The first difference between a design and the same design saved and opened again.
QString differenceBetween(const DesignLogContents &before, const DesignLogContents &after) {
  QString difference = fuzz::differenceBetween(storedSide(before.front), storedSide(after.front), false);
  if (!difference.isEmpty())
    return QStringLiteral("front side: ") + difference;
  difference = fuzz::differenceBetween(storedSide(before.back), storedSide(after.back), false);
  if (!difference.isEmpty())
    return QStringLiteral("back side: ") + difference;
  if (before.excelBindingUse != after.excelBindingUse || before.excelSourcePath != after.excelSourcePath)
    return QStringLiteral("the spreadsheet binding");
  if (before.gridColumnTitles != after.gridColumnTitles)
    return QStringLiteral("the grid's column titles");
  if (before.gridRows != after.gridRows)
    return QStringLiteral("the grid's rows");
  if (before.gridColumnNames != after.gridColumnNames)
    return QStringLiteral("whether the grid's titles are column names");
  for (const auto &[name, a, b] : {std::tuple{"front", &before.frontObjects, &after.frontObjects},
                                   std::tuple{"back", &before.backObjects, &after.backObjects}}) {
    if (a->size() != b->size())
      return QStringLiteral("%1 objects: %2 became %3").arg(QLatin1String(name)).arg(a->size()).arg(b->size());
    for (qsizetype i = 0; i < a->size(); ++i) {
      difference = fuzz::differenceBetween(*a->at(i), *b->at(i));
      if (!difference.isEmpty())
        return QStringLiteral("%1 object %2: %3").arg(QLatin1String(name)).arg(i + 1).arg(difference);
    }
  }
  return QString();
}

// The Open command's steps after the file was checked.
void loadPictures(DesignLogContents &design) {
  loadDesignLogPictures(design);
  for (Card_Property *side : {&design.back, &design.front})
    if (side->Card_fill_chk() && side->Card_fill_style() == QLatin1String("I"))
      CardBase::setBackgroundImage(*side, side->Card_BG_Image_Path());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_design_log", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  QString error;
  std::optional<DesignLogContents> opened = readDesignLog(bytes, &error);
  if (!opened) {
    if (error.isEmpty())
      fuzz::fail(QStringLiteral("a design log was refused without a reason"));
    return 0;
  }
  DesignLogContents &design = *opened;
  loadPictures(design);

  // Both sides share the canvas of the front side's stored size; the card shape is
  // taken from the input so that every outline is drawn.
  const QSizeF canvas = DesignFiles::canvasSizeForStoredSize(design.front.Card_Size());
  const int shape = int(size % 3);
  fuzz::drawSide(design.front, canvas, shape, design.frontObjects);
  fuzz::drawSide(design.back, canvas, shape, design.backObjects);
  for (const QLNGraphicList *list : {&design.frontObjects, &design.backObjects}) {
    for (const QLNGraphicPtr &graphic : *list)
      fuzz::exerciseGraphic(*graphic);
    fuzz::measureGraphics(*list);
  }

  // Save, as the Save command does, and open again.
  clearUnusedBackgroundPath(design.front);
  clearUnusedBackgroundPath(design.back);
  const QByteArray saved = writeDesignLog(design, &error);
  if (saved.isEmpty())
    fuzz::fail(QStringLiteral("a design that opened cannot be saved"), error);
  std::optional<DesignLogContents> reopened = readDesignLog(saved, &error);
  if (!reopened)
    fuzz::fail(QStringLiteral("a saved design does not open again"), error);
  loadPictures(*reopened);
  const QString difference = differenceBetween(design, *reopened);
  if (!difference.isEmpty())
    fuzz::fail(QStringLiteral("a design changed between its save and the next open"), difference);
  const QByteArray savedAgain = writeDesignLog(*reopened, &error);
  if (savedAgain != saved)
    fuzz::fail(QStringLiteral("saving the reopened design gave another file"),
               QStringLiteral("%1 bytes, then %2 bytes").arg(saved.size()).arg(savedAgain.size()));
  return 0;
}
