// Card export without windows: the names of the files, the combined image of both
// sides, and the batch engine on its worker threads (files the same as one by one,
// stop without gaps or partial files, failing cards reported with the rest written).

#include "tests/output/export_fixture.h"

#include "output/CardExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include <sys/stat.h>

using namespace exporttest;

namespace {

TEST(CardExportNames, TheBackPathChangesOnlyTheLastComponent) {
  EXPECT_EQ(CardExport::Create_Back_Card_Path(QStringLiteral("/a/Card_1.png")), QStringLiteral("/a/Card_1_Back.png"));
  EXPECT_EQ(CardExport::Create_Front_Card_Path(QStringLiteral("/a/Card_1.png")), QStringLiteral("/a/Card_1.png"));
  // A folder carrying the file's name keeps it.
  EXPECT_EQ(CardExport::Create_Back_Card_Path(QStringLiteral("/out/Card_1.png/x/Card_1.png")),
            QStringLiteral("/out/Card_1.png/x/Card_1_Back.png"));
  EXPECT_EQ(CardExport::Create_Back_Card_Path(QStringLiteral("/out/Card/Card")), QStringLiteral("/out/Card/Card_Back."));
  // Only the last extension moves behind "_Back"; a point in a folder name is not one.
  EXPECT_EQ(CardExport::Create_Back_Card_Path(QStringLiteral("/a/cards.tar.TIFF")),
            QStringLiteral("/a/cards.tar_Back.TIFF"));
  EXPECT_EQ(CardExport::Create_Back_Card_Path(QStringLiteral("/a.d/x")), QStringLiteral("/a.d/x_Back."));
  EXPECT_EQ(CardExport::Create_Back_Card_Path(QStringLiteral("x")), QStringLiteral("x_Back."));

  EXPECT_EQ(CardExport::batchFolder(QStringLiteral("/home/u/Out")), QStringLiteral("/home/u/Out/Amends Greeting Cards"));
  EXPECT_EQ(CardExport::cardPath(QStringLiteral("/f"), 0, QStringLiteral("TIFF")), QStringLiteral("/f/Card_1.TIFF"));
  EXPECT_EQ(CardExport::cardPath(QStringLiteral("/f"), 11, QStringLiteral("JPG")), QStringLiteral("/f/Card_12.JPG"));
}

TEST(CardExportNames, OnlyResolutionsFromOneTo2400AreTaken) {
  EXPECT_EQ(CardExport::parseResolution(QStringLiteral("72")), 72);
  EXPECT_EQ(CardExport::parseResolution(QStringLiteral(" 300 ")), 300);
  EXPECT_EQ(CardExport::parseResolution(QStringLiteral("150.5")), 150.5);
  for (const char *bad : {"", "abc", "0", "-72", "2401", "1e9", "nan", "inf", "72dpi", "1,5"})
    EXPECT_EQ(CardExport::parseResolution(QString::fromLatin1(bad)), 0) << bad;
}

TEST(CardExportNames, TheBatchFolderIsMadeWithTheUsersUmaskAndAFileInTheWayIsRefused) {
  QTemporaryDir root;
  const QString folder = CardExport::batchFolder(root.filePath(QStringLiteral("deep/er")));
  const mode_t previous = umask(027);
  const bool made = CardExport::makeBatchFolder(folder);
  umask(previous);
  ASSERT_TRUE(made);
  const QFileDevice::Permissions permissions = QFileInfo(folder).permissions();
  EXPECT_FALSE(permissions & QFileDevice::WriteOther) << "made with 0777";
  EXPECT_FALSE(permissions & QFileDevice::ReadOther);
  EXPECT_TRUE(permissions & QFileDevice::WriteOwner);
  EXPECT_TRUE(CardExport::makeBatchFolder(folder)) << "an existing folder is used";

  QFile blocker(root.filePath(QStringLiteral("file")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  QString error;
  EXPECT_FALSE(CardExport::makeBatchFolder(CardExport::batchFolder(blocker.fileName()), &error));
  EXPECT_TRUE(error.contains(QStringLiteral("cannot be made")));
}

// ---- Combined image ---------------------------------------------------------------------------------

TEST(CardExportCombined, TheFrontIsOnTopAndTheBackStandsOnTheBottomLeftAtItsOwnSize) {
  const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 160, 0);
  // A smaller back: the rest of the lower half stays transparent.
  PointImage both = CardExport::combinedImage(plainImage(QSize(20, 10), red), plainImage(QSize(16, 6), blue));
  ASSERT_FALSE(both.isNull());
  EXPECT_EQ(both.points, QSizeF(20, 20));
  ASSERT_EQ(both.pixels.size(), QSize(20, 20));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const QColor pixel = both.pixels.pixelColor(x, y);
      QColor expected = Qt::transparent;
      if (y < 10)
        expected = red;
      else if (y >= 14 && x < 16)
        expected = blue;
      ASSERT_EQ(pixel.rgba(), expected.rgba()) << "pixel " << x << "," << y;
    }

  // A larger back is cut off by the front and the image's edge.
  both = CardExport::combinedImage(plainImage(QSize(20, 10), red), plainImage(QSize(30, 15), green));
  ASSERT_EQ(both.pixels.size(), QSize(20, 20));
  EXPECT_EQ(both.pixels.pixelColor(0, 9), red);
  EXPECT_EQ(both.pixels.pixelColor(19, 10), green);
  EXPECT_EQ(both.pixels.pixelColor(0, 19), green);

  // At four pixels per point the pixels follow the front's resolution.
  both = CardExport::combinedImage(plainImage(QSize(20, 10), red, 4), plainImage(QSize(20, 10), blue, 4));
  EXPECT_EQ(both.points, QSizeF(20, 20));
  EXPECT_EQ(both.pixels.size(), QSize(80, 80));
  EXPECT_EQ(both.pixels.pixelColor(79, 39), red);
  EXPECT_EQ(both.pixels.pixelColor(0, 40), blue);

  QString error;
  EXPECT_TRUE(CardExport::combinedImage(plainImage(QSize(20, 10), red), PointImage(), &error).isNull());
  EXPECT_EQ(error, QStringLiteral("Invalid image"));
}

// ---- The batch engine -------------------------------------------------------------------------------

// Cards of 100 by 50 points: the front in a shade of red, the back in a shade of blue,
// both changing with the card, so that every file differs.
CardExport::SideMaker shadedCards() {
  return [](int card, bool back, QString *) {
    const int shade = (card * 37) % 200 + 20;
    return plainPicture(QSizeF(100, 50), back ? QColor(0, 0, shade) : QColor(shade, 0, 0));
  };
}

TEST(CardExportBatchWorker, BothSidesGiveCardAndBackFilesAtTheChosenResolution) {
  QTemporaryDir root;
  for (const double dpi : {72.0, 300.0}) {
    SCOPED_TRACE(dpi);
    const QString folder = root.filePath(QString::number(dpi));
    ASSERT_TRUE(QDir().mkpath(folder));
    CardExport::Options options;
    options.side = QStringLiteral("BOTH");
    options.extension = QStringLiteral("TIFF");
    options.dpi = dpi;
    CardExport::BatchEngine engine(shadedCards(), 3, folder, options, 3);
    engine.run();
    EXPECT_TRUE(engine.isFinished());
    EXPECT_FALSE(engine.stopped());
    EXPECT_TRUE(engine.failures().isEmpty());
    EXPECT_EQ(engine.filesWritten(), 6);
    EXPECT_EQ(entriesOf(folder), (QStringList{"Card_1.TIFF", "Card_1_Back.TIFF", "Card_2.TIFF", "Card_2_Back.TIFF",
                                              "Card_3.TIFF", "Card_3_Back.TIFF"}));
    const QSize pixels = dpi == 72 ? QSize(100, 50) : QSize(417, 209);  // ceil(300 * points / 72)
    for (const QString &name : entriesOf(folder)) {
      const QString path = QDir(folder).filePath(name);
      EXPECT_TRUE(hasPngSignature(path)) << name.toStdString() << ": a TIFF name holds PNG data";
      const QImage image = readPng(path);
      EXPECT_EQ(image.size(), pixels) << name.toStdString();
      EXPECT_EQ(statedDpiOf(image), int(dpi)) << name.toStdString();
      const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
      if (name.contains(QStringLiteral("Back")))
        EXPECT_TRUE(centre.red() == 0 && centre.blue() > 0) << name.toStdString();
      else
        EXPECT_TRUE(centre.blue() == 0 && centre.red() > 0) << name.toStdString();
    }
  }

  // One side alone, and both sides combined: one file per card.
  for (const char *side : {"F", "B", "BOTH"}) {
    const QString folder = root.filePath(QStringLiteral("side-%1").arg(QLatin1String(side)));
    ASSERT_TRUE(QDir().mkpath(folder));
    CardExport::Options options;
    options.side = QLatin1String(side);
    options.combined = true;  // ignored unless both sides are written
    options.extension = QStringLiteral("png");
    CardExport::BatchEngine(shadedCards(), 2, folder, options).run();
    if (QLatin1String(side) == QLatin1String("B"))
      EXPECT_EQ(entriesOf(folder), (QStringList{"Card_1_Back.png", "Card_2_Back.png"}));
    else
      EXPECT_EQ(entriesOf(folder), (QStringList{"Card_1.png", "Card_2.png"})) << side;
    const QImage first = readPng(QDir(folder).filePath(entriesOf(folder).first()));
    EXPECT_EQ(first.size(), QLatin1String(side) == QLatin1String("BOTH") ? QSize(100, 100) : QSize(100, 50)) << side;
  }
}

TEST(CardExportBatchWorker, ManyWorkersWriteTheSameFilesAsOneAndReportProgressInOrder) {
  QTemporaryDir root;
  const QString single = root.filePath(QStringLiteral("one"));
  const QString many = root.filePath(QStringLiteral("many"));
  ASSERT_TRUE(QDir().mkpath(single) && QDir().mkpath(many));
  CardExport::Options options;
  options.side = QStringLiteral("BOTH");
  options.extension = QStringLiteral("png");
  options.dpi = 150;
  CardExport::BatchEngine(shadedCards(), 24, single, options, 1).run();

  CardExport::BatchEngine engine(shadedCards(), 24, many, options, 6);
  EXPECT_EQ(engine.threadCount(), 6);
  std::mutex mutex;
  std::vector<int> progress;
  engine.onProgress = [&](int finished) {
    std::lock_guard lock(mutex);
    progress.push_back(finished);
  };
  std::atomic<int> finishedCalls{0};
  engine.onFinished = [&] { ++finishedCalls; };
  engine.run();
  EXPECT_EQ(finishedCalls.load(), 1);
  ASSERT_FALSE(progress.empty());
  for (size_t i = 1; i < progress.size(); ++i)
    EXPECT_LT(progress[i - 1], progress[i]);
  EXPECT_EQ(progress.back(), 24);
  EXPECT_EQ(engine.finishedInOrder(), 24);

  ASSERT_EQ(entriesOf(single).size(), 48u);
  ASSERT_EQ(entriesOf(many), entriesOf(single));
  for (const QString &name : entriesOf(single)) {
    QFile a(QDir(single).filePath(name)), b(QDir(many).filePath(name));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll()) << name.toStdString();
  }

