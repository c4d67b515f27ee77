// The printing view on paper: PDF files read back through poppler (pages, where each
// card lands to the point, the "Invalid Data" cells) and sheets drawn again and out of
// order. Cards of a batch are made on worker threads, hence the suite's name.

#include "tests/output/print_fixture.h"

#include "dataseries/BatchCardSource.h"

#include <QPageLayout>
#include <QPageSize>
#include <QTemporaryDir>

#include <atomic>

using namespace printtest;

namespace {

// A 600 x 800 point sheet with margins 10, 20, 30, 40 and labels the card's size.
PrintLayout::Settings settings(int rows, int cols, int total) {
  PrintLayout::Settings s;
  s.paper = QSizeF(600, 800);
  s.left = 10;
  s.right = 20;
  s.top = 30;
  s.bottom = 40;
  s.labelWidth = 100;
  s.labelHeight = 50;
  s.card = QSizeF(100, 50);
  s.rows = rows;
  s.cols = cols;
  s.total = total;
  return s;
}

QPageLayout paperLayout() {
  return QPageLayout(QPageSize(QSizeF(600, 800), QPageSize::Point, QString(), QPageSize::ExactMatch),
                     QPageLayout::Portrait, QMarginsF(10, 30, 20, 40), QPageLayout::Point);
}

// `count` cards, each side in its own colour; `calls` counts the requests.
Printing_View::Cards batch(int count, std::atomic<int> *calls = nullptr) {
  Printing_View::Cards cards;
  cards.bound = true;
  cards.count = count;
  cards.make = [calls](int card, bool back, QString *) {
    if (calls)
      ++*calls;
    return plainCard(QSizeF(100, 50), back ? backColour(card) : frontColour(card));
  };
  return cards;
}

class PrintingViewWorkers : public ::testing::Test {
protected:
  QString pdf(const QString &name) { return dir.filePath(name); }
  QString print(const Printing_View &view, const QString &name, int copies = 1,
                BatchRunFailures *failures = nullptr) {
    const QString path = pdf(name);
    const QString error = view.printToPdf(path, paperLayout(), copies, failures);
    EXPECT_EQ(error, QString());
    return path;
  }
  QTemporaryDir dir;
};

}  // namespace

TEST_F(PrintingViewWorkers, SevenCardsOnTwoByTwoFillTwoSheetsCardByCardToThePoint) {
  PrintLayout::Settings s = settings(2, 2, 7);
  s.gapAcross = 10;
  s.gapDown = 20;
  BatchRunFailures failures;
  const Printing_View view(s, batch(7));
  EXPECT_EQ(view.numberOfPages(), 2);
  const QString file = print(view, QStringLiteral("seven.pdf"), 1, &failures);
  EXPECT_TRUE(failures.isEmpty());
  ASSERT_EQ(pdfPageCount(file), 2);
  EXPECT_EQ(pdfPageSize(file), QSizeF(600, 800));
  for (int page = 1; page <= 2; ++page) {
    const QImage image = pdfPage(file, page);
    ASSERT_EQ(image.size(), QSize(600, 800));
    for (int cell = 0; cell < 4; ++cell) {
      const int card = (page - 1) * 4 + cell;
      const QRectF expected(10 + (cell % 2) * 110, 30 + (cell / 2) * 70, 100, 50);
      if (card < 7) {
        const QRect box = colourBox(image, frontColour(card));
        EXPECT_TRUE(sameBox(box, expected)) << "card " << card << " at " << box.x() << "," << box.y() << " "
                                            << box.width() << "x" << box.height();
      } else {
        EXPECT_EQ(colourCount(image, Qt::white, expected.toRect()), 100 * 50) << "the last cell stays empty";
      }
    }
  }
}

TEST_F(PrintingViewWorkers, TheNinePositionsAndAutoCentreOnPaper) {
  const double xs[3] = {10, 245, 480};
  const double ys[3] = {30, 370, 710};
  Printing_View::Cards one;
  one.front = plainCard(QSizeF(100, 50), frontColour(0));
  one.back = plainCard(QSizeF(100, 50), backColour(0));
  for (int position = 1; position <= 9; ++position) {
    PrintLayout::Settings s = settings(1, 1, 1);
    s.position = position;
    const QString file = print(Printing_View(s, one), QStringLiteral("position%1.pdf").arg(position));
    const QRect box = colourBox(pdfPage(file, 1), frontColour(0));
    EXPECT_TRUE(sameBox(box, QRectF(xs[(position - 1) % 3], ys[(position - 1) / 3], 100, 50)))
        << "position " << position << ": " << box.x() << "," << box.y();
  }

  // Auto-centre, 3 columns of 100 on 570 points: gaps of 67.5 left, between and right;
  // 1 row of 50 on 730 points: 340 above and below.
  PrintLayout::Settings s = settings(1, 3, 3);
  s.autoCenter = true;
  s.gapAcross = PrintLayout::fitAlong(600, 30, 100, 3, 0, true).gap;
  s.gapDown = PrintLayout::fitAlong(800, 70, 50, 1, 0, true).gap;
  const QImage image = pdfPage(print(Printing_View(s, batch(3)), QStringLiteral("centred.pdf")), 1);
  for (int card = 0; card < 3; ++card) {
    const QRect box = colourBox(image, frontColour(card));
    EXPECT_TRUE(sameBox(box, QRectF(10 + 67.5 + card * 167.5, 30 + 340, 100, 50)))
        << "card " << card << " at " << box.x() << "," << box.y();
  }
}

