#pragma once
// PDF417 symbol encoder: turns a byte string into a PDF417 symbol as a 1-bit bitmap with
// one pixel per module and one pixel row per codeword row.
//
// The text is cut into text, numeric and byte stretches whose compaction gives the
// codewords; then the error correction level (chosen from the count, or the caller's,
// raised to fill spare room), the shape (columns from the aspect ratio, or fixed
// columns, rows or both), the padding and the error correction codewords. The rows are
// painted from those codewords through the standard's codeword pattern tables
// (PDF417Clusters.h), so the block describes exactly the symbol painted. A caller may
// also hand in a list of codewords of its own, which is shaped and painted the same way.
//
// Plain procedural code: all state in the caller's pdf417param, results in its `error`
// field, no exceptions; the only allocation that outlives a call is the bitmap, freed
// with pdf417free. Any thread.

#include <cstdint>

// Option bits of pdf417param::options.
enum : int32_t {
  PDF417_FIXED_RECTANGLE = 1,  // take codeColumns x codeRows unchanged (grown when the data need more)
  PDF417_FIXED_COLUMNS = 2,
  PDF417_FIXED_ROWS = 4,
  PDF417_USE_ERROR_LEVEL = 16, // use errorLevel (as the least level); otherwise chosen from the data size
  PDF417_USE_RAW_CODEWORDS = 64,  // codewords and lenCodewords hold the data, the length descriptor first
  PDF417_INVERT_BITMAP = 128,  // bars 0, spaces 1
  PDF417_UTF8_TEXT = 256,      // the text is UTF-8: marked so in the symbol (ECI 26) when it holds non-ASCII bytes
};

// Results in pdf417param::error.
enum : int32_t {
  PDF417_ERROR_SUCCESS = 0,
  PDF417_ERROR_TEXT_TOO_BIG = 1,
  PDF417_ERROR_INVALID_PARAMS = 2,
  PDF417_ERROR_NOT_MADE = 3,  // no memory for the symbol
};

constexpr int PDF417_MAX_CODEWORDS = 928;
constexpr int PDF417_MAX_DATA_CODEWORDS = 926;
constexpr int PDF417_MAX_TEXT_BYTES = 5420;

struct pdf417param {
  uint8_t *outBits = nullptr;  // rows top to bottom, each filled to whole bytes, MSB leftmost; set bit = bar
  int32_t lenBits = 0;         // bytes in outBits
  int32_t bitColumns = 0;      // modules per row
  int32_t codeRows = 0;        // 3 to 90
  int32_t codeColumns = 0;     // data columns, 1 to 30
  int32_t codewords[PDF417_MAX_CODEWORDS] = {};  // entry 0: the symbol length descriptor
  int32_t lenCodewords = 0;
  int32_t errorLevel = 0;      // 0 to 8: 2 x 2^level error correction codewords
  const char *text = "";
  int32_t lenText = -1;        // negative: the text ends at its zero byte
  int32_t options = 0;
  float aspectRatio = 0.5f;    // wanted height / width of the symbol, for the automatic columns
  float yHeight = 3.0f;        // row height in module widths, for the same formula
  int32_t error = 0;
};

// Resets a block: no options, no bitmap, no error, the empty text, row height 3, aspect
// ratio 0.5. The error level, rows and columns stay as they are. A bitmap the block held
// is not freed: call pdf417free first.
void pdf417init(pdf417param *p);
// Encodes the block's text, or its raw codewords (PDF417_USE_RAW_CODEWORDS: 1 to 926
// codewords of 0-928 whose first, the length descriptor, is their count; otherwise
// PDF417_ERROR_INVALID_PARAMS). On return `error` tells the result; on success the
// bitmap, its size, the rows and columns, the level used and the codewords (data,
// padding and error correction) describe the symbol painted. An empty text makes a
// symbol of padding alone.
void paintCode(pdf417param *p);
// Frees the bitmap, if any, and clears it.
void pdf417free(pdf417param *p);

// Inner steps, open for tests.
// The largest level L in 1-8 with 2^(L+1) <= count, else 0.
int maxPossibleErrorLevel(int count);
// The codewords of the text from position 1 on (the segments' latches and compaction);
// returns the position after the last one, or 0 with `error` set to 1 when they would
// pass 926 codewords. `utf8Marked` starts the list with the ECI designator for UTF-8.
int assemble(const uint8_t *text, int length, bool utf8Marked, int32_t *codewords, int32_t &error);
// The error correction codewords of level L (outside 0-8 taken as 0) for the first
// `count` codewords, written behind them.
void calculateErrorCorrection(int32_t *codewords, int count, int level);
