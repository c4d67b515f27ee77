#include "barcode/encoding/DataMatrixEncoder.h"

#include "platform/Log.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

const DataMatrixSize ecc200matrix[30] = {
    {10, 10, 10, 10, 3, 3, 5},           {12, 12, 12, 12, 5, 5, 7},           {8, 18, 8, 18, 5, 5, 7},
    {14, 14, 14, 14, 8, 8, 10},          {8, 32, 8, 16, 10, 10, 11},          {16, 16, 16, 16, 12, 12, 12},
    {12, 26, 12, 26, 16, 16, 14},        {18, 18, 18, 18, 18, 18, 14},        {20, 20, 20, 20, 22, 22, 18},
    {12, 36, 12, 18, 22, 22, 18},        {22, 22, 22, 22, 30, 30, 20},        {16, 36, 16, 18, 32, 32, 24},
    {24, 24, 24, 24, 36, 36, 24},        {26, 26, 26, 26, 44, 44, 28},        {16, 48, 16, 24, 49, 49, 28},
    {32, 32, 16, 16, 62, 62, 36},        {36, 36, 18, 18, 86, 86, 42},        {40, 40, 20, 20, 114, 114, 48},
    {44, 44, 22, 22, 144, 144, 56},      {48, 48, 24, 24, 174, 174, 68},      {52, 52, 26, 26, 204, 102, 42},
    {64, 64, 16, 16, 280, 140, 56},      {72, 72, 18, 18, 368, 92, 36},       {80, 80, 20, 20, 456, 114, 48},
    {88, 88, 22, 22, 576, 144, 56},      {96, 96, 24, 24, 696, 174, 68},      {104, 104, 26, 26, 816, 136, 56},
    {120, 120, 20, 20, 1050, 175, 68},   {132, 132, 22, 22, 1304, 163, 62},   {144, 144, 24, 24, 1558, 156, 62},
};

