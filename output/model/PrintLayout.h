#pragma once
// PrintLayout: the arithmetic of printing cards on sheets of paper, without any window.
//
// A sheet holds a block of rows x columns label cells. The block sits at one of nine
// positions inside the printable area (the paper less its unprintable margins) with the
// gaps typed by the user, or is centred with equal gaps (auto-centre). A cell holds one
// card side, or both sides stacked ("U") or side by side ("L").
//
// The positions are worked out the way the layout has always been described: from the
// bottom-left corner of the sheet with y growing upwards. sheetSlots() is the one place
// where they are turned into the top-left coordinates (y growing downwards) in which
// everything is drawn; nothing else converts.
//
// Card numbers come from the page and the cell alone (labelIndex), so a page drawn
// twice, or pages drawn out of order (a preview repainting), always show the same cards.
//
// All lengths are points (1/72 inch) as 32-bit floats, as the print window keeps them.

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

// ---- Print-layout globals (GUI thread only) --------------------------------------------
// Kept by the print window (output/Print_Wnd) and read when a print or the thumbnail
// starts: a print run takes a PrintLayoutSettings copy of them and never reads them again.
extern int Print_Row;             // rows of labels per sheet (1 before the first opening)
extern int Print_Col;             // columns of labels per sheet
extern float label_width;         // one label cell: twice the card width for "BOTH" + "L"
extern float label_hight;         // twice the card height for "BOTH" + "U"
extern float Left_Mar;            // the paper's unprintable margins
extern float Rite_Mar;
extern float Top_Mar;
extern float Bot_Mar;
extern float horz_mar;            // gap across / down; in auto-centre the computed gap
extern float vert_mar;
extern bool auto_center_flag;
extern int label_align_val;       // 1 to 9: top left ... bottom right, in reading order
extern QString Print_Card_Side;   // "F", "B" or "BOTH"
extern QString Print_Card_Algn;   // "U" front above back, "L" front left of back
extern bool Show_margin_rect;     // the thumbnail frames each label
extern int Total_Label;           // labels to print
extern int Total_Label_Real;      // Total_Label as the last print started with it
extern int barcode_counter;       // labels laid out by the last print run

namespace PrintLayout {

// Millimetres and points, formed in double precision and rounded to float.
float MM_to_Points_Convert(float mm);
float Points_to_MM_Convert(float points);

struct Settings {
  QSizeF paper;                  // paper size in points
  int rows = 1;
  int cols = 1;
  float labelWidth = 0;
  float labelHeight = 0;
  float left = 0, right = 0, top = 0, bottom = 0;
  float gapAcross = 0;
  float gapDown = 0;
  bool autoCenter = false;
  int position = 1;
  QString side = QStringLiteral("F");
  QString arrangement = QStringLiteral("U");
  int total = 1;
  // The card's own size in points (the size of a rendered side); empty when unknown.
  QSizeF card;

  // The globals above with this paper and card size.
  static Settings fromGlobals(const QSizeF &paper, const QSizeF &card);

  bool both() const { return side == QLatin1String("BOTH"); }
  bool sideBySide() const { return arrangement != QLatin1String("U"); }
  // Rows and columns as laid out: never below 1.
  int usedRows() const { return rows < 1 ? 1 : rows; }
  int usedCols() const { return cols < 1 ? 1 : cols; }
  int labelsPerSheet() const { return usedRows() * usedCols(); }

  // Why these settings cannot be printed, "" when they can: a label width or height, or a
  // paper size, of 0 or less (or not a number), or nothing to print.
  QString refusal() const;

  // The part of a label cell one card side has: the whole cell for one side, half of it
  // for both sides (the halves of the arrangement).
  QSizeF sidePart() const;
  // The question to ask before printing when the card is larger than its part of the
  // cell (it would overlap its neighbours, and the top row would leave the page): the
  // card's and the cell's sizes in millimetres, asking whether to print anyway. "" when
  // the card fits or its size is unknown.
  QString oversizedCardQuestion() const;
};

// The messages of refusal().
extern const QString NothingToPrintMessage;   // "There is no barcode to print."
extern const QString BadLabelSizeMessage;
extern const QString BadPaperMessage;

// Sheets needed for `total` labels, `perSheet` to a sheet; 0 when total < 1 (perSheet
// below 1 counts as 1).
int pageCount(int total, int perSheet);
// The label (card number from 0) shown by cell `cell` (reading order) of sheet `page`
// (from 0).
inline int labelIndex(int page, int cell, int perSheet) { return page * perSheet + cell; }

// The previewer shows at most this many sheets.
constexpr int PreviewSheetLimit = 50;
extern const QString PreviewLimitMessage;

// One label cell of a sheet, in top-left coordinates (points from the paper's top-left
// corner, y downwards).
struct Slot {
  int row = 1;       // from 1, top row first
  int column = 1;    // from 1, left column first
  QRectF cell;       // the whole label
  // The part of the cell that belongs to each side: the whole cell for one side, the
  // left/right halves for "L", the upper/lower halves for "U".
  QRectF frontPart;
  QRectF backPart;
  // Where each side's card is drawn at its natural size; empty when the card size is
  // unknown (then the parts stand in for them).
  QRectF front;
  QRectF back;
  // The number the thumbnail captions the label with: (row - 1) * columns + column.
  int number() const;
  int columns = 1;
};

// The cells of one sheet in reading order (row 1 left to right, then row 2 ...), all
// rows x columns of them.
QList<Slot> sheetSlots(const Settings &settings);

// The bottom-left coordinates of the layout turned into top-left ones for a sheet
// `paperHeight` points high. Used by sheetSlots() only.
QRectF toTopLeft(const QRectF &bottomLeft, double paperHeight);

// Fitting rows or columns to the paper along one direction.
struct Fit {
  int count = 1;        // the count that fits (never below 1)
  float gap = 0;        // the gap to use
  bool setField = false;  // the field and stepper should show `count`
};
// `available` is the paper length less both margins; `paperLength`, `marginSum` as
// given; `cell` the label length; `typed` the count in the field; `gap` the typed gap
// (ignored in auto-centre). A cell of 0 or less (refused when printing) keeps the typed
// count, at least 1.
Fit fitAlong(float paperLength, float marginSum, float cell, int typed, float gap, bool autoCenter);

}  // namespace PrintLayout
