#include "dataseries/model/ImportSources.h"

#include "core/Utilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <vector>

#include <dirent.h>

namespace ImportSources {

std::optional<QByteArray> readFile(const QString &path) {
  const QFileInfo info(path);
  // Only a regular file: a named pipe would wait for a writer for ever.
  if (path.isEmpty() || !info.isFile() || info.size() > MaxFileBytes)
    return std::nullopt;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return std::nullopt;
  QByteArray bytes = file.read(MaxFileBytes + 1);
  if (bytes.size() > MaxFileBytes || file.error() != QFileDevice::NoError)
    return std::nullopt;
  return bytes;
}

QString decodeText(const QByteArray &bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF"))
    return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError())
    return text;
  return QString::fromLatin1(bytes);
}

QList<QStringList> parseCsv(const QString &text) {
  QList<QStringList> records;
  QStringList record;
  QString field;
  bool inQuotes = false;
  // Whether the current field began with a quote, and whether anything of the current
  // record has been read (so a text ending in a line end gives no empty record).
  bool fieldQuoted = false;
  bool recordStarted = false;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text.at(i);
    recordStarted = true;
    if (inQuotes) {
      if (c == u'"') {
        if (i + 1 < n && text.at(i + 1) == u'"') {
          field.append(u'"');
          ++i;
        } else {
          inQuotes = false;
        }
      } else {
        field.append(c);
      }
      continue;
    }
    if (c == u'"' && field.isEmpty() && !fieldQuoted) {
      inQuotes = true;
      fieldQuoted = true;
    } else if (c == u',') {
      record.append(field);
      field.clear();
      fieldQuoted = false;
    } else if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
        ++i;
      record.append(field);
      records.append(record);
      record.clear();
      field.clear();
      fieldQuoted = false;
      recordStarted = false;
    } else {
      // A quote inside an unquoted field, or after a closing quote, is kept as it is.
      field.append(c);
    }
  }
  if (recordStarted) {
    record.append(field);
    records.append(record);
  }
  return records;
}

// ---- Rich text -------------------------------------------------------------------------------

namespace {

// Windows-1252 at 0x80 to 0x9F; the rest of the page is Latin-1. Unassigned bytes map
// to themselves.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar fromCodePage(unsigned char byte, int codePage) {
  if (codePage == 1252 && byte >= 0x80 && byte <= 0x9F)
    return QChar(Cp1252High[byte - 0x80]);
  return QChar(char16_t(byte));
}

// Destinations whose contents are no body text.
const QSet<QByteArray> &skippedDestinations() {
  static const QSet<QByteArray> names{
      "fonttbl",     "colortbl",   "stylesheet", "info",       "pict",        "shppict",       "nonshppict",
      "object",      "objdata",    "objclass",   "header",     "headerl",     "headerr",       "headerf",
      "footer",      "footerl",    "footerr",    "footerf",    "footnote",    "fldinst",       "xe",
      "tc",          "txe",        "rxe",        "listtable",  "listoverridetable", "revtbl", "rsidtbl",
      "generator",   "themedata",  "colorschememapping", "datastore", "latentstyles", "pgdsctbl", "private",
      "userprops",   "xmlnstbl",   "mmathPr",    "fchars",     "lchars",      "pntext",        "pntxta",
      "pntxtb",      "listtext",   "bkmkstart",  "bkmkend",    "filetbl",     "annotation",    "atnid",
      "atnauthor",   "template",   "docvar",     "shpinst",    "sp",          "sn",            "sv"};
  return names;
}

struct RtfGroup {
  bool skip = false;
  int unicodeSkip = 1;  // \uc: characters of fallback after a \u character
};

class RtfReader {
public:
  explicit RtfReader(const QByteArray &bytes) : m_bytes(bytes) {}

  std::optional<QString> read() {
    qsizetype i = 0;
    const qsizetype n = m_bytes.size();
    while (i < n && (m_bytes.at(i) == ' ' || m_bytes.at(i) == '\t' || m_bytes.at(i) == '\r' || m_bytes.at(i) == '\n'))
      ++i;
    if (!m_bytes.mid(i, 5).startsWith("{\\rtf"))
      return std::nullopt;
    std::vector<RtfGroup> stack;
    RtfGroup group;
    while (i < n) {
      const char c = m_bytes.at(i);
      if (c == '{') {
        if (int(stack.size()) >= MaxRtfDepth)
          return std::nullopt;
        stack.push_back(group);
        m_pendingSkip = 0;
        ++i;
      } else if (c == '}') {
        m_pendingSkip = 0;
        ++i;
        if (stack.empty())
          break;
        group = stack.back();
        stack.pop_back();
        // The document's own group is closed: the rest is no part of it.
        if (stack.empty())
          break;
      } else if (c == '\\') {
        i = controlAt(i, group);
      } else if (c == '\r' || c == '\n') {
        ++i;  // line ends in the source are no text
      } else {
        put(group, byteChar(static_cast<unsigned char>(c)));
        ++i;
      }
    }
    return m_text;
  }

private:
  void put(const RtfGroup &group, QChar c) {
    if (group.skip)
      return;
    if (m_pendingSkip > 0) {
      --m_pendingSkip;
      return;
    }
    m_text.append(c);
  }

