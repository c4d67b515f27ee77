// The arithmetic of printing cards on sheets: page counts, the nine positions, gaps,
// margins, auto-centre, both sides in one label, fitting rows and columns to the paper,
// and the settings that cannot be printed.

#include "output/model/PrintLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace PrintLayout;

namespace {

// A 600 x 800 point sheet with margins of 10, 20, 30 and 40 points (left, right, top,
// bottom) and one label of 100 x 50 points.
Settings sheet() {
  Settings s;
  s.paper = QSizeF(600, 800);
  s.left = 10;
  s.right = 20;
  s.top = 30;
  s.bottom = 40;
  s.labelWidth = 100;
  s.labelHeight = 50;
  return s;
}

void expectRect(const QRectF &actual, const QRectF &expected, const char *what) {
  EXPECT_NEAR(actual.x(), expected.x(), 1e-3) << what;
  EXPECT_NEAR(actual.y(), expected.y(), 1e-3) << what;
  EXPECT_NEAR(actual.width(), expected.width(), 1e-3) << what;
  EXPECT_NEAR(actual.height(), expected.height(), 1e-3) << what;
}

}  // namespace

TEST(PrintLayout, PageCountsForLabelsOnAGrid) {
  EXPECT_EQ(pageCount(7, 4), 2) << "7 labels on 2 x 2";
  EXPECT_EQ(pageCount(8, 4), 2);
  EXPECT_EQ(pageCount(9, 4), 3);
  EXPECT_EQ(pageCount(1, 10), 1);
  EXPECT_EQ(pageCount(1000, 10), 100);
  // Nothing to print gives no sheet, never a negative count; no cell counts as one.
  EXPECT_EQ(pageCount(0, 4), 0);
  EXPECT_EQ(pageCount(-5, 4), 0);
  EXPECT_EQ(pageCount(5, 0), 5);
  EXPECT_EQ(pageCount(5, -3), 5);
  // The card numbers of a sheet follow from the sheet and the cell.
  EXPECT_EQ(labelIndex(1, 0, 4), 4);
  EXPECT_EQ(labelIndex(1, 2, 4), 6);
}

TEST(PrintLayout, RowsAndColumnsBelowOneAreLaidOutAsOne) {
  Settings s = sheet();
  s.rows = 0;
  s.cols = -2;
  EXPECT_EQ(s.labelsPerSheet(), 1);
  const QList<Slot> cells = sheetSlots(s);
  ASSERT_EQ(cells.size(), 1);
  expectRect(cells[0].cell, QRectF(10, 30, 100, 50), "the one cell at the top left");
}

TEST(PrintLayout, TheNinePositionsPlaceTheBlockInThePrintableArea) {
  // Expected top-left corners: left / centre / right across, top / middle / bottom down.
  const double xs[3] = {10, 10 + (570 - 100) / 2.0, 600 - 20 - 100};
  const double ys[3] = {30, 30 + (730 - 50) / 2.0, 800 - 40 - 50};
  for (int position = 1; position <= 9; ++position) {
    Settings s = sheet();
    s.position = position;
    const QList<Slot> cells = sheetSlots(s);
    ASSERT_EQ(cells.size(), 1);
    const std::string what = "position " + std::to_string(position);
    expectRect(cells[0].cell, QRectF(xs[(position - 1) % 3], ys[(position - 1) / 3], 100, 50), what.c_str());
  }
  // A value outside 1 to 9 is the top left.
  Settings s = sheet();
  s.position = 12;
  expectRect(sheetSlots(s).at(0).cell, QRectF(10, 30, 100, 50), "position 12");
}

TEST(PrintLayout, GapsSeparateCellsInReadingOrder) {
  Settings s = sheet();
  s.rows = 2;
  s.cols = 3;
  s.gapAcross = 5;
  s.gapDown = 7;
  for (int position : {1, 5, 9}) {
    s.position = position;
    const QList<Slot> cells = sheetSlots(s);
    ASSERT_EQ(cells.size(), 6);
    const QPointF origin = cells[0].cell.topLeft();
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(cells[i].row, i / 3 + 1);
      EXPECT_EQ(cells[i].column, i % 3 + 1);
      EXPECT_EQ(cells[i].number(), i + 1) << "captions read 1 to 6 in reading order";
      EXPECT_NEAR(cells[i].cell.x() - origin.x(), (i % 3) * 105.0, 1e-3);
      EXPECT_NEAR(cells[i].cell.y() - origin.y(), (i / 3) * 57.0, 1e-3) << "row 1 is the top row";
    }
    // The whole block stays at its place: the right-hand and bottom ones end at the margin.
    if (position == 9) {
      EXPECT_NEAR(cells[5].cell.right(), 580, 1e-3);
      EXPECT_NEAR(cells[5].cell.bottom(), 760, 1e-3);
    }
    if (position == 5) {
      EXPECT_NEAR(cells[0].cell.left() - 10, 580 - cells[5].cell.right(), 1e-3) << "centred across";
      EXPECT_NEAR(cells[0].cell.top() - 30, 760 - cells[5].cell.bottom(), 1e-3) << "centred down";
    }
  }
}

