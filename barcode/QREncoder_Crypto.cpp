// The QR front end's content encryption (AES-256-CBC on OpenSSL's libcrypto) and its
// colour-to-number conversion.

#include "barcode/QREncoder.h"

#include "core/Utilities.h"

#include <QStringDecoder>

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

constexpr int KeyBytes = 32;
constexpr int BlockBytes = 16;
// The most bytes one cipher call takes (OpenSSL counts in int), its output with a block
// of padding included: longer input is refused, never cut.
constexpr qsizetype MaxCipherInput = qsizetype(INT_MAX) - 2 * BlockBytes;

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

// The key of a pass phrase: its UTF-8 bytes, then zero bytes up to 32.
std::array<unsigned char, KeyBytes> keyOf(const QString &passphrase) {
  const QByteArray bytes = passphrase.toUtf8();
  if (bytes.size() > KeyBytes)
    throw std::invalid_argument("passphrase too long: " + std::to_string(bytes.size()));
  std::array<unsigned char, KeyBytes> key{};
  std::copy(bytes.begin(), bytes.end(), key.begin());
  return key;
}

// Runs the cipher over the `length` bytes of `input` with `key` and `iv`; nothing when
// the input is longer than one cipher call takes or OpenSSL reports an error (for
// decryption also a padding that does not check out).
std::optional<QByteArray> runCipher(bool encrypt, const std::array<unsigned char, KeyBytes> &key,
                                    const unsigned char *iv, const char *input, qsizetype length) {
  if (length < 0 || length > MaxCipherInput)
    return std::nullopt;
  CipherContext context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
  if (!context)
    return std::nullopt;
  if (EVP_CipherInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key.data(), iv, encrypt ? 1 : 0) != 1)
    return std::nullopt;
  QByteArray output(length + BlockBytes, Qt::Uninitialized);
  auto *out = reinterpret_cast<unsigned char *>(output.data());
  int written = 0;
  if (EVP_CipherUpdate(context.get(), out, &written, reinterpret_cast<const unsigned char *>(input), int(length)) != 1)
    return std::nullopt;
  int last = 0;
  if (EVP_CipherFinal_ex(context.get(), out + written, &last) != 1)
    return std::nullopt;
  output.truncate(written + last);
  return output;
}

}  // namespace

std::optional<QByteArray> QREncoder::AESEncryptString(const QString &text, const QString &withPassphrase) {
  const std::array<unsigned char, KeyBytes> key = keyOf(withPassphrase);
  const QByteArray plain = text.toUtf8();
  // A fresh vector for every text: equal texts give unequal data, and the vector travels
  // in front of the cipher text for the decryption.
  std::array<unsigned char, BlockBytes> iv{};
  if (RAND_bytes(iv.data(), BlockBytes) != 1)
    return std::nullopt;
  const std::optional<QByteArray> cipher = runCipher(true, key, iv.data(), plain.constData(), plain.size());
  if (!cipher)
    return std::nullopt;
  return QByteArray(reinterpret_cast<const char *>(iv.data()), BlockBytes) + *cipher;
}

std::optional<QString> QREncoder::AESDecryptString(const QByteArray &data, const QString &withPassphrase) {
  const std::array<unsigned char, KeyBytes> key = keyOf(withPassphrase);
  // The vector and at least one block of cipher text, whole blocks only, counted in
  // the array's own size type: a length beyond an int is refused (by runCipher), not
  // read as its low part.
  const qsizetype length = data.size();
  if (length < 2 * BlockBytes || length % BlockBytes != 0)
    return std::nullopt;
  const auto *iv = reinterpret_cast<const unsigned char *>(data.constData());
  const std::optional<QByteArray> plain = runCipher(false, key, iv, data.constData() + BlockBytes, length - BlockBytes);
  if (!plain)
    return std::nullopt;
  // A wrong key whose last block happens to end like a padding gives bytes that are
  // almost never UTF-8: those are no text either.
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder(*plain);
  if (decoder.hasError())
    return std::nullopt;
  return text;
}

std::optional<DataMatrix> QREncoder::encodeWithECLevel_version_string_AESPassphrase(int level, int version,
                                                                                     const QString &string,
                                                                                     const QString &AESPassphrase) {
  try {
    const std::optional<QByteArray> cipher = AESEncryptString(string, AESPassphrase);
    if (!cipher)
      return std::nullopt;
    // Every byte goes into the symbol: the encoder takes a length, so a zero byte among
    // the cipher bytes does not cut the content short.
    return encodeCStringWithECLevel(level, version, *cipher);
  } catch (const std::exception &error) {
    Show_NSLog_Message(QString::fromUtf8(error.what()));
    return std::nullopt;
  }
}

uint32_t QREncoder::hexadecimalValueOfAnNSColor(const QColor &color) {
  const QColor rgb = color.toRgb();
  return (uint32_t(rgb.alpha()) << 24) | (uint32_t(rgb.red()) << 16) | (uint32_t(rgb.green()) << 8) |
         uint32_t(rgb.blue());
}
