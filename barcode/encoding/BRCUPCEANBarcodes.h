#pragma once
// The retail symbologies EAN-13, EAN-8, UPC-A and UPC-E. The content holds the digits
// without the check digit (EAN-13 12, EAN-8 7, UPC-A 11, UPC-E the number system digit
// and six digits); the check digit is kept as a digit character.

#include "barcode/encoding/BRCBarcode.h"

// Right-hand patterns from left-hand ones: every '0' becomes '1', anything else '0'.
QString swapHandedness(const QString &pattern);
// Even-parity patterns from left-hand ones: swapHandedness, then reversed.
QString swapParity(const QString &pattern);

class BRCAbstractUPCEANBarcode : public BRCBarcode {
public:
  // Module count × barWidth × 1.2 (the fifth for the two quiet zones); 0 when empty.
  void calculateWidth() override;
  float firstBar() const override { return m_width * 0.1f; }
  float lastBar() const override { return m_width * 0.9f - m_barWidth; }
  // The left-hand odd-parity pattern of a digit.
  QString _encodeChar(char c) const override;
  QString initiator() const override { return QStringLiteral("101"); }
  QString terminator() const override { return QStringLiteral("101"); }
  int digitsToRight() const override { return 1; }
  int digitsToLeft() const override { return 1; }
  // Guard bars reach half a caption line further down than the data bars.
  float barBottom(int index) const override;
  // The UPC-A check digit of exactly 11 content characters.
  void generateChecksum() override;
  QString rightCaption() const override;

protected:
  // Modulo-10 check digit of `digits` (weights 3, 1, 3 ... from the right); -1 when a
  // character is not a digit.
  static signed char moduloTenCheck(const QString &digits);
  static bool allDigits(const QString &text);
  // Whether module `index` belongs to a guard pattern.
  virtual bool isGuardModule(int index) const;
};

class BRCEAN13Barcode : public BRCAbstractUPCEANBarcode {
  BRC_BARCODE_CLASS(BRCEAN13Barcode)
  bool initWithContent_printsCaption(const QString &content, bool printsCaption) override;
  QString barcode() const override;
  int digitsToRight() const override { return 0; }
  QString rightCaption() const override { return QString(); }
  QString caption() const override;
  void generateChecksum() override;
  bool isContentValid() const override;
  // true: even parity (G patterns) for the digit at `index` (0 to 5 of digits 2 to 7).
  bool _parityForSystemDigit(char systemDigit, int index) const;
};

class BRCEAN8Barcode : public BRCEAN13Barcode {
  BRC_BARCODE_CLASS(BRCEAN8Barcode)
  bool initWithContent_printsCaption(const QString &content, bool printsCaption) override;
  QString barcode() const override;
  QString caption() const override;
  bool isContentValid() const override;
  void generateChecksum() override;
  float barBottom(int index) const override;
  int digitsToRight() const override { return 0; }
  int digitsToLeft() const override { return 0; }

protected:
  bool isGuardModule(int index) const override;
};

class BRCUPCABarcode : public BRCAbstractUPCEANBarcode {
  BRC_BARCODE_CLASS(BRCUPCABarcode)
  bool initWithContent_printsCaption(const QString &content, bool printsCaption) override;
  QString barcode() const override;
  void generateChecksum() override;
  QString caption() const override;
  bool isContentValid() const override;
};

class BRCUPCEBarcode : public BRCUPCABarcode {
  BRC_BARCODE_CLASS(BRCUPCEBarcode)
  // 8 digits: the last is the check digit and is verified by isContentValid; 7 digits:
  // the check digit is computed; 11 digits (a UPC-A number without check digit): taken
  // in its zero-suppressed form when it has one.
  bool initWithContent_printsCaption(const QString &content, bool printsCaption) override;
  QString barcode() const override;
  float barBottom(int index) const override;
  bool isContentValid() const override;
  QString terminator() const override { return QStringLiteral("010101"); }
  QString caption() const override;
  void generateChecksum() override;
  // true: even parity for data digit `position` (1 to 6).
  bool parityForDigit(int position) const;
  // The six UPC-E data digits of a 12-digit UPC-A text, or empty when the number has
  // no zero-suppressed form.
  static QString UPCAToUPCE(const QString &upca);
  // The 11 UPC-A digits (without check digit) of a number system digit and six UPC-E
  // data digits; empty for anything else.
  static QString UPCEToUPCA(const QString &upce);

protected:
  bool isGuardModule(int index) const override;
};
