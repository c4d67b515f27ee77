#include "barcode/encoding/BRCNumericBarcodes.h"

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Narrow (N) and wide (W) elements of the digits 0 to 9.
const char *const kTwoOfFive[10] = {"NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW",
                                    "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN"};

// Four bits of a value, most significant first: "110" for a 1, "100" for a 0.
QString plesseyBits(int value) {
  QString modules;
  for (int bit = 3; bit >= 0; --bit)
    modules += (value >> bit) & 1 ? QStringLiteral("110") : QStringLiteral("100");
  return modules;
}

bool allDigits(const QString &text) {
  for (const QChar ch : text)
    if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
      return false;
  return true;
}

constexpr float kTallInches = 0.125f;
constexpr float kShortInches = 0.05f;

}  // namespace

// ---- BRCInterleavedTwoOfFiveBarcode

bool BRCInterleavedTwoOfFiveBarcode::_getBarForDigit(char digit, int barNumber) const {
  if (barNumber < 0 || barNumber > 4)
    return true;
  if (!isDigit(digit))
    return true;
  return kTwoOfFive[digit - '0'][barNumber] == 'N';
}

QString BRCInterleavedTwoOfFiveBarcode::barcode() const {
  QByteArray digits;
  if (!asciiContent(m_content, digits))
    return QString();
  if (m_checkDigit != -1)
    digits.append(char(m_checkDigit));
  if (digits.size() % 2 == 1)
    digits.prepend('0');
  QString modules;
  for (int i = 0; i + 1 < digits.size(); i += 2) {
    for (int element = 0; element < 5; ++element) {
      modules += _getBarForDigit(digits[i], element) ? QStringLiteral("1") : QStringLiteral("111");
      modules += _getBarForDigit(digits[i + 1], element) ? QStringLiteral("0") : QStringLiteral("000");
    }
  }
  return modules;
}

void BRCInterleavedTwoOfFiveBarcode::generateChecksum() {
  QByteArray digits;
  asciiContent(m_content, digits);
  int sum = 0;
  int weight = 3;
  for (int i = int(digits.size()) - 1; i >= 0; --i) {
    if (isDigit(digits[i]))
      sum += weight * (digits[i] - '0');
    weight = 4 - weight;
  }
  m_checkDigit = static_cast<signed char>('0' + (10 - sum % 10) % 10);
}

bool BRCInterleavedTwoOfFiveBarcode::isContentValid() const {
  return allDigits(m_content);
}

// ---- BRCIndustrialTwoOfFiveBarcode

QString BRCIndustrialTwoOfFiveBarcode::barcode() const {
  QByteArray digits;
  if (!asciiContent(m_content, digits))
    return QString();
  if (m_checkDigit != -1)
    digits.append(char(m_checkDigit));
  QString modules;
  for (const char digit : digits)
    for (int element = 0; element < 5; ++element)
      modules += _getBarForDigit(digit, element) ? QStringLiteral("10") : QStringLiteral("1110");
  return modules;
}

// ---- BRCModifiedPlesseyBarcode

bool BRCModifiedPlesseyBarcode::initWithContent_printsCaption(const QString &content, bool printsCaption) {
  if (!BRCBarcode::initWithContent_printsCaption(content.isNull() ? content : content.toUpper(), printsCaption))
    return false;
  generateChecksum();
  calculateWidth();
  return true;
}

QString BRCModifiedPlesseyBarcode::_encodeChar(char c) const {
  return isDigit(c) ? plesseyBits(c - '0') : QString();
}

void BRCModifiedPlesseyBarcode::generateChecksum() {
  QByteArray text;
  asciiContent(m_content, text);
  // The characters at odd positions from the right (the rightmost first) read as a
  // number up to the first non-digit; the digit sum of twice that number is the sum
  // of the digit sums of each digit doubled, which needs no integer of any size.
  int sum = 0;
  bool leadingNumber = true;
  for (int i = int(text.size()) - 1; i >= 0; i -= 2) {
    const char c = text[i];
    if (!leadingNumber || !isDigit(c)) {
      leadingNumber = false;
      continue;
    }
    const int doubled = 2 * (c - '0');
    sum += doubled / 10 + doubled % 10;
  }
  for (int i = int(text.size()) - 2; i >= 0; i -= 2)
    sum += text[i] - '0';
  m_checkDigit = static_cast<signed char>('0' + ((10 - sum % 10) % 10 + 10) % 10);
}

// ---- BRCModifiedPlesseyHexBarcode

QString BRCModifiedPlesseyHexBarcode::_encodeChar(char c) const {
  if (c >= 'A' && c <= 'F')
    return plesseyBits(c - 'A' + 10);
  return BRCModifiedPlesseyBarcode::_encodeChar(c);
}

// ---- BRCPostnetBarcode

bool BRCPostnetBarcode::initWithContent_printsCaption(const QString &content, bool printsCaption) {
  if (content.isNull())
    return false;
  m_content = content;
  m_barWidth = 1.08f;
  m_printsCaption = printsCaption;
  generateChecksum();
  m_height = 9.0f;
  calculateWidth();
  return true;
}

QString BRCPostnetBarcode::_encodeChar(char c) const {
  return isDigit(c) ? QStringLiteral("100100100100100") : QString();
}

float BRCPostnetBarcode::_heightForDigit(char digit, int bar) const {
  static const char *const kHeights[10] = {"TTSSS", "SSSTT", "SSTST", "SSTTS", "STSST",
                                           "STSTS", "STTSS", "TSSST", "TSSTS", "TSTSS"};
  if (!isDigit(digit) || bar < 1 || bar > 5)
    return 0.0f;
  return kHeights[digit - '0'][bar - 1] == 'T' ? kTallInches : kShortInches;
}

float BRCPostnetBarcode::barTop(int index) const {
  const int last = int(completeBarcode().size()) - 1;
  if (index == 0 || index >= last)
    return kTallInches * 72.0f;
  if (index < 3)
    return 0.0f;
  const int digit = (index - 3) / 15;
  const int bar = (index - 15 * digit) / 3;
  char c = 0;
  if (digit < m_content.size())
    c = m_content.at(digit).unicode() < 128 ? char(m_content.at(digit).unicode()) : 0;
  else if (digit == m_content.size() && m_checkDigit != -1)
    c = char(m_checkDigit);
  return _heightForDigit(c, bar) * 72.0f;
}

void BRCPostnetBarcode::generateChecksum() {
  int sum = 0;
  for (const QChar ch : m_content)
    if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
      sum += ch.unicode() - '0';
  m_checkDigit = static_cast<signed char>('0' + (10 - sum % 10) % 10);
}

bool BRCPostnetBarcode::isContentValid() const {
  const int length = int(m_content.size());
  return (length == 5 || length == 9 || length == 11) && allDigits(m_content);
}

// ---- BRCPlanetBarcode

float BRCPlanetBarcode::_heightForDigit(char digit, int bar) const {
  const float postnet = BRCPostnetBarcode::_heightForDigit(digit, bar);
  if (postnet == 0.0f)
    return 0.0f;
  return postnet == kTallInches ? kShortInches : kTallInches;
}

bool BRCPlanetBarcode::isContentValid() const {
  const int length = int(m_content.size());
  return (length == 11 || length == 13) && allDigits(m_content);
}
