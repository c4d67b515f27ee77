#pragma once
// Small views that windows place for their looks:
//  - Repeat_Image: a picture view whose ground is the main window's banner picture,
//    tiled from the view's own top-left corner, so the tiles move with the view;
//  - Promotion_Pattern: the same with the promotion pattern, tiled from the window's
//    bottom-left corner, so neighbouring views of it join seamlessly;
//  - VerticallyCenteredTextFieldCell: a label whose single line of text stands in the
//    middle of its height.
// The picture of a view (setPixmap) is drawn over the pattern. Main thread only.

#include <QLabel>
#include <QRectF>

class Repeat_Image : public QLabel {
  Q_OBJECT
public:
  explicit Repeat_Image(QWidget *parent = nullptr) : QLabel(parent) {}

protected:
  void paintEvent(QPaintEvent *event) override;
};

class Promotion_Pattern : public QLabel {
  Q_OBJECT
public:
  explicit Promotion_Pattern(QWidget *parent = nullptr) : QLabel(parent) {}

protected:
  void paintEvent(QPaintEvent *event) override;
};

class VerticallyCenteredTextFieldCell : public QLabel {
  Q_OBJECT
public:
  explicit VerticallyCenteredTextFieldCell(QWidget *parent = nullptr) : QLabel(parent) {}

  // The rectangle the text is drawn in for the cell `bounds`, given the text's height
  // and the rectangle a plain label would use: its top moved to centre the text in the
  // bounds, its height reduced by the distance moved (a taller text moves it up and
  // makes it taller).
  static QRectF titleRectForBounds(const QRectF &bounds, qreal textHeight, const QRectF &plainTitleRect);
  QRectF titleRectForBounds(const QRectF &bounds) const;

protected:
  void paintEvent(QPaintEvent *event) override;
};
