#pragma once
// Helpers of the linear barcode tests: making a barcode of any symbology and checking
// a batch of symbols with the readers.

#include "barcode/encoding/BRCCode128Barcode.h"
#include "tests/common/decoder_support.h"

#include <gtest/gtest.h>

#include <memory>

// A Code 128 barcode in `codeSet` (3 chooses from the content).
inline std::unique_ptr<BRCCode128Barcode> makeCode128(const QString &content, int codeSet) {
  auto barcode = std::make_unique<BRCCode128Barcode>();
  barcode->setCodeSet(codeSet);
  if (!barcode->initWithContent_printsCaption(content, true))
    return nullptr;
  return barcode;
}

// One symbol to read: its module string and the text a reader must give back.
struct ExpectedSymbol {
  QString modules;
  QString text;
};

// Draws all symbols into one image and asserts that the reader finds exactly the
// expected texts (in any order). `zxingFormat` empty runs zbar, otherwise ZXingReader
// limited to that format.
::testing::AssertionResult readsBack(const QList<ExpectedSymbol> &symbols, const QString &zxingFormat = QString());