TEST_F(PrintingViewWorkers, BothSidesShareTheirCell) {
  // Side by side in a label twice the card's width: front then back, touching.
  PrintLayout::Settings s = settings(1, 2, 2);
  s.side = QStringLiteral("BOTH");
  s.arrangement = QStringLiteral("L");
  s.labelWidth = 200;
  s.gapAcross = 10;
  std::atomic<int> calls{0};
  QImage image = pdfPage(print(Printing_View(s, batch(2, &calls)), QStringLiteral("left.pdf")), 1);
  EXPECT_EQ(calls.load(), 4) << "each side of each card made once";
  for (int card = 0; card < 2; ++card) {
    const double x = 10 + card * 210;
    EXPECT_TRUE(sameBox(colourBox(image, frontColour(card)), QRectF(x, 30, 100, 50))) << card;
    EXPECT_TRUE(sameBox(colourBox(image, backColour(card)), QRectF(x + 100, 30, 100, 50))) << card;
  }
  // Stacked in a label taller than both: the pair at its top.
  s = settings(1, 1, 1);
  s.side = QStringLiteral("BOTH");
  s.arrangement = QStringLiteral("U");
  s.labelHeight = 130;
  image = pdfPage(print(Printing_View(s, batch(1)), QStringLiteral("up.pdf")), 1);
  EXPECT_TRUE(sameBox(colourBox(image, frontColour(0)), QRectF(10, 30, 100, 50)));
  EXPECT_TRUE(sameBox(colourBox(image, backColour(0)), QRectF(10, 80, 100, 50)));
  // The back alone, centred in a larger label.
  s = settings(1, 1, 1);
  s.side = QStringLiteral("B");
  s.labelWidth = 140;
  s.labelHeight = 70;
  calls = 0;
  image = pdfPage(print(Printing_View(s, batch(1, &calls)), QStringLiteral("back.pdf")), 1);
  EXPECT_EQ(calls.load(), 1) << "the front is not made for a back-only print";
  EXPECT_TRUE(sameBox(colourBox(image, backColour(0)), QRectF(30, 40, 100, 50)));
  EXPECT_EQ(colourCount(image, frontColour(0)), 0);
}

TEST_F(PrintingViewWorkers, ACardThatCannotBeMadeIsAnInvalidDataCellOnEitherSideAndStillCounts) {
  PrintLayout::Settings s = settings(1, 3, 3);
  s.side = QStringLiteral("BOTH");
  s.arrangement = QStringLiteral("U");
  s.labelHeight = 100;
  Printing_View::Cards cards = batch(3);
  cards.make = [](int card, bool back, QString *failure) {
    if (card == 1 && !back) {
      *failure = QStringLiteral("no picture");
      return CardPicture();
    }
    if (card == 2 && back) {
      // A side drawn without one of its objects is not printed as if whole.
      *failure = QStringLiteral("an object failed");
      return plainCard(QSizeF(100, 50), backColour(card));
    }
    return plainCard(QSizeF(100, 50), back ? backColour(card) : frontColour(card));
  };
  BatchRunFailures failures;
  const QString file = print(Printing_View(s, cards), QStringLiteral("invalid.pdf"), 1, &failures);
  const QImage image = pdfPage(file, 1);
  EXPECT_EQ(colourCount(image, frontColour(1)), 0);
  EXPECT_EQ(colourCount(image, backColour(2)), 0);
  EXPECT_TRUE(sameBox(colourBox(image, backColour(1)), QRectF(110, 80, 100, 50))) << "card 1's back still prints";
  EXPECT_TRUE(sameBox(colourBox(image, frontColour(2)), QRectF(210, 30, 100, 50))) << "the next card keeps its cell";
  // The words sit centred where the failed sides would have been.
  QList<QPointF> centres;
  const QList<Word> words = pdfWords(file, 1);
  for (qsizetype i = 0; i + 1 < words.size(); ++i)
    if (words[i].text == QLatin1String("Invalid") && words[i + 1].text == QLatin1String("Data"))
      centres.append(words[i].box.united(words[i + 1].box).center());
  ASSERT_EQ(centres.size(), 2);
  EXPECT_NEAR(centres[0].x(), 160, 3);
  EXPECT_NEAR(centres[0].y(), 55, 4);
  EXPECT_NEAR(centres[1].x(), 260, 3);
  EXPECT_NEAR(centres[1].y(), 105, 4);
  EXPECT_GT(colourCount(image, Qt::red, QRect(110, 30, 100, 50)), 20) << "in red";
  EXPECT_EQ(failures.count(), 2);
  EXPECT_EQ(failures.message(), QStringLiteral("Some cards could not be made:\nCard 2: front: no picture\n"
                                               "Card 3: back: an object failed"));

  // Without a batch, a design that could not be drawn reads "Invalid Data" in every cell.
  Printing_View::Cards none;
  none.back = plainCard(QSizeF(100, 50), backColour(0));
  const QString unbound = print(Printing_View(settings(2, 2, 3), none), QStringLiteral("nofront.pdf"));
  int invalid = 0;
  for (const Word &word : pdfWords(unbound, 1))
    invalid += word.text == QLatin1String("Invalid") ? 1 : 0;
  EXPECT_EQ(invalid, 3) << "three labels, none beyond the Total";
}

