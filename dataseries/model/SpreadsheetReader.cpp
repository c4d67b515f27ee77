#include "dataseries/model/SpreadsheetReader.h"

#include <QLocale>

#include <pugixml.hpp>

#include <algorithm>
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

// The node after `node` in document order below `root`, walking into `node`'s children
// only when `enter`: null once the walk leaves `root`. Trees are walked with this, never
// by recursion, so that a file nested as deeply as its size allows reads on any stack.
pugi::xml_node nextBelow(const pugi::xml_node &root, pugi::xml_node node, bool enter) {
  if (enter && node.first_child())
    return node.first_child();
  while (node != root) {
    if (const pugi::xml_node sibling = node.next_sibling())
      return sibling;
    node = node.parent();
  }
  return pugi::xml_node();
}

// Appends the text directly inside an element (its character data and CDATA sections)
// while `out` stays within `maxBytes`; false, with `out` as far as it got, past that.
bool appendText(const pugi::xml_node &node, QByteArray &out, qsizetype maxBytes) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_pcdata && c.type() != pugi::node_cdata)
      continue;
    const char *value = c.value();
    const size_t length = std::strlen(value);
    if (length > static_cast<size_t>(maxBytes - out.size()))
      return false;
    out.append(value, static_cast<qsizetype>(length));
  }
  return true;
}

// The UTF-8 bytes a text of `maxCharacters` UTF-16 units may take: a unit never takes
// more than three, so longer bytes are surely a longer text.
qsizetype maxBytesFor(qsizetype maxCharacters) { return 3 * maxCharacters; }

// `utf8` as text when it has at most `maxCharacters` units; nullopt otherwise.
std::optional<QString> limitedText(const QByteArray &utf8, qsizetype maxCharacters) {
  if (utf8.size() > maxBytesFor(maxCharacters))
    return std::nullopt;
  QString text = QString::fromUtf8(utf8);
  if (text.size() > maxCharacters)
    return std::nullopt;
  return text;
}

// A string item (si, is): its "t", then the "t" of each run, in document order;
// nullopt when it is longer than `maxCharacters`.
std::optional<QString> stringItem(const pugi::xml_node &item, qsizetype maxCharacters) {
  QByteArray text;
  const qsizetype maxBytes = maxBytesFor(maxCharacters);
  for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
    if (named(c, "t")) {
      if (!appendText(c, text, maxBytes))
        return std::nullopt;
    } else if (named(c, "r")) {
      if (pugi::xml_node t = child(c, "t"))
        if (!appendText(t, text, maxBytes))
          return std::nullopt;
    }
  }
  return limitedText(text, maxCharacters);
}

// A count as the messages write it, in groups of three ("32,767"), whatever the locale.
QString grouped(qint64 number) { return QLocale(QLocale::English, QLocale::UnitedStates).toString(number); }

QString tooLongCell(qsizetype maxCharacters) {
  return QStringLiteral("a cell holds more than %1 characters").arg(grouped(maxCharacters));
}

constexpr unsigned ParseOptions = pugi::parse_escapes | pugi::parse_eol | pugi::parse_cdata |
                                  pugi::parse_ws_pcdata_single;

