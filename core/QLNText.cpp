#include "core/QLNText.h"

#include "core/CardDrawing.h"
#include "core/CardObjectArchive.h"
#include "core/MainWindowServices.h"
#include "core/Utilities.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

const QString QLNTextUndoContentsKey = QStringLiteral("undoContents");
const QString QLNTextContentsKey = QStringLiteral("contents");

QLNGraphicPtr QLNText::copyWithZone() const {
  auto copy = std::make_shared<QLNText>();
  copyBaseFieldsTo(*copy);
  return copy;
}

QLNGraphicPtr QLNText::copyForRendering() const {
  return detachedCopy(*this, QLNGraphicPtr(new QLNText(*this)));
}

void QLNText::willChangeScriptingContents() {
  if (m_scriptingChanges++ > 0)
    return;
  changeValueForKey(QLNGraphicKeysForValuesToObserveForUndoKey,
                    [&] { _contentsBeingChangedByScripting = true; });
  willChangeValueForKey(QLNTextUndoContentsKey);
}

void QLNText::didChangeScriptingContents() {
  if (m_scriptingChanges == 0 || --m_scriptingChanges > 0)
    return;
  didChangeValueForKey(QLNTextUndoContentsKey);
  changeValueForKey(QLNGraphicKeysForValuesToObserveForUndoKey,
                    [&] { _contentsBeingChangedByScripting = false; });
}

QLNTextStoragePtr QLNText::scriptingContents() {
  willChangeScriptingContents();
  const std::weak_ptr<QLNGraphic> self = weak_from_this();
  QTimer::singleShot(0, QCoreApplication::instance(), [self] {
    if (auto graphic = self.lock())
      static_cast<QLNText *>(graphic.get())->didChangeScriptingContents();
  });
  return Text_contents();
}

void QLNText::setScriptingContents(const QVariant &value) {
  willChangeScriptingContents();
  QLNTextStoragePtr storage = Text_contents();
  if (value.metaType() == QMetaType::fromType<AttributedText>()) {
    *storage = value.value<AttributedText>();
  } else {
    replaceCharacters(*storage, value.toString());
  }
  didChangeScriptingContents();
}

void replaceCharacters(QLNTextStorage &storage, const QString &text) {
  TextRun run = storage.runs.isEmpty() ? TextRun() : storage.runs.first();
  storage.string = text;
  storage.runs.clear();
  if (!text.isEmpty()) {
    run.start = 0;
    run.length = text.size();
    storage.runs.append(run);
  }
}

QVariant QLNText::undoContents() { return QVariant::fromValue(*Text_contents()); }

void QLNText::setUndoContents(const QVariant &value) { setScriptingContents(value); }

PlistValue QLNText::properties() {
  PlistValue dict = QLNGraphic::properties();
  dict.insert(QLNTextContentsKey, PlistValue(archivedText(*Text_contents())));
  return dict;
}

QSet<QString> QLNText::keysForValuesToObserveForUndo() const {
  QSet<QString> keys = QLNGraphic::keysForValuesToObserveForUndo();
  if (_contentsBeingChangedByScripting)
    keys.insert(QLNTextUndoContentsKey);
  return keys;
}

std::optional<QString> QLNText::presentablePropertyNameForKey(const QString &key) const {
  if (key == QLNTextUndoContentsKey)
    return QCoreApplication::translate("UndoStrings", "Text");
  return QLNGraphic::presentablePropertyNameForKey(key);
}

QVariant QLNText::valueForKey(const QString &key) const {
  if (key == QLNTextUndoContentsKey)
    return const_cast<QLNText *>(this)->undoContents();
  return QLNGraphic::valueForKey(key);
}

bool QLNText::setValue(const QVariant &value, const QString &key) {
  if (key == QLNTextUndoContentsKey) {
    setUndoContents(value);
    return true;
  }
  return QLNGraphic::setValue(value, key);
}

// ---- Text layout -----------------------------------------------------------------------

