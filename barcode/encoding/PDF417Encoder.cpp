#include "barcode/encoding/PDF417Encoder.h"

#include "barcode/encoding/PDF417Clusters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int Modulus = 929;
constexpr int TextLatch = 900;
constexpr int ByteLatch = 901;
constexpr int NumericLatch = 902;
constexpr int ByteShift = 913;
constexpr int ByteLatch6 = 924;
constexpr int EciDesignator = 927;
constexpr int EciUtf8 = 26;
constexpr uint32_t StartPattern = 0x1FEA8;  // 17 modules: 8 1 1 1 1 1 1 3
constexpr uint32_t StopPattern = 0x3FA29;   // 18 modules: 7 1 1 3 1 1 1 2 1

// The characters of the mixed and punctuation sub-modes in the order of their values.
constexpr char MIXED_SET[] = "0123456789&\r\t,:#-.$/+%*=^";
constexpr char PUNCTUATION_SET[] = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";

// A stretch of the text: kind 'T' text, 'B' bytes, 'N' digits; [start, end).
struct Segment {
  char kind;
  int start;
  int end;
  int length() const { return end - start; }
};

bool isTextByte(uint8_t c) { return (c >= 32 && c <= 126) || c == '\r' || c == '\n' || c == '\t'; }
bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Adds [from, to) as alternating text and byte segments.
void addTextAndBytes(std::vector<Segment> &list, const uint8_t *text, int from, int to) {
  int start = from;
  for (int i = from; i < to; ++i) {
    if (i + 1 == to || isTextByte(text[i + 1]) != isTextByte(text[i])) {
      list.push_back({isTextByte(text[i]) ? 'T' : 'B', start, i + 1});
      start = i + 1;
    }
  }
}

std::vector<Segment> breakString(const uint8_t *text, int length) {
  std::vector<Segment> list;
  list.reserve(20);
  int lastCut = 0;
  int run = 0;
  for (int i = 0; i < length; ++i) {
    if (isDigit(text[i])) {
      ++run;
      continue;
    }
    if (run >= 13) {
      addTextAndBytes(list, text, lastCut, i - run);
      list.push_back({'N', i - run, i});
      lastCut = i;
    }
    run = 0;
  }
  if (run >= 13) {
    addTextAndBytes(list, text, lastCut, length - run);
    list.push_back({'N', length - run, length});
  } else {
    addTextAndBytes(list, text, lastCut, length);
  }

  const auto kindAt = [&list](int i) { return i >= 0 && i < int(list.size()) ? list[size_t(i)].kind : '\0'; };
  const auto lengthAt = [&list](int i) { return i >= 0 && i < int(list.size()) ? list[size_t(i)].length() : 0; };
  // Joins entries [first, last] into one of `kind`.
  const auto join = [&list](int first, int last, char kind) {
    list[size_t(first)] = {kind, list[size_t(first)].start, list[size_t(last)].end};
    list.erase(list.begin() + first + 1, list.begin() + last + 1);
  };

  // A lone byte between two texts that together hold at least 3 bytes joins them.
  for (bool again = true; again;) {
    again = false;
    for (int i = 0; i < int(list.size()); ++i)
      if (kindAt(i) == 'B' && lengthAt(i) == 1 && kindAt(i - 1) == 'T' && kindAt(i + 1) == 'T' &&
          lengthAt(i - 1) + lengthAt(i + 1) >= 3) {
        join(i - 1, i + 1, 'T');
        again = true;
        break;
      }
  }
  // A text of 5 bytes or more takes in a lone byte or a text beside it.
  for (bool again = true; again;) {
    again = false;
    for (int i = 0; i < int(list.size()) && !again; ++i) {
      if (kindAt(i) != 'T' || lengthAt(i) < 5)
        continue;
      if ((kindAt(i - 1) == 'B' && lengthAt(i - 1) == 1) || kindAt(i - 1) == 'T') {
        join(i - 1, i, 'T');
        again = true;
      } else if ((kindAt(i + 1) == 'B' && lengthAt(i + 1) == 1) || kindAt(i + 1) == 'T') {
        join(i, i + 1, 'T');
        again = true;
      }
    }
  }
  // Bytes take in a short text or bytes beside them.
  for (bool again = true; again;) {
    again = false;
    for (int i = 0; i < int(list.size()) && !again; ++i) {
      if (kindAt(i) != 'B')
        continue;
      if ((kindAt(i - 1) == 'T' && lengthAt(i - 1) < 5) || kindAt(i - 1) == 'B') {
        join(i - 1, i, 'B');
        again = true;
      } else if ((kindAt(i + 1) == 'T' && lengthAt(i + 1) < 5) || kindAt(i + 1) == 'B') {
        join(i, i + 1, 'B');
        again = true;
      }
    }
  }
  if (list.size() == 1 && list[0].kind == 'T' && list[0].length() >= 8 &&
      std::all_of(text + list[0].start, text + list[0].end, isDigit))
    list[0].kind = 'N';
  return list;
}

