#pragma once
// What the benchmarks draw on: a card side with a gradient fill and a dashed border,
// the busiest card base the settings allow without a picture.

#include "core/Card_Property.h"

#include <QColor>
#include <QString>

inline Card_Property benchCardSide() {
  Card_Property side;
  side.setCard_fill_chk(true);
  side.setCard_fill_style(QStringLiteral("G"));
  side.setCard_fill_Grd_1_clr(QColor(255, 250, 230));
  side.setCard_fill_Grd_2_clr(QColor(230, 240, 255));
  side.setCard_grad_Stepper(35);
  side.setCard_border_chk(true);
  side.setCard_bor_Stepper(2);
  side.setCard_bordr_clr(QColor(120, 60, 40));
  side.setCard_border_style(QStringLiteral("DA"));
  return side;
}
