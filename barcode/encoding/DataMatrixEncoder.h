#pragma once
// DataMatrix ECC 200 symbol encoder: chooses the encodation modes (ASCII, C40, Text,
// X12, EDIFACT, Base 256) or follows mode letters given by the caller, picks the symbol
// size (or checks a given one), pads, adds the Reed-Solomon check codewords and places
// everything in the module grid with its finder and clock patterns.
//
// Free functions without shared state: callable from any thread. A failure (data too
// long, a size that does not exist, a character a forced mode cannot hold, memory that
// cannot be had) gives a result without a grid and a one-line reason, which
// ecc200_encode also writes as one line to the program's log (standard error).

#include <cstdint>
#include <string>
#include <vector>

// One row of the symbol size table.
struct DataMatrixSize {
  int height;        // modules
  int width;         // modules
  int regionHeight;  // one data region with its finder and clock border
  int regionWidth;
  int dataCodewords;
  int dataPerBlock;
  int checkPerBlock;
};

// Every ECC 200 size, ordered by data capacity (the automatic size choice takes the
// first that fits); 24 square and 6 rectangular sizes.
extern const DataMatrixSize ecc200matrix[30];
constexpr int DataMatrixSizeCount = 30;

// The encoded symbol.
struct DataMatrixSymbol {
  int width = 0;
  int height = 0;
  // width x height bytes, 1 dark and 0 light, row by row from the bottom row of the
  // symbol, each row from left to right.
  std::vector<uint8_t> grid;
  std::string modes;      // one mode letter per data byte, as used
  int usedCodewords = 0;  // codewords the data took before the final unlatch and padding
  int dataCapacity = 0;   // data codewords of the size
  int checkCodewords = 0; // check codewords of the size in all
  std::string error;      // why there is no symbol; empty on success

  bool ok() const { return !grid.empty(); }
  // Module at column x, row y counted from the top.
  bool dark(int x, int y) const { return grid[size_t(height - 1 - y) * size_t(width) + size_t(x)] != 0; }
};

// Encodes `length` bytes of `data`. `width` and `height` 0 choose the smallest size that
// holds the data; otherwise they must name a size of the table. `modes` null chooses the
// encodation; otherwise one letter per data byte (A ASCII, C C40, T Text, X X12,
// E EDIFACT, B Base 256; either case) forces it.
DataMatrixSymbol ecc200_encode(int width, int height, const char *modes, int length, const uint8_t *data);

// The mode chooser: one letter per data byte for the cheapest encodation, or an empty
// result with `ok` false when the data are longer than any symbol holds (3116 bytes).
// `reportedLength` receives the codewords of that encodation. With `exact`, the costs
// assume that the data end exactly at the end of the symbol.
std::string encmake(int length, const uint8_t *data, int *reportedLength, bool exact, bool *ok = nullptr);

// Codewords of the data in the given modes, padded to `capacity`. False (with a reason
// in `error`) when the data do not fit or a mode cannot hold a character.
bool ecc200encode(uint8_t *codewords, int capacity, const uint8_t *data, int length, const char *modes,
                  int *usedCodewords, std::string &error);

// Appends the interleaved Reed-Solomon check codewords behind `capacity` data codewords.
void ecc200(uint8_t *codewords, int capacity, int dataPerBlock, int checkPerBlock);

// Fills the mapping matrix (rows x columns cells): 0 never, 1 a fixed dark module,
// otherwise codeword number (from 1) x 8 + bit number.
void ecc200placement(int *matrix, int rows, int columns);
