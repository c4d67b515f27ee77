// The PDF417 encoder: the codewords of text, numeric and byte stretches, the error level
// and shape choice, the error correction, the bitmap layout, and refusals.

#include "barcode/encoding/PDF417Encoder.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <vector>

namespace {

// The codewords `assemble` writes from position 1 on.
std::vector<int> dataCodewords(const QByteArray &text) {
  int32_t codewords[PDF417_MAX_CODEWORDS] = {};
  int32_t error = 0;
  const int end = assemble(reinterpret_cast<const uint8_t *>(text.constData()), int(text.size()), false, codewords,
                           error);
  EXPECT_EQ(error, 0);
  return std::vector<int>(codewords + 1, codewords + std::max(end, 1));
}

// Encodes with the given options; the block keeps its bitmap until it is freed.
struct Encoded {
  pdf417param p;
  QByteArray text;
  Encoded(const QByteArray &value, int options, int level = 2, int columns = 0, int rows = 0, float aspect = 0.5f) {
    pdf417init(&p);
    text = value;
    p.text = text.constData();
    p.lenText = int(text.size());
    p.options = options;
    p.errorLevel = level;
    p.codeColumns = columns;
    p.codeRows = rows;
    p.aspectRatio = aspect;
    paintCode(&p);
  }
  ~Encoded() { pdf417free(&p); }
  // Module x of row y, true for a bar (bitmap not inverted).
  bool bar(int x, int y) const {
    const int bytesPerRow = p.lenBits / p.codeRows;
    return (p.outBits[y * bytesPerRow + x / 8] >> (7 - x % 8)) & 1;
  }
  uint32_t bits(int from, int count, int y) const {
    uint32_t value = 0;
    for (int x = from; x < from + count; ++x)
      value = (value << 1) | (bar(x, y) ? 1u : 0u);
    return value;
  }
};

}  // namespace

TEST(PDF417Encoder, TextDigitsAndBytesBecomeTheirCompactionsCodewords) {
  // "Hello": H, lower latch, e, l, l, o in pairs; an odd list ends with the value 29.
  EXPECT_EQ(dataCodewords("Hello"), (std::vector<int>{237, 131, 344}));
  EXPECT_EQ(dataCodewords("Hi"), (std::vector<int>{7 * 30 + 27, 8 * 30 + 29}));
  // Punctuation: a lone one is shifted, three in a row latch.
  EXPECT_EQ(dataCodewords("A!"), (std::vector<int>{0 * 30 + 29, 10 * 30 + 29}));
  EXPECT_EQ(dataCodewords("A!?("), (std::vector<int>{0 * 30 + 28, 25 * 30 + 10, 25 * 30 + 23}));

  // Twelve digits alone are one numeric stretch: 902 and the number 1 followed by the
  // digits in base 900.
  const std::vector<int> digits = dataCodewords("123456789012");
  ASSERT_EQ(digits.size(), 6u);
  EXPECT_EQ(digits[0], 902);
  long long number = 0;
  for (size_t i = 1; i < digits.size(); ++i)
    number = number * 900 + digits[i];
  EXPECT_EQ(number, 1123456789012LL);
  // Seven digits stay text (mixed latch, then the digits in pairs).
  EXPECT_EQ(dataCodewords("1234567"), (std::vector<int>{28 * 30 + 1, 2 * 30 + 3, 4 * 30 + 5, 6 * 30 + 7}));
  // Thirteen digits inside a text become a numeric stretch between two texts.
  const std::vector<int> mixed = dataCodewords("Order 1234567890123 ok");
  EXPECT_NE(std::find(mixed.begin(), mixed.end(), 902), mixed.end());
  EXPECT_NE(std::find(mixed.begin(), mixed.end(), 900), mixed.end());

  // Six bytes that are no text: 924 and their 48-bit number in five codewords; seven: 901,
  // five codewords and the last byte as it is.
  const QByteArray six("\x80\x81\x82\x83\x84\x85", 6);
  const std::vector<int> bytes6 = dataCodewords(six);
  ASSERT_EQ(bytes6.size(), 6u);
  EXPECT_EQ(bytes6[0], 924);
  unsigned long long value = 0;
  for (size_t i = 1; i < 6; ++i)
    value = value * 900 + unsigned(bytes6[i]);
  EXPECT_EQ(value, 0x808182838485ULL);
  const std::vector<int> bytes7 = dataCodewords(six + "\x86");
  ASSERT_EQ(bytes7.size(), 7u);
  EXPECT_EQ(bytes7[0], 901);
  EXPECT_EQ(bytes7[6], 0x86);
}