bool parse(pugi::xml_document &document, const QByteArray &xml, QString *error) {
  // A document tree takes many times the bytes of its markup: only parts of a modest
  // size are read whole.
  if (xml.size() > MaxWholePartBytes) {
    if (error)
      *error = QStringLiteral("a part of more than %1 bytes is not laid out to be read in pieces")
                   .arg(grouped(MaxWholePartBytes));
    return false;
  }
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

// The value of a cell, as the file gives it; nullopt when it is longer than
// `maxCharacters`.
std::optional<QString> cellValue(const pugi::xml_node &cell, const QStringList &shared, qsizetype maxCharacters) {
  const char *type = attribute(cell, "t").value();
  if (std::strcmp(type, "inlineStr") == 0) {
    if (pugi::xml_node is = child(cell, "is"))
      return stringItem(is, maxCharacters);
    return QString();
  }
  const pugi::xml_node v = child(cell, "v");
  if (!v)
    return QString();
  QByteArray text;
  if (!appendText(v, text, maxBytesFor(maxCharacters)))
    return std::nullopt;
  if (std::strcmp(type, "s") == 0) {
    bool ok = false;
    const qlonglong index = text.trimmed().toLongLong(&ok);
    // The table's own entry, shared rather than copied.
    return ok && index >= 0 && index < shared.size() ? shared.at(static_cast<qsizetype>(index)) : QString();
  }
  return limitedText(text, maxCharacters);
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

namespace {

// The shape of a part read in pieces: its root element, and the element whose children
// are the items read one at a time (the root itself when `container` is null).
struct PartShape {
  const char *root;
  std::vector<const char *> path;  // the container's ancestors below the root, and itself
  const char *item;                // the items' local name; null: every element
  const char *wrongRoot;           // the reason when the root is another element
  // Whether what follows the container is left unread: only the start of the part and
  // the container matter (a part holding other large tables after the first one).
  bool ignoreAfterContainer = false;
};

// Where the items of a part lie: the content of its first container element (the root,
// or the first element on the shape's path) cut at boundaries between whole child
// elements, so that each piece parses on its own. A large part is then read a piece at a
// time and never held as one document tree. nullopt when the part does not have that
// plain shape (no container, not UTF-8, markup this scan does not follow); the whole
// part is then parsed at once instead.
struct RowLayout {
  qsizetype contentStart = 0;
  qsizetype contentEnd = 0;
  QList<qsizetype> cuts;  // piece boundaries, from contentStart to contentEnd
  QByteArray closing;     // the end tags of the container and its ancestors
};

std::optional<RowLayout> scanItems(const QByteArray &xml, qsizetype pieceBytes, const PartShape &shape) {
  // The depth of the container's start tag: 0 for the root, 1 for a child of it ...
  const int containerDepth = static_cast<int>(shape.path.size());
  QList<QByteArrayView> open;  // the qualified names of the elements open at `pos`
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
  auto local = [](QByteArrayView name) {
    const qsizetype colon = name.lastIndexOf(':');
    return colon < 0 ? name : name.sliced(colon + 1);
  };
  // Whether the tag name data[from, to), at the container's depth, names the container
  // and the open elements its ancestors, with or without prefixes.
  auto isContainer = [&](qsizetype from, qsizetype to) {
    if (open.size() != containerDepth)
      return false;
    for (int level = 0; level < containerDepth; ++level)
      if (local(open.at(level)) != QByteArrayView(level == 0 ? shape.root : shape.path[level - 1]))
        return false;
    const char *own = containerDepth == 0 ? shape.root : shape.path.back();
    return local(QByteArrayView(data + from, to - from)) == QByteArrayView(own);
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
      if (!closing && depth == 0 &&
          local(QByteArrayView(data + nameStart, nameEnd - nameStart)) != QByteArrayView(shape.root))
        return std::nullopt;  // another root: left to the parser, which names it at once
      if (closing) {
        if (selfClosing || --depth < 0 || open.isEmpty())
          return std::nullopt;
        open.removeLast();
        if (inData && depth == containerDepth) {  // the end of the container
          layout.contentEnd = at;
          layout.cuts.append(at);
          return layout;
        }
        if (inData && depth == containerDepth + 1 && pos - layout.cuts.last() >= pieceBytes)
          layout.cuts.append(pos);
      } else if (selfClosing) {
        if (depth == 0)
          return std::nullopt;  // an empty root: left to the parser
        if (depth == containerDepth && !inData && isContainer(nameStart, nameEnd))
          return std::nullopt;  // no items at all: left to the parser
        if (inData && depth == containerDepth + 1 && pos - layout.cuts.last() >= pieceBytes)
          layout.cuts.append(pos);
      } else {
        if (depth == containerDepth && !inData && isContainer(nameStart, nameEnd)) {
          inData = true;
          layout.contentStart = pos;
          layout.cuts.append(pos);
          layout.closing = "</" + QByteArray(data + nameStart, nameEnd - nameStart) + ">";
          for (qsizetype level = open.size() - 1; level >= 0; --level)
            layout.closing += "</" + open.at(level).toByteArray() + ">";
        }
        open.append(QByteArrayView(data + nameStart, nameEnd - nameStart));
        ++depth;
      }
    }
    if (pos < 0)
      return std::nullopt;
  }
  return std::nullopt;
}

// Reads the items one at a time: `visit` gets each item element of the first container
// in document order, `frame` the root element first.
enum class Walk { Done, Failed, Again };

Walk walkItems(const QByteArray &xml, qsizetype pieceBytes, const PartShape &shape, QString *error,
               const std::function<void(const pugi::xml_node &)> &frame,
               const std::function<bool(const pugi::xml_node &)> &visit) {
  const std::optional<RowLayout> layout = pieceBytes > 0 ? scanItems(xml, pieceBytes, shape) : std::nullopt;
  pugi::xml_document document;
  // Without pieces: the whole part; with them: the part without its items first (or
  // only what comes before them, closed).
  const QByteArray outside = !layout ? xml
                             : shape.ignoreAfterContainer ? xml.left(layout->contentStart) + layout->closing
                                                          : xml.left(layout->contentStart) + xml.mid(layout->contentEnd);
  if (!parse(document, outside, error))
    return layout && outside.size() <= MaxWholePartBytes ? Walk::Again : Walk::Failed;
  const pugi::xml_node root = rootElement(document);
  if (!named(root, shape.root)) {
    if (error)
      *error = QString::fromUtf8(shape.wrongRoot);
    return Walk::Failed;
  }
  frame(root);
  pugi::xml_node container = root;
  for (const char *step : shape.path)
    container = child(container, step);
  auto isItem = [&](const pugi::xml_node &node) {
    return shape.item ? named(node, shape.item) : node.type() == pugi::node_element;
  };
  if (!layout) {
    for (pugi::xml_node item = container.first_child(); item; item = item.next_sibling())
      if (isItem(item) && !visit(item))
        return Walk::Failed;
    return Walk::Done;
  }
  if (!shape.path.empty() && !named(container, shape.path.back()))
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
    if (!result) {
      if (xml.size() <= MaxWholePartBytes)
        return Walk::Again;  // the whole part then says what is wrong
      if (error)
        *error = QStringLiteral("%1 at offset %2")
                     .arg(QString::fromUtf8(result.description()))
                     .arg(from + static_cast<qsizetype>(result.offset));
      return Walk::Failed;
    }
    for (pugi::xml_node item = piece.first_child(); item; item = item.next_sibling())
      if (isItem(item) && !visit(item))
        return Walk::Failed;
  }
  return Walk::Done;
}

const PartShape SheetShape{"worksheet", {"sheetData"}, "row", "the part holds no worksheet"};
const PartShape StringTableShape{"sst", {}, "si", "the shared-string part holds no string table"};
const PartShape OdsShape{"document-content", {"body", "spreadsheet", "table"}, nullptr,
                         "the package holds no spreadsheet content", true};
const PartShape Xml2004Shape{"Workbook", {"Worksheet", "Table"}, "Row", "the file holds no Office 2003 workbook", true};

}  // namespace

