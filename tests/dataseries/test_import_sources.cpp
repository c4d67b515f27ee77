// The import readers without windows: CSV records under every line end and quoting rule,
// the values a one-column CSV gives, text decoding with its fallbacks, rich text read by
// its grammar (and as LibreOffice Writer writes it, with unrtf's reading beside ours),
// and the picture listing of a folder.

#include "tests/dataseries/import_peers.h"

#include "dataseries/model/ImportSources.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace ImportSources;

namespace {

QList<QStringList> csv(const char *text) { return parseCsv(QString::fromUtf8(text)); }

}  // namespace

TEST(ImportSourcesCsv, RecordsEndAtEveryLineEndAndQuotesHoldCommasLineEndsAndQuotes) {
  // CR LF, LF and CR mixed in one file, and a last record without a line end.
  EXPECT_EQ(csv("a,b\r\nc,d\ne,f\rg,h"),
            (QList<QStringList>{{"a", "b"}, {"c", "d"}, {"e", "f"}, {"g", "h"}}));
  // A line end at the very end makes no empty record; a blank line is one empty field.
  EXPECT_EQ(csv("x\r\n\r\ny\r\n"), (QList<QStringList>{{"x"}, {""}, {"y"}}));
  EXPECT_EQ(csv("\"one, two\",\"say \"\"hi\"\"\",\"line\r\nbreak\",\"cr\rlf\nend\""),
            (QList<QStringList>{{"one, two", "say \"hi\"", "line\r\nbreak", "cr\rlf\nend"}}));
  // Empty fields, an empty quoted field, quotes inside an unquoted field kept as they are.
  EXPECT_EQ(csv(",\"\",a\"b\"c,"), (QList<QStringList>{{"", "", "a\"b\"c", ""}}));
  // An unterminated quote runs to the end of the text.
  EXPECT_EQ(csv("a,\"open\nstill"), (QList<QStringList>{{"a", "open\nstill"}}));
  EXPECT_TRUE(csv("").isEmpty());
}

TEST(ImportSourcesCsv, EveryFieldIsAValueAndOneColumnIsOneField) {
  // A CSV without commas is one field per record: each line a value.
  EXPECT_EQ(csvValues(QStringLiteral("alpha\r\nbeta\r\n\r\ngamma\r\n")), (QStringList{"alpha", "beta", "gamma"}));
  // Several fields on a line, and records without commas no longer dropped.
  EXPECT_EQ(csvValues(QStringLiteral("x,y\r\nz\r\nu,v")), (QStringList{"x", "y", "z", "u", "v"}));
  // A field over two lines gives a value per line (a series value holds no line break);
  // blanks, braces and backslashes go; empty fields give nothing.
  EXPECT_EQ(csvValues(QStringLiteral("\" {a} \",,\"b\nc\\d\"\n \t ,e")), (QStringList{"a", "b", "cd", "e"}));
  // No "NSFont = " cut-off any more.
  EXPECT_EQ(csvValues(QStringLiteral("NSFont = x,after\nnext")), (QStringList{"NSFont = x", "after", "next"}));
}

TEST(ImportSourcesText, Utf8WithOrWithoutItsMarkThenLatin1) {
  EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9")), QStringLiteral("caf\u00e9"));
  EXPECT_EQ(decodeText(QByteArray("caf\xC3\xA9 \xE2\x82\xAC")), QStringLiteral("caf\u00e9 \u20ac"));
  // Not valid UTF-8: every byte is a Latin-1 character, nothing is lost.
  EXPECT_EQ(decodeText(QByteArray("caf\xE9 na\xEFve")), QStringLiteral("caf\u00e9 na\u00efve"));
  // A text file's lines: trimmed, braces and backslashes gone, any line end, no cut-off at "NSFont = ".
  EXPECT_EQ(textValues(QStringLiteral(" a \n\n{b}\nc\\d\rNSFont = 1\r\ne")),
            (QStringList{"a", "b", "cd", "NSFont = 1", "e"}));
  EXPECT_EQ(kindOf(QStringLiteral("/x/list.CsV")), FileKind::Csv);
  EXPECT_EQ(kindOf(QStringLiteral("/x/list.Rtf")), FileKind::Rtf);
  EXPECT_EQ(kindOf(QStringLiteral("/x/rtf")), FileKind::Text);
}

