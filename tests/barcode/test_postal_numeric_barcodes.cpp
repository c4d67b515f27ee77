// The symbologies that no reader here decodes, checked bar by bar against sequences
// worked out by hand from the standards' character tables and their published
// examples.

#include "barcode/encoding/BRCNumericBarcodes.h"
#include "barcode/encoding/BRCPostalBarcodes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPointsPerMillimetre = 72.0f / 25.4f;

bool near(float points, float millimetres) {
  return std::fabs(points - millimetres * kPointsPerMillimetre) < 0.01f;
}

// Each bar of a four-state symbol as F (full), A (ascender), D (descender) or T
// (tracker), read from where barTop and barBottom put it; '?' for any other extent.
template <class T>
QString fourStateBars(const T &barcode, float full, float ascenderBottom, float descenderTop) {
  const QString modules = barcode.completeBarcode();
  QString bars;
  for (int index = 0; index < modules.size(); ++index) {
    if (modules.at(index) != QLatin1Char('1'))
      continue;
    const float top = barcode.barTop(index);
    const float bottom = barcode.barBottom(index);
    const bool upper = near(top, full);
    const bool lower = near(bottom, 0.0f);
    if (!upper && !near(top, descenderTop))
      bars += QLatin1Char('?');
    else if (!lower && !near(bottom, ascenderBottom))
      bars += QLatin1Char('?');
    else
      bars += upper ? (lower ? QLatin1Char('F') : QLatin1Char('A')) : (lower ? QLatin1Char('D') : QLatin1Char('T'));
  }
  return bars;
}

// POSTNET and PLANET bars as T (tall, 9 points) and S (short, 3.6 points).
QString tallAndShort(const BRCPostnetBarcode &barcode) {
  const QString modules = barcode.completeBarcode();
  QString bars;
  for (int index = 0; index < modules.size(); ++index) {
    if (modules.at(index) != QLatin1Char('1'))
      continue;
    const float height = barcode.barTop(index);
    bars += std::fabs(height - 9.0f) < 0.001f ? QLatin1Char('T')
            : std::fabs(height - 3.6f) < 0.001f ? QLatin1Char('S')
                                                : QLatin1Char('?');
  }
  return bars;
}

}  // namespace

TEST(RoyalMailBarcode, WikipediaStyleExampleWithCheckCharacter) {
  // SN34RD1A: rows 5 4 1 1 5 3 1 2 sum to 22 (4 mod 6), columns 5 6 4 5 4 2 2 5 to 33
  // (3 mod 6), so the check character is row 4, column 3: K. Bars from the RM4SCC
  // table: a row's ascender pair and a column's descender pair.
  auto barcode = makeBarcode<BRCRoyalMailBarcode>("SN34RD1A");
  ASSERT_TRUE(barcode);
  EXPECT_EQ(barcode->checkDigit(), 'K');
  EXPECT_EQ(fourStateBars(*barcode, 5.05f, 1.9f, 3.15f),
            "A"
            "FTFT"
            "FDTA"
            "DTAF"
            "DTFA"
            "FTAD"
            "TFAD"
            "TDAF"
            "DADA"
            "ADDA"
            "F");
  EXPECT_EQ(barcode->completeBarcode().size(), 8 * 8 + 11);
  EXPECT_NEAR(barcode->width(), 75 * 1.4173229f, 0.001f);
  EXPECT_TRUE(barcode->isContentValid());
}

TEST(RoyalMailBarcode, CheckRowsAndColumnsOfSixWrapToTheLastRowAndColumn) {
  // 0 0 ... rows 1+1+1+1+1+1 = 6 (0 mod 6 -> row 6); columns likewise: Z.
  auto barcode = makeBarcode<BRCRoyalMailBarcode>("000000");
  EXPECT_EQ(barcode->checkDigit(), 'Z');
  // Digit 9 (row 2, column 4) and letter Z (row 6, column 6), and a character outside
  // the table: four trackers, adding nothing to the check.
  auto mixed = makeBarcode<BRCRoyalMailBarcode>("9Z#");
  EXPECT_EQ(fourStateBars(*mixed, 5.05f, 1.9f, 3.15f).mid(1, 12), "DATFFFTTTTTT");
  // Rows 2 + 6 = 8 (2 mod 6), columns 4 + 6 = 10 (4 mod 6): row 2, column 4 is 9.
  EXPECT_EQ(mixed->checkDigit(), '9');
  // The caption is always printed, whatever the designer's switches say.
  mixed->setPrintsCaption(false);
  mixed->setPrintsHeader(false);
  EXPECT_TRUE(mixed->printsCaption());
  EXPECT_TRUE(mixed->printsHeader());
}

