// Every symbology that a reader here knows is drawn from its module string and read
// back with zbarimg and ZXingReader: the reader must give exactly the value typed.

#include "barcode/encoding/BRCCode39Barcodes.h"
#include "barcode/encoding/BRCNumericBarcodes.h"
#include "barcode/encoding/BRCUPCEANBarcodes.h"
#include "linear_test_support.h"

namespace {

template <class T>
ExpectedSymbol symbolOf(const QString &content, const QString &text) {
  auto barcode = makeBarcode<T>(content);
  EXPECT_TRUE(barcode && barcode->isContentValid()) << content.toStdString();
  return {barcode ? barcode->completeBarcode() : QString(), text};
}

ExpectedSymbol code128(const QString &content, int codeSet, const QString &text = QString()) {
  auto barcode = makeCode128(content, codeSet);
  EXPECT_TRUE(barcode && barcode->isContentValid()) << content.toStdString();
  return {barcode ? barcode->completeBarcode() : QString(), text.isNull() ? content : text};
}

}  // namespace

TEST(RetailBarcodeReaders, EAN13EveryFirstDigitParityAndCheckDigit) {
  // One value per first digit (each chooses another parity pattern); the check digit
  // is computed from twelve digits or taken from the thirteenth.
  QList<ExpectedSymbol> symbols = {
      symbolOf<BRCEAN13Barcode>("590123412345", "5901234123457"),
      symbolOf<BRCEAN13Barcode>("4006381333931", "4006381333931"),
  };
  const QStringList twelve = {"012345678905", "123456789012", "234567890123", "345678901234",
                              "456789012345", "678901234567", "789012345678", "890123456789", "999999999999"};
  for (const QString &digits : twelve) {
    auto barcode = makeBarcode<BRCEAN13Barcode>(digits);
    symbols << ExpectedSymbol{barcode->completeBarcode(), digits + QChar(barcode->checkDigit())};
  }
  EXPECT_TRUE(readsBack(symbols));
  EXPECT_TRUE(readsBack(symbols, "EAN-13"));
}

TEST(RetailBarcodeReaders, EAN8AndUPCA) {
  QList<ExpectedSymbol> eight = {symbolOf<BRCEAN8Barcode>("9638507", "96385074"),
                                 symbolOf<BRCEAN8Barcode>("55123457", "55123457"),
                                 symbolOf<BRCEAN8Barcode>("0000000", "00000000"),
                                 symbolOf<BRCEAN8Barcode>("1234567", "12345670")};
  EXPECT_TRUE(readsBack(eight));
  EXPECT_TRUE(readsBack(eight, "EAN-8"));

  QList<ExpectedSymbol> upca = {symbolOf<BRCUPCABarcode>("03600029145", "036000291452"),
                                symbolOf<BRCUPCABarcode>("123456789012", "123456789012"),
                                symbolOf<BRCUPCABarcode>("98765432109", "987654321098")};
  EXPECT_TRUE(readsBack(upca, "UPC-A"));
  // zbar reports UPC-A in its EAN-13 form, with a leading zero.
  for (ExpectedSymbol &symbol : upca)
    symbol.text.prepend(QLatin1Char('0'));
  EXPECT_TRUE(readsBack(upca));
}