namespace {

// The colour of the frame shown while the object is dragged out: the handle colour.
const QColor KnobColor(160, 160, 160);

// Text without a font of its own is set in the platform's default, 12-point Helvetica
// (drawn with its installed stand-in).
const FontSpec FallbackFont(QStringLiteral("Helvetica"), 12.0);

// Qt lays text out in 26.6 fixed point: widths far beyond any card are cut down to
// this so that a damaged bounds rectangle cannot overflow it.
constexpr double MaxLineWidth = 1.0e5;
// The same for the height laid out (lines below it are not laid out) and for kerning.
constexpr double MaxTextHeight = 1.0e5;
constexpr double MaxKerning = 1000.0;

// Card coordinates are points. Text is laid out in units of 1/TextScale point, with
// fonts sized in pixels of that unit, and drawn scaled back down. Pixel sizes are whole
// numbers, so the finer unit keeps fractional point sizes (14.5 points); and measuring
// in pixels keeps the layout the same on every device (screen, image, PDF) whatever
// its resolution, kerning included (Qt scales absolute letter spacing by the device's
// resolution in whole steps, which would lose it on a 72-dpi device).
constexpr double TextScale = 16.0;

QFont drawingFont(const FontSpec &fontSpec, double kerning) {
  QFont font = fontSpec.toQFont();
  const double points = font.pointSizeF() > 0.0 ? font.pointSizeF() : fontSpec.pointSize();
  font.setPixelSize(std::max(1, int(std::lround(points * TextScale))));
  // Unhinted metrics: the same line breaks at every zoom.
  font.setHintingPreference(QFont::PreferNoHinting);
  if (std::isfinite(kerning) && kerning != 0.0) {
    kerning = std::clamp(kerning, -MaxKerning, MaxKerning);
    font.setLetterSpacing(QFont::AbsoluteSpacing, kerning * TextScale);
  }
  return font;
}

QFont runFont(const TextRun *run) {
  FontSpec fontSpec = FallbackFont;
  if (run && run->font && !run->font->postScriptName.isEmpty())
    fontSpec = FontSpec(run->font->postScriptName, run->font->pointSize);
  return drawingFont(fontSpec, run && run->kerning ? *run->kerning : 0.0);
}

double usableLineWidth(double width) {
  if (!(width > 0.0))
    return 0.0;
  return std::min(width, MaxLineWidth);
}

Qt::Alignment alignmentFor(int code) {
  switch (code) {
    case 0: return Qt::AlignLeft | Qt::AlignAbsolute;
    case 1: return Qt::AlignRight | Qt::AlignAbsolute;
    case 2: return Qt::AlignHCenter;
    case 3: return Qt::AlignJustify;
    default: return Qt::AlignLeft;   // natural: left for left-to-right text, right for right-to-left
  }
}

// One paragraph of a text: where it starts in the whole string and its characters.
struct Paragraph {
  qsizetype start = 0;
  QString text;
};

// Paragraphs end at a line feed, a carriage return, both together, or the paragraph
// separator; a text ending with one has an empty last paragraph (one more line).
std::vector<Paragraph> paragraphsOf(const QString &text) {
  std::vector<Paragraph> paragraphs;
  qsizetype start = 0;
  qsizetype i = 0;
  while (i < text.size()) {
    const QChar c = text.at(i);
    if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator) {
      paragraphs.push_back({start, text.mid(start, i - start)});
      if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
        ++i;
      start = i + 1;
    }
    ++i;
  }
  paragraphs.push_back({start, text.mid(start)});
  return paragraphs;
}

