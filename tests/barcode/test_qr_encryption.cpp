// The QR front end's content encryption: texts come back only with their pass phrase,
// equal texts give unequal data, and an encrypted symbol read by ZXingReader gives the
// cipher bytes, zero bytes included, that decrypt to the text. And its colour number.

#include "barcode/QREncoder.h"
#include "tests/common/decoder_support.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>

#include <cstring>
#include <stdexcept>
#include <vector>

#include <sys/mman.h>

namespace {

std::vector<std::vector<bool>> rowsOf(const DataMatrix &grid) {
  const auto n = size_t(grid.dimension());
  std::vector<std::vector<bool>> rows(n, std::vector<bool>(n, false));
  for (size_t y = 0; y < n; ++y)
    for (size_t x = 0; x < n; ++x)
      rows[y][x] = grid.valueAt(int64_t(x), int64_t(y)) != 0;
  return rows;
}

}  // namespace

TEST(QrContentEncryption, TextsComeBackOnlyWithTheirPassPhrase) {
  const QString passphrase = QStringLiteral("sorry about the vase");
  const QString texts[] = {
      QString(),
      QStringLiteral("I am sorry."),
      QStringLiteral("exactly sixteen!"),  // a whole block: a whole block of padding follows
      QStringLiteral("Entschuldigung, désolé, 申し訳ありません ♥"),
      QString(300, QLatin1Char('x')),
  };
  for (const QString &text : texts) {
    SCOPED_TRACE(text.left(20).toStdString());
    const std::optional<QByteArray> data = QREncoder::AESEncryptString(text, passphrase);
    ASSERT_TRUE(data);
    // The vector, then the UTF-8 bytes padded to whole blocks.
    EXPECT_EQ(data->size(), 16 + (text.toUtf8().size() / 16 + 1) * 16);
    const std::optional<QString> back = QREncoder::AESDecryptString(*data, passphrase);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, text);

    // The same text again gives other data, which decrypts to the same text.
    const std::optional<QByteArray> again = QREncoder::AESEncryptString(text, passphrase);
    ASSERT_TRUE(again);
    EXPECT_NE(*again, *data);
    EXPECT_EQ(QREncoder::AESDecryptString(*again, passphrase), text);

    // A wrong pass phrase, one differing only in case or length, gives no text.
    for (const QString &wrong : {QStringLiteral("Sorry about the vase"), QStringLiteral("sorry about the vas"),
                                 QString(), QStringLiteral("sorry about the vase ")})
      EXPECT_FALSE(QREncoder::AESDecryptString(*data, wrong)) << wrong.toStdString();
    // Cut or changed data gives no text either.
    EXPECT_FALSE(QREncoder::AESDecryptString(data->left(data->size() - 1), passphrase));
    EXPECT_FALSE(QREncoder::AESDecryptString(data->left(16), passphrase));
    QByteArray changed = *data;
    changed[changed.size() - 1] = char(changed.at(changed.size() - 1) ^ 0x5a);
    EXPECT_FALSE(QREncoder::AESDecryptString(changed, passphrase));
  }
  EXPECT_FALSE(QREncoder::AESDecryptString(QByteArray(), passphrase));

  // The key holds 32 bytes of the pass phrase's UTF-8 form; a longer one is refused,
  // also when it has fewer than 32 characters.
  const QString longest(32, QLatin1Char('k'));
  const std::optional<QByteArray> keyed = QREncoder::AESEncryptString(QStringLiteral("text"), longest);
  ASSERT_TRUE(keyed);
  EXPECT_EQ(QREncoder::AESDecryptString(*keyed, longest), QStringLiteral("text"));
  EXPECT_THROW(QREncoder::AESEncryptString(QStringLiteral("text"), QString(33, QLatin1Char('k'))),
               std::invalid_argument);
  EXPECT_THROW(QREncoder::AESEncryptString(QStringLiteral("text"), QString(17, QChar(0xe9))), std::invalid_argument);
  EXPECT_THROW(QREncoder::AESDecryptString(*keyed, QString(33, QLatin1Char('k'))), std::invalid_argument);
}

// Data whose length does not fit an int: the whole length counts, so valid data with
// four gibibytes of zeros behind them are no text. The zeros are an untouched mapping
// that is never backed by memory.
TEST(QrContentEncryption, DataLongerThanAnIntAreRefusedWhole) {
  const QString passphrase = QStringLiteral("sorry about the vase");
  const std::optional<QByteArray> data = QREncoder::AESEncryptString(QStringLiteral("I broke the vase."), passphrase);
  ASSERT_TRUE(data);
  ASSERT_EQ(data->size(), 48);
  const size_t length = size_t(data->size()) + (size_t(1) << 32);
  void *mapped = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (mapped == MAP_FAILED)
    GTEST_SKIP() << "no room for a mapping of " << length << " bytes";
  std::memcpy(mapped, data->constData(), size_t(data->size()));
  const QByteArray huge = QByteArray::fromRawData(static_cast<const char *>(mapped), qsizetype(length));
  EXPECT_FALSE(QREncoder::AESDecryptString(huge, passphrase));
  // A length with a valid low part that is not a whole number of blocks either.
  EXPECT_FALSE(QREncoder::AESDecryptString(QByteArray::fromRawData(huge.constData(), qsizetype(length) - 8),
                                           passphrase));
  // The same 48 bytes alone are the text.
  EXPECT_EQ(QREncoder::AESDecryptString(huge.left(48), passphrase), QStringLiteral("I broke the vase."));
  ::munmap(mapped, length);
}

TEST(QrContentEncryption, AnEncryptedSymbolReadsBackAsTheCipherBytes) {
  const QString passphrase = QStringLiteral("pässwörd");
  const QString texts[] = {QStringLiteral("Meet me at noon, I owe you an apology."),
                           QStringLiteral("désolé ♥ 申し訳ありません"), QStringLiteral("0123456789")};
  // The cipher bytes are random: several symbols meet zero bytes and byte pairs that
  // look like Kanji.
  for (int round = 0; round < 4; ++round) {
    for (const QString &text : texts) {
      SCOPED_TRACE(text.toStdString());
      const std::optional<DataMatrix> grid =
          QREncoder::encodeWithECLevel_version_string_AESPassphrase(1, 0, text, passphrase);
      ASSERT_TRUE(grid);
      ASSERT_GT(grid->dimension(), 0);
      const DecodeResult read = decodeWithZXing(matrixSymbolImage(rowsOf(*grid)), QStringLiteral("QRCode"), true);
      ASSERT_EQ(read.texts.size(), 1) << read.error.toStdString();
      const QByteArray cipher = read.texts[0].toLatin1();
      EXPECT_EQ(cipher.size() % 16, 0);
      EXPECT_EQ(QREncoder::AESDecryptString(cipher, passphrase), text);
      EXPECT_FALSE(QREncoder::AESDecryptString(cipher, QStringLiteral("passwort")));
    }
  }
  // A pass phrase that cannot be a key gives no symbol (and is logged).
  EXPECT_FALSE(QREncoder::encodeWithECLevel_version_string_AESPassphrase(1, 0, QStringLiteral("x"), QString(40, 'p')));
}

TEST(QrContentEncryption, ColourNumberIsAlphaRedGreenBlue) {
  EXPECT_EQ(QREncoder::hexadecimalValueOfAnNSColor(QColor(0x12, 0x34, 0x56, 0x78)), 0x78123456u);
  EXPECT_EQ(QREncoder::hexadecimalValueOfAnNSColor(QColor(Qt::white)), 0xFFFFFFFFu);
}