  // A byte of text in the document's code page: a single-byte Windows page the system
  // knows, else Windows-1252 or Latin-1.
  QChar byteChar(unsigned char byte) {
    if (byte >= 0x80 && m_pageDecoder) {
      const QString decoded = m_pageDecoder->decode(QByteArray(1, char(byte)));
      if (decoded.size() == 1)
        return decoded.at(0);
    }
    return fromCodePage(byte, m_codePage);
  }

  static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  static bool isDigit(char c) { return c >= '0' && c <= '9'; }
  static int hexValue(char c) {
    if (isDigit(c))
      return c - '0';
    if (c >= 'a' && c <= 'f')
      return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
      return c - 'A' + 10;
    return -1;
  }

  // Reads the control word or symbol at `i` (a backslash) and returns the index after it.
  qsizetype controlAt(qsizetype i, RtfGroup &group) {
    const qsizetype n = m_bytes.size();
    ++i;
    if (i >= n)
      return i;
    const char c = m_bytes.at(i);
    if (!isLetter(c)) {
      ++i;
      switch (c) {
      case '\\':
      case '{':
      case '}':
        put(group, QLatin1Char(c));
        break;
      case '~':
        put(group, QChar(0x00A0));
        break;
      case '_':
        put(group, QLatin1Char('-'));
        break;
      case '*':
        group.skip = true;
        break;
      case '\r':
      case '\n':
        put(group, QLatin1Char('\n'));
        break;
      case '\'': {
        const int high = i < n ? hexValue(m_bytes.at(i)) : -1;
        const int low = i + 1 < n ? hexValue(m_bytes.at(i + 1)) : -1;
        if (high >= 0 && low >= 0) {
          i += 2;
          put(group, byteChar(static_cast<unsigned char>(high * 16 + low)));
        }
        break;
      }
      default:
        // \- (optional hyphen), \: and the others give no text; still one character of
        // a \u fallback.
        if (!group.skip && m_pendingSkip > 0)
          --m_pendingSkip;
        break;
      }
      return i;
    }
    const qsizetype start = i;
    while (i < n && isLetter(m_bytes.at(i)) && i - start < 32)
      ++i;
    const QByteArray word = m_bytes.mid(start, i - start);
    bool hasParameter = false;
    qint64 parameter = 0;
    bool negative = false;
    if (i < n && m_bytes.at(i) == '-' && i + 1 < n && isDigit(m_bytes.at(i + 1))) {
      negative = true;
      ++i;
    }
    const qsizetype digits = i;
    while (i < n && isDigit(m_bytes.at(i))) {
      if (i - digits < 10)
        parameter = parameter * 10 + (m_bytes.at(i) - '0');
      ++i;
    }
    hasParameter = i > digits;
    if (negative)
      parameter = -parameter;
    if (i < n && m_bytes.at(i) == ' ')
      ++i;

    // A control word standing in the fallback of a \u character is that character.
    if (word != "u" && !group.skip && m_pendingSkip > 0) {
      --m_pendingSkip;
      return i;
    }
    if (word == "bin") {
      // Binary data of `parameter` bytes follows.
      const qint64 skip = std::clamp<qint64>(hasParameter ? parameter : 0, 0, n - i);
      return i + skip;
    }
    if (word == "u" && hasParameter) {
      const qint64 code = parameter < 0 ? parameter + 65536 : parameter;
      if (code >= 0 && code <= 0xFFFF) {
        put(group, QChar(char16_t(code)));
      }
      m_pendingSkip = group.skip ? 0 : group.unicodeSkip;
      return i;
    }
    if (word == "uc") {
      group.unicodeSkip = int(std::clamp<qint64>(parameter, 0, 16));
      return i;
    }
    if (word == "ansicpg") {
      m_codePage = int(parameter);
      m_pageDecoder.reset();
      // Single-byte pages only: a byte of a multi-byte page means nothing alone.
      if (m_codePage == 874 || (m_codePage >= 1250 && m_codePage <= 1258 && m_codePage != 1252)) {
        m_pageDecoder.emplace(QStringLiteral("windows-%1").arg(m_codePage).toLatin1().constData(),
                              QStringDecoder::Flag::Stateless);
        if (!m_pageDecoder->isValid())
          m_pageDecoder.reset();
      }
      return i;
    }
    if (skippedDestinations().contains(word)) {
      group.skip = true;
      return i;
    }
    if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "row" || word == "cell")
      put(group, QLatin1Char('\n'));
    else if (word == "tab")
      put(group, QLatin1Char('\t'));
    else if (word == "emdash")
      put(group, QChar(0x2014));
    else if (word == "endash")
      put(group, QChar(0x2013));
    else if (word == "bullet")
      put(group, QChar(0x2022));
    else if (word == "lquote")
      put(group, QChar(0x2018));
    else if (word == "rquote")
      put(group, QChar(0x2019));
    else if (word == "ldblquote")
      put(group, QChar(0x201C));
    else if (word == "rdblquote")
      put(group, QChar(0x201D));
    else if (word == "emspace" || word == "enspace" || word == "qmspace")
      put(group, QLatin1Char(' '));
    return i;
  }

  const QByteArray &m_bytes;
  QString m_text;
  int m_codePage = 1252;
  std::optional<QStringDecoder> m_pageDecoder;
  int m_pendingSkip = 0;
};

