#include "dataseries/model/SpreadsheetReader.h"

#include <pugixml.hpp>

#include <cstring>
#include <functional>
#include <utility>
#include <vector>

QString Get_Column_Char_Str(const QString &reference) {
  for (qsizetype i = 0; i < reference.size(); ++i) {
    const QChar c = reference.at(i);
    if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
      return reference.left(i);
  }
  return reference;
}

std::optional<int> Get_Col_index(const QString &letters, int base) {
  if (letters.isEmpty() || letters.size() > 7)
    return std::nullopt;
  qint64 number = 0;
  for (const QChar c : letters) {
    const char16_t u = c.toUpper().unicode();
    if (u < u'A' || u > u'Z')
      return std::nullopt;
    number = number * 26 + (u - u'A' + 1);
  }
  return static_cast<int>(number - (base - 64));
}

int Asc_Val(const QString &text) { return text.isEmpty() ? -1 : (text.at(0).unicode() & 0xFF); }

namespace SpreadsheetReading {
namespace {

// Whether a name, with or without a prefix, has the local name `local`.
bool localIs(const char *name, const char *local) {
  const char *a = name;
  const char *b = local;
  while (*a && *a == *b) {
    ++a;
    ++b;
  }
  if (*a == '\0' && *b == '\0')
    return true;
  const char *colon = std::strrchr(name, ':');
  return colon && std::strcmp(colon + 1, local) == 0;
}

bool named(const pugi::xml_node &node, const char *local) {
  return node.type() == pugi::node_element && localIs(node.name(), local);
}

pugi::xml_node child(const pugi::xml_node &node, const char *local) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
    if (named(c, local))
      return c;
  return pugi::xml_node();
}

// An attribute by its local name (a prefixed r="..." reads too).
pugi::xml_attribute attribute(const pugi::xml_node &node, const char *local) {
  for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
    if (localIs(a.name(), local))
      return a;
  return pugi::xml_attribute();
}

// The text directly inside an element (its character data and CDATA sections).
void appendText(const pugi::xml_node &node, QByteArray &out) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
      out.append(c.value());
}

// A string item (si, is): its "t", then the "t" of each run, in document order.
QString stringItem(const pugi::xml_node &item) {
  QByteArray text;
  for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
    if (named(c, "t"))
      appendText(c, text);
    else if (named(c, "r"))
      if (pugi::xml_node t = child(c, "t"))
        appendText(t, text);
  }
  return QString::fromUtf8(text);
}

constexpr unsigned ParseOptions = pugi::parse_escapes | pugi::parse_eol | pugi::parse_cdata |
                                  pugi::parse_ws_pcdata_single;

bool parse(pugi::xml_document &document, const QByteArray &xml, QString *error) {
  const pugi::xml_parse_result result = document.load_buffer(xml.constData(), static_cast<size_t>(xml.size()),
                                                             ParseOptions, pugi::encoding_auto);
  if (!result) {
    if (error)
      *error = QStringLiteral("%1 at offset %2").arg(QString::fromUtf8(result.description())).arg(result.offset);
    return false;
  }
  return true;
}

pugi::xml_node rootElement(const pugi::xml_document &document) {
  for (pugi::xml_node c = document.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element)
      return c;
  return pugi::xml_node();
}

// The value of a cell, as the file gives it.
QString cellValue(const pugi::xml_node &cell, const QStringList &shared) {
  const char *type = attribute(cell, "t").value();
  if (std::strcmp(type, "inlineStr") == 0) {
    if (pugi::xml_node is = child(cell, "is"))
      return stringItem(is);
    return QString();
  }
  const pugi::xml_node v = child(cell, "v");
  if (!v)
    return QString();
  QByteArray text;
  appendText(v, text);
  if (std::strcmp(type, "s") == 0) {
    bool ok = false;
    const qlonglong index = text.trimmed().toLongLong(&ok);
    return ok && index >= 0 && index < shared.size() ? shared.at(static_cast<qsizetype>(index)) : QString();
  }
  return QString::fromUtf8(text);
}