TEST(ImportSourcesRtf, GroupsControlWordsEscapesUnicodeAndSkippedDestinations) {
  const QByteArray rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
      "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret title}}{\\*\\generator Someone;}"
      "\\pard\\plain First {\\b bold} and {\\i\\cf1 red} run\\par\n"
      "Escapes \\{in\\} \\\\ and caf\\'e9 \\'80\\par\n"
      "Uni \\u1058?\\u1077? \\uc2\\u8364\\'80\\'80 \\uc0\\u9731  end\\par\n"
      "{\\*\\unknowndestination hidden text}{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown link}}\\line "
      "a\\tab b\\~c\\-d\\_e\\par\n"
      "{\\pict\\pngblip 89504e47}\\bin3 {}xafter binary\\par}"
      "text after the document";
  const std::optional<QString> text = rtfText(rtf);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, QStringLiteral("First bold and red run\n"
                                  "Escapes {in} \\ and caf\u00e9 \u20ac\n"
                                  "Uni \u0422\u0435 \u20ac \u2603 end\n"
                                  "shown link\n"
                                  "a\tb\u00a0cd-e\n"
                                  "after binary\n"));
  EXPECT_EQ(*fileValues(rtf, FileKind::Rtf),
            (QStringList{"First bold and red run", "Escapes in  and caf\u00e9 \u20ac", "Uni \u0422\u0435 \u20ac \u2603 end",
                         "shown link", "a\tb\u00a0cd-e", "after binary"}));
  // Hex escapes in the document's code page.
  EXPECT_EQ(*rtfText("{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}"), QStringLiteral("\u0410\u0431"));
  // Negative \u values count from 65536; an unbalanced document ends with its text.
  EXPECT_EQ(*rtfText("{\\rtf1 \\u-3913?ok"), QStringLiteral("\uF0B7ok"));
}

TEST(ImportSourcesRtf, NoRichTextOrTooDeepIsRefusedAndHostileInputEndsCleanly) {
  EXPECT_FALSE(rtfText("plain text"));
  EXPECT_FALSE(rtfText(""));
  EXPECT_FALSE(fileValues("{\\rt", FileKind::Rtf));
  EXPECT_FALSE(rtfText("{\\rtf1" + QByteArray(MaxRtfDepth + 1, '{') + "x"));
  EXPECT_TRUE(rtfText("{\\rtf1" + QByteArray(MaxRtfDepth - 2, '{') + "x"));
  // Truncated escapes and parameters, a huge \bin and \uc, stray closing braces.
  for (const char *hostile : {"{\\rtf1 \\'", "{\\rtf1 \\'4", "{\\rtf1 \\u", "{\\rtf1 \\u99999999999999999999",
                              "{\\rtf1 \\bin999999999999 abc", "{\\rtf1 \\uc99999 \\u65 abc}", "{\\rtf1}}}}",
                              "{\\rtf1 \\", "{\\rtf1 \\-"})
    EXPECT_TRUE(rtfText(QByteArray(hostile))) << hostile;
}

TEST(ImportSourcesRtf, WriterDocumentsReadAsUnrtfReadsThem) {
  const importpeers::Files &files = importpeers::files();
  ASSERT_FALSE(files.styledRtf.isEmpty());
  const std::optional<QByteArray> bytes = readFile(files.styledRtf);
  ASSERT_TRUE(bytes);
  const std::optional<QStringList> values = fileValues(*bytes, FileKind::Rtf);
  ASSERT_TRUE(values);
  EXPECT_EQ(*values, importpeers::styledValues());
  // unrtf's lines that it can show in plain ASCII, cleaned as we clean ours, are ours too.
  int compared = 0;
  for (const QString &line : importpeers::unrtfLines(files.styledRtf)) {
    bool ascii = true;
    for (QChar c : line)
      ascii = ascii && c.unicode() < 0x80 && c != u'?';
    const QString value = cleanedValue(line);
    if (!ascii || value.isEmpty())
      continue;
    ++compared;
    // (unrtf ends a line after each tab.)
    EXPECT_TRUE(std::any_of(values->begin(), values->end(), [&](const QString &ours) { return ours.contains(value); }))
        << value.toStdString();
  }
  EXPECT_GE(compared, 4);
}

