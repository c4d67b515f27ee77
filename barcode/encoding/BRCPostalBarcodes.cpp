#include "barcode/encoding/BRCPostalBarcodes.h"

namespace {

constexpr float kPointsPerMillimetre = 72.0f / 25.4f;

// A row of three bar kinds, 4 bits each, first bar first.
constexpr std::uint32_t bars3(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  return (a << 8) | (b << 4) | c;
}

// The ascender (row) and descender (column) bar pairs, bars 1 to 4 as bits 3 to 0.
constexpr std::uint32_t kPairs[6] = {0b0011, 0b0101, 0b0110, 0b1001, 0b1010, 0b1100};

// The RM4SCC character of row `row` and column `column` (0 to 5).
constexpr std::uint32_t royalMailCode(int row, int column) {
  std::uint32_t code = 0;
  for (int bar = 0; bar < 4; ++bar) {
    const std::uint32_t bit = 1u << (3 - bar);
    const std::uint32_t kind = ((kPairs[row] & bit) ? 2u : 0u) | ((kPairs[column] & bit) ? 1u : 0u);
    code |= kind << (4 * (3 - bar));
  }
  return code;
}

// The 36 characters in table order, row by row.
const char kRoyalMailChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Bars of "-" to "?" in character order, with "." and "/" (the control codes 7 and 8)
// in between; F full, A ascender, D descender, T tracker.
constexpr std::uint32_t F = FullBar, A = AscenderBar, D = DescenderBar, T = TrackerBar;
constexpr std::uint32_t kJapanCodes[19] = {
    bars3(T, F, T),  // -
    bars3(T, T, F),  // .  control code 7
    bars3(F, F, F),  // /  control code 8
    bars3(F, T, T),  // 0
    bars3(F, F, T),  // 1
    bars3(F, D, A),  // 2
    bars3(D, F, A),  // 3
    bars3(F, A, D),  // 4
    bars3(F, T, F),  // 5
    bars3(D, A, F),  // 6
    bars3(A, F, D),  // 7
    bars3(A, D, F),  // 8
    bars3(T, F, F),  // 9
    bars3(D, A, T),  // :  control code 1
    bars3(D, T, A),  // ;  control code 2
    bars3(A, D, T),  // <  control code 3
    bars3(T, D, A),  // =  control code 4 (padding)
    bars3(A, T, D),  // >  control code 5
    bars3(T, A, D),  // ?  control code 6
};

// The check value of each character and the character of each check value.
int japanCheckValue(QChar c) {
  const char16_t u = c.unicode();
  if (u >= '0' && u <= '9')
    return u - '0';
  if (u == '-')
    return 10;
  if (u >= ':' && u <= '?')
    return 11 + (u - ':');
  if (u == '.')
    return 17;
  if (u == '/')
    return 18;
  return 0;
}
const char kJapanCheckChars[] = "0123456789-:;<=>?./";

}  // namespace

// ---- plain functions

std::uint32_t royalmail_characterDescriptor(char16_t c) {
  for (int index = 0; index < 36; ++index)
    if (c == char16_t(kRoyalMailChars[index]))
      return royalMailCode(index / 6, index % 6);
  return 0;
}

std::uint32_t royalmail_barDescriptor(std::uint32_t code, int position) {
  const int bar = position / 2;
  if (bar < 0 || bar > 3)
    return 0;
  return (code >> (4 * (3 - bar))) & 15u;
}

float royalmail_barTop(std::uint32_t kind) {
  return (kind & AscenderBar) ? 5.05f : 3.15f;
}

float royalmail_barBottom(std::uint32_t kind) {
  return (kind & DescenderBar) ? 0.0f : 1.9f;
}

std::uint32_t royalmail_collapseAscenders(std::uint32_t code) {
  std::uint32_t result = 0;
  for (int bar = 0; bar < 4; ++bar)
    if ((code >> (4 * (3 - bar))) & AscenderBar)
      result |= 1u << (3 - bar);
  return result;
}

