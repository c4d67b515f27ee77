// The DataMatrix ECC 200 encoder, checked by reading its symbols back with ZXingReader
// and dmtxread, including the end-of-data and mode-change cases that readers reject
// when they are written wrongly.

#include "barcode/encoding/DataMatrixEncoder.h"
#include "tests/common/decoder_support.h"
#include "test_qr_support.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

DataMatrixSymbol encode(const QByteArray &text, const char *modes = nullptr, int width = 0, int height = 0) {
  return ecc200_encode(width, height, modes, int(text.size()), reinterpret_cast<const uint8_t *>(text.constData()));
}

ModuleRows rowsOf(const DataMatrixSymbol &symbol) {
  ModuleRows rows(size_t(symbol.height), std::vector<bool>(size_t(symbol.width), false));
  for (int y = 0; y < symbol.height; ++y)
    for (int x = 0; x < symbol.width; ++x)
      rows[size_t(y)][size_t(x)] = symbol.dark(x, y);
  return rows;
}

QImage imageOf(const DataMatrixSymbol &symbol) { return matrixSymbolImage(rowsOf(symbol), 4, 3); }

// The finder (solid left column and bottom row) and the clock tracks along the top and
// the right side.
void expectPatterns(const DataMatrixSymbol &symbol) {
  for (int y = 0; y < symbol.height; ++y)
    ASSERT_TRUE(symbol.dark(0, y));
  for (int x = 0; x < symbol.width; ++x)
    ASSERT_TRUE(symbol.dark(x, symbol.height - 1));
  for (int x = 0; x < symbol.width; ++x)
    ASSERT_EQ(symbol.dark(x, 0), x % 2 == 0) << x;
  for (int y = 0; y < symbol.height; ++y)
    ASSERT_EQ(symbol.dark(symbol.width - 1, y), y % 2 == 1) << y;
}

void expectAllRead(const std::vector<DataMatrixSymbol> &symbols, const std::vector<QByteArray> &texts, bool dmtx) {
  std::vector<QImage> images;
  for (const DataMatrixSymbol &symbol : symbols)
    images.push_back(imageOf(symbol));
  const QStringList zxing = readEachWithZXing(images, QStringLiteral("DataMatrix"));
  // ZXingReader's line output escapes bytes outside printable ASCII; those texts are
  // compared exactly through dmtxread.
  auto printable = [](const QByteArray &text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 32 && c < 127; });
  };
  for (size_t i = 0; i < symbols.size(); ++i)
    if (printable(texts[i])) {
      EXPECT_EQ(zxing[qsizetype(i)], QString::fromLatin1(texts[i]))
        << "ZXing, symbol " << i << " modes " << symbols[i].modes;
    }
  if (!dmtx)
    return;
  const QStringList read = readEachWithDmtx(images);
  for (size_t i = 0; i < symbols.size(); ++i)
    EXPECT_EQ(read[qsizetype(i)], QString::fromLatin1(texts[i])) << "dmtxread, symbol " << i << " modes " << symbols[i].modes;
}

QByteArray randomText(std::mt19937 &random, int length, const char *alphabet) {
  const int n = int(std::strlen(alphabet));
  QByteArray text;
  for (int i = 0; i < length; ++i)
    text.append(alphabet[random() % unsigned(n)]);
  return text;
}

}  // namespace