TEST(PDF417Encoder, LevelAndShapeFollowTheCodewordCount) {
  // 78 capitals are 39 codewords, 40 with the length descriptor: level 2; 80 capitals
  // make 41: level 3. One fixed column leaves no spare room to raise the level.
  {
    Encoded e(QByteArray(78, 'A'), PDF417_FIXED_COLUMNS, 0, 1);
    ASSERT_EQ(e.p.error, 0);
    EXPECT_EQ(e.p.errorLevel, 2);
    EXPECT_EQ(e.p.codeRows, 48);
    EXPECT_EQ(e.p.lenCodewords, 48);
  }
  {
    Encoded e(QByteArray(80, 'A'), PDF417_FIXED_COLUMNS, 0, 1);
    EXPECT_EQ(e.p.errorLevel, 3);
    EXPECT_EQ(e.p.codeRows, 57);
  }
  // Aspect ratio 1, row height 3, level 2: 10 codewords give 1 column and 18 rows, 50
  // give 2 columns and 29 rows.
  {
    Encoded e(QByteArray(18, 'A'), PDF417_USE_ERROR_LEVEL, 2, 0, 0, 1.0f);
    EXPECT_EQ(e.p.codeColumns, 1);
    EXPECT_EQ(e.p.codeRows, 18);
    EXPECT_EQ(e.p.errorLevel, 2);
  }
  {
    Encoded e(QByteArray(98, 'A'), PDF417_USE_ERROR_LEVEL, 2, 0, 0, 1.0f);
    EXPECT_EQ(e.p.codeColumns, 2);
    EXPECT_EQ(e.p.codeRows, 29);
    // 2 columns: 17 x 5 + 18 = 103 modules, 13 bytes a row.
    EXPECT_EQ(e.p.bitColumns, 103);
    EXPECT_EQ(e.p.lenBits, 13 * 29);
  }
  // Fixed rows keep the rows; fixed columns the columns.
  {
    Encoded e(QByteArray(98, 'A'), PDF417_USE_ERROR_LEVEL | PDF417_FIXED_ROWS, 2, 0, 5);
    EXPECT_EQ(e.p.codeRows, 5);
    EXPECT_EQ(e.p.codeColumns, 12);
  }
  // A fixed rectangle with room to spare stands, and the spare room raises the level;
  // one too small keeps its columns and gets the rows it needs.
  {
    Encoded e("Hello", PDF417_USE_ERROR_LEVEL | PDF417_FIXED_RECTANGLE, 2, 3, 10);
    EXPECT_EQ(e.p.codeColumns, 3);
    EXPECT_EQ(e.p.codeRows, 10);
    EXPECT_EQ(e.p.errorLevel, 3);
  }
  {
    Encoded e(QByteArray(98, 'A'), PDF417_USE_ERROR_LEVEL | PDF417_FIXED_RECTANGLE, 2, 4, 3);
    EXPECT_EQ(e.p.codeColumns, 4);
    EXPECT_EQ(e.p.codeRows, 15);
  }
  // A level the data leave no room for is lowered: 900 codewords hold level 4 at most.
  {
    Encoded e(QByteArray(1797, 'A'), PDF417_USE_ERROR_LEVEL, 8);
    ASSERT_EQ(e.p.error, 0);
    EXPECT_EQ(e.p.errorLevel, 3);
    EXPECT_LE(e.p.lenCodewords, 928);
  }
}