std::uint32_t royalmail_collapseDescenders(std::uint32_t code) {
  std::uint32_t result = 0;
  for (int bar = 0; bar < 4; ++bar)
    if ((code >> (4 * (3 - bar))) & DescenderBar)
      result |= 1u << (3 - bar);
  return result;
}

std::uint32_t japanpost_characterDescriptor(char16_t c) {
  if (c < u'-' || c > u'?')
    return 0;
  return kJapanCodes[c - u'-'];
}

std::uint32_t japanpost_barDescriptor(std::uint32_t code, int position, int barsPerCharacter) {
  const int bar = position / 2;
  if (bar < 0 || bar >= barsPerCharacter)
    return 0;
  return (code >> (4 * (barsPerCharacter - 1 - bar))) & 15u;
}

float japanpost_barTop(std::uint32_t kind, float height) {
  return ((kind & AscenderBar) ? 3.6f : 2.4f) * height / 10.0f;
}

float japanpost_barBottom(std::uint32_t kind, float height) {
  return ((kind & DescenderBar) ? 0.0f : 1.2f) * height / 10.0f;
}

// ---- BRCRoyalMailBarcode

bool BRCRoyalMailBarcode::initWithContent_printsCaption(const QString &content, bool) {
  if (content.isNull())
    return false;
  setContent(content);
  m_barWidth = 1.4173229f;
  setPrintsCaption(false);
  generateChecksum();
  m_height = 14.3149605f;
  calculateWidth();
  return true;
}

QString BRCRoyalMailBarcode::_encodeChar(char) const {
  return QStringLiteral("10101010");
}

std::uint32_t BRCRoyalMailBarcode::_barDescriptor(int index) const {
  const int count = int(m_content.size());
  if (index <= 0)
    return AscenderBar;
  if (index >= 8 * (count + 1) + 2)
    return FullBar;
  const int character = (index - 2) / 8;
  const int position = (index - 2) % 8;
  char16_t c = 0;
  if (character < count)
    c = m_content.at(character).unicode();
  else if (m_checkDigit != -1)
    c = char16_t(static_cast<unsigned char>(m_checkDigit));
  return royalmail_barDescriptor(royalmail_characterDescriptor(c), position);
}

float BRCRoyalMailBarcode::barTop(int index) const {
  return royalmail_barTop(_barDescriptor(index)) * kPointsPerMillimetre;
}

float BRCRoyalMailBarcode::barBottom(int index) const {
  return royalmail_barBottom(_barDescriptor(index)) * kPointsPerMillimetre;
}

void BRCRoyalMailBarcode::generateChecksum() {
  std::uint32_t top = 0;
  std::uint32_t bottom = 0;
  for (const QChar ch : m_content) {
    const std::uint32_t code = royalmail_characterDescriptor(ch.unicode());
    top = (top + (royalmail_collapseAscenders(code) >> 1)) % 6;
    bottom = (bottom + (royalmail_collapseDescenders(code) >> 1)) % 6;
  }
  const int row = top == 0 ? 5 : int(top) - 1;
  const int column = bottom == 0 ? 5 : int(bottom) - 1;
  m_checkDigit = static_cast<signed char>(kRoyalMailChars[6 * row + column]);
}

// ---- JapanPostBarcode

std::uint32_t JapanPostBarcode::_barDescriptor(int index) const {
  if (index < 4)
    return japanpost_barDescriptor(0x31, index, 2);
  if (index >= 130)
    return japanpost_barDescriptor(0x13, (index - 130) % 3, 2);
  const int character = (index - 4) / 6;
  const int position = (index - 4) % 6;
  char16_t c = 0;
  if (character < m_japanpostContents.size())
    c = m_japanpostContents.at(character).unicode();
  else if (m_checkDigit != -1)
    c = char16_t(static_cast<unsigned char>(m_checkDigit));
  return japanpost_barDescriptor(japanpost_characterDescriptor(c), position, 3);
}

