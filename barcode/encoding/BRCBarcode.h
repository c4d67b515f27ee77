#pragma once
// The model of one linear barcode: the text to encode, its check character and the
// geometry it is drawn with. Each symbology is a subclass that supplies the patterns
// of its characters, its start and stop patterns, its check character and its
// validity rule.
//
// The model produces a module string: one character per module, '1' for a bar module
// and '0' for a space module; every module is `barWidth` points wide.
//
// Creation follows two steps: construct the symbology's class, then call one of its
// initializers; an initializer answers false (and the object must be dropped) when
// it is given no content (a null string). `makeBarcode` does both.
//
// An object is not shared between threads, but every operation may run on any thread:
// nothing here touches a window or global state.

#include "barcode/encoding/BarcodeDesignerSettings.h"

#include <QByteArray>
#include <QDataStream>
#include <QString>

#include <memory>

class BRCBarcode {
public:
  BRCBarcode() = default;
  virtual ~BRCBarcode() = default;
  BRCBarcode(const BRCBarcode &) = delete;
  BRCBarcode &operator=(const BRCBarcode &) = delete;

  // Initializers. `initWithContent` prints the caption; the designated one stores its
  // arguments and computes the width.
  bool initWithContent(const QString &content);
  virtual bool initWithContent_printsCaption(const QString &content, bool printsCaption);
  virtual bool initWithContent_printsCaption_andBarWidth_andHeight_andFontSize_andCheckDigit(
      const QString &content, bool printsCaption, float barWidth, float height, float fontSize, signed char checkDigit);

  // The designer's settings used by the text heights and bar heights.
  void setDesignerSettings(const BarcodeDesignerSettings &settings) { m_designer = settings; }
  const BarcodeDesignerSettings &designerSettings() const { return m_designer; }

  // Plain stores and loads; the setters do not recompute the width.
  void setFooter(const QString &footer) { m_footer = footer; }
  void setHeader(const QString &header) { m_header = header; }
  virtual void setContent(const QString &content) { m_content = content; }
  virtual void setHeight(float height) { m_height = height; }
  void setWidth(float width) { m_width = width; }
  void setCheckDigit(signed char checkDigit) { m_checkDigit = checkDigit; }
  virtual void setPrintsCaption(bool prints) { m_printsCaption = prints; }
  virtual void setPrintsHeader(bool prints) { m_printsHeader = prints; }
  virtual void setPrintsFooter(bool prints) { m_printsFooter = prints; }
  virtual void setBarWidth(float barWidth) { m_barWidth = barWidth; }
  const QString &content() const { return m_content; }
  float height() const { return m_height; }
  float width() const { return m_width; }
  signed char checkDigit() const { return m_checkDigit; }
  virtual bool printsCaption() const { return m_printsCaption; }
  virtual bool printsHeader() const { return m_printsHeader; }
  virtual bool printsFooter() const { return m_printsFooter; }
  float barWidth() const { return m_barWidth; }

  // width = modules of completeBarcode × barWidth.
  virtual void calculateWidth();
  virtual bool isSizeValid() const { return true; }
  // Computes the check character into checkDigit (nothing in the base class).
  virtual void generateChecksum() {}
  // Every content character has a pattern; content outside ASCII is never valid.
  virtual bool isContentValid() const;
  virtual QString initiator() const { return QString(); }
  virtual QString terminator() const { return QString(); }
  // The module string of one 8-bit character; empty when it cannot be encoded.
  virtual QString _encodeChar(char c) const;
  // The data characters and the check character (empty for content outside ASCII).
  virtual QString barcode() const;
  // initiator + barcode + terminator: what the drawing draws.
  QString completeBarcode() const;

  void setCaptionHeight(float h) { m_captionHeight = h; }
  void setHeaderHeight(float h) { m_headerHeight = h; }
  void setFooterHeight(float h) { m_footerHeight = h; }
  void setHeaderWidth(float w) { m_headerWidth = w; }
  void setFooterWidth(float w) { m_footerWidth = w; }
  float captionHeight() const { return m_captionHeight; }
  float headerHeight() const { return m_headerHeight; }
  float footerHeight() const { return m_footerHeight; }
  float headerWidth() const { return m_headerWidth; }
  float footerWidth() const { return m_footerWidth; }