std::optional<QStringList> readSharedStrings(const QByteArray &xml, QString *error, const TextLimits &limits,
                                             qsizetype pieceBytes) {
  QStringList strings;
  qint64 characters = 0;
  QString reason;
  auto visit = [&](const pugi::xml_node &si) {
    if (strings.size() >= limits.maxSharedStrings) {
      reason = QStringLiteral("the workbook holds more than %1 shared strings").arg(grouped(limits.maxSharedStrings));
      return false;
    }
    std::optional<QString> text = stringItem(si, limits.maxCellCharacters);
    if (!text) {
      reason = tooLongCell(limits.maxCellCharacters);
      return false;
    }
    characters += text->size();
    if (characters > limits.maxTextCharacters) {
      reason = QStringLiteral("the shared strings hold more than %1 characters").arg(grouped(limits.maxTextCharacters));
      return false;
    }
    strings.append(std::move(*text));
    return true;
  };
  for (int attempt = 0; attempt < 2; ++attempt) {
    strings.clear();
    characters = 0;
    reason.clear();
    const Walk walk = walkItems(xml, attempt == 0 ? pieceBytes : 0, StringTableShape, &reason,
                                [](const pugi::xml_node &) {}, visit);
    if (walk == Walk::Again)
      continue;
    if (walk == Walk::Failed) {
      if (error)
        *error = reason;
      return std::nullopt;
    }
    break;
  }
  return strings;
}

