#pragma once
// The four-state postal symbologies of the Royal Mail (RM4SCC) and of Japan Post. Each
// bar is a full bar, an ascender, a descender or a tracker; barTop and barBottom give
// where a bar ends and starts, in points above the bars' base line. Both always print
// their caption, header and footer.

#include "barcode/encoding/BRCBarcode.h"

#include <cstdint>

// Bar kinds: bit value 2 the upper part (ascender), bit value 1 the lower part.
enum PostalBarKind : std::uint32_t { TrackerBar = 0, DescenderBar = 1, AscenderBar = 2, FullBar = 3 };

// Royal Mail: the four bar kinds of a character, first bar in bits 12 to 15; 0 for a
// character outside "0" to "9" and "A" to "Z".
std::uint32_t royalmail_characterDescriptor(char16_t c);
std::uint32_t royalmail_barDescriptor(std::uint32_t code, int position);
// Millimetres above the base line.
float royalmail_barTop(std::uint32_t kind);
float royalmail_barBottom(std::uint32_t kind);
std::uint32_t royalmail_collapseAscenders(std::uint32_t code);
std::uint32_t royalmail_collapseDescenders(std::uint32_t code);

// Japan Post: the three bar kinds of a character "-" to "?" (first bar in bits 8 to
// 11); 0 for anything else.
std::uint32_t japanpost_characterDescriptor(char16_t c);
std::uint32_t japanpost_barDescriptor(std::uint32_t code, int position, int barsPerCharacter);
// Millimetres above the base line for a barcode `height` points high.
float japanpost_barTop(std::uint32_t kind, float height);
float japanpost_barBottom(std::uint32_t kind, float height);

class BRCRoyalMailBarcode : public BRCBarcode {
  BRC_BARCODE_CLASS(BRCRoyalMailBarcode)
  // Content unchanged, 0.5 mm bars, 5.05 mm high; the check character is made here.
  bool initWithContent_printsCaption(const QString &content, bool printsCaption) override;
  bool printsCaption() const override { return true; }
  bool printsHeader() const override { return true; }
  bool printsFooter() const override { return true; }
  QString initiator() const override { return QStringLiteral("10"); }
  QString terminator() const override { return QStringLiteral("1"); }
  QString _encodeChar(char c) const override;
  // The kind of the bar at module `index`.
  std::uint32_t _barDescriptor(int index) const;
  float barTop(int index) const override;
  float barBottom(int index) const override;
  void generateChecksum() override;
};

class JapanPostBarcode : public BRCBarcode {
  BRC_BARCODE_CLASS(JapanPostBarcode)
  std::uint32_t _barDescriptor(int index) const;
  // The encoded form, always 20 characters once content is set.
  const QString &japanpostContents() const { return m_japanpostContents; }
  // Stores the content and a height of 8 to 11.5 points (10 otherwise); the other
  // arguments are not used.
  bool initWithContent_printsCaption_andBarWidth_andHeight_andFontSize_andCheckDigit(
      const QString &content, bool printsCaption, float barWidth, float height, float fontSize,
      signed char checkDigit) override;
  // Height 8.5 to 11.5 points; the bar width follows (height ÷ 6).
  void setHeight(float height) override;
  // Bar width 4/3 to 23/12 points; the height follows (6 × bar width).
  void setBarWidth(float barWidth) override;
  void generateChecksum() override;
  // Encodes the text; the content keeps what the caption shows.
  void setContent(const QString &content) override;
  // At least seven characters, the first seven digits.
  bool isContentValid() const override;
  QString barcode() const override;
  bool printsCaption() const override { return true; }
  bool printsHeader() const override { return true; }
  bool printsFooter() const override { return true; }
  QString initiator() const override { return QStringLiteral("1010"); }
  QString terminator() const override { return QStringLiteral("101"); }
  float barTop(int index) const override;
  float barBottom(int index) const override;
  QString _encodeChar(char c) const override;
  void calculateWidth() override;

private:
  QString m_japanpostContents;
};
