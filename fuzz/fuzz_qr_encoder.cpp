// The QR Code encoder (barcode/encoding/QRSymbolEncoder): the first three bytes choose
// the level, the version with its extension flag and the mask, the rest is the text.
// A text is refused only when no allowed version holds it; a built symbol has the side
// of its version, the mask asked for, the finder patterns in place and only the module
// values 0 and 1.

#include "FuzzSupport.h"

#include "barcode/encoding/QRSymbolEncoder.h"

#include <memory>

namespace {

void writeSeeds(const QString &folder) {
  const QByteArray texts[] = {"1", "HELLO WORLD 123", "https://amends.example/sorry?id=42",
                              QByteArray::fromHex("905c82b596f382a082e882dc82b982f1"),
                              QStringLiteral("désolé — 申し訳ありません").toUtf8(), QByteArray(300, '7')};
  int index = 0;
  for (const QByteArray &text : texts) {
    const QByteArray options = QByteArray::fromHex(index % 2 ? "010000" : "02ff08");
    fuzz::writeSeed(folder, QStringLiteral("text%1.bin").arg(index++), options + text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_qr_encoder", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 3)
    return 0;
  const int level = data[0] % 4;
  const int version = (data[1] & 0x7F) % 41;
  const bool extend = (data[1] & 0x80) != 0;
  const int mask = int(data[2] % 9) - 1;
  const QByteArray text = fuzz::bytesOf(data + 3, size - 3);
  static auto qr = std::make_unique<QRSymbolEncoder>();
  const bool built = qr->EncodeData(level, version, extend, mask, text.constData(), text.size());
  // Byte mode bounds what must fit: one segment of every byte, with its header.
  const bool mustFit = !text.isEmpty() && text.size() <= QRSymbolEncoder::DataCodeWords(40, level) - 3 &&
                       (version == 0 || extend);
  if (!built) {
    if (mustFit)
      fuzz::fail(QStringLiteral("a text that fits was refused"), QStringLiteral("%1 bytes").arg(text.size()));
    return 0;
  }
  const int s = int(qr->m_nSymbleSize);
  if (qr->m_nVersion < 1 || qr->m_nVersion > 40 || s != 4 * qr->m_nVersion + 17 || (version && qr->m_nVersion < version) ||
      (version && !extend && qr->m_nVersion != version))
    fuzz::fail(QStringLiteral("the symbol has the wrong version"));
  if ((mask >= 0 && qr->m_nMaskingNo != mask) || qr->m_nMaskingNo < 0 || qr->m_nMaskingNo > 7)
    fuzz::fail(QStringLiteral("the symbol has the wrong mask"));
  for (int x = 0; x < s; ++x)
    for (int y = 0; y < s; ++y)
      if (qr->m_byModuleData[x][y] > 1)
        fuzz::fail(QStringLiteral("a module is neither dark nor light"));
  for (int corner = 0; corner < 3; ++corner) {
    const int x0 = corner == 1 ? s - 7 : 0, y0 = corner == 2 ? s - 7 : 0;
    for (int i = 0; i < 7; ++i)
      if (!qr->m_byModuleData[x0 + i][y0] || !qr->m_byModuleData[x0][y0 + i] || !qr->m_byModuleData[x0 + 3][y0 + 3])
        fuzz::fail(QStringLiteral("a finder pattern is broken"));
  }
  return 0;
}