namespace {

enum Mode { A = 0, C = 1, T = 2, X = 3, E = 4, B = 5, ModeCount = 6 };
constexpr char encchr[] = "ACTXEB";

constexpr uint8_t switchcost[ModeCount][ModeCount] = {
    {0, 1, 1, 1, 1, 2}, {1, 0, 2, 2, 2, 3}, {1, 2, 0, 2, 2, 3},
    {1, 2, 2, 0, 2, 3}, {1, 2, 2, 2, 0, 3}, {0, 1, 1, 1, 1, 0},
};

constexpr int MaxData = 3116;  // bytes: the most any size holds (1558 digit pairs x 2)

int blocksOf(const DataMatrixSize &size) { return (size.dataCodewords + 2) / size.dataPerBlock; }

bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool isUpper(uint8_t c) { return c >= 'A' && c <= 'Z'; }
bool isLower(uint8_t c) { return c >= 'a' && c <= 'z'; }
bool isX12(uint8_t c) { return c == 13 || c == '*' || c == '>' || c == ' ' || isDigit(c) || isUpper(c); }
bool isEdifact(uint8_t c) { return c >= 32 && c <= 94; }

// ---------------------------------------------------------------------------------------
// Reed-Solomon over GF(256) with the field polynomial x^8 + x^5 + x^3 + x^2 + 1 (301).

struct GaloisField {
  uint8_t log[256] = {};
  uint8_t alog[256] = {};
};

constexpr GaloisField makeField() {
  GaloisField f;
  int v = 1;
  for (int i = 0; i < 255; ++i) {
    f.alog[i] = uint8_t(v);
    f.log[v] = uint8_t(i);
    v <<= 1;
    if (v & 0x100)
      v ^= 301;
  }
  return f;
}
constexpr GaloisField kField = makeField();

uint8_t gfMul(uint8_t a, uint8_t b) {
  if (!a || !b)
    return 0;
  return kField.alog[(kField.log[a] + kField.log[b]) % 255];
}

// Generator of `k` check symbols with the roots 2^1 .. 2^k; poly[0] is the leading 1.
void generator(int k, uint8_t *poly) {
  std::memset(poly, 0, size_t(k + 1));
  poly[0] = 1;
  for (int i = 1; i <= k; ++i) {
    const uint8_t root = kField.alog[i];
    for (int j = i; j >= 1; --j)
      poly[j] = uint8_t(poly[j] ^ gfMul(poly[j - 1], root));
  }
}

// ---------------------------------------------------------------------------------------
// Values of one character in C40, Text or X12; returns their count (0: not encodable).

int ctxValues(Mode mode, uint8_t c, uint8_t *out) {
  int n = 0;
  if (c >= 128) {
    if (mode == X)
      return 0;
    out[n++] = 1;
    out[n++] = 30;
    c &= 0x7F;
  }
  if (mode == X) {
    if (c == 13)
      out[n++] = 0;
    else if (c == '*')
      out[n++] = 1;
    else if (c == '>')
      out[n++] = 2;
    else if (c == ' ')
      out[n++] = 3;
    else if (isDigit(c))
      out[n++] = uint8_t(c - '0' + 4);
    else if (isUpper(c))
      out[n++] = uint8_t(c - 'A' + 14);
    else
      return 0;
    return n;
  }
  const bool basicLetter = mode == C ? isUpper(c) : isLower(c);
  if (c == ' ') {
    out[n++] = 3;
  } else if (isDigit(c)) {
    out[n++] = uint8_t(c - '0' + 4);
  } else if (basicLetter) {
    out[n++] = uint8_t((mode == C ? c - 'A' : c - 'a') + 14);
  } else if (c < 32) {
    out[n++] = 0;
    out[n++] = c;
  } else if (c <= 47) {
    out[n++] = 1;
    out[n++] = uint8_t(c - 33);
  } else if (c >= 58 && c <= 64) {
    out[n++] = 1;
    out[n++] = uint8_t(c - 58 + 15);
  } else if (c >= 91 && c <= 95) {
    out[n++] = 1;
    out[n++] = uint8_t(c - 91 + 22);
  } else {
    out[n++] = 2;
    if (mode == C)
      out[n++] = uint8_t(c - 96);
    else if (c == 96)
      out[n++] = 0;
    else if (isUpper(c))
      out[n++] = uint8_t(c - 'A' + 1);
    else
      out[n++] = uint8_t(c - 123 + 27);
  }
  return n;
}

// Codewords of `count` bytes in ASCII.
int asciiCost(const uint8_t *s, int count) {
  int cost = 0;
  for (int i = 0; i < count;) {
    if (i + 1 < count && isDigit(s[i]) && isDigit(s[i + 1])) {
      i += 2;
    } else {
      cost += s[i] >= 128 ? 1 : 0;
      ++i;
    }
    ++cost;
  }
  return cost;
}

// The codeword writer of one symbol: never writes past the capacity, but counts on, so
// that "does not fit" is seen at the end.
struct Writer {
  uint8_t *t;
  int capacity;
  int tp = 0;
  Mode mode = A;

  void put(int v) {
    if (tp < capacity)
      t[tp] = uint8_t(v);
    ++tp;
  }
  int left() const { return capacity - tp; }

  // Back to ASCII. The unlatch is left out where the decoder returns to ASCII on its own:
  // C40, Text and X12 with one codeword left, EDIFACT with two or fewer.
  void toAscii() {
    if (mode == C || mode == T || mode == X) {
      if (left() > 1)
        put(254);
    } else if (mode == E) {
      if (left() > 2)
        put(124);
    }
    mode = A;
  }

  void ascii(const uint8_t *s, int count) {
    for (int i = 0; i < count;) {
      if (i + 1 < count && isDigit(s[i]) && isDigit(s[i + 1])) {
        put(130 + (s[i] - '0') * 10 + (s[i + 1] - '0'));
        i += 2;
      } else if (s[i] < 128) {
        put(s[i] + 1);
        ++i;
      } else {
        put(235);
        put(s[i] - 127);
        ++i;
      }
    }
  }