// Character classes of the text sub-modes.
enum : int { Upper = 1, Lower = 2, Mixed = 4, Punctuation = 8, Byte = 16 };

// The classes and the value of the character at `i` of the segment; no class past it.
int getTextTypeAndValue(const uint8_t *text, int end, int i, int &value) {
  value = 0;
  if (i >= end)
    return 0;
  const uint8_t c = text[i];
  if (c >= 'A' && c <= 'Z') {
    value = c - 'A';
    return Upper;
  }
  if (c >= 'a' && c <= 'z') {
    value = c - 'a';
    return Lower;
  }
  if (c == ' ') {
    value = 26;
    return Upper | Lower | Mixed;
  }
  const char *mixed = c ? std::strchr(MIXED_SET, c) : nullptr;
  const char *punctuation = c ? std::strchr(PUNCTUATION_SET, c) : nullptr;
  if (mixed) {
    value = int(mixed - MIXED_SET);
    return punctuation && int(punctuation - PUNCTUATION_SET) == value ? Mixed | Punctuation : Mixed;
  }
  if (punctuation) {
    value = int(punctuation - PUNCTUATION_SET);
    return Punctuation;
  }
  value = c;
  return Byte;
}

bool textCompaction(const uint8_t *text, const Segment &segment, int32_t *codewords, int &position,
                    int32_t &error) {
  std::vector<int> list;
  list.reserve(size_t(segment.length()) * 2 + 2);
  int extra = 0;
  int mode = Upper;
  const int end = segment.end;
  const auto punctuationFollows = [&](int i) {
    int v = 0;
    return (getTextTypeAndValue(text, end, i + 1, v) & Punctuation) &&
           (getTextTypeAndValue(text, end, i + 2, v) & Punctuation);
  };
  for (int i = segment.start; i < end; ++i) {
    int value = 0;
    const int type = getTextTypeAndValue(text, end, i, value);
    if (type & mode) {
      list.push_back(value);
      continue;
    }
    if (type == Byte) {
      if (list.size() % 2 == 1) {
        list.push_back(29);
        if (mode == Punctuation)
          mode = Upper;
      }
      list.push_back(ByteShift);
      list.push_back(value);
      extra += 2;
      continue;
    }
    switch (mode) {
    case Upper:
    case Lower:
      if (mode == Upper && (type & Lower)) {
        list.insert(list.end(), {27, value});
        mode = Lower;
      } else if (mode == Lower && (type & Upper)) {
        int v = 0;
        if ((getTextTypeAndValue(text, end, i + 1, v) & Upper) && (getTextTypeAndValue(text, end, i + 2, v) & Upper)) {
          list.insert(list.end(), {28, 28, value});
          mode = Upper;
        } else {
          list.insert(list.end(), {27, value});
        }
      } else if (type & Mixed) {
        list.insert(list.end(), {28, value});
        mode = Mixed;
      } else if (punctuationFollows(i)) {
        list.insert(list.end(), {28, 25, value});
        mode = Punctuation;
      } else {
        list.insert(list.end(), {29, value});
      }
      break;
    case Mixed:
      if (type & Lower) {
        list.insert(list.end(), {27, value});
        mode = Lower;
      } else if (type & Upper) {
        list.insert(list.end(), {28, value});
        mode = Upper;
      } else if (punctuationFollows(i)) {
        list.insert(list.end(), {25, value});
        mode = Punctuation;
      } else {
        list.insert(list.end(), {29, value});
      }
      break;
    default:  // punctuation: back to upper, then the character again
      list.push_back(29);
      mode = Upper;
      --i;
      break;
    }
  }
  if (list.size() % 2 == 1)
    list.push_back(29);
  const int count = (int(list.size()) + extra) / 2;
  if (position + count > PDF417_MAX_DATA_CODEWORDS) {
    error = PDF417_ERROR_TEXT_TOO_BIG;
    return false;
  }
  for (size_t k = 0; k < list.size(); k += 2) {
    if (list[k] == ByteShift) {
      codewords[position++] = ByteShift;
      codewords[position++] = list[k + 1];
    } else {
      codewords[position++] = list[k] * 30 + list[k + 1];
    }
  }
  return true;
}