std::optional<Sheet> readSheet(const QByteArray &xml, const QStringList &sharedStrings, int minColumns,
                               bool headerOnly, QString *error, qint64 maxCells, qsizetype pieceBytes,
                               const TextLimits &limits) {
  Sheet sheet;
  int columns = 0;
  QStringList blank;
  QList<std::pair<int, QString>> firstRow;  // with headerOnly: the first row's values
  bool sawRow = false;
  qint64 characters = 0;  // of the values kept
  // Rows without any value since the last row with one. They become rows only when a row
  // with a value follows: the rows a spreadsheet program writes below the data for their
  // formatting alone (borders, fills drawn over empty cells) are no rows of the table.
  qint64 emptyRows = 0;
  bool sawValue = false;  // with headerOnly: whether any row holds a value
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
    // The rows the next row with a value makes: the empty ones before it and itself.
    auto rowsWith = [&] { return static_cast<qint64>(sheet.rows.size()) + emptyRows + 1; };
    bool hasValue = false;
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
      std::optional<QString> read = cellValue(cell, sharedStrings, limits.maxCellCharacters);
      if (!read) {
        reason = tooLongCell(limits.maxCellCharacters);
        return false;
      }
      QString value = std::move(*read);
      if (value.isEmpty())
        continue;
      if (!headerOnly || first) {
        characters += value.size();
        if (characters > limits.maxTextCharacters) {
          reason = QStringLiteral("the sheet holds more than %1 characters of text").arg(grouped(limits.maxTextCharacters));
          return false;
        }
      }
      if (column >= columns) {
        // A cell beyond the dimension widens the sheet: every row so far, and the rest.
        if (!headerOnly && rowsWith() * (column + 1) > maxCells) {
          reason = QStringLiteral("the sheet holds more than %1 cells").arg(maxCells);
          return false;
        }
        widen(column + 1);
        if (!headerOnly)
          while (values.size() < columns)
            values.append(QString());
      }
      hasValue = true;
      if (headerOnly) {
        if (first)
          firstRow.append({column, std::move(value)});
      } else {
        values[column] = std::move(value);
      }
    }
    if (headerOnly) {
      sawValue = sawValue || hasValue;
      return true;
    }
    if (!hasValue) {
      ++emptyRows;
      return true;
    }
    if (rowsWith() * std::max(columns, 1) > maxCells) {
      reason = QStringLiteral("the sheet holds more than %1 cells").arg(maxCells);
      return false;
    }
    for (; emptyRows > 0; --emptyRows)
      sheet.rows.append(blank);
    sheet.rows.append(std::move(values));
    return true;
  };

  for (int attempt = 0; attempt < 2; ++attempt) {
    sheet = Sheet();
    blank.clear();
    firstRow.clear();
    sawRow = false;
    characters = 0;
    emptyRows = 0;
    sawValue = false;
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
    auto frame = [&](const pugi::xml_node &worksheet) {
      if (const pugi::xml_node node = child(worksheet, "dimension"))
        dimension = QString::fromUtf8(attribute(node, "ref").value());
    };
    const Walk walk = walkItems(xml, attempt == 0 ? pieceBytes : 0, SheetShape, &reason, frame, sizedVisit);
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
  // The names are those of the first row, when the table has any row.
  if (headerOnly && sawRow && sawValue) {
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

namespace {

// Column positions and counts are held below this, far past the last column (XFD) yet
// far from the ends of 64 bits, so that sums of them never overflow.
constexpr qint64 FarPastTheSheet = qint64(1) << 40;

// The rows of a table given cell by cell: every row is a row, one without any value
// too, except those after the last row with a value (the rest of the table, which the
// formats write as padding); every row is as wide as the last column holding a value.
// The rows are kept as runs of equal cells until the table ends, so that the cells are
// counted against the cap before any of them is made.
class TableBuilder {
public:
  TableBuilder(qint64 maxCells, const TextLimits &limits, QString *reason)
      : m_maxCells(maxCells), m_limits(limits), m_reason(reason) {}

  // Puts `value` (when not empty) into `count` columns from the 0-based `column` of the
  // row being read.
  bool add(qint64 column, QString value, qint64 count = 1) {
    if (value.isEmpty())
      return true;
    if (column < 0 || count < 1 || count > MaxColumns || column > MaxColumns - count) {
      *m_reason = QStringLiteral("a cell lies beyond column XFD");
      return false;
    }
    m_characters += value.size() * count;
    if (m_characters > m_limits.maxTextCharacters) {
      *m_reason = QStringLiteral("the sheet holds more than %1 characters of text").arg(grouped(m_limits.maxTextCharacters));
      return false;
    }
    m_row.append({static_cast<int>(column), static_cast<int>(count), std::move(value)});
    return true;
  }

  // The next row stands at the 0-based row `index`: the rows before it that the file
  // leaves out are empty rows. An index at or before the next row changes nothing.
  void moveTo(qint64 index) {
    const qint64 next = m_rowCount + m_emptyRows;
    if (index > next)
      m_emptyRows = std::min(index - m_rowCount, FarPastTheSheet);
  }

  // Ends the row being read; a row without any value stands for `emptyRows` rows.
  bool endRow(qint64 emptyRows = 1) {
    if (m_row.isEmpty()) {
      m_emptyRows = std::min(m_emptyRows + emptyRows, FarPastTheSheet);  // kept once a row with a value follows
      return true;
    }
    int width = m_columns;
    for (const Run &run : m_row)
      width = std::max(width, run.column + run.count);
    if ((m_rowCount + m_emptyRows + 1) * width > m_maxCells) {
      *m_reason = QStringLiteral("the sheet holds more than %1 cells").arg(m_maxCells);
      return false;
    }
    m_columns = width;
    m_rowCount += m_emptyRows + 1;
    m_rows.append({m_emptyRows, std::move(m_row)});
    m_emptyRows = 0;
    m_row.clear();
    return true;
  }

  // The rows, every one as wide as the widest; their cells are within the cap.
  Sheet take() {
    Sheet sheet;
    sheet.columns = m_columns;
    sheet.rows.reserve(static_cast<qsizetype>(m_rowCount));
    const QStringList blank(m_columns);  // one list that the empty rows share
    for (Row &pending : m_rows) {
      for (qint64 k = 0; k < pending.emptyBefore; ++k)
        sheet.rows.append(blank);
      QStringList row(m_columns);
      for (const Run &run : pending.runs)
        for (int k = 0; k < run.count; ++k)
          row[run.column + k] = run.value;
      sheet.rows.append(std::move(row));
    }
    m_rows.clear();
    return sheet;
  }
  QString *reasonPlace() { return m_reason; }

private:
  // `count` cells from `column` holding one value.
  struct Run {
    int column;
    int count;
    QString value;
  };
  // A row with values and the empty rows before it.
  struct Row {
    qint64 emptyBefore;
    QList<Run> runs;
  };
  qint64 m_maxCells;
  TextLimits m_limits;
  QString *m_reason;
  QList<Row> m_rows;
  qint64 m_rowCount = 0;  // the rows of m_rows with the empty rows before them
  int m_columns = 0;
  qint64 m_characters = 0;
  qint64 m_emptyRows = 0;  // rows without a value since the last row with one
  QList<Run> m_row;
};

// An integer attribute by its local name, held within [`lowest`, `highest`]; `fallback`
// when missing or no number.
qint64 integerAttribute(const pugi::xml_node &node, const char *local, qint64 fallback, qint64 lowest,
                        qint64 highest) {
  const pugi::xml_attribute a = attribute(node, local);
  if (!a)
    return fallback;
  bool ok = false;
  const qint64 value = QByteArray(a.value()).trimmed().toLongLong(&ok);
  return ok ? std::clamp(value, lowest, highest) : fallback;
}

// The text of an OpenDocument paragraph as a reader sees it: runs of white space in the
// markup collapse to one space (none at the paragraph's start), and the space, tab and
// line-break elements give their characters; spans and other elements give the text
// inside them, annotations and notes nothing. False once `out` passes `maxBytes`.
bool appendOdsText(const pugi::xml_node &paragraph, QByteArray &out, qsizetype maxBytes, bool &afterSpace) {
  for (pugi::xml_node c = paragraph.first_child(); c;) {
    if (out.size() > maxBytes)
      return false;
    bool enter = false;
    if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
      for (const char *p = c.value(); *p; ++p) {
        const bool space = *p == ' ' || *p == '\t' || *p == '\n' || *p == '\r';
        if (space) {
          if (!afterSpace && !out.isEmpty() && out.back() != '\n')
            out.append(' ');
          afterSpace = true;
        } else {
          out.append(*p);
          afterSpace = false;
        }
        if (out.size() > maxBytes)
          return false;
      }
    } else if (named(c, "s")) {
      const qint64 count = integerAttribute(c, "c", 1, 1, FarPastTheSheet);
      if (count > maxBytes - out.size())
        return false;
      out.append(QByteArray(static_cast<qsizetype>(count), ' '));
      afterSpace = false;
    } else if (named(c, "tab")) {
      out.append('\t');
      afterSpace = false;
    } else if (named(c, "line-break")) {
      out.append('\n');
      afterSpace = false;
    } else {
      enter = c.type() == pugi::node_element && !named(c, "annotation") && !named(c, "note");
    }
    c = nextBelow(paragraph, c, enter);
  }
  return out.size() <= maxBytes;
}

// The text of an OpenDocument cell: its paragraphs, one line each.
std::optional<QString> odsCellText(const pugi::xml_node &cell, qsizetype maxCharacters) {
  QByteArray text;
  bool firstParagraph = true;
  for (pugi::xml_node c = cell.first_child(); c; c = c.next_sibling()) {
    if (!named(c, "p") && !named(c, "h"))
      continue;
    if (!firstParagraph)
      text.append('\n');
    firstParagraph = false;
    QByteArray paragraph;
    bool afterSpace = false;
    if (!appendOdsText(c, paragraph, maxBytesFor(maxCharacters), afterSpace))
      return std::nullopt;
    text.append(paragraph);
    if (text.size() > maxBytesFor(maxCharacters))
      return std::nullopt;
  }
  return limitedText(text, maxCharacters);
}

// All text below an element, in document order.
bool appendAllText(const pugi::xml_node &node, QByteArray &out, qsizetype maxBytes) {
  for (pugi::xml_node c = node.first_child(); c; c = nextBelow(node, c, c.type() == pugi::node_element)) {
    if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
      const size_t length = std::strlen(c.value());
      if (length > static_cast<size_t>(maxBytes - out.size()))
        return false;
      out.append(c.value(), static_cast<qsizetype>(length));
    }
  }
  return true;
}

template <typename Visit>
std::optional<Sheet> readTable(const QByteArray &xml, const PartShape &shape, QString *error, qint64 maxCells,
                               qsizetype pieceBytes, const TextLimits &limits, Visit visitRow) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    QString reason;
    TableBuilder table(maxCells, limits, &reason);
    const Walk walk = walkItems(xml, attempt == 0 ? pieceBytes : 0, shape, &reason, [](const pugi::xml_node &) {},
                                [&](const pugi::xml_node &item) { return visitRow(item, table); });
    if (walk == Walk::Again)
      continue;
    if (walk == Walk::Failed) {
      if (error)
        *error = reason;
      return std::nullopt;
    }
    return table.take();
  }
  return std::nullopt;
}

