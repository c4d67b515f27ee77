// The series manager: opening from the main window on a list filled from the data
// folder, the editor's load, save, rename, replace and delete with their questions and
// refusals, the bytes each leaves on disk, a failed write that keeps the old series,
// the replace-or-append question, and the export of the values.

#include "tests/dataseries/series_windows_fixture.h"

#include "dataseries/Import_Wizard.h"

#include "dataseries/SeriesValueDialogs.h"
#include "dataseries/model/SpreadsheetWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QToolButton>

#include <cerrno>
#include <cstring>

using namespace seriestest;

namespace {

class SeriesManagerTest : public SeriesWindowsTest {};

const QString InUseUpdate = QStringLiteral("\nBatch Processing Series can't be update because it is currently in use.");
const QString InUseDelete = QStringLiteral("\nBatch Processing Series can't be delete because it is currently in use.");
const QString ReplaceQuestion = QStringLiteral("Batch Processing Series already exists. Do you want to replace it?");
const QString DeleteQuestion = QStringLiteral("Are you sure want to delete selected Batch Processing Series?");
const QString FileError = QStringLiteral("\nError in file accessing.");

}  // namespace

TEST_F(SeriesManagerTest, TheSeriesCommandOpensTheListAndTheEditorSavesWhatWasChanged) {
  put(QStringLiteral("Alpha.txt"), "\n a \n\nb\n");
  // Listed under its name, but there is no "Zed.txt" to open.
  put(QStringLiteral("Zed.csv"), "1,2\n");
  ASSERT_TRUE(controller->ui->Batch_Series_btn->isEnabled());

  QStringList listed;
  QString listCount;
  bool listScreen = false;
  QStringList loaded;
  QString nameField;
  scripted.answerModal([&](QDialog *dialog) {
    BatchWizard *wizard = BatchWizard_Window;
    listed = names(wizard);
    listCount = wizard->batch_list_count->text();
    listScreen = wizard->avl_list_box->isVisible() && !wizard->list_value_box->isVisible();
    selectRows(wizard->List, {0}, 0);
    wizard->Update_btn->click();
    loaded = values(wizard);
    nameField = wizard->batch_list_name->text();
    EXPECT_TRUE(wizard->list_value_box->isVisible());
    dialog->layout()->activate();
    EXPECT_GT(wizard->list_value_box->height(), dialog->height() * 3 / 4)
        << "the editor fills the window, no empty half above it";
    EXPECT_EQ(wizard->update_list_name->text(), QStringLiteral("Alpha"));
    EXPECT_EQ(wizard->batch_value_count->text(), QStringLiteral("Total Rows : 4"));
    wizard->Create_Value_List(QStringLiteral("  c "));
    wizard->Create_Value_List(QStringLiteral("   "));
    wizard->Save_btn->click();
    EXPECT_TRUE(wizard->avl_list_box->isVisible()) << "a save goes back to the list";
    EXPECT_TRUE(wizard->update_list_name->text().isEmpty());
    // The other entry has no series file.
    selectRows(wizard->List, {1}, 1);
    scripted.expectAlert();
    wizard->Update_btn->click();
    EXPECT_TRUE(wizard->avl_list_box->isVisible());
    wizard->Close_btn->click();
    EXPECT_FALSE(dialog->isVisible());
    return dialog->result();
  });
  controller->ui->Batch_Series_btn->click();

  EXPECT_EQ(listed, (QStringList{QStringLiteral("Alpha"), QStringLiteral("Zed")}));
  EXPECT_EQ(listCount, QStringLiteral("Total List : 2"));
  EXPECT_TRUE(listScreen);
  // Trimmed values, the empty lines kept as the rows they are; a blank value typed in
  // adds nothing.
  EXPECT_EQ(loaded, (QStringList{"", "a", "", "b"}));
  EXPECT_EQ(nameField, QStringLiteral("Alpha"));
  EXPECT_EQ(bytesOf(QStringLiteral("Alpha")), QByteArray("\na\n\nb\nc\n"));
  EXPECT_EQ(Export_File_Path, SeriesStore::pathOf(QStringLiteral("Alpha")));
  EXPECT_EQ(scripted.alertTexts(), QStringList{FileError});
}