  // No card: the run ends at once.
  CardExport::BatchEngine none(shadedCards(), 0, many, options);
  bool ended = false;
  none.onFinished = [&] { ended = true; };
  none.run();
  EXPECT_TRUE(ended);
  EXPECT_TRUE(none.isFinished());
  EXPECT_FALSE(none.stopped());
}

TEST(CardExportBatchWorker, StopEndsAfterTheCardsInFlightWithoutGapsOrPartialFiles) {
  QTemporaryDir root;
  std::atomic<bool> stop{false};
  // Card 8 asks to stop while it is made; the cards begun go on to the end.
  CardExport::SideMaker makeSide = [&](int card, bool back, QString *failure) {
    if (card == 7)
      stop = true;
    return shadedCards()(card, back, failure);
  };
  CardExport::Options options;
  options.side = QStringLiteral("BOTH");
  options.extension = QStringLiteral("png");
  options.dpi = 144;
  CardExport::BatchEngine engine(makeSide, 400, root.path(), options, 4);
  engine.run(&stop);
  EXPECT_TRUE(engine.stopped());
  const int made = engine.cardsBegun();
  EXPECT_GE(made, 8);
  EXPECT_LT(made, 400);
  EXPECT_EQ(engine.finishedInOrder(), made);
  EXPECT_EQ(engine.filesWritten(), 2 * made);

  QStringList expected;
  for (int card = 1; card <= made; ++card)
    expected << QStringLiteral("Card_%1.png").arg(card) << QStringLiteral("Card_%1_Back.png").arg(card);
  QStringList names = entriesOf(root.path());
  expected.sort();
  names.sort();
  EXPECT_EQ(names, expected) << "cards 1 to " << made << " and nothing else (no temporary files)";
  for (const QString &name : names) {
    const QImage image = readPng(root.filePath(name));
    EXPECT_EQ(image.size(), QSize(200, 100)) << name.toStdString() << " is whole";
  }

  // A stop before the start writes nothing.
  QTemporaryDir other;
  std::atomic<bool> stopped{true};
  CardExport::BatchEngine never(shadedCards(), 5, other.path(), options, 2);
  never.run(&stopped);
  EXPECT_TRUE(never.stopped());
  EXPECT_TRUE(entriesOf(other.path()).isEmpty());
}

