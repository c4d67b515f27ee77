#pragma once
// Real peers for the import tests: LibreOffice Calc writes CSV files and LibreOffice
// Writer an RTF file with styled runs, converted once per run of the test executable from
// flat documents written here (one LibreOffice call per output filter: a call takes one);
// unrtf reads the RTF file as a second opinion on its text.

#include "tests/dataseries/spreadsheet_peers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace importpeers {

// The cells of the CSV sheet "quoting", row by row.
inline QList<QStringList> quotingCells() {
  return {{QStringLiteral("name, first"), QStringLiteral("say \"hi\"")},
          {QStringLiteral("two\nlines"), QStringLiteral("42")},
          {QStringLiteral("caf\u00e9"), QString()},
          {QStringLiteral("last"), QStringLiteral("{x}")}};
}
// The cells of the one-column sheet.
inline QStringList oneColumnCells() {
  return {QStringLiteral("alpha"), QStringLiteral("beta gamma"), QStringLiteral("delta")};
}
// The values the styled document gives, in order.
inline QStringList styledValues() {
  return {QStringLiteral("Plain bold and red italic run"), QStringLiteral("Second braced line with a  backslash"),
          QStringLiteral("Caf\u00e9, na\u00efve and \u20ac"), QStringLiteral("\u0422\u0440\u0435\u0442\u044c\u044f"),
          QStringLiteral("Before break"), QStringLiteral("after break"), QStringLiteral("tab\there")};
}

inline QString xmlEscaped(const QString &text) { return text.toHtmlEscaped(); }

inline QByteArray flatSheet(const QList<QStringList> &rows) {
  QString body;
  for (const QStringList &row : rows) {
    body += QStringLiteral("<table:table-row>");
    for (const QString &cell : row) {
      if (cell.isEmpty()) {
        body += QStringLiteral("<table:table-cell/>");
        continue;
      }
      body += QStringLiteral("<table:table-cell office:value-type=\"string\">");
      for (const QString &paragraph : cell.split(QLatin1Char('\n')))
        body += QStringLiteral("<text:p>%1</text:p>").arg(xmlEscaped(paragraph));
      body += QStringLiteral("</table:table-cell>");
    }
    body += QStringLiteral("</table:table-row>");
  }
  return QStringLiteral(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
             "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
             "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\" "
             "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:body><office:spreadsheet>"
             "<table:table table:name=\"S\">%1</table:table></office:spreadsheet></office:body></office:document>\n")
      .arg(body)
      .toUtf8();
}

inline QByteArray styledText() {
  return QStringLiteral(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
             "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
             "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
             "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" office:version=\"1.2\" "
             "office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:automatic-styles>"
             "<style:style style:name=\"T1\" style:family=\"text\"><style:text-properties fo:font-weight=\"bold\"/>"
             "</style:style><style:style style:name=\"T2\" style:family=\"text\"><style:text-properties "
             "fo:color=\"#ff0000\" fo:font-style=\"italic\" fo:font-size=\"18pt\"/></style:style>"
             "</office:automatic-styles><office:body><office:text>"
             "<text:p>Plain <text:span text:style-name=\"T1\">bold</text:span> and "
             "<text:span text:style-name=\"T2\">red italic</text:span> run</text:p>"
             "<text:p>Second {braced} line with a \\ backslash</text:p>"
             "<text:p><text:span text:style-name=\"T2\">Caf\u00e9</text:span>, na\u00efve and \u20ac</text:p>"
             "<text:p/>"
             "<text:p>\u0422\u0440\u0435\u0442\u044c\u044f</text:p>"
             "<text:p>Before break<text:line-break/>after break</text:p>"
             "<text:p>tab<text:tab/>here</text:p>"
             "</office:text></office:body></office:document>\n")
      .toUtf8();
}

struct Files {
  QString quotingCsv;
  QString oneColumnCsv;
  QString styledRtf;
};

// The peer-made files, made on first use; fails the calling test (and gives empty
// paths) when LibreOffice cannot make them.
inline const Files &files() {
  static Files made;
  static QString failure;
  static bool done = false;
  if (!done) {
    done = true;
    const QString in = spreadsheet_peers::runFolder().path() + QStringLiteral("/import-in");
    const QString out = spreadsheet_peers::runFolder().path() + QStringLiteral("/import-out");
    QDir().mkpath(in);
    QDir().mkpath(out);
    auto put = [&](const QString &name, const QByteArray &bytes) {
      QFile file(in + QLatin1Char('/') + name);
      if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
      return file.fileName();
    };
    QList<QStringList> oneColumn;
    for (const QString &cell : oneColumnCells())
      oneColumn.append(QStringList{cell});
    const QStringList sheets{put(QStringLiteral("quoting.fods"), flatSheet(quotingCells())),
                             put(QStringLiteral("onecolumn.fods"), flatSheet(oneColumn))};
    const QString text = put(QStringLiteral("styled.fodt"), styledText());
    failure = spreadsheet_peers::convert(sheets, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"), out);
    if (failure.isEmpty())
      failure = spreadsheet_peers::convert(QStringList{text}, QStringLiteral("rtf"), out);
    if (failure.isEmpty())
      made = {out + QStringLiteral("/quoting.csv"), out + QStringLiteral("/onecolumn.csv"),
              out + QStringLiteral("/styled.rtf")};
  }
  if (!failure.isEmpty())
    ADD_FAILURE() << failure.toStdString();
  return made;
}

// The body lines unrtf reads from an RTF file (its header of "###" lines and the
// "-----------------" rule dropped), as Latin-1; fails the test when unrtf is missing.
inline QStringList unrtfLines(const QString &path) {
  QProcess process;
  process.start(QStringLiteral("unrtf"), QStringList{QStringLiteral("--text"), path});
  if (!process.waitForFinished(60000) || process.exitCode() != 0) {
    ADD_FAILURE() << "unrtf could not read " << path.toStdString()
                  << " (bash scripts/deps.sh test installs the package unrtf)";
    return {};
  }
  QStringList lines = QString::fromLatin1(process.readAllStandardOutput()).split(QLatin1Char('\n'));
  const qsizetype rule = lines.indexOf(QStringLiteral("-----------------"));
  return rule < 0 ? lines : lines.mid(rule + 1);
}

}  // namespace importpeers