// A series imported from a column with empty cells (the first among them) holds empty
// lines that are rows of the batch: card n takes line n. The editor shows every row the
// binding counts, so a save without a change writes the file back byte for byte and no
// value moves to another card; rows the user deletes or adds are the user's.
TEST_F(SeriesManagerTest, TheEditorKeepsTheEmptyRowsOfASeriesSoASaveWithoutAChangeMovesNoValue) {
  const QByteArray imported("\nAnn\n\nCy\nDee\n\n");
  put(QStringLiteral("Column.txt"), imported);
  const qsizetype cards = SeriesStore::bindingRows(imported)->size();
  ASSERT_EQ(cards, 6);

  BatchWizard *wizard = editorOn(0);
  EXPECT_EQ(values(wizard), (QStringList{"", "Ann", "", "Cy", "Dee", ""}));
  EXPECT_EQ(tableTexts(wizard->List_value), values(wizard));
  EXPECT_EQ(wizard->batch_value_count->text(), QStringLiteral("Total Rows : %1").arg(cards));
  wizard->Save_Btn_Clicked();
  EXPECT_EQ(bytesOf(QStringLiteral("Column")), imported);
  EXPECT_TRUE(scripted.alertTexts().isEmpty());

  // The user deletes the first empty row and "Cy", and adds a value: those rows change,
  // the other empty rows stay where they stood.
  wizard = editorOn(0);
  selectRows(wizard->List_value, {0, 3}, 3);
  wizard->Delete_Rows_Btn_Clicked();
  wizard->Create_Value_List(QStringLiteral(" Eve "));
  EXPECT_EQ(wizard->batch_value_count->text(), QStringLiteral("Total Rows : 5"));
  wizard->Save_Btn_Clicked();
  EXPECT_EQ(bytesOf(QStringLiteral("Column")), QByteArray("Ann\n\nDee\n\nEve\n"));

  // Opened and saved again without a change, that is what stays.
  editorOn(0)->Save_Btn_Clicked();
  EXPECT_EQ(bytesOf(QStringLiteral("Column")), QByteArray("Ann\n\nDee\n\nEve\n"));
}

