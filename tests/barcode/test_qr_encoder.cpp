// The QR Code encoder, checked by reading its symbols back with ZXingReader and zbarimg
// and by looking at the matrix it leaves.

#include "barcode/encoding/QRSymbolEncoder.h"
#include "tests/common/decoder_support.h"
#include "test_qr_support.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

namespace {

std::unique_ptr<QRSymbolEncoder> encoder() { return std::make_unique<QRSymbolEncoder>(); }

ModuleRows rowsOf(const QRSymbolEncoder &qr) {
  const int s = int(qr.m_nSymbleSize);
  ModuleRows rows(size_t(s), std::vector<bool>(size_t(s), false));
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x)
      rows[size_t(y)][size_t(x)] = qr.m_byModuleData[x][y] != 0;
  return rows;
}

bool encode(QRSymbolEncoder &qr, const QByteArray &text, int level, int version = 0, int mask = -1,
            bool extend = false) {
  return qr.EncodeData(level, version, extend, mask, text.constData(), text.size());
}

// Printable ASCII without quote and backslash, so the reader's output is unambiguous.
QByteArray randomQrText(std::mt19937 &random, int length, const char *alphabet) {
  const int n = int(std::strlen(alphabet));
  QByteArray text;
  for (int i = 0; i < length; ++i)
    text.append(alphabet[random() % unsigned(n)]);
  return text;
}

constexpr const char *kMixed = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 $%*+-./:!?#&()";
constexpr const char *kDigits = "0123456789";
constexpr const char *kAlnum = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

// Reads every symbol back and checks that each holds exactly its text.
void expectAllRead(const std::vector<ModuleRows> &symbols, const std::vector<QByteArray> &texts) {
  std::vector<QImage> images;
  for (const ModuleRows &rows : symbols)
    images.push_back(matrixSymbolImage(rows, 3, 4));
  const QStringList read = readEachWithZXing(images, QStringLiteral("QRCode"));
  for (size_t i = 0; i < symbols.size(); ++i)
    EXPECT_EQ(read[qsizetype(i)], QString::fromLatin1(texts[i])) << "symbol " << i;
}

}  // namespace

// Every version at every level, filled close to its capacity in one of the modes, so
// that the block structure, the alignment and version patterns of each version are read.
TEST(QRSymbolEncoderTest, EveryVersionAndLevelReadsBack) {
  std::mt19937 random(1);
  std::vector<ModuleRows> symbols;
  std::vector<QByteArray> texts;
  for (int version = 1; version <= 40; ++version) {
    for (int level = 0; level < 4; ++level) {
      const int group = version < 10 ? 0 : version < 27 ? 1 : 2;
      const int bits = QRSymbolEncoder::DataCodeWords(version, level) * 8;
      QByteArray text;
      switch ((version + level) % 3) {
      case 0: text = randomQrText(random, (bits - 4 - (group == 0 ? 8 : 16)) / 8, kMixed + 26); break;
      case 1: text = randomQrText(random, (bits - 4 - (10 + 2 * group)) * 3 / 10, kDigits); break;
      default: text = randomQrText(random, (bits - 4 - (9 + 2 * group)) * 2 / 11, kAlnum); break;
      }
      auto qr = encoder();
      ASSERT_TRUE(encode(*qr, text, level, version)) << version << " " << level;
      ASSERT_EQ(qr->m_nVersion, version);
      ASSERT_EQ(qr->m_nSymbleSize, 4 * version + 17);
      // Nearly full: the next version would be chosen with a few more characters.
      auto automatic = encoder();
      ASSERT_TRUE(encode(*automatic, text, level));
      EXPECT_EQ(automatic->m_nVersion, version) << "level " << level;
      symbols.push_back(rowsOf(*qr));
      texts.push_back(text);
    }
  }
  expectAllRead(symbols, texts);
  // zbarimg reads one symbol of each version, the level taking turns.
  std::vector<QImage> images;
  QStringList expected;
  for (size_t i = 0; i < symbols.size(); i += 5) {
    images.push_back(matrixSymbolImage(symbols[i], 3, 4));
    expected << QString::fromLatin1(texts[i]);
  }
  EXPECT_EQ(readEachWithZbar(images), expected);
}