TEST_F(PrintingViewWorkers, LabelsBeyondTheLastCardOfABatchStayEmpty) {
  // 5 cards, Total typed as 8, 2 x 2 labels: sheet 1 cards 0 to 3, sheet 2 card 4 alone.
  std::atomic<int> calls{0};
  const QString file = print(Printing_View(settings(2, 2, 8), batch(5, &calls)), QStringLiteral("beyond.pdf"));
  ASSERT_EQ(pdfPageCount(file), 2);
  EXPECT_EQ(calls.load(), 5) << "no card is asked for past the batch";
  const QImage second = pdfPage(file, 2);
  EXPECT_TRUE(sameBox(colourBox(second, frontColour(4)), QRectF(10, 30, 100, 50)));
  EXPECT_EQ(colourCount(second, Qt::white), 600 * 800 - 100 * 50);
}

TEST_F(PrintingViewWorkers, SheetsDrawnAgainAndOutOfOrderShowTheSameCards) {
  const Printing_View view(settings(1, 3, 7), batch(7));
  auto draw = [&](int page) {
    QImage image(600, 800, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    view.drawSheet(painter, page);
    return image;
  };
  const QImage first = draw(1);
  // A previewer repaints: last sheet, first sheet, the middle one again.
  draw(2);
  draw(0);
  const QImage again = draw(1);
  EXPECT_TRUE(first == again) << "the second sheet always shows cards 3 to 5";
  for (int cell = 0; cell < 3; ++cell)
    EXPECT_TRUE(near(again.pixel(60 + cell * 100, 55), frontColour(3 + cell))) << cell;
  const QImage last = draw(2);
  EXPECT_TRUE(near(last.pixel(60, 55), frontColour(6)));
  EXPECT_TRUE(near(last.pixel(160, 55), Qt::white)) << "nothing after card 6";
}

TEST_F(PrintingViewWorkers, CopiesRepeatTheRunAndAFailedWriteLeavesNoFile) {
  const QString file = print(Printing_View(settings(1, 2, 3), batch(3)), QStringLiteral("copies.pdf"), 2);
  ASSERT_EQ(pdfPageCount(file), 4);
  EXPECT_TRUE(pdfPage(file, 3) == pdfPage(file, 1));
  EXPECT_TRUE(near(pdfPage(file, 4).pixel(60, 55), frontColour(2)));

  // A folder that does not exist: an error, and nothing written.
  const QString missing = dir.filePath(QStringLiteral("no/such/folder/cards.pdf"));
  EXPECT_NE(Printing_View(settings(1, 1, 1), batch(1)).printToPdf(missing, paperLayout(), 1), QString());
  EXPECT_FALSE(QFile::exists(missing));
  // Refused settings write nothing either, and an existing file keeps its bytes.
  PrintLayout::Settings bad = settings(1, 1, 1);
  bad.labelWidth = 0;
  EXPECT_EQ(Printing_View(bad, batch(1)).printToPdf(file, paperLayout(), 1), PrintLayout::BadLabelSizeMessage);
  EXPECT_EQ(pdfPageCount(file), 4);
}

// A run whose snapshot could not be taken prints empty cells, never a stale card.
TEST_F(PrintingViewWorkers, WithoutASnapshotNoLabelAsksForACard) {
  // Without a snapshot there are no cards, and no label asks for one.
  const Printing_View empty(settings(1, 2, 2), Printing_View::fromBatch(nullptr));
  QImage image(600, 800, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    empty.drawSheet(painter, 0);
  }
  EXPECT_EQ(colourCount(image, Qt::white), 600 * 800);
}
