#include "barcode/encoding/BRCUPCEANBarcodes.h"

namespace {

// Number set A (left-hand, odd parity) of the digits 0 to 9.
const char *const kLeftOdd[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                  "0110001", "0101111", "0111011", "0110111", "0001011"};

const QString kCentreGuard = QStringLiteral("01010");

QString checkText(signed char check) {
  return check == -1 ? QString() : QString(QChar(uchar(check)));
}

}  // namespace

QString swapHandedness(const QString &pattern) {
  QString result(pattern.size(), QLatin1Char('0'));
  for (int i = 0; i < pattern.size(); ++i)
    if (pattern.at(i) == QLatin1Char('0'))
      result[i] = QLatin1Char('1');
  return result;
}

QString swapParity(const QString &pattern) {
  QString swapped = swapHandedness(pattern);
  std::reverse(swapped.begin(), swapped.end());
  return swapped;
}

// ---- BRCAbstractUPCEANBarcode

void BRCAbstractUPCEANBarcode::calculateWidth() {
  m_width = m_content.isEmpty() ? 0.0f : float(completeBarcode().size()) * m_barWidth * 1.2f;
}

QString BRCAbstractUPCEANBarcode::_encodeChar(char c) const {
  if (c < '0' || c > '9')
    return QString();
  return QString::fromLatin1(kLeftOdd[c - '0']);
}

bool BRCAbstractUPCEANBarcode::isGuardModule(int index) const {
  const int count = int(completeBarcode().size());
  return index < 3 || index >= count - 3 || (index >= 45 && index < 50);
}

float BRCAbstractUPCEANBarcode::barBottom(int index) const {
  const float bottom = BRCBarcode::barBottom(index);
  if (!printsCaption() || !isGuardModule(index))
    return bottom;
  return qMax(0.0f, bottom - m_captionHeight * 72.0f / 2.0f);
}

signed char BRCAbstractUPCEANBarcode::moduloTenCheck(const QString &digits) {
  int sum = 0;
  int weight = 3;
  for (int i = int(digits.size()) - 1; i >= 0; --i) {
    const QChar ch = digits.at(i);
    if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
      return -1;
    sum += weight * (ch.unicode() - '0');
    weight = 4 - weight;
  }
  return static_cast<signed char>('0' + (10 - sum % 10) % 10);
}

bool BRCAbstractUPCEANBarcode::allDigits(const QString &text) {
  for (const QChar ch : text)
    if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
      return false;
  return true;
}

void BRCAbstractUPCEANBarcode::generateChecksum() {
  if (m_content.size() == 11)
    m_checkDigit = moduloTenCheck(m_content);
}

QString BRCAbstractUPCEANBarcode::rightCaption() const {
  return checkText(m_checkDigit);
}

// ---- BRCEAN13Barcode

bool BRCEAN13Barcode::initWithContent_printsCaption(const QString &content, bool printsCaption) {
  if (!BRCAbstractUPCEANBarcode::initWithContent_printsCaption(content, printsCaption))
    return false;
  // A 13th digit is the given check digit; longer content is kept whole (and invalid)
  // rather than cut to a different number.
  if (content.size() == 13) {
    m_checkDigit = static_cast<signed char>(content.at(12).unicode() < 128 ? content.at(12).unicode() : '?');
    m_content = content.left(12);
  } else if (content.size() < 13) {
    generateChecksum();
  }
  calculateWidth();
  return true;
}

void BRCEAN13Barcode::generateChecksum() {
  if (m_content.size() == 12)
    m_checkDigit = moduloTenCheck(m_content);
}

bool BRCEAN13Barcode::_parityForSystemDigit(char systemDigit, int index) const {
  // Even-parity positions of digits 2 to 7, by the first digit.
  static const char *const kParity[10] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                          "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
  if (systemDigit < '0' || systemDigit > '9' || index < 0 || index > 5)
    return false;
  return kParity[systemDigit - '0'][index] == 'G';
}

QString BRCEAN13Barcode::barcode() const {
  QByteArray bytes;
  if (!asciiContent(m_content, bytes) || bytes.isEmpty())
    return QString();
  const char system = bytes.at(0);
  QString modules;
  for (int i = 1; i < 7 && i < bytes.size(); ++i) {
    const QString left = _encodeChar(bytes.at(i));
    modules += _parityForSystemDigit(system, i - 1) ? swapParity(left) : left;
  }
  modules += kCentreGuard;
  for (int i = 7; i < 12 && i < bytes.size(); ++i)
    modules += swapHandedness(_encodeChar(bytes.at(i)));
  if (m_checkDigit != -1)
    modules += swapHandedness(_encodeChar(char(m_checkDigit)));
  return modules;
}

