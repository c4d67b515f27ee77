#pragma once
// Sample_Preview: the picture of the first sheet inside the print window. The paper in
// white and, at the places the printing view uses (PrintLayout::sheetSlots), each label
// of the rows x columns grid with a grey caption ("Card 3", "Back 3") instead of the
// card, framed in dark grey while the margins box is ticked. Every cell is drawn,
// whatever the number of labels to print. Without a front image every cell reads
// "Invalid Data" in red.
//
// It reads the print-layout globals when it paints; the window tells it the paper size
// and the card size. GUI thread only.

#include "output/model/PrintLayout.h"

#include <QImage>
#include <QSizeF>
#include <QWidget>

class Sample_Preview : public QWidget {
  Q_OBJECT
public:
  explicit Sample_Preview(QWidget *parent = nullptr);

  // The paper in points (empty: no print info, nothing is drawn).
  void setPaperSize(const QSizeF &paper);
  QSizeF paperSize() const { return m_paper; }
  // The size of the window's front image; empty when there is none.
  void setFrontImageSize(const QSizeF &size) { m_front = size; }

  // The sheet picture at one pixel per point; null without paper.
  QImage imageRepresentation() const;
  // Draws the sheet picture with `painter` in points from the paper's top-left corner.
  void drawSheet(QPainter &painter) const;

  // A caption: "Front", "Back" and "Card" get the number and grey, any other text is
  // drawn as it is in red; bold 11 points, centred in `rect`.
  static void Draw_Label_String(QPainter &painter, const QRectF &rect, const QString &text, int number);
  // A dark grey frame around `rect` while Show_margin_rect is set.
  static void Draw_Margin_rect(QPainter &painter, const QRectF &rect);

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QSizeF m_paper;
  QSizeF m_front;
};