// The decimal number of a leading 1 and up to 44 digits in base 900, most significant first.
void basicNumberCompaction(const uint8_t *digits, int length, int32_t *codewords, int &position) {
  std::vector<int> number;  // decimal digits, most significant first
  number.push_back(1);
  for (int i = 0; i < length; ++i)
    number.push_back(digits[i] - '0');
  const int count = length / 3 + 1;
  for (int k = count - 1; k >= 0; --k) {
    int remainder = 0;
    for (int &d : number) {
      const int current = remainder * 10 + d;
      d = current / 900;
      remainder = current % 900;
    }
    codewords[position + k] = remainder;
  }
  position += count;
}

bool numberCompaction(const uint8_t *text, const Segment &segment, int32_t *codewords, int &position,
                      int32_t &error) {
  const int length = segment.length();
  const int remainder = length % 44;
  const int count = length / 44 * 15 + (remainder ? remainder / 3 + 1 : 0);
  if (position + count > PDF417_MAX_DATA_CODEWORDS) {
    error = PDF417_ERROR_TEXT_TOO_BIG;
    return false;
  }
  for (int i = segment.start; i < segment.end; i += 44)
    basicNumberCompaction(text + i, std::min(44, segment.end - i), codewords, position);
  return true;
}

bool byteCompaction(const uint8_t *text, const Segment &segment, int32_t *codewords, int &position,
                    int32_t &error) {
  const int length = segment.length();
  const int count = length / 6 * 5 + length % 6;
  if (position + count > PDF417_MAX_DATA_CODEWORDS) {
    error = PDF417_ERROR_TEXT_TOO_BIG;
    return false;
  }
  int i = segment.start;
  for (; i + 6 <= segment.end; i += 6) {  // byteCompaction6
    uint64_t value = 0;
    for (int k = 0; k < 6; ++k)
      value = (value << 8) | text[i + k];
    for (int k = 4; k >= 0; --k) {
      codewords[position + k] = int32_t(value % 900);
      value /= 900;
    }
    position += 5;
  }
  for (; i < segment.end; ++i)
    codewords[position++] = text[i];
  return true;
}