QString BRCEAN13Barcode::caption() const {
  return QStringLiteral("  %1\t%2%3").arg(m_content.mid(1, 6), m_content.mid(7, 5), checkText(m_checkDigit));
}

bool BRCEAN13Barcode::isContentValid() const {
  return m_content.size() == 12 && allDigits(m_content) && m_checkDigit == moduloTenCheck(m_content);
}

// ---- BRCEAN8Barcode

bool BRCEAN8Barcode::initWithContent_printsCaption(const QString &content, bool printsCaption) {
  if (!BRCAbstractUPCEANBarcode::initWithContent_printsCaption(content, printsCaption))
    return false;
  if (content.size() == 7) {
    generateChecksum();
  } else if (content.size() == 8) {
    m_checkDigit = static_cast<signed char>(content.at(7).unicode() < 128 ? content.at(7).unicode() : '?');
    m_content = content.left(7);
  }
  calculateWidth();
  return true;
}

void BRCEAN8Barcode::generateChecksum() {
  if (m_content.size() >= 7)
    m_checkDigit = moduloTenCheck(m_content.left(7));
}

QString BRCEAN8Barcode::barcode() const {
  QByteArray bytes;
  if (!asciiContent(m_content, bytes))
    return QString();
  QString modules;
  for (int i = 0; i < 4 && i < bytes.size(); ++i)
    modules += _encodeChar(bytes.at(i));
  modules += kCentreGuard;
  for (int i = 4; i < 7 && i < bytes.size(); ++i)
    modules += swapHandedness(_encodeChar(bytes.at(i)));
  if (m_checkDigit != -1)
    modules += swapHandedness(_encodeChar(char(m_checkDigit)));
  return modules;
}

QString BRCEAN8Barcode::caption() const {
  return QStringLiteral(" %1\t%2%3").arg(m_content.mid(0, 4), m_content.mid(4, 3), checkText(m_checkDigit));
}

bool BRCEAN8Barcode::isContentValid() const {
  return m_content.size() == 7 && allDigits(m_content) && m_checkDigit == moduloTenCheck(m_content);
}

bool BRCEAN8Barcode::isGuardModule(int index) const {
  const int count = int(completeBarcode().size());
  return index < 3 || index >= count - 3 || (index >= 31 && index < 36);
}

float BRCEAN8Barcode::barBottom(int index) const {
  return BRCAbstractUPCEANBarcode::barBottom(index);
}

// ---- BRCUPCABarcode

bool BRCUPCABarcode::initWithContent_printsCaption(const QString &content, bool printsCaption) {
  if (!BRCAbstractUPCEANBarcode::initWithContent_printsCaption(content, printsCaption))
    return false;
  if (content.size() < 12) {
    generateChecksum();
  } else if (content.size() == 12) {
    m_checkDigit = static_cast<signed char>(content.at(11).unicode() < 128 ? content.at(11).unicode() : '?');
    m_content = content.left(11);
  }
  calculateWidth();
  return true;
}

void BRCUPCABarcode::generateChecksum() {
  BRCAbstractUPCEANBarcode::generateChecksum();
}

QString BRCUPCABarcode::barcode() const {
  QByteArray bytes;
  if (!asciiContent(m_content, bytes))
    return QString();
  QString modules;
  for (int i = 0; i < 6 && i < bytes.size(); ++i)
    modules += _encodeChar(bytes.at(i));
  modules += kCentreGuard;
  for (int i = 6; i < 11 && i < bytes.size(); ++i)
    modules += swapHandedness(_encodeChar(bytes.at(i)));
  if (m_checkDigit != -1)
    modules += swapHandedness(_encodeChar(char(m_checkDigit)));
  return modules;
}

QString BRCUPCABarcode::caption() const {
  return QStringLiteral("%1\t%2").arg(m_content.mid(1, 5), m_content.mid(6, 5));
}

bool BRCUPCABarcode::isContentValid() const {
  return m_content.size() == 11 && allDigits(m_content) && m_checkDigit == moduloTenCheck(m_content);
}

// ---- BRCUPCEBarcode