TEST(CardExportBatchWorker, AFailingCardIsReportedWithTheRestWritten) {
  QTemporaryDir root;
  CardExport::SideMaker makeSide = [](int card, bool back, QString *failure) {
    if (card == 2 && back) {
      *failure = QStringLiteral("no ink");
      return CardPicture();
    }
    if (card == 4 && !back)
      *failure = QStringLiteral("the photo is missing");  // drawn, but without it
    return shadedCards()(card, back, failure);
  };
  // Card 6's front cannot be written: a folder stands in its place.
  ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("Card_6.png"))));
  CardExport::Options options;
  options.side = QStringLiteral("BOTH");
  options.extension = QStringLiteral("png");
  CardExport::BatchEngine engine(makeSide, 7, root.path(), options, 3);
  engine.run();
  EXPECT_FALSE(engine.stopped());
  EXPECT_EQ(engine.finishedInOrder(), 7);
  EXPECT_EQ(engine.failures().count(), 3);
  const QString message = engine.failures().message();
  EXPECT_TRUE(message.startsWith(QStringLiteral("Some cards could not be made:\nCard 3: no ink\nCard 5: the photo is missing\nCard 6: ")))
      << message.toStdString();
  EXPECT_TRUE(message.contains(root.filePath(QStringLiteral("Card_6.png")))) << message.toStdString();
  // A failing card leaves no file of its own: neither side of cards 3 and 5.
  for (int card : {1, 2, 4, 7}) {
    EXPECT_TRUE(hasPngSignature(root.filePath(QStringLiteral("Card_%1.png").arg(card)))) << card;
    EXPECT_TRUE(hasPngSignature(root.filePath(QStringLiteral("Card_%1_Back.png").arg(card)))) << card;
  }
  for (const char *name : {"Card_3.png", "Card_3_Back.png", "Card_5.png", "Card_5_Back.png"})
    EXPECT_FALSE(QFileInfo::exists(root.filePath(QLatin1String(name)))) << name;
  EXPECT_TRUE(QFileInfo(root.filePath(QStringLiteral("Card_6.png"))).isDir());
  EXPECT_EQ(engine.filesWritten(), 9);  // four whole cards and card 6's back
}

}  // namespace