// The peer's start can fail for reasons of the moment (seen once on a loaded machine:
// LibreOffice ended at once with "Unspecified Application Error"). Such a start is tried
// again with a fresh user profile; a conversion that fails every time still fails, with
// what LibreOffice said. A stand-in script plays LibreOffice: it fails the first `failures`
// starts, then "converts" by copying its input under the target's extension.
TEST(ImportSourcesPeers, AFailedLibreOfficeStartIsTriedAgainWithAFreshProfileAndEveryFailureIsTold) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString input = folder.filePath(QStringLiteral("sheet.fods"));
  QFile inputFile(input);
  ASSERT_TRUE(inputFile.open(QIODevice::WriteOnly));
  inputFile.write("cells");
  inputFile.close();
  const auto standIn = [&](const QString &name, int failures) {
    const QString path = folder.filePath(name);
    QFile script(path);
    EXPECT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\n"
                                "log=%1.log\n"
                                "echo \"$2\" >> \"$log\"\n"
                                "if [ $(wc -l < \"$log\") -le %2 ]; then\n"
                                "  echo \"Unspecified Application Error\"; exit 1\n"
                                "fi\n"
                                "cp \"$7\" \"$6/sheet.${4%%:*}\"\n")
                     .arg(path)
                     .arg(failures)
                     .toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    return path;
  };
  const auto profiles = [&](const QString &script) {
    QFile log(script + QStringLiteral(".log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                         : QStringList();
  };

  const QString once = standIn(QStringLiteral("fails-once"), 1);
  const QString out = folder.filePath(QStringLiteral("out"));
  QDir().mkpath(out);
  EXPECT_EQ(spreadsheet_peers::convert({input}, QStringLiteral("csv:Text"), out, once), QString());
  EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/sheet.csv")));
  const QStringList used = profiles(once);
  ASSERT_EQ(used.size(), 2);
  EXPECT_NE(used.at(0), used.at(1)) << "the second start must have a fresh profile";

  const QString always = standIn(QStringLiteral("fails-always"), 99);
  const QString failure = spreadsheet_peers::convert({input}, QStringLiteral("xlsx"), out, always);
  EXPECT_TRUE(failure.contains(QStringLiteral("attempt 3 of 3"))) << failure.toStdString();
  EXPECT_EQ(failure.count(QStringLiteral("Unspecified Application Error")), 3) << failure.toStdString();
  EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/sheet.xlsx")));
}

TEST(ImportSourcesCsv, CalcCsvFilesReadAsTheirCells) {
  const importpeers::Files &files = importpeers::files();
  ASSERT_FALSE(files.quotingCsv.isEmpty());
  const std::optional<QByteArray> quoting = readFile(files.quotingCsv);
  ASSERT_TRUE(quoting);
  EXPECT_EQ(parseCsv(decodeText(*quoting)), importpeers::quotingCells());
  const std::optional<QByteArray> oneColumn = readFile(files.oneColumnCsv);
  ASSERT_TRUE(oneColumn);
  EXPECT_EQ(csvValues(decodeText(*oneColumn)), importpeers::oneColumnCells());
}

TEST(ImportSourcesPictures, OnlyPictureFilesInNameOrderAndUnlistableFoldersRefused) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QDir dir(folder.path());
  for (const char *name : {"b.png", "A.JPG", "notes.txt", "c.TIFF", "d.jfif", "e.gif.bak", ".hidden.bmp", "noext"}) {
    QFile file(dir.filePath(QLatin1String(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  ASSERT_TRUE(dir.mkdir(QStringLiteral("c.png")));
  ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("b.png")), dir.filePath(QStringLiteral("link.jpe"))));
  ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone.png")), dir.filePath(QStringLiteral("broken.png"))));
  const std::optional<QStringList> pictures = pictureFiles(folder.path());
  ASSERT_TRUE(pictures);
  QStringList expected;
  for (const char *name : {".hidden.bmp", "A.JPG", "b.png", "c.TIFF", "d.jfif", "link.jpe"})
    expected << folder.path() + QLatin1Char('/') + QLatin1String(name);
  EXPECT_EQ(*pictures, expected);

  EXPECT_FALSE(pictureFiles(dir.filePath(QStringLiteral("notes.txt"))));
  EXPECT_FALSE(pictureFiles(dir.filePath(QStringLiteral("missing"))));
  EXPECT_FALSE(pictureFiles(QString()));
  // An empty folder lists, with no pictures.
  ASSERT_TRUE(dir.mkdir(QStringLiteral("empty")));
  EXPECT_EQ(pictureFiles(dir.filePath(QStringLiteral("empty"))), QStringList());
}
