#pragma once
// Code 39, its full-ASCII extension, and Codabar: symbologies that concatenate one
// pattern per character, each followed by a one-module gap.

#include "barcode/encoding/BRCBarcode.h"

class BRCCode39Barcode : public BRCBarcode {
  BRC_BARCODE_CLASS(BRCCode39Barcode)
  // Upper-cases the content; no check character.
  bool initWithContent_printsCaption(const QString &content, bool printsCaption) override;
  QString _encodeChar(char c) const override;
  QString initiator() const override;
  QString terminator() const override;
  bool isContentValid() const override;
  // The modulo-43 check character into checkDigit.
  void generateChecksum() override;
};

class BRCExtendedCode39Barcode : public BRCCode39Barcode {
  BRC_BARCODE_CLASS(BRCExtendedCode39Barcode)
  // Keeps the content's case.
  bool initWithContent_printsCaption(const QString &content, bool printsCaption) override;
  // Every ASCII character: its own Code 39 pattern, or the pair of the full-ASCII table.
  QString _encodeChar(char c) const override;
  // "*" is an ordinary character here (it is sent as "/J").
  bool isContentValid() const override { return BRCBarcode::isContentValid(); }
};

class BRCCodabarBarcode : public BRCBarcode {
  BRC_BARCODE_CLASS(BRCCodabarBarcode)
  // The content carries its own start and stop letters (A to D).
  QString _encodeChar(char c) const override;
};