// A text laid out in paragraphs, one below the other from y = 0, lines wrapped at
// `lineWidth` points; lines that would start below `maxHeight` points are left out.
// Sizes are answered in points.
class TextBlock {
public:
  // `fontFor` gives the font a paragraph starts in and `formatsFor` the formats of its
  // runs (positions within the paragraph).
  TextBlock(const QString &text, const std::function<QFont(const Paragraph &)> &fontFor,
            Qt::Alignment alignment, double lineWidth, double maxHeight,
            const std::function<QList<QTextLayout::FormatRange>(const Paragraph &)> &formatsFor) {
    const double limit = std::min(maxHeight, MaxTextHeight) * TextScale;
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    double y = 0.0;
    for (const Paragraph &paragraph : paragraphsOf(text)) {
      if (y > limit)
        break;
      auto layout = std::make_unique<QTextLayout>(paragraph.text, fontFor(paragraph));
      layout->setTextOption(option);
      if (formatsFor)
        layout->setFormats(formatsFor(paragraph));
      layout->beginLayout();
      while (y <= limit) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
          break;
        line.setLeadingIncluded(true);
        line.setLineWidth(lineWidth * TextScale);
        line.setPosition(QPointF(0.0, y));
        y += line.height();
        m_usedWidth = std::max(m_usedWidth, line.naturalTextWidth());
      }
      layout->endLayout();
      m_layouts.push_back(std::move(layout));
    }
    m_height = y / TextScale;
    m_usedWidth /= TextScale;
  }

  double height() const { return m_height; }
  // The widest line's text (trailing spaces left out).
  double usedWidth() const { return m_usedWidth; }

  // Draws the text with its top left at `at`, in the painter's pen colour.
  void draw(QPainter *painter, const QPointF &at) const {
    painter->save();
    painter->translate(at);
    painter->scale(1.0 / TextScale, 1.0 / TextScale);
    for (const auto &layout : m_layouts)
      layout->draw(painter, QPointF(0.0, 0.0));
    painter->restore();
  }

private:
  std::vector<std::unique_ptr<QTextLayout>> m_layouts;
  double m_height = 0.0;
  double m_usedWidth = 0.0;
};

// The formats of the runs of `storage` that fall into `paragraph`.
QList<QTextLayout::FormatRange> runFormats(const AttributedText &storage, const Paragraph &paragraph) {
  QList<QTextLayout::FormatRange> formats;
  const qsizetype end = paragraph.start + paragraph.text.size();
  for (const TextRun &run : storage.runs) {
    const qsizetype from = std::max(run.start, paragraph.start);
    const qsizetype to = std::min(run.start + run.length, end);
    if (run.length <= 0 || from >= to)
      continue;
    QTextLayout::FormatRange range;
    range.start = int(from - paragraph.start);
    range.length = int(to - from);
    range.format.setFont(runFont(&run));
    formats.append(range);
  }
  return formats;
}

// The run that holds the character at `position`, or the last one before it.
const TextRun *runAt(const AttributedText &storage, qsizetype position) {
  const TextRun *found = nullptr;
  for (const TextRun &run : storage.runs) {
    if (run.length <= 0)
      continue;
    if (run.start <= position)
      found = &run;
  }
  if (!found && !storage.runs.isEmpty())
    found = &storage.runs.first();
  return found;
}

bool isWordSeparator(char32_t c) { return QChar::isSpace(c); }

QString capitalizedWords(const QString &text) {
  QString result;
  result.reserve(text.size());
  bool atWordStart = true;
  qsizetype i = 0;
  while (i < text.size()) {
    char32_t c = text.at(i).unicode();
    qsizetype length = 1;
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
      length = 2;
    }
    const QString character = text.mid(i, length);
    if (isWordSeparator(c)) {
      result += character;
      atWordStart = true;
    } else if (atWordStart) {
      const char32_t title = QChar::toTitleCase(c);
      result += QString::fromUcs4(&title, 1);
      atWordStart = false;
    } else {
      result += character.toLower();
    }
    i += length;
  }
  return result;
}

}  // namespace

QString QLNText::caseTransformed(const QString &text, int transform) {
  switch (transform) {
    case 1: return text.toUpper();
    case 2: return text.toLower();
    case 3: return capitalizedWords(text);
    default: return text;
  }
}