TEST_F(SeriesManagerTest, ANewSeriesIsSavedTrimmedUnderItsCleanedNameAndUnsafeNamesAreRefused) {
  BatchWizard *wizard = manager();
  EXPECT_EQ(wizard->batch_list_count->text(), QStringLiteral("Total List : 0"));
  wizard->AddNew_Btn_Clicked();
  EXPECT_EQ(wizard->batch_list_name->text(), QStringLiteral("Untitled"));
  EXPECT_TRUE(values(wizard).isEmpty());

  scripted.expectAlert();
  wizard->Save_Btn_Clicked();
  EXPECT_EQ(scripted.alertTexts().last(), QStringLiteral("\nList is empty."));

  wizard->Create_Value_List(QStringLiteral(" Ann "));
  wizard->Create_Value_List(QString::fromUtf8("Z\xC3\xBC"));
  for (const QString &unsafe :
       {QStringLiteral("a/b"), QStringLiteral("  "), QStringLiteral(".."), QStringLiteral("/../")}) {
    SCOPED_TRACE(unsafe.toStdString());
    wizard->batch_list_name->setText(unsafe);
    scripted.expectAlert();
    wizard->Save_Btn_Clicked();
    EXPECT_EQ(scripted.alertTexts().last(), FileError);
  }
  EXPECT_TRUE(QDir(Data_Folder_Path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(joinPath(QFileInfo(Data_Folder_Path).path(), QStringLiteral(".txt"))));

  wizard->batch_list_name->setText(QStringLiteral("/ Guests /"));
  wizard->Save_Btn_Clicked();
  EXPECT_EQ(bytesOf(QStringLiteral("Guests")), QByteArray("Ann\nZ\xC3\xBC\n"));
  EXPECT_EQ(names(wizard), QStringList{QStringLiteral("Guests")});
  EXPECT_EQ(wizard->batch_list_count->text(), QStringLiteral("Total List : 1"));
}

TEST_F(SeriesManagerTest, RenamingWritesTheNewSeriesFirstAndSavingOverAnotherAsksAndKeepsTheFormer) {
  put(QStringLiteral("A.txt"), "1\n2\n");
  put(QStringLiteral("C.txt"), "old\n");

  // A becomes B (no B yet): no question, the file of A goes once B is written.
  BatchWizard *wizard = editorOn(0);
  ASSERT_EQ(wizard->update_list_name->text(), QStringLiteral("A"));
  wizard->batch_list_name->setText(QStringLiteral("B"));
  wizard->Save_Btn_Clicked();
  EXPECT_EQ(bytesOf(QStringLiteral("B")), QByteArray("1\n2\n"));
  EXPECT_FALSE(QFileInfo::exists(pathOf(QStringLiteral("A.txt"))));
  EXPECT_EQ(names(wizard), (QStringList{QStringLiteral("B"), QStringLiteral("C")}));
  EXPECT_TRUE(scripted.requests().empty());

  // B saved as the existing C: No changes nothing, Yes rewrites C and keeps B.
  wizard = editorOn(0);
  wizard->batch_list_name->setText(QStringLiteral("C"));
  scripted.answerYesNo(false);
  wizard->Save_Btn_Clicked();
  EXPECT_EQ(bytesOf(QStringLiteral("C")), QByteArray("old\n"));
  EXPECT_FALSE(wizard->list_value_box->isHidden()) << "the editor stays open after No";
  scripted.answerYesNo(true);
  wizard->Save_Btn_Clicked();
  EXPECT_EQ(bytesOf(QStringLiteral("C")), QByteArray("1\n2\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("B")), QByteArray("1\n2\n"));
  EXPECT_EQ(scripted.alertTexts(), (QStringList{ReplaceQuestion, ReplaceQuestion}));

  // Saved again under the name it was opened with: no question.
  scripted.clear();
  wizard = editorOn(1);
  wizard->Create_Value_List(QStringLiteral("3"));
  wizard->Save_Btn_Clicked();
  EXPECT_EQ(bytesOf(QStringLiteral("C")), QByteArray("1\n2\n3\n"));
  EXPECT_TRUE(scripted.requests().empty());
}

// A typed name is cleaned once; the name a series is stored and listed under is the
// name it is saved and deleted by afterwards, and no two rows stand for one file.
TEST_F(SeriesManagerTest, AStoredNameIsSavedAndDeletedAsItStandsAndTwoRowsNeverShareAFile) {
  // Saved under its cleaned name, then opened and saved without a change: one file, the same.
  BatchWizard *wizard = manager();
  wizard->AddNew_Btn_Clicked();
  wizard->Create_Value_List(QStringLiteral("typed"));
  wizard->batch_list_name->setText(QStringLiteral("Sorry? "));
  wizard->Save_Btn_Clicked();
  const QStringList stored = QDir(Data_Folder_Path).entryList(QDir::Files);
  ASSERT_EQ(stored.size(), 1);
  editorOn(0)->Save_Btn_Clicked();
  EXPECT_EQ(QDir(Data_Folder_Path).entryList(QDir::Files), stored);

  for (const QString &file : QDir(Data_Folder_Path).entryList(QDir::Files))
    ASSERT_TRUE(QFile::remove(pathOf(file)));

  // An invisible character typed at the end names the existing series: saving asks.
  put(QStringLiteral("Sorry.txt"), "plain\n");
  for (const QString &typed : {QStringLiteral("Sorry \u200B"), QStringLiteral("Sorry\u2060"),
                               QStringLiteral("Sorry\u00AD ")}) {
    SCOPED_TRACE(typed.toStdString());
    wizard = manager();
    wizard->AddNew_Btn_Clicked();
    wizard->Create_Value_List(QStringLiteral("new"));
    wizard->batch_list_name->setText(typed);
    scripted.clear();
    scripted.answerYesNo(false);
    wizard->Save_Btn_Clicked();
    EXPECT_EQ(scripted.alertTexts(), QStringList{ReplaceQuestion});
    EXPECT_EQ(QDir(Data_Folder_Path).entryList(QDir::Files), QStringList{QStringLiteral("Sorry.txt")});
  }

  // Series whose names cleaning would change (written by other means) keep them.
  put(QStringLiteral("Sorry?.txt"), "asked\n");
  put(QStringLiteral("Sorry .txt"), "spaced\n");
  put(QStringLiteral("Sorry.csv"), "other\n");
  scripted.clear();
  wizard = manager();
  const QStringList listed = names(wizard);
  ASSERT_EQ(listed.size(), 3);
  wizard = editorOn(int(listed.indexOf(QStringLiteral("Sorry?"))));
  wizard->Create_Value_List(QStringLiteral("more"));
  wizard->Save_Btn_Clicked();
  EXPECT_EQ(bytesOf(QStringLiteral("Sorry?")), QByteArray("asked\nmore\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("Sorry")), QByteArray("plain\n"));
  EXPECT_TRUE(scripted.requests().empty());
  const int spaced = int(names(wizard).indexOf(QStringLiteral("Sorry ")));
  ASSERT_GE(spaced, 0);
  selectRows(wizard->List, {spaced}, spaced);
  scripted.answerYesNo(true);
  wizard->Delete_List_Btn_Clicked();
  EXPECT_EQ(bytesOf(QStringLiteral("Sorry ")), QByteArray("<missing>"));
  EXPECT_EQ(bytesOf(QStringLiteral("Sorry")), QByteArray("plain\n"));
}

TEST_F(SeriesManagerTest, AFailedSaveLeavesTheOldSeriesAsItWas) {
  put(QStringLiteral("Keep.txt"), "k1\nk2\n");
  // The new name's file cannot be written (a folder is in the way): the series keeps its
  // old file.
  ASSERT_TRUE(QDir().mkpath(pathOf(QStringLiteral("Blocked.txt"))));
  BatchWizard *wizard = editorOn(0);
  ASSERT_EQ(wizard->update_list_name->text(), QStringLiteral("Keep"));
  wizard->batch_list_name->setText(QStringLiteral("Blocked"));
  scripted.expectAlert();
  wizard->Save_Btn_Clicked();
  EXPECT_EQ(scripted.alertTexts(), QStringList{FileError});
  EXPECT_EQ(bytesOf(QStringLiteral("Keep")), QByteArray("k1\nk2\n"));
  EXPECT_FALSE(wizard->list_value_box->isHidden());

  // Saved over itself with a write that fails half-way: the old bytes stay whole.
  wizard->batch_list_name->setText(QStringLiteral("Keep"));
  for (int i = 0; i < 2000; ++i)
    wizard->Create_Value_List(QStringLiteral("a longer value %1").arg(i));
  scripted.clear();
  scripted.expectAlert();
  {
    ScopedFileSizeLimit limit(64);
    wizard->Save_Btn_Clicked();
  }
  EXPECT_EQ(scripted.alertTexts(), QStringList{FileError});
  EXPECT_EQ(bytesOf(QStringLiteral("Keep")), QByteArray("k1\nk2\n"));
  EXPECT_EQ(QDir(Data_Folder_Path).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no partial file is left";
}

TEST_F(SeriesManagerTest, ASeriesInUseIsNeitherSavedOverNorDeleted) {
  put(QStringLiteral("Used.txt"), "u\n");
  put(QStringLiteral("Other.txt"), "o\n");
  bind(QStringLiteral("Used"));

  // Editing the series in use.
  BatchWizard *wizard = editorOn(1);
  ASSERT_EQ(wizard->batch_list_name->text(), QStringLiteral("Used"));
  wizard->Create_Value_List(QStringLiteral("more"));
  scripted.expectAlert();
  wizard->Save_Btn_Clicked();
  // Another series saved under the name of the one in use.
  wizard = editorOn(0);
  wizard->batch_list_name->setText(QStringLiteral("Used"));
  scripted.expectAlert();
  wizard->Save_Btn_Clicked();
  EXPECT_EQ(scripted.alertTexts(), (QStringList{InUseUpdate, InUseUpdate}));
  EXPECT_EQ(bytesOf(QStringLiteral("Used")), QByteArray("u\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("Other")), QByteArray("o\n"));

  // Deleting it: refused before the question.
  scripted.clear();
  wizard = manager();
  selectRows(wizard->List, {1}, 1);
  scripted.expectAlert();
  wizard->Delete_List_Btn_Clicked();
  EXPECT_EQ(scripted.alertTexts(), QStringList{InUseDelete});
  EXPECT_EQ(bytesOf(QStringLiteral("Used")), QByteArray("u\n"));

  // A back side counts only on a two-sided card.
  scripted.clear();
  put(QStringLiteral("Back.txt"), "b\n");
  bind(QStringLiteral("Back"), true);
  CARD_SIDE_STR = QStringLiteral("1");
  wizard = manager();
  ASSERT_EQ(names(wizard).first(), QStringLiteral("Back"));
  selectRows(wizard->List, {0}, 0);
  scripted.answerYesNo(true);
  wizard->Delete_List_Btn_Clicked();
  EXPECT_EQ(scripted.alertTexts(), QStringList{DeleteQuestion});
  EXPECT_FALSE(QFileInfo::exists(pathOf(QStringLiteral("Back.txt"))));
}

TEST_F(SeriesManagerTest, DeletingSeveralStopsAtASeriesInUseAndTheListShowsWhatIsLeft) {
  put(QStringLiteral("S1.txt"), "1\n");
  put(QStringLiteral("S2.txt"), "2\n");
  put(QStringLiteral("S3.txt"), "3\n");
  bind(QStringLiteral("S2"));
  // An apply-to-all answer left from another window lets nothing pass unasked.
  Msg_Apply_All_Chk = 1;

  BatchWizard *wizard = manager();
  selectRows(wizard->List, {0, 1, 2}, 2);
  scripted.answerYesNo(true);
  scripted.expectAlert();
  wizard->Delete_List_Btn_Clicked();
  EXPECT_EQ(scripted.alertTexts(), (QStringList{DeleteQuestion, InUseDelete}));
  EXPECT_FALSE(QFileInfo::exists(pathOf(QStringLiteral("S1.txt"))));
  EXPECT_EQ(bytesOf(QStringLiteral("S2")), QByteArray("2\n"));
  EXPECT_EQ(bytesOf(QStringLiteral("S3")), QByteArray("3\n"));
  // The deleted series is no longer listed.
  EXPECT_EQ(names(wizard), (QStringList{QStringLiteral("S2"), QStringLiteral("S3")}));
  EXPECT_EQ(wizard->batch_list_count->text(), QStringLiteral("Total List : 2"));
}

TEST_F(SeriesManagerTest, DeletingSelectsTheRowAboveAndAnswersItsQuestionsAndRefusals) {
  BatchWizard *wizard = manager();
  scripted.expectAlert();
  wizard->Delete_List_Btn_Clicked();
  scripted.expectAlert();
  wizard->Update_Btn_Clicked();
  EXPECT_EQ(scripted.alertTexts(),
            (QStringList{QStringLiteral("\nAvailable list is empty."), QStringLiteral("\nAvailable list is empty.")}));

  for (const char *name : {"R0.txt", "R1.txt", "R2.txt", "R3.txt"})
    put(QString::fromLatin1(name), "v\n");
  wizard = manager();
  scripted.clear();
  wizard->List->selectionModel()->clear();
  scripted.expectAlert();
  wizard->Delete_List_Btn_Clicked();
  EXPECT_EQ(scripted.alertTexts(),
            QStringList{QStringLiteral("\nPlease select a record from the available list to continue.")});

  // No keeps the series.
  selectRows(wizard->List, {3}, 3);
  scripted.answerYesNo(false);
  wizard->Delete_List_Btn_Clicked();
  EXPECT_EQ(names(wizard).size(), 4);

  // Row 3 alone: row 2 is selected after.
  scripted.answerYesNo(true);
  wizard->Delete_List_Btn_Clicked();
  EXPECT_EQ(names(wizard), (QStringList{QStringLiteral("R0"), QStringLiteral("R1"), QStringLiteral("R2")}));
  EXPECT_EQ(selectedRowsOf(wizard->List), QList<int>{2});
  // Row 0: nothing is selected after.
  selectRows(wizard->List, {0}, 0);
  scripted.answerYesNo(true);
  wizard->Delete_List_Btn_Clicked();
  EXPECT_EQ(names(wizard), (QStringList{QStringLiteral("R1"), QStringLiteral("R2")}));
  EXPECT_TRUE(selectedRowsOf(wizard->List).isEmpty());
}

TEST_F(SeriesManagerTest, DeletingASeriesWhoseTextFileIsAFolderLeavesTheFolderAndItsFiles) {
  // "Notes" is listed for its CSV file; "Notes.txt" is a folder holding the user's files.
  put(QStringLiteral("Notes.csv"), "a\n");
  ASSERT_TRUE(QDir().mkpath(pathOf(QStringLiteral("Notes.txt/kept"))));
  put(QStringLiteral("Notes.txt/kept/letter.txt"), "dear\n");

  BatchWizard *wizard = manager();
  ASSERT_EQ(names(wizard), QStringList{QStringLiteral("Notes")});
  selectRows(wizard->List, {0}, 0);
  scripted.answerYesNo(true);
  wizard->Delete_List_Btn_Clicked();
  EXPECT_TRUE(QFileInfo::exists(pathOf(QStringLiteral("Notes.txt/kept/letter.txt"))));
  EXPECT_TRUE(QFileInfo::exists(pathOf(QStringLiteral("Notes.csv"))));
}

TEST_F(SeriesManagerTest, ValueRowsAreDeletedAndEditedOneAtATime) {
  BatchWizard *wizard = manager();
  wizard->AddNew_Btn_Clicked();
  scripted.expectAlert();
  wizard->Delete_Rows_Btn_Clicked();
  for (const char *value : {"v0", "v1", "v2", "v3", "v4"})
    wizard->Create_Value_List(QString::fromLatin1(value));
  wizard->List_value->selectionModel()->clear();
  scripted.expectAlert();
  wizard->Delete_Rows_Btn_Clicked();
  EXPECT_EQ(scripted.alertTexts(),
            (QStringList{QStringLiteral("\nList is empty."),
                         QStringLiteral("\nPlease select at least one record from the list to continue.")}));

  // Two rows at once, the current one being row 3: row 2 (now "v4"'s neighbour) is selected.
  selectRows(wizard->List_value, {1, 3}, 3);
  wizard->Delete_Rows_Btn_Clicked();
  EXPECT_EQ(values(wizard), (QStringList{QStringLiteral("v0"), QStringLiteral("v2"), QStringLiteral("v4")}));
  EXPECT_EQ(wizard->batch_value_count->text(), QStringLiteral("Total Rows : 3"));
  EXPECT_EQ(selectedRowsOf(wizard->List_value), QList<int>{2});

  // A double click with two rows selected edits nothing.
  scripted.clear();
  selectRows(wizard->List_value, {0, 1}, 1);
  scripted.expectAlert();
  wizard->doubleClickInTable(wizard->List_value);
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\nPlease select only one record to update.")});

  // One row: the panel shows its value and writes the change back.
  selectRows(wizard->List_value, {1}, 1);
  QString shown;
  scripted.answerModal([&](QDialog *panel) {
    EXPECT_EQ(panel, wizard->Update_Value_Wnd);
    shown = wizard->Update_m_ex_num_str->text();
    EXPECT_EQ(wizard->Update_m_s_number->text(), shown);
    EXPECT_EQ(wizard->Update_m_ex_num_index->text(), QStringLiteral("1"));
    wizard->Update_m_ex_num_str->setText(QStringLiteral("  two "));
    panel->findChild<QPushButton *>(QStringLiteral("ok_btn"))->click();
    return panel->result();
  });
  wizard->doubleClickInTable(wizard->List_value);
  EXPECT_EQ(shown, QStringLiteral("v2"));
  EXPECT_EQ(values(wizard), (QStringList{QStringLiteral("v0"), QStringLiteral("two"), QStringLiteral("v4")}));
}

TEST_F(SeriesManagerTest, TheReplaceOrAppendQuestionDecidesWhatTheGeneratedValuesJoin) {
  BatchWizard *wizard = manager();
  auto startWith = [&] {
    wizard->AddNew_Btn_Clicked();
    wizard->Create_Value_List(QStringLiteral("x"));
    wizard->Create_Value_List(QStringLiteral("y"));
  };
  auto answerQuestion = [&](const char *buttonName) {
    scripted.answerModal([buttonName](QDialog *question) {
      EXPECT_EQ(question->objectName(), QStringLiteral("Load_Number_Window"));
      question->findChild<QPushButton *>(QString::fromLatin1(buttonName))->click();
      EXPECT_FALSE(question->isVisible());
      return question->result();
    });
  };
  // The generator makes 1, 2 and 3 into the editor (or is cancelled).
  auto answerGenerator = [&](bool ok) {
    scripted.answerModal([ok](QDialog *dialog) {
      Generate_List *generator = Gen_List_Window;
      EXPECT_FALSE(generator->seq_file_name->isVisible()) << "the editor's values need no series name";
      generator->from_txt->setText(QStringLiteral("1"));
      generator->to_txt->setText(QStringLiteral("3"));
      dialog->findChild<QPushButton *>(QString::fromLatin1(ok ? "ok_btn" : "cancel_btn"))->click();
      return dialog->result();
    });
  };
  const QStringList made{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};

  startWith();
  answerQuestion("yes_btn");
  answerGenerator(true);
  wizard->Series_Value_Btn_Clicked();
  EXPECT_EQ(values(wizard), made);

  startWith();
  answerQuestion("no_btn");
  answerGenerator(true);
  wizard->Series_Value_Btn_Clicked();
  EXPECT_EQ(values(wizard), QStringList({QStringLiteral("x"), QStringLiteral("y")}) + made);
  EXPECT_EQ(wizard->batch_value_count->text(), QStringLiteral("Total Rows : 5"));

  // Cancel ends the question's run; no generator opens.
  startWith();
  answerQuestion("cancel_btn");
  wizard->Series_Value_Btn_Clicked();
  EXPECT_EQ(values(wizard), (QStringList{QStringLiteral("x"), QStringLiteral("y")}));
  EXPECT_EQ(scripted.pending(), 0u);
  // So do its close box and Escape.
  scripted.answerModal([](QDialog *question) {
    question->reject();
    return question->result();
  });
  wizard->Series_Value_Btn_Clicked();
  EXPECT_EQ(values(wizard), (QStringList{QStringLiteral("x"), QStringLiteral("y")}));

  // Replace, then the generator is cancelled: the values the user had come back.
  answerQuestion("yes_btn");
  answerGenerator(false);
  wizard->Series_Value_Btn_Clicked();
  EXPECT_EQ(values(wizard), (QStringList{QStringLiteral("x"), QStringLiteral("y")}));

  // An empty editor is not asked.
  wizard->AddNew_Btn_Clicked();
  answerGenerator(true);
  wizard->Series_Value_Btn_Clicked();
  EXPECT_EQ(values(wizard), made);
}

TEST_F(SeriesManagerTest, ImportButtonsOpenTheImportWizardWithItsFlags) {
  BatchWizard *wizard = BatchWizard::defaultInstance();
  // Nothing installed: the buttons open the import wizard itself.
  Import_Wizard *importer = Import_Wizard::defaultInstance();
  QList<QPair<int, int>> flags;
  auto recordFlags = [&](QDialog *dialog) {
    EXPECT_EQ(dialog, importer->window());
    flags.append({importer->file_name_required, importer->file_name_Insert});
    return 0;
  };
  scripted.answerModal([&](QDialog *) {
    EXPECT_TRUE(wizard->Import_btn->isEnabled());
    EXPECT_TRUE(wizard->Import_Value_btn->isEnabled());
    scripted.answerModal(recordFlags);
    wizard->Import_btn->click();
    wizard->AddNew_btn->click();
    scripted.answerModal(recordFlags);
    wizard->Import_Value_btn->click();
    return 0;
  });
  wizard->Open_Wnd();
  EXPECT_EQ(flags, (QList<QPair<int, int>>{{1, 1}, {0, 1}}));

  QList<QPair<int, int>> opened;
  BatchWizard::importWizard() = [&](qint32 required, qint32 insert) {
    opened.append({required, insert});
    BatchWizard_Window->Create_Value_List(QStringLiteral("imported"));
    return 1;
  };
  scripted.answerModal([&](QDialog *) {
    EXPECT_TRUE(wizard->Import_btn->isEnabled());
    wizard->Import_btn->click();
    wizard->AddNew_btn->click();
    wizard->Create_Value_List(QStringLiteral("kept"));
    scripted.answerModal([](QDialog *question) {
      question->findChild<QPushButton *>(QStringLiteral("no_btn"))->click();
      return question->result();
    });
    wizard->Import_Value_btn->click();
    return 0;
  });
  wizard->Open_Wnd();
  EXPECT_EQ(opened, (QList<QPair<int, int>>{{1, 1}, {0, 1}}));
  EXPECT_EQ(values(wizard), (QStringList{QStringLiteral("kept"), QStringLiteral("imported")}));
}

TEST_F(SeriesManagerTest, ExportWritesTheValuesAsTextOrAWorkbookAndShowsTheResultBox) {
  BatchWizard *wizard = manager();
  wizard->AddNew_Btn_Clicked();
  scripted.expectAlert();
  wizard->Export_Value_Btn_Clicked();
  EXPECT_EQ(scripted.alertTexts(), QStringList{QStringLiteral("\nList is empty.")});

  wizard->Create_Value_List(QStringLiteral("a"));
  wizard->Create_Value_List(QString::fromUtf8("\xC3\xA9"));
  // Cancelled: nothing written.
  scripted.answerSaveFile(QString());
  wizard->Export_Value_Btn_Clicked();

  const QString chosen = root.path() + QStringLiteral("/values.txt");
  QString boxMessage;
  QString boxPath;
  scripted.answerSaveFile(chosen, QStringLiteral("txt"));
  scripted.answerModal([&](QDialog *box) {
    EXPECT_EQ(box->objectName(), QStringLiteral("Open_Export_Files"));
    boxMessage = controller->ui->_open_log_message->text();
    boxPath = controller->ui->_open_log_path->text();
    return ModalOK;
  });
  wizard->Export_Value_Btn_Clicked();
  QFile file(chosen);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("a\n\xC3\xA9\n"));
  EXPECT_EQ(boxMessage, QStringLiteral("Record has been exported successfully."));
  EXPECT_EQ(boxPath, chosen);
  EXPECT_EQ(Export_File_Path, chosen);
  const std::vector<ScriptedUi::Request> requests = scripted.requests();
  ASSERT_GE(requests.size(), 3u);
  EXPECT_EQ(requests.at(1).detail, QStringLiteral("xlsx,txt"));

  // A workbook: the title row "Batch Value", then one row per value. (The program
  // ships the template the workbook starts from.)
  ASSERT_TRUE(QFile::copy(QStringLiteral(AMENDS_SOURCE_DIR "/resources/Template.xlsx"),
                          shippedDir() + QStringLiteral("/Template.xlsx")));
  const QString workbook = root.path() + QStringLiteral("/values.xlsx");
  scripted.answerSaveFile(workbook);
  scripted.answerModal(ModalOK);
  wizard->Export_Value_Btn_Clicked();
  EXPECT_EQ(Export_File_Path, workbook);
  Excel_Sheet_Number = 1;
  QString error;
  ASSERT_TRUE(SpreadsheetWriter::ReadWorkbook(workbook, true, &error)) << error.toStdString();
  const auto rows = SpreadsheetWriter::ReadWorkbook(workbook, false, &error);
  ASSERT_TRUE(rows) << error.toStdString();
  EXPECT_EQ(*rows, (QList<QStringList>{{"Batch Value"}, {"a"}, {QString::fromUtf8("\xC3\xA9")}}));

  // A write that fails after its first bytes (a full disk) is no export: the file that was
  // there stays whole, no result box claims success, and the alert gives the system's
  // reason on the line after its own, for a text file and for a workbook.
  const QByteArray workbookBytes = [&] {
    QFile file(workbook);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }();
  const QString fullDisk = QString::fromLocal8Bit(std::strerror(EFBIG));
  for (const QString &target : {chosen, workbook}) {
    SCOPED_TRACE(target.toStdString());
    scripted.clear();
    scripted.answerSaveFile(target, target == chosen ? QStringLiteral("txt") : QStringLiteral("xlsx"));
    scripted.expectAlert();
    {
      ScopedFileSizeLimit limit(2);
      wizard->Export_Value_Btn_Clicked();
    }
    ASSERT_EQ(scripted.alertTexts().size(), 1);
    EXPECT_TRUE(scripted.alertTexts().first().startsWith(FileError + QLatin1Char('\n')));
    EXPECT_TRUE(scripted.alertTexts().first().endsWith(fullDisk)) << scripted.alertTexts().first().toStdString();
  }
  QFile again(chosen);
  ASSERT_TRUE(again.open(QIODevice::ReadOnly));
  EXPECT_EQ(again.readAll(), QByteArray("a\n\xC3\xA9\n"));
  QFile againWorkbook(workbook);
  ASSERT_TRUE(againWorkbook.open(QIODevice::ReadOnly));
  EXPECT_EQ(againWorkbook.readAll(), workbookBytes);

  // A folder that does not exist.
  scripted.clear();
  scripted.answerSaveFile(root.path() + QStringLiteral("/missing/values.txt"), QStringLiteral("txt"));
  scripted.expectAlert();
  wizard->Export_Value_Btn_Clicked();
  EXPECT_EQ(scripted.alertTexts(), QStringList{FileError + QLatin1Char('\n') + QString::fromLocal8Bit(std::strerror(ENOENT))});
}

// The export panel offers the two types to choose from, "xlsx" chosen at first, and the
// chosen type decides the file: a name typed without an extension, or with another one,
// gets the chosen type's.
TEST_F(SeriesManagerTest, TheTypeChosenInTheExportPanelDecidesTheFileWhateverTheTypedName) {
  ASSERT_TRUE(QFile::copy(QStringLiteral(AMENDS_SOURCE_DIR "/resources/Template.xlsx"),
                          shippedDir() + QStringLiteral("/Template.xlsx")));
  const QString folder = root.filePath(QStringLiteral("out"));
  ASSERT_TRUE(QDir().mkpath(folder));
  BatchWizard *wizard = manager();
  wizard->AddNew_Btn_Clicked();
  wizard->Create_Value_List(QStringLiteral("Ana"));
  wizard->Create_Value_List(QStringLiteral("Sam"));

  struct Case {
    const char *typed;
    const char *type;  // "" keeps the type chosen at first
    const char *written;
  };
  const std::vector<Case> cases{
      {"guests", "txt", "guests.txt"},       {"list.xlsx", "txt", "list.txt"}, {"notes.csv", "TXT", "notes.csv.txt"},
      {"book", "", "book.xlsx"},             {"sheet.txt", "", "sheet.xlsx"}, {"ledger.txt", "xlsx", "ledger.xlsx"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.typed);
    scripted.clear();
    scripted.answerSaveFile(folder + QLatin1Char('/') + QString::fromUtf8(c.typed), QString::fromUtf8(c.type));
    scripted.answerModal(ModalOK);
    wizard->Export_Value_Btn_Clicked();
    EXPECT_EQ(scripted.pending(), 0u);
    const QString written = folder + QLatin1Char('/') + QString::fromUtf8(c.written);
    EXPECT_EQ(Export_File_Path, written);
    QFile file(written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    if (written.endsWith(QLatin1String(".txt"))) {
      EXPECT_EQ(bytes, QByteArray("Ana\nSam\n"));
    } else {
      EXPECT_TRUE(bytes.startsWith("PK\x03\x04")) << "no workbook";
      Excel_Sheet_Number = 1;
      QString error;
      ASSERT_TRUE(SpreadsheetWriter::ReadWorkbook(written, true, &error)) << error.toStdString();
      const auto rows = SpreadsheetWriter::ReadWorkbook(written, false, &error);
      ASSERT_TRUE(rows) << error.toStdString();
      EXPECT_EQ(*rows, (QList<QStringList>{{"Batch Value"}, {"Ana"}, {"Sam"}}));
    }
  }
  // Nothing but the chosen files was written.
  QStringList expected;
  for (const Case &c : cases)
    expected << QString::fromUtf8(c.written);
  expected.sort();
  EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name), expected);
}