void appendLines(QStringList &values, const QString &text) {
  QString line;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i <= n; ++i) {
    const bool end = i == n || text.at(i) == u'\n' || text.at(i) == u'\r';
    if (!end) {
      line.append(text.at(i));
      continue;
    }
    if (i < n && text.at(i) == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
      ++i;
    const QString value = cleanedValue(line);
    if (!value.isEmpty())
      values.append(value);
    line.clear();
  }
}

}  // namespace

std::optional<QString> rtfText(const QByteArray &bytes) { return RtfReader(bytes).read(); }

// ---- Values ----------------------------------------------------------------------------------

QString cleanedValue(const QString &text) {
  QString value = text;
  value.remove(QLatin1Char('\\'));
  value.remove(QLatin1Char('{'));
  value.remove(QLatin1Char('}'));
  return Trim_Str(value);
}

QStringList textValues(const QString &text) {
  QStringList values;
  appendLines(values, text);
  return values;
}

QStringList csvValues(const QString &text) {
  QStringList values;
  for (const QStringList &record : parseCsv(text))
    for (const QString &field : record)
      appendLines(values, field);
  return values;
}

FileKind kindOf(const QString &path) {
  const QString extension = QFileInfo(path).suffix().toUpper();
  if (extension == QLatin1String("CSV"))
    return FileKind::Csv;
  if (extension == QLatin1String("RTF"))
    return FileKind::Rtf;
  return FileKind::Text;
}

std::optional<QStringList> fileValues(const QByteArray &bytes, FileKind kind) {
  switch (kind) {
  case FileKind::Rtf: {
    const std::optional<QString> text = rtfText(bytes);
    if (!text)
      return std::nullopt;
    return textValues(*text);
  }
  case FileKind::Csv:
    return csvValues(decodeText(bytes));
  case FileKind::Text:
    break;
  }
  return textValues(decodeText(bytes));
}

// ---- Pictures ---------------------------------------------------------------------------------

const QStringList &pictureExtensions() {
  static const QStringList extensions{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"),
                                      QStringLiteral("jfif"), QStringLiteral("gif"), QStringLiteral("bmp"),
                                      QStringLiteral("png"), QStringLiteral("tif"), QStringLiteral("tiff")};
  return extensions;
}

std::optional<QStringList> pictureFiles(const QString &folder) {
  if (folder.isEmpty() || !QFileInfo(folder).isDir())
    return std::nullopt;
  // The folder must open for listing: QDir gives an empty list for one that does not.
  DIR *dir = opendir(QFile::encodeName(folder).constData());
  if (!dir)
    return std::nullopt;
  closedir(dir);
  const QDir directory(folder);
  QStringList names;
  // Files only (a link to a file counts, a broken link does not), hidden ones included.
  for (const QString &name : directory.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted))
    if (pictureExtensions().contains(QFileInfo(name).suffix().toLower()))
      names.append(name);
  std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
  });
  QStringList paths;
  for (const QString &name : names)
    paths.append(joinPath(folder, name));
  return paths;
}

}  // namespace ImportSources