// Each mask, fixed, on the same data; the automatic choice is one of them and prefers
// the lower number on equal scores.
TEST(QRSymbolEncoderTest, EveryMaskReadsBack) {
  std::vector<ModuleRows> symbols;
  std::vector<QByteArray> texts;
  for (int mask = 0; mask < 8; ++mask) {
    const QByteArray text = "Sorry about the mess, mask " + QByteArray::number(mask);
    auto qr = encoder();
    ASSERT_TRUE(encode(*qr, text, 1, 0, mask));
    EXPECT_EQ(qr->m_nMaskingNo, mask);
    symbols.push_back(rowsOf(*qr));
    texts.push_back(text);
  }
  expectAllRead(symbols, texts);
}

// Segments of every mode in one symbol, and how the split comes out.
TEST(QRSymbolEncoderTest, ModesAndMixedSegmentsReadBack) {
  struct Case {
    QByteArray text;
    std::vector<uint8_t> modes;
  };
  const std::vector<Case> cases = {
      {"0123456789012345678901234567890123456789", {QRSymbolEncoder::ModeNumeral}},
      {"HELLO WORLD $%*+-./:", {QRSymbolEncoder::ModeAlphabet}},
      {"hello world", {QRSymbolEncoder::Mode8Bit}},
      {"ABC123", {QRSymbolEncoder::ModeAlphabet}},  // joined: shorter than two segments
      {"ABCDEFGH0123456789012345678901234567890123456789abcdefgh",
       {QRSymbolEncoder::ModeAlphabet, QRSymbolEncoder::ModeNumeral, QRSymbolEncoder::Mode8Bit}},
      {"we apologise 1234567890123456789012345678901234567890 HOTEL ROOM 12345678901234567890123",
       {QRSymbolEncoder::Mode8Bit, QRSymbolEncoder::ModeNumeral, QRSymbolEncoder::ModeAlphabet,
        QRSymbolEncoder::ModeNumeral}},
  };
  std::vector<ModuleRows> symbols;
  std::vector<QByteArray> texts;
  for (const Case &c : cases) {
    auto qr = encoder();
    ASSERT_TRUE(encode(*qr, c.text, 1)) << c.text.constData();
    std::vector<uint8_t> modes(qr->m_byBlockMode, qr->m_byBlockMode + qr->m_ncDataBlock);
    EXPECT_EQ(modes, c.modes) << c.text.constData();
    int64_t total = 0;
    for (int64_t k = 0; k < qr->m_ncDataBlock; ++k)
      total += qr->m_nBlockLength[k];
    EXPECT_EQ(total, c.text.size());
    symbols.push_back(rowsOf(*qr));
    texts.push_back(c.text);
  }
  expectAllRead(symbols, texts);
  // The same symbols with zbar, which reads one at a time.
  for (size_t i = 0; i < 3; ++i) {
    const DecodeResult read = decodeWithZbar(matrixSymbolImage(symbols[i]));
    EXPECT_EQ(read.texts, QStringList{QString::fromLatin1(texts[i])}) << read.error.toStdString();
  }
}