  // Store the size and reserve 1.35 × the cap height of the designer's font (inches);
  // the header and footer setters also measure their stored text.
  void setCaptionFontSize(float size);
  void setHeaderFontSize(float size);
  void setFooterFontSize(float size);
  float caption_fontSize() const { return m_captionFontSize; }
  float header_fontSize() const { return m_headerFontSize; }
  float footer_fontSize() const { return m_footerFontSize; }

  virtual int digitsToLeft() const { return 0; }
  virtual int digitsToRight() const { return 0; }
  virtual QString leftCaption() const;
  virtual QString rightCaption() const;
  QString header() const { return m_header.isNull() ? QStringLiteral("") : m_header; }
  QString footer() const { return m_footer.isNull() ? QStringLiteral("") : m_footer; }
  virtual QString caption() const;

  // Heights in points above the bottom of the barcode image.
  virtual float barBottom(int index) const;
  virtual float barTop(int index) const;
  virtual float firstBar() const { return 0.0f; }
  virtual float lastBar() const { return m_width - m_barWidth; }

  QString description() const;
  bool isEqual(const BRCBarcode &other) const { return m_content == other.m_content; }
  // A new barcode of the same class from this one's content, caption flag, bar width,
  // height, caption font size and check digit.
  std::unique_ptr<BRCBarcode> copyWithZone() const;

  // Sequential archive: content, printsCaption, bar width, width, height, caption font
  // size, caption height, check digit. initWithCoder answers false on a damaged stream.
  void encodeWithCoder(QDataStream &stream) const;
  bool initWithCoder(QDataStream &stream);

  virtual const char *className() const = 0;

  // One line of text in `font`: its cap height × 1.35, in inches; and the width of
  // `text` laid out in `font` without kerning, in points. The drawing measures with
  // these too.
  static float textLineHeight(const FontSpec &font);
  static float textWidth(const FontSpec &font, const QString &text);

protected:
  // A fresh, uninitialized object of the same class (for copies).
  virtual std::unique_ptr<BRCBarcode> newInstance() const = 0;
  // Hands what a copy needs before its initializer runs (Code 128's code set).
  virtual void copyStateInto(BRCBarcode &) const {}
  // The content as 8-bit ASCII; false when a character lies outside ASCII.
  static bool asciiContent(const QString &text, QByteArray &out);


  signed char m_checkDigit = 0;
  float m_barWidth = 0.0f;
  QString m_content;
  QString m_header;
  QString m_footer;
  float m_height = 0.0f;
  float m_width = 0.0f;
  bool m_printsCaption = false;
  bool m_printsHeader = false;
  bool m_printsFooter = false;
  float m_captionFontSize = 0.0f;
  float m_headerFontSize = 0.0f;
  float m_footerFontSize = 0.0f;
  float m_captionHeight = 0.0f;
  float m_headerHeight = 0.0f;
  float m_footerHeight = 0.0f;
  float m_headerWidth = 0.0f;
  float m_footerWidth = 0.0f;
  BarcodeDesignerSettings m_designer;
};

// The boilerplate every concrete symbology class carries.
#define BRC_BARCODE_CLASS(Name)                                                                    \
public:                                                                                            \
  const char *className() const override { return #Name; }                                         \
                                                                                                   \
protected:                                                                                         \
  std::unique_ptr<BRCBarcode> newInstance() const override { return std::make_unique<Name>(); }    \
                                                                                                   \
public:

// Constructs a `T` and runs its initializer; null when there is no content.
template <class T>
std::unique_ptr<T> makeBarcode(const QString &content, bool printsCaption = true) {
  auto barcode = std::make_unique<T>();
  if (!barcode->initWithContent_printsCaption(content, printsCaption))
    return nullptr;
  return barcode;
}