// One OpenDocument row.
bool visitOdsRow(const pugi::xml_node &row, TableBuilder &table, const TextLimits &limits, QString *reason) {
  qint64 column = 0;  // at most FarPastTheSheet
  for (pugi::xml_node cell = row.first_child(); cell; cell = cell.next_sibling()) {
    if (cell.type() != pugi::node_element)
      continue;
    const qint64 repeated = integerAttribute(cell, "number-columns-repeated", 1, 1, FarPastTheSheet);
    std::optional<QString> text = odsCellText(cell, limits.maxCellCharacters);
    if (!text) {
      *reason = tooLongCell(limits.maxCellCharacters);
      return false;
    }
    if (!text->isEmpty() && !table.add(column, std::move(*text), repeated))
      return false;
    column = std::min(column + repeated, FarPastTheSheet);
  }
  // A repeated row with values is read once; a repeated empty row stands for every row.
  return table.endRow(integerAttribute(row, "number-rows-repeated", 1, 1, FarPastTheSheet));
}

// An OpenDocument row, or a group of rows (header rows, row groups, nested as deeply as
// the file nests them): its rows in document order.
bool visitOdsRows(const pugi::xml_node &item, TableBuilder &table, const TextLimits &limits, QString *reason) {
  auto isGroup = [](const pugi::xml_node &node) {
    return named(node, "table-row-group") || named(node, "table-header-rows") || named(node, "table-rows");
  };
  if (!isGroup(item))
    return !named(item, "table-row") || visitOdsRow(item, table, limits, reason);
  for (pugi::xml_node node = item.first_child(); node;) {
    if (named(node, "table-row") && !visitOdsRow(node, table, limits, reason))
      return false;
    node = nextBelow(item, node, isGroup(node));
  }
  return true;
}

}  // namespace