TEST(RetailBarcodeReaders, UPCEWithGivenComputedAndCompressedCheckDigit) {
  // Given check digit, a computed one (seven digits), an eleven-digit UPC-A number in
  // its zero-suppressed form, and number system 1 (the other parity).
  QList<ExpectedSymbol> symbols = {symbolOf<BRCUPCEBarcode>("01234565", "01234565"),
                                   symbolOf<BRCUPCEBarcode>("0654321", "06543217"),
                                   symbolOf<BRCUPCEBarcode>("01200000345", "01234505"),
                                   symbolOf<BRCUPCEBarcode>("1123456", "11234562")};
  // Check digits 0 to 9, so every parity pattern of number system 0.
  for (const char *digits :
       {"0123530", "0123678", "0123604", "0123715", "0123789", "0123826", "0124011", "0123567", "0123493"}) {
    auto barcode = makeBarcode<BRCUPCEBarcode>(digits);
    symbols << ExpectedSymbol{barcode->completeBarcode(), QString(digits) + QChar(barcode->checkDigit())};
  }
  EXPECT_TRUE(readsBack(symbols, "UPC-E"));
  // zbar reports UPC-E expanded to its UPC-A number in EAN-13 form; the expansions
  // worked out by hand from the zero-suppression rules.
  // zbar knows UPC-E of number system 0 only, so the fourth symbol is left to ZXing.
  const QStringList expanded = {"0012345000065", "0065100004327", "0012000003455", QString(),
                                "0012000003530", "0012367000081", "0012360000002", "0012371000053",
                                "0012378000094", "0012382000066", "0012100004017", "0012356000078",
                                "0012300000499"};
  QList<ExpectedSymbol> zbarSymbols;
  for (int i = 0; i < symbols.size(); ++i)
    if (!expanded[i].isNull())
      zbarSymbols << ExpectedSymbol{symbols[i].modules, expanded[i]};
  EXPECT_TRUE(readsBack(zbarSymbols));
}

TEST(Code39Readers, EveryCharacterAndUpperCasing) {
  const QList<ExpectedSymbol> symbols = {symbolOf<BRCCode39Barcode>("0123456789", "0123456789"),
                                         symbolOf<BRCCode39Barcode>("ABCDEFGHIJKLM", "ABCDEFGHIJKLM"),
                                         symbolOf<BRCCode39Barcode>("NOPQRSTUVWXYZ", "NOPQRSTUVWXYZ"),
                                         symbolOf<BRCCode39Barcode>("-. $/+%", "-. $/+%"),
                                         symbolOf<BRCCode39Barcode>("code 39", "CODE 39")};
  EXPECT_TRUE(readsBack(symbols));
  EXPECT_TRUE(readsBack(symbols, "Code39"));
}

TEST(Code39Readers, ExtendedCode39SendsTheStandardFullAsciiPairs) {
  // Neither reader here expands full ASCII, so each symbol is read as plain Code 39
  // and compared with the pairs of the standard full-ASCII table, written out by hand.
  const QList<ExpectedSymbol> symbols = {
      symbolOf<BRCExtendedCode39Barcode>("a/b\nc", "+A/O+B$J+C"),
      symbolOf<BRCExtendedCode39Barcode>(QString::fromLatin1("\x00\x01\x1a\x1b\x1f\t\r", 7), "%U$A$Z%A%E$I$M"),
      symbolOf<BRCExtendedCode39Barcode>("!\"#$%&'()*+,", "/A/B/C/D/E/F/G/H/I/J/K/L"),
      symbolOf<BRCExtendedCode39Barcode>("-.:;<=>?@", "-./Z%F%G%H%I%J%V"),
      symbolOf<BRCExtendedCode39Barcode>("[\\]^_`{|}~\x7f", "%K%L%M%N%O%W%P%Q%R%S%T"),
      symbolOf<BRCExtendedCode39Barcode>("Az 09", "A+Z 09"),
  };
  EXPECT_TRUE(readsBack(symbols));
  EXPECT_TRUE(readsBack(symbols, "Code39"));
}

TEST(Code128Readers, AutomaticChoiceOddDigitsAndShifts) {
  const QList<ExpectedSymbol> symbols = {
      // Odd digit counts keep their value: no leading zero.
      code128("12345", 3), code128("1", 3), code128("1234567890", 3), code128("000", 3),
      code128("Hello, World!", 3),
      // Control characters choose code set A; a lower-case letter there goes after a shift.
      code128(QStringLiteral("\tAB\x01z"), 3),
      // More lower-case letters: code set B, the control character after a shift.
      code128(QStringLiteral("ab\tc"), 3)};
  EXPECT_TRUE(readsBack(symbols, "Code128"));
  // zbar: the same without the control characters (zbar reports them unchanged too,
  // but the first three are enough here).
  EXPECT_TRUE(readsBack(symbols.mid(0, 5)));
}

