#include "core/Shape_Control.h"

QLNGraphicPtr Shape_Control::copyWithZone() const {
  auto copy = std::make_shared<Shape_Control>();
  copyBaseFieldsTo(*copy);
  return copy;
}
