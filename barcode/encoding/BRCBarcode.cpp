#include "barcode/encoding/BRCBarcode.h"

#include <QFontMetricsF>

bool BRCBarcode::initWithContent(const QString &content) {
  return initWithContent_printsCaption(content, true);
}

bool BRCBarcode::initWithContent_printsCaption(const QString &content, bool printsCaption) {
  return initWithContent_printsCaption_andBarWidth_andHeight_andFontSize_andCheckDigit(content, printsCaption, 0.936f,
                                                                                        36.0f, 6.0f, -1);
}

bool BRCBarcode::initWithContent_printsCaption_andBarWidth_andHeight_andFontSize_andCheckDigit(
    const QString &content, bool printsCaption, float barWidth, float height, float fontSize, signed char checkDigit) {
  if (content.isNull())
    return false;
  m_content = content;
  m_printsCaption = printsCaption;
  m_barWidth = barWidth;
  m_height = height;
  m_captionFontSize = fontSize;
  // The check digit first: some symbologies draw it, so the width depends on it.
  m_checkDigit = checkDigit;
  calculateWidth();
  return true;
}

void BRCBarcode::calculateWidth() {
  m_width = float(completeBarcode().size()) * m_barWidth;
}

bool BRCBarcode::asciiContent(const QString &text, QByteArray &out) {
  out.clear();
  out.reserve(text.size());
  for (const QChar ch : text) {
    if (ch.unicode() > 127)
      return false;
    out.append(char(ch.unicode()));
  }
  return true;
}

bool BRCBarcode::isContentValid() const {
  QByteArray bytes;
  if (!asciiContent(m_content, bytes))
    return false;
  for (const char c : bytes)
    if (_encodeChar(c).isEmpty())
      return false;
  return true;
}

QString BRCBarcode::_encodeChar(char) const {
  return QStringLiteral("1010");
}

QString BRCBarcode::barcode() const {
  QByteArray bytes;
  if (!asciiContent(m_content, bytes))
    return QString();
  QString modules;
  for (const char c : bytes)
    modules += _encodeChar(c);
  if (m_checkDigit != -1)
    modules += _encodeChar(char(m_checkDigit));
  return modules;
}

QString BRCBarcode::completeBarcode() const {
  return initiator() + barcode() + terminator();
}

float BRCBarcode::textLineHeight(const FontSpec &font) {
  const QFontMetricsF metrics(font.toQFont());
  const float capHeight = float(metrics.capHeight()) / 72.0f;
  return capHeight + 0.35f * capHeight;
}

void BRCBarcode::setCaptionFontSize(float size) {
  m_captionFontSize = size;
  m_captionHeight = textLineHeight(m_designer.value_font);
}

float BRCBarcode::textWidth(const FontSpec &font, const QString &text) {
  QFont unkerned = font.toQFont();
  unkerned.setKerning(false);
  return float(QFontMetricsF(unkerned).horizontalAdvance(text));
}

void BRCBarcode::setHeaderFontSize(float size) {
  m_headerFontSize = size;
  m_headerHeight = textLineHeight(m_designer.header_font);
  m_headerWidth = textWidth(m_designer.header_font, header());
}

void BRCBarcode::setFooterFontSize(float size) {
  m_footerFontSize = size;
  m_footerHeight = textLineHeight(m_designer.footer_font);
  m_footerWidth = textWidth(m_designer.footer_font, footer());
}

QString BRCBarcode::leftCaption() const {
  return m_content.left(qMax(0, digitsToLeft()));
}

QString BRCBarcode::rightCaption() const {
  return m_content.right(qMax(0, digitsToRight()));
}

QString BRCBarcode::caption() const {
  const int left = qMax(0, digitsToLeft());
  const int right = qMax(0, digitsToRight());
  if (left == 0 && right == 0)
    return m_content;
  const int middle = int(m_content.size()) - left - right;
  return middle > 0 ? m_content.mid(left, middle) : QString();
}

float BRCBarcode::barBottom(int) const {
  float bottom = 0.0f;
  if (printsCaption())
    bottom += m_captionHeight * 72.0f;
  if (printsHeader())
    bottom += m_headerHeight * 72.0f;
  if (printsFooter())
    bottom += m_footerHeight * 72.0f;
  return bottom;
}

float BRCBarcode::barTop(int) const {
  float top = m_height;
  if (printsCaption())
    top -= m_captionHeight * 72.0f + m_designer.value_margin;
  if (printsHeader())
    top -= m_headerHeight * 72.0f + m_designer.header_margin;
  if (printsFooter())
    top -= m_footerHeight * 72.0f + m_designer.footer_margin;
  return top - 2.0f * m_designer.TB_margin;
}

QString BRCBarcode::description() const {
  const QChar check = m_checkDigit == -1 ? QChar(0xFFFF) : QChar(uchar(m_checkDigit));
  return QStringLiteral("\n\tBarcode Class: %1\n\tContent: %2\n\tCheck Digit:%3\n\tWidth:%4\n\tHeight:%5\n\tBar "
                        "Width:%6\n\tCaption Font Size:%7\n\tCaption Height:%8")
      .arg(QString::fromLatin1(className()), m_content, m_checkDigit == -1 ? QString() : QString(check))
      .arg(double(m_width), 0, 'f', 6)
      .arg(double(m_height), 0, 'f', 6)
      .arg(double(m_barWidth), 0, 'f', 6)
      .arg(double(m_captionFontSize), 0, 'f', 6)
      .arg(double(m_captionHeight), 0, 'f', 6);
}

std::unique_ptr<BRCBarcode> BRCBarcode::copyWithZone() const {
  std::unique_ptr<BRCBarcode> copy = newInstance();
  copy->m_designer = m_designer;
  copyStateInto(*copy);
  if (!copy->initWithContent_printsCaption_andBarWidth_andHeight_andFontSize_andCheckDigit(
          m_content, m_printsCaption, m_barWidth, m_height, m_captionFontSize, m_checkDigit))
    return nullptr;
  copy->calculateWidth();
  return copy;
}

void BRCBarcode::encodeWithCoder(QDataStream &stream) const {
  stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
  stream << m_content << qint8(m_printsCaption ? 1 : 0) << m_barWidth << m_width << m_height << m_captionFontSize
         << m_captionHeight << qint8(m_checkDigit);
}

bool BRCBarcode::initWithCoder(QDataStream &stream) {
  stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
  QString content;
  qint8 printsCaption = 0;
  qint8 checkDigit = 0;
  float barWidth = 0, width = 0, height = 0, fontSize = 0, captionHeight = 0;
  stream >> content >> printsCaption >> barWidth >> width >> height >> fontSize >> captionHeight >> checkDigit;
  if (stream.status() != QDataStream::Ok)
    return false;
  setContent(content);
  m_printsCaption = printsCaption != 0;
  m_barWidth = barWidth;
  m_width = width;
  m_height = height;
  m_captionFontSize = fontSize;
  m_captionHeight = captionHeight;
  m_checkDigit = checkDigit;
  return true;
}