// The coefficients of the generator polynomial of a level, lowest order first: the
// product of (x - 3^i) for i = 1 .. 2^(level+1), modulo 929, without its leading 1.
const std::vector<int> &generatorCoefficients(int level) {
  static const auto tables = [] {
    std::vector<std::vector<int>> all(9);
    for (int l = 0; l <= 8; ++l) {
      const int k = 2 << l;
      std::vector<int> poly(size_t(k) + 1, 0);  // poly[j]: coefficient of x^j
      poly[0] = 1;
      int root = 1;
      for (int i = 1; i <= k; ++i) {
        root = root * 3 % Modulus;
        for (int j = i; j >= 0; --j) {
          const int shifted = j > 0 ? poly[size_t(j - 1)] : 0;
          poly[size_t(j)] = (shifted + Modulus - poly[size_t(j)] * root % Modulus) % Modulus;
        }
      }
      all[size_t(l)].assign(poly.begin(), poly.begin() + k);
    }
    return all;
  }();
  return tables[size_t(level)];
}

// The largest square-ish shape of 928 codewords.
void getMaxSquare(pdf417param *p) {
  if (p->codeColumns < 22) {
    p->codeColumns = 16;
    p->codeRows = 58;
  } else {
    p->codeColumns = 29;
    p->codeRows = 32;
  }
}

// Chooses the level and the shape for the codewords in p->codewords, pads, and adds the
// error correction. Returns false (error set) when they cannot make a symbol.
bool shapeSymbol(pdf417param *p) {
  const int len = p->lenCodewords;
  const int maxErr = maxPossibleErrorLevel(PDF417_MAX_CODEWORDS - len);
  int level = p->errorLevel;
  if (!(p->options & PDF417_USE_ERROR_LEVEL))
    level = len < 41 ? 2 : len < 161 ? 3 : len < 321 ? 4 : 5;
  level = std::clamp(level, 0, maxErr);
  p->codeColumns = std::clamp(p->codeColumns, 1, 30);
  p->codeRows = std::clamp(p->codeRows, 3, 90);
  int E = 2 << level;
  int tot = len + E;
  bool stands = false;
  bool aspectUsed = false;
  if (p->options & PDF417_FIXED_RECTANGLE) {
    tot = p->codeColumns * p->codeRows;
    if (tot > PDF417_MAX_CODEWORDS) {
      getMaxSquare(p);
      tot = PDF417_MAX_CODEWORDS;
    }
    if (tot < len + E)
      tot = len + E;
    else
      stands = true;
  } else if (!(p->options & (PDF417_FIXED_COLUMNS | PDF417_FIXED_ROWS))) {
    aspectUsed = true;
    const double a = std::isfinite(p->aspectRatio) ? std::clamp(double(p->aspectRatio), 0.001, 1000.0) : 0.5;
    const double yHeight = std::isfinite(p->yHeight) ? std::clamp(double(p->yHeight), 0.001, 1000.0) : 3.0;
    const double b = 73.0 * a - 4.0;
    const double columns = (-b + std::sqrt(b * b + 68.0 * a * tot * yHeight)) / (34.0 * a) + 0.5;
    p->codeColumns = std::clamp(int(std::min(columns, 1000.0)), 1, 30);
  }
  if (!stands) {
    if ((p->options & PDF417_FIXED_ROWS) && !aspectUsed) {
      p->codeColumns = (tot - 1) / p->codeRows + 1;
      if (p->codeColumns > 30) {
        p->codeColumns = 30;
        p->codeRows = (tot - 1) / 30 + 1;
      }
    } else {
      p->codeRows = std::max(3, (tot - 1) / p->codeColumns + 1);
      if (p->codeRows > 90) {
        p->codeRows = 90;
        p->codeColumns = (tot - 1) / 90 + 1;
      }
    }
    tot = p->codeRows * p->codeColumns;
  }
  if (tot > PDF417_MAX_CODEWORDS) {
    getMaxSquare(p);
    tot = PDF417_MAX_CODEWORDS;
  }
  level = maxPossibleErrorLevel(tot - len);
  E = 2 << level;
  if (len + E > tot) {
    p->error = PDF417_ERROR_TEXT_TOO_BIG;
    return false;
  }
  while (p->lenCodewords + E < tot)
    p->codewords[p->lenCodewords++] = TextLatch;
  p->codewords[0] = p->lenCodewords;
  calculateErrorCorrection(p->codewords, p->lenCodewords, level);
  p->lenCodewords = tot;
  p->errorLevel = level;
  return true;
}