// Shift-JIS Kanji goes in Kanji mode (13 bits a character) and reads back as the same
// characters; UTF-8 text, Japanese included, goes in byte mode and reads back byte for
// byte instead of being taken for Kanji.
TEST(QRSymbolEncoderTest, KanjiAndUtf8ReadBackAsTyped) {
  // "申し訳ありません" (we are sorry) in Shift-JIS.
  const QByteArray shiftJis = QByteArray::fromHex("905c82b596f382a082e882dc82b982f1");
  auto kanji = encoder();
  ASSERT_TRUE(encode(*kanji, shiftJis, 1));
  ASSERT_EQ(kanji->m_ncDataBlock, 1);
  EXPECT_EQ(kanji->m_byBlockMode[0], QRSymbolEncoder::ModeKanji);
  const DecodeResult kanjiRead = decodeWithZXing(matrixSymbolImage(rowsOf(*kanji)), QStringLiteral("QRCode"), true);
  ASSERT_EQ(kanjiRead.texts.size(), 1) << kanjiRead.error.toStdString();
  EXPECT_EQ(kanjiRead.texts[0].toLatin1(), shiftJis);
  const DecodeResult kanjiText = decodeWithZbar(matrixSymbolImage(rowsOf(*kanji)));
  EXPECT_EQ(kanjiText.texts, QStringList{QStringLiteral("申し訳ありません")}) << kanjiText.error.toStdString();

  // Latin-1 text is neither: its accented letters must not pair up as Kanji.
  const QByteArray latin1 = QStringLiteral("Entschuldigung für das Café, désolé à tous").toLatin1();
  auto western = encoder();
  ASSERT_TRUE(encode(*western, latin1, 1));
  for (int64_t k = 0; k < western->m_ncDataBlock; ++k)
    EXPECT_NE(western->m_byBlockMode[k], QRSymbolEncoder::ModeKanji);
  const DecodeResult westernRead = decodeWithZXing(matrixSymbolImage(rowsOf(*western)), QStringLiteral("QRCode"), true);
  ASSERT_EQ(westernRead.texts.size(), 1) << westernRead.error.toStdString();
  EXPECT_EQ(westernRead.texts[0].toLatin1(), latin1);

  const QString typed = QStringLiteral("Entschuldigung, désolé — 申し訳ありません ♥");
  const QByteArray utf8 = typed.toUtf8();
  auto text = encoder();
  ASSERT_TRUE(encode(*text, utf8, 2));
  for (int64_t k = 0; k < text->m_ncDataBlock; ++k)
    EXPECT_NE(text->m_byBlockMode[k], QRSymbolEncoder::ModeKanji);
  EXPECT_EQ(QRSymbolEncoder::Get_Encoding_Mode(utf8.constData(), utf8.size()), QRSymbolEncoder::Mode8Bit);
  const QImage image = matrixSymbolImage(rowsOf(*text));
  const DecodeResult bytes = decodeWithZXing(image, QStringLiteral("QRCode"), true);
  ASSERT_EQ(bytes.texts.size(), 1) << bytes.error.toStdString();
  EXPECT_EQ(bytes.texts[0].toLatin1(), utf8);
  const DecodeResult zbar = decodeWithZbar(image);
  EXPECT_EQ(zbar.texts, QStringList{typed}) << zbar.error.toStdString();
}

TEST(QRSymbolEncoderTest, VersionChoiceAndRefusals) {
  auto qr = encoder();
  // One digit: the smallest symbol.
  ASSERT_TRUE(encode(*qr, "7", 0));
  EXPECT_EQ(qr->m_nSymbleSize, 21);
  // A larger version asked for stays in use; the room is filled with 236, 17.
  ASSERT_TRUE(encode(*qr, "SORRY", 1, 10));
  EXPECT_EQ(qr->m_nSymbleSize, 57);
  // 5 alphanumeric characters at version 10: 4 + 11 + 22 + 6 bits + terminator = 6 bytes.
  EXPECT_EQ(qr->m_byDataCodeWord[6], 236);
  EXPECT_EQ(qr->m_byDataCodeWord[7], 17);
  EXPECT_EQ(qr->m_byDataCodeWord[QRSymbolEncoder::DataCodeWords(10, 1) - 1], 17);
  // The data fit version 1, but the count fields take the widths of the version used.
  std::vector<ModuleRows> larger;
  larger.push_back(rowsOf(*qr));
  ASSERT_TRUE(encode(*qr, "SORRY 12345 sorry", 2, 27));
  larger.push_back(rowsOf(*qr));
  expectAllRead(larger, {"SORRY", "SORRY 12345 sorry"});
  // Too long for the version asked for: refused, or a larger one with extension.
  const QByteArray long1 = QByteArray(30, 'x');
  EXPECT_FALSE(encode(*qr, long1, 3, 1));
  ASSERT_TRUE(encode(*qr, long1, 3, 1, -1, true));
  EXPECT_GT(qr->m_nVersion, 1);
  // The largest byte text version 40-L holds, and one byte more.
  EXPECT_TRUE(encode(*qr, QByteArray(2953, 'x'), 0));
  EXPECT_EQ(qr->m_nVersion, 40);
  EXPECT_FALSE(encode(*qr, QByteArray(2954, 'x'), 0));
  EXPECT_TRUE(encode(*qr, QByteArray(7089, '9'), 0));
  EXPECT_FALSE(encode(*qr, QByteArray(7090, '9'), 0));
  EXPECT_FALSE(encode(*qr, QByteArray(100000, 'a'), 0));
  EXPECT_FALSE(encode(*qr, QByteArray(100000, 'A'), 0, 40));
  // Letters and digits in turn change class at every character; the longest such text
  // must neither overrun the segment list nor be refused while it fits.
  QByteArray alternating;
  for (int i = 0; i < 4200; ++i)
    alternating.append(i % 2 ? 'A' : '1');
  EXPECT_TRUE(encode(*qr, alternating, 0, 40));
  EXPECT_FALSE(encode(*qr, alternating + alternating, 0, 40));
  // Empty source and bad arguments.
  EXPECT_FALSE(encode(*qr, QByteArray(), 0));
  EXPECT_FALSE(encode(*qr, "A", 4));
  EXPECT_FALSE(encode(*qr, "A", 0, 41));
  EXPECT_FALSE(encode(*qr, "A", 0, 0, 8));
  // The source length may come from the terminating zero byte.
  EXPECT_TRUE(qr->EncodeData(0, 0, false, -1, "12345", 0));
  EXPECT_EQ(qr->m_nSymbleSize, 21);
}

