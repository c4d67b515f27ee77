#include "linear_test_support.h"

::testing::AssertionResult readsBack(const QList<ExpectedSymbol> &symbols, const QString &zxingFormat) {
  QStringList modules;
  QStringList expected;
  for (const ExpectedSymbol &symbol : symbols) {
    if (symbol.modules.isEmpty())
      return ::testing::AssertionFailure() << "no modules for " << symbol.text.toStdString();
    modules << symbol.modules;
    expected << symbol.text;
  }
  const QImage image = linearSymbolsImage(modules);
  const DecodeResult result = zxingFormat.isEmpty() ? decodeWithZbar(image) : decodeWithZXing(image, zxingFormat);
  if (!result.ran)
    return ::testing::AssertionFailure() << "the reader did not run: " << result.error.toStdString();
  QStringList found = result.texts;
  found.sort();
  expected.sort();
  if (found != expected)
    return ::testing::AssertionFailure() << (zxingFormat.isEmpty() ? "zbarimg" : "ZXingReader") << " read ["
                                         << found.join(QStringLiteral("|")).toStdString() << "], expected ["
                                         << expected.join(QStringLiteral("|")).toStdString() << "]";
  return ::testing::AssertionSuccess();
}