std::optional<Sheet> readOdsContent(const QByteArray &xml, QString *error, qint64 maxCells, qsizetype pieceBytes,
                                    const TextLimits &limits) {
  QString reason;
  std::optional<Sheet> sheet = readTable(xml, OdsShape, &reason, maxCells, pieceBytes, limits,
                                         [&](const pugi::xml_node &item, TableBuilder &table) {
                                           return visitOdsRows(item, table, limits, table.reasonPlace());
                                         });
  if (!sheet && error)
    *error = reason;
  return sheet;
}

std::optional<Sheet> readWorksheetXml2004(const QByteArray &xml, QString *error, qint64 maxCells,
                                          qsizetype pieceBytes, const TextLimits &limits) {
  QString reason;
  std::optional<Sheet> sheet = readTable(
      xml, Xml2004Shape, &reason, maxCells, pieceBytes, limits, [&](const pugi::xml_node &row, TableBuilder &table) {
        // A row after rows left out names its 1-based number.
        if (const qint64 index = integerAttribute(row, "Index", 0, 0, FarPastTheSheet); index > 0)
          table.moveTo(index - 1);
        qint64 column = 0;  // at most FarPastTheSheet
        for (pugi::xml_node cell = row.first_child(); cell; cell = cell.next_sibling()) {
          if (!named(cell, "Cell"))
            continue;
          // A cell after a gap names its 1-based column; a merged cell spans more.
          column = std::max(column, integerAttribute(cell, "Index", column + 1, 1, FarPastTheSheet) - 1);
          QByteArray text;
          if (const pugi::xml_node data = child(cell, "Data");
              data && !appendAllText(data, text, maxBytesFor(limits.maxCellCharacters))) {
            *table.reasonPlace() = tooLongCell(limits.maxCellCharacters);
            return false;
          }
          std::optional<QString> value = limitedText(text, limits.maxCellCharacters);
          if (!value) {
            *table.reasonPlace() = tooLongCell(limits.maxCellCharacters);
            return false;
          }
          if (!table.add(column, std::move(*value)))
            return false;
          const qint64 across = integerAttribute(cell, "MergeAcross", 0, 0, FarPastTheSheet);
          column = std::min(column + 1 + across, FarPastTheSheet);
        }
        return table.endRow();
      });
  if (!sheet && error)
    *error = reason;
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
