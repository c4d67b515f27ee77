// The import wizard's readers (dataseries/model/ImportSources): the bytes are a text, CSV
// or RTF file chosen for import. CSV records must survive being written again with every
// field quoted; no reader may give a value that is empty or holds a line break, a brace or
// a backslash; rich text must end cleanly whatever its nesting and escapes.

#include "FuzzSupport.h"

#include "dataseries/model/ImportSources.h"

#include <QStringDecoder>

namespace {

void writeSeeds(const QString &folder) {
  fuzz::writeSeed(folder, QStringLiteral("csv_quoting"), "a,\"b, c\"\r\n\"say \"\"hi\"\"\",\"two\nlines\"\rlast");
  fuzz::writeSeed(folder, QStringLiteral("csv_one_column"), "alpha\nbeta\n\ngamma\n");
  fuzz::writeSeed(folder, QStringLiteral("latin1"), "caf\xE9\r\n{x}\\y\n");
  fuzz::writeSeed(folder, QStringLiteral("rtf_styled"),
                  "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                  "{\\*\\generator x;}\\pard Plain {\\b bold} {\\cf1 red}\\par caf\\'e9 \\u1058? \\uc2\\u8364\\'80\\'80"
                  "{\\field{\\*\\fldinst HYPERLINK}{\\fldrslt link}}\\line a\\tab b\\bin2 {}\\par}");
  // Files of the size people import: a list of a thousand addresses as CSV, and as rich
  // text with a paragraph each.
  QByteArray csv = "Name,E-mail,Note\r\n";
  QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
  for (int i = 0; i < 1000; ++i) {
    const QByteArray n = QByteArray::number(i);
    csv += "\"Guest " + n + "\",guest" + n + "@example.org,\"said \"\"sorry\"\", " + n + "\"\r\n";
    rtf += "Guest " + n + " {\\b guest" + n + "@example.org}\\par ";
  }
  fuzz::writeSeed(folder, QStringLiteral("csv_large"), csv);
  fuzz::writeSeed(folder, QStringLiteral("rtf_large"), rtf + "}");
}

QByteArray quotedCsv(const QList<QStringList> &records) {
  QString text;
  for (const QStringList &record : records) {
    QStringList fields;
    for (QString field : record)
      fields.append(QLatin1Char('"') + field.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"'));
    text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
  }
  return text.toUtf8();
}

void checkValues(const QStringList &values, const char *reader) {
  for (const QString &value : values)
    if (value.isEmpty() || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')) ||
        value.contains(QLatin1Char('\\')) || value.contains(QLatin1Char('{')) || value.contains(QLatin1Char('}')))
      fuzz::fail(QStringLiteral("the %1 reader gives a value that is empty or holds a line break, brace or backslash")
                     .arg(QLatin1String(reader)),
                 value);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_import_sources", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  const QString text = ImportSources::decodeText(bytes);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString strict = utf8.decode(bytes);
  if (!utf8.hasError() && !bytes.startsWith("\xEF\xBB\xBF") && text != strict)
    fuzz::fail(QStringLiteral("valid UTF-8 was not read as UTF-8"));

  const QList<QStringList> records = ImportSources::parseCsv(text);
  for (const QStringList &record : records)
    if (record.isEmpty())
      fuzz::fail(QStringLiteral("a CSV record without a field"));
  if (ImportSources::parseCsv(QString::fromUtf8(quotedCsv(records))) != records)
    fuzz::fail(QStringLiteral("CSV records read back otherwise once written with quotes"));

  checkValues(ImportSources::csvValues(text), "CSV");
  checkValues(ImportSources::textValues(text), "text");

  const std::optional<QString> rich = ImportSources::rtfText(bytes);
  if (rich && !bytes.trimmed().startsWith("{\\rtf"))
    fuzz::fail(QStringLiteral("bytes that are no rich text were read as rich text"));
  if (const std::optional<QStringList> values = ImportSources::fileValues(bytes, ImportSources::FileKind::Rtf))
    checkValues(*values, "RTF");
  return 0;
}
