#pragma once
// QR Code (Model 2) symbol encoder: turns a string of bytes into the module matrix of a
// symbol of version 1 to 40 at error correction level L, M, Q or H. The source is split
// into numeric, alphanumeric, 8-bit byte and Kanji segments; the version and the mask
// are chosen automatically or given by the caller.
//
// The encoder keeps all its state in the fixed-size arrays below and allocates nothing
// while encoding, so one encoder per thread (or per symbol) can run anywhere. The
// object is large (about 50 KB): make it on the heap or keep one per worker.

#include <cstdint>

class QRSymbolEncoder {
public:
  static constexpr int MaxModules = 177;
  static constexpr int MaxDataCodeWords = 2956;
  static constexpr int MaxAllCodeWords = 3706;
  static constexpr int MaxRSBlock = 153;
  static constexpr int MaxDataBits = MaxDataCodeWords * 8;

  // Encodes `ncSource` bytes of `lpsSource` (a value below 1 means up to the first zero
  // byte) at level `nLevel` (0 L, 1 M, 2 Q, 3 H). `nVersion` 0 chooses the smallest
  // version that holds the data; a given version is used as it is, or, when it is too
  // small, a larger one when `bAutoExtent` is set. `nMaskingNo` -1 chooses the mask by
  // penalty score. Returns true when a symbol was built; afterwards `m_nVersion`,
  // `m_nSymbleSize`, `m_nMaskingNo` and `m_byModuleData` (1 dark, 0 light, [x][y])
  // describe it. False for an empty source, bad arguments, or data that no allowed
  // version can hold; the matrix is then not valid.
  bool EncodeData(int64_t nLevel, int64_t nVersion, bool bAutoExtent, int64_t nMaskingNo, const char *lpsSource,
                  int64_t ncSource);

  // The one mode that describes a whole text for a capacity check: 2 (8-bit byte) if any
  // byte needs byte mode, else 3 (Kanji) if it holds a Kanji pair, else 1 (alphanumeric)
  // if it holds a non-digit alphanumeric character, else 0 (numeric); empty text gives 2.
  static int64_t Get_Encoding_Mode(const char *bytes, int64_t ncLength);
  // Walks the text while every character's mode equals `byte_mode`; returns that mode
  // when the text ends (0 for an empty text) and 2 at the first character of another mode.
  static int64_t Get_Encoding_Mode_Test(const char *bytes, int64_t ncLength, int64_t byte_mode);

  // Fields, as the front end reads them.
  int64_t m_nLevel = 0;
  int64_t m_nVersion = 0;
  int64_t m_nVersion_pass = 1;
  int64_t m_nMaskingNo = -1;
  int64_t m_nSymbleSize = 0;
  uint8_t m_byModuleData[MaxModules][MaxModules];
  int64_t m_ncDataCodeWordBit = 0;
  uint8_t m_byDataCodeWord[MaxDataCodeWords];
  int64_t m_ncDataBlock = 0;
  uint8_t m_byBlockMode[MaxDataCodeWords];
  int64_t m_nBlockLength[MaxDataCodeWords];
  int64_t m_ncAllCodeWord = 0;
  uint8_t m_byAllCodeWord[MaxAllCodeWords];
  uint8_t m_byRSWork[MaxRSBlock];

  // Segment modes.
  enum : uint8_t { ModeNumeral = 0, ModeAlphabet = 1, Mode8Bit = 2, ModeKanji = 3 };

  // Penalty score of the matrix as it stands (dark: byte AND 0x11 non-zero), by which
  // the automatic mask choice takes the lowest.
  int64_t CountPenalty() const;

  // Total codewords and data codewords of a version (1-40) at a level (0-3).
  static int TotalCodeWords(int version);
  static int DataCodeWords(int version, int level);

private:
  bool EncodeSourceData(const uint8_t *source, int64_t length, int nVerGroup);
  int GetEncodeVersion(int nVersion, const uint8_t *source, int64_t length);
  int64_t GetBitLength(uint8_t mode, int64_t ncData, int nVerGroup) const;
  int64_t SetBitStream(int64_t nIndex, uint16_t wData, int ncData);
  void GetRSCodeWord(int ncDataCodeWord, int ncRSCodeWord);
  void FormatModule();
  void SetFunctionModule();
  void SetFinderPattern(int x, int y);
  void SetAlignmentPattern(int x, int y);
  void SetVersionPattern();
  void SetCodeWordPattern();
  void SetMaskingPattern(int nPatternNo);
  void SetFormatInfoPattern(int nPatternNo);
  void AddSegmentChar(uint8_t mode, int bytes);
  void RemoveSegment(int64_t index);

  bool m_bUseKanji = false;  // set per source: Kanji pairs are taken only from Shift-JIS text
  bool m_bUtf8 = false;      // set per source: non-ASCII UTF-8, marked as such in the symbol
};
