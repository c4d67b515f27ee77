// The import wizard through the scripted UI, ending in the bytes of series files: text,
// CSV (made by LibreOffice Calc) and RTF (made by LibreOffice Writer, with styled runs)
// files, pasted text and picture folders, in file mode and into the series manager's
// editor; the spreadsheet branch handing on to the two spreadsheet windows; the openers
// and their flags; and every refusal leaving the series already saved as they were.

#include "tests/dataseries/import_peers.h"
#include "tests/dataseries/series_windows_fixture.h"

#include "dataseries/Import_Excel.h"
#include "dataseries/Import_Excel_DataSheet.h"
#include "dataseries/Import_Wizard.h"
#include "dataseries/model/SpreadsheetWriter.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>

using namespace seriestest;

namespace {

class ImportWizardTest : public SeriesWindowsTest {
protected:
  void SetUp() override {
    SeriesWindowsTest::SetUp();
    wizard = Import_Wizard::defaultInstance();
  }

  // Writes `bytes` as the file `name` of the test's folder; its path.
  QString file(const QString &name, const QByteArray &bytes) {
    const QString path = root.path() + QLatin1Char('/') + name;
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
    return path;
  }

  // Opens the wizard with the flags; `script` works in it while it runs. Returns the
  // window's code and whether it was still open after the script.
  struct Run {
    int code = -1;
    bool stayedOpen = false;
  };
  Run run(qint32 required, qint32 insert, const std::function<void()> &script) {
    Run result;
    scripted.answerModal([&](QDialog *dialog) {
      EXPECT_EQ(dialog, wizard->window());
      script();
      result.stayedOpen = dialog->isVisible();
      // The code the wizard ended with; 0 (Cancel) when it is still open.
      return result.stayedOpen ? 0 : dialog->result();
    });
    result.code = Import_Wizard::openWithFlags(required, insert);
    return result;
  }
  // Imports the file at `path` as the series `name` (file mode, from the main window).
  Run importFile(const QString &path, const QString &name, const std::function<void()> &answers = {}) {
    return run(1, 0, [&] {
      wizard->Text_RD->click();
      wizard->Text_file_name->setText(name);
      wizard->Text_path->setText(path);
      if (answers)
        answers();
      wizard->ok_btn->click();
    });
  }
  QStringList lastAlerts(int n) const {
    const QStringList all = scripted.alertTexts();
    return all.mid(std::max<qsizetype>(0, all.size() - n));
  }

  Import_Wizard *wizard = nullptr;
};

QByteArray lines(const QStringList &values) {
  QByteArray bytes;
  for (const QString &value : values)
    bytes += value.toUtf8() + '\n';
  return bytes;
}

}  // namespace

TEST_F(ImportWizardTest, OpeningResetsTheSourceFieldsAndShowsNamesOnlyInFileMode) {
  run(1, 0, [&] {
    EXPECT_TRUE(wizard->Excel_RD->isChecked());
    EXPECT_TRUE(wizard->Excel_path->isEnabled());
    EXPECT_FALSE(wizard->Text_path->isEnabled());
    EXPECT_TRUE(wizard->Text_file_name->isVisible());
    wizard->Text_path->setText(QStringLiteral("/left/over"));
    wizard->Mnul_RD->click();
    EXPECT_EQ(wizard->import_option, 2);
    EXPECT_TRUE(wizard->ManualEdit->isEnabled());
    EXPECT_FALSE(wizard->Excel_path->isEnabled());
    EXPECT_EQ(wizard->Manual_file_name->text(), QStringLiteral("Untitled"));
  });
  run(0, 1, [&] {
    EXPECT_EQ(wizard->import_option, 0);
    EXPECT_TRUE(wizard->Text_path->text().isEmpty());
    EXPECT_TRUE(wizard->Manual_file_name->text().isEmpty());
    EXPECT_FALSE(wizard->Text_file_name->isVisible());
    EXPECT_FALSE(wizard->Image_file_name->isVisible());
  });
  // Every control a user acts on says what it is.
  for (QWidget *w : std::initializer_list<QWidget *>{wizard->Excel_RD, wizard->Text_RD, wizard->Mnul_RD, wizard->Image_RD,
                                                     wizard->Excel_path, wizard->Excel_btn, wizard->Text_path,
                                                     wizard->Text_btn, wizard->Text_file_name, wizard->ManualEdit,
                                                     wizard->Image_btn, wizard->ok_btn, wizard->cancel_btn}) {
    EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
  }
}