bool JapanPostBarcode::initWithContent_printsCaption_andBarWidth_andHeight_andFontSize_andCheckDigit(
    const QString &content, bool, float, float height, float, signed char) {
  if (content.isNull())
    return true;
  setContent(content);
  setHeight(height >= 8.0f && height <= 11.5f ? height : 10.0f);
  return true;
}

void JapanPostBarcode::setHeight(float height) {
  if (!(height >= 8.5f))
    height = 8.5f;
  else if (height > 11.5f)
    height = 11.5f;
  m_height = height;
  m_barWidth = height / 6.0f;
  calculateWidth();
}

void JapanPostBarcode::setBarWidth(float barWidth) {
  if (!(barWidth >= 1.3333333333333333f))
    barWidth = 1.3333334f;
  else if (barWidth > 1.9166666666667f)
    barWidth = 1.9166666f;
  m_barWidth = barWidth;
  m_height = 6.0f * barWidth;
  calculateWidth();
}

void JapanPostBarcode::generateChecksum() {
  int sum = 0;
  for (const QChar ch : m_japanpostContents)
    sum += japanCheckValue(ch);
  int check = 19 - sum % 19;
  if (check == 19)
    check = 0;
  m_checkDigit = static_cast<signed char>(kJapanCheckChars[check]);
}

void JapanPostBarcode::setContent(const QString &text) {
  const QString upper = text.toUpper();
  QString encoded;
  QString caption;
  for (const QChar ch : upper) {
    const char16_t u = ch.unicode();
    if (u >= 'A' && u <= 'J') {
      encoded += QLatin1Char(':');
      encoded += QChar(char16_t('0' + (u - 'A')));
      caption += ch;
    } else if (u >= 'K' && u <= 'T') {
      encoded += QLatin1Char(';');
      encoded += QChar(char16_t('0' + (u - 'K')));
      caption += ch;
    } else if (u >= 'U' && u <= 'Z') {
      encoded += QLatin1Char('<');
      encoded += QChar(char16_t('0' + (u - 'U')));
      caption += ch;
    } else if ((u >= '0' && u <= '9') || u == '-') {
      encoded += ch;
      caption += ch;
    }
  }
  if (encoded.size() > 20) {
    encoded.truncate(20);
    int kept = 0;
    for (const QChar ch : encoded)
      if (ch.isDigit() || ch == QLatin1Char('-'))
        ++kept;
    caption.truncate(kept);
  } else {
    encoded = encoded.leftJustified(20, QLatin1Char('='));
  }
  m_japanpostContents = encoded;
  m_content = caption;
  generateChecksum();
}

bool JapanPostBarcode::isContentValid() const {
  if (m_content.size() < 7)
    return false;
  for (int i = 0; i < 7; ++i)
    if (m_content.at(i) < QLatin1Char('0') || m_content.at(i) > QLatin1Char('9'))
      return false;
  return true;
}

QString JapanPostBarcode::_encodeChar(char) const {
  return QStringLiteral("101010");
}

QString JapanPostBarcode::barcode() const {
  QString modules;
  for (int i = 0; i < m_japanpostContents.size(); ++i)
    modules += _encodeChar('0');
  if (m_checkDigit != -1)
    modules += _encodeChar(char(m_checkDigit));
  return modules;
}

float JapanPostBarcode::barTop(int index) const {
  return japanpost_barTop(_barDescriptor(index), m_height) * kPointsPerMillimetre;
}

float JapanPostBarcode::barBottom(int index) const {
  return japanpost_barBottom(_barDescriptor(index), m_height) * kPointsPerMillimetre;
}

void JapanPostBarcode::calculateWidth() {
  m_width = float(completeBarcode().size()) * m_barWidth;
}