  void latch(Mode to) {
    if (mode == to)
      return;
    if (mode != A)
      toAscii();
    put(to == C ? 230 : to == T ? 239 : to == X ? 238 : to == E ? 240 : 231);
    mode = to;
  }
};

// One run in C40, Text or X12 from `sp`, up to a clean end of a triple. The run goes on
// over characters of other modes that this one holds; where the data end, or a character
// this mode cannot hold follows, inside a triple, the end-of-data rules apply. Returns false on a character the mode cannot hold.
bool encodeCtx(Writer &w, Mode mode, const uint8_t *s, int l, const char *modes, int &sp, std::string &error) {
  int cleanSp = sp, cleanTp = w.tp;
  Mode cleanMode = w.mode;
  uint8_t pending[8];
  int np = 0;
  while (sp < l) {
    uint8_t values[4];
    const int n = ctxValues(mode, s[sp], values);
    if (n == 0 && (modes[sp] & ~0x20) != encchr[mode]) {
      // A character of another mode that this one cannot hold ends the run here.
      l = sp;
      break;
    }
    if (n == 0) {
      char text[64];
      std::snprintf(text, sizeof text, "Cannot encode char 0x%02X in X12", s[sp]);
      error = text;
      return false;
    }
    std::memcpy(pending + np, values, size_t(n));
    np += n;
    ++sp;
    while (np >= 3) {
      w.latch(mode);
      const int v = 1600 * pending[0] + 40 * pending[1] + pending[2] + 1;
      w.put(v / 256);
      w.put(v % 256);
      std::memmove(pending, pending + 3, size_t(np - 3));
      np -= 3;
    }
    if (np == 0)
      return true;
  }
  if (np == 0)
    return true;

  // The data end inside a triple: take back what was written since the last clean end of
  // a triple and write those characters again by the end-of-data rules: as many
  // characters as make whole triples stay in the mode, where two values left over are
  // padded with a shift 1 (C40 and Text); the characters after them go in ASCII.
  w.tp = cleanTp;
  w.mode = cleanMode;
  uint8_t values[4];
  int whole = l - cleanSp;
  int sum = 0;
  for (int i = cleanSp; i < l; ++i)
    sum += ctxValues(mode, s[i], values);
  bool padded = false;
  for (;;) {
    if (sum % 3 == 0)
      break;
    if (sum % 3 == 2 && mode != X) {
      padded = true;
      break;
    }
    --whole;
    sum -= ctxValues(mode, s[cleanSp + whole], values);
  }
  np = 0;
  auto flush = [&]() {
    while (np >= 3) {
      w.latch(mode);
      const int v = 1600 * pending[0] + 40 * pending[1] + pending[2] + 1;
      w.put(v / 256);
      w.put(v % 256);
      std::memmove(pending, pending + 3, size_t(np - 3));
      np -= 3;
    }
  };
  for (int i = cleanSp; i < cleanSp + whole; ++i) {
    np += ctxValues(mode, s[i], pending + np);
    flush();
  }
  if (padded) {
    pending[np++] = 0;
    flush();
  }
  const uint8_t *rest = s + cleanSp + whole;
  const int restCount = l - cleanSp - whole;
  if (restCount > 0) {
    if (w.mode != A) {
      // One character in ASCII in the last codeword needs no unlatch.
      if (!(asciiCost(rest, restCount) == 1 && w.left() == 1))
        w.toAscii();
      w.mode = A;
    }
    w.ascii(rest, restCount);
  }
  sp = l;
  return true;
}

bool encodeEdifact(Writer &w, const uint8_t *s, int l, const char *modes, int &sp, std::string &error) {
  int group = 0;
  while (group < 4 && sp + group < l && (modes[sp + group] == 'E' || modes[sp + group] == 'e'))
    ++group;
  for (int i = 0; i < group; ++i)
    if (!isEdifact(s[sp + i])) {
      char text[64];
      std::snprintf(text, sizeof text, "Cannot encode 0x%02X in EDIFACT", s[sp + i]);
      error = text;
      return false;
    }
  if (group < 4 && sp + group == l) {
    // End of data: with at most two codewords left after the latch the decoder reads
    // ASCII, so the last characters go there in ASCII.
    const int left = w.mode == E ? w.left() : w.left() - 1 - (w.mode != A ? 1 : 0);
    if (left <= 2) {
      if (w.mode != A)
        w.toAscii();
      w.ascii(s + sp, group);
      sp += group;
      return true;
    }
  }
  w.latch(E);
  uint8_t values[4];
  int n = 0;
  for (int i = 0; i < group; ++i)
    values[n++] = uint8_t(s[sp + i] & 0x3F);
  sp += group;
  if (group < 4) {
    values[n++] = 31;
    w.mode = A;
  }
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i)
    bits = (bits << 6) | (i < n ? values[i] : 0);
  const int bytes = n <= 2 ? 2 : 3;
  for (int i = 0; i < bytes; ++i)
    w.put(int((bits >> (16 - 8 * i)) & 0xFF));
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------

bool ecc200encode(uint8_t *t, int tl, const uint8_t *s, int l, const char *encoding, int *lenp, std::string &error) {
  if (int(std::strlen(encoding)) < l) {
    error = "Encoding string too short";
    return false;
  }
  Writer w{t, tl};
  int sp = 0;
  while (sp < l && w.tp < tl) {
    if ((w.mode == C || w.mode == T) && w.left() < 2)
      w.mode = A;
    if (w.mode == X && w.left() < 2)
      w.mode = A;
    const char letter = char(encoding[sp] & ~0x20);
    switch (letter) {
    case 'A':
      if (w.mode != A)
        w.toAscii();
      if (sp + 1 < l && isDigit(s[sp]) && isDigit(s[sp + 1])) {
        w.ascii(s + sp, 2);
        sp += 2;
      } else {
        w.ascii(s + sp, 1);
        ++sp;
      }
      break;
    case 'B': {
      int n = 0;
      while (sp + n < l && (encoding[sp + n] & ~0x20) == 'B')
        ++n;
      // Base 256 is latched from ASCII: any other mode is left first.
      if (w.mode != A)
        w.toAscii();
      w.put(231);
      auto put255 = [&](int value) { w.put((value + ((149 * (w.tp + 1)) % 255) + 1) % 256); };
      if (n < 250) {
        put255(n);
      } else {
        put255(249 + n / 250);
        put255(n % 250);
      }
      for (int i = 0; i < n; ++i)
        put255(s[sp + i]);
      sp += n;
      w.mode = A;
      break;
    }
    case 'C':
    case 'T':
    case 'X': {
      const Mode mode = letter == 'C' ? C : letter == 'T' ? T : X;
      if (!encodeCtx(w, mode, s, l, encoding, sp, error))
        return false;
      break;
    }
    case 'E':
      if (!encodeEdifact(w, s, l, encoding, sp, error))
        return false;
      break;
    default: {
      char text[32];
      std::snprintf(text, sizeof text, "Unknown encoding %c", encoding[sp]);
      error = text;
      return false;
    }
    }
  }
  if (lenp)
    *lenp = w.tp;
  if (w.tp > tl || sp < l) {
    error = "Barcode too long";
    return false;
  }
  if (w.tp < tl && w.mode != A)
    w.toAscii();
  if (w.tp < tl)
    w.put(129);
  while (w.tp < tl) {
    int v = ((149 * (w.tp + 1)) % 253) + 130;
    if (v > 254)
      v -= 254;
    w.put(v);
  }
  return true;
}

void ecc200(uint8_t *binary, int bytes, int datablock, int rsblock) {
  const int blocks = (bytes + 2) / datablock;
  uint8_t poly[70];
  generator(rsblock, poly);
  uint8_t buffer[200];
  uint8_t remainder[70];
  for (int b = 0; b < blocks; ++b) {
    int n = 0;
    for (int p = b; p < bytes; p += blocks)
      buffer[n++] = binary[p];
    std::memset(remainder, 0, size_t(rsblock));
    for (int i = 0; i < n; ++i) {
      const uint8_t factor = uint8_t(buffer[i] ^ remainder[0]);
      std::memmove(remainder, remainder + 1, size_t(rsblock - 1));
      remainder[rsblock - 1] = 0;
      for (int j = 0; j < rsblock; ++j)
        remainder[j] ^= gfMul(poly[j + 1], factor);
    }
    for (int j = 0, p = b; j < rsblock; ++j, p += blocks)
      binary[bytes + p] = remainder[j];
  }
}

namespace {

struct Placement {
  int *array;
  int nrow;
  int ncol;

