#include "barcode/encoding/BRCCode39Barcodes.h"

#include <cstring>

namespace {

// The Code 39 characters in the order of their check values, and "*" last.
const char kCode39Chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";

// Nine elements each, bar first; '1' marks a wide element.
const char *const kCode39Widths[44] = {
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000", "000100101",
    "100100100", "001100100", "100001001", "001001001", "101001000", "000011001", "100011000", "001011000",
    "000001101", "100001100", "001001100", "000011100", "100000011", "001000011", "101000010", "000010011",
    "100010010", "001010010", "000000111", "100000110", "001000110", "000010110", "110000001", "011000001",
    "111000000", "010010001", "110010000", "011010000", "010000101", "110000100", "011000100", "010101000",
    "010100010", "010001010", "000101010", "010010100"};

int code39Index(char c) {
  if (c == '\0')
    return -1;
  const char *found = std::strchr(kCode39Chars, c);
  return found ? int(found - kCode39Chars) : -1;
}

// A narrow element is one module, a wide one two; one gap module follows.
QString code39Pattern(char c) {
  const int index = code39Index(c);
  if (index < 0)
    return QString();
  QString modules;
  const char *widths = kCode39Widths[index];
  for (int element = 0; element < 9; ++element) {
    const QChar module = element % 2 == 0 ? QLatin1Char('1') : QLatin1Char('0');
    modules += module;
    if (widths[element] == '1')
      modules += module;
  }
  return modules + QLatin1Char('0');
}

// The full-ASCII pair of every character without a pattern of its own.
const char *fullAsciiPair(unsigned char c) {
  static const char *const kControl[32] = {"%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J",
                                           "$K", "$L", "$M", "$N", "$O", "$P", "$Q", "$R", "$S", "$T", "$U",
                                           "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E"};
  if (c < 32)
    return kControl[c];
  switch (c) {
  case '!': return "/A";
  case '"': return "/B";
  case '#': return "/C";
  case '$': return "/D";
  case '%': return "/E";
  case '&': return "/F";
  case '\'': return "/G";
  case '(': return "/H";
  case ')': return "/I";
  case '*': return "/J";
  case '+': return "/K";
  case ',': return "/L";
  case '/': return "/O";
  case ':': return "/Z";
  case ';': return "%F";
  case '<': return "%G";
  case '=': return "%H";
  case '>': return "%I";
  case '?': return "%J";
  case '@': return "%V";
  case '[': return "%K";
  case '\\': return "%L";
  case ']': return "%M";
  case '^': return "%N";
  case '_': return "%O";
  case '`': return "%W";
  case '{': return "%P";
  case '|': return "%Q";
  case '}': return "%R";
  case '~': return "%S";
  case 127: return "%T";
  default: return nullptr;
  }
}

}  // namespace

// ---- BRCCode39Barcode

bool BRCCode39Barcode::initWithContent_printsCaption(const QString &content, bool printsCaption) {
  return BRCBarcode::initWithContent_printsCaption(content.isNull() ? content : content.toUpper(), printsCaption);
}

QString BRCCode39Barcode::_encodeChar(char c) const {
  return code39Pattern(c);
}

QString BRCCode39Barcode::initiator() const {
  return code39Pattern('*');
}

QString BRCCode39Barcode::terminator() const {
  return code39Pattern('*');
}

bool BRCCode39Barcode::isContentValid() const {
  // "*" is the start and stop character and cannot stand in the data.
  QByteArray bytes;
  if (!asciiContent(m_content, bytes) || bytes.contains('*'))
    return false;
  return BRCBarcode::isContentValid();
}

void BRCCode39Barcode::generateChecksum() {
  QByteArray bytes;
  asciiContent(m_content, bytes);
  int sum = 0;
  for (const char c : bytes) {
    const int value = code39Index(c);
    if (value >= 0 && value < 43)
      sum += value;
  }
  m_checkDigit = static_cast<signed char>(kCode39Chars[sum % 43]);
  calculateWidth();
}

// ---- BRCExtendedCode39Barcode

bool BRCExtendedCode39Barcode::initWithContent_printsCaption(const QString &content, bool printsCaption) {
  if (!BRCCode39Barcode::initWithContent_printsCaption(content, printsCaption))
    return false;
  m_content = content;
  calculateWidth();
  return true;
}

QString BRCExtendedCode39Barcode::_encodeChar(char c) const {
  const unsigned char code = static_cast<unsigned char>(c);
  if (code > 127)
    return QString();
  if (const char *pair = fullAsciiPair(code))
    return code39Pattern(pair[0]) + code39Pattern(pair[1]);
  if (code >= 'a' && code <= 'z')
    return code39Pattern('+') + code39Pattern(char(code - 'a' + 'A'));
  return code39Pattern(c);
}

// ---- BRCCodabarBarcode

QString BRCCodabarBarcode::_encodeChar(char c) const {
  const char *pattern = nullptr;
  switch (c) {
  case '0': pattern = "101010011"; break;
  case '1': pattern = "101011001"; break;
  case '2': pattern = "101001011"; break;
  case '3': pattern = "110010101"; break;
  case '4': pattern = "101101001"; break;
  case '5': pattern = "110101001"; break;
  case '6': pattern = "100101011"; break;
  case '7': pattern = "100101101"; break;
  case '8': pattern = "100110101"; break;
  case '9': pattern = "110100101"; break;
  case '-': pattern = "101001101"; break;
  case '$': pattern = "101100101"; break;
  case ':': pattern = "1101011011"; break;
  case '/': pattern = "1101101011"; break;
  case '.': pattern = "1101101101"; break;
  case '+': pattern = "1011011011"; break;
  case 'A': pattern = "1011001001"; break;
  case 'B': pattern = "1001001011"; break;
  case 'C': pattern = "1010010011"; break;
  case 'D': pattern = "1010011001"; break;
  default: return QString();
  }
  return QString::fromLatin1(pattern) + QLatin1Char('0');
}
