// The DataMatrix encoder (barcode/encoding/DataMatrixEncoder): the first byte chooses
// automatic or forced modes (and which), the second the size (0 automatic), the rest is
// the data. A refusal carries a reason, and automatic modes and size refuse only what no
// symbol holds; a built symbol has a size of the table, the size asked for, and its
// finder and clock patterns.

#include "FuzzSupport.h"

#include "barcode/encoding/DataMatrixEncoder.h"

#include <string>

namespace {

void writeSeeds(const QString &folder) {
  const QByteArray texts[] = {"Hello", "1234567890", "HELLO WORLD ABC", "hello world abc", "ABC*>12 X12",
                              "APOLOGY FOR THE DELAY", QByteArray("\x80\x81\xff bytes", 9)};
  int index = 0;
  for (const QByteArray &text : texts) {
    const QByteArray options(1, char(index % 8)), size(1, char(index % 3 ? 0 : 7));
    fuzz::writeSeed(folder, QStringLiteral("data%1.bin").arg(index++), options + size + text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_datamatrix_encoder", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2)
    return 0;
  const int choice = data[0] % 8;  // 0, 7: automatic; 1-6: A C T X E B, with a few others mixed in
  const int sizeIndex = data[1] % (DataMatrixSizeCount + 1);
  const QByteArray text = fuzz::bytesOf(data + 2, size - 2);
  std::string modes;
  const bool forced = choice >= 1 && choice <= 6;
  if (forced)
    for (int i = 0; i < text.size(); ++i)
      modes += "ACTXEB"[(i % 7 == 6) ? uint8_t(text[i]) % 6 : choice - 1];
  const int width = sizeIndex ? ecc200matrix[sizeIndex - 1].width : 0;
  const int height = sizeIndex ? ecc200matrix[sizeIndex - 1].height : 0;
  const DataMatrixSymbol symbol = ecc200_encode(width, height, forced ? modes.c_str() : nullptr, int(text.size()),
                                                reinterpret_cast<const uint8_t *>(text.constData()));
  if (!symbol.ok()) {
    if (symbol.error.empty())
      fuzz::fail(QStringLiteral("a symbol was refused without a reason"));
    if (!forced && !width && text.size() <= 1000)
      fuzz::fail(QStringLiteral("data that fit were refused"), QString::fromStdString(symbol.error));
    return 0;
  }
  bool known = false;
  for (const DataMatrixSize &row : ecc200matrix)
    known = known || (row.width == symbol.width && row.height == symbol.height);
  if (!known || (width && (symbol.width != width || symbol.height != height)))
    fuzz::fail(QStringLiteral("the symbol has a wrong size"));
  if (symbol.grid.size() != size_t(symbol.width) * size_t(symbol.height) || symbol.usedCodewords > symbol.dataCapacity ||
      symbol.modes.size() != size_t(text.size()))
    fuzz::fail(QStringLiteral("the symbol's description does not add up"));
  for (int y = 0; y < symbol.height; ++y)
    if (!symbol.dark(0, y) || symbol.dark(symbol.width - 1, y) != (y % 2 == 1))
      fuzz::fail(QStringLiteral("a finder or clock column is broken"));
  for (int x = 0; x < symbol.width; ++x)
    if (!symbol.dark(x, symbol.height - 1) || symbol.dark(x, 0) != (x % 2 == 0))
      fuzz::fail(QStringLiteral("a finder or clock row is broken"));
  return 0;
}