// Every size of the table, given explicitly and filled to its capacity, reads back.
TEST(DataMatrixEncoderTest, EverySizeReadsBack) {
  std::mt19937 random(3);
  std::vector<DataMatrixSymbol> symbols;
  std::vector<QByteArray> texts;
  for (const DataMatrixSize &size : ecc200matrix) {
    // Upper-case text at 2 characters per codeword in C40 (3 per 2), or digits (2 per codeword).
    // Digits: two to a codeword, so the text fills the size exactly.
    const QByteArray text = randomText(random, 2 * size.dataCodewords, "0123456789");
    const DataMatrixSymbol symbol = encode(text, nullptr, size.width, size.height);
    ASSERT_TRUE(symbol.ok()) << size.width << "x" << size.height << ": " << symbol.error;
    EXPECT_EQ(symbol.dataCapacity, size.dataCodewords);
    EXPECT_EQ(symbol.checkCodewords, (size.dataCodewords + 2) / size.dataPerBlock * size.checkPerBlock);
    expectPatterns(symbol);
    // One byte more does not fit that size.
    EXPECT_FALSE(encode(text + "99", nullptr, size.width, size.height).ok());
    // The automatic choice finds a size at least as large.
    const DataMatrixSymbol automatic = encode(text);
    ASSERT_TRUE(automatic.ok());
    EXPECT_GE(automatic.dataCapacity, size.dataCodewords);
    symbols.push_back(symbol);
    texts.push_back(text);
  }
  // ZXingReader reads every size but 144x144, whose two shorter blocks it places
  // differently; dmtxread (slow on large symbols) reads the sizes up to 64x64 and 144x144.
  expectAllRead({symbols.begin(), symbols.end() - 1}, {texts.begin(), texts.end() - 1}, false);
  std::vector<DataMatrixSymbol> small(symbols.begin(), symbols.begin() + 22);
  std::vector<QByteArray> smallTexts(texts.begin(), texts.begin() + 22);
  small.push_back(symbols.back());
  smallTexts.push_back(texts.back());
  const QStringList read = readEachWithDmtx([&] {
    std::vector<QImage> images;
    for (const DataMatrixSymbol &symbol : small)
      images.push_back(imageOf(symbol));
    return images;
  }());
  for (size_t i = 0; i < small.size(); ++i)
    EXPECT_EQ(read[qsizetype(i)], QString::fromLatin1(smallTexts[i])) << small[i].width << "x" << small[i].height;
}

// Each encodation forced, and chosen automatically, with the data ending at every
// position of a C40, Text and X12 triple and of an EDIFACT group, at sizes where the
// symbol ends right after the data and where it does not, and Base 256 after each of
// the other modes.
TEST(DataMatrixEncoderTest, EncodationsAndEndsOfDataReadBack) {
  struct Case {
    QByteArray text;
    std::string modes;  // one letter per byte; empty: automatic
    int width = 0, height = 0;
  };
  std::vector<Case> cases;
  auto all = [](const QByteArray &text, char letter) { return std::string(size_t(text.size()), letter); };
  for (const QByteArray &text : {QByteArray("SORRY"), QByteArray("SORRY1"), QByteArray("SORRY12"), QByteArray("SORRY/a"),
                                 QByteArray("AB\xe9"), QByteArray("A"), QByteArray("AB")}) {
    cases.push_back({text, all(text, 'C')});
    cases.push_back({text.toLower(), all(text, 'T')});
  }
  for (const QByteArray &text : {QByteArray("ABC*>1"), QByteArray("ABC*>12"), QByteArray("ABC*>123"), QByteArray("X")})
    cases.push_back({text, all(text, 'X')});
  for (const QByteArray &text :
       {QByteArray("APOLOGY"), QByteArray("APOLOGY1"), QByteArray("APOLOGY12"), QByteArray("APOLOGY123"), QByteArray("A")})
    cases.push_back({text, all(text, 'E')});
  cases.push_back({QByteArray("Sorry \x01\xff\x80 bytes"), std::string(15, 'B')});
  // Base 256 right after C40, Text, X12 and EDIFACT (full and partial groups).
  cases.push_back({QByteArray("ABCD\xc4\xe4"), "CCCCBB"});
  cases.push_back({QByteArray("ABC\xc4\xe4"), "CCCBB"});
  cases.push_back({QByteArray("abc\xc4\xe4"), "TTTBB"});
  cases.push_back({QByteArray("ABC\xc4\xe4"), "XXXBB"});
  cases.push_back({QByteArray("ABCD\xc4\xe4"), "XXXXBB"});
  cases.push_back({QByteArray("ABCD\xc4\xe4"), "EEEEBB"});
  cases.push_back({QByteArray("ABCDEF\xc4\xe4"), "EEEEEEBB"});
  // The last character takes three values (upper shift and a basic character), so one
  // value is left over after the last whole triple.
  cases.push_back({QByteArray("A\xc1"), "CC"});
  cases.push_back({QByteArray("ABCD\xc1"), "CCCCC"});
  cases.push_back({QByteArray("abcd\xe1"), "TTTTT"});
  // Modes in turn.
  cases.push_back({QByteArray("12ABCabc*>\r\xe9XYZ^]"), "AACCCTTTXXXBAAAEE"});
  // The symbol ends right at the data: 5 codewords of 12x12 with C40 and Text ends.
  cases.push_back({QByteArray("ABCDE"), "CCCCC", 12, 12});
  cases.push_back({QByteArray("ABCDEFG"), "CCCCCCC", 14, 14});
  cases.push_back({QByteArray("abcde"), "TTTTT", 12, 12});
  cases.push_back({QByteArray("ABCD"), "XXXX", 12, 12});
  cases.push_back({QByteArray("ABCDE"), "EEEEE", 12, 12});
  // Automatic choices over texts that favour each mode.
  for (const QByteArray &text :
       {QByteArray("THE QUICK BROWN FOX 1234"), QByteArray("the quick brown fox 1234"), QByteArray("ABC>DEF*GHI>JKL*MNO\r"),
        QByteArray("12345678901234567890"), QByteArray("@@@@@@@@@@@@@@@@@@@@@ABCDEFG"), QByteArray("\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89"),
        QByteArray("Entschuldigung, das war nicht so gemeint!")})
    cases.push_back({text, ""});

  std::vector<DataMatrixSymbol> symbols;
  std::vector<QByteArray> texts;
  for (const Case &c : cases) {
    const DataMatrixSymbol symbol = encode(c.text, c.modes.empty() ? nullptr : c.modes.c_str(), c.width, c.height);
    ASSERT_TRUE(symbol.ok()) << c.text.constData() << " " << c.modes << ": " << symbol.error;
    if (!c.modes.empty()) {
      EXPECT_EQ(symbol.modes, c.modes);
    }
    EXPECT_EQ(symbol.modes.size(), size_t(c.text.size()));
    symbols.push_back(symbol);
    texts.push_back(c.text);
  }
  expectAllRead(symbols, texts, true);
}