TEST(PDF417Encoder, ErrorCorrectionCodewordsMakeEveryRootOfTheGeneratorVanish) {
  for (int level : {0, 2, 5}) {
    Encoded e("Apology 2026: sorry for the delay", PDF417_USE_ERROR_LEVEL | PDF417_FIXED_COLUMNS, level, 30);
    ASSERT_EQ(e.p.error, 0);
    const int used = e.p.errorLevel;
    for (int i = 1, root = 3; i <= (2 << used); ++i, root = root * 3 % 929) {
      int sum = 0;
      for (int k = 0; k < e.p.lenCodewords; ++k)
        sum = (sum * root + e.p.codewords[k]) % 929;
      EXPECT_EQ(sum, 0) << "level " << used << " root 3^" << i;
    }
  }
}

TEST(PDF417Encoder, EveryRowHasStartAndStopPatternsAndInversionSwapsBarsAndSpaces) {
  Encoded plain("Hello", PDF417_FIXED_COLUMNS, 2, 2);
  Encoded inverted("Hello", PDF417_FIXED_COLUMNS | PDF417_INVERT_BITMAP, 2, 2);
  ASSERT_EQ(plain.p.error, 0);
  ASSERT_EQ(inverted.p.lenBits, plain.p.lenBits);
  for (int y = 0; y < plain.p.codeRows; ++y) {
    EXPECT_EQ(plain.bits(0, 17, y), 0x1FEA8u) << y;
    EXPECT_EQ(plain.bits(plain.p.bitColumns - 18, 18, y), 0x3FA29u) << y;
  }
  for (int i = 0; i < plain.p.lenBits; ++i)
    EXPECT_EQ(uint8_t(~plain.p.outBits[i]), inverted.p.outBits[i]);
}

TEST(PDF417Encoder, TooMuchDataOrBadCodewordsGiveTheirErrorAndNoBitmap) {
  {
    Encoded e(QByteArray(5421, 'A'), 0);
    EXPECT_EQ(e.p.error, PDF417_ERROR_TEXT_TOO_BIG);
    EXPECT_EQ(e.p.outBits, nullptr);
  }
  {
    // 1200 bytes that are no text: 1000 byte codewords.
    Encoded e(QByteArray(1200, char(0xFF)), 0);
    EXPECT_EQ(e.p.error, PDF417_ERROR_TEXT_TOO_BIG);
    EXPECT_EQ(e.p.outBits, nullptr);
  }
  {
    // 1900 digits fit in 5420 bytes but not in 926 codewords.
    Encoded e(QByteArray(2900, '7'), 0);
    EXPECT_EQ(e.p.error, PDF417_ERROR_TEXT_TOO_BIG);
  }
  pdf417param p;
  pdf417init(&p);
  p.options = PDF417_USE_RAW_CODEWORDS;
  p.lenCodewords = 3;
  p.codewords[0] = 4;
  paintCode(&p);
  EXPECT_EQ(p.error, PDF417_ERROR_INVALID_PARAMS);
  pdf417free(&p);
  pdf417free(&p);  // freeing twice, or a block without a bitmap, is harmless
}

TEST(PDF417Encoder, AShortTextAtTheHighestLevelIsMadeWhenTheShapeReachesNinetyRows) {
  // Level 8 (512 correction codewords) in one column: the rows stop at 90, so the shape
  // is 6 columns wide with no room to spare; the symbol's own encoding of these bytes
  // (marked UTF-8) needs a few codewords more than the count, and the symbol grows wider
  // rather than the text being refused.
  const QByteArray text("b;\x15W!A?(b;<>c!?(\xff<>c!?(\xff", 24);
  Encoded e(text, PDF417_USE_ERROR_LEVEL | PDF417_UTF8_TEXT, 8, 1, 50, 2.5f);
  ASSERT_EQ(e.p.error, PDF417_ERROR_SUCCESS);
  EXPECT_EQ(e.p.errorLevel, 8);
  EXPECT_LE(e.p.codeRows, 90);
  EXPECT_GE(e.p.codeColumns, 6);
  EXPECT_EQ(e.p.bitColumns, 17 * (e.p.codeColumns + 3) + 18);
  for (int y = 0; y < e.p.codeRows; ++y) {
    ASSERT_EQ(e.bits(0, 17, y), 0x1FEA8u) << y;
    ASSERT_EQ(e.bits(e.p.bitColumns - 18, 18, y), 0x3FA29u) << y;
  }
}