TEST(Code128Readers, ExplicitCodeSetsAndEveryCharacter) {
  QString printable;
  for (int c = 32; c < 127; ++c)
    printable += QChar(c);
  QString controls;
  for (int c = 1; c < 32; ++c)
    controls += QChar(c);
  const QList<ExpectedSymbol> symbols = {
      code128(printable.left(48), 1), code128(printable.mid(48), 1),
      code128(printable.left(64), 0),  // code set A: space to underscore
      code128(controls, 0),           code128("1234567", 2), code128("99", 2)};
  EXPECT_TRUE(readsBack(symbols, "Code128"));
  // zbar reads the printable ones.
  EXPECT_TRUE(readsBack({symbols[0], symbols[1], symbols[2], symbols[4], symbols[5]}));
}

TEST(Code128Readers, FixedCodeSetsCarryWhatTheSetLacks) {
  // Lower case in code set A, control characters in code set B, other characters among
  // the digits of code set C: each symbol still reads back as typed.
  const QList<ExpectedSymbol> lacking = {
      code128("Hello", 0),          code128("sorry `{|}~\x7f", 0), code128("ORDER 12345 x", 2),
      code128("12a4", 2),           code128("1234 Sam", 2),         code128("Dear Sam", 2),
      code128(QStringLiteral("A\tB"), 1), code128(QStringLiteral("\x01" "ab\x1f"), 1),
      code128(QStringLiteral("12\t34"), 2)};
  EXPECT_TRUE(readsBack(lacking, "Code128"));
  // zbar reads the ones without control characters.
  EXPECT_TRUE(readsBack(lacking.mid(0, 6)));

  // Content a set carries has no shift or change of set: start, one symbol per character
  // (per digit pair in code set C), check symbol, stop.
  for (const auto &[content, set, symbols] : {std::tuple{"HELLO", 0, 5}, {"hello", 1, 5}, {"123456", 2, 3}}) {
    auto barcode = makeCode128(content, set);
    EXPECT_EQ(barcode->completeBarcode().size(), 11 * (symbols + 2) + 13) << content;
  }
}

TEST(CodabarReaders, EveryCharacterAndEveryStartStop) {
  const QList<ExpectedSymbol> symbols = {symbolOf<BRCCodabarBarcode>("A0123456789B", "A0123456789B"),
                                         symbolOf<BRCCodabarBarcode>("C-$:/.+D", "C-$:/.+D"),
                                         symbolOf<BRCCodabarBarcode>("B40156C", "B40156C"),
                                         symbolOf<BRCCodabarBarcode>("D+++A", "D+++A")};
  EXPECT_TRUE(readsBack(symbols));
  // ZXingReader reports the data without the start and stop letters.
  QList<ExpectedSymbol> inner = symbols;
  for (ExpectedSymbol &symbol : inner)
    symbol.text = symbol.text.mid(1, symbol.text.size() - 2);
  EXPECT_TRUE(readsBack(inner, "Codabar"));
}

TEST(TwoOfFiveReaders, InterleavedEvenAndOddLengths) {
  // Odd lengths are drawn with a leading zero (ITF carries digit pairs).
  const QList<ExpectedSymbol> symbols = {symbolOf<BRCInterleavedTwoOfFiveBarcode>("123456", "123456"),
                                         symbolOf<BRCInterleavedTwoOfFiveBarcode>("0123456789", "0123456789"),
                                         symbolOf<BRCInterleavedTwoOfFiveBarcode>("9876543", "09876543"),
                                         symbolOf<BRCInterleavedTwoOfFiveBarcode>("00000000000000", "00000000000000")};
  EXPECT_TRUE(readsBack(symbols));
  EXPECT_TRUE(readsBack(symbols, "ITF"));
}
