#include "designs/model/DesignLog.h"

#include "core/CardObjectArchive.h"
#include "core/QLNImage.h"
#include "platform/Images.h"
#include "platform/KeyedArchive.h"
#include "platform/PropertyList.h"
#include "platform/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

const QString DesignLogFileMark = QStringLiteral("VRELMACGREETCARDMAGIC");

namespace {

const QString Yes = QStringLiteral("Y");
const QString No = QStringLiteral("N");
const QString PictureFill = QStringLiteral("I");

// ---- Colours and fonts as keyed archives of their own --------------------------------
//
// A colour or font item is the keyed archive whose root is the colour (NSColor) or the
// font (NSFont) itself; an absent one has a nil root.

QByteArray colorArchive(const QColor &color, QString *error) {
  return KeyedArchiver::archiveRootColor(color.isValid() ? std::optional<QColor>(color) : std::nullopt,
                                         error);
}

QByteArray fontArchive(const std::optional<FontSpec> &font, QString *error) {
  return KeyedArchiver::archiveRootFont(toArchivedFont(font), error);
}

// ---- Numbers as text -----------------------------------------------------------------

QString flagText(bool on) { return on ? Yes : No; }

QString pointText(const QPointF &point) { return pointToString(point); }
QString sizeText(const QSizeF &size) { return pointToString(QPointF(size.width(), size.height())); }

qsizetype skipSpace(QStringView text) {
  qsizetype i = 0;
  while (i < text.size() && text[i].isSpace())
    ++i;
  return i;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The decimal integer at the start of `text` (after white space, with an optional
// sign), 0 when there is none, held to [low, high] (both within 32 bits).
qint64 leadingInteger(QStringView text, qint64 low, qint64 high) {
  qsizetype i = skipSpace(text);
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
    negative = text[i++] == u'-';
  // Past 2^32 the value lies outside every range asked for; it stops growing there.
  constexpr qint64 beyond = qint64(1) << 32;
  qint64 value = 0;
  for (; i < text.size() && isDigit(text[i]); ++i)
    value = std::min(value * 10 + (text[i].unicode() - u'0'), beyond);
  value = negative ? -value : value;
  return std::clamp(value, low, high);
}

qint32 intValue(const QString &text) {
  return qint32(leadingInteger(text, std::numeric_limits<qint32>::min(),
                               std::numeric_limits<qint32>::max()));
}

// The decimal number at the start of `text` (optional sign, digits with an optional
// fraction, optional exponent), 0 when there is none, held to the range of a float.
float floatValue(const QString &text) {
  const QStringView view(text);
  qsizetype i = skipSpace(view);
  const qsizetype start = i;
  if (i < view.size() && (view[i] == u'+' || view[i] == u'-'))
    ++i;
  qsizetype digits = 0;
  for (; i < view.size() && isDigit(view[i]); ++i)
    ++digits;
  if (i < view.size() && view[i] == u'.') {
    ++i;
    for (; i < view.size() && isDigit(view[i]); ++i)
      ++digits;
  }
  if (digits == 0)
    return 0.0f;
  qsizetype end = i;
  if (i < view.size() && (view[i] == u'e' || view[i] == u'E')) {
    qsizetype j = i + 1;
    if (j < view.size() && (view[j] == u'+' || view[j] == u'-'))
      ++j;
    if (j < view.size() && isDigit(view[j])) {
      while (j < view.size() && isDigit(view[j]))
        ++j;
      end = j;
    }
  }
  bool ok = false;
  double value = view.sliced(start, end - start).toDouble(&ok);
  if (!ok) {
    // Out of the range of a double: toDouble answers 0 or the infinity; take the sign.
    if (std::isinf(value))
      value = value > 0 ? DBL_MAX : -DBL_MAX;
    else if (value != 0)
      value = 0;
  }
  return float(std::clamp(value, double(-FLT_MAX), double(FLT_MAX)));
}

// ---- Writing ---------------------------------------------------------------------------

class Writer {
public:
  PlistValue root = PlistValue::array();
  QString error;

  bool ok() const { return error.isEmpty(); }

  void string(const QString &text) { root.append(PlistValue(text.isNull() ? QStringLiteral("") : text)); }
  void data(const QByteArray &bytes, const QString &what) {
    if (!ok())
      return;
    if (bytes.isEmpty()) {
      error = QStringLiteral("Item %1 (%2) could not be archived.").arg(root.size()).arg(what);
      return;
    }
    root.append(PlistValue(bytes));
  }
  void color(const QColor &c, const char *what) {
    QString why;
    const QByteArray bytes = colorArchive(c, &why);
    data(bytes, QString::fromLatin1(what) + (why.isEmpty() ? QString() : QStringLiteral(": ") + why));
  }
  void font(const std::optional<FontSpec> &f, const char *what) {
    QString why;
    const QByteArray bytes = fontArchive(f, &why);
    data(bytes, QString::fromLatin1(what) + (why.isEmpty() ? QString() : QStringLiteral(": ") + why));
  }

  void side(const Card_Property &p) {
    string(flagText(p.Card_border_chk()));
    color(p.Card_bordr_clr(), "Card_bordr_clr");
    string(QString::number(p.Card_bor_Stepper()));
    string(p.Card_border_style());
    string(flagText(p.Card_fill_chk()));
    string(p.Card_fill_style());
    color(p.Card_fill_clr(), "Card_fill_clr");
    color(p.Card_fill_Grd_1_clr(), "Card_fill_Grd_1_clr");
    color(p.Card_fill_Grd_2_clr(), "Card_fill_Grd_2_clr");
    string(QString::number(p.Card_grad_Stepper()));
    string(p.Card_hatch_style());
    color(p.Card_hatch_bk_clr(), "Card_hatch_bk_clr");
    string(QString::number(double(p.Card_alpha_Stepper()), 'f', 2));
    string(p.Card_Side());
    string(p.Card_Side_Name());
    string(p.Card_Shape());
    string(p.Card_Name());
    string(pointText(p.Card_Location()));
    string(sizeText(p.Card_Size()));
    string(p.Card_Preset());
    string(p.Card_Category());
    string(p.Card_Sub_Category());
    string(QString::number(p.Card_Cat_index()));
    string(p.Card_Create_Mode());
    string(p.Card_fill_style() == PictureFill ? p.Card_BG_Image_Path() : QStringLiteral(""));
    string(p.Card_BG_Image_Layout());
    color(p.Card_Content_clr(), "Card_Content_clr");
    font(p.Card_Content_font(), "Card_Content_font");
  }

  void objects(const QLNGraphicList &list) {
    string(QString::number(quint64(list.size())));
    for (const QLNGraphicPtr &graphic : list) {
      if (!ok())
        return;
      if (!graphic) {
        error = QStringLiteral("Item %1: a card object is missing.").arg(root.size());
        return;
      }
      QString why;
      const QByteArray bytes = archiveGraphic(*graphic, &why);
      data(bytes, graphic->className() + (why.isEmpty() ? QString() : QStringLiteral(": ") + why));
    }
  }
};

// ---- Reading ---------------------------------------------------------------------------

// Walks the root array with one running index; the first problem is kept and every
// later read answers empty.
class Reader {
public:
  explicit Reader(const std::vector<PlistValue> &items) : m_items(items) {}

  QString error;
  bool ok() const { return error.isEmpty(); }
  qsizetype index() const { return m_at; }
  qsizetype remaining() const { return qsizetype(m_items.size()) - m_at; }

  void fail(const QString &why) {
    if (error.isEmpty())
      error = QStringLiteral("Item %1: %2").arg(m_at).arg(why);
  }

  // The next item when it is of `type`; null (and a failure) otherwise.
  const PlistValue *next(PlistValue::Type type, const char *what) {
    if (!ok())
      return nullptr;
    if (m_at >= qsizetype(m_items.size())) {
      fail(QStringLiteral("%1 is missing; the file ends early.").arg(QLatin1String(what)));
      return nullptr;
    }
    const PlistValue &item = m_items[size_t(m_at)];
    if (item.type() != type) {
      fail(QStringLiteral("%1 is not of the expected kind.").arg(QLatin1String(what)));
      return nullptr;
    }
    ++m_at;
    return &item;
  }

  QString string(const char *what) {
    const PlistValue *v = next(PlistValue::Type::String, what);
    return v ? v->toString() : QString();
  }
  // The next item when there is one and it is a string; nothing (and no failure)
  // otherwise: an item that an earlier version did not write.
  std::optional<QString> optionalString() {
    if (!ok() || remaining() <= 0 || m_items[size_t(m_at)].type() != PlistValue::Type::String)
      return std::nullopt;
    return m_items[size_t(m_at++)].toString();
  }
  bool flag(const char *what) { return string(what) == Yes; }
  qint32 integer(const char *what) { return intValue(string(what)); }
  float real(const char *what) { return floatValue(string(what)); }

  QPointF point(const char *what) {
    const QString text = string(what);
    const QPointF p = pointFromString(text);
    if (ok() && !(std::isfinite(p.x()) && std::isfinite(p.y())))
      fail(QStringLiteral("%1 holds a number that is not finite.").arg(QLatin1String(what)));
    return ok() ? p : QPointF();
  }
  QSizeF size(const char *what) {
    const QPointF p = point(what);
    return QSizeF(p.x(), p.y());
  }

  QByteArray data(const char *what) {
    const PlistValue *v = next(PlistValue::Type::Data, what);
    return v ? v->toData() : QByteArray();
  }

  QColor color(const char *what) {
    const QByteArray bytes = data(what);
    if (!ok())
      return {};
    KeyedUnarchiver coder(bytes);
    const std::optional<QColor> color = coder.decodeRootColor();
    if (coder.failed()) {
      m_at -= 1;   // name the item that failed
      fail(QStringLiteral("%1: %2").arg(QLatin1String(what), coder.error()));
      return {};
    }
    return color.value_or(QColor());
  }

  std::optional<FontSpec> font(const char *what) {
    const QByteArray bytes = data(what);
    if (!ok())
      return std::nullopt;
    KeyedUnarchiver coder(bytes);
    const std::optional<ArchivedFont> font = coder.decodeRootFont();
    if (coder.failed()) {
      m_at -= 1;
      fail(QStringLiteral("%1: %2").arg(QLatin1String(what), coder.error()));
      return std::nullopt;
    }
    return toFontSpec(font);
  }

  void side(Card_Property &p) {
    p.setCard_border_chk(flag("Card_border_chk"));
    p.setCard_bordr_clr(color("Card_bordr_clr"));
    p.setCard_bor_Stepper(integer("Card_bor_Stepper"));
    p.setCard_border_style(string("Card_border_style"));
    p.setCard_fill_chk(flag("Card_fill_chk"));
    p.setCard_fill_style(string("Card_fill_style"));
    p.setCard_fill_clr(color("Card_fill_clr"));
    p.setCard_fill_Grd_1_clr(color("Card_fill_Grd_1_clr"));
    p.setCard_fill_Grd_2_clr(color("Card_fill_Grd_2_clr"));
    p.setCard_grad_Stepper(integer("Card_grad_Stepper"));
    p.setCard_hatch_style(string("Card_hatch_style"));
    p.setCard_hatch_bk_clr(color("Card_hatch_bk_clr"));
    p.setCard_alpha_Stepper(real("Card_alpha_Stepper"));
    p.setCard_Side(string("Card_Side"));
    p.setCard_Side_Name(string("Card_Side_Name"));
    p.setCard_Shape(string("Card_Shape"));
    p.setCard_Name(string("Card_Name"));
    p.setCard_Location(point("Card_Location"));
    p.setCard_Size(size("Card_Size"));
    p.setCard_Preset(string("Card_Preset"));
    p.setCard_Category(string("Card_Category"));
    p.setCard_Sub_Category(string("Card_Sub_Category"));
    p.setCard_Cat_index(integer("Card_Cat_index"));
    p.setCard_Create_Mode(string("Card_Create_Mode"));
    p.setCard_BG_Image_Path(string("Card_BG_Image_Path"));
    p.setCard_BG_Image_Layout(string("Card_BG_Image_Layout"));
    p.setCard_Content_clr(color("Card_Content_clr"));
    p.setCard_Content_font(font("Card_Content_font"));
    p.setCard_BG_Image(PointImage());
    p.holdDecodedNumbers();
  }

  QStringList titles() {
    const PlistValue *v = next(PlistValue::Type::Array, "The grid's column titles");
    QStringList out;
    if (!v)
      return out;
    for (const PlistValue &title : v->items()) {
      if (!title.isString()) {
        m_at -= 1;
        fail(QStringLiteral("A grid column title is not a string."));
        return {};
      }
      out.append(title.toString());
    }
    return out;
  }

  QList<DesignLogGridRow> rows() {
    const PlistValue *v = next(PlistValue::Type::Array, "The grid's rows");
    QList<DesignLogGridRow> out;
    if (!v)
      return out;
    for (const PlistValue &row : v->items()) {
      if (!row.isDict()) {
        m_at -= 1;
        fail(QStringLiteral("A grid row is not a dictionary."));
        return {};
      }
      DesignLogGridRow cells;
      QSet<QString> seen;
      for (qsizetype i = 0; i < row.size(); ++i) {
        const PlistValue &cell = row.items()[size_t(i)];
        if (!cell.isString()) {
          m_at -= 1;
          fail(QStringLiteral("A grid cell is not a string."));
          return {};
        }
        const QString &key = row.keys()[i];
        if (seen.contains(key))
          continue;   // a repeated column keeps its first cell, as lookups do
        seen.insert(key);
        cells.append({key, cell.toString()});
      }
      out.append(cells);
    }
    return out;
  }

  QLNGraphicList objects(const char *side) {
    QLNGraphicList out;
    const QString countText = string("An object count");
    if (!ok())
      return out;
    const qint64 count = leadingInteger(countText, -1, std::numeric_limits<qint32>::max());
    if (count < 0) {
      m_at -= 1;
      fail(QStringLiteral("The %1 object count is negative.").arg(QLatin1String(side)));
      return out;
    }
    if (count > remaining()) {
      m_at -= 1;
      fail(QStringLiteral("The %1 object count %2 is larger than the items that follow.")
               .arg(QLatin1String(side))
               .arg(count));
      return out;
    }
    for (qint64 n = 0; n < count && ok(); ++n) {
      const QByteArray archive = data("A card object");
      if (!ok())
        break;
      QString why;
      QLNGraphicPtr graphic = unarchiveGraphic(archive, &why);
      if (!graphic) {
        m_at -= 1;
        fail(QStringLiteral("The %1 card object %2 cannot be read: %3")
                 .arg(QLatin1String(side))
                 .arg(n + 1)
                 .arg(why));
        break;
      }
      out.append(graphic);
    }
    return ok() ? out : QLNGraphicList();
  }

private:
  const std::vector<PlistValue> &m_items;
  qsizetype m_at = 0;
};

void setError(QString *error, const QString &text) {
  if (error)
    *error = text;
}

}  // namespace

// ---- Settings of a new design ------------------------------------------------------------

void resetCardPropertyForNewProject(Card_Property &record, const FontSpec &allTextFont,
                                    const QColor &allTextColor) {
  record = Card_Property();
  record.setCard_border_chk(true);
  record.setCard_BG_Image(PointImage());
  record.setCard_BG_Image_Path(QStringLiteral(""));
  record.setCard_Content_clr(allTextColor);
  record.setCard_Content_font(allTextFont);
}

void clearUnusedBackgroundPath(Card_Property &record) {
  if (record.Card_fill_style() != PictureFill)
    record.setCard_BG_Image_Path(QStringLiteral(""));
}

// ---- Writing -------------------------------------------------------------------------------

QByteArray writeDesignLog(const DesignLogContents &contents, QString *error) {
  Writer w;
  w.string(DesignLogFileMark);
  w.side(contents.front);
  w.side(contents.back);
  w.string(flagText(contents.excelBindingUse));
  w.string(contents.excelSourcePath);

  std::vector<PlistValue> titles;
  for (const QString &title : contents.gridColumnTitles)
    titles.emplace_back(title.isNull() ? QStringLiteral("") : title);
  w.root.append(PlistValue::array(std::move(titles)));

  std::vector<PlistValue> rows;
  for (const DesignLogGridRow &row : contents.gridRows) {
    PlistValue dict = PlistValue::dict();
    for (const auto &[column, text] : row) {
      if (dict.contains(column)) {
        w.error = QStringLiteral("Item 60: a grid row holds the column \"%1\" twice.").arg(column);
        break;
      }
      dict.insert(column, PlistValue(text.isNull() ? QStringLiteral("") : text));
    }
    rows.push_back(std::move(dict));
  }
  w.root.append(PlistValue::array(std::move(rows)));

  w.objects(contents.frontObjects);
  w.objects(contents.backObjects);
  // Only rows without column names say so, after everything else: the file of a
  // workbook with names stays as earlier versions wrote and read it.
  if (!contents.gridColumnNames)
    w.string(QStringLiteral("N"));

  QByteArray bytes;
  if (w.ok()) {
    bytes = toXmlPropertyList(w.root);
    if (bytes.isEmpty())
      w.error = QStringLiteral("The design log could not be written as a property list.");
  }
  setError(error, w.error);
  return w.ok() ? bytes : QByteArray();
}

bool saveDesignLog(const QString &path, const DesignLogContents &contents, QString *error) {
  QString why;
  const QByteArray bytes = writeDesignLog(contents, &why);
  if (bytes.isEmpty()) {
    setError(error, why);
    return false;
  }
  // A file this program could not open again is not written.
  if (!readDesignLog(bytes, &why)) {
    setError(error, QStringLiteral("The design log would not read back: %1").arg(why));
    return false;
  }
  QString reason;
  if (!WholeFiles::write(path, bytes, &reason)) {
    setError(error, QStringLiteral("%1 cannot be written: %2").arg(path, reason));
    return false;
  }
  setError(error, QString());
  return true;
}

// ---- Reading -------------------------------------------------------------------------------

std::optional<DesignLogContents> readDesignLog(const QByteArray &bytes, QString *error) {
  QString why;
  const std::optional<PlistValue> plist = parsePropertyList(bytes, &why);
  if (!plist) {
    setError(error, QStringLiteral("The file is not a property list. %1").arg(why).trimmed());
    return std::nullopt;
  }
  if (!plist->isArray()) {
    setError(error, QStringLiteral("The file's root is not an array."));
    return std::nullopt;
  }
  if (plist->size() == 0 || !plist->at(0).isString() || plist->at(0).toString() != DesignLogFileMark) {
    setError(error, QStringLiteral("The file is not a design log (its first item is not the mark)."));
    return std::nullopt;
  }

  Reader r(plist->items());
  r.string("The mark");
  DesignLogContents contents;
  r.side(contents.front);
  r.side(contents.back);
  contents.excelBindingUse = r.flag("The spreadsheet binding flag");
  contents.excelSourcePath = r.string("The spreadsheet path");
  contents.gridColumnTitles = r.titles();
  contents.gridRows = r.rows();
  contents.frontObjects = r.objects("front");
  contents.backObjects = r.objects("back");
  // "N" after the last back object: the grid's titles are only its first row's values.
  if (const std::optional<QString> named = r.optionalString())
    contents.gridColumnNames = *named != QLatin1String("N");
  // Further items come from another version of the program: they are left unread.
  if (!r.ok()) {
    setError(error, r.error);
    return std::nullopt;
  }
  setError(error, QString());
  return contents;
}

std::optional<DesignLogContents> readDesignLogFile(const QString &path, QString *error) {
  // A regular file only: a named pipe or a device would make the read wait for ever.
  QFile file;
  QString why;
  if (!openRegularFile(file, path, &why)) {
    setError(error, QStringLiteral("%1 cannot be read: %2").arg(path, why));
    return std::nullopt;
  }
  if (file.size() > PlistLimits::maxBytes) {
    setError(error, QStringLiteral("%1 is too large to be a design log.").arg(path));
    return std::nullopt;
  }
  const QByteArray bytes = file.read(PlistLimits::maxBytes + 1);
  if (file.error() != QFileDevice::NoError) {
    setError(error, QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    return std::nullopt;
  }
  return readDesignLog(bytes, error);
}

bool readDesignLogInto(const QString &path, DesignLogContents &target, QString *error) {
  std::optional<DesignLogContents> contents = readDesignLogFile(path, error);
  if (!contents)
    return false;
  target = std::move(*contents);
  return true;
}

void loadDesignLogPictures(DesignLogContents &contents) {
  for (QLNGraphicList *list : {&contents.frontObjects, &contents.backObjects})
    for (const QLNGraphicPtr &graphic : *list)
      if (graphic && graphic->className() == QLatin1String("QLNImage"))
        static_cast<QLNImage *>(graphic.get())->setFilePath(graphic->FilePath());
}