// The painter's running position in the bitmap.
struct Painter {
  pdf417param *p;
  int bitPtr;
};

// ORs the `count` low bits of `pattern` into the bitmap at the running position, most
// significant first, and moves past them.
void outBitsAt(Painter &painter, uint32_t pattern, int count) {
  uint8_t *bits = painter.p->outBits;
  for (int bit = count - 1; bit >= 0; --bit, ++painter.bitPtr)
    if ((pattern >> bit) & 1u)
      bits[painter.bitPtr >> 3] |= uint8_t(0x80u >> (painter.bitPtr & 7));
}

void outCodeword17(Painter &painter, uint32_t pattern) { outBitsAt(painter, pattern, 17); }
void outCodeword18(Painter &painter, uint32_t pattern) { outBitsAt(painter, pattern, 18); }
void outStartPattern(Painter &painter) { outCodeword17(painter, StartPattern); }
void outStopPattern(Painter &painter) { outCodeword18(painter, StopPattern); }
// A codeword (0-928) in the pattern of the cluster (0-2) its row uses.
void outCodeword(Painter &painter, int cluster, int codeword) {
  outCodeword17(painter, CLUSTERS[cluster][codeword]);
}

// Paints the symbol of the block's codewords in its shape: every row the start pattern,
// the left row indicator, the row's codewords, the right row indicator and the stop
// pattern. The indicators tell a reader the row's group of three (30 per group) and, in
// turn, the rows, the level and the columns. Returns false when the bitmap cannot be had.
bool outPaintCode(pdf417param *p) {
  const int rows = p->codeRows;
  const int columns = p->codeColumns;
  p->bitColumns = 17 * (columns + 3) + 18;
  const int bytesPerRow = (p->bitColumns - 1) / 8 + 1;
  p->lenBits = bytesPerRow * rows;
  p->outBits = new (std::nothrow) uint8_t[size_t(p->lenBits)];
  if (!p->outBits) {
    p->lenBits = 0;
    return false;
  }
  std::memset(p->outBits, 0, size_t(p->lenBits));
  const int rowsThird = (rows - 1) / 3;
  const int levelAndRest = 3 * p->errorLevel + (rows - 1) % 3;
  const int columnsLess = columns - 1;
  int next = 0;
  for (int r = 0; r < rows; ++r) {
    const int cluster = r % 3;
    const int q = 30 * (r / 3);
    int left = 0;
    int right = 0;
    switch (cluster) {
    case 0:
      left = q + rowsThird;
      right = q + columnsLess;
      break;
    case 1:
      left = q + levelAndRest;
      right = q + rowsThird;
      break;
    default:
      left = q + columnsLess;
      right = q + levelAndRest;
      break;
    }
    Painter painter{p, 8 * bytesPerRow * r};
    outStartPattern(painter);
    outCodeword(painter, cluster, left);
    for (int c = 0; c < columns; ++c)
      outCodeword(painter, cluster, p->codewords[next++]);
    outCodeword(painter, cluster, right);
    outStopPattern(painter);
  }
  if (p->options & PDF417_INVERT_BITMAP)
    for (int i = 0; i < p->lenBits; ++i)
      p->outBits[i] = uint8_t(~p->outBits[i]);
  return true;
}

}  // namespace

int maxPossibleErrorLevel(int count) {
  for (int level = 8; level > 0; --level)
    if ((2 << level) <= count)
      return level;
  return 0;
}