// The 0-based column of a cell: its reference's letters, or the column after the
// previous cell when it has none. -1 when the letters are no column up to XFD.
int cellColumn(const pugi::xml_node &cell, int previous) {
  const char *r = attribute(cell, "r").value();
  while (*r == ' ' || *r == '\t' || *r == '\n' || *r == '\r' || *r == '$')
    ++r;
  if (*r == '\0')
    return previous + 1;
  // The letters before the first digit 1 to 9, full base 26.
  int number = 0;
  int letters = 0;
  for (; *r && !(*r >= '1' && *r <= '9'); ++r) {
    const char c = *r;
    if (c == '$')
      continue;
    const int value = c >= 'A' && c <= 'Z' ? c - 'A' + 1 : c >= 'a' && c <= 'z' ? c - 'a' + 1 : -1;
    if (value < 0 || ++letters > 3)
      return -1;
    number = number * 26 + value;
  }
  if (letters == 0 || number > MaxColumns)
    return -1;
  return number - 1;
}

}  // namespace

int dimensionColumns(const QString &ref) {
  QString last = ref;
  const qsizetype colon = last.lastIndexOf(QLatin1Char(':'));
  if (colon >= 0)
    last = last.mid(colon + 1);
  last = last.trimmed().remove(QLatin1Char('$'));
  qsizetype letters = 0;
  while (letters < last.size() && last.at(letters).isLetter())
    ++letters;
  const std::optional<int> column = Get_Col_index(last.left(letters), 64);
  return column && *column > 0 && *column <= MaxColumns ? *column : 0;
}

std::optional<QStringList> readSharedStrings(const QByteArray &xml, QString *error) {
  pugi::xml_document document;
  if (!parse(document, xml, error))
    return std::nullopt;
  QStringList strings;
  const pugi::xml_node sst = rootElement(document);
  if (!named(sst, "sst")) {
    if (error)
      *error = QStringLiteral("the shared-string part holds no string table");
    return std::nullopt;
  }
  for (pugi::xml_node si = sst.first_child(); si; si = si.next_sibling())
    if (named(si, "si"))
      strings.append(stringItem(si));
  return strings;
}

