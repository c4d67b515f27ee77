// The PDF417 encoder (barcode/encoding/PDF417Encoder): the first byte chooses the error
// level (and with its high bit raw codewords instead of text), the second the columns,
// the third the rows, the fourth the option bits; the rest is the text, or the codewords
// as 16-bit numbers below 1000 (some out of range). A refusal is one of the known errors
// and leaves no bitmap; text that fits and valid codewords are never refused; a symbol
// has the shape, size and bitmap it states, and every row holds the start pattern, the
// block's codewords in the row's cluster between its indicators, and the stop pattern.

#include "FuzzSupport.h"

#include "barcode/encoding/PDF417Clusters.h"
#include "barcode/encoding/PDF417Encoder.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <vector>

namespace {

void writeSeeds(const QString &folder) {
  const QByteArray texts[] = {"Hello", "123456789012", "Sorry for the delay, order #4711!", "a!?(b;<>c",
                              QByteArray("\x80\x81\x82\x83\x84\x85\x86", 7), "Caf\xc3\xa9 cr\xc3\xa8me",
                              QByteArray(60, '7') + "end"};
  int index = 0;
  for (const QByteArray &text : texts) {
    const char head[4] = {char(index % 9), char(index * 3 % 31), char(index * 7 % 91), char(index * 37)};
    fuzz::writeSeed(folder, QStringLiteral("text%1.bin").arg(index++), QByteArray(head, 4) + text);
  }
  // Raw codewords: "Hello" and a byte latch; a list with a value out of range.
  const char rawHead[4] = {char(0x82), 2, 0, 0x08};
  fuzz::writeSeed(folder, QStringLiteral("raw0.bin"),
                  QByteArray(rawHead, 4) + QByteArray("\x00\xed\x00\x83\x01\x58\x03\x85\x00\x21", 10));
  fuzz::writeSeed(folder, QStringLiteral("raw1.bin"), QByteArray(rawHead, 4) + QByteArray("\x00\x01\x03\xa1", 4));
}

bool bar(const pdf417param &p, int x, int y) {
  const int bytesPerRow = p.lenBits / p.codeRows;
  return (p.outBits[y * bytesPerRow + x / 8] >> (7 - x % 8)) & 1;
}

uint32_t bits(const pdf417param &p, int from, int count, int y, bool inverted) {
  uint32_t value = 0;
  for (int x = from; x < from + count; ++x)
    value = (value << 1) | ((bar(p, x, y) != inverted) ? 1u : 0u);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_pdf417_encoder", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 4)
    return 0;
  const QByteArray text = fuzz::bytesOf(data + 4, size - 4);
  pdf417param p;
  pdf417init(&p);
  const bool raw = data[0] & 0x80;
  p.errorLevel = int(data[0] % 12) - 1;  // -1 .. 10: out-of-range levels too
  p.codeColumns = data[1] % 32;          // 0 .. 31
  p.codeRows = data[2] % 96;             // 0 .. 95
  const uint8_t flags = data[3];
  p.options = (flags & 0x01 ? PDF417_FIXED_RECTANGLE : 0) | (flags & 0x02 ? PDF417_FIXED_COLUMNS : 0) |
              (flags & 0x04 ? PDF417_FIXED_ROWS : 0) | (flags & 0x08 ? PDF417_USE_ERROR_LEVEL : 0) |
              (flags & 0x10 ? PDF417_INVERT_BITMAP : 0) | (flags & 0x20 ? PDF417_UTF8_TEXT : 0);
  p.aspectRatio = flags & 0x40 ? 1.0f : float(flags) / 16.0f;
  bool validRaw = false;
  if (raw) {
    // The codewords after the length descriptor; with bits 0x60 of the first byte the
    // descriptor is one too many.
    const int count = std::min(int(text.size() / 2), PDF417_MAX_CODEWORDS - 1) + 1;
    bool inRange = true;
    for (int i = 1; i < count; ++i) {
      p.codewords[i] = (uint8_t(text[2 * i - 2]) << 8 | uint8_t(text[2 * i - 1])) % 1000;
      inRange = inRange && p.codewords[i] <= 928;
    }
    const bool wrongDescriptor = (data[0] & 0x60) == 0x60;
    p.codewords[0] = wrongDescriptor ? count + 1 : count;
    p.lenCodewords = count;
    p.options |= PDF417_USE_RAW_CODEWORDS;
    validRaw = inRange && !wrongDescriptor && count <= PDF417_MAX_DATA_CODEWORDS;
  } else {
    p.text = text.constData();
    p.lenText = flags & 0x80 ? -1 : int(text.size());  // -1: up to the first zero byte
  }
  paintCode(&p);
  const int length = raw ? 0 : p.lenText < 0 ? int(qstrlen(text.constData())) : int(text.size());

  if (p.error != PDF417_ERROR_SUCCESS) {
    if (p.outBits)
      fuzz::fail(QStringLiteral("a refused symbol left a bitmap"));
    if (raw && (validRaw || p.error != PDF417_ERROR_INVALID_PARAMS))
      fuzz::fail(QStringLiteral("raw codewords were refused with error %1 (valid: %2)").arg(p.error).arg(validRaw));
    if (!raw && p.error != PDF417_ERROR_TEXT_TOO_BIG)
      fuzz::fail(QStringLiteral("text was refused with error %1").arg(p.error));
    if (!raw && length <= 300)
      fuzz::fail(QStringLiteral("a short text was refused as too big"));
    return 0;
  }
  if (raw && !validRaw)
    fuzz::fail(QStringLiteral("invalid raw codewords made a symbol"));
  const bool inverted = p.options & PDF417_INVERT_BITMAP;
  if (p.codeRows < 3 || p.codeRows > 90 || p.codeColumns < 1 || p.codeColumns > 30 || p.errorLevel < 0 ||
      p.errorLevel > 8 || p.bitColumns != 17 * (p.codeColumns + 3) + 18 ||
      p.lenBits != p.codeRows * ((p.bitColumns - 1) / 8 + 1) || !p.outBits ||
      p.lenCodewords != p.codeRows * p.codeColumns || p.lenCodewords > PDF417_MAX_CODEWORDS ||
      p.codewords[0] != p.lenCodewords - (2 << p.errorLevel))
    fuzz::fail(QStringLiteral("the symbol's description does not add up"));

  // Every row read back through the pattern tables.
  static const auto lookup = [] {
    std::array<std::unordered_map<uint32_t, int>, 3> maps;
    for (int c = 0; c < 3; ++c)
      for (int v = 0; v < PDF417_CODEWORD_VALUES; ++v)
        maps[size_t(c)][CLUSTERS[c][v]] = v;
    return maps;
  }();
  int next = 0;
  for (int y = 0; y < p.codeRows; ++y) {
    if (bits(p, 0, 17, y, inverted) != 0x1FEA8u || bits(p, p.bitColumns - 18, 18, y, inverted) != 0x3FA29u)
      fuzz::fail(QStringLiteral("a row lacks its start or stop pattern"));
    for (int k = 0; k < p.codeColumns + 2; ++k) {
      const auto found = lookup[size_t(y % 3)].find(bits(p, 17 + 17 * k, 17, y, inverted));
      if (found == lookup[size_t(y % 3)].end())
        fuzz::fail(QStringLiteral("row %1 holds a pattern of no codeword of its cluster").arg(y));
      const bool indicator = k == 0 || k == p.codeColumns + 1;
      if (indicator ? found->second / 30 != y / 3 : found->second != p.codewords[next++])
        fuzz::fail(QStringLiteral("row %1 holds other codewords than the block").arg(y));
    }
  }
  pdf417free(&p);
  return 0;
}
