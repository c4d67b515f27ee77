// The linear barcode model: what every symbology shares (sizes, captions, bar heights,
// copies and archives), check digits, and the content each symbology refuses.

#include "barcode/encoding/BRCCode39Barcodes.h"
#include "barcode/encoding/BRCNumericBarcodes.h"
#include "barcode/encoding/BRCPostalBarcodes.h"
#include "barcode/encoding/BRCUPCEANBarcodes.h"
#include "linear_test_support.h"
#include "platform/Log.h"

#include <QBuffer>

#include <thread>

TEST(LinearBarcodeModel, DefaultsWidthAndMissingContent) {
  auto barcode = makeBarcode<BRCCode39Barcode>("ABC");
  ASSERT_TRUE(barcode);
  EXPECT_TRUE(barcode->printsCaption());
  EXPECT_EQ(barcode->checkDigit(), -1);
  EXPECT_FLOAT_EQ(barcode->barWidth(), 0.936f);
  EXPECT_FLOAT_EQ(barcode->height(), 36.0f);
  EXPECT_FLOAT_EQ(barcode->caption_fontSize(), 6.0f);
  // Start, three characters and stop, 13 modules each; no check character.
  EXPECT_EQ(barcode->completeBarcode().size(), 5 * 13);
  EXPECT_FLOAT_EQ(barcode->width(), 65 * 0.936f);
  EXPECT_TRUE(barcode->completeBarcode().startsWith("1001011011010" "1101010010110"));
  EXPECT_EQ(barcode->header(), QStringLiteral(""));
  EXPECT_FALSE(barcode->header().isNull());
  // A new bar width leaves the width alone until it is computed again.
  barcode->setBarWidth(2.0f);
  EXPECT_FLOAT_EQ(barcode->width(), 65 * 0.936f);
  barcode->calculateWidth();
  EXPECT_FLOAT_EQ(barcode->width(), 130.0f);
  EXPECT_FLOAT_EQ(barcode->lastBar(), 128.0f);

  EXPECT_FALSE(makeBarcode<BRCCode39Barcode>(QString()));
  EXPECT_FALSE(makeBarcode<BRCEAN13Barcode>(QString()));
  EXPECT_FALSE(makeBarcode<BRCRoyalMailBarcode>(QString()));
  EXPECT_FALSE(makeCode128(QString(), 3));
}

TEST(LinearBarcodeModel, BarHeightFollowsTheDesignerMarginsAndTextLines) {
  auto barcode = makeBarcode<BRCCodabarBarcode>("A1B");
  BarcodeDesignerSettings settings;
  settings.value_font = FontSpec(QStringLiteral("DejaVuSans"), 10);
  settings.header_font = FontSpec(QStringLiteral("DejaVuSans"), 20);
  settings.footer_font = FontSpec(QStringLiteral("DejaVuSans"), 10);
  settings.value_margin = 2;
  settings.header_margin = 3;
  settings.footer_margin = 4;
  settings.TB_margin = 5;
  barcode->setDesignerSettings(settings);
  barcode->setPrintsCaption(false);
  EXPECT_FLOAT_EQ(barcode->barTop(0), 36.0f - 10.0f);
  EXPECT_FLOAT_EQ(barcode->barTop(7), barcode->barTop(0));

  // The text heights follow the designer's fonts, not the size argument.
  barcode->setCaptionFontSize(99);
  EXPECT_FLOAT_EQ(barcode->caption_fontSize(), 99.0f);
  barcode->setHeader("Sorry");
  barcode->setHeaderFontSize(20);
  EXPECT_GT(barcode->captionHeight(), 0.0f);
  EXPECT_GT(barcode->headerHeight(), 1.6f * barcode->captionHeight());
  EXPECT_LT(barcode->headerHeight(), 2.4f * barcode->captionHeight());
  EXPECT_GT(barcode->headerWidth(), 20.0f);
  barcode->setPrintsCaption(true);
  barcode->setPrintsHeader(true);
  const float expected = 36.0f - (barcode->captionHeight() * 72 + 2) - (barcode->headerHeight() * 72 + 3) - 10;
  EXPECT_FLOAT_EQ(barcode->barTop(3), expected);
  EXPECT_FLOAT_EQ(barcode->barBottom(3), (barcode->captionHeight() + barcode->headerHeight()) * 72);
}

