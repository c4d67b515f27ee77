#pragma once
// Code 128 in code set A, B or C, or chosen from the content. checkDigit holds the
// check symbol's value (0 to 102), not a character.

#include "barcode/encoding/BRCBarcode.h"

#include <vector>

class BRCCode128Barcode : public BRCBarcode {
  BRC_BARCODE_CLASS(BRCCode128Barcode)
  enum { CodeSetA = 0, CodeSetB = 1, CodeSetC = 2, CodeSetAutomatic = 3 };

  // Set the code set (setCodeSet) before the initializer; it replaces the automatic
  // choice by the chosen set.
  bool initWithContent_printsCaption(const QString &content, bool printsCaption) override;
  int codeSet() const { return m_codeSet; }
  void setCodeSet(int codeSet) { m_codeSet = codeSet; }

  void generateChecksum() override;
  QString initiator() const override;
  QString terminator() const override { return QStringLiteral("1100011101011"); }
  // The symbol of one character in the current code set; in code set A or B a
  // character only the other set has is preceded by the shift symbol; in code set C a
  // character is read in code set B after the CODE B symbol.
  QString _encodeChar(char c) const override;
  bool _canEncodeChar(char c, int set) const;
  // The symbol of a character in code set A or B (code set C: the code set A table).
  QString _encodeChar_withSet(char c, int set) const;
  int _bestCodeSetForContent() const;
  // What precedes a character that code set `set` cannot take: in A and B the shift
  // symbol (the next character is read in the other of the two), in C the CODE B
  // symbol (the rest is read in code set B).
  QString _shiftCharacterForSet(int set) const;
  // The symbol of a text of two digits; empty for anything else.
  QString _encodeNumberPair(const QString &pair) const;
  // The value of a character in the current code set, or -1.
  int _valueForChar(char c) const;
  // Data symbols and the check symbol.
  QString barcode() const override;
  // Every character has a value in code set A or B: whatever the code set, what it
  // lacks goes after a shift or a change of set.
  bool isContentValid() const override;

  // The symbol of a value 0 to 106 (103 to 105 the starts, 106 the stop); empty otherwise.
  static QString symbolPattern(int value);

protected:
  void copyStateInto(BRCBarcode &copy) const override;

private:
  // The values of the data symbols (start not included).
  std::vector<int> dataValues() const;

  int m_codeSet = CodeSetA;
};