namespace {

// The encoder's refusal and what it wrote to standard error meanwhile.
struct Refusal {
  std::string error;
  std::string written;
};

Refusal refusalOf(const QByteArray &text, const char *modes = nullptr, int width = 0, int height = 0) {
  testing::internal::CaptureStderr();
  const DataMatrixSymbol symbol = encode(text, modes, width, height);
  return Refusal{symbol.error, testing::internal::GetCapturedStderr()};
}

}  // namespace

TEST(DataMatrixEncoderTest, RefusalsSayWhyInOneLineOnStandardError) {
  const struct {
    Refusal refusal;
    std::string error;
  } cases[] = {
      {refusalOf("HELLO", nullptr, 11, 11), "Invalid size 11x11"},
      {refusalOf(QByteArray(30, 'x'), nullptr, 10, 10), "Cannot make barcode fit 10x10"},
      {refusalOf("abc", "XXX"), "Cannot encode char 0x61 in X12"},
      {refusalOf("abc", "EEE"), "Cannot encode 0x61 in EDIFACT"},
      {refusalOf("abc", "AQA"), "Unknown encoding Q"},
      {refusalOf("abc", "AA"), "Encoding string too short"},
      {refusalOf("abcdefgh", "AAAAAAAA", 10, 10), "Barcode too long for 10x10"},
      {refusalOf(QByteArray(1556, '\xff')), "Cannot find suitable size, barcode too long"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.error);
    EXPECT_EQ(c.refusal.error, c.error);
    // One line of the program's log (its time stamp, then the reason).
    const std::string &written = c.refusal.written;
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1) << written;
    EXPECT_TRUE(written.size() > c.error.size() && written.compare(written.size() - c.error.size() - 2,
                                                                 c.error.size() + 2, " " + c.error + "\n") == 0)
        << written;
  }
  // A symbol that is made writes nothing, also when the automatic size tried smaller ones.
  testing::internal::CaptureStderr();
  EXPECT_TRUE(encode(QByteArray(400, 'q')).ok());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  // The largest data: 1555 bytes in Base 256, 3116 digits; one more is refused.
  EXPECT_TRUE(encode(QByteArray(1555, '\xff')).ok());
  EXPECT_EQ(encode(QByteArray(1556, '\xff')).error, "Cannot find suitable size, barcode too long");
  EXPECT_TRUE(encode(QByteArray(3116, '7')).ok());
  EXPECT_FALSE(encode(QByteArray(3117, '7')).ok());
  EXPECT_FALSE(encode(QByteArray(5000, '\xff'), std::string(5000, 'B').c_str()).ok());
  EXPECT_FALSE(encode(QByteArray(100000, 'A'), std::string(100000, 'C').c_str()).ok());
  EXPECT_FALSE(encode(QByteArray(100000, 'A')).ok());
  EXPECT_FALSE(encode(QByteArray(100000, 'A'), nullptr, 144, 144).ok());
  // The empty text fits the smallest symbol.
  const DataMatrixSymbol empty = encode(QByteArray());
  ASSERT_TRUE(empty.ok());
  EXPECT_EQ(empty.width, 10);
}

