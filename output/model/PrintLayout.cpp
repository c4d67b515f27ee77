#include "output/model/PrintLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

int Print_Row = 1;
int Print_Col = 1;
float label_width = 0;
float label_hight = 0;
float Left_Mar = 0;
float Rite_Mar = 0;
float Top_Mar = 0;
float Bot_Mar = 0;
float horz_mar = 0;
float vert_mar = 0;
bool auto_center_flag = false;
int label_align_val = 1;
QString Print_Card_Side = QStringLiteral("BOTH");
QString Print_Card_Algn = QStringLiteral("U");
bool Show_margin_rect = true;
int Total_Label = 1;
int Total_Label_Real = 1;
int barcode_counter = 0;

namespace PrintLayout {

const QString NothingToPrintMessage = QStringLiteral("There is no barcode to print.");
const QString BadLabelSizeMessage = QStringLiteral("The card width and height must be more than 0 mm.");
const QString BadPaperMessage = QStringLiteral("The paper has no size. Choose a paper in Page Setup.");
const QString PreviewLimitMessage = QStringLiteral(
    "For Qualitative and Performance reason, previewer shows print previews of only first 50 sheets. However, "
    "printing has no such restriction.");

float MM_to_Points_Convert(float mm) { return float(double(mm) * 2.834645669291); }
float Points_to_MM_Convert(float points) { return float(double(points) * 0.3527777777778); }

Settings Settings::fromGlobals(const QSizeF &paper, const QSizeF &card) {
  Settings s;
  s.paper = paper;
  s.rows = Print_Row;
  s.cols = Print_Col;
  s.labelWidth = label_width;
  s.labelHeight = label_hight;
  s.left = Left_Mar;
  s.right = Rite_Mar;
  s.top = Top_Mar;
  s.bottom = Bot_Mar;
  s.gapAcross = horz_mar;
  s.gapDown = vert_mar;
  s.autoCenter = auto_center_flag;
  s.position = label_align_val;
  s.side = Print_Card_Side;
  s.arrangement = Print_Card_Algn;
  s.total = Total_Label;
  s.card = card;
  return s;
}

QString Settings::refusal() const {
  // "!(x > 0)" also refuses a NaN.
  if (!(paper.width() > 0) || !(paper.height() > 0))
    return BadPaperMessage;
  if (!(labelWidth > 0) || !(labelHeight > 0) || !std::isfinite(labelWidth) || !std::isfinite(labelHeight))
    return BadLabelSizeMessage;
  if (total < 1)
    return NothingToPrintMessage;
  return QString();
}

QSizeF Settings::sidePart() const {
  double w = labelWidth;
  double h = labelHeight;
  if (both()) {
    if (sideBySide())
      w /= 2.0;
    else
      h /= 2.0;
  }
  return QSizeF(w, h);
}

QString Settings::oversizedCardQuestion() const {
  if (card.isEmpty() || !std::isfinite(card.width()) || !std::isfinite(card.height()))
    return QString();
  const QSizeF part = sidePart();
  // Half a point (under 0.2 mm) is the rounding between a card size and a cell typed
  // in millimetres, not a card that does not fit.
  constexpr double Tolerance = 0.5;
  if (card.width() <= part.width() + Tolerance && card.height() <= part.height() + Tolerance)
    return QString();
  const auto mm = [](double points) {
    return QString::number(double(Points_to_MM_Convert(float(points))), 'f', 1);
  };
  return QStringLiteral("The card is %1 x %2 mm, larger than its label cell of %3 x %4 mm: it will overlap the "
                        "next labels, and the top row will not be printed whole.\n\nDo you want to print "
                        "anyway?")
      .arg(mm(card.width()), mm(card.height()), mm(part.width()), mm(part.height()));
}

int pageCount(int total, int perSheet) {
  if (total < 1)
    return 0;
  if (perSheet < 1)
    perSheet = 1;
  return total / perSheet + (total % perSheet ? 1 : 0);
}

int Slot::number() const { return (row - 1) * columns + column; }

QRectF toTopLeft(const QRectF &bottomLeft, double paperHeight) {
  return QRectF(bottomLeft.x(), paperHeight - bottomLeft.y() - bottomLeft.height(), bottomLeft.width(),
                bottomLeft.height());
}

namespace {

// The parts and card places of one cell, in bottom-left coordinates.
struct Places {
  QRectF frontPart, backPart, front, back;
};

Places placeSides(const Settings &s, float x, float y) {
  const float w = s.labelWidth;
  const float h = s.labelHeight;
  const float iw = float(s.card.width());
  const float ih = float(s.card.height());
  const bool known = iw > 0 && ih > 0;
  Places p;
  if (!s.both()) {
    p.frontPart = p.backPart = QRectF(x, y, w, h);
    const float fx = x + (w > iw ? (w - iw) / 2 : 0.0f);
    const float fy = y + (h > ih ? (h - ih) / 2 : 0.0f);
    if (known)
      p.front = p.back = QRectF(fx, fy, iw, ih);
  } else if (s.sideBySide()) {
    p.frontPart = QRectF(x, y, w / 2, h);
    p.backPart = QRectF(x + w / 2, y, w / 2, h);
    const float fx = x + (w > 2 * iw ? (w - 2 * iw) / 2 : 0.0f);
    const float fy = y + (h > ih ? (h - ih) / 2 : 0.0f);
    if (known) {
      p.front = QRectF(fx, fy, iw, ih);
      p.back = QRectF(fx + iw, fy, iw, ih);
    }
  } else {
    p.frontPart = QRectF(x, y + h / 2, w, h / 2);
    p.backPart = QRectF(x, y, w, h / 2);
    const float fx = x + (w > iw ? (w - iw) / 2 : 0.0f);
    // The pair sits at the top of a label taller than both sides.
    const float fy = y + h / 2 + (h > 2 * ih ? (h - 2 * ih) / 2 : 0.0f);
    if (known) {
      p.front = QRectF(fx, fy, iw, ih);
      p.back = QRectF(fx, fy - ih, iw, ih);
    }
  }
  return p;
}

}  // namespace

QList<Slot> sheetSlots(const Settings &s) {
  const int rows = s.usedRows();
  const int cols = s.usedCols();
  const float pw = float(s.paper.width());
  const float ph = float(s.paper.height());
  const float w = s.labelWidth;
  const float h = s.labelHeight;
  const float gx = s.gapAcross;
  const float gy = s.gapDown;
  const float availW = pw - s.left - s.right;
  const float availH = ph - s.top - s.bottom;
  const float blockW = float(cols) * w + float(cols - 1) * gx;
  const float blockH = float(rows) * h + float(rows - 1) * gy;
  const int position = s.position >= 1 && s.position <= 9 ? s.position : 1;

  // Bottom edge of the top row.
  float firstY;
  if (s.autoCenter)
    firstY = blockH - h + gy + s.bottom;
  else if (position <= 3)
    firstY = ph - h - s.top;
  else if (position <= 6)
    firstY = (availH - blockH) / 2 + s.bottom + blockH - h;
  else
    firstY = blockH - h + s.bottom;

  // Left edge of the first column.
  float firstX;
  if (s.autoCenter)
    firstX = s.left + gx;
  else if (position == 2 || position == 5 || position == 8)
    firstX = s.left + (availW - blockW) / 2;
  else if (position == 3 || position == 6 || position == 9)
    firstX = pw - blockW - s.right;
  else
    firstX = s.left;

  QList<Slot> cells;
  cells.reserve(rows * cols);
  float y = firstY;
  for (int r = 1; r <= rows; ++r) {
    if (r > 1)
      y = y - h - gy;
    float x = firstX;
    for (int c = 1; c <= cols; ++c) {
      if (c > 1)
        x = x + w + gx;
      const Places places = placeSides(s, x, y);
      Slot slot;
      slot.row = r;
      slot.column = c;
      slot.columns = cols;
      slot.cell = toTopLeft(QRectF(x, y, w, h), ph);
      slot.frontPart = toTopLeft(places.frontPart, ph);
      slot.backPart = toTopLeft(places.backPart, ph);
      if (!places.front.isNull()) {
        slot.front = toTopLeft(places.front, ph);
        slot.back = toTopLeft(places.back, ph);
      }
      cells.append(slot);
    }
  }
  return cells;
}

Fit fitAlong(float paperLength, float marginSum, float cell, int typed, float gap, bool autoCenter) {
  Fit fit;
  fit.count = typed < 1 ? 1 : typed;
  fit.setField = typed < 1;
  fit.gap = autoCenter ? 0.0f : gap;
  if (!(cell > 0) || !std::isfinite(cell))
    return fit;
  const float available = paperLength - marginSum;
  int c = fit.count;
  if (autoCenter) {
    const float centred = (available - float(c) * cell) / float(c + 1);
    if (centred > 0) {
      fit.gap = centred;
      return fit;
    }
    double whole = std::floor(double(available / cell));
    int n = whole >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(whole);
    if (n < 1) {
      n = 1;
      c = 1;
    }
    fit.count = std::min(c, n);
    fit.setField = true;
    fit.gap = 0;
    return fit;
  }
  if ((available - float(c) * cell - float(c - 1) * gap) / float(c + 1) > 0)
    return fit;
  const float step = cell + gap;
  double whole = step > 0 ? std::floor(double((paperLength + gap - marginSum) / step)) : 1.0;
  int n = whole >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(whole);
  if (n < 1) {
    n = 1;
    c = 1;
  }
  c = std::min(c, n);
  if (c < fit.count) {
    fit.count = c;
    fit.setField = true;
  }
  return fit;
}

}  // namespace PrintLayout