TEST(QRSymbolEncoderTest, VersionInformationFromVersion7) {
  // The version information blocks sit left of the top-right finder; below version 7
  // that area is data and the blocks' fixed bit pattern for version 7 (000111110010010100)
  // appears only from there on.
  for (int version : {6, 7, 40}) {
    auto qr = encoder();
    ASSERT_TRUE(encode(*qr, "A", 0, version));
    const int s = int(qr->m_nSymbleSize);
    int bits = 0;
    for (int i = 0; i < 6; ++i)
      for (int j = 0; j < 3; ++j)
        bits |= (qr->m_byModuleData[s - 11 + j][i] ? 1 : 0) << (3 * i + j);
    int mirror = 0;
    for (int i = 0; i < 6; ++i)
      for (int j = 0; j < 3; ++j)
        mirror |= (qr->m_byModuleData[i][s - 11 + j] ? 1 : 0) << (3 * i + j);
    if (version == 7) {
      EXPECT_EQ(bits, 0x07C94);
    }
    if (version == 40) {
      EXPECT_EQ(bits, 0x28C69);
    }
    if (version >= 7) {
      EXPECT_EQ(mirror, bits);
    }
  }
}

// Thousands of random inputs with random options: each is refused only when it cannot
// fit, and every built matrix is whole (only 0 and 1, finders in place); a sample of
// them is read back.
TEST(QRSymbolEncoderTest, RandomInputsAreRefusedOrReadBack) {
  std::mt19937 random(20261207);
  std::vector<ModuleRows> symbols;
  std::vector<QByteArray> texts;
  auto qr = encoder();
  const char *alphabets[] = {kMixed, kDigits, kAlnum};
  for (int run = 0; run < 3000; ++run) {
    const int level = int(random() % 4);
    const int version = random() % 3 == 0 ? int(random() % 41) : 0;
    const int mask = int(random() % 9) - 1;
    const bool extend = random() % 2;
    const int length = random() % 10 == 0 ? int(random() % 3000) : int(random() % 120);
    QByteArray text;
    if (random() % 4 == 0) {
      for (int i = 0; i < length; ++i)
        text.append(char(random() % 256));
    } else {
      text = randomQrText(random, length, alphabets[random() % 3]);
    }
    const bool built = encode(*qr, text, level, version, mask, extend);
    // Byte mode at version 40 bounds what must fit.
    const bool mustFit = !text.isEmpty() && text.size() <= QRSymbolEncoder::DataCodeWords(40, level) - 3 &&
                         (version == 0 || extend);
    if (mustFit) {
      ASSERT_TRUE(built) << "run " << run;
    }
    if (!built)
      continue;
    const int s = int(qr->m_nSymbleSize);
    ASSERT_EQ(s, 4 * qr->m_nVersion + 17);
    if (version) {
      ASSERT_GE(qr->m_nVersion, version);
    }
    if (mask >= 0) {
      ASSERT_EQ(qr->m_nMaskingNo, mask);
    }
    for (int x = 0; x < s; ++x)
      for (int y = 0; y < s; ++y)
        ASSERT_LE(qr->m_byModuleData[x][y], 1);
    for (int corner : {0, 1, 2}) {
      const int x0 = corner == 1 ? s - 7 : 0, y0 = corner == 2 ? s - 7 : 0;
      for (int i = 0; i < 7; ++i)
        ASSERT_EQ(qr->m_byModuleData[x0 + i][y0], 1);
      ASSERT_EQ(qr->m_byModuleData[x0 + 1][y0 + 1], 0);
      ASSERT_EQ(qr->m_byModuleData[x0 + 3][y0 + 3], 1);
    }
    if (symbols.size() < 100 && text.size() <= 150 && !text.contains('"') && !text.contains('\\') &&
        text.size() == int(std::count_if(text.begin(), text.end(), [](char c) { return c >= 32 && c < 127; }))) {
      symbols.push_back(rowsOf(*qr));
      texts.push_back(text);
    }
  }
  ASSERT_GE(symbols.size(), 90u);
  expectAllRead(symbols, texts);
}