TEST(LinearBarcodeModel, CopiesAndArchivesKeepTheSymbol) {
  // A copy of a Code 128 barcode in code set B must still be in code set B.
  auto code128 = makeCode128("abc", BRCCode128Barcode::CodeSetB);
  auto copy = code128->copyWithZone();
  ASSERT_TRUE(copy);
  EXPECT_STREQ(copy->className(), "BRCCode128Barcode");
  EXPECT_EQ(copy->completeBarcode(), code128->completeBarcode());
  EXPECT_TRUE(copy->isContentValid());
  EXPECT_TRUE(copy->isEqual(*makeBarcode<BRCCodabarBarcode>("abc")));

  auto ean = makeBarcode<BRCEAN13Barcode>("5901234123457");
  QByteArray data;
  {
    QDataStream out(&data, QIODevice::WriteOnly);
    ean->encodeWithCoder(out);
  }
  BRCEAN13Barcode decoded;
  QDataStream in(data);
  ASSERT_TRUE(decoded.initWithCoder(in));
  EXPECT_EQ(decoded.content(), "590123412345");
  EXPECT_EQ(decoded.checkDigit(), '7');
  EXPECT_FLOAT_EQ(decoded.width(), ean->width());
  EXPECT_EQ(decoded.completeBarcode(), ean->completeBarcode());

  // A cut archive is refused rather than read half.
  for (int length = 0; length < data.size(); length += 3) {
    BRCEAN13Barcode damaged;
    QDataStream cut(data.left(length));
    EXPECT_FALSE(damaged.initWithCoder(cut)) << length;
  }
}

TEST(LinearBarcodeModel, ContentOutsideAsciiIsRefusedEverywhere) {
  const QString accented = QStringLiteral("D\u00e9sol\u00e9");
  EXPECT_FALSE(makeBarcode<BRCCode39Barcode>(accented)->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCExtendedCode39Barcode>(accented)->isContentValid());
  EXPECT_TRUE(makeBarcode<BRCExtendedCode39Barcode>(accented)->barcode().isEmpty());
  EXPECT_FALSE(makeBarcode<BRCCodabarBarcode>(accented)->isContentValid());
  EXPECT_FALSE(makeCode128(accented, 3)->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCEAN13Barcode>(QStringLiteral("59012341234\u0667"))->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCUPCEBarcode>(QStringLiteral("012345\u0665"))->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCPostnetBarcode>(QStringLiteral("1234\u0665"))->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCInterleavedTwoOfFiveBarcode>(QStringLiteral("12\u0663"))->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCModifiedPlesseyBarcode>(accented)->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCRoyalMailBarcode>(accented)->isContentValid());
}

