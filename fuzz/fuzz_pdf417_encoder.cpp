// The PDF417 encoder (barcode/encoding/PDF417Encoder): the first byte chooses the error
// level, the second the columns, the third the rows, the fourth the option bits; the rest
// is the text. A refusal is one of the known errors and leaves no bitmap; text that fits
// is never refused; a symbol has the shape, size and bitmap it states, with the start and
// stop patterns on every row.

#include "FuzzSupport.h"

#include "barcode/encoding/PDF417Encoder.h"

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
  p.errorLevel = int(data[0] % 12) - 1;  // -1 .. 10: out-of-range levels too
  p.codeColumns = data[1] % 32;          // 0 .. 31
  p.codeRows = data[2] % 96;             // 0 .. 95
  const uint8_t flags = data[3];
  p.options = (flags & 0x01 ? PDF417_FIXED_RECTANGLE : 0) | (flags & 0x02 ? PDF417_FIXED_COLUMNS : 0) |
              (flags & 0x04 ? PDF417_FIXED_ROWS : 0) | (flags & 0x08 ? PDF417_USE_ERROR_LEVEL : 0) |
              (flags & 0x10 ? PDF417_INVERT_BITMAP : 0) | (flags & 0x20 ? PDF417_UTF8_TEXT : 0);
  p.aspectRatio = flags & 0x40 ? 1.0f : float(flags) / 16.0f;
  p.text = text.constData();
  p.lenText = flags & 0x80 ? -1 : int(text.size());  // -1: up to the first zero byte
  paintCode(&p);
  const int length = p.lenText < 0 ? int(qstrlen(text.constData())) : int(text.size());

  if (p.error != PDF417_ERROR_SUCCESS) {
    if (p.outBits)
      fuzz::fail(QStringLiteral("a refused symbol left a bitmap"));
    // libzint makes no symbol of an empty text.
    if (p.error != PDF417_ERROR_TEXT_TOO_BIG && !(length == 0 && p.error == PDF417_ERROR_NOT_MADE))
      fuzz::fail(QStringLiteral("text was refused with error %1").arg(p.error));
    if (length > 0 && length <= 300)
      fuzz::fail(QStringLiteral("a short text was refused as too big"));
    return 0;
  }
  if (length == 0)
    fuzz::fail(QStringLiteral("an empty text made a symbol"));
  const bool inverted = p.options & PDF417_INVERT_BITMAP;
  if (p.codeRows < 3 || p.codeRows > 90 || p.codeColumns < 1 || p.codeColumns > 30 || p.errorLevel < 0 ||
      p.errorLevel > 8 || p.bitColumns != 17 * (p.codeColumns + 3) + 18 ||
      p.lenBits != p.codeRows * ((p.bitColumns - 1) / 8 + 1) || !p.outBits ||
      p.lenCodewords > PDF417_MAX_CODEWORDS)
    fuzz::fail(QStringLiteral("the symbol's description does not add up"));
  for (int y = 0; y < p.codeRows; ++y)
    if (bits(p, 0, 17, y, inverted) != 0x1FEA8u || bits(p, p.bitColumns - 18, 18, y, inverted) != 0x3FA29u)
      fuzz::fail(QStringLiteral("a row lacks its start or stop pattern"));
  pdf417free(&p);
  return 0;
}
