#pragma once
// The numeric symbologies: Interleaved and Industrial 2 of 5, Modified Plessey (also
// with hexadecimal digits), and the postal POSTNET and PLANET codes.

#include "barcode/encoding/BRCBarcode.h"

class BRCInterleavedTwoOfFiveBarcode : public BRCBarcode {
  BRC_BARCODE_CLASS(BRCInterleavedTwoOfFiveBarcode)
  // Digit pairs, the first in the bars and the second in the spaces; odd-length
  // content is drawn with a leading "0".
  QString barcode() const override;
  QString initiator() const override { return QStringLiteral("1010"); }
  QString terminator() const override { return QStringLiteral("11101"); }
  // The modulo-10 check digit (weights 3, 1 from the right) into checkDigit.
  void generateChecksum() override;
  // Digits "0" to "9" only; empty content is valid.
  bool isContentValid() const override;
  // true for a narrow element `barNumber` (0 to 4) of `digit`, false for a wide one.
  bool _getBarForDigit(char digit, int barNumber) const;
};

class BRCIndustrialTwoOfFiveBarcode : public BRCInterleavedTwoOfFiveBarcode {
  BRC_BARCODE_CLASS(BRCIndustrialTwoOfFiveBarcode)
  // One digit after the other, the information in the bars only: five bars per digit,
  // two of them wide (three modules), and a one-module space after every bar.
  QString barcode() const override;
  // Bars wide, wide, narrow, each followed by a narrow space.
  QString initiator() const override { return QStringLiteral("1110" "1110" "10"); }
  // Bars wide, narrow, wide with narrow spaces between them.
  QString terminator() const override { return QStringLiteral("1110" "10" "111"); }
};

class BRCModifiedPlesseyBarcode : public BRCBarcode {
  BRC_BARCODE_CLASS(BRCModifiedPlesseyBarcode)
  // Upper-cases the content and computes the check digit.
  bool initWithContent_printsCaption(const QString &content, bool printsCaption) override;
  // Four bits, most significant first: a 1 bit is a wide bar and a narrow space
  // ("110"), a 0 bit a narrow bar and a wide space ("100").
  QString _encodeChar(char c) const override;
  // A wide bar and a narrow space.
  QString initiator() const override { return QStringLiteral("110"); }
  // A narrow bar, a wide space and a narrow bar.
  QString terminator() const override { return QStringLiteral("1001"); }
  // The modulo-10 check digit into checkDigit.
  void generateChecksum() override;
};

// The hexadecimal variant takes the digits "A" to "F" of classic Plessey as well: they
// are the values 10 to 15, drawn like the decimal digits as four bits, most
// significant first (A is 1, 0, 1, 0: "110" "100" "110" "100"). The check digit stays
// the decimal modulo-10 one.
class BRCModifiedPlesseyHexBarcode : public BRCModifiedPlesseyBarcode {
  BRC_BARCODE_CLASS(BRCModifiedPlesseyHexBarcode)
  QString _encodeChar(char c) const override;
};

class BRCPostnetBarcode : public BRCBarcode {
  BRC_BARCODE_CLASS(BRCPostnetBarcode)
  bool initWithContent_printsCaption(const QString &content, bool printsCaption) override;
  QString initiator() const override { return QStringLiteral("100"); }
  QString terminator() const override { return QStringLiteral("1"); }
  // Five one-module bars at a pitch of three modules.
  QString _encodeChar(char c) const override;
  // The height in points of the bar at module `index`.
  float barTop(int index) const override;
  void generateChecksum() override;
  // All digits, 5, 9 or 11 of them.
  bool isContentValid() const override;
  // Height in inches of bar `bar` (1 to 5) of `digit`; 0 for anything else.
  virtual float _heightForDigit(char digit, int bar) const;
};

class BRCPlanetBarcode : public BRCPostnetBarcode {
  BRC_BARCODE_CLASS(BRCPlanetBarcode)
  // POSTNET's heights with tall and short exchanged.
  float _heightForDigit(char digit, int bar) const override;
  // All digits, 11 or 13 of them (62 or 72 bars with the check digit and the frame).
  bool isContentValid() const override;
};