namespace {

// Where the rows of a worksheet part lie: the content of its first sheetData element
// (a child of the root) cut at boundaries between whole child elements, so that each
// piece parses on its own. A large sheet is then read a piece at a time and never held
// as one document tree. nullopt when the part does not have that plain shape (no
// sheetData, not UTF-8, markup this scan does not follow); the whole part is then
// parsed at once instead.
struct RowLayout {
  qsizetype contentStart = 0;
  qsizetype contentEnd = 0;
  QList<qsizetype> cuts;  // piece boundaries, from contentStart to contentEnd
};

std::optional<RowLayout> scanRows(const QByteArray &xml, qsizetype pieceBytes) {
  const char *data = xml.constData();
  const qsizetype size = xml.size();
  if (size >= 2 && ((data[0] == '\xFF' && data[1] == '\xFE') || (data[0] == '\xFE' && data[1] == '\xFF') ||
                    data[0] == '\0' || data[1] == '\0'))
    return std::nullopt;  // UTF-16: left to the parser
  if (std::memchr(data, '\0', static_cast<size_t>(size)))
    return std::nullopt;  // a NUL ends a piece early where it ends the whole part with an error
  auto find = [&](qsizetype from, const char *what) -> qsizetype {
    const qsizetype at = xml.indexOf(what, from);
    return at < 0 ? -1 : at + static_cast<qsizetype>(std::strlen(what));
  };
  auto has = [&](qsizetype at, const char *what) {
    const size_t n = std::strlen(what);
    return at + static_cast<qsizetype>(n) <= size && std::memcmp(data + at, what, n) == 0;
  };
  // Whether the tag name data[from, to) is sheetData with or without a prefix.
  auto isSheetData = [&](qsizetype from, qsizetype to) {
    const QByteArrayView name(data + from, to - from);
    const qsizetype colon = name.lastIndexOf(':');
    return (colon < 0 ? name : name.sliced(colon + 1)) == QByteArrayView("sheetData");
  };
  RowLayout layout;
  bool inData = false;
  int depth = 0;
  qsizetype pos = 0;
  while (pos < size) {
    const char *lt = static_cast<const char *>(std::memchr(data + pos, '<', static_cast<size_t>(size - pos)));
    if (!lt)
      return std::nullopt;
    const qsizetype at = lt - data;
    if (has(at, "<!--")) {
      pos = find(at + 4, "-->");
    } else if (has(at, "<![CDATA[")) {
      pos = find(at + 9, "]]>");
    } else if (has(at, "<?")) {
      pos = find(at + 2, "?>");
    } else if (has(at, "<!")) {
      if (depth != 0)
        return std::nullopt;
      const qsizetype close = xml.indexOf('>', at);
      const qsizetype bracket = xml.indexOf('[', at);
      if (bracket >= 0 && (close < 0 || bracket < close))
        return std::nullopt;  // an internal subset: left to the parser
      pos = close < 0 ? -1 : close + 1;
    } else {
      const bool closing = at + 1 < size && data[at + 1] == '/';
      qsizetype i = at + (closing ? 2 : 1);
      const qsizetype nameStart = i;
      while (i < size && data[i] != '>' && data[i] != '/' && data[i] != ' ' && data[i] != '\t' &&
             data[i] != '\n' && data[i] != '\r')
        ++i;
      const qsizetype nameEnd = i;
      if (nameEnd == nameStart)
        return std::nullopt;
      bool selfClosing = false;
      // The rest of the tag, quoted attribute values skipped whole.
      while (i < size && data[i] != '>') {
        if (data[i] == '"' || data[i] == '\'') {
          const qsizetype quote = xml.indexOf(data[i], i + 1);
          if (quote < 0)
            return std::nullopt;
          i = quote + 1;
          continue;
        }
        if (data[i] == '<')
          return std::nullopt;
        selfClosing = data[i] == '/';
        ++i;
      }
      if (i >= size)
        return std::nullopt;
      pos = i + 1;
      if (closing) {
        if (selfClosing || --depth < 0)
          return std::nullopt;
        if (inData && depth == 1) {  // the end of sheetData
          layout.contentEnd = at;
          layout.cuts.append(at);
          return layout;
        }
        if (inData && depth == 2 && pos - layout.cuts.last() >= pieceBytes)
          layout.cuts.append(pos);
      } else if (selfClosing) {
        if (depth == 0)
          return std::nullopt;  // an empty root: left to the parser
        if (depth == 1 && !inData && isSheetData(nameStart, nameEnd))
          return std::nullopt;  // no rows at all: left to the parser
        if (inData && depth == 2 && pos - layout.cuts.last() >= pieceBytes)
          layout.cuts.append(pos);
      } else {
        if (depth == 1 && !inData && isSheetData(nameStart, nameEnd)) {
          inData = true;
          layout.contentStart = pos;
          layout.cuts.append(pos);
        }
        ++depth;
      }
    }
    if (pos < 0)
      return std::nullopt;
  }
  return std::nullopt;
}

// Reads the rows one at a time: `visit` gets each row element of the first sheetData in
// document order, `dimension` the dimension's ref.
enum class Walk { Done, Failed, Again };

Walk walkRows(const QByteArray &xml, qsizetype pieceBytes, QString *dimension, QString *error,
              const std::function<bool(const pugi::xml_node &)> &visit) {
  const std::optional<RowLayout> layout = pieceBytes > 0 ? scanRows(xml, pieceBytes) : std::nullopt;
  pugi::xml_document document;
  // Without pieces: the whole part; with them: the part without its rows first.
  const QByteArray frame = layout ? xml.left(layout->contentStart) + xml.mid(layout->contentEnd) : xml;
  if (!parse(document, frame, error))
    return layout ? Walk::Again : Walk::Failed;
  const pugi::xml_node worksheet = rootElement(document);
  if (!named(worksheet, "worksheet")) {
    if (error)
      *error = QStringLiteral("the part holds no worksheet");
    return Walk::Failed;
  }
  if (const pugi::xml_node node = child(worksheet, "dimension"))
    *dimension = QString::fromUtf8(attribute(node, "ref").value());
  if (!layout) {
    for (pugi::xml_node row = child(worksheet, "sheetData").first_child(); row; row = row.next_sibling())
      if (named(row, "row") && !visit(row))
        return Walk::Failed;
    return Walk::Done;
  }
  if (!named(child(worksheet, "sheetData"), "sheetData"))
    return Walk::Again;
  std::vector<char> buffer;  // one buffer for every piece, parsed in place
  for (qsizetype i = 0; i + 1 < layout->cuts.size(); ++i) {
    const qsizetype from = layout->cuts[i];
    const size_t length = static_cast<size_t>(layout->cuts[i + 1] - from);
    if (length == 0)
      continue;
    buffer.assign(xml.constData() + from, xml.constData() + from + length);
    pugi::xml_document piece;
    const pugi::xml_parse_result result = piece.load_buffer_inplace(
        buffer.data(), length, ParseOptions | pugi::parse_fragment, pugi::encoding_utf8);
    if (!result)
      return Walk::Again;  // the whole part then says what is wrong
    for (pugi::xml_node row = piece.first_child(); row; row = row.next_sibling())
      if (named(row, "row") && !visit(row))
        return Walk::Failed;
  }
  return Walk::Done;
}

}  // namespace