  void bit(int r, int c, int p, int b) {
    if (r < 0) {
      r += nrow;
      c += 4 - ((nrow + 4) % 8);
    }
    if (c < 0) {
      c += ncol;
      r += 4 - ((ncol + 4) % 8);
    }
    array[r * ncol + c] = (p << 3) + b;
  }
  void block(int r, int c, int p) {
    bit(r - 2, c - 2, p, 7);
    bit(r - 2, c - 1, p, 6);
    bit(r - 1, c - 2, p, 5);
    bit(r - 1, c - 1, p, 4);
    bit(r - 1, c - 0, p, 3);
    bit(r - 0, c - 2, p, 2);
    bit(r - 0, c - 1, p, 1);
    bit(r - 0, c - 0, p, 0);
  }
  void cornerA(int p) {
    bit(nrow - 1, 0, p, 7);
    bit(nrow - 1, 1, p, 6);
    bit(nrow - 1, 2, p, 5);
    bit(0, ncol - 2, p, 4);
    bit(0, ncol - 1, p, 3);
    bit(1, ncol - 1, p, 2);
    bit(2, ncol - 1, p, 1);
    bit(3, ncol - 1, p, 0);
  }
  void cornerB(int p) {
    bit(nrow - 3, 0, p, 7);
    bit(nrow - 2, 0, p, 6);
    bit(nrow - 1, 0, p, 5);
    bit(0, ncol - 4, p, 4);
    bit(0, ncol - 3, p, 3);
    bit(0, ncol - 2, p, 2);
    bit(0, ncol - 1, p, 1);
    bit(1, ncol - 1, p, 0);
  }
  void cornerC(int p) {
    bit(nrow - 3, 0, p, 7);
    bit(nrow - 2, 0, p, 6);
    bit(nrow - 1, 0, p, 5);
    bit(0, ncol - 2, p, 4);
    bit(0, ncol - 1, p, 3);
    bit(1, ncol - 1, p, 2);
    bit(2, ncol - 1, p, 1);
    bit(3, ncol - 1, p, 0);
  }
  void cornerD(int p) {
    bit(nrow - 1, 0, p, 7);
    bit(nrow - 1, ncol - 1, p, 6);
    bit(0, ncol - 3, p, 5);
    bit(0, ncol - 2, p, 4);
    bit(0, ncol - 1, p, 3);
    bit(1, ncol - 3, p, 2);
    bit(1, ncol - 2, p, 1);
    bit(1, ncol - 1, p, 0);
  }
};

}  // namespace

void ecc200placement(int *array, int nrow, int ncol) {
  std::memset(array, 0, sizeof(int) * size_t(nrow) * size_t(ncol));
  Placement pl{array, nrow, ncol};
  int p = 1, r = 4, c = 0;
  do {
    if (r == nrow && c == 0)
      pl.cornerA(p++);
    if (r == nrow - 2 && c == 0 && ncol % 4)
      pl.cornerB(p++);
    if (r == nrow - 2 && c == 0 && (ncol % 8) == 4)
      pl.cornerC(p++);
    if (r == nrow + 4 && c == 2 && !(ncol % 8))
      pl.cornerD(p++);
    do {
      if (r < nrow && c >= 0 && !array[r * ncol + c])
        pl.block(r, c, p++);
      r -= 2;
      c += 2;
    } while (r >= 0 && c < ncol);
    r++;
    c += 3;
    do {
      if (r >= 0 && c < ncol && !array[r * ncol + c])
        pl.block(r, c, p++);
      r += 2;
      c -= 2;
    } while (r < nrow && c >= 0);
    r += 3;
    c++;
  } while (r < nrow || c < ncol);
  if (!array[nrow * ncol - 1])
    array[nrow * ncol - 1] = array[nrow * ncol - ncol - 2] = 1;
}

// ---------------------------------------------------------------------------------------
// The mode chooser.

namespace {

std::string makeModes(int l, const uint8_t *s, int *lenp, bool exact, bool *ok);

}  // namespace

std::string encmake(int l, const uint8_t *s, int *lenp, bool exact, bool *ok) {
  try {
    return makeModes(l, s, lenp, exact, ok);
  } catch (const std::bad_alloc &) {
    if (ok)
      *ok = false;
    return {};
  }
}

namespace {

std::string makeModes(int l, const uint8_t *s, int *lenp, bool exact, bool *ok) {
  if (ok)
    *ok = false;
  if (l > MaxData || l < 0)
    return {};
  if (l == 0) {
    if (lenp)
      *lenp = 0;
    if (ok)
      *ok = true;
    return {};
  }
  struct Cell {
    uint16_t t;  // run length
    uint16_t s;  // cost, 0 = impossible
  };
  std::vector<Cell> table(size_t(l + 1) * ModeCount, Cell{0, 0});
  auto enc = [&](int p, int m) -> Cell & { return table[size_t(p) * ModeCount + size_t(m)]; };

  // The best continuation from q with switch costs of row `from`: its cost and mode.
  auto best = [&](int q, int from, int &mode) -> int {
    mode = A;
    if (q >= l)
      return 0;
    int bl = 0;
    for (int e = 0; e < ModeCount; ++e) {
      if (!enc(q, e).s)
        continue;
      const int cost = enc(q, e).s + switchcost[from][e];
      if (!bl || cost < bl) {
        bl = cost;
        mode = e;
      }
    }
    return bl;
  };

  for (int p = l - 1; p >= 0; --p) {
    int b;
    // ASCII
    {
      int tl, sl;
      if (p + 1 < l && isDigit(s[p]) && isDigit(s[p + 1])) {
        tl = 2;
        sl = 1;
      } else {
        tl = 1;
        sl = s[p] >= 128 ? 2 : 1;
      }
      const int bl = best(p + tl, A, b);
      enc(p, A).t = uint16_t(tl);
      enc(p, A).s = uint16_t(sl + bl);
      if (bl && b == A)
        enc(p, A).t = uint16_t(enc(p, A).t + enc(p + tl, A).t);
    }
    // C40 and Text
    for (int m : {C, T}) {
      int sub = 0, tl = 0, sl = 0;
      do {
        uint8_t c = s[p + tl++];
        if (c & 0x80) {
          sub += 2;
          c &= 0x7F;
        }
        const bool basic = c == ' ' || isDigit(c) || (m == C ? isUpper(c) : isLower(c));
        if (!basic)
          ++sub;
        ++sub;
        while (sub >= 3) {
          sub -= 3;
          sl += 2;
        }
      } while (sub && p + tl < l);
      if (exact && sub == 2 && p + tl == l) {
        sub = 0;
        sl += 2;
      }
      if (!sub) {
        int bl = best(p + tl, m, b);
        if (exact && p + tl < l && enc(p + tl, A).s == 1 && bl > 1) {
          b = A;
          bl = 1;
        }
        enc(p, m).t = uint16_t(tl);
        enc(p, m).s = uint16_t(sl + bl);
        if (bl && b == m)
          enc(p, m).t = uint16_t(enc(p, m).t + enc(p + tl, m).t);
      }
    }
    // X12
    {
      int sub = 0, tl = 0, sl = 0;
      bool possible = true;
      do {
        const uint8_t c = s[p + tl++];
        if (!isX12(c)) {
          possible = false;
          break;
        }
        ++sub;
        while (sub >= 3) {
          sub -= 3;
          sl += 2;
        }
      } while (sub && p + tl < l);
      if (possible && !sub) {
        int bl = best(p + tl, X, b);
        if (exact && p + tl < l && enc(p + tl, A).s == 1 && bl > 1) {
          b = A;
          bl = 1;
        }
        enc(p, X).t = uint16_t(tl);
        enc(p, X).s = uint16_t(sl + bl);
        if (bl && b == X)
          enc(p, X).t = uint16_t(enc(p, X).t + enc(p + tl, X).t);
      }
    }
    // EDIFACT
    if (isEdifact(s[p])) {
      int bs = 0, bt = 0, br = A;
      auto consider = [&](int cost, int group, int after) {
        if (!bs || cost < bs) {
          bs = cost;
          bt = group;
          br = after;
        }
      };
      if (p + 1 == l) {
        consider(2, 1, A);
      } else {
        for (int e = 0; e < ModeCount; ++e)
          if (e != E && enc(p + 1, e).s)
            consider(2 + enc(p + 1, e).s + switchcost[A][e], 1, e);
      }
      if (p + 2 < l && isEdifact(s[p + 1]))
        for (int e = 0; e < ModeCount; ++e)
          if (e != E && enc(p + 2, e).s)
            consider(3 + enc(p + 2, e).s + switchcost[A][e], 2, e);
      if (p + 3 < l && isEdifact(s[p + 1]) && isEdifact(s[p + 2]))
        for (int e = 0; e < ModeCount; ++e)
          if (e != E && enc(p + 3, e).s)
            consider(3 + enc(p + 3, e).s + switchcost[A][e], 3, e);
      if (p + 4 <= l && isEdifact(s[p + 1]) && isEdifact(s[p + 2]) && isEdifact(s[p + 3])) {
        if (p + 4 == l) {
          consider(3, 4, A);
        } else {
          for (int e = 0; e < ModeCount; ++e)
            if (enc(p + 4, e).s)
              consider(3 + enc(p + 4, e).s + switchcost[E][e], 4, e);
          const int asciiAfter = enc(p + 4, A).s;
          if (exact && (asciiAfter == 1 || asciiAfter == 2) && 3 + asciiAfter < bs) {
            bs = 3 + asciiAfter;
            bt = 4;
            br = A;
          }
        }
      }
      enc(p, E).s = uint16_t(bs);
      enc(p, E).t = uint16_t(bt);
      if (br == E && p + bt < l)
        enc(p, E).t = uint16_t(enc(p, E).t + enc(p + bt, E).t);
    }
    // Base 256
    {
      int bl = 0;
      b = A;
      if (p + 1 < l) {
        for (int e = 0; e < ModeCount; ++e) {
          if (!enc(p + 1, e).s)
            continue;
          int cost = enc(p + 1, e).s + switchcost[B][e];
          if (e == B && enc(p + 1, B).s == 249)
            ++cost;
          if (!bl || cost < bl) {
            bl = cost;
            b = e;
          }
        }
      }
      enc(p, B).t = 1;
      enc(p, B).s = uint16_t(1 + bl);
      if (bl && b == B)
        enc(p, B).t = uint16_t(enc(p, B).t + enc(p + 1, B).t);
    }
  }

  std::string encoding(size_t(l), 'A');
  int current = A;
  for (int p = 0; p < l;) {
    int m = -1, held = 0;
    for (int e = 0; e < ModeCount; ++e) {
      if (!enc(p, e).s)
        continue;
      const int cost = enc(p, e).s + switchcost[current][e];
      if (m < 0 || cost < held || (cost == held && e == current)) {
        m = e;
        held = cost;
      }
    }
    if (p == 0 && lenp)
      *lenp = enc(0, m).s + switchcost[A][m];
    const int run = std::max<int>(1, enc(p, m).t);
    for (int i = 0; i < run && p < l; ++i)
      encoding[size_t(p++)] = encchr[m];
    current = m;
  }
  if (ok)
    *ok = true;
  return encoding;
}

}  // namespace

// ---------------------------------------------------------------------------------------

namespace {

DataMatrixSymbol encodeSymbol(int W, int H, const char *modes, int length, const uint8_t *data) {
  DataMatrixSymbol out;
  char text[96];
  try {
    if (length < 0 || (length > 0 && data == nullptr)) {
      out.error = "No data";
      return out;
    }
    if (modes && int(std::strlen(modes)) < length) {
      out.error = "Encoding string too short";
      return out;
    }
    std::vector<uint8_t> binary(3000, 0);
    const DataMatrixSize *size = nullptr;
    std::string encoding;
    std::string error;
    int used = 0;

    if (W) {
      for (const DataMatrixSize &row : ecc200matrix)
        if (row.width == W && row.height == H)
          size = &row;
      if (!size) {
        std::snprintf(text, sizeof text, "Invalid size %dx%d", W, H);
        out.error = text;
        return out;
      }
      if (modes) {
        encoding = std::string(modes, size_t(length));
      } else {
        int len = 0;
        bool made = false;
        encoding = encmake(length, data, &len, true, &made);
        if (made && !encoding.empty() && len != size->dataCodewords)
          encoding = encmake(length, data, &len, false, &made);
        if (!made || len > size->dataCodewords) {
          std::snprintf(text, sizeof text, "Cannot make barcode fit %dx%d", W, H);
          out.error = text;
          return out;
        }
      }
    } else {
      if (modes) {
        encoding = std::string(modes, size_t(length));
      } else {
        bool made = false;
        encoding = encmake(length, data, nullptr, false, &made);
        if (!made) {
          out.error = "Cannot find suitable size, barcode too long";
          return out;
        }
      }
      for (const DataMatrixSize &row : ecc200matrix) {
        std::string ignored;
        if (ecc200encode(binary.data(), row.dataCodewords, data, length, encoding.c_str(), nullptr, ignored)) {
          size = &row;
          break;
        }
        if (!ignored.empty() && ignored != "Barcode too long") {
          out.error = ignored;  // a character the forced mode cannot hold
          return out;
        }
      }
      if (!size) {
        out.error = "Cannot find suitable size, barcode too long";
        return out;
      }
      W = size->width;
      H = size->height;
    }

    std::fill(binary.begin(), binary.end(), 0);
    if (!ecc200encode(binary.data(), size->dataCodewords, data, length, encoding.c_str(), &used, error)) {
      if (error == "Barcode too long")
        std::snprintf(text, sizeof text, "Barcode too long for %dx%d", W, H);
      else
        std::snprintf(text, sizeof text, "%s", error.c_str());
      out.error = text;
      return out;
    }
    ecc200(binary.data(), size->dataCodewords, size->dataPerBlock, size->checkPerBlock);

    const int rh = size->regionHeight, rw = size->regionWidth;
    const int NR = H - 2 * (H / rh);
    const int NC = W - 2 * (W / rw);
    std::vector<int> places(size_t(NR) * size_t(NC));
    ecc200placement(places.data(), NR, NC);

    std::vector<uint8_t> grid(size_t(W) * size_t(H), 0);
    for (int y = 0; y < H; y += rh) {
      for (int x = 0; x < W; ++x)
        grid[size_t(y) * size_t(W) + size_t(x)] = 1;
      for (int x = 0; x < W; x += 2)
        grid[size_t(y + rh - 1) * size_t(W) + size_t(x)] = 1;
    }
    for (int x = 0; x < W; x += rw) {
      for (int y = 0; y < H; ++y)
        grid[size_t(y) * size_t(W) + size_t(x)] = 1;
      for (int y = 0; y < H; y += 2)
        grid[size_t(y) * size_t(W) + size_t(x + rw - 1)] = 1;
    }
    for (int r = 0; r < NR; ++r) {
      for (int c = 0; c < NC; ++c) {
        const int v = places[size_t(r) * size_t(NC) + size_t(c)];
        const bool dark = v == 1 || (v >= 8 && (binary[size_t(v / 8 - 1)] & (1 << (v % 8))));
        if (!dark)
          continue;
        const int y = NR - 1 - r;
        const int gy = 1 + y + 2 * (y / (rh - 2));
        const int gx = 1 + c + 2 * (c / (rw - 2));
        grid[size_t(gy) * size_t(W) + size_t(gx)] = 1;
      }
    }

    out.width = W;
    out.height = H;
    out.grid = std::move(grid);
    out.modes = std::move(encoding);
    out.usedCodewords = used;
    out.dataCapacity = size->dataCodewords;
    out.checkCodewords = blocksOf(*size) * size->checkPerBlock;
    return out;
  } catch (const std::bad_alloc &) {
    out = DataMatrixSymbol();
    out.error = "Not enough memory for the symbol";
    return out;
  }
}

}  // namespace

DataMatrixSymbol ecc200_encode(int W, int H, const char *modes, int length, const uint8_t *data) {
  DataMatrixSymbol out = encodeSymbol(W, H, modes, length, data);
  // The reason of a refusal goes to the program's log (standard error) as one line.
  if (!out.ok() && !out.error.empty())
    Log::write(QString::fromStdString(out.error));
  return out;
}