TEST(JapanPostBarcode, AddressNumberWithPaddingAndCheckCharacter) {
  // 263-0023 with the address number 1-3-2: the postal code's seven digits, then
  // 1-3-2, padded to 20 characters with control code 4. Check values 2+6+3+0+0+2+3+1
  // +10+3+10+2 + 8 x 14 = 154; 154 mod 19 = 2; 19 - 2 = 17: control code 7.
  auto barcode = makeBarcode<JapanPostBarcode>("26300231-3-2");
  ASSERT_TRUE(barcode);
  EXPECT_EQ(barcode->japanpostContents(), "26300231-3-2========");
  EXPECT_EQ(barcode->checkDigit(), '.');
  EXPECT_TRUE(barcode->isContentValid());
  // The standard's bar table (height 10: full 0 to 3.6 mm, ascender from 1.2 mm,
  // descender to 2.4 mm).
  EXPECT_EQ(fourStateBars(*barcode, 3.6f, 1.2f, 2.4f),
            "FD"                                       // start
            "FDA" "DAF" "DFA" "FTT" "FTT" "FDA" "DFA"  // 2630023
            "FFT" "TFT" "DFA" "TFT" "FDA"              // 1-3-2
            "TDATDATDATDATDATDATDATDA"                 // eight times control code 4
            "TTF"                                      // check: control code 7
            "DF");                                     // stop
  EXPECT_EQ(barcode->completeBarcode().size(), 133);
  EXPECT_FLOAT_EQ(barcode->height(), 10.0f);
  EXPECT_NEAR(barcode->width(), 133 * 10.0f / 6.0f, 0.001f);
}

TEST(JapanPostBarcode, LettersBecomeControlCodeAndDigitAndLongTextIsCut) {
  auto barcode = makeBarcode<JapanPostBarcode>("1234567 b-kz ?");
  // b: control code 1 and 1; k: control code 2 and 0; z: control code 3 and 5; the
  // space and "?" are dropped.
  EXPECT_EQ(barcode->japanpostContents(), "1234567:1-;0<5======");
  EXPECT_EQ(barcode->content(), "1234567B-KZ");
  // 19 digits and a letter: the letter's digit falls off the end, its control code
  // stays in the bars, and the caption keeps only the 19 digits.
  barcode->setContent("1234567890123456789A");
  EXPECT_EQ(barcode->japanpostContents(), "1234567890123456789:");
  EXPECT_EQ(barcode->content(), "1234567890123456789");
  EXPECT_EQ(barcode->completeBarcode().size(), 133);
  // The height is kept within 8.5 to 11.5 points and sets the bar width, and back.
  barcode->setHeight(20.0f);
  EXPECT_FLOAT_EQ(barcode->height(), 11.5f);
  EXPECT_FLOAT_EQ(barcode->barWidth(), 11.5f / 6.0f);
  barcode->setBarWidth(0.1f);
  EXPECT_NEAR(barcode->height(), 8.0f, 0.0001f);
  EXPECT_NEAR(barcode->width(), 133 * 1.3333334f, 0.001f);
  // A full bar scales with the height.
  barcode->setHeight(9.0f);
  EXPECT_TRUE(near(barcode->barTop(0), 3.6f * 0.9f));

  EXPECT_FALSE(makeBarcode<JapanPostBarcode>("123456")->isContentValid());
  EXPECT_FALSE(makeBarcode<JapanPostBarcode>("A234567")->isContentValid());
}