std::optional<Sheet> readSheet(const QByteArray &xml, const QStringList &sharedStrings, int minColumns,
                               bool headerOnly, QString *error, qint64 maxCells, qsizetype pieceBytes) {
  Sheet sheet;
  int columns = 0;
  QStringList blank;
  QList<std::pair<int, QString>> firstRow;  // with headerOnly: the first row's values
  bool sawRow = false;
  QString reason;
  auto widen = [&](int to) {
    columns = to;
    while (blank.size() < columns)
      blank.append(QString());
    if (!headerOnly)
      for (QStringList &earlier : sheet.rows)
        while (earlier.size() < columns)
          earlier.append(QString());
  };
  auto visit = [&](const pugi::xml_node &row) -> bool {
    const bool first = !sawRow;
    sawRow = true;
    if (!headerOnly && static_cast<qint64>(sheet.rows.size() + 1) * std::max(columns, 1) > maxCells) {
      reason = QStringLiteral("the sheet holds more than %1 cells").arg(maxCells);
      return false;
    }
    QStringList values;
    if (!headerOnly)
      values = blank;
    int column = -1;
    for (pugi::xml_node cell = row.first_child(); cell; cell = cell.next_sibling()) {
      if (!named(cell, "c"))
        continue;
      column = cellColumn(cell, column);
      if (column < 0) {
        reason = QStringLiteral("a cell reference lies beyond column XFD");
        return false;
      }
      QString value = cellValue(cell, sharedStrings);
      if (value.isEmpty())
        continue;
      if (column >= columns) {
        // A cell beyond the dimension widens the sheet: every row so far, and the rest.
        if (!headerOnly && static_cast<qint64>(sheet.rows.size() + 1) * (column + 1) > maxCells) {
          reason = QStringLiteral("the sheet holds more than %1 cells").arg(maxCells);
          return false;
        }
        widen(column + 1);
        if (!headerOnly)
          while (values.size() < columns)
            values.append(QString());
      }
      if (headerOnly) {
        if (first)
          firstRow.append({column, std::move(value)});
      } else {
        values[column] = std::move(value);
      }
    }
    if (!headerOnly)
      sheet.rows.append(std::move(values));
    return true;
  };

  for (int attempt = 0; attempt < 2; ++attempt) {
    sheet = Sheet();
    blank.clear();
    firstRow.clear();
    sawRow = false;
    QString dimension;
    reason.clear();
    // The dimension is known only once the frame is parsed: the first row widens to it.
    columns = std::max(0, std::min(minColumns, MaxColumns));
    bool sized = false;
    auto sizedVisit = [&](const pugi::xml_node &row) {
      if (!sized) {
        sized = true;
        widen(std::max(columns, SpreadsheetReading::dimensionColumns(dimension)));
      }
      return visit(row);
    };
    const Walk walk = walkRows(xml, attempt == 0 ? pieceBytes : 0, &dimension, &reason, sizedVisit);
    if (walk == Walk::Again)
      continue;
    if (walk == Walk::Failed) {
      if (error)
        *error = reason;
      return std::nullopt;
    }
    if (!sized)
      widen(std::max(columns, SpreadsheetReading::dimensionColumns(dimension)));
    break;
  }
  sheet.columns = columns;
  if (headerOnly && sawRow) {
    QStringList names;
    names.reserve(columns);
    for (int i = 1; i <= columns; ++i)
      names.append(QStringLiteral("Untitled Column %1").arg(i));
    for (auto &[column, value] : firstRow)
      names[column] = std::move(value);
    sheet.rows.append(names);
  }
  return sheet;
}

QStringList readSheetNames(const QByteArray &xml) {
  pugi::xml_document document;
  QStringList names;
  if (!parse(document, xml, nullptr))
    return names;
  const pugi::xml_node workbook = rootElement(document);
  for (pugi::xml_node sheet : child(workbook, "sheets").children())
    if (named(sheet, "sheet"))
      names.append(QString::fromUtf8(attribute(sheet, "name").value()));
  return names;
}

}  // namespace SpreadsheetReading