TEST(RetailBarcodeModel, CheckDigitsCaptionsAndRefusals) {
  // EAN-13: computed, given and right, given and wrong, too long (kept whole, not cut
  // to another number).
  EXPECT_EQ(makeBarcode<BRCEAN13Barcode>("590123412345")->checkDigit(), '7');
  EXPECT_TRUE(makeBarcode<BRCEAN13Barcode>("5901234123457")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCEAN13Barcode>("5901234123458")->isContentValid());
  auto tooLong = makeBarcode<BRCEAN13Barcode>("59012341234571");
  EXPECT_FALSE(tooLong->isContentValid());
  EXPECT_EQ(tooLong->content(), "59012341234571");
  EXPECT_FALSE(makeBarcode<BRCEAN13Barcode>("59012341234")->isContentValid());
  EXPECT_EQ(makeBarcode<BRCEAN13Barcode>("590123412345")->caption(), "  901234\t123457");
  EXPECT_EQ(makeBarcode<BRCEAN13Barcode>("590123412345")->leftCaption(), "5");

  // EAN-8 and UPC-E verify a given check digit.
  auto ean8 = makeBarcode<BRCEAN8Barcode>("9638507");
  EXPECT_EQ(ean8->checkDigit(), '4');
  EXPECT_EQ(ean8->caption(), " 9638\t5074");
  EXPECT_EQ(ean8->completeBarcode().size(), 67);
  EXPECT_TRUE(makeBarcode<BRCEAN8Barcode>("96385074")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCEAN8Barcode>("96385075")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCEAN8Barcode>("963850")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCEAN8Barcode>("9638A07")->isContentValid());

  auto upca = makeBarcode<BRCUPCABarcode>("03600029145");
  EXPECT_EQ(upca->checkDigit(), '2');
  EXPECT_EQ(upca->caption(), "36000\t29145");
  EXPECT_EQ(upca->leftCaption(), "0");
  EXPECT_EQ(upca->rightCaption(), "2");
  EXPECT_FALSE(makeBarcode<BRCUPCABarcode>("036000291453")->isContentValid());

  auto upce = makeBarcode<BRCUPCEBarcode>("01234565");
  EXPECT_EQ(upce->content(), "0123456");
  EXPECT_EQ(upce->completeBarcode().size(), 51);
  EXPECT_TRUE(upce->completeBarcode().endsWith("010101"));
  EXPECT_EQ(upce->caption(), "123456");
  EXPECT_FALSE(makeBarcode<BRCUPCEBarcode>("01234564")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCUPCEBarcode>("2123456")->isContentValid());
  // Seven digits get their check digit; eleven are compressed only when they can be.
  EXPECT_EQ(makeBarcode<BRCUPCEBarcode>("0123456")->checkDigit(), '5');
  EXPECT_TRUE(makeBarcode<BRCUPCEBarcode>("0123456")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCUPCEBarcode>("01234567890")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCUPCEBarcode>("01200010345")->isContentValid());

  EXPECT_EQ(BRCUPCEBarcode::UPCAToUPCE("012000003455"), "123450");
  EXPECT_EQ(BRCUPCEBarcode::UPCAToUPCE("012300000499"), "123493");
  EXPECT_EQ(BRCUPCEBarcode::UPCAToUPCE("012340000057"), "123454");
  EXPECT_EQ(BRCUPCEBarcode::UPCAToUPCE("012345000065"), "123456");
  EXPECT_EQ(BRCUPCEBarcode::UPCAToUPCE("012345678905"), "");
  // The zeros a rule drops must be zeros: 01200010345 is not 0120000345.
  EXPECT_EQ(BRCUPCEBarcode::UPCAToUPCE("012000103455"), "");
  EXPECT_EQ(BRCUPCEBarcode::UPCAToUPCE("01200000345"), "");

  // Quiet zones: a fifth of the width, split between both sides.
  auto ean13 = makeBarcode<BRCEAN13Barcode>("590123412345");
  ean13->setBarWidth(1.0f);
  ean13->calculateWidth();
  EXPECT_FLOAT_EQ(ean13->width(), 114.0f);
  EXPECT_FLOAT_EQ(ean13->firstBar(), 11.4f);
  EXPECT_FLOAT_EQ(ean13->lastBar(), 101.6f);
}

TEST(Code39Model, UpperCasingCheckCharacterAndRefusals) {
  EXPECT_EQ(makeBarcode<BRCCode39Barcode>("ab")->content(), "AB");
  EXPECT_EQ(makeBarcode<BRCExtendedCode39Barcode>("ab")->content(), "ab");
  EXPECT_EQ(makeBarcode<BRCCode39Barcode>("A")->completeBarcode().size(), 39);
  // "*" is the start and stop character; "~" needs the extended symbology.
  EXPECT_FALSE(makeBarcode<BRCCode39Barcode>("A*B")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCCode39Barcode>("A~B")->isContentValid());
  EXPECT_TRUE(makeBarcode<BRCExtendedCode39Barcode>("A*~B")->isContentValid());
  // Modulo 43: C(12) + O(24) + D(13) + E(14) + space(38) + 3 + 9 = 113, 113 mod 43 = 27: R.
  auto barcode = makeBarcode<BRCCode39Barcode>("CODE 39");
  barcode->generateChecksum();
  EXPECT_EQ(barcode->checkDigit(), 'R');
  EXPECT_EQ(barcode->completeBarcode().size(), 10 * 13);
}