TEST_F(ImportWizardTest, TextFilesGiveCleanedLinesInAnyEncodingWithoutTheOldCutOff) {
  const QString text = file(QStringLiteral("list.txt"), QByteArray(" a \r\n\r\n{b}\r\nc\\d\nNSFont = 12\nlast"));
  const Run result = importFile(text, QStringLiteral("  Plain  "));
  EXPECT_EQ(result.code, 1);
  EXPECT_FALSE(result.stayedOpen);
  EXPECT_EQ(bytesOf(QStringLiteral("Plain")), QByteArray("a\nb\ncd\nNSFont = 12\nlast\n"));

  // UTF-8 with its mark and Latin-1 both arrive as the same UTF-8 series.
  importFile(file(QStringLiteral("bom.txt"), QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9\n")), QStringLiteral("Bom"));
  importFile(file(QStringLiteral("latin.txt"), QByteArray("caf\xE9\n")), QStringLiteral("Latin"));
  EXPECT_EQ(bytesOf(QStringLiteral("Bom")), QByteArray("caf\xC3\xA9\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("Latin")), QByteArray("caf\xC3\xA9\n"));
  EXPECT_TRUE(scripted.alertTexts().isEmpty());
}

TEST_F(ImportWizardTest, CalcCsvFilesBecomeOneValuePerFieldAndOneColumnIsNotLost) {
  const importpeers::Files &files = importpeers::files();
  ASSERT_FALSE(files.quotingCsv.isEmpty());
  EXPECT_EQ(importFile(files.quotingCsv, QStringLiteral("Quoted")).code, 1);
  // Commas and quotes stay inside their field; a cell over two lines is a value per line;
  // the empty cell gives nothing; braces go.
  EXPECT_EQ(bytesOf(QStringLiteral("Quoted")),
            lines({"name, first", "say \"hi\"", "two", "lines", "42", "caf\u00e9", "last", "x"}));
  EXPECT_EQ(importFile(files.oneColumnCsv, QStringLiteral("Single")).code, 1);
  EXPECT_EQ(bytesOf(QStringLiteral("Single")), lines(importpeers::oneColumnCells()));

  // Mixed line ends and an embedded CR LF, into the manager's editor.
  BatchWizard *manager = this->manager();
  manager->AddNew_Btn_Clicked();
  const QString mixed = file(QStringLiteral("mixed.csv"), QByteArray("a,b\r\nc\rd,\"e\r\nf\"\ng"));
  EXPECT_EQ(run(0, 1, [&] {
              wizard->Text_RD->click();
              wizard->Text_path->setText(mixed);
              wizard->ok_btn->click();
            }).code,
            1);
  EXPECT_EQ(values(manager), (QStringList{"a", "b", "c", "d", "e", "f", "g"}));
  EXPECT_TRUE(scripted.alertTexts().isEmpty());
}

TEST_F(ImportWizardTest, WriterRtfGivesEveryParagraphOfEveryRunAsUnrtfReadsIt) {
  const importpeers::Files &files = importpeers::files();
  ASSERT_FALSE(files.styledRtf.isEmpty());
  // Chosen in the panel: the import runs at once.
  const Run result = run(1, 0, [&] {
    wizard->Text_RD->click();
    wizard->Text_file_name->setText(QStringLiteral("Styled"));
    scripted.answerOpenFile(files.styledRtf);
    wizard->Text_btn->click();
  });
  EXPECT_EQ(result.code, 1);
  EXPECT_FALSE(result.stayedOpen);
  EXPECT_EQ(bytesOf(QStringLiteral("Styled")), lines(importpeers::styledValues()));
  // The panel offered the three kinds of file.
  EXPECT_EQ(scripted.requests().at(1).detail, QStringLiteral("txt,TXT,rtf,RTF,csv,CSV"));
  // Each ASCII line unrtf reads is one of ours.
  const QStringList ours = importpeers::styledValues();
  for (const QString &line : importpeers::unrtfLines(files.styledRtf)) {
    const QString value = Import_Wizard::chk_and_insert_validation(line);
    bool ascii = true;
    for (QChar c : value)
      ascii = ascii && c.unicode() < 0x80 && c != u'?';
    // (unrtf ends a line after each tab.)
    if (ascii && !value.isEmpty()) {
      EXPECT_TRUE(std::any_of(ours.begin(), ours.end(), [&](const QString &v) { return v.contains(value); }))
          << value.toStdString();
    }
  }
}

TEST_F(ImportWizardTest, PastedTextIsWrittenLineByLineOrTrimmedIntoTheEditor) {
  EXPECT_EQ(run(1, 0, [&] {
              wizard->Mnul_RD->click();
              wizard->Manual_file_name->setText(QStringLiteral("Pasted"));
              wizard->ManualEdit->setPlainText(QStringLiteral("\n one \n\n{two}\r\nthree\\"));
              wizard->ok_btn->click();
            }).code,
            1);
  // Braces and backslashes stay in pasted text.
  EXPECT_EQ(bytesOf(QStringLiteral("Pasted")), QByteArray("one\n{two}\nthree\\\n"));

  BatchWizard *manager = this->manager();
  manager->AddNew_Btn_Clicked();
  manager->Create_Value_List(QStringLiteral("kept"));
  run(0, 1, [&] {
    wizard->Mnul_RD->click();
    wizard->ManualEdit->setPlainText(QStringLiteral("  x  \n\n y"));
    wizard->ok_btn->click();
  });
  EXPECT_EQ(values(manager), (QStringList{"kept", "x", "y"}));
  // Nothing typed is refused.
  EXPECT_TRUE(run(0, 1, [&] {
                scripted.expectAlert();
                wizard->Mnul_RD->click();
                wizard->ManualEdit->setPlainText(QStringLiteral(" \n \t"));
                wizard->ok_btn->click();
              }).stayedOpen);
  EXPECT_EQ(lastAlerts(1), QStringList{QStringLiteral("\nPlease enter some data.")});
}

TEST_F(ImportWizardTest, PictureFoldersGiveThePathsOfPicturesInNameOrder) {
  BatchWizard *manager = this->manager();  // its list is refreshed by the import
  const QString folder = root.path() + QStringLiteral("/pictures");
  ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/c.png")));
  for (const char *name : {"b.png", "notes.txt", "A.JPG", "d.tif"})
    file(QStringLiteral("pictures/") + QLatin1String(name), "x");
  const Run result = run(1, 1, [&] {
    wizard->Image_RD->click();
    wizard->Image_file_name->setText(QStringLiteral("Photos"));
    scripted.answerFolder(folder);
    wizard->Image_btn->click();
  });
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(bytesOf(QStringLiteral("Photos")),
            lines({folder + "/A.JPG", folder + "/b.png", folder + "/d.tif"}));
  // file_name_Insert 1 refreshed the manager's list.
  EXPECT_TRUE(names(manager).contains(QStringLiteral("Photos")));
}

TEST_F(ImportWizardTest, EveryRefusalLeavesTheSavedSeriesAsTheyWere) {
  put(QStringLiteral("Keep.txt"), "old 1\nold 2\n");
  put(QStringLiteral("Bound.txt"), "bound\n");
  bind(QStringLiteral("Bound"));
  const QString good = file(QStringLiteral("good.txt"), "new\n");
  const QString blank = file(QStringLiteral("blank.csv"), " , \r\n\r\n,");
  const QString notRtf = file(QStringLiteral("fake.rtf"), "just text");
  const QString empty = file(QStringLiteral("empty.txt"), "");
  const QString folderFile = file(QStringLiteral("notafolder.png"), "x");

  struct Case {
    const char *what;
    QString name;
    QString path;
    QString message;
    bool image = false;
  };
  const QList<Case> cases{
      {"in use", "Bound", good, "Batch Processing Series can't be update because it is currently in use."},
      {"blank name", "/?*", good, "Please enter a Batch Processing Series name."},
      {"name with a slash", "../Keep", good, "Error in file accessing."},
      {"name with an inner slash", "sub/Keep", good, "Error in file accessing."},
      {"nothing to import", "Keep", blank, "There is no value to import."},
      {"no rich text", "Keep", notRtf, "Either file is corrupted or selected file contains invalid characters."},
      {"empty file", "Keep", empty, "Either file is corrupted or selected file contains invalid characters."},
      {"no such file", "Keep", root.path() + "/missing.txt", "Please select valid file path."},
      {"unreadable entry", "Keep", root.path(), "Please select a valid file."},
      {"folder that is a file", "Keep", folderFile, "The selected folder cannot be read.", true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const Run result = run(1, 1, [&] {
      scripted.expectAlert();
      if (c.image) {
        wizard->Image_RD->click();
        wizard->Image_file_name->setText(c.name);
        wizard->Image_path->setText(c.path);
      } else {
        wizard->Text_RD->click();
        wizard->Text_file_name->setText(c.name);
        wizard->Text_path->setText(c.path);
      }
      wizard->ok_btn->click();
    });
    EXPECT_TRUE(result.stayedOpen);
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(lastAlerts(1), QStringList{QStringLiteral("\n") + c.message});
    EXPECT_EQ(bytesOf(QStringLiteral("Keep")), QByteArray("old 1\nold 2\n"));
    EXPECT_EQ(bytesOf(QStringLiteral("Bound")), QByteArray("bound\n"));
  }
  EXPECT_EQ(QDir(Data_Folder_Path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            (QStringList{"Bound.txt", "Keep.txt"}));

  // No to the replace question keeps the series; a write that fails keeps it too.
  EXPECT_TRUE(importFile(good, QStringLiteral("Keep"), [&] { scripted.answerYesNo(false); }).stayedOpen);
  const QString longer = file(QStringLiteral("long.txt"), "a much longer value\n");
  {
    ScopedFileSizeLimit limit(4);
    EXPECT_TRUE(importFile(longer, QStringLiteral("Keep"), [&] {
                  scripted.answerYesNo(true);
                  scripted.expectAlert();
                }).stayedOpen);
  }
  EXPECT_EQ(lastAlerts(2), (QStringList{"Batch Processing Series already exists. Do you want to replace it?",
                                        "\nError in file accessing."}));
  EXPECT_EQ(bytesOf(QStringLiteral("Keep")), QByteArray("old 1\nold 2\n"));
  // Yes replaces it whole.
  EXPECT_EQ(importFile(good, QStringLiteral("Keep"), [&] { scripted.answerYesNo(true); }).code, 1);
  EXPECT_EQ(bytesOf(QStringLiteral("Keep")), QByteArray("new\n"));
}

TEST_F(ImportWizardTest, WorkbooksGoToTheSpreadsheetWindowOfTheMode) {
  ASSERT_TRUE(QFile::copy(QStringLiteral(AMENDS_SOURCE_DIR "/resources/Template.xlsx"),
                          shippedDir() + QStringLiteral("/Template.xlsx")));
  const QString workbook = root.path() + QStringLiteral("/book.xlsx");
  QString error;
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(workbook, {{"Head"}, {"v1"}}, true, &error)) << error.toStdString();

  // A path that names nothing keeps the wizard open.
  EXPECT_TRUE(run(1, 1, [&] {
                scripted.expectAlert();
                wizard->Excel_path->setText(root.path() + QStringLiteral("/none.xlsx"));
                wizard->ok_btn->click();
              }).stayedOpen);
  EXPECT_EQ(lastAlerts(1), QStringList{QStringLiteral("\nPlease select valid file path.")});

  // File mode: the spreadsheet-to-series window, with the wizard's list flag; the
  // wizard ends with 1 whatever happened there.
  QDialog *shown = nullptr;
  Run result = run(1, 1, [&] {
    scripted.answerOpenFile(workbook);
    scripted.answerModal([&](QDialog *dialog) {
      shown = dialog;
      return 0;
    });
    wizard->Excel_btn->click();
  });
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(shown, Import_Excel_DataSheet::defaultInstance()->window());
  EXPECT_EQ(Import_Excel_DataSheet::defaultInstance()->file_name_Insert, 1);

  // Editor mode: the column import window in mode "D".
  Import_Excel::defaultInstance()->open_mode = QStringLiteral("E");
  shown = nullptr;
  result = run(0, 1, [&] {
    wizard->Excel_path->setText(workbook);
    scripted.answerModal([&](QDialog *dialog) {
      shown = dialog;
      return 0;
    });
    wizard->ok_btn->click();
  });
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(shown, Import_Excel::defaultInstance()->window());
  EXPECT_EQ(Import_Excel::defaultInstance()->open_mode, QStringLiteral("D"));
}

TEST_F(ImportWizardTest, TheMainWindowsImportCommandWritesANewSeries) {
  ASSERT_TRUE(controller->ui->Import_Wizard_btn->isEnabled());
  scripted.answerModal([&](QDialog *dialog) {
    EXPECT_EQ(dialog, wizard->window());
    EXPECT_EQ(wizard->file_name_required, 1);
    EXPECT_EQ(wizard->file_name_Insert, 0);
    wizard->Mnul_RD->click();
    wizard->Manual_file_name->setText(QStringLiteral("FromMenu"));
    wizard->ManualEdit->setPlainText(QStringLiteral("m1\nm2"));
    wizard->ok_btn->click();
    return 0;
  });
  controller->ui->Import_Wizard_btn->click();
  EXPECT_EQ(bytesOf(QStringLiteral("FromMenu")), QByteArray("m1\nm2\n"));
  EXPECT_EQ(scripted.pending(), 0u);
}