QRectF QLNText::drawingBounds() const {
  const QRectF base = QLNGraphic::drawingBounds().normalized();
  const QRectF grown = bounds().normalized().adjusted(-1.0, -1.0, 1.0, 1.0);
  const double left = std::min(base.left(), grown.left());
  const double top = std::min(base.top(), grown.top());
  const double right = std::max(base.right(), grown.right());
  const double bottom = std::max(base.bottom(), grown.bottom());
  return QRectF(left, top, right - left, bottom - top);
}

void QLNText::drawContentsInView(QPainter *painter, bool isBeingCreateOrEdited) {
  if (!ctrl_is_visible || !painter || !painter->isActive())
    return;
  const QRectF r = bounds();

  if (isBeingCreateOrEdited) {
    // A 1-point band just outside the bounds.
    QPainterPath frame;
    frame.setFillRule(Qt::OddEvenFill);
    frame.addRect(r.normalized().adjusted(-1.0, -1.0, 1.0, 1.0));
    frame.addRect(r.normalized());
    CardDrawing::fillSolid(painter, frame, KnobColor);
    mainWindowServices().Refresh_Canvas();
    return;
  }

  QString text = Trim_Str(Text_contents()->string);
  if (text.isEmpty())
    return;

  QPainterPath box;
  box.addRect(r);
  if (isDrawingFill()) {
    if (fill_type() == QLatin1String("G"))
      CardDrawing::fillGradient(painter, box, fill_Grad_clr1(), fill_Grad_clr2(), fill_grad_angle());
    else
      CardDrawing::fillSolid(painter, box, fillColor());
  }
  if (isDrawingStroke())
    CardDrawing::strokeBorder(painter, box, strokeColor(), strokeWidth(), strokeBorderType());

  text = caseTransformed(text, text_transfrom_case);
  const double lineWidth = usableLineWidth(r.width());
  if (lineWidth > 0.0 && r.height() > 0.0) {
    const QFont font = ownDrawingFont();
    const TextBlock block(text, [&](const Paragraph &) { return font; }, alignmentFor(text_alignmnet),
                          lineWidth, r.height(), {});
    const QColor color = Text_Color_Value().isValid() ? Text_Color_Value() : QColor(Qt::black);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    painter->setClipRect(r, Qt::IntersectClip);
    painter->setPen(color);
    block.draw(painter, r.topLeft());
    painter->restore();
  }
  mainWindowServices().Refresh_Canvas();
}

QFont QLNText::ownDrawingFont() const {
  const std::optional<FontSpec> fontSpec = Text_Font_value();
  return drawingFont(fontSpec && !fontSpec->isNull() ? *fontSpec : FallbackFont, text_kerning);
}

double QLNText::drawnTextHeight(double width) {
  const QString text = caseTransformed(Trim_Str(Text_contents()->string), text_transfrom_case);
  const double lineWidth = usableLineWidth(width);
  if (text.isEmpty() || !(lineWidth > 0.0))
    return 0.0;
  const QFont font = ownDrawingFont();
  const TextBlock block(text, [&](const Paragraph &) { return font; }, alignmentFor(text_alignmnet), lineWidth,
                        MaxTextHeight, {});
  return block.height();
}

QSizeF QLNText::naturalSize() {
  const QLNTextStoragePtr storage = Text_contents();
  const double wrapWidth = usableLineWidth(bounds().width() - 2.0 * LineFragmentPadding);
  const AttributedText &text = *storage;
  // Each paragraph starts in the font of its first character, so that an empty
  // paragraph is one line of that font.
  const TextBlock block(
      text.string, [&](const Paragraph &paragraph) { return runFont(runAt(text, paragraph.start)); },
      Qt::AlignLeft | Qt::AlignAbsolute, wrapWidth, MaxTextHeight,
      [&](const Paragraph &paragraph) { return runFormats(text, paragraph); });
  return QSizeF(block.usedWidth() + 2.0 * LineFragmentPadding, block.height());
}

void QLNText::makeNaturalSize() {
  if (ctrl_is_locked)
    return;
  const QSizeF size = naturalSize();
  const QRectF b = bounds();
  setBounds(QRectF(b.x(), b.y(), size.width(), size.height()));
}