TEST(PrintLayout, AutoCentreLeavesEqualGapsAroundEveryCell) {
  Settings s = sheet();
  s.autoCenter = true;
  s.rows = 2;
  s.cols = 3;
  const Fit across = fitAlong(600, 30, 100, 3, 99, true);
  const Fit down = fitAlong(800, 70, 50, 2, 99, true);
  EXPECT_EQ(across.count, 3);
  EXPECT_FALSE(across.setField);
  EXPECT_NEAR(across.gap, 67.5, 1e-4) << "(570 - 300) / 4, the typed gap ignored";
  EXPECT_NEAR(down.gap, 210, 1e-4);
  s.gapAcross = across.gap;
  s.gapDown = down.gap;
  s.position = 9;  // ignored in auto-centre
  const QList<Slot> cells = sheetSlots(s);
  ASSERT_EQ(cells.size(), 6);
  EXPECT_NEAR(cells[0].cell.left() - 10, 67.5, 1e-3);
  EXPECT_NEAR(cells[1].cell.left() - cells[0].cell.right(), 67.5, 1e-3);
  EXPECT_NEAR(cells[2].cell.left() - cells[1].cell.right(), 67.5, 1e-3);
  EXPECT_NEAR(580 - cells[2].cell.right(), 67.5, 1e-3);
  EXPECT_NEAR(cells[0].cell.top() - 30, 210, 1e-3);
  EXPECT_NEAR(cells[3].cell.top() - cells[0].cell.bottom(), 210, 1e-3);
  EXPECT_NEAR(760 - cells[3].cell.bottom(), 210, 1e-3);
}

TEST(PrintLayout, SidesSitInTheirCell) {
  Settings s = sheet();
  s.card = QSizeF(60, 40);
  // One side: the card centred in the cell, front and back alike.
  Slot one = sheetSlots(s).at(0);
  expectRect(one.front, QRectF(30, 35, 60, 40), "front centred");
  expectRect(one.back, one.front, "a back-only label uses the same place");
  expectRect(one.frontPart, one.cell, "one side owns the cell");

  // Side by side in a cell exactly twice the card's width: the sides touch and fill it.
  s.side = QStringLiteral("BOTH");
  s.arrangement = QStringLiteral("L");
  s.labelWidth = 120;
  Slot sideBySide = sheetSlots(s).at(0);
  expectRect(sideBySide.front, QRectF(10, 35, 60, 40), "front on the left");
  expectRect(sideBySide.back, QRectF(70, 35, 60, 40), "back right of it");
  expectRect(sideBySide.frontPart, QRectF(10, 30, 60, 50), "left half");
  expectRect(sideBySide.backPart, QRectF(70, 30, 60, 50), "right half");

  // Stacked in a cell taller than both: the pair sits at the top, centred across.
  s.arrangement = QStringLiteral("U");
  s.labelWidth = 100;
  s.labelHeight = 100;
  Slot stacked = sheetSlots(s).at(0);
  expectRect(stacked.front, QRectF(30, 30, 60, 40), "front at the top");
  expectRect(stacked.back, QRectF(30, 70, 60, 40), "back right under it");
  expectRect(stacked.frontPart, QRectF(10, 30, 100, 50), "upper half");
  expectRect(stacked.backPart, QRectF(10, 80, 100, 50), "lower half");

  // Without a known card size there is no card place, only the parts.
  s.card = QSizeF();
  EXPECT_TRUE(sheetSlots(s).at(0).front.isNull());
}