TEST(PostnetBarcode, UspsExamplesTallAndShortBars) {
  auto barcode = makeBarcode<BRCPostnetBarcode>("12345");
  ASSERT_TRUE(barcode);
  EXPECT_EQ(barcode->checkDigit(), '5');
  EXPECT_EQ(barcode->completeBarcode().size(), 94);
  EXPECT_EQ(tallAndShort(*barcode), "T"
                                    "SSSTT" "SSTST" "SSTTS" "STSST" "STSTS"
                                    "STSTS"  // check digit 5
                                    "T");
  // ZIP+4 55555-1237: digit sum 38, check digit 2.
  auto zip9 = makeBarcode<BRCPostnetBarcode>("555551237");
  EXPECT_EQ(zip9->checkDigit(), '2');
  EXPECT_EQ(tallAndShort(*zip9), "T" "STSTS" "STSTS" "STSTS" "STSTS" "STSTS" "SSSTT" "SSTST" "SSTTS" "TSSST"
                                 "SSTST" "T");
  EXPECT_TRUE(zip9->isContentValid());
  EXPECT_TRUE(makeBarcode<BRCPostnetBarcode>("12345678901")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCPostnetBarcode>("1234")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCPostnetBarcode>("12a45")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCPostnetBarcode>("1234567890")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCPostnetBarcode>(QString()));
}

TEST(PostnetBarcode, PlanetElevenAndThirteenDigitsWithInvertedDigits) {
  // Bars from the PLANET code's digit table, which is POSTNET's with every bar
  // inverted: three tall bars and two short ones per digit (0 SSTTT, 1 TTTSS, ...,
  // 9 STSTT). 40123456789: digit sum 49, check digit 1; 62 bars in all.
  auto barcode = makeBarcode<BRCPlanetBarcode>("40123456789");
  ASSERT_TRUE(barcode);
  EXPECT_EQ(barcode->checkDigit(), '1');
  EXPECT_TRUE(barcode->isContentValid());
  EXPECT_EQ(tallAndShort(*barcode), "T"
                                    "TSTTS" "SSTTT" "TTTSS" "TTSTS" "TTSST" "TSTTS"  // 4 0 1 2 3 4
                                    "TSTST" "TSSTT" "STTTS" "STTST" "STSTT"          // 5 6 7 8 9
                                    "TTTSS"                                          // check digit 1
                                    "T");
  // Thirteen digits: digit sum 50, check digit 0; 72 bars.
  auto longer = makeBarcode<BRCPlanetBarcode>("4012345678901");
  EXPECT_TRUE(longer->isContentValid());
  EXPECT_EQ(longer->checkDigit(), '0');
  const QString bars = tallAndShort(*longer);
  EXPECT_EQ(bars.size(), 72);
  EXPECT_EQ(bars.right(11), "TTTSS" "SSTTT" "T");  // the last digit 1, the check digit 0, the frame
  EXPECT_EQ(bars.count(QLatin1Char('?')), 0);

  // POSTNET's ZIP lengths are no PLANET code; neither are 12 digits or a letter.
  for (const char *content : {"12345", "123456789", "123456789012", "12345678901234", "4012345678A"})
    EXPECT_FALSE(makeBarcode<BRCPlanetBarcode>(content)->isContentValid()) << content;
  // and POSTNET keeps its own lengths.
  EXPECT_TRUE(makeBarcode<BRCPostnetBarcode>("12345")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCPostnetBarcode>("4012345678901")->isContentValid());
}

TEST(TwoOfFiveBarcode, IndustrialBarsCarryEveryElement) {
  // Worked by hand from the 2-of-5 digit table (weights 1, 2, 4, 7 and parity: 1 is
  // WNNNW, 2 NWNNW); a wide bar is three modules, and every space is one narrow
  // module. Start: wide, wide, narrow bars; stop: wide, narrow, wide bars.
  auto barcode = makeBarcode<BRCIndustrialTwoOfFiveBarcode>("12");
  ASSERT_TRUE(barcode);
  EXPECT_EQ(barcode->completeBarcode(), QStringLiteral("1110" "1110" "10"              // start
                                                       "1110" "10" "10" "10" "1110"    // 1
                                                       "10" "1110" "10" "10" "1110"    // 2
                                                       "1110" "10" "111"));            // stop
  EXPECT_EQ(barcode->checkDigit(), -1);
  EXPECT_NEAR(barcode->width(), 47 * 0.936f, 0.001f);
  // 0 (NNWWN) and 9 (NWNWN): one digit after the other, no pairing, no leading zero.
  auto odd = makeBarcode<BRCIndustrialTwoOfFiveBarcode>("09");
  EXPECT_EQ(odd->barcode(), QStringLiteral("10" "10" "1110" "1110" "10"
                                           "10" "1110" "10" "1110" "10"));
  // A check digit, when one is asked for, is one more digit in the bars.
  odd->generateChecksum();
  EXPECT_EQ(odd->checkDigit(), '3');  // 0 x 1 + 9 x 3 = 27
  EXPECT_EQ(odd->barcode().right(14), QStringLiteral("1110" "1110" "10" "10" "10"));  // 3: WWNNN
  EXPECT_FALSE(makeBarcode<BRCIndustrialTwoOfFiveBarcode>("1 9")->isContentValid());
  // Interleaved: 123 is drawn as 0123.
  auto interleaved = makeBarcode<BRCInterleavedTwoOfFiveBarcode>("123");
  EXPECT_EQ(interleaved->completeBarcode(),
            QStringLiteral("1010") +
                // 0 (NNWWN) in the bars, 1 (WNNNW) in the spaces
                "1" "000" "1" "0" "111" "0" "111" "0" "1" "000" +
                // 2 (NWNNW) in the bars, 3 (WWNNN) in the spaces
                "1" "000" "111" "000" "1" "0" "1" "0" "111" "0" + "11101");
  // The width counts the drawn modules only (no phantom check digit): 4 + 2 x 18 + 5.
  EXPECT_NEAR(interleaved->width(), 45 * 0.936f, 0.001f);
  EXPECT_TRUE(makeBarcode<BRCInterleavedTwoOfFiveBarcode>("")->isContentValid());
  EXPECT_FALSE(makeBarcode<BRCInterleavedTwoOfFiveBarcode>("12a4")->isContentValid());
}