TEST(Code128Model, CodeSetChoiceCheckValueAndRefusedSets) {
  EXPECT_EQ(makeCode128("12345", 3)->codeSet(), BRCCode128Barcode::CodeSetC);
  EXPECT_TRUE(makeCode128("12345", 3)->completeBarcode().startsWith("11010011100"));
  EXPECT_EQ(makeCode128("Hello", 3)->codeSet(), BRCCode128Barcode::CodeSetB);
  EXPECT_EQ(makeCode128("HELLO\t", 3)->codeSet(), BRCCode128Barcode::CodeSetA);
  EXPECT_EQ(makeCode128("h\t", 3)->codeSet(), BRCCode128Barcode::CodeSetB);
  EXPECT_EQ(makeCode128("", 3)->codeSet(), BRCCode128Barcode::CodeSetC);
  // (105 + 1 x 12 + 2 x 34) mod 103 = 82.
  EXPECT_EQ(makeCode128("1234", 2)->checkDigit(), 82);
  // 12345 in code set C: 12, 34, CODE B, "5" (21): (105 + 12 + 68 + 300 + 84) mod 103 = 54.
  auto odd = makeCode128("12345", 2);
  EXPECT_EQ(odd->checkDigit(), 54);
  EXPECT_EQ(odd->completeBarcode().size(), 11 * 6 + 13);

  // A code set chosen by the user carries what it lacks after a shift or change of set.
  EXPECT_TRUE(makeCode128("abc", BRCCode128Barcode::CodeSetA)->isContentValid());
  EXPECT_TRUE(makeCode128("A\tB", BRCCode128Barcode::CodeSetB)->isContentValid());
  EXPECT_TRUE(makeCode128("12a4", BRCCode128Barcode::CodeSetC)->isContentValid());
  EXPECT_TRUE(makeCode128("\tabc", 3)->isContentValid());

  QStringList logged;
  Log::setSink([&logged](const QString &line) { logged << line; });
  auto unknown = makeCode128("ABC", 7);
  const bool valid = unknown->isContentValid();
  const QString start = unknown->initiator();
  Log::setSink({});
  EXPECT_FALSE(valid);
  EXPECT_TRUE(start.isEmpty());
  EXPECT_TRUE(logged.contains("Invalid codeSet value: 7")) << logged.join('|').toStdString();
}

TEST(CodabarModel, PatternsAndRefusals) {
  auto barcode = makeBarcode<BRCCodabarBarcode>("A123B");
  EXPECT_TRUE(barcode->isContentValid());
  EXPECT_EQ(barcode->checkDigit(), -1);
  // Five patterns, each followed by one gap module.
  EXPECT_EQ(barcode->completeBarcode(), QStringLiteral("1011001001" "0" "101011001" "0" "101001011" "0"
                                                       "110010101" "0" "1001001011" "0"));
  EXPECT_FALSE(makeBarcode<BRCCodabarBarcode>("a123b")->isContentValid());
}

TEST(LinearBarcodeWorkers, SymbolsBuiltOnSeveralThreadsAgree) {
  // Nothing is shared between barcodes, so workers may build them side by side.
  const QString expected = makeCode128("Sorry 42", 3)->completeBarcode();
  std::vector<std::thread> workers;
  std::vector<int> matches(4, 0);
  for (int worker = 0; worker < 4; ++worker)
    workers.emplace_back([&, worker] {
      for (int i = 0; i < 50; ++i)
        if (makeCode128("Sorry 42", 3)->completeBarcode() == expected &&
            makeBarcode<JapanPostBarcode>("26300231-3-2")->japanpostContents().size() == 20)
          ++matches[size_t(worker)];
    });
  for (std::thread &worker : workers)
    worker.join();
  EXPECT_EQ(matches, std::vector<int>(4, 50));
}