int assemble(const uint8_t *text, int length, bool utf8Marked, int32_t *codewords, int32_t &error) {
  int position = 1;
  if (utf8Marked) {
    codewords[position++] = EciDesignator;
    codewords[position++] = EciUtf8;
  }
  const std::vector<Segment> segments = breakString(text, length);
  for (size_t i = 0; i < segments.size(); ++i) {
    const Segment &segment = segments[i];
    if (position >= PDF417_MAX_DATA_CODEWORDS) {
      error = PDF417_ERROR_TEXT_TOO_BIG;
      return 0;
    }
    bool ok = true;
    if (segment.kind == 'B') {
      codewords[position++] = segment.length() % 6 == 0 ? ByteLatch6 : ByteLatch;
      ok = byteCompaction(text, segment, codewords, position, error);
    } else if (segment.kind == 'N') {
      codewords[position++] = NumericLatch;
      ok = numberCompaction(text, segment, codewords, position, error);
    } else {
      if (i != 0)
        codewords[position++] = TextLatch;
      ok = textCompaction(text, segment, codewords, position, error);
    }
    if (!ok)
      return 0;
  }
  return position;
}

void calculateErrorCorrection(int32_t *codewords, int count, int level) {
  if (level < 0 || level > 8)
    level = 0;
  const int k = 2 << level;
  const std::vector<int> &A = generatorCoefficients(level);
  int32_t *E = codewords + count;
  std::fill(E, E + k, 0);
  for (int i = 0; i < count; ++i) {
    const int t = (codewords[i] + E[0]) % Modulus;
    for (int j = 0; j < k; ++j) {
      const int next = j + 1 < k ? E[j + 1] : 0;
      E[j] = (next + Modulus - t * A[size_t(k - 1 - j)] % Modulus) % Modulus;
    }
  }
  for (int j = 0; j < k; ++j)
    E[j] = (Modulus - E[j]) % Modulus;
}

void pdf417init(pdf417param *p) {
  p->options = 0;
  p->outBits = nullptr;
  p->lenBits = 0;
  p->error = 0;
  p->lenText = -1;
  p->text = "";
  p->yHeight = 3.0f;
  p->aspectRatio = 0.5f;
}

void pdf417free(pdf417param *p) {
  delete[] p->outBits;
  p->outBits = nullptr;
}

void paintCode(pdf417param *p) {
  pdf417free(p);
  p->lenBits = 0;
  p->error = PDF417_ERROR_SUCCESS;
  try {
    if (p->options & PDF417_USE_RAW_CODEWORDS) {
      const int count = p->lenCodewords;
      if (count < 1 || count > PDF417_MAX_DATA_CODEWORDS || p->codewords[0] != count ||
          !std::all_of(p->codewords, p->codewords + count, [](int32_t c) { return c >= 0 && c < Modulus; })) {
        p->error = PDF417_ERROR_INVALID_PARAMS;
        return;
      }
    } else {
      const char *text = p->text ? p->text : "";
      const int length = p->lenText < 0 ? int(std::strlen(text)) : p->lenText;
      if (length > PDF417_MAX_TEXT_BYTES) {
        p->error = PDF417_ERROR_TEXT_TOO_BIG;
        return;
      }
      const auto *bytes = reinterpret_cast<const uint8_t *>(text);
      const bool utf8Marked = (p->options & PDF417_UTF8_TEXT) &&
                              std::any_of(bytes, bytes + length, [](uint8_t c) { return c >= 0x80; });
      const int end = assemble(bytes, length, utf8Marked, p->codewords, p->error);
      if (p->error)
        return;
      p->lenCodewords = end;
      p->codewords[0] = end;
    }
    if (!shapeSymbol(p))
      return;
    if (!outPaintCode(p))
      p->error = PDF417_ERROR_NOT_MADE;
  } catch (const std::bad_alloc &) {
    pdf417free(p);
    p->lenBits = 0;
    p->error = PDF417_ERROR_NOT_MADE;
  }
}
