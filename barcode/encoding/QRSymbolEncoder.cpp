#include "barcode/encoding/QRSymbolEncoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace {

// ---------------------------------------------------------------------------------------
// Constant tables, built at compile time.

// Error correction codewords per block and number of blocks, by level (L, M, Q, H) and
// version (index 0 unused).
constexpr int8_t kEccPerBlock[4][41] = {
    {0, 7, 10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28,
     28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {0, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
     26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {0, 13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30,
     28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {0, 17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28,
     30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
};
constexpr int8_t kBlocks[4][41] = {
    {0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 4, 4, 4, 4, 4, 6, 6, 6, 6, 7, 8,
     8, 9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
    {0, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5, 5, 8, 9, 9, 10, 10, 11, 13, 14, 16,
     17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
    {0, 1, 1, 2, 2, 4, 4, 6, 6, 8, 8, 8, 10, 12, 16, 12, 17, 16, 18, 21, 20,
     23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
    {0, 1, 1, 2, 4, 4, 4, 5, 6, 8, 8, 11, 11, 16, 16, 18, 16, 19, 21, 25, 25,
     25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81},
};

constexpr int numAlignments(int version) { return version < 2 ? 0 : version / 7 + 2; }

// Modules left for codewords once every function pattern is placed, in whole codewords.
constexpr int totalCodeWordsOf(int version) {
  int modules = (16 * version + 128) * version + 64;
  if (version >= 2) {
    const int n = numAlignments(version);
    modules -= (25 * n - 10) * n - 55;
    if (version >= 7)
      modules -= 36;
  }
  return modules / 8;
}

struct AlignmentTable {
  int8_t count[41] = {};
  uint8_t position[41][7] = {};
};

constexpr AlignmentTable makeAlignmentTable() {
  AlignmentTable table;
  for (int version = 2; version <= 40; ++version) {
    const int n = numAlignments(version);
    const int size = version * 4 + 17;
    const int step = version == 32 ? 26 : (version * 4 + n * 2 + 1) / (n * 2 - 2) * 2;
    table.count[version] = int8_t(n);
    table.position[version][0] = 6;
    for (int i = n - 1, pos = size - 7; i >= 1; --i, pos -= step)
      table.position[version][i] = uint8_t(pos);
  }
  return table;
}
constexpr AlignmentTable kAlignment = makeAlignmentTable();

// GF(256) over x^8 + x^4 + x^3 + x^2 + 1.
struct Field {
  uint8_t byExpToInt[256] = {};
  uint8_t byIntToExp[256] = {};
};

constexpr Field makeField() {
  Field field;
  int value = 1;
  for (int i = 0; i < 255; ++i) {
    field.byExpToInt[i] = uint8_t(value);
    field.byIntToExp[value] = uint8_t(i);
    value <<= 1;
    if (value & 0x100)
      value ^= 0x11D;
  }
  field.byExpToInt[255] = field.byExpToInt[0];
  return field;
}
constexpr Field kField = makeField();

constexpr uint8_t gfMul(uint8_t a, uint8_t b) {
  if (a == 0 || b == 0)
    return 0;
  return kField.byExpToInt[(kField.byIntToExp[a] + kField.byIntToExp[b]) % 255];
}

// Generator polynomials prod (x - a^i), i = 0 .. degree - 1, for every degree up to 30;
// coefficients from the second-highest term down, the leading 1 left out.
struct Generators {
  uint8_t coef[31][30] = {};
};

constexpr Generators makeGenerators() {
  Generators gens;
  for (int degree = 1; degree <= 30; ++degree) {
    uint8_t poly[31] = {};  // poly[0] leading coefficient
    poly[0] = 1;
    int length = 1;
    for (int i = 0; i < degree; ++i) {
      const uint8_t root = kField.byExpToInt[i];
      // multiply by (x + root)
      poly[length] = 0;
      for (int j = length; j >= 1; --j)
        poly[j] = uint8_t(poly[j] ^ gfMul(poly[j - 1], root));
      ++length;
    }
    for (int j = 0; j < degree; ++j)
      gens.coef[degree][j] = poly[j + 1];
  }
  return gens;
}
constexpr Generators kGenerators = makeGenerators();

// Character count indicator lengths by version group 1-9, 10-26, 27-40.
constexpr int nIndicatorLenNumeral[3] = {10, 12, 14};
constexpr int nIndicatorLenAlphabet[3] = {9, 11, 13};
constexpr int nIndicatorLen8Bit[3] = {8, 16, 16};
constexpr int nIndicatorLenKanji[3] = {8, 10, 12};

constexpr int indicatorLength(uint8_t mode, int group) {
  switch (mode) {
  case QRSymbolEncoder::ModeNumeral: return nIndicatorLenNumeral[group];
  case QRSymbolEncoder::ModeAlphabet: return nIndicatorLenAlphabet[group];
  case QRSymbolEncoder::Mode8Bit: return nIndicatorLen8Bit[group];
  default: return nIndicatorLenKanji[group];
  }
}

// Alphanumeric value of a byte, or -1.
constexpr std::array<int8_t, 256> makeAlphabet() {
  std::array<int8_t, 256> table{};
  for (auto &v : table)
    v = -1;
  const char *chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
  for (int i = 0; chars[i]; ++i)
    table[uint8_t(chars[i])] = int8_t(i);
  return table;
}
constexpr std::array<int8_t, 256> kAlphabet = makeAlphabet();

bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// A Shift-JIS double-byte character of the ranges QR Kanji mode holds.
bool isKanjiPair(uint8_t first, uint8_t second) {
  if (second < 0x40 || second > 0xFC || second == 0x7F)
    return false;
  const int value = (first << 8) | second;
  return (value >= 0x8140 && value <= 0x9FFC) || (value >= 0xE040 && value <= 0xEBBF);
}

int KanjiToBinaly(int value) {
  value -= value <= 0x9FFC ? 0x8140 : 0xC140;
  return (value >> 8) * 0xC0 + (value & 0xFF);
}

// True when the bytes are well-formed UTF-8 (overlong forms and surrogates refused).
bool isUtf8(const uint8_t *s, int64_t n) {
  int64_t i = 0;
  while (i < n) {
    const uint8_t c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int extra;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= n)
      return false;
    for (int k = 1; k <= extra; ++k) {
      const uint8_t t = s[i + k];
      if ((t & 0xC0) != 0x80)
        return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    i += extra + 1;
  }
  return true;
}

// True when the bytes read as Shift-JIS throughout: ASCII, half-width katakana, and
// double-byte characters of a lead and a trail byte.
bool isShiftJis(const uint8_t *s, int64_t n) {
  for (int64_t i = 0; i < n; ++i) {
    const uint8_t c = s[i];
    if (c < 0x80 || (c >= 0xA1 && c <= 0xDF))
      continue;
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (!lead || i + 1 >= n)
      return false;
    const uint8_t t = s[++i];
    if (t < 0x40 || t > 0xFC || t == 0x7F)
      return false;
  }
  return true;
}

// Kanji pairs are taken only from text that is Shift-JIS and not UTF-8.
bool kanjiAllowed(const uint8_t *s, int64_t n) { return !isUtf8(s, n) && isShiftJis(s, n); }

// The class of the character at `i`: mode and byte count.
struct CharClass {
  uint8_t mode;
  int bytes;
};

CharClass classify(const uint8_t *s, int64_t n, int64_t i, bool kanji) {
  if (kanji && i + 1 < n && isKanjiPair(s[i], s[i + 1]))
    return {QRSymbolEncoder::ModeKanji, 2};
  if (isDigit(s[i]))
    return {QRSymbolEncoder::ModeNumeral, 1};
  if (kAlphabet[s[i]] >= 0)
    return {QRSymbolEncoder::ModeAlphabet, 1};
  return {QRSymbolEncoder::Mode8Bit, 1};
}

int64_t sourceLength(const char *source, int64_t given) {
  if (given >= 1)
    return given;
  return int64_t(std::strlen(source));
}

}  // namespace

// ---------------------------------------------------------------------------------------

int QRSymbolEncoder::TotalCodeWords(int version) { return totalCodeWordsOf(version); }

int QRSymbolEncoder::DataCodeWords(int version, int level) {
  return totalCodeWordsOf(version) - kEccPerBlock[level][version] * kBlocks[level][version];
}

int64_t QRSymbolEncoder::Get_Encoding_Mode(const char *bytes, int64_t ncLength) {
  if (bytes == nullptr || ncLength <= 0)
    return Mode8Bit;
  const auto *s = reinterpret_cast<const uint8_t *>(bytes);
  const bool kanji = kanjiAllowed(s, ncLength);
  bool hasKanji = false, hasAlpha = false, hasDigit = false;
  for (int64_t i = 0; i < ncLength; ++i) {
    const CharClass c = classify(s, ncLength, i, kanji);
    // After a Kanji pair the walk moves on by one byte, so the second byte is looked at
    // again on its own (with the byte after it).
    switch (c.mode) {
    case Mode8Bit: return Mode8Bit;
    case ModeKanji: hasKanji = true; break;
    case ModeAlphabet: hasAlpha = true; break;
    default: hasDigit = true; break;
    }
  }
  if (hasKanji)
    return ModeKanji;
  if (hasAlpha)
    return ModeAlphabet;
  return hasDigit ? ModeNumeral : Mode8Bit;
}

int64_t QRSymbolEncoder::Get_Encoding_Mode_Test(const char *bytes, int64_t ncLength, int64_t byte_mode) {
  if (bytes == nullptr || ncLength <= 0)
    return 0;
  const auto *s = reinterpret_cast<const uint8_t *>(bytes);
  const bool kanji = kanjiAllowed(s, ncLength);
  for (int64_t i = 0; i < ncLength; ++i)
    if (classify(s, ncLength, i, kanji).mode != byte_mode)
      return Mode8Bit;
  return byte_mode;
}

int64_t QRSymbolEncoder::GetBitLength(uint8_t mode, int64_t ncData, int nVerGroup) const {
  const int64_t cc = indicatorLength(mode, nVerGroup);
  switch (mode) {
  case ModeNumeral: {
    int64_t bits = 4 + cc + 10 * (ncData / 3);
    if (ncData % 3 == 1)
      bits += 4;
    else if (ncData % 3 == 2)
      bits += 7;
    return bits;
  }
  case ModeAlphabet: return 4 + cc + 11 * (ncData / 2) + 6 * (ncData % 2);
  case Mode8Bit: return 4 + cc + 8 * ncData;
  default: return 4 + cc + 13 * (ncData / 2);
  }
}

int64_t QRSymbolEncoder::SetBitStream(int64_t nIndex, uint16_t wData, int ncData) {
  if (nIndex == -1 || nIndex + ncData > MaxDataBits)
    return -1;
  for (int i = 0; i < ncData; ++i) {
    if (wData & (1u << (ncData - i - 1)))
      m_byDataCodeWord[(nIndex + i) / 8] |= uint8_t(1u << (7 - ((nIndex + i) % 8)));
  }
  return nIndex + ncData;
}

void QRSymbolEncoder::AddSegmentChar(uint8_t mode, int bytes) {
  if (m_ncDataBlock > 0 && m_byBlockMode[m_ncDataBlock - 1] == mode) {
    m_nBlockLength[m_ncDataBlock - 1] += bytes;
    return;
  }
  if (m_ncDataBlock < MaxDataCodeWords) {
    m_byBlockMode[m_ncDataBlock] = mode;
    m_nBlockLength[m_ncDataBlock] = bytes;
    ++m_ncDataBlock;
    return;
  }
  // The segment list is full: the character joins the last segment, which takes a mode
  // that holds both (alphanumeric for digits and letters, otherwise 8-bit byte).
  uint8_t &last = m_byBlockMode[m_ncDataBlock - 1];
  const bool textual = (last == ModeNumeral || last == ModeAlphabet) && (mode == ModeNumeral || mode == ModeAlphabet);
  last = textual ? ModeAlphabet : Mode8Bit;
  m_nBlockLength[m_ncDataBlock - 1] += bytes;
}

void QRSymbolEncoder::RemoveSegment(int64_t index) {
  const int64_t tail = m_ncDataBlock - index - 1;
  if (tail > 0) {
    std::memmove(&m_byBlockMode[index], &m_byBlockMode[index + 1], size_t(tail));
    std::memmove(&m_nBlockLength[index], &m_nBlockLength[index + 1], size_t(tail) * sizeof(int64_t));
  }
  --m_ncDataBlock;
}

bool QRSymbolEncoder::EncodeSourceData(const uint8_t *source, int64_t length, int nVerGroup) {
  m_ncDataBlock = 0;

  // 1. One segment per run of characters of one class.
  for (int64_t i = 0; i < length;) {
    const CharClass c = classify(source, length, i, m_bUseKanji);
    AddSegmentChar(c.mode, c.bytes);
    i += c.bytes;
  }

  auto bits = [&](int64_t k) { return GetBitLength(m_byBlockMode[k], m_nBlockLength[k], nVerGroup); };
  auto bits8 = [&](int64_t n) { return GetBitLength(Mode8Bit, n, nVerGroup); };

  // 2. Neighbouring numeric and alphanumeric segments, joined where that is shorter.
  for (int64_t k = 0; k < m_ncDataBlock - 1;) {
    const uint8_t m0 = m_byBlockMode[k], m1 = m_byBlockMode[k + 1];
    if (!((m0 == ModeNumeral && m1 == ModeAlphabet) || (m0 == ModeAlphabet && m1 == ModeNumeral))) {
      ++k;
      continue;
    }
    const int64_t src = bits(k) + bits(k + 1);
    const int64_t dst = GetBitLength(ModeAlphabet, m_nBlockLength[k] + m_nBlockLength[k + 1], nVerGroup);
    if (src <= dst) {
      ++k;
      continue;
    }
    int64_t front = 0, behind = 0;
    if (k >= 1 && m_byBlockMode[k - 1] == Mode8Bit) {
      front = bits8(m_nBlockLength[k - 1] + m_nBlockLength[k]) + bits(k + 1);
      if (front > dst + bits8(m_nBlockLength[k - 1]))
        front = 0;
    }
    if (k + 2 < m_ncDataBlock && m_byBlockMode[k + 2] == Mode8Bit) {
      behind = bits(k) + bits8(m_nBlockLength[k + 1] + m_nBlockLength[k + 2]);
      if (behind > dst + bits8(m_nBlockLength[k + 2]))
        behind = 0;
    }
    const bool joinFront = front != 0 && (behind == 0 || front < behind);
    const bool joinBehind = behind != 0 && !joinFront;
    if (joinFront) {
      m_nBlockLength[k - 1] += m_nBlockLength[k];
      RemoveSegment(k);
    } else if (joinBehind) {
      m_byBlockMode[k + 1] = Mode8Bit;
      m_nBlockLength[k + 1] += m_nBlockLength[k + 2];
      RemoveSegment(k + 2);
    } else {
      if (k + 2 < m_ncDataBlock && m_byBlockMode[k + 2] == ModeAlphabet) {
        m_nBlockLength[k + 1] += m_nBlockLength[k + 2];
        RemoveSegment(k + 2);
      }
      m_byBlockMode[k] = ModeAlphabet;
      m_nBlockLength[k] += m_nBlockLength[k + 1];
      RemoveSegment(k + 1);
      if (k >= 1 && m_byBlockMode[k - 1] == ModeAlphabet) {
        m_nBlockLength[k - 1] += m_nBlockLength[k];
        RemoveSegment(k);
      }
    }
  }

  // 3. Neighbours joined into 8-bit byte segments where that is shorter.
  const int64_t header8 = 4 + nIndicatorLen8Bit[nVerGroup];
  for (int64_t k = 0; k < m_ncDataBlock - 1;) {
    const int64_t src = bits(k) + bits(k + 1);
    int64_t dst = bits8(m_nBlockLength[k] + m_nBlockLength[k + 1]);
    if (k >= 1 && m_byBlockMode[k - 1] == Mode8Bit)
      dst -= header8;
    if (k + 2 < m_ncDataBlock && m_byBlockMode[k + 2] == Mode8Bit)
      dst -= header8;
    if (src <= dst) {
      ++k;
      continue;
    }
    if (k >= 1 && m_byBlockMode[k - 1] == Mode8Bit) {
      m_nBlockLength[k - 1] += m_nBlockLength[k];
      RemoveSegment(k);
      --k;
    }
    if (k + 2 < m_ncDataBlock && m_byBlockMode[k + 2] == Mode8Bit) {
      m_nBlockLength[k + 1] += m_nBlockLength[k + 2];
      RemoveSegment(k + 2);
    }
    m_byBlockMode[k] = Mode8Bit;
    m_nBlockLength[k] += m_nBlockLength[k + 1];
    RemoveSegment(k + 1);
    if (k > 0)
      --k;
  }

  // 4. The bit stream.
  std::memset(m_byDataCodeWord, 0, sizeof m_byDataCodeWord);
  m_ncDataCodeWordBit = 0;
  int64_t pos = 0;
  if (m_bUtf8) {
    // UTF-8 text that is not plain ASCII says so (ECI 26), so that readers do not guess.
    m_ncDataCodeWordBit = SetBitStream(SetBitStream(0, 7, 4), 26, 8);
  }
  for (int64_t k = 0; k < m_ncDataBlock && m_ncDataCodeWordBit != -1; ++k) {
    const uint8_t mode = m_byBlockMode[k];
    const int64_t len = m_nBlockLength[k];
    const int cc = indicatorLength(mode, nVerGroup);
    const int64_t count = mode == ModeKanji ? len / 2 : len;
    if (count >= (int64_t(1) << cc) || GetBitLength(mode, len, nVerGroup) > MaxDataBits) {
      m_ncDataCodeWordBit = -1;
      break;
    }
    const uint8_t *p = source + pos;
    int64_t at = m_ncDataCodeWordBit;
    switch (mode) {
    case ModeNumeral:
      at = SetBitStream(at, 1, 4);
      at = SetBitStream(at, uint16_t(count), cc);
      for (int64_t i = 0; i < len; i += 3) {
        const int64_t n = len - i < 3 ? len - i : 3;
        int value = 0;
        for (int64_t j = 0; j < n; ++j)
          value = value * 10 + (p[i + j] - '0');
        at = SetBitStream(at, uint16_t(value), n == 3 ? 10 : n == 2 ? 7 : 4);
      }
      break;
    case ModeAlphabet:
      at = SetBitStream(at, 2, 4);
      at = SetBitStream(at, uint16_t(count), cc);
      for (int64_t i = 0; i < len; i += 2) {
        if (len - i >= 2)
          at = SetBitStream(at, uint16_t(kAlphabet[p[i]] * 45 + kAlphabet[p[i + 1]]), 11);
        else
          at = SetBitStream(at, uint16_t(kAlphabet[p[i]]), 6);
      }
      break;
    case Mode8Bit:
      at = SetBitStream(at, 4, 4);
      at = SetBitStream(at, uint16_t(count), cc);
      for (int64_t i = 0; i < len; ++i)
        at = SetBitStream(at, p[i], 8);
      break;
    default:
      at = SetBitStream(at, 8, 4);
      at = SetBitStream(at, uint16_t(count), cc);
      for (int64_t i = 0; i + 1 < len; i += 2)
        at = SetBitStream(at, uint16_t(KanjiToBinaly((p[i] << 8) | p[i + 1])), 13);
      break;
    }
    m_ncDataCodeWordBit = at;
    pos += len;
  }
  return m_ncDataCodeWordBit != -1;
}

int QRSymbolEncoder::GetEncodeVersion(int nVersion, const uint8_t *source, int64_t length) {
  const int firstGroup = nVersion < 10 ? 0 : nVersion < 27 ? 1 : 2;
  static constexpr int kGroupFirst[3] = {1, 10, 27};
  static constexpr int kGroupLast[3] = {9, 26, 40};
  for (int group = firstGroup; group < 3; ++group) {
    if (!EncodeSourceData(source, length, group))
      continue;
    const int64_t needed = (m_ncDataCodeWordBit + 7) / 8;
    for (int version = kGroupFirst[group]; version <= kGroupLast[group]; ++version)
      if (DataCodeWords(version, int(m_nLevel)) >= needed)
        return version;
  }
  return 0;
}

bool QRSymbolEncoder::EncodeData(int64_t nLevel, int64_t nVersion, bool bAutoExtent, int64_t nMaskingNo,
                                 const char *lpsSource, int64_t ncSource) {
  if (lpsSource == nullptr || nLevel < 0 || nLevel > 3 || nVersion < 0 || nVersion > 40 || nMaskingNo < -1 ||
      nMaskingNo > 7)
    return false;
  m_nLevel = nLevel;
  m_nVersion_pass = nVersion == 0 ? 1 : nVersion;
  m_nMaskingNo = nMaskingNo;
  const int64_t length = sourceLength(lpsSource, ncSource);
  if (length <= 0)
    return false;
  const auto *source = reinterpret_cast<const uint8_t *>(lpsSource);
  // UTF-8 text goes in byte mode as it is (marked as UTF-8), so that it reads back as the
  // same characters; Kanji mode is kept for text that is Shift-JIS throughout.
  m_bUseKanji = kanjiAllowed(source, length);
  m_bUtf8 = !m_bUseKanji && isUtf8(source, length) &&
            std::any_of(source, source + length, [](uint8_t c) { return c >= 0x80; });

  const int found = GetEncodeVersion(int(nVersion), source, length);
  if (found == 0)
    return false;
  if (nVersion != 0 && found > nVersion && !bAutoExtent)
    return false;
  m_nVersion = found > nVersion ? found : nVersion;
  const int version = int(m_nVersion);
  const int level = int(m_nLevel);

  const int dataCodeWords = DataCodeWords(version, level);
  if ((m_ncDataCodeWordBit + 7) / 8 > dataCodeWords)
    return false;

  // Terminator and pad codewords.
  const int64_t room = int64_t(dataCodeWords) * 8 - m_ncDataCodeWordBit;
  if (room > 0)
    m_ncDataCodeWordBit += room < 4 ? room : 4;  // the stream is already zero there
  for (int64_t i = (m_ncDataCodeWordBit + 7) / 8, k = 0; i < dataCodeWords; ++i, ++k)
    m_byDataCodeWord[i] = (k % 2 == 0) ? 236 : 17;

  // Interleave the data codewords, then each block's error correction codewords.
  m_ncAllCodeWord = TotalCodeWords(version);
  std::memset(m_byAllCodeWord, 0, size_t(m_ncAllCodeWord));
  const int blocks = kBlocks[level][version];
  const int ecc = kEccPerBlock[level][version];
  const int blocksLong = dataCodeWords % blocks;
  const int blocksShort = blocks - blocksLong;
  const int shortData = dataCodeWords / blocks;
  int index = 0;
  for (int b = 0; b < blocks; ++b) {
    const int dataInBlock = shortData + (b >= blocksShort ? 1 : 0);
    for (int j = 0; j < dataInBlock; ++j) {
      const int position = j < shortData ? blocks * j + b : blocks * shortData + (b - blocksShort);
      m_byAllCodeWord[position] = m_byDataCodeWord[index + j];
    }
    std::memset(m_byRSWork, 0, sizeof m_byRSWork);
    std::memcpy(m_byRSWork, m_byDataCodeWord + index, size_t(dataInBlock));
    GetRSCodeWord(dataInBlock, ecc);
    for (int j = 0; j < ecc; ++j)
      m_byAllCodeWord[dataCodeWords + blocks * j + b] = m_byRSWork[j];
    index += dataInBlock;
  }

  m_nSymbleSize = int64_t(version) * 4 + 17;
  FormatModule();
  return true;
}

void QRSymbolEncoder::GetRSCodeWord(int ncDataCodeWord, int ncRSCodeWord) {
  const uint8_t *gen = kGenerators.coef[ncRSCodeWord];
  // Polynomial division, the remainder kept in front of the work area.
  uint8_t remainder[32] = {};
  for (int i = 0; i < ncDataCodeWord; ++i) {
    const uint8_t factor = uint8_t(m_byRSWork[i] ^ remainder[0]);
    std::memmove(remainder, remainder + 1, size_t(ncRSCodeWord - 1));
    remainder[ncRSCodeWord - 1] = 0;
    if (factor != 0) {
      const int logFactor = kField.byIntToExp[factor];
      for (int j = 0; j < ncRSCodeWord; ++j)
        if (gen[j] != 0)
          remainder[j] ^= kField.byExpToInt[(kField.byIntToExp[gen[j]] + logFactor) % 255];
    }
  }
  std::memcpy(m_byRSWork, remainder, size_t(ncRSCodeWord));
}

void QRSymbolEncoder::SetFinderPattern(int x, int y) {
  static constexpr uint8_t rows[7] = {0x7F, 0x41, 0x5D, 0x5D, 0x5D, 0x41, 0x7F};
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 7; ++j)
      m_byModuleData[x + j][y + i] = (rows[i] & (1 << (6 - j))) ? 0x30 : 0x20;
}

void QRSymbolEncoder::SetAlignmentPattern(int x, int y) {
  static constexpr uint8_t rows[5] = {0x1F, 0x11, 0x15, 0x11, 0x1F};
  if (m_byModuleData[x][y] & 0x20)
    return;
  x -= 2;
  y -= 2;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j)
      m_byModuleData[x + j][y + i] = (rows[i] & (1 << (4 - j))) ? 0x30 : 0x20;
}

void QRSymbolEncoder::SetVersionPattern() {
  if (m_nVersion < 7)
    return;
  int rem = int(m_nVersion) << 12;
  for (int i = 17; i >= 12; --i)
    if (rem & (1 << i))
      rem ^= 0x1F25 << (i - 12);
  const int bits = (int(m_nVersion) << 12) | rem;
  const int s = int(m_nSymbleSize);
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 3; ++j) {
      const uint8_t v = (bits & (1 << (3 * i + j))) ? 0x30 : 0x20;
      m_byModuleData[s - 11 + j][i] = v;
      m_byModuleData[i][s - 11 + j] = v;
    }
}

void QRSymbolEncoder::SetFunctionModule() {
  const int s = int(m_nSymbleSize);
  SetFinderPattern(0, 0);
  SetFinderPattern(s - 7, 0);
  SetFinderPattern(0, s - 7);
  for (int i = 0; i < 8; ++i) {
    m_byModuleData[7][i] = m_byModuleData[i][7] = 0x20;
    m_byModuleData[s - 8 + i][7] = m_byModuleData[s - 8][i] = 0x20;
    m_byModuleData[7][s - 8 + i] = m_byModuleData[i][s - 8] = 0x20;
  }
  for (int i = 0; i <= 8; ++i)
    m_byModuleData[8][i] = m_byModuleData[i][8] = 0x20;
  for (int i = 0; i < 8; ++i)
    m_byModuleData[8][s - 8 + i] = m_byModuleData[s - 8 + i][8] = 0x20;
  SetVersionPattern();
  const int version = int(m_nVersion);
  const int n = kAlignment.count[version];
  for (int a = 0; a < n; ++a)
    for (int b = 0; b < n; ++b)
      SetAlignmentPattern(kAlignment.position[version][a], kAlignment.position[version][b]);
  for (int i = 8; i <= s - 9; ++i) {
    const uint8_t v = (i % 2 == 0) ? 0x30 : 0x20;
    m_byModuleData[i][6] = v;
    m_byModuleData[6][i] = v;
  }
}

void QRSymbolEncoder::SetCodeWordPattern() {
  const int s = int(m_nSymbleSize);
  int x = s, y = s - 1, xStep = 1, yStep = 1;
  for (int64_t i = 0; i < m_ncAllCodeWord; ++i) {
    const uint8_t word = m_byAllCodeWord[i];
    for (int bit = 7; bit >= 0; --bit) {
      do {
        x += xStep;
        xStep = -xStep;
        if (xStep < 0) {
          y += yStep;
          if (y < 0 || y >= s) {
            y = y < 0 ? 0 : s - 1;
            yStep = -yStep;
            x -= 2;
            if (x == 6)
              x = 5;
          }
        }
      } while (x < 0 || (m_byModuleData[x][y] & 0x20));
      if (x < 0)
        return;
      m_byModuleData[x][y] = (word & (1 << bit)) ? 0x02 : 0x00;
    }
  }
}

namespace {

// The eight mask conditions of every module, bit n for mask n, indexed [column][row].
struct MaskTable {
  uint8_t bits[QRSymbolEncoder::MaxModules][QRSymbolEncoder::MaxModules] = {};
};

constexpr MaskTable makeMaskTable() {
  MaskTable table;
  for (int j = 0; j < QRSymbolEncoder::MaxModules; ++j) {
    for (int i = 0; i < QRSymbolEncoder::MaxModules; ++i) {
      const bool conditions[8] = {
          (i + j) % 2 == 0,
          i % 2 == 0,
          j % 3 == 0,
          (i + j) % 3 == 0,
          (i / 2 + j / 3) % 2 == 0,
          (i * j) % 2 + (i * j) % 3 == 0,
          ((i * j) % 2 + (i * j) % 3) % 2 == 0,
          ((i * j) % 3 + (i + j) % 2) % 2 == 0,
      };
      uint8_t bits = 0;
      for (int n = 0; n < 8; ++n)
        bits = uint8_t(bits | (conditions[n] ? 1 << n : 0));
      table.bits[j][i] = bits;
    }
  }
  return table;
}
constexpr MaskTable kMaskTable = makeMaskTable();

}  // namespace

// Bit 0x01 of every module that is not a function module becomes its data bit (0x02)
// XOR the mask condition, with i the row and j the column: 0 (i + j) mod 2 = 0;
// 1 i mod 2 = 0; 2 j mod 3 = 0; 3 (i + j) mod 3 = 0; 4 (i / 2 + j / 3) mod 2 = 0;
// 5 (i j) mod 2 + (i j) mod 3 = 0; 6 ((i j) mod 2 + (i j) mod 3) mod 2 = 0;
// 7 ((i j) mod 3 + (i + j) mod 2) mod 2 = 0.
void QRSymbolEncoder::SetMaskingPattern(int nPatternNo) {
  const int s = int(m_nSymbleSize);
  for (int j = 0; j < s; ++j) {
    uint8_t *column = m_byModuleData[j];
    const uint8_t *mask = kMaskTable.bits[j];
    for (int i = 0; i < s; ++i) {
      // Function modules (0x20) keep their byte, whose bit 0x01 is always clear.
      const unsigned module = column[i];
      const unsigned data = ((module >> 1) ^ (unsigned(mask[i]) >> nPatternNo)) & 1 & ~(module >> 5);
      column[i] = uint8_t((module & 0xFE) | data);
    }
  }
}

void QRSymbolEncoder::SetFormatInfoPattern(int nPatternNo) {
  static constexpr int levelCode[4] = {1, 0, 3, 2};
  const int data = levelCode[m_nLevel] * 8 + nPatternNo;
  int rem = data << 10;
  for (int i = 14; i >= 10; --i)
    if (rem & (1 << i))
      rem ^= 0x537 << (i - 10);
  const int bits = ((data << 10) | rem) ^ 0x5412;
  const int s = int(m_nSymbleSize);
  auto value = [&](int i) -> uint8_t { return (bits & (1 << i)) ? 0x30 : 0x20; };
  for (int i = 0; i <= 5; ++i)
    m_byModuleData[8][i] = value(i);
  m_byModuleData[8][7] = value(6);
  m_byModuleData[8][8] = value(7);
  m_byModuleData[7][8] = value(8);
  for (int i = 9; i <= 14; ++i)
    m_byModuleData[14 - i][8] = value(i);
  for (int i = 0; i <= 7; ++i)
    m_byModuleData[s - 1 - i][8] = value(i);
  for (int i = 8; i <= 14; ++i)
    m_byModuleData[8][s - 15 + i] = value(i);
  m_byModuleData[8][s - 8] = 0x30;
}

namespace {

// A line of modules as bits: module p at bit p + 4, so that the four modules beyond
// either end (light) have bits of their own.
template <int Words>
struct LineBits {
  uint64_t w[Words] = {};

  // Bit k of the result is bit k + n of this (n may be negative).
  [[gnu::always_inline]] LineBits shifted(int n) const {
    LineBits r;
    if (n >= 0) {
      const int words = n >> 6, bits = n & 63;
      for (int i = 0; i < Words; ++i) {
        const int from = i + words;
        uint64_t v = from < Words ? w[from] >> bits : 0;
        if (bits && from + 1 < Words)
          v |= w[from + 1] << (64 - bits);
        r.w[i] = v;
      }
    } else {
      n = -n;
      const int words = n >> 6, bits = n & 63;
      for (int i = 0; i < Words; ++i) {
        const int from = i - words;
        uint64_t v = from >= 0 ? w[from] << bits : 0;
        if (bits && from - 1 >= 0)
          v |= w[from - 1] >> (64 - bits);
        r.w[i] = v;
      }
    }
    return r;
  }
  LineBits operator&(const LineBits &o) const {
    LineBits r;
    for (int i = 0; i < Words; ++i)
      r.w[i] = w[i] & o.w[i];
    return r;
  }
  LineBits operator|(const LineBits &o) const {
    LineBits r;
    for (int i = 0; i < Words; ++i)
      r.w[i] = w[i] | o.w[i];
    return r;
  }
  LineBits operator^(const LineBits &o) const {
    LineBits r;
    for (int i = 0; i < Words; ++i)
      r.w[i] = w[i] ^ o.w[i];
    return r;
  }
  LineBits operator~() const {
    LineBits r;
    for (int i = 0; i < Words; ++i)
      r.w[i] = ~w[i];
    return r;
  }
  int count() const {
    int n = 0;
    for (int i = 0; i < Words; ++i)
      if (w[i])
        n += std::popcount(w[i]);
    return n;
  }
  // Bits first to last - 1 set.
  static LineBits range(int first, int last) {
    LineBits r;
    for (int i = 0; i < Words; ++i) {
      const int lo = std::max(first - 64 * i, 0), hi = std::min(last - 64 * i, 64);
      if (hi <= lo)
        continue;
      const uint64_t upper = hi == 64 ? ~uint64_t(0) : (uint64_t(1) << hi) - 1;
      r.w[i] = upper & ~((uint64_t(1) << lo) - 1);
    }
    return r;
  }
};

// Penalty of one line: runs and finder-like patterns.
template <int Words>
int64_t linePenalty(const LineBits<Words> &dark, const LineBits<Words> &equalRange, const LineBits<Words> &runRange,
                    const LineBits<Words> &finderRange) {
  // Light, with everything beyond the ends light.
  const LineBits<Words> light = ~dark;
  // Runs: bit p of `equal` says modules p and p + 1 are alike; five alike from p on make
  // a window; a run of length n >= 5 holds n - 4 windows and scores n - 2, so the score
  // is the windows plus 2 for each window that starts a run.
  const LineBits<Words> equal = ~(dark ^ dark.shifted(1)) & equalRange;
  const LineBits<Words> windows = equal & equal.shifted(1) & equal.shifted(2) & equal.shifted(3) & runRange;
  const LineBits<Words> starts = windows & ~equal.shifted(-1);
  int64_t penalty = windows.count() + 2 * starts.count();
  // Dark, light, dark x 3, light, dark from p on, light at p - 1 and p + 7, and light
  // over p - 4 .. p - 2 or p + 8 .. p + 10.
  const LineBits<Words> core = dark & light.shifted(1) & dark.shifted(2) & dark.shifted(3) & dark.shifted(4) &
                               light.shifted(5) & dark.shifted(6) & light.shifted(-1) & light.shifted(7);
  const LineBits<Words> sides = (light.shifted(-2) & light.shifted(-3) & light.shifted(-4)) |
                                (light.shifted(8) & light.shifted(9) & light.shifted(10));
  penalty += 40 * (core & sides & finderRange).count();
  return penalty;
}

// The penalty score of a symbol of s modules a side whose lines fit in `Words` words.
template <int Words>
int64_t symbolPenalty(const uint8_t (*modules)[QRSymbolEncoder::MaxModules], int s) {
  using Bits = LineBits<Words>;
  constexpr int o = 4;  // bit of module 0
  Bits rows[QRSymbolEncoder::MaxModules];
  Bits columns[QRSymbolEncoder::MaxModules];
  int darkCount = 0;
  for (int x = 0; x < s; ++x) {
    const uint8_t *column = modules[x];
    Bits &c = columns[x];
    const int rowWord = (x + o) >> 6, rowBit = (x + o) & 63;
    for (int y = 0; y < s; ++y) {
      const uint64_t d = (column[y] & 0x11) != 0;
      c.w[(y + o) >> 6] |= d << ((y + o) & 63);
      rows[y].w[rowWord] |= d << rowBit;
    }
    darkCount += c.count();
  }
  const Bits equalRange = Bits::range(o, o + s - 1);   // pairs p, p + 1 inside
  const Bits runRange = Bits::range(o, o + s - 4);     // windows p .. p + 4 inside
  const Bits finderRange = Bits::range(o, o + s - 6);  // patterns p .. p + 6 inside

  int64_t penalty = 0;
  for (int x = 0; x < s; ++x)
    penalty += linePenalty(columns[x], equalRange, runRange, finderRange);
  for (int y = 0; y < s; ++y)
    penalty += linePenalty(rows[y], equalRange, runRange, finderRange);
  // 2 x 2 blocks of one colour, each counted.
  for (int y = 0; y < s - 1; ++y) {
    const Bits &a = rows[y];
    const Bits &b = rows[y + 1];
    const Bits alike = ~(a ^ a.shifted(1)) & ~(a ^ b) & ~(b ^ b.shifted(1)) & equalRange;
    penalty += 3 * alike.count();
  }
  // Balance of dark and light.
  const int lightCount = s * s - darkCount;
  const int percent = lightCount * 100 / (s * s);
  penalty += (std::abs(50 - percent) / 5) * 10;
  return penalty;
}

}  // namespace

// Runs of five or more alike (3, and 1 for each further module), 2 x 2 blocks of one
// colour (3 each), finder-like patterns with light on one side (40 each), in every row
// and column, and the balance of dark and light (10 for each 5% off the half).
int64_t QRSymbolEncoder::CountPenalty() const {
  const int s = int(m_nSymbleSize);
  // A line with four light modules of margin on either side, and room for the finder
  // test's look eleven modules ahead.
  const int bits = s + 8;
  if (bits <= 64)
    return symbolPenalty<1>(m_byModuleData, s);
  if (bits <= 128)
    return symbolPenalty<2>(m_byModuleData, s);
  return symbolPenalty<4>(m_byModuleData, s);
}

void QRSymbolEncoder::FormatModule() {
  const int s = int(m_nSymbleSize);
  for (int x = 0; x < s; ++x)
    std::memset(m_byModuleData[x], 0, size_t(s));
  SetFunctionModule();
  SetCodeWordPattern();
  if (m_nMaskingNo == -1) {
    int best = 0;
    int64_t bestPenalty = -1;
    for (int mask = 0; mask < 8; ++mask) {
      SetMaskingPattern(mask);
      SetFormatInfoPattern(mask);
      const int64_t penalty = CountPenalty();
      if (bestPenalty < 0 || penalty < bestPenalty) {
        best = mask;
        bestPenalty = penalty;
      }
    }
    m_nMaskingNo = best;
  }
  SetMaskingPattern(int(m_nMaskingNo));
  SetFormatInfoPattern(int(m_nMaskingNo));
  for (int x = 0; x < s; ++x)
    for (int y = 0; y < s; ++y)
      m_byModuleData[x][y] = (m_byModuleData[x][y] & 0x11) ? 1 : 0;
}