bool BRCUPCEBarcode::initWithContent_printsCaption(const QString &content, bool printsCaption) {
  if (!BRCBarcode::initWithContent_printsCaption(content, printsCaption))
    return false;
  m_content = content;
  if (content.size() == 8) {
    m_checkDigit = static_cast<signed char>(content.at(7).unicode() < 128 ? content.at(7).unicode() : '?');
    m_content = content.left(7);
  } else if (content.size() == 7) {
    generateChecksum();
  } else if (content.size() == 11 && allDigits(content)) {
    const signed char check = moduloTenCheck(content);
    const QString compressed = UPCAToUPCE(content + QChar(uchar(check)));
    if (!compressed.isEmpty()) {
      m_content = content.left(1) + compressed;
      m_checkDigit = check;
    }
  }
  calculateWidth();
  return true;
}

QString BRCUPCEBarcode::UPCEToUPCA(const QString &upce) {
  if (upce.size() != 7 || !allDigits(upce))
    return QString();
  const QString n = upce.left(1);
  const QString d = upce.mid(1);
  const QChar last = d.at(5);
  if (last <= QLatin1Char('2'))
    return n + d.mid(0, 2) + last + QStringLiteral("0000") + d.mid(2, 3);
  if (last == QLatin1Char('3'))
    return n + d.mid(0, 3) + QStringLiteral("00000") + d.mid(3, 2);
  if (last == QLatin1Char('4'))
    return n + d.mid(0, 4) + QStringLiteral("00000") + d.mid(4, 1);
  return n + d.mid(0, 5) + QStringLiteral("0000") + last;
}

QString BRCUPCEBarcode::UPCAToUPCE(const QString &upca) {
  if (upca.size() < 12)
    return QString();
  // Characters are numbered from 1 in the rules; mid() counts from 0.
  const QString manufacturerEnd = upca.mid(3, 3);
  QString result;
  if (manufacturerEnd == QLatin1String("000") || manufacturerEnd == QLatin1String("100") ||
      manufacturerEnd == QLatin1String("200"))
    result = upca.mid(1, 2) + upca.mid(8, 3) + upca.mid(3, 1);
  else if (upca.mid(4, 2) == QLatin1String("00"))
    result = upca.mid(1, 3) + upca.mid(9, 2) + QLatin1Char('3');
  else if (upca.at(5) == QLatin1Char('0'))
    result = upca.mid(1, 4) + upca.mid(10, 1) + QLatin1Char('4');
  else if (upca.at(10) >= QLatin1Char('5') && upca.at(10) <= QLatin1Char('9'))
    result = upca.mid(1, 5) + upca.mid(10, 1);
  else
    return QString();
  // The zeros a rule leaves out must really be zeros, or the short form would stand
  // for another number.
  if (UPCEToUPCA(upca.left(1) + result) != upca.left(11))
    return QString();
  return result;
}

void BRCUPCEBarcode::generateChecksum() {
  const QString upca = UPCEToUPCA(m_content);
  if (!upca.isEmpty())
    m_checkDigit = moduloTenCheck(upca);
}

bool BRCUPCEBarcode::parityForDigit(int position) const {
  // Even-parity positions for number system 0, by check digit.
  static const char *const kEven[10] = {"GGGLLL", "GGLGLL", "GGLLGL", "GGLLLG", "GLGGLL",
                                        "GLLGGL", "GLLLGG", "GLGLGL", "GLGLLG", "GLLGLG"};
  if (position < 1 || position > 6 || m_checkDigit < '0' || m_checkDigit > '9')
    return false;
  const bool even = kEven[m_checkDigit - '0'][position - 1] == 'G';
  const bool systemOne = !m_content.isEmpty() && m_content.at(0) == QLatin1Char('1');
  return systemOne ? !even : even;
}

QString BRCUPCEBarcode::barcode() const {
  QByteArray bytes;
  if (!asciiContent(m_content, bytes))
    return QString();
  QString modules;
  for (int i = 1; i < 7 && i < bytes.size(); ++i) {
    const QString left = _encodeChar(bytes.at(i));
    modules += parityForDigit(i) ? swapParity(left) : left;
  }
  return modules;
}

bool BRCUPCEBarcode::isGuardModule(int index) const {
  return index < 3 || index >= 45;
}

float BRCUPCEBarcode::barBottom(int index) const {
  return BRCAbstractUPCEANBarcode::barBottom(index);
}

bool BRCUPCEBarcode::isContentValid() const {
  if (m_content.size() != 7 || !allDigits(m_content))
    return false;
  if (m_content.at(0) != QLatin1Char('0') && m_content.at(0) != QLatin1Char('1'))
    return false;
  return m_checkDigit == moduloTenCheck(UPCEToUPCA(m_content));
}

QString BRCUPCEBarcode::caption() const {
  return m_content.mid(1, 6);
}
