#include "barcode/encoding/BRCCode128Barcode.h"

#include "platform/Log.h"

namespace {

// Bar and space widths of the symbols 0 to 106, bar first.
const char *const kWidths[107] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

constexpr int kShift = 98;
constexpr int kCodeB = 100;

// Value of a character in code set A (0) or B (1), or -1.
int valueInSet(char c, int set) {
  const int code = static_cast<unsigned char>(c);
  if (set == BRCCode128Barcode::CodeSetB)
    return code >= 32 && code <= 127 ? code - 32 : -1;
  if (code >= 32 && code <= 95)
    return code - 32;
  if (code < 32)
    return code + 64;
  return -1;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

QString characterText(char c) {
  return QString(QChar(static_cast<unsigned char>(c)));
}

}  // namespace

QString BRCCode128Barcode::symbolPattern(int value) {
  if (value < 0 || value > 106)
    return QString();
  QString modules;
  bool bar = true;
  for (const char *width = kWidths[value]; *width; ++width) {
    modules += QString(*width - '0', bar ? QLatin1Char('1') : QLatin1Char('0'));
    bar = !bar;
  }
  return modules;
}

bool BRCCode128Barcode::initWithContent_printsCaption(const QString &content, bool printsCaption) {
  if (content.isNull())
    return false;
  // The set is resolved first, so that the width is measured in it.
  m_content = content;
  if (m_codeSet == CodeSetAutomatic)
    m_codeSet = _bestCodeSetForContent();
  if (!BRCBarcode::initWithContent_printsCaption(content, printsCaption))
    return false;
  generateChecksum();
  calculateWidth();
  return true;
}

void BRCCode128Barcode::copyStateInto(BRCBarcode &copy) const {
  auto &other = static_cast<BRCCode128Barcode &>(copy);
  other.m_codeSet = m_codeSet;
}

int BRCCode128Barcode::_bestCodeSetForContent() const {
  QByteArray bytes;
  asciiContent(m_content, bytes);
  bool digitsOnly = true;
  int controls = 0;
  int lowerCase = 0;
  for (const char c : bytes) {
    digitsOnly = digitsOnly && isDigit(c);
    if ((c >= 0 && c < 32) || c == 127)
      ++controls;
    if (c >= 'a' && c <= 'z')
      ++lowerCase;
  }
  if (digitsOnly && bytes.size() == m_content.size())
    return CodeSetC;
  return controls > lowerCase ? CodeSetA : CodeSetB;
}

bool BRCCode128Barcode::_canEncodeChar(char c, int set) const {
  return !_encodeChar_withSet(c, set).isEmpty();
}

QString BRCCode128Barcode::_encodeChar_withSet(char c, int set) const {
  if (set < CodeSetA || set > CodeSetC)
    return QString();
  return symbolPattern(valueInSet(c, set == CodeSetB ? CodeSetB : CodeSetA));
}

QString BRCCode128Barcode::_shiftCharacterForSet(int set) const {
  switch (set) {
  case CodeSetA:
  case CodeSetB: return symbolPattern(kShift);
  case CodeSetC: return symbolPattern(kCodeB);
  default:
    Log::write(QStringLiteral("Invalid CodeSet value Supplied: %1").arg(set));
    return QString();
  }
}

QString BRCCode128Barcode::_encodeChar(char c) const {
  if (m_codeSet == CodeSetA || m_codeSet == CodeSetB) {
    if (_canEncodeChar(c, m_codeSet))
      return _encodeChar_withSet(c, m_codeSet);
    const int other = m_codeSet == CodeSetA ? CodeSetB : CodeSetA;
    if (_canEncodeChar(c, other))
      return _shiftCharacterForSet(m_codeSet) + _encodeChar_withSet(c, other);
    return QString();
  }
  // Code set C changes to code set B for what is not a digit pair; there a control
  // character goes after a shift.
  if (m_codeSet == CodeSetC) {
    if (_canEncodeChar(c, CodeSetB))
      return _shiftCharacterForSet(CodeSetC) + _encodeChar_withSet(c, CodeSetB);
    if (_canEncodeChar(c, CodeSetA))
      return _shiftCharacterForSet(CodeSetC) + _shiftCharacterForSet(CodeSetB) + _encodeChar_withSet(c, CodeSetA);
  }
  return QString();
}

QString BRCCode128Barcode::_encodeNumberPair(const QString &pair) const {
  if (pair.size() != 2 || !pair.at(0).isDigit() || !pair.at(1).isDigit() || pair.at(0).unicode() > '9' ||
      pair.at(1).unicode() > '9')
    return QString();
  return symbolPattern(pair.toInt());
}

int BRCCode128Barcode::_valueForChar(char c) const {
  const int value = valueInSet(c, m_codeSet == CodeSetB ? CodeSetB : CodeSetA);
  if (value < 0)
    Log::write(QStringLiteral("_valueForChar: received Unrecognized character %1").arg(characterText(c)));
  return value;
}

QString BRCCode128Barcode::initiator() const {
  if (m_codeSet < CodeSetA || m_codeSet > CodeSetC) {
    Log::write(QStringLiteral("Invalid codeSet value: %1").arg(m_codeSet));
    return QString();
  }
  return symbolPattern(103 + m_codeSet);
}

std::vector<int> BRCCode128Barcode::dataValues() const {
  std::vector<int> values;
  QByteArray bytes;
  if (!asciiContent(m_content, bytes))
    return values;
  int set = m_codeSet;
  qsizetype i = 0;
  if (set == CodeSetC) {
    for (; i + 1 < bytes.size() && isDigit(bytes[i]) && isDigit(bytes[i + 1]); i += 2)
      values.push_back((bytes[i] - '0') * 10 + (bytes[i + 1] - '0'));
    // From the first character that is not part of a digit pair (an odd last digit
    // too, rather than gaining a leading zero) the rest goes in code set B.
    if (i == bytes.size())
      return values;
    values.push_back(kCodeB);
    set = CodeSetB;
  }
  if (set != CodeSetA && set != CodeSetB)
    return values;
  // A character only the other of the two sets has goes after a shift, which reads the
  // one symbol after it in that set.
  const int other = set == CodeSetA ? CodeSetB : CodeSetA;
  for (; i < bytes.size(); ++i) {
    const char c = bytes[i];
    const int value = valueInSet(c, set);
    if (value >= 0) {
      values.push_back(value);
    } else if (valueInSet(c, other) >= 0) {
      values.push_back(kShift);
      values.push_back(valueInSet(c, other));
    }
  }
  return values;
}

void BRCCode128Barcode::generateChecksum() {
  if (m_codeSet < CodeSetA || m_codeSet > CodeSetC)
    return;
  int sum = 103 + m_codeSet;
  int position = 1;
  for (const int value : dataValues())
    sum += position++ * value;
  m_checkDigit = static_cast<signed char>(sum % 103);
}

QString BRCCode128Barcode::barcode() const {
  QString modules;
  for (const int value : dataValues())
    modules += symbolPattern(value);
  if (m_checkDigit >= 0)
    modules += symbolPattern(m_checkDigit);
  return modules;
}

bool BRCCode128Barcode::isContentValid() const {
  QByteArray bytes;
  if (!asciiContent(m_content, bytes) || m_codeSet < CodeSetA || m_codeSet > CodeSetC)
    return false;
  // Whatever the set, a character it lacks is carried in another set (after a shift, or
  // after code set C's change to code set B), so every character of code set A or B is
  // valid.
  for (const char c : bytes)
    if (valueInSet(c, CodeSetA) < 0 && valueInSet(c, CodeSetB) < 0)
      return false;
  return true;
}
