#pragma once
// A Code 128 barcode bound to a series whose second row holds a value Code 128 cannot
// carry, and the note that the final report of an export, print or mail run gives for
// such a card.

#include "barcode/BarcodeProduction.h"
#include "core/QLNBarcode.h"
#include "dataseries/model/SeriesStore.h"

#include <gtest/gtest.h>

#include <memory>

namespace unheldbarcode {

// The series "Codes": 1001, ÄÖÜ-1006 and 1003.
inline void writeCodes() {
  const QStringList values{QStringLiteral("1001"), QStringLiteral("\u00c4\u00d6\u00dc-1006"), QStringLiteral("1003")};
  ASSERT_TRUE(SeriesStore::write(QStringLiteral("Codes"), values, SeriesStore::EmptyValues::KeepAsEmptyLines,
                                 SeriesStore::WriteMode::Replace));
}

// A Code 128 barcode in the card's lower half bound to "Codes".
inline std::shared_ptr<QLNBarcode> boundCode128() {
  auto code = std::make_shared<QLNBarcode>();
  code->linear_or_2d = 0;
  code->barcode_font_index = int(barcodeSymbologyNames().indexOf(QStringLiteral("Code 128")));
  code->setBounds(QRectF(10, 50, 120, 45));
  code->data_source_type = 1;
  code->batch_list_name = QStringLiteral("Codes");
  return code;
}

inline const QString Note = QStringLiteral(
    "Some cards were made without their barcode, which could not hold the value:\nCard 2: \"\u00c4\u00d6\u00dc-1006\"");

}  // namespace unheldbarcode