// Thousands of random inputs with random forced modes and sizes: each is refused with a
// reason or gives a whole symbol; a sample is read back.
TEST(DataMatrixEncoderTest, RandomInputsAreRefusedOrReadBack) {
  std::mt19937 random(20261207);
  std::vector<DataMatrixSymbol> symbols;
  std::vector<QByteArray> texts;
  const char *alphabets[] = {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ", "abcdefghijklmnopqrstuvwxyz0123456789 ",
                             "ABCDEFGHIJ0123456789*> ", "ABCDEFGHIJ0123456789!#$%&()*+,-./:;<=>?@[]^_ ",
                             "Sorry! 0123 abc DEF ~{}|`"};
  for (int run = 0; run < 3000; ++run) {
    const int length = random() % 20 == 0 ? int(random() % 1600) : int(random() % 60);
    QByteArray text;
    if (random() % 5 == 0) {
      for (int i = 0; i < length; ++i)
        text.append(char(random() % 256));
    } else {
      text = randomText(random, length, alphabets[random() % 5]);
    }
    std::string modes;
    const bool forced = random() % 2;
    if (forced) {
      const char letter = "ACTXEB"[random() % 6];
      for (int i = 0; i < length; ++i)
        modes += random() % 8 == 0 ? "ACTXEB"[random() % 6] : letter;
    }
    int width = 0, height = 0;
    if (random() % 4 == 0) {
      const DataMatrixSize &size = ecc200matrix[random() % DataMatrixSizeCount];
      width = size.width;
      height = size.height;
    }
    const DataMatrixSymbol symbol = encode(text, forced ? modes.c_str() : nullptr, width, height);
    if (!symbol.ok()) {
      ASSERT_FALSE(symbol.error.empty());
      // Automatic modes and size refuse only what no symbol holds.
      if (!forced && width == 0) {
        ASSERT_GT(text.size(), 1558) << symbol.error;
      }
      continue;
    }
    ASSERT_EQ(symbol.grid.size(), size_t(symbol.width) * size_t(symbol.height));
    ASSERT_LE(symbol.usedCodewords, symbol.dataCapacity);
    if (width) {
      ASSERT_EQ(symbol.width, width);
    }
    expectPatterns(symbol);
    const bool printable = std::all_of(text.begin(), text.end(), [](char c) { return c >= 32 && c < 127 && c != '"' && c != '\\'; });
    if (symbols.size() < 100 && width == 0 && printable && !text.isEmpty() && text.size() < 200) {
      symbols.push_back(symbol);
      texts.push_back(text);
    }
  }
  ASSERT_GE(symbols.size(), 90u);
  expectAllRead(symbols, texts, false);
}
