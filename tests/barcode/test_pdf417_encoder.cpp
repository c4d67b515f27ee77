// The PDF417 encoder: the codewords of text, numeric and byte stretches, the error level
// and shape choice, the error correction, the painted rows (read back through the
// codeword pattern tables, and module for module against libzint as a second encoder),
// raw codewords, and refusals.

#include "barcode/encoding/PDF417Clusters.h"
#include "barcode/encoding/PDF417Encoder.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <zint.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <set>
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
  // Raw codewords (the length descriptor first) in place of a text.
  Encoded(const std::vector<int> &raw, int options, int level = 2, int columns = 0, int rows = 0) {
    pdf417init(&p);
    std::copy(raw.begin(), raw.end(), p.codewords);
    p.lenCodewords = int(raw.size());
    p.options = options | PDF417_USE_RAW_CODEWORDS;
    p.errorLevel = level;
    p.codeColumns = columns;
    p.codeRows = rows;
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

// What a reader finds in the painted rows: on every row the start pattern, 17-module
// slots that must each be a codeword of the row's cluster (left row indicator, the data
// columns, right row indicator), the stop pattern and clear fill bits; the shape and
// level the row indicators announce; the data codewords row by row.
struct ReadBack {
  std::string problem;  // empty when every row reads
  std::vector<int> codewords;
  std::vector<std::vector<int>> rowSlots;  // every row's slots, indicators included
  int rows = 0;
  int columns = 0;
  int level = -1;
};

ReadBack readBack(const pdf417param &p) {
  static const auto lookup = [] {
    std::array<std::map<uint32_t, int>, 3> maps;
    for (int c = 0; c < 3; ++c)
      for (int v = 0; v < PDF417_CODEWORD_VALUES; ++v)
        maps[size_t(c)][CLUSTERS[c][v]] = v;
    return maps;
  }();
  ReadBack read;
  const int bytesPerRow = (p.bitColumns - 1) / 8 + 1;
  if (!p.outBits || p.codeRows < 3 || p.bitColumns < 17 * 4 + 18 || (p.bitColumns - 18) % 17 != 0 ||
      p.lenBits != bytesPerRow * p.codeRows) {
    read.problem = "no bitmap of the stated size";
    return read;
  }
  const bool inverted = p.options & PDF417_INVERT_BITMAP;
  const auto bits = [&](int y, int from, int count) {
    uint32_t value = 0;
    for (int x = from; x < from + count; ++x)
      value = (value << 1) | (((p.outBits[y * bytesPerRow + x / 8] >> (7 - x % 8)) & 1) != inverted ? 1u : 0u);
    return value;
  };
  const int slotCount = (p.bitColumns - 17 - 18) / 17;
  int rowsThird = -1, columnsLess = -1, levelAndRest = -1;
  const auto agree = [&read](int &known, int value, int y) {
    if (known >= 0 && known != value && read.problem.empty())
      read.problem = "row " + std::to_string(y) + "'s indicator disagrees with an earlier row";
    known = value;
  };
  for (int y = 0; y < p.codeRows && read.problem.empty(); ++y) {
    const std::string row = "row " + std::to_string(y);
    if (bits(y, 0, 17) != 0x1FEA8u)
      read.problem = row + " lacks the start pattern";
    if (bits(y, 17 + 17 * slotCount, 18) != 0x3FA29u)
      read.problem = row + " lacks the stop pattern";
    for (int x = p.bitColumns; x < 8 * bytesPerRow; ++x)
      if (bits(y, x, 1) != 0)
        read.problem = row + " has a bar past its end";
    std::vector<int> values;
    for (int k = 0; k < slotCount; ++k) {
      const auto found = lookup[size_t(y % 3)].find(bits(y, 17 + 17 * k, 17));
      if (found == lookup[size_t(y % 3)].end()) {
        read.problem = row + " slot " + std::to_string(k) + " is no codeword of the row's cluster";
        return read;
      }
      values.push_back(found->second);
    }
    read.rowSlots.push_back(values);
    const int left = values.front();
    const int right = values.back();
    if (left / 30 != y / 3 || right / 30 != y / 3)
      read.problem = row + "'s indicators name another group of three rows";
    switch (y % 3) {
    case 0:
      agree(rowsThird, left % 30, y);
      agree(columnsLess, right % 30, y);
      break;
    case 1:
      agree(levelAndRest, left % 30, y);
      agree(rowsThird, right % 30, y);
      break;
    default:
      agree(columnsLess, left % 30, y);
      agree(levelAndRest, right % 30, y);
      break;
    }
    read.codewords.insert(read.codewords.end(), values.begin() + 1, values.end() - 1);
  }
  read.rows = 3 * rowsThird + levelAndRest % 3 + 1;
  read.columns = columnsLess + 1;
  read.level = levelAndRest / 3;
  if (read.columns != slotCount - 2 && read.problem.empty())
    read.problem = "the indicators announce another column count than the rows hold";
  return read;
}

// The painted symbol holds exactly the block's codewords, in the shape and at the level
// the block states, and the block adds up: the length descriptor counts the codewords
// before the error correction.
void expectPaintedAsDescribed(const pdf417param &p) {
  ASSERT_EQ(p.error, PDF417_ERROR_SUCCESS);
  const ReadBack read = readBack(p);
  ASSERT_EQ(read.problem, "");
  EXPECT_EQ(read.rows, p.codeRows);
  EXPECT_EQ(read.columns, p.codeColumns);
  EXPECT_EQ(read.level, p.errorLevel);
  EXPECT_EQ(p.bitColumns, 17 * (p.codeColumns + 3) + 18);
  EXPECT_EQ(p.lenCodewords, p.codeRows * p.codeColumns);
  EXPECT_EQ(p.codewords[0], p.lenCodewords - (2 << p.errorLevel));
  EXPECT_EQ(read.codewords, std::vector<int>(p.codewords, p.codewords + std::max(p.lenCodewords, 0)));
}

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
  {
    // Capitals are two to a codeword: 1850 fill the 926 data codewords with the length
    // descriptor; 1852, or 2000, would pass them, and not one codeword is written past
    // the symbol's array.
    Encoded largest(QByteArray(1850, 'A'), 0);
    expectPaintedAsDescribed(largest.p);
    EXPECT_EQ(largest.p.codewords[0], PDF417_MAX_DATA_CODEWORDS);
    for (int length : {1852, 2000}) {
      SCOPED_TRACE(length);
      Encoded e(QByteArray(length, 'A'), 0);
      EXPECT_EQ(e.p.error, PDF417_ERROR_TEXT_TOO_BIG);
      EXPECT_EQ(e.p.outBits, nullptr);
      std::vector<int32_t> room(PDF417_MAX_CODEWORDS + 1000, -1);
      int32_t error = 0;
      EXPECT_EQ(assemble(reinterpret_cast<const uint8_t *>(e.text.constData()), length, false, room.data(), error), 0);
      EXPECT_EQ(error, PDF417_ERROR_TEXT_TOO_BIG);
      EXPECT_TRUE(std::all_of(room.begin() + PDF417_MAX_CODEWORDS, room.end(), [](int32_t c) { return c == -1; }));
    }
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
  // These bytes, marked UTF-8, are 27 codewords and the descriptor; level 8 adds 512.
  // The aspect ratio 2.5 asks for 4 columns of 135 rows; the rows stop at 90, so the
  // shape is (540 - 1) / 90 + 1 = 6 columns of 90 rows, filled without padding, and the
  // symbol holds exactly those codewords.
  const QByteArray text("b;\x15W!A?(b;<>c!?(\xff<>c!?(\xff", 24);
  Encoded e(text, PDF417_USE_ERROR_LEVEL | PDF417_UTF8_TEXT, 8, 1, 50, 2.5f);
  ASSERT_EQ(e.p.error, PDF417_ERROR_SUCCESS);
  EXPECT_EQ(e.p.errorLevel, 8);
  EXPECT_EQ(e.p.codeRows, 90);
  EXPECT_EQ(e.p.codeColumns, 6);
  EXPECT_EQ(e.p.codewords[0], 28);
  EXPECT_EQ(e.p.lenCodewords, 540);
  expectPaintedAsDescribed(e.p);
}

TEST(PDF417Encoder, ThePaintedRowsHoldExactlyTheEncodersCodewordsInTheShapeItChose) {
  // Commas, semicolons and lower case: the mixed latch, the punctuation shift and the
  // lower latches, painted as computed.
  {
    Encoded e("abc,def;ghi", 0);
    expectPaintedAsDescribed(e.p);
    EXPECT_EQ(std::vector<int>(e.p.codewords + 1, e.p.codewords + 9),
              (std::vector<int>{810, 32, 853, 813, 125, 870, 187, 269}));
  }
  // Seven digits stay text in the symbol too.
  {
    Encoded e("1234567", 0);
    expectPaintedAsDescribed(e.p);
    EXPECT_EQ(e.p.codewords[1], 28 * 30 + 1);
  }
  // "!>e": two punctuation shifts and a lower latch, 3 codewords and the descriptor; at
  // level 2 they fill one column of 12 rows exactly, and a fixed 1 x 12 rectangle stays.
  for (int options : {0, PDF417_USE_ERROR_LEVEL | PDF417_FIXED_RECTANGLE}) {
    Encoded e("!>e", options, 2, 1, 12);
    expectPaintedAsDescribed(e.p);
    EXPECT_EQ(e.p.codewords[0], 4);
    EXPECT_EQ(e.p.codeColumns, 1);
    EXPECT_EQ(e.p.codeRows, 12);
    EXPECT_EQ(e.p.errorLevel, 2);
  }
  // Every level, every way of fixing the shape, inverted, marked UTF-8, the largest symbol.
  for (int level = 0; level <= 8; ++level) {
    SCOPED_TRACE(level);
    Encoded e("Sorry for the delay: order 4711 & co.\r\n\t?", PDF417_USE_ERROR_LEVEL | PDF417_FIXED_COLUMNS, level, 7);
    expectPaintedAsDescribed(e.p);
    EXPECT_GE(e.p.errorLevel, level);  // spare room in the last row raises it
  }
  {
    Encoded e("Fixed rows", PDF417_FIXED_ROWS | PDF417_INVERT_BITMAP, 0, 0, 7);
    expectPaintedAsDescribed(e.p);
    EXPECT_EQ(e.p.codeRows, 7);
  }
  {
    Encoded e(QByteArray("Entschuldigung f\xc3\xbcr die Versp\xc3\xa4tung"), PDF417_UTF8_TEXT | PDF417_FIXED_COLUMNS,
              0, 30);
    expectPaintedAsDescribed(e.p);
    EXPECT_EQ(e.p.codewords[1], 927);  // the ECI designator ...
    EXPECT_EQ(e.p.codewords[2], 26);   // ... of UTF-8
  }
  {
    Encoded e(QByteArray(1797, 'A'), PDF417_USE_ERROR_LEVEL, 8);
    expectPaintedAsDescribed(e.p);
    EXPECT_EQ(e.p.lenCodewords, 928);
  }
}

TEST(PDF417Encoder, RawCodewordsArePaintedAndBadListsAreRefused) {
  // "Hello" as raw codewords, then a byte latch and "!".
  const std::vector<int> hello{6, 237, 131, 344, 901, '!'};
  {
    Encoded e(hello, PDF417_FIXED_COLUMNS, 2, 2);
    expectPaintedAsDescribed(e.p);
    EXPECT_EQ(std::vector<int>(e.p.codewords + 1, e.p.codewords + 6), std::vector<int>(hello.begin() + 1, hello.end()));
    EXPECT_EQ(e.p.codeColumns, 2);
  }
  // The longest list: 926 codewords leave room for level 0 alone.
  {
    std::vector<int> longest(926);
    longest[0] = 926;
    for (int i = 1; i < 926; ++i)
      longest[size_t(i)] = i * 37 % 929;
    Encoded e(longest, PDF417_USE_ERROR_LEVEL, 5);
    expectPaintedAsDescribed(e.p);
    EXPECT_EQ(e.p.errorLevel, 0);
  }
  // A count outside 1-926, a descriptor that disagrees, a value outside 0-928.
  std::vector<int> tooLong(927, 900);
  tooLong[0] = 927;
  const std::vector<std::vector<int>> bad{{}, tooLong, {4, 237, 131}, {3, 237, 929}, {3, -1, 131}};
  for (const std::vector<int> &list : bad) {
    Encoded e(list, 0);
    EXPECT_EQ(e.p.error, PDF417_ERROR_INVALID_PARAMS) << list.size();
    EXPECT_EQ(e.p.outBits, nullptr);
  }
}

// libzint as a second encoder: for texts whose compaction is the same in both (bytes that
// are no text characters, in byte mode; 13 digits or more, in numeric mode) and the same
// level and shape, the two bitmaps must agree module for module. The inputs go on until
// every codeword of every cluster has been painted in an agreeing symbol, so that a
// single wrong pattern in the tables fails.
TEST(PDF417Encoder, SymbolsEqualASecondEncodersModuleForModuleThroughEveryCodewordOfEveryCluster) {
  std::mt19937 random(417);
  std::array<std::set<int>, 3> painted;
  const auto covered = [&painted] {
    return painted[0].size() + painted[1].size() + painted[2].size() == 3u * PDF417_CODEWORD_VALUES;
  };
  int symbols = 0;
  for (; symbols < 400 && !covered(); ++symbols) {
    const bool digits = symbols % 4 == 3;
    const int length = digits ? 13 + int(random() % 300) : 2 + int(random() % 500);
    QByteArray text;
    for (int i = 0; i < length; ++i)
      text += digits ? char('0' + random() % 10) : char(0x80 + random() % 128);
    const int level = 3 + int(random() % 6);
    const int columns = 1 + int(random() % 30);
    Encoded e(text, PDF417_USE_ERROR_LEVEL | PDF417_FIXED_COLUMNS, level, columns);
    ASSERT_EQ(e.p.error, PDF417_ERROR_SUCCESS);
    EXPECT_EQ(e.p.codewords[1], digits ? 902 : length % 6 == 0 ? 924 : 901);

    std::unique_ptr<zint_symbol, void (*)(zint_symbol *)> other(ZBarcode_Create(), ZBarcode_Delete);
    ASSERT_TRUE(other);
    other->symbology = BARCODE_PDF417;
    other->input_mode = DATA_MODE;
    other->option_1 = e.p.errorLevel;
    other->option_2 = e.p.codeColumns;
    other->option_3 = e.p.codeRows;
    ASSERT_LT(ZBarcode_Encode(other.get(), reinterpret_cast<const unsigned char *>(text.constData()), length),
              ZINT_ERROR)
        << other->errtxt;
    ASSERT_EQ(other->rows, e.p.codeRows) << symbols;
    ASSERT_EQ(other->width, e.p.bitColumns) << symbols;
    for (int y = 0; y < e.p.codeRows; ++y)
      for (int x = 0; x < e.p.bitColumns; ++x)
        ASSERT_EQ(e.bar(x, y), ((other->encoded_data[y][x >> 3] >> (x & 7)) & 1) != 0)
            << "symbol " << symbols << " row " << y << " module " << x;

    const ReadBack read = readBack(e.p);
    ASSERT_EQ(read.problem, "");
    for (size_t y = 0; y < read.rowSlots.size(); ++y)
      painted[y % 3].insert(read.rowSlots[y].begin(), read.rowSlots[y].end());
  }
  EXPECT_TRUE(covered()) << painted[0].size() << " " << painted[1].size() << " " << painted[2].size();
  std::printf("%d symbols painted every codeword of the three clusters as libzint does\n", symbols);
}

// A lower-case letter followed by three capitals latches back to upper case (two
// codewords of 28) and goes on with the capitals; one or two capitals are shifted. The
// symbols agree with libzint's module for module, and the codewords are these.
TEST(PDF417Encoder, LowerCaseBeforeCapitalsLatchesBackToUpperAsASecondEncoderDoes) {
  // a: lower latch 27, 0; B C D: 28, 28, then 1, 2, 3; the odd list ends with 29.
  EXPECT_EQ(dataCodewords("aBCD"), (std::vector<int>{27 * 30 + 0, 28 * 30 + 28, 1 * 30 + 2, 3 * 30 + 29}));
  for (const char *text : {"aBCD", "dear SAM WE ARE SORRY", "mrsSMITH and mrJONES or msLEE", "xYZ aBc"}) {
    SCOPED_TRACE(text);
    const QByteArray value(text);
    Encoded e(value, PDF417_USE_ERROR_LEVEL | PDF417_FIXED_COLUMNS, 3, 4);
    ASSERT_EQ(e.p.error, PDF417_ERROR_SUCCESS);
    std::unique_ptr<zint_symbol, void (*)(zint_symbol *)> other(ZBarcode_Create(), ZBarcode_Delete);
    ASSERT_TRUE(other);
    other->symbology = BARCODE_PDF417;
    other->option_1 = e.p.errorLevel;
    other->option_2 = e.p.codeColumns;
    other->option_3 = e.p.codeRows;
    ASSERT_LT(ZBarcode_Encode(other.get(), reinterpret_cast<const unsigned char *>(value.constData()), int(value.size())),
              ZINT_ERROR)
        << other->errtxt;
    ASSERT_EQ(other->rows, e.p.codeRows);
    ASSERT_EQ(other->width, e.p.bitColumns);
    for (int y = 0; y < e.p.codeRows; ++y)
      for (int x = 0; x < e.p.bitColumns; ++x)
        ASSERT_EQ(e.bar(x, y), ((other->encoded_data[y][x >> 3] >> (x & 7)) & 1) != 0) << "row " << y << " module " << x;
  }
}