namespace {

// The penalty rules written out module by module, as a check on the encoder's own
// (bit-parallel) scoring.
int64_t penaltyByTheRules(const QRSymbolEncoder &qr) {
  const int s = int(qr.m_nSymbleSize);
  auto dark = [&](int x, int y) { return (qr.m_byModuleData[x][y] & 0x11) != 0; };
  int64_t penalty = 0;
  for (int direction = 0; direction < 2; ++direction) {
    for (int n = 0; n < s; ++n) {
      auto at = [&](int i) { return direction == 0 ? dark(n, i) : dark(i, n); };
      for (int start = 0; start < s - 4;) {
        int end = start + 1;
        while (end < s && at(end) == at(start))
          ++end;
        if (end - start >= 5)
          penalty += 3 + (end - start - 5);
        start = end;
      }
      auto light = [&](int i) { return i < 0 || i >= s || !at(i); };
      for (int j = 0; j < s - 6; ++j)
        if (at(j) && !at(j + 1) && at(j + 2) && at(j + 3) && at(j + 4) && !at(j + 5) && at(j + 6) && light(j - 1) &&
            light(j + 7) && ((light(j - 2) && light(j - 3) && light(j - 4)) || (light(j + 8) && light(j + 9) && light(j + 10))))
          penalty += 40;
    }
  }
  for (int x = 0; x < s - 1; ++x)
    for (int y = 0; y < s - 1; ++y)
      if (dark(x + 1, y) == dark(x, y) && dark(x, y + 1) == dark(x, y) && dark(x + 1, y + 1) == dark(x, y))
        penalty += 3;
  int light = 0;
  for (int x = 0; x < s; ++x)
    for (int y = 0; y < s; ++y)
      light += dark(x, y) ? 0 : 1;
  return penalty + (std::abs(50 - light * 100 / (s * s)) / 5) * 10;
}

}  // namespace

// The score agrees with the rules on symbols of every size (with some modules turned
// over, so that long runs and finder-like patterns turn up inside the data too), and the
// automatic mask is the one of lowest score, the lower number on equal scores.
TEST(QRSymbolEncoderTest, PenaltyScoreAndMaskChoice) {
  std::mt19937 random(11);
  auto qr = encoder();
  for (int run = 0; run < 400; ++run) {
    const int version = 1 + run % 40;
    ASSERT_TRUE(encode(*qr, randomQrText(random, 1 + int(random() % 30), kMixed), int(random() % 4), version, int(random() % 8), true));
    const int s = int(qr->m_nSymbleSize);
    for (int flips = int(random() % 60); flips > 0; --flips)
      qr->m_byModuleData[random() % unsigned(s)][random() % unsigned(s)] ^= 1;
    if (run % 5 == 0)  // stripes: long runs and blocks everywhere
      for (int x = 0; x < s; ++x)
        for (int y = 0; y < s; ++y)
          qr->m_byModuleData[x][y] = (x / 3 + y) % 7 == 0 ? 1 : 0;
    ASSERT_EQ(qr->CountPenalty(), penaltyByTheRules(*qr)) << "version " << version << " run " << run;
  }
  for (const QByteArray &text : {QByteArray("A"), QByteArray("SORRY"), QByteArray("we are sorry about the cake")}) {
    for (int level = 0; level < 4; ++level) {
      int64_t scores[8];
      for (int mask = 0; mask < 8; ++mask) {
        ASSERT_TRUE(encode(*qr, text, level, 0, mask));
        scores[mask] = qr->CountPenalty();
      }
      ASSERT_TRUE(encode(*qr, text, level));
      const int chosen = int(qr->m_nMaskingNo);
      for (int mask = 0; mask < 8; ++mask) {
        if (mask < chosen)
          EXPECT_GT(scores[mask], scores[chosen]) << text.constData() << " level " << level;
        else
          EXPECT_GE(scores[mask], scores[chosen]) << text.constData() << " level " << level;
      }
    }
  }
}
