#pragma once
// Shape_Control: the card object of the eight drawn shapes (rectangle, ellipse, rounded
// rectangle, triangle, diamond, star, double star, polygon), chosen by the record's
// _shape_type. It adds no fields; its outline and painting are in the renderer's files.

#include "core/QLNGraphic.h"

class Shape_Control : public QLNGraphic {
public:
  Shape_Control() = default;
  explicit Shape_Control(Zeroed zeroed) : QLNGraphic(zeroed) {}

  QString className() const override { return QStringLiteral("Shape_Control"); }
  QLNGraphicPtr copyWithZone() const override;
};
