#pragma once
// The codeword patterns of PDF417 (ISO/IEC 15438): for each of the three clusters a row
// can use (the standard's clusters 0, 3 and 6, for rows r with r mod 3 = 0, 1, 2) the
// 17-module bar-space pattern of every codeword 0-928, as a 17-bit number read from the
// most significant bit, 1 a bar. Every pattern begins with a bar and ends with a space.

#include <cstdint>

constexpr int PDF417_CODEWORD_VALUES = 929;

// CLUSTERS[r mod 3][codeword]: the pattern of `codeword` in row r.
extern const uint32_t CLUSTERS[3][PDF417_CODEWORD_VALUES];