TEST(ModifiedPlesseyBarcode, PublishedCheckDigitAndFourBitCharacters) {
  // The commonly published modulo-10 example: 1234567 has the check digit 4 (odd
  // positions from the right 1357 doubled is 2714, digit sum 14; even positions 12).
  // Bars worked by hand: four bits per digit, most significant first, a 1 "110" and a
  // 0 "100"; start "110", stop "1001".
  auto barcode = makeBarcode<BRCModifiedPlesseyBarcode>("1234567");
  ASSERT_TRUE(barcode);
  EXPECT_EQ(barcode->checkDigit(), '4');
  EXPECT_EQ(barcode->completeBarcode(), QStringLiteral("110"               // start
                                                       "100100100110"      // 1: 0001
                                                       "100100110100"      // 2: 0010
                                                       "100100110110"      // 3: 0011
                                                       "100110100100"      // 4: 0100
                                                       "100110100110"      // 5: 0101
                                                       "100110110100"      // 6: 0110
                                                       "100110110110"      // 7: 0111
                                                       "100110100100"      // check digit 4
                                                       "1001"));           // stop
  EXPECT_NEAR(barcode->width(), 103 * 0.936f, 0.001f);

  // The high bit first: 8 is 1000 and 9 is 1001. 98: odd position 8 doubled 16, digit
  // sum 7, plus 9: 16, check digit 4.
  auto high = makeBarcode<BRCModifiedPlesseyBarcode>("98");
  EXPECT_EQ(high->checkDigit(), '4');
  EXPECT_EQ(high->barcode(), QStringLiteral("110100100110" "110100100100" "100110100100"));
  EXPECT_FALSE(makeBarcode<BRCModifiedPlesseyBarcode>("12A")->isContentValid());

  // Twenty digits: ten odd-position digits no longer fit a 32-bit number; the check
  // digit is still the modulo-10 one (odd digits doubled: 44, even digits: 50).
  EXPECT_EQ(makeBarcode<BRCModifiedPlesseyBarcode>("12345678901234567890")->checkDigit(), '6');
}

TEST(ModifiedPlesseyBarcode, HexadecimalDigits) {
  auto barcode = makeBarcode<BRCModifiedPlesseyHexBarcode>("1af");
  ASSERT_TRUE(barcode);
  EXPECT_EQ(barcode->content(), "1AF");
  EXPECT_TRUE(barcode->isContentValid());
  // F and 1 at odd positions read no leading number (0); A at the even position adds
  // its distance from "0", 17: check digit 3.
  EXPECT_EQ(barcode->checkDigit(), '3');
  // The letters are the values 10 to 15 in the same four bits as the digits.
  EXPECT_EQ(barcode->completeBarcode(), QStringLiteral("110"
                                                       "100100100110"    // 1: 0001
                                                       "110100110100"    // A: 1010
                                                       "110110110110"    // F: 1111
                                                       "100100110110"    // check digit 3: 0011
                                                       "1001"));
  EXPECT_FALSE(makeBarcode<BRCModifiedPlesseyHexBarcode>("12G")->isContentValid());
}