TEST(PrintLayout, FittingLowersOnlyWhatDoesNotFit) {
  // 85.725 mm cards on 595.28 points of paper: 10 typed columns become 2.
  const float card = MM_to_Points_Convert(85.725f);
  EXPECT_NEAR(card, 243.0, 1e-3);
  EXPECT_NEAR(Points_to_MM_Convert(243.0f), 85.725, 1e-3);
  Fit fit = fitAlong(595.28f, 0, card, 10, 0, false);
  EXPECT_EQ(fit.count, 2);
  EXPECT_TRUE(fit.setField);
  // Columns that fit stay as typed.
  fit = fitAlong(595.28f, 0, card, 2, 0, false);
  EXPECT_EQ(fit.count, 2);
  EXPECT_FALSE(fit.setField);
  // Filling the paper exactly counts as not fitting, and the recount is the typed count.
  fit = fitAlong(300, 0, 100, 3, 0, false);
  EXPECT_EQ(fit.count, 3);
  EXPECT_FALSE(fit.setField);
  // Gaps take their room: (300 + 10) / 110 gives 2.
  fit = fitAlong(300, 0, 100, 3, 10, false);
  EXPECT_EQ(fit.count, 2);
  EXPECT_NEAR(fit.gap, 10, 1e-6) << "the typed gap stays";
  // Margins too.
  fit = fitAlong(300, 120, 100, 3, 0, false);
  EXPECT_EQ(fit.count, 1);
  // A card wider than the paper: one column, never none.
  fit = fitAlong(200, 0, 243, 4, 0, false);
  EXPECT_EQ(fit.count, 1);
  EXPECT_TRUE(fit.setField);

  // Auto-centre: 2 columns of 243 on 595.28 points leave 36.43-point gaps.
  fit = fitAlong(595.28f, 0, 243, 2, 0, true);
  EXPECT_EQ(fit.count, 2);
  EXPECT_NEAR(fit.gap, (595.28 - 486) / 3, 1e-3);
  // ... a card wider than the paper: one column and no gap.
  fit = fitAlong(200, 0, 243, 3, 0, true);
  EXPECT_EQ(fit.count, 1);
  EXPECT_EQ(fit.gap, 0.0f);
  EXPECT_TRUE(fit.setField);
  // ... too many columns: as many as fit, gap 0.
  fit = fitAlong(600, 0, 100, 8, 0, true);
  EXPECT_EQ(fit.count, 6);
  EXPECT_EQ(fit.gap, 0.0f);

  // No division by a cell of 0 or less (such settings are refused when printing).
  fit = fitAlong(600, 0, 0, 4, 0, false);
  EXPECT_EQ(fit.count, 4);
  fit = fitAlong(600, 0, -10, 4, 0, true);
  EXPECT_EQ(fit.count, 4);
  fit = fitAlong(600, 0, std::numeric_limits<float>::quiet_NaN(), 4, 0, false);
  EXPECT_EQ(fit.count, 4);
  // A typed count below 1 becomes 1, and the field is told.
  fit = fitAlong(600, 0, 100, 0, 0, false);
  EXPECT_EQ(fit.count, 1);
  EXPECT_TRUE(fit.setField);
  // A tiny card on a huge sheet does not overflow the count.
  fit = fitAlong(3e38f, 0, 1e-30f, 5, 0, false);
  EXPECT_EQ(fit.count, 5);
}

TEST(PrintLayout, SettingsThatCannotBePrintedAreRefusedWithTheirMessage) {
  Settings s = sheet();
  EXPECT_EQ(s.refusal(), QString());
  s.labelWidth = 0;
  EXPECT_EQ(s.refusal(), BadLabelSizeMessage);
  s.labelWidth = -4;
  EXPECT_EQ(s.refusal(), BadLabelSizeMessage);
  s.labelWidth = 100;
  s.labelHeight = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(s.refusal(), BadLabelSizeMessage);
  s.labelHeight = std::numeric_limits<float>::infinity();
  EXPECT_EQ(s.refusal(), BadLabelSizeMessage);
  s.labelHeight = 50;
  s.total = 0;
  EXPECT_EQ(s.refusal(), QStringLiteral("There is no barcode to print."));
  s.total = -3;
  EXPECT_EQ(s.refusal(), QStringLiteral("There is no barcode to print."));
  s.total = 1;
  s.paper = QSizeF();
  EXPECT_EQ(s.refusal(), BadPaperMessage);
}

TEST(PrintLayout, ACardIsComparedWithItsOwnPartOfTheCell) {
  PrintLayout::Settings s;
  s.card = QSizeF(200, 100);
  s.labelWidth = 200;
  s.labelHeight = 100;
  EXPECT_EQ(s.oversizedCardQuestion(), QString());
  s.labelHeight = 99.6f;  // rounding of a cell typed in millimetres
  EXPECT_EQ(s.oversizedCardQuestion(), QString());
  s.labelHeight = 90;
  EXPECT_TRUE(s.oversizedCardQuestion().startsWith(QStringLiteral("The card is 70.6 x 35.3 mm, larger than its "
                                                                  "label cell of 70.6 x 31.8 mm")));
  // Both sides side by side share a cell twice as wide; stacked, twice as high.
  s.side = QStringLiteral("BOTH");
  s.arrangement = QStringLiteral("L");
  s.labelWidth = 400;
  s.labelHeight = 100;
  EXPECT_EQ(s.sidePart(), QSizeF(200, 100));
  EXPECT_EQ(s.oversizedCardQuestion(), QString());
  s.arrangement = QStringLiteral("U");
  EXPECT_EQ(s.sidePart(), QSizeF(400, 50));
  EXPECT_FALSE(s.oversizedCardQuestion().isEmpty());
  // An unknown card size asks nothing.
  s.card = QSizeF();
  EXPECT_EQ(s.oversizedCardQuestion(), QString());
}
